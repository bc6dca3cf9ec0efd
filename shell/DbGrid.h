#pragma once
// A read-only grid bound to a data source: its current row and the dataset's move together,
// column titles and widths come from the window, and only the visible rows are read (besides
// the leading rows measured once when new rows come, to fit the columns).
// A column the window gives no width is as wide as its title and its widest value, up to
// kMaxFittedWidth or, where the grid has room to spare, further: it grows as wider values come
// into view and never narrows, so the grid does not jump while the user moves through it; a
// column the user has resized keeps his width.
#include "shell/DatasetModel.h"

#include <QTableView>

class DbGrid : public QTableView {
    Q_OBJECT
public:
    DbGrid(const QString& objectName, DataSource* source, QList<GridColumn> columns,
           QWidget* parent = nullptr);

    DatasetModel* datasetModel() const { return model_; }
    Dataset* dataset() const { return model_->dataset(); }
    // The text a cell shows, for tests and for reading a row back.
    QString cellText(int row, int column) const;
    // The width a cell's text needs, padding included, as the grid draws it.
    int cellWidthHint(int row, int column) const;
    // What a cell's tooltip says: the row's own tooltip where the window gives one, else the
    // cell's whole text when the column cuts it, else nothing.
    QString toolTipAt(int row, int column) const;
    // True for a column sized to its contents (the window gave it no width).
    bool isFitted(int column) const;

    static constexpr int kMaxFittedWidth = 300;
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
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void followDataset(int row);
    void scheduleFit(bool leadingRows);
    void fitColumns();

    DatasetModel* model_;
    bool syncing_ = false;
    bool fitPending_ = false;
    bool measureLeading_ = false;
    bool fitting_ = false;
    QList<bool> userSized_;
};
