#pragma once
// Handing a saved document to the desktop's spreadsheet program. The core library knows no
// desktop: the program with windows sets the opener (installDesktopOpener() in
// documents/DesktopOpener.h); commands without windows and tests leave it unset or set their own.
#include <functional>
#include <QString>

// Opens the file; false when the desktop could not.
using DocumentOpener = std::function<bool(const QString& path)>;

void setDocumentOpener(DocumentOpener opener);
bool hasDocumentOpener();

// Opens the saved document through the opener; does nothing when none is set. Throws
// DocumentError naming the file when the desktop cannot open it (the file stays saved).
void openDocument(const QString& path);
