#pragma once
// A modal dialog that edits a row in place: its activation handler runs once, when it is first
// shown (ActivatedDialog), and Esc and the close box run the dialog's own way out (its "Отмена" or "Выход"),
// so no way of leaving it keeps a row half-edited without the user's word.
#include "shell/ActivatedDialog.h"

class EditDialog : public ActivatedDialog {
    Q_OBJECT
public:
    using ActivatedDialog::ActivatedDialog;

protected:
    // What Esc and the close box do: the handler of the dialog's own way out.
    virtual void leaveByUser() = 0;
    // Closes the dialog from a handler, accepted or rejected, without running leaveByUser().
    void closeAccepted();
    void closeRejected();

    void reject() override;

private:
    bool closing_ = false;
};
