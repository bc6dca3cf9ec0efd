#pragma once
// Helpers of the Paradox codec tests: where the sample tables are, raw file access, and
// little-endian reads for checking header bytes independently of the reader.
#include <gtest/gtest.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace paradoxtest {

// A sample table of the shared fixtures, e.g. fixture("db/CUSTOMER.DB").
inline QString fixture(const QString& relative) {
    const QString root = qEnvironmentVariable("ZAJAVKI_FIXTURES");
    EXPECT_FALSE(root.isEmpty()) << "ZAJAVKI_FIXTURES is not set";
    return QDir(root).filePath(QStringLiteral("paradox/") + relative);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline quint8 u8(const QByteArray& b, qsizetype at) {
    if (at < 0 || at >= b.size()) { // a missing sample file fails the test instead of crashing it
        ADD_FAILURE() << "byte " << at << " is outside the " << b.size() << " bytes read";
        return 0;
    }
    return quint8(b.at(at));
}
inline quint16 le16(const QByteArray& b, qsizetype at) {
    return quint16(u8(b, at) | (u8(b, at + 1) << 8));
}
inline quint32 le32(const QByteArray& b, qsizetype at) {
    return quint32(le16(b, at)) | (quint32(le16(b, at + 2)) << 16);
}
inline void putLe16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
inline void putLe32(QByteArray& b, qsizetype at, quint32 v) {
    putLe16(b, at, quint16(v));
    putLe16(b, at + 2, quint16(v >> 16));
}
inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace paradoxtest
