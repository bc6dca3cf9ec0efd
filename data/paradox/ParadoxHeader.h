#pragma once
// The header of a Paradox table (.DB): read and checked before anything in the file is trusted.
#include "data/paradox/ParadoxFormat.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

struct ParadoxField {
    QString name;
    ParadoxFieldType type = ParadoxFieldType::Alpha;
    int size = 0;        // as declared (see paradoxDeclaredSize): "A 25" is 25, "M 40" is 40
                         // (a 50-byte field), "# 2" is 2; 0 for the types of fixed size
    int recordBytes = 0; // bytes the field takes in a record
    int offset = 0;      // where the field starts in a record

    QChar letter() const { return paradoxTypeLetter(type); }
    QString typeCode() const { return paradoxTypeCode(type, size); }
};

struct ParadoxTableInfo {
    QString fileName;    // as messages name the table
    int fileVersion = 0; // the version byte: 3 = 3.0, 4 = 3.5, 5..9 = 4.x, 10..11 = 5.x, 12 = 7
    int fileType = 0;    // 0 keyed table, 2 table without key
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0; // in bytes
    qint64 recordCount = 0;
    int blocksInUse = 0;
    int fileBlocks = 0;
    int firstBlock = 0;
    int lastBlock = 0;
    int declaredCodePage = 0; // the code page the header names; 0 when it names none
    int codePage = 0;         // the code page text is decoded with
    int sortOrderId = 0;
    QString sortOrderName; // the language driver's sort order, e.g. "ancyrr"; empty before 4.0
    QString tableName;     // the name the header keeps
    QList<ParadoxField> fields;

    QString versionName() const { return paradoxVersionName(fileVersion); }
    bool hasBlobFields() const;
};

// Reads and checks the header of a .DB file of `fileSize` bytes, whose beginning `head` holds
// (at least the whole header; a header is never longer than 64 KB): every size and count against
// the others and against the file's size; refuses encrypted tables and index files. Text is
// decoded in `codePageOverride` when it is not 0, else in the code page the header names, else in
// 437 (the DOS default of tables that name none). Throws ParadoxError.
ParadoxTableInfo parseParadoxHeader(QByteArrayView head, qint64 fileSize, const QString& fileName,
                                    int codePageOverride = 0);

// Bytes of the file the table uses: the header and every block it declares. A file may end
// before this, inside its last block, as long as every record is there (see ParadoxBlocks.h).
inline qint64 paradoxTableExtent(const ParadoxTableInfo& info) {
    return info.headerSize + qint64(info.fileBlocks) * info.blockSize;
}

// Message helpers shared by the codec's readers: "Файл X повреждён: <what>".
QString paradoxDamaged(const QString& fileName, const QString& what);
