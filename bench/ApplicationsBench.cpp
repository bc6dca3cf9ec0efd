// The applications' multi-row actions on a register of 10,000 people: marking 1,000 of them with
// the space bar and adding them to an application, and deleting an application of 1,000 trainees.
// Each is one user action; the target is under 0.2 s of work each.
// And one press of the space bar in a register of 100,000 people, against the same UPDATE through
// raw SQLite: a mark must cost the same whatever the register's size, under 1 ms; once through the
// rule alone, once as the adding dialog's grid receives the key, repaint included.
#include "BenchRunner.h"
#include "BenchServer.h"
#include "DelayProxy.h"

#include "applications/ApplicationRules.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/PgStore.h"
#include "data/SqliteStore.h"
#include "shell/DbGrid.h"

#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <random>
#include <sqlite3.h>

namespace {

struct Office {
    // Where the store is: the file, or the server reached through a network of 1 ms round trips.
    enum class Where { File, ServerOverNetwork } where = Where::File;
    std::unique_ptr<DelayProxy> network;
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<DataModule> dm;
    const Generation& g = Generation::current();

    void ensure() {
        if (dm)
            return;
        const QString path =
            QString::fromStdString(bench::scratchDir()) + QStringLiteral("/applications.sqlite");
        QFile::remove(path);
        SqliteStore::removeFile(path);
        store = SqliteStore::open(path, SqliteStore::Access::Exclusive); // as the program opens it
        store->exec(QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, KSpez, StajOb, StajDoljn) "
            "SELECT 'ФАМИЛИЯ' || (i % 997), 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', i % 30, i % 12, "
            "2000, 2010 FROM n;"
            "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) SELECT 'p' || NPP || '@mail.ru', NPP FROM Personal;"
            "INSERT INTO PERSNILS (SNILS, PersonalKOD) SELECT '112-233-445 95', NPP FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2027-01-31', 'Терапия', NPP FROM "
            "Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2028-01-31', 'Хирургия', NPP FROM "
            "Personal;"
            "INSERT INTO Config (NLPU, Boss, \"User\", KZajavki) VALUES ('Б', 'Р', 'И', 116);"
            "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026);"
            "COMMIT;"));
        if (where == Where::ServerOverNetwork) {
            store.reset();
            const std::string direct = bench::serverDatabaseFrom("applications", path.toStdString());
            network = std::make_unique<DelayProxy>(bench::serverSocket(), std::chrono::microseconds(500));
            store = PgStore::open(QString::fromStdString(bench::throughFolder(direct, network->folder())));
        }
        state.CurYear = 2026;
        dm = std::make_unique<DataModule>(*store, state, prompter);
        dm->openAllTables();
        state.SelKZicl = QStringLiteral("ПК-1234");
        state.SelVidOb = QStringLiteral("ПК");
        state.SelFOBUCH = QStringLiteral("очн");
        state.SelHours = 36;
    }

    void resetApplication116() {
        ensure();
        applications::clearMarks(*dm);
        store->exec(QStringLiteral("DELETE FROM Sluch2023"));
        dm->tblSluch2023->reread();
        applications::locateApplication(*dm, g, 116, 2026);
    }

    void mark1000() {
        for (int i = 0; i < 1000; ++i) {
            dm->tblPersonal->moveTo(i * 10);
            applications::toggleMark(*dm);
        }
    }
    void add1000() {
        if (applications::addMarkedPeople(*dm, g, state, 1) != 1000)
            qFatal("the bench added the wrong number of trainees");
    }
    void markAndAdd() {
        mark1000();
        add1000();
    }

    void makeApplicationOf1000() {
        ensure();
        store->exec(QStringLiteral(
            "BEGIN; DELETE FROM Zajavki2023 WHERE KZajavki = 200; DELETE FROM Sluch2023 WHERE KZajavki = 200;"
            "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (200, 2026);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "INSERT INTO Sluch2023 (KZajavki, \"Year\", Name1, KZicl, KV) SELECT 200, 2026, 'СЛУШАТЕЛЬ' || "
            "i, 'ПК-1', 1 FROM n;"
            "COMMIT;"));
        dm->tblZajavki2023->reread();
        applications::locateApplication(*dm, g, 200, 2026);
    }

    void deleteApplication() {
        if (dm->tblSluch2023->recordCount() != 1000)
            qFatal("the bench application has the wrong number of trainees");
        applications::deleteApplication(*dm, g, state, prompter);
    }
};

Office& office() {
    static Office o;
    return o;
}

// The office's store on the server, over a network of 1 ms round trips.
Office& serverOffice() {
    static Office o;
    o.where = Office::Where::ServerOverNetwork;
    return o;
}

// The register of a large institution: 100,000 people, each with an e-mail, a SNILS and two
// certificates, opened as the program opens it, the register in its name order with its four
// detail tables following the current person.
struct LargeRegister {
    static constexpr int kPeople = 100000;
    std::unique_ptr<SqliteStore> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<DataModule> dm;
    sqlite3_stmt* update = nullptr;
    std::mt19937 random{20260301};
    qint64 rowid = 0;

    std::unique_ptr<DbGrid> grid;

    void ensure() {
        if (dm)
            return;
        const QString path = QString::fromStdString(bench::scratchDir()) + QStringLiteral("/register.sqlite");
        QFile::remove(path);
        store = SqliteStore::open(path, SqliteStore::Access::Exclusive);
        store->exec(QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
            "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, StajOb, StajDoljn) "
            "SELECT 'ФАМИЛИЯ' || (i * 7919 % 99991), 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', i % 30, "
            "'ВРАЧ-ТЕРАПЕВТ', i % 12, 1990 + i % 30, CASE WHEN i % 10 = 0 THEN NULL ELSE 2010 END FROM n;"
            "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) SELECT 'p' || NPP || '@mail.ru', NPP FROM Personal;"
            "INSERT INTO PERSNILS (SNILS, PersonalKOD) SELECT '112-233-445 95', NPP FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2027-01-31', 'Терапия', NPP FROM "
            "Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2028-01-31', 'Хирургия', NPP FROM "
            "Personal;"
            "COMMIT;"));
        state.CurYear = 2026;
        dm = std::make_unique<DataModule>(*store, state, prompter);
        for (Table* t : {dm->tblPersonal, dm->tblTrained, dm->tblSertif, dm->tblPerEmail, dm->tblPerSnils})
            t->open();
        // The base: the same change of the mark through raw SQLite on the store's own connection
        // (the program keeps the file locked for itself).
        const char* sql = "UPDATE Personal SET PR = CASE WHEN PR = 'X' THEN ' ' ELSE 'X' END WHERE rowid = ?";
        if (sqlite3_prepare_v2(store->handle(), sql, -1, &update, nullptr) != SQLITE_OK)
            qFatal("the bench cannot prepare its update");
    }

    // Someone anywhere in the register becomes current (untimed), as the user moves to them.
    void pickPerson() {
        ensure();
        const int row = std::uniform_int_distribution<int>(0, kPeople - 1)(random);
        dm->tblPersonal->moveTo(row);
        rowid = dm->tblPersonal->currentRowId();
    }

    void ours() { applications::toggleMark(*dm); }

    // The adding dialog's staff grid, shown, marked rows drawn red, the space bar marking.
    void pickPersonInGrid() {
        pickPerson();
        if (!grid) {
            grid = std::make_unique<DbGrid>(QStringLiteral("DBGrid1"), dm->dtsPersonal,
                                            QList<GridColumn>{{"Name1", "Фамилия", 150, {}},
                                                              {"Name2", "Имя", 120, {}},
                                                              {"Name3", "Отчество", 150, {}},
                                                              {"NDoljn", "Должность", 250, {}},
                                                              {"StajO1", "Общ.Стаж", 64, {}},
                                                              {"StajD1", "СтажСпец", 64, {}}});
            const int mark = dm->tblPersonal->field(QStringLiteral("PR")).index();
            Table* people = dm->tblPersonal;
            grid->datasetModel()->setRowColours([people, mark](int row) -> std::optional<RowColours> {
                if (applications::isMarked(people->valueAt(row, mark)))
                    return RowColours{QColor(255, 0, 0), QColor(Qt::white)};
                return std::nullopt;
            });
            QObject::connect(grid.get(), &DbGrid::keyReleased, [this](int key) {
                if (key == Qt::Key_Space)
                    applications::toggleMark(*dm);
            });
            grid->resize(860, 600);
            grid->show();
        }
        QCoreApplication::processEvents();
    }

    void pressSpace() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(grid.get(), &press);
        QCoreApplication::sendEvent(grid.get(), &release);
        QCoreApplication::processEvents();
    }

    void base() {
        sqlite3_bind_int64(update, 1, rowid);
        if (sqlite3_step(update) != SQLITE_DONE)
            qFatal("the bench update failed");
        sqlite3_reset(update);
    }
};

// Never destroyed: its grid may not outlive the application object, which goes first.
LargeRegister& largeRegister() {
    static auto* r = new LargeRegister;
    return *r;
}

const bench::Registrar markAndAdd({"applications mark and add 1000",
                                   [] { office().markAndAdd(); },
                                   {},
                                   5,
                                   [] { office().resetApplication116(); }});
// The marks are set one space bar at a time, as the clerk goes; the adding is one action.
const bench::Registrar addMarkedOverNetwork({"server over 1 ms network: applications add 1000 marked",
                                             [] { serverOffice().add1000(); },
                                             {},
                                             3,
                                             [] {
                                                 serverOffice().resetApplication116();
                                                 serverOffice().mark1000();
                                             }});
const bench::Registrar markOne({"applications mark one of 100000", [] { largeRegister().ours(); },
                                [] { largeRegister().base(); }, 501, [] { largeRegister().pickPerson(); }});
const bench::Registrar spaceInGrid({"applications space bar in a grid of 100000",
                                    [] { largeRegister().pressSpace(); }, [] { largeRegister().base(); }, 101,
                                    [] { largeRegister().pickPersonInGrid(); }});
const bench::Registrar deleteApplication({"applications delete 1000 trainees",
                                          [] { office().deleteApplication(); },
                                          {},
                                          5,
                                          [] { office().makeApplicationOf1000(); }});

} // namespace
