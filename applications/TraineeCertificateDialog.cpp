#include "applications/TraineeCertificateDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "shell/WindowHost.h"

TraineeCertificateDialog::TraineeCertificateDialog(WindowHost& main, const Generation& generation)
    : CertificateForm(main.hostWidget(), QStringLiteral("Дата окончания действия сертификата"),
                      (*main.app().DM).*generation.certificateRows.source),
      main_(main), g_(generation) {
    setWindowTitle(QStringLiteral("Редактирование"));
}

Table& TraineeCertificateDialog::certificate() const {
    return *((*main_.app().DM).*g_.certificateRows.table);
}

void TraineeCertificateDialog::DMctivate() {
    // The certificate's date when it has one, else today's.
    const Field& stored = certificate().field(fld::DateCL);
    const QDate date = stored.displayText().isEmpty() ? main_.app().clock.today() : stored.asDate();
    showDate(date); // showing the date is no change of the row
    focusSpecialty();
}

void TraineeCertificateDialog::DateTimePicker1Change() {
    Table& row = certificate();
    if (!row.isEditing())
        row.edit(); // makes the row when the trainee has none
    row.markModified();
}

void TraineeCertificateDialog::pickSpecialty() {
    main_.app().state.SpecialtyCaller = g_.callers.specialty;
    main_.showSpecialties();
}

void TraineeCertificateDialog::confirm() {
    // The date shown is stored, whether or not it was changed: a trainee without a certificate
    // row gets one.
    Table& row = certificate();
    row.edit();
    row.field(fld::DateCL).setAsDate(date());
    row.post();
    closeAccepted();
}

void TraineeCertificateDialog::cancel() {
    certificate().cancel();
    closeRejected();
}
