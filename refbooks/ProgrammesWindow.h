#pragma once
// The programme catalogue window `ftrProgr` ("Программы обучения"): the training centre's
// programmes, narrowed by main specialty and catalogue year, each programme's specialties and
// contingent beside the list, the list printed as a workbook, and the centre's new catalogue
// loaded after a look at what it changes.
#include "shell/WindowHost.h"

#include <QWidget>

class DbGrid;
class QComboBox;
class QLabel;
class QPlainTextEdit;

class ProgrammesWindow : public QWidget, public ActivatedWindow {
    Q_OBJECT
public:
    explicit ProgrammesWindow(WindowHost& main);

    // What the buttons and boxes do (the widgets keep their object names: SpeedButton1…).
    void activated() override;
    void gridClicked();
    void gridKeyPressed();
    void gridKeyReleased();
    void applyFilter();   // "Фильтр"
    void clearFilter();   // "отмена"
    void printList();     // the programme list as a workbook
    void loadCatalogue(); // "Загрузить каталог программ…"

private:
    void showContingent();
    void showCount();
    void fillYears();
    // Loads the catalogue query: every programme, or those of the filter's specialty and year.
    void reload(const QString& specialty, const QString& year);

    WindowHost& main_;
    QComboBox* specialties_;
    QComboBox* years_;
    DbGrid* grid_;
    class ProgrammePanel* panel_;
    QLabel* count_;
};
