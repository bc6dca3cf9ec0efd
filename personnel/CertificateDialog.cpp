#include "personnel/CertificateDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "shell/WindowHost.h"

CertificateDialog::CertificateDialog(WindowHost& main)
    : CertificateForm(main.hostWidget(),
                      QStringLiteral("Дата окончания действия сертификата или срока аккредитации"),
                      main.app().DM->dtsSertif),
      main_(main) {}

void CertificateDialog::activated() {
    AppContext& app = main_.app();
    const Table& certificates = *app.DM->tblSertif;
    QDate date = app.clock.today();
    if (app.state.SertifMode == 0) {
        setWindowTitle(QStringLiteral("Новый сертификат"));
    } else {
        setWindowTitle(QStringLiteral("Редактирование сертификата"));
        // On a person without certificates there is no date to show: today, as for a new one.
        const QDate stored = certificates.isEmpty() ? QDate() : certificates.field(fld::DateCL).asDate();
        if (stored.isValid() && stored != Field::zeroDate())
            date = stored;
    }
    showDate(date); // showing the date is no change of the row
    focusSpecialty();
}

void CertificateDialog::DateTimePicker1Change() {
    Table& certificates = *main_.app().DM->tblSertif;
    if (!certificates.isEditing())
        certificates.edit();
    certificates.markModified(); // a changed date is a change of the row from now on
}

void CertificateDialog::pickSpecialty() {
    main_.app().state.SpecialtyCaller = 11;
    main_.showSpecialties();
}

void CertificateDialog::confirm() {
    Table& certificates = *main_.app().DM->tblSertif;
    certificates.updateRecord();
    if (certificates.isModified()) {
        certificates.field(fld::DateCL).setAsDate(date());
        certificates.post();
    } else {
        certificates.cancel(); // nothing was changed: nothing is written
    }
    closeAccepted();
}

void CertificateDialog::cancel() {
    main_.app().DM->tblSertif->cancel();
    closeRejected();
}
