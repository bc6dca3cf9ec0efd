#include "applications/TraineeEditor.h"

#include "applications/ApplicationRules.h"
#include "applications/ApplicationWindows.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/FieldCaptions.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"
#include "shell/WindowHost.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* kAqua = "background: #00ffff;";
const QString kStoreTraineeFirst = QStringLiteral(
    "Сертификат записывается к сохранённому слушателю. Сохраните слушателя кнопкой «Сохранить» "
    "и откройте его снова.");

// A long name shows its beginning.
void showName(QLineEdit* box, const QString& name) {
    box->setText(name);
    box->setCursorPosition(0);
}
} // namespace

TraineeEditor::TraineeEditor(WindowHost& main, const Generation& generation)
    : EditDialog(main.hostWidget()), main_(main), g_(generation) {
    DataModule& dm = *main.app().DM;
    DataSource* row = g_.traineesSource(dm);
    setWindowTitle(QStringLiteral("Редактирование"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

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
    auto bound = [&](const char* name, const char* field, bool readOnly = false,
                     DataSource* source = nullptr) {
        auto* edit =
            new DbEdit(QString::fromLatin1(name), source ? source : row, QString::fromLatin1(field), this);
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
    for (auto [label, name, field] :
         {std::tuple{"Фамилия", "DBEdit1", "Name1"}, std::tuple{"Имя", "DBEdit2", "Name2"},
          std::tuple{"Отчество", "DBEdit3", "Name3"}}) {
        auto* edit = bound(name, field);
        nameBoxes_ << edit;
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

    birthDate_ = bound("DBEdit4", "DR");
    addRow("Дата рожд.", birthDate_);
    {
        // The programme: code, kind and hours with their column labels above them.
        auto* programme = new QHBoxLayout;
        QWidget* first = nullptr;
        for (auto [label, name, field] :
             {std::tuple{"Код", "DBEdit5", "KZicl"}, std::tuple{"ВидОб", "DBEdit6", "VidOb"},
              std::tuple{"Часы", "DBEdit7", "Hours"}}) {
            DbEdit* edit = bound(name, field, true);
            if (!first)
                first = edit;
            hours_ = edit; // the last of the three
            auto* column = new QVBoxLayout;
            auto* columnLabel = new QLabel(QString::fromUtf8(label), this);
            columnLabel->setBuddy(edit);
            column->addWidget(columnLabel);
            column->addWidget(edit);
            programme->addLayout(column);
        }
        programme->addWidget(pickButton("SpeedButton1", &TraineeEditor::pickProgramme), 0, Qt::AlignBottom);
        addRow("Программа", first, programme, Qt::AlignBottom); // beside the boxes, below their labels
    }
    quarter_ = bound("DBEdit8", "KV");
    addRow("Квартал обучения", quarter_);
    position_ = lookedUp("Edit1");
    addRow("Должность", position_,
           withPick(position_, pickButton("SpeedButton2", &TraineeEditor::pickPosition)));
    specialty_ = lookedUp("Edit2");
    addRow("Специальность по диплому", specialty_,
           withPick(specialty_, pickButton("SpeedButton3", &TraineeEditor::pickDiplomaSpecialty)));
    // Years of service computed from an empty start year show as an empty box (the field's rule).
    for (auto [label, name, field] : {std::tuple{"Общемедицинский стаж", "DBEdit9", "StajOb"},
                                      std::tuple{"Стаж по специальности", "DBEdit10", "StajDoljn"}})
        addRow(label, bound(name, field));
    if (!g_.certificateRows) {
        addRow("Дата сертиф./Аккред", bound("DBEdit11", "DateCl"));
        DbEdit* specialty = bound("DBEdit12", "Specialty");
        addRow("Специальность", specialty,
               withPick(specialty, pickButton("SpeedButton4", &TraineeEditor::pickSpecialty)));
    }
    if (!g_.emailRows)
        addRow("Электронный почтовый ящик ", bound("DBEdit13", "EMAIL"));
    if (g_.snilsInRow || g_.snilsRows) {
        DbEdit* snils = bound("DBEdit14", "SNILS", false, g_.snilsRows ? dm.*g_.snilsRows.source : nullptr);
        auto* r = new QHBoxLayout;
        r->addWidget(snils);
        if (g_.snilsInRow) {
            auto* hint = new QLabel(QStringLiteral("(форма заполнения ХХХ-ХХХ-ХХХ ХХ)"), this);
            hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
            r->addWidget(hint);
        }
        addRow("Снилс", snils, r);
    }

    // A generation that keeps the certificate and the e-mail address in rows of their own shows
    // them in panels of their own: the certificate is changed through its dialog or cleared.
    QGroupBox* certificatePanel = nullptr;
    if (g_.certificateRows) {
        certificatePanel = new QGroupBox(QStringLiteral("Дата окончания сертификата"), this);
        certificatePanel->setObjectName(QStringLiteral("GroupBox1"));
        DataSource* certificate = dm.*g_.certificateRows.source;
        auto* date =
            new DbEdit(QStringLiteral("DBEdit11"), certificate, QStringLiteral("DateCL"), certificatePanel);
        auto* name =
            new DbEdit(QStringLiteral("DBEdit12"), certificate, QStringLiteral("Name"), certificatePanel);
        for (DbEdit* e : {date, name}) {
            e->setReadOnly(true);
            e->setStyleSheet(QString::fromLatin1(kAqua));
        }
        date->setFixedWidth(90);
        name->setMinimumWidth(260);
        auto* nameLabel = new QLabel(QStringLiteral("Специальность"), certificatePanel);
        nameLabel->setBuddy(name);
        auto* change = pickButton("SpeedButton4", &TraineeEditor::pickSpecialty);
        change->setParent(certificatePanel);
        auto* clear = actionButton(certificatePanel, QStringLiteral("Button3"), QStringLiteral("Удалить"),
                                   [this] { deleteCertificate(); });
        auto* panelRow = new QHBoxLayout(certificatePanel);
        panelRow->addWidget(date);
        panelRow->addWidget(nameLabel);
        panelRow->addWidget(name, 1);
        panelRow->addWidget(change);
        panelRow->addWidget(clear);
    }
    QGroupBox* emailPanel = nullptr;
    if (g_.emailRows) {
        emailPanel = new QGroupBox(QStringLiteral("Электронный почтовый ящик "), this);
        emailPanel->setObjectName(QStringLiteral("GroupBox2"));
        auto* email = new DbEdit(QStringLiteral("DBEdit13"), dm.*g_.emailRows.source, QStringLiteral("EMAIL"),
                                 emailPanel);
        auto* panelRow = new QHBoxLayout(emailPanel);
        panelRow->addWidget(email);
    }

    auto* saveButton = makeDefault(
        actionButton(this, QStringLiteral("Button1"), QStringLiteral("Сохранить"), [this] { save(); }));
    auto* cancelButton =
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Отмена"), [this] { cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(names);
    layout->addWidget(strip);
    layout->addLayout(grid);
    if (certificatePanel)
        layout->addWidget(certificatePanel);
    if (emailPanel)
        layout->addWidget(emailPanel);
    layout->addLayout(buttons);

    if (g_.editorKeysStepOn) {
        for (DbEdit* box : nameBoxes_)
            box->installEventFilter(this);
        birthDate_->installEventFilter(this);
    }
}

bool TraineeEditor::eventFilter(QObject* watched, QEvent* event) {
    // Enter, Right and Down step on from the names and the birth date: to the next box, from the
    // birth date to the programme's hours.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (key == Qt::Key_Right && box && !caretAtEnd(box))
            return false; // the caret moves on within the box first
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Right || key == Qt::Key_Down) {
            if (watched == birthDate_)
                hours_->setFocus();
            else
                focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TraineeEditor::activated() {
    AppContext& app = main_.app();
    DataModule& dm = *app.DM;
    Table& trainee = g_.traineesTable(dm);
    // The names of the coded position and diploma specialty are looked up, not stored.
    if (dm.tblDoljn->locate(fld::KDoljn, {trainee.field(fld::KDoljn).asInteger()}))
        showName(position_, dm.tblDoljn->field(fld::NDoljn).asString());
    else
        app.prompter.inform(QStringLiteral("Not doljn"));
    if (dm.tblSpez->locate(fld::KSpez, {trainee.field(fld::KSpez).asInteger()}))
        showName(specialty_, dm.tblSpez->field(fld::NSpez).asString());
    else
        app.prompter.inform(QStringLiteral("Not Spez"));
    nameBoxes_.first()->setFocus();
}

void TraineeEditor::pickProgramme() {
    AppContext& app = main_.app();
    app.state.ZiclCaller = g_.callers.programmeForEditing;
    const int year = int(g_.applicationsTable(*app.DM).field(fld::Year).asInteger());
    app.DM->reloadNewZicl(applications::catalogueSql(g_, true), {{QStringLiteral("p_year"), year}});
    main_.showProgrammeChooser();
}

void TraineeEditor::pickPosition() {
    main_.app().state.DoljnCaller = g_.callers.position;
    main_.showPositions();
}

void TraineeEditor::pickDiplomaSpecialty() {
    main_.app().state.SpezCaller = g_.callers.diplomaSpecialty;
    main_.showDiplomaSpecialties();
}

void TraineeEditor::pickSpecialty() {
    AppContext& app = main_.app();
    if (!g_.certificateRows) {
        app.state.SpecialtyCaller = g_.callers.specialty;
        main_.showSpecialties();
        return;
    }
    // The certificate is a row of the trainee's own, written at once by its dialog.
    if (!applications::traineeIsStored(*app.DM, g_)) {
        app.prompter.inform(kStoreTraineeFirst);
        return;
    }
    app.state.SLSertifCaller = g_.callers.certificate;
    applications::showTraineeCertificate(main_, g_);
}

void TraineeEditor::deleteCertificate() {
    AppContext& app = main_.app();
    if (!applications::traineeIsStored(*app.DM, g_)) {
        app.prompter.inform(kStoreTraineeFirst);
        return;
    }
    applications::clearCertificate(*app.DM, g_);
}

void TraineeEditor::save() {
    Table& edited = g_.traineesTable(*main_.app().DM);
    edited.updateRecord();
    if (!applications::quarterAccepted(edited.field(fld::KV))) {
        main_.app().prompter.inform(QString::fromUtf8(applications::kQuarterRule));
        quarter_->setFocus();
        return;
    }
    const QString tooLong = applications::saveTrainee(*main_.app().DM, g_);
    if (!tooLong.isEmpty()) {
        Table& trainee = g_.traineesTable(*main_.app().DM);
        const Field& f = trainee.field(tooLong);
        QString caption = captions::field(trainee.layout().sqlName, f.name());
        caption[0] = caption[0].toUpper();
        main_.app().prompter.inform(caption + QStringLiteral(" заглавными буквами займёт больше ") +
                                    QString::number(f.size()) +
                                    QStringLiteral(" знаков и не поместится целиком. Сократите запись."));
        const char* box = tooLong == QLatin1String("Name1")   ? "DBEdit1"
                          : tooLong == QLatin1String("Name2") ? "DBEdit2"
                                                              : "DBEdit3";
        if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(box)))
            w->setFocus();
        return;
    }
    closeAccepted();
}

void TraineeEditor::cancel() {
    applications::cancelTrainee(*main_.app().DM, g_);
    closeRejected();
}
