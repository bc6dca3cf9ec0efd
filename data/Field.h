#pragma once
// A field object: typed access to one field of its dataset's active record.
// Reads of empty values give "", 0 or the zero date 30.12.1899; writes are checked against the
// field's type, width and range, and a refused value leaves the record as it was.

#include "data/Layout.h"

#include <functional>
#include <QDate>
#include <QString>
#include <QVariant>

class Dataset;

class Field {
public:
    Field(Dataset* dataset, int index, FieldDef def, bool calculated);

    const QString& name() const { return def_.name; }
    QString objectName() const; // dataset object name + field name, e.g. "tblPersonalName1"
    // What a user calls the field, for messages: "дата рождения" (data/FieldCaptions).
    QString caption() const;
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    const FieldDef& def() const { return def_; }
    int index() const { return index_; }
    Dataset* dataset() const { return dataset_; }
    bool isCalculated() const { return calculated_; }
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // Input mask of the edit boxes bound to the field ("!99/99/0000;1;_") and display format
    // of dates ("dd.mm.yyyy"); empty for the defaults.
    QString editMask;
    QString displayFormat;
    // Values the field shows as an empty text although they are stored: the zero date, years of
    // service counted from no start year. Set up by the data module; reads, writes and the stored
    // value are not affected, so copies and the export keep what is stored.
    std::function<bool(const QVariant&)> showsEmpty;
    // Text typed for the field as the field keeps it, and a kept value as boxes show it (the
    // parameters' telephone: typed "8 (495) 123-45-67", kept as its eleven digits), with the most
    // characters a box takes for it. Unset: kept as typed, shown as kept, the field's width.
    std::function<QString(const QString&)> fromTyped;
    std::function<QString(const QVariant&)> shown;
    int typedWidth = 0;

    QVariant value() const; // null when empty
    bool isNull() const { return value().isNull(); }
    QString asString() const;
    qint64 asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    QString displayText() const;
    // How a stored value of this field is shown, for rows that are not current (grids); grids and
    // boxes show the same text.
    QString displayTextOf(const QVariant& value) const;

    void setValue(const QVariant& value); // dispatches by the value's type
    void setAsString(const QString& text);
    void setAsInteger(qint64 value);
    void setAsFloat(double value);
    void setAsDate(const QDate& date);
    void clear();

    // The day zero of the date scale, what an empty date reads as.
    static QDate zeroDate() { return QDate(1899, 12, 30); }
    static bool isZeroDate(const QVariant& value) {
        return value.typeId() == QMetaType::QDate && value.toDate() == zeroDate();
    }

    // Converts `value` to what the field stores, or throws DbError naming the field by its caption.
    QVariant convert(const QVariant& value) const;

private:
    QVariant fromText(const QString& text) const;
    QVariant checkedInteger(qint64 v) const;
    [[noreturn]] void refuse(const QString& message) const;
    QString invalidDate() const;

    Dataset* dataset_;
    int index_;
    FieldDef def_;
    bool calculated_;
    bool readOnly_ = false;
};

// Formats numbers as the user's locale writes them, without group separators:
// general format, up to 15 significant digits (116,01 in a Russian locale).
QString formatNumber(double value);
