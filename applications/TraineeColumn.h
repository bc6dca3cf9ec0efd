#pragma once
// A column of the printed application's trainee table: where its cell takes its value from.
// Each generation of applications lists its own columns (Generation.h); the printed
// application fills them the same way for all.
#include <QString>

class DataModule;
class Table;

namespace applications {

// The reference tables a trainee's row is looked up in, by their place in the document's list.
enum Reference { ProgrammeReference = 0, PositionReference = 1, DiplomaSpecialtyReference = 2 };

struct TraineeColumn {
    enum class Kind {
        RunningNumber, // the trainee's place in the document, from 1 (a whole number)
        Text,          // the trainee's field as text (a date as dd.mm.yyyy, empty when empty)
        Integer,       // the trainee's field as a whole number (0 when empty)
        Float,         // the trainee's field as a number (0 when empty)
        ServiceYears,  // years of service as a number; an empty cell where they are not known
                       // (the stored start-up year of a person without a start year)
        Date,          // the trainee's date field as a date; an empty cell for an empty date or the
                       // zero date 30.12.1899 it is stored as
        FullName,      // Name1, Name2 and Name3 with two blanks between them
        Found,         // `field` of the row found by lookup number `lookup`, as text
    };
    int column = 0; // 1 for A
    Kind kind = Kind::Text;
    QString field;
    int lookup = -1; // Found: a Reference
    // Text: the field is that of the trainee's first row in this detail table of the trainee, an
    // empty text when the trainee has none; null: a field of the trainee row.
    Table* DataModule::*details = nullptr;
};

} // namespace applications
