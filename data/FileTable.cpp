#include "data/FileTable.h"

#include "data/DbError.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDir>
#include <QFileInfo>

FileTable::FileTable(const QString& objectName, const TableLayout& layout, QObject* parent)
    : Dataset(nullptr, objectName, parent), layout_(layout) {
    for (const FieldDef& f : layout_.fields)
        defineField(f);
}

void FileTable::setPath(const QString& path) {
    if (isActive())
        fail(QStringLiteral("Файл набора данных %1 нельзя сменить, пока он открыт").arg(objectName()));
    path_ = path;
}

void FileTable::openSource() {
    if (path_.isEmpty() || !QFileInfo::exists(path_))
        fail(QStringLiteral("Файл %1 не найден").arg(QDir::toNativeSeparators(path_)));
    ParadoxTable table;
    try {
        table = readParadoxTable(path_);
    } catch (const ParadoxError& e) {
        throw DbError(e.message());
    }
    QList<int> columnOf;
    for (int f = 0; f < storedFieldCount(); ++f) {
        int found = -1;
        for (int c = 0; c < table.info.fields.size() && found < 0; ++c)
            if (table.info.fields[c].name.compare(field(f).name(), Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            fail(QStringLiteral("В таблице %1 нет поля %2").arg(QFileInfo(path_).fileName(), field(f).name()));
        columnOf << found;
    }
    rows_.clear();
    rows_.reserve(size_t(table.rows.size()));
    for (const QVariantList& source : table.rows) {
        Values v(storedFieldCount());
        for (int f = 0; f < storedFieldCount(); ++f)
            v[f] = field(f).convert(source[columnOf[f]]);
        rows_.push_back(std::move(v));
    }
}

std::vector<RowId> FileTable::fetchView() {
    std::vector<RowId> ids;
    const auto filter = activeFilter();
    for (size_t i = 0; i < rows_.size(); ++i) {
        bool ok = true;
        for (const auto& c : filter)
            ok = ok && sameValue(rows_[i][c.field], c.value);
        if (ok)
            ids.push_back(RowId(i));
    }
    return ids;
}
