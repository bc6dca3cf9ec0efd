#include "applications/TraineeEditor.h"

#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "data/FieldCaptions.h"
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

// A long name shows its beginning.
void showName(QLineEdit* box, const QString& name) {
    box->setText(name);
    box->setCursorPosition(0);
}
} // namespace

TraineeEditor::TraineeEditor(TftrMain& main, const Generation& generation)
    : QDialog(&main), main_(main), g_(generation) {
    TDM& dm = *main.app().DM;
    DataSource* row = dm.dataSource(QStringLiteral("dts") + g_.trainees.mid(3));
    setWindowTitle(QStringLiteral("Редактирование"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    // The form: each label in the first column on the row of its box, the box (or the row holding
    // it and its "..." button) in the second.
    auto* grid = new QGridLayout;
    int line = 0;
    auto addRow = [&](const char* label, QWidget* box, QLayout* row = nullptr, Qt::Alignment align = {}) {
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(box);
        grid->addWidget(caption, line, 0, align);
        if (row)
            grid->addLayout(row, line, 1);
        else
            grid->addWidget(box, line, 1);
        ++line;
    };
    auto bound = [&](const char* name, const char* field, bool readOnly = false) {
        auto* edit = new DbEdit(QString::fromLatin1(name), row, QString::fromLatin1(field), this);
        if (readOnly) {
            edit->setReadOnly(true);
            edit->setStyleSheet(QString::fromLatin1(kAqua));
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
    // A box with its "..." button on one row.
    auto withPick = [&](QWidget* box, QToolButton* button) {
        auto* r = new QHBoxLayout;
        r->addWidget(box);
        r->addWidget(button, 0, Qt::AlignBottom);
        return r;
    };
    auto lookedUp = [&](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setStyleSheet(QString::fromLatin1(kAqua));
        return edit;
    };

    // Names, then an empty strip, then the rest.
    auto* names = new QHBoxLayout;
    for (auto [label, name, field] : {std::tuple{"Фамилие", "DBEdit1", "Name1"}, std::tuple{"Имя", "DBEdit2", "Name2"},
                                      std::tuple{"Отчество", "DBEdit3", "Name3"}}) {
        auto* edit = bound(name, field);
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

    addRow("Дата рожд.", bound("DBEdit4", "DR"));
    {
        // The programme: code, kind and hours with their column labels above them.
        auto* programme = new QHBoxLayout;
        QWidget* first = nullptr;
        for (auto [label, name, field] : {std::tuple{"Код", "DBEdit5", "KZicl"}, std::tuple{"ВидОб", "DBEdit6", "VidOb"},
                                          std::tuple{"Часы", "DBEdit7", "Hours"}}) {
            DbEdit* edit = bound(name, field, true);
            if (!first)
                first = edit;
            auto* column = new QVBoxLayout;
            auto* columnLabel = new QLabel(QString::fromUtf8(label), this);
            columnLabel->setBuddy(edit);
            column->addWidget(columnLabel);
            column->addWidget(edit);
            programme->addLayout(column);
        }
        programme->addWidget(pickButton("SpeedButton1", &TraineeEditor::SpeedButton1Click), 0, Qt::AlignBottom);
        addRow("Программа", first, programme, Qt::AlignBottom); // beside the boxes, below their labels
    }
    addRow("Квартал обучения", bound("DBEdit8", "KV"));
    position_ = lookedUp("Edit1");
    addRow("Должность", position_, withPick(position_, pickButton("SpeedButton2", &TraineeEditor::SpeedButton2Click)));
    specialty_ = lookedUp("Edit2");
    addRow("Специальность по диплому", specialty_,
           withPick(specialty_, pickButton("SpeedButton3", &TraineeEditor::SpeedButton3Click)));
    // Years of service computed from an empty start year show as an empty box (the field's rule).
    for (auto [label, name, field] : {std::tuple{"Общемедицинский стаж", "DBEdit9", "StajOb"},
                                      std::tuple{"Стаж по специальности", "DBEdit10", "StajDoljn"}})
        addRow(label, bound(name, field));
    if (g_.certificateInRow) {
        addRow("Дата сертиф./Аккред", bound("DBEdit11", "DateCl"));
        DbEdit* specialty = bound("DBEdit12", "Specialty");
        addRow("Специальность", specialty,
               withPick(specialty, pickButton("SpeedButton4", &TraineeEditor::SpeedButton4Click)));
        addRow("Электронный почтовый ящик ", bound("DBEdit13", "EMAIL"));
    }
    if (g_.snilsInRow) {
        DbEdit* snils = bound("DBEdit14", "SNILS");
        auto* r = new QHBoxLayout;
        r->addWidget(snils);
        auto* hint = new QLabel(QStringLiteral("(форма заполнения ХХХ-ХХХ-ХХХ ХХ)"), this);
        hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        r->addWidget(hint);
        addRow("Снилс", snils, r);
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
        showName(position_, dm.field(QStringLiteral("tblDoljnNDoljn")).asString());
    else
        app.prompter.inform(QStringLiteral("Not doljn"));
    if (dm.tblSpez->locate(QStringLiteral("KSpez"), {trainee.field(QStringLiteral("KSpez")).asInteger()}))
        showName(specialty_, dm.field(QStringLiteral("tblSpezNSpez")).asString());
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
        // The names are stored in capitals, by the user's locale (Cyrillic included). A few
        // letters grow in capitals (ß becomes SS): a name that no longer fits is not cut.
        const QLocale locale;
        const std::tuple<const char*, const char*> names[] = {
            {"Name1", "DBEdit1"}, {"Name2", "DBEdit2"}, {"Name3", "DBEdit3"}};
        for (auto [name, box] : names) {
            Field& f = trainee.field(QString::fromLatin1(name));
            if (locale.toUpper(f.asString()).size() > f.size()) {
                QString caption = captions::field(trainee.objectName().mid(3), f.name());
                caption[0] = caption[0].toUpper();
                main_.app().prompter.inform(caption + QStringLiteral(" заглавными буквами займёт больше ") +
                                            QString::number(f.size()) +
                                            QStringLiteral(" знаков и не поместится целиком. Сократите запись."));
                if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(box)))
                    w->setFocus();
                return;
            }
        }
        for (auto [name, box] : names) {
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
