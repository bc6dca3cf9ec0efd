#pragma once
// Bringing Paradox tables into the store: the old program's Base folder, or single tables such
// as the training centre's catalogue. Each file is recognised by its name among the store's
// tables; rows keep their row numbers, so the links between tables hold.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Store;

struct ImportedTable {
    QString fileName;  // the store table's file name, e.g. "Personal.DB"
    QString source;    // the file it came from
    int rowsRead = 0;
    int rowsStored = 0;
};

struct ImportResult {
    QList<ImportedTable> tables;
    QStringList skipped; // files in a folder that are no table of the program
};

// Imports the files and folders in `paths` into `store`, all in one transaction. Reference books,
// catalogues, parameters, bank details and the working tables are replaced; the office's own work
// (people and their details, applications, trainees) is imported only into empty tables unless
// `replace` is set. Throws DbError (naming the table, and the row and field where one is refused);
// then nothing is imported.
// `progress`, when given, hears of each table before it is stored (its position, the number of
// tables, its file name) and once more at the end (the number of tables twice, no name).
using ImportProgress = std::function<void(int done, int total, const QString& fileName)>;
ImportResult importTables(Store& store, const QStringList& paths, bool replace, const ImportProgress& progress = {});

// Whether a table holds the office's own work, which an import does not overwrite unasked.
bool isOfficeWork(const QString& sqlName);
