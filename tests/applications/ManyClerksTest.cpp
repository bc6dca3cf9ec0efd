// Many clerks at once on one server store, each with their own connection and data module: no
// update lost, application numbers never given twice, every multi-row action whole or absent, and
// a clerk's program killed in the middle of one leaving nothing behind.
#include "applications/ApplicationRules.h"
#include "applications/Generation.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QSet>

#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kClerks = 20;
constexpr int kActionsEach = 500;
constexpr int kYear = 2026;
constexpr int kBatchRows = 5;

struct Tally {
    std::mutex mutex;
    QList<double> numbers;           // applications created
    std::atomic<int> increments = 0; // counter updates that went through
    std::atomic<int> batchesKept = 0;
    std::atomic<int> conflicts = 0; // writes refused for another clerk's change, then repeated
    QStringList failures;
};

qint64 scalarOf(Store& store, const QString& sql) {
    auto st = store.cached(sql);
    st->step();
    return st->int64(0);
}

void clerk(const QString& url, int id, Tally& tally) {
    try {
        const auto store = PgStore::open(url);
        SharedState state;
        FixedPrompter prompter(Prompter::Answer::No);
        DataModule dm(*store, state, prompter);
        dm.openAllTables();
        const Generation& g = Generation::current();
        Table& people = *dm.tblPersonal;
        for (int i = 0; i < kActionsEach; ++i) {
            switch (i % 3) {
            case 0: { // a supplementary application of the year
                const double base = applications::additionalNumber(dm, g, kYear, nullptr);
                const double made = applications::createApplication(dm, g, base, kYear, true);
                std::lock_guard lock(tally.mutex);
                tally.numbers << made;
                break;
            }
            case 1: // the shared counter, read, raised and saved; when another clerk came first, the
                    // clerk is asked and answers "show me theirs" (No), then raises it again
                for (;;) {
                    people.first();
                    people.edit();
                    people.field("KDoljn").setAsInteger(people.field("KDoljn").asInteger() + 1);
                    try {
                        people.post();
                        ++tally.increments;
                        break;
                    } catch (const AbortAction&) {
                        ++tally.conflicts;
                        EXPECT_FALSE(people.isEditing());
                    }
                }
                break;
            case 2: { // several rows in one transaction; every other one fails half-way
                const bool fails = (i / 3) % 2 == 1;
                try {
                    Store::Transaction tx(*store);
                    auto insert = store->cached("INSERT INTO Sertif (Name, PersonalKOD) VALUES (?, ?)");
                    for (int r = 0; r < kBatchRows; ++r) {
                        if (fails && r == kBatchRows / 2)
                            throw DbError("failed half-way on purpose");
                        insert->bind(1, QStringLiteral("batch %1-%2").arg(id).arg(i));
                        insert->bind(2, id);
                        insert->step();
                        insert->reset();
                    }
                    tx.commit();
                    ++tally.batchesKept;
                } catch (const DbError&) {
                    if (!fails)
                        throw;
                }
                break;
            }
            }
        }
    } catch (const UserError& e) {
        std::lock_guard lock(tally.mutex);
        tally.failures << QStringLiteral("clerk %1: %2").arg(id).arg(e.message());
    } catch (const std::exception& e) {
        std::lock_guard lock(tally.mutex);
        tally.failures << QStringLiteral("clerk %1: %2").arg(id).arg(QString::fromUtf8(e.what()));
    }
}

TEST(ManyClerks, WorkingAtOnceLoseNothingAndNeverShareANumber) {
    ServerStoreDatabase database;
    const auto store = PgStore::open(database.url());
    store->exec(QStringLiteral("INSERT INTO Personal (Name1, KDoljn) VALUES ('СЧЁТЧИК', 0)"));
    store->exec(QStringLiteral("INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (117, %1)").arg(kYear));

    Tally tally;
    std::vector<std::thread> clerks;
    for (int id = 0; id < kClerks; ++id)
        clerks.emplace_back(clerk, database.url(), id, std::ref(tally));
    for (std::thread& t : clerks)
        t.join();
    ASSERT_TRUE(tally.failures.isEmpty()) << tally.failures.join('\n').toStdString();

    const int perClerk = (kActionsEach + 2) / 3;
    // Application numbers: every one created is in the store once, none given twice.
    EXPECT_EQ(tally.numbers.size(), kClerks * perClerk);
    EXPECT_EQ(QSet<double>(tally.numbers.begin(), tally.numbers.end()).size(), tally.numbers.size());
    EXPECT_EQ(scalarOf(*store, "SELECT COUNT(*) FROM Zajavki2023"), 1 + tally.numbers.size());
    EXPECT_EQ(scalarOf(*store, "SELECT COUNT(*) FROM (SELECT KZajavki, \"Year\" FROM Zajavki2023 "
                               "GROUP BY KZajavki, \"Year\" HAVING COUNT(*) > 1) twice"),
              0);
    // The counter: every increment that was saved is there; none lost.
    EXPECT_EQ(tally.increments, kClerks * ((kActionsEach + 1) / 3));
    EXPECT_EQ(scalarOf(*store, "SELECT KDoljn FROM Personal"), tally.increments.load());
    // Multi-row actions: whole or absent.
    EXPECT_EQ(scalarOf(*store, "SELECT COUNT(*) FROM Sertif"), qint64(tally.batchesKept) * kBatchRows);
    EXPECT_EQ(
        scalarOf(*store,
                 "SELECT COUNT(*) FROM (SELECT Name FROM Sertif GROUP BY Name HAVING COUNT(*) <> 5) part"),
        0);
    std::cout << "applications " << tally.numbers.size() << ", increments " << tally.increments
              << " (refused and repeated: " << tally.conflicts << "), batches kept " << tally.batchesKept
              << "\n";
}

// A clerk's program killed in the middle of a multi-row action: the server undoes it.
TEST(ManyClerks, AClientKilledMidTransactionLeavesNothingBehind) {
    ServerStoreDatabase database;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto store = PgStore::open(database.url());
        store->begin();
        store->exec("INSERT INTO Sertif (Name, PersonalKOD) VALUES ('half', 1), ('half', 1)");
        if (write(ready[1], "x", 1) != 1)
            _exit(2);
        pause(); // killed here, the transaction open
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const auto store = PgStore::open(database.url());
    EXPECT_EQ(scalarOf(*store, "SELECT COUNT(*) FROM Sertif"), 0);
    store->exec("INSERT INTO Sertif (Name, PersonalKOD) VALUES ('whole', 1)");
    EXPECT_EQ(scalarOf(*store, "SELECT COUNT(*) FROM Sertif"), 1) << "the table is not left locked";
}

} // namespace
