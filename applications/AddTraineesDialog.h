#pragma once
// The adding dialog: one programme and one quarter for everyone marked in the staff register
// with the space bar; "Выполнить" adds one trainee per marked person to the current application.
#include "applications/Generation.h"

#include "shell/ActivatedDialog.h"

class DbGrid;
class QLineEdit;
class QPushButton;
class WindowHost;

// The up-down control beside the quarter box: steps the box's number between 1 and 4.
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    UpDownControl(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);
    int position() const { return position_; }
    void stepBy(int steps);

private:
    QLineEdit* buddy_;
    int minimum_, maximum_, position_;
};

class AddTraineesDialog : public ActivatedDialog {
    Q_OBJECT
public:
    AddTraineesDialog(WindowHost& main, const Generation& generation);

    void activated() override;
    void gridKeyReleased(int key);
    void chooseProgramme(); // "Выбрать"
    void addMarked();       // "Выполнить"
    void cancel();          // "Отмена"

protected:
private:
    WindowHost& main_;
    const Generation& g_;
    DbGrid* people_;
    QLineEdit* programme_;
    QLineEdit* hours_;
    QLineEdit* quarter_;
    QPushButton* choose_;
};
