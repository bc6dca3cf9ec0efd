#pragma once
// The personnel card `ftrMPersonal`: one person of the register entered or changed in place
// (names, birth date, position and diploma specialty picked from the reference books, the two
// years of service), the person's training and certificates on two pages, and the e-mail address
// and SNILS, which are saved into their own tables with the person.
#include "shell/EditDialog.h"

class DbEdit;
class QCompleter;
class QLineEdit;
class QPushButton;
class QTabWidget;
class WindowHost;
namespace personnel {
struct DetailRows;
}

class PersonnelCard : public EditDialog {
    Q_OBJECT
public:
    explicit PersonnelCard(WindowHost& main);

    void activated() override;
    // The navigation rule of the name, date and first-year boxes on a key release.
    void boxKeyReleased(DbEdit* box, int key);
    void lastBoxKeyReleased(int key);
    // The checks, the questions and the save; false when one of them stopped it (its message
    // shown, the focus in the box concerned).
    bool savePerson();

    void pickPosition();         // "..." position
    void pickDiplomaSpecialty(); // "..." diploma specialty
    void addTraining();          // training: "Добавить"
    void editTraining();         //           "Редактир."
    void deleteTraining();       //           "Удалить"
    void addCertificate();       // certificates: "Добавить"
    void editCertificate();      //               "Редактир."
    void deleteCertificate();    //               "Удалить"
    void save();                 // "Сохранить"
    void cancel();               // "Отмена"
    void leave();                // "Выход"
    void clearSnils();           // "Очистить" the SNILS

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc and the close box behave as "Выход".
    void leaveByUser() override { leave(); }
    void done(int result) override;

private:
    void setSaveEnabled(bool on);
    // Brings the box into view (its page) and gives it the focus; by object name for a check's
    // verdict, which names the box.
    void focusBox(const QString& name);
    void focusBox(QWidget* box);
    // A person not saved yet has no number: it is saved first, so that a training row or a
    // certificate never belongs to nobody. False when the save was stopped.
    bool personSaved();
    // Whether anything in the card differs from what is stored: the person's row (a value its
    // field refuses counts) or the e-mail and SNILS boxes.
    bool hasUnsavedChanges();
    void showStoredContacts();
    // A training or certificate button: the person saved first, then the action on its rows.
    void detailAction(void (*action)(WindowHost&, const personnel::DetailRows&),
                      const personnel::DetailRows& rows);

    WindowHost& main_;
    QTabWidget* pages_;
    // The person's boxes, and all eight in the order the navigation keys go through them.
    DbEdit* surname_ = nullptr;
    DbEdit* firstName_ = nullptr;
    DbEdit* patronymic_ = nullptr;
    DbEdit* birthDate_ = nullptr;
    DbEdit* position_ = nullptr;
    DbEdit* diploma_ = nullptr;
    DbEdit* positionYear_ = nullptr;
    QList<DbEdit*> navigationOrder_;
    QLineEdit* email_;
    QLineEdit* snils_;
    bool rightStepsOn_ = true;          // the Right arrow was pressed with the caret at the end of its box
    QString storedEmail_, storedSnils_; // what the two boxes showed when the person was opened or saved
    QCompleter* diplomaNames_;          // the book's names offered while the diploma specialty is typed
    QPushButton* save_;
    QPushButton* cancel_;
};
