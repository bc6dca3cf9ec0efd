#include "data/paradox/ParadoxBlocks.h"

#include "data/paradox/ParadoxError.h"

#include <vector>

QList<ParadoxBlock> walkParadoxBlocks(ParadoxSource& file, const ParadoxTableInfo& info) {
    QByteArray buffer;
    auto damaged = [&](const QString& what) { return ParadoxError(paradoxDamaged(info.fileName, what)); };

    QList<ParadoxBlock> blocks;
    if (info.blocksInUse == 0)
        return blocks;
    blocks.reserve(info.blocksInUse);

    std::vector<bool> seen(size_t(info.fileBlocks) + 1, false);
    const int maxRecords = (info.blockSize - kParadoxBlockHeaderSize) / info.recordSize;
    qint64 records = 0;
    int previous = 0;
    int block = info.firstBlock;
    while (block != 0) {
        if (block > info.fileBlocks)
            throw damaged(QStringLiteral("блок %1 ссылается на блок %2 за пределами файла (блоков %3)")
                              .arg(previous)
                              .arg(block)
                              .arg(info.fileBlocks));
        if (seen[block])
            throw damaged(QStringLiteral("цепочка блоков зациклена (блок %1 встречается дважды)").arg(block));
        seen[block] = true;
        if (blocks.size() == info.blocksInUse)
            throw damaged(QStringLiteral("в цепочке больше блоков, чем заявлено в заголовке (%1)")
                              .arg(info.blocksInUse));

        const qint64 start = info.headerSize + qint64(block - 1) * info.blockSize;
        if (start + kParadoxBlockHeaderSize > file.size())
            throw damaged(
                QStringLiteral("файл обрезан: блок %1 начинается на байте %2, а длина файла %3 байт")
                    .arg(block)
                    .arg(start)
                    .arg(file.size()));
        const auto* header =
            reinterpret_cast<const uchar*>(file.bytes(start, kParadoxBlockHeaderSize, buffer));
        const int next = paradoxLe16(header);
        const int back = paradoxLe16(header + 2);
        const int addSize = qint16(paradoxLe16(header + 4));
        if (back != previous)
            throw damaged(QStringLiteral("блок %1 ссылается назад на блок %2, а не на %3")
                              .arg(block)
                              .arg(back)
                              .arg(previous));
        // (records − 1) × record size; an empty block holds −record size.
        if (addSize < -info.recordSize || (addSize + info.recordSize) % info.recordSize != 0)
            throw damaged(
                QStringLiteral("в блоке %1 недопустимый размер данных (%2)").arg(block).arg(addSize));
        const int count = (addSize + info.recordSize) / info.recordSize;
        if (count > maxRecords)
            throw damaged(QStringLiteral("в блоке %1 заявлено записей %2, а помещается %3")
                              .arg(block)
                              .arg(count)
                              .arg(maxRecords));
        // The last block may be cut short after its last record, never inside one.
        const qint64 end = start + kParadoxBlockHeaderSize + qint64(count) * info.recordSize;
        if (end > file.size())
            throw damaged(
                QStringLiteral("файл обрезан: записи блока %1 кончаются на байте %2, а длина файла %3 байт")
                    .arg(block)
                    .arg(end)
                    .arg(file.size()));
        blocks.append({start + kParadoxBlockHeaderSize, count});
        records += count;
        previous = block;
        block = next;
    }
    if (blocks.size() != info.blocksInUse)
        throw damaged(QStringLiteral("в цепочке %1 блоков, а в заголовке заявлено %2")
                          .arg(blocks.size())
                          .arg(info.blocksInUse));
    if (previous != info.lastBlock)
        throw damaged(QStringLiteral("цепочка блоков кончается блоком %1, а в заголовке последний блок %2")
                          .arg(previous)
                          .arg(info.lastBlock));
    if (records != info.recordCount)
        throw damaged(QStringLiteral("в блоках записей %1, а в заголовке заявлено %2")
                          .arg(records)
                          .arg(info.recordCount));
    return blocks;
}
