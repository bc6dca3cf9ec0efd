#pragma once
// The chain of data blocks of a Paradox table: followed from the first block and checked whole
// before a single record is read.
#include "data/paradox/ParadoxHeader.h"

#include <QByteArrayView>
#include <QList>

struct ParadoxBlock {
    qint64 firstRecord = 0; // offset of the block's first record in the file
    int records = 0;
};

// Follows the chain from the header's first block: every block number must lie in the file,
// point back to the block before it and hold a whole number of records that fit in it; a block
// seen twice is a loop. The chain must end at the header's last block, count the header's
// blocks in use and hold its number of records. `file` may end inside a block after that block's
// last record (other programs write such files); a block header or a record past the end of
// `file` is a truncated file. Throws ParadoxError.
QList<ParadoxBlock> walkParadoxBlocks(QByteArrayView file, const ParadoxTableInfo& info);
