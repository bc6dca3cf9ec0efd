#include "spreadsheet/DesktopOpener.h"

#include "spreadsheet/DocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

void installDesktopOpener() {
    setDocumentOpener(
        [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}
