#include "spreadsheet/Worksheet.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// Reads an A1 reference from an attribute ("B14"); false when it is not one.
bool parseA1(const char* text, int& row, int& column) {
    const char* p = text;
    column = 0;
    while (*p >= 'A' && *p <= 'Z') {
        column = column * 26 + (*p - 'A' + 1);
        if (column > CellRef::kMaxColumn)
            return false;
        ++p;
    }
    if (p == text)
        return false;
    const char* digits = p;
    row = 0;
    while (*p >= '0' && *p <= '9') {
        row = row * 10 + (*p - '0');
        if (row > CellRef::kMaxRow)
            return false;
        ++p;
    }
    return p != digits && *p == '\0' && row > 0;
}

// The width of a column that a sheet does not give: Excel's default, 64 pixels, counted in
// characters with their margins; and those margins, for a sheet that gives only its base width.
constexpr double kDefaultColumnWidth = 9.140625;
constexpr double kColumnMargins = 1.140625;

void setAttribute(pugi::xml_node node, const char* name, const char* value, size_t length) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value, length);
}

void setReference(pugi::xml_node cell, int row, int column) {
    std::string name;
    CellRef ref;
    ref.row = row;
    ref.column = column;
    ref.appendName(name);
    setAttribute(cell, "r", name.data(), name.size());
}

void copyMissingAttribute(pugi::xml_node from, pugi::xml_node to, const char* name) {
    if (!to.attribute(name))
        if (const pugi::xml_attribute a = from.attribute(name))
            to.append_copy(a);
}

} // namespace

bool Worksheet::load(const std::string& xml) {
    if (!part_.parse(xml) || !isNamed(part_.root(), "worksheet"))
        return false;
    pugi::xml_node root = part_.root();
    rowName_ = part_.name("row");
    cellName_ = part_.name("c");
    valueName_ = part_.name("v");

    defaultColumnWidth_ = kDefaultColumnWidth;
    if (const pugi::xml_node format = childNamed(root, "sheetFormatPr")) {
        defaultRowHeight_ = format.attribute("defaultRowHeight").as_double(defaultRowHeight_);
        // Without a default width, a column is its base width of digits and the margins.
        if (const pugi::xml_attribute base = format.attribute("baseColWidth"))
            defaultColumnWidth_ = base.as_double(8) + kColumnMargins;
        defaultColumnWidth_ = format.attribute("defaultColWidth").as_double(defaultColumnWidth_);
    }
    if (const pugi::xml_node cols = childNamed(root, "cols")) {
        for (pugi::xml_node col = cols.first_child(); col; col = col.next_sibling()) {
            if (!isNamed(col, "col"))
                continue;
            const int first = col.attribute("min").as_int(0), last = col.attribute("max").as_int(0);
            if (const int style = col.attribute("style").as_int(0); style > 0)
                columnStyles_.push_back({first, last, style});
            if (const pugi::xml_attribute width = col.attribute("width"))
                columnWidths_.push_back(
                    {first, last, col.attribute("hidden").as_bool() ? 0.0 : width.as_double()});
        }
    }
    if (const pugi::xml_node merges = childNamed(root, "mergeCells")) {
        for (pugi::xml_node m = merges.first_child(); m; m = m.next_sibling()) {
            const std::string ref = m.attribute("ref").value();
            const size_t colon = ref.find(':');
            Merge merge{};
            if (isNamed(m, "mergeCell") && colon != std::string::npos &&
                parseA1(ref.substr(0, colon).c_str(), merge.top, merge.left) &&
                parseA1(ref.substr(colon + 1).c_str(), merge.bottom, merge.right))
                merges_.push_back(merge);
        }
    }

    sheetData_ = childNamed(root, "sheetData");
    if (!sheetData_) {
        // Elements that come before sheetData in a worksheet.
        pugi::xml_node after;
        for (const char* before : {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols"})
            if (const pugi::xml_node n = childNamed(root, before))
                after = n;
        const std::string name = part_.name("sheetData");
        sheetData_ = after ? root.insert_child_after(name.c_str(), after) : root.prepend_child(name.c_str());
    }

    int lastRow = 0;
    for (pugi::xml_node rowNode = sheetData_.first_child(); rowNode; rowNode = rowNode.next_sibling()) {
        if (!isNamed(rowNode, "row"))
            continue;
        const int number = rowNode.attribute("r").as_int(lastRow + 1);
        if (number <= lastRow || number > CellRef::kMaxRow)
            return false;
        lastRow = number;
        if (!rowNode.attribute("r"))
            rowNode.append_attribute("r") = number;
        // Spans only hint at the row's cells; they would be stale once cells are added.
        rowNode.remove_attribute("spans");
        Row& row = rows_[number];
        row.node = rowNode;
        int lastColumn = 0;
        for (pugi::xml_node c = rowNode.first_child(); c; c = c.next_sibling()) {
            if (!isNamed(c, "c"))
                continue;
            int r = number, column = lastColumn + 1;
            if (const pugi::xml_attribute ref = c.attribute("r")) {
                if (!parseA1(ref.value(), r, column) || r != number)
                    return false;
            } else {
                setReference(c, number, column);
            }
            if (column <= lastColumn)
                return false;
            lastColumn = column;
            if (childNamed(c, "f")) {
                hasFormulas_ = true;
                if (const pugi::xml_node v = childNamed(c, "v"))
                    c.remove_child(v);
                c.remove_attribute("t");
            }
            row.cells.emplace_back(column, c);
        }
    }
    return true;
}

Worksheet::Row& Worksheet::row(int number) {
    auto next = rows_.lower_bound(number);
    if (next != rows_.end() && next->first == number)
        return next->second;
    pugi::xml_node node = next == rows_.end()
                              ? sheetData_.append_child(rowName_.c_str())
                              : sheetData_.insert_child_before(rowName_.c_str(), next->second.node);
    node.append_attribute("r") = number;
    auto made = rows_.emplace_hint(next, number, Row{node, {}});
    return made->second;
}

int Worksheet::defaultStyle(const Row& row, int column) const {
    if (row.node.attribute("customFormat").as_bool())
        return row.node.attribute("s").as_int(0);
    for (const ColumnStyle& c : columnStyles_)
        if (column >= c.first && column <= c.last)
            return c.style;
    return 0;
}

pugi::xml_node Worksheet::cell(const CellRef& ref) {
    return cell(ref, nullptr);
}

pugi::xml_node Worksheet::cell(const CellRef& ref, bool* made) {
    Row& row = this->row(ref.row);
    auto& cells = row.cells;
    // Cells are mostly written left to right: try the end first.
    auto at = cells.end();
    if (!cells.empty() && cells.back().first >= ref.column)
        at = std::lower_bound(
            cells.begin(), cells.end(), ref.column,
            [](const std::pair<int, pugi::xml_node>& c, int column) { return c.first < column; });
    if (made)
        *made = at == cells.end() || at->first != ref.column;
    if (at != cells.end() && at->first == ref.column)
        return at->second;
    pugi::xml_node c = at == cells.end() ? row.node.append_child(cellName_.c_str())
                                         : row.node.insert_child_before(cellName_.c_str(), at->second);
    setReference(c, ref.row, ref.column);
    if (const int style = defaultStyle(row, ref.column))
        c.append_attribute("s") = style;
    cells.insert(at, {ref.column, c});
    return c;
}

void Worksheet::setStyle(pugi::xml_node cell, int style) {
    pugi::xml_attribute s = cell.attribute("s");
    if (!s) {
        if (style == 0)
            return;
        // The schema puts s right after r.
        const pugi::xml_attribute r = cell.attribute("r");
        s = r ? cell.insert_attribute_after("s", r) : cell.prepend_attribute("s");
    }
    s.set_value(style);
}

void Worksheet::setValue(pugi::xml_node cell, const char* type, const char* text, size_t length) {
    cell.remove_children();
    if (type)
        setAttribute(cell, "t", type, std::strlen(type));
    else
        cell.remove_attribute("t");
    cell.append_child(valueName_.c_str()).append_child(pugi::node_pcdata).set_value(text, length);
}

void Worksheet::clearValue(pugi::xml_node cell) {
    cell.remove_children();
    cell.remove_attribute("t");
}

void Worksheet::formatRowsLike(int modelRow, int firstRow, int lastRow) {
    const auto model = rows_.find(modelRow);
    if (model == rows_.end())
        return;
    const pugi::xml_node modelNode = model->second.node;
    const auto& modelCells = model->second.cells;
    for (int number = firstRow; number <= lastRow; ++number) {
        if (number == modelRow)
            continue;
        Row& target = row(number);
        if (!target.node.attribute("ht")) {
            copyMissingAttribute(modelNode, target.node, "ht");
            copyMissingAttribute(modelNode, target.node, "customHeight");
        }
        if (!target.node.attribute("customFormat")) {
            copyMissingAttribute(modelNode, target.node, "s");
            copyMissingAttribute(modelNode, target.node, "customFormat");
        }
        for (const auto& [column, modelCell] : modelCells) {
            CellRef ref;
            ref.row = number;
            ref.column = column;
            bool made = false;
            pugi::xml_node c = cell(ref, &made);
            // A cell the template styled itself keeps its style.
            if (made || style(c) == 0)
                setStyle(c, style(modelCell));
        }
    }
}

const Worksheet::Cells& Worksheet::cellsOf(int row) const {
    static const Cells none;
    const auto found = rows_.find(row);
    return found == rows_.end() ? none : found->second.cells;
}

double Worksheet::columnWidth(int column) const {
    for (const ColumnWidth& c : columnWidths_)
        if (column >= c.first && column <= c.last)
            return c.width;
    return defaultColumnWidth_;
}

double Worksheet::rowHeight(int number) const {
    const auto found = rows_.find(number);
    if (found == rows_.end())
        return defaultRowHeight_;
    return found->second.node.attribute("ht").as_double(defaultRowHeight_);
}

void Worksheet::setRowHeight(int number, double points) {
    pugi::xml_node node = row(number).node;
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, points).ptr;
    setAttribute(node, "ht", buffer, size_t(end - buffer));
    setAttribute(node, "customHeight", "1", 1);
}

int Worksheet::mergedColumns(int row, int column) const {
    for (const Merge& m : merges_) {
        if (row < m.top || row > m.bottom || column < m.left || column > m.right)
            continue;
        const bool first = row == m.top && column == m.left;
        return first && m.top == m.bottom ? m.right - m.left + 1 : 0;
    }
    return 1;
}

void Worksheet::updateDimension() {
    int firstRow = 0, lastRow = 0, firstColumn = CellRef::kMaxColumn + 1, lastColumn = 0;
    for (const auto& [number, row] : rows_) {
        if (row.cells.empty())
            continue;
        if (firstRow == 0)
            firstRow = number;
        lastRow = number;
        firstColumn = std::min(firstColumn, row.cells.front().first);
        lastColumn = std::max(lastColumn, row.cells.back().first);
    }
    std::string ref;
    if (firstRow == 0) {
        ref = "A1";
    } else {
        CellRef first, last;
        first.row = firstRow;
        first.column = firstColumn;
        last.row = lastRow;
        last.column = lastColumn;
        first.appendName(ref);
        if (!(first == last)) {
            ref.push_back(':');
            last.appendName(ref);
        }
    }
    pugi::xml_node root = part_.root();
    pugi::xml_node dimension = childNamed(root, "dimension");
    if (!dimension) {
        const std::string name = part_.name("dimension");
        const pugi::xml_node sheetPr = childNamed(root, "sheetPr");
        dimension =
            sheetPr ? root.insert_child_after(name.c_str(), sheetPr) : root.prepend_child(name.c_str());
    }
    setAttribute(dimension, "ref", ref.data(), ref.size());
}

std::string Worksheet::save() {
    updateDimension();
    return part_.save();
}
