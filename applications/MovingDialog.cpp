#include "applications/MovingDialog.h"

#include "applications/ApplicationRules.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/WindowHost.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

MovingDialog::MovingDialog(WindowHost& main, const Generation& generation)
    : ActivatedDialog(main.hostWidget()), main_(main), g_(generation) {
    DataModule& dm = *main.app().DM;
    setWindowTitle(QStringLiteral("Перемещение или копирование слушателя в заявках"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    // Left: the applications the trainee may go to.
    auto* choice = new QGroupBox(QStringLiteral("Выберите заявку"), this);
    choice->setObjectName(QStringLiteral("GroupBox1"));
    targets_ = new DbGrid(QStringLiteral("DBGrid1"), dm.*g_.movingTargets.source,
                          {{"KZajavki", "№Заявки", 0, {}}, {"Year", "Год", 0, {}}}, choice);
    targets_->setMinimumSize(200, 220);
    auto* choiceLayout = new QVBoxLayout(choice);
    choiceLayout->addWidget(targets_);

    // Right: the trainee, read only.
    DataSource* trainee = g_.traineesSource(dm);
    auto* details = new QGridLayout;
    auto shown = [&](const char* name, const char* field, int width) {
        auto* box = new DbEdit(QString::fromLatin1(name), trainee, QString::fromLatin1(field), this);
        box->setReadOnly(true);
        box->setStyleSheet(QStringLiteral("background: #ffffe1;"));
        box->setFixedWidth(width);
        return box;
    };
    auto caption = [&](const char* text, QWidget* box, int row) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(box);
        details->addWidget(label, row, 0);
    };
    DbEdit* surname = shown("DBEdit1", "Name1", 200);
    caption("Слушатель", surname, 0);
    details->addWidget(surname, 0, 1, 1, 2);
    details->addWidget(shown("DBEdit2", "Name2", 200), 1, 1, 1, 2);
    details->addWidget(shown("DBEdit3", "Name3", 200), 2, 1, 1, 2);
    DbEdit* number = shown("DBEdit4", "KZajavki", 90);
    caption("№ Заявки", number, 3);
    details->addWidget(number, 3, 1);
    DbEdit* year = shown("DBEdit5", "Year", 90);
    caption("Год обучения", year, 4);
    details->addWidget(year, 4, 1);
    DbEdit* programme = shown("DBEdit6", "KZicl", 140);
    caption("Программа обучения", programme, 5);
    details->addWidget(programme, 5, 1);
    details->addWidget(shown("DBEdit7", "VidOb", 40), 5, 2);
    details->setRowStretch(6, 1);

    auto* sides = new QHBoxLayout;
    sides->addWidget(choice);
    sides->addLayout(details);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(actionButton(this, QStringLiteral("Button1"), QStringLiteral("Перемещение"),
                                    [this] { moveTrainee(); }));
    buttons->addWidget(actionButton(this, QStringLiteral("Button3"), QStringLiteral("Копирование"),
                                    [this] { copyTrainee(); }));
    buttons->addWidget(
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { cancel(); }));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(sides);
    layout->addLayout(buttons);
}

void MovingDialog::activated() {
    // The applications of the start-up year and later; the last one is chosen until the user
    // clicks another.
    AppContext& app = main_.app();
    applications::listMovingTargets(*app.DM, g_, app.state.CurYear);
    targets_->setFocus();
}

bool MovingDialog::canMove() {
    const QString refusal = applications::movingRefusal(*main_.app().DM, g_);
    if (refusal.isEmpty())
        return true;
    main_.app().prompter.inform(refusal);
    return false;
}

void MovingDialog::moveTrainee() {
    if (!canMove())
        return;
    applications::moveTrainee(*main_.app().DM, g_);
    accept(); // the applications window writes its count line
}

void MovingDialog::copyTrainee() {
    if (!canMove())
        return;
    applications::copyTrainee(*main_.app().DM, g_);
    accept();
}

void MovingDialog::cancel() {
    reject();
}
