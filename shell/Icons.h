#pragma once
// The program's own pictures: one simple, consistent set drawn for it (the toolbar and window
// buttons, the main toolbar, the window icon), kept as SVG in the program's resources and drawn
// sharp at whatever size a button asks for.
#include <QIcon>

namespace icons {

enum class Picture {
    Add,          // add rows ("Добавить")
    New,          // create a new document ("Создать")
    Edit,         // open the current row for editing
    Delete,       // delete the current row
    Print,        // print or produce a spreadsheet document
    Export,       // write an export file
    Move,         // move a row to another document
    Search,       // start a search
    SearchNext,   // continue a search
    People,       // the staff register
    Programmes,   // the programme catalogue
    Applications, // the training applications
    App,          // the program itself: the window icon
};

QIcon icon(Picture picture);

// Gives every window of the program its icon (and so no window shows the toolkit's own).
void installApplicationIcon();

} // namespace icons
