#include "personnel/PersonnelWindow.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "personnel/PersonnelRules.h"
#include "personnel/PersonnelWindows.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "shell/RowKeys.h"

#include "shell/ErrorGuard.h"
#include "shell/Icons.h"
#include "shell/ReadOnlySession.h"
#include "shell/TitleStrip.h"
#include <QAbstractButton>
#include <QHeaderView>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kInfo(0xFF, 0xFF, 0xE1); // the pale yellow of tooltips
const QColor kCream(0xFF, 0xFB, 0xF0);

} // namespace

PersonnelWindow::PersonnelWindow(WindowHost& main) : main_(main) {
    setObjectName(QStringLiteral("ftrPersonal"));
    setWindowTitle(QStringLiteral("Персонал"));
    DataModule& dm = *main.app().DM;

    auto button = [this](QToolBar* bar, const char* name, const QString& caption,
                         void (PersonnelWindow::*handler)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        const icons::Picture picture = caption == QStringLiteral("Добавить")  ? icons::Picture::Add
                                       : caption == QStringLiteral("Удалить") ? icons::Picture::Delete
                                                                              : icons::Picture::Edit;
        b->setIcon(icons::icon(picture));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumWidth(81);
        connect(b, &QToolButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        bar->addWidget(b);
        return b;
    };

    // The toolbar: the search box and the buttons that act on people.
    auto* toolbar = new QToolBar(this);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    surnameSearch_ = new QLineEdit(toolbar);
    surnameSearch_->setObjectName(QStringLiteral("Edit1"));
    surnameSearch_->setFixedWidth(157);
    surnameSearch_->setToolTip(QStringLiteral("Поиск по фамилии"));
    surnameSearch_->setPlaceholderText(QStringLiteral("Поиск по фамилии"));
    toolbar->addWidget(surnameSearch_);
    toolbar->addSeparator();
    const RowButtons personButtons{
        button(toolbar, "SpeedButton1", QStringLiteral("Добавить"), &PersonnelWindow::addPerson),
        button(toolbar, "SpeedButton2", QStringLiteral("Редакт."), &PersonnelWindow::editPerson),
        button(toolbar, "SpeedButton3", QStringLiteral("Удалить"), &PersonnelWindow::deletePerson)};
    connect(surnameSearch_, &QLineEdit::textChanged, this,
            [this] { runGuarded([this] { surnameSearchChanged(); }); });

    people_ = new DbGrid(QStringLiteral("DBGrid1"), dm.dtsPersonal,
                         {{"Name1", "Фамилия", 150, kInfo},
                          {"Name2", "Имя", 120, kInfo},
                          {"Name3", "Отчество", 150, kInfo},
                          {"DR", "Дата рожд.", 70, {}},
                          {"NDoljn", "Должность", 184, {}},
                          {"NSpez", "Специальность", 120, {}},
                          {"StajO1", "СтажОбщ.", 60, kInfo},
                          {"StajD1", "СтажСпец.", 62, kInfo}},
                         this);
    connect(people_, &DbGrid::cellDoubleClicked, this, [this] { runGuarded([this] { editPerson(); }); });
    // The position takes whatever width the window has left: long names show whole on a wide
    // screen, and on a narrow one every column stays in view.
    people_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

    // The side panel: the current person's e-mail, SNILS, certificates and training.
    auto* side = new QWidget(this);
    side->setObjectName(QStringLiteral("Panel2"));
    side->setFixedWidth(291);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(2);
    sideLayout->addWidget(
        titleStrip(QStringLiteral("Почтовый ящик (e-mail:)"), QStringLiteral("Panel3"), side));
    auto* email = new DbEdit(QStringLiteral("DBEdit1"), dm.dtsPerEmail, QStringLiteral("EMAIL"), side);
    email->setReadOnly(true);
    sideLayout->addWidget(email);
    sideLayout->addWidget(titleStrip(QStringLiteral("Снилс"), QStringLiteral("Panel4"), side));
    auto* snils = new DbEdit(QStringLiteral("DBEdit2"), dm.dtsPerSnils, QStringLiteral("SNILS"), side);
    snils->setReadOnly(true);
    sideLayout->addWidget(snils);

    sideLayout->addWidget(
        titleStrip(QStringLiteral("Сертификаты и Аккредитация"), QStringLiteral("Panel5"), side));
    auto* certificateBar = new QToolBar(side);
    certificateBar->setIconSize(QSize(16, 16));
    certificateBar->setObjectName(QStringLiteral("ToolBar3"));
    const RowButtons certificateButtons{
        button(certificateBar, "SpeedButton7", QStringLiteral("Добавить"), &PersonnelWindow::addCertificate),
        button(certificateBar, "SpeedButton8", QStringLiteral("Редакт."), &PersonnelWindow::editCertificate),
        button(certificateBar, "SpeedButton9", QStringLiteral("Удалить"),
               &PersonnelWindow::deleteCertificate)};
    sideLayout->addWidget(certificateBar);
    auto* certificates =
        new DbGrid(QStringLiteral("DBGrid3"), dm.dtsSertif,
                   {{"DateCL", "ДатаОкон.", 0, {}}, {"Name", "Специальность", 185, {}}}, side);
    personnel::colourCertificates(*certificates, main);
    sideLayout->addWidget(certificates, 1);

    sideLayout->addWidget(
        titleStrip(QStringLiteral("Учеба по дополнительным ПП"), QStringLiteral("Panel6"), side));
    auto* trainingBar = new QToolBar(side);
    trainingBar->setIconSize(QSize(16, 16));
    trainingBar->setObjectName(QStringLiteral("ToolBar2"));
    // Here the training history is only shown; the card keeps it.
    for (QToolButton* b :
         {button(trainingBar, "SpeedButton4", QStringLiteral("Добавить"), &PersonnelWindow::addTraining),
          button(trainingBar, "SpeedButton5", QStringLiteral("Редакт."), &PersonnelWindow::editTraining),
          button(trainingBar, "SpeedButton6", QStringLiteral("Удалить"), &PersonnelWindow::deleteTraining)})
        b->setEnabled(false);
    sideLayout->addWidget(trainingBar);
    auto* training = new DbGrid(QStringLiteral("DBGrid2"), dm.dtsTrained,
                                {{"KZicl", "Код", 0, kCream},
                                 {"VidOb", "ВидОб", 64, kCream},
                                 {"Hours", "КолЧасов", 0, kCream},
                                 {"Year", "Год", 0, kCream}},
                                side);
    training->setEnabled(false);
    sideLayout->addWidget(training, 1);
    attachRowKeys(people_, personButtons);
    attachRowKeys(certificates, certificateButtons);

    auto* body = new QHBoxLayout;
    body->setSpacing(2);
    body->addWidget(people_, 1);
    body->addWidget(side);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(toolbar);
    layout->addLayout(body, 1);
    read_only::markChanging(this,
                            {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4", "SpeedButton5",
                             "SpeedButton6", "SpeedButton7", "SpeedButton8", "SpeedButton9"});
}

void PersonnelWindow::writeCount() {
    personnel::writePeopleCount(main_);
}

void PersonnelWindow::activated() {
    // Emptying the box searches with an empty text, which makes the first person current.
    surnameSearch_->clear();
    main_.setStatusPanel(0, QString());
    writeCount();
    people_->setFocus();
}

void PersonnelWindow::surnameSearchChanged() {
    Table& people = *main_.app().DM->tblPersonal;
    people.findNearest({surnameSearch_->text()});
}

void PersonnelWindow::addPerson() {
    AppContext& app = main_.app();
    app.state.PersonalMode = 0;
    app.DM->tblPersonal->append();
    personnel::showCard(main_);
}

void PersonnelWindow::editPerson() {
    main_.app().state.PersonalMode = 1;
    personnel::showCard(main_);
}

void PersonnelWindow::deletePerson() {
    AppContext& app = main_.app();
    if (personnel::deletePerson(*app.DM, app.state, app.prompter))
        writeCount();
}

void PersonnelWindow::addCertificate() {
    personnel::addDetail(main_, personnel::DetailRows::certificates());
}
void PersonnelWindow::editCertificate() {
    personnel::editDetail(main_, personnel::DetailRows::certificates());
}
void PersonnelWindow::deleteCertificate() {
    personnel::deleteDetail(main_, personnel::DetailRows::certificates());
}
void PersonnelWindow::addTraining() {
    personnel::addDetail(main_, personnel::DetailRows::training());
}
void PersonnelWindow::editTraining() {
    personnel::editDetail(main_, personnel::DetailRows::training());
}
void PersonnelWindow::deleteTraining() {
    personnel::deleteDetail(main_, personnel::DetailRows::training());
}
