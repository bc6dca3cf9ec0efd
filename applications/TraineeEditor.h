#pragma once
// The trainee editor: the current trainee row in bound boxes, its programme, position, diploma
// specialty and specialty picked through the shared dialogs; "Сохранить" stores the names in
// capitals when something changed, "Отмена" throws the changes away. A generation that keeps the
// certificate, e-mail or SNILS in rows of their own has their boxes bound to those rows, saved
// and discarded with the trainee; the certificate has its own dialog and can be cleared.
#include "applications/Generation.h"

#include <QDialog>

class QLineEdit;
class TftrMain;

class TraineeEditor : public QDialog {
    Q_OBJECT
public:
    TraineeEditor(TftrMain& main, const Generation& generation);

    void FormActivate();
    void SpeedButton1Click(); // programme
    void SpeedButton2Click(); // position
    void SpeedButton3Click(); // diploma specialty
    void SpeedButton4Click(); // specialty, or the certificate dialog
    void Button1Click();      // "Сохранить"
    void Button2Click();      // "Отмена"
    void Button3Click();      // "Удалить" the certificate

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override; // the close box and Esc discard, as "Отмена" does

private:
    TftrMain& main_;
    const Generation& g_;
    QLineEdit* position_;
    QLineEdit* specialty_;
    bool activated_ = false;
    bool closing_ = false;
};
