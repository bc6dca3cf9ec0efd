#pragma once
// The document actions of the program's windows: "Печать заявки" of the applications window.
void registerDocumentWindows();
