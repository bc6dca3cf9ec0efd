#pragma once
// A prepared SQLite statement of the file store, and the translation of SQLite's failures into
// what a user reads.
#include "data/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement : public Statement {
public:
    SqliteStatement(sqlite3* db, const QString& sql); // throws DbError
    ~SqliteStatement() override;

    void bind(int position, const QVariant& value) override;
    int parameterCount() const override;
    QString parameterName(int position) const override;
    bool step() override;
    void reset() override;
    int columnCount() const override;
    QString columnName(int column) const override;
    bool isNull(int column) const override;
    qint64 int64(int column) const override;
    QVariant value(int column, FieldType type) const override;
    QVariant rawValue(int column) const override;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
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
