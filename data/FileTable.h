#pragma once
// A Paradox table file read as a dataset, read-only: how an export file is read back. The file
// is read whole when the dataset opens; its fields are matched to the layout's by name.
#include "data/Dataset.h"

class FileTable : public Dataset {
    Q_OBJECT
public:
    FileTable(const QString& objectName, const TableLayout& layout, QObject* parent = nullptr);

    void setPath(const QString& path); // the file; set while closed
    const QString& path() const { return path_; }

protected:
    bool isReadOnly() const override { return true; }
    void openSource() override;
    void closeSource() override { rows_.clear(); }
    std::vector<RowId> fetchView() override;
    Values fetchRow(RowId id) override { return rows_[size_t(id)]; }

private:
    const TableLayout& layout_;
    QString path_;
    std::vector<Values> rows_;
};
