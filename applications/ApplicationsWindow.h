#pragma once
// The applications window of a generation (`ftrZajavki2023` for the current one): the list of
// applications on the left, the trainees of the current one on the right, with their toolbars,
// and for the earlier generations a panel with the current trainee's details beside them. The
// window writes its own count line: when it is activated, on a click in the applications, and
// when a dialog it opened has changed the trainees.
#include "applications/Generation.h"
#include "shell/WindowHost.h"

#include <QWidget>

class DbGrid;
class QLabel;

class ApplicationsWindow : public QWidget, public ActivatedWindow {
    Q_OBJECT
public:
    ApplicationsWindow(WindowHost& main, const Generation& generation);

    const Generation& generation() const { return g_; }
    void setCountLine(const QString& text);
    QString countLine() const;
    void writeCountLine();

    // What the buttons and boxes do (the widgets keep their object names: SpeedButton1…).
    void activated() override;
    void gridClicked();
    void createApplication(); // "Создать"
    void deleteApplication(); // "Удалить" the whole application
    void addTrainees();       // "Добавить"
    void editTrainee();       // "Редактр."
    void deleteTrainee();     // "Удалить" the current trainee
    void printApplication();  // print
    void exportApplication(); // "Выгрузить"
    void showPlan();          // "План обучения"
    void moveTrainee();       // "Перемещение"

private:
    WindowHost& main_;
    const Generation& g_;
    DbGrid* applications_;
    DbGrid* trainees_;
    QLabel* count_;
};
