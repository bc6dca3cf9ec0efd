// The printed application built from the data module: the title, the trainee rows with their cell
// kinds and looked-up names, the ruled table and the footer below it, for three trainees, for none,
// and for a trainee whose programme, position or diploma specialty is missing; empty cells for an
// unknown birth date or years of service; rows as high as their texts; read back with our test
// reader and with openpyxl. The applications window's print button saves and opens it, never in
// the Base folder.
#include "support/XlsxReader.h"

#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "documents/ApplicationDocument.h"
#include "shell/MainWindow.h"
#include "spreadsheet/DocumentOpener.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

using FieldValues = QList<std::pair<const char*, QVariant>>;
using Sides = std::array<std::string, 4>;
const Sides kThin{"thin", "thin", "thin", "thin"};
const Sides kNone{"", "", "", ""};

std::string utf8(const QString& s) {
    return s.toStdString();
}
std::string serial(const QDate& date) {
    return std::to_string(QDate(1899, 12, 30).daysTo(date));
}

struct ApplicationDocumentTest : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    const documents::ApplicationDocumentSettings& settings = documents::ApplicationDocumentSettings::y2023();

    void SetUp() override {
        fill(dm.tblConfig, {{"NLPU", "ГБУЗ «Городская больница № 1»"},
                            {"Boss", "Сидоров С. С."},
                            {"User", "Кузнецова К. К."},
                            {"Phone", "83452123456"}});
        // The catalogue: the row found is the first of the exact matches in the index order
        // (RealZicl, Hours), whatever its year; a row differing in the hours only is not a match.
        const struct {
            const char *code, *kind;
            int hours;
            const char* name;
            double order;
            int year;
        } catalogue[] = {
            {"ПК-101", "ПК", 36, "Короткий цикл", 1, 2026},
            {"ПК-101", "ПК", 144, "Прежняя программа", 5, 2026},
            {"ПК-101", "ПК", 144, "Сестринское дело в терапии", 2, 2026},
            {"ПП-7", "ПП", 504, "Функциональная диагностика", 3, 2027},
            {"ПК-55", "ПК", 36, "Неотложные состояния", 4, 2026},
        };
        for (const auto& p : catalogue)
            fill(dm.tblNewZicl, {{"KZicl", p.code},
                                 {"VidOb", p.kind},
                                 {"Hours", p.hours},
                                 {"NZicl", p.name},
                                 {"RealZicl", p.order},
                                 {"Year", p.year}});
        fill(dm.tblDoljn, {{"KDoljn", 1}, {"NDoljn", "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"}});
        fill(dm.tblDoljn, {{"KDoljn", 2}, {"NDoljn", "ВРАЧ-ТЕРАПЕВТ"}});
        fill(dm.tblDoljn, {{"KDoljn", 3}, {"NDoljn", "ФЕЛЬДШЕР"}});
        fill(dm.tblSpez, {{"KSpez", 1}, {"NSpez", "Лечебное дело"}});
        fill(dm.tblSpez, {{"KSpez", 7}, {"NSpez", "Сестринское дело"}});
        applications::createApplication(dm, Generation::current(), 116.01, 2026);
    }
    void TearDown() override { setDocumentOpener({}); }

    static void fill(Table* table, const FieldValues& values) {
        table->append();
        for (const auto& [field, value] : values)
            table->field(field).setValue(value);
        table->post();
    }
    // Three trainees; `second` changes the second one.
    void threeTrainees(const FieldValues& second = {}) {
        fill(dm.tblSluch2023, {{"Name1", "ИВАНОВА"},
                               {"Name2", "МАРИЯ"},
                               {"Name3", "ИВАНОВНА"},
                               {"KZicl", "ПК-101"},
                               {"VidOb", "ПК"},
                               {"Hours", 144},
                               {"FOBUCH", "очн"},
                               {"KV", 1},
                               {"DR", QDate(1985, 7, 15)},
                               {"KDoljn", 1},
                               {"KSpez", 7},
                               {"StajOb", 12.5},
                               {"StajDoljn", 7},
                               {"DateCl", QDate(2024, 3, 12)},
                               {"Specialty", "Сестринское дело"},
                               {"EMAIL", "ivanova@mail.ru"},
                               {"SNILS", "112-233-445 95"}});
        // No birth date, no certificate.
        fill(dm.tblSluch2023, FieldValues{{"Name1", "ПЕТРОВ"},
                                          {"Name2", "АЛЕКСЕЙ"},
                                          {"Name3", "СЕРГЕЕВИЧ"},
                                          {"KZicl", "ПП-7"},
                                          {"VidOb", "ПП"},
                                          {"Hours", 504},
                                          {"FOBUCH", "заочн"},
                                          {"KV", 2},
                                          {"KDoljn", 2},
                                          {"KSpez", 1},
                                          {"StajOb", 20},
                                          {"StajDoljn", 3.25},
                                          {"EMAIL", "petrov@mail.ru"},
                                          {"SNILS", "987-654-321 83"}} +
                                  second);
        // No years in the position, no e-mail.
        fill(dm.tblSluch2023, {{"Name1", "ЁЛКИНА"},
                               {"Name2", "ОЛЬГА"},
                               {"Name3", "ПЕТРОВНА"},
                               {"KZicl", "ПК-55"},
                               {"VidOb", "ПК"},
                               {"Hours", 36},
                               {"FOBUCH", "ДОТ"},
                               {"KV", 4},
                               {"DR", QDate(2000, 2, 29)},
                               {"KDoljn", 3},
                               {"KSpez", 1},
                               {"StajOb", 0.5},
                               {"DateCl", QDate(2023, 12, 1)},
                               {"Specialty", "Скорая и неотложная помощь"},
                               {"SNILS", "001-001-998 00"}});
    }
    QString save() { return documents::saveApplicationDocument(dm, settings, h.app.root, h.prompter); }

    // What a cell shows: a shared string's text, else its value.
    static std::string shown(const XlsxReader& book, const std::string& ref) {
        const XlsxReader::Cell c = book.cell(ref);
        return c.type == "s" ? c.text : c.value;
    }
    static void expectRow(const XlsxReader& book, int row, const std::vector<std::string>& values) {
        for (int column = 1; column <= 17; ++column) {
            const std::string ref = refName(row, column);
            EXPECT_EQ(shown(book, ref), column <= int(values.size()) ? values[size_t(column - 1)] : "")
                << ref;
        }
    }
    // Rows top..bottom are ruled across A..Q; the rows next to them are not.
    static void expectRuled(const XlsxReader& book, int top, int bottom) {
        for (int row = top - 1; row <= bottom + 1; ++row)
            for (int column = 1; column <= 18; ++column) {
                const std::string ref = refName(row, column);
                const bool inside = row >= top && row <= bottom && column <= 17;
                if (inside) {
                    EXPECT_EQ(book.style(book.cell(ref).style).sides, kThin) << ref;
                } else if (row != 13 || column > 17) { // the headings' row is ruled by the template itself
                    EXPECT_EQ(book.style(book.cell(ref).style).sides, kNone) << ref;
                }
            }
    }
    // The footer below the table's last row, with the phone as given.
    static void expectFooter(const XlsxReader& book, int lastTableRow, const std::string& phone) {
        const int first = lastTableRow + 5;
        EXPECT_EQ(shown(book, refName(first, 5)), "Ф.И.О. руководителя");
        EXPECT_EQ(shown(book, refName(first, 7)), "Сидоров С. С.");
        EXPECT_EQ(shown(book, refName(first + 2, 5)), "М.П. ЛПУ");
        EXPECT_EQ(shown(book, refName(first + 6, 5)), "Ф.И.О. исполнителя    ");
        EXPECT_EQ(shown(book, refName(first + 6, 7)), "Кузнецова К. К.");
        EXPECT_EQ(shown(book, refName(first + 7, 5)), "тел.:  " + phone);
        // Texts ending in blanks keep them.
        EXPECT_TRUE(book.cell(refName(first + 6, 5)).preserve);
        EXPECT_EQ(book.cell(refName(first + 7, 5)).preserve, phone.empty());
        for (int row : {first - 1, first + 1, first + 3, first + 8})
            EXPECT_EQ(shown(book, refName(row, 5)), "") << row;
    }
};

TEST_F(ApplicationDocumentTest, ThreeTraineesFillTheRuledTableWithTheirKindsOfValues) {
    threeTrainees();
    const QString path = save();
    EXPECT_EQ(QFileInfo(path).fileName(), "Заявка 116.01 2026.xlsx");
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(h.app.root.documents()).absoluteFilePath());
    const XlsxReader book = XlsxReader::fromFile(path);

    EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА № 116,01     на   2026  год  ");
    EXPECT_TRUE(book.cell("A5").preserve);
    EXPECT_EQ(shown(book, "A11"), "ГБУЗ «Городская больница № 1»");

    expectRow(book, 14,
              {"1", "ПК-101", "ПК", "144", "очн", "Сестринское дело в терапии", "1",
               "ИВАНОВА  МАРИЯ  ИВАНОВНА", serial(QDate(1985, 7, 15)), "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ", "12.5",
               "7", "Сестринское дело", "12.03.2024", "Сестринское дело", "ivanova@mail.ru",
               "112-233-445 95"});
    // An empty birth date, stored as the zero date, prints as an empty cell.
    expectRow(book, 15,
              {"2", "ПП-7", "ПП", "504", "заочн", "Функциональная диагностика", "2",
               "ПЕТРОВ  АЛЕКСЕЙ  СЕРГЕЕВИЧ", "", "ВРАЧ-ТЕРАПЕВТ", "20", "3.25", "Лечебное дело", "", "",
               "petrov@mail.ru", "987-654-321 83"});
    expectRow(book, 16,
              {"3", "ПК-55", "ПК", "36", "ДОТ", "Неотложные состояния", "4", "ЁЛКИНА  ОЛЬГА  ПЕТРОВНА",
               serial(QDate(2000, 2, 29)), "ФЕЛЬДШЕР", "0.5", "0", "Лечебное дело", "01.12.2023",
               "Скорая и неотложная помощь", "", "001-001-998 00"});
    expectRow(book, 17, {});

    // Numbers and dates are values of their own; the rest, the certificate's date included, text.
    for (int row = 14; row <= 16; ++row)
        for (int column = 1; column <= 17; ++column) {
            const std::string ref = refName(row, column);
            const XlsxReader::Cell c = book.cell(ref);
            const bool number = column == 1 || column == 4 || column == 7 || column == 11 || column == 12 ||
                                (column == 9 && row != 15);
            if (number) {
                EXPECT_EQ(c.type, "") << ref;
            } else if (!c.value.empty()) {
                EXPECT_EQ(c.type, "s") << ref;
            }
        }
    for (const char* ref : {"I14", "I16"})
        EXPECT_EQ(book.style(book.cell(ref).style).formatCode, "dd\\.mm\\.yyyy") << ref;

    // Rows 15 and 16 take the look of row 14.
    for (int row = 15; row <= 16; ++row)
        for (int column = 1; column <= 17; ++column)
            EXPECT_EQ(book.cell(refName(row, column)).style, book.cell(refName(14, column)).style)
                << refName(row, column);
    expectRuled(book, 14, 16);
    expectFooter(book, 16, "83452123456");

    // Every trainee was read; each print is a new file.
    EXPECT_TRUE(dm.tblSluch2023->eof());
    EXPECT_EQ(QFileInfo(save()).fileName(), "Заявка 116.01 2026 (2).xlsx");
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(ApplicationDocumentTest, AnApplicationWithoutTraineesKeepsTheHeadingsRuledAndTheTitleEmpty) {
    dm.tblConfig->edit();
    dm.tblConfig->field("Phone").clear();
    dm.tblConfig->post();
    const XlsxReader book = XlsxReader::fromFile(save());

    // The number and year come from the first trainee: there is none.
    EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА №      на     год  ");
    EXPECT_EQ(shown(book, "A13"), "№ п/п");
    expectRow(book, 14, {});
    expectRuled(book, 13, 14);
    expectFooter(book, 13, "");
}

TEST_F(ApplicationDocumentTest, ATraineeWhoseReferenceIsMissingEndsTheTable) {
    const std::vector<std::string> first = {"1",
                                            "ПК-101",
                                            "ПК",
                                            "144",
                                            "очн",
                                            "Сестринское дело в терапии",
                                            "1",
                                            "ИВАНОВА  МАРИЯ  ИВАНОВНА",
                                            serial(QDate(1985, 7, 15)),
                                            "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ",
                                            "12.5",
                                            "7",
                                            "Сестринское дело",
                                            "12.03.2024",
                                            "Сестринское дело",
                                            "ivanova@mail.ru",
                                            "112-233-445 95"};
    const struct {
        FieldValues second;
        QString notice;
        std::vector<std::string> written; // the second trainee's cells before the failed search
    } cases[] = {
        // The programme's code is compared with its case.
        {{{"KZicl", "пп-7"}}, "не найден цикл - пп-7", {"2", "пп-7", "ПП", "504", "заочн"}},
        {{{"KDoljn", 99}},
         "не найдена должность - ПЕТРОВ  АЛЕКСЕЙ  СЕРГЕЕВИЧ",
         {"2", "ПП-7", "ПП", "504", "заочн", "Функциональная диагностика", "2", "ПЕТРОВ  АЛЕКСЕЙ  СЕРГЕЕВИЧ",
          ""}},
        // An empty code reads as 0, which no specialty has.
        {{{"KSpez", QVariant()}},
         "не найдена специальность - ПЕТРОВ  АЛЕКСЕЙ  СЕРГЕЕВИЧ",
         {"2", "ПП-7", "ПП", "504", "заочн", "Функциональная диагностика", "2", "ПЕТРОВ  АЛЕКСЕЙ  СЕРГЕЕВИЧ",
          "", "ВРАЧ-ТЕРАПЕВТ", "20", "3.25"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(utf8(c.notice));
        dm.state().SilentDelete = 1;
        while (!dm.tblSluch2023->isEmpty())
            dm.tblSluch2023->remove();
        threeTrainees(c.second);
        h.prompter.expectInform(c.notice);
        const QString path = save();
        h.prompter.verify();
        const XlsxReader book = XlsxReader::fromFile(path);

        EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА № 116,01     на   2026  год  ");
        expectRow(book, 14, first);
        expectRow(book, 15, c.written);
        expectRow(book, 16, {});
        // The unfinished row is neither ruled nor formatted like the table.
        expectRuled(book, 14, 14);
        EXPECT_NE(book.cell("B15").style, book.cell("B14").style);
        expectFooter(book, 14, "83452123456");
        // The trainees stay on the one that ended the table.
        EXPECT_EQ(dm.tblSluch2023->recNo(), 1);
        EXPECT_EQ(dm.tblSluch2023->field("Name1").asString(), "ПЕТРОВ");
    }
}

TEST_F(ApplicationDocumentTest, OpenpyxlReadsTheValuesTheirTypesAndTheRuling) {
    const QString python = QStringLiteral(ZAJAVKI_OPENPYXL_PYTHON);
    if (python.isEmpty())
        GTEST_SKIP() << "no Python with openpyxl";
    threeTrainees();
    const QString file = save();
    const QStringList refs = {"A5",  "A14", "D15", "G16", "I14", "I15", "K14", "L15", "N14", "N15",
                              "Q14", "A16", "Q16", "A17", "E21", "G21", "E23", "E27", "G27", "E28"};
    QProcess reader;
    reader.start(python,
                 QStringList{QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file} +
                     refs);
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject cells =
        QJsonDocument::fromJson(reader.readAllStandardOutput()).object().value("cells").toObject();
    auto cell = [&](const char* ref) { return cells.value(ref).toObject(); };

    const struct {
        const char* ref;
        const char* type;
        QJsonValue value;
    } expected[] = {
        {"A5", "str", "ЗАЯВКА № 116,01     на   2026  год  "},
        {"A14", "int", 1},
        {"D15", "int", 504},
        {"G16", "int", 4},
        {"I14", "datetime", "1985-07-15"},
        {"I15", "NoneType", QJsonValue::Null},
        {"K14", "float", 12.5},
        {"L15", "float", 3.25},
        {"N14", "str", "12.03.2024"},
        {"N15", "NoneType", QJsonValue::Null},
        {"Q14", "str", "112-233-445 95"},
        {"E21", "str", "Ф.И.О. руководителя"},
        {"G21", "str", "Сидоров С. С."},
        {"E23", "str", "М.П. ЛПУ"},
        {"E27", "str", "Ф.И.О. исполнителя    "},
        {"G27", "str", "Кузнецова К. К."},
        {"E28", "str", "тел.:  83452123456"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(cell(e.ref).value("type").toString(), e.type) << e.ref;
        EXPECT_EQ(cell(e.ref).value("value"), e.value) << e.ref;
    }
    EXPECT_EQ(cell("I14").value("format").toString(), "dd\\.mm\\.yyyy");
    const QJsonArray thin = {"thin", "thin", "thin", "thin"};
    for (const char* ref : {"A14", "Q14", "A16", "Q16"})
        EXPECT_EQ(cell(ref).value("borders").toArray(), thin) << ref;
    EXPECT_EQ(cell("A17").value("borders").toArray(),
              (QJsonArray{QJsonValue::Null, QJsonValue::Null, QJsonValue::Null, QJsonValue::Null}));
}

// The stored trainee keeps the zero date and the start-up year it was given; the form shows
// neither: nobody was born on 30.12.1899 or has served for 2026 years.
TEST_F(ApplicationDocumentTest, UnknownBirthDateAndYearsOfServicePrintAsEmptyCells) {
    const FieldValues course = {{"KZicl", "ПК-55"}, {"VidOb", "ПК"}, {"Hours", 36}, {"FOBUCH", "очн"},
                                {"KV", 3},          {"KDoljn", 3},   {"KSpez", 1}};
    fill(dm.tblSluch2023, FieldValues{{"Name1", "СИДОРОВА"},
                                      {"Name2", "АННА"},
                                      {"Name3", "ПАВЛОВНА"},
                                      {"DR", Field::zeroDate()},
                                      {"StajOb", 2026},
                                      {"StajDoljn", 1900}} +
                              course);
    fill(dm.tblSluch2023, FieldValues{{"Name1", "ОРЛОВ"},
                                      {"Name2", "ИВАН"},
                                      {"Name3", "ИЛЬИЧ"},
                                      {"DR", QDate(1900, 3, 1)},
                                      {"StajOb", 1899},
                                      {"StajDoljn", 0}} +
                              course);
    const QString file = save();
    const XlsxReader book = XlsxReader::fromFile(file);
    for (const char* ref : {"I14", "K14", "L14"}) {
        EXPECT_EQ(shown(book, ref), "") << ref;
        // The cell keeps the table's look.
        EXPECT_EQ(book.style(book.cell(ref).style).sides, kThin) << ref;
    }
    // Real values, however odd, are printed.
    EXPECT_EQ(shown(book, "I15"), serial(QDate(1900, 3, 1)));
    EXPECT_EQ(shown(book, "K15"), "1899");
    EXPECT_EQ(shown(book, "L15"), "0");
    // The trainee's row is as it was.
    dm.tblSluch2023->first();
    EXPECT_EQ(dm.tblSluch2023->field("DR").asDate(), Field::zeroDate());
    EXPECT_EQ(dm.tblSluch2023->field("StajOb").asFloat(), 2026);

    const QString python = QStringLiteral(ZAJAVKI_OPENPYXL_PYTHON);
    if (python.isEmpty())
        GTEST_SKIP() << "no Python with openpyxl";
    QProcess reader;
    reader.start(python, {QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file, "I14",
                          "K14", "L14", "K15"});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject cells =
        QJsonDocument::fromJson(reader.readAllStandardOutput()).object().value("cells").toObject();
    for (const char* ref : {"I14", "K14", "L14"})
        EXPECT_EQ(cells.value(ref).toObject().value("type").toString(), "NoneType") << ref;
    EXPECT_EQ(cells.value("K15").toObject().value("value"), QJsonValue(1899));
}

// Each trainee's row is as high as its longest wrapped text, so that nothing prints over the
// row below it.
TEST_F(ApplicationDocumentTest, TraineeRowsAreAsHighAsTheirTexts) {
    fill(dm.tblNewZicl,
         {{"KZicl", "ПК-9"},
          {"VidOb", "ПК"},
          {"Hours", 72},
          {"RealZicl", 6},
          {"Year", 2026},
          {"NZicl", "Организация здравоохранения и общественное здоровье: экспертиза временной "
                    "нетрудоспособности, контроль качества и безопасности медицинской "
                    "деятельности в медицинской организации"}});
    threeTrainees({{"KZicl", "ПК-9"}, {"VidOb", "ПК"}, {"Hours", 72}});
    const XlsxReader book = XlsxReader::fromFile(save());
    const pugi::xml_node data = book.xml("xl/worksheets/sheet1.xml").child("worksheet").child("sheetData");
    auto row = [&](int r) { return data.find_child_by_attribute("row", "r", std::to_string(r).c_str()); };
    for (int r = 14; r <= 16; ++r)
        EXPECT_TRUE(row(r).attribute("customHeight").as_bool()) << r;
    // Two lines at least for the names in capitals; the long programme takes five or more.
    EXPECT_GE(row(14).attribute("ht").as_double(), 2 * 11.5);
    EXPECT_GE(row(15).attribute("ht").as_double(), 5 * 11.5);
    EXPECT_LT(row(14).attribute("ht").as_double(), row(15).attribute("ht").as_double());
    // The footer keeps the sheet's own heights.
    EXPECT_FALSE(row(21).attribute("ht"));
}

TEST_F(ApplicationDocumentTest, ThePrintButtonSavesTheDocumentAndOpensIt) {
    threeTrainees();
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    MainWindow& main = h.mainWindow();
    main.openApplications();
    QWidget* window = main.instance("ftrZajavki2023");
    ASSERT_TRUE(window);
    ui::click(window, "SpeedButton6");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QDir(h.app.root.documents()).filePath("Заявка 116.01 2026.xlsx"));
    EXPECT_EQ(shown(XlsxReader::fromFile(opened[0]), "H16"), "ЁЛКИНА  ОЛЬГА  ПЕТРОВНА");

    // A template that cannot be read ends the action with the error box naming it; nothing opens.
    QFile damaged(QDir(h.app.root.templates()).filePath("Zajavka2023.xltx"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not a workbook");
    damaged.close();
    h.prompter.expectError("Zajavka2023.xltx");
    ui::click(window, "SpeedButton6");
    h.prompter.verify();
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(ApplicationDocumentTest, ThePrintButtonNeverSavesIntoTheBaseFolder) {
    threeTrainees();
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    // Documents is a link into Base: the document is refused with the error box, Base untouched.
    const RootPaths& root = h.app.root;
    const QStringList before =
        QDir(root.base()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QDir(root.documents()).removeRecursively();
    ASSERT_TRUE(QFile::link(root.base(), root.documents()));
    MainWindow& main = h.mainWindow();
    main.openApplications();
    QWidget* window = main.instance("ftrZajavki2023");
    ASSERT_TRUE(window);
    h.prompter.expectError(RootPaths::insideBaseMessage(root.documents() + "/Заявка 116.01 2026.xlsx"));
    ui::click(window, "SpeedButton6");
    h.prompter.verify();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(QDir(root.base()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

} // namespace
