#pragma once
// A Paradox table file read as a dataset, read-only: how an export file is read back. The file
// is read whole when the dataset opens; its fields are matched to the layout's by name.
#include "data/ReadOnlyDataset.h"

class FileTable : public ReadOnlyDataset {
    Q_OBJECT
public:
    FileTable(const QString& objectName, const TableLayout& layout, QObject* parent = nullptr);

    void setPath(const QString& path); // the file; set while closed
    const QString& path() const { return path_; }

    QString caption() const override;
    QString emptyText() const override;

protected:
    void openSource() override;

private:
    const TableLayout& layout_;
    QString path_;
};
