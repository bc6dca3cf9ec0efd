#include "shell/EditDialog.h"

#include "shell/ErrorGuard.h"

void EditDialog::closeAccepted() {
    closing_ = true;
    accept();
}

void EditDialog::closeRejected() {
    closing_ = true;
    QDialog::reject();
}

void EditDialog::reject() {
    if (closing_)
        QDialog::reject();
    else
        runGuarded([this] { leaveByUser(); });
}
