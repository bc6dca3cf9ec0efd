#pragma once
// The new application dialog: the type (main or additional) and the study year; the number is
// the contract number for the main application, the year's highest number plus 0.01 for an
// additional one, which is shown for confirmation first.
#include "applications/Generation.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QWidget;
class WindowHost;

class NewApplicationDialog : public QDialog {
    Q_OBJECT
public:
    NewApplicationDialog(WindowHost& main, const Generation& generation);

    void activated();
    void confirm();   // "ОК"
    void cancel();    // "Отмена"
    void answerYes(); // "Да"
    void answerNo();  // "Нет"

    // Chooses an additional application for `year` (0: keeps the year shown), as the user does
    // before pressing "ОК".
    void chooseAdditional(int year);

    // Set when the dialog made or found an application and the adding dialog is to follow.
    bool goesOnToAdding() const { return addNext_; }

private:
    WindowHost& main_;
    const Generation& g_;
    QWidget* choice_;
    QWidget* confirmation_;
    QButtonGroup* type_;
    QLineEdit* year_;
    QLineEdit* number_;
    QLineEdit* confirmedYear_;
    bool addNext_ = false;
};
