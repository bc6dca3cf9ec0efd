#include "spreadsheet/XmlPart.h"

#include <cstring>

namespace {

// Text that is only blanks is kept where it is an element's whole content (`<t> </t>`): a string
// of blanks is a value. Indentation between elements is dropped.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol | pugi::parse_pi |
                                 pugi::parse_comments | pugi::parse_declaration |
                                 pugi::parse_ws_pcdata_single;

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

} // namespace

bool XmlPart::parse(const std::string& text) {
    if (!doc_.load_buffer(text.data(), text.size(), kParseFlags, pugi::encoding_utf8) || !root())
        return false;
    const char* rootName = root().name();
    const char* colon = std::strchr(rootName, ':');
    prefix_ = colon ? std::string(rootName, size_t(colon - rootName) + 1) : std::string();
    return true;
}

std::string XmlPart::save() const {
    StringWriter writer;
    doc_.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(writer.out);
}

const char* localName(pugi::xml_node node) {
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(pugi::xml_node node, const char* local) {
    return node.type() == pugi::node_element && std::strcmp(localName(node), local) == 0;
}

pugi::xml_node childNamed(pugi::xml_node parent, const char* local) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (isNamed(child, local))
            return child;
    return {};
}

pugi::xml_attribute attributeNamed(pugi::xml_node node, const char* local) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        const char* colon = std::strchr(name, ':');
        if (std::strcmp(colon ? colon + 1 : name, local) == 0)
            return a;
    }
    return {};
}
