#pragma once
// The trainee certificate dialog `ftrMSLSertif` of a generation that keeps a trainee's certificate
// in a row of its own (the base generation): the date the certificate ends and its specialty,
// picked from the specialties. "ОК" stores the date (making the row when the trainee has none);
// "Отмена" keeps the row as it was.
#include "applications/Generation.h"
#include "shell/CertificateForm.h"

class WindowHost;

class TraineeCertificateDialog : public CertificateForm {
    Q_OBJECT
public:
    TraineeCertificateDialog(WindowHost& main, const Generation& generation);

    void DMctivate(); // the activation
    void activated() override { DMctivate(); }
    void DateTimePicker1Change() override;
    void pickSpecialty() override;
    void confirm() override;
    void cancel() override;

private:
    Table& certificate() const;

    WindowHost& main_;
    const Generation& g_;
};
