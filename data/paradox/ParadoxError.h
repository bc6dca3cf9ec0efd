#pragma once
// The exceptions the Paradox codec throws: a file it refuses to read, a row it refuses to write,
// or a failed read or write. The message is a complete Russian sentence for the user that names
// the file (or the row and field) and what is wrong.
#include "core/UserError.h"

class ParadoxError : public UserError {
public:
    explicit ParadoxError(const QString& message);
};

// A value the writer refuses: the row (1-based) and the field are kept apart from the reason, so
// that a caller can name them in the user's words (the export names the trainee and the field's
// caption) instead of picking them out of the message. The message itself reads
// "Строка 3, поле Doljn: значение 40000 вне диапазона −32767…32767".
class ParadoxValueError : public ParadoxError {
public:
    ParadoxValueError(qint64 row, const QString& field, const QString& reason);

    qint64 row() const { return row_; }
    const QString& field() const { return field_; }   // the field's name in the layout
    const QString& reason() const { return reason_; } // what is wrong with the value, in small letters

private:
    qint64 row_;
    QString field_;
    QString reason_;
};
