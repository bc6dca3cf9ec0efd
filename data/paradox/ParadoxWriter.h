#pragma once
// Writing a table layout (in practice the export layouts TempZ2023 and TempZ) as a Paradox 7
// table without key (.DB, no .PX, no .MB), code page 1251 with the "Pdox ANSI Cyrillic" language
// driver, in 4 KB blocks.
//
// Rows are lists of values in layout field order: QString for A fields, integers for S, I and +,
// numbers for N, QDate for D; a null QVariant, an empty string or an invalid date is written as an
// empty value (all zero bytes). Every row is checked before a byte is written; the first value
// that cannot be written (a kind of value the field does not take, a character code page 1251
// lacks, a text longer than its field, a number out of the field's range) is refused with a
// ParadoxValueError that carries its row (1-based), its field and the reason, e.g.
//   "Строка 3, поле Doljn: значение 40000 вне диапазона −32767…32767".
// (A short stores −32768 as all zero bytes, i.e. as empty, so it is out of range; likewise
// −2147483648 for a long.)
#include "data/Layout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class QIODevice;

struct ParadoxWriteOptions {
    QString tableName;      // the name the header keeps; empty: the target file's name
    qint64 updateTime = -1; // seconds since 1970 kept as the time of the last change; -1: now
};

// The block size of the tables we write. 4 KB holds 10 records of the TempZ2023 layout
// (403 bytes) with 60 bytes to spare; with the 65,535 blocks a table may have that allows about
// 655,000 rows, twice what 2 KB blocks allow, and every Paradox version from 4.0 on opens it.
constexpr int kParadoxWriteBlockSize = 4096;

// The whole table file in memory. Throws ParadoxError.
QByteArray encodeParadoxTable(const TableLayout& layout, const QList<QVariantList>& rows,
                              const ParadoxWriteOptions& options = {});
// Writes the table to an open device. Throws ParadoxError; nothing is written when a row is
// refused.
void writeParadoxTable(QIODevice& device, const TableLayout& layout, const QList<QVariantList>& rows,
                       const ParadoxWriteOptions& options = {});
// Writes the table to `path` through an AtomicFileWriter, a stretch of blocks at a time: a
// temporary file in the same folder replaces the target only once it is complete and on the disk;
// when anything fails (a refused row, a full disk), an existing target stays as it was. Throws
// ParadoxError.
void writeParadoxTable(const QString& path, const TableLayout& layout, const QList<QVariantList>& rows,
                       const ParadoxWriteOptions& options = {});
