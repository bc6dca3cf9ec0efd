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
