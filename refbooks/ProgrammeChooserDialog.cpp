#include "refbooks/ProgrammeChooserDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "refbooks/PickRules.h"
#include "refbooks/ProgrammePanel.h"
#include "refbooks/RefbookWidgets.h"
#include "refbooks/RefbookWindows.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/StatusPanels.h"
#include "shell/WindowHost.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace refbooks;

namespace {

// What the codes of the forms of study in the centre's catalogues mean.
QString formMeaning(const QString& code) {
    static const QList<std::pair<QStringList, const char*>> meanings{
        {{"Д"}, "очно-заочная, без выезда слушателей в образовательную организацию"},
        {{"ОЗ", "очно-заочн", "очно-заочная"}, "очно-заочная, с выездом слушателей на время очной части"},
        {{"ОЧ", "очн", "очная"}, "очная, с выездом слушателей в образовательную организацию"},
        {{"заочн", "заочная"}, "заочная"},
        {{"ДОТ"}, "с применением дистанционных образовательных технологий, без выезда"},
    };
    for (const auto& [codes, meaning] : meanings)
        for (const QString& c : codes)
            if (c.compare(code.trimmed(), Qt::CaseInsensitive) == 0)
                return QString::fromUtf8(meaning);
    return {};
}

} // namespace

// The legend of the forms of study the programmes listed have, in the order they first appear.
QString formsLegend(Dataset& rows) {
    QStringList codes;
    if (rows.isActive()) {
        const int form = rows.field(fld::FOBUCH).index();
        for (int row = 0; row < rows.recordCount(); ++row) {
            const QString code = rows.valueAt(row, form).toString().trimmed();
            if (!code.isEmpty() && !codes.contains(code))
                codes << code;
        }
    }
    QStringList lines{QStringLiteral("Формы обучения:")};
    for (const QString& code : codes) {
        const QString meaning = formMeaning(code);
        lines << code + QStringLiteral(" — ") +
                     (meaning.isEmpty() ? QStringLiteral("так указано в каталоге") : meaning);
    }
    return lines.join(u'\n');
}

ProgrammeChooserDialog::ProgrammeChooserDialog(WindowHost& main)
    : ActivatedDialog(main.hostWidget()), main_(main) {
    DataModule& dm = *main.app().DM;
    setWindowTitle(
        QStringLiteral("Дополнительные профессиональные программы и программы профессионального обучения"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint |
                   Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(false); // the status bar has its own grip

    // Toolbar.
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(2, 2, 2, 2);
    export_ =
        makePictureButton(QStringLiteral("SpeedButton1"), Picture::Print, QStringLiteral("Печать"), bar);
    bar->setFixedHeight(30); // keeps its height when the button is hidden
    barRow->addWidget(export_);
    barRow->addStretch();

    // The band: the legend of the forms of study and the filter.
    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("Panel2"));
    band->setFixedHeight(108);
    auto* bandRow = new QHBoxLayout(band);
    bandRow->setContentsMargins(0, 0, 4, 0);
    auto* legend = new QPlainTextEdit(band);
    legend->setObjectName(QStringLiteral("Memo2"));
    legend->setReadOnly(true);
    legend->setFixedWidth(480);
    legend_ = legend;
    legend->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: red; font-weight: bold; font-size: 8pt; }"));
    auto* filterLabel = new QLabel(QStringLiteral("Основная специальность"), band);
    filterLabel->setObjectName(QStringLiteral("Label1"));
    specialties_ = new QComboBox(band);
    specialties_->setObjectName(QStringLiteral("ComboBox1"));
    specialties_->setEditable(false); // chosen from the list only
    specialties_->setFixedWidth(321);
    filterLabel->setBuddy(specialties_);
    auto* filter = new QPushButton(QStringLiteral("Фильтр"), band);
    filter->setObjectName(QStringLiteral("Button1"));
    auto* cancelButton = new QPushButton(QStringLiteral("Отмена"), band);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {filter, cancelButton})
        b->setAutoDefault(false); // Enter in the grid must not filter
    // The label over the list, the buttons beside it.
    auto* filterArea = new QGridLayout;
    filterArea->addWidget(filterLabel, 0, 0);
    filterArea->addWidget(specialties_, 1, 0);
    filterArea->addWidget(filter, 1, 1);
    filterArea->addWidget(cancelButton, 1, 2);
    filterArea->setColumnStretch(3, 1);
    filterArea->setRowStretch(2, 1);
    filterArea->setContentsMargins(0, 8, 0, 0);
    bandRow->addWidget(legend);
    bandRow->addSpacing(8);
    bandRow->addLayout(filterArea, 1);

    // The programmes and, beside them, what the current one is for.
    grid_ = new DbGrid(
        QStringLiteral("DBGrid1"), dm.dtsQNewZICL2021,
        {column("KZicl", QStringLiteral("КодПрогр.")), column("VidOb", QStringLiteral("ВидОб")),
         column("Hours", QStringLiteral("ОбъемЧас.")), column("FOBUCH", QStringLiteral("ФормаОбуч")),
         column("Year", QStringLiteral("Год")), column("NZicl", QStringLiteral("Наименование"), 430)},
        this);
    grid_->setFixedWidth(713);
    panel_ = new ProgrammePanel(dm, 0, this);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(grid_);
    middle->addWidget(panel_, 1);

    hint_ = makePickHint(this);

    auto* status = new QStatusBar(this);
    count_ = makeStatusPanels(status, {{150}, {50}}).first();
    status->setSizeGripEnabled(true); // the chooser can be resized

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(band);
    layout->addLayout(middle, 1);
    layout->addWidget(hint_);
    layout->addWidget(status);
    resize(1042, 567); // QDialog centres itself over the main window when shown

    connect(export_, &QToolButton::clicked, this, &ProgrammeChooserDialog::printList);
    connect(filter, &QPushButton::clicked, this, &ProgrammeChooserDialog::applyFilter);
    connect(cancelButton, &QPushButton::clicked, this, &ProgrammeChooserDialog::clearFilter);
    connect(grid_, &DbGrid::cellClicked, this, &ProgrammeChooserDialog::gridClicked);
    connect(grid_, &DbGrid::keyPressed, this, &ProgrammeChooserDialog::gridKeyPressed);
    connect(grid_, &DbGrid::keyReleased, this, &ProgrammeChooserDialog::gridKeyReleased);
    // Any double click in the grid picks, also one on an empty list.
    grid_->viewport()->installEventFilter(this);
}

DataModule& ProgrammeChooserDialog::dm() const {
    return *main_.app().DM;
}

bool ProgrammeChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::MouseButtonDblClick)
        gridDoubleClicked();
    return QDialog::eventFilter(watched, event);
}

void ProgrammeChooserDialog::showContingent() {
    panel_->showContingent();
}

void ProgrammeChooserDialog::showCount() {
    Query& programmes = *dm().qNewZicl;
    count_->setText(QStringLiteral("Всего - %1").arg(programmes.isActive() ? programmes.recordCount() : 0));
}

void ProgrammeChooserDialog::activated() {
    specialties_->clear();
    specialties_->addItems(specialtyNames(dm()));
    specialties_->setCurrentIndex(-1);

    switch (main_.app().state.ZiclCaller) {
    case 0:
        hint_->hide();
        break;
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
        hint_->show();
        export_->hide();
        break;
    case 10:
        hint_->show();
        export_->hide();
        unfilterProgrammes(dm());
        break;
    default:
        break; // 8 and codes no window uses: as created
    }
    legend_->setPlainText(formsLegend(*dm().qNewZicl));
    showContingent();
    grid_->setFocus();
    showCount();
}

void ProgrammeChooserDialog::printList() {
    refbooks::printProgrammeList(main_);
}

void ProgrammeChooserDialog::applyFilter() {
    runGuarded([this] {
        filterProgrammes(dm(), specialties_->currentText());
        showContingent();
        showCount();
    });
}

void ProgrammeChooserDialog::clearFilter() {
    runGuarded([this] {
        unfilterProgrammes(dm());
        specialties_->setCurrentIndex(-1);
        showContingent();
        showCount();
    });
}

void ProgrammeChooserDialog::gridClicked() {
    runGuarded([this] { showContingent(); });
}
void ProgrammeChooserDialog::gridKeyPressed() {
    runGuarded([this] { showContingent(); });
}
void ProgrammeChooserDialog::gridKeyReleased() {
    runGuarded([this] { showContingent(); });
}

bool ProgrammeChooserDialog::yearAccepted() {
    // The opener loads the catalogue up to its application's year: a programme of another year
    // is taken only on the clerk's word.
    Query& programmes = *dm().qNewZicl;
    const QVariant wanted = programmes.param(QStringLiteral("p_year"));
    if (!wanted.isValid() || !programmes.isActive() || programmes.isEmpty() ||
        !picksProgramme(main_.app().state.ZiclCaller))
        return true;
    const qint64 year = programmes.field(fld::Year).asInteger();
    if (year == wanted.toLongLong())
        return true;
    const QString question =
        QStringLiteral("Программа %1 — из каталога %2 года, а заявка — на %3 год. Выбрать её всё равно?")
            .arg(programmes.field(fld::KZicl).asString().trimmed(), QString::number(year), wanted.toString());
    return main_.app().prompter.ask(windowTitle(), question, Prompter::Icon::Warning,
                                    Prompter::Buttons::YesNoDefaultNo) == Prompter::Answer::Yes;
}

void ProgrammeChooserDialog::gridDoubleClicked() {
    if (!yearAccepted())
        return;
    bool picked = false;
    const bool ok = runGuarded([&] {
        picked = pickProgramme(dm(), main_.app().state, main_.app().state.ZiclCaller, boxWriter(main_));
    });
    if (ok && picked)
        accept();
}

void ProgrammeChooserDialog::done(int result) {
    runGuarded([this] { unfilterProgrammes(dm()); });
    QDialog::done(result);
}
