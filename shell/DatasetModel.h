#pragma once
// A table model over a dataset for grids: one column per chosen field, rows read through the
// dataset only when the view asks for them (that is, when they are painted).

#include <functional>
#include <optional>
#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

class DataSource;
class Dataset;

struct GridColumn {
    QString field;
    QString title; // empty: the field's own name
    int width = 0; // pixels; 0: fitted to the title and the values by the grid
    std::optional<QColor> background = std::nullopt;
};

// Colours of a whole row (marked rows, for example); nullopt: the column's own.
struct RowColours {
    QColor background;
    QColor foreground;
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // True for a row drawn in its own colours, which the selection does not hide.
    static constexpr int OwnColoursRole = Qt::UserRole + 1;

    DatasetModel(DataSource* source, QList<GridColumn> columns, QObject* parent = nullptr);

    Dataset* dataset() const { return dataset_; }
    const QList<GridColumn>& columns() const { return columns_; }
    void setRowColours(std::function<std::optional<RowColours>(int row)> fn) { rowColours_ = std::move(fn); }
    // A tooltip for a whole row (what its colours mean); empty for none.
    void setRowToolTip(std::function<QString(int row)> fn) { rowToolTip_ = std::move(fn); }
    // The field index of a grid column, -1 when the dataset has no such field.
    int fieldIndex(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void currentRowChanged(int row); // the dataset's cursor moved

private:
    void reset();
    void currentRecordChanged();

    Dataset* dataset_;
    QList<GridColumn> columns_;
    QList<int> fieldIndexes_;
    std::function<std::optional<RowColours>(int)> rowColours_;
    std::function<QString(int)> rowToolTip_;
    int rows_ = 0;
    int indicatorRow_ = -1; // the row whose header shows the current-row indicator
};
