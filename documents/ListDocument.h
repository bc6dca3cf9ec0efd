#pragma once
// The list documents: every row of a dataset written into a template's sheet from a first row
// down, one sheet row per dataset row, the list ruled with thin lines and each row as high as its
// wrapped texts. The programme list (the programmes the catalogue query holds, template
// Zicl2021) and the positions list (the positions reference book, template Doljn) are two
// descriptions of the one filling; the training plan (template Plan) fills the same way from rows
// that are no dataset's.
//
//   const QString path = documents::saveListDocument(*app.DM, ListDocumentSettings::programmes(), app.root);
//   openDocument(path);
#include "spreadsheet/Workbook.h"

#include <functional>
#include <QList>
#include <QString>
#include <QVariant>

class RootPaths;
class DataModule;

namespace documents {

struct ListColumn {
    enum class Kind {
        RunningNumber, // the row's place in the list, from 1 (a whole number)
        Text,          // the field as text (a memo whole, a number in its shortest form, empty when empty)
        Integer,       // the field as a whole number (0 when empty; an empty cell for a null given value)
        Date,          // the field as a date in the template's date format (empty when empty)
    };
    int column; // 1 for A
    Kind kind;
    QString field;
};

struct ListDocumentSettings {
    QString templateName; // in the root's Templates folder, without extension: "Zicl2021"
    QString source;       // the data module's dataset whose rows are listed: "qNewZicl"
    int firstRow;         // the first listed row; it is the model whose look the rows below take
    QList<ListColumn> columns;
    QString documentTitle;  // the name the document is saved under: "Программы обучения"
    QString titleCell = {}; // where the document's title is written ("A1"); empty: nowhere

    int lastColumn() const;

    static const ListDocumentSettings& programmes();
    static const ListDocumentSettings& positions();
    static const ListDocumentSettings& trainingPlan();
};

// Rows that are no dataset's: how many, and the value of a column in a row (0-based) as its kind
// wants it (text, whole number or date).
struct ListRows {
    int count = 0;
    std::function<QVariant(int row, const ListColumn& column)> value;
};

struct ListDocument {
    Workbook book;
    QString title;
    int rows = 0;
};

// Fills the template with the dataset's rows from the first to the last; the dataset is left past
// its last row. A list without rows rules nothing: the headings stay as the template has them.
// Throws DocumentError when the template cannot be had or read, DbError when the dataset is closed.
ListDocument buildListDocument(const DataModule& dm, const ListDocumentSettings& settings,
                               const QString& templatesDir);
// The same from rows given; `title` (the settings' document title when empty) names the document
// and is written into the settings' title cell.
ListDocument buildListDocument(const ListRows& rows, const ListDocumentSettings& settings,
                               const QString& templatesDir, const QString& title = {});

// Builds the document and saves it into the root's Documents folder under a name of its own;
// returns the file's path.
QString saveListDocument(const DataModule& dm, const ListDocumentSettings& settings, const RootPaths& root);

} // namespace documents
