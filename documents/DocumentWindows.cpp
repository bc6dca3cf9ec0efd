#include "documents/DocumentWindows.h"

#include "applications/Generation.h"
#include "applications/TrainingPlanDialog.h"
#include "data/AppContext.h"
#include "documents/ApplicationDocument.h"
#include "documents/ListDocument.h"
#include "documents/PlanDocument.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"
#include "spreadsheet/DocumentOpener.h"

#include <QDir>

namespace {

// A document saved: said in the status bar, then opened.
void saved(WindowHost& main, const QString& path) {
    main.reportDone(QStringLiteral("Документ сохранён: ") + QDir::toNativeSeparators(path));
    openDocument(path);
}

} // namespace

void registerDocumentWindows() {
    // The list documents of the catalogue window, the chooser and the positions dialog.
    const struct {
        const char* action;
        const documents::ListDocumentSettings& settings;
    } lists[] = {{"PrintProgrammeList", documents::ListDocumentSettings::programmes()},
                 {"PrintPositionsList", documents::ListDocumentSettings::positions()}};
    for (const auto& list : lists)
        windows::registerAction(QString::fromLatin1(list.action),
                                [&settings = list.settings](WindowHost& main) {
                                    AppContext& app = main.app();
                                    saved(main, documents::saveListDocument(*app.DM, settings, app.root));
                                });

    // Each generation's applications window looks its print action up by its own instance name;
    // the document is saved into the root's Documents folder and handed to the desktop's
    // spreadsheet program.
    for (const Generation* generation : Generation::all()) {
        const documents::ApplicationDocumentSettings& settings =
            documents::ApplicationDocumentSettings::of(*generation);
        windows::registerAction(
            QStringLiteral("PrintApplication") + generation->windowInstance, [&settings](WindowHost& main) {
                AppContext& app = main.app();
                saved(main, documents::saveApplicationDocument(*app.DM, settings, app.root, app.prompter));
            });
    }

    // The plan window's "Печать".
    setPlanPrinting(documents::savePlanDocument);
}
