#include "shell/CertificateForm.h"

#include "core/UserError.h"
#include "shell/ActionButton.h"
#include "shell/DateBox.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

CertificateForm::CertificateForm(QWidget* parent, const QString& dateCaption, DataSource* certificate)
    : EditDialog(parent), picker_(new DateBox(QStringLiteral("DateTimePicker1"), this)),
      dateCaption_(dateCaption) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    auto* dateLabel = new QLabel(dateCaption, this);
    dateLabel->setBuddy(picker_);
    // Any typing counts as a change, so a date that is no date is refused on "ОК", never dropped.
    connect(picker_, &QLineEdit::textEdited, this,
            [this] { runGuarded([this] { DateTimePicker1Change(); }); });

    auto* specialtyLabel = new QLabel(QStringLiteral("Специальность"), this);
    auto* specialty = new DbEdit(QStringLiteral("DBEdit1"), certificate, QStringLiteral("Name"), this);
    specialty_ = specialty;
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
    connect(pick, &QToolButton::clicked, this, [this] { runGuarded([this] { pickSpecialty(); }); });
    auto* specialtyRow = new QHBoxLayout;
    specialtyRow->addWidget(specialty, 1);
    specialtyRow->addWidget(pick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeDefault(
        actionButton(this, QStringLiteral("Button1"), QStringLiteral("ОК"), [this] { confirm(); })));
    buttons->addWidget(
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { cancel(); }));

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

QDate CertificateForm::date() const {
    QString why = picker_->problem();
    if (why.isEmpty() && picker_->isBlank())
        why = QStringLiteral("Укажите дату: «%1».").arg(dateCaption_);
    if (!why.isEmpty()) {
        picker_->setFocus();
        throw UserError(why);
    }
    return picker_->date();
}

void CertificateForm::showDate(const QDate& date) {
    picker_->setDate(date);
}

void CertificateForm::focusSpecialty() {
    specialty_->setFocus();
}
