#include "data/paradox/ParadoxWriter.h"
#include "core/SystemText.h"

#include "core/SafeFile.h"
#include "data/paradox/ParadoxCodePage.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxHeaderWriter.h"

#include <cmath>
#include <QDateTime>
#include <QFileInfo>
#include <QIODevice>

namespace {

// The language driver "Pdox ANSI Cyrillic": code page 1251, sort order id 143 (0x8F) at 0x29 and
// sort order name "ancyrr" at the end of the header. Source: the table of BDE language drivers
// published with the Lazarus CCR Paradox dataset component (components/tparadoxdataset), which
// lists (Name 'Pdox ANSI Cyrillic', SortOrder 143, CodePage 1251, SortOrderID 'ancyrr'); its
// entries for the drivers of our sample tables ("ascii" 0, "ANSII850" 17, "DBWINWE0" 64,
// "nordan40" 230, "china" 3) match what those tables carry. Programs open Russian Paradox
// tables with LANGDRIVER=ancyrr.
constexpr int kCodePage = 1251;
constexpr int kSortOrderId = 0x8F;
constexpr char kSortOrderName[] = "ancyrr";

constexpr int kMaxBlocks = 0xFFFF;
constexpr int kMaxFieldName = 25;

const QChar kMinus(0x2212);
const QChar kEllipsis(0x2026);

QString rangeText(qint64 max) {
    return kMinus + QString::number(max) + kEllipsis + QString::number(max);
}

QString shown(const QVariant& value) {
    QString text = value.toString();
    if (text.size() > 40)
        text = text.left(40) + kEllipsis;
    return QStringLiteral("«%1» (%2)").arg(text, QString::fromLatin1(value.typeName()));
}

bool isIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    }
    return false;
}

struct Column {
    QString name;
    FieldType type;
    ParadoxFieldType paradoxType;
    int size;   // width in the record
    int offset; // in the record
};

ParadoxFieldType paradoxTypeOf(const FieldDef& field) {
    switch (field.type) {
    case FieldType::AutoInc:
        return ParadoxFieldType::AutoInc;
    case FieldType::Alpha:
        return ParadoxFieldType::Alpha;
    case FieldType::Short:
        return ParadoxFieldType::Short;
    case FieldType::Long:
        return ParadoxFieldType::Long;
    case FieldType::Number:
        return ParadoxFieldType::Number;
    case FieldType::Date:
        return ParadoxFieldType::Date;
    case FieldType::Memo:
        return ParadoxFieldType::Memo;
    }
    return ParadoxFieldType::Alpha;
}

int recordBytesOf(const FieldDef& field) {
    switch (field.type) {
    case FieldType::Alpha:
        return field.size;
    case FieldType::Short:
        return 2;
    case FieldType::AutoInc:
    case FieldType::Long:
    case FieldType::Date:
        return 4;
    case FieldType::Number:
        return 8;
    case FieldType::Memo:
        return field.size;
    }
    return 0;
}

// Encodes rows into records, checking each value against its field.
class RecordEncoder {
public:
    RecordEncoder(const TableLayout& layout, const ParadoxCodePage& codePage) : m_codePage(codePage) {
        int offset = 0;
        for (const FieldDef& field : layout.fields) {
            if (field.type == FieldType::Memo)
                throw ParadoxError(QStringLiteral("Поле %1: запись полей памяток (M) в таблицы Paradox не "
                                                  "поддерживается")
                                       .arg(field.name));
            if (field.type == FieldType::Alpha && (field.size < 1 || field.size > 255))
                throw ParadoxError(QStringLiteral("Поле %1: ширина текстового поля %2 вне диапазона 1…255")
                                       .arg(field.name, QString::number(field.size)));
            if (field.name.isEmpty() || field.name.size() > kMaxFieldName)
                throw ParadoxError(QStringLiteral("Поле «%1»: имя поля должно содержать от 1 до %2 знаков")
                                       .arg(field.name, QString::number(kMaxFieldName)));
            for (QChar c : field.name)
                if (m_codePage.encodeChar(c.unicode()) < 0)
                    throw ParadoxError(
                        QStringLiteral("Поле %1: знак «%2» имени нельзя записать в кодировке %3")
                            .arg(field.name, QString(c), QString::number(m_codePage.number())));
            const int size = recordBytesOf(field);
            m_columns.append({field.name, field.type, paradoxTypeOf(field), size, offset});
            offset += size;
        }
        m_recordSize = offset;
        if (m_columns.isEmpty() || m_recordSize > kParadoxWriteBlockSize - kParadoxBlockHeaderSize)
            throw ParadoxError(QStringLiteral("Таблица %1: недопустимый набор полей (размер записи %2 байт)")
                                   .arg(layout.fileName, QString::number(m_recordSize)));
    }

    int recordSize() const { return m_recordSize; }
    const QList<Column>& columns() const { return m_columns; }
    qint32 autoIncrement() const { return m_autoIncrement; }

    // Writes `values` (row number `row`, 1-based) into `record`, which is all zero.
    void encode(const QVariantList& values, qint64 row, uchar* record) {
        if (values.size() != m_columns.size())
            throw ParadoxError(QStringLiteral("Строка %1: значений %2, а полей в таблице %3")
                                   .arg(row)
                                   .arg(values.size())
                                   .arg(m_columns.size()));
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const Column& column = m_columns[i];
            const QVariant& value = values[i];
            // Empty: no value, a null one, an empty string, an invalid date. All stay zero bytes.
            // (A null string or date is empty already, so only other types need isNull().)
            const int type = value.typeId();
            if (type == QMetaType::UnknownType ||
                (type != QMetaType::QString && type != QMetaType::QDate && value.isNull()))
                continue;
            uchar* out = record + column.offset;
            switch (column.type) {
            case FieldType::Alpha:
                encodeText(column, value, row, out);
                break;
            case FieldType::Short:
            case FieldType::Long:
            case FieldType::AutoInc: {
                // The file keeps the type's lowest value for an empty field: the range is symmetric.
                const qint64 max = integerRange(column.type).highest;
                const qint64 v = integer(column, value, row);
                if (v < -max || v > max)
                    fail(row, column,
                         QStringLiteral("значение %1 вне диапазона %2").arg(v).arg(rangeText(max)));
                if (column.type == FieldType::Short)
                    paradoxEncodeShort(out, qint16(v));
                else
                    paradoxEncodeLong(out, qint32(v));
                if (column.type == FieldType::AutoInc && v > m_autoIncrement)
                    m_autoIncrement = qint32(v);
                break;
            }
            case FieldType::Number: {
                const double v = number(column, value, row);
                paradoxEncodeDouble(out, v);
                break;
            }
            case FieldType::Date: {
                if (value.typeId() != QMetaType::QDate)
                    fail(row, column, QStringLiteral("ожидается дата, а передано %1").arg(shown(value)));
                const QDate& date = *static_cast<const QDate*>(value.constData());
                if (!date.isValid())
                    break; // empty
                const qint64 day = paradoxDaysFromDate(date);
                if (day < m_firstDay || day > m_lastDay)
                    fail(row, column,
                         QStringLiteral("дата ") + date.toString(QStringLiteral("dd.MM.yyyy")) +
                             QStringLiteral(" вне диапазона 01.01.0001") + kEllipsis +
                             QStringLiteral("31.12.9999"));
                paradoxEncodeLong(out, qint32(day));
                break;
            }
            case FieldType::Memo:
                break; // refused in the constructor
            }
        }
    }

private:
    [[noreturn]] static void fail(qint64 row, const Column& column, const QString& what) {
        throw ParadoxValueError(row, column.name, what);
    }

    void encodeText(const Column& column, const QVariant& value, qint64 row, uchar* out) const {
        if (value.typeId() != QMetaType::QString)
            fail(row, column, QStringLiteral("ожидается текст, а передано %1").arg(shown(value)));
        const QString& text = *static_cast<const QString*>(value.constData());
        if (text.size() > column.size)
            fail(row, column,
                 QStringLiteral("текст длиной %1 знаков не помещается в поле A %2")
                     .arg(text.size())
                     .arg(column.size));
        const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
        const unsigned char* table = m_codePage.encodeTable();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const unsigned char b = table[units[i]];
            if (b == 0) {
                const char32_t code = QChar::isHighSurrogate(units[i]) && i + 1 < text.size()
                                          ? QChar::surrogateToUcs4(units[i], units[i + 1])
                                          : char32_t(units[i]);
                const QString character = code == 0 ? QStringLiteral("\\0") : QString::fromUcs4(&code, 1);
                fail(row, column,
                     QStringLiteral("знак «%1» (U+%2) нельзя записать в кодировке %3")
                         .arg(character, QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'),
                              QString::number(m_codePage.number())));
            }
            out[i] = b;
        }
    }

    static qint64 integer(const Column& column, const QVariant& value, qint64 row) {
        const int type = value.typeId();
        if (type == QMetaType::Int)
            return *static_cast<const int*>(value.constData());
        if (type == QMetaType::LongLong)
            return *static_cast<const qlonglong*>(value.constData());
        if (isIntegerType(type)) {
            if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
                const qulonglong u = value.toULongLong();
                if (u > qulonglong(integerRange(FieldType::Long).highest))
                    fail(row, column, QStringLiteral("значение %1 вне диапазона").arg(u));
            }
            return value.toLongLong();
        }
        if (type == QMetaType::Double || type == QMetaType::Float) {
            const double d = value.toDouble();
            if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
                return qint64(d);
        }
        fail(row, column, QStringLiteral("ожидается целое число, а передано %1").arg(shown(value)));
    }

    static double number(const Column& column, const QVariant& value, qint64 row) {
        const int type = value.typeId();
        if (type == QMetaType::Double) {
            const double d = *static_cast<const double*>(value.constData());
            if (std::isfinite(d))
                return d;
        }
        if (type != QMetaType::Double && type != QMetaType::Float && !isIntegerType(type))
            fail(row, column, QStringLiteral("ожидается число, а передано %1").arg(shown(value)));
        const double d = value.toDouble();
        if (!std::isfinite(d))
            fail(row, column,
                 QStringLiteral("значение %1 не является конечным числом").arg(value.toString()));
        return d;
    }

    ParadoxCodePage m_codePage;
    // Day numbers of 1 January of year 1 and 31 December 9999, the dates a table may hold.
    const qint64 m_firstDay = paradoxDaysFromDate(QDate(1, 1, 1));
    const qint64 m_lastDay = paradoxDaysFromDate(QDate(9999, 12, 31));
    QList<Column> m_columns;
    int m_recordSize = 0;
    qint32 m_autoIncrement = 0;
};

QString tableNameFor(const QString& given, const QString& fallback) {
    return given.isEmpty() ? fallback : given;
}

// The table as a header and a run of data blocks, encoded a stretch of blocks at a time.
class TableEncoder {
public:
    TableEncoder(const TableLayout& layout, const QList<QVariantList>& rows,
                 const ParadoxWriteOptions& options)
        : m_codePage(ParadoxCodePage::forNumber(kCodePage)), m_encoder(layout, m_codePage), m_rows(rows) {
        m_recordSize = m_encoder.recordSize();
        m_perBlock = (kParadoxWriteBlockSize - kParadoxBlockHeaderSize) / m_recordSize;
        const qint64 maxRows = qint64(m_perBlock) * kMaxBlocks;
        if (rows.size() > maxRows)
            throw ParadoxError(
                QStringLiteral("Слишком много строк для одной таблицы Paradox: %1 (не больше %2)")
                    .arg(rows.size())
                    .arg(maxRows));
        m_blocks = int((rows.size() + m_perBlock - 1) / m_perBlock);

        for (const Column& column : m_encoder.columns())
            m_content.fields.append({column.name, column.paradoxType, column.size});
        m_content.tableName = tableNameFor(options.tableName, layout.fileName);
        m_content.recordSize = m_recordSize;
        m_content.blockSize = kParadoxWriteBlockSize;
        m_content.recordCount = rows.size();
        m_content.blocks = m_blocks;
        m_content.updateTime =
            quint32(options.updateTime >= 0 ? options.updateTime : QDateTime::currentSecsSinceEpoch());
        m_content.codePage = kCodePage;
        m_content.sortOrderId = kSortOrderId;
        m_content.sortOrderName = QByteArray(kSortOrderName);
        m_headerSize = buildParadoxHeader(m_content, m_codePage).size();
    }

    int blocks() const { return m_blocks; }
    qint64 headerSize() const { return m_headerSize; }

    // The header; its auto-increment counter counts the blocks encoded so far.
    QByteArray header() {
        m_content.autoIncrement = m_encoder.autoIncrement();
        return buildParadoxHeader(m_content, m_codePage);
    }

    // Encodes blocks first..first+count−1 (0-based) into `out`, which must be zero. Blocks are
    // numbered 1..n in chain order, every one full but the last.
    void encodeBlocks(int first, int count, uchar* out) {
        for (int b = first; b < first + count; ++b, out += kParadoxWriteBlockSize) {
            qint64 row = qint64(b) * m_perBlock;
            const int records = int(qMin<qint64>(m_perBlock, m_rows.size() - row));
            paradoxPutLe16(out, quint16(b + 1 < m_blocks ? b + 2 : 0));
            paradoxPutLe16(out + 2, quint16(b));
            paradoxPutLe16(out + 4, quint16(qint16((records - 1) * m_recordSize)));
            uchar* record = out + kParadoxBlockHeaderSize;
            for (int i = 0; i < records; ++i, ++row, record += m_recordSize)
                m_encoder.encode(m_rows[row], row + 1, record);
        }
    }

private:
    ParadoxCodePage m_codePage;
    RecordEncoder m_encoder;
    const QList<QVariantList>& m_rows;
    ParadoxHeaderContent m_content;
    int m_recordSize = 0;
    int m_perBlock = 0;
    int m_blocks = 0;
    qint64 m_headerSize = 0;
};

} // namespace

QByteArray encodeParadoxTable(const TableLayout& layout, const QList<QVariantList>& rows,
                              const ParadoxWriteOptions& options) {
    TableEncoder table(layout, rows, options);
    QByteArray file(table.headerSize() + qint64(table.blocks()) * kParadoxWriteBlockSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    table.encodeBlocks(0, table.blocks(), bytes + table.headerSize());
    const QByteArray header = table.header();
    std::memcpy(bytes, header.constData(), size_t(header.size()));
    return file;
}

void writeParadoxTable(QIODevice& device, const TableLayout& layout, const QList<QVariantList>& rows,
                       const ParadoxWriteOptions& options) {
    // All of it in memory first: the device gets nothing when a row is refused.
    const QByteArray bytes = encodeParadoxTable(layout, rows, options);
    if (device.write(bytes) != bytes.size())
        throw ParadoxError(QStringLiteral("Не удалось записать таблицу %1: %2")
                               .arg(tableNameFor(options.tableName, layout.fileName),
                                    russianSystemText(device.errorString())));
}

void writeParadoxTable(const QString& path, const TableLayout& layout, const QList<QVariantList>& rows,
                       const ParadoxWriteOptions& options) {
    ParadoxWriteOptions named = options;
    named.tableName = tableNameFor(options.tableName, QFileInfo(path).fileName());
    TableEncoder table(layout, rows, named);

    // The temporary file takes the table a megabyte at a time, so a large table never sits in
    // memory whole; a refused row abandons it, so the target never sees a partial table. The
    // header goes last, once the auto-increment counter is known.
    try {
        AtomicFileWriter file(path);
        file.write(QByteArray(table.headerSize(), '\0'));
        constexpr int kChunkBlocks = 256;
        QByteArray chunk(qint64(kChunkBlocks) * kParadoxWriteBlockSize, '\0');
        for (int first = 0; first < table.blocks(); first += kChunkBlocks) {
            const int count = qMin(kChunkBlocks, table.blocks() - first);
            const qint64 bytes = qint64(count) * kParadoxWriteBlockSize;
            if (first > 0)
                std::memset(chunk.data(), 0, size_t(bytes));
            table.encodeBlocks(first, count, reinterpret_cast<uchar*>(chunk.data()));
            file.write(chunk.constData(), bytes);
        }
        file.writeAt(0, table.header());
        file.commit();
    } catch (const ParadoxError&) {
        throw;
    } catch (const UserError& e) {
        throw ParadoxError(e.message());
    }
}
