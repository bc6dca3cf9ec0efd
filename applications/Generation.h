#pragma once
// The three generations of applications differ only in their tables, caller codes, captions and
// a few fields; each is described here once, and one set of windows works from the description.
#include <QString>

class Dataset;
class Query;
class Table;
class TDM;

struct Generation {
    enum class Kind { Base, Y2021, Y2023 };
    Kind kind;

    // The applications window and its dialogs.
    QString openProcedure;  // "OpenZajavki2023"
    QString windowInstance; // "ftrZajavki2023"
    QString newDialogInstance;
    QString newDialogCaption;
    QString insertInstance;
    QString insertCaption;
    QString editorInstance;

    // The generation's tables and its highest-number query, by their object names in `DM`.
    QString applications; // "tblZajavki2023"
    QString trainees;     // "tblSluch2023"
    QString maxQuery;     // "qrMZajavki2023"
    QString catalogue;    // the catalogue table its programmes come from
    // The adding dialog offers the programmes of the application's year only, or of every year
    // up to it.
    bool addOffersEarlierYears;

    // Caller codes of the chooser for the adding dialog and the editor, and of the other pick
    // dialogs for the editor.
    quint8 ziclAddCaller;
    quint8 ziclEditCaller;
    quint8 pickCaller;

    // The programme attribute a trainee carries besides code, kind and hours: "FOBUCH" or "TypeOb".
    QString programmeAttribute;
    bool certificateInRow; // DateCl, Specialty and EMAIL are fields of the trainee row
    bool snilsInRow;

    // Only the current generation's windows offer their operations.
    bool operationsEnabled;

    Table& applicationsTable(const TDM& dm) const;
    Table& traineesTable(const TDM& dm) const;
    Query& maxQueryOf(const TDM& dm) const;

    static const Generation& current();
    static const Generation& y2021();
    static const Generation& base();
};
