#include "data/FileTable.h"

#include "data/DbError.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDir>
#include <QFileInfo>

FileTable::FileTable(const QString& objectName, const TableLayout& layout, QObject* parent)
    : ReadOnlyDataset(nullptr, objectName, parent), layout_(layout) {
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
    QStringList columns;
    for (const ParadoxField& f : table.info.fields)
        columns << f.name;
    const QList<int> columnOf = matchColumns(columns, [this](const QString& name) {
        return QStringLiteral("В таблице %1 нет поля %2").arg(QFileInfo(path_).fileName(), name);
    });
    rows_.clear();
    rows_.reserve(size_t(table.rows.size()));
    for (const QVariantList& source : table.rows) {
        Values v(storedFieldCount());
        for (int f = 0; f < storedFieldCount(); ++f)
            v[f] = field(f).convert(source[columnOf[f]]);
        rows_.push_back(std::move(v));
    }
}
