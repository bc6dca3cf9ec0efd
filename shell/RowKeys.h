#pragma once
// The keys every grid of the program answers the same way, and its context menu: Ins adds, Enter
// or F2 opens the current row, Delete deletes. Each key clicks the window's own button for it, so
// a disabled button is a key that does nothing, and the handler is the one the mouse reaches.
// The context menu lists the same buttons (and any others given) with their keys.
#include <QList>

class QAbstractButton;
class QAbstractItemView;
class QMenu;

struct RowButtons {
    QAbstractButton* add = nullptr;
    QAbstractButton* open = nullptr;
    QAbstractButton* remove = nullptr;
    QList<QAbstractButton*> more = {}; // in the context menu only
};

void attachRowKeys(QAbstractItemView* grid, const RowButtons& buttons);

// The grid's context menu as it would open now (the caller owns it).
QMenu* rowMenu(QAbstractItemView* grid);
