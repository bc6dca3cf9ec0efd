// The root folder: targets inside Base are recognised however they are written.
#include "core/RootPaths.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(RootPaths, RecognisesEveryWayOfNamingAFileInBase) {
    QTemporaryDir dir;
    const RootPaths root(dir.filePath("root"));
    ASSERT_TRUE(root.makeFolders());
    QFile store(root.storeFile());
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.close();
    ASSERT_TRUE(QFile::link(root.storeFile(), dir.filePath("link-to-store.db")));
    ASSERT_TRUE(QFile::link(root.base(), dir.filePath("link-to-base")));

    const struct {
        QString path;
        bool inside;
    } cases[] = {
        {root.storeFile(), true},
        {root.base(), true},
        {root.base() + "/new.db", true},                    // not there yet
        {root.base() + "/sub/deeper/new.xlsx", true},       // folders not there yet
        {root.exportDir() + "/../Base/tovex.sqlite", true}, // ".." walks back into Base
        {dir.filePath("link-to-store.db"), true},           // a link to the store
        {dir.filePath("link-to-base") + "/new.db", true},   // through a link to the folder
        {root.exportDir() + "/ZES116_2026.db", false},
        {root.root() + "/Base-old/tovex.sqlite", false}, // only a name that begins alike
        {root.documents() + "/Заявка 116 2026.xlsx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(root.isInsideBase(c.path), c.inside) << c.path.toStdString();
    EXPECT_TRUE(
        RootPaths::insideBaseMessage(root.storeFile()).contains(QDir::toNativeSeparators(root.storeFile())));
}

} // namespace

#include "core/RootLock.h"
#include "support/ChildProcess.h"

#include <QFileInfo>

namespace {

TEST(RootLock, ASecondProgramIsToldTheRootIsInUse) {
    QTemporaryDir dir;
    const RootPaths root(dir.filePath("root"));
    ASSERT_TRUE(root.makeFolders());
    RootLock first(root);
    ASSERT_EQ(first.acquire(RootLock::Mode::Exclusive, RootLock::programHolder()), QString());
    RootLock second(root);
    const QString why =
        second.acquire(RootLock::Mode::Exclusive, RootLock::programHolder(), std::chrono::milliseconds(0));
    EXPECT_TRUE(why.startsWith("С папкой " + QDir::toNativeSeparators(root.root()) +
                               " сейчас работает программа «Заявки на переподготовку»"))
        << why.toStdString();
}

// A Base folder that cannot be written is said to be so, not taken for another program's.
// A Base folder that cannot be written is said to be so, not taken for another program's; tried
// as a user whom folder permissions bind (the super-user's writes they do not stop).
TEST(RootLock, ABaseFolderThatCannotBeWrittenIsNamed) {
    QTemporaryDir dir;
    const RootPaths root(dir.filePath("root"));
    ASSERT_TRUE(root.makeFolders());
    for (const QString& folder : {dir.path(), root.root()})
        QFile::setPermissions(folder, QFile::Permissions(0x7755));
    QFile::setPermissions(root.base(), QFile::Permissions(0x5555));
    const auto tried = testsupport::runUnprivileged([&root](int pipe) {
        RootLock lock(root);
        testsupport::Child::say(pipe, lock.acquire(RootLock::Mode::Exclusive, RootLock::programHolder()));
        return 0;
    });
    QFile::setPermissions(root.base(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(tried.status, 0);
    EXPECT_TRUE(tried.text.startsWith("Нет права записи в папку")) << tried.text.toStdString();
    EXPECT_TRUE(tried.text.contains(QDir::toNativeSeparators(root.base())));
}

} // namespace

#include "core/PrivateFiles.h"

#include <sys/stat.h>

namespace {

int modeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

void writeFile(const QString& path, int mode) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// A folder an earlier version made open to everyone is narrowed to its user, files and folders
// alike; what a link in it points to is not the program's and is left as it is.
TEST(PrivateFiles, AWideRootIsNarrowedToItsUserOnce) {
    QTemporaryDir dir;
    const RootPaths root(dir.filePath("root"));
    EXPECT_EQ(private_files::narrowRoot(root), QString()) << "a folder not made yet";
    ASSERT_TRUE(root.makeFolders());
    ASSERT_TRUE(QDir().mkpath(root.backups() + "/2026-12"));
    const QStringList folders{root.root(), root.base(), root.exportDir(), root.backups() + "/2026-12"};
    for (const QString& folder : folders)
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    writeFile(root.storeFile(), 0644);
    writeFile(root.exportDir() + "/ZES116_2026.db", 0664);
    writeFile(root.backups() + "/2026-12/tovex.sqlite", 0640);
    writeFile(dir.filePath("outside.txt"), 0644);
    ASSERT_TRUE(QFile::link(dir.filePath("outside.txt"), root.documents() + "/link.txt"));

    const QString line = private_files::narrowRoot(root);
    EXPECT_TRUE(line.contains(QDir::toNativeSeparators(root.root()))) << line.toStdString();
    EXPECT_FALSE(line.contains('\n'));
    for (const QString& folder : folders)
        EXPECT_EQ(modeOf(folder), 0700) << folder.toStdString();
    for (const QString& file :
         {root.storeFile(), root.exportDir() + "/ZES116_2026.db", root.backups() + "/2026-12/tovex.sqlite"})
        EXPECT_EQ(modeOf(file), 0600) << file.toStdString();
    EXPECT_EQ(modeOf(dir.filePath("outside.txt")), 0644);
    EXPECT_EQ(private_files::narrowRoot(root), QString()) << "nothing left to narrow";
}

} // namespace
