// The printed applications of the two earlier generations: the columns without the form of study,
// the certificate, e-mail and SNILS taken from the trainee's first detail row (empty without
// one), the table ruled to its own last column; the base generation's counts by kind of training
// and hours below the table, the signatures below them; their own default templates; the print
// button of their windows.
#include "support/XlsxReader.h"

#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "documents/ApplicationDocument.h"
#include "shell/MainWindow.h"
#include "spreadsheet/DocumentOpener.h"
#include "spreadsheet/Templates.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace {

using Sides = std::array<std::string, 4>;
const Sides kThin{"thin", "thin", "thin", "thin"};
const Sides kNone{"", "", "", ""};

// A trainee with what its detail rows hold; an empty value makes no row.
struct Trainee {
    const char* surname;
    const char* kind;
    int hours;
    QDate certificate = {};
    const char* email = "";
    QStringList snils = {};
};

struct EarlierDocuments : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();

    void SetUp() override {
        dm.tblConfig->append();
        dm.field("tblConfigNLPU").setAsString("ГБУЗ «Городская больница № 1»");
        dm.field("tblConfigBoss").setAsString("Сидоров С. С.");
        dm.field("tblConfigUser").setAsString("Кузнецова К. К.");
        dm.field("tblConfigPhone").setAsString("83452123456");
        dm.tblConfig->post();
        dm.tblDoljn->append();
        dm.field("tblDoljnKDoljn").setAsInteger(1);
        dm.field("tblDoljnNDoljn").setAsString("ФЕЛЬДШЕР");
        dm.tblDoljn->post();
        dm.tblSpez->append();
        dm.field("tblSpezKSpez").setAsInteger(1);
        dm.field("tblSpezNSpez").setAsString("Лечебное дело");
        dm.tblSpez->post();
    }
    void TearDown() override { setDocumentOpener({}); }

    // The catalogue holds the programme of each kind and hours ("ПК" 144 is coded 144ПК).
    void programme(const QString& kind, int hours) {
        const QString code = QString::number(hours) + kind;
        if (dm.tblNewZicl->locate("KZicl", {code}))
            return;
        dm.tblNewZicl->append();
        dm.field("tblNewZiclKZicl").setAsString(code);
        dm.field("tblNewZiclVidOb").setAsString(kind);
        dm.field("tblNewZiclHours").setAsInteger(hours);
        dm.field("tblNewZiclNZicl").setAsString("Программа " + code);
        dm.field("tblNewZiclRealZicl").setAsFloat(hours);
        dm.tblNewZicl->post();
    }
    void add(const Generation& g, const Trainee& t, bool inCatalogue = true) {
        const QString kind = QString::fromUtf8(t.kind);
        if (inCatalogue)
            programme(kind, t.hours);
        Table& trainees = g.traineesTable(dm);
        trainees.append();
        trainees.field("Name1").setAsString(QString::fromUtf8(t.surname));
        trainees.field("Name2").setAsString("ИВАН");
        trainees.field("KZicl").setAsString(QString::number(t.hours) + kind);
        trainees.field("VidOb").setAsString(kind);
        trainees.field("Hours").setAsInteger(t.hours);
        trainees.field("KV").setAsInteger(2);
        trainees.field("KDoljn").setAsInteger(1);
        trainees.field("KSpez").setAsInteger(1);
        trainees.field("StajOb").setAsFloat(10);
        trainees.field("StajDoljn").setAsFloat(4);
        if (!g.certificateRows && t.certificate.isValid()) {
            trainees.field("DateCl").setAsDate(t.certificate);
            trainees.field("Specialty").setAsString("Терапия");
        }
        if (!g.emailRows)
            trainees.field("EMAIL").setAsString(QString::fromUtf8(t.email));
        trainees.post();
        auto detail = [](Table* table, const QList<std::pair<const char*, QVariant>>& values) {
            table->append();
            for (const auto& [field, value] : values)
                table->field(field).setValue(value);
            table->post();
        };
        if (g.certificateRows && t.certificate.isValid())
            detail(dm.*g.certificateRows.table, {{"DateCL", t.certificate}, {"Name", "Терапия"}});
        if (g.emailRows && *t.email)
            detail(dm.*g.emailRows.table, {{"EMAIL", QString::fromUtf8(t.email)}});
        if (g.snilsRows)
            for (const QString& number : t.snils)
                detail(dm.*g.snilsRows.table, {{"SNILS", number}});
    }
    XlsxReader print(const Generation& g) {
        const QString path = documents::saveApplicationDocument(
            dm, documents::ApplicationDocumentSettings::of(g), h.app.root, h.prompter);
        return XlsxReader::fromFile(path);
    }

    static std::string shown(const XlsxReader& book, const std::string& ref) {
        const XlsxReader::Cell c = book.cell(ref);
        return c.type == "s" ? c.text : c.value;
    }
    static std::string shown(const XlsxReader& book, int row, int column) {
        return shown(book, refName(row, column));
    }
    // Rows top..bottom are ruled across A..`last`; the column after them is not.
    static void expectRuled(const XlsxReader& book, int top, int bottom, int last) {
        for (int row = top; row <= bottom; ++row) {
            for (int column = 1; column <= last; ++column)
                EXPECT_EQ(book.style(book.cell(refName(row, column)).style).sides, kThin)
                    << refName(row, column);
            EXPECT_EQ(book.style(book.cell(refName(row, last + 1)).style).sides, kNone)
                << refName(row, last + 1);
        }
        for (int column = 1; column <= last; ++column)
            EXPECT_EQ(book.style(book.cell(refName(bottom + 1, column)).style).sides, kNone);
    }
    // The base generation's counts, from row `first`: every count as given, 0 where none.
    static void expectCounts(const XlsxReader& book, int first, const std::map<std::string, int>& counts,
                             int anyHours) {
        const int hours[] = {834, 432, 288, 252, 216, 144, 72, 36, 18, 16};
        EXPECT_EQ(shown(book, first, 5), "Всего повышения квалиф:");
        for (int line = 0; line < 10; ++line) {
            const std::string h = std::to_string(hours[line]);
            const std::string pk = "ПК " + std::string(hours[line] < 100 ? " " : "") + h + " час. - ";
            const std::string pp = "ПП " + h + " час. - ";
            auto count = [&](const std::string& key) {
                const auto it = counts.find(key);
                return std::to_string(it == counts.end() ? 0 : it->second);
            };
            EXPECT_EQ(shown(book, first + line, 7), pk + count("ПК" + h)) << first + line;
            EXPECT_EQ(shown(book, first + line, 8), pp + count("ПП" + h)) << first + line;
            if (line > 0) {
                EXPECT_EQ(shown(book, first + line, 5), "") << first + line;
            }
        }
        EXPECT_EQ(shown(book, first + 10, 5), "Всего проф. обучения - ");
        EXPECT_EQ(shown(book, first + 10, 7), std::to_string(anyHours));
    }
    // The signatures, `rowsBelow` rows under the table's last row; the lines between stay empty.
    static void expectSignatures(const XlsxReader& book, int first, const int (&rows)[4]) {
        EXPECT_EQ(shown(book, first + rows[0], 5), "Ф.И.О. руководителя");
        EXPECT_EQ(shown(book, first + rows[0], 7), "Сидоров С. С.");
        EXPECT_EQ(shown(book, first + rows[1], 5), "М.П. ЛПУ");
        EXPECT_EQ(shown(book, first + rows[2], 5), "Ф.И.О. исполнителя    ");
        EXPECT_EQ(shown(book, first + rows[2], 7), "Кузнецова К. К.");
        EXPECT_EQ(shown(book, first + rows[3], 5), "тел.:  83452123456");
    }
};

TEST_F(EarlierDocuments, TheBaseFormCountsTheTraineesByKindAndHoursAboveTheSignatures) {
    const Generation& g = Generation::base();
    applications::createApplication(dm, g, 116, 2020);
    add(g, {"ИВАНОВ", "ПК", 144, QDate(2023, 4, 5), "i@mail.ru"});
    add(g, {"ПЕТРОВ", "ПК", 144}); // no certificate or e-mail row
    add(g, {"СИДОРОВ", "ПП", 500});
    const XlsxReader book = print(g);

    EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА № 116     на   2020  год  ");
    EXPECT_EQ(shown(book, "A11"), "ГБУЗ «Городская больница № 1»");
    const std::vector<std::string> first = {
        "1",        "144ПК", "ПК", "144",           "Программа 144ПК", "2",       "ИВАНОВ  ИВАН  ", "",
        "ФЕЛЬДШЕР", "10",    "4",  "Лечебное дело", "05.04.2023",      "Терапия", "i@mail.ru"};
    for (int column = 1; column <= 15; ++column)
        EXPECT_EQ(shown(book, 14, column), first[size_t(column - 1)]) << column;
    for (int column : {13, 14, 15})
        EXPECT_EQ(shown(book, 15, column), "") << column;
    EXPECT_EQ(shown(book, "A16"), "3");
    EXPECT_EQ(shown(book, "P14"), "");
    expectRuled(book, 14, 16, 15);
    // The ПП of 500 hours is in no count.
    expectCounts(book, 21, {{"ПК144", 2}}, 0);
    expectSignatures(book, 16, {17, 19, 21, 22});
    EXPECT_EQ(shown(book, "E32"), "");
}

TEST_F(EarlierDocuments, ATraineeIsCountedBeforeItsProgrammeIsLookedUp) {
    const Generation& g = Generation::base();
    applications::createApplication(dm, g, 116, 2020);
    add(g, {"ИВАНОВ", "ПК", 72});
    add(g, {"ПЕТРОВ", "ПО", 160}, false); // its programme is missing from the catalogue
    add(g, {"СИДОРОВ", "ПП", 16});
    h.prompter.expectInform("не найден цикл - 160ПО");
    const XlsxReader book = print(g);
    EXPECT_EQ(shown(book, "A15"), "2"); // written up to its hours, outside the table
    EXPECT_EQ(shown(book, "E15"), "");
    expectRuled(book, 14, 14, 15);
    expectCounts(book, 19, {{"ПК72", 1}}, 1);
    expectSignatures(book, 14, {17, 19, 21, 22});
}

TEST_F(EarlierDocuments, The2021FormTakesTheFirstSnilsRowAndRulesToColumnP) {
    const Generation& g = Generation::y2021();
    applications::createApplication(dm, g, 116, 2022);
    add(g, {"ИВАНОВ", "ПК", 144, QDate(2023, 4, 5), "i@mail.ru", {"112-233-445 95", "987-654-321 83"}});
    add(g, {"ПЕТРОВ", "ПП", 504});
    const XlsxReader book = print(g);
    EXPECT_EQ(shown(book, "E14"), "Программа 144ПК");
    EXPECT_EQ(shown(book, "M14"), "05.04.2023");
    EXPECT_EQ(shown(book, "N14"), "Терапия");
    EXPECT_EQ(shown(book, "O14"), "i@mail.ru");
    EXPECT_EQ(shown(book, "P14"), "112-233-445 95");
    EXPECT_EQ(shown(book, "P15"), "");
    EXPECT_EQ(shown(book, "Q14"), "");
    expectRuled(book, 14, 15, 16);
    // No counts: the signatures right below the table, as in the current form.
    EXPECT_EQ(shown(book, "E20"), "Ф.И.О. руководителя");
    expectSignatures(book, 15, {5, 7, 11, 12});
}

TEST_F(EarlierDocuments, WithoutTraineesTheHeadingsAreRuledAndEveryCountIsZero) {
    for (const Generation* g : {&Generation::base(), &Generation::y2021()}) {
        SCOPED_TRACE(g->documentTemplate.toStdString());
        applications::createApplication(dm, *g, 116, 2020);
        const XlsxReader book = print(*g);
        EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА №      на     год  ");
        const int last = g->kind == Generation::Kind::Base ? 15 : 16;
        expectRuled(book, 13, 14, last);
        if (g->documentCountsHours) {
            expectCounts(book, 18, {}, 0);
            expectSignatures(book, 13, {17, 19, 21, 22});
        } else {
            expectSignatures(book, 13, {5, 7, 11, 12});
        }
    }
}

// The templates that come with the program for the earlier forms: the current form's headings
// without the form of study (and, up to 2020, without the SNILS), the wording spanning the table.
TEST_F(EarlierDocuments, TheirTemplatesComeWithTheProgram) {
    const struct {
        const char* file;
        int columns;
        std::vector<std::string> last;
    } forms[] = {
        {"Zajavka2020.xltx", 15, {"Дата сертификата / аккредитации", "Специальность сертификата", "E-mail"}},
        {"Zajavka2022.xltx", 16, {"Специальность сертификата", "E-mail", "СНИЛС"}}};
    for (const auto& f : forms) {
        SCOPED_TRACE(f.file);
        const XlsxReader form(defaultTemplate(QString::fromLatin1(f.file)));
        EXPECT_EQ(form.cell("E13").text, "Наименование программы");
        for (size_t i = 0; i < f.last.size(); ++i)
            EXPECT_EQ(form.cell(refName(13, f.columns - 2 + int(i))).text, f.last[i]);
        EXPECT_FALSE(form.cell(refName(13, f.columns + 1)).exists);
        EXPECT_EQ(form.style(form.cell(refName(14, f.columns)).style).sides, kThin);
        const pugi::xml_node sheet = form.xml("xl/worksheets/sheet1.xml").child("worksheet");
        std::vector<std::string> merges;
        for (pugi::xml_node m : sheet.child("mergeCells").children("mergeCell"))
            merges.push_back(m.attribute("ref").value());
        for (const std::string& merge : {"A5:" + refName(5, f.columns), "A11:" + refName(11, f.columns)})
            EXPECT_NE(std::find(merges.begin(), merges.end(), merge), merges.end()) << merge;
    }
}

TEST_F(EarlierDocuments, ThePrintButtonOfTheArchiveWindowsSavesAndOpensTheirForm) {
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    MainWindow& main = h.mainWindow();
    for (const Generation* g : {&Generation::base(), &Generation::y2021()}) {
        applications::createApplication(dm, *g, 116, g->kind == Generation::Kind::Base ? 2020 : 2022);
        add(*g, {"ИВАНОВ", "ПК", 144});
        main.findChild<QAction*>(g->kind == Generation::Kind::Base ? "ArchiveZajavkiItem"
                                                                   : "ArchiveZajavki2021Item")
            ->trigger();
        QWidget* window = main.instance(g->windowInstance);
        ASSERT_TRUE(window);
        ui::click(window, "SpeedButton6");
    }
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(QFileInfo(opened[0]).fileName(), "Заявка 116 2020.xlsx");
    EXPECT_EQ(QFileInfo(opened[1]).fileName(), "Заявка 116 2022.xlsx");
    EXPECT_EQ(shown(XlsxReader::fromFile(opened[0]), "G24"), "ПК 144 час. - 1");
    EXPECT_EQ(shown(XlsxReader::fromFile(opened[1]), "E19"), "Ф.И.О. руководителя");
    // Each form comes from its own template, installed into the Templates folder.
    for (const char* name : {"Zajavka2020.xltx", "Zajavka2022.xltx"})
        EXPECT_TRUE(QFileInfo::exists(QDir(h.app.root.templates()).filePath(name))) << name;
}

} // namespace
