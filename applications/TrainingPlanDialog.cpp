#include "applications/TrainingPlanDialog.h"

#include "applications/ApplicationRules.h"
#include "applications/ApplicationWindows.h"
#include "core/Plural.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/RuCollation.h"
#include "personnel/PersonnelRules.h"
#include "personnel/PersonnelWindows.h"
#include "shell/ErrorGuard.h"
#include "shell/Icons.h"
#include "shell/ReadOnlySession.h"
#include "shell/WindowHost.h"
#include "spreadsheet/DocumentOpener.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

PlanPrinting& planPrinting() {
    static PlanPrinting printing;
    return printing;
}

const QString kAnyPosition = QStringLiteral("Все должности");
const QString kAnySpecialty = QStringLiteral("Все специальности");
const QString kNoCertificate = QStringLiteral("нет сертификата");

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

// The quarter as an up-down box from 1 to 4, the programme as a list of the matching ones.
class PlanDelegate : public QStyledItemDelegate {
public:
    PlanDelegate(PlanModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() == PlanModel::Quarter) {
            auto* box = new QSpinBox(parent);
            box->setRange(1, 4);
            return box;
        }
        if (index.column() == PlanModel::Programme) {
            auto* box = new QComboBox(parent);
            for (int p : model_.programmesOf(index.row()))
                box->addItem(model_.plan().programmes[p].title(), p);
            return box;
        }
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            box->setCurrentIndex(std::max(0, box->findData(index.data(Qt::EditRole))));
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            model->setData(index, box->currentData(), Qt::EditRole);
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    PlanModel& model_;
};

// The space bar marks or unmarks the current person, as in the adding dialog.
class SpaceMarks : public QObject {
public:
    SpaceMarks(QTableView* view, PlanModel& model) : QObject(view), view_(view), model_(model) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space)
            return false;
        if (view_->currentIndex().isValid())
            model_.toggleMark(view_->currentIndex().row());
        return true;
    }

private:
    QTableView* view_;
    PlanModel& model_;
};

} // namespace

// ---------------------------------------------------------------- the model

void PlanModel::setPlan(plan::Plan plan, const QHash<qint64, PlanChoice>& kept) {
    beginResetModel();
    plan_ = std::move(plan);
    choices_.clear();
    for (const plan::Entry& e : plan_.entries) {
        Choice c{false, e.programmes.isEmpty() ? -1 : e.programmes.first(), e.quarter};
        if (const auto was = kept.constFind(e.person); was != kept.cend()) {
            c.marked = true;
            c.quarter = was->quarter;
            for (int p : e.programmes)
                if (plan_.programmes[p].code == was->programme)
                    c.programme = p;
        }
        choices_ << c;
    }
    visible_.clear();
    for (int i = 0; i < plan_.entries.size(); ++i)
        visible_ << i;
    endResetModel();
    emit marksChanged();
}

void PlanModel::setFilter(const QString& position, const QString& specialty) {
    beginResetModel();
    visible_.clear();
    for (int i = 0; i < plan_.entries.size(); ++i) {
        const plan::Entry& e = plan_.entries[i];
        if (!position.isEmpty() && e.position != position)
            continue;
        if (!specialty.isEmpty() &&
            (e.hasCertificate() ? e.certificateSpecialty : kNoCertificate) != specialty)
            continue;
        visible_ << i;
    }
    applySort();
    endResetModel();
}

void PlanModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged();
    applySort();
    emit layoutChanged();
}

void PlanModel::applySort() {
    std::sort(visible_.begin(), visible_.end()); // the plan's own order first, for ties
    if (sortColumn_ < 0 || sortColumn_ >= Count)
        return;
    const auto key = [this](int entry) -> QVariant {
        const plan::Entry& e = plan_.entries[entry];
        const Choice& c = choices_[entry];
        switch (sortColumn_) {
        case Mark:
            return int(c.marked);
        case End:
        case DaysLeft:
            return e.hasCertificate() ? QVariant(e.certificateEnd) : QVariant(QDate(1, 1, 1));
        case Quarter:
            return c.quarter;
        case Surname:
            return e.surname;
        case Name:
            return e.name;
        case Patronymic:
            return e.patronymic;
        case Position:
            return e.position;
        case Diploma:
            return e.diplomaSpecialty;
        case Specialty:
            return e.certificateSpecialty;
        case Programme:
            return c.programme >= 0 ? plan_.programmes[c.programme].title() : QString();
        default:
            return {};
        }
    };
    QHash<int, QVariant> keys;
    for (int entry : visible_)
        keys.insert(entry, key(entry));
    std::stable_sort(visible_.begin(), visible_.end(), [&](int a, int b) {
        const QVariant& x = keys[a];
        const QVariant& y = keys[b];
        int order = 0;
        if (x.typeId() == QMetaType::QString) {
            order = ru_collation::compare(x.toString(), y.toString());
        } else {
            const QPartialOrdering o = QVariant::compare(x, y);
            order = o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
        }
        return sortOrder_ == Qt::AscendingOrder ? order < 0 : order > 0;
    });
}

int PlanModel::markedCount() const {
    return int(std::count_if(choices_.cbegin(), choices_.cend(), [](const Choice& c) { return c.marked; }));
}

QHash<qint64, PlanChoice> PlanModel::marks() const {
    QHash<qint64, PlanChoice> out;
    for (int i = 0; i < choices_.size(); ++i)
        if (choices_[i].marked)
            out.insert(plan_.entries[i].person,
                       PlanChoice{choices_[i].programme >= 0 ? plan_.programmes[choices_[i].programme].code
                                                             : QString(),
                                  choices_[i].quarter});
    return out;
}

void PlanModel::markShown() {
    for (int i : visible_)
        choices_[i].marked = true;
    if (!visible_.isEmpty())
        emit dataChanged(index(0, Mark), index(rowCount() - 1, Count - 1));
    emit marksChanged();
}

void PlanModel::clearMarks() {
    for (Choice& c : choices_)
        c.marked = false;
    if (!visible_.isEmpty())
        emit dataChanged(index(0, Mark), index(rowCount() - 1, Count - 1));
    emit marksChanged();
}

int PlanModel::hiddenMarkedCount() const {
    const QSet<int> shown(visible_.cbegin(), visible_.cend());
    int hidden = 0;
    for (int i = 0; i < choices_.size(); ++i)
        if (choices_[i].marked && !shown.contains(i))
            ++hidden;
    return hidden;
}

void PlanModel::toggleMark(int row) {
    if (row < 0 || row >= visible_.size())
        return;
    Choice& c = choices_[visible_[row]];
    c.marked = !c.marked;
    emit dataChanged(index(row, Mark), index(row, Count - 1));
    emit marksChanged();
}

plan::Addition PlanModel::additionOf(int entry) const {
    return plan::Addition{entry, choices_[entry].programme, choices_[entry].quarter};
}

QList<plan::Addition> PlanModel::shownRows() const {
    QList<plan::Addition> rows;
    for (int i : visible_)
        rows << additionOf(i);
    return rows;
}

QList<plan::Addition> PlanModel::markedRows() const {
    QList<plan::Addition> rows;
    for (int i = 0; i < choices_.size(); ++i)
        if (choices_[i].marked)
            rows << additionOf(i);
    return rows;
}

QList<int> PlanModel::programmesOf(int row) const {
    return plan_.entries[visible_[row]].programmes;
}

int PlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(visible_.size());
}
int PlanModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // Titles of two lines keep the columns narrow.
    static const char* titles[] = {"",
                                   "Фамилия",
                                   "Имя",
                                   "Отчество",
                                   "Должность",
                                   "Специальность\nпо диплому",
                                   "Сертификат\nдо",
                                   "Специальность\nсертификата",
                                   "Осталось\nдней",
                                   "Квартал",
                                   "Программа"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Count)
        return QString::fromUtf8(titles[section]);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section == Mark)
        return QStringLiteral("Отметка: добавить в заявку");
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant PlanModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= visible_.size())
        return {};
    const int entry = visible_[index.row()];
    const plan::Entry& e = plan_.entries[entry];
    const Choice& c = choices_[entry];
    const int column = index.column();
    if (role == Qt::CheckStateRole && column == Mark)
        return c.marked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::DisplayRole) {
        switch (column) {
        case Surname:
            return e.surname;
        case Name:
            return e.name;
        case Patronymic:
            return e.patronymic;
        case Position:
            return e.position;
        case Diploma:
            return e.diplomaSpecialty;
        case End:
            return e.hasCertificate() ? dateText(e.certificateEnd) : kNoCertificate;
        case Specialty:
            return e.certificateSpecialty;
        case DaysLeft:
            return e.hasCertificate() ? QVariant(e.daysLeft(plan_.today)) : QVariant();
        case Quarter:
            return c.quarter;
        case Programme:
            return c.programme >= 0 ? plan_.programmes[c.programme].title()
                                    : QStringLiteral("нет программы в каталоге %1 года").arg(plan_.year);
        default:
            return {};
        }
    }
    if (role == Qt::EditRole && column == Quarter)
        return c.quarter;
    if (role == Qt::EditRole && column == Programme)
        return c.programme;
    if ((role == Qt::BackgroundRole || role == Qt::ForegroundRole) && (column == End || column == DaysLeft)) {
        const auto colours =
            personnel::certificateColours(personnel::certificateState(e.certificateEnd, plan_.today));
        if (colours)
            return role == Qt::BackgroundRole ? colours->background : colours->foreground;
        return {};
    }
    if (role == Qt::ForegroundRole && column == Programme && c.programme < 0)
        return QColor(0xB0, 0x00, 0x00);
    if (role == Qt::ToolTipRole) {
        if (column == Position)
            return e.position;
        if (column == Diploma)
            return e.diplomaSpecialty;
        if (column == Specialty)
            return e.certificateSpecialty;
        if (column == End || column == DaysLeft)
            return e.hasCertificate() ? personnel::certificateHint(e.certificateEnd, plan_.today)
                                      : QStringLiteral("Нет сертификата или аккредитации с датой окончания");
        if (column == Programme && c.programme < 0)
            return QStringLiteral(
                       "Подходящей программы в каталоге %1 года нет: ни по специальности сертификата, ни по "
                       "должности, ни по специальности диплома")
                .arg(plan_.year);
        if (column == Programme && c.programme >= 0) {
            QString tip = plan_.programmes[c.programme].title();
            if (!e.programmes.isEmpty() && c.programme == e.programmes.first())
                tip += QStringLiteral("\nПредложена ") + e.rule;
            if (e.programmes.size() > 1)
                tip +=
                    QStringLiteral("\nПодходящих программ: %1. Чтобы выбрать другую, дважды щёлкните ячейку.")
                        .arg(e.programmes.size());
            return tip;
        }
        if (column == Quarter)
            return QStringLiteral("Последний квартал %1 года, который кончается до окончания сертификата")
                .arg(plan_.year);
    }
    if (role == Qt::TextAlignmentRole && (column == DaysLeft || column == Quarter))
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags PlanModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    if (index.column() == Mark)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == Quarter || (index.column() == Programme && programmesOf(index.row()).size() > 1))
        f |= Qt::ItemIsEditable;
    return f;
}

bool PlanModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= visible_.size())
        return false;
    Choice& c = choices_[visible_[index.row()]];
    if (index.column() == Mark && role == Qt::CheckStateRole) {
        c.marked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index);
        emit marksChanged();
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    if (index.column() == Quarter) {
        const int quarter = value.toInt();
        if (quarter < 1 || quarter > 4)
            return false;
        c.quarter = quarter;
    } else if (index.column() == Programme) {
        if (!programmesOf(index.row()).contains(value.toInt()))
            return false;
        c.programme = value.toInt();
    } else {
        return false;
    }
    emit dataChanged(index, index);
    emit marksChanged(); // a marked person's choice is kept with the mark
    return true;
}

// ---------------------------------------------------------------- the window

TrainingPlanDialog::TrainingPlanDialog(WindowHost& main, int year) : QDialog(main.hostWidget()), main_(main) {
    setObjectName(QStringLiteral("ftrPlan"));
    setWindowTitle(QStringLiteral("План обучения на год"));

    auto labelled = [this](QHBoxLayout* row, const QString& caption, QWidget* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        row->addWidget(label);
        row->addWidget(box);
    };

    auto* top = new QHBoxLayout;
    year_ = new QSpinBox(this);
    year_->setObjectName(QStringLiteral("YearBox"));
    year_->setRange(2000, 2100);
    year_->setToolTip(QStringLiteral("Год обучения"));
    labelled(top, QStringLiteral("&Год"), year_);
    top->addSpacing(12);
    position_ = new QComboBox(this);
    position_->setObjectName(QStringLiteral("PositionBox"));
    position_->setMinimumContentsLength(28);
    position_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    labelled(top, QStringLiteral("&Должность"), position_);
    top->addSpacing(12);
    specialty_ = new QComboBox(this);
    specialty_->setObjectName(QStringLiteral("SpecialtyBox"));
    specialty_->setMinimumContentsLength(28);
    specialty_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    labelled(top, QStringLiteral("&Специальность"), specialty_);
    top->addStretch();

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("HintLabel"));
    hint_->setWordWrap(true);

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("PlanGrid"));
    grid_->setModel(&model_);
    grid_->setItemDelegate(new PlanDelegate(model_, grid_));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setSortIndicator(
        -1, Qt::AscendingOrder); // the plan's order until a title is clicked
    grid_->setSortingEnabled(true);
    grid_->installEventFilter(new SpaceMarks(grid_, model_));

    auto* bottom = new QHBoxLayout;
    auto button = [this, bottom](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        bottom->addWidget(b);
        return b;
    };
    QPushButton* all =
        button("MarkAllButton", QStringLiteral("Отметить всех"), QStringLiteral("Отметить всех показанных"));
    QPushButton* none = button("UnmarkButton", QStringLiteral("Снять отметки"),
                               QStringLiteral("Снять отметки со всех, и скрытых фильтром тоже"));
    bottom->addSpacing(16);
    application_ = new QComboBox(this);
    application_->setObjectName(QStringLiteral("ApplicationBox"));
    application_->setMinimumContentsLength(8);
    labelled(bottom, QStringLiteral("&Заявка"), application_);
    QPushButton* add =
        button("AddButton", QStringLiteral("Добавить в заявку"),
               QStringLiteral("Добавить отмеченных в выбранную заявку с их программой и кварталом"));
    add->setIcon(icons::icon(icons::Picture::Add));
    bottom->addStretch();
    QPushButton* print =
        button("PrintButton", QStringLiteral("Печать"), QStringLiteral("План обучения в таблицу"));
    print->setIcon(icons::icon(icons::Picture::Print));
    QPushButton* close = button("CloseButton", QStringLiteral("Закрыть"), QString());

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    count_ = new QLabel(status);
    count_->setObjectName(QStringLiteral("StatusBar1Panel0"));
    count_->setMinimumWidth(150);
    count_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    marked_ = new QLabel(status);
    marked_->setObjectName(QStringLiteral("StatusBar1Panel1"));
    marked_->setMinimumWidth(150);
    status->addWidget(count_);
    status->addWidget(marked_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hint_);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    layout->addWidget(status);

    connect(all, &QPushButton::clicked, this, [this] { model_.markShown(); });
    connect(none, &QPushButton::clicked, this, [this] { model_.clearMarks(); });
    connect(add, &QPushButton::clicked, this, [this] { runGuarded([this] { addToApplication(); }); });
    connect(print, &QPushButton::clicked, this, [this] { runGuarded([this] { this->print(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&model_, &PlanModel::marksChanged, this, [this] {
        writeCount();
        main_.app().state.PlanMarks[model_.plan().year] = model_.marks();
    });

    year_->setValue(year > 0 ? year : plan::defaultYear(main_.app().clock.today()));
    rebuild();
    connect(year_, &QSpinBox::valueChanged, this, [this] { runGuarded([this] { yearChanged(); }); });
    connect(position_, &QComboBox::currentIndexChanged, this, [this] { filterChanged(); });
    connect(specialty_, &QComboBox::currentIndexChanged, this, [this] { filterChanged(); });
    resize(1260, 640); // within a 1280-pixel screen
    read_only::markChanging(this, {"AddButton"});
}

void TrainingPlanDialog::setYear(int year) {
    year_->setValue(year);
}

void TrainingPlanDialog::yearChanged() {
    rebuild();
}

void TrainingPlanDialog::rebuild() {
    AppContext& app = main_.app();
    const int year = year_->value();
    model_.setPlan(plan::buildPlan(*app.DM, Generation::current(), year, app.clock.today()),
                   app.state.PlanMarks.value(year));
    fillFilters();
    fillApplications();
    filterChanged();
    // Long positions and specialties are cut (their whole text is the cell's tooltip), so that the
    // days left, the quarter and the programme stay in view.
    grid_->resizeColumnsToContents();
    grid_->setColumnWidth(PlanModel::Mark, 28);
    const struct {
        PlanModel::Column column;
        int width;
    } widest[] = {{PlanModel::Position, 180}, {PlanModel::Diploma, 130}, {PlanModel::Specialty, 170}};
    for (const auto& w : widest)
        grid_->setColumnWidth(w.column, std::min(grid_->columnWidth(w.column), w.width));
    hint_->setText(
        QStringLiteral("Сотрудники без сертификата или с сертификатом (аккредитацией), который кончается до "
                       "конца %1 года или уже кончился, и которых ещё нет в заявках %2 года. Отметьте "
                       "нужных флажком или клавишей «Пробел»; программу и квартал можно сменить двойным "
                       "щелчком.")
            .arg(QString::number(year_->value() + 1), QString::number(year_->value())));
}

void TrainingPlanDialog::fillFilters() {
    const QSignalBlocker blockPosition(position_);
    const QSignalBlocker blockSpecialty(specialty_);
    const QString position = position_->currentIndex() > 0 ? position_->currentText() : QString();
    const QString specialty = specialty_->currentIndex() > 0 ? specialty_->currentText() : QString();
    QStringList positions, specialties;
    for (const plan::Entry& e : model_.plan().entries) {
        if (!e.position.isEmpty() && !positions.contains(e.position))
            positions << e.position;
        const QString s = e.hasCertificate() ? e.certificateSpecialty : kNoCertificate;
        if (!s.isEmpty() && !specialties.contains(s))
            specialties << s;
    }
    positions.sort(Qt::CaseInsensitive);
    specialties.sort(Qt::CaseInsensitive);
    position_->clear();
    position_->addItem(kAnyPosition);
    position_->addItems(positions);
    position_->setCurrentIndex(std::max(0, position_->findText(position)));
    specialty_->clear();
    specialty_->addItem(kAnySpecialty);
    specialty_->addItems(specialties);
    specialty_->setCurrentIndex(std::max(0, specialty_->findText(specialty)));
}

void TrainingPlanDialog::fillApplications() {
    const QVariant kept = application_->currentData();
    application_->clear();
    for (double number : plan::applicationsOf(*main_.app().DM, Generation::current(), year_->value()))
        application_->addItem(formatNumber(number), number);
    const int at = application_->findData(kept);
    if (at >= 0)
        application_->setCurrentIndex(at);
}

void TrainingPlanDialog::filterChanged() {
    model_.setFilter(position_->currentIndex() > 0 ? position_->currentText() : QString(),
                     specialty_->currentIndex() > 0 ? specialty_->currentText() : QString());
    writeCount();
}

void TrainingPlanDialog::writeCount() {
    count_->setText(QStringLiteral("Всего - %1").arg(model_.visibleCount()));
    marked_->setText(QStringLiteral("отмечено - %1").arg(model_.markedCount()));
}

bool TrainingPlanDialog::createMainApplication(int year) {
    AppContext& app = main_.app();
    DataModule& dm = *app.DM;
    const Generation& g = Generation::current();
    if (const QString refused = applications::yearRefusal(g, year); !refused.isEmpty()) {
        app.prompter.inform(refused);
        return false;
    }
    const Field& contract = dm.tblConfig->field(fld::KZajavki);
    if (contract.displayText().isEmpty() || contract.asInteger() <= 0) {
        app.prompter.inform(
            QStringLiteral("На %1 год нет ни одной заявки, а номер договора с учебным центром не задан. "
                           "Задайте его в «Параметрах», затем добавьте сотрудников из плана.")
                .arg(year));
        return false;
    }
    const double number = double(contract.asInteger());
    if (app.prompter.ask(
            windowTitle(),
            QStringLiteral("На %1 год нет ни одной заявки. Создать основную заявку № %2 на %1 год и "
                           "добавить в неё отмеченных?")
                .arg(QString::number(year), formatNumber(number)),
            Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return false;
    applications::createApplication(dm, g, number, year);
    fillApplications();
    application_->setCurrentIndex(application_->findData(number));
    return true;
}

void TrainingPlanDialog::addToApplication() {
    AppContext& app = main_.app();
    const int year = year_->value();
    const QList<plan::Addition> marked = model_.markedRows();
    if (application_->count() == 0 && !marked.isEmpty() && !createMainApplication(year))
        return;
    if (marked.isEmpty()) {
        app.prompter.inform(
            QStringLiteral("Не отмечен ни один сотрудник. Отметьте сотрудников флажком или клавишей "
                           "«Пробел»."));
        grid_->setFocus();
        return;
    }
    QList<plan::Addition> additions;
    QStringList withoutProgramme;
    QSet<int> programmes;
    for (const plan::Addition& a : marked) {
        if (a.programme < 0) {
            withoutProgramme << model_.plan().entries[a.entry].fullName();
        } else {
            additions << a;
            programmes.insert(a.programme);
        }
    }
    if (additions.isEmpty()) {
        app.prompter.inform(
            QStringLiteral("Для отмеченных сотрудников в каталоге %1 года нет программы по специальности "
                           "их сертификата. Добавьте их в заявку обычным порядком, выбрав программу.")
                .arg(year));
        return;
    }
    const double number = application_->currentData().toDouble();
    const QString target = QStringLiteral("№ %1 на %2 год").arg(formatNumber(number), QString::number(year));
    QString question = QStringLiteral("В заявку %1 будут добавлены %2 (программ: %3).")
                           .arg(target, counted(additions.size(), "сотрудник", "сотрудника", "сотрудников"),
                                QString::number(programmes.size()));
    if (!withoutProgramme.isEmpty())
        question += QStringLiteral("\nБез программы в каталоге не будут добавлены: %1.")
                        .arg(withoutProgramme.join(QStringLiteral(", ")));
    if (const int hidden = model_.hiddenMarkedCount())
        question += QStringLiteral("\nИз них скрыто фильтром: %1.").arg(hidden);
    question += QStringLiteral("\n\nДобавить?");
    if (app.prompter.ask(windowTitle(), question, Prompter::Icon::Question, Prompter::Buttons::YesNo) !=
        Prompter::Answer::Yes)
        return;

    // The people added can be taken out again by restoring the copy taken first.
    app.backups().before(backup_action::kPlan);
    const int added = plan::addToApplication(*app.DM, Generation::current(), app.state, model_.plan(), number,
                                             year, additions);
    emit app.DM->traineesWritten();
    rebuild();
    app.prompter.inform(QStringLiteral("В заявку %1 добавлено: %2.")
                            .arg(target, counted(added, "сотрудник", "сотрудника", "сотрудников")));
}

void setPlanPrinting(PlanPrinting printing) {
    planPrinting() = std::move(printing);
}

void TrainingPlanDialog::print() {
    AppContext& app = main_.app();
    Q_ASSERT(planPrinting());
    openDocument(planPrinting()(model_.plan(), model_.shownRows(), app.root));
}
