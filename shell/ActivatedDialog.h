#pragma once
// A modal dialog whose activation handler runs once, when it is first shown (under the error
// guard): the dialog fills its lists and places the focus then, not when it is made, so that a
// dialog made and never shown touches no data.
#include <QDialog>

class ActivatedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    virtual void activated() = 0;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool activated_ = false;
};
