#pragma once
// A root folder without a database (the first start, or a mistyped --root): the database is made
// one of three ways, chosen by the user. Each is built under a temporary name and takes the
// database's name only when complete, so a refused import leaves nothing behind and the choice
// can be made again.
#include "data/TableImport.h"

#include <QDate>
#include <QString>

class RootPaths;

namespace firstrun {

// True when the root has no database yet.
bool isNewRoot(const RootPaths& root);

// An empty database with every table; with `starterBooks`, the books of positions and
// specialties filled from the national nomenclature. Returns a line for the user.
QString createEmpty(const RootPaths& root, bool starterBooks);
// The demonstration data, dated from `today`. Returns what was made.
QString fillDemo(const RootPaths& root, const QDate& today);
// The old program's tables from `paths` (its Base folder, or single files), with a line per table
// (read, stored) and the files that are no table of the program. Throws DbError naming the table
// (and the row and field) that could not be loaded; then no database is made.
QString importOld(const RootPaths& root, const QStringList& paths,
                  const std::function<void(int done, int total, const QString& fileName)>& progress = {});

} // namespace firstrun
