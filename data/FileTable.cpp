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

QString FileTable::caption() const {
    return QStringLiteral("файл выгрузки заявки");
}
QString FileTable::emptyText() const {
    return QStringLiteral("в файле выгрузки нет слушателей");
}

void FileTable::setPath(const QString& path) {
    if (isActive())
        fail(QStringLiteral("Ошибка программы: файл набора данных %1 нельзя сменить, пока он открыт")
                 .arg(objectName()));
    path_ = path;
}

void FileTable::openSource() {
    if (path_.isEmpty() || !QFileInfo::exists(path_))
        fail(QStringLiteral("Файл %1 не найден. Выберите другой файл.").arg(QDir::toNativeSeparators(path_)));
    // The rows are decoded one at a time straight into the dataset's rows: the file is never held
    // twice, once as read and once as converted.
    try {
        ParadoxReader reader(path_);
        QStringList columns;
        for (const ParadoxField& f : reader.info().fields)
            columns << f.name;
        const QList<int> columnOf = matchColumns(columns, [this](const Field& missing) {
            return QStringLiteral("Файл %1 не подходит: в нём нет поля «%2». Выберите файл, выгруженный этой "
                                  "программой.")
                .arg(QDir::toNativeSeparators(path_), missing.caption());
        });
        rows_.clear();
        rows_.reserve(size_t(reader.info().recordCount));
        QVariantList source;
        while (reader.next(source)) {
            Values v(storedFieldCount());
            for (int f = 0; f < storedFieldCount(); ++f) {
                try {
                    v[f] = field(f).convert(source[columnOf[f]]);
                } catch (const DbError& e) {
                    fail(QStringLiteral("Файл %1, строка %2: %3")
                             .arg(QDir::toNativeSeparators(path_), QString::number(rows_.size() + 1),
                                  e.message()));
                }
            }
            rows_.push_back(std::move(v));
        }
    } catch (const ParadoxError& e) {
        rows_.clear();
        throw DbError(e.message());
    } catch (...) {
        rows_.clear();
        throw;
    }
}
