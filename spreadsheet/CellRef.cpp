#include "spreadsheet/CellRef.h"

#include <stdexcept>

namespace {

void appendColumn(std::string& out, int column) {
    char letters[4];
    int n = 0;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters[n++] = char('A' + digit);
        column = (column - 1) / 26;
    }
    while (n > 0)
        out.push_back(letters[--n]);
}

[[noreturn]] void badReference(QStringView text) {
    throw std::invalid_argument("not a cell reference: " + text.toString().toStdString());
}

} // namespace

CellRef::CellRef(int r, int c) : row(r), column(c) {
    if (r < 1 || r > kMaxRow || c < 1 || c > kMaxColumn)
        throw std::invalid_argument("cell outside the sheet: row " + std::to_string(r) + ", column " +
                                    std::to_string(c));
}

CellRef::CellRef(const char* a1) : CellRef(QString::fromUtf8(a1)) {}

CellRef::CellRef(const QString& a1) {
    const auto parsed = parse(a1);
    if (!parsed)
        badReference(a1);
    *this = *parsed;
}

std::optional<CellRef> CellRef::parse(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text[i] == u'$')
        ++i;
    qint64 column = 0;
    const qsizetype lettersStart = i;
    for (; i < n; ++i) {
        const char16_t ch = text[i].toUpper().unicode();
        if (ch < u'A' || ch > u'Z')
            break;
        column = column * 26 + (ch - u'A' + 1);
        if (column > kMaxColumn)
            return std::nullopt;
    }
    if (i == lettersStart)
        return std::nullopt;
    if (i < n && text[i] == u'$')
        ++i;
    qint64 row = 0;
    const qsizetype digitsStart = i;
    for (; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        row = row * 10 + (ch - u'0');
        if (row > kMaxRow)
            return std::nullopt;
    }
    if (i == digitsStart || row < 1)
        return std::nullopt;
    CellRef ref;
    ref.row = int(row);
    ref.column = int(column);
    return ref;
}

void CellRef::appendName(std::string& out) const {
    appendColumn(out, column);
    char digits[12];
    int n = 0;
    for (int r = row; r > 0; r /= 10)
        digits[n++] = char('0' + r % 10);
    while (n > 0)
        out.push_back(digits[--n]);
}

QString CellRef::name() const {
    std::string out;
    appendName(out);
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString columnName(int column) {
    std::string out;
    appendColumn(out, column);
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}
