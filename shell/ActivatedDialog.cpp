#include "shell/ActivatedDialog.h"

#include "shell/ErrorGuard.h"

void ActivatedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
    runGuarded([this] { activated(); });
}
