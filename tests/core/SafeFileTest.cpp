// Writing a file safely: a complete file replaces the old one in one step; a file abandoned
// half-way or refused by a full disk leaves the old one as it was and no temporary file behind.
#include "core/SafeFile.h"
#include "core/UserError.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct SafeFile : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("ZES116_2026.db");
    void SetUp() override {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old file");
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(SafeFile, PiecesAndALateHeaderMakeTheNewFile) {
    AtomicFileWriter file(path);
    file.write(QByteArray(4, '\0'));
    file.write("body");
    file.writeAt(0, "head");
    file.write("tail");
    EXPECT_EQ(contentsOf(path), "the old file"); // nothing shows before the commit
    file.commit();
    EXPECT_EQ(contentsOf(path), "headbodytail");
    EXPECT_EQ(files(), QStringList{"ZES116_2026.db"});
}

TEST_F(SafeFile, AWriterAbandonedHalfWayLeavesTheOldFile) {
    {
        AtomicFileWriter file(path);
        file.write("half of a new file");
    }
    EXPECT_EQ(contentsOf(path), "the old file");
    EXPECT_EQ(files(), QStringList{"ZES116_2026.db"});
}

TEST_F(SafeFile, AFullDiskIsReportedWithTheFileAndLeavesTheOldOne) {
    // A disk with 4 KB left, as this process sees it: writes past that fail instead of the
    // process being stopped.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
        std::signal(SIGXFSZ, previous);
        GTEST_SKIP() << "the size of written files cannot be limited here";
    }
    QString message;
    try {
        writeFileAtomically(path, QByteArray(10000, 'x'));
    } catch (const UserError& e) {
        message = e.message();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(message.startsWith("Не удалось записать файл «" + QDir::toNativeSeparators(path) + "»: "))
        << message.toStdString();
    EXPECT_EQ(contentsOf(path), "the old file");
    EXPECT_EQ(files(), QStringList{"ZES116_2026.db"});
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(SafeFileWrite, WritesAndReplacesWholeFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.db");
    writeFileAtomically(path, "first");
    EXPECT_EQ(readAll(path), "first");
    writeFileAtomically(path, "second, longer");
    EXPECT_EQ(readAll(path), "second, longer");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.db"});
}

TEST(SafeFileWrite, AFullDiskLeavesTheOldFileAsItWas) {
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

TEST(SafeFileWrite, AFolderThatIsGoneIsNamed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("gone/a.db");
    try {
        writeFileAtomically(path, "x");
        ADD_FAILURE() << "no error";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
    }
}

TEST_F(SafeFile, ANewFileNeverReplacesOneThatTookItsNameMeanwhile) {
    // The name was free when chosen; another program takes it before the new file is placed.
    const QString second = dir.filePath("ZES116_2026 (2).db");
    AtomicFileWriter file(path);
    file.write("the new file");
    int asked = 0;
    EXPECT_EQ(file.commitAsNew([&] {
        ++asked;
        return second;
    }),
              second);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(contentsOf(path), "the old file");
    EXPECT_EQ(contentsOf(second), "the new file");
    EXPECT_EQ(files(), (QStringList{"ZES116_2026 (2).db", "ZES116_2026.db"}));
}

TEST_F(SafeFile, PlacingAFileMadeElsewhere) {
    // A file another library built under a temporary name (the store, its copies) takes its name
    // the same way: a replaced file's permissions carry over, a kept one stays with the new file
    // left for another try.
    const QString temp = dir.filePath("made.part");
    auto make = [&] {
        QFile f(temp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("built");
    };
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    make();
    EXPECT_EQ(moveIntoPlace(temp, path, IfTaken::Keep), takenReason());
    EXPECT_EQ(contentsOf(path), "the old file");
    EXPECT_TRUE(QFile::exists(temp));
    EXPECT_EQ(moveIntoPlace(temp, path, IfTaken::Replace), QString());
    EXPECT_EQ(contentsOf(path), "built");
    const int ownerGroupOther = 0x7077; // not the bits Qt adds for the current user
    EXPECT_EQ(QFile::permissions(path) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(files(), QStringList{"ZES116_2026.db"});
    make();
    EXPECT_FALSE(moveIntoPlace(temp, dir.filePath("gone/x.db"), IfTaken::Replace).isEmpty());
    EXPECT_TRUE(QFile::exists(temp));
}

} // namespace
