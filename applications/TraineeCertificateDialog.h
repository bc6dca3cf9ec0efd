#pragma once
// The trainee certificate dialog `ftrMSLSertif` of a generation that keeps a trainee's certificate
// in a row of its own (the base generation): the date the certificate ends and its specialty,
// picked from the specialties. "ОК" stores the date (making the row when the trainee has none);
// "Отмена" keeps the row as it was.
#include "applications/Generation.h"

#include <QDialog>

class QDateEdit;
class TftrMain;

class TraineeCertificateDialog : public QDialog {
    Q_OBJECT
public:
    TraineeCertificateDialog(TftrMain& main, const Generation& generation);

    void DMctivate(); // the activation
    void DateTimePicker1Change();
    void SpeedButton1Click(); // "..." picks the specialty
    void Button1Click();      // "ОК"
    void Button2Click();      // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void reject() override;

private:
    Table& certificate() const;

    TftrMain& main_;
    const Generation& g_;
    QDateEdit* picker_;
    bool activated_ = false;
    bool closing_ = false;
};
