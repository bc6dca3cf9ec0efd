#pragma once
// A prepared SQLite statement with typed binding and reading of the store's values.
#include "data/Layout.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class Statement {
public:
    Statement(sqlite3* db, const QString& sql); // throws DbError
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds a value as the store keeps it: null for empty (an empty text is empty too),
    // text, integer, double, a date as "yyyy-mm-dd".
    void bind(int position, const QVariant& value); // 1-based
    void bindNamed(const QString& name, const QVariant& value);
    int parameterCount() const;
    QString parameterName(int position) const;

    bool step(); // true while a row is ready; throws DbError on failure
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    // Reads a column as a value of the given field type (null when the store holds none).
    QVariant value(int column, FieldType type) const;
    QVariant rawValue(int column) const;

    bool busy = false; // in use by a caller of the statement cache

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
};

// The one translation of SQLite's failures into what a user reads: a Russian sentence, chosen by
// SQLite's primary result code, that names the database file and says what to do. SQLite's own
// English text is kept out of it, except for failures with no plain explanation, where it follows
// in parentheses for support.
QString sqliteFailureMessage(int resultCode, const QString& databaseFile, const QString& sqliteText);
// A short Russian phrase for SQLite's result code ("на диске нет места"), where its own English
// text ("database or disk is full") would otherwise reach the user.
QString sqliteResultText(int resultCode);
// Throws DbError with that message for a failure of `db` (its file and its last error text).
[[noreturn]] void throwSqliteFailure(sqlite3* db, int resultCode);
// The file of the connection's main database, as the user's system writes paths.
QString databaseFile(sqlite3* db);

// Store representation of a date.
QString dateToStore(const QDate& date);
QDate dateFromStore(const QString& text);
