#pragma once
// What a user calls the program's tables and fields. Every message about a field or a table names
// it so ("дата рождения", "код должности", "в заявке нет слушателей"), never by its internal name
// (DR, Doljn, tblSluch2023).
#include <QString>

namespace captions {

// The field's caption in small letters: "дата рождения". `table` is the store's name of the
// table ("Personal", "TempZ2023"); the same field name may mean different things in different
// tables (KZajavki is the contract number in Config and the application number elsewhere).
// An unknown field gives its own name.
QString field(const QString& table, const QString& fieldName);

// What the table holds, as a noun phrase in small letters: "список сотрудников".
QString table(const QString& table);

// Why there is nothing to act on when the table's view is empty: "в заявке нет слушателей".
QString emptyTable(const QString& table);

} // namespace captions
