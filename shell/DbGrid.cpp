#include "shell/DbGrid.h"

#include "data/Dataset.h"
#include "shell/ErrorGuard.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>

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

// How many leading rows are measured besides those in view: enough for a typical list to be
// measured whole, few enough that a register of tens of thousands of rows opens at once.
constexpr int kMeasuredRows = 200;

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
    userSized_.fill(false, model_->columns().size());
    for (int c = 0; c < model_->columns().size(); ++c) {
        const GridColumn& column = model_->columns()[c];
        // A width the window gives is kept unless the title would not fit in it.
        const int title = horizontalHeader()->sectionSizeHint(c);
        setColumnWidth(c, column.width > 0 ? std::max(column.width, title) : title);
    }
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!fitting_ && column < userSized_.size())
            userSized_[column] = true;
    });
    // New rows are measured from the top; a changed row or a scroll brings only the rows in view.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { scheduleFit(true); });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { scheduleFit(false); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { scheduleFit(false); });
    measureLeading_ = true;
    fitColumns();
    connect(model_, &DatasetModel::currentRowChanged, this, &DbGrid::followDataset);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { emit cellClicked(i.row(), i.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit cellDoubleClicked(i.row(), i.column()); });
    followDataset(dataset()->isActive() ? dataset()->recNo() : -1);
}

QString DbGrid::cellText(int row, int column) const {
    return model_->index(row, column).data().toString();
}

bool DbGrid::isFitted(int column) const {
    return column >= 0 && column < model_->columns().size() && model_->columns()[column].width <= 0;
}

QString DbGrid::toolTipAt(int row, int column) const {
    const QString own = model_->index(row, column).data(Qt::ToolTipRole).toString();
    if (!own.isEmpty())
        return own;
    return cellWidthHint(row, column) > columnWidth(column) ? cellText(row, column) : QString();
}

bool DbGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        const QString tip = at.isValid() ? toolTipAt(at.row(), at.column()) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(at));
        return true;
    }
    return QTableView::viewportEvent(event);
}

int DbGrid::cellWidthHint(int row, int column) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int width = itemDelegate()->sizeHint(option, model_->index(row, column)).width();
    return showGrid() ? width + 1 : width; // the grid line is drawn inside the cell
}

void DbGrid::scheduleFit(bool leadingRows) {
    measureLeading_ = measureLeading_ || leadingRows;
    if (fitPending_)
        return;
    fitPending_ = true;
    QTimer::singleShot(0, this, &DbGrid::fitColumns);
}

void DbGrid::fitColumns() {
    fitPending_ = false;
    const int rows = model_->rowCount();
    // The rows in view and, after new rows came, the leading ones: what the user sees, at a cost
    // that does not grow with the table.
    QList<int> measured;
    const int leading = measureLeading_ ? std::min(rows, kMeasuredRows) : 0;
    measureLeading_ = false;
    for (int r = 0; r < leading; ++r)
        measured << r;
    const int top = std::max(rowAt(0), leading);
    if (rowAt(0) >= 0) {
        int bottom = rowAt(viewport()->height() - 1);
        if (bottom < 0)
            bottom = rows - 1;
        for (int r = top; r <= bottom; ++r)
            measured << r;
    }
    fitting_ = true;
    QList<std::pair<int, int>> capped; // columns whose values need more than the cap, and how much
    for (int c = 0; c < model_->columns().size(); ++c) {
        if (!isFitted(c) || userSized_[c])
            continue;
        int width = horizontalHeader()->sectionSizeHint(c);
        for (int r : measured)
            width = std::max(width, cellWidthHint(r, c));
        if (width > kMaxFittedWidth)
            capped << std::pair{c, width};
        width = std::min(width, kMaxFittedWidth);
        if (width > columnWidth(c))
            setColumnWidth(c, width);
    }
    // Room the grid has to spare goes to the capped columns, so their values show whole where
    // they can.
    int room = isVisible() ? viewport()->width() - horizontalHeader()->length() : 0; // known once shown
    for (auto [c, needed] : capped) {
        if (room <= 0)
            break;
        const int more = std::min(needed - columnWidth(c), room);
        if (more > 0) {
            setColumnWidth(c, columnWidth(c) + more);
            room -= more;
        }
    }
    fitting_ = false;
}

void DbGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    scheduleFit(false); // more rows may have come into view, and room to spare
}

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
