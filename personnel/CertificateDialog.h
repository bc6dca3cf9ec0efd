#pragma once
// The certificate dialog `ftrMSertif`: the date a certificate or accreditation ends and its
// specialty, picked from the specialties; a new certificate or the current one.
#include <QDialog>

class QDateEdit;
class TftrMain;

class TftrMSertif : public QDialog {
    Q_OBJECT
public:
    explicit TftrMSertif(TftrMain& main);

    void FormActivate();
    void DateTimePicker1Change();
    void SpeedButton1Click(); // "..." picks the specialty
    void Button1Click();      // "ОК"
    void Button2Click();      // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void reject() override;

private:
    TftrMain& main_;
    QDateEdit* picker_;
    bool activated_ = false;
    bool closing_ = false;
};
