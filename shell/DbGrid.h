#pragma once
// A read-only grid bound to a data source: its current row and the dataset's move together,
// column titles and widths come from the window, and only the visible rows are read.
#include "shell/DatasetModel.h"

#include <QTableView>

class DbGrid : public QTableView {
    Q_OBJECT
public:
    DbGrid(const QString& objectName, DataSource* source, QList<GridColumn> columns, QWidget* parent = nullptr);

    DatasetModel* datasetModel() const { return model_; }
    Dataset* dataset() const { return model_->dataset(); }
    // The text a cell shows, for tests and for reading a row back.
    QString cellText(int row, int column) const;
    // A typed key neither searches the rows nor moves the cursor: the grid is read-only and its
    // windows give keys their own meaning (the space bar marks a person). A search would read
    // every row of a long register at each key press.
    void keyboardSearch(const QString&) override {}

signals:
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);
    void keyPressed(int key);
    void keyReleased(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followDataset(int row);

    DatasetModel* model_;
    bool syncing_ = false;
};
