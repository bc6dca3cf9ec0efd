#include "refbooks/ProgrammesWindow.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/Store.h"
#include "refbooks/CatalogueFilter.h"
#include "refbooks/PickRules.h"
#include "refbooks/ProgrammePanel.h"
#include "refbooks/RefbookWidgets.h"
#include "refbooks/RefbookWindows.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/ReadOnlySession.h"
#include "shell/StatusPanels.h"
#include "shell/TitleStrip.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

ProgrammesWindow::ProgrammesWindow(WindowHost& main) : main_(main) {
    setObjectName(QStringLiteral("ftrProgr"));
    setWindowTitle(QStringLiteral("Программы обучения"));
    DataModule& dm = *main.app().DM;

    // The filter panel.
    auto* filter = new QWidget(this);
    filter->setObjectName(QStringLiteral("Panel1"));
    auto* heading = titleStrip(QStringLiteral("Параметры фильтра"), QStringLiteral("Panel2"), filter);
    heading->setStyleSheet(QStringLiteral("background: #ffffe1;"));
    specialties_ = new QComboBox(filter);
    specialties_->setObjectName(QStringLiteral("ComboBox1"));
    specialties_->setEditable(true);
    specialties_->setInsertPolicy(QComboBox::NoInsert);
    specialties_->setFixedWidth(201);
    // The years the catalogue has, after "все годы": the box says what the list shows.
    years_ = new QComboBox(filter);
    years_->setObjectName(QStringLiteral("ComboBox2"));
    years_->setFixedWidth(100);
    auto* specialtyLabel = new QLabel(QStringLiteral("Специальность"), filter);
    specialtyLabel->setBuddy(specialties_);
    auto* yearLabel = new QLabel(QStringLiteral("Год"), filter);
    yearLabel->setBuddy(years_);
    auto* apply = new QPushButton(QStringLiteral("Фильтр"), filter);
    apply->setObjectName(QStringLiteral("Button1"));
    auto* cancelButton = new QPushButton(QStringLiteral("отмена"), filter);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {apply, cancelButton})
        b->setAutoDefault(false);
    auto* filterGrid = new QGridLayout(filter);
    filterGrid->setContentsMargins(2, 2, 2, 2);
    filterGrid->addWidget(heading, 0, 0, 1, 6);
    filterGrid->addWidget(specialtyLabel, 1, 0);
    filterGrid->addWidget(specialties_, 1, 1);
    filterGrid->addWidget(yearLabel, 1, 2);
    filterGrid->addWidget(years_, 1, 3);
    filterGrid->addWidget(apply, 1, 4);
    filterGrid->addWidget(cancelButton, 1, 5);
    filterGrid->setColumnStretch(6, 1);

    // The toolbar of the list.
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    QToolButton* print = refbooks::makePictureButton(QStringLiteral("SpeedButton1"), refbooks::Picture::Print,
                                                     QStringLiteral("Печать списка программ"), bar);
    bar->addWidget(print);
    bar->addSeparator();
    auto* load = new QToolButton(bar);
    load->setObjectName(QStringLiteral("LoadCatalogueButton"));
    load->setText(QStringLiteral("Загрузить каталог программ…"));
    load->setToolTip(QStringLiteral("Загрузить новый каталог учебного центра (файл NewZicl2023.db)"));
    bar->addWidget(load);

    grid_ = new DbGrid(QStringLiteral("DBGrid1"), dm.dtsQNewZICL2021,
                       {{"KZicl", "КодПрогр.", 0, {}},
                        {"VidOb", "ВидОб", 64, {}},
                        {"Hours", "ОбъемЧас.", 0, {}},
                        {"FOBUCH", "ФормаОбуч", 64, {}},
                        {"NZicl", "Наименование", 506, {}},
                        {"Year", "Год", 0, {}}},
                       this);

    // The side panel: the current programme's specialties and contingent, its strips level with the
    // list beside them.
    panel_ = new ProgrammePanel(dm, 148, this);
    panel_->setFixedWidth(320);
    panel_->setTopSpace(filter->sizeHint().height());

    auto* status = new QStatusBar(this);
    count_ = makeStatusPanels(status, {{150}, {100}, {50}}).first();

    auto* top = new QHBoxLayout;
    top->addWidget(filter);
    top->addWidget(bar, 1, Qt::AlignRight | Qt::AlignBottom);
    auto* list = new QVBoxLayout;
    list->addLayout(top);
    list->addWidget(grid_, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(list, 1);
    body->addWidget(panel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->addLayout(body, 1);
    layout->addWidget(status);

    auto guarded = [this](void (ProgrammesWindow::*handler)()) {
        return [this, handler] { runGuarded([&] { (this->*handler)(); }); };
    };
    connect(apply, &QPushButton::clicked, this, guarded(&ProgrammesWindow::applyFilter));
    connect(cancelButton, &QPushButton::clicked, this, guarded(&ProgrammesWindow::clearFilter));
    connect(print, &QToolButton::clicked, this, guarded(&ProgrammesWindow::printList));
    connect(load, &QToolButton::clicked, this, guarded(&ProgrammesWindow::loadCatalogue));
    connect(grid_, &DbGrid::cellClicked, this, guarded(&ProgrammesWindow::gridClicked));
    connect(grid_, &DbGrid::keyPressed, this, guarded(&ProgrammesWindow::gridKeyPressed));
    connect(grid_, &DbGrid::keyReleased, this, guarded(&ProgrammesWindow::gridKeyReleased));
    read_only::markChanging(this, {"LoadCatalogueButton"});
}

void ProgrammesWindow::showContingent() {
    panel_->showContingent();
}

void ProgrammesWindow::showCount() {
    const Query& programmes = *main_.app().DM->qNewZicl;
    count_->setText(QStringLiteral("Всего - %1").arg(programmes.isActive() ? programmes.recordCount() : 0));
}

void ProgrammesWindow::reload(const QString& specialty, const QString& year) {
    const CatalogueFilter filter{specialty, year};
    main_.app().DM->reloadNewZicl(filter.sql(), filter.parameters());
}

void ProgrammesWindow::fillYears() {
    years_->clear();
    years_->addItem(QStringLiteral("все годы"), QString());
    auto st = main_.app().DM->store().cached(QStringLiteral("SELECT DISTINCT \"Year\" FROM \"NewZicl2023\" "
                                                            "WHERE \"Year\" IS NOT NULL ORDER BY \"Year\""));
    while (st->step())
        years_->addItem(QString::number(st->int64(0)), QString::number(st->int64(0)));
    years_->setCurrentIndex(0);
}

void ProgrammesWindow::activated() {
    reload({}, {});
    fillYears();
    specialties_->clear();
    specialties_->addItems(refbooks::specialtyNames(*main_.app().DM));
    specialties_->setCurrentIndex(-1);
    specialties_->setEditText(QString());
    showContingent();
    showCount();
    main_.setStatusPanel(0, QString());
    main_.setStatusPanel(1, QString());
    grid_->setFocus();
}

void ProgrammesWindow::gridClicked() {
    showContingent();
}
void ProgrammesWindow::gridKeyPressed() {
    showContingent();
}
void ProgrammesWindow::gridKeyReleased() {
    showContingent();
}

void ProgrammesWindow::applyFilter() {
    // The texts are compared as values: quotes and percent signs are ordinary characters.
    reload(specialties_->currentText(), years_->currentData().toString());
    showContingent();
    showCount();
}

void ProgrammesWindow::clearFilter() {
    reload({}, {});
    specialties_->setEditText(QString());
    years_->setCurrentIndex(0);
    showContingent();
    showCount();
}

void ProgrammesWindow::printList() {
    refbooks::printProgrammeList(main_);
    showContingent(); // printing walks the list: the panel shows the programme current after it
}

void ProgrammesWindow::loadCatalogue() {
    if (refbooks::loadNewCatalogue(main_))
        activated();
}
