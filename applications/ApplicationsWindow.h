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

    // Handlers, named after their controls.
    void activated() override;
    void DBGrid1CellClick();
    void SpeedButton1Click(); // "Создать"
    void SpeedButton3Click(); // "Удалить" the whole application
    void SpeedButton2Click(); // "Добавить"
    void SpeedButton4Click(); // "Редактр."
    void SpeedButton5Click(); // "Удалить" the current trainee
    void SpeedButton6Click(); // print
    void SpeedButton7Click(); // "Выгрузить"
    void PlanButtonClick();   // "План обучения"
    void SpeedButton8Click(); // "Перемещение"

private:
    WindowHost& main_;
    const Generation& g_;
    DbGrid* applications_;
    DbGrid* trainees_;
    QLabel* count_;
};
