#pragma once
// A workbook filled from a template (.xltx or .xlsx): the template is read into memory, values are
// set in cells of its active sheet, and the result is saved as a new .xlsx, the template itself
// never being touched. Every part the filling does not change is copied into the result as it is.
//
//   Workbook book = Workbook::open(ensureTemplate(paths.templates(), "Zajavka2023"));
//   book.setText("A5", title);
//   book.formatRowsLike(14, 15, 13 + n);   // trainee rows below the first take its look
//   book.setDate(CellRef(14, 9), birthDate);
//   book.ruleThin("A14", CellRef(13 + n, 17));
//   const QString file = DocumentFolder(paths.documents()).save(book, "Заявка 116 2026");
//
// Errors are DocumentError, with a Russian message naming the file concerned.
#include "documents/CellRef.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>
#include <memory>

class QIODevice;

class Workbook {
public:
    // Reads the template; throws DocumentError when it is missing or damaged.
    static Workbook open(const QString& templatePath);

    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;
    ~Workbook();

    const QString& templatePath() const;

    // Text, kept exactly (blanks included) but for control characters, which are left out. An
    // empty text empties the cell.
    void setText(const CellRef& cell, const QString& text);
    void setInteger(const CellRef& cell, qint32 value);
    // Throws DocumentError for a value that is not a finite number.
    void setNumber(const CellRef& cell, double value);
    // A date is a number of days (from 1899-12-30, or from 1904-01-01 in a workbook that counts
    // from 1904). The cell keeps its own date format; a cell without one gets dd.mm.yyyy. A null
    // date empties the cell, and a date before 1900, which a spreadsheet cannot count, is written
    // as text.
    void setDate(const CellRef& cell, const QDate& date);

    // Rows firstRow..lastRow take the look of the template's row `modelRow`: its height and the
    // styles of its cells, where the template gave those rows none of their own. For a table
    // longer than the template formatted, the first table row is the model.
    void formatRowsLike(int modelRow, int firstRow, int lastRow);

    // Thin lines on every edge and every inner line of the block with these corners (in any
    // order: A14 and Q13 mean rows 13 and 14, columns A to Q). Each cell keeps the rest of its
    // formatting.
    void ruleThin(const CellRef& corner, const CellRef& oppositeCorner);

    // The finished workbook: an .xlsx package.
    QByteArray toBytes() const;
    // Writes the package to `device`; throws DocumentError when it cannot be written.
    void saveTo(QIODevice& device) const;
    // Writes the package to `path` through a temporary file that replaces the file only when
    // complete (an existing file of that name is replaced). To keep every document, save through
    // DocumentFolder, which picks a new name each time.
    void saveAs(const QString& path) const;

private:
    struct Impl;
    explicit Workbook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};
