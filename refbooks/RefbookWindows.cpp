#include "refbooks/RefbookWindows.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "refbooks/CatalogueLoad.h"
#include "refbooks/CatalogueSummaryDialog.h"
#include "refbooks/PickDialog.h"
#include "refbooks/ProgrammeChooserDialog.h"
#include "refbooks/ProgrammesWindow.h"
#include "shell/Showcase.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"

namespace refbooks {

void printProgrammeList(WindowHost& main) {
    if (windows::Action print = windows::action(QStringLiteral("PrintProgrammeList")))
        print(main);
    else
        main.app().prompter.inform(QStringLiteral("Печать списка программ пока недоступна"));
}

bool loadNewCatalogue(WindowHost& main) {
    AppContext& app = main.app();
    const QString file =
        app.prompter.openFileName(QStringLiteral("Каталог программ учебного центра"), app.root.root(),
                                  QStringLiteral("Таблицы Paradox (*.db *.DB);;Все файлы (*)"));
    if (file.isEmpty())
        return false;
    const CatalogueComparison comparison = compareCatalogue(*app.store, file, app.state.CurYear);
    if (main.showModal(new CatalogueSummaryDialog(comparison)) != QDialog::Accepted)
        return false;
    // The catalogue it replaces can be had back from the copy taken first.
    app.backups().before(backup_action::kCatalogue);
    loadCatalogue(*app.store, file);
    app.prompter.inform(QStringLiteral("Каталог программ загружен: %1; программ в каталоге: %2.")
                            .arg(comparison.summary(), QString::number(comparison.rows)));
    return true;
}

} // namespace refbooks

void registerRefbookWindows() {
    windows::registerChild(QStringLiteral("OpenProgr"),
                           [](WindowHost& m) { return new ProgrammesWindow(m); });
    windows::registerAction(QStringLiteral("LoadCatalogue"),
                            [](WindowHost& m) { refbooks::loadNewCatalogue(m); });
    windows::registerDialog(QStringLiteral("ShowDoljn"),
                            [](WindowHost& m) { return new PositionsDialog(m); });
    windows::registerDialog(QStringLiteral("ShowSpez"),
                            [](WindowHost& m) { return new DiplomaSpecialtiesDialog(m); });
    windows::registerDialog(QStringLiteral("ShowSpecialty"),
                            [](WindowHost& m) { return new SpecialtiesDialog(m); });
    windows::registerDialog(QStringLiteral("ShowZicl"),
                            [](WindowHost& m) { return new ProgrammeChooserDialog(m); });

    // The two catalogue items of the "Справочник" menu: browsing every programme, or whatever
    // the chooser was last loaded with.
    windows::registerAction(QStringLiteral("N8"), [](WindowHost& m) {
        m.app().state.ZiclCaller = 0;
        m.app().DM->reloadNewZicl(DataModule::defaultNewZiclSql());
        m.showProgrammeChooser();
    });
    windows::registerAction(QStringLiteral("N10"), [](WindowHost& m) {
        m.app().state.ZiclCaller = 0;
        m.showProgrammeChooser();
    });

    // In the showcase: the books from the menu and, where the window changes, opened to pick for
    // the trainee editor; the chooser as the trainee editor opens it, on the whole catalogue.
    windows::registerHelp(QStringLiteral("ftrDoljn"), QStringLiteral("positions"));
    windows::registerHelp(QStringLiteral("ftrSpez"), QStringLiteral("diploma-specialties"));
    windows::registerHelp(QStringLiteral("ftrSpecialty"), QStringLiteral("specialties"));
    windows::registerHelp(QStringLiteral("ftrProgr"), QStringLiteral("catalogue"));
    windows::registerHelp(QStringLiteral("ftrLoadCatalogue"), QStringLiteral("load-catalogue"));
    windows::registerHelp(QStringLiteral("ftrZicl"), QStringLiteral("programme-choice"));
    windows::registerShowcase(QStringLiteral("ftrDoljn"), [](WindowHost& m) {
        m.app().state.DoljnCaller = 0;
        return new PositionsDialog(m);
    });
    windows::registerShowcase(
        QStringLiteral("ftrDoljn"),
        [](WindowHost& m) {
            m.app().state.DoljnCaller = 8;
            return new PositionsDialog(m);
        },
        QStringLiteral("pick"));
    windows::registerShowcase(QStringLiteral("ftrSpez"), [](WindowHost& m) {
        m.app().state.SpezCaller = 8;
        return new DiplomaSpecialtiesDialog(m);
    });
    windows::registerShowcase(QStringLiteral("ftrSpecialty"), [](WindowHost& m) {
        m.app().state.SpecialtyCaller = 8;
        return new SpecialtiesDialog(m);
    });
    windows::registerShowcase(QStringLiteral("ftrProgr"),
                              [](WindowHost& m) { return new ProgrammesWindow(m); });
    // The summary of a new catalogue: one programme changed, one new, one vanished that an
    // application still uses.
    windows::registerShowcase(QStringLiteral("ftrLoadCatalogue"), [](WindowHost&) -> QWidget* {
        refbooks::CatalogueComparison c;
        c.file = QStringLiteral("/home/kadry/Загрузки/NewZicl2023.db");
        c.rows = 412;
        c.added = {{QStringLiteral("339720125"),
                    QStringLiteral("ПК"),
                    36,
                    2027,
                    QStringLiteral("Эндокринология"),
                    {}}};
        c.changed = {{QStringLiteral("339720101"),
                      QStringLiteral("ПК"),
                      144,
                      2026,
                      QStringLiteral("Актуальные вопросы терапии"),
                      {QStringLiteral("контингент")}}};
        c.vanished = {
            {QStringLiteral("339720077"), QStringLiteral("ПП"), 576, 2026, QStringLiteral("Неврология"), {}}};
        c.vanishedInUse = {
            {c.vanished[0],
             {QStringLiteral("заявка 116 на 2026 год: 2 слушателя (ЗАЙЦЕВА О. А., МИХАЙЛОВ О. А.)")}}};
        return new CatalogueSummaryDialog(c);
    });
    windows::registerShowcase(QStringLiteral("ftrZicl"), [](WindowHost& m) {
        m.app().state.ZiclCaller = 8;
        m.app().DM->reloadNewZicl(DataModule::defaultNewZiclSql());
        return new ProgrammeChooserDialog(m);
    });
}
