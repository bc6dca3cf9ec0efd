#pragma once
// Reading Paradox tables (.DB with its .MB), file versions 3.0 to 7.
//
// Everything the header and the block chain say is checked against the file before a record is
// read (see ParadoxHeader.h, ParadoxBlocks.h); a damaged, truncated or encrypted file is refused
// with a ParadoxError naming the file and the fault.
//
// Values come out as QVariant: an empty field (all zero bytes) is a null QVariant; text (A, M) is
// QString; S, I and + are int; N, $ and # are double; D is QDate, T QTime, @ QDateTime (local
// time), L bool; Y and the blob fields B, F, O, G are QByteArray (F holds the rich-text structure
// the writing program keeps, not plain text).
//
// A table with blob fields needs its .MB file: when it is missing, the table is refused unless
// the caller asks to read it without (ParadoxReadOptions::missingMemo): the values that live in
// the .MB then come out empty, and memoFileMissing() tells the caller to say so.
#include "data/paradox/ParadoxHeader.h"

#include <memory>
#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// What a table with blob fields whose .MB file is missing is read as.
enum class MissingMemoFile {
    Refuse,    // a ParadoxError naming the missing file
    ReadEmpty, // the rows, with every value that lives in the .MB empty
};

struct ParadoxReadOptions {
    int codePageOverride = 0; // when not 0, replaces the code page the header names
    MissingMemoFile missingMemo = MissingMemoFile::Refuse;
};

class ParadoxReader {
public:
    // Opens the table at `path` and the .MB file beside it (same name, extension .MB in any case).
    // `codePageOverride` (when not 0) replaces the code page the header names. The header and the
    // block chain are read and checked at once; the records are read a block at a time as next()
    // needs them, with the file kept open while the reader lives.
    explicit ParadoxReader(const QString& path, int codePageOverride = 0);
    ParadoxReader(const QString& path, const ParadoxReadOptions& options);
    // Reads a table held in memory: `table` is the .DB file, `memo` the .MB file (nullopt when
    // there is none); `fileName` names the table in messages.
    ParadoxReader(QByteArray table, std::optional<QByteArray> memo, const QString& fileName,
                  int codePageOverride = 0);
    ParadoxReader(QByteArray table, std::optional<QByteArray> memo, const QString& fileName,
                  const ParadoxReadOptions& options);
    ~ParadoxReader();
    ParadoxReader(const ParadoxReader&) = delete;
    ParadoxReader& operator=(const ParadoxReader&) = delete;

    const ParadoxTableInfo& info() const;

    // True when the table has blob fields and its .MB file is missing (read with
    // MissingMemoFile::ReadEmpty); memoFileName() is then the name the file should have.
    bool memoFileMissing() const;
    QString memoFileName() const;

    // Decodes the next record into `row` (one value a field, in field order); false after the
    // last. Throws ParadoxError on a value the field cannot hold or a broken memo reference.
    // Passing the same list record after record is the fast way: its values are overwritten in
    // place, strings included (a string the caller kept a copy of is left alone).
    bool next(QVariantList& row);

    // For rows that are kept: a text that repeats in an A field comes out as one shared string
    // rather than a copy a row (readParadoxTable turns this on).
    void setShareRepeatedTexts(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

struct ParadoxTable {
    ParadoxTableInfo info;
    QList<QVariantList> rows;
};

ParadoxTable readParadoxTable(const QString& path, int codePageOverride = 0);
ParadoxTable readParadoxTable(const QByteArray& table, const std::optional<QByteArray>& memo,
                              const QString& fileName, int codePageOverride = 0);

// The .MB file that belongs to the table at `path`, or an empty string when there is none.
QString paradoxMemoPath(const QString& path);
