#include "data/FileTable.h"

#include "data/DbError.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDir>
#include <QFileInfo>

FileTable::FileTable(const QString& objectName, const TableLayout& layout, QObject* parent)
    : ReadOnlyDataset(nullptr, objectName, parent), layout_(layout) {
    setCaptionTable(layout_.sqlName);
    for (const FieldDef& f : layout_.fields)
        defineField(f);
}

QString FileTable::caption() const { return QStringLiteral("файл выгрузки заявки"); }
QString FileTable::emptyText() const { return QStringLiteral("в файле выгрузки нет слушателей"); }

void FileTable::setPath(const QString& path) {
    if (isActive())
        fail(QStringLiteral("Ошибка программы: файл набора данных %1 нельзя сменить, пока он открыт")
                 .arg(objectName()));
    path_ = path;
}

void FileTable::openSource() {
    if (path_.isEmpty() || !QFileInfo::exists(path_))
        fail(QStringLiteral("Файл %1 не найден. Выберите другой файл.").arg(QDir::toNativeSeparators(path_)));
    ParadoxTable table;
    try {
        table = readParadoxTable(path_);
    } catch (const ParadoxError& e) {
        throw DbError(e.message());
    }
    QStringList columns;
    for (const ParadoxField& f : table.info.fields)
        columns << f.name;
    const QList<int> columnOf = matchColumns(columns, [this](const Field& missing) {
        return QStringLiteral("Файл %1 не подходит: в нём нет поля «%2». Выберите файл, выгруженный этой программой.")
            .arg(QDir::toNativeSeparators(path_), missing.caption());
    });
    rows_.clear();
    rows_.reserve(size_t(table.rows.size()));
    for (const QVariantList& source : table.rows) {
        Values v(storedFieldCount());
        for (int f = 0; f < storedFieldCount(); ++f) {
            try {
                v[f] = field(f).convert(source[columnOf[f]]);
            } catch (const DbError& e) {
                const QString row = QString::number(rows_.size() + 1);
                rows_.clear();
                fail(QStringLiteral("Файл %1, строка %2: %3").arg(QDir::toNativeSeparators(path_), row, e.message()));
            }
        }
        rows_.push_back(std::move(v));
    }
}
