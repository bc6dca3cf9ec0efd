// Filling the default application form: values and their types, dates, borders of the ruled
// block, rows formatted after the model row, and everything else left as the template had it.
#include "ApplicationForm.h"
#include "support/TemplateRoot.h"
#include "support/XlsxReader.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/Workbook.h"

#include <cmath>
#include <QFile>
#include <set>

namespace {

const std::string kSheet = "xl/worksheets/sheet1.xml";

XlsxReader readTemplate(const QString& path) {
    return XlsxReader::fromFile(path);
}

bool inBlock(int row, int column, int top, int bottom) {
    return row >= top && row <= bottom && column <= 17;
}

class FillTemplate : public ::testing::Test, protected TemplateRoot {};

TEST_F(FillTemplate, FillsTheApplicationFormAndLeavesTheRestAsTheTemplateHadIt) {
    Workbook book = Workbook::open(templatePath);
    const auto trainees = sampleTrainees();
    fillApplication(book, trainees);
    const QString file = DocumentFolder(root.documents()).save(book, QStringLiteral("Заявка 116 2026"));
    EXPECT_EQ(file, root.documents() + QStringLiteral("/Заявка 116 2026.xlsx"));

    const XlsxReader out = XlsxReader::fromFile(file);
    const XlsxReader in = readTemplate(templatePath);

    // A workbook, not a template; no calculation chain.
    EXPECT_EQ(out.contentType("/xl/workbook.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    EXPECT_FALSE(out.has("xl/calcChain.xml"));
    EXPECT_TRUE(out.workbookTargets("/calcChain").empty());

    // Text as shared strings, kept exactly (the title ends in blanks).
    const auto title = out.cell("A5");
    EXPECT_EQ(title.type, "s");
    EXPECT_EQ(title.text, "ЗАЯВКА № 116     на   2026  год  ");
    EXPECT_TRUE(title.preserve);
    EXPECT_EQ(out.cell("A5").style, in.cell("A5").style);
    EXPECT_EQ(out.cell("F16").text, "Неотложные состояния <в практике> & \"доврачебная\" помощь");
    const auto certificate = out.cell("N14");
    EXPECT_EQ(certificate.type, "s");
    EXPECT_EQ(certificate.text, "12.03.2024");

    // Numbers: whole and floating, with no type; dates are numbers with a date style.
    EXPECT_EQ(out.cell("A16").value, "3");
    EXPECT_EQ(out.cell("D15").value, "504");
    EXPECT_EQ(out.cell("K14").value, "12.5");
    EXPECT_EQ(out.cell("L15").value, "3.25");
    for (const char* ref : {"A16", "D15", "K14", "I14"})
        EXPECT_EQ(out.cell(ref).type, "") << ref;
    EXPECT_EQ(out.cell("I14").value, "31243"); // 15.07.1985
    EXPECT_EQ(out.cell("I16").value, "36585"); // 29.02.2000
    for (const char* ref : {"I14", "I15", "I16"})
        EXPECT_EQ(out.style(out.cell(ref).style).formatCode, "dd\\.mm\\.yyyy") << ref;
    // An empty text leaves the cell without a value.
    EXPECT_EQ(out.cell("N15").value, "");
    EXPECT_TRUE(out.cell("N15").exists);

    // Every cell of the block has thin lines on its four sides; rows 15 and 16 look like row 14.
    for (int row = 14; row <= 16; ++row) {
        for (int column = 1; column <= 17; ++column) {
            const std::string ref = refName(row, column);
            const auto style = out.style(out.cell(ref).style);
            EXPECT_EQ(style.sides, (std::array<std::string, 4>{"thin", "thin", "thin", "thin"})) << ref;
            EXPECT_EQ(out.cell(ref).style, out.cell(refName(14, column)).style) << ref;
        }
    }
    // The model row's own look is kept in the clones: alignment, wrapping, font.
    for (int column = 1; column <= 17; ++column) {
        const auto before = in.style(in.cell(refName(14, column)).style);
        const auto after = out.style(out.cell(refName(14, column)).style);
        EXPECT_EQ(after.alignment, before.alignment);
        EXPECT_EQ(after.wrap, before.wrap);
        EXPECT_EQ(after.fontId, before.fontId);
    }
    // The style entries of the template are unchanged; the clones come after them.
    for (int xf = 0; xf < in.styleCount(); ++xf)
        EXPECT_EQ(out.xfXml(xf), in.xfXml(xf)) << xf;

    // The footer is plain text below the table.
    EXPECT_EQ(out.cell("E21").text, "Ф.И.О. руководителя");
    EXPECT_EQ(out.cell("G27").text, "Кузнецова К. К.");
    EXPECT_EQ(out.cell("E27").text, "Ф.И.О. исполнителя    ");
    EXPECT_EQ(out.style(out.cell("E21").style).sides, (std::array<std::string, 4>{}));
    EXPECT_FALSE(out.cell("A17").exists);
    EXPECT_FALSE(out.cell("R14").exists);

    // Each cell of the template outside the filled ones is as it was.
    const std::set<std::string> written = {"A5", "A11", "E21", "G21", "E23", "E27", "G27", "E28"};
    int compared = 0;
    for (pugi::xml_node row : in.xml(kSheet).child("worksheet").child("sheetData").children("row")) {
        for (pugi::xml_node c : row.children("c")) {
            const std::string ref = c.attribute("r").value();
            const auto [r, column] = splitRef(ref);
            if (written.count(ref) || inBlock(r, column, 14, 16))
                continue;
            const auto before = in.cell(ref), after = out.cell(ref);
            EXPECT_EQ(after.style, before.style) << ref;
            EXPECT_EQ(after.text, before.text) << ref;
            EXPECT_EQ(after.value, before.value) << ref;
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
    // Merges, columns, page setup and the parts nobody changed are copied as they are.
    auto childXml = [](const XlsxReader& r, const char* name) {
        std::ostringstream s;
        r.xml(kSheet).child("worksheet").child(name).print(s, "", pugi::format_raw);
        return s.str();
    };
    for (const char* element : {"mergeCells", "cols", "pageSetup", "sheetViews", "pageMargins"})
        EXPECT_EQ(childXml(out, element), childXml(in, element)) << element;
    for (const char* part :
         {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "docProps/core.xml", "_rels/.rels"})
        EXPECT_EQ(out.part(part), in.part(part)) << part;
    EXPECT_EQ(out.partNames(), in.partNames());
    EXPECT_EQ(std::string(out.xml(kSheet).child("worksheet").child("dimension").attribute("ref").value()),
              "A1:Q28");
}

// The date cases: the cell's own date format stays; a cell without one gets dd.mm.yyyy, from a
// clone of its style that keeps the rest of its look.
TEST_F(FillTemplate, DatesAreDayNumbersKeepingTheCellsOwnDateFormat) {
    struct Case {
        const char* cell;
        QDate date;
        const char* value;
        bool keepsStyle;
    };
    const Case cases[] = {
        {"I14", QDate(1985, 7, 15), "31243", true}, // the template's date column
        {"F14", QDate(2026, 1, 1), "46023", false}, // a text column of the table
        {"F15", QDate(1900, 3, 1), "61", false},    // the same style: the same clone
        {"T40", QDate(2000, 2, 29), "36585", false} // a cell the template does not have
    };
    Workbook book = Workbook::open(templatePath);
    book.formatRowsLike(14, 15, 15);
    for (const Case& c : cases)
        book.setDate(c.cell, c.date);
    book.setDate("C14", QDate());             // no date: an empty cell
    book.setDate("C15", QDate(1899, 12, 31)); // before 1900: text
    const XlsxReader in = readTemplate(templatePath);
    const XlsxReader out(book.toBytes());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        const auto cell = out.cell(c.cell);
        EXPECT_EQ(cell.value, c.value);
        EXPECT_EQ(cell.type, "");
        const auto style = out.style(cell.style);
        EXPECT_EQ(style.formatCode, "dd\\.mm\\.yyyy");
        if (c.keepsStyle) {
            EXPECT_EQ(cell.style, in.cell(c.cell).style);
        } else if (in.cell(c.cell).exists) {
            const auto before = out.style(in.cell(c.cell).style);
            EXPECT_EQ(style.borderId, before.borderId);
            EXPECT_EQ(style.fontId, before.fontId);
            EXPECT_EQ(style.alignment, before.alignment);
        }
    }
    EXPECT_EQ(out.cell("F14").style, out.cell("F15").style);
    // One date format is added, once.
    EXPECT_EQ(out.styleCount(), in.styleCount() + 2); // the clone of F's style and of the default
    EXPECT_EQ(out.cell("C14").value, "");
    EXPECT_EQ(out.cell("C15").text, "31.12.1899");
}

TEST_F(FillTemplate, TextIsKeptExactlyButForControlCharacters) {
    struct Case {
        QString text;
        std::string stored;
        bool preserve;
    };
    const Case cases[] = {
        {QStringLiteral("   "), "   ", true},
        {QStringLiteral("  слева"), "  слева", true},
        {QStringLiteral("справа "), "справа ", true},
        {QStringLiteral("a\u0001b\u0007c\u001F"), "abc", false},
        {QStringLiteral("строка\r\nвторая\rтретья"), "строка\nвторая\nтретья", true},
        {QStringLiteral("<&>\"'"), "<&>\"'", false},
        {QString::fromUtf8("смайлик 😀"), "смайлик 😀", false},
    };
    Workbook book = Workbook::open(templatePath);
    int row = 30;
    for (const Case& c : cases)
        book.setText(CellRef(row++, 2), c.text);
    book.setText("C30", QStringLiteral("   ")); // the same text: the same entry
    book.setText("D30", QStringLiteral("\u0001\u0002"));
    const XlsxReader out(book.toBytes());
    row = 30;
    for (const Case& c : cases) {
        const auto cell = out.cell(refName(row++, 2));
        EXPECT_EQ(cell.type, "s");
        EXPECT_EQ(cell.text, c.stored);
        EXPECT_EQ(cell.preserve, c.preserve) << c.stored;
    }
    EXPECT_EQ(out.cell("C30").value, out.cell("B30").value);
    EXPECT_EQ(out.cell("D30").value, ""); // nothing left: an empty cell
    // Headings of the template are reused rather than added again.
    const size_t before = readTemplate(templatePath).sharedStrings().size();
    Workbook again = Workbook::open(templatePath);
    again.setText("B40", QStringLiteral("Квартал"));
    EXPECT_EQ(XlsxReader(again.toBytes()).sharedStrings().size(), before);
}

TEST_F(FillTemplate, NumbersReadBackExactly) {
    const double doubles[] = {0.1, 1e-7, 123456.789, -2.5, 1e20, 0.30000000000000004, -0.0};
    const qint32 integers[] = {0, -5, 2147483647, -2147483647 - 1};
    Workbook book = Workbook::open(templatePath);
    int row = 30;
    for (const double d : doubles)
        book.setNumber(CellRef(row++, 11), d);
    row = 30;
    for (const qint32 i : integers)
        book.setInteger(CellRef(row++, 4), i);
    const XlsxReader out(book.toBytes());
    row = 30;
    for (const double d : doubles) {
        const auto cell = out.cell(refName(row++, 11));
        EXPECT_EQ(cell.type, "");
        EXPECT_EQ(std::stod(cell.value), d) << cell.value;
        EXPECT_EQ(cell.value.find('-') == 0, d < 0) << "no negative zero: " << cell.value;
    }
    row = 30;
    for (const qint32 i : integers)
        EXPECT_EQ(out.cell(refName(row++, 4)).value, std::to_string(i));

    for (const double bad : {std::nan(""), double(INFINITY)}) {
        try {
            book.setNumber("K50", bad);
            ADD_FAILURE() << "a number that is not finite was written";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains("K50")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("Zajavka2023.xltx")) << e.message().toStdString();
        }
    }
}

TEST_F(FillTemplate, RulingTakesTheBlockWhateverTheCornersOrder) {
    // A14 and Q13 (an application with no trainees): rows 13 and 14, columns A to Q.
    Workbook book = Workbook::open(templatePath);
    book.ruleThin("A14", "Q13");
    const XlsxReader out(book.toBytes());
    const XlsxReader in = readTemplate(templatePath);
    for (int row = 13; row <= 14; ++row)
        for (int column = 1; column <= 17; ++column)
            EXPECT_EQ(out.style(out.cell(refName(row, column)).style).sides,
                      (std::array<std::string, 4>{"thin", "thin", "thin", "thin"}))
                << refName(row, column);
    EXPECT_FALSE(out.cell("A15").exists);
    EXPECT_FALSE(out.cell("R13").exists);
    EXPECT_EQ(out.cell("A12").style, in.cell("A12").style);
    // One clone per distinct style in the block.
    std::set<int> distinct;
    for (int row = 13; row <= 14; ++row)
        for (int column = 1; column <= 17; ++column)
            distinct.insert(in.cell(refName(row, column)).style);
    EXPECT_EQ(out.styleCount(), in.styleCount() + int(distinct.size()));
}

TEST_F(FillTemplate, StylesDoNotGrowWithTheNumberOfRows) {
    Workbook book = Workbook::open(templatePath);
    book.formatRowsLike(14, 15, 1013);
    for (int row = 14; row <= 1013; ++row) {
        book.setText(CellRef(row, 8), QStringLiteral("Слушатель %1").arg(row));
        book.setDate(CellRef(row, 9), QDate(1980, 1, 1).addDays(row));
        book.setDate(CellRef(row, 6), QDate(1980, 1, 1).addDays(row)); // a column without a date format
    }
    book.ruleThin("A14", "Q1013");
    book.ruleThin("A14", "Q1013"); // ruling again changes nothing
    const XlsxReader out(book.toBytes());
    const XlsxReader in = readTemplate(templatePath);
    // The model row has five distinct styles, and F's got a dated one: six ruled clones and one dated.
    EXPECT_LE(out.styleCount(), in.styleCount() + 7);
    EXPECT_EQ(out.cell("F1013").style, out.cell("F14").style);
    EXPECT_EQ(out.cell("H1013").text, "Слушатель 1013");
    EXPECT_EQ(out.style(out.cell("Q1013").style).sides,
              (std::array<std::string, 4>{"thin", "thin", "thin", "thin"}));
}

TEST_F(FillTemplate, FormattedRowsTakeTheModelRowsLookOnlyWhereAsked) {
    Workbook book = Workbook::open(templatePath);
    book.formatRowsLike(14, 15, 17);
    book.setText("H16", QStringLiteral("Слушатель"));
    book.setText("H19", QStringLiteral("Подпись"));
    const XlsxReader out(book.toBytes());
    for (int row = 15; row <= 17; ++row)
        for (int column = 1; column <= 17; ++column)
            EXPECT_EQ(out.cell(refName(row, column)).style, out.cell(refName(14, column)).style)
                << refName(row, column);
    EXPECT_EQ(out.cell("H19").style, 0);
    EXPECT_FALSE(out.cell("A18").exists);
    // An empty range formats nothing.
    Workbook none = Workbook::open(templatePath);
    none.formatRowsLike(14, 15, 14);
    EXPECT_FALSE(XlsxReader(none.toBytes()).cell("A15").exists);
}

// Rows as high as their wrapped texts: spreadsheet programs that do not fit rows themselves
// would otherwise print the lines over the rows below.
TEST_F(FillTemplate, RowsBecomeAsHighAsTheirWrappedTexts) {
    Workbook book = Workbook::open(templatePath);
    book.formatRowsLike(14, 15, 19);
    const QString word = QStringLiteral("Терапия ");
    const QString institution =
        QStringLiteral("ГБУЗ «Городская клиническая больница № 3 имени Н. И. Пирогова»");
    book.setText("F14", QStringLiteral("Терапия"));
    book.setText("F15", word.repeated(12)); // the programme's column (F) wraps
    book.setText("F16", word.repeated(24));
    book.setText("F17", QStringLiteral("а\nб\nв"));
    book.setText("I18", word.repeated(24)); // the dates' column (I) does not
    book.setText("A11", institution);       // merged across A..Q
    book.setText("B19", institution);       // a narrow column of its own
    book.setInteger("A20", 7);
    book.fitRowHeights(5, 20);
    const XlsxReader out(book.toBytes());
    const pugi::xml_node data = out.xml(kSheet).child("worksheet").child("sheetData");
    auto row = [&](int r) { return data.find_child_by_attribute("row", "r", std::to_string(r).c_str()); };
    auto height = [&](int r) { return row(r).attribute("ht").as_double(15); };

    // A line of these 10-point texts is at least 11.5 points high in the fonts that show them.
    EXPECT_LE(height(14), 18);
    EXPECT_GE(height(15), 4 * 11.5);
    EXPECT_GE(height(16), 2 * height(15) - 11.5);
    EXPECT_GE(height(17), 3 * 11.5);
    EXPECT_LE(height(18), 18);
    EXPECT_LE(height(20), 18);
    // The merge gives the institution the whole width: the template's height stays.
    EXPECT_EQ(height(11), 18);
    EXPECT_GE(height(19), 3 * height(11));
    // The template's heights are never lowered; each row with a text has a height of its own,
    // rows without texts are left alone.
    EXPECT_EQ(height(5), 21);
    for (int r = 14; r <= 20; ++r)
        EXPECT_TRUE(row(r).attribute("customHeight").as_bool()) << r;
    EXPECT_FALSE(row(6));
    EXPECT_FALSE(row(10));
}

TEST_F(FillTemplate, SavingTwiceGivesTheSameWorkbook) {
    Workbook book = Workbook::open(templatePath);
    fillApplication(book, sampleTrainees());
    const XlsxReader first(book.toBytes()), second(book.toBytes());
    ASSERT_EQ(first.partNames(), second.partNames());
    for (const std::string& part : first.partNames())
        EXPECT_EQ(first.part(part), second.part(part)) << part;
}

} // namespace
