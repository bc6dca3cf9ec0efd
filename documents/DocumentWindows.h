#pragma once
// The document actions of the program's windows: "Печать заявки" of each generation's applications
// window, the lists of the catalogue window, the chooser and the positions dialog, the plan window's
// "Печать".
void registerDocumentWindows();
