// The data folder and what the program writes into it are readable by its user only, however
// the user's umask is set: the store holds SNILS and birth dates.
#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

struct Outcome {
    int exitCode;
    QString err;
};

Outcome run(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("ZAJAVKI_PROGRAM"), args);
    if (!p.waitForFinished(120000))
        return {-1, "did not finish"};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

// Every folder under the root 0700, every file 0600; returns the number of files.
int expectPrivate(const QString& root) {
    EXPECT_EQ(modeOf(root), 0700);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const bool folder = QFileInfo(path).isDir();
        files += folder ? 0 : 1;
        EXPECT_EQ(modeOf(path), folder ? 0700 : 0600) << path.toStdString();
    }
    return files;
}

TEST(PrivateFiles, WhatTheProgramWritesIsItsUsersAlone) {
    const mode_t before = ::umask(0022); // the common default, which lets everyone read
    QTemporaryDir dir;
    const QString root = dir.filePath("office");
    ASSERT_EQ(run({"demo", "--root", root}).exitCode, 0);
    ASSERT_EQ(run({"backup", "--root", root}).exitCode, 0);
    ASSERT_EQ(run({"print", "116", "2026", root + "/Documents/z.xlsx", "--root", root}).exitCode, 0);
    ASSERT_EQ(run({"export", "116", "2026", root + "/Export/z.db", "--root", root}).exitCode, 0);
    EXPECT_GE(expectPrivate(root), 5) << "store, lock, backup, form, export";
    ::umask(before);
}

TEST(PrivateFiles, AFolderOpenToOthersIsNarrowedWithOneLine) {
    QTemporaryDir dir;
    const QString root = dir.filePath("office");
    ASSERT_EQ(run({"demo", "--root", root}).exitCode, 0);
    for (const QString& path : {root, root + "/Base"})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/Base/tovex.sqlite").constData(), 0644), 0);

    const Outcome check = run({"check", "--root", root});
    EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
    EXPECT_EQ(check.err.count('\n'), 1) << check.err.toStdString();
    EXPECT_TRUE(check.err.contains("доступна только вам") || check.err.contains("доступны только вам"))
        << check.err.toStdString();
    expectPrivate(root);
    EXPECT_EQ(run({"check", "--root", root}).err, QString()) << "said once";
}

} // namespace
