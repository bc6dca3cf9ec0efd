#include "data/paradox/ParadoxFormat.h"

#include <cstdio>
#include <cstdlib>

bool paradoxTypeIsKnown(quint8 code) {
    switch (ParadoxFieldType(code)) {
    case ParadoxFieldType::Alpha:
    case ParadoxFieldType::Date:
    case ParadoxFieldType::Short:
    case ParadoxFieldType::Long:
    case ParadoxFieldType::Money:
    case ParadoxFieldType::Number:
    case ParadoxFieldType::Logical:
    case ParadoxFieldType::Memo:
    case ParadoxFieldType::Blob:
    case ParadoxFieldType::FormattedMemo:
    case ParadoxFieldType::Ole:
    case ParadoxFieldType::Graphic:
    case ParadoxFieldType::Time:
    case ParadoxFieldType::Timestamp:
    case ParadoxFieldType::AutoInc:
    case ParadoxFieldType::Bcd:
    case ParadoxFieldType::Bytes:
        return true;
    }
    return false;
}

bool paradoxTypeIsBlob(ParadoxFieldType type) {
    switch (type) {
    case ParadoxFieldType::Memo:
    case ParadoxFieldType::Blob:
    case ParadoxFieldType::FormattedMemo:
    case ParadoxFieldType::Ole:
    case ParadoxFieldType::Graphic:
        return true;
    default:
        return false;
    }
}

QChar paradoxTypeLetter(ParadoxFieldType type) {
    switch (type) {
    case ParadoxFieldType::Alpha:
        return u'A';
    case ParadoxFieldType::Date:
        return u'D';
    case ParadoxFieldType::Short:
        return u'S';
    case ParadoxFieldType::Long:
        return u'I';
    case ParadoxFieldType::Money:
        return u'$';
    case ParadoxFieldType::Number:
        return u'N';
    case ParadoxFieldType::Logical:
        return u'L';
    case ParadoxFieldType::Memo:
        return u'M';
    case ParadoxFieldType::Blob:
        return u'B';
    case ParadoxFieldType::FormattedMemo:
        return u'F';
    case ParadoxFieldType::Ole:
        return u'O';
    case ParadoxFieldType::Graphic:
        return u'G';
    case ParadoxFieldType::Time:
        return u'T';
    case ParadoxFieldType::Timestamp:
        return u'@';
    case ParadoxFieldType::AutoInc:
        return u'+';
    case ParadoxFieldType::Bcd:
        return u'#';
    case ParadoxFieldType::Bytes:
        return u'Y';
    }
    return u'?';
}

int paradoxRecordBytes(ParadoxFieldType type, int sizeByte) {
    auto fixed = [sizeByte](int bytes) { return sizeByte == bytes ? bytes : -1; };
    switch (type) {
    case ParadoxFieldType::Alpha:
    case ParadoxFieldType::Bytes:
        return sizeByte >= 1 ? sizeByte : -1;
    case ParadoxFieldType::Short:
        return fixed(2);
    case ParadoxFieldType::Date:
    case ParadoxFieldType::Long:
    case ParadoxFieldType::Time:
    case ParadoxFieldType::AutoInc:
        return fixed(4);
    case ParadoxFieldType::Money:
    case ParadoxFieldType::Number:
    case ParadoxFieldType::Timestamp:
        return fixed(8);
    case ParadoxFieldType::Logical:
        return fixed(1);
    case ParadoxFieldType::Memo:
    case ParadoxFieldType::Blob:
    case ParadoxFieldType::FormattedMemo:
    case ParadoxFieldType::Ole:
    case ParadoxFieldType::Graphic:
        return sizeByte >= kParadoxBlobRefSize ? sizeByte : -1;
    case ParadoxFieldType::Bcd:
        return sizeByte <= 32 ? kParadoxBcdBytes : -1;
    }
    return -1;
}

int paradoxDeclaredSize(ParadoxFieldType type, int sizeByte) {
    switch (type) {
    case ParadoxFieldType::Alpha:
    case ParadoxFieldType::Bytes:
    case ParadoxFieldType::Bcd:
        return sizeByte;
    default:
        return paradoxTypeIsBlob(type) ? sizeByte - kParadoxBlobRefSize : 0;
    }
}

QString paradoxTypeCode(ParadoxFieldType type, int declaredSize) {
    const QString letter(paradoxTypeLetter(type));
    switch (type) {
    case ParadoxFieldType::Alpha:
    case ParadoxFieldType::Bytes:
    case ParadoxFieldType::Bcd:
    case ParadoxFieldType::Memo:
    case ParadoxFieldType::Blob:
    case ParadoxFieldType::FormattedMemo:
    case ParadoxFieldType::Ole:
    case ParadoxFieldType::Graphic:
        return letter + u' ' + QString::number(declaredSize);
    default:
        return letter;
    }
}

QString paradoxVersionName(int v) {
    if (v == 3)
        return QStringLiteral("3.0");
    if (v == 4)
        return QStringLiteral("3.5");
    if (v >= 5 && v <= 9)
        return QStringLiteral("4.0");
    if (v == 10 || v == 11)
        return QStringLiteral("5.0");
    if (v == 12)
        return QStringLiteral("7");
    return QStringLiteral("?");
}

// Programs that write these numbers convert them from 80-bit floating point, whose 19 significant
// digits are all that carry meaning; the digits after them may be noise (the sample tables have
// such). 19 digits are also enough to round to the nearest double.
constexpr int kBcdSignificantDigits = 19;

bool paradoxDecodeBcd(const uchar* p, double* value) {
    const bool positive = p[0] & 0x80;
    const int scale = p[0] & 0x3F;
    if (scale > 32)
        return false;
    const uchar flip = positive ? 0x00 : 0xFF;
    // Significant digits as text with an exponent, so that the conversion rounds correctly.
    char text[32 + 8];
    int n = 0;
    int significant = 0;
    int lastExponentDigit = -1; // position of the last digit taken, from the left
    for (int i = 0; i < 32 && significant < kBcdSignificantDigits; ++i) {
        const uchar byte = p[1 + i / 2] ^ flip;
        const int digit = (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
        if (digit > 9)
            return false;
        if (digit == 0 && significant == 0)
            continue;
        text[n++] = char('0' + digit);
        ++significant;
        lastExponentDigit = i;
    }
    if (significant == 0) {
        *value = 0.0;
        return true;
    }
    // The digit at position i (0-based of 32) has weight 10^(31 − i − scale).
    const int exponent = 31 - lastExponentDigit - scale;
    n += std::snprintf(text + n, sizeof text - n, "e%d", exponent);
    double v = std::strtod(text, nullptr);
    *value = positive ? v : -v;
    return true;
}
