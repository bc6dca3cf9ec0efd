#pragma once
// The programme chooser `ftrZicl`: the programmes the opening window loaded into qNewZicl, a
// filter by main specialty, the specialties and the contingent of the current programme, and a
// double click that hands the programme to the window that opened the chooser.
#include "shell/ActivatedDialog.h"

class DbGrid;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class WindowHost;
class DataModule;

class Dataset;

// The legend of the forms of study that the programmes listed have: "очн — очная, …".
QString formsLegend(Dataset& programmes);

class ProgrammeChooserDialog : public ActivatedDialog {
    Q_OBJECT
public:
    explicit ProgrammeChooserDialog(WindowHost& main);

    // On showing: the specialty list, the strip and the export button by the caller code, the
    // contingent, the focus to the grid and the count.
    void activated() override;
    void printList();   // programme list export
    void applyFilter(); // "Фильтр"
    void clearFilter(); // "Отмена"
    void gridClicked();
    void gridKeyPressed();
    void gridKeyReleased();
    void gridDoubleClicked();

    // However the chooser closes, the filter is switched off so that no other window sees it.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DataModule& dm() const;
    void showContingent();
    void showCount();
    // Whether the programme picked may go into the opener's application: its catalogue year is
    // the application's, or the clerk says so.
    bool yearAccepted();

    WindowHost& main_;
    QToolButton* export_;
    QComboBox* specialties_;
    QPlainTextEdit* legend_;
    DbGrid* grid_;
    class ProgrammePanel* panel_;
    QLabel* hint_;
    QLabel* count_;
};
