// The list documents (programmes, positions): three rows and none, read back by our reader and by
// openpyxl, which shares nothing with the program.
#include "support/XlsxReader.h"

#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "documents/ListDocument.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct ListDocuments : ::testing::Test {
    TempStore temp;
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm{*temp.store, state, prompter};

    void SetUp() override { dm.openAllTables(); }
    void addProgramme(const char* code, int hours, int year, const QString& name, const QString& more = {}) {
        Table& t = *dm.tblNewZicl;
        t.append();
        t.field("KZicl").setAsString(QString::fromUtf8(code));
        t.field("VidOb").setAsString("ПК");
        t.field("Hours").setAsInteger(hours);
        t.field("Year").setAsInteger(year);
        t.field("NZicl").setAsString(name);
        t.field("Contingent")
            .setAsString("Врачи-терапевты участковые, врачи общей практики (семейные врачи)");
        t.field("SPECIALY").setAsString("Терапия");
        t.field("ADDSPECIALTY").setAsString(more);
        t.field("RealZicl").setAsFloat(t.recordCount());
        t.post();
    }
    XlsxReader read(const QString& path) { return XlsxReader::fromFile(path); }
    // openpyxl's view of some cells: value and type.
    QJsonObject openpyxl(const QString& file, const QStringList& refs) {
        const QString python = QStringLiteral(ZAJAVKI_OPENPYXL_PYTHON);
        if (python.isEmpty())
            return {};
        QProcess reader;
        reader.start(
            python,
            QStringList{QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file} + refs);
        EXPECT_TRUE(reader.waitForFinished(60000));
        EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object().value("cells").toObject();
    }
};

TEST_F(ListDocuments, ProgrammesFillRowsFromFiveRuledAndAsHighAsTheirTexts) {
    const QString longList = QString("Общая врачебная практика (семейная медицина); ").repeated(6);
    addProgramme("339720123", 72, 2026, "Актуальные вопросы терапии", longList);
    addProgramme("339720124", 36, 2026, "Неотложные состояния");
    addProgramme("339720125", 144, 2027, "Терапия");
    dm.reloadNewZicl(DataModule::defaultNewZiclSql());
    const QString path =
        documents::saveListDocument(dm, documents::ListDocumentSettings::programmes(), temp.root);
    EXPECT_TRUE(dm.qNewZicl->eof()) << "the query is left past its last row";

    const XlsxReader book = read(path);
    for (int row = 5; row <= 7; ++row)
        EXPECT_EQ(book.cell("A" + std::to_string(row)).value, std::to_string(row - 4));
    EXPECT_EQ(book.cell("B5").text, "339720123");
    EXPECT_EQ(book.cell("D5").text, "72") << "the hours as text";
    EXPECT_EQ(book.cell("D5").type, "s");
    EXPECT_EQ(book.cell("H5").text, longList.toStdString()) << "the memo whole";
    EXPECT_EQ(book.cell("I7").value, "2027");
    EXPECT_FALSE(book.cell("A8").exists);
    for (const char* ref : {"A5", "I5", "A7", "I7"})
        for (const std::string& side : book.style(book.cell(ref).style).sides)
            EXPECT_EQ(side, "thin") << ref;
    // The long list of specialties wraps onto several lines: its row is higher than the others.
    const auto heights = [&](int row) {
        const pugi::xml_node r =
            book.xml("xl/worksheets/sheet1.xml")
                .select_node(("//*[local-name()='row'][@r='" + std::to_string(row) + "']").c_str())
                .node();
        return r.attribute("ht").as_double();
    };
    EXPECT_GT(heights(5), 2 * heights(6));

    const QJsonObject cells = openpyxl(path, {"A5", "D5", "E6", "I7", "H5"});
    if (cells.isEmpty())
        GTEST_SKIP() << "no Python with openpyxl";
    EXPECT_EQ(cells.value("A5").toObject().value("type").toString(), "int");
    EXPECT_EQ(cells.value("D5").toObject().value("value").toString(), "72");
    EXPECT_EQ(cells.value("E6").toObject().value("value").toString(), "Неотложные состояния");
    EXPECT_EQ(cells.value("I7").toObject().value("value").toInt(), 2027);
    EXPECT_EQ(cells.value("H5").toObject().value("borders").toVariant().toStringList(),
              (QStringList{"thin", "thin", "thin", "thin"}));
}

// An empty list rules nothing: the headings keep the look the template gives them.
TEST_F(ListDocuments, AnEmptyListLeavesTheHeadingsUntouched) {
    for (const documents::ListDocumentSettings* settings :
         {&documents::ListDocumentSettings::programmes(), &documents::ListDocumentSettings::positions()}) {
        dm.reloadNewZicl(DataModule::defaultNewZiclSql());
        const documents::ListDocument filled =
            documents::buildListDocument(dm, *settings, temp.root.templates());
        EXPECT_EQ(filled.rows, 0);
        const XlsxReader book(filled.book.toBytes());
        const XlsxReader original =
            XlsxReader::fromFile(temp.root.templates() + "/" + settings->templateName + ".xltx");
        // The same sheet, but for the line break the template's generator puts after the declaration.
        const auto sheet = [](const XlsxReader& r) {
            const std::string xml = r.part("xl/worksheets/sheet1.xml");
            return xml.substr(xml.find("<worksheet"));
        };
        EXPECT_EQ(sheet(book), sheet(original)) << settings->templateName.toStdString();
    }
}

TEST_F(ListDocuments, PositionsGiveTheirCodesAsText) {
    for (auto [code, name] :
         {std::pair{1, "ВРАЧ-ТЕРАПЕВТ"}, std::pair{2, "МЕДИЦИНСКАЯ СЕСТРА"}, std::pair{40, "ЗАВЕДУЮЩИЙ"}}) {
        dm.tblDoljn->append();
        dm.field("tblDoljnKDoljn").setAsInteger(code);
        dm.field("tblDoljnNDoljn").setAsString(QString::fromUtf8(name));
        dm.tblDoljn->post();
    }
    const QString path =
        documents::saveListDocument(dm, documents::ListDocumentSettings::positions(), temp.root);
    const XlsxReader book = read(path);
    EXPECT_EQ(book.cell("A4").text, "1");
    EXPECT_EQ(book.cell("A4").type, "s");
    EXPECT_EQ(book.cell("B6").text, "ЗАВЕДУЮЩИЙ");
    EXPECT_FALSE(book.cell("A7").exists);
    for (const std::string& side : book.style(book.cell("B6").style).sides)
        EXPECT_EQ(side, "thin");
    const QJsonObject cells = openpyxl(path, {"A4", "B5"});
    if (cells.isEmpty())
        GTEST_SKIP() << "no Python with openpyxl";
    EXPECT_EQ(cells.value("A4").toObject().value("type").toString(), "str");
    EXPECT_EQ(cells.value("B5").toObject().value("value").toString(), "МЕДИЦИНСКАЯ СЕСТРА");
}

} // namespace
