// Store files made by earlier versions of the program (tests/fixtures/stores, each the demonstration
// data of that version) are brought up to date when opened: a copy first, every step in one
// transaction, every row kept. A store of a newer version is refused and left as it was.
#include "data/SchemaUpgrade.h"
#include "core/RootPaths.h"
#include "core/UserError.h"
#include "data/Backups.h"
#include "data/ChangeLog.h"
#include "data/DbError.h"
#include "data/Layout.h"
#include "data/SqliteStore.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

using Summaries = QMap<QString, Store::TableSummary>;

QString fixture(const QString& name) {
    return qEnvironmentVariable("ZAJAVKI_FIXTURES") + "/stores/" + name;
}

Summaries summaries(Store& store) {
    Summaries all;
    for (const TableLayout& t : layouts::all())
        all.insert(t.sqlName, store.summarize(t.sqlName));
    return all;
}

QByteArray hashOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs SQL on the file with SQLite alone: the program's store would upgrade it first.
void rawExec(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

struct Root {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    // The fixture in the root's place of the store.
    explicit Root(const QString& name) {
        EXPECT_TRUE(root.makeFolders());
        EXPECT_TRUE(QFile::copy(fixture(name), root.storeFile()));
        QFile::setPermissions(root.storeFile(), QFile::ReadOwner | QFile::WriteOwner);
    }
    QList<BackupCopy> copies() const { return Backups(root.backups(), nullptr, {}).list(); }
};

struct StoreOfAnEarlierVersion {
    const char* file;
    qint64 version;
};

class SchemaUpgrade : public ::testing::TestWithParam<StoreOfAnEarlierVersion> {};

TEST_P(SchemaUpgrade, IsBroughtUpToDateAfterACopyAndKeepsEveryRow) {
    Root office(GetParam().file);
    Summaries before;
    {
        auto old = SqliteStore::openToRead(office.root.storeFile());
        ASSERT_EQ(old->schemaVersion(), GetParam().version);
        before = summaries(*old);
    }
    ASSERT_GT(before.value("Personal").rows, 10);
    ASSERT_GT(before.value("Sluch2023").rows, 0);

    auto store = SqliteStore::open(office.root.storeFile());
    EXPECT_EQ(store->schemaVersion(), Store::kSchemaVersion);
    EXPECT_EQ(summaries(*store), before) << "every row of every table, unchanged";
    EXPECT_TRUE(store->upgradeNote().startsWith(
        QString("База данных обновлена с версии %1 до версии 2").arg(GetParam().version)))
        << store->upgradeNote().toStdString();
    for (const TableLayout& t : layouts::all())
        EXPECT_EQ(store->layoutError(t.sqlName), "") << t.sqlName.toStdString();

    // The copy taken first: the store as it was, named for the upgrade.
    const QList<BackupCopy> copies = office.copies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(copies[0].action, QString("upgrade-%1-%2").arg(GetParam().version).arg(Store::kSchemaVersion));
    EXPECT_EQ(copies[0].actionText(),
              QString("обновление базы данных с версии %1 до версии 2").arg(GetParam().version));
    {
        auto copy = SqliteStore::openToRead(copies[0].path);
        EXPECT_EQ(copy->schemaVersion(), GetParam().version);
        EXPECT_EQ(summaries(*copy), before);
    }

    // What the new version brought works: the change log signs a change.
    ASSERT_TRUE(store->hasChangeLog());
    store->exec("UPDATE Personal SET Name1 = 'ОБНОВЛЁН' WHERE rowid = (SELECT min(rowid) FROM Personal)");
    EXPECT_EQ(change_log::read(*store, {}).size(), 1);

    // Opened again, it is up to date: no second copy.
    store.reset();
    store = SqliteStore::open(office.root.storeFile());
    EXPECT_EQ(office.copies().size(), 1);
    EXPECT_EQ(store->upgradeNote(), "");
}

INSTANTIATE_TEST_SUITE_P(EveryEarlierVersion, SchemaUpgrade,
                         ::testing::Values(StoreOfAnEarlierVersion{"version-0-demo.sqlite", 0},
                                           StoreOfAnEarlierVersion{"version-1-demo.sqlite", 1}),
                         [](const auto& info) { return "version" + std::to_string(info.param.version); });

// A store of a newer version, or a database another program marked as its own, is refused for
// writing and for reading alike, and left exactly as it was.
TEST(SchemaUpgradeRefusal, AStoreOfANewerVersionOrAnotherProgramIsRefusedAndLeftAlone) {
    const struct {
        const char* sql;
        QStringList saying;
    } cases[] = {
        {"PRAGMA user_version = 3", {"её версия 3", "до версии 2", "База данных не изменена"}},
        {"PRAGMA application_id = 1234", {"база данных другой программы"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        Root office("version-1-demo.sqlite");
        rawExec(office.root.storeFile(), c.sql);
        const QByteArray before = hashOf(office.root.storeFile());
        for (const bool toRead : {false, true}) {
            try {
                if (toRead)
                    SqliteStore::openToRead(office.root.storeFile());
                else
                    SqliteStore::open(office.root.storeFile());
                ADD_FAILURE() << "the store was opened";
            } catch (const DbError& e) {
                for (const QString& part : c.saying)
                    EXPECT_TRUE(e.message().contains(part)) << e.message().toStdString();
            }
        }
        EXPECT_EQ(hashOf(office.root.storeFile()), before);
        EXPECT_TRUE(office.copies().isEmpty());
    }
}

// An empty file in the store's place is no store of an earlier version: nothing is upgraded or
// copied, and each table says it is missing.
TEST(SchemaUpgradeRefusal, AnEmptyFileIsNotUpgraded) {
    QTemporaryDir dir;
    const RootPaths root(dir.path());
    ASSERT_TRUE(root.makeFolders());
    QFile empty(root.storeFile());
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    auto store = SqliteStore::open(root.storeFile());
    EXPECT_TRUE(store->layoutError("Personal").contains("нет таблицы"))
        << store->layoutError("Personal").toStdString();
    EXPECT_TRUE(Backups(root.backups(), nullptr, {}).list().isEmpty());
}

// Without its copy there is no upgrade: a Backup folder that cannot be made (a file stands in
// its place) stops the opening with the reason, the store left as it was.
TEST(SchemaUpgradeRefusal, NoCopyNoUpgrade) {
    Root office("version-1-demo.sqlite");
    {
        QFile blocker(office.root.backups());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const QByteArray before = hashOf(office.root.storeFile());
    try {
        SqliteStore::open(office.root.storeFile());
        ADD_FAILURE() << "the store was upgraded without a copy";
    } catch (const UserError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(hashOf(office.root.storeFile()), before);
}

// A step that fails (here an index of the log's name already there) leaves the store at its
// version with nothing of the step in it; the message names the copy taken before.
TEST(SchemaUpgradeRefusal, AFailedStepLeavesTheStoreAsItWas) {
    Root office("version-1-demo.sqlite");
    rawExec(office.root.storeFile(), "CREATE INDEX zajavki_log_at ON Personal (Name1)");
    try {
        SqliteStore::open(office.root.storeFile());
        ADD_FAILURE() << "the upgrade did not fail";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Не удалось обновить базу данных")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("с версии 1 до версии 2"));
        ASSERT_EQ(office.copies().size(), 1);
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(office.copies()[0].path)));
    }
    auto old = SqliteStore::openToRead(office.root.storeFile());
    EXPECT_EQ(old->schemaVersion(), 1);
    EXPECT_FALSE(old->hasChangeLog());
}

} // namespace
