// Templates other than ours: the active sheet found through the package, parts a template may
// lack, formulas and the calculation chain, the 1904 date system, prefixed XML; and the
// templates that cannot be read or are too large, each with a message naming the file.
#include "support/XlsxReader.h"

#include "spreadsheet/CellRef.h"
#include "spreadsheet/DocumentError.h"
#include "spreadsheet/Workbook.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <map>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <zip.h>

namespace {

const char* const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRelTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

using PartMap = std::map<std::string, std::string>;

std::string rel(const char* id, const char* type, const std::string& target) {
    return std::string("<Relationship Id=\"") + id + "\" Type=\"" + kRelTypes + type + "\" Target=\"" +
           target + "\"/>";
}

// A template of two sheets, the second one active and named by an absolute target; it has a
// formula with its cached result, a calculation chain, the 1904 date system, and neither shared
// strings nor styles.
PartMap twoSheetTemplate() {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
    return {
        {"[Content_Types].xml",
         head +
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
             "<Override PartName=\"/xl/worksheets/second.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
             "<Override PartName=\"/xl/calcChain.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>"
             "</Types>"},
        {"_rels/.rels",
         head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
             rel("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>"},
        {"xl/workbook.xml",
         head + "<workbook xmlns=\"" + kMain +
             "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<workbookPr date1904=\"1\"/><bookViews><workbookView activeTab=\"1\"/></bookViews>"
             "<sheets><sheet name=\"Первый\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Второй\" "
             "sheetId=\"2\" r:id=\"rId2\"/></sheets>"
             "</workbook>"},
        {"xl/_rels/workbook.xml.rels",
         head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
             rel("rId1", "worksheet", "worksheets/sheet1.xml") +
             rel("rId2", "worksheet", "/xl/worksheets/second.xml") +
             rel("rId3", "calcChain", "calcChain.xml") + "</Relationships>"},
        {"xl/worksheets/sheet1.xml",
         head + "<worksheet xmlns=\"" + kMain +
             "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>"},
        {"xl/worksheets/second.xml",
         head + "<worksheet xmlns=\"" + kMain +
             "\"><sheetData>"
             "<row r=\"1\" spans=\"1:3\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c><c "
             "r=\"C1\"><f>A1+B1</f><v>3</v></c></row>"
             "<row r=\"3\" spans=\"1:2\"><c r=\"B3\" t=\"str\"><f>\"x\"&amp;A1</f><v>x1</v></c></row>"
             "</sheetData></worksheet>"},
        {"xl/calcChain.xml",
         head + "<calcChain xmlns=\"" + kMain + "\"><c r=\"C1\" i=\"2\"/><c r=\"B3\"/></calcChain>"},
    };
}

struct TempFiles {
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
};

std::vector<std::string> childNames(pugi::xml_node node) {
    std::vector<std::string> out;
    for (pugi::xml_node c : node.children())
        out.push_back(std::string(c.name()) +
                      (c.attribute("r") ? std::string(" ") + c.attribute("r").value() : ""));
    return out;
}

TEST(TemplatePackage, FillsTheActiveSheetAndAddsWhatItLacks) {
    TempFiles files;
    const PartMap parts = twoSheetTemplate();
    Workbook book = Workbook::open(files.write("two.xltx", zipOf(parts)));
    book.setText("B2", QStringLiteral("текст"));
    book.setDate("A4", QDate(2026, 1, 1));
    book.setInteger("D1", 7);
    const XlsxReader out(book.toBytes());
    const std::string sheet = "xl/worksheets/second.xml";

    // The active (second) sheet was filled, the first is the template's own.
    EXPECT_EQ(out.part("xl/worksheets/sheet1.xml"), parts.at("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(out.cell("B2", sheet).text, "текст");
    EXPECT_EQ(out.cell("D1", sheet).value, "7");
    // Days counted from 1904; the new style part gives the cell its date format.
    EXPECT_EQ(out.cell("A4", sheet).value, "44561");
    EXPECT_EQ(out.style(out.cell("A4", sheet).style).formatCode, "dd\\.mm\\.yyyy");
    EXPECT_EQ(out.workbookTargets("/sharedStrings"), std::vector<std::string>{"sharedStrings.xml"});
    EXPECT_EQ(out.workbookTargets("/styles"), std::vector<std::string>{"styles.xml"});
    EXPECT_EQ(out.contentType("/xl/sharedStrings.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
    EXPECT_EQ(out.contentType("/xl/styles.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
    EXPECT_EQ(out.contentType("/xl/workbook.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");

    // Rows and cells in order, the new ones among the old; no stale spans; the dimension.
    const pugi::xml_node data = out.xml(sheet).child("worksheet").child("sheetData");
    EXPECT_EQ(childNames(data), (std::vector<std::string>{"row 1", "row 2", "row 3", "row 4"}));
    EXPECT_EQ(childNames(data.find_child_by_attribute("row", "r", "1")),
              (std::vector<std::string>{"c A1", "c B1", "c C1", "c D1"}));
    for (pugi::xml_node row : data.children("row"))
        EXPECT_FALSE(row.attribute("spans")) << row.attribute("r").value();
    EXPECT_EQ(std::string(out.xml(sheet).child("worksheet").child("dimension").attribute("ref").value()),
              "A1:D4");
    EXPECT_EQ(std::string(out.xml(sheet).child("worksheet").first_child().name()), "dimension");

    // No calculation chain; formulas keep their text, lose their cached results, and are
    // computed when the workbook is opened.
    EXPECT_FALSE(out.has("xl/calcChain.xml"));
    EXPECT_TRUE(out.workbookTargets("/calcChain").empty());
    EXPECT_EQ(out.contentType("/xl/calcChain.xml"), "");
    for (const char* ref : {"C1", "B3"}) {
        const auto cell = out.cell(ref, sheet);
        EXPECT_TRUE(cell.formula) << ref;
        EXPECT_EQ(cell.value, "") << ref;
        EXPECT_EQ(cell.type, "") << ref;
    }
    EXPECT_STREQ(
        out.xml("xl/workbook.xml").child("workbook").child("calcPr").attribute("fullCalcOnLoad").value(),
        "1");
}

TEST(TemplatePackage, HandlesPrefixedXmlAndCellsWithoutReferences) {
    PartMap parts = twoSheetTemplate();
    parts["xl/worksheets/second.xml"] =
        std::string("<x:worksheet xmlns:x=\"") + kMain +
        "\"><x:sheetData>"
        "<x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row>"
        "<x:row><x:c r=\"C2\"><x:v>5</x:v></x:c></x:row></x:sheetData></x:worksheet>";
    TempFiles files;
    Workbook book = Workbook::open(files.write("prefixed.xlsx", zipOf(parts)));
    book.setInteger("C1", 3);
    book.ruleThin("A2", "A2");
    const XlsxReader out(book.toBytes());
    const pugi::xml_node data = out.xml("xl/worksheets/second.xml").child("x:worksheet").child("x:sheetData");
    EXPECT_EQ(childNames(data), (std::vector<std::string>{"x:row 1", "x:row 2"}));
    EXPECT_EQ(childNames(data.first_child()), (std::vector<std::string>{"x:c A1", "x:c B1", "x:c C1"}));
    EXPECT_EQ(childNames(data.last_child()), (std::vector<std::string>{"x:c A2", "x:c C2"}));
    EXPECT_STREQ(data.first_child().last_child().child("x:v").text().get(), "3");
}

TEST(TemplatePackage, UnreadableTemplatesAreNamedInTheMessage) {
    PartMap noWorkbook = {{"[Content_Types].xml", twoSheetTemplate().at("[Content_Types].xml")}};
    PartMap brokenSheet = twoSheetTemplate();
    brokenSheet["xl/worksheets/second.xml"] = "<worksheet><sheetData><row r=";
    PartMap noSheets = twoSheetTemplate();
    noSheets["xl/workbook.xml"] = std::string("<workbook xmlns=\"") + kMain + "\"><sheets/></workbook>";
    PartMap rowsOutOfOrder = twoSheetTemplate();
    rowsOutOfOrder["xl/worksheets/second.xml"] =
        std::string("<worksheet xmlns=\"") + kMain +
        "\"><sheetData><row r=\"5\"/><row r=\"2\"/></sheetData></worksheet>";

    PartMap withMacros = twoSheetTemplate();
    const std::string templateType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
    std::string& types = withMacros["[Content_Types].xml"];
    types.replace(types.find(templateType), templateType.size(),
                  "application/vnd.ms-excel.template.macroEnabled.main+xml");

    struct Case {
        const char* what;
        QByteArray bytes; // null: no file at all
        const char* phrase;
    };
    TempFiles files;
    QDir(files.dir.path()).mkdir(QStringLiteral("folder.xltx"));
    const Case cases[] = {
        {"missing", QByteArray(), "Не найден шаблон"},
        {"empty file", QByteArray(""), "это не книга Excel"},
        {"not a zip", QByteArray("это просто текст, а не книга"), "это не книга Excel"},
        {"zip without workbook", zipOf(noWorkbook), "в нём нет книги"},
        {"broken sheet XML", zipOf(brokenSheet), "не читается лист «Второй»"},
        {"no sheets", zipOf(noSheets), "в книге нет листов"},
        {"rows out of order", zipOf(rowsOutOfOrder), "не читается лист «Второй»"},
        {"macros", zipOf(withMacros), "содержит макросы"},
        {"a folder", QByteArray(), "Не удалось прочитать шаблон"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString path = files.dir.filePath(QStringLiteral("шаблон %1.xltx").arg(++n));
        if (std::string(c.what) == "a folder")
            path = files.dir.filePath(QStringLiteral("folder.xltx"));
        else if (!c.bytes.isNull())
            files.write(QFileInfo(path).fileName(), c.bytes);
        try {
            Workbook::open(path);
            ADD_FAILURE() << "opened";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.phrase))) << e.message().toStdString();
        }
    }
}

// The size a zip's headers give a part once unpacked, changed in its local header and in the
// central directory alike (the sizes a zip bomb lies about).
QByteArray withDeclaredSize(QByteArray zip, const std::string& part, quint32 size) {
    auto u16 = [&](qsizetype at) { return quint16(uchar(zip[at]) | uchar(zip[at + 1]) << 8); };
    auto put32 = [&](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char(v >> (8 * i));
    };
    int changed = 0;
    for (qsizetype at = 0; at + 46 <= zip.size(); ++at) {
        const bool local = zip.mid(at, 4) == QByteArray("PK\x03\x04", 4);
        const bool central = zip.mid(at, 4) == QByteArray("PK\x01\x02", 4);
        if (!local && !central)
            continue;
        const qsizetype nameAt = at + (local ? 30 : 46);
        const quint16 nameLength = u16(at + (local ? 26 : 28));
        if (zip.mid(nameAt, nameLength).toStdString() != part)
            continue;
        put32(at + (local ? 22 : 24), size);
        ++changed;
    }
    EXPECT_EQ(changed, 2) << part;
    return zip;
}

// Templates that would take the computer's memory are refused before anything is unpacked, and
// what a lying archive unpacks stays within the size it declares.
TEST(TemplatePackage, ATemplateTooLargeUnpackedIsRefusedByName) {
    const std::string sheet = "xl/worksheets/second.xml";
    PartMap padded = twoSheetTemplate();
    // Two megabytes of blanks, packed into a few kilobytes.
    padded[sheet].insert(padded[sheet].find("<sheetData>"), std::string(2 << 20, ' '));
    PartMap extraPart = twoSheetTemplate();
    extraPart["xl/media/padding.bin"] = std::string(2 << 20, '\0');
    const QByteArray small = zipOf(twoSheetTemplate());
    // The sheet followed by two megabytes of blanks, declared as long as the sheet alone.
    PartMap trailing = twoSheetTemplate();
    const quint32 sheetSize = quint32(trailing[sheet].size());
    trailing[sheet] += std::string(2 << 20, ' ');

    constexpr qint64 kMegabyte = 1 << 20;
    const struct {
        const char* what;
        QByteArray bytes;
        qint64 limit; // 0: the program's own
        const char* phrase;
    } cases[] = {
        {"a part declared larger than the program takes", withDeclaredSize(small, sheet, 60u << 20), 0,
         "больше 50 МБ"},
        {"the sheet unpacked beyond the limit", zipOf(padded), kMegabyte, "больше 1 МБ"},
        {"a part no one reads beyond the limit", zipOf(extraPart), kMegabyte, "больше 1 МБ"},
        {"a file larger than the limit", small, 1024, "больше 1 КБ"},
        // The sheet unpacks to more than it declares: no more than declared is unpacked, and the
        // lie is noticed.
        {"a part larger than declared", withDeclaredSize(zipOf(trailing), sheet, sheetSize), kMegabyte,
         "повреждён"},
    };
    TempFiles files;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = files.write(QStringLiteral("шаблон %1.xltx").arg(++n), c.bytes);
        try {
            if (c.limit)
                Workbook::open(path, c.limit);
            else
                Workbook::open(path);
            ADD_FAILURE() << "opened";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.phrase))) << e.message().toStdString();
        }
    }
    // Within the limit, the padded template is a template.
    EXPECT_NO_THROW(Workbook::open(files.write(QStringLiteral("padded.xltx"), zipOf(padded)), 4 * kMegabyte));
}

TEST(CellReferences, ParseAndName) {
    struct Case {
        const char* text;
        int row, column;
    };
    const Case valid[] = {
        {"A1", 1, 1}, {"q16", 16, 17}, {"$A$14", 14, 1}, {"AA100", 100, 27}, {"XFD1048576", 1048576, 16384}};
    for (const Case& c : valid) {
        const auto ref = CellRef::parse(QString::fromLatin1(c.text));
        ASSERT_TRUE(ref) << c.text;
        EXPECT_EQ(ref->row, c.row) << c.text;
        EXPECT_EQ(ref->column, c.column) << c.text;
        EXPECT_EQ(ref->name(), QString::fromLatin1(c.text).remove(QLatin1Char('$')).toUpper());
    }
    for (const char* bad : {"", "A", "14", "A0", "1A", "A1B", "XFE1", "A1048577", "А1" /* Cyrillic А */})
        EXPECT_FALSE(CellRef::parse(QString::fromUtf8(bad))) << bad;
    EXPECT_THROW(CellRef("B"), std::invalid_argument);
    EXPECT_THROW(CellRef(0, 1), std::invalid_argument);
}

} // namespace
