#pragma once
// The header of a Paradox 7 table without key, as the writer lays it out.
#include "data/paradox/ParadoxCodePage.h"
#include "data/paradox/ParadoxFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct ParadoxHeaderField {
    QString name;
    ParadoxFieldType type;
    int sizeByte; // the byte the header keeps: the field's width in the record
};

struct ParadoxHeaderContent {
    QList<ParadoxHeaderField> fields;
    QString tableName;
    int recordSize = 0;
    int blockSize = 4096;
    qint64 recordCount = 0;
    int blocks = 0;           // data blocks, all in use, numbered 1..blocks in chain order
    qint32 autoIncrement = 0; // the largest value of an auto-increment field, 0 without one
    quint32 updateTime = 0;   // seconds since 1970
    int codePage = 1251;
    int sortOrderId = 0;
    QByteArray sortOrderName;
};

// The header, padded with zeros to a multiple of 2 KB (2 KB for every layout we export).
// Field and table names must already have been checked to fit the code page.
QByteArray buildParadoxHeader(const ParadoxHeaderContent& content, const ParadoxCodePage& codePage);
