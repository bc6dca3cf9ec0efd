#pragma once
// A table of the store, opened by its layout, optionally in the order of a named index.
#include "data/Dataset.h"

class Statement;

class Table : public Dataset {
    Q_OBJECT
public:
    // A user who may only read the store changes no table.
    bool isReadOnly() const override;
    // `tableName`: the store name or the file name ("Personal" or "Personal.DB").
    Table(Store& store, const QString& objectName, const QString& tableName, QObject* parent = nullptr);

    const TableLayout& layout() const { return *layout_; }
    void setIndexName(const QString& indexName); // empty: the table's own order
    const QString& indexName() const { return indexName_; }

    // Deletes every row; the table must be closed.
    void emptyTable();
    // " ORDER BY …": the table's order as SQL, for a statement that reads its rows in that order.
    QString orderClause() const;

protected:
    void openSource() override;
    std::vector<RowId> fetchView() override;
    Values fetchRow(RowId id) override;
    RowId writeInsert(Values& values) override;
    void writeUpdate(RowId id, const Values& values) override;
    void writeDelete(RowId id) override;
    int compareOrder(const Values& a, RowId idA, const Values& b, RowId idB) const override;
    QList<int> orderFields() const override { return order_; }
    int findMatch(const QList<int>& fields, const Values& values) override;
    int nearestPosition(const Values& key) override;
    void editStarted(RowId id) override;
    void writeOverVersion(RowId id, qint64 version) override;

private:
    qint64 versionOf(RowId id);
    [[noreturn]] void conflict(RowId id, bool deleting);
    QString whereClause(QVariantList& binds) const;
    bool inTextIndex(int field) const;

    const TableLayout* layout_;
    QString indexName_;
    QList<int> order_;
    // A row's values from `firstColumn` on (the version after them, where rows carry one).
    Values readRow(Statement& st, int firstColumn, RowId id);
    // The row of a search's statement ("rowid" and the row's columns), kept; gives its identity.
    RowId keepFound(Statement& st);

    QString rowColumns_; // every field, and the version where rows carry one
    QString selectRowSql_, insertSql_, updateSql_, deleteSql_;
    // The last search statement findMatch built and what it was built for: a search repeated
    // with other values (a locate per row of a list) reuses the text.
    struct MatchSql {
        QList<int> fields;
        QList<bool> nulls;
        QString where;
        QString sql;
    } lastMatch_;
    int autoIncField_ = -1;
    // On a store whose rows carry versions: the version of each row as last read, and the version
    // the row being edited had when its editing began, which the update must still find.
    bool versioned_ = false;
    std::unordered_map<RowId, qint64> versions_;
    RowId editRow_ = -1;
    qint64 editVersion_ = 0;
};
