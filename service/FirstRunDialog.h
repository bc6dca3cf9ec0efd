#pragma once
// The first-run window `ftrFirstRun`: shown instead of the program when its root folder has no
// database. It says where the data folder is and offers three starts: the old program's tables
// (with a progress bar and a report per table), the demonstration data, or an empty database.
// Accepted once the database exists; closing it makes nothing.
#include "core/RootPaths.h"

#include <QDialog>

class Clock;
class Prompter;
class QCommandLinkButton;
class QPlainTextEdit;
class QCheckBox;
class QProgressBar;
class QPushButton;

class FirstRunDialog : public QDialog {
    Q_OBJECT
public:
    FirstRunDialog(RootPaths root, Clock& clock, Prompter& prompter, QWidget* parent = nullptr);

    void importOldTables();
    void fillDemo();
    void startEmpty();

private:
    // Runs a way of making the database; false, after the error box, when it failed.
    bool make(const std::function<QString()>& how, QString* report = nullptr);
    void setChoicesEnabled(bool on);

    RootPaths root_;
    Clock& clock_;
    Prompter& prompter_;
    QList<QCommandLinkButton*> choices_;
    QCheckBox* starterBooks_;
    QString failure_; // why the last attempt failed, for the report
    QProgressBar* progress_;
    QPlainTextEdit* report_;
    QPushButton* exit_;
    QPushButton* open_;
};
