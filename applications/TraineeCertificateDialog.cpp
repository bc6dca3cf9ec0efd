#include "applications/TraineeCertificateDialog.h"

#include "core/AppContext.h"
#include "data/DataModule.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"
#include "shell/MainWindow.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TraineeCertificateDialog::TraineeCertificateDialog(TftrMain& main, const Generation& generation)
    : QDialog(&main), main_(main), g_(generation), picker_(new QDateEdit(this)) {
    TDM& dm = *main.app().DM;
    setWindowTitle(QStringLiteral("Редактирование"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    auto* dateLabel = new QLabel(QStringLiteral("Дата окончания действия сертификата"), this);
    picker_->setObjectName(QStringLiteral("DateTimePicker1"));
    picker_->setCalendarPopup(true);
    picker_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker_->setMinimumWidth(89);
    dateLabel->setBuddy(picker_);
    connect(picker_, &QDateEdit::dateChanged, this, [this] { runGuarded([this] { DateTimePicker1Change(); }); });

    auto* specialtyLabel = new QLabel(QStringLiteral("Специальность"), this);
    auto* specialty =
        new DbEdit(QStringLiteral("DBEdit1"), dm.*g_.certificateRows.source, QStringLiteral("Name"), this);
    specialty->setReadOnly(true);
    specialty->setStyleSheet(QStringLiteral("background: #00ffff;"));
    specialty->setMinimumWidth(300);
    specialtyLabel->setBuddy(specialty);
    auto* pick = new QToolButton(this);
    pick->setObjectName(QStringLiteral("SpeedButton1"));
    pick->setText(QStringLiteral("..."));
    QFont bold = pick->font();
    bold.setBold(true);
    pick->setFont(bold);
    connect(pick, &QToolButton::clicked, this, [this] { runGuarded([this] { SpeedButton1Click(); }); });
    auto* specialtyRow = new QHBoxLayout;
    specialtyRow->addWidget(specialty, 1);
    specialtyRow->addWidget(pick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(actionButton(this, QStringLiteral("Button1"), QStringLiteral("ОК"), [this] { Button1Click(); }));
    buttons->addWidget(
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { Button2Click(); }));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(dateLabel);
    layout->addWidget(picker_, 0, Qt::AlignLeft);
    layout->addSpacing(6);
    layout->addWidget(specialtyLabel);
    layout->addLayout(specialtyRow);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

Table& TraineeCertificateDialog::certificate() const { return *((*main_.app().DM).*g_.certificateRows.table); }

void TraineeCertificateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        runGuarded([this] { DMctivate(); });
    }
}

void TraineeCertificateDialog::DMctivate() {
    // The certificate's date when it has one, else today's.
    const Field& stored = certificate().field(QStringLiteral("DateCL"));
    const QDate date = stored.displayText().isEmpty() ? main_.app().clock.today() : stored.asDate();
    const QSignalBlocker quiet(picker_); // showing the date is no change of the row
    picker_->setDate(date);
    findChild<QWidget*>(QStringLiteral("DBEdit1"))->setFocus();
}

void TraineeCertificateDialog::DateTimePicker1Change() {
    Table& row = certificate();
    if (!row.isEditing())
        row.edit(); // makes the row when the trainee has none
    row.markModified();
}

void TraineeCertificateDialog::SpeedButton1Click() {
    main_.app().state.SpecialtyCaller = g_.callers.specialty;
    main_.ShowSpecialty();
}

void TraineeCertificateDialog::Button1Click() {
    // The date shown is stored, whether or not it was changed: a trainee without a certificate
    // row gets one.
    Table& row = certificate();
    row.edit();
    row.field(QStringLiteral("DateCL")).setAsDate(picker_->date());
    row.post();
    closing_ = true;
    accept();
}

void TraineeCertificateDialog::Button2Click() {
    certificate().cancel();
    closing_ = true;
    QDialog::reject();
}

void TraineeCertificateDialog::reject() {
    if (closing_)
        QDialog::reject();
    else
        runGuarded([this] { Button2Click(); });
}
