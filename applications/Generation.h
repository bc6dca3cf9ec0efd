#pragma once
// The three generations of applications (the base one up to 2020, the 2021 one for 2022 and the
// current one) differ only in their tables, detail tables, caller codes, captions, columns and a
// few rules. Each is described here once, every value under its name, and one set of windows,
// rules, export and printed form works from the description.
#include "applications/TraineeColumn.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class DataSource;
class Query;
class Table;
class DataModule;

// A table of the data module with the data source views bind to it through.
struct BoundTable {
    Table* DataModule::*table = nullptr;
    DataSource* DataModule::*source = nullptr;
    explicit operator bool() const { return table != nullptr; }
};

// A query of the data module with its data source.
struct BoundQuery {
    Query* DataModule::*query = nullptr;
    DataSource* DataModule::*source = nullptr;
};

// A column of the applications window's trainee grid.
struct TraineeGridColumn {
    QString field;
    QString title; // empty: the field's own name
};

// A read-only box of the panel beside the trainee grid: a value of the current trainee, or of
// its first detail row, under its caption.
struct TraineePanelBox {
    QString caption;
    DataSource* DataModule::*source = nullptr;
    QString field;
};

// A field of the export file, in the working table's order: what it takes from a trainee.
struct ExportColumn {
    QString field;                         // empty: the export field stays empty
    Table* DataModule::*details = nullptr; // the field of the trainee's first row of this detail table
    // An empty number or date is written as 0 or the zero date 30.12.1899 (a typed read); false:
    // it stays empty.
    bool emptyAsZero = true;

    static ExportColumn ofTrainee(const char* field, bool emptyAsZero = true) {
        return {QString::fromLatin1(field), nullptr, emptyAsZero};
    }
    static ExportColumn ofDetails(Table* DataModule::*details, const char* field, bool emptyAsZero = true) {
        return {QString::fromLatin1(field), details, emptyAsZero};
    }
    static ExportColumn empty() { return {}; }
};

struct Generation {
    enum class Kind { Base, Y2021, Y2023 };
    Kind kind;

    // The applications window (opened by the main window's procedure, found by its instance
    // name) and the instance names and captions of its dialogs.
    QString openProcedure;
    QString windowInstance;
    QString newDialogInstance;
    QString newDialogCaption;
    QString insertInstance;
    QString insertCaption;
    QString editorInstance;
    // The window offers creating, deleting, adding, editing, exporting (and moving): the current
    // generation's does; the earlier ones show and print their applications only.
    bool operationsEnabled = false;
    // The trainee toolbar ends with "Перемещение", the moving dialog.
    bool offersMoving = false;

    // The applications and their trainees (a detail of them on KZajavki and Year), the query of a
    // year's highest number, and the list of applications a trainee may be moved to.
    BoundTable applications;
    BoundTable trainees;
    Query* DataModule::*maxQuery = nullptr;
    BoundQuery movingTargets;

    // Detail tables of a trainee (linked by its NPP) holding its certificate (DateCL, Name), its
    // e-mail address (EMAIL) and its SNILS (SNILS). Where none is named the value is a field of
    // the trainee row itself (DateCl, Specialty, EMAIL, SNILS), except that a generation without
    // `snilsInRow` keeps no SNILS there.
    BoundTable certificateRows;
    BoundTable emailRows;
    BoundTable snilsRows;
    bool snilsInRow = false;

    // The programmes: the catalogue table (its store name) the adding dialog offers, of the
    // application's year only or of every year up to it; the programme attribute a trainee
    // carries besides code, kind and hours ("FOBUCH" or "TypeOb").
    QString catalogue;
    bool addOffersEarlierYears = false;
    QString programmeAttribute;

    // Caller codes the generation's dialogs set before opening a shared dialog.
    struct Callers {
        quint8 programmeForAdding;  // ZiclCaller of the adding dialog's "Выбрать"
        quint8 programmeForEditing; // ZiclCaller of the editor's programme button
        quint8 position;            // DoljnCaller of the editor
        quint8 diplomaSpecialty;    // SpezCaller of the editor
        // SpecialtyCaller: of the editor's specialty button, or, where the certificate is a
        // detail row, of the certificate dialog's.
        quint8 specialty;
        quint8 certificate; // SLSertifCaller of the certificate dialog; 0: the generation has none
    } callers;

    // The new application dialog's year: the one proposed (0: the start-up year), whether it may
    // be changed, the last year applications are made for (0: any), the box's background.
    struct Years {
        int proposed = 0;
        bool fixed = false;
        int latest = 0;
        bool highlighted = true;
    } years;

    // In the trainee editor Enter, Right and Down step from the name and birth-date boxes to the
    // next box.
    bool editorKeysStepOn = false;

    // The applications window: the trainee grid's columns and the panel beside it.
    QList<TraineeGridColumn> traineeColumns;
    QList<TraineePanelBox> traineePanel;

    // The export file: its name's prefix ("ZES116_2026"), the working table whose layout it has,
    // and what each of the working table's fields takes.
    QString exportPrefix;
    Table* DataModule::*workingTable = nullptr;
    QList<ExportColumn> exportColumns;

    // The printed application: its template (in the Templates folder, without extension), its
    // trainee columns, and whether the trainees are counted by kind of training and hours in a
    // block below the table.
    QString documentTemplate;
    QList<applications::TraineeColumn> documentColumns;
    bool documentCountsHours = false;

    Table& applicationsTable(const DataModule& dm) const;
    Table& traineesTable(const DataModule& dm) const;
    Query& maxQueryOf(const DataModule& dm) const;
    DataSource* applicationsSource(const DataModule& dm) const;
    DataSource* traineesSource(const DataModule& dm) const;
    Table& workingTableOf(const DataModule& dm) const;
    // The trainee's detail tables, in the order certificate, e-mail, SNILS.
    QList<Table*> detailTables(const DataModule& dm) const;

    static const Generation& current();
    static const Generation& y2021();
    static const Generation& base();
    // Oldest first.
    static const QList<const Generation*>& all();
};
