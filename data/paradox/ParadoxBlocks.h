#pragma once
// The chain of data blocks of a Paradox table: followed from the first block and checked whole
// before a single record is read.
#include "data/paradox/ParadoxHeader.h"

#include <QByteArray>
#include <QList>

struct ParadoxBlock {
    qint64 firstRecord = 0; // offset of the block's first record in the file
    int records = 0;
};

// Where a table's bytes come from: the whole table in memory, or a file read a block at a time
// (a large table is then never held in memory whole).
class ParadoxSource {
public:
    virtual ~ParadoxSource() = default;
    virtual qint64 size() const = 0;
    // The `size` bytes at `offset`, which must lie within size(): a pointer into memory the source
    // holds, or into `buffer` after they were read into it. Throws ParadoxError when the bytes
    // cannot be read (the file changed or became unreadable since it was opened).
    virtual const char* bytes(qint64 offset, qint64 size, QByteArray& buffer) = 0;
};

// The whole table in memory.
class ParadoxMemorySource : public ParadoxSource {
public:
    explicit ParadoxMemorySource(QByteArray data) : data_(std::move(data)) {}
    qint64 size() const override { return data_.size(); }
    const char* bytes(qint64 offset, qint64, QByteArray&) override { return data_.constData() + offset; }

private:
    QByteArray data_;
};

// Follows the chain from the header's first block: every block number must lie in the file,
// point back to the block before it and hold a whole number of records that fit in it; a block
// seen twice is a loop. The chain must end at the header's last block, count the header's
// blocks in use and hold its number of records. `file` may end inside a block after that block's
// last record (other programs write such files); a block header or a record past the end of
// `file` is a truncated file. Throws ParadoxError.
QList<ParadoxBlock> walkParadoxBlocks(ParadoxSource& file, const ParadoxTableInfo& info);
