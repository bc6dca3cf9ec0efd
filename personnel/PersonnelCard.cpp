#include "personnel/PersonnelCard.h"

#include "core/PersonName.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "personnel/PersonnelRules.h"
#include "personnel/PersonnelWindows.h"
#include "refbooks/Books.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/ReadOnlySession.h"
#include "shell/RowKeys.h"
#include "shell/WindowHost.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* kAqua = "background: #00ffff;";
const QColor kCream(0xFF, 0xFB, 0xF0);

QLabel* boldLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setBuddy(buddy);
    return label;
}

QLabel* redNote(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: red;"));
    return label;
}

bool isNavigationKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Left || key == Qt::Key_Up ||
           key == Qt::Key_Right || key == Qt::Key_Down;
}

} // namespace

PersonnelCard::PersonnelCard(WindowHost& main) : EditDialog(main.hostWidget()), main_(main) {
    DataModule& dm = *main.app().DM;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    auto bound = [&](const char* name, const char* field, QWidget* parent) {
        return new DbEdit(QString::fromLatin1(name), dm.dtsPersonal, QString::fromLatin1(field), parent);
    };
    auto pickButton = [this](const char* name, QWidget* parent, void (PersonnelCard::*handler)()) {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QStringLiteral("..."));
        connect(b, &QToolButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        return b;
    };

    // The name row: bold labels above the boxes.
    auto* names = new QGridLayout;
    const struct {
        const char* label;
        const char* name;
        const char* field;
        int width;
    } nameBoxes[] = {{"Фамилия", "DBEdit1", "Name1", 150},
                     {"Имя", "DBEdit2", "Name2", 150},
                     {"Отчество", "DBEdit3", "Name3", 150},
                     {"Дата рожд.", "DBEdit4", "DR", 0}}; // a date box sizes itself
    DbEdit** nameMembers[] = {&surname_, &firstName_, &patronymic_, &birthDate_};
    for (int c = 0; c < 4; ++c) {
        DbEdit* edit = *nameMembers[c] = bound(nameBoxes[c].name, nameBoxes[c].field, this);
        if (nameBoxes[c].width > 0)
            edit->setFixedWidth(nameBoxes[c].width);
        names->addWidget(boldLabel(QString::fromUtf8(nameBoxes[c].label), edit, this), 0, c);
        names->addWidget(edit, 1, c);
    }
    names->setColumnStretch(4, 1);

    // The pages.
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));

    auto* work = new QWidget(pages_);
    work->setObjectName(QStringLiteral("TabSheet1"));
    auto* workGrid = new QGridLayout(work);
    DbEdit* position = position_ = bound("DBEdit5", "NDoljn", work);
    position->setReadOnly(true);
    position->setStyleSheet(QString::fromLatin1(kAqua));
    DbEdit* diploma = diploma_ = bound("DBEdit6", "NSpez", work);
    diploma->setStyleSheet(QString::fromLatin1(kAqua));
    diplomaNames_ = new QCompleter(this);
    diplomaNames_->setCaseSensitivity(Qt::CaseInsensitive);
    diplomaNames_->setFilterMode(Qt::MatchContains);
    diploma->setCompleter(diplomaNames_);
    connect(diplomaNames_, qOverload<const QString&>(&QCompleter::activated), diploma,
            [diploma](const QString& name) { diploma->link()->userEdited(name); });
    DbEdit* started = bound("DBEdit7", "StajOb", work);
    DbEdit* transferred = positionYear_ = bound("DBEdit8", "StajDoljn", work);
    navigationOrder_ = {surname_, firstName_, patronymic_, birthDate_,
                        position, diploma,    started,     transferred};
    for (DbEdit* year : {started, transferred})
        year->setFixedWidth(60);
    int row = 0;
    auto* positionLabel = new QLabel(QStringLiteral("Должность"), work);
    positionLabel->setBuddy(position);
    workGrid->addWidget(positionLabel, row, 0);
    workGrid->addWidget(position, row, 1);
    workGrid->addWidget(pickButton("SpeedButton1", work, &PersonnelCard::pickPosition), row++, 2);
    auto* diplomaLabel = new QLabel(QStringLiteral("Специальность по диплому"), work);
    diplomaLabel->setBuddy(diploma);
    workGrid->addWidget(diplomaLabel, row, 0);
    workGrid->addWidget(diploma, row, 1);
    workGrid->addWidget(pickButton("SpeedButton2", work, &PersonnelCard::pickDiplomaSpecialty), row++, 2);
    auto* startedLabel = new QLabel(QStringLiteral("Год начала трудовой деятельности"), work);
    startedLabel->setBuddy(started);
    workGrid->addWidget(startedLabel, row, 0);
    workGrid->addWidget(started, row++, 1, Qt::AlignLeft);
    workGrid->addWidget(
        redNote(QStringLiteral("(приблизительный год, для вычисления общемедицинского стажа)"), work), row++,
        0, 1, 3);
    auto* transferredLabel = new QLabel(QStringLiteral("Год перевода на занимаемую должность"), work);
    transferredLabel->setBuddy(transferred);
    workGrid->addWidget(transferredLabel, row, 0);
    workGrid->addWidget(transferred, row++, 1, Qt::AlignLeft);
    workGrid->addWidget(
        redNote(QStringLiteral("(приблизительный год, для вычисления стажа по специальности) "), work), row++,
        0, 1, 3);
    workGrid->setRowStretch(row, 1);
    workGrid->setColumnStretch(1, 1);
    pages_->addTab(work, QStringLiteral("Работа и образование"));

    // A page of detail rows: the buttons on the left, the grid beside them.
    // A page of a person's rows: "Добавить", "Редактир.", "Удалить" beside the grid, and the grid's
    // keys and menu for the same three.
    auto detailPage = [&](const char* name, const QString& title, QList<QPushButton*> buttons, DbGrid* grid) {
        auto* page = new QWidget(pages_);
        page->setObjectName(QString::fromLatin1(name));
        grid->setParent(page);
        auto* column = new QVBoxLayout;
        for (QPushButton* b : buttons) {
            b->setParent(page);
            column->addWidget(b);
        }
        column->addStretch();
        auto* layout = new QHBoxLayout(page);
        layout->addLayout(column);
        layout->addWidget(grid, 1);
        pages_->addTab(page, title);
        attachRowKeys(grid, {buttons[0], buttons[1], buttons[2], {}});
    };
    auto* training = new DbGrid(QStringLiteral("DBGrid1"), dm.dtsTrained,
                                {{"KZicl", "Код", 0, kCream},
                                 {"VidOb", "ВидОб", 0, kCream},
                                 {"Hours", "КолЧасов", 0, kCream},
                                 {"Year", "Год", 0, kCream}},
                                this);
    detailPage(
        "TabSheet2", QStringLiteral("Переподготовка"),
        {actionButton(this, QStringLiteral("Button1"), QStringLiteral("Добавить"), [this] { addTraining(); }),
         actionButton(this, QStringLiteral("Button2"), QStringLiteral("Редактир."),
                      [this] { editTraining(); }),
         actionButton(this, QStringLiteral("Button3"), QStringLiteral("Удалить"),
                      [this] { deleteTraining(); })},
        training);
    auto* certificates =
        new DbGrid(QStringLiteral("DBGrid2"), dm.dtsSertif,
                   {{"DateCL", "ДатаОкон.", 0, {}}, {"Name", "Специальность", 350, {}}}, this);
    personnel::colourCertificates(*certificates, main);
    detailPage("TabSheet3", QStringLiteral("Сертификаты"),
               {actionButton(this, QStringLiteral("Button7"), QStringLiteral("Добавить"),
                             [this] { addCertificate(); }),
                actionButton(this, QStringLiteral("Button8"), QStringLiteral("Редактир."),
                             [this] { editCertificate(); }),
                actionButton(this, QStringLiteral("Button9"), QStringLiteral("Удалить"),
                             [this] { deleteCertificate(); })},
               certificates);

    // The e-mail address and SNILS, typed here and saved with the person.
    email_ = new QLineEdit(this);
    email_->setObjectName(QStringLiteral("Edit1"));
    email_->setFixedWidth(265);
    email_->setMaxLength(dm.tblPerEmail->field(fld::EMAIL).size());
    snils_ = new QLineEdit(this);
    snils_->setObjectName(QStringLiteral("MaskEdit1"));
    snils_->setInputMask(QStringLiteral("000-000-000 00;_"));
    snils_->setFixedWidth(snils_->fontMetrics().horizontalAdvance(QStringLiteral("000-000-000 00")) + 16);
    auto* contacts = new QGridLayout;
    auto* emailLabel = new QLabel(QStringLiteral("Электронный почтовый ящик (e-mail:)"), this);
    emailLabel->setBuddy(email_);
    auto* snilsLabel = new QLabel(QStringLiteral("Снилс"), this);
    snilsLabel->setBuddy(snils_);
    contacts->addWidget(emailLabel, 0, 0);
    contacts->addWidget(email_, 0, 1, 1, 2, Qt::AlignLeft);
    contacts->addWidget(snilsLabel, 1, 0);
    contacts->addWidget(snils_, 1, 1);
    contacts->addWidget(
        actionButton(this, QStringLiteral("Button10"), QStringLiteral("Очистить"), [this] { clearSnils(); }),
        1, 2, Qt::AlignLeft);
    contacts->setColumnStretch(2, 1);

    save_ = actionButton(this, QStringLiteral("Button4"), QStringLiteral("Сохранить"), [this] { save(); });
    cancel_ = actionButton(this, QStringLiteral("Button5"), QStringLiteral("Отмена"), [this] { cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    buttons->addWidget(
        actionButton(this, QStringLiteral("Button6"), QStringLiteral("Выход"), [this] { leave(); }));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(names);
    layout->addWidget(pages_);
    layout->addLayout(contacts);
    layout->addLayout(buttons);
    pages_->setMinimumSize(560, 230);

    for (DbEdit* box : navigationOrder_)
        box->installEventFilter(this);
    // Each "..." right after its box.
    const QList<QWidget*> order{surname_,    firstName_,
                                patronymic_, birthDate_,
                                position,    findChild<QWidget*>(QStringLiteral("SpeedButton1")),
                                diploma,     findChild<QWidget*>(QStringLiteral("SpeedButton2")),
                                started,     transferred};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    read_only::markChanging(
        this, {"Button1", "Button2", "Button3", "Button4", "Button7", "Button8", "Button9", "Button10"});
}

void PersonnelCard::focusBox(const QString& name) {
    if (QWidget* w = findChild<QWidget*>(name))
        focusBox(w);
}

void PersonnelCard::focusBox(QWidget* w) {
    // A box on a page that is not shown is brought into view first.
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->widget(i)->isAncestorOf(w))
            pages_->setCurrentIndex(i);
    w->setFocus();
}

void PersonnelCard::setSaveEnabled(bool on) {
    save_->setEnabled(on);
    cancel_->setEnabled(on);
}

void PersonnelCard::activated() {
    AppContext& app = main_.app();
    DataModule& dm = *app.DM;
    setWindowTitle(app.state.PersonalMode == 0 ? QStringLiteral("Новый сотрудник")
                                               : QStringLiteral("Редактирование сотрудника"));
    showStoredContacts();
    QStringList diplomas;
    for (const books::Entry& e : books::entries(dm, books::diplomaSpecialties()))
        diplomas << e.name;
    diplomaNames_->setModel(new QStringListModel(diplomas, diplomaNames_));
    setSaveEnabled(true);
    pages_->setCurrentIndex(0);
    surname_->setFocus();
}

void PersonnelCard::showStoredContacts() {
    DataModule& dm = *main_.app().DM;
    const bool adding =
        main_.app().state.PersonalMode == 0 && dm.tblPersonal->state() == Dataset::State::Insert;
    email_->setText(adding || dm.tblPerEmail->isEmpty() ? QString()
                                                        : dm.tblPerEmail->field(fld::EMAIL).asString());
    snils_->setText(adding || dm.tblPerSnils->isEmpty() ? QString()
                                                        : dm.tblPerSnils->field(fld::SNILS).asString());
    email_->setCursorPosition(0);
    storedEmail_ = email_->text();
    storedSnils_ = personnel::snilsFromBox(snils_->displayText());
}

bool PersonnelCard::hasUnsavedChanges() {
    Table& person = *main_.app().DM->tblPersonal;
    bool changed = false;
    try {
        person.updateRecord();
        changed = person.isModified();
    } catch (const DbError&) {
        changed = true; // a value the field refuses is an unsaved change all the same
    }
    return changed || email_->text() != storedEmail_ ||
           personnel::snilsFromBox(snils_->displayText()) != storedSnils_;
}

bool PersonnelCard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() == Qt::Key_Right)
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                rightStepsOn_ = caretAtEnd(edit); // judged before the key moves the caret
        // F4 or Alt+Down opens the list of the position's and the diploma specialty's box.
        const bool opensList = press->key() == Qt::Key_F4 ||
                               (press->key() == Qt::Key_Down && press->modifiers() & Qt::AltModifier);
        if (opensList && (watched == position_ || watched == diploma_)) {
            runGuarded([&] { watched == position_ ? pickPosition() : pickDiplomaSpecialty(); });
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease) {
        auto* edit = qobject_cast<DbEdit*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (edit == positionYear_)
            runGuarded([&] { lastBoxKeyReleased(key); });
        else if (edit && edit != position_ && edit != diploma_)
            runGuarded([&] { boxKeyReleased(edit, key); });
    }
    return QDialog::eventFilter(watched, event);
}

void PersonnelCard::boxKeyReleased(DbEdit* edit, int key) {
    const bool dateBox = edit == birthDate_;
    if (!isNavigationKey(key) && !(dateBox && key == Qt::Key_Delete))
        return;
    Table& person = *main_.app().DM->tblPersonal;
    if (!person.isEditing()) {
        setSaveEnabled(false);
    } else {
        const QString upper = QLocale().toUpper(edit->text());
        if (upper != edit->text()) {
            edit->setText(upper);
            edit->link()->userEdited(upper);
        }
        setSaveEnabled(true);
    }
    if (key == Qt::Key_Right && !rightStepsOn_)
        return;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (dateBox) {
            focusBox(position_);
        } else {
            const qsizetype at = navigationOrder_.indexOf(edit);
            if (at >= 0 && at + 1 < navigationOrder_.size())
                focusBox(navigationOrder_[at + 1]);
        }
        break;
    case Qt::Key_Delete: {
        // The date of birth is emptied in one step, whatever the caret's position.
        if (!person.isModified() && !person.isEditing())
            person.edit();
        edit->clear();
        edit->link()->userEdited(edit->text());
        person.field(fld::DR).clear();
        break;
    }
    default:
        break;
    }
}

void PersonnelCard::lastBoxKeyReleased(int key) {
    if (key == Qt::Key_Right && !rightStepsOn_)
        return;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Right) && save_->isEnabled())
        save_->setFocus();
}

bool PersonnelCard::savePerson() {
    diplomaNames_->popup()->hide(); // a suggestion list left open would keep the focus from the box named
    AppContext& app = main_.app();
    DataModule& dm = *app.DM;
    if (const auto failed = personnel::checkPerson(dm, app.state.CurYear)) {
        app.prompter.inform(failed->message);
        focusBox(failed->box);
        return false;
    }
    const QString snils = personnel::snilsFromBox(snils_->displayText());
    const QString email = email_->text();
    if (const QString refusal = personnel::snilsRefusal(snils); !refusal.isEmpty()) {
        app.prompter.inform(refusal);
        snils_->setFocus();
        return false;
    }
    const struct {
        QString question;
        QLineEdit* box;
    } questions[] = {{personnel::snilsQuestion(snils), snils_}, {personnel::emailQuestion(email), email_}};
    for (const auto& q : questions) {
        if (q.question.isEmpty())
            continue;
        if (app.prompter.ask(windowTitle(), q.question, Prompter::Icon::Question,
                             Prompter::Buttons::YesNoDefaultNo) != Prompter::Answer::Yes) {
            q.box->setFocus();
            return false;
        }
    }
    personnel::savePerson(dm, email, snils);
    storedEmail_ = email;
    storedSnils_ = snils;
    return true;
}

bool PersonnelCard::personSaved() {
    return main_.app().DM->tblPersonal->state() != Dataset::State::Insert || savePerson();
}

void PersonnelCard::pickPosition() {
    main_.app().state.DoljnCaller = 1;
    main_.showPositions();
}

void PersonnelCard::pickDiplomaSpecialty() {
    main_.app().state.SpezCaller = 1;
    main_.showDiplomaSpecialties();
}

void PersonnelCard::detailAction(void (*action)(WindowHost&, const personnel::DetailRows&),
                                 const personnel::DetailRows& rows) {
    if (personSaved())
        action(main_, rows);
}

void PersonnelCard::addTraining() {
    detailAction(personnel::addDetail, personnel::DetailRows::training());
}
void PersonnelCard::editTraining() {
    detailAction(personnel::editDetail, personnel::DetailRows::training());
}
void PersonnelCard::deleteTraining() {
    detailAction(personnel::deleteDetail, personnel::DetailRows::training());
}
void PersonnelCard::addCertificate() {
    detailAction(personnel::addDetail, personnel::DetailRows::certificates());
}
void PersonnelCard::editCertificate() {
    detailAction(personnel::editDetail, personnel::DetailRows::certificates());
}
void PersonnelCard::deleteCertificate() {
    detailAction(personnel::deleteDetail, personnel::DetailRows::certificates());
}

void PersonnelCard::save() {
    if (!savePerson())
        return;
    Table& person = *main_.app().DM->tblPersonal;
    const auto name = [&](const char* field) { return person.field(QString::fromLatin1(field)).asString(); };
    main_.reportDone(QStringLiteral("Сотрудник %1 сохранён")
                         .arg(surnameAndInitials(name("Name1"), name("Name2"), name("Name3"))));
}

void PersonnelCard::cancel() {
    if (!hasUnsavedChanges()) {
        leave(); // nothing to cancel: "Отмена" closes the card
        return;
    }
    DataModule& dm = *main_.app().DM;
    Table& person = *dm.tblPersonal;
    const bool adding = person.state() == Dataset::State::Insert;
    person.cancel();
    // A new person stays a new person: the card never falls back onto someone else's row.
    if (adding)
        person.append();
    if (dm.tblPerEmail->isEditing())
        dm.tblPerEmail->cancel();
    email_->setText(storedEmail_);
    snils_->setText(storedSnils_);
}

void PersonnelCard::leave() {
    AppContext& app = main_.app();
    Table& person = *app.DM->tblPersonal;
    if (hasUnsavedChanges()) {
        if (app.prompter.confirmWithBeep(QStringLiteral("Запись не сохранена. Сохранить?"))) {
            if (!savePerson())
                return;
        } else {
            person.cancel();
        }
    } else if (person.isEditing()) {
        person.cancel(); // an untouched new row is not kept
    }
    closeRejected();
}

void PersonnelCard::clearSnils() {
    snils_->clear();
}

void PersonnelCard::done(int result) {
    main_.setStatusPanel(0, QString());
    personnel::writePeopleCount(main_);
    QDialog::done(result);
}
