#include "data/paradox/ParadoxHeaderWriter.h"

namespace {

constexpr int kHeaderUnit = 0x800;
constexpr int kTableNameBytes = 261; // from version 7 on

QByteArray encodeName(const QString& name, const ParadoxCodePage& codePage, int maxBytes) {
    QByteArray bytes;
    bytes.reserve(name.size());
    for (QChar c : name) {
        const int b = codePage.encodeChar(c.unicode());
        bytes.append(char(b > 0 ? b : '_'));
    }
    bytes.truncate(maxBytes);
    return bytes;
}

} // namespace

QByteArray buildParadoxHeader(const ParadoxHeaderContent& content, const ParadoxCodePage& codePage) {
    const int fieldCount = int(content.fields.size());

    // What follows the fixed 0x78 bytes: type/size pairs, the pointer to the table
    // name and one to each field name, the table name, the field names, the field numbers and
    // the sort order's name.
    const int fieldInfo = ParadoxHeaderOffset::FieldInfoV4;
    const int tableNamePointer = fieldInfo + 2 * fieldCount;
    const int fieldNamePointers = tableNamePointer + 4;
    const int tableName = fieldNamePointers + 4 * fieldCount;
    int end = tableName + kTableNameBytes;
    QList<QByteArray> names;
    QList<int> nameOffsets;
    for (const ParadoxHeaderField& f : content.fields) {
        names << encodeName(f.name, codePage, 255);
        nameOffsets << end;
        end += int(names.last().size()) + 1;
    }
    const int fieldNumbers = end;
    const int sortOrderName = fieldNumbers + 2 * fieldCount;
    const int used = sortOrderName + int(content.sortOrderName.size()) + 1;
    const int headerSize = (used + kHeaderUnit - 1) / kHeaderUnit * kHeaderUnit;

    QByteArray header(headerSize, '\0');
    auto* h = reinterpret_cast<uchar*>(header.data());
    const bool empty = content.blocks == 0;

    paradoxPutLe16(h + ParadoxHeaderOffset::RecordSize, quint16(content.recordSize));
    paradoxPutLe16(h + ParadoxHeaderOffset::HeaderSize, quint16(headerSize));
    h[ParadoxHeaderOffset::FileType] = 2; // table without key
    h[ParadoxHeaderOffset::BlockSizeKb] = uchar(content.blockSize / 1024);
    paradoxPutLe32(h + ParadoxHeaderOffset::RecordCount, quint32(content.recordCount));
    paradoxPutLe16(h + ParadoxHeaderOffset::BlocksInUse, quint16(content.blocks));
    paradoxPutLe16(h + ParadoxHeaderOffset::FileBlocks, quint16(content.blocks));
    paradoxPutLe16(h + ParadoxHeaderOffset::FirstBlock, quint16(empty ? 0 : 1));
    paradoxPutLe16(h + ParadoxHeaderOffset::LastBlock, quint16(content.blocks));
    // 0x12: a word no description explains; tables freshly made by other programs carry 3.
    paradoxPutLe16(h + 0x12, 3);
    paradoxPutLe16(h + ParadoxHeaderOffset::FieldCount, quint16(fieldCount));
    paradoxPutLe16(h + ParadoxHeaderOffset::KeyFieldCount, 0);
    // The old password word: tables of version 4 on keep 0xFF00FF00 here and their password in
    // the header extension (0x5C), which stays 0.
    paradoxPutLe32(h + ParadoxHeaderOffset::Encryption1, 0xFF00FF00u);
    h[ParadoxHeaderOffset::SortOrder] = uchar(content.sortOrderId);
    // 0x30 and 0x34, and the pointers after the type/size pairs, are addresses of header items
    // in the memory of the program that wrote the file; readers ignore them. We write the offset
    // of the item each would point at, so that they stay consistent with the header.
    paradoxPutLe32(h + 0x30, quint32(tableNamePointer));
    paradoxPutLe32(h + 0x34, quint32(fieldInfo));
    h[ParadoxHeaderOffset::FileVersion] = kParadoxVersion7;
    paradoxPutLe16(h + 0x3A, quint16(content.blocks)); // blocks the file may have without growing
    paradoxPutLe16(h + 0x3E, 0x0F1F);                  // as every unencrypted table has it
    paradoxPutLe32(h + ParadoxHeaderOffset::AutoIncValue, quint32(content.autoIncrement));
    paradoxPutLe16(h + 0x4D, 0); // first free block: none
    paradoxPutLe16(h + 0x51, quint16(used));
    h[0x56] = 0x20;

    // The header extension (version 4 on).
    paradoxPutLe16(h + 0x58, 0x0100 | kParadoxVersion7);
    paradoxPutLe16(h + 0x5A, 0x0100 | kParadoxVersion7);
    paradoxPutLe32(h + ParadoxHeaderOffset::Encryption2, 0);
    paradoxPutLe32(h + ParadoxHeaderOffset::UpdateTime, content.updateTime);
    paradoxPutLe16(h + 0x64, quint16(fieldCount + 1));                                 // next field number
    paradoxPutLe16(h + 0x66, quint16(fieldNumbers - ParadoxHeaderOffset::DataHeader)); // relative
    paradoxPutLe16(h + ParadoxHeaderOffset::CodePage, quint16(content.codePage));
    h[0x6C] = 1;
    h[0x6D] = 1;
    paradoxPutLe16(h + 0x6E, quint16(sortOrderName - ParadoxHeaderOffset::DataHeader)); // relative
    paradoxPutLe16(h + 0x70, 1);

    for (int i = 0; i < fieldCount; ++i) {
        h[fieldInfo + 2 * i] = uchar(content.fields[i].type);
        h[fieldInfo + 2 * i + 1] = uchar(content.fields[i].sizeByte);
        paradoxPutLe32(h + fieldNamePointers + 4 * i, quint32(nameOffsets[i]));
        paradoxPutLe16(h + fieldNumbers + 2 * i, quint16(i + 1));
    }
    paradoxPutLe32(h + tableNamePointer, quint32(tableName));
    const QByteArray table = encodeName(content.tableName, codePage, kTableNameBytes - 1);
    std::memcpy(h + tableName, table.constData(), size_t(table.size()));
    for (int i = 0; i < fieldCount; ++i)
        std::memcpy(h + nameOffsets[i], names[i].constData(), size_t(names[i].size()));
    std::memcpy(h + sortOrderName, content.sortOrderName.constData(), size_t(content.sortOrderName.size()));
    return header;
}
