#pragma once
// The form both certificate dialogs share (a person's and a trainee's): the date the certificate
// or accreditation ends in a date picker, its specialty in a bound read-only box with the "..."
// pick button beside it, and "ОК" / "Отмена". The dialogs add what each does with them.
#include "shell/EditDialog.h"

class DataSource;
class DateBox;

class CertificateForm : public EditDialog {
    Q_OBJECT
public:
    virtual void DateTimePicker1Change() = 0;
    virtual void pickSpecialty() = 0; // "..." picks the specialty
    virtual void confirm() = 0;       // "ОК"
    virtual void cancel() = 0;        // "Отмена"

protected:
    // `certificate` is the data source of the certificate rows; `dateCaption` the label over the date.
    CertificateForm(QWidget* parent, const QString& dateCaption, DataSource* certificate);

    // The date shown; throws UserError, the box taking the focus, when it is empty or no date.
    QDate date() const;
    // Shows a date without it counting as a change of the row.
    void showDate(const QDate& date);
    void focusSpecialty();
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void leaveByUser() override { cancel(); }

private:
    DateBox* picker_;
    QWidget* specialty_;
    QString dateCaption_;
};
