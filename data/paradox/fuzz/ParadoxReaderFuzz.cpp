// libFuzzer target for the Paradox reader: any input must be read or refused with a ParadoxError;
// nothing else may escape, crash, hang or allocate without bound.
//
// An input is a .DB file, optionally followed by its .MB file: the part past the extent the
// header declares (header size + blocks × block size) is taken as the blob file, so a seed is
// simply a table with its .MB appended.
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <cstddef>
#include <cstdint>
#include <QByteArray>

namespace {

qint64 declaredExtent(const uint8_t* data, size_t size) {
    if (size < 0x10)
        return -1;
    const qint64 headerSize = data[2] | (data[3] << 8);
    const qint64 blockSize = qint64(data[5]) * 1024;
    const qint64 blocks = data[0x0C] | (data[0x0D] << 8);
    return headerSize + blocks * blockSize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qint64 extent = declaredExtent(data, size);
    QByteArray table;
    std::optional<QByteArray> memo;
    if (extent > 0 && qint64(size) > extent) {
        table = QByteArray(reinterpret_cast<const char*>(data), extent);
        memo = QByteArray(reinterpret_cast<const char*>(data) + extent, qsizetype(size - extent));
    } else {
        table = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    try {
        ParadoxReader reader(table, memo, QStringLiteral("fuzz.db"));
        QVariantList row;
        qint64 rows = 0;
        while (reader.next(row))
            ++rows;
        if (rows != reader.info().recordCount)
            __builtin_trap(); // the reader promised a count it did not deliver
        // The whole-table read shares repeated texts instead of reusing a row: it must agree.
        const ParadoxTable whole = readParadoxTable(table, memo, QStringLiteral("fuzz.db"));
        if (whole.rows.size() != rows)
            __builtin_trap();
    } catch (const ParadoxError&) {
    }
    return 0;
}
