#pragma once
// A statement of the server store, run through libpq. The program's SQL is taken as the file store
// reads it and put into the server's dialect here: "?" and ":name" become "$1", "$2"…, and quoted
// identifiers are written in small letters, as the server's tables name their columns (SQLite
// ignores the case of identifiers, so the text means the same to both).
#include "data/Statement.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

struct pg_conn;
struct pg_result;
class PgStore;

// The program's SQL in the server's dialect; `names` receives each parameter's name ("" for "?").
QByteArray pgDialect(const QString& sql, QStringList* names);

class PgStatement : public Statement {
public:
    PgStatement(PgStore& store, const QString& sql);
    ~PgStatement() override;

    void bind(int position, const QVariant& value) override;
    int parameterCount() const override { return int(names_.size()); }
    QString parameterName(int position) const override { return names_.value(position - 1); }
    bool step() override;
    void reset() override;
    int columnCount() const override;
    QString columnName(int column) const override;
    bool isNull(int column) const override;
    qint64 int64(int column) const override;
    QVariant value(int column, FieldType type) const override;
    QVariant rawValue(int column) const override;

private:
    void run() const; // sends the statement with its parameters and keeps every row it returns
    const char* text(int column) const;

    PgStore& store_;
    QStringList names_; // before sql_, which the constructor fills with it
    QByteArray sql_;
    std::vector<QByteArray> params_;
    std::vector<bool> nulls_;
    mutable pg_result* result_ = nullptr;
    // The name the statement has on the server once it runs a second time, and the connection's
    // generation it was prepared on.
    mutable QByteArray prepared_;
    mutable int preparedOn_ = -1;
    mutable int runs_ = 0;
    mutable int rows_ = 0;
    int row_ = -1;
};
