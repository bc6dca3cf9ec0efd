#include "shell/MainWindow.h"

#include "data/AppContext.h"
#include "shell/AboutDialog.h"
#include "shell/DialogRunner.h"
#include "shell/ErrorGuard.h"
#include "shell/HelpWindow.h"
#include "shell/Icons.h"
#include "shell/ReadOnlySession.h"
#include "shell/StartupWindow.h"
#include "shell/StatusPanels.h"
#include "shell/WindowRegistry.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// Closing a child window only minimizes it, so that the next click finds it again.
class MinimizeOnClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            static_cast<QWidget*>(watched)->showMinimized();
            return true;
        }
        return false;
    }
};

} // namespace

MainWindow::MainWindow(AppContext& app, QWidget* parent)
    : QMainWindow(parent), app_(app), mdi_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("ftrMain"));
    setWindowTitle(QStringLiteral("\"Заявки\""));
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(mdi_);
    buildMenu();
    buildToolBar();
    help::installF1Key(this);
    buildStatusBar();
    if (app_.store && !app_.store->canWrite())
        read_only::enforce();
    instances_.insert(QStringLiteral("ftrMain"), this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (sub)
            if (auto* w = dynamic_cast<ActivatedWindow*>(sub->widget()))
                runGuarded([w] { w->activated(); });
    });
}

void MainWindow::buildMenu() {
    auto add = [this](QMenu* menu, const char* name, const char* text, bool enabled,
                      std::function<void()> fn) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [fn] { runGuarded(fn); });
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("N1"));
    add(file, "N2", "Выход", true, [this] { close(); });

    QMenu* books = menuBar()->addMenu(QStringLiteral("Справочник"));
    books->setObjectName(QStringLiteral("N3"));
    add(books, "N4", "Должности", true, [this] {
        app_.state.DoljnCaller = 0;
        showPositions();
    });
    add(books, "N5", "Специальности по диплому", true, [this] {
        app_.state.SpezCaller = 0;
        showDiplomaSpecialties();
    });
    books->addSeparator();
    // The two catalogue items stay disabled: nothing in the program enables them.
    add(books, "N8", "Программы обучения по гос.заданию", false, [this] { runAction(QStringLiteral("N8")); });
    add(books, "N10", "Программы обучения по непрер. мед.образованию", false,
        [this] { runAction(QStringLiteral("N10")); });
    books->addSeparator();
    add(books, "N9", "Специальности", true, [this] {
        app_.state.SpecialtyCaller = 0;
        showSpecialties();
    });
    books->addSeparator();
    read_only::markChanging(add(books, "LoadCatalogueItem", "Загрузить каталог программ…", true,
                                [this] { runAction(QStringLiteral("LoadCatalogue")); }));

    QMenu* service = menuBar()->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("N6"));
    add(service, "N7", "Параметры", true, [this] { showSettings(); });
    read_only::markChanging(
        add(service, "N13", "Восстановление заявки", true, [this] { runAction(QStringLiteral("N13")); }));
    service->addSeparator();
    add(service, "PlanItem", "План обучения на год…", true,
        [this] { runAction(QStringLiteral("ShowPlan")); });
    add(service, "BackupsItem", "Резервные копии…", true,
        [this] { runAction(QStringLiteral("ShowBackups")); });
    add(service, "ChangeLogItem", "Журнал изменений", true,
        [this] { runAction(QStringLiteral("ShowChangeLog")); });
    // The applications of the two earlier generations, kept to be looked at and printed; their
    // toolbar buttons stay hidden.
    service->addSeparator();
    add(service, "ArchiveZajavkiItem", "Архив заявок до 2021 года", true,
        [this] { openApplicationsTo2020(); });
    add(service, "ArchiveZajavki2021Item", "Архив заявок на 2022 год", true,
        [this] { openApplications2022(); });

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("Справка"));
    helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    // F1 itself is caught in every window (help::installF1Key); the menu only shows the key.
    add(helpMenu, "ManualItem", "Руководство\tF1", true, [this] {
        QMdiSubWindow* sub = mdi_->activeSubWindow();
        help::show(this, sub && sub->widget() ? help::sectionFor(sub->widget()) : QStringLiteral("main"));
    });
    add(helpMenu, "ChangesItem", "Что нового", true, [this] { help::show(this, QStringLiteral("changes")); });
    helpMenu->addSeparator();
    add(helpMenu, "AboutItem", "О программе", true, [this] { showModal(new AboutDialog(app_, this)); });
}

void MainWindow::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    auto* row = new QWidget(bar);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true); // the last button pressed stays down

    auto button = [&](const char* name, const char* caption, int width, const char* procedure,
                      icons::Picture picture) {
        auto* b = new QToolButton(row);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromUtf8(caption));
        b->setIcon(icons::icon(picture));
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFixedSize(width, 22);
        b->setCheckable(true);
        b->setAutoRaise(true);
        group->addButton(b);
        layout->addWidget(b);
        const QString proc = QString::fromLatin1(procedure);
        connect(b, &QToolButton::clicked, this, [this, proc, b] { openChild(proc, b); });
        buttons_.insert(proc, b);
        return b;
    };
    auto divider = [&](int width) { layout->addSpacing(width); };

    button("SpeedButton2", "Персонал", 145, "OpenPersonal", icons::Picture::People);
    divider(24);
    button("SpeedButton1", "Программы", 152, "OpenProgr", icons::Picture::Programmes);
    QToolButton* old =
        button("SpeedButton3", "Заявки до 2021 года", 145, "OpenZajavki", icons::Picture::Applications);
    old->setEnabled(false);
    old->setVisible(false);
    QToolButton* y2022 =
        button("SpeedButton5", "Заявки на 2022 год", 150, "OpenZajavki2021", icons::Picture::Applications);
    y2022->setEnabled(false);
    y2022->setVisible(false);
    y2022->setStyleSheet(QStringLiteral("color: black;"));
    QToolButton* current =
        button("SpeedButton4", "Заявки на обучение", 195, "OpenZajavki2023", icons::Picture::Applications);
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);
    current->setStyleSheet(QStringLiteral("color: red;"));
    divider(22);
    layout->addStretch();
    bar->addWidget(row);
}

void MainWindow::buildStatusBar() {
    panels_ = makeStatusPanels(statusBar(), {{150, true}, {150}, {50}});
    // The last panel reports what was done last, as long as the window is wide.
    QLabel* done = panels_.last();
    statusBar()->removeWidget(done);
    done->setMinimumWidth(50);
    done->setMaximumWidth(QWIDGETSIZE_MAX);
    statusBar()->addWidget(done, 1);
    done->show();
    // Where the data are: the folder's own database or a server, and whether this clerk may change them.
    if (app_.store) {
        auto* where = new QLabel(statusBar());
        where->setObjectName(QStringLiteral("StorePanel"));
        where->setText(app_.store->isServer()
                           ? QStringLiteral("База данных %1%2")
                                 .arg(app_.store->displayPath(), app_.store->canWrite()
                                                                     ? QString()
                                                                     : QStringLiteral(" — только просмотр"))
                           : QStringLiteral("База данных в папке программы"));
        where->setToolTip(app_.store->displayPath());
        where->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        statusBar()->addPermanentWidget(where);
    }
}

void MainWindow::setStatusPanel(int panel, const QString& text) {
    panels_.value(panel)->setText(text);
}
QString MainWindow::statusPanel(int panel) const {
    return panels_.value(panel)->text();
}

void MainWindow::reportDone(const QString& what) {
    const QString line =
        QTime::currentTime().toString(QStringLiteral("HH:mm")) + QStringLiteral(" — ") + what;
    setStatusPanel(2, line);
    panels_.value(2)->setToolTip(line);
}

void MainWindow::openChild(const QString& procedure, QToolButton* button) {
    const windows::ChildWindow* spec = windows::childWindow(procedure);
    const QString caption = QString::fromUtf8(spec->caption);
    const QString instanceName = QString::fromLatin1(spec->instance);
    if (button)
        button->setChecked(true);
    // Find: from the last child window to the first, the first exact caption wins.
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if ((*it)->widget() && (*it)->widget()->windowTitle() == caption) {
            QWidget* held = instances_.value(instanceName);
            QMdiSubWindow* sub = held ? qobject_cast<QMdiSubWindow*>(held->parentWidget()) : *it;
            if (!sub)
                sub = *it;
            sub->showMaximized();
            mdi_->setActiveSubWindow(sub);
            sub->raise();
            return;
        }
    }
    // Create.
    windows::ChildFactory factory = windows::child(procedure);
    if (!factory) {
        app_.prompter.inform(QStringLiteral("Окно «%1» пока недоступно").arg(caption.trimmed()));
        return;
    }
    QWidget* w = factory(*this);
    w->setWindowTitle(caption);
    instances_.insert(instanceName, w);
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->installEventFilter(new MinimizeOnClose(sub));
    sub->showMaximized();
    mdi_->setActiveSubWindow(sub);
}

void MainWindow::openPersonnel() {
    openChild(QStringLiteral("OpenPersonal"), buttons_.value(QStringLiteral("OpenPersonal")));
}
void MainWindow::openProgrammes() {
    openChild(QStringLiteral("OpenProgr"), buttons_.value(QStringLiteral("OpenProgr")));
}
void MainWindow::openApplications() {
    openChild(QStringLiteral("OpenZajavki2023"), buttons_.value(QStringLiteral("OpenZajavki2023")));
}
void MainWindow::openApplicationsTo2020() {
    openChild(QStringLiteral("OpenZajavki"), buttons_.value(QStringLiteral("OpenZajavki")));
}
void MainWindow::openApplications2022() {
    openChild(QStringLiteral("OpenZajavki2021"), buttons_.value(QStringLiteral("OpenZajavki2021")));
}

int MainWindow::showModal(QDialog* dialog) {
    // Each dialog keeps its instance variable while it is shown and is freed when it closes.
    std::unique_ptr<QDialog> owned(dialog);
    instances_.insert(dialog->objectName(), dialog);
    const int result = app_.dialogs ? app_.dialogs->run(*dialog) : dialog->exec();
    instances_.remove(dialog->objectName());
    return result;
}

int MainWindow::showDialog(const QString& procedure, const QString& instanceName) {
    windows::DialogFactory factory = windows::dialog(procedure);
    if (!factory) {
        app_.prompter.inform(QStringLiteral("Этот справочник пока недоступен"));
        return QDialog::Rejected;
    }
    QDialog* dialog = factory(*this);
    dialog->setObjectName(instanceName);
    return showModal(dialog);
}

int MainWindow::showPositions() {
    return showDialog(QStringLiteral("ShowDoljn"), QStringLiteral("ftrDoljn"));
}
int MainWindow::showDiplomaSpecialties() {
    return showDialog(QStringLiteral("ShowSpez"), QStringLiteral("ftrSpez"));
}
int MainWindow::showSpecialties() {
    return showDialog(QStringLiteral("ShowSpecialty"), QStringLiteral("ftrSpecialty"));
}
int MainWindow::showSettings() {
    return showDialog(QStringLiteral("ShowConfig"), QStringLiteral("ftrConfig"));
}
int MainWindow::showProgrammeChooser() {
    return showDialog(QStringLiteral("ShowZicl"), QStringLiteral("ftrZicl"));
}
int MainWindow::showMoving() {
    return showDialog(QStringLiteral("ShowMoving"), QStringLiteral("ftrMoving"));
}

void MainWindow::runAction(const QString& item) {
    if (windows::Action a = windows::action(item))
        a(*this);
    else
        app_.prompter.inform(QStringLiteral("Эта операция пока недоступна"));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    QTimer::singleShot(0, this, [this] { startUp(); });
}

void MainWindow::startUp() {
    if (startedUp_)
        return;
    startedUp_ = true;
    if (!app_.DM)
        app_.createDataModule();
    auto* startup = new StartupWindow(app_, startupDelay_);
    showModal(startup);
}
