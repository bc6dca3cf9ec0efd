#pragma once
// The one exception the Paradox codec throws: a file it refuses to read, a row it refuses to
// write, or a failed read or write. The message is a complete Russian sentence for the user that
// names the file (or the row and field) and what is wrong.
#include "core/UserError.h"

class ParadoxError : public UserError {
public:
    explicit ParadoxError(const QString& message);
};
