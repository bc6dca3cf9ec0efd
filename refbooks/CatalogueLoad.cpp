#include "refbooks/CatalogueLoad.h"

#include "core/PersonName.h"
#include "core/Plural.h"
#include "data/DbError.h"
#include "data/Field.h"
#include "data/Layout.h"
#include "data/paradox/ParadoxReader.h"
#include "data/Store.h"
#include "data/TableImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace refbooks {

namespace {

const QString kCatalogue = QStringLiteral("NewZicl2023");

// The import knows a table by its file name; the centre's file may be called otherwise, so it is
// imported through a copy named as the store's catalogue (with its memo file).
class NamedCopy {
public:
    explicit NamedCopy(const QString& path) {
        if (!QFileInfo(path).isFile())
            throw DbError(QStringLiteral("Файл каталога «%1» не найден").arg(QDir::toNativeSeparators(path)));
        if (!dir_.isValid())
            throw DbError(
                QStringLiteral("Не удалось подготовить загрузку каталога: нет места для временных файлов"));
        path_ = dir_.filePath(kCatalogue + QStringLiteral(".db"));
        bool copied = QFile::copy(path, path_);
        const QString memo = paradoxMemoPath(path);
        if (copied && !memo.isEmpty())
            copied = QFile::copy(memo, dir_.filePath(kCatalogue + QStringLiteral(".MB")));
        if (!copied)
            throw DbError(QStringLiteral("Не удалось прочитать файл каталога «%1»")
                              .arg(QDir::toNativeSeparators(path)));
    }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

// A file of another kind is refused in words: which file it is, and what a catalogue looks like.
void checkIsCatalogue(const QString& path) {
    const TableLayout& catalogue = *layouts::find(kCatalogue);
    QStringList missing;
    try {
        const ParadoxReader reader(path, ParadoxReadOptions{0, MissingMemoFile::ReadEmpty});
        missing = missingFields(reader.info().fields, catalogue);
    } catch (const UserError&) {
        return; // not a table at all: the import names what is wrong with it
    }
    if (missing.isEmpty())
        return;
    QStringList all;
    for (const FieldDef& f : catalogue.fields)
        all << f.name;
    throw DbError(
        QStringLiteral("Файл «%1» — не каталог программ учебного центра: в нём нет полей %2. Каталог — "
                       "таблица Paradox, которую учебный центр присылает каждый год (обычно "
                       "NewZicl2023.db с файлом NewZicl2023.MB рядом), с полями %3: код программы, вид "
                       "и часы обучения, название, контингент, год каталога, основная и дополнительные "
                       "специальности, форма обучения.")
            .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral(", ")),
                 all.join(QStringLiteral(", "))));
}

void import(Store& store, const QString& path) {
    checkIsCatalogue(path);
    const NamedCopy copy(path);
    try {
        importTables(store, {copy.path()}, false);
    } catch (const UserError& e) {
        // The copy's name means nothing to the user: the message names the file chosen.
        QString message = e.message();
        message.replace(QDir::toNativeSeparators(copy.path()), QDir::toNativeSeparators(path));
        message.replace(QFileInfo(copy.path()).fileName(), QFileInfo(path).fileName());
        throw DbError(message);
    }
}

QList<CatalogueProgramme> programmes(Store& store, const QString& sql) {
    QList<CatalogueProgramme> out;
    auto st = store.cached(sql);
    while (st->step())
        out << CatalogueProgramme{st->rawValue(0).toString(), st->rawValue(1).toString(), int(st->int64(2)),
                                  int(st->int64(3)),          st->rawValue(4).toString(), {}};
    return out;
}

// Whether two values are the same, two empty ones alike, in SQL both back ends read.
QString same(const QString& a, const QString& b) {
    return QStringLiteral("COALESCE(%1 = %2, %1 IS NULL AND %2 IS NULL)").arg(a, b);
}
QString sameColumns(const QString& a, const QString& b, const QStringList& columns) {
    QStringList terms;
    for (const QString& c : columns)
        terms << same(a + u'.' + c, b + u'.' + c);
    return terms.join(QStringLiteral(" AND "));
}

// The key of an offering in one catalogue year, compared between the old catalogue (o) and the
// new one (n); texts compared as stored, empty ones alike.
const QString kSameKey = sameColumns(
    QStringLiteral("n"), QStringLiteral("o"),
    {QStringLiteral("KZicl"), QStringLiteral("VidOb"), QStringLiteral("Hours"), QStringLiteral("\"Year\"")});
const QString kColumns = QStringLiteral("KZicl, VidOb, Hours, \"Year\", NZicl");
const QString kOrder = QStringLiteral(" ORDER BY KZicl, VidOb, Hours, \"Year\"");

} // namespace

QString CatalogueProgramme::describe() const {
    QString text = code;
    if (!kind.isEmpty())
        text += u' ' + kind;
    text += QStringLiteral(", %1 ч., %2").arg(QString::number(hours), QString::number(year));
    if (!name.isEmpty())
        text += QStringLiteral(": ") + name;
    if (!changes.isEmpty())
        text += QStringLiteral(" — изменены: ") + changes.join(QStringLiteral(", "));
    return text;
}

QString CatalogueComparison::summary() const {
    if (changesNothing())
        return QStringLiteral("каталог не изменился");
    return QStringLiteral("новых программ: %1, изменённых: %2, исчезнувших: %3")
        .arg(QString::number(added.size()), QString::number(changed.size()),
             QString::number(vanished.size()));
}

CatalogueComparison compareCatalogue(Store& store, const QString& path, int currentYear) {
    CatalogueComparison c;
    c.file = path;
    // The new catalogue is imported inside a transaction that is then undone: the comparison
    // sees both catalogues, and nothing is kept.
    Store::Transaction transaction(store);
    store.exec(QStringLiteral("CREATE TEMP TABLE old_catalogue AS SELECT * FROM NewZicl2023"));
    import(store, path);
    {
        auto count = store.cached(QStringLiteral("SELECT COUNT(*) FROM NewZicl2023"));
        count->step();
        c.rows = int(count->int64(0));
    }
    c.added = programmes(store, QStringLiteral("SELECT %1 FROM NewZicl2023 n WHERE NOT EXISTS "
                                               "(SELECT 1 FROM old_catalogue o WHERE %2)%3")
                                    .arg(kColumns, kSameKey, kOrder));
    c.vanished = programmes(store, QStringLiteral("SELECT %1 FROM old_catalogue o WHERE NOT EXISTS "
                                                  "(SELECT 1 FROM NewZicl2023 n WHERE %2)%3")
                                       .arg(kColumns, kSameKey, kOrder));
    {
        // Each changed offering with what differs from the old one of the same key.
        const struct {
            const char* field;
            const char* word;
        } compared[] = {{"NZicl", "название"},
                        {"TypeOb", "тип обучения"},
                        {"FOBUCH", "форма обучения"},
                        {"Contingent", "контингент"},
                        {"SPECIALY", "основная специальность"},
                        {"ADDSPECIALTY", "дополнительные специальности"}};
        QStringList differs;
        for (const auto& f : compared)
            differs << QStringLiteral("NOT ") + same(QStringLiteral("n.") + QLatin1String(f.field),
                                                     QStringLiteral("o.") + QLatin1String(f.field));
        QStringList anyDiffers;
        for (const QString& d : differs)
            anyDiffers << QStringLiteral("MAX(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(d);
        auto st = store.cached(
            QStringLiteral("SELECT n.KZicl, n.VidOb, n.Hours, n.\"Year\", n.NZicl, %1 "
                           "FROM NewZicl2023 n JOIN old_catalogue o ON %2 WHERE %3 "
                           "GROUP BY n.rowid, n.KZicl, n.VidOb, n.Hours, n.\"Year\", n.NZicl "
                           "ORDER BY n.KZicl, n.VidOb, n.Hours, n.\"Year\"")
                .arg(anyDiffers.join(QStringLiteral(", ")), kSameKey, differs.join(QStringLiteral(" OR "))));
        while (st->step()) {
            CatalogueProgramme p{st->rawValue(0).toString(), st->rawValue(1).toString(), int(st->int64(2)),
                                 int(st->int64(3)),          st->rawValue(4).toString(), {}};
            for (int i = 0; i < int(std::size(compared)); ++i)
                if (st->int64(5 + i))
                    p.changes << QString::fromUtf8(compared[i].word);
            c.changed << p;
        }
    }

    // Vanished offerings that the new catalogue has in no year, and that trainees of this or next
    // year's applications carry.
    const QStringList offeringKey{QStringLiteral("KZicl"), QStringLiteral("VidOb"), QStringLiteral("Hours")};
    auto inUse = store.cached(
        QStringLiteral(
            "SELECT o.KZicl, o.VidOb, o.Hours, MAX(o.\"Year\"), MAX(o.NZicl), s.KZajavki, s.\"Year\", "
            "COUNT(*), "
            "%1 "
            "FROM (SELECT DISTINCT KZicl, VidOb, Hours, \"Year\", NZicl FROM old_catalogue) o "
            "JOIN Sluch2023 s ON %2 "
            "WHERE s.\"Year\" IN (:this, :next) AND NOT EXISTS (SELECT 1 FROM NewZicl2023 n WHERE %3) "
            "GROUP BY o.KZicl, o.VidOb, o.Hours, s.KZajavki, s.\"Year\" "
            "ORDER BY o.KZicl, o.VidOb, o.Hours, s.\"Year\", s.KZajavki")
            .arg(store.groupText(QStringLiteral("COALESCE(s.Name1, '') || :unit || "
                                                "COALESCE(s.Name2, '') || :unit || "
                                                "COALESCE(s.Name3, '')"),
                                 QStringLiteral(":record")),
                 sameColumns(QStringLiteral("s"), QStringLiteral("o"), offeringKey),
                 sameColumns(QStringLiteral("n"), QStringLiteral("o"), offeringKey)));
    inUse->bindNamed(QStringLiteral(":unit"), QString(QChar(31)));
    inUse->bindNamed(QStringLiteral(":record"), QString(QChar(30)));
    inUse->bindNamed(QStringLiteral(":this"), currentYear);
    inUse->bindNamed(QStringLiteral(":next"), currentYear + 1);
    while (inUse->step()) {
        const CatalogueProgramme p{inUse->rawValue(0).toString(), inUse->rawValue(1).toString(),
                                   int(inUse->int64(2)),          int(inUse->int64(3)),
                                   inUse->rawValue(4).toString(), {}};
        if (c.vanishedInUse.isEmpty() || c.vanishedInUse.last().programme.code != p.code ||
            c.vanishedInUse.last().programme.kind != p.kind ||
            c.vanishedInUse.last().programme.hours != p.hours)
            c.vanishedInUse << ProgrammeInUse{p, {}};
        const double number = inUse->rawValue(5).toDouble();
        QStringList trainees;
        for (const QString& person : inUse->rawValue(8).toString().split(QChar(30), Qt::SkipEmptyParts)) {
            const QStringList names = person.split(QChar(31));
            trainees << surnameAndInitials(names.value(0), names.value(1), names.value(2));
        }
        c.vanishedInUse.last().applications
            << QStringLiteral("заявка %1 на %2 год: %3 (%4)")
                   .arg(formatNumber(number), QString::number(inUse->int64(6)),
                        counted(inUse->int64(7), "слушатель", "слушателя", "слушателей"),
                        trainees.join(QStringLiteral(", ")));
    }
    return c; // the transaction is undone here: the store keeps its catalogue
}

void loadCatalogue(Store& store, const QString& path) {
    import(store, path);
}

} // namespace refbooks
