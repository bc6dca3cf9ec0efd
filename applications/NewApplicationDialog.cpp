#include "applications/NewApplicationDialog.h"

#include "applications/ApplicationRules.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "shell/ActionButton.h"
#include "shell/WindowHost.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

NewApplicationDialog::NewApplicationDialog(WindowHost& main, const Generation& generation)
    : QDialog(main.hostWidget()), main_(main), g_(generation) {
    setWindowTitle(g_.newDialogCaption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    auto button = [this](QWidget* parent, const char* name, const QString& caption,
                         void (NewApplicationDialog::*h)()) {
        return actionButton(parent, QString::fromLatin1(name), caption, [this, h] { (this->*h)(); });
    };

    // The choice: type and year.
    choice_ = new QWidget(this);
    choice_->setObjectName(QStringLiteral("Panel1"));
    auto* typeBox = new QGroupBox(QStringLiteral("Тип заявки"), choice_);
    typeBox->setObjectName(QStringLiteral("RadioGroup1"));
    auto* typeLayout = new QVBoxLayout(typeBox);
    type_ = new QButtonGroup(this);
    const char* items[] = {"Основная", "Дополнительная"};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(items[i]), typeBox);
        r->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        type_->addButton(r, i);
        typeLayout->addWidget(r);
    }
    auto* yearBox = new QGroupBox(QStringLiteral("Задайте учебный год"), choice_);
    auto* yearLayout = new QHBoxLayout(yearBox);
    year_ = new QLineEdit(yearBox);
    year_->setObjectName(QStringLiteral("MaskEdit1"));
    year_->setInputMask(QStringLiteral("9999;_"));
    QFont big = year_->font();
    big.setBold(true);
    big.setPixelSize(16);
    year_->setFont(big);
    if (g_.years.highlighted)
        year_->setStyleSheet(QStringLiteral("background: #ffffe1;"));
    year_->setReadOnly(g_.years.fixed); // a generation made for one year only
    year_->setFixedWidth(80);
    yearLayout->addWidget(year_);
    auto* choiceLayout = new QGridLayout(choice_);
    choiceLayout->addWidget(typeBox, 0, 0, 2, 1);
    choiceLayout->addWidget(yearBox, 0, 1);
    auto* choiceButtons = new QHBoxLayout;
    choiceButtons->addWidget(
        makeDefault(button(choice_, "Button1", QStringLiteral("ОК"), &NewApplicationDialog::confirm)));
    choiceButtons->addWidget(
        button(choice_, "Button2", QStringLiteral("Отмена"), &NewApplicationDialog::cancel));
    choiceLayout->addLayout(choiceButtons, 1, 1);

    // The confirmation of an additional application.
    confirmation_ = new QWidget(this);
    confirmation_->setObjectName(QStringLiteral("Panel3"));
    auto* confirmBox =
        new QGroupBox(QStringLiteral("Подтвердите создание дополнительной заявки"), confirmation_);
    auto* confirmGrid = new QGridLayout(confirmBox);
    number_ = new QLineEdit(confirmBox);
    number_->setObjectName(QStringLiteral("Edit2"));
    confirmedYear_ = new QLineEdit(confirmBox);
    confirmedYear_->setObjectName(QStringLiteral("Edit3"));
    for (QLineEdit* e : {number_, confirmedYear_}) {
        e->setReadOnly(true);
        QFont bold = e->font();
        bold.setBold(true);
        e->setFont(bold);
    }
    auto* numberLabel = new QLabel(QStringLiteral("Создать заявку?"), confirmBox);
    numberLabel->setBuddy(number_);
    auto* yearLabel = new QLabel(QStringLiteral("на учебный год"), confirmBox);
    yearLabel->setBuddy(confirmedYear_);
    confirmGrid->addWidget(numberLabel, 0, 0);
    confirmGrid->addWidget(number_, 0, 1);
    confirmGrid->addWidget(yearLabel, 1, 0);
    confirmGrid->addWidget(confirmedYear_, 1, 1);
    auto* confirmButtons = new QHBoxLayout;
    confirmButtons->addWidget(
        button(confirmBox, "Button3", QStringLiteral("Да"), &NewApplicationDialog::answerYes));
    confirmButtons->addWidget(
        button(confirmBox, "Button4", QStringLiteral("Нет"), &NewApplicationDialog::answerNo));
    confirmGrid->addLayout(confirmButtons, 2, 0, 1, 2);
    auto* confirmLayout = new QVBoxLayout(confirmation_);
    confirmLayout->addWidget(confirmBox);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // sized to the panel that is visible
    layout->addWidget(choice_);
    layout->addWidget(confirmation_);
    activated();
}

void NewApplicationDialog::activated() {
    type_->setExclusive(false);
    for (QAbstractButton* b : type_->buttons())
        b->setChecked(false);
    type_->setExclusive(true);
    // The generation's fixed proposal (not today's year), or the start-up year.
    const int proposed = g_.years.proposed != 0 ? g_.years.proposed : main_.app().state.CurYear;
    year_->setText(QString::number(proposed));
    confirmation_->hide();
    choice_->show();
}

void NewApplicationDialog::chooseAdditional(int year) {
    type_->button(1)->setChecked(true);
    if (year != 0)
        year_->setText(QString::number(year));
}

void NewApplicationDialog::confirm() {
    AppContext& app = main_.app();
    DataModule& dm = *app.DM;
    if (type_->checkedId() < 0) {
        app.prompter.inform(QStringLiteral("Не выбрали тип заявки!"));
        return;
    }
    bool ok = false;
    const int year = year_->text().trimmed().toInt(&ok);
    if (!ok || year_->text().trimmed().size() != 4)
        throw DbError(
            QStringLiteral("'%1' — неверное значение года: нужны четыре цифры").arg(year_->text().trimmed()));
    if (const QString refusal = applications::yearRefusal(g_, year); !refusal.isEmpty()) {
        app.prompter.inform(refusal);
        year_->setFocus();
        return;
    }

    if (type_->checkedId() == 0) {
        const double number = double(dm.tblConfig->field(fld::KZajavki).asInteger());
        if (applications::locateApplication(dm, g_, number, year)) {
            if (app.prompter.ask(QStringLiteral("Такая заявка уже есть!"),
                                 QStringLiteral("Хотите просмотреть заявку?"), Prompter::Icon::Question,
                                 Prompter::Buttons::YesNo) != Prompter::Answer::Yes) {
                year_->setFocus();
                return;
            }
        } else {
            applications::createApplication(dm, g_, number, year);
        }
        addNext_ = true;
        accept();
        return;
    }

    bool noMain = false;
    const double number = applications::additionalNumber(dm, g_, year, &noMain);
    if (noMain)
        app.prompter.inform(QStringLiteral("Нет основной заявки на этот год!"));
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    number_->setText(locale.toString(number, 'g', 15));
    confirmedYear_->setText(QString::number(year));
    choice_->hide();
    confirmation_->show();
    makeDefault(findChild<QPushButton*>(QStringLiteral("Button3"))); // Enter confirms, as ОК did
}

void NewApplicationDialog::cancel() {
    reject();
}

void NewApplicationDialog::answerYes() {
    AppContext& app = main_.app();
    const double shown = QLocale().toDouble(number_->text());
    const double made = applications::createApplication(*app.DM, g_, shown, confirmedYear_->text().toInt(),
                                                        /*supplementary=*/true);
    if (made != shown)
        app.prompter.inform(
            QStringLiteral("Номер %1 тем временем занял другой пользователь: создана заявка № %2.")
                .arg(number_->text(), formatNumber(made)));
    addNext_ = true;
    accept();
}

void NewApplicationDialog::answerNo() {
    reject();
}
