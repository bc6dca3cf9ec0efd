#pragma once
// A read-only dataset whose rows are read whole when it opens and kept in memory: queries and
// Paradox files read back. Its view is the rows, in the order read, that pass the filter.
#include "data/Dataset.h"

#include <QStringList>

class ReadOnlyDataset : public Dataset {
    Q_OBJECT
protected:
    using Dataset::Dataset;

    bool isReadOnly() const override { return true; }
    void closeSource() override { rows_.clear(); }
    std::vector<RowId> fetchView() override;
    Values fetchRow(RowId id) override { return rows_[size_t(id)]; }

    // For each field, the position of the source column of the same name (letter case aside);
    // a field without one fails with the message `missing(field)`.
    QList<int> matchColumns(const QStringList& columns,
                            const std::function<QString(const Field&)>& missing) const;

    std::vector<Values> rows_;
};
