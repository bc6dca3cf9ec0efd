#pragma once
// Faults put into a store on purpose, on either back end: a table that refuses writes, as a full
// disk or a server's refusal would, to show that an action stops whole.
#include "data/Store.h"

// Every `event` ("INSERT", "DELETE", "UPDATE") on the table `table` for which the SQL condition
// `when` holds fails (the condition may name the row as NEW or OLD).
inline void refuseWrites(Store& store, const QString& table, const QString& event,
                         const QString& when = QStringLiteral("TRUE")) {
    const QString name = QStringLiteral("refuse_") + event.toLower();
    if (!store.isServer()) {
        // A temporary trigger belongs to the connection alone: the copies taken meanwhile stay the
        // program's own.
        store.exec(QStringLiteral("CREATE TEMP TRIGGER %4 BEFORE %2 ON \"%1\" WHEN %3 "
                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                       .arg(table, event, when, name));
        return;
    }
    store.exec(QStringLiteral("CREATE FUNCTION %4() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                              "IF %3 THEN RAISE EXCEPTION 'refused'; END IF; "
                              "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$; "
                              "CREATE TRIGGER %4 BEFORE %2 ON \"%1\" FOR EACH ROW EXECUTE FUNCTION %4()")
                   .arg(table, event, when, name));
}

// Takes back what refuseWrites put on the table for `event`.
inline void allowWrites(Store& store, const QString& table, const QString& event) {
    const QString name = QStringLiteral("refuse_") + event.toLower();
    store.exec(store.isServer()
                   ? QStringLiteral("DROP TRIGGER %1 ON \"%2\"; DROP FUNCTION %1()").arg(name, table)
                   : QStringLiteral("DROP TRIGGER %1").arg(name));
}
