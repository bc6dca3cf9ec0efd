#include "data/paradox/ParadoxReader.h"
#include "core/SystemText.h"

#include "data/paradox/ParadoxBlocks.h"
#include "data/paradox/ParadoxCodePage.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxMemoFile.h"

#include <cmath>
#include <cstring>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <vector>

namespace {

// A header is at most 64 KB (its size is a word).
constexpr qint64 kMaxHeader = 0x10000;
// Paradox dates run from year 9999 BC to year 9999 AD.
constexpr int kMaxYear = 9999;

QByteArray readWholeFile(const QString& path, const QString& name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ParadoxError(QStringLiteral("Не удалось открыть файл %1: %2").arg(name, fileErrorText(file)));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ParadoxError(QStringLiteral("Не удалось прочитать файл %1: %2").arg(name, fileErrorText(file)));
    return data;
}

// Day numbers (see paradoxDateFromDays) of the first and the last day of that range.
qint64 firstDay() {
    static const qint64 day = paradoxDaysFromDate(QDate(-kMaxYear, 1, 1));
    return day;
}
qint64 lastDay() {
    static const qint64 day = paradoxDaysFromDate(QDate(kMaxYear, 12, 31));
    return day;
}
bool dayInRange(qint64 day) {
    return day >= firstDay() && day <= lastDay();
}

// Sets a slot of the row in place: the reader fills the same row from record to record, so a
// value of the same type is overwritten rather than made anew.
template <typename T> void put(QVariant& slot, T value) {
    slot.setValue(std::move(value));
}
void putEmpty(QVariant& slot) {
    if (slot.isValid())
        slot = QVariant();
}

// Texts lately met in a field, by their bytes. A record list read whole shares one string among
// the records that repeat a value (names, specialties, forms of study) instead of holding a
// copy each; looking a value up costs less than making it anew.
class TextCache {
public:
    QString text(const ParadoxCodePage& codePage, const char* bytes, qsizetype size) {
        quint32 hash = 2166136261u;
        for (qsizetype i = 0; i < size; ++i)
            hash = (hash ^ uchar(bytes[i])) * 16777619u;
        Slot& slot = m_slots[hash % kSlots];
        if (slot.size != size || std::memcmp(slot.bytes, bytes, size_t(size)) != 0) {
            slot.text = codePage.decode(bytes, size);
            slot.size = size;
            std::memcpy(slot.bytes, bytes, size_t(size));
        }
        return slot.text;
    }

private:
    static constexpr int kSlots = 61;
    struct Slot {
        qsizetype size = -1;
        char bytes[255];
        QString text;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(kSlots);
};

// A table file read a stretch at a time: the block headers while the chain is walked, then one
// block's records after another. The file stays open while the reader lives.
class FileSource : public ParadoxSource {
public:
    FileSource(std::unique_ptr<QFile> file, qint64 size, const QString& name)
        : file_(std::move(file)), size_(size), name_(name) {}
    qint64 size() const override { return size_; }
    const char* bytes(qint64 offset, qint64 size, QByteArray& buffer) override {
        if (buffer.size() < size)
            buffer.resize(size);
        if (!file_->seek(offset) || file_->read(buffer.data(), size) != size)
            throw ParadoxError(
                QStringLiteral("Не удалось прочитать файл %1: файл изменился или стал недоступен во "
                               "время чтения. Повторите, когда с ним не работает другая программа.")
                    .arg(name_));
        return buffer.constData();
    }

private:
    std::unique_ptr<QFile> file_;
    qint64 size_;
    QString name_;
};

} // namespace

QString paradoxMemoPath(const QString& path) {
    const QFileInfo table(path);
    const QString wanted = table.completeBaseName() + QStringLiteral(".mb");
    const QDir dir = table.absoluteDir();
    const QString exact = dir.filePath(table.completeBaseName() + QStringLiteral(".MB"));
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList names = dir.entryList({wanted}, QDir::Files | QDir::CaseSensitive);
    if (!names.isEmpty())
        return dir.filePath(names.first());
    for (const QString& name : dir.entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return QString();
}

struct ParadoxReader::Impl {
    std::unique_ptr<ParadoxSource> source;
    QByteArray blockBuffer;           // the current block's records, when read from a file
    const uchar* blockData = nullptr; // the current block's first record
    qsizetype loadedBlock = -1;
    ParadoxTableInfo info;
    QList<ParadoxBlock> blocks;
    ParadoxCodePage codePage;
    ParadoxMemoFile memo;
    MissingMemoFile missingMemo = MissingMemoFile::Refuse;
    QHash<quint64, QVariant> blobs; // decoded .MB blobs by reference and length, shared between records
    bool shareTexts = false;
    std::vector<TextCache> texts; // one an A field, when repeated texts are shared
    qsizetype block = 0;
    int inBlock = 0;
    qint64 record = 0; // 1-based number of the record being decoded

    // `head` is the beginning of the source, at least its header. A file may end inside its last
    // block; the walk checks that every record is there.
    void open(std::unique_ptr<ParadoxSource> from, QByteArrayView head, const QString& name,
              int codePageOverride) {
        source = std::move(from);
        info = parseParadoxHeader(head, source->size(), name, codePageOverride);
        codePage = ParadoxCodePage::forNumber(info.codePage);
        blocks = walkParadoxBlocks(*source, info);
    }

    bool memoMissing() const { return info.hasBlobFields() && !memo.isPresent(); }

    QString memoFileName() const {
        return QFileInfo(info.fileName).completeBaseName() + QStringLiteral(".MB");
    }

    void requireMemo() const {
        if (memoMissing() && missingMemo == MissingMemoFile::Refuse)
            throw ParadoxError(QStringLiteral("Рядом с таблицей %1 нет её файла памяток %2: без него тексты "
                                              "памяток не прочитать. Положите файл %2 рядом с таблицей.")
                                   .arg(info.fileName, memoFileName()));
    }

    [[noreturn]] void badValue(const ParadoxField& field, const QString& what) const {
        throw ParadoxError(paradoxDamaged(info.fileName, where(field) + QStringLiteral(": ") + what));
    }
    QString where(const ParadoxField& field) const {
        return QStringLiteral("запись %1, поле %2").arg(QString::number(record), field.name);
    }

    QVariant decodeBlob(const ParadoxField& field, const uchar* p) {
        const int leader = field.recordBytes - kParadoxBlobRefSize;
        const uchar* ref = p + leader;
        const quint32 offset = paradoxLe32(ref);
        const quint32 length = paradoxLe32(ref + 4);
        const bool text = field.type == ParadoxFieldType::Memo;
        auto value = [&](const char* bytes, qsizetype size) {
            if (!text)
                return QVariant(QByteArray(bytes, size));
            const qsizetype n = qstrnlen(bytes, size);
            return n ? QVariant(codePage.decode(bytes, n)) : QVariant();
        };
        if (length == 0)
            return QVariant();
        if (offset == 0) {
            // Short enough to live in the record alone.
            if (length > quint32(leader))
                badValue(field,
                         QStringLiteral("памятка длиной %1 байт без ссылки на файл памяток").arg(length));
            return value(reinterpret_cast<const char*>(p), length);
        }
        const quint64 key = (quint64(offset) << 32) | length;
        auto cached = blobs.constFind(key);
        if (cached != blobs.constEnd())
            return *cached;
        if (!memo.isPresent()) {
            if (missingMemo == MissingMemoFile::ReadEmpty)
                return QVariant(); // the caller chose to read the table without its .MB
            badValue(field, QStringLiteral("ссылка на файл памяток, которого нет"));
        }
        const QByteArrayView bytes = memo.blob(offset, length, where(field));
        QVariant v = value(bytes.data(), bytes.size());
        blobs.insert(key, v);
        return v;
    }

    void decodeRecord(const uchar* rec, QVariantList& row) {
        const qsizetype count = info.fields.size();
        if (row.size() != count)
            row.resize(count);
        QVariant* out = row.data();
        for (qsizetype i = 0; i < count; ++i) {
            const ParadoxField& field = info.fields[i];
            const uchar* p = rec + field.offset;
            switch (field.type) {
            case ParadoxFieldType::Alpha: {
                const char* text = reinterpret_cast<const char*>(p);
                const qsizetype n = qstrnlen(text, field.recordBytes);
                if (n == 0)
                    putEmpty(out[i]);
                else if (shareTexts)
                    out[i] = QVariant(texts[size_t(i)].text(codePage, text, n));
                else if (out[i].typeId() == QMetaType::QString)
                    codePage.decodeInto(text, n, *static_cast<QString*>(out[i].data()));
                else
                    out[i] = QVariant(codePage.decode(text, n));
                break;
            }
            case ParadoxFieldType::Short:
                if (paradoxBe16(p))
                    put(out[i], int(paradoxDecodeShort(p)));
                else
                    putEmpty(out[i]);
                break;
            case ParadoxFieldType::Long:
            case ParadoxFieldType::AutoInc:
                if (paradoxBe32(p))
                    put(out[i], int(paradoxDecodeLong(p)));
                else
                    putEmpty(out[i]);
                break;
            case ParadoxFieldType::Number:
            case ParadoxFieldType::Money:
                if (paradoxBe64(p))
                    put(out[i], paradoxDecodeDouble(p));
                else
                    putEmpty(out[i]);
                break;
            case ParadoxFieldType::Date: {
                if (!paradoxBe32(p)) {
                    putEmpty(out[i]);
                    break;
                }
                const qint32 day = paradoxDecodeLong(p);
                if (!dayInRange(day))
                    badValue(field, QStringLiteral("недопустимая дата (день %1)").arg(day));
                put(out[i], paradoxDateFromDays(day));
                break;
            }
            case ParadoxFieldType::Time: {
                if (!paradoxBe32(p)) {
                    putEmpty(out[i]);
                    break;
                }
                const qint32 ms = paradoxDecodeLong(p);
                if (ms < 0 || ms >= kParadoxMsPerDay)
                    badValue(field, QStringLiteral("недопустимое время (%1 мс)").arg(ms));
                put(out[i], QTime::fromMSecsSinceStartOfDay(ms));
                break;
            }
            case ParadoxFieldType::Timestamp:
                if (paradoxBe64(p))
                    put(out[i], decodeTimestamp(field, paradoxDecodeDouble(p)));
                else
                    putEmpty(out[i]);
                break;
            case ParadoxFieldType::Logical:
                if (p[0] == 0)
                    putEmpty(out[i]);
                else if (p[0] == 0x80 || p[0] == 0x81)
                    put(out[i], p[0] == 0x81);
                else
                    badValue(field, QStringLiteral("недопустимое логическое значение 0x%1").arg(p[0], 2, 16));
                break;
            case ParadoxFieldType::Bcd: {
                if (paradoxIsAllZero(p, kParadoxBcdBytes)) {
                    putEmpty(out[i]);
                    break;
                }
                double v = 0;
                if (!paradoxDecodeBcd(p, &v))
                    badValue(field, QStringLiteral("недопустимое десятичное число"));
                put(out[i], v);
                break;
            }
            case ParadoxFieldType::Bytes:
                if (paradoxIsAllZero(p, field.recordBytes))
                    putEmpty(out[i]);
                else
                    put(out[i], QByteArray(reinterpret_cast<const char*>(p), field.recordBytes));
                break;
            case ParadoxFieldType::Memo:
            case ParadoxFieldType::Blob:
            case ParadoxFieldType::FormattedMemo:
            case ParadoxFieldType::Ole:
            case ParadoxFieldType::Graphic:
                out[i] = decodeBlob(field, p);
                break;
            }
        }
    }

    QDateTime decodeTimestamp(const ParadoxField& field, double ms) const {
        // Milliseconds since the start of day 0, where day 1 is 1 January of year 1.
        constexpr double kLimit = 4.0e6 * kParadoxMsPerDay; // about 11,000 years either way
        if (!std::isfinite(ms) || std::fabs(ms) > kLimit)
            badValue(field, QStringLiteral("недопустимая отметка времени"));
        qint64 total = qint64(std::llround(ms));
        qint64 days = total / kParadoxMsPerDay;
        qint64 inDay = total % kParadoxMsPerDay;
        if (inDay < 0) {
            inDay += kParadoxMsPerDay;
            --days;
        }
        if (!dayInRange(days))
            badValue(field, QStringLiteral("недопустимая отметка времени"));
        return QDateTime(paradoxDateFromDays(days), QTime::fromMSecsSinceStartOfDay(int(inDay)));
    }
};

ParadoxReader::ParadoxReader(const QString& path, int codePageOverride)
    : ParadoxReader(path, ParadoxReadOptions{codePageOverride, MissingMemoFile::Refuse}) {}

ParadoxReader::ParadoxReader(const QString& path, const ParadoxReadOptions& options)
    : d(std::make_unique<Impl>()) {
    const int codePageOverride = options.codePageOverride;
    d->missingMemo = options.missingMemo;
    const QString name = QFileInfo(path).fileName();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        throw ParadoxError(QStringLiteral("Не удалось открыть файл %1: %2").arg(name, fileErrorText(*file)));
    const qint64 fileSize = file->size();
    // The header first; the blocks are read as they are needed, so a large table never sits in
    // memory whole.
    const QByteArray head = file->read(qMin(fileSize, kMaxHeader));
    if (file->error() != QFileDevice::NoError)
        throw ParadoxError(
            QStringLiteral("Не удалось прочитать файл %1: %2").arg(name, fileErrorText(*file)));
    d->open(std::make_unique<FileSource>(std::move(file), fileSize, name), head, name, codePageOverride);
    if (d->info.hasBlobFields()) {
        const QString memoPath = paradoxMemoPath(path);
        if (!memoPath.isEmpty()) {
            const QString memoName = QFileInfo(memoPath).fileName();
            d->memo = ParadoxMemoFile(readWholeFile(memoPath, memoName), memoName);
        }
    }
    d->requireMemo();
}

ParadoxReader::ParadoxReader(QByteArray table, std::optional<QByteArray> memo, const QString& fileName,
                             int codePageOverride)
    : ParadoxReader(std::move(table), std::move(memo), fileName,
                    ParadoxReadOptions{codePageOverride, MissingMemoFile::Refuse}) {}

ParadoxReader::ParadoxReader(QByteArray table, std::optional<QByteArray> memo, const QString& fileName,
                             const ParadoxReadOptions& options)
    : d(std::make_unique<Impl>()) {
    d->missingMemo = options.missingMemo;
    auto source = std::make_unique<ParadoxMemorySource>(std::move(table));
    QByteArray unused;
    const QByteArrayView head(source->bytes(0, source->size(), unused), source->size());
    d->open(std::move(source), head, fileName, options.codePageOverride);
    if (memo && d->info.hasBlobFields())
        d->memo = ParadoxMemoFile(std::move(*memo), d->memoFileName());
    d->requireMemo();
}

ParadoxReader::~ParadoxReader() = default;

const ParadoxTableInfo& ParadoxReader::info() const {
    return d->info;
}

bool ParadoxReader::memoFileMissing() const {
    return d->memoMissing();
}

QString ParadoxReader::memoFileName() const {
    return d->memoFileName();
}

void ParadoxReader::setShareRepeatedTexts(bool on) {
    d->shareTexts = on;
    if (on && d->texts.empty())
        d->texts.resize(size_t(d->info.fields.size()));
}

bool ParadoxReader::next(QVariantList& row) {
    while (d->block < d->blocks.size() && d->inBlock >= d->blocks[d->block].records) {
        ++d->block;
        d->inBlock = 0;
    }
    if (d->block >= d->blocks.size())
        return false;
    if (d->loadedBlock != d->block) {
        const ParadoxBlock& block = d->blocks[d->block];
        d->blockData = reinterpret_cast<const uchar*>(
            d->source->bytes(block.firstRecord, qint64(block.records) * d->info.recordSize, d->blockBuffer));
        d->loadedBlock = d->block;
    }
    const uchar* rec = d->blockData + qint64(d->inBlock) * d->info.recordSize;
    ++d->inBlock;
    ++d->record;
    d->decodeRecord(rec, row);
    return true;
}

namespace {
ParadoxTable readAll(ParadoxReader& reader) {
    reader.setShareRepeatedTexts(true);
    ParadoxTable table;
    table.info = reader.info();
    table.rows.reserve(table.info.recordCount);
    QVariantList row;
    while (reader.next(row))
        table.rows.append(std::move(row));
    return table;
}
} // namespace

ParadoxTable readParadoxTable(const QString& path, int codePageOverride) {
    ParadoxReader reader(path, codePageOverride);
    return readAll(reader);
}

ParadoxTable readParadoxTable(const QByteArray& data, const std::optional<QByteArray>& memo,
                              const QString& fileName, int codePageOverride) {
    ParadoxReader reader(data, memo, fileName, codePageOverride);
    return readAll(reader);
}
