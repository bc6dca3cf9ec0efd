#pragma once
// The certificate dialog `ftrMSertif`: the date a certificate or accreditation ends and its
// specialty, picked from the specialties; a new certificate or the current one.
#include "shell/CertificateForm.h"

class WindowHost;

class CertificateDialog : public CertificateForm {
    Q_OBJECT
public:
    explicit CertificateDialog(WindowHost& main);

    void activated() override;
    void DateTimePicker1Change() override;
    void pickSpecialty() override;
    void confirm() override;
    void cancel() override;

private:
    WindowHost& main_;
};
