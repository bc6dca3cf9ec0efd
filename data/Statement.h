#pragma once
// A prepared statement of the store with typed binding and reading of the store's values. Each
// back end of the store has its own kind; the SQL given to them is the same: "?" or ":name" marks
// a parameter, identifiers are written as the layouts name them.
#include "data/Layout.h"

#include <QString>
#include <QVariant>

class Statement {
public:
    virtual ~Statement() = default;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds a value as the store keeps it: null for empty (an empty text is empty too),
    // text, integer, double, a date as "yyyy-mm-dd".
    virtual void bind(int position, const QVariant& value) = 0; // 1-based
    void bindNamed(const QString& name, const QVariant& value);
    virtual int parameterCount() const = 0;
    virtual QString parameterName(int position) const = 0; // without its ':'

    virtual bool step() = 0; // true while a row is ready; throws DbError on failure
    virtual void reset() = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual qint64 int64(int column) const = 0;
    // Reads a column as a value of the given field type (null when the store holds none).
    virtual QVariant value(int column, FieldType type) const = 0;
    // A column as the store holds it: integer as qint64, double, text, bytes; dates as text.
    virtual QVariant rawValue(int column) const = 0;

    bool busy = false; // in use by a caller of the statement cache
};

// A bound value as the store keeps it, whichever the back end: nothing (null, or an empty text),
// a whole number (booleans and integers of every width), a real number, or a text (a date as
// "yyyy-mm-dd").
struct StoredValue {
    enum class Kind { Null, Integer, Real, Text } kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QByteArray text; // UTF-8
};
StoredValue storedValue(const QVariant& value);

// Store representation of a date.
QString dateToStore(const QDate& date);
QDate dateFromStore(const QString& text);
