#include "applications/AddTraineesDialog.h"

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
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* kCream = "background: #fffbf0;";
}

UpDownControl::UpDownControl(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum), position_(minimum) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto arrow = [&](Qt::ArrowType type, int step) {
        auto* b = new QToolButton(this);
        b->setObjectName(step > 0 ? QStringLiteral("Up") : QStringLiteral("Down"));
        b->setArrowType(type);
        b->setFixedSize(18, 13);
        connect(b, &QToolButton::clicked, this, [this, step] { stepBy(step); });
        layout->addWidget(b);
    };
    arrow(Qt::UpArrow, 1);
    arrow(Qt::DownArrow, -1);
}

void UpDownControl::stepBy(int steps) {
    // Steps from what the box shows, typed or not.
    bool ok = false;
    const int shown = buddy_->text().trimmed().toInt(&ok);
    if (ok)
        position_ = shown;
    position_ = std::clamp(position_ + steps, minimum_, maximum_);
    buddy_->setText(QString::number(position_));
}

AddTraineesDialog::AddTraineesDialog(WindowHost& main, const Generation& generation)
    : ActivatedDialog(main.hostWidget()), main_(main), g_(generation) {
    DataModule& dm = *main.app().DM;
    setWindowTitle(g_.insertCaption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    DataSource* apps = g_.applicationsSource(dm);

    // Header, left: the application.
    auto* header = new QWidget(this);
    auto* headerLayout = new QHBoxLayout(header);
    auto* left = new QGridLayout;
    auto bold = [](QWidget* w) {
        QFont f = w->font();
        f.setBold(true);
        w->setFont(f);
    };
    auto* number = new DbEdit(QStringLiteral("DBEdit1"), apps, QStringLiteral("KZajavki"), header);
    auto* year = new DbEdit(QStringLiteral("DBEdit2"), apps, QStringLiteral("Year"), header);
    for (DbEdit* e : {number, year}) {
        e->setReadOnly(true); // the header shows the application; it is changed nowhere here
        e->setStyleSheet(QString::fromLatin1(kCream));
        e->setFixedWidth(90);
        bold(e);
    }
    auto* numberLabel = new QLabel(QStringLiteral("Заявка"), header);
    numberLabel->setBuddy(number);
    auto* yearLabel = new QLabel(QStringLiteral("учебный год"), header);
    yearLabel->setBuddy(year);
    left->addWidget(numberLabel, 0, 0);
    left->addWidget(number, 0, 1);
    left->addWidget(yearLabel, 1, 0);
    left->addWidget(year, 1, 1);
    headerLayout->addLayout(left);

    // Header, right: the programme and the quarter.
    auto* group = new QGroupBox(QStringLiteral("Выберите программу обучения и задайте квартал года (от 1 до "
                                               "4)  проведения повышения квалификации"),
                                header);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* g = new QGridLayout(group);
    programme_ = new QLineEdit(group);
    programme_->setObjectName(QStringLiteral("Edit1"));
    programme_->setReadOnly(true);
    hours_ = new QLineEdit(group);
    hours_->setObjectName(QStringLiteral("Edit2"));
    hours_->setReadOnly(true);
    choose_ = actionButton(group, QStringLiteral("Button1"), QStringLiteral("Выбрать"),
                           [this] { chooseProgramme(); });
    quarter_ = new QLineEdit(QStringLiteral("1"), group);
    quarter_->setObjectName(QStringLiteral("Edit3"));
    QFont big = quarter_->font();
    big.setPixelSize(16);
    quarter_->setFont(big);
    quarter_->setFixedWidth(40);
    auto* upDown = new UpDownControl(quarter_, 1, 4, group);
    upDown->setObjectName(QStringLiteral("UpDown1"));
    auto* codeLabel = new QLabel(QStringLiteral("Код программы"), group);
    codeLabel->setBuddy(programme_);
    auto* hoursLabel = new QLabel(QStringLiteral("Объем часов"), group);
    hoursLabel->setBuddy(hours_);
    auto* quarterLabel = new QLabel(QStringLiteral("Квартал года"), group);
    quarterLabel->setBuddy(quarter_);
    g->addWidget(codeLabel, 0, 0);
    g->addWidget(programme_, 0, 1);
    g->addWidget(hoursLabel, 0, 2);
    g->addWidget(hours_, 0, 3);
    g->addWidget(choose_, 0, 4);
    g->addWidget(quarterLabel, 1, 0);
    auto* quarterRow = new QHBoxLayout;
    quarterRow->addWidget(quarter_);
    quarterRow->addWidget(upDown);
    quarterRow->addStretch();
    g->addLayout(quarterRow, 1, 1);
    headerLayout->addWidget(group, 1);

    auto* hint =
        new QLabel(QStringLiteral("Клавишей \"ПРОБЕЛ\" выделите специалистов для добавления в заявку"), this);
    hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold; background: #fffbf0;"));

    people_ = new DbGrid(QStringLiteral("DBGrid1"), dm.dtsPersonal,
                         {{"Name1", "Фамилия"},
                          {"Name2", "Имя"},
                          {"Name3", "Отчество"},
                          {"NDoljn", "Должность"},
                          {"StajO1", "Общ.Стаж"},
                          {"StajD1", "СтажСпец"}},
                         this);
    // Marked people are drawn as red rows with white text.
    const int mark = dm.tblPersonal->field(fld::PR).index();
    people_->datasetModel()->setRowColours([&dm, mark](int row) -> std::optional<RowColours> {
        if (applications::isMarked(dm.tblPersonal->valueAt(row, mark)))
            return RowColours{QColor(255, 0, 0), QColor(Qt::white)};
        return std::nullopt;
    });
    people_->setMinimumSize(820, 360);

    auto* run = makeDefault(
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Выполнить"), [this] { addMarked(); }));
    auto* cancelButton =
        actionButton(this, QStringLiteral("Button3"), QStringLiteral("Отмена"), [this] { cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(run);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(hint);
    layout->addWidget(people_, 1);
    layout->addLayout(buttons);

    connect(people_, &DbGrid::keyReleased, this,
            [this](int key) { runGuarded([&] { gridKeyReleased(key); }); });
}

void AddTraineesDialog::activated() {
    // A new opening always starts with no marks.
    applications::clearMarks(*main_.app().DM);
    people_->setFocus();
}

void AddTraineesDialog::gridKeyReleased(int key) {
    if (key == Qt::Key_Space)
        applications::toggleMark(*main_.app().DM);
}

void AddTraineesDialog::chooseProgramme() {
    AppContext& app = main_.app();
    app.state.ZiclCaller = g_.callers.programmeForAdding;
    const int year = int(g_.applicationsTable(*app.DM).field(fld::Year).asInteger());
    app.DM->reloadNewZicl(applications::catalogueSql(g_, g_.addOffersEarlierYears),
                          {{QStringLiteral("p_year"), year}});
    main_.showProgrammeChooser();
}

void AddTraineesDialog::addMarked() {
    AppContext& app = main_.app();
    if (programme_->text().trimmed().isEmpty()) {
        app.prompter.inform(QStringLiteral("Не выбрали программу обучения!"));
        choose_->setFocus();
        return;
    }
    const std::optional<int> quarter = applications::parseQuarter(quarter_->text());
    if (!quarter) {
        app.prompter.inform(QString::fromUtf8(applications::kQuarterRule));
        quarter_->setFocus();
        return;
    }
    if (const QStringList listed = applications::alreadyListed(*app.DM, g_); !listed.isEmpty()) {
        const QString year = g_.applicationsTable(*app.DM).field(fld::Year).displayText();
        const QString question = QStringLiteral("Уже есть в заявках %1 года:\n%2\n\nДобавить их ещё раз?")
                                     .arg(year, listed.join(u'\n'));
        if (app.prompter.ask(windowTitle(), question, Prompter::Icon::Question,
                             Prompter::Buttons::YesNoDefaultNo) != Prompter::Answer::Yes) {
            people_->setFocus();
            return;
        }
    }
    if (applications::addMarkedPeople(*app.DM, g_, app.state, *quarter) == 0) {
        app.prompter.inform(QStringLiteral("Не выбран ни один специалист!"));
        people_->setFocus();
        return;
    }
    accept(); // the applications window writes its count line
}

void AddTraineesDialog::cancel() {
    reject();
}
