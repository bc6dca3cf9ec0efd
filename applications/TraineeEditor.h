#pragma once
// The trainee editor: the current trainee row in bound boxes, its programme, position, diploma
// specialty and specialty picked through the shared dialogs; "Сохранить" stores the names in
// capitals when something changed, "Отмена" throws the changes away. A generation that keeps the
// certificate, e-mail or SNILS in rows of their own has their boxes bound to those rows, saved
// and discarded with the trainee; the certificate has its own dialog and can be cleared.
#include "applications/Generation.h"

#include "shell/EditDialog.h"

#include <QList>

class DbEdit;
class QLineEdit;
class WindowHost;

class TraineeEditor : public EditDialog {
    Q_OBJECT
public:
    TraineeEditor(WindowHost& main, const Generation& generation);

    void activated() override;
    void pickProgramme();        // programme
    void pickPosition();         // position
    void pickDiplomaSpecialty(); // diploma specialty
    void pickSpecialty();        // specialty, or the certificate dialog
    void save();                 // "Сохранить"
    void cancel();               // "Отмена"
    void deleteCertificate();    // "Удалить" the certificate

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveByUser() override { cancel(); } // the close box and Esc discard, as "Отмена" does

private:
    WindowHost& main_;
    const Generation& g_;
    QList<DbEdit*> nameBoxes_; // surname, name, patronymic
    DbEdit* birthDate_;
    DbEdit* hours_;
    DbEdit* quarter_;
    QLineEdit* position_;
    QLineEdit* specialty_;
};
