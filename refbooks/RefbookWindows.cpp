#include "refbooks/RefbookWindows.h"

#include "data/DataModule.h"
#include "refbooks/PickDialog.h"
#include "refbooks/ZiclDialog.h"
#include "core/AppContext.h"
#include "shell/MainWindow.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"

void registerRefbookWindows() {
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

    // In the showcase: the books from the menu and, where the window changes, opened to pick for
    // the trainee editor; the chooser as the trainee editor opens it, on the whole catalogue.
    windows::registerShowcase(QStringLiteral("ftrDoljn"), [](TftrMain& m) {
        m.app().state.DoljnCaller = 0;
        return new TftrDoljn(m);
    });
    windows::registerShowcase(
        QStringLiteral("ftrDoljn"),
        [](TftrMain& m) {
            m.app().state.DoljnCaller = 8;
            return new TftrDoljn(m);
        },
        QStringLiteral("pick"));
    windows::registerShowcase(QStringLiteral("ftrSpez"), [](TftrMain& m) {
        m.app().state.SpezCaller = 8;
        return new TftrSpez(m);
    });
    windows::registerShowcase(QStringLiteral("ftrSpecialty"), [](TftrMain& m) {
        m.app().state.SpecialtyCaller = 8;
        return new TftrSpecialty(m);
    });
    windows::registerShowcase(QStringLiteral("ftrZicl"), [](TftrMain& m) {
        m.app().state.ZiclCaller = 8;
        m.app().DM->reloadNewZicl(TDM::defaultNewZiclSql());
        return new TftrZicl(m);
    });
}
