#include "data/ChangeLog.h"

#include "data/FieldCaptions.h"
#include "data/Layout.h"
#include "data/Store.h"

#include <QJsonDocument>

namespace change_log {

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

// The person's names of the row `alias` (NEW, OLD, or a register's row) as one text; null when
// all three are empty.
QString sqliteNames(const QString& alias) {
    auto part = [&](const char* field) {
        return QStringLiteral("COALESCE(%1.\"%2\", '')").arg(alias, QLatin1String(field));
    };
    return QStringLiteral("NULLIF(TRIM(REPLACE(%1 || ' ' || %2 || ' ' || %3, '  ', ' ')), '')")
        .arg(part("Name1"), part("Name2"), part("Name3"));
}

QString sqlitePerson(const LoggedTable& logged, const QString& alias) {
    switch (logged.person) {
    case LoggedTable::Person::OwnNames:
        return sqliteNames(alias);
    case LoggedTable::Person::RegisterKey:
        return QStringLiteral("(SELECT %1 FROM \"Personal\" P WHERE P.\"NPP\" = %2.%3)")
            .arg(sqliteNames(QStringLiteral("P")), alias, quoted(logged.personKey));
    case LoggedTable::Person::None:
        break;
    }
    return QStringLiteral("NULL");
}

QString sqliteValues(const TableLayout& t, const QString& alias) {
    QStringList pairs;
    for (const FieldDef& f : t.fields)
        pairs << QStringLiteral("'%1', %2.%3").arg(f.name.toLower(), alias, quoted(f.name));
    return QStringLiteral("json_object(%1)").arg(pairs.join(QStringLiteral(", ")));
}

QStringList sqliteTriggers(const LoggedTable& logged) {
    const TableLayout& t = *layouts::find(logged.sqlName);
    const QString insertLog =
        QStringLiteral("INSERT INTO zajavki_log (changed_at, changed_by, table_name, row_id, action, person, "
                       "old_values, new_values) VALUES (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), "
                       "zajavki_clerk(), '%1', %2.rowid, '%3', %4, %5, %6)");
    const QString table = t.sqlName.toLower();
    QStringList same;
    for (const FieldDef& f : t.fields)
        same << QStringLiteral("OLD.%1 IS NEW.%1").arg(quoted(f.name));
    auto trigger = [&](const char* event, const QString& when, const QString& body) {
        return QStringLiteral(
                   "CREATE TRIGGER \"zajavki_log_%1_%2\" AFTER %3 ON %4 WHEN zajavki_clerk() IS NOT "
                   "NULL%5 BEGIN %6; END")
            .arg(table, QString::fromLatin1(event).toLower(), QLatin1String(event), quoted(t.sqlName), when,
                 body);
    };
    const QString NEW = QStringLiteral("NEW"), OLD = QStringLiteral("OLD");
    return {
        trigger("INSERT", {},
                insertLog.arg(table, NEW, QStringLiteral("I"), sqlitePerson(logged, NEW),
                              QStringLiteral("NULL"), sqliteValues(t, NEW))),
        trigger("UPDATE", QStringLiteral(" AND NOT (%1)").arg(same.join(QStringLiteral(" AND "))),
                insertLog.arg(table, NEW, QStringLiteral("U"), sqlitePerson(logged, NEW),
                              sqliteValues(t, OLD), sqliteValues(t, NEW))),
        trigger("DELETE", {},
                insertLog.arg(table, OLD, QStringLiteral("D"), sqlitePerson(logged, OLD),
                              sqliteValues(t, OLD), QStringLiteral("NULL"))),
    };
}

QJsonObject parsed(const QVariant& text) {
    if (text.isNull())
        return {};
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

// The person filter compares letters only: case and the dots of Ё do not count.
QString folded(const QString& s) {
    QString f = s.toCaseFolded();
    f.replace(u'ё', u'е');
    return f;
}

const TableLayout* layoutOf(const Entry& entry) {
    return layouts::find(entry.table);
}

// A logged value as the user reads it: dates as dd.mm.yyyy, whole numbers without a fraction.
QString shownValue(const QJsonValue& v) {
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("—");
    if (v.isDouble()) {
        const double d = v.toDouble();
        return d == qint64(d) ? QString::number(qint64(d)) : QString::number(d, 'g', 12);
    }
    const QString s = v.toString();
    const QDate date = QDate::fromString(s, Qt::ISODate);
    if (s.size() == 10 && date.isValid())
        return date.toString(QStringLiteral("dd.MM.yyyy"));
    return s.isEmpty() ? QStringLiteral("—") : u'«' + s + u'»';
}

bool empty(const QJsonValue& v) {
    return v.isNull() || v.isUndefined() || (v.isString() && v.toString().isEmpty());
}

} // namespace

const QList<LoggedTable>& loggedTables() {
    using P = LoggedTable::Person;
    static const QList<LoggedTable> tables{
        {QStringLiteral("Personal"), P::OwnNames, {}},
        {QStringLiteral("Trained"), P::RegisterKey, QStringLiteral("Kod_Personal")},
        {QStringLiteral("Sertif"), P::RegisterKey, QStringLiteral("PersonalKOD")},
        {QStringLiteral("PEREMAIL"), P::RegisterKey, QStringLiteral("PersonalKOD")},
        {QStringLiteral("PERSNILS"), P::RegisterKey, QStringLiteral("PersonalKOD")},
        {QStringLiteral("DOLJNOST"), P::None, {}},
        {QStringLiteral("SPEZ"), P::None, {}},
        {QStringLiteral("Specialty"), P::None, {}},
        {QStringLiteral("Config"), P::None, {}},
        {QStringLiteral("LPUDETAILS"), P::None, {}},
        {QStringLiteral("Zajavki"), P::None, {}},
        {QStringLiteral("Zajavki2021"), P::None, {}},
        {QStringLiteral("Zajavki2023"), P::None, {}},
        {QStringLiteral("Sluch"), P::OwnNames, {}},
        {QStringLiteral("Sluch2021"), P::OwnNames, {}},
        {QStringLiteral("Sluch2023"), P::OwnNames, {}},
        {QStringLiteral("SLSertif"), P::None, {}},
        {QStringLiteral("SLUCHEMAIL"), P::None, {}},
        {QStringLiteral("SLUCHSNILS"), P::None, {}},
    };
    return tables;
}

QStringList sqliteSchema() {
    QStringList sql{
        QStringLiteral(
            "CREATE TABLE zajavki_log (id INTEGER PRIMARY KEY, changed_at TEXT NOT NULL, changed_by "
            "TEXT NOT NULL, table_name TEXT NOT NULL, row_id INTEGER, action TEXT NOT NULL, person "
            "TEXT, old_values TEXT, new_values TEXT)"),
        QStringLiteral("CREATE INDEX zajavki_log_at ON zajavki_log (changed_at)"),
    };
    for (const LoggedTable& logged : loggedTables())
        sql << sqliteTriggers(logged);
    return sql;
}

QList<Entry> read(Store& store, const Filter& filter) {
    QList<Entry> entries;
    if (!store.hasChangeLog())
        return entries;
    // Only fixed pieces of SQL are joined here; every value the user typed is bound.
    QStringList where;
    if (!filter.clerk.isEmpty())
        where << QStringLiteral("changed_by = :clerk");
    if (filter.from.isValid())
        where << QStringLiteral("changed_at >= :from");
    if (filter.to.isValid())
        where << QStringLiteral("changed_at < :to");
    if (!filter.person.isEmpty())
        where << QStringLiteral("person IS NOT NULL");
    const QString sql =
        QStringLiteral(
            "SELECT id, changed_at, changed_by, table_name, row_id, action, person, "
            "CAST(old_values AS TEXT), CAST(new_values AS TEXT) FROM zajavki_log%1 ORDER BY id DESC")
            .arg(where.isEmpty() ? QString()
                                 : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")));
    auto st = store.prepare(sql);
    for (int i = 1; i <= st->parameterCount(); ++i) {
        const QString name = st->parameterName(i);
        if (name == QLatin1String("clerk"))
            st->bind(i, filter.clerk);
        else if (name == QLatin1String("from"))
            st->bind(i, filter.from.toString(Qt::ISODate));
        else if (name == QLatin1String("to"))
            st->bind(i, filter.to.addDays(1).toString(Qt::ISODate));
    }
    const QString person = folded(filter.person.simplified());
    while (entries.size() < filter.limit && st->step()) {
        Entry e;
        e.person = st->rawValue(6).toString();
        if (!person.isEmpty() && !folded(e.person).contains(person))
            continue;
        e.id = st->int64(0);
        e.at = st->rawValue(1).toString();
        e.clerk = st->rawValue(2).toString();
        e.table = st->rawValue(3).toString();
        e.row = st->int64(4);
        const QString action = st->rawValue(5).toString();
        e.action = action == QLatin1String("I")   ? Entry::Action::Insert
                   : action == QLatin1String("D") ? Entry::Action::Delete
                                                  : Entry::Action::Update;
        e.before = parsed(st->rawValue(7));
        e.after = parsed(st->rawValue(8));
        entries << e;
    }
    return entries;
}

QStringList clerks(Store& store) {
    QStringList names;
    if (!store.hasChangeLog())
        return names;
    auto st = store.prepare(QStringLiteral("SELECT DISTINCT changed_by FROM zajavki_log ORDER BY 1"));
    while (st->step())
        names << st->rawValue(0).toString();
    return names;
}

void copy(Store& from, Store& to) {
    if (!from.hasChangeLog() || !to.hasChangeLog())
        return;
    auto read =
        from.prepare(QStringLiteral("SELECT changed_at, changed_by, table_name, row_id, action, person, "
                                    "CAST(old_values AS TEXT), CAST(new_values AS TEXT) FROM zajavki_log "
                                    "ORDER BY id"));
    auto write =
        to.prepare(QStringLiteral("INSERT INTO zajavki_log (changed_at, changed_by, table_name, row_id, "
                                  "action, person, old_values, new_values) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    while (read->step()) {
        for (int c = 0; c < 8; ++c)
            write->bind(c + 1, read->rawValue(c));
        write->step();
        write->reset();
    }
}

QString tableCaption(const Entry& entry) {
    const TableLayout* t = layoutOf(entry);
    return t ? captions::table(t->sqlName) : entry.table;
}

QString actionCaption(Entry::Action action) {
    switch (action) {
    case Entry::Action::Insert:
        return QStringLiteral("добавление");
    case Entry::Action::Update:
        return QStringLiteral("изменение");
    case Entry::Action::Delete:
        return QStringLiteral("удаление");
    }
    return {};
}

QString describe(const Entry& entry) {
    const TableLayout* t = layoutOf(entry);
    if (!t)
        return {};
    QStringList parts;
    for (const FieldDef& f : t->fields) {
        if (f.type == FieldType::AutoInc)
            continue;
        const QString key = f.name.toLower();
        const QString caption = captions::field(t->sqlName, f.name);
        const QJsonValue before = entry.before.value(key), after = entry.after.value(key);
        if (entry.action == Entry::Action::Update) {
            if (before != after && !(empty(before) && empty(after)))
                parts << QStringLiteral("%1: %2 → %3").arg(caption, shownValue(before), shownValue(after));
        } else {
            const QJsonValue v = entry.action == Entry::Action::Insert ? after : before;
            if (!empty(v))
                parts << QStringLiteral("%1: %2").arg(caption, shownValue(v));
        }
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace change_log
