// Exporting an application of 10,000 trainees, side by side with two bases:
//   export 10000 trainees: what "Выгрузить" does (read the application's trainees through the
//       store, check and encode every row, refill the working table, write the file) against a
//       base that reads the same rows with raw SQLite statements and writes them with the same
//       Paradox writer to the same kind of file;
//   export 10000 trainees vs plain write: the same export against a plain write of the bytes
//       alone, the least any export can cost.
#include "BenchRunner.h"

#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "core/Prompter.h"
#include "core/RootPaths.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/Field.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/SqliteStore.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QDate>
#include <QFile>
#include <QSaveFile>
#include <sqlite3.h>

namespace {

// The trainee columns in the order of the export layout, and how each is read.
enum class Kind { Number, Text, Integer, Date };
struct Column {
    const char* name;
    Kind kind;
};
constexpr Column kColumns[] = {
    {"KZajavki", Kind::Number}, {"Name1", Kind::Text},       {"Name2", Kind::Text},
    {"Name3", Kind::Text},      {"KZicl", Kind::Text},       {"KV", Kind::Integer},
    {"DR", Kind::Date},         {"KDoljn", Kind::Integer},   {"KSpez", Kind::Integer},
    {"StajOb", Kind::Number},   {"StajDoljn", Kind::Number}, {"Year", Kind::Integer},
    {"VidOb", Kind::Text},      {"Hours", Kind::Integer},    {"DateCl", Kind::Date},
    {"Specialty", Kind::Text},  {"EMAIL", Kind::Text},       {"SNILS", Kind::Text},
    {"FOBUCH", Kind::Text}};

// The rows of application 116/2026 read with the bare SQLite interface, empty values as the
// export reads them (0, the zero date, an empty text).
QList<QVariantList> rawRows(const QString& database) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "open %s: %s\n", qPrintable(database), sqlite3_errmsg(db));
        std::abort();
    }
    std::string sql = "SELECT ";
    for (const Column& c : kColumns)
        sql += std::string(&c == kColumns ? "" : ",") + "\"" + c.name + "\"";
    sql += " FROM Sluch2023 WHERE KZajavki = ? AND \"Year\" = ? ORDER BY rowid";
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &st, nullptr);
    sqlite3_bind_double(st, 1, 116.0);
    sqlite3_bind_int(st, 2, 2026);
    QList<QVariantList> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(int(std::size(kColumns)));
        for (int i = 0; i < int(std::size(kColumns)); ++i) {
            const bool null = sqlite3_column_type(st, i) == SQLITE_NULL;
            auto text = [&] {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                         sqlite3_column_bytes(st, i));
            };
            switch (kColumns[i].kind) {
            case Kind::Number:
                row << (null ? 0.0 : sqlite3_column_double(st, i));
                break;
            case Kind::Integer:
                row << (null ? qint64(0) : qint64(sqlite3_column_int64(st, i)));
                break;
            case Kind::Date:
                row << (null ? Field::zeroDate() : QDate::fromString(text(), Qt::ISODate));
                break;
            case Kind::Text:
                row << (null ? QString() : text());
                break;
            }
        }
        rows << std::move(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

struct BigApplication {
    QString dir;
    QString database;
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::No};
    std::unique_ptr<DataModule> dm;
    const Generation& g = Generation::current();
    std::unique_ptr<RootPaths> root;
    QString target;
    QByteArray sameBytes;

    void ensure() {
        if (dm)
            return;
        dir = QString::fromStdString(bench::scratchDir());
        database = dir + QStringLiteral("/export.sqlite");
        QFile::remove(database);
        // Shared access, so that the base can read the same database through a connection of its own.
        store = SqliteStore::open(database, SqliteStore::Access::Shared);
        store->exec(QStringLiteral(
            "BEGIN; INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, KDoljn, "
            "KSpez, StajOb, "
            "StajDoljn, \"Year\", EMAIL, DateCl, Specialty, SNILS, FOBUCH) "
            "SELECT 116, 'ФАМИЛИЯ' || i, 'ИМЯ', 'ОТЧЕСТВО', 'ПК-' || (i % 500), 'ПК', 36, 1 + i % 4, "
            "CASE WHEN i % 10 = 0 THEN NULL ELSE '1980-05-17' END, i % 300, i % 12, 25, 16, 2026, 'p' || i "
            "|| '@mail.ru', "
            "'2027-01-31', 'Терапия', '112-233-445 95', 'очн' FROM n; COMMIT;"));
        dm = std::make_unique<DataModule>(*store, state, prompter);
        for (Table* t : {dm->tblZajavki2023, dm->tblSluch2023})
            t->open();
        applications::locateApplication(*dm, g, 116, 2026);
        root = std::make_unique<RootPaths>(dir);
        target = dir + QStringLiteral("/Export/ZES116_2026.db");
        root->makeFolders();
        const QList<QVariantList> rows = applications::exportRows(*dm, g);
        sameBytes = applications::encodeExport(*dm, g, rows);
        // Both sides export the same rows.
        if (rows != rawRows(database) || rows.size() != 10000) {
            std::fprintf(stderr, "export bench: the base reads other rows than the export\n");
            std::abort();
        }
    }

    void exportFile() {
        const QList<QVariantList> rows = applications::exportRows(*dm, g);
        const QByteArray bytes = applications::encodeExport(*dm, g, rows);
        applications::fillWorkingTable(*dm, g);
        applications::writeExportFile(*root, target, bytes);
    }

    void rawSqliteAndWriter() {
        writeParadoxTable(dir + QStringLiteral("/Export/raw.db"), layouts::tempZ2023(), rawRows(database));
    }

    void plainWrite() {
        QSaveFile file(target + QStringLiteral(".plain"));
        file.open(QIODevice::WriteOnly);
        file.write(sameBytes);
        file.commit();
    }
};

BigApplication& big() {
    static BigApplication b;
    b.ensure();
    return b;
}

const bench::Registrar exportBench(
    {"export 10000 trainees", [] { big().exportFile(); }, [] { big().rawSqliteAndWriter(); }, 15, {}});
const bench::Registrar plainBench(
    {"export 10000 trainees vs plain write", [] { big().exportFile(); }, [] { big().plainWrite(); }, 5, {}});

} // namespace
