#pragma once
// The main window `ftrMain`: a multiple-document frame with the menu, the toolbar, the status bar,
// the find-or-create procedures of the child windows and the Show… procedures of the dialogs.
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "shell/WindowHost.h"

struct AppContext;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

class MainWindow : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& app, QWidget* parent = nullptr);

    AppContext& app() const override { return app_; }
    QWidget* hostWidget() override { return this; }

    // The status bar's three panels.
    void setStatusPanel(int panel, const QString& text) override;
    QString statusPanel(int panel) const;
    // What the user's last action did, in the status bar with the time: "14:05 — Заявка выгружена в
    // файл Заявка 116 2026.db". Saving, exporting and copying say it there, as no message box does.
    void reportDone(const QString& what) override;

    // Child windows: found again by caption, created on first use, shown maximized.
    void openPersonnel();
    void openProgrammes();
    void openApplications();
    void openApplicationsTo2020();
    void openApplications2022();

    // Dialogs: a new instance each time, shown modally; returns the modal result.
    int showPositions() override;
    int showDiplomaSpecialties() override;
    int showSpecialties() override;
    int showSettings() override;
    int showProgrammeChooser() override;
    int showMoving();
    int showModal(QDialog* dialog) override;

    // The current instance of a window by its variable's name ("ftrPersonal", "ftrDoljn"…);
    // null when there is none (a dialog's is null once it has closed).
    QWidget* instance(const QString& name) const override { return instances_.value(name); }

    // Milliseconds the start-up window waits before opening the tables.
    void setStartupDelay(int ms) { startupDelay_ = ms; }
    bool isStartedUp() const { return startedUp_; }
    // Creates the data module and runs the start-up window; done once, when first shown.
    void startUp();
    // For a data module whose tables were already opened by other means: no start-up window.
    void skipStartUp() { shown_ = startedUp_ = true; }

    QMdiArea* mdiArea() const { return mdi_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void openChild(const QString& procedure, QToolButton* button);
    int showDialog(const QString& procedure, const QString& instanceName);
    void runAction(const QString& item);

    AppContext& app_;
    QMdiArea* mdi_;
    QList<QLabel*> panels_;
    QHash<QString, QPointer<QWidget>> instances_;
    QHash<QString, QToolButton*> buttons_;
    int startupDelay_ = 5000;
    bool shown_ = false;
    bool startedUp_ = false;
};
