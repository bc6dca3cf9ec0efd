#include "data/paradox/ParadoxHeader.h"

#include "data/paradox/ParadoxCodePage.h"
#include "data/paradox/ParadoxError.h"

namespace {

// Table names take 79 bytes in the header before version 7 and 261 from version 7 on.
int tableNameBytes(int fileVersion) {
    return fileVersion >= kParadoxVersion7 ? 261 : 79;
}

bool hasDataHeader(int fileVersion) {
    return fileVersion >= 5;
}

int blockSizeFromKb(int kb) {
    switch (kb) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 16:
    case 32:
        return kb * 1024;
    }
    return 0;
}

} // namespace

bool ParadoxTableInfo::hasBlobFields() const {
    for (const ParadoxField& f : fields)
        if (paradoxTypeIsBlob(f.type))
            return true;
    return false;
}

QString paradoxDamaged(const QString& fileName, const QString& what) {
    return QStringLiteral("Файл %1 повреждён: %2").arg(fileName, what);
}

ParadoxTableInfo parseParadoxHeader(QByteArrayView head, qint64 fileSize, const QString& fileName,
                                    int codePageOverride) {
    const auto* data = reinterpret_cast<const uchar*>(head.data());
    const qint64 headSize = qMin<qint64>(head.size(), fileSize);
    auto damaged = [&](const QString& what) { return ParadoxError(paradoxDamaged(fileName, what)); };

    if (headSize < ParadoxHeaderOffset::FieldInfoV3)
        throw damaged(QStringLiteral("файл короче заголовка таблицы (%1 байт)").arg(fileSize));

    ParadoxTableInfo info;
    info.fileName = fileName;
    info.fileVersion = data[ParadoxHeaderOffset::FileVersion];
    info.fileType = data[ParadoxHeaderOffset::FileType];
    if (info.fileVersion < 3 || info.fileVersion > kParadoxVersion7)
        throw damaged(QStringLiteral("неизвестная версия формата (код 0x%1)")
                          .arg(info.fileVersion, 2, 16, QLatin1Char('0')));
    if (info.fileType != 0 && info.fileType != 2)
        throw ParadoxError(QStringLiteral("Файл %1 не является таблицей Paradox: это файл индекса (тип %2)")
                               .arg(fileName, QString::number(info.fileType)));

    const int fieldInfo =
        hasDataHeader(info.fileVersion) ? ParadoxHeaderOffset::FieldInfoV4 : ParadoxHeaderOffset::FieldInfoV3;
    if (headSize < fieldInfo)
        throw damaged(QStringLiteral("файл короче заголовка таблицы (%1 байт)").arg(fileSize));

    // A password-protected table is stored enciphered; without the password its bytes are noise.
    const quint32 encryption = hasDataHeader(info.fileVersion)
                                   ? paradoxLe32(data + ParadoxHeaderOffset::Encryption2)
                                   : paradoxLe32(data + ParadoxHeaderOffset::Encryption1);
    if (encryption != 0)
        throw ParadoxError(QStringLiteral("Файл %1 защищён паролем (зашифрован): такие таблицы не читаются. "
                                          "Снимите пароль в программе, где создана таблица, и повторите.")
                               .arg(fileName));

    info.recordSize = paradoxLe16(data + ParadoxHeaderOffset::RecordSize);
    info.headerSize = paradoxLe16(data + ParadoxHeaderOffset::HeaderSize);
    info.blockSize = blockSizeFromKb(data[ParadoxHeaderOffset::BlockSizeKb]);
    const quint32 recordCount = paradoxLe32(data + ParadoxHeaderOffset::RecordCount);
    info.blocksInUse = paradoxLe16(data + ParadoxHeaderOffset::BlocksInUse);
    info.fileBlocks = paradoxLe16(data + ParadoxHeaderOffset::FileBlocks);
    info.firstBlock = paradoxLe16(data + ParadoxHeaderOffset::FirstBlock);
    info.lastBlock = paradoxLe16(data + ParadoxHeaderOffset::LastBlock);
    const int fieldCount = paradoxLe16(data + ParadoxHeaderOffset::FieldCount);
    info.sortOrderId = data[ParadoxHeaderOffset::SortOrder];

    if (info.blockSize == 0)
        throw damaged(
            QStringLiteral("недопустимый размер блока (%1 КБ)").arg(data[ParadoxHeaderOffset::BlockSizeKb]));
    if (info.headerSize < fieldInfo || info.headerSize > headSize)
        throw damaged(QStringLiteral("размер заголовка %1 байт не согласуется с размером файла %2 байт")
                          .arg(info.headerSize)
                          .arg(fileSize));
    if (fieldCount < 1 || fieldInfo + 2 * fieldCount > info.headerSize)
        throw damaged(QStringLiteral("недопустимое число полей (%1)").arg(fieldCount));
    if (info.recordSize < 1 || info.recordSize > info.blockSize - kParadoxBlockHeaderSize)
        throw damaged(QStringLiteral("размер записи %1 байт не помещается в блок размером %2 байт")
                          .arg(info.recordSize)
                          .arg(info.blockSize));

    // Field types and sizes; their sum must be the record size.
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        const uchar code = data[fieldInfo + 2 * i];
        const int sizeByte = data[fieldInfo + 2 * i + 1];
        if (!paradoxTypeIsKnown(code))
            throw damaged(QStringLiteral("поле %1 неизвестного типа (код 0x%2)")
                              .arg(i + 1)
                              .arg(int(code), 2, 16, QLatin1Char('0')));
        ParadoxField field;
        field.type = ParadoxFieldType(code);
        field.recordBytes = paradoxRecordBytes(field.type, sizeByte);
        if (field.recordBytes < 0)
            throw damaged(QStringLiteral("поле %1 типа %2 с недопустимым размером %3")
                              .arg(i + 1)
                              .arg(field.letter())
                              .arg(sizeByte));
        field.size = paradoxDeclaredSize(field.type, sizeByte);
        field.offset = offset;
        offset += field.recordBytes;
        info.fields.append(field);
    }
    if (offset != info.recordSize)
        throw damaged(QStringLiteral("размер записи %1 байт не равен сумме размеров полей %2 байт")
                          .arg(info.recordSize)
                          .arg(offset));

    // The code page: the header extension of version 4 on names it.
    if (hasDataHeader(info.fileVersion))
        info.declaredCodePage = paradoxLe16(data + ParadoxHeaderOffset::CodePage);
    info.codePage =
        codePageOverride > 0 ? codePageOverride : (info.declaredCodePage > 0 ? info.declaredCodePage : 437);
    const ParadoxCodePage codePage = ParadoxCodePage::forNumber(info.codePage);
    if (!codePage.isValid())
        throw ParadoxError(QStringLiteral("Файл %1: кодовая страница %2 не поддерживается; укажите другую")
                               .arg(fileName, QString::number(info.codePage)));

    // After the type/size pairs: a pointer, one pointer a field (all runtime values, ignored),
    // the table name, the zero-terminated field names, then (from version 4 on) the field
    // numbers and the sort order's name.
    qint64 pos = fieldInfo + 2 * qint64(fieldCount) + 4 + 4 * qint64(fieldCount);
    const int nameBytes = tableNameBytes(info.fileVersion);
    if (pos + nameBytes > info.headerSize)
        throw damaged(QStringLiteral("заголовок обрывается на имени таблицы"));
    {
        const char* name = reinterpret_cast<const char*>(data + pos);
        info.tableName = codePage.decode(name, qstrnlen(name, nameBytes));
    }
    pos += nameBytes;

    auto readText = [&](const QString& what) {
        const char* start = reinterpret_cast<const char*>(data + pos);
        const qint64 room = info.headerSize - pos;
        const qsizetype length = qstrnlen(start, room);
        if (length >= room)
            throw damaged(QStringLiteral("заголовок обрывается на %1").arg(what));
        pos += length + 1;
        return codePage.decode(start, length);
    };
    for (int i = 0; i < fieldCount; ++i)
        info.fields[i].name = readText(QStringLiteral("имени поля %1").arg(i + 1));
    if (hasDataHeader(info.fileVersion)) {
        pos += 2 * fieldCount;
        if (pos >= info.headerSize)
            throw damaged(QStringLiteral("заголовок обрывается на номерах полей"));
        info.sortOrderName = readText(QStringLiteral("имени порядка сортировки"));
    }

    // Counts of records and blocks against each other and against the file's size. Some writers
    // end the file right after the last record, half-way into the last block, so a block counts
    // as present when it begins in the file; whether its records are all there is checked when the
    // chain is walked.
    const qint64 blocksRoom = (fileSize - info.headerSize + info.blockSize - 1) / info.blockSize;
    if (info.fileBlocks > blocksRoom)
        throw damaged(QStringLiteral("файл обрезан: заявлено блоков %1, а в файле их помещается %2")
                          .arg(info.fileBlocks)
                          .arg(blocksRoom));
    if (info.blocksInUse > info.fileBlocks)
        throw damaged(QStringLiteral("занятых блоков (%1) больше, чем блоков в файле (%2)")
                          .arg(info.blocksInUse)
                          .arg(info.fileBlocks));
    const qint64 perBlock = (info.blockSize - kParadoxBlockHeaderSize) / info.recordSize;
    if (recordCount > quint64(perBlock) * quint64(info.blocksInUse))
        throw damaged(QStringLiteral("заявлено записей %1, а в %2 блоках их помещается не больше %3")
                          .arg(recordCount)
                          .arg(info.blocksInUse)
                          .arg(perBlock * info.blocksInUse));
    info.recordCount = recordCount;
    if (info.blocksInUse == 0) {
        if (info.firstBlock != 0 && info.firstBlock > info.fileBlocks)
            throw damaged(QStringLiteral("номер первого блока %1 вне файла").arg(info.firstBlock));
    } else {
        if (info.firstBlock < 1 || info.firstBlock > info.fileBlocks)
            throw damaged(QStringLiteral("номер первого блока %1 вне файла (блоков %2)")
                              .arg(info.firstBlock)
                              .arg(info.fileBlocks));
        if (info.lastBlock < 1 || info.lastBlock > info.fileBlocks)
            throw damaged(QStringLiteral("номер последнего блока %1 вне файла (блоков %2)")
                              .arg(info.lastBlock)
                              .arg(info.fileBlocks));
    }
    return info;
}
