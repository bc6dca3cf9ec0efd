// The training plan as a workbook from its own default template, read back by our reader.
#include "support/XlsxReader.h"

#include "documents/PlanDocument.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {

plan::Plan samplePlan() {
    plan::Plan p;
    p.year = 2027;
    p.today = QDate(2026, 3, 15);
    plan::Programme programme;
    programme.code = "ПК-1";
    programme.kind = "ПК";
    programme.hours = 36;
    programme.name = "Педиатрия";
    p.programmes << programme;
    plan::Entry withCertificate;
    withCertificate.surname = "ВАСИЛЬЕВА";
    withCertificate.name = "ЕЛЕНА";
    withCertificate.patronymic = "ДМИТРИЕВНА";
    withCertificate.position = "ВРАЧ-ПЕДИАТР";
    withCertificate.diplomaSpecialty = "Педиатрия";
    withCertificate.certificateEnd = QDate(2027, 2, 1);
    withCertificate.certificateSpecialty = "Педиатрия";
    withCertificate.programmes = {0};
    plan::Entry without = withCertificate;
    without.surname = "БЕЛЯЕВА";
    without.certificateEnd = QDate();
    without.certificateSpecialty.clear();
    without.programmes.clear();
    p.entries << without << withCertificate;
    return p;
}

TEST(PlanDocument, ListsThePeopleWithTheirProgrammeAndQuarterUnderTheYearsTitle) {
    QTemporaryDir templates;
    const plan::Plan p = samplePlan();
    // The rows in the order shown: the one with a certificate first.
    const documents::ListDocument document =
        documents::buildPlanDocument(p, {{1, 0, 1}, {0, -1, 2}}, templates.path());
    EXPECT_EQ(document.title, "План обучения на 2027 год");
    EXPECT_EQ(document.rows, 2);
    const XlsxReader book(document.book.toBytes());
    EXPECT_EQ(book.cell("A1").text, "План обучения на 2027 год");
    EXPECT_EQ(book.cell("A4").value, "1");
    EXPECT_EQ(book.cell("B4").text, "ВАСИЛЬЕВА ЕЛЕНА ДМИТРИЕВНА");
    EXPECT_EQ(book.cell("C4").text, "ВРАЧ-ПЕДИАТР");
    EXPECT_EQ(book.cell("E4").value, "46419") << "01.02.2027 as a date";
    EXPECT_EQ(book.cell("F4").text, "Педиатрия");
    EXPECT_EQ(book.cell("G4").value, "323") << "days left, a number";
    EXPECT_EQ(book.cell("H4").value, "1");
    EXPECT_EQ(book.cell("I4").text, "ПК-1 ПК, 36 ч. — Педиатрия");
    EXPECT_EQ(book.cell("B5").text, "БЕЛЯЕВА ЕЛЕНА ДМИТРИЕВНА");
    EXPECT_EQ(book.cell("E5").text, "нет сертификата") << "where the date would be, as the window shows it";
    EXPECT_EQ(book.cell("F5").text, "");
    EXPECT_EQ(book.cell("G5").value, "") << "no days left without a certificate";
    EXPECT_EQ(book.cell("H5").value, "2");
    EXPECT_EQ(book.cell("I5").text, "");
    EXPECT_FALSE(book.cell("A6").exists);
    for (const char* ref : {"A4", "I4", "A5", "I5"})
        for (const std::string& side : book.style(book.cell(ref).style).sides)
            EXPECT_EQ(side, "thin") << ref;
}

TEST(PlanDocument, AnEmptyPlanKeepsItsTitleAndRulesNothing) {
    QTemporaryDir templates;
    const documents::ListDocument document = documents::buildPlanDocument(samplePlan(), {}, templates.path());
    const XlsxReader book(document.book.toBytes());
    EXPECT_EQ(book.cell("A1").text, "План обучения на 2027 год");
    EXPECT_EQ(book.cell("A3").text, "№ п/п");
    EXPECT_EQ(document.rows, 0);
}

} // namespace
