#include "support/XlsxReader.h"

#include <QFile>
#include <sstream>
#include <stdexcept>
#include <zip.h>

XlsxReader::XlsxReader(const QByteArray& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!archive) {
        if (source)
            zip_source_free(source);
        throw std::runtime_error(std::string("not a zip package: ") + zip_error_strerror(&error));
    }
    const zip_int64_t n = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_index(archive, zip_uint64_t(i), 0, &st);
        std::string content(size_t(st.size), '\0');
        zip_file_t* f = zip_fopen_index(archive, zip_uint64_t(i), 0);
        const zip_int64_t got = content.empty() ? 0 : zip_fread(f, content.data(), st.size);
        zip_fclose(f);
        if (got != zip_int64_t(st.size))
            throw std::runtime_error(std::string("cannot read ") + st.name);
        parts_[st.name] = std::move(content);
    }
    zip_discard(archive);
}

XlsxReader XlsxReader::fromFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + path.toStdString());
    return XlsxReader(f.readAll());
}

std::vector<std::string> XlsxReader::partNames() const {
    std::vector<std::string> names;
    for (const auto& [name, content] : parts_)
        names.push_back(name);
    return names;
}

bool XlsxReader::has(const std::string& name) const {
    return parts_.count(name) > 0;
}

std::string XlsxReader::part(const std::string& name) const {
    const auto found = parts_.find(name);
    if (found == parts_.end())
        throw std::runtime_error("no part " + name);
    return found->second;
}

const pugi::xml_document& XlsxReader::xml(const std::string& name) const {
    auto& doc = parsed_[name];
    if (!doc) {
        doc = std::make_unique<pugi::xml_document>();
        const std::string text = part(name);
        if (!doc->load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single))
            throw std::runtime_error("not XML: " + name);
    }
    return *doc;
}

std::string XlsxReader::contentType(const std::string& partName) const {
    for (pugi::xml_node o : xml("[Content_Types].xml").child("Types").children("Override"))
        if (partName == o.attribute("PartName").value())
            return o.attribute("ContentType").value();
    return {};
}

std::vector<std::string> XlsxReader::workbookTargets(const std::string& typeEnd) const {
    std::vector<std::string> out;
    for (pugi::xml_node r :
         xml("xl/_rels/workbook.xml.rels").child("Relationships").children("Relationship")) {
        const std::string type = r.attribute("Type").value();
        if (type.size() > typeEnd.size() &&
            type.compare(type.size() - typeEnd.size(), typeEnd.size(), typeEnd) == 0)
            out.push_back(r.attribute("Target").value());
    }
    return out;
}

std::vector<std::string> XlsxReader::sharedStrings() const {
    std::vector<std::string> out;
    if (!has("xl/sharedStrings.xml"))
        return out;
    for (pugi::xml_node si : xml("xl/sharedStrings.xml").child("sst").children("si"))
        out.push_back(si.child("t").text().get());
    return out;
}

XlsxReader::Cell XlsxReader::cell(const std::string& ref, const std::string& sheet) const {
    Cell out;
    const auto [row, column] = splitRef(ref);
    for (pugi::xml_node r : xml(sheet).child("worksheet").child("sheetData").children("row")) {
        if (r.attribute("r").as_int() != row)
            continue;
        for (pugi::xml_node c : r.children("c")) {
            if (ref != c.attribute("r").value())
                continue;
            out.exists = true;
            out.style = c.attribute("s").as_int(0);
            out.type = c.attribute("t").value();
            out.value = c.child("v").text().get();
            out.formula = bool(c.child("f"));
            if (out.type == "s") {
                int i = 0;
                for (pugi::xml_node si : xml("xl/sharedStrings.xml").child("sst").children("si")) {
                    if (i++ == std::stoi(out.value)) {
                        out.text = si.child("t").text().get();
                        out.preserve =
                            std::string(si.child("t").attribute("xml:space").value()) == "preserve";
                    }
                }
            }
        }
    }
    return out;
}

int XlsxReader::styleCount() const {
    int n = 0;
    for (pugi::xml_node xf : xml("xl/styles.xml").child("styleSheet").child("cellXfs").children("xf"))
        n += bool(xf);
    return n;
}

std::string XlsxReader::xfXml(int index) const {
    int i = 0;
    for (pugi::xml_node xf : xml("xl/styles.xml").child("styleSheet").child("cellXfs").children("xf")) {
        if (i++ == index) {
            std::ostringstream out;
            xf.print(out, "", pugi::format_raw);
            return out.str();
        }
    }
    return {};
}

XlsxReader::Style XlsxReader::style(int index) const {
    const pugi::xml_node sheet = xml("xl/styles.xml").child("styleSheet");
    Style out;
    int i = 0;
    pugi::xml_node xf;
    for (pugi::xml_node x : sheet.child("cellXfs").children("xf"))
        if (i++ == index)
            xf = x;
    if (!xf)
        throw std::runtime_error("no cell style " + std::to_string(index));
    out.numFmtId = xf.attribute("numFmtId").as_int();
    out.borderId = xf.attribute("borderId").as_int();
    out.fontId = xf.attribute("fontId").as_int();
    out.alignment = xf.child("alignment").attribute("horizontal").value();
    out.wrap = xf.child("alignment").attribute("wrapText").as_bool();
    for (pugi::xml_node f : sheet.child("numFmts").children("numFmt"))
        if (f.attribute("numFmtId").as_int() == out.numFmtId)
            out.formatCode = f.attribute("formatCode").value();
    i = 0;
    for (pugi::xml_node b : sheet.child("borders").children("border")) {
        if (i++ != out.borderId)
            continue;
        const char* names[] = {"left", "right", "top", "bottom"};
        for (int s = 0; s < 4; ++s)
            out.sides[size_t(s)] = b.child(names[s]).attribute("style").value();
    }
    return out;
}

std::pair<int, int> splitRef(const std::string& ref) {
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i)
        column = column * 26 + (ref[i] - 'A' + 1);
    return {std::stoi(ref.substr(i)), column};
}

std::string refName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

QByteArray zipOf(const std::map<std::string, std::string>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const auto& [name, content] : parts)
        zip_file_add(archive, name.c_str(), zip_source_buffer(archive, content.data(), content.size(), 0), 0);
    zip_close(archive);
    zip_stat_t st;
    zip_source_stat(buffer, &st);
    QByteArray out(qsizetype(st.size), '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
}
