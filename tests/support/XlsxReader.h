#pragma once
// Reads a written package back for the tests, with libzip and pugixml directly (none of the
// adapter's classes): parts, content types, relationships, cells, shared strings and styles.
#include <array>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

class XlsxReader {
public:
    explicit XlsxReader(const QByteArray& bytes);
    static XlsxReader fromFile(const QString& path);

    std::vector<std::string> partNames() const;
    bool has(const std::string& part) const;
    std::string part(const std::string& name) const;
    const pugi::xml_document& xml(const std::string& name) const;

    // The content type the package gives a part ("/xl/workbook.xml").
    std::string contentType(const std::string& partName) const;
    // Targets of the workbook's relationships, by type ending ("sharedStrings", "calcChain").
    std::vector<std::string> workbookTargets(const std::string& typeEnd) const;

    struct Cell {
        bool exists = false;
        int style = 0;
        std::string type;  // the t attribute
        std::string value; // the v element's text
        bool formula = false;
        std::string text;      // for a shared string: the string
        bool preserve = false; // the shared string's t element has xml:space="preserve"
    };
    Cell cell(const std::string& ref, const std::string& sheet = "xl/worksheets/sheet1.xml") const;

    struct Style {
        int numFmtId = 0;
        std::string formatCode; // for custom formats
        int borderId = 0;
        std::array<std::string, 4> sides; // left, right, top, bottom line styles ("" for none)
        int fontId = 0;
        std::string alignment; // horizontal alignment
        bool wrap = false;
    };
    Style style(int xf) const;
    int styleCount() const;
    std::string xfXml(int xf) const;

    std::vector<std::string> sharedStrings() const;

private:
    std::map<std::string, std::string> parts_;
    mutable std::map<std::string, std::unique_ptr<pugi::xml_document>> parsed_;
};

// "A14" -> {14, 1}
std::pair<int, int> splitRef(const std::string& ref);
std::string refName(int row, int column);

// A package (a zip) of these parts, names to contents: the other way round, for templates and
// workbooks a test makes by hand.
QByteArray zipOf(const std::map<std::string, std::string>& parts);
