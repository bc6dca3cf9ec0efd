// Writing a file: a full disk or a folder that refuses the file is an error naming it, and the
// file that had the name stays as it was, with no temporary file left beside it.
#include "core/SafeFile.h"
#include "core/UserError.h"
#include "support/FileSizeLimit.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(SafeFile, WritesAndReplacesWholeFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.db");
    writeFileAtomically(path, "first");
    EXPECT_EQ(readAll(path), "first");
    writeFileAtomically(path, "second, longer");
    EXPECT_EQ(readAll(path), "second, longer");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.db"});
}

TEST(SafeFile, AFullDiskLeavesTheOldFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZES116_2026.db");
    writeFileAtomically(path, "the old export");
    // Small files are what a buffered write loses: the failure would come only when flushed.
    for (const int size : {100, 5000, 300000}) {
        FileSizeLimit full(64);
        ASSERT_TRUE(full.active()) << "no way to simulate a full disk";
        try {
            writeFileAtomically(path, QByteArray(size, 'x'));
            ADD_FAILURE() << "a write onto a full disk reported success, " << size << " bytes";
        } catch (const UserError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
        }
    }
    EXPECT_EQ(readAll(path), "the old export");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZES116_2026.db"});
}

TEST(SafeFile, AFolderThatIsGoneIsNamed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("gone/a.db");
    try {
        writeFileAtomically(path, "x");
        ADD_FAILURE() << "no error";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
    }
}

} // namespace
