#pragma once
// The change log: every change to the clerks' data (people and their certificates, training rows,
// e-mail and SNILS, applications and trainees, the parameters, the reference books) written by the
// store itself with who made it, when, in which table and row, and the values before and after.
// Triggers in the database write it, so that a change made by any means is logged: on the server
// by a function the clerks' roles cannot bypass, into a table they may only read; on the file
// store under the system user's name. The catalogue, loaded whole from the training centre's
// file, is not logged.

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class Store;

namespace change_log {

// The log's table, the same on both back ends.
inline constexpr const char* kTable = "zajavki_log";

// How the person a logged row concerns is found: the row's own names (the register, the
// trainees), the register's row its key names, or none (applications, books, parameters).
struct LoggedTable {
    QString sqlName;
    enum class Person { None, OwnNames, RegisterKey } person = Person::None;
    QString personKey; // the field holding the register's key, for RegisterKey
};
// Every logged table, in the layouts' order.
const QList<LoggedTable>& loggedTables();

// The file store's log: its table, its index and the triggers of every logged table. The
// triggers name the clerk through the connection's function zajavki_clerk(), which the store
// registers; they write nothing while it gives null (a copy being filled).
QStringList sqliteSchema();

// One change as the log keeps it. `before` is empty for an insertion, `after` for a deletion;
// values are keyed by field names in small letters.
struct Entry {
    qint64 id = 0;
    QString at;    // "yyyy-MM-dd HH:mm:ss", the clerk's local time of the change
    QString clerk; // the server role, or the system user on the file store
    QString table; // the store's table name in small letters
    qint64 row = 0;
    enum class Action { Insert, Update, Delete } action = Action::Insert;
    QString person; // "Фамилия Имя Отчество" when the row concerns a person
    QJsonObject before, after;
};

struct Filter {
    QString person; // part of the name, case and Ё ignored; empty for every entry
    QString clerk;  // exactly; empty for every clerk
    QDate from, to; // inclusive; a null date leaves that end open
    int limit = 2000;
};

// The newest entries first that pass the filter, at most `limit`. An older store without a log
// gives none. Throws DbError.
QList<Entry> read(Store& store, const Filter& filter);
// Everyone who made a change, in order.
QStringList clerks(Store& store);
// Copies the log of `from` into `to` in its order (a copy of the store must carry its history).
void copy(Store& from, Store& to);

// What the user calls the table and the action: "список сотрудников", "изменение".
QString tableCaption(const Entry& entry);
QString actionCaption(Entry::Action action);
// The change in words: for a change, each field that changed with its old and new value; for an
// insertion or a deletion, the row's filled fields.
QString describe(const Entry& entry);

} // namespace change_log
