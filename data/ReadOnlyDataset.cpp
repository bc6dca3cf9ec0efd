#include "data/ReadOnlyDataset.h"

std::vector<RowId> ReadOnlyDataset::fetchView() {
    std::vector<RowId> ids;
    ids.reserve(rows_.size());
    const auto filter = activeFilter();
    for (size_t i = 0; i < rows_.size(); ++i) {
        bool ok = true;
        for (const auto& c : filter)
            ok = ok && sameValue(rows_[i][c.field], c.value);
        if (ok)
            ids.push_back(RowId(i));
    }
    return ids;
}

QList<int> ReadOnlyDataset::matchColumns(const QStringList& columns,
                                         const std::function<QString(const Field&)>& missing) const {
    QList<int> columnOf;
    for (int f = 0; f < storedFieldCount(); ++f) {
        int found = -1;
        for (int c = 0; c < columns.size() && found < 0; ++c)
            if (columns[c].compare(field(f).name(), Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            fail(missing(field(f)));
        columnOf << found;
    }
    return columnOf;
}
