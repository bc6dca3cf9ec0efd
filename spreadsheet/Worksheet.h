#pragma once
// The filled sheet: its XML parsed once, with an index of rows and of each row's cells, so that
// setting thousands of cells costs a lookup each; the XML is written once, at save.
#include "spreadsheet/CellRef.h"
#include "spreadsheet/XmlPart.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class Worksheet {
public:
    // Returns false when the part is not a worksheet or its rows and cells are not in order.
    bool load(const std::string& xml);
    // Brings the sheet's dimension up to date and writes the XML.
    std::string save();
    // True when the sheet has formulas; their cached results were dropped at load, so that they
    // are computed when the workbook is opened.
    bool hasFormulas() const { return hasFormulas_; }

    // The cell, made when the sheet has none there: a new cell takes the style its row or its
    // column gives, as an office program would.
    pugi::xml_node cell(const CellRef& ref);
    int style(pugi::xml_node cell) const { return cell.attribute("s").as_int(0); }
    void setStyle(pugi::xml_node cell, int style);

    // Replace the cell's value (and any formula). `type` is the cell type ("s" for a shared
    // string), or null for a number.
    void setValue(pugi::xml_node cell, const char* type, const char* text, size_t length);
    void clearValue(pugi::xml_node cell);

    // Rows firstRow..lastRow take the look of row `modelRow`: its height and row style where a
    // row has none, and the model's cell styles where a cell has no style of its own.
    void formatRowsLike(int modelRow, int firstRow, int lastRow);

    // The cells of a row, by column (none for a row the sheet does not have).
    using Cells = std::vector<std::pair<int, pugi::xml_node>>;
    const Cells& cellsOf(int row) const;
    // The column's width in characters, as the sheet gives it.
    double columnWidth(int column) const;
    // The row's height in points: its own, else the sheet's default.
    double rowHeight(int row) const;
    void setRowHeight(int row, double points);
    // How many columns the cell's text may take: 1 for a cell of its own, the merge's width for
    // the first cell of cells merged along one row, 0 for any other merged cell.
    int mergedColumns(int row, int column) const;

private:
    struct Row {
        pugi::xml_node node;
        Cells cells;
    };
    struct ColumnStyle {
        int first, last, style;
    };
    struct ColumnWidth {
        int first, last;
        double width;
    };
    struct Merge {
        int top, left, bottom, right;
    };

    Row& row(int number);
    pugi::xml_node cell(const CellRef& ref, bool* made);
    int defaultStyle(const Row& row, int column) const;
    void updateDimension();

    XmlPart part_;
    pugi::xml_node sheetData_;
    std::map<int, Row> rows_;
    std::vector<ColumnStyle> columnStyles_;
    std::vector<ColumnWidth> columnWidths_;
    std::vector<Merge> merges_;
    double defaultColumnWidth_ = 0; // characters; set at load
    double defaultRowHeight_ = 15;
    std::string rowName_, cellName_, valueName_;
    bool hasFormulas_ = false;
};
