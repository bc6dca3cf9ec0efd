// Commands started as processes beside a piece of work that holds the data folder: each that
// writes the folder waits, then refuses in one sentence naming the holder, with status 1 and
// nothing changed; a reader shares the folder with another reader; one that finds the folder
// free again in time goes on.
#include "core/RootLock.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <thread>

namespace {

QString program() {
    return qEnvironmentVariable("ZAJAVKI_PROGRAM");
}

struct Ran {
    int status = -1;
    QString out, err;
};

// Every file of the folder with a hash of its contents: what a refused command must leave as it was.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith("zajavki.lock"))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

struct FolderMeeting : ::testing::Test {
    QTemporaryDir dir;
    RootPaths root{dir.filePath("root")};
    QString year = QString::number(QDate::currentDate().year());

    void SetUp() override {
        ASSERT_FALSE(program().isEmpty());
        const Ran made = run({"demo"});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        ASSERT_EQ(run({"backup"}).status, 0);
    }
    QProcess* start(const QStringList& args) {
        auto* p = new QProcess;
        p->start(program(), args + QStringList{"--root", root.root()});
        return p;
    }
    static Ran finish(QProcess* p) {
        p->waitForFinished(60000);
        Ran r{p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
              QString::fromUtf8(p->readAllStandardOutput()), QString::fromUtf8(p->readAllStandardError())};
        delete p;
        return r;
    }
    Ran run(const QStringList& args) { return finish(start(args)); }
    QString aCopy() const {
        return QDir(root.backups()).entryInfoList({"tovex_*.sqlite"}).value(0).absoluteFilePath();
    }
};

TEST_F(FolderMeeting, EveryCommandThatWritesTheFolderWaitsThenRefusesNamingTheHolder) {
    const QString outside = dir.filePath("out");
    QDir().mkpath(outside);
    const QString copy = aCopy();
    ASSERT_FALSE(copy.isEmpty());
    const QList<QStringList> commands{
        {"restore-backup", copy},
        {"backup"},
        {"import", copy}, // not a table: it would be refused later, but never gets that far
        {"demo"},
        {"init"},
        {"export", "116", year, outside + "/116.db"},
        {"print", "116", year, outside + "/116.xlsx"},
        {"plan", year},
    };
    const auto before = snapshot(root.root());
    RootLock holder(root);
    ASSERT_EQ(holder.acquire(RootLock::Mode::Exclusive, RootLock::commandHolder("import")), QString());
    // Started together, so that the test waits for the holder's few seconds once.
    QList<QProcess*> started;
    for (const QStringList& c : commands)
        started << start(c);
    for (int i = 0; i < commands.size(); ++i) {
        const Ran r = finish(started[i]);
        const std::string name = commands[i].join(' ').toStdString();
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_TRUE(r.err.startsWith("С папкой " + QDir::toNativeSeparators(root.root()) +
                                     " сейчас работает команда «zajavki import» (процесс " +
                                     QString::number(QCoreApplication::applicationPid())))
            << name << ": " << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << name << ": one sentence";
        EXPECT_EQ(r.out, QString()) << name;
    }
    EXPECT_EQ(snapshot(root.root()), before) << "nothing changed";
    EXPECT_TRUE(QDir(outside).isEmpty());
}

TEST_F(FolderMeeting, AReaderSharesTheFolderWithAReader) {
    RootLock reader(root);
    ASSERT_EQ(reader.acquire(RootLock::Mode::Shared, RootLock::commandHolder("plan")), QString());
    const Ran plan = run({"plan", year});
    EXPECT_EQ(plan.status, 0) << plan.err.toStdString();
    EXPECT_FALSE(plan.out.isEmpty());
}

TEST_F(FolderMeeting, ACommandGoesOnWhenTheHolderLetsGoWithinItsWait) {
    auto holder = std::make_unique<RootLock>(root);
    ASSERT_EQ(holder->acquire(RootLock::Mode::Exclusive, RootLock::programHolder()), QString());
    QProcess* backup = start({"backup"});
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    holder.reset();
    const Ran r = finish(backup);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Резервная копия: ")) << r.out.toStdString();
}

} // namespace
