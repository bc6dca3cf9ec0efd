// The shell's windows in the showcase of every window (shell/Showcase.h).
#include "data/AppContext.h"
#include "shell/MainWindow.h"
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
}
