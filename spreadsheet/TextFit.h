#pragma once
// How much room a text takes in a cell, estimated without the fonts at hand (the core library
// draws nothing, and the spreadsheet program that shows the document has fonts of its own). The
// character widths are the wider of the common serif and sans-serif office fonts (Times New Roman
// and Arial, and the fonts made to their measures), a little more for safety: a row made as high
// as the estimate says holds its text in whichever of them the document is shown.
#include <QStringView>

// The width of `text` in points, in a font of `size` points.
double estimatedTextWidth(QStringView text, double size, bool bold);

// The lines `text` takes when it is wrapped at blanks into `width` points: a line break in the
// text starts a new line, and a word wider than the width is broken wherever it must be.
int wrappedLineCount(QStringView text, double width, double size, bool bold);

// The height in points of a row that shows `lines` lines in a font of `size` points, the cell's
// margins included.
double rowHeightForLines(int lines, double size);

// The width in points of a column `characters` wide, in a workbook whose default font has `size`
// points: a column's width counts the widths of that font's digits.
double columnWidthInPoints(double characters, double defaultFontSize);

// The room a text has in a cell of this width, the cell's margins taken off.
double textRoomInCell(double cellWidth);
