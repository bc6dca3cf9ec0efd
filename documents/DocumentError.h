#pragma once
// Errors of the spreadsheet adapter. The message is Russian, for the user, and names the file
// concerned (the template, or the document being written). Being a DbError, it is shown by the
// program's error guard like every other failed action.
#include "data/DbError.h"

class DocumentError : public DbError {
public:
    using DbError::DbError;
};
