// The programme catalogue of 5,000 programmes:
//   filter: the catalogue window's filter by one main specialty (the query reloaded with the
//           specialty bound, its rows counted) against the same SELECT through raw SQLite;
//   list:   the programme list document of every programme (template filled, rows ruled and fitted,
//           saved into Documents) against libxlsxwriter writing the same cells into a fresh
//           workbook. Targets: a filter under 20 ms of work; the document within 1.5×.
#include "BenchRunner.h"

#include "core/Prompter.h"
#include "core/RootPaths.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/SqliteStore.h"
#include "documents/ListDocument.h"
#include "refbooks/CatalogueFilter.h"

#include <memory>
#include <QDir>
#include <sqlite3.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {

constexpr int kProgrammes = 5000;
const char* const kSpecialty = "Терапия";

struct Catalogue {
    std::unique_ptr<RootPaths> root;
    std::unique_ptr<SqliteStore> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<DataModule> dm;

    void ensure() {
        if (dm)
            return;
        root = std::make_unique<RootPaths>(QString::fromStdString(bench::scratchDir()) +
                                           QStringLiteral("/catalogue"));
        root->makeFolders();
        QFile::remove(root->storeFile());
        store = SqliteStore::open(root->storeFile(), SqliteStore::Access::Exclusive);
        store->exec(
            QStringLiteral("BEGIN;"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO NewZicl2023 (KZicl, VidOb, TypeOb, Hours, NZicl, Contingent, "
                           "RealZicl, \"Year\", SPECIALY, "
                           "ADDSPECIALTY, FOBUCH) SELECT 'ПК-' || i, 'ПК', 'Б', 36 * (1 + i % 4), "
                           "'Актуальные вопросы программы номер ' || i, 'Врачи-специалисты, врачи общей "
                           "практики', i, 2026 + i % 2, "
                           "CASE i % 20 WHEN 0 THEN 'Терапия' ELSE 'Специальность ' || (i % 20) END, "
                           "'Общая врачебная практика (семейная медицина), Кардиология', 'очн' FROM n;"
                           "COMMIT;")
                .arg(kProgrammes));
        dm = std::make_unique<DataModule>(*store, state, prompter);
        dm->openAllTables();
    }

    void filter() {
        const CatalogueFilter f{QString::fromUtf8(kSpecialty), QString()};
        dm->reloadNewZicl(f.sql(), f.parameters());
        if (dm->qNewZicl->recordCount() != kProgrammes / 20)
            qFatal("the filter found the wrong programmes");
    }

    void rawFilter() {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(store->handle(),
                           "SELECT * FROM NewZicl2023 WHERE SPECIALY = ? ORDER BY RealZicl, \"Year\", NPP",
                           -1, &st, nullptr);
        sqlite3_bind_text(st, 1, kSpecialty, -1, SQLITE_STATIC);
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                sqlite3_column_text(st, c);
            ++rows;
        }
        sqlite3_finalize(st);
        if (rows != kProgrammes / 20)
            qFatal("the raw filter found the wrong programmes");
    }

    // What the list writes, read once as UTF-8 for libxlsxwriter (as a program using it would hold it).
    struct Row {
        std::vector<std::string> texts; // code, kind, hours, name, contingent, specialty, more
        int year;
    };
    std::vector<Row> rows;

    void prepareList() {
        ensure();
        dm->reloadNewZicl(DataModule::defaultNewZiclSql());
        QDir(root->documents()).removeRecursively();
        QDir().mkpath(root->documents());
        if (!rows.empty())
            return;
        Query& q = *dm->qNewZicl;
        for (q.first(); !q.eof(); q.next()) {
            Row r;
            for (const char* f :
                 {"KZicl", "VidOb", "Hours", "NZicl", "Contingent", "SPECIALY", "ADDSPECIALTY"})
                r.texts.push_back(q.field(QString::fromLatin1(f)).asString().toStdString());
            r.year = int(q.field(QStringLiteral("Year")).asInteger());
            rows.push_back(std::move(r));
        }
    }

    void list() {
        dm->qNewZicl->first();
        documents::saveListDocument(*dm, documents::ListDocumentSettings::programmes(), *root);
    }

    void freshList() {
        const std::string file = (root->root() + QStringLiteral("/fresh.xlsx")).toStdString();
        lxw_workbook* book = workbook_new(file.c_str());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* cell = workbook_add_format(book);
        format_set_border(cell, LXW_BORDER_THIN);
        format_set_text_wrap(cell);
        lxw_row_t row = 4; // zero-based row 5
        int k = 0;
        for (const Row& r : rows) {
            worksheet_write_number(sheet, row, 0, ++k, cell);
            for (int c = 0; c < 7; ++c)
                worksheet_write_string(sheet, row, lxw_col_t(c + 1), r.texts[size_t(c)].c_str(), cell);
            worksheet_write_number(sheet, row, 8, r.year, cell);
            ++row;
        }
        workbook_close(book);
    }
};

Catalogue& catalogue() {
    static Catalogue c;
    return c;
}

const bench::Registrar filterBench({"catalogue filter by specialty, 5000 programmes",
                                    [] { catalogue().filter(); }, [] { catalogue().rawFilter(); }, 15,
                                    [] { catalogue().ensure(); }});
const bench::Registrar listBench({"catalogue programme list document, 5000 programmes",
                                  [] { catalogue().list(); }, [] { catalogue().freshList(); }, 5,
                                  [] { catalogue().prepareList(); }});

} // namespace
