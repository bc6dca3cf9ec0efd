#include "data/Table.h"

#include "data/DbError.h"
#include "data/RuCollation.h"
#include "data/Store.h"

namespace {
QString quoted(const QString& name) {
    return u'"' + name + u'"';
}
} // namespace

bool Table::isReadOnly() const {
    return !store_->canWrite();
}

Table::Table(Store& store, const QString& objectName, const QString& tableName, QObject* parent)
    : Dataset(&store, objectName, parent), layout_(layouts::find(tableName)) {
    if (!layout_)
        throw DbError(QStringLiteral("Ошибка программы: таблица %1 неизвестна").arg(tableName));
    setCaptionTable(layout_->sqlName);
    for (const FieldDef& f : layout_->fields)
        defineField(f);
    QStringList all, writable, assignments, marks;
    for (int i = 0; i < layout_->fields.size(); ++i) {
        const FieldDef& f = layout_->fields[i];
        all << quoted(f.name);
        if (f.type == FieldType::AutoInc) {
            autoIncField_ = i;
            continue;
        }
        writable << quoted(f.name);
        assignments << quoted(f.name) + QStringLiteral(" = ?");
        marks << QStringLiteral("?");
    }
    const QString t = quoted(layout_->sqlName);
    versioned_ = store.hasRowVersions();
    // Where rows carry versions, each write names the version it was read at: a row written by
    // someone else since is not found, and the write tells so.
    const QString version = versioned_ ? QStringLiteral(", zversion") : QString();
    const QString atVersion = versioned_ ? QStringLiteral(" AND zversion = ?") : QString();
    rowColumns_ = all.join(u',') + version;
    selectRowSql_ = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(rowColumns_, t);
    insertSql_ =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(t, writable.join(u','), marks.join(u',')) +
        store.returningRowId();
    updateSql_ =
        QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3").arg(t, assignments.join(u','), atVersion) +
        (versioned_ ? QStringLiteral(" RETURNING zversion") : QString());
    deleteSql_ = QStringLiteral("DELETE FROM %1 WHERE rowid = ?%2").arg(t, atVersion) +
                 (versioned_ ? QStringLiteral(" RETURNING rowid") : QString());
}

void Table::setIndexName(const QString& indexName) {
    if (isActive())
        fail(QStringLiteral("Ошибка программы: индекс таблицы %1 нельзя сменить, пока она открыта")
                 .arg(objectName()));
    indexName_ = indexName;
    order_.clear();
    lastMatch_ = {}; // its ORDER BY was the old index's
    if (indexName.isEmpty())
        return;
    const IndexDef* idx = layout_->index(indexName);
    if (!idx)
        fail(QStringLiteral("Ошибка программы: индекс %1 таблицы %2 не описан")
                 .arg(indexName, layout_->fileName));
    for (const QString& f : idx->fields)
        order_ << layout_->fieldIndex(f);
}

void Table::openSource() {
    const QString error = store_->layoutError(layout_->sqlName);
    if (!error.isEmpty())
        throw DbError(error);
    if (!indexName_.isEmpty() && !store_->hasIndex(layout_->sqlName, indexName_))
        fail(QStringLiteral(
                 "В базе данных %1 нет индекса, в порядке которого показывается таблица «%2»: база данных "
                 "повреждена. Восстановите её из резервной копии.")
                 .arg(store_->displayPath(), caption()));
}

void Table::emptyTable() {
    if (isActive())
        fail(QStringLiteral("Ошибка программы: таблицу %1 можно очистить только закрытой").arg(objectName()));
    const QString error = store_->layoutError(layout_->sqlName);
    if (!error.isEmpty())
        throw DbError(error);
    store_->exec(QStringLiteral("DELETE FROM %1").arg(quoted(layout_->sqlName)));
}

QString Table::whereClause(QVariantList& binds) const {
    QStringList terms;
    for (int i = 0; i < linkFields().size() && i < rangeValues().size(); ++i) {
        terms << quoted(layout_->fields[linkFields()[i]].name) + QStringLiteral(" = ?");
        binds << rangeValues()[i];
    }
    for (const auto& c : activeFilter()) {
        const QString name = quoted(layout_->fields[c.field].name);
        if (c.value.isNull()) {
            terms << name + QStringLiteral(" IS NULL");
        } else {
            terms << name + QStringLiteral(" = ?");
            binds << c.value;
        }
    }
    return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

QString Table::orderClause() const {
    QStringList terms;
    for (int f : order_) {
        const FieldDef& def = layout_->fields[f];
        terms << quoted(def.name) + (def.isText() ? QStringLiteral(" COLLATE RU") : QString());
    }
    terms << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + terms.join(u',');
}

std::vector<RowId> Table::fetchView() {
    if (masterSource()) {
        for (const QVariant& v : rangeValues())
            if (v.isNull())
                return {}; // an empty link value matches no row
    }
    // A detail's rows are few: they come whole with their identities, in one statement rather than
    // one more per row shown (each a round trip to a server).
    const bool whole = masterSource() != nullptr;
    QVariantList binds;
    const QString sql = QStringLiteral("SELECT rowid%1 FROM %2")
                            .arg(whole ? u',' + rowColumns_ : QString(), quoted(layout_->sqlName)) +
                        whereClause(binds) + orderClause();
    auto st = store_->cached(sql);
    for (int i = 0; i < binds.size(); ++i)
        st->bind(i + 1, binds[i]);
    std::vector<RowId> ids;
    std::vector<Values> rows;
    while (st->step()) {
        ids.push_back(st->int64(0));
        if (whole)
            rows.push_back(readRow(*st, 1, ids.back()));
    }
    for (size_t i = 0; i < rows.size(); ++i)
        keepRowRead(ids[i], std::move(rows[i]));
    return ids;
}

Values Table::readRow(Statement& st, int firstColumn, RowId id) {
    Values v(layout_->fields.size());
    for (int i = 0; i < layout_->fields.size(); ++i)
        v[i] = st.value(firstColumn + i, layout_->fields[i].type);
    if (versioned_)
        versions_[id] = st.int64(firstColumn + int(layout_->fields.size()));
    return v;
}

Values Table::fetchRow(RowId id) {
    auto st = store_->cached(selectRowSql_);
    st->bind(1, id);
    return st->step() ? readRow(*st, 0, id) : Values(layout_->fields.size());
}

qint64 Table::versionOf(RowId id) {
    if (const auto it = versions_.find(id); it != versions_.end())
        return it->second;
    fetchRow(id);
    return versions_[id];
}

void Table::editStarted(RowId id) {
    if (!versioned_)
        return;
    editRow_ = id;
    editVersion_ = versionOf(id);
}

void Table::writeOverVersion(RowId id, qint64 version) {
    versions_[id] = version;
    if (id == editRow_)
        editVersion_ = version;
}

// The row `id` was written or deleted by someone else since it was read: who, when, and what the
// user may do.
void Table::conflict(RowId id, bool deleting) {
    auto st =
        store_->cached(QStringLiteral("SELECT zversion, zchanged_by, zchanged_at FROM %1 WHERE rowid = ?")
                           .arg(quoted(layout_->sqlName)));
    st->bind(1, id);
    const QString what = caption();
    if (!st->step())
        throw RowConflict(
            QStringLiteral("Запись («%1») удалил другой пользователь, пока вы её правили; ваши изменения "
                           "не сохранены. Отмените правку.")
                .arg(what),
            {}, {}, 0, true);
    const QString who = st->rawValue(1).toString();
    const QDateTime when = QDateTime::fromString(st->rawValue(2).toString().left(19), Qt::ISODate);
    const QString whenText = when.toString(QStringLiteral("dd.MM.yyyy в HH:mm"));
    const QString message =
        deleting
            ? QStringLiteral("Запись («%1») изменил пользователь %2 %3, после того как вы её открыли; она не "
                             "удалена. Посмотрите, что в ней теперь, и удалите снова, если нужно.")
                  .arg(what, who, whenText)
            : QStringLiteral("Запись («%1») изменил пользователь %2 %3, после того как вы начали её править; "
                             "ваши изменения не сохранены.")
                  .arg(what, who, whenText);
    throw RowConflict(message, who, when, st->int64(0), false);
}

RowId Table::writeInsert(Values& values) {
    auto st = store_->cached(insertSql_);
    int p = 1;
    for (int i = 0; i < layout_->fields.size(); ++i)
        if (i != autoIncField_)
            st->bind(p++, values[i]);
    const RowId id = store_->insertRow(*st);
    if (versioned_)
        versions_[id] = 1;
    if (autoIncField_ >= 0)
        values[autoIncField_] = int(id);
    return id;
}

void Table::writeUpdate(RowId id, const Values& values) {
    auto st = store_->cached(updateSql_);
    int p = 1;
    for (int i = 0; i < layout_->fields.size(); ++i)
        if (i != autoIncField_)
            st->bind(p++, values[i]);
    st->bind(p, id);
    if (!versioned_) {
        st->step();
        return;
    }
    st->bind(p + 1, id == editRow_ ? editVersion_ : versionOf(id));
    if (!st->step())
        conflict(id, false);
    writeOverVersion(id, st->int64(0));
}

void Table::writeDelete(RowId id) {
    auto st = store_->cached(deleteSql_);
    st->bind(1, id);
    if (!versioned_) {
        st->step();
        return;
    }
    st->bind(2, versionOf(id));
    if (st->step()) {
        versions_.erase(id);
        return;
    }
    // Not found at the version shown: changed since (refused), or deleted already (nothing to do).
    auto exists =
        store_->cached(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoted(layout_->sqlName)));
    exists->bind(1, id);
    if (exists->step())
        conflict(id, true);
    versions_.erase(id);
}

bool Table::inTextIndex(int field) const {
    if (!layout_->fields[field].isText())
        return false;
    for (const IndexDef& idx : layout_->indexes)
        if (idx.fields.contains(layout_->fields[field].name))
            return true;
    return false;
}

// A single text key is looked up through the index: the first row at or after the lowest text
// with the key's letters is the first whose letters sort at or after the key's.
int Table::nearestPosition(const Values& key) {
    if (key.size() != 1 || order_.isEmpty() || !layout_->fields[order_[0]].isText() || key[0].isNull() ||
        (masterSource() && rangeEmpty()))
        return Dataset::nearestPosition(key);
    QVariantList binds;
    QString where = whereClause(binds);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
             quoted(layout_->fields[order_[0]].name) + QStringLiteral(" >= ? COLLATE RU");
    binds << ru_collation::lowestOfLetters(key[0].toString());
    auto st =
        store_->cached(QStringLiteral("SELECT rowid, %1 FROM %2").arg(rowColumns_, quoted(layout_->sqlName)) +
                       where + orderClause() + QStringLiteral(" LIMIT 1"));
    for (int i = 0; i < binds.size(); ++i)
        st->bind(i + 1, binds[i]);
    if (!st->step())
        return recordCount();
    const int at = positionOf(keepFound(*st));
    return at >= 0 ? at : Dataset::nearestPosition(key);
}

int Table::compareOrder(const Values& a, RowId idA, const Values& b, RowId idB) const {
    for (int f : order_) {
        int c = compareValues(layout_->fields[f].type, a[f], b[f]);
        if (c != 0)
            return c;
    }
    return idA < idB ? -1 : idA > idB ? 1 : 0;
}

int Table::findMatch(const QList<int>& fields, const Values& values) {
    if (masterSource() && rangeEmpty())
        return -1;
    if (masterSource())
        for (const QVariant& v : rangeValues())
            if (v.isNull())
                return -1;
    QVariantList binds;
    const QString where = whereClause(binds);
    QList<bool> nulls;
    nulls.reserve(values.size());
    for (const QVariant& v : values) {
        nulls << v.isNull();
        if (!v.isNull())
            binds << v;
    }
    if (lastMatch_.sql.isEmpty() || lastMatch_.fields != fields || lastMatch_.nulls != nulls ||
        lastMatch_.where != where) {
        QStringList terms;
        for (int i = 0; i < fields.size(); ++i) {
            const FieldDef& def = layout_->fields[fields[i]];
            if (nulls[i]) {
                terms << quoted(def.name) + QStringLiteral(" IS NULL");
                continue;
            }
            // Text fields of an index are compared in its collation, which lets the index serve
            // the search; it tells two texts equal only when they are identical, so the match
            // stays exact.
            terms << quoted(def.name) + (inTextIndex(fields[i]) ? QStringLiteral(" = ? COLLATE RU")
                                                                : QStringLiteral(" = ?"));
        }
        lastMatch_ = {fields, nulls, where,
                      QStringLiteral("SELECT rowid, %1 FROM %2").arg(rowColumns_, quoted(layout_->sqlName)) +
                          where + (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
                          terms.join(QStringLiteral(" AND ")) + orderClause() + QStringLiteral(" LIMIT 1")};
    }
    auto st = store_->cached(lastMatch_.sql);
    for (int i = 0; i < binds.size(); ++i)
        st->bind(i + 1, binds[i]);
    if (!st->step())
        return -1;
    return positionOf(keepFound(*st));
}

RowId Table::keepFound(Statement& st) {
    // The row found is the one shown next: it comes with its values, saving a statement.
    const RowId id = st.int64(0);
    keepRowRead(id, readRow(st, 1, id));
    return id;
}
