#include "refbooks/RefbookWindows.h"

#include "data/DataModule.h"
#include "refbooks/CatalogueLoad.h"
#include "refbooks/CatalogueSummaryDialog.h"
#include "refbooks/PickDialog.h"
#include "refbooks/ProgrammesWindow.h"
#include "refbooks/ZiclDialog.h"
#include "core/AppContext.h"
#include "shell/MainWindow.h"
#include "shell/WindowRegistry.h"

namespace refbooks {

void printProgrammeList(TftrMain& main) {
    if (windows::Action print = windows::action(QStringLiteral("PrintProgrammeList")))
        print(main);
    else
        main.app().prompter.inform(QStringLiteral("Печать списка программ пока недоступна"));
}

bool loadNewCatalogue(TftrMain& main) {
    AppContext& app = main.app();
    const QString file = app.prompter.openFileName(QStringLiteral("Каталог программ учебного центра"),
                                                   app.root.root(),
                                                   QStringLiteral("Таблицы Paradox (*.db *.DB);;Все файлы (*)"));
    if (file.isEmpty())
        return false;
    const CatalogueComparison comparison = compareCatalogue(*app.store, file, app.state.CurYear);
    if (main.showModal(new TftrLoadCatalogue(comparison)) != QDialog::Accepted)
        return false;
    loadCatalogue(*app.store, file);
    app.prompter.inform(QStringLiteral("Каталог программ загружен: %1; программ в каталоге: %2.")
                            .arg(comparison.summary(), QString::number(comparison.rows)));
    return true;
}

} // namespace refbooks

void registerRefbookWindows() {
    windows::registerChild(QStringLiteral("OpenProgr"), [](TftrMain& m) { return new TftrProgr(m); });
    windows::registerAction(QStringLiteral("LoadCatalogue"), [](TftrMain& m) { refbooks::loadNewCatalogue(m); });
    windows::registerDialog(QStringLiteral("ShowDoljn"), [](TftrMain& m) { return new TftrDoljn(m); });
    windows::registerDialog(QStringLiteral("ShowSpez"), [](TftrMain& m) { return new TftrSpez(m); });
    windows::registerDialog(QStringLiteral("ShowSpecialty"),
                            [](TftrMain& m) { return new TftrSpecialty(m); });
    windows::registerDialog(QStringLiteral("ShowZicl"), [](TftrMain& m) { return new TftrZicl(m); });

    // The two catalogue items of the "Справочник" menu: browsing every programme, or whatever
    // the chooser was last loaded with.
    windows::registerAction(QStringLiteral("N8"), [](TftrMain& m) {
        m.app().state.ZiclCaller = 0;
        m.app().DM->reloadNewZicl(TDM::defaultNewZiclSql());
        m.ShowZicl();
    });
    windows::registerAction(QStringLiteral("N10"), [](TftrMain& m) {
        m.app().state.ZiclCaller = 0;
        m.ShowZicl();
    });
}
