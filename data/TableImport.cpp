#include "data/TableImport.h"

#include "data/DbError.h"
#include "data/Field.h"
#include "data/Layout.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"
#include "data/Store.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

struct Source {
    QString path;
    const TableLayout* layout;
};

// The files to import: a folder gives every table of the program it holds.
QList<Source> collect(const QStringList& paths, QStringList& skipped) {
    QList<Source> sources;
    auto consider = [&](const QFileInfo& fi, bool fromFolder) {
        const TableLayout* layout = nullptr;
        if (fi.suffix().compare(QStringLiteral("db"), Qt::CaseInsensitive) == 0)
            layout = layouts::find(fi.fileName());
        if (!layout) {
            if (!fromFolder)
                throw DbError(
                    QStringLiteral("%1 — не таблица программы: такого имени таблицы нет").arg(fi.fileName()));
            skipped << fi.fileName();
            return;
        }
        for (const Source& s : sources)
            if (s.layout == layout)
                throw DbError(QStringLiteral("Таблица %1 указана дважды: %2 и %3")
                                  .arg(layout->fileName, QDir::toNativeSeparators(s.path),
                                       QDir::toNativeSeparators(fi.filePath())));
        sources << Source{fi.filePath(), layout};
    };
    for (const QString& p : paths) {
        QFileInfo fi(p);
        if (!fi.exists())
            throw DbError(QStringLiteral("Файл или папка %1 не найдены").arg(QDir::toNativeSeparators(p)));
        if (fi.isDir()) {
            const QFileInfoList files = QDir(p).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& f : files)
                if (f.suffix().compare(QStringLiteral("db"), Qt::CaseInsensitive) == 0)
                    consider(f, true);
        } else {
            consider(fi, false);
        }
    }
    return sources;
}

} // namespace

QStringList missingFields(const QList<ParadoxField>& fields, const TableLayout& layout) {
    QStringList missing;
    for (const FieldDef& f : layout.fields)
        if (std::none_of(fields.cbegin(), fields.cend(), [&](const ParadoxField& p) {
                return p.name.compare(f.name, Qt::CaseInsensitive) == 0;
            }))
            missing << f.name;
    return missing;
}

namespace {

// Why nothing was taken from the places given: what they hold, and what the program looks for.
QString noTablesMessage(const QStringList& paths) {
    QStringList found;
    for (const QString& p : paths) {
        const QFileInfo fi(p);
        if (fi.isDir())
            for (const QString& name : QDir(p).entryList(QDir::Files, QDir::Name))
                found << name;
        else
            found << fi.fileName();
    }
    QStringList expected;
    for (const TableLayout& l : layouts::all())
        if (!l.sqlName.startsWith(QStringLiteral("TempZ")))
            expected << l.fileName;
    const QString where =
        paths.size() == 1 ? QDir::toNativeSeparators(paths.first()) : paths.join(QStringLiteral(", "));
    QString message = QStringLiteral("В «%1» нет ни одной таблицы прежней программы. ").arg(where);
    if (found.isEmpty())
        message += QStringLiteral("Папка пуста.");
    else
        message +=
            QStringLiteral("Найдены файлы (не таблицы программы): %1%2.")
                .arg(QStringList(found.mid(0, 20)).join(QStringLiteral(", ")),
                     found.size() > 20 ? QStringLiteral(" и ещё %1").arg(found.size() - 20) : QString());
    return message +
           QStringLiteral(" Программа ищет таблицы Paradox с такими именами: %1. Укажите папку Base "
                          "прежней программы, где они лежат.")
               .arg(expected.join(QStringLiteral(", ")));
}

qint64 rowCount(Store& store, const QString& sqlName) {
    auto st = store.cached(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(sqlName)));
    st->step();
    return st->int64(0);
}

// A table opened for import: its header and block chain checked, its fields matched to the
// layout's by name. The rows are decoded only while they are stored, one at a time.
struct Opened {
    Source source;
    QString file; // the file's name, as messages give it
    std::unique_ptr<ParadoxReader> reader;
    QList<int> sourceColumn; // for each layout field, the source field's position
};

Opened open(const Source& s, const ImportOptions& options) {
    Opened o{s, QFileInfo(s.path).fileName(), nullptr, {}};
    try {
        o.reader = std::make_unique<ParadoxReader>(s.path, ParadoxReadOptions{0, MissingMemoFile::ReadEmpty});
    } catch (const ParadoxError& e) {
        throw DbError(e.message());
    }
    if (o.reader->memoFileMissing() && !options.withoutMissingMemos)
        throw DbError(
            QStringLiteral("Рядом с таблицей %1 нет её файла памяток %2: без него тексты памяток не "
                           "загрузить. Положите файл %2 рядом с таблицей или укажите --force, чтобы "
                           "загрузить строки без этих текстов.")
                .arg(QDir::toNativeSeparators(s.path), o.reader->memoFileName()));
    const QList<ParadoxField>& fields = o.reader->info().fields;
    for (const FieldDef& f : s.layout->fields) {
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i)
            if (fields[i].name.compare(f.name, Qt::CaseInsensitive) == 0)
                found = i;
        o.sourceColumn << found;
    }
    if (const QStringList missing = missingFields(fields, *s.layout); !missing.isEmpty()) {
        QStringList all;
        for (const FieldDef& f : s.layout->fields)
            all << f.name;
        throw DbError(
            QStringLiteral("Файл %1 назван как таблица %2 программы, но это другая таблица: в нём нет полей "
                           "%3. В таблице %2 программы поля такие: %4.")
                .arg(o.file, s.layout->fileName, missing.join(QStringLiteral(", ")),
                     all.join(QStringLiteral(", "))));
    }
    return o;
}

// Turns a value read from a file into what a field of the layout stores.
class ValueConverter {
public:
    explicit ValueConverter(const FieldDef& def)
        : field_(nullptr, 0, def.type == FieldType::AutoInc ? FieldDef{def.name, FieldType::Long, 0} : def,
                 false) {}

    QVariant operator()(const QVariant& v) const {
        if (v.isNull())
            return {};
        if (v.typeId() == QMetaType::Bool)
            return field_.convert(v.toBool() ? 1 : 0);
        if (v.typeId() == QMetaType::QDateTime)
            return field_.convert(v.toDateTime().date());
        return field_.convert(v);
    }

private:
    Field field_;
};

QString rowMessage(const QString& file, qint64 row, const QString& what) {
    return file + QStringLiteral(", строка ") + QString::number(row) + QStringLiteral(": ") + what;
}

// Replaces the rows of the layout's table with the file's, row by row. Throws DbError naming the
// file and the row.
ImportedTable storeRows(Store& store, Opened& o) {
    const TableLayout& layout = *o.source.layout;
    store.exec(QStringLiteral("DELETE FROM %1").arg(quoted(layout.sqlName)));
    QStringList columns, marks;
    std::vector<ValueConverter> converters;
    converters.reserve(size_t(layout.fields.size()));
    for (const FieldDef& f : layout.fields) {
        columns << quoted(f.name);
        marks << QStringLiteral("?");
        converters.emplace_back(f);
    }
    auto insert = store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoted(layout.sqlName), columns.join(u','), marks.join(u',')));
    ImportedTable done{layout.fileName, o.source.path, 0, 0, {}};
    if (o.reader->memoFileMissing())
        done.missingMemoFile = o.reader->memoFileName();
    QVariantList row;
    for (;;) {
        try {
            if (!o.reader->next(row))
                break;
        } catch (const ParadoxError& e) {
            throw DbError(e.message());
        }
        ++done.rowsRead;
        for (int f = 0; f < layout.fields.size(); ++f) {
            try {
                insert->bind(f + 1, converters[size_t(f)](row[o.sourceColumn[f]]));
            } catch (const DbError& e) {
                throw DbError(rowMessage(o.file, done.rowsRead, e.message()));
            }
        }
        try {
            insert->step();
        } catch (const DbError& e) {
            throw DbError(rowMessage(o.file, done.rowsRead, e.message()));
        }
        insert->reset();
        ++done.rowsStored;
    }
    return done;
}

} // namespace

bool isOfficeWork(const QString& sqlName) {
    static const QStringList work = {"Personal",  "Trained",     "Sertif",      "PEREMAIL",  "PERSNILS",
                                     "Zajavki",   "Zajavki2021", "Zajavki2023", "Sluch",     "Sluch2021",
                                     "Sluch2023", "SLSertif",    "SLUCHEMAIL",  "SLUCHSNILS"};
    return work.contains(sqlName);
}

ImportResult importTables(Store& store, const QStringList& paths, const ImportOptions& options) {
    ImportResult result;
    const QList<Source> sources = collect(paths, result.skipped);
    if (sources.isEmpty())
        throw DbError(noTablesMessage(paths));

    // Every file's header, block chain and fields are checked before the store is touched.
    std::vector<Opened> opened;
    QStringList occupied;
    for (const Source& s : sources) {
        const QString layoutError = store.layoutError(s.layout->sqlName);
        if (!layoutError.isEmpty())
            throw DbError(layoutError);
        opened.push_back(open(s, options));
        if (isOfficeWork(s.layout->sqlName) && !options.replace && rowCount(store, s.layout->sqlName) > 0)
            occupied << s.layout->fileName;
    }
    if (!occupied.isEmpty())
        throw DbError(
            QStringLiteral("В базе уже есть данные в таблицах %1; чтобы заменить их, укажите --replace")
                .arg(occupied.join(QStringLiteral(", "))));

    // The rows are decoded as they are stored, in one transaction: a value refused half-way
    // undoes the whole import.
    Store::Transaction transaction(store);
    for (Opened& o : opened) {
        if (options.progress)
            options.progress(int(result.tables.size()), int(opened.size()), o.file);
        result.tables << storeRows(store, o);
    }
    transaction.commit();
    if (options.progress)
        options.progress(int(opened.size()), int(opened.size()), QString());
    return result;
}
