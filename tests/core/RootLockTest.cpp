// The root's lock: one writer or many readers at a time, the holder named to whoever must wait,
// a wait that ends when the holder lets go, and a lock that goes with its holder however the
// holder ends, so that a lock file left behind locks nothing.
#include "core/RootLock.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

namespace {

using Mode = RootLock::Mode;
using std::chrono::milliseconds;

struct RootLockTest : ::testing::Test {
    QTemporaryDir dir;
    RootPaths root{dir.filePath("root")};
    void SetUp() override { ASSERT_TRUE(root.makeFolders()); }
};

TEST_F(RootLockTest, OneWriterOrManyReaders) {
    struct Case {
        Mode held, wanted;
        bool granted;
    };
    const Case cases[] = {
        {Mode::Exclusive, Mode::Exclusive, false},
        {Mode::Exclusive, Mode::Shared, false},
        {Mode::Shared, Mode::Exclusive, false},
        {Mode::Shared, Mode::Shared, true},
    };
    for (const Case& c : cases) {
        RootLock holder(root);
        ASSERT_EQ(holder.acquire(c.held, RootLock::commandHolder("import")), QString());
        RootLock other(root);
        const QString why = other.acquire(c.wanted, RootLock::commandHolder("plan"), milliseconds(0));
        EXPECT_EQ(why.isEmpty(), c.granted) << why.toStdString();
        if (!c.granted) {
            // One sentence naming the folder and the holder, with its process.
            EXPECT_TRUE(why.startsWith("С папкой " + QDir::toNativeSeparators(root.root()) +
                                       " сейчас работает команда «zajavki import» (процесс " +
                                       QString::number(::getpid()) + ", с "))
                << why.toStdString();
            EXPECT_TRUE(why.endsWith("Дождитесь, пока она закончит, и повторите.")) << why.toStdString();
        }
    }
}

TEST_F(RootLockTest, AWaitingCommandGetsTheRootWhenItsHolderLetsGo) {
    auto holder = std::make_unique<RootLock>(root);
    ASSERT_EQ(holder->acquire(Mode::Exclusive, RootLock::programHolder()), QString());
    std::thread letGo([&holder] {
        std::this_thread::sleep_for(milliseconds(300));
        holder->release();
    });
    RootLock waiting(root);
    EXPECT_EQ(waiting.acquire(Mode::Exclusive, RootLock::commandHolder("backup"), milliseconds(3000)),
              QString());
    letGo.join();
}

// A kill or a power cut leaves the file behind, empty or with the last holder's lines: neither
// locks the root.
TEST_F(RootLockTest, ALockFileLeftBehindLocksNothing) {
    for (const QByteArray& left :
         {QByteArray(), QByteArray("4242\nкоманда «zajavki import»\n01.01.2026 10:00\n")}) {
        QFile file(RootLock(root).lockFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(left);
        file.close();
        RootLock lock(root);
        EXPECT_EQ(lock.acquire(Mode::Exclusive, RootLock::programHolder(), milliseconds(0)), QString());
    }
}

TEST_F(RootLockTest, TheLockGoesWithAHolderThatIsKilled) {
    testsupport::Child holder([this](int pipe) {
        RootLock lock(root);
        testsupport::Child::say(pipe, lock.acquire(Mode::Exclusive, RootLock::commandHolder("import")));
        ::pause();
        return 0;
    });
    ASSERT_EQ(holder.readLine(), QString()) << "the child holds the root";
    RootLock lock(root);
    EXPECT_NE(lock.acquire(Mode::Exclusive, RootLock::programHolder(), milliseconds(0)), QString());
    holder.kill();
    holder.wait();
    EXPECT_EQ(lock.acquire(Mode::Exclusive, RootLock::programHolder(), milliseconds(0)), QString());
}

} // namespace
