#pragma once
// Registration of the reference-book dialogs, the programme chooser, the catalogue window and the
// catalogue items of the main menu; the actions the catalogue window and the chooser share.
class WindowHost;

void registerRefbookWindows();

namespace refbooks {

// The programmes qNewZicl holds, as a workbook (the chooser's and the catalogue window's button).
void printProgrammeList(WindowHost& main);

// "Загрузить каталог программ…": the centre's catalogue file chosen in an open-file dialog, what it
// changes shown, and, when the user agrees, loaded in one transaction. True when it was loaded.
bool loadNewCatalogue(WindowHost& main);

} // namespace refbooks
