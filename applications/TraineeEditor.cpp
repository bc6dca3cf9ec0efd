#include "applications/TraineeEditor.h"

#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "shell/ActionButton.h"
#include "core/AppContext.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"
#include "shell/MainWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* kAqua = "background: #00ffff;";
}

TraineeEditor::TraineeEditor(TftrMain& main, const Generation& generation)
    : QDialog(&main), main_(main), g_(generation) {
    TDM& dm = *main.app().DM;
    DataSource* row = dm.dataSource(QStringLiteral("dts") + g_.trainees.mid(3));
    setWindowTitle(QStringLiteral("Редактирование"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    auto* grid = new QGridLayout;
    int line = 0;
    auto box = [&](const char* label, const char* name, const char* field, bool readOnly = false) {
        auto* edit = new DbEdit(QString::fromLatin1(name), row, QString::fromLatin1(field), this);
        if (readOnly) {
            edit->setReadOnly(true);
            edit->setStyleSheet(QString::fromLatin1(kAqua));
        }
        if (label) {
            auto* caption = new QLabel(QString::fromUtf8(label), this);
            caption->setBuddy(edit);
            grid->addWidget(caption, line, 0);
        }
        return edit;
    };
    auto pickButton = [&](const char* name, void (TraineeEditor::*handler)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QStringLiteral("..."));
        connect(b, &QToolButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        return b;
    };
    auto plainBox = [&](const char* label, const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setStyleSheet(QString::fromLatin1(kAqua));
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(edit);
        grid->addWidget(caption, line, 0);
        return edit;
    };

    // Names, then an empty strip, then the rest.
    auto* names = new QHBoxLayout;
    for (auto [label, name, field] : {std::tuple{"Фамилие", "DBEdit1", "Name1"}, std::tuple{"Имя", "DBEdit2", "Name2"},
                                      std::tuple{"Отчество", "DBEdit3", "Name3"}}) {
        auto* edit = new DbEdit(QString::fromLatin1(name), row, QString::fromLatin1(field), this);
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(edit);
        auto* column = new QVBoxLayout;
        column->addWidget(caption);
        column->addWidget(edit);
        names->addLayout(column);
    }
    auto* strip = new QWidget(this);
    strip->setFixedHeight(8);
    strip->setStyleSheet(QStringLiteral("background: #ffffe1;"));

    grid->addWidget(box("Дата рожд.", "DBEdit4", "DR"), line++, 1);
    {
        auto* programme = new QHBoxLayout;
        auto* caption = new QLabel(QStringLiteral("Программа"), this);
        grid->addWidget(caption, line, 0);
        for (auto [label, name, field] : {std::tuple{"Код", "DBEdit5", "KZicl"}, std::tuple{"ВидОб", "DBEdit6", "VidOb"},
                                          std::tuple{"Часы", "DBEdit7", "Hours"}}) {
            auto* edit = new DbEdit(QString::fromLatin1(name), row, QString::fromLatin1(field), this);
            edit->setReadOnly(true);
            edit->setStyleSheet(QString::fromLatin1(kAqua));
            auto* column = new QVBoxLayout;
            auto* columnLabel = new QLabel(QString::fromUtf8(label), this);
            columnLabel->setBuddy(edit);
            column->addWidget(columnLabel);
            column->addWidget(edit);
            programme->addLayout(column);
        }
        programme->addWidget(pickButton("SpeedButton1", &TraineeEditor::SpeedButton1Click), 0, Qt::AlignBottom);
        grid->addLayout(programme, line++, 1);
    }
    grid->addWidget(box("Квартал обучения", "DBEdit8", "KV"), line++, 1);
    {
        position_ = plainBox("Должность", "Edit1");
        auto* r = new QHBoxLayout;
        r->addWidget(position_);
        r->addWidget(pickButton("SpeedButton2", &TraineeEditor::SpeedButton2Click));
        grid->addLayout(r, line++, 1);
    }
    {
        specialty_ = plainBox("Специальность по диплому", "Edit2");
        auto* r = new QHBoxLayout;
        r->addWidget(specialty_);
        r->addWidget(pickButton("SpeedButton3", &TraineeEditor::SpeedButton3Click));
        grid->addLayout(r, line++, 1);
    }
    grid->addWidget(box("Общемедицинский стаж", "DBEdit9", "StajOb"), line++, 1);
    grid->addWidget(box("Стаж по специальности", "DBEdit10", "StajDoljn"), line++, 1);
    if (g_.certificateInRow) {
        grid->addWidget(box("Дата сертиф./Аккред", "DBEdit11", "DateCl"), line++, 1);
        auto* r = new QHBoxLayout;
        r->addWidget(box("Специальность", "DBEdit12", "Specialty"));
        r->addWidget(pickButton("SpeedButton4", &TraineeEditor::SpeedButton4Click));
        grid->addLayout(r, line++, 1);
        grid->addWidget(box("Электронный почтовый ящик ", "DBEdit13", "EMAIL"), line++, 1);
    }
    if (g_.snilsInRow) {
        auto* r = new QHBoxLayout;
        r->addWidget(box("Снилс", "DBEdit14", "SNILS"));
        auto* hint = new QLabel(QStringLiteral("(форма заполнения ХХХ-ХХХ-ХХХ ХХ)"), this);
        hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        r->addWidget(hint);
        grid->addLayout(r, line++, 1);
    }

    auto* save = actionButton(this, QStringLiteral("Button1"), QStringLiteral("Сохранить"), [this] { Button1Click(); });
    auto* cancel = actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { Button2Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(names);
    layout->addWidget(strip);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void TraineeEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        runGuarded([this] { FormActivate(); });
    }
}

void TraineeEditor::FormActivate() {
    AppContext& app = main_.app();
    TDM& dm = *app.DM;
    Table& trainee = g_.traineesTable(dm);
    // The names of the coded position and diploma specialty are looked up, not stored.
    if (dm.tblDoljn->locate(QStringLiteral("KDoljn"), {trainee.field(QStringLiteral("KDoljn")).asInteger()}))
        position_->setText(dm.field(QStringLiteral("tblDoljnNDoljn")).asString());
    else
        app.prompter.inform(QStringLiteral("Not doljn"));
    if (dm.tblSpez->locate(QStringLiteral("KSpez"), {trainee.field(QStringLiteral("KSpez")).asInteger()}))
        specialty_->setText(dm.field(QStringLiteral("tblSpezNSpez")).asString());
    else
        app.prompter.inform(QStringLiteral("Not Spez"));
}

void TraineeEditor::SpeedButton1Click() {
    AppContext& app = main_.app();
    app.state.ZiclCaller = g_.ziclEditCaller;
    const int year = int(g_.applicationsTable(*app.DM).field(QStringLiteral("Year")).asInteger());
    app.DM->reloadNewZicl(applications::catalogueSql(g_, true), {{QStringLiteral("p_year"), year}});
    main_.ShowZicl();
}

void TraineeEditor::SpeedButton2Click() {
    main_.app().state.DoljnCaller = g_.pickCaller;
    main_.ShowDoljn();
}

void TraineeEditor::SpeedButton3Click() {
    main_.app().state.SpezCaller = g_.pickCaller;
    main_.ShowSpez();
}

void TraineeEditor::SpeedButton4Click() {
    main_.app().state.SpecialtyCaller = g_.pickCaller;
    main_.ShowSpecialty();
}

void TraineeEditor::Button1Click() {
    Table& trainee = g_.traineesTable(*main_.app().DM);
    trainee.updateRecord();
    if (trainee.isModified()) {
        // The names are stored in capitals, by the user's locale (Cyrillic included).
        const QLocale locale;
        for (const char* name : {"Name1", "Name2", "Name3"}) {
            Field& f = trainee.field(QString::fromLatin1(name));
            f.setAsString(locale.toUpper(f.asString()));
        }
        trainee.post();
    } else {
        trainee.cancel(); // an untouched edit or new row is left as it was
    }
    closing_ = true;
    accept();
}

void TraineeEditor::Button2Click() {
    Table& trainee = g_.traineesTable(*main_.app().DM);
    trainee.cancel();
    closing_ = true;
    QDialog::reject();
}

void TraineeEditor::reject() {
    if (closing_)
        QDialog::reject();
    else
        runGuarded([this] { Button2Click(); });
}
