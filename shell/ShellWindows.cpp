// The shell's windows in the showcase of every window (shell/Showcase.h).
#include "data/AppContext.h"
#include "shell/AboutDialog.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/Manual.h"
#include "shell/Showcase.h"
#include "shell/StartupWindow.h"
#include "shell/WindowRegistry.h"

void registerShellWindows() {
    // The main window as it stands after start-up, with the applications window open in it.
    windows::registerShowcase(QStringLiteral("ftrMain"), [](WindowHost& m) {
        auto* main = new MainWindow(m.app());
        main->skipStartUp();
        main->openApplications();
        return main;
    });
    // The start-up window before its pause ends: it must not open the tables again.
    windows::registerShowcase(QStringLiteral("ftrAvtoriz"),
                              [](WindowHost& m) { return new StartupWindow(m.app(), 24 * 3600 * 1000); });
    windows::registerShowcase(QStringLiteral("ftrAbout"),
                              [](WindowHost& m) { return new AboutDialog(m.app(), m.hostWidget()); });
    // The help window at the register's section, as F1 in the register opens it.
    windows::registerShowcase(QStringLiteral("ftrHelp"), [](WindowHost& m) {
        auto* window = new HelpWindow(Manual::instance(), m.hostWidget());
        window->showSection(QStringLiteral("register"));
        return window;
    });
    windows::registerHelp(QStringLiteral("ftrMain"), QStringLiteral("main"));
    windows::registerHelp(QStringLiteral("ftrAvtoriz"), QStringLiteral("first-start"));
    windows::registerHelp(QStringLiteral("ftrAbout"), QStringLiteral("about"));
    windows::registerHelp(QStringLiteral("ftrHelp"), QStringLiteral("help"));
}
