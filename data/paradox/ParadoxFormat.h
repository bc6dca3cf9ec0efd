#pragma once
// Facts of the Paradox table format that the reader and the writer share: field types, where
// the header keeps its numbers, and how values are laid out in a record.
//
// Header integers are little-endian. Values inside records are big-endian with the sign bit
// flipped, so that records compare byte by byte in value order; an empty value is all zero bytes.
#include <cstring>
#include <QDate>
#include <QString>
#include <QtGlobal>

enum class ParadoxFieldType : quint8 {
    Alpha = 0x01,         // A n: text, zero padded
    Date = 0x02,          // D: days, 1 January of year 1 = 1
    Short = 0x03,         // S: 16-bit integer
    Long = 0x04,          // I: 32-bit integer
    Money = 0x05,         // $: double
    Number = 0x06,        // N: double
    Logical = 0x09,       // L: 0x80 false, 0x81 true
    Memo = 0x0C,          // M n: text; the record keeps its first n bytes (the leader) and a
                          // 10-byte reference to the whole text in the .MB file
    Blob = 0x0D,          // B n: bytes kept like a memo
    FormattedMemo = 0x0E, // F n: rich text kept like a memo
    Ole = 0x0F,           // O n
    Graphic = 0x10,       // G n
    Time = 0x14,          // T: milliseconds since midnight, as a long
    Timestamp = 0x15,     // @: milliseconds since day 0 (see Date), as a double
    AutoInc = 0x16,       // +: long numbered by the engine
    Bcd = 0x17,           // # n: 17 bytes of packed decimal, n digits after the point
    Bytes = 0x18,         // Y n: raw bytes
};

// Offsets of the header's numbers.
struct ParadoxHeaderOffset {
    enum : int {
        RecordSize = 0x00,    // word
        HeaderSize = 0x02,    // word
        FileType = 0x04,      // byte: 0 keyed table, 2 table without key, others index files
        BlockSizeKb = 0x05,   // byte
        RecordCount = 0x06,   // long
        BlocksInUse = 0x0A,   // word: blocks in the chain
        FileBlocks = 0x0C,    // word: blocks in the file, free ones included
        FirstBlock = 0x0E,    // word
        LastBlock = 0x10,     // word
        FieldCount = 0x21,    // word
        KeyFieldCount = 0x23, // word
        Encryption1 = 0x25,   // long: the password of tables before version 4
        SortOrder = 0x29,     // byte: id of the language driver's sort order
        FileVersion = 0x39,   // byte: 3 = 3.0, 4 = 3.5, 5..9 = 4.x, 10..11 = 5.x, 12 = 7
        AutoIncValue = 0x49,  // long: the last number an auto-increment field was given
        // Tables of version 4 and later carry a header extension from 0x58 to 0x77.
        DataHeader = 0x58,
        Encryption2 = 0x5C, // long: the password of version 4 and later tables
        UpdateTime = 0x60,  // long: seconds since 1970 of the last change
        CodePage = 0x6A,    // word
        FieldInfoV4 = 0x78, // field type/size pairs when the extension is present
        FieldInfoV3 = 0x58, // ... and when it is not
    };
};

constexpr int kParadoxBlockHeaderSize = 6; // next block, previous block, (records − 1) × record size
constexpr int kParadoxBlobRefSize = 10;    // .MB offset, length, modification number
constexpr int kParadoxBcdBytes = 17;
constexpr int kParadoxVersion7 = 0x0C;
// 1 January of year 1 as a Julian day number, less one: Paradox counts that day as 1.
constexpr qint64 kParadoxDayZeroJulian = 1721425;
constexpr qint64 kParadoxMsPerDay = 86400000;

bool paradoxTypeIsKnown(quint8 code);
bool paradoxTypeIsBlob(ParadoxFieldType type);
QChar paradoxTypeLetter(ParadoxFieldType type);
// Bytes a field takes in a record given the size byte of its header entry; -1 when that size
// byte is impossible for the type. The size byte is the field's width in the record, except for
// BCD, whose record bytes are always 17 and whose size byte counts the digits after the point.
int paradoxRecordBytes(ParadoxFieldType type, int sizeByte);
// The size as a field is declared: the width of A and Y, the leader of blob fields (record bytes
// less the 10-byte reference: "M 40" keeps 40 bytes of text in a 50-byte field), the digits after
// the point of BCD; 0 for the types of fixed size.
int paradoxDeclaredSize(ParadoxFieldType type, int sizeByte);
// The type as our layouts write it: "A 25", "S", "I", "N", "D", "+", "M 150", "# 2", "Y 10"...
QString paradoxTypeCode(ParadoxFieldType type, int declaredSize);
// The program version a file version byte stands for: "3.0", "3.5", "4.0", "5.0", "7".
QString paradoxVersionName(int fileVersion);

// --- Little-endian integers of the header ---
inline quint16 paradoxLe16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 paradoxLe32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline void paradoxPutLe16(uchar* p, quint16 v) {
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}
inline void paradoxPutLe32(uchar* p, quint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uchar(v >> (8 * i));
}

// --- Values in records ---
inline quint16 paradoxBe16(const uchar* p) {
    return quint16((p[0] << 8) | p[1]);
}
inline quint32 paradoxBe32(const uchar* p) {
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}
inline quint64 paradoxBe64(const uchar* p) {
    return (quint64(paradoxBe32(p)) << 32) | paradoxBe32(p + 4);
}

// Integers: big-endian two's complement with the sign bit flipped. All zero bytes (the encoding
// of the smallest value) mean empty, so that value cannot be stored.
inline qint16 paradoxDecodeShort(const uchar* p) {
    return qint16(paradoxBe16(p) ^ 0x8000u);
}
inline qint32 paradoxDecodeLong(const uchar* p) {
    return qint32(paradoxBe32(p) ^ 0x80000000u);
}
inline void paradoxEncodeShort(uchar* p, qint16 v) {
    const quint16 u = quint16(v) ^ 0x8000u;
    p[0] = uchar(u >> 8);
    p[1] = uchar(u);
}
inline void paradoxEncodeLong(uchar* p, qint32 v) {
    const quint32 u = quint32(v) ^ 0x80000000u;
    p[0] = uchar(u >> 24);
    p[1] = uchar(u >> 16);
    p[2] = uchar(u >> 8);
    p[3] = uchar(u);
}

// Doubles: big-endian IEEE; a positive number has its sign bit set, a negative one every bit
// inverted.
inline double paradoxDecodeDouble(const uchar* p) {
    quint64 u = paradoxBe64(p);
    u = (u & 0x8000000000000000ull) ? (u & 0x7FFFFFFFFFFFFFFFull) : ~u;
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}
inline void paradoxEncodeDouble(uchar* p, double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    u = (u & 0x8000000000000000ull) ? ~u : (u | 0x8000000000000000ull);
    for (int i = 0; i < 8; ++i)
        p[i] = uchar(u >> (56 - 8 * i));
}

// Dates: days counted from 1 January of year 1 = 1 (proleptic Gregorian calendar).
inline QDate paradoxDateFromDays(qint64 days) {
    return QDate::fromJulianDay(days + kParadoxDayZeroJulian);
}
inline qint64 paradoxDaysFromDate(QDate date) {
    return date.toJulianDay() - kParadoxDayZeroJulian;
}

// Packed decimal (#): byte 0 holds the sign (0x80 positive), 0x40 and the digits after the point;
// 32 decimal digits follow, two a byte; a negative number has every digit byte inverted. Returns
// false when a digit that matters is not a decimal digit. Only the first 19 significant digits
// are read (see ParadoxFormat.cpp).
bool paradoxDecodeBcd(const uchar* p, double* value);

inline bool paradoxIsAllZero(const uchar* p, int size) {
    for (int i = 0; i < size; ++i)
        if (p[i])
            return false;
    return true;
}
