#include "app/Registration.h"
#include "applications/ApplicationWindows.h"
#include "documents/DocumentWindows.h"
#include "personnel/PersonnelWindows.h"
#include "refbooks/RefbookWindows.h"
#include "service/ConfigDialog.h"
#include "shell/WindowRegistry.h"

// Each subsystem's windows are added here as the subsystem offers them.
void registerAllWindows() {
    registerShellWindows();
    registerServiceWindows();
    registerRefbookWindows();
    registerPersonnelWindows();
    registerApplicationWindows();
    registerDocumentWindows();
}
