#pragma once
// The workbook's style part (xl/styles.xml) as far as filling a template needs it: whether a cell
// style shows a date, and new cell styles derived from existing ones (with thin borders on every
// side, with a date format). A style entry is never changed in place, since other cells share it:
// it is cloned, and each clone is made once and reused.
#include "spreadsheet/XmlPart.h"

#include <string>
#include <unordered_map>
#include <vector>

class StyleSheet {
public:
    // A style part with the one default style, for a package that has none.
    static const char* minimalXml();

    // Returns false when the part is not a style sheet.
    bool load(const std::string& xml);
    std::string save() const { return part_.save(); }
    bool changed() const { return changed_; }

    int styleCount() const { return int(xfs_.size()); }
    bool showsDate(int style) const;

    // How a cell of this style sets its text: wrapped into the cell's width or on one line, in a
    // font of this size in points, bold or not.
    struct TextLook {
        bool wraps = false;
        double size = 11;
        bool bold = false;
    };
    TextLook textLook(int style) const;
    // The size of the workbook's default font, which column widths are counted in.
    double defaultFontSize() const;
    // The style like `style` with a thin line on its left, right, top and bottom.
    int withThinBorders(int style);
    // `style` itself when it shows a date; otherwise the style like it with the format dd.mm.yyyy.
    int withDateFormat(int style);

private:
    int valid(int style) const { return style >= 0 && style < int(xfs_.size()) ? style : 0; }
    int numberFormat(int style) const;
    int thinBorder(int border);
    int dateFormatId();
    int clone(int style, const char* attribute, int value, const char* applyAttribute);

    XmlPart part_;
    pugi::xml_node cellXfs_;
    pugi::xml_node borders_;
    std::vector<pugi::xml_node> xfs_;
    std::vector<pugi::xml_node> borderList_;
    std::vector<pugi::xml_node> fontList_;
    std::unordered_map<int, std::string> customFormats_; // numFmtId -> formatCode
    std::unordered_map<int, int> borderClones_;          // border -> the same with thin sides
    std::unordered_map<int, int> ruledStyles_;           // style -> with thin borders
    std::unordered_map<int, int> datedStyles_;           // style -> with a date format
    int dateFormatId_ = -1;
    bool changed_ = false;
};

// True for a number format code that shows a date (a day, a month or a year), such as
// "dd\.mm\.yyyy", "[$-419]D MMMM YYYY" or "m/d/yy h:mm"; false for times only, numbers and text.
bool isDateFormatCode(const std::string& code);
