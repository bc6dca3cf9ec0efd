#pragma once
// Where each subsystem puts the windows it offers, so the main window's menu, toolbar and Show…
// procedures open them without the shell knowing every window class.
#include <QString>
#include <functional>

class QDialog;
class QWidget;
class MainWindow;

namespace windows {
using ChildFactory = std::function<QWidget*(MainWindow&)>;
using DialogFactory = std::function<QDialog*(MainWindow&)>;
using Action = std::function<void(MainWindow&)>;

// Child windows by their opening procedure ("OpenPersonal"), dialogs by theirs ("ShowConfig"),
// other menu actions by the item's name ("N13").
void registerChild(const QString& procedure, ChildFactory factory);
void registerDialog(const QString& procedure, DialogFactory factory);
void registerAction(const QString& item, Action action);
ChildFactory child(const QString& procedure);
DialogFactory dialog(const QString& procedure);
Action action(const QString& item);
} // namespace windows

// The shell's own windows: the main window and the start-up window.
void registerShellWindows();
// Every window of the program (each subsystem adds its own).
void registerAllWindows();
