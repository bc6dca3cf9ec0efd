#include "shell/DbGrid.h"

#include "data/Dataset.h"
#include "shell/ErrorGuard.h"

#include <QHeaderView>
#include <QKeyEvent>

DbGrid::DbGrid(const QString& objectName, DataSource* source, QList<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new DatasetModel(source, std::move(columns), this)) {
    setObjectName(objectName);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(12);
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < model_->columns().size(); ++c)
        setColumnWidth(c, model_->columns()[c].width);
    connect(model_, &DatasetModel::currentRowChanged, this, &DbGrid::followDataset);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { emit cellClicked(i.row(), i.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit cellDoubleClicked(i.row(), i.column()); });
    followDataset(dataset()->isActive() ? dataset()->recNo() : -1);
}

QString DbGrid::cellText(int row, int column) const { return model_->index(row, column).data().toString(); }

void DbGrid::followDataset(int row) {
    if (syncing_)
        return;
    syncing_ = true;
    const int column = std::max(currentIndex().column(), 0);
    if (row >= 0) {
        setCurrentIndex(model_->index(row, column));
        scrollTo(model_->index(row, column));
    } else {
        setCurrentIndex({});
    }
    syncing_ = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || !dataset()->isActive())
        return;
    if (current.row() == dataset()->recNo())
        return;
    syncing_ = true;
    const bool moved = runGuarded([&] { dataset()->moveTo(current.row()); });
    syncing_ = false;
    if (!moved)
        followDataset(dataset()->recNo()); // the move was refused: show where the cursor really is
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    emit keyPressed(event->key());
}

void DbGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    emit keyReleased(event->key());
}
