#pragma once
// Mouse actions on a data-aware grid as a user makes them: a click on a row's cell, and a double
// click (press, release, then the double click) on a row or, for row -1, below the last row.
#include "shell/DbGrid.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTest>

namespace gridActions {

inline QPoint cellCentre(DbGrid* grid, int row) {
    if (row < 0)
        return QPoint(grid->horizontalHeader()->sectionSize(0) / 2, grid->viewport()->height() - 4);
    return grid->visualRect(grid->model()->index(row, 0)).center();
}

inline void clickRow(DbGrid* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row));
    QCoreApplication::processEvents();
}

inline void doubleClickRow(DbGrid* grid, int row) {
    const QPoint at = cellCentre(grid, row);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
}

} // namespace gridActions
