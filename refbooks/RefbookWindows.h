#pragma once
// Registration of the reference-book dialogs, the programme chooser and the catalogue items of
// the main menu.
void registerRefbookWindows();
