#pragma once
// "Журнал изменений" (`ftrChangeLog`): who changed what and when, the newest change first, from the
// store's change log; chosen by a part of the person's name, by the clerk, and by the dates.
#include "data/ChangeLog.h"

#include <QAbstractTableModel>
#include <QDialog>

class DateBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class WindowHost;

// The entries as rows: when, who, the action, the table, the person, what changed.
class ChangeLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setEntries(QList<change_log::Entry> entries);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<change_log::Entry> entries_;
};

class ChangeLogDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChangeLogDialog(WindowHost& main);

    // "Показать": the entries that pass the filter. A date that is no date is refused with a
    // message, and the list stays as it was.
    void showEntries();

private:
    WindowHost& main_;
    QLineEdit* person_;
    QComboBox* clerk_;
    DateBox* from_;
    DateBox* to_;
    QTableView* grid_;
    QLabel* count_;
    ChangeLogModel model_;
};
