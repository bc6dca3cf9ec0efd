#pragma once
// The printed application: the application form filled from the trainees of the current
// application, one row per trainee, with the programme, position and diploma specialty looked up
// in their reference tables, the table ruled, and the signatures below it.
//
// What goes where is described by ApplicationDocumentSettings, one description per generation of
// applications that has a printed form (today the current one); the filling itself is the same
// for all of them.
//
//   const QString path = documents::saveApplicationDocument(*app.DM, ApplicationDocumentSettings::y2023(),
//                                                           app.root, app.prompter);
//   openDocument(path);
#include "documents/Workbook.h"

#include <QList>
#include <QString>
#include <QStringList>

class Prompter;
class RootPaths;
class TDM;
struct Generation;

namespace documents {

// A reference table a trainee's row is looked up in: the first row, in the table's current order,
// whose `fields` equal the trainee's `traineeFields` exactly. The trainee's values are typed reads
// of its fields: a text as it is (case counts), a whole-number field as a whole number, an empty
// number as 0.
struct Lookup {
    QString table;             // the data module's table object: "tblNewZicl"
    QString fields;            // its fields, joined by ';' as Dataset::locate takes them
    QStringList traineeFields; // the trainee's fields giving the values, in the same order
    // The notice when nothing is found: this text followed by the trainee's field `namedBy`, or by
    // the trainee's full name when `namedBy` is empty.
    QString missing;
    QString namedBy;
};

// Where a cell of a trainee row takes its value from.
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
    int column; // 1 for A
    Kind kind;
    QString field;
    int lookup = -1;
};

// One generation's printed application.
struct ApplicationDocumentSettings {
    QString templateName; // in the root's Templates folder, without extension: "Zajavka2023"
    QString applications; // the data module's table objects: the applications,
    QString trainees;     // their trainees (a detail of the applications),
    QString config;       // and the institution's settings

    // The title: `title` with %1 the application's number as text (116 or 116,01 in a Russian
    // locale) and %2 its year, both read from the first trainee (empty without trainees).
    CellRef titleCell;
    QString title;
    // The institution's name: a field of the settings.
    CellRef institutionCell;
    QString institutionField;

    // The first trainee's row; it is also the model whose look the rows below it take. The row
    // above it holds the headings, which the ruling takes in when there is no trainee.
    int firstRow;
    // The cells of a trainee row, in the order they are written. A lookup is made when the first
    // column that needs it is reached; a trainee whose lookup fails ends the document, keeping
    // the cells written before it, outside the ruled table.
    QList<TraineeColumn> columns;
    QList<Lookup> lookups;

    // Lines below the table: `rowsBelow` rows under the last row of the table (the headings' row
    // when there is no trainee), the text followed by a field of the settings when one is named.
    struct FooterCell {
        int rowsBelow;
        int column;
        QString text;
        QString configField;
    };
    QList<FooterCell> footer;

    // The name of the saved document: %1 the application's number with a point (116, 116.01) and
    // %2 its year, read from the application.
    QString documentTitle;

    // The last column of the table (Q).
    int lastColumn() const;

    static const ApplicationDocumentSettings& y2023();
    // The printed form of a generation's applications; null for a generation that has none.
    static const ApplicationDocumentSettings* of(const Generation& generation);
};

struct ApplicationDocument {
    Workbook book;
    QString title;        // the name to save it under: "Заявка 116 2026"
    int completeRows = 0; // trainees written completely, inside the ruled table
};

// Fills the form for the application current in the settings' applications table, reading its
// trainees from the first, and returns it unsaved. The templates that come with the program are
// put into `templatesDir` first where missing. A trainee whose programme, position or diploma
// specialty is not found is reported through `prompter` and ends the table. The trainees are left
// past their last row or on the trainee that ended the table; the reference tables on the rows
// last found. Throws DocumentError when the template cannot be had or read, DbError when a table
// is closed.
ApplicationDocument buildApplicationDocument(const TDM& dm, const ApplicationDocumentSettings& settings,
                                             const QString& templatesDir, Prompter& prompter);

// Builds the document and saves it into the root's Documents folder under a name of its own (a
// new file each time); returns the file's path. Throws DocumentError as above, or naming the file
// that cannot be written.
QString saveApplicationDocument(const TDM& dm, const ApplicationDocumentSettings& settings, const RootPaths& root,
                                Prompter& prompter);

} // namespace documents
