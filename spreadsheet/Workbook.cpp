#include "spreadsheet/Workbook.h"
#include "core/SystemText.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/SharedStrings.h"
#include "spreadsheet/StyleSheet.h"
#include "spreadsheet/TextFit.h"
#include "spreadsheet/Worksheet.h"
#include "spreadsheet/ZipPackage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <set>
#include <string>
#include <unordered_map>

namespace {

const char* const kContentTypesPart = "[Content_Types].xml";
const char* const kPackageRelsPart = "_rels/.rels";
const char* const kRelationshipTypeBase =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// The main part's content type of a template and of the workbook saved from it.
const char* const kTemplateType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
const char* const kWorkbookType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
// Workbooks and templates with macros: what we save is an .xlsx, which cannot hold them.
const char* const kMacroTypePrefix = "application/vnd.ms-excel.";
const char* const kStylesType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* const kSharedStringsType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The folder of a part, with its slash ("xl/" for "xl/workbook.xml").
std::string folderOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relationshipsPartOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return folderOf(part) + "_rels/" + file + ".rels";
}

// A relationship's target as a part name: relative to the source part's folder, or absolute
// from the package root ("/xl/worksheets/sheet1.xml").
std::string resolveTarget(const std::string& sourcePart, const std::string& target) {
    const std::string joined =
        !target.empty() && target[0] == '/' ? target.substr(1) : folderOf(sourcePart) + target;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& s : segments)
        out += (out.empty() ? "" : "/") + s;
    return out;
}

bool sameName(const char* a, const std::string& b) {
    return QByteArray(a).compare(b.c_str(), Qt::CaseInsensitive) == 0;
}

bool hasType(pugi::xml_node relationship, const char* kind) {
    // The transitional and the strict schema name the types under different bases: compare the end.
    const char* type = relationship.attribute("Type").value();
    const size_t length = std::strlen(type), kindLength = std::strlen(kind);
    return length > kindLength && type[length - kindLength - 1] == '/' &&
           std::strcmp(type + length - kindLength, kind) == 0;
}

pugi::xml_node relationshipOfType(const XmlPart& rels, const char* kind) {
    for (pugi::xml_node r = rels.root().first_child(); r; r = r.next_sibling())
        if (isNamed(r, "Relationship") && hasType(r, kind) &&
            std::strcmp(r.attribute("TargetMode").value(), "External"))
            return r;
    return {};
}

// Adds a relationship under an Id the part does not use yet.
void addRelationship(XmlPart& rels, const char* kind, const std::string& target) {
    std::set<std::string> used;
    for (pugi::xml_node r = rels.root().first_child(); r; r = r.next_sibling())
        used.insert(r.attribute("Id").value());
    int n = int(used.size()) + 1;
    while (used.count("rId" + std::to_string(n)))
        ++n;
    pugi::xml_node r = rels.root().append_child(rels.name("Relationship").c_str());
    r.append_attribute("Id") = ("rId" + std::to_string(n)).c_str();
    r.append_attribute("Type") = (std::string(kRelationshipTypeBase) + kind).c_str();
    r.append_attribute("Target") = target.c_str();
}

pugi::xml_node overrideFor(const XmlPart& types, const std::string& part) {
    const std::string name = "/" + part;
    for (pugi::xml_node o = types.root().first_child(); o; o = o.next_sibling())
        if (isNamed(o, "Override") && sameName(o.attribute("PartName").value(), name))
            return o;
    return {};
}

void setOverride(XmlPart& types, const std::string& part, const char* contentType) {
    pugi::xml_node o = overrideFor(types, part);
    if (!o) {
        o = types.root().append_child(types.name("Override").c_str());
        o.append_attribute("PartName") = ("/" + part).c_str();
        o.append_attribute("ContentType");
    }
    o.attribute("ContentType") = contentType;
}

// A part name for a new part in `folder` that the package does not have yet.
std::string newPartName(const ZipPackage& package, const std::string& folder, const std::string& stem) {
    std::string name = folder + stem + ".xml";
    for (int n = 2; package.has(name); ++n)
        name = folder + stem + std::to_string(n) + ".xml";
    return name;
}

} // namespace

struct Workbook::Impl {
    QString templatePath;
    std::unique_ptr<ZipPackage> package;
    XmlPart contentTypes, workbookXml, workbookRels;
    std::string workbookPart, workbookRelsPart, sheetPart, stylesPart, stringsPart;
    QString sheetName;
    bool contentTypesChanged = false, workbookChanged = false, workbookRelsChanged = false;
    bool stylesAdded = false, stringsAdded = false;
    std::set<std::string> removed;
    Worksheet sheet;
    StyleSheet styles;
    SharedStrings strings;
    bool date1904 = false;

    [[noreturn]] void damaged(const QString& detail) const {
        throw DocumentError(QStringLiteral("Шаблон «%1» повреждён: %2.").arg(shown(templatePath), detail));
    }
    std::string read(const std::string& part) const {
        try {
            return package->read(part);
        } catch (const ZipPackage::Damaged&) {
            damaged(QStringLiteral("не читается его часть %1").arg(QString::fromStdString(part)));
        }
    }
    void parse(XmlPart& xml, const std::string& part, const char* rootName) const {
        if (!xml.parse(read(part)) || !isNamed(xml.root(), rootName))
            damaged(QStringLiteral("не читается его часть %1").arg(QString::fromStdString(part)));
    }

    void load();
    void findActiveSheet();
    void loadStyles();
    void loadStrings();
    void dropCalculationChain();
    void markAsWorkbook();

    pugi::xml_node cell(const CellRef& ref) { return sheet.cell(ref); }

    // The text a cell shows, as far as its height goes: a shared or inline string, or a number
    // or a formula's result as written.
    QString shownText(pugi::xml_node c) const {
        const char* type = c.attribute("t").value();
        if (std::strcmp(type, "s") == 0)
            return strings.text(childNamed(c, "v").text().as_int(-1));
        if (std::strcmp(type, "inlineStr") == 0) {
            QString text;
            for (pugi::xml_node t : childNamed(c, "is").children())
                text += QString::fromUtf8(isNamed(t, "t") ? t.text().get() : childNamed(t, "t").text().get());
            return text;
        }
        return QString::fromUtf8(childNamed(c, "v").text().get());
    }
};

void Workbook::Impl::load() {
    // Every Office package starts from its list of content types; a zip without one (an empty
    // file among them) is something else.
    if (!package->has(kContentTypesPart))
        damaged(QStringLiteral("это не книга Excel (.xltx или .xlsx)"));
    parse(contentTypes, kContentTypesPart, "Types");
    XmlPart packageRels;
    if (package->has(kPackageRelsPart))
        parse(packageRels, kPackageRelsPart, "Relationships");
    if (const pugi::xml_node main =
            packageRels.root() ? relationshipOfType(packageRels, "officeDocument") : pugi::xml_node())
        workbookPart = resolveTarget("", main.attribute("Target").value());
    else if (package->has("xl/workbook.xml"))
        workbookPart = "xl/workbook.xml";
    if (workbookPart.empty() || !package->has(workbookPart))
        damaged(QStringLiteral("в нём нет книги (xl/workbook.xml)"));
    parse(workbookXml, workbookPart, "workbook");
    workbookRelsPart = relationshipsPartOf(workbookPart);
    if (!package->has(workbookRelsPart))
        damaged(QStringLiteral("в нём нет списка частей книги (%1)")
                    .arg(QString::fromStdString(workbookRelsPart)));
    parse(workbookRels, workbookRelsPart, "Relationships");
    date1904 = childNamed(workbookXml.root(), "workbookPr").attribute("date1904").as_bool();

    findActiveSheet();
    if (!sheet.load(read(sheetPart)))
        damaged(
            QStringLiteral("не читается лист «%1» (%2)").arg(sheetName, QString::fromStdString(sheetPart)));
    loadStyles();
    loadStrings();
    dropCalculationChain();
    markAsWorkbook();
}

// The active sheet: the workbook view's activeTab counts the sheets in their order; the sheet's
// relationship gives its part.
void Workbook::Impl::findActiveSheet() {
    std::vector<pugi::xml_node> sheets;
    for (pugi::xml_node s = childNamed(workbookXml.root(), "sheets").first_child(); s; s = s.next_sibling())
        if (isNamed(s, "sheet"))
            sheets.push_back(s);
    if (sheets.empty())
        damaged(QStringLiteral("в книге нет листов"));
    const pugi::xml_node view = childNamed(childNamed(workbookXml.root(), "bookViews"), "workbookView");
    size_t active = size_t(view.attribute("activeTab").as_uint(0));
    if (active >= sheets.size())
        active = 0;
    const pugi::xml_node chosen = sheets[active];
    sheetName = QString::fromUtf8(chosen.attribute("name").value());
    const char* id = attributeNamed(chosen, "id").value();
    for (pugi::xml_node r = workbookRels.root().first_child(); r; r = r.next_sibling()) {
        if (isNamed(r, "Relationship") && std::strcmp(r.attribute("Id").value(), id) == 0) {
            sheetPart = resolveTarget(workbookPart, r.attribute("Target").value());
            break;
        }
    }
    if (sheetPart.empty() || !package->has(sheetPart))
        damaged(QStringLiteral("в нём нет листа «%1»").arg(sheetName));
}

void Workbook::Impl::loadStyles() {
    if (const pugi::xml_node r = relationshipOfType(workbookRels, "styles")) {
        stylesPart = resolveTarget(workbookPart, r.attribute("Target").value());
        if (!styles.load(read(stylesPart)))
            damaged(QStringLiteral("не читается его часть %1").arg(QString::fromStdString(stylesPart)));
        return;
    }
    // A package made by hand may have no styles; the dates and lines we add need them.
    stylesPart = newPartName(*package, folderOf(workbookPart), "styles");
    styles.load(StyleSheet::minimalXml());
    addRelationship(workbookRels, "styles", stylesPart.substr(folderOf(workbookPart).size()));
    setOverride(contentTypes, stylesPart, kStylesType);
    stylesAdded = workbookRelsChanged = contentTypesChanged = true;
}

void Workbook::Impl::loadStrings() {
    if (const pugi::xml_node r = relationshipOfType(workbookRels, "sharedStrings")) {
        stringsPart = resolveTarget(workbookPart, r.attribute("Target").value());
        if (!strings.load(read(stringsPart)))
            damaged(QStringLiteral("не читается его часть %1").arg(QString::fromStdString(stringsPart)));
        return;
    }
    stringsPart = newPartName(*package, folderOf(workbookPart), "sharedStrings");
    strings.load(SharedStrings::emptyXml());
    addRelationship(workbookRels, "sharedStrings", stringsPart.substr(folderOf(workbookPart).size()));
    setOverride(contentTypes, stringsPart, kSharedStringsType);
    stringsAdded = workbookRelsChanged = contentTypesChanged = true;
}

// The calculation chain lists the formula cells in the order they were last computed; it would
// not match the filled sheet, so it goes, with its relationship and content type. Formulas are
// computed afresh when the workbook is opened (their cached results were dropped with the sheet).
void Workbook::Impl::dropCalculationChain() {
    bool hadChain = false;
    while (const pugi::xml_node r = relationshipOfType(workbookRels, "calcChain")) {
        const std::string part = resolveTarget(workbookPart, r.attribute("Target").value());
        removed.insert(part);
        if (const pugi::xml_node o = overrideFor(contentTypes, part))
            contentTypes.root().remove_child(o);
        workbookRels.root().remove_child(r);
        hadChain = workbookRelsChanged = contentTypesChanged = true;
    }
    if (hadChain || sheet.hasFormulas()) {
        pugi::xml_node calcPr = childNamed(workbookXml.root(), "calcPr");
        if (!calcPr) {
            // calcPr comes after the sheets and names, before the elements that follow them.
            pugi::xml_node after;
            for (const char* before :
                 {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
                  "functionGroups", "externalReferences", "definedNames"})
                if (const pugi::xml_node n = childNamed(workbookXml.root(), before))
                    after = n;
            const std::string name = workbookXml.name("calcPr");
            calcPr = after ? workbookXml.root().insert_child_after(name.c_str(), after)
                           : workbookXml.root().append_child(name.c_str());
        }
        if (!calcPr.attribute("fullCalcOnLoad"))
            calcPr.append_attribute("fullCalcOnLoad");
        calcPr.attribute("fullCalcOnLoad") = "1";
        workbookChanged = true;
    }
}

// A template's main part has a content type of its own; the result is a workbook.
void Workbook::Impl::markAsWorkbook() {
    pugi::xml_node o = overrideFor(contentTypes, workbookPart);
    if (!o) {
        setOverride(contentTypes, workbookPart, kWorkbookType);
        contentTypesChanged = true;
        return;
    }
    const char* type = o.attribute("ContentType").value();
    if (std::strncmp(type, kMacroTypePrefix, std::strlen(kMacroTypePrefix)) == 0)
        throw DocumentError(
            QStringLiteral("Шаблон «%1» содержит макросы, а документ сохраняется как книга .xlsx "
                           "без макросов. Нужен шаблон без макросов (.xltx).")
                .arg(shown(templatePath)));
    if (std::strcmp(type, kTemplateType) == 0) {
        o.attribute("ContentType") = kWorkbookType;
        contentTypesChanged = true;
    }
}

Workbook::Workbook(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;
Workbook::~Workbook() = default;

namespace {

[[noreturn]] void unreadable(const QString& templatePath, const QString& reason) {
    throw DocumentError(
        QStringLiteral("Не удалось прочитать шаблон «%1»: %2.").arg(shown(templatePath), reason));
}

[[noreturn]] void tooLarge(const QString& templatePath, qint64 limit) {
    const QString size = limit >= 1024 * 1024 ? QString::number(limit / (1024 * 1024)) + QStringLiteral(" МБ")
                                              : QString::number(limit / 1024) + QStringLiteral(" КБ");
    throw DocumentError(
        QStringLiteral("Шаблон «%1» слишком велик: распакованный, он занял бы больше %2. Бланк "
                       "документа не бывает таким большим; положите в папку шаблонов обычный "
                       "шаблон Excel (.xltx).")
            .arg(shown(templatePath), size));
}

// The template's bytes. Only a regular file (or a link to one) is read, and never more than
// `limit` bytes: a device or a pipe in the templates folder would never end.
QByteArray readTemplateFile(const QString& templatePath, qint64 limit) {
    const QFileInfo info(templatePath);
    if (!info.exists())
        throw DocumentError(QStringLiteral("Не найден шаблон «%1».").arg(shown(templatePath)));
    if (info.isDir())
        unreadable(templatePath, QStringLiteral("это папка, а не файл"));
    if (!info.isFile())
        unreadable(templatePath, QStringLiteral("это не обычный файл, а устройство, канал или ссылка на них. "
                                                "Положите в папку шаблонов файл шаблона Excel (.xltx)"));
    if (info.size() > limit)
        tooLarge(templatePath, limit);
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(templatePath, fileErrorText(file));
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        unreadable(templatePath, fileErrorText(file));
    if (bytes.size() > limit)
        tooLarge(templatePath, limit);
    return bytes;
}

} // namespace

Workbook Workbook::open(const QString& templatePath, qint64 sizeLimit) {
    auto impl = std::make_unique<Impl>();
    impl->templatePath = templatePath;
    try {
        impl->package = std::make_unique<ZipPackage>(readTemplateFile(templatePath, sizeLimit));
    } catch (const ZipPackage::Damaged&) {
        impl->damaged(QStringLiteral("это не книга Excel (.xltx или .xlsx)"));
    }
    // Checked from the archive's directory before anything is unpacked; reading a part never
    // unpacks more than the directory declares for it.
    quint64 declared = 0;
    try {
        declared = impl->package->declaredUnpackedSize();
    } catch (const ZipPackage::Damaged&) {
        impl->damaged(QStringLiteral("не читается список его частей"));
    }
    if (declared > quint64(sizeLimit))
        tooLarge(templatePath, sizeLimit);
    impl->load();
    return Workbook(std::move(impl));
}

const QString& Workbook::templatePath() const {
    return d->templatePath;
}

void Workbook::setText(const CellRef& ref, const QString& text) {
    pugi::xml_node c = d->cell(ref);
    const QString clean = withoutControlCharacters(text);
    if (clean.isEmpty()) {
        d->sheet.clearValue(c);
        return;
    }
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, d->strings.add(clean)).ptr;
    d->sheet.setValue(c, "s", buffer, size_t(end - buffer));
}

void Workbook::setInteger(const CellRef& ref, qint32 value) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    d->sheet.setValue(d->cell(ref), nullptr, buffer, size_t(end - buffer));
}

void Workbook::setNumber(const CellRef& ref, double value) {
    if (!std::isfinite(value))
        throw DocumentError(
            QStringLiteral("В ячейку %1 документа по шаблону «%2» нельзя записать «%3»: это не число.")
                .arg(ref.name(), shown(d->templatePath), QString::number(value)));
    // The shortest text that reads back as the same double; never "-0".
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value).ptr;
    d->sheet.setValue(d->cell(ref), nullptr, buffer, size_t(end - buffer));
}

void Workbook::setDate(const CellRef& ref, const QDate& date) {
    if (!date.isValid()) {
        d->sheet.clearValue(d->cell(ref));
        return;
    }
    const QDate epoch = d->date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const qint64 serial = epoch.daysTo(date);
    if (date.year() < (d->date1904 ? 1904 : 1900)) {
        setText(ref, date.toString(QStringLiteral("dd.MM.yyyy")));
        return;
    }
    pugi::xml_node c = d->cell(ref);
    d->sheet.setStyle(c, d->styles.withDateFormat(d->sheet.style(c)));
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, serial).ptr;
    d->sheet.setValue(c, nullptr, buffer, size_t(end - buffer));
}

void Workbook::formatRowsLike(int modelRow, int firstRow, int lastRow) {
    // Row numbers outside the sheet throw std::invalid_argument.
    for (const int row : {modelRow, firstRow, lastRow})
        (void)CellRef(row, 1);
    d->sheet.formatRowsLike(modelRow, firstRow, lastRow);
}

void Workbook::fitRowHeights(int firstRow, int lastRow) {
    const double defaultFont = d->styles.defaultFontSize();
    // Each style's look and each column's width are found once for all the rows.
    std::unordered_map<int, StyleSheet::TextLook> looks;
    std::unordered_map<int, double> widths;
    auto lookOf = [&](int style) {
        auto found = looks.find(style);
        return found != looks.end() ? found->second
                                    : looks.emplace(style, d->styles.textLook(style)).first->second;
    };
    auto widthOf = [&](int column) {
        auto found = widths.find(column);
        if (found == widths.end())
            found =
                widths.emplace(column, columnWidthInPoints(d->sheet.columnWidth(column), defaultFont)).first;
        return found->second;
    };
    for (int row = firstRow; row <= lastRow; ++row) {
        double needed = 0;
        for (const auto& [column, c] : d->sheet.cellsOf(row)) {
            const int span = c.first_child() ? d->sheet.mergedColumns(row, column) : 0;
            if (span == 0)
                continue; // no value, or hidden under a merge
            const StyleSheet::TextLook look = lookOf(d->sheet.style(c));
            int lines = 1;
            if (look.wraps) {
                double width = 0;
                for (int i = 0; i < span; ++i)
                    width += widthOf(column + i);
                lines = wrappedLineCount(d->shownText(c), textRoomInCell(width), look.size, look.bold);
            }
            needed = std::max(needed, rowHeightForLines(lines, look.size));
        }
        if (needed > 0)
            d->sheet.setRowHeight(row, std::max(needed, d->sheet.rowHeight(row)));
    }
}

void Workbook::ruleThin(const CellRef& corner, const CellRef& oppositeCorner) {
    const int top = std::min(corner.row, oppositeCorner.row),
              bottom = std::max(corner.row, oppositeCorner.row);
    const int left = std::min(corner.column, oppositeCorner.column);
    const int right = std::max(corner.column, oppositeCorner.column);
    CellRef ref;
    for (ref.row = top; ref.row <= bottom; ++ref.row) {
        for (ref.column = left; ref.column <= right; ++ref.column) {
            pugi::xml_node c = d->cell(ref);
            d->sheet.setStyle(c, d->styles.withThinBorders(d->sheet.style(c)));
        }
    }
}

QByteArray Workbook::toBytes() const {
    std::map<std::string, ZipPackage::Change> changes;
    changes[d->sheetPart] = {d->sheet.save(), true};
    if (d->strings.changed() || d->stringsAdded)
        changes[d->stringsPart] = {d->strings.save(), true};
    if (d->styles.changed() || d->stylesAdded)
        changes[d->stylesPart] = {d->styles.save(), false};
    if (d->contentTypesChanged)
        changes[kContentTypesPart] = {d->contentTypes.save(), false};
    if (d->workbookRelsChanged)
        changes[d->workbookRelsPart] = {d->workbookRels.save(), false};
    if (d->workbookChanged)
        changes[d->workbookPart] = {d->workbookXml.save(), false};
    try {
        return d->package->write(changes, d->removed);
    } catch (const ZipPackage::Damaged& e) {
        throw DocumentError(QStringLiteral("Не удалось собрать книгу по шаблону «%1»: %2.")
                                .arg(shown(d->templatePath), russianSystemText(QString::fromUtf8(e.what()))));
    }
}

void Workbook::saveAs(const QString& path) const {
    writeDocumentFile(path, toBytes());
}
