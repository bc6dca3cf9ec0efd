// Who may do what on the server: a clerk's role changes the data and is named in the change log, a
// reader's role only reads, and neither may touch the log. The server itself refuses.
#include "data/ChangeLog.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>

namespace {

struct ServerRoles : ::testing::Test {
    RolesToDrop roles;
    ServerStoreDatabase database;
    const QString clerk = "clerk_" + QString::fromUtf8(database.database.name());
    const QString reader = "reader_" + QString::fromUtf8(database.database.name());

    void SetUp() override {
        roles.names = {clerk, reader};
        auto admin = PgStore::open(database.url());
        admin->exec("INSERT INTO Personal (Name1, Name2) VALUES ('ИВАНОВ', 'ИВАН')");
        admin->exec(PgStore::serverUserSql(clerk, false));
        admin->exec(PgStore::serverUserSql(reader, true));
    }
    std::unique_ptr<PgStore> as(const QString& role) {
        return PgStore::open(database.url() + " user=" + role);
    }
    static QString failureOf(Store& store, const QString& sql) {
        try {
            store.exec(sql);
        } catch (const DbError& e) {
            return e.message();
        }
        return "done";
    }
};

TEST_F(ServerRoles, AReaderSeesEverythingButTheServerRefusesEveryChange) {
    auto store = as(reader);
    EXPECT_FALSE(store->canWrite());
    Table people(*store, "tblPersonal", "Personal.DB");
    people.open();
    EXPECT_EQ(people.field("Name1").asString(), "ИВАНОВ");
    EXPECT_EQ(change_log::read(*store, {}).size(), 1);
    for (const char* sql : {"INSERT INTO Personal (Name1) VALUES ('ЧУЖОЙ')",
                            "UPDATE Personal SET Name1 = 'X'", "DELETE FROM Personal",
                            "INSERT INTO zajavki_log (changed_at, changed_by, table_name, "
                            "action) VALUES ('', '', '', 'I')"}) {
        SCOPED_TRACE(sql);
        EXPECT_TRUE(failureOf(*store, sql).startsWith("У вас нет права изменять данные"));
    }
    auto admin = PgStore::open(database.url());
    EXPECT_EQ(change_log::read(*admin, {}).size(), 1) << "nothing was written";
}

TEST_F(ServerRoles, AClerksPlainSqlIsLoggedUnderTheirNameAndTheLogIsBeyondTheirReach) {
    auto store = as(clerk);
    EXPECT_TRUE(store->canWrite());
    store->exec("UPDATE Personal SET Name1 = 'ИВАНОВА' WHERE Name1 = 'ИВАНОВ'");
    for (const char* sql :
         {"DELETE FROM zajavki_log", "UPDATE zajavki_log SET changed_by = 'никто'", "TRUNCATE zajavki_log",
          "TRUNCATE Personal", "ALTER TABLE Personal DISABLE TRIGGER change_log",
          "DROP TRIGGER change_log ON Personal",
          "CREATE OR REPLACE FUNCTION zajavki_log_change() RETURNS trigger "
          "LANGUAGE plpgsql AS $$ BEGIN RETURN NULL; END $$"}) {
        SCOPED_TRACE(sql);
        EXPECT_NE(failureOf(*store, sql), "done");
    }
    auto admin = PgStore::open(database.url());
    const auto log = change_log::read(*admin, {});
    ASSERT_EQ(log.size(), 2); // the administrator's insertion, the clerk's change
    EXPECT_EQ(log[0].clerk, clerk);
    EXPECT_EQ(log[0].action, change_log::Entry::Action::Update);
    EXPECT_EQ(change_log::describe(log[0]), "фамилия: «ИВАНОВ» → «ИВАНОВА»");
    EXPECT_EQ(log[1].clerk, "zajavki_test");
    EXPECT_EQ(change_log::clerks(*admin), (QStringList{clerk, "zajavki_test"}));
}

} // namespace
