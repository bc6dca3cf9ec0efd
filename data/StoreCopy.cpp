#include "data/StoreCopy.h"

#include "data/FieldCaptions.h"
#include "data/Layout.h"
#include "data/Store.h"

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

// Rows go in batches of one statement each: a server is reached once per batch, not per row.
constexpr int kValuesPerBatch = 2000;

void copyTable(const TableLayout& t, Store& from, Store& to) {
    // A table numbered by the engine carries its identity in its number; any other gets it written.
    const bool withRowId = !t.hasAutoIncKey();
    QStringList columns;
    if (withRowId)
        columns << QStringLiteral("rowid");
    for (const FieldDef& f : t.fields)
        columns << quoted(f.name);
    const int width = int(columns.size());
    const QString row = u'(' + QStringList(width, QStringLiteral("?")).join(u',') + u')';
    const int perBatch = std::max(1, kValuesPerBatch / width);
    const QString head =
        QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(quoted(t.sqlName), columns.join(u','));
    const QString fullBatch = head + QStringList(perBatch, row).join(u',');

    auto read = from.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(u','), quoted(t.sqlName)));
    QVariantList pending;
    auto flush = [&](bool all) {
        const int rows = int(pending.size()) / width;
        if (rows == 0 || (!all && rows < perBatch))
            return;
        auto write = to.cached(rows == perBatch ? fullBatch : head + QStringList(rows, row).join(u','));
        for (int i = 0; i < pending.size(); ++i)
            write->bind(i + 1, pending[i]);
        write->step();
        pending.clear();
    };
    while (read->step()) {
        if (withRowId)
            pending << read->int64(0);
        for (int i = 0; i < t.fields.size(); ++i)
            pending << read->value(i + (withRowId ? 1 : 0), t.fields[i].type);
        flush(false);
    }
    flush(true);
}

} // namespace

void copyRows(Store& from, Store& to) {
    for (const TableLayout& t : layouts::all())
        copyTable(t, from, to);
}

QString compareStores(Store& a, Store& b) {
    QStringList differences;
    for (const TableLayout& t : layouts::all()) {
        const Store::TableSummary x = a.summarize(t.sqlName), y = b.summarize(t.sqlName);
        if (x.rows != y.rows)
            differences << QStringLiteral("в таблице «%1» %2 строк вместо %3")
                               .arg(captions::table(t.sqlName))
                               .arg(y.rows)
                               .arg(x.rows);
        else if (x.checksum != y.checksum)
            differences
                << QStringLiteral("в таблице «%1» значения отличаются").arg(captions::table(t.sqlName));
    }
    return differences.join(QStringLiteral("; "));
}
