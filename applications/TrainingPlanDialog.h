#pragma once
// "План обучения на год" (`ftrPlan`): who needs training in a year by the end dates of their
// certificates (applications/TrainingPlan.h), with the quarter and programme proposed for each.
// The user filters by position and specialty, marks people (check box or space bar), may choose
// another of the matching programmes or another quarter, and adds the marked people to an
// application of the year after a summary question (making the main one when the year has none),
// or prints the plan as a workbook. The marks are kept while the program runs.
#include "applications/TrainingPlan.h"
#include "core/SharedState.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QSpinBox;
class QTableView;
class RootPaths;
class WindowHost;

// Saves the plan's rows as a printed plan and returns the document's path. The printed forms sit
// above the windows; they set it when they register.
using PlanPrinting =
    std::function<QString(const plan::Plan& plan, const QList<plan::Addition>& rows, const RootPaths& root)>;
void setPlanPrinting(PlanPrinting printing);

// The plan's rows as the grid shows them, with each person's mark, programme and quarter.
class PlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Mark,
        Surname,
        Name,
        Patronymic,
        Position,
        Diploma,
        End,
        Specialty,
        DaysLeft,
        Quarter,
        Programme,
        Count
    };

    // A new plan; the people of `kept` that it lists are marked with their programme and quarter.
    void setPlan(plan::Plan plan, const QHash<qint64, PlanChoice>& kept = {});
    // The marked people with their choices, to be kept.
    QHash<qint64, PlanChoice> marks() const;
    const plan::Plan& plan() const { return plan_; }
    // Shows only the people of this position and certificate specialty (empty: any).
    void setFilter(const QString& position, const QString& specialty);

    int visibleCount() const { return int(visible_.size()); }
    int markedCount() const;
    void markShown();  // the rows shown
    void clearMarks(); // every row, the hidden ones too
    // How many marked people the filter hides.
    int hiddenMarkedCount() const;
    void toggleMark(int row);
    // The rows shown, in order, with the programme (-1: none) and quarter chosen.
    QList<plan::Addition> shownRows() const;
    // Every marked person, in the plan's order.
    QList<plan::Addition> markedRows() const;
    // The programmes a row's person may choose from (indices into the plan's programmes).
    QList<int> programmesOf(int row) const;
    int entryOf(int row) const { return visible_[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // A click on a column's title orders the rows by it; column -1 is the plan's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void marksChanged();

private:
    void applySort();
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    struct Choice {
        bool marked = false;
        int programme = -1; // index into the plan's programmes
        int quarter = 1;
    };
    plan::Addition additionOf(int entry) const;

    plan::Plan plan_;
    QList<Choice> choices_;
    QList<int> visible_;
};

class TrainingPlanDialog : public QDialog {
    Q_OBJECT
public:
    // `year`: the plan's year; 0 for the default, the year after today's.
    explicit TrainingPlanDialog(WindowHost& main, int year = 0);

    PlanModel& model() { return model_; }
    void setYear(int year);

    // Handlers.
    void yearChanged();
    void filterChanged();
    void addToApplication(); // "Добавить в заявку"
    void print();            // "Печать"

private:
    // Offers to make the year's main application under the contract number; true when made.
    bool createMainApplication(int year);
    void rebuild();
    void fillFilters();
    void fillApplications();
    void writeCount();

    WindowHost& main_;
    PlanModel model_;
    QSpinBox* year_;
    QComboBox* position_;
    QComboBox* specialty_;
    QComboBox* application_;
    QTableView* grid_;
    QLabel* hint_;
    QLabel* count_;
    QLabel* marked_;
};
