// Restoring an export file of 1,000 trainees into a register of 10,000 people (each with an e-mail,
// a SNILS and a certificate), 600 of the file's people found in the register and 400 added:
//   restore 1000 trainees into 10000 people: what "Восстановление заявки" does once the user has
//       chosen the file and accepted the summary (read and check the file, find every person, plan,
//       write in one transaction, re-read the open tables), against a base that reads the same file
//       with the same Paradox reader and writes the same rows with raw SQLite statements, finding
//       people through the same index. Target: under 300 ms.
#include "BenchRunner.h"

#include "applications/Restore.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/paradox/ParadoxReader.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/RuCollation.h"
#include "data/SqliteStore.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QDate>
#include <QFile>
#include <QHash>
#include <sqlite3.h>

namespace {

constexpr int kPeople = 10000;
constexpr int kTrainees = 1000;
constexpr int kFound = 600;
constexpr int kYear = 2026;

// A statement of the bare SQLite interface.
class Raw {
public:
    Raw(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            die();
    }
    ~Raw() { sqlite3_finalize(st_); }
    Raw& text(int i, const QVariant& v) {
        if (v.isNull() || v.toString().isEmpty()) {
            sqlite3_bind_null(st_, i);
        } else {
            const QByteArray utf8 = v.toString().toUtf8();
            sqlite3_bind_text(st_, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    Raw& date(int i, const QVariant& v) {
        return text(i, v.isNull() ? QVariant() : QVariant(v.toDate().toString(Qt::ISODate)));
    }
    Raw& integer(int i, qint64 v) {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    Raw& number(int i, double v) {
        sqlite3_bind_double(st_, i, v);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            die();
        return rc == SQLITE_ROW;
    }
    void reset() {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
    qint64 column(int i) const { return sqlite3_column_int64(st_, i); }
    QString columnText(int i) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st_, i)),
                                 sqlite3_column_bytes(st_, i));
    }

private:
    [[noreturn]] void die() {
        std::fprintf(stderr, "restore bench: %s\n", sqlite3_errmsg(db_));
        std::abort();
    }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

struct BigRestore {
    QString database, file;
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::No};
    std::unique_ptr<DataModule> dm;
    sqlite3* raw = nullptr;

    void ensure() {
        if (dm)
            return;
        const QString dir = QString::fromStdString(bench::scratchDir());
        database = dir + QStringLiteral("/restore.sqlite");
        file = dir + QStringLiteral("/ZES116_2026.db");
        QFile::remove(database);
        // Shared access, so that the base can write the same database through a connection of its own.
        store = SqliteStore::open(database, SqliteStore::Access::Shared);
        store->exec(
            QStringLiteral(
                "BEGIN;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                "INSERT INTO DOLJNOST SELECT i, 'ДОЛЖНОСТЬ ' || i FROM n;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12) "
                "INSERT INTO SPEZ SELECT i, 'СПЕЦИАЛЬНОСТЬ ' || i FROM n;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, NSpez, StajOb, "
                "StajDoljn) "
                "SELECT 'ФАМИЛИЯ' || i, 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', i % 300, 'ВРАЧ', i % "
                "12, "
                "'ЛЕЧЕБНОЕ ДЕЛО', 2000, 2010 FROM n;"
                "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) SELECT 'p' || NPP || '@mail.ru', NPP FROM "
                "Personal;"
                "INSERT INTO PERSNILS (SNILS, PersonalKOD) SELECT '112-233-445 95', NPP FROM Personal;"
                "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2027-01-31', 'Терапия', NPP FROM "
                "Personal;"
                "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, %2);"
                "COMMIT;")
                .arg(QString::number(kPeople), QString::number(kYear)));

        // The file: people of the register spread over it, and people it lacks.
        QList<QVariantList> rows;
        for (int i = 1; i <= kTrainees; ++i) {
            const bool found = i <= kFound;
            const int person = found ? i * (kPeople / kFound) : i;
            const QString surname =
                (found ? QStringLiteral("ФАМИЛИЯ") : QStringLiteral("НОВЫЙ")) + QString::number(person);
            // Codes up to 310: some the book of 300 positions lacks.
            rows << QVariantList{116.0,
                                 surname,
                                 QStringLiteral("ИМЯ%1").arg(person % 31),
                                 QStringLiteral("ОТЧЕСТВО"),
                                 QStringLiteral("ПК-%1").arg(i % 500),
                                 1 + i % 4,
                                 QDate(1980, 5, 17),
                                 i % 310,
                                 i % 12,
                                 25.0,
                                 16.0,
                                 kYear,
                                 QStringLiteral("ПК"),
                                 36,
                                 QDate(2027, 1, 31),
                                 QStringLiteral("Терапия"),
                                 QStringLiteral("n%1@mail.ru").arg(i),
                                 QStringLiteral("987-654-321 83"),
                                 QStringLiteral("очн")};
        }
        writeParadoxTable(file, layouts::tempZ2023(), rows);

        state.CurYear = kYear;
        dm = std::make_unique<DataModule>(*store, state, prompter);
        dm->openAllTables();
        dm->tblZajavki2023->locate(QStringLiteral("KZajavki;Year"), {116.0, kYear});

        if (sqlite3_open_v2(database.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            std::abort();
        SqliteStore::prepareConnection(raw);
        sqlite3_busy_timeout(raw, 2000);

        // Both sides write the same rows.
        restore();
        const QList<qint64> ours = counts();
        forget();
        rawRestore();
        if (counts() != ours || ours[0] != kTrainees || ours[1] != kPeople + kTrainees - kFound) {
            std::fprintf(stderr, "restore bench: the base writes other rows than the restore\n");
            std::abort();
        }
        forget();
    }

    QList<qint64> counts() {
        QList<qint64> out;
        for (const char* table : {"Sluch2023", "Personal", "PEREMAIL", "PERSNILS", "Sertif"}) {
            auto st =
                store->cached(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(table)));
            st->step();
            out << st->int64(0);
        }
        auto linked = store->cached(QStringLiteral("SELECT COUNT(*) FROM Sluch2023 s JOIN Personal p ON "
                                                   "p.NPP = s.KodPersonal AND p.Name1 = s.Name1"));
        linked->step();
        out << linked->int64(0);
        return out;
    }

    // Untimed: the store and the open tables as they were before a restore.
    void forget() {
        store->exec(QStringLiteral("BEGIN; DELETE FROM Sluch2023; DELETE FROM Personal WHERE NPP > %1;"
                                   "DELETE FROM PEREMAIL WHERE PersonalKOD > %1; DELETE FROM PERSNILS WHERE "
                                   "PersonalKOD > %1; DELETE FROM Sertif WHERE PersonalKOD > %1; COMMIT;")
                        .arg(kPeople));
        for (Dataset* ds : dm->datasets())
            ds->reread();
    }

    void restore() {
        const applications::RestorePlan plan = applications::planRestore(*dm, file);
        applications::writeRestore(*dm, plan, true);
    }

    void rawRestore() {
        QList<QVariantList> rows;
        ParadoxReader reader(file);
        QVariantList row;
        while (reader.next(row))
            rows << row;
        QHash<qint64, QString> positions, specialties;
        for (auto [sql, names] : {std::pair{"SELECT KDoljn, NDoljn FROM DOLJNOST ORDER BY rowid", &positions},
                                  std::pair{"SELECT KSpez, NSpez FROM SPEZ ORDER BY rowid", &specialties}}) {
            Raw st(raw, sql);
            while (st.step())
                if (!names->contains(st.column(0)))
                    names->insert(st.column(0), st.columnText(1));
        }
        sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        Raw find(raw,
                 "SELECT NPP FROM Personal WHERE Name1 = ? COLLATE RU AND Name2 = ? COLLATE RU AND Name3 = ? "
                 "COLLATE RU ORDER BY NPP LIMIT 1");
        Raw person(raw,
                   "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, NSpez, StajOb, "
                   "StajDoljn) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Raw firstEmail(raw, "SELECT NPP FROM PEREMAIL WHERE PersonalKOD = ? ORDER BY NPP LIMIT 1");
        Raw setEmail(raw, "UPDATE PEREMAIL SET EMAIL = ? WHERE NPP = ?");
        Raw addEmail(raw, "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) VALUES (?, ?)");
        Raw firstSnils(raw, "SELECT NPP FROM PERSNILS WHERE PersonalKOD = ? ORDER BY NPP LIMIT 1");
        Raw setSnils(raw, "UPDATE PERSNILS SET SNILS = ? WHERE NPP = ?");
        Raw addSnils(raw, "INSERT INTO PERSNILS (SNILS, PersonalKOD) VALUES (?, ?)");
        Raw certificate(raw, "INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES (?, ?, ?)");
        Raw trainee(
            raw, "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, KDoljn, "
                 "KSpez, StajOb, StajDoljn, \"Year\", DateCl, Specialty, EMAIL, SNILS, FOBUCH, KodPersonal) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        auto upsert = [](Raw& first, Raw& set, Raw& add, const QVariant& value, qint64 npp) {
            first.integer(1, npp);
            const qint64 row = first.step() ? first.column(0) : 0;
            first.reset();
            Raw& st = row ? set : add;
            st.text(1, value).integer(2, row ? row : npp);
            st.step();
            st.reset();
        };
        for (const QVariantList& r : rows) {
            find.text(1, r[1]).text(2, r[2]).text(3, r[3]);
            qint64 npp = find.step() ? find.column(0) : 0;
            find.reset();
            if (npp == 0) {
                person.text(1, r[1]).text(2, r[2]).text(3, r[3]).date(4, r[6]).integer(5, r[7].toInt());
                person.text(6, positions.value(r[7].toInt())).integer(7, r[8].toInt());
                person.text(8, specialties.value(r[8].toInt()));
                person.integer(9, std::llround(kYear - r[9].toDouble()));
                person.integer(10, std::llround(kYear - r[10].toDouble()));
                person.step();
                person.reset();
                npp = sqlite3_last_insert_rowid(raw);
                certificate.date(1, r[14]).text(2, r[15]).integer(3, npp);
                certificate.step();
                certificate.reset();
            }
            upsert(firstEmail, setEmail, addEmail, r[16], npp);
            upsert(firstSnils, setSnils, addSnils, r[17], npp);
            trainee.number(1, r[0].toDouble())
                .text(2, r[1])
                .text(3, r[2])
                .text(4, r[3])
                .text(5, r[4])
                .text(6, r[12]);
            trainee.integer(7, r[13].toInt())
                .integer(8, r[5].toInt())
                .date(9, r[6])
                .integer(10, r[7].toInt());
            trainee.integer(11, r[8].toInt()).number(12, r[9].toDouble()).number(13, r[10].toDouble());
            trainee.integer(14, r[11].toInt())
                .date(15, r[14])
                .text(16, r[15])
                .text(17, r[16])
                .text(18, r[17]);
            trainee.text(19, r[18]).integer(20, npp);
            trainee.step();
            trainee.reset();
        }
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    }
};

BigRestore& big() {
    static BigRestore b;
    b.ensure();
    return b;
}

const bench::Registrar restoreBench({"restore 1000 trainees into 10000 people", [] { big().restore(); },
                                     [] { big().rawRestore(); }, 7, [] { big().forget(); }});

} // namespace
