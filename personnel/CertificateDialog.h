#pragma once
// The certificate dialog `ftrMSertif`: the date a certificate or accreditation ends and its
// specialty, picked from the specialties; a new certificate or the current one.
#include "shell/EditDialog.h"

class QDateEdit;
class TftrMain;

class TftrMSertif : public EditDialog {
    Q_OBJECT
public:
    explicit TftrMSertif(TftrMain& main);

    void FormActivate() override;
    void DateTimePicker1Change();
    void SpeedButton1Click(); // "..." picks the specialty
    void Button1Click();      // "ОК"
    void Button2Click();      // "Отмена"

protected:
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void leaveByUser() override { Button2Click(); }

private:
    TftrMain& main_;
    QDateEdit* picker_;
};
