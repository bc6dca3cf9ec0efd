#pragma once
// The export file for the training centre: one row per trainee of the current application in a
// Paradox table with the layout of the generation's working table (TempZ2023, or TempZ for the
// base generation), proposed as the generation's prefix + number + "_" + year in the Export
// folder ("ZES116_2026", "ZE116_2020"). Every trainee is checked before anything is written, and
// an existing file is replaced only by a complete new one.
#include "applications/Generation.h"
#include "core/RootPaths.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

struct AppContext;

namespace applications {

// The proposed file name, without extension: ZES116_2026, ZES116_01_2026, ZES_2026 (no trainees),
// ZE116_2020 (the base generation).
QString defaultExportName(const DataModule& dm, const Generation& g);

// The rows of the export: the current application's trainees, in the trainees' order, read in
// one statement through typed reads: an empty number is 0 and an empty date the zero date
// 30.12.1899; texts stay as they are. A value the generation keeps in a detail row is that of
// the trainee's first such row; a field the generation's description reads nothing for, or reads
// keeping its empty values, stays empty. Leaves the last trainee current.
QList<QVariantList> exportRows(const DataModule& dm, const Generation& g);

// The whole export file. Throws DbError naming the trainee and the field's caption when a value
// does not fit (a code above 32767, a letter code page 1251 lacks); nothing is written then.
QByteArray encodeExport(const DataModule& dm, const Generation& g, const QList<QVariantList>& rows);

// Empties the generation's working table and fills it with the rows exportRows() reads, with the
// same typed values, through one prepared statement, in one transaction.
void fillWorkingTable(const DataModule& dm, const Generation& g);

// The file a chosen name stands for: ".db" is appended unless the name ends with it already (in
// any case): a table file without it is not seen by the programs that read Paradox tables.
QString exportTarget(const QString& chosen);

// Writes the file through writeFileAtomically: a temporary file in the target folder replaces the
// target only once complete and on the disk. A target inside the root's Base folder is refused.
// Throws UserError naming the file and the reason; an existing target then stays as it was.
void writeExportFile(const RootPaths& root, const QString& path, const QByteArray& bytes);

// "Выгрузить": everything above with the save dialog and the replace question; the file written,
// or an empty string when the user cancelled.
QString exportApplication(AppContext& app, const Generation& g);

} // namespace applications
