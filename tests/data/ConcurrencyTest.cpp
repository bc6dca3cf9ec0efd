// Several clerks on one server store: a row saved over another's change only when the clerk says so.
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {

// Two clerks, each with their own connection and their own view of the register.
struct TwoClerks : ::testing::Test {
    ServerStoreDatabase database;
    std::unique_ptr<Store> storeA = PgStore::open(database.url());
    std::unique_ptr<Store> storeB = PgStore::open(database.url());
    Table a{*storeA, "tblPersonal", "Personal.DB"};
    Table b{*storeB, "tblPersonal", "Personal.DB"};
    std::vector<QString> conflictsSeen;

    void SetUp() override {
        storeA->exec("INSERT INTO Personal (Name1, Name2) VALUES ('ИВАНОВ', 'ИВАН'), ('ПЕТРОВ', 'ПЁТР')");
        a.open();
        b.open();
    }
    QString stored(const char* sql) {
        auto st = storeA->cached(QString::fromUtf8(sql));
        st->step();
        return st->rawValue(0).toString();
    }
    // A edits the first person, B saves a change of that person meanwhile.
    void bothEditTheFirstPerson() {
        a.first();
        a.edit();
        a.field("Name1").setAsString("ИВАНОВА");
        b.first();
        b.edit();
        b.field("Name2").setAsString("ИВАННА");
        b.post();
    }
    void answer(Dataset::ConflictChoice choice) {
        a.onConflict = [this, choice](Dataset&, const RowConflict& c) {
            conflictsSeen.push_back(c.message());
            return choice;
        };
    }
};

TEST_F(TwoClerks, ASaveOverAnotherClerksChangeIsRefusedNamingThemAndKeepsTheTypedValues) {
    bothEditTheFirstPerson();
    try {
        a.post();
        FAIL() << "saved over the other clerk's change";
    } catch (const RowConflict& c) {
        EXPECT_FALSE(c.deleted);
        EXPECT_EQ(c.changedBy, "zajavki_test");
        EXPECT_TRUE(c.changedAt.isValid());
        EXPECT_TRUE(c.message().contains(QString::fromUtf8("изменил пользователь zajavki_test")))
            << c.message().toStdString();
    }
    EXPECT_TRUE(a.isEditing()) << "the clerk's typed values stay in the form";
    EXPECT_EQ(a.field("Name1").asString(), QString::fromUtf8("ИВАНОВ"
                                                             "А"));
    EXPECT_EQ(stored("SELECT Name1 || ' ' || Name2 FROM Personal ORDER BY NPP LIMIT 1"),
              QString::fromUtf8("ИВАНОВ ИВАННА"));
}

TEST_F(TwoClerks, TheClerkChoosesToKeepEditingToSaveOverOrToSeeTheOtherVersion) {
    bothEditTheFirstPerson();
    answer(Dataset::ConflictChoice::KeepEditing);
    EXPECT_THROW(a.post(), AbortAction);
    EXPECT_TRUE(a.isEditing());
    ASSERT_EQ(conflictsSeen.size(), 1u);

    answer(Dataset::ConflictChoice::SaveMine);
    a.post();
    EXPECT_EQ(stored("SELECT Name1 || ' ' || Name2 FROM Personal ORDER BY NPP LIMIT 1"),
              QString::fromUtf8("ИВАНОВА ИВАН"))
        << "saved over: the whole row as this clerk had it";

    // B's version is now the old one: B is asked in turn, and chooses to see A's.
    b.edit();
    b.field("Name2").setAsString("И.");
    b.onConflict = [](Dataset&, const RowConflict&) { return Dataset::ConflictChoice::ShowTheirs; };
    EXPECT_THROW(b.post(), AbortAction);
    EXPECT_FALSE(b.isEditing());
    EXPECT_EQ(b.field("Name1").asString(), QString::fromUtf8("ИВАНОВА"));
    EXPECT_EQ(b.field("Name2").asString(), QString::fromUtf8("ИВАН"));
    // And now B's next change goes through at once.
    b.edit();
    b.field("Name2").setAsString("И.");
    b.post();
    EXPECT_EQ(stored("SELECT Name2 FROM Personal ORDER BY NPP LIMIT 1"), "И.");
}

TEST_F(TwoClerks, DeletingARowChangedSinceItWasShownIsRefusedAndARowGoneAlreadyIsNoError) {
    b.first();
    a.first();
    a.edit();
    a.field("Name1").setAsString("СИДОРОВ");
    a.post();
    EXPECT_THROW(b.remove(), RowConflict);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Personal"), "2");

    b.reread();
    b.last();
    a.last();
    a.remove();
    b.remove(); // the same person, deleted by A a moment ago
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Personal"), "1");
}

TEST_F(TwoClerks, EditingARowTheOtherDeletedIsRefusedAndWritesNothing) {
    a.first();
    b.first();
    b.remove();
    a.edit();
    a.field("Name1").setAsString("ИВАНОВА");
    try {
        a.post();
        FAIL();
    } catch (const RowConflict& c) {
        EXPECT_TRUE(c.deleted);
        EXPECT_TRUE(c.message().contains(QString::fromUtf8("удалил другой пользователь")))
            << c.message().toStdString();
    }
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Personal"), "1");
}

// What one clerk saves appears in the other's open tables within a second, without moving their
// current row or touching a row they are editing.
TEST_F(TwoClerks, AnotherClerksChangesAppearInOpenTablesWithinASecond) {
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm(*storeA, state, prompter);
    dm.openAllTables();
    Table& people = *dm.tblPersonal; // in the order of names: ИВАНОВ, ПЕТРОВ
    people.last();
    const auto waitFor = [](const std::function<bool()>& done, int limit = 3000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < limit)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return clock.elapsed();
    };

    storeB->exec("INSERT INTO Personal (Name1) VALUES ('АНДРЕЕВ')");
    EXPECT_LT(waitFor([&] { return people.recordCount() == 3; }), 1000);
    EXPECT_EQ(people.recordCount(), 3);
    EXPECT_EQ(people.field("Name1").asString(), QString::fromUtf8("ПЕТРОВ"))
        << "the current row stays current";

    people.edit();
    people.field("Name2").setAsString("ПАВЕЛ");
    storeB->exec("INSERT INTO Personal (Name1) VALUES ('БОРИСОВ'); INSERT INTO Sertif (Name, PersonalKOD) "
                 "VALUES ('Терапия', 1)");
    waitFor([] { return false; }, 300); // the notifications arrive meanwhile
    EXPECT_TRUE(people.isEditing()) << "a row being edited is left alone";
    EXPECT_EQ(people.field("Name2").asString(), QString::fromUtf8("ПАВЕЛ"));
    people.post();
    storeB->exec("UPDATE Personal SET Name3 = 'ИВАНОВИЧ' WHERE Name1 = 'ИВАНОВ'");
    EXPECT_LT(waitFor([&] { return people.recordCount() == 4; }), 1000);
}

} // namespace

namespace {

// The register's marks are shared: one clerk at a time marks and adds; a clerk whose program ends
// (or is killed) holds nobody up.
TEST_F(TwoClerks, OneClerkAtATimeMarksTheRegister) {
    EXPECT_TRUE(storeA->holdMarks());
    EXPECT_TRUE(storeA->holdMarks()) << "held already";
    EXPECT_FALSE(storeB->holdMarks());
    storeA->releaseMarks();
    EXPECT_TRUE(storeB->holdMarks());
    storeB->releaseMarks();
    {
        auto third = PgStore::open(database.url());
        EXPECT_TRUE(third->holdMarks());
        EXPECT_FALSE(storeA->holdMarks());
    } // its connection ends; the server lets go of the turn as its session process ends
    QElapsedTimer waited;
    waited.start();
    bool held = false;
    while (!(held = storeA->holdMarks()) && waited.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_TRUE(held);
}

} // namespace
