// The year's training plan and the copies of the store, on a register of 10,000 people with
// 20,000 certificates, 500 trainees of the year and a catalogue of 5,000 programmes.
// - The plan (selection, latest certificates, programme match, sorting) against reading the same
//   rows with bare SQLite statements. Target: under 100 ms.
// - A copy of that store through SQLite's online backup against a plain copy of its file, synced
//   to the disk like the backup. Target: within 3 times.
#include "BenchRunner.h"

#include "applications/TrainingPlan.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/SqliteStore.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <unistd.h>

namespace {

struct Office {
    QString path;
    std::unique_ptr<SqliteStore> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<DataModule> dm;

    void ensure() {
        if (dm)
            return;
        path = QString::fromStdString(bench::scratchDir()) + QStringLiteral("/plan.sqlite");
        QFile::remove(path);
        store = SqliteStore::open(path, SqliteStore::Access::Exclusive);
        // 50 specialties; certificates ending from 2024 to 2031; programmes of 2027 with a main and
        // two additional specialties each.
        store->exec(QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Personal (Name1, Name2, Name3, DR, NDoljn, NSpez) "
            "SELECT 'ФАМИЛИЯ' || (i % 4999), 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', 'ДОЛЖНОСТЬ ' || (i "
            "% 40), "
            "'Специальность ' || (i % 50) FROM n;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) "
            "SELECT date('2019-01-01', '+' || ((NPP * 37) % 1800) || ' days'), 'Специальность ' || (NPP % "
            "50), NPP "
            "FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) "
            "SELECT date('2024-01-01', '+' || ((NPP * 53) % 2900) || ' days'), 'Специальность ' || (NPP % "
            "50), NPP "
            "FROM Personal;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "INSERT INTO NewZicl2023 (KZicl, VidOb, TypeOb, Hours, NZicl, Contingent, RealZicl, \"Year\", "
            "SPECIALY, "
            "ADDSPECIALTY, FOBUCH) "
            "SELECT 'ПК-' || i, 'ПК', '', 36, 'Программа ' || i, 'Врачи', i, 2027, 'Специальность ' || (i % "
            "50), "
            "'Специальность ' || ((i + 1) % 50) || ', Специальность ' || ((i + 7) % 50), 'очная' FROM n;"
            "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2027);"
            "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, DR, \"Year\", KodPersonal) "
            "SELECT 116, Name1, Name2, Name3, DR, 2027, NULL FROM Personal WHERE NPP % 20 = 0;"
            "COMMIT;"));
        state.CurYear = 2026;
        dm = std::make_unique<DataModule>(*store, state, prompter);
    }

    void plan() {
        const plan::Plan p = plan::buildPlan(*dm, Generation::current(), 2027, QDate(2026, 3, 15));
        volatile qsizetype sink = p.entries.size();
        (void)sink;
    }

    // The same rows read with bare statements, nothing made of them.
    void readRows() {
        static const char* queries[] = {
            "SELECT KZicl, VidOb, TypeOb, FOBUCH, Hours, NZicl, SPECIALY, ADDSPECIALTY FROM NewZicl2023 "
            "WHERE \"Year\" = 2027 ORDER BY RealZicl, NPP",
            "SELECT KodPersonal, Name1, Name2, Name3, DR FROM Sluch2023 WHERE \"Year\" = 2027",
            "SELECT PersonalKOD, DateCL, Name, NPP FROM Sertif",
            "SELECT NPP, Name1, Name2, Name3, DR, NDoljn, NSpez FROM Personal",
        };
        volatile qint64 sink = 0;
        for (const char* sql : queries) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(store->handle(), sql, -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    sink = sink + sqlite3_column_bytes(st, c);
            sqlite3_finalize(st);
        }
    }

    QString copyPath() const {
        return QString::fromStdString(bench::scratchDir()) + QStringLiteral("/copy.sqlite");
    }
    void removeCopy() {
        ensure();
        QFile::remove(copyPath());
        // The plain copy reads the file itself: what the log holds goes into it first.
        store->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    void backup() { store->backupTo(copyPath()); }
    void plainCopy() {
        QFile::copy(path, copyPath());
        QFile copy(copyPath());
        copy.open(QIODevice::ReadWrite);
        ::fsync(copy.handle());
    }
};

Office& office() {
    static Office o;
    o.ensure();
    return o;
}

const bench::Registrar planBench({"plan of a year, 10000 people, 20000 certificates, 5000 programmes",
                                  [] { office().plan(); }, [] { office().readRows(); }});
const bench::Registrar backupBench({"backup of that store against a plain file copy",
                                    [] { office().backup(); }, [] { office().plainCopy(); }, 7,
                                    [] { office().removeCopy(); }});

} // namespace
