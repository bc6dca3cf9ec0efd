#include "personnel/CertificateDialog.h"

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

TftrMSertif::TftrMSertif(TftrMain& main) : EditDialog(&main), main_(main), picker_(new QDateEdit(this)) {
    TDM& dm = *main.app().DM;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    auto* dateLabel = new QLabel(QStringLiteral("Дата окончания действия сертификата или срока аккредитации"), this);
    picker_->setObjectName(QStringLiteral("DateTimePicker1"));
    picker_->setCalendarPopup(true);
    picker_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker_->setMinimumWidth(89);
    dateLabel->setBuddy(picker_);
    connect(picker_, &QDateEdit::dateChanged, this, [this] { runGuarded([this] { DateTimePicker1Change(); }); });

    auto* specialtyLabel = new QLabel(QStringLiteral("Специальность"), this);
    auto* specialty = new DbEdit(QStringLiteral("DBEdit1"), dm.dtsSertif, QStringLiteral("Name"), this);
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
    buttons->addWidget(actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { Button2Click(); }));

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

void TftrMSertif::FormActivate() {
    AppContext& app = main_.app();
    const Table& certificates = *app.DM->tblSertif;
    QDate date = app.clock.today();
    if (app.state.SertifMode == 0) {
        setWindowTitle(QStringLiteral("Новый сертификат"));
    } else {
        setWindowTitle(QStringLiteral("Редактирование сертификата"));
        // On a person without certificates there is no date to show: today, as for a new one.
        const QDate stored = certificates.isEmpty() ? QDate() : certificates.field(QStringLiteral("DateCL")).asDate();
        if (stored.isValid() && stored != Field::zeroDate())
            date = stored;
    }
    const QSignalBlocker quiet(picker_); // showing the date is no change of the row
    picker_->setDate(date);
    findChild<QWidget*>(QStringLiteral("DBEdit1"))->setFocus();
}

void TftrMSertif::DateTimePicker1Change() {
    Table& certificates = *main_.app().DM->tblSertif;
    if (!certificates.isEditing())
        certificates.edit();
    certificates.markModified(); // a changed date is a change of the row from now on
}

void TftrMSertif::SpeedButton1Click() {
    main_.app().state.SpecialtyCaller = 11;
    main_.ShowSpecialty();
}

void TftrMSertif::Button1Click() {
    Table& certificates = *main_.app().DM->tblSertif;
    certificates.updateRecord();
    if (certificates.isModified()) {
        certificates.field(QStringLiteral("DateCL")).setAsDate(picker_->date());
        certificates.post();
    } else {
        certificates.cancel(); // nothing was changed: nothing is written
    }
    closeAccepted();
}

void TftrMSertif::Button2Click() {
    main_.app().DM->tblSertif->cancel();
    closeRejected();
}
