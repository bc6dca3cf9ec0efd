#include "data/Query.h"

#include "data/DbError.h"
#include "data/Statement.h"
#include "data/Store.h"

Query::Query(Store& store, const QString& objectName, QObject* parent)
    : ReadOnlyDataset(&store, objectName, parent) {}

Field& Query::addField(const QString& name, FieldType type, int size) {
    defineField(FieldDef{name, type, size});
    return field(storedFieldCount() - 1);
}

void Query::setSql(const QStringList& lines) {
    if (isActive())
        fail(QStringLiteral("Ошибка программы: текст запроса %1 нельзя менять, пока он открыт")
                 .arg(objectName()));
    sql_ = lines;
}

void Query::setParam(const QString& name, const QVariant& value) {
    params_.insert(name, value);
}

void Query::openSource() {
    const std::unique_ptr<Statement> prepared = store_->prepare(sql_.join(u'\n'));
    Statement& st = *prepared;
    for (int p = 1; p <= st.parameterCount(); ++p) {
        const QString name = st.parameterName(p);
        if (!params_.contains(name))
            fail(QStringLiteral("Ошибка программы: не задан параметр %1 запроса %2").arg(name, objectName()));
        st.bind(p, params_.value(name));
    }
    QStringList columns;
    for (int c = 0; c < st.columnCount(); ++c)
        columns << st.columnName(c);
    const QList<int> columnOf = matchColumns(columns, [this](const Field& missing) {
        return QStringLiteral("Ошибка программы: поле %1 не найдено в результате запроса %2")
            .arg(missing.name(), objectName());
    });
    rows_.clear();
    while (st.step()) {
        Values v(storedFieldCount());
        for (int f = 0; f < storedFieldCount(); ++f)
            v[f] = st.value(columnOf[f], field(f).type());
        rows_.push_back(std::move(v));
    }
}
