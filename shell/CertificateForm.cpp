#include "shell/CertificateForm.h"

#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

CertificateForm::CertificateForm(QWidget* parent, const QString& dateCaption, DataSource* certificate)
    : EditDialog(parent), picker_(new QDateEdit(this)) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    auto* dateLabel = new QLabel(dateCaption, this);
    picker_->setObjectName(QStringLiteral("DateTimePicker1"));
    picker_->setCalendarPopup(true);
    picker_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker_->setMinimumWidth(89);
    dateLabel->setBuddy(picker_);
    connect(picker_, &QDateEdit::dateChanged, this, [this] { runGuarded([this] { DateTimePicker1Change(); }); });

    auto* specialtyLabel = new QLabel(QStringLiteral("Специальность"), this);
    auto* specialty = new DbEdit(QStringLiteral("DBEdit1"), certificate, QStringLiteral("Name"), this);
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

QDate CertificateForm::date() const { return picker_->date(); }

void CertificateForm::showDate(const QDate& date) {
    const QSignalBlocker quiet(picker_);
    picker_->setDate(date);
}

void CertificateForm::focusSpecialty() { findChild<QWidget*>(QStringLiteral("DBEdit1"))->setFocus(); }
