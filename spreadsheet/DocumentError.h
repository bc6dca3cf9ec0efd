#pragma once
// Errors of the spreadsheet adapter. The message is Russian, for the user, and names the file
// concerned (the template, or the document being written). Being a DbError, it is shown by the
// program's error guard like every other failed action.
#include "data/DbError.h"

#include <QByteArray>
#include <QString>

class DocumentError : public DbError {
public:
    using DbError::DbError;
};

// Replaces (or creates) `path` with `bytes` through writeFileAtomically: complete or not at all,
// an old file of that name left as it was on any failure, which is a DocumentError naming the file.
void writeDocumentFile(const QString& path, const QByteArray& bytes);
