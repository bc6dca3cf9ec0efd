#pragma once
// What a window is handed by the frame that opens it: the program's context, the way to run a
// modal dialog, the status bar, the pick dialogs a window opens to fill its boxes, and the open
// windows by instance name. Windows depend on this, not on the main window: the main window is
// one host, and the frame it shows is its own business.
class QDialog;
class QString;
class QWidget;
struct AppContext;

// A child window whose activation handler runs when the focus enters it from another window.
class ActivatedWindow {
public:
    virtual ~ActivatedWindow() = default;
    virtual void activated() = 0;
};

class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual AppContext& app() const = 0;
    // The widget dialogs are parented to.
    virtual QWidget* hostWidget() = 0;

    // Runs a dialog made by a window, storing it in its instance variable while it is shown;
    // returns the modal result.
    virtual int showModal(QDialog* dialog) = 0;
    // The reference books, the programme chooser and the settings, each a new instance shown
    // modally; returns the modal result.
    virtual int showPositions() = 0;
    virtual int showDiplomaSpecialties() = 0;
    virtual int showSpecialties() = 0;
    virtual int showProgrammeChooser() = 0;
    virtual int showSettings() = 0;

    // The status bar's panels (0 to 2).
    virtual void setStatusPanel(int panel, const QString& text) = 0;
    // What the user's last action did, in the status bar with the time.
    virtual void reportDone(const QString& what) = 0;

    // The current instance of a window by its variable's name ("ftrPersonal", "ftrDoljn"…);
    // null when there is none (a dialog's is null once it has closed).
    virtual QWidget* instance(const QString& name) const = 0;
};
