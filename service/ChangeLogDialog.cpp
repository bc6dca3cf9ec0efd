#include "service/ChangeLogDialog.h"

#include "core/Plural.h"
#include "core/Prompter.h"
#include "data/AppContext.h"
#include "shell/ActionButton.h"
#include "shell/DateBox.h"
#include "shell/ErrorGuard.h"
#include "shell/WindowHost.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {
enum Column { When, Clerk, Action, TableName, Person, Change, ColumnCount };
}

void ChangeLogModel::setEntries(QList<change_log::Entry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int ChangeLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int ChangeLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChangeLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const change_log::Entry& e = entries_[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case When:
            return QDateTime::fromString(e.at, QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        case Clerk:
            return e.clerk;
        case Action:
            return change_log::actionCaption(e.action);
        case TableName:
            return change_log::tableCaption(e);
        case Person:
            return e.person;
        case Change:
            return change_log::describe(e);
        }
    }
    if (role == Qt::ToolTipRole && index.column() == Change)
        return change_log::describe(e);
    return {};
}

QVariant ChangeLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"Когда",   "Кто изменил", "Действие",
                                         "Таблица", "Сотрудник",   "Что изменено"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

ChangeLogDialog::ChangeLogDialog(WindowHost& main)
    : QDialog(main.hostWidget()), main_(main), person_(new QLineEdit(this)), clerk_(new QComboBox(this)),
      from_(new DateBox(QStringLiteral("FromDate"), this)), to_(new DateBox(QStringLiteral("ToDate"), this)),
      grid_(new QTableView(this)), count_(new QLabel(this)) {
    setObjectName(QStringLiteral("ftrChangeLog"));
    setWindowTitle(QStringLiteral("Журнал изменений"));

    person_->setObjectName(QStringLiteral("PersonFilter"));
    person_->setPlaceholderText(QStringLiteral("часть фамилии, имени"));
    person_->setClearButtonEnabled(true);
    clerk_->setObjectName(QStringLiteral("ClerkFilter"));
    clerk_->addItem(QStringLiteral("все"));
    clerk_->addItems(change_log::clerks(*main_.app().store));
    from_->setFixedWidth(100);
    to_->setFixedWidth(100);

    auto* filters = new QHBoxLayout;
    auto label = [this, filters](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        filters->addWidget(l);
        filters->addWidget(buddy);
    };
    label(QStringLiteral("&Сотрудник:"), person_);
    label(QStringLiteral("&Кто изменил:"), clerk_);
    label(QStringLiteral("&с"), from_);
    label(QStringLiteral("&по"), to_);
    filters->addWidget(makeDefault(actionButton(this, QStringLiteral("ShowButton"),
                                                QStringLiteral("Показать"), [this] { showEntries(); })));
    filters->addStretch();

    grid_->setObjectName(QStringLiteral("LogGrid"));
    grid_->setModel(&model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    grid_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {120, 110, 90, 170, 200};
    for (int c = 0; c < int(std::size(widths)); ++c)
        grid_->setColumnWidth(c, widths[c]);

    count_->setObjectName(QStringLiteral("CountLabel"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count_, 1);
    bottom->addWidget(
        actionButton(this, QStringLiteral("CloseButton"), QStringLiteral("Закрыть"), [this] { reject(); }));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    resize(1100, 560);
    showEntries();
}

void ChangeLogDialog::showEntries() {
    for (DateBox* box : {from_, to_})
        if (const QString problem = box->problem(); !problem.isEmpty()) {
            main_.app().prompter.inform(problem);
            box->setFocus();
            return;
        }
    change_log::Filter filter;
    filter.person = person_->text().simplified();
    filter.clerk = clerk_->currentIndex() > 0 ? clerk_->currentText() : QString();
    filter.from = from_->date();
    filter.to = to_->date();
    if (filter.from.isValid() && filter.to.isValid() && filter.from > filter.to) {
        main_.app().prompter.inform(QStringLiteral("Дата «с» позже даты «по»: укажите промежуток заново."));
        from_->setFocus();
        return;
    }
    model_.setEntries(change_log::read(*main_.app().store, filter));
    const int n = model_.rowCount();
    QString text = n == 0 ? QStringLiteral("Изменений нет")
                          : QStringLiteral("Показано: ") + counted(n, "изменение", "изменения", "изменений");
    if (n == filter.limit)
        text += QStringLiteral(" — самые новые; уточните отбор, чтобы увидеть более ранние");
    count_->setText(text);
}
