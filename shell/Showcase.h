#pragma once
// Every window and dialog of the program as a user first sees it, for the layout test
// (tests/shell/WindowLayoutTest.cpp) and the gallery (`zajavki gallery DIR`). Each subsystem
// registers its own in its register…Windows() function, one line per window:
//
//   windows::registerShowcase("ftrPersonal", [](WindowHost& m) { return new PersonnelWindow(m); });
//
// The function makes the window over the main window `m`, whose data module holds the
// demonstration data (service/DemoRoot.h) with every table open, after setting what the window's
// openers set before opening it: caller codes, mode flags, the current row, a loaded query. It
// neither shows nor runs the window. A window that looks different when opened another way gets
// a second entry with a variant name; its picture is then "ftrDoljn-pick.png":
//
//   windows::registerShowcase("ftrDoljn", makePicking, "pick");
//
// A dialog keeps the size it gives itself; the main window and the child windows get the size
// they have maximized on a common screen. Nothing else is needed: once registered, the window is
// checked by the layout test and drawn by the gallery.
#include <functional>
#include <memory>
#include <QList>
#include <QSize>
#include <QString>

class QImage;
class QWidget;
class WindowHost;

namespace windows {

using ShowcaseFactory = std::function<QWidget*(WindowHost&)>;

struct Showcase {
    QString objectName;
    QString variant;
    ShowcaseFactory make;
    // "ftrDoljn", or "ftrDoljn-pick" for a variant: the picture's file name without ".png".
    QString name() const;
};

// Registering a name again replaces the entry.
void registerShowcase(const QString& objectName, ShowcaseFactory make, const QString& variant = {});
// In the order of registration.
const QList<Showcase>& showcases();
// The entry of that name ("ftrDoljn", "ftrDoljn-pick"); nullptr when none is registered.
const Showcase* findShowcase(const QString& name);

// The smallest screen the program is used on: office monitors 1280 pixels wide, laptops 768
// high. The main window maximized on it (above the task bar), and a child window maximized in it.
inline constexpr QSize kScreenSize{1280, 768};
inline constexpr QSize kMainWindowSize{1280, 728};
inline constexpr QSize kChildWindowSize{1280, 620};
// The most a dialog may take: the screen less the task bar and the dialog's own title bar.
inline constexpr QSize kLargestDialog{1280, 700};

// Makes the window, names it when it has no name, gives it its normal size, shows it (off screen
// where the platform is the offscreen one), runs a child window's activation and lets it settle.
std::unique_ptr<QWidget> openShowcase(const Showcase& showcase, WindowHost& main);

// The window as the user sees it, with a plain title bar carrying its icon and caption.
QImage picture(QWidget& window);

} // namespace windows
