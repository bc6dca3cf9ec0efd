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

    // What the buttons and boxes do (the widgets keep their object names: SpeedButton1…).
    void activated() override;
    void surnameSearchChanged();
    void addPerson();         // "Добавить" a person
    void editPerson();        // "Редакт." the person
    void deletePerson();      // "Удалить" the person
    void addCertificate();    // "Добавить" a certificate
    void editCertificate();   // "Редакт." the certificate
    void deleteCertificate(); // "Удалить" the certificate
    void addTraining();       // the training buttons, disabled here: the card keeps the training
    void editTraining();
    void deleteTraining();

private:
    void writeCount();

    WindowHost& main_;
    QLineEdit* surnameSearch_;
    DbGrid* people_;
};
