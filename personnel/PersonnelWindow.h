#pragma once
// The staff register `ftrPersonal` ("Персонал"): every person in name order with a search by
// surname as the user types, the person's e-mail, SNILS, certificates and training beside the
// list, and the buttons that add, open and delete people and certificates.
#include "shell/WindowHost.h"

#include <QWidget>

class DbGrid;
class QLineEdit;
class QToolButton;

class PersonnelWindow : public QWidget, public ActivatedWindow {
    Q_OBJECT
public:
    explicit PersonnelWindow(WindowHost& main);

    // Handlers, named after their controls.
    void activated() override;
    void Edit1Change();
    void SpeedButton1Click(); // "Добавить" a person
    void SpeedButton2Click(); // "Редакт." the person
    void SpeedButton3Click(); // "Удалить" the person
    void SpeedButton7Click(); // "Добавить" a certificate
    void SpeedButton8Click(); // "Редакт." the certificate
    void SpeedButton9Click(); // "Удалить" the certificate
    void SpeedButton4Click(); // the training buttons, disabled here: the card keeps the training
    void SpeedButton5Click();
    void SpeedButton6Click();

private:
    void writeCount();

    WindowHost& main_;
    QLineEdit* search_;
    DbGrid* people_;
};
