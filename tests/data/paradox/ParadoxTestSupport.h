#pragma once
// Helpers of the Paradox codec tests: where the sample tables are, raw file access, and
// little-endian reads for checking header bytes independently of the reader.
#include <gtest/gtest.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <stdexcept>

namespace paradoxtest {

// A sample table is missing: the test stops here (gtest reports the exception as a failure of
// the test) instead of going on with an empty file.
struct MissingFixture : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A sample table kept with the tests, e.g. fixture("db/CUSTOMER.DB"). When it is not there the
// test fails with the path it looked for.
inline QString fixture(const QString& relative) {
    const QString root = qEnvironmentVariable("ZAJAVKI_FIXTURES");
    if (root.isEmpty()) {
        ADD_FAILURE() << "ZAJAVKI_FIXTURES is not set: the tests cannot find their sample tables";
        throw MissingFixture("ZAJAVKI_FIXTURES is not set");
    }
    const QString path = QDir(root).filePath(QStringLiteral("paradox/") + relative);
    if (!QFileInfo::exists(path)) {
        ADD_FAILURE() << "sample table missing: " << path.toStdString();
        throw MissingFixture("sample table missing: " + path.toStdString());
    }
    return path;
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
