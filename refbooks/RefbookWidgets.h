#pragma once
// Pieces the pick dialogs and the programme chooser share: the hint strip along the bottom,
// the toolbar pictures and the writer that fills a box of another open window.
#include "refbooks/PickRules.h"
#include "shell/DatasetModel.h"

#include <QIcon>

class QLabel;
class QToolButton;
class QWidget;
class WindowHost;

namespace refbooks {

// A grid column; an empty title heads the column with the field's name.
// A column without a width is fitted to its title and values.
GridColumn column(const QString& field, const QString& title, int width = 0);

// The strip `Panel1` on cream with the double-click hint in red bold.
QLabel* makePickHint(QWidget* parent);

enum class Picture { Search, SearchNext, Print };
QIcon picture(Picture which, QWidget* widget);
// A toolbar button that shows its picture only, with a tooltip.
QToolButton* makePictureButton(const QString& objectName, Picture which, const QString& tooltip,
                               QWidget* parent);

// Fills the line edit of a window the main window holds as an open instance.
BoxWriter boxWriter(WindowHost& main);

} // namespace refbooks
