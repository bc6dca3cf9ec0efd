#include "applications/ApplicationsWindow.h"

#include "applications/ApplicationRules.h"
#include "applications/ApplicationWindows.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/Icons.h"
#include "shell/ReadOnlySession.h"
#include "shell/RowKeys.h"
#include "shell/StatusPanels.h"
#include "shell/WindowRegistry.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kCream(0xFF, 0xFB, 0xF0);
const QColor kTooltip(0xFF, 0xFF, 0xE1);

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

// The columns are as wide as their titles and values (the grid fits them), the first two on the
// tooltip background colour; years of service computed from an empty start year show as empty
// cells.
QList<GridColumn> traineeColumns(const Generation& g) {
    QList<GridColumn> columns;
    for (const TraineeGridColumn& c : g.traineeColumns) {
        GridColumn column{c.field, c.title, 0, std::nullopt};
        if (columns.size() < 2)
            column.background = kTooltip;
        columns << column;
    }
    return columns;
}

// The current trainee's details, each box under its caption, read only.
QWidget* traineePanel(const Generation& g, const DataModule& dm, QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedWidth(240);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 0, 0, 0);
    int n = 0;
    for (const TraineePanelBox& box : g.traineePanel) {
        auto* edit = new DbEdit(QStringLiteral("DBEdit%1").arg(++n), dm.*box.source, box.field, panel);
        edit->setReadOnly(true);
        edit->setStyleSheet(QStringLiteral("background: #ffffe1;"));
        auto* caption = new QLabel(box.caption, panel);
        caption->setWordWrap(true);
        caption->setBuddy(edit);
        layout->addWidget(caption);
        layout->addWidget(edit);
        layout->addSpacing(4);
    }
    layout->addStretch();
    return panel;
}

} // namespace

ApplicationsWindow::ApplicationsWindow(WindowHost& main, const Generation& generation)
    : main_(main), g_(generation) {
    setObjectName(g_.windowInstance);
    setWindowTitle(windows::childCaption(g_.openProcedure));
    DataModule& dm = *main.app().DM;
    DataSource* appsSource = g_.applicationsSource(dm);
    DataSource* traineesSource = g_.traineesSource(dm);

    auto button = [this](QToolBar* bar, const char* name, const QString& caption, const QString& hint,
                         icons::Picture picture, void (ApplicationsWindow::*handler)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolTip(hint);
        b->setIcon(icons::icon(picture));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setEnabled(g_.operationsEnabled);
        connect(b, &QToolButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        bar->addWidget(b);
        return b;
    };

    // Left: the applications.
    auto* left = new QWidget(this);
    left->setFixedWidth(193);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(heading(QStringLiteral("Список заявок"), left));
    auto* leftBar = new QToolBar(left);
    leftBar->setIconSize(QSize(16, 16)); // both buttons fit the narrow side
    RowButtons applicationButtons;
    applicationButtons.add =
        button(leftBar, "SpeedButton1", QStringLiteral("Создать"), QStringLiteral("Создать новую заявку"),
               icons::Picture::New, &ApplicationsWindow::createApplication);
    applicationButtons.remove =
        button(leftBar, "SpeedButton3", QStringLiteral("Удалить"), QStringLiteral("Удалить заявку полностью"),
               icons::Picture::Delete, &ApplicationsWindow::deleteApplication);
    leftLayout->addWidget(leftBar);
    applications_ = new DbGrid(QStringLiteral("DBGrid1"), appsSource,
                               {{"KZajavki", "Заявка", 0, kCream}, {"Year", "Год", 0, kCream}}, left);
    leftLayout->addWidget(applications_, 1);
    connect(applications_, &DbGrid::cellClicked, this, [this] { gridClicked(); });
    connect(&dm, &DataModule::traineesWritten, this, [this] { writeCountLine(); });

    // Right: the trainees of the current application.
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(heading(QStringLiteral("Заявленные специалисты "), right));
    auto* rightBar = new QToolBar(right);
    rightBar->setIconSize(QSize(16, 16));
    RowButtons traineeButtons;
    traineeButtons.add = button(rightBar, "SpeedButton2", QStringLiteral("Добавить"),
                                QStringLiteral("Добавить специалистов в заявку"), icons::Picture::Add,
                                &ApplicationsWindow::addTrainees);
    traineeButtons.open = button(rightBar, "SpeedButton4", QStringLiteral("Редактр."),
                                 QStringLiteral("Редактировать текущего "), icons::Picture::Edit,
                                 &ApplicationsWindow::editTrainee);
    traineeButtons.remove =
        button(rightBar, "SpeedButton5", QStringLiteral("Удалить"), QStringLiteral("Удалить текущего"),
               icons::Picture::Delete, &ApplicationsWindow::deleteTrainee);
    rightBar->addSeparator();
    QToolButton* print = button(rightBar, "SpeedButton6", QString(), QStringLiteral("Печать заявки"),
                                icons::Picture::Print, &ApplicationsWindow::printApplication);
    print->setToolButtonStyle(Qt::ToolButtonIconOnly);
    print->setEnabled(true); // every generation prints
    rightBar->addSeparator();
    QToolButton* exportButton = button(rightBar, "SpeedButton7", QStringLiteral("Выгрузить"),
                                       QStringLiteral("Выгрузка заявки для ТОВЕКС"), icons::Picture::Export,
                                       &ApplicationsWindow::exportApplication);
    QToolButton* moveButton = nullptr;
    if (g_.offersMoving)
        moveButton = button(rightBar, "SpeedButton8", QStringLiteral("Перемещение"), QString(),
                            icons::Picture::Move, &ApplicationsWindow::moveTrainee);
    traineeButtons.more = {moveButton, print, exportButton};
    if (g_.kind == Generation::Kind::Y2023) { // the plan fills the current generation's applications
        rightBar->addSeparator();
        button(rightBar, "PlanButton", QStringLiteral("План обучения"),
               QStringLiteral("План обучения на год по срокам сертификатов"), icons::Picture::People,
               &ApplicationsWindow::showPlan)
            ->setEnabled(true);
    }
    rightLayout->addWidget(rightBar);
    trainees_ = new DbGrid(QStringLiteral("DBGrid2"), traineesSource, traineeColumns(g_), right);
    if (g_.traineePanel.isEmpty()) {
        rightLayout->addWidget(trainees_, 1);
    } else {
        auto* traineeRow = new QHBoxLayout;
        traineeRow->addWidget(trainees_, 1);
        traineeRow->addWidget(traineePanel(g_, dm, right));
        rightLayout->addLayout(traineeRow, 1);
    }
    attachRowKeys(applications_, applicationButtons);
    attachRowKeys(trainees_, traineeButtons);
    auto* status = new QStatusBar(right);
    count_ = makeStatusPanels(status, {{150, true}, {50}}).first();
    count_->setAlignment(Qt::AlignCenter);
    rightLayout->addWidget(status);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(left);
    layout->addWidget(right, 1);
    // The move is offered by the newer generations only.
    read_only::markChanging(this,
                            {"SpeedButton1", "SpeedButton3", "SpeedButton2", "SpeedButton4", "SpeedButton5"});
    if (QWidget* move = findChild<QWidget*>(QStringLiteral("SpeedButton8")))
        read_only::markChanging(move);
}

void ApplicationsWindow::setCountLine(const QString& text) {
    count_->setText(text);
}
QString ApplicationsWindow::countLine() const {
    return count_->text();
}
void ApplicationsWindow::writeCountLine() {
    setCountLine(applications::countLine(*main_.app().DM, g_));
}

void ApplicationsWindow::activated() {
    main_.setStatusPanel(0, QString());
    main_.setStatusPanel(1, QString());
    writeCountLine();
    applications_->setFocus();
}

void ApplicationsWindow::gridClicked() {
    writeCountLine();
}

void ApplicationsWindow::createApplication() {
    AppContext& app = main_.app();
    if (!app.DM->tblConfig->field(fld::KZajavki).displayText().isEmpty()) {
        // Whatever the dialog did (it goes on to the adding dialog), the count line follows it.
        applications::showNewApplication(main_, g_);
        writeCountLine();
        return;
    }
    if (app.prompter.confirmWithBeep(QStringLiteral("Не задан номер договора с ТОВЕКС. Перейти к заданию? ")))
        main_.showSettings();
    else
        applications_->setFocus();
}

void ApplicationsWindow::deleteApplication() {
    AppContext& app = main_.app();
    applications::deleteApplication(*app.DM, g_, app.state, app.prompter,
                                    [&app] { app.backups().before(backup_action::kDeleteApplication); });
}

void ApplicationsWindow::addTrainees() {
    // Trainees added with no application current would belong to no application.
    if (g_.applicationsTable(*main_.app().DM).isEmpty()) {
        main_.app().prompter.inform(QStringLiteral(
            "Нет заявки, в которую можно добавить специалистов. Сначала создайте заявку кнопкой «Создать»."));
        return;
    }
    if (applications::showAddTrainees(main_, g_) == QDialog::Accepted)
        writeCountLine();
}

void ApplicationsWindow::editTrainee() {
    // With no application a trainee saved in the editor would belong to no application.
    if (g_.applicationsTable(*main_.app().DM).isEmpty()) {
        main_.app().prompter.inform(QStringLiteral(
            "Нет заявки, слушателя которой можно редактировать. Сначала создайте заявку кнопкой «Создать»."));
        return;
    }
    applications::showTraineeEditor(main_, g_);
}

void ApplicationsWindow::deleteTrainee() {
    AppContext& app = main_.app();
    applications::deleteTrainee(*app.DM, g_, app.state);
    writeCountLine();
}

void ApplicationsWindow::printApplication() {
    if (windows::Action print = windows::action(QStringLiteral("PrintApplication") + g_.windowInstance))
        print(main_);
    else
        main_.app().prompter.inform(QStringLiteral("Печать заявки пока недоступна"));
}

void ApplicationsWindow::showPlan() {
    if (windows::Action show = windows::action(QStringLiteral("ShowPlan")))
        show(main_);
}

void ApplicationsWindow::moveTrainee() {
    if (applications::showMoving(main_, g_) == QDialog::Accepted)
        writeCountLine();
}

void ApplicationsWindow::exportApplication() {
    if (windows::Action exportFile = windows::action(QStringLiteral("ExportApplication") + g_.windowInstance))
        exportFile(main_);
    else
        main_.app().prompter.inform(QStringLiteral("Выгрузка заявки пока недоступна"));
}
