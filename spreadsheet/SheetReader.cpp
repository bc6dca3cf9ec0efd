#include "spreadsheet/SheetReader.h"

#include "data/paradox/ParadoxCodePage.h"
#include "spreadsheet/CellRef.h"
#include "spreadsheet/DocumentError.h"
#include "spreadsheet/XmlPart.h"
#include "spreadsheet/ZipPackage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QStringDecoder>

#include <freexl.h>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString& fileName, const QString& why) {
    throw DocumentError(
        QStringLiteral("Файл «%1» не удаётся прочитать как таблицу: %2.").arg(shown(fileName), why));
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

// Built-in number formats that show dates (ECMA-376, 18.8.30).
bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
           (id >= 50 && id <= 58);
}

// A format code shows a date when it has day, month or year letters outside quotes, brackets and
// escapes ("[$-419]DD.MM.YYYY", "d mmm yy"); "0.00" and "# ##0" do not.
bool isDateFormatCode(const std::string& code) {
    bool quoted = false, bracket = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            bracket = true;
        else if (!quoted && c == ']')
            bracket = false;
        else if (!quoted && !bracket && c == '\\')
            ++i;
        else if (!quoted && !bracket && std::strchr("dDmMyY", c))
            return true;
    }
    return false;
}

// The cell styles (xl/styles.xml's cellXfs) that show dates, by index.
QSet<int> dateStyles(const ZipPackage& package) {
    QSet<int> dates;
    if (!package.has("xl/styles.xml"))
        return dates;
    XmlPart styles;
    if (!styles.parse(package.read("xl/styles.xml")))
        return dates;
    QSet<int> dateFormats;
    for (pugi::xml_node f : childNamed(styles.root(), "numFmts").children())
        if (isNamed(f, "numFmt") && isDateFormatCode(attributeNamed(f, "formatCode").value()))
            dateFormats.insert(attributeNamed(f, "numFmtId").as_int());
    int index = 0;
    for (pugi::xml_node xf : childNamed(styles.root(), "cellXfs").children()) {
        if (!isNamed(xf, "xf"))
            continue;
        const int format = attributeNamed(xf, "numFmtId").as_int();
        if (isBuiltInDateFormat(format) || dateFormats.contains(format))
            dates.insert(index);
        ++index;
    }
    return dates;
}

// The text of a shared string or inline string: its <t> or the <t> of each run.
QString stringText(pugi::xml_node si) {
    if (pugi::xml_node t = childNamed(si, "t"))
        return QString::fromUtf8(t.text().get());
    QString text;
    for (pugi::xml_node r : si.children())
        if (isNamed(r, "r"))
            text += QString::fromUtf8(childNamed(r, "t").text().get());
    return text;
}

// The part of the workbook's first sheet: through the workbook's relationships, else the usual name.
std::string firstSheetPart(const ZipPackage& package) {
    XmlPart workbook, rels;
    if (package.has("xl/workbook.xml") && package.has("xl/_rels/workbook.xml.rels") &&
        workbook.parse(package.read("xl/workbook.xml")) &&
        rels.parse(package.read("xl/_rels/workbook.xml.rels"))) {
        const pugi::xml_node sheet = childNamed(childNamed(workbook.root(), "sheets"), "sheet");
        const std::string id = attributeNamed(sheet, "id").value();
        for (pugi::xml_node r : rels.root().children())
            if (isNamed(r, "Relationship") && id == attributeNamed(r, "Id").value()) {
                std::string target = attributeNamed(r, "Target").value();
                if (!target.empty() && target.front() == '/')
                    return target.substr(1);
                return "xl/" + target;
            }
    }
    return "xl/worksheets/sheet1.xml";
}

void checkFileSize(qint64 size, const QString& fileName, const SheetLimits& limits) {
    if (size > limits.fileBytes)
        refuse(fileName, QStringLiteral("файл больше %1 МБ").arg(limits.fileBytes / (1024 * 1024)));
}

void checkCellText(const QString& text, const QString& fileName, const SheetLimits& limits) {
    if (text.size() > limits.cellCharacters)
        refuse(fileName, QStringLiteral("в ячейке больше %1 знаков").arg(limits.cellCharacters));
}

void dropTrailingEmpty(QList<SheetCell>& row) {
    while (!row.isEmpty() && row.last().isEmpty())
        row.removeLast();
}

void dropTrailingEmptyRows(Sheet& sheet) {
    while (!sheet.rows.isEmpty() && sheet.rows.last().isEmpty())
        sheet.rows.removeLast();
}

} // namespace

QDate dateFromSerial(double serial) {
    if (!(serial >= 1 && serial < 2958466))
        return {};
    int days = int(std::floor(serial));
    // Serial 60 is 29 February 1900, a day that never was; the days after it are one more.
    if (days == 60)
        return QDate(1900, 2, 28);
    if (days > 60)
        --days;
    return QDate(1899, 12, 31).addDays(days);
}

Sheet readXlsx(const QByteArray& bytes, const QString& fileName, const SheetLimits& limits) {
    checkFileSize(bytes.size(), fileName, limits);
    try {
        const ZipPackage package(bytes);
        if (package.declaredUnpackedSize() > limits.unpackedBytes)
            refuse(fileName, QStringLiteral("распакованный, он занял бы больше %1 МБ")
                                 .arg(limits.unpackedBytes / (1024 * 1024)));
        if (!package.has("[Content_Types].xml"))
            throw ZipPackage::Damaged("not a workbook");
        const std::string sheetPart = firstSheetPart(package);
        if (!package.has(sheetPart))
            refuse(fileName, QStringLiteral("в нём нет листа"));

        QList<QString> shared;
        if (package.has("xl/sharedStrings.xml")) {
            XmlPart strings;
            if (!strings.parse(package.read("xl/sharedStrings.xml")))
                refuse(fileName, QStringLiteral("таблица строк повреждена"));
            for (pugi::xml_node si : strings.root().children())
                if (isNamed(si, "si")) {
                    shared.append(stringText(si));
                    checkCellText(shared.last(), fileName, limits);
                }
        }
        const QSet<int> dates = dateStyles(package);

        XmlPart sheetXml;
        if (!sheetXml.parse(package.read(sheetPart)))
            refuse(fileName, QStringLiteral("лист повреждён"));
        Sheet sheet;
        int lastRow = 0;
        for (pugi::xml_node row : childNamed(sheetXml.root(), "sheetData").children()) {
            if (!isNamed(row, "row"))
                continue;
            const int number = attributeNamed(row, "r").as_int(lastRow + 1);
            if (number <= lastRow || number > limits.rows)
                refuse(fileName, number > limits.rows
                                     ? QStringLiteral("в листе больше %1 строк").arg(limits.rows)
                                     : QStringLiteral("строки листа идут не по порядку"));
            QList<SheetCell> cells;
            int lastColumn = 0;
            for (pugi::xml_node c : row.children()) {
                if (!isNamed(c, "c"))
                    continue;
                int column = lastColumn + 1;
                if (const pugi::xml_attribute ref = attributeNamed(c, "r")) {
                    const std::optional<CellRef> at = CellRef::parse(QString::fromLatin1(ref.value()));
                    if (!at || at->row != number)
                        refuse(fileName, QStringLiteral("неверный адрес ячейки «%1»")
                                             .arg(QString::fromLatin1(ref.value())));
                    column = at->column;
                }
                if (column <= lastColumn)
                    refuse(fileName, QStringLiteral("ячейки строки %1 идут не по порядку").arg(number));
                if (column > limits.columns)
                    continue; // far to the right of any staff list: not read
                lastColumn = column;
                SheetCell cell;
                const std::string type = attributeNamed(c, "t").value();
                const pugi::xml_node value = childNamed(c, "v");
                if (type == "inlineStr") {
                    cell.text = stringText(childNamed(c, "is"));
                } else if (type == "s") {
                    const int index = value.text().as_int(-1);
                    if (index < 0 || index >= shared.size())
                        refuse(fileName, QStringLiteral("ячейка ссылается на строку, которой нет"));
                    cell.text = shared[index];
                } else if (type == "str" || type == "e") {
                    cell.text = type == "e" ? QString() : QString::fromUtf8(value.text().get());
                } else if (value) {
                    bool ok = false;
                    const double number = QString::fromLatin1(value.text().get()).toDouble(&ok);
                    if (!ok)
                        refuse(fileName, QStringLiteral("в ячейке не число: «%1»")
                                             .arg(QString::fromUtf8(value.text().get()).left(40)));
                    cell.number = number;
                    cell.text = numberText(number);
                    cell.kind = SheetCell::Kind::Number;
                    if (type != "b" && dates.contains(attributeNamed(c, "s").as_int(-1)))
                        if (const QDate date = dateFromSerial(number); date.isValid()) {
                            cell.kind = SheetCell::Kind::Date;
                            cell.date = date;
                        }
                }
                checkCellText(cell.text, fileName, limits);
                if (cell.kind == SheetCell::Kind::Empty && !cell.text.isEmpty())
                    cell.kind = SheetCell::Kind::Text;
                cells.resize(column - 1);
                cells.append(cell);
            }
            dropTrailingEmpty(cells);
            while (sheet.rows.size() < number - 1)
                sheet.rows.append(QList<SheetCell>());
            sheet.rows.append(cells);
            lastRow = number;
        }
        dropTrailingEmptyRows(sheet);
        return sheet;
    } catch (const ZipPackage::Damaged&) {
        refuse(fileName, QStringLiteral("это не книга Excel (.xlsx) или она повреждена"));
    }
}

Sheet readCsv(const QByteArray& bytes, const QString& fileName, const SheetLimits& limits) {
    checkFileSize(bytes.size(), fileName, limits);
    QString text;
    {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            text = ParadoxCodePage::forNumber(1251).decode(bytes.constData(), bytes.size());
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.contains(QChar(0)))
        refuse(fileName, QStringLiteral("это не текст"));

    // The separator: the one the first line has more of, outside quotes.
    QChar separator;
    {
        int semicolons = 0, commas = 0;
        bool quoted = false;
        for (const QChar c : text) {
            if (c == u'"')
                quoted = !quoted;
            else if (!quoted && (c == u'\n' || c == u'\r'))
                break;
            else if (!quoted && c == u';')
                ++semicolons;
            else if (!quoted && c == u',')
                ++commas;
        }
        separator = commas > semicolons ? u',' : u';';
    }

    Sheet sheet;
    QList<SheetCell> row;
    QString field;
    bool quoted = false, wasQuoted = false;
    auto endField = [&] {
        checkCellText(field, fileName, limits);
        SheetCell cell;
        cell.text = wasQuoted ? field : field.trimmed();
        cell.kind = cell.text.isEmpty() ? SheetCell::Kind::Empty : SheetCell::Kind::Text;
        if (row.size() < limits.columns)
            row.append(cell);
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        dropTrailingEmpty(row);
        if (sheet.rows.size() >= limits.rows)
            refuse(fileName, QStringLiteral("в файле больше %1 строк").arg(limits.rows));
        sheet.rows.append(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
                if (field.size() > limits.cellCharacters)
                    checkCellText(field, fileName, limits);
            }
        } else if (c == u'"' && field.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRow();
        } else {
            field += c;
            if (field.size() > limits.cellCharacters)
                checkCellText(field, fileName, limits);
        }
    }
    if (quoted)
        refuse(fileName, QStringLiteral("кавычка в конце файла не закрыта"));
    if (!field.isEmpty() || !row.isEmpty())
        endRow();
    dropTrailingEmptyRows(sheet);
    return sheet;
}

Sheet readXls(const QString& path, const SheetLimits& limits) {
    if (!QFileInfo(path).isFile())
        refuse(path, QStringLiteral("файл не открывается"));
    checkFileSize(QFileInfo(path).size(), path, limits);
    const void* book = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &book) != FREEXL_OK) {
        if (book)
            freexl_close(book);
        refuse(path,
               QStringLiteral("это не книга Excel 97–2003 (.xls), или она повреждена или защищена паролем"));
    }
    const auto close = qScopeGuard([book] { freexl_close(book); });
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(book, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(book, &rows, &columns) != FREEXL_OK)
        refuse(path, QStringLiteral("в нём нет листа"));
    if (rows > unsigned(limits.rows))
        refuse(path, QStringLiteral("в листе больше %1 строк").arg(limits.rows));
    Sheet sheet;
    for (unsigned int r = 0; r < rows; ++r) {
        QList<SheetCell> cells;
        for (unsigned short c = 0; c < std::min<unsigned>(columns, unsigned(limits.columns)); ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book, r, c, &value) != FREEXL_OK)
                refuse(path, QStringLiteral("ячейка %1 не читается").arg(CellRef(int(r) + 1, c + 1).name()));
            SheetCell cell;
            switch (value.type) {
            case FREEXL_CELL_INT:
            case FREEXL_CELL_DOUBLE:
                cell.kind = SheetCell::Kind::Number;
                cell.number =
                    value.type == FREEXL_CELL_INT ? value.value.int_value : value.value.double_value;
                cell.text = numberText(cell.number);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                cell.text = QString::fromUtf8(value.value.text_value);
                cell.date = QDate::fromString(cell.text.left(10), Qt::ISODate);
                cell.kind = cell.date.isValid() ? SheetCell::Kind::Date : SheetCell::Kind::Text;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_TIME:
                cell.text = QString::fromUtf8(value.value.text_value);
                cell.kind = cell.text.isEmpty() ? SheetCell::Kind::Empty : SheetCell::Kind::Text;
                break;
            default:
                break;
            }
            checkCellText(cell.text, path, limits);
            cells.append(cell);
        }
        dropTrailingEmpty(cells);
        sheet.rows.append(cells);
    }
    dropTrailingEmptyRows(sheet);
    return sheet;
}

Sheet readSheetFile(const QString& path, const SheetLimits& limits) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("xlsx") && suffix != QLatin1String("xls") && suffix != QLatin1String("csv"))
        refuse(path, QStringLiteral("читаются файлы .xlsx, .xls и .csv"));
    if (suffix == QLatin1String("xls"))
        return readXls(path, limits);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        refuse(path, QStringLiteral("файл не открывается"));
    // One byte more than allowed is enough for the readers to refuse a file that is too large.
    const QByteArray bytes = file.read(limits.fileBytes + 1);
    return suffix == QLatin1String("xlsx") ? readXlsx(bytes, path, limits) : readCsv(bytes, path, limits);
}
