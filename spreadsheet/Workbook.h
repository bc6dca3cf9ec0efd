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
//   book.fitRowHeights(14, 13 + n);        // as high as their wrapped texts
//   const QString file = DocumentFolder(paths).save(book, "Заявка 116 2026");
//
// Errors are DocumentError, with a Russian message naming the file concerned.
#include "spreadsheet/CellRef.h"

#include <memory>
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>

class Workbook {
public:
    // A template is a form of some kilobytes: neither the file nor its parts unpacked may take
    // more than this.
    static constexpr qint64 kTemplateSizeLimit = 50 * 1024 * 1024;

    // Reads the template; throws DocumentError when it is missing, damaged, not a regular file
    // (or a link to one), or larger than `sizeLimit` bytes on the disk or unpacked.
    static Workbook open(const QString& templatePath, qint64 sizeLimit = kTemplateSizeLimit);

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

    // Rows firstRow..lastRow become as high as their texts need, wrapped texts above all: the
    // lines of each text are estimated from the text, its column's width (the merge's, for cells
    // merged along the row) and its font, and each row holding a text is given the height its
    // texts need as its own height; a row never becomes lower than it was. Spreadsheet programs
    // do not all fit a row to its wrapped text when they open a workbook; without this, the lines
    // would run over the rows below when printed.
    void fitRowHeights(int firstRow, int lastRow);

    // Thin lines on every edge and every inner line of the block with these corners (in any
    // order: A14 and Q13 mean rows 13 and 14, columns A to Q). Each cell keeps the rest of its
    // formatting.
    void ruleThin(const CellRef& corner, const CellRef& oppositeCorner);

    // The finished workbook: an .xlsx package.
    QByteArray toBytes() const;
    // Writes the package to `path` through a temporary file that replaces the file only when
    // complete and synced to the disk (an existing file of that name is replaced); on any failure
    // a DocumentError names the file and an old file stays as it was. To keep every document,
    // save through DocumentFolder, which picks a new name each time.
    void saveAs(const QString& path) const;

private:
    struct Impl;
    explicit Workbook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};
