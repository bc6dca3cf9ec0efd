#include "shell/DbGrid.h"

#include "data/Dataset.h"
#include "shell/ErrorGuard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {

// Rows with colours of their own (marked rows) keep them when selected: the user must see the mark.
class OwnColoursDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(DatasetModel::OwnColoursRole).toBool()) {
            option->state &= ~QStyle::State_Selected;
        }
    }
};

// Wide enough for the field's values (texts up to 40 characters) and for the title.
int naturalWidth(const QFontMetrics& fm, const Field* field, const QString& title) {
    int chars = 10;
    if (field) {
        switch (field->type()) {
        case FieldType::Alpha: chars = std::min(std::max(field->size(), 4), 40); break;
        case FieldType::Memo: chars = 30; break;
        case FieldType::Short: chars = 6; break;
        case FieldType::Number: chars = 9; break;
        default: chars = 10;
        }
    }
    return std::max(fm.averageCharWidth() * chars, fm.horizontalAdvance(title)) + 12;
}

} // namespace

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
    verticalHeader()->setFixedWidth(14);
    setItemDelegate(new OwnColoursDelegate(this));
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < model_->columns().size(); ++c) {
        const GridColumn& column = model_->columns()[c];
        const int field = model_->fieldIndex(c);
        setColumnWidth(c, column.width > 0 ? column.width
                                           : naturalWidth(fontMetrics(), field >= 0 ? &dataset()->field(field) : nullptr,
                                                          model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    }
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
