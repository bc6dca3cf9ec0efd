#pragma once
// Where each subsystem puts the windows it offers, so the main window's menu, toolbar and Show…
// procedures open them without the shell knowing every window class.
#include <functional>
#include <QString>

class QDialog;
class QWidget;
class WindowHost;

namespace windows {
using ChildFactory = std::function<QWidget*(WindowHost&)>;
using DialogFactory = std::function<QDialog*(WindowHost&)>;
using Action = std::function<void(WindowHost&)>;

// Child windows by their opening procedure ("OpenPersonal"), dialogs by theirs ("ShowConfig"),
// other menu actions by the item's name ("N13").
void registerChild(const QString& procedure, ChildFactory factory);
void registerDialog(const QString& procedure, DialogFactory factory);
void registerAction(const QString& item, Action action);
ChildFactory child(const QString& procedure);

// The main window's child windows, each found again by its caption.
struct ChildWindow {
    const char* procedure;
    const char* instance;
    const char* caption;
};
// Null for a procedure that opens no child window.
const ChildWindow* childWindow(const QString& procedure);
// The caption of the child window a procedure opens; empty for none.
QString childCaption(const QString& procedure);
DialogFactory dialog(const QString& procedure);
Action action(const QString& item);

// The section of the user's manual (shell/Manual.h) about a window or dialog, by its object name:
// what F1 opens while it is active. Every window of the showcase names one.
void registerHelp(const QString& objectName, const QString& section);
// Empty for a window that names none.
QString helpSection(const QString& objectName);
} // namespace windows

// The shell's own windows: the main window and the start-up window.
void registerShellWindows();
