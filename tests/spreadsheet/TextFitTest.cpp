// The estimate of the room a text takes: lines of wrapped text, never fewer than the fonts the
// documents are shown in need, and the heights and widths counted as spreadsheet programs count
// them.
#include "spreadsheet/TextFit.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QString>

namespace {

TEST(TextFit, WrapsAtBlanksAndLineBreaksAndBreaksOnlyWordsWiderThanTheCell) {
    const double size = 10;
    const double word = estimatedTextWidth(u"ТЕРАПЕВТ", size, false);
    const struct {
        const char* what;
        QString text;
        double width;
        int lines;
    } cases[] = {
        {"empty", "", 100, 1},
        {"one word", "ТЕРАПЕВТ", word, 1},
        {"two words side by side", "ТЕРАПЕВТ ТЕРАПЕВТ", 2.5 * word, 1},
        {"two words one under the other", "ТЕРАПЕВТ ТЕРАПЕВТ", 1.5 * word, 2},
        {"double blanks between words", "ТЕРАПЕВТ  ТЕРАПЕВТ  ТЕРАПЕВТ", 1.5 * word, 3},
        {"line breaks", "а\nб\n\nв", 100, 4},
        {"a word wider than the cell", "ТЕРАПЕВТТЕРАПЕВТТЕРАПЕВТ", 1.1 * word, 3},
        {"a narrow cell takes a letter a line at least", "ТЕРАПЕВТ", 0, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(wrappedLineCount(c.text, c.width, size, false), c.lines);
    }
    // Bold and larger letters take more room.
    EXPECT_GT(estimatedTextWidth(u"Стаж", 10, true), estimatedTextWidth(u"Стаж", 10, false));
    EXPECT_DOUBLE_EQ(estimatedTextWidth(u"Стаж", 20, false), 2 * estimatedTextWidth(u"Стаж", 10, false));
}

TEST(TextFit, EstimatesAreNeverBelowTheCommonOfficeFonts) {
    // Widths in points at 10 points, as Liberation Serif and Liberation Sans (the metric twins of
    // Times New Roman and Arial) set these words; the estimate must not be narrower than either.
    const struct {
        const char16_t* text;
        bool bold;
        double serif, sans;
    } words[] = {
        {u"ВРАЧ-ТЕРАПЕВТ", false, 76.2, 79.9},  {u"УЧАСТКОВЫЙ", false, 69.3, 68.7},
        {u"специальности", true, 68.0, 76.1},   {u"ivanova@mail.ru", false, 69.5, 74.6},
        {u"112-233-445 95", false, 63.8, 70.6},
    };
    for (const auto& w : words) {
        const double estimate = estimatedTextWidth(w.text, 10, w.bold);
        EXPECT_GE(estimate, std::max(w.serif, w.sans)) << QString::fromUtf16(w.text).toStdString();
        EXPECT_LE(estimate, 1.25 * std::max(w.serif, w.sans)) << QString::fromUtf16(w.text).toStdString();
    }
}

TEST(TextFit, HeightsGrowWithTheLinesAndWidthsCountDigits) {
    // One line of 10-point text fits a row of the usual 15 points; each line adds its height.
    EXPECT_LE(rowHeightForLines(1, 10), 15.0);
    EXPECT_GE(rowHeightForLines(1, 10), 12.75);
    EXPECT_GE(rowHeightForLines(3, 10) - rowHeightForLines(2, 10), 11.5);
    EXPECT_GE(rowHeightForLines(3, 10), 3 * 11.5);
    // Excel's own figures for its default 11-point font (digits 7 pixels wide): its default
    // column, written as 9.140625 characters, is 64 pixels (48 points); 18 characters are 126.
    EXPECT_DOUBLE_EQ(columnWidthInPoints(9.140625, 11), 48);
    EXPECT_DOUBLE_EQ(columnWidthInPoints(18, 11), 126 * 0.75);
    EXPECT_LT(textRoomInCell(48), 48);
}

} // namespace
