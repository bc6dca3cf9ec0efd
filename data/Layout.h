#pragma once
// Table layouts: every table of the store with its fields in order and its indexes.

#include <QList>
#include <QString>
#include <QStringList>

enum class FieldType {
    AutoInc, // "+": 32-bit, numbered by the engine, never written by the program
    Alpha,   // "A n": text of at most n characters
    Short,   // "S": 16-bit signed integer
    Long,    // "I": 32-bit signed integer
    Number,  // "N": 64-bit floating point
    Date,    // "D"
    Memo,    // "M n": text of any length, n bytes kept in the record
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Alpha;
    int size = 0; // width of Alpha, in-record bytes of Memo; 0 otherwise

    bool isText() const { return type == FieldType::Alpha || type == FieldType::Memo; }
    bool isInteger() const {
        return type == FieldType::Short || type == FieldType::Long || type == FieldType::AutoInc;
    }
};

// The whole numbers an integer field holds: 16 bits for Short, 32 for Long and AutoInc.
struct IntegerRange {
    qint64 lowest;
    qint64 highest;
};
IntegerRange integerRange(FieldType type);

struct IndexDef {
    QString name;       // the name the program opens the table with, e.g. "ind_FIO"
    QStringList fields; // ordering fields; rows with equal keys follow in row-number order
};

struct TableLayout {
    QString fileName; // the table's file name, e.g. "Personal.DB"
    QString sqlName;  // the table's name in the store: the file name without its extension
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    int fieldIndex(const QString& name) const; // exact name; -1 when absent
    const IndexDef* index(const QString& name) const;
    bool hasAutoIncKey() const { return !fields.isEmpty() && fields.first().type == FieldType::AutoInc; }
};

// The type as the layouts write it: "+", "A 25", "S", "I", "N", "D", "M 150".
QString typeCode(const FieldDef& field);
// The type's declaration in the store (VARCHAR(25), SMALLINT, ...).
QString sqlType(const FieldDef& field);

namespace layouts {
// Every table the store holds, in a fixed order.
const QList<TableLayout>& all();
// By store name or file name, case-insensitive; nullptr when unknown.
const TableLayout* find(const QString& name);
// Shorthands for the two export layouts.
const TableLayout& tempZ2023();
const TableLayout& tempZ();
} // namespace layouts
