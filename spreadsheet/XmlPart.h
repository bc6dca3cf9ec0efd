#pragma once
// One XML part of the package, parsed with pugixml. Element names are matched by their local
// name, and elements we add take the prefix the part's root element uses ("x:c" where the root is
// "x:worksheet"), so parts written with a namespace prefix are handled like the usual ones.
#include <pugixml.hpp>
#include <string>

class XmlPart {
public:
    // Returns false when the text is not well-formed XML.
    bool parse(const std::string& text);
    std::string save() const;

    pugi::xml_document& doc() { return doc_; }
    pugi::xml_node root() const { return doc_.document_element(); }
    // `local` with the root element's prefix.
    std::string name(const char* local) const { return prefix_ + local; }

private:
    pugi::xml_document doc_;
    std::string prefix_;
};

// The element's name without its prefix.
const char* localName(pugi::xml_node node);
bool isNamed(pugi::xml_node node, const char* local);
// The first child element, or the first attribute, with this local name.
pugi::xml_node childNamed(pugi::xml_node parent, const char* local);
pugi::xml_attribute attributeNamed(pugi::xml_node node, const char* local);
