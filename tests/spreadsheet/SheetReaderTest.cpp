// Staff lists read from the files offices save: an .xlsx made by a spreadsheet program, CSV in
// Windows-1251 or UTF-8 with either separator, and hostile files refused with the file's name.
#include "spreadsheet/SheetReader.h"
#include "spreadsheet/DocumentError.h"
#include "spreadsheet/ZipPackage.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("ZAJAVKI_FIXTURES") + "/staff/" + name;
}

QStringList texts(const QList<SheetCell>& row) {
    QStringList out;
    for (const SheetCell& c : row)
        out << c.text;
    return out;
}

// The same three lines, however the office saved them.
TEST(SheetReader, ReadsTheStaffListAsSavedByASpreadsheetProgram) {
    for (const char* file : {"staff-libreoffice.xlsx", "staff-libreoffice.xls", "staff-cp1251.csv"}) {
        SCOPED_TRACE(file);
        const Sheet sheet = readSheetFile(fixture(QString::fromLatin1(file)));
        ASSERT_EQ(sheet.rows.size(), 3);
        EXPECT_EQ(texts(sheet.rows[0]), (QStringList{"Фамилия", "Имя", "Отчество", "Дата рождения",
                                                     "Должность", "СНИЛС", "E-mail"}));
        EXPECT_EQ(sheet.rows[1][0].text, "ИВАНОВА");
        EXPECT_EQ(sheet.rows[1][5].text, "112-233-445 95");
        EXPECT_EQ(sheet.rows[2][1].text, "ПЁТР");
        EXPECT_EQ(sheet.rows[2].size(), 5) << "empty cells at the end are left out";
    }
    // In the workbooks, the birth dates are dates; in the CSV, the text as typed.
    for (const char* file : {"staff-libreoffice.xlsx", "staff-libreoffice.xls"}) {
        const Sheet book = readSheetFile(fixture(QString::fromLatin1(file)));
        EXPECT_EQ(book.rows[1][3].kind, SheetCell::Kind::Date) << file;
        EXPECT_EQ(book.rows[1][3].date, QDate(1967, 4, 12)) << file;
    }
    const Sheet csv = readSheetFile(fixture("staff-cp1251.csv"));
    EXPECT_EQ(csv.rows[1][3].kind, SheetCell::Kind::Text);
    EXPECT_EQ(csv.rows[1][3].text, "12.04.1967");
}

TEST(SheetReader, CsvFindsItsEncodingAndSeparatorAndKeepsQuotedFields) {
    const struct {
        QByteArray bytes;
        QList<QStringList> rows;
    } cases[] = {
        {"a;b;c\r\n1;2;3\r\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
        {"a,b\n\"x, y\",\"say \"\"hi\"\"\"\n", {{"a", "b"}, {"x, y", "say \"hi\""}}},
        {"\xEF\xBB\xBF\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0;2\n", {{"Ёлка", "2"}}}, // UTF-8 with its mark
        {"\xA8\xEB\xEA\xE0;2\n", {{"Ёлка", "2"}}},                             // Windows-1251
        {"\"two\nlines\";x\n\n\n", {{"two\nlines", "x"}}},                     // trailing empty rows go
        {"a;\"1,5\";b\n", {{"a", "1,5", "b"}}},                                // a comma inside quotes
    };
    for (const auto& c : cases) {
        const Sheet sheet = readCsv(c.bytes, "test.csv");
        QList<QStringList> rows;
        for (const auto& row : sheet.rows)
            rows << texts(row);
        EXPECT_EQ(rows, c.rows) << c.bytes.toStdString();
    }
}

TEST(SheetReader, SerialNumbersAreTheSpreadsheetsDays) {
    EXPECT_EQ(dateFromSerial(1), QDate(1900, 1, 1));
    EXPECT_EQ(dateFromSerial(59), QDate(1900, 2, 28));
    EXPECT_EQ(dateFromSerial(61), QDate(1900, 3, 1));
    EXPECT_EQ(dateFromSerial(24574), QDate(1967, 4, 12));
    EXPECT_EQ(dateFromSerial(46367.75), QDate(2026, 12, 11)) << "the time of day is dropped";
    EXPECT_FALSE(dateFromSerial(0).isValid());
    EXPECT_FALSE(dateFromSerial(-3).isValid());
}

// Hostile and damaged files: refused with a message naming the file, within the bounds.
TEST(SheetReader, RefusesHostileFilesNamingThem) {
    SheetLimits small;
    small.rows = 100;
    small.cellCharacters = 1000;
    const QByteArray manyRows = QByteArray("a;b\n").repeated(101);
    const QByteArray longCell = "a;" + QByteArray(1001, 'x') + "\n";
    const struct {
        const char* name;
        QByteArray bytes;
        const char* saying;
    } cases[] = {
        {"too many rows", manyRows, "больше 100 строк"},
        {"a huge cell", longCell, "больше 1000 знаков"},
        {"an open quote", "a;\"b\n", "кавычка"},
        {"binary", QByteArray("PK\x03\x04\0\0\0", 7), "не текст"},
    };
    for (const auto& c : cases) {
        try {
            readCsv(c.bytes, "/tmp/Сотрудники.csv", small);
            ADD_FAILURE() << c.name << " was read";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators("/tmp/Сотрудники.csv"))) << c.name;
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.saying)))
                << c.name << ": " << e.message().toStdString();
        }
    }
    // A workbook that is no zip, or is HTML saved under a workbook's name.
    for (const QByteArray& bytes :
         {QByteArray("<html><table><tr><td>1</td></tr></table></html>"), QByteArray()}) {
        try {
            readXlsx(bytes, "/tmp/Сотрудники.xlsx");
            ADD_FAILURE() << "read";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains("это не книга Excel")) << e.message().toStdString();
        }
    }
    // A workbook that claims more unpacked bytes than allowed is not unpacked at all.
    QFile book(fixture("staff-libreoffice.xlsx"));
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    SheetLimits tight;
    tight.unpackedBytes = 1024;
    try {
        readXlsx(book.readAll(), "/tmp/bomb.xlsx", tight);
        ADD_FAILURE() << "read";
    } catch (const DocumentError& e) {
        EXPECT_TRUE(e.message().contains("распакованный")) << e.message().toStdString();
    }
    try {
        readSheetFile("/tmp/Сотрудники.ods");
        ADD_FAILURE() << "read";
    } catch (const DocumentError& e) {
        EXPECT_TRUE(e.message().contains(".xlsx, .xls и .csv")) << e.message().toStdString();
    }
    // An .xls that is really a web page, as some programs "export to Excel".
    QTemporaryDir dir;
    const QString html = dir.filePath("Сотрудники.xls");
    {
        QFile page(html);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><body><table><tr><td>ИВАНОВА</td></tr></table></body></html>");
    }
    try {
        readSheetFile(html);
        ADD_FAILURE() << "read";
    } catch (const DocumentError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(html)));
        EXPECT_TRUE(e.message().contains("это не книга Excel 97–2003")) << e.message().toStdString();
    }
}

// The LibreOffice workbook with its sheet replaced: what other programs write into a sheet.
QByteArray workbookWithSheet(const std::string& sheetData) {
    QFile book(fixture("staff-libreoffice.xlsx"));
    EXPECT_TRUE(book.open(QIODevice::ReadOnly));
    const ZipPackage package(book.readAll());
    const std::string sheet =
        R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/)"
        R"(spreadsheetml/2006/main"><sheetData>)" +
        sheetData + "</sheetData></worksheet>";
    return package.write({{"xl/worksheets/sheet1.xml", {sheet, false}}}, {});
}

TEST(SheetReader, XlsxCellsOfEveryKind) {
    const Sheet sheet = readXlsx(
        workbookWithSheet(R"(<row r="1"><c r="A1"><f>1+1</f><v>2</v></c><c r="C1" t="str"><f>A1&amp;"x"</f>)"
                          R"(<v>2x</v></c><c r="D1" t="inlineStr"><is><t>Ёлка</t></is></c></row>)"
                          R"(<row r="3"><c r="B3" t="s"><v>7</v></c><c r="E3" s="1"><v>24574</v></c>)"
                          R"(<c r="F3" t="e"><v>#REF!</v></c><c r="ZZ3"><v>9</v></c></row>)"),
        "book.xlsx");
    ASSERT_EQ(sheet.rows.size(), 3);
    EXPECT_EQ(texts(sheet.rows[0]), (QStringList{"2", "", "2x", "Ёлка"}))
        << "a formula gives its saved value";
    EXPECT_EQ(sheet.rows[0][0].kind, SheetCell::Kind::Number);
    EXPECT_EQ(sheet.rows[0][1].kind, SheetCell::Kind::Empty);
    EXPECT_TRUE(sheet.rows[1].isEmpty()) << "a row the sheet skips is an empty row";
    EXPECT_EQ(sheet.rows[2].size(), 5) << "an error cell is empty; a cell far to the right is not read";
    EXPECT_EQ(sheet.rows[2][1].text, "ИВАНОВА");
    EXPECT_EQ(sheet.rows[2][4].date, QDate(1967, 4, 12)) << "style 1 of the workbook shows dates";

    const struct {
        const char* name;
        std::string sheetData;
        const char* saying;
    } hostile[] = {
        {"a million empty rows", R"(<row r="1"/><row r="1000000"/>)", "больше 100000 строк"},
        {"rows out of order", R"(<row r="5"/><row r="2"/>)", "не по порядку"},
        {"a string that is not there", R"(<row r="1"><c r="A1" t="s"><v>999</v></c></row>)",
         "строку, которой нет"},
        {"a cell in another row", R"(<row r="1"><c r="A2"><v>1</v></c></row>)", "неверный адрес"},
        {"a number that is none", R"(<row r="1"><c r="A1"><v>abc</v></c></row>)", "не число"},
    };
    for (const auto& c : hostile) {
        try {
            readXlsx(workbookWithSheet(c.sheetData), "/tmp/book.xlsx");
            ADD_FAILURE() << c.name << " was read";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.saying)))
                << c.name << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("/tmp/book.xlsx"));
        }
    }
}

} // namespace
