// The change log: every change to the clerks' data written by the store with who, when, which row
// and the values before and after, on both back ends.
#include "data/ChangeLog.h"
#include "data/DbError.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QDate>

namespace {

struct ChangeLog : ::testing::Test {
    TempStore temp;
    Store& store = *temp.store;

    QString clerk() {
        auto st = store.prepare(testsOnServer() ? "SELECT session_user" : "SELECT zajavki_clerk()");
        st->step();
        return st->rawValue(0).toString();
    }
    qint64 addPerson(const QString& surname, const QString& name) {
        Table people(store, "tblPersonal", "Personal.DB");
        people.open();
        people.append();
        people.field("Name1").setAsString(surname);
        people.field("Name2").setAsString(name);
        people.field("DR").setAsDate(QDate(1980, 5, 17));
        people.post();
        return people.field("NPP").asInteger();
    }
    QList<change_log::Entry> entries(change_log::Filter filter = {}) {
        return change_log::read(store, filter);
    }
};

TEST_F(ChangeLog, EveryInsertionChangeAndDeletionIsLoggedWithTheClerkTheRowAndTheValues) {
    ASSERT_TRUE(store.hasChangeLog());
    const qint64 npp = addPerson("ИВАНОВ", "ПЁТР");
    Table people(store, "tblPersonal", "Personal.DB");
    people.open();
    people.edit();
    people.field("Name1").setAsString("ИВАНОВА");
    people.post();
    people.edit(); // saved unchanged: nothing to log
    people.post();
    people.remove();

    const auto log = entries();
    ASSERT_EQ(log.size(), 3);
    using A = change_log::Entry::Action;
    EXPECT_EQ(log[0].action, A::Delete); // the newest first
    EXPECT_EQ(log[1].action, A::Update);
    EXPECT_EQ(log[2].action, A::Insert);
    for (const auto& e : log) {
        EXPECT_EQ(e.clerk, clerk());
        EXPECT_EQ(e.table, "personal");
        EXPECT_EQ(e.row, npp);
        EXPECT_EQ(e.at.left(10), QDate::currentDate().toString(Qt::ISODate));
        EXPECT_EQ(change_log::tableCaption(e), "список сотрудников");
    }
    EXPECT_EQ(log[2].person, "ИВАНОВ ПЁТР");
    EXPECT_EQ(log[0].person, "ИВАНОВА ПЁТР");
    EXPECT_EQ(change_log::describe(log[1]), "фамилия: «ИВАНОВ» → «ИВАНОВА»");
    EXPECT_EQ(change_log::describe(log[2]), "фамилия: «ИВАНОВ»; имя: «ПЁТР»; дата рождения: 17.05.1980");
    EXPECT_EQ(change_log::describe(log[0]), "фамилия: «ИВАНОВА»; имя: «ПЁТР»; дата рождения: 17.05.1980");
}

TEST_F(ChangeLog, ARowOfAPersonNamesThePersonAndTheCatalogueIsNotLogged) {
    const qint64 npp = addPerson("СИДОРОВ", "ИЛЬЯ");
    auto insert = store.prepare("INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES (?, ?, ?)");
    insert->bind(1, QDate(2027, 3, 1));
    insert->bind(2, "Терапия");
    insert->bind(3, npp);
    insert->step();
    store.exec("INSERT INTO NewZicl2023 (KZicl, NZicl) VALUES ('A1', 'Терапия')");

    const auto log = entries();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].table, "sertif");
    EXPECT_EQ(log[0].person, "СИДОРОВ ИЛЬЯ");
    EXPECT_EQ(change_log::describe(log[0]), "дата окончания сертификата или аккредитации: 01.03.2027; "
                                            "специальность сертификата: «Терапия»; номер сотрудника: " +
                                                QString::number(npp));
}

TEST_F(ChangeLog, FiltersByPersonClerkAndDate) {
    addPerson("ЁЛКИНА", "АННА");
    addPerson("ПЕТРОВ", "ОЛЕГ");
    const QDate today = QDate::currentDate();
    struct Case {
        const char* name;
        change_log::Filter filter;
        QStringList people;
    };
    auto filter = [](QString person, QString clerk, QDate from = {}, QDate to = {}, int limit = 2000) {
        change_log::Filter f;
        f.person = person, f.clerk = clerk, f.from = from, f.to = to, f.limit = limit;
        return f;
    };
    const QString me = clerk();
    const Case cases[] = {
        {"everything", filter({}, {}), {"ПЕТРОВ ОЛЕГ", "ЁЛКИНА АННА"}},
        {"a person, case and Ё ignored", filter("елкина", {}), {"ЁЛКИНА АННА"}},
        {"a person nobody is", filter("Смирнов", {}), {}},
        {"the clerk", filter({}, me), {"ПЕТРОВ ОЛЕГ", "ЁЛКИНА АННА"}},
        {"another clerk", filter({}, "кто-то другой"), {}},
        {"today", filter({}, {}, today, today), {"ПЕТРОВ ОЛЕГ", "ЁЛКИНА АННА"}},
        {"from tomorrow", filter({}, {}, today.addDays(1)), {}},
        {"until yesterday", filter({}, {}, {}, today.addDays(-1)), {}},
        {"a limit", filter({}, {}, {}, {}, 1), {"ПЕТРОВ ОЛЕГ"}},
        {"a typed quote is a name like any", filter("' OR 1=1 --", "'; DROP TABLE zajavki_log; --"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList people;
        for (const auto& e : entries(c.filter))
            people << e.person;
        EXPECT_EQ(people, c.people);
    }
    EXPECT_EQ(change_log::clerks(store), QStringList{me});
}

TEST_F(ChangeLog, ACopyOfTheStoreCarriesItsLogAndLogsNothingAnew) {
    addPerson("КОПИЕВ", "ИВАН");
    const QString file = temp.root.backups() + "/copy.sqlite";
    store.backupTo(file);
    auto copy = SqliteStore::open(file);
    const auto log = change_log::read(*copy, {});
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0].person, "КОПИЕВ ИВАН");
    EXPECT_EQ(log[0].clerk, clerk());
    EXPECT_EQ(log[0].after, entries()[0].after);
}

} // namespace

namespace {

// A store file of the version before the log: opened, it gets the log in place, its rows kept.
TEST(ChangeLogUpgrade, AStoreWithoutTheLogGetsItWhenOpenedAndKeepsItsRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.sqlite");
    {
        auto store = SqliteStore::open(path);
        store->exec("INSERT INTO Personal (Name1) VALUES ('СТАРОВ')");
        store->pauseChangeLog(true);
        auto st = store->prepare("SELECT name FROM sqlite_master WHERE type = 'trigger'");
        QStringList triggers;
        while (st->step())
            triggers << st->rawValue(0).toString();
        st.reset();
        for (const QString& name : triggers)
            store->exec("DROP TRIGGER " + name);
        store->exec("DROP TABLE zajavki_log; PRAGMA user_version = 1");
    }
    EXPECT_EQ(SqliteStore::checkFile(path), "") << "a copy of the earlier version is taken";
    auto store = SqliteStore::open(path);
    ASSERT_TRUE(store->hasChangeLog());
    EXPECT_EQ(store->summarize("Personal").rows, 1);
    store->exec("UPDATE Personal SET Name1 = 'НОВОВ'");
    const auto log = change_log::read(*store, {});
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(change_log::describe(log[0]), "фамилия: «СТАРОВ» → «НОВОВ»");
    auto version = store->prepare("PRAGMA user_version");
    version->step();
    EXPECT_EQ(version->int64(0), Store::kSchemaVersion);
}

} // namespace
