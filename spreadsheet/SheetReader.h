#pragma once
// Reads the first sheet of a spreadsheet an office saved (an .xlsx or .xls workbook, a .csv text) into
// rows of cells, for loading a staff list. Every file is read within bounds: a hostile file (a zip
// that unpacks to gigabytes, a sheet of a million rows, a cell of megabytes) is refused with a
// DocumentError naming the file, never read into memory whole.
//
//   const Sheet sheet = readSheetFile("/home/o/Сотрудники.xlsx");
//   for (const QList<SheetCell>& row : sheet.rows) …
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

struct SheetCell {
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    QString text;      // as the file writes it; for a number, its shortest form ("12", "0.5")
    double number = 0; // Number and Date (a date's serial number)
    QDate date;        // Date: a number in a date format of the workbook

    bool isEmpty() const { return kind == Kind::Empty; }
};

struct Sheet {
    QList<QList<SheetCell>> rows; // trailing empty rows and cells left out
};

struct SheetLimits {
    qint64 fileBytes = 64 * 1024 * 1024;
    quint64 unpackedBytes = 256 * 1024 * 1024; // all parts of a workbook together
    int rows = 100000;
    int columns = 256;
    int cellCharacters = 32767; // as many as a spreadsheet program keeps in one cell
};

// The day a spreadsheet's serial number stands for (1900 date system: 1 is 1 January 1900, with
// the spreadsheet programs' non-existent 29 February 1900); invalid outside 1..2958465.
QDate dateFromSerial(double serial);

// The first sheet of an .xlsx workbook; formulas give their saved values. `fileName` names the file
// in messages.
Sheet readXlsx(const QByteArray& bytes, const QString& fileName, const SheetLimits& limits = {});
// A CSV text as Russian spreadsheet programs save it: UTF-8 (with or without its mark) or, when the
// bytes are not UTF-8, Windows-1251; fields separated by ";" or "," (whichever the first line has
// more of outside quotes); quotes doubled inside quoted fields, which may span lines.
Sheet readCsv(const QByteArray& bytes, const QString& fileName, const SheetLimits& limits = {});
// The first sheet of a workbook in the old Excel format (.xls, Excel 97–2003), read from the file
// `path`; a file of another kind under that name (HTML, say) is refused.
Sheet readXls(const QString& path, const SheetLimits& limits = {});
// Reads the file by its extension (.xlsx, .xls, .csv); refuses any other kind.
Sheet readSheetFile(const QString& path, const SheetLimits& limits = {});
