#include "shell/DatasetModel.h"

#include "data/Dataset.h"
#include "data/DataSource.h"

DatasetModel::DatasetModel(DataSource* source, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataset_(source->dataset()), columns_(std::move(columns)) {
    for (const GridColumn& c : columns_) {
        Field* f = dataset_->findField(c.field);
        fieldIndexes_ << (f ? f->index() : -1);
    }
    rows_ = dataset_->isActive() ? dataset_->recordCount() : 0;
    indicatorRow_ = dataset_->isActive() ? dataset_->recNo() : -1;
    connect(dataset_, &Dataset::viewReset, this, &DatasetModel::reset);
    // Editing and saving a row that keeps its place repaint that row alone: a mark set in a
    // register of 100,000 people must not rebuild the grid.
    connect(dataset_, &Dataset::stateChanged, this, &DatasetModel::currentRecordChanged);
    connect(dataset_, &Dataset::currentChanged, this, &DatasetModel::currentRecordChanged);
    connect(dataset_, &Dataset::fieldChanged, this, &DatasetModel::currentRecordChanged);
}

int DatasetModel::fieldIndex(int column) const {
    return fieldIndexes_.value(column, -1);
}

void DatasetModel::reset() {
    beginResetModel();
    rows_ = dataset_->isActive() ? dataset_->recordCount() : 0;
    indicatorRow_ = dataset_->isActive() ? dataset_->recNo() : -1;
    endResetModel();
    emit currentRowChanged(indicatorRow_);
}

void DatasetModel::currentRecordChanged() {
    const int rows = dataset_->isActive() ? dataset_->recordCount() : 0;
    if (rows != rows_) {
        reset();
        return;
    }
    const int row = dataset_->isActive() ? dataset_->recNo() : -1;
    if (row >= 0 && !columns_.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
    // The indicator moves from the row that was current to the one that is.
    if (row != indicatorRow_) {
        const int previous = indicatorRow_;
        indicatorRow_ = row;
        for (int r : {previous, row})
            if (r >= 0 && r < rows_)
                emit headerDataChanged(Qt::Vertical, r, r);
    }
    emit currentRowChanged(row);
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}
int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || !dataset_->isActive())
        return {};
    const int f = fieldIndexes_[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        if (f < 0)
            return {};
        const QVariant v = const_cast<Dataset*>(dataset_)->valueAt(index.row(), f);
        return dataset_->field(f).displayTextOf(v);
    }
    case Qt::BackgroundRole:
        if (rowColours_)
            if (auto c = rowColours_(index.row()))
                return c->background;
        if (columns_[index.column()].background)
            return *columns_[index.column()].background;
        return {};
    case Qt::ForegroundRole:
        if (rowColours_)
            if (auto c = rowColours_(index.row()))
                return c->foreground;
        return {};
    case Qt::ToolTipRole:
        return rowToolTip_ ? QVariant(rowToolTip_(index.row())) : QVariant();
    case OwnColoursRole:
        return rowColours_ && rowColours_(index.row()).has_value();
    case Qt::TextAlignmentRole:
        if (f >= 0 && !dataset_->field(f).def().isText() && dataset_->field(f).type() != FieldType::Date)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The row header marks the current row, as the grid's indicator column.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return dataset_->isActive() && section == dataset_->recNo() ? QStringLiteral("▸") : QString();
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& c = columns_[section];
    return c.title.isEmpty() ? c.field : c.title;
}
