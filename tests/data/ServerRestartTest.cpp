// The server restarted while a clerk works: the next action says the connection was lost and is
// not done, the connection comes back, the clerk repeats the action, and nothing committed is lost.
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/Table.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A server of this test's own, for restarting it must not disturb the other tests.
struct OwnServer {
    QTemporaryDir state;
    QByteArray connInfo;
    OwnServer() { connInfo = run("start") ? readConnInfo() : QByteArray(); }
    ~OwnServer() { run("stop"); }
    bool run(const char* action) {
        QProcess p;
        p.start("bash", {ZAJAVKI_TEST_SERVER_SCRIPT, action, state.path()});
        return p.waitForFinished(60000) && p.exitCode() == 0;
    }
    QByteArray readConnInfo() {
        QFile f(state.filePath("conninfo"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
    }
};

TEST(ServerRestart, TheNextActionSaysSoNothingCommittedIsLostAndTheRepeatSucceeds) {
    OwnServer server;
    ASSERT_FALSE(server.connInfo.isEmpty());
    {
        const auto admin = PgStore::open(QString::fromUtf8(server.connInfo), {}, false);
        admin->exec("CREATE DATABASE office");
    }
    const QString url = QString::fromUtf8(server.connInfo).replace("dbname=postgres", "dbname=office");
    PgStore::open(url, {}, false)->createSchema();

    const auto store = PgStore::open(url);
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm(*store, state, prompter);
    dm.openAllTables();
    Table& people = *dm.tblPersonal;
    // Two rows: a statement run again is prepared on the server, and the restart takes it along.
    for (const char* surname : {"ИВАНОВ", "СИДОРОВ"}) {
        people.append();
        people.field("Name1").setAsString(surname);
        people.post();
    }

    ASSERT_TRUE(server.run("restart"));
    people.append();
    people.field("Name1").setAsString("ПЕТРОВ");
    try {
        people.post();
        FAIL() << "the lost connection went unnoticed";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("Связь с сервером базы данных")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("повторите действие")))
            << e.message().toStdString();
    }
    EXPECT_TRUE(people.isEditing()) << "the typed row stays for the repeat";
    people.post();
    people.reread();
    EXPECT_EQ(people.recordCount(), 3);

    // A transaction cut by the restart leaves nothing; the next one goes through.
    {
        Store::Transaction tx(*store);
        store->exec("INSERT INTO Sertif (Name, PersonalKOD) VALUES ('Терапия', 1)");
        ASSERT_TRUE(server.run("restart"));
        EXPECT_THROW(store->exec("INSERT INTO Sertif (Name, PersonalKOD) VALUES ('Хирургия', 1)"), DbError);
    }
    auto count = store->cached("SELECT COUNT(*) FROM Sertif");
    count->step();
    EXPECT_EQ(count->int64(0), 0);
}

} // namespace
