#include "data/TableImport.h"

#include "data/DbError.h"
#include "data/Field.h"
#include "data/Layout.h"
#include "data/Store.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

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
                throw DbError(QStringLiteral("%1 — не таблица программы: такого имени таблицы нет").arg(fi.fileName()));
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

qint64 rowCount(Store& store, const QString& sqlName) {
    auto st = store.cached(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(sqlName)));
    st->step();
    return st->int64(0);
}

// Reads a whole table and maps its fields onto the layout; refuses a table lacking a field.
struct Mapped {
    QList<int> sourceColumn; // for each layout field, the source field's position
    ParadoxTable table;
};

Mapped readMapped(const Source& s) {
    Mapped m;
    try {
        m.table = readParadoxTable(s.path);
    } catch (const ParadoxError& e) {
        throw DbError(e.message());
    }
    QStringList missing;
    for (const FieldDef& f : s.layout->fields) {
        int found = -1;
        for (int i = 0; i < m.table.info.fields.size() && found < 0; ++i)
            if (m.table.info.fields[i].name.compare(f.name, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            missing << f.name;
        m.sourceColumn << found;
    }
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("В таблице %1 нет полей: %2").arg(QFileInfo(s.path).fileName(), missing.join(u',')));
    return m;
}

QVariant convertValue(const FieldDef& def, const QVariant& v, int row, const QString& file) {
    if (v.isNull())
        return {};
    QVariant in = v;
    if (v.typeId() == QMetaType::Bool)
        in = v.toBool() ? 1 : 0;
    else if (v.typeId() == QMetaType::QDateTime)
        in = v.toDateTime().date();
    try {
        return Field(nullptr, 0, def.type == FieldType::AutoInc ? FieldDef{def.name, FieldType::Long, 0} : def, false)
            .convert(in);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("%1, строка %2: %3").arg(file).arg(row).arg(e.message()));
    }
}

} // namespace

bool isOfficeWork(const QString& sqlName) {
    static const QStringList work = {"Personal", "Trained",     "Sertif",   "PEREMAIL",    "PERSNILS",
                                     "Zajavki",  "Zajavki2021", "Zajavki2023", "Sluch",    "Sluch2021",
                                     "Sluch2023", "SLSertif",   "SLUCHEMAIL", "SLUCHSNILS"};
    return work.contains(sqlName);
}

ImportResult importTables(Store& store, const QStringList& paths, bool replace, const ImportProgress& progress) {
    ImportResult result;
    const QList<Source> sources = collect(paths, result.skipped);
    if (sources.isEmpty())
        throw DbError(QStringLiteral("Не найдено ни одной таблицы программы для загрузки"));

    // Everything is read and checked before the store is touched.
    QList<Mapped> mapped;
    QStringList occupied;
    for (const Source& s : sources) {
        const QString layoutError = store.layoutError(s.layout->sqlName);
        if (!layoutError.isEmpty())
            throw DbError(layoutError);
        mapped << readMapped(s);
        if (isOfficeWork(s.layout->sqlName) && !replace && rowCount(store, s.layout->sqlName) > 0)
            occupied << s.layout->fileName;
    }
    if (!occupied.isEmpty())
        throw DbError(QStringLiteral("В базе уже есть данные в таблицах %1; чтобы заменить их, укажите --replace")
                          .arg(occupied.join(QStringLiteral(", "))));

    Store::Transaction transaction(store);
    for (int t = 0; t < sources.size(); ++t) {
        const TableLayout& layout = *sources[t].layout;
        const Mapped& m = mapped[t];
        const QString file = QFileInfo(sources[t].path).fileName();
        if (progress)
            progress(t, int(sources.size()), file);
        store.exec(QStringLiteral("DELETE FROM %1").arg(quoted(layout.sqlName)));
        QStringList columns, marks;
        for (const FieldDef& f : layout.fields) {
            columns << quoted(f.name);
            marks << QStringLiteral("?");
        }
        auto insert = store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(quoted(layout.sqlName), columns.join(u','), marks.join(u',')));
        ImportedTable done{layout.fileName, sources[t].path, int(m.table.rows.size()), 0};
        for (int r = 0; r < m.table.rows.size(); ++r) {
            const QVariantList& row = m.table.rows[r];
            for (int f = 0; f < layout.fields.size(); ++f)
                insert->bind(f + 1, convertValue(layout.fields[f], row[m.sourceColumn[f]], r + 1, file));
            try {
                insert->step();
            } catch (const DbError& e) {
                throw DbError(QStringLiteral("%1, строка %2: %3").arg(file).arg(r + 1).arg(e.message()));
            }
            insert->reset();
            ++done.rowsStored;
        }
        result.tables << done;
    }
    transaction.commit();
    if (progress)
        progress(int(sources.size()), int(sources.size()), QString());
    return result;
}
