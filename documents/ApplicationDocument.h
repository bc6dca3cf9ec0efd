#pragma once
// The printed application: the application form filled from the trainees of the current
// application, one row per trainee, with the programme, position and diploma specialty looked up
// in their reference tables, the table ruled, and the signatures below it; for the base
// generation the trainees are also counted by kind of training and hours in a block between the
// table and the signatures.
//
// What goes where is described by ApplicationDocumentSettings, one description per generation of
// applications, made from the generation's own description (its tables, template and columns);
// the filling itself is the same for all of them.
//
//   const QString path = documents::saveApplicationDocument(
//       *app.DM, ApplicationDocumentSettings::of(Generation::current()), app.root, app.prompter);
//   openDocument(path);
#include "applications/TraineeColumn.h"
#include "spreadsheet/Workbook.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

class Prompter;
class RootPaths;
class DataModule;
class Table;
struct Generation;

namespace documents {

using applications::TraineeColumn;

// A reference table a trainee's row is looked up in: the first row, in the table's current order,
// whose `fields` equal the trainee's `traineeFields` exactly. The trainee's values are typed reads
// of its fields: a text as it is (case counts), a whole-number field as a whole number, an empty
// number as 0.
struct Lookup {
    Table* DataModule::*table; // the data module's table: &DataModule::tblNewZicl
    QString fields;            // its fields, joined by ';' as Dataset::locate takes them
    QStringList traineeFields; // the trainee's fields giving the values, in the same order
    // The notice when nothing is found: this text followed by the trainee's field `namedBy`, or by
    // the trainee's full name when `namedBy` is empty.
    QString missing;
    QString namedBy;
};

// The trainees counted by kind of training (VidOb, compared exactly) and hours, in a block below
// the table: one line per number of hours with the labels of the two kinds counted by hours, each
// followed by its count; then a line for the kind counted whatever the hours. Other kinds and
// other hours are not counted.
struct HoursTally {
    int rowsBelow;     // the block's first line, under the table's last row
    int headingColumn; // where the block's two headings go
    QString heading;   // beside the first line
    QString kinds[2];  // counted by hours, in the columns `columns`
    int columns[2];
    struct Line {
        int hours;
        QString labels[2]; // of the two kinds, each followed directly by its count
    };
    QList<Line> lines;
    QString anyHoursKind;    // counted whatever the hours,
    QString anyHoursHeading; // on the line after the others, its count in the first kind's column
};

// One generation's printed application.
struct ApplicationDocumentSettings {
    QString templateName;             // in the root's Templates folder, without extension: "Zajavka2023"
    Table* DataModule::*applications; // the data module's tables: the applications,
    Table* DataModule::*trainees;     // their trainees (a detail of the applications),
    Table* DataModule::*config;       // and the institution's settings

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
    QList<Lookup> lookups; // in the order of applications::Reference

    // The counts below the table, for the generation that prints them.
    std::optional<HoursTally> tally;

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

    // The printed form of a generation's applications.
    static const ApplicationDocumentSettings& of(const Generation& generation);
    // The current generation's.
    static const ApplicationDocumentSettings& y2023();
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
ApplicationDocument buildApplicationDocument(const DataModule& dm,
                                             const ApplicationDocumentSettings& settings,
                                             const QString& templatesDir, Prompter& prompter);

// Builds the document and saves it into the root's Documents folder under a name of its own (a
// new file each time); returns the file's path. Throws DocumentError as above, or naming the file
// that cannot be written.
QString saveApplicationDocument(const DataModule& dm, const ApplicationDocumentSettings& settings,
                                const RootPaths& root, Prompter& prompter);

} // namespace documents
