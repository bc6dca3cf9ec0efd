#pragma once
// Bringing Paradox tables into the store: the old program's Base folder, or single tables such
// as the training centre's catalogue. Each file is recognised by its name among the store's
// tables; rows keep their row numbers, so the links between tables hold.
#include <functional>
#include <QList>
#include <QString>
#include <QStringList>

class Store;
struct ParadoxField;
struct TableLayout;

// The layout's field names a table file lacks (matched by name, letter case aside), in the
// layout's order.
QStringList missingFields(const QList<ParadoxField>& fields, const TableLayout& layout);

struct ImportedTable {
    QString fileName; // the store table's file name, e.g. "Personal.DB"
    QString source;   // the file it came from
    int rowsRead = 0;
    int rowsStored = 0;
    // The .MB file the table was imported without ("NewZicl2023.MB"); empty when none was missing.
    QString missingMemoFile;
};

struct ImportOptions {
    // The office's own work is imported over rows already in the store (--replace).
    bool replace = false;
    // A table whose .MB file is missing is imported with the memo texts kept there empty
    // (--force); otherwise it is refused, naming the file.
    bool withoutMissingMemos = false;
    // When given, hears of each table before it is stored (its position, the number of tables, its
    // file name) and once more at the end (the number of tables twice, no name).
    std::function<void(int done, int total, const QString& fileName)> progress = {};
};

struct ImportResult {
    QList<ImportedTable> tables;
    QStringList skipped; // files in a folder that are no table of the program
};

// Imports the files and folders in `paths` into `store`, all in one transaction. Reference books,
// catalogues, parameters, bank details and the working tables are replaced; the office's own work
// (people and their details, applications, trainees) is imported only into empty tables unless
// `options.replace` is set. Each table is streamed row by row into the store. Throws DbError
// (naming the table, and the row and field where one is refused); then nothing is imported.
ImportResult importTables(Store& store, const QStringList& paths, const ImportOptions& options);
inline ImportResult importTables(Store& store, const QStringList& paths, bool replace) {
    return importTables(store, paths, ImportOptions{replace, false, {}});
}

// Whether a table holds the office's own work, which an import does not overwrite unasked.
bool isOfficeWork(const QString& sqlName);
