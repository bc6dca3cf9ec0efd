#include "personnel/TrainingDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"
#include "shell/WindowHost.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* kAqua = "background: #00ffff;";
}

TrainingDialog::TrainingDialog(WindowHost& main) : EditDialog(main.hostWidget()), main_(main) {
    DataModule& dm = *main.app().DM;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    auto* form = new QFormLayout;
    auto box = [&](const char* name, const char* field, bool readOnly) {
        auto* edit = new DbEdit(QString::fromLatin1(name), dm.dtsTrained, QString::fromLatin1(field), this);
        if (readOnly) {
            edit->setReadOnly(true);
            edit->setStyleSheet(QString::fromLatin1(kAqua));
        }
        return edit;
    };
    code_ = box("DBEdit1", "KZicl", true);
    auto* code = code_;
    auto* pick = new QToolButton(this);
    pick->setObjectName(QStringLiteral("SpeedButton1"));
    pick->setText(QStringLiteral("..."));
    pick->setAutoRaise(true);
    connect(pick, &QToolButton::clicked, this, [this] { runGuarded([this] { pickProgramme(); }); });
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(code);
    codeRow->addWidget(pick);
    auto* codeLabel = new QLabel(QStringLiteral("Код программы"), this);
    codeLabel->setBuddy(code);
    form->addRow(codeLabel, codeRow);
    form->addRow(QStringLiteral("Вид обучения"), box("DBEdit2", "VidOb", true));
    form->addRow(QStringLiteral("Объем часов"), box("DBEdit3", "Hours", true));
    year_ = box("DBEdit4", "Year", false);
    form->addRow(QStringLiteral("Год обучения"), year_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeDefault(
        actionButton(this, QStringLiteral("Button1"), QStringLiteral("Сохранить"), [this] { save(); })));
    buttons->addWidget(
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { cancel(); }));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(QSize(352, 161).expandedTo(sizeHint()));
}

void TrainingDialog::activated() {
    setWindowTitle(main_.app().state.TrainedMode == 0 ? QStringLiteral("Новая запись")
                                                      : QStringLiteral("Редактирование"));
    code_->setFocus();
}

void TrainingDialog::pickProgramme() {
    AppContext& app = main_.app();
    app.state.ZiclCaller = 10;
    app.DM->reloadNewZicl(
        {QStringLiteral("SELECT * FROM NewZicl2023"), QStringLiteral("ORDER BY RealZicl, NPP")});
    main_.showProgrammeChooser();
}

void TrainingDialog::save() {
    Table& training = *main_.app().DM->tblTrained;
    training.updateRecord();
    const struct {
        const char* field;
        const char* message;
        QWidget* box;
    } checks[] = {
        {"KZicl", "Не выбрали код программы!", code_},
        {"Year", "Не задан год обучения!", year_},
    };
    for (const auto& c : checks) {
        if (training.isActive() && !training.field(QString::fromLatin1(c.field)).displayText().isEmpty())
            continue;
        main_.app().prompter.inform(QString::fromUtf8(c.message));
        c.box->setFocus();
        return;
    }
    if (training.isModified())
        training.post();
    else
        training.cancel(); // an untouched new row is not kept
    closeAccepted();
}

void TrainingDialog::cancel() {
    main_.app().DM->tblTrained->cancel();
    closeRejected();
}
