#pragma once
// A read-only query over the store: SQL lines and parameters are set before opening; the result
// is read once and kept, so the row count is complete as soon as it is open.
#include "data/ReadOnlyDataset.h"

#include <QStringList>

class Query : public ReadOnlyDataset {
    Q_OBJECT
public:
    Query(Store& store, const QString& objectName, QObject* parent = nullptr);

    // The field objects the query offers, matched to the result's columns by name.
    Field& addField(const QString& name, FieldType type, int size = 0);

    void setSql(const QStringList& lines); // closes nothing: set it while the query is closed
    const QStringList& sql() const { return sql_; }
    void clearParams() { params_.clear(); }
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const { return params_.value(name); }

protected:
    void openSource() override;

private:
    QStringList sql_;
    QHash<QString, QVariant> params_;
};
