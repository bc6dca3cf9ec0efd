#pragma once
// The pick dialogs of the reference books: positions `ftrDoljn`, diploma specialties `ftrSpez`
// and specialties `ftrSpecialty`. Each is a list that a window opens to pick a row into its own
// record, or the clerk opens to keep the book: "Добавить…" (Ins) in both ways, "Переименовать…"
// (F2) and "Удалить" (Delete) when browsing, since a window that picks may hold a row that
// refers to the entry. One dialog class works from a description of the book, the subclasses
// only name their description (the positions dialog adds its search toolbar).
#include "refbooks/Books.h"
#include "refbooks/PickRules.h"
#include "shell/DatasetModel.h"

#include "shell/ActivatedDialog.h"
#include <QSize>

class DbGrid;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class WindowHost;
struct SharedState;

namespace refbooks {

struct PickBook {
    QString caption;
    QSize size;     // the dialog's fixed client size
    QString source; // the data module's data source the grid shows
    QList<GridColumn> columns;
    quint8 SharedState::*caller; // the caller code variable of this dialog
    const QList<PickTarget>& (*targets)();
    const books::Book& (*entries)(); // what adding, renaming and deleting change
};

const PickBook& positionsBook();
const PickBook& diplomaSpecialtiesBook();
const PickBook& specialtiesBook();

} // namespace refbooks

class PickDialog : public ActivatedDialog {
    Q_OBJECT
public:
    PickDialog(WindowHost& main, const refbooks::PickBook& book);

    // On showing: the bottom strip and the mode by the caller code, the focus to the grid.
    void activated() override;
    // Picks the current row for the caller code and closes; browsing only: nothing happens.
    void gridDoubleClicked();
    void addEntry();
    void renameEntry();
    void deleteEntry();

    DbGrid* grid() const { return grid_; }

protected:
    // What the caller code makes of the dialog: a list to browse, a list to pick from, or, for a
    // code the book does not know, neither (the dialog stays as created).
    enum class Mode { Browsing, Picking, Unknown };
    // Subclasses adjust their own widgets to the mode; called from activated().
    virtual void adjustToMode(Mode mode) {}
    // Subclasses put a toolbar above the grid through this.
    void addTopWidget(QWidget* widget);
    bool eventFilter(QObject* watched, QEvent* event) override;

    WindowHost& main_;
    const refbooks::PickBook& book_;

private:
    std::optional<books::Entry> currentEntry() const;

    QVBoxLayout* layout_;
    DbGrid* grid_;
    QWidget* editBar_;
    QWidget* renameButton_;
    QWidget* deleteButton_;
    QLabel* hint_;
};

class PositionsDialog : public PickDialog {
    Q_OBJECT
public:
    explicit PositionsDialog(WindowHost& main);

    void findFirst(); // "Начать поиск"
    void findNext();  // "Продолжить поиск"
    void printList(); // "Печать"

protected:
    void adjustToMode(Mode mode) override;

private:
    void search(bool fromNext);

    QLineEdit* searchBox_;
    QToolButton* print_;
};

class DiplomaSpecialtiesDialog : public PickDialog {
    Q_OBJECT
public:
    explicit DiplomaSpecialtiesDialog(WindowHost& main)
        : PickDialog(main, refbooks::diplomaSpecialtiesBook()) {}
};

class SpecialtiesDialog : public PickDialog {
    Q_OBJECT
public:
    explicit SpecialtiesDialog(WindowHost& main) : PickDialog(main, refbooks::specialtiesBook()) {}
};
