#include "spreadsheet/TextFit.h"

#include <algorithm>
#include <cmath>

namespace {

// Advance widths in thousandths of the font size: for each character the wider of Times New Roman
// and Arial (their metric twins measured).
constexpr short kCyrillicSmall[32] = {556, 573, 531, 410, 583, 556, 691, 458, 559, 559, 486,
                                      583, 688, 552, 556, 542, 556, 500, 458, 500, 823, 500,
                                      573, 521, 802, 823, 625, 719, 521, 510, 750, 542}; // а..я
constexpr short kCyrillicCapital[32] = {722, 656, 667,  578,  682, 667, 923, 604, 722,  722, 667,
                                        678, 889, 722,  778,  722, 667, 722, 611, 708,  790, 722,
                                        740, 666, 1009, 1009, 792, 885, 656, 719, 1028, 722}; // А..Я
constexpr short kLatinSmall[26] = {556, 556, 500, 556, 556, 333, 556, 556, 278, 278, 500, 278, 833,
                                   556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500}; // a..z
constexpr short kLatinCapital[26] = {722, 667, 722, 722, 667, 611, 778, 722, 333, 500, 722, 611, 889,
                                     722, 778, 667, 778, 722, 667, 611, 722, 722, 944, 722, 722, 611}; // A..Z
constexpr int kDigit = 556;
constexpr int kOther = 600;

// Bold faces are wider by up to a tenth; every estimate by a twentieth more, for safety.
constexpr double kBold = 1.08;
constexpr double kSafety = 1.05;
// A line is 1.15 of the font size in these fonts; a spreadsheet program leaves a little more.
constexpr double kLineSpacing = 1.2;
constexpr double kRowMargin = 3.0;   // points above and below the lines
constexpr double kCellMargins = 6.0; // points left and right of the text together

int advance(char16_t ch) {
    if (ch >= u'а' && ch <= u'я')
        return kCyrillicSmall[ch - u'а'];
    if (ch >= u'А' && ch <= u'Я')
        return kCyrillicCapital[ch - u'А'];
    if (ch == u'ё')
        return kCyrillicSmall[u'е' - u'а'];
    if (ch == u'Ё')
        return kCyrillicCapital[u'Е' - u'А'];
    if (ch >= u'a' && ch <= u'z')
        return kLatinSmall[ch - u'a'];
    if (ch >= u'A' && ch <= u'Z')
        return kLatinCapital[ch - u'A'];
    if (ch >= u'0' && ch <= u'9')
        return kDigit;
    switch (ch) {
    case u' ':
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'/':
    case u'!':
    case u'|':
        return 278;
    case u'\'':
        return 191;
    case u'-':
    case u'(':
    case u')':
    case u'[':
    case u']':
        return 333;
    case u'"':
        return 408;
    case u'«':
    case u'»':
    case u'_':
    case u'?':
        return 556;
    case u'@':
        return 1015;
    case u'№':
        return 1073;
    default:
        return kOther;
    }
}

double scale(double size, bool bold) {
    return size / 1000.0 * kSafety * (bold ? kBold : 1.0);
}

double width(QStringView text, double factor) {
    int total = 0;
    for (const QChar ch : text)
        total += advance(ch.unicode());
    return total * factor;
}

// Lines of one paragraph (no line breaks in it), filled word by word.
int paragraphLines(QStringView text, double room, double factor) {
    const double blank = advance(u' ') * factor;
    int lines = 1;
    double used = 0; // width on the current line
    bool lineEmpty = true;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u' ', start);
        if (end < 0)
            end = text.size();
        const QStringView word = text.mid(start, end - start);
        start = end + 1;
        if (word.isEmpty()) {
            // Blanks in a row take room where the line has begun.
            if (!lineEmpty)
                used += blank;
            continue;
        }
        const double w = width(word, factor);
        if (!lineEmpty && used + blank + w <= room) {
            used += blank + w;
            continue;
        }
        if (!lineEmpty) {
            ++lines;
            used = 0;
        }
        lineEmpty = false;
        if (w <= room) {
            used = w;
            continue;
        }
        // A word wider than the cell is broken character by character.
        for (const QChar ch : word) {
            const double c = advance(ch.unicode()) * factor;
            if (used > 0 && used + c > room) {
                ++lines;
                used = 0;
            }
            used += c;
        }
    }
    return lines;
}

} // namespace

double estimatedTextWidth(QStringView text, double size, bool bold) {
    return width(text, scale(size, bold));
}

int wrappedLineCount(QStringView text, double width, double size, bool bold) {
    const double factor = scale(size, bold);
    const double room = std::max(width, 1.0);
    int lines = 0;
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf(u'\n', start)) >= 0; start = end + 1)
        lines += paragraphLines(text.mid(start, end - start), room, factor);
    return lines + paragraphLines(text.mid(start), room, factor);
}

double rowHeightForLines(int lines, double size) {
    // Heights are kept in quarters of a point, as spreadsheet programs write them.
    return std::ceil((std::max(lines, 1) * size * kLineSpacing + kRowMargin) * 4.0) / 4.0;
}

double columnWidthInPoints(double characters, double defaultFontSize) {
    // A digit is half the font size wide, counted in whole pixels (at 96 per inch) as Excel does.
    const double digitPixels = std::max(1.0, std::round(defaultFontSize * 96.0 / 72.0 / 2.0));
    const double pixels =
        std::trunc((256.0 * characters + std::trunc(128.0 / digitPixels)) / 256.0 * digitPixels);
    return pixels * 72.0 / 96.0;
}

double textRoomInCell(double cellWidth) {
    return cellWidth - kCellMargins;
}
