#include "spreadsheet/StyleSheet.h"

#include <algorithm>
#include <string_view>

namespace {

// The explicit day.month.year format given to a date cell whose style shows no date. The built-in
// date format (14) depends on the reader's locale; the dots are escaped so that no reader takes
// them for decimal points.
constexpr const char* kDateFormatCode = "dd\\.mm\\.yyyy";
constexpr int kFirstCustomFormat = 164;

// Built-in number formats that show a date: 14–17 (dates), 22 (date and time), 27–36 and 50–58
// (the East Asian date formats).
bool isBuiltinDateFormat(int id) {
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

int intAttribute(pugi::xml_node node, const char* name, int fallback = 0) {
    const pugi::xml_attribute a = node.attribute(name);
    return a ? a.as_int(fallback) : fallback;
}

void setInt(pugi::xml_node node, const char* name, int value) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value);
}

void collect(pugi::xml_node parent, const char* local, std::vector<pugi::xml_node>& out) {
    out.clear();
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (isNamed(child, local))
            out.push_back(child);
}

} // namespace

bool isDateFormatCode(const std::string& code) {
    // Only the first section (positive numbers) matters for a date.
    bool inQuotes = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char ch = code[i];
        if (inQuotes) {
            inQuotes = ch != '"';
            continue;
        }
        switch (ch) {
        case '"':
            inQuotes = true;
            break;
        case '\\':
        case '_':
        case '*':
            ++i; // an escaped or padding character is shown as it is
            break;
        case '[': {
            // Colours, conditions, locales ([$-419]) and elapsed times ([h]) are not date parts.
            const size_t end = code.find(']', i);
            if (end == std::string::npos)
                return false;
            i = end;
            break;
        }
        case ';':
            return false;
        case 'd':
        case 'D':
        case 'y':
        case 'Y':
            return true;
        case 'G':
        case 'g':
            if (code.compare(i, 7, "General") == 0 || code.compare(i, 7, "general") == 0)
                i += 6;
            break;
        case 'm':
        case 'M': {
            // A month unless it stands next to hours or seconds (then it is minutes).
            const std::string_view rest(code.data() + i, code.size() - i);
            const std::string_view before(code.data(), i);
            const bool nearTime = before.find_last_of("hH:") != std::string_view::npos ||
                                  rest.find_first_of("sS:") != std::string_view::npos;
            if (!nearTime)
                return true;
            break;
        }
        default:
            break;
        }
    }
    return false;
}

const char* StyleSheet::minimalXml() {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>)"
           R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
           R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
           R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
           R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
           R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
           R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
           R"(</styleSheet>)";
}

bool StyleSheet::load(const std::string& xml) {
    if (!part_.parse(xml) || !isNamed(part_.root(), "styleSheet"))
        return false;
    pugi::xml_node root = part_.root();
    cellXfs_ = childNamed(root, "cellXfs");
    borders_ = childNamed(root, "borders");
    // Elements missing from a hand-made style sheet are added in the order the schema wants:
    // numFmts, fonts, fills, borders, cellStyleXfs, cellXfs.
    if (!borders_) {
        pugi::xml_node after = childNamed(root, "fills");
        if (!after)
            after = childNamed(root, "fonts");
        if (!after)
            after = childNamed(root, "numFmts");
        borders_ = after ? root.insert_child_after(part_.name("borders").c_str(), after)
                         : root.prepend_child(part_.name("borders").c_str());
    }
    if (!cellXfs_) {
        pugi::xml_node after = childNamed(root, "cellStyleXfs");
        if (!after)
            after = borders_;
        cellXfs_ = root.insert_child_after(part_.name("cellXfs").c_str(), after);
    }
    collect(cellXfs_, "xf", xfs_);
    if (xfs_.empty()) {
        pugi::xml_node xf = cellXfs_.append_child(part_.name("xf").c_str());
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
            xf.append_attribute(a) = 0;
        xfs_.push_back(xf);
    }
    collect(childNamed(root, "fonts"), "font", fontList_);
    collect(borders_, "border", borderList_);
    if (borderList_.empty())
        borderList_.push_back(borders_.append_child(part_.name("border").c_str()));
    if (const pugi::xml_node numFmts = childNamed(root, "numFmts")) {
        for (pugi::xml_node f = numFmts.first_child(); f; f = f.next_sibling())
            if (isNamed(f, "numFmt"))
                customFormats_[intAttribute(f, "numFmtId", -1)] = f.attribute("formatCode").value();
    }
    return true;
}

int StyleSheet::numberFormat(int style) const {
    return intAttribute(xfs_[size_t(valid(style))], "numFmtId");
}

bool StyleSheet::showsDate(int style) const {
    const int id = numberFormat(style);
    const auto custom = customFormats_.find(id);
    if (custom != customFormats_.end())
        return isDateFormatCode(custom->second);
    return isBuiltinDateFormat(id);
}

StyleSheet::TextLook StyleSheet::textLook(int style) const {
    const pugi::xml_node xf = xfs_[size_t(valid(style))];
    TextLook look;
    look.wraps = childNamed(xf, "alignment").attribute("wrapText").as_bool();
    const int font = intAttribute(xf, "fontId");
    if (font >= 0 && font < int(fontList_.size())) {
        look.size = childNamed(fontList_[size_t(font)], "sz").attribute("val").as_double(look.size);
        const pugi::xml_node b = childNamed(fontList_[size_t(font)], "b");
        look.bold = b && b.attribute("val").as_bool(true);
    }
    return look;
}

double StyleSheet::defaultFontSize() const {
    const double fallback = TextLook().size;
    return fontList_.empty() ? fallback
                             : childNamed(fontList_.front(), "sz").attribute("val").as_double(fallback);
}

int StyleSheet::clone(int style, const char* attribute, int value, const char* applyAttribute) {
    pugi::xml_node copy = cellXfs_.append_copy(xfs_[size_t(valid(style))]);
    setInt(copy, attribute, value);
    setInt(copy, applyAttribute, 1);
    xfs_.push_back(copy);
    setInt(cellXfs_, "count", int(xfs_.size()));
    changed_ = true;
    return int(xfs_.size()) - 1;
}

int StyleSheet::thinBorder(int border) {
    if (border < 0 || border >= int(borderList_.size()))
        border = 0;
    if (const auto found = borderClones_.find(border); found != borderClones_.end())
        return found->second;
    const pugi::xml_node original = borderList_[size_t(border)];
    pugi::xml_node made = borders_.append_child(part_.name("border").c_str());
    for (pugi::xml_attribute a = original.first_attribute(); a; a = a.next_attribute())
        made.append_copy(a);
    // The four sides in the schema's order, then the diagonal and the inner lines of a range
    // format as they were.
    for (const char* side : {"left", "right", "top", "bottom"}) {
        pugi::xml_node line = made.append_child(part_.name(side).c_str());
        line.append_attribute("style") = "thin";
        line.append_child(part_.name("color").c_str()).append_attribute("indexed") = 64;
    }
    if (const pugi::xml_node diagonal = childNamed(original, "diagonal"))
        made.append_copy(diagonal);
    else
        made.append_child(part_.name("diagonal").c_str());
    for (const char* inner : {"vertical", "horizontal"})
        if (const pugi::xml_node line = childNamed(original, inner))
            made.append_copy(line);
    borderList_.push_back(made);
    setInt(borders_, "count", int(borderList_.size()));
    const int index = int(borderList_.size()) - 1;
    borderClones_.emplace(border, index);
    return index;
}

int StyleSheet::withThinBorders(int style) {
    style = valid(style);
    if (const auto found = ruledStyles_.find(style); found != ruledStyles_.end())
        return found->second;
    const int border = thinBorder(intAttribute(xfs_[size_t(style)], "borderId"));
    const int made = clone(style, "borderId", border, "applyBorder");
    ruledStyles_.emplace(style, made);
    ruledStyles_.emplace(made, made); // ruling a ruled cell again changes nothing
    return made;
}

int StyleSheet::dateFormatId() {
    if (dateFormatId_ >= 0)
        return dateFormatId_;
    int next = kFirstCustomFormat;
    for (const auto& [id, code] : customFormats_) {
        if (code == kDateFormatCode || code == "dd.mm.yyyy" || code == "DD.MM.YYYY")
            return dateFormatId_ = id;
        next = std::max(next, id + 1);
    }
    pugi::xml_node root = part_.root();
    pugi::xml_node numFmts = childNamed(root, "numFmts");
    if (!numFmts)
        numFmts = root.prepend_child(part_.name("numFmts").c_str());
    pugi::xml_node f = numFmts.append_child(part_.name("numFmt").c_str());
    f.append_attribute("numFmtId") = next;
    f.append_attribute("formatCode") = kDateFormatCode;
    customFormats_[next] = kDateFormatCode;
    int count = 0;
    for (pugi::xml_node n = numFmts.first_child(); n; n = n.next_sibling())
        count += isNamed(n, "numFmt");
    setInt(numFmts, "count", count);
    changed_ = true;
    return dateFormatId_ = next;
}

int StyleSheet::withDateFormat(int style) {
    style = valid(style);
    if (showsDate(style))
        return style;
    if (const auto found = datedStyles_.find(style); found != datedStyles_.end())
        return found->second;
    const int made = clone(style, "numFmtId", dateFormatId(), "applyNumberFormat");
    datedStyles_.emplace(style, made);
    return made;
}
