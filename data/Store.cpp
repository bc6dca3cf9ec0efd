#include "data/Store.h"

#include "data/Dataset.h"
#include "data/DbError.h"

#include <QCryptographicHash>

Store::~Store() = default;

QString Store::layoutError(const QString& sqlName) const {
    return layoutErrors_.value(sqlName);
}

QString Store::sqlIndexName(const QString& sqlName, const QString& indexName) {
    return sqlName + u'_' + indexName;
}

bool Store::hasIndex(const QString& sqlName, const QString& indexName) const {
    return indexes_.contains(sqlIndexName(sqlName, indexName));
}

Store::Cached::~Cached() {
    if (s_) {
        s_->reset();
        if (!own_)
            s_->busy = false;
    }
}

Store::Cached Store::cached(const QString& sql) {
    auto& slot = cache_[sql.toStdString()];
    if (!slot)
        slot = prepare(sql);
    if (slot->busy) {
        auto own = prepare(sql);
        Statement* s = own.get();
        return Cached(s, std::move(own));
    }
    slot->busy = true;
    return Cached(slot.get(), nullptr);
}

RowId Store::insertRow(Statement& insert) { // the server's way: the insert returns the identity
    if (!insert.step())
        throw DbError(QStringLiteral("Ошибка программы: новая строка не получила номера"));
    const RowId id = insert.int64(0);
    while (insert.step()) {
    }
    return id;
}

void Store::begin() {
    exec(depth_ == 0 ? beginSql() : QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    ++depth_;
}

void Store::commit() {
    if (depth_ == 0)
        return;
    --depth_;
    try {
        exec(depth_ == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE sp%1").arg(depth_));
    } catch (...) {
        // Not committed: the transaction is still open, and the guard that began it rolls it back.
        ++depth_;
        throw;
    }
}

void Store::rollback() {
    if (depth_ == 0)
        return;
    --depth_;
    try {
        exec(depth_ == 0 ? QStringLiteral("ROLLBACK")
                         : QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(depth_));
    } catch (const DbError&) {
        // A failed rollback leaves the database to undo the transaction itself (SQLite does when
        // the connection goes on, the server when the connection is gone); the datasets are re-read.
    }
    const auto open = datasets_;
    for (Dataset* ds : open)
        ds->reread();
}

Store::TableSummary Store::summarize(const QString& sqlName) {
    const TableLayout* layout = layouts::find(sqlName);
    if (!layout)
        throw DbError(QStringLiteral("Ошибка программы: таблица %1 неизвестна").arg(sqlName));
    QStringList columns;
    for (const FieldDef& f : layout->fields)
        columns << u'"' + f.name + u'"';
    TableSummary summary;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    auto st =
        prepare(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(columns.join(u','), sqlName));
    while (st->step()) {
        ++summary.rows;
        // Typed values, written one way: a number or a date reads the same from either back end.
        for (int i = 0; i < layout->fields.size(); ++i) {
            const QVariant v = st->value(i, layout->fields[i].type);
            const QString text = v.typeId() == QMetaType::QDate    ? dateToStore(v.toDate())
                                 : v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                                                   : v.toString();
            hash.addData(text.toUtf8().append('\x1f'));
        }
        hash.addData(QByteArrayView("\x1e"));
    }
    summary.checksum = hash.result().toHex().left(16);
    return summary;
}
