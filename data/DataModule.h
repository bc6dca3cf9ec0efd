#pragma once
// The data module: every table, query, data source and field object of the program under its
// name, with the rules that hold whichever window works on them: the master-detail links, the
// calculated years of service, the positions search and the confirmation before deleting.

#include "data/DataSource.h"
#include "data/FileTable.h"
#include "data/Query.h"
#include "data/Table.h"

#include <QHash>
#include <QObject>

struct SharedState;
class Prompter;
class Store;

class DataModule : public QObject {
    Q_OBJECT
public:
    DataModule(Store& store, SharedState& state, Prompter& prompter, QObject* parent = nullptr);
    ~DataModule() override;
    // Shows in the open tables what other users changed in `tables` (store names, small letters).
    void showChangesOfOthers(const QStringList& tables);

    Store& store() const { return store_; }
    SharedState& state() const { return state_; }

    // Field objects by their names, e.g. "tblPersonalName1", "qrMZajavki2023MAXZAJAVKI".
    Field& field(const QString& objectName) const; // throws DbError when unknown
    QList<Dataset*> datasets() const { return datasets_; }
    // Opens every table of the module (the queries stay closed): what a command or a test that
    // works on the whole store needs before it reads or writes.
    void openAllTables();
    Dataset* dataset(const QString& objectName) const;
    DataSource* dataSource(const QString& objectName) const;

    // Reloads the catalogue query with an opener's statement and parameters, opens it and moves
    // to the last and back to the first row.
    void reloadNewZicl(const QStringList& sql, const QHash<QString, QVariant>& params = {});
    static QStringList defaultNewZiclSql();
    // The highest application number of a year in one generation's MAX query; 0 when none.
    double maxApplicationNumber(Query& maxQuery, int year);

    // What the positions dialog's search box holds; the positions record filter reads it.
    QString doljnSearchText;

    // Tables, in the order of their declaration in the data module.
    Table* tblPersonal;
    Table* tblTrained;
    Table* tblSertif;
    Table* tblPerEmail;
    Table* tblPerSnils;
    Table* tblDoljn;
    Table* tblSpez;
    Table* tblSpecialty;
    Table* tblNewZicl;
    Table* tblConfig;
    Table* tblLPUDETAILS;
    Table* tblZajavki;
    Table* tblSluch;
    Table* tblSLSertif;
    Table* tblSlEmail;
    Table* tblZajavki2021;
    Table* tblSluch2021;
    Table* tblSluchSnils;
    Table* tblZajavki2023;
    Table* tblSluch2023;
    Table* tblTempZ;
    Table* tblTempZ2023;
    // An export file read back (by the restore): the export layout, the file chosen by its user.
    FileTable* tblZISCH;

    DataSource* dtsPersonal;
    DataSource* dtsTrained;
    DataSource* dtsSertif;
    DataSource* dtsPerEmail;
    DataSource* dtsPerSnils;
    DataSource* dtsDoljn;
    DataSource* dtsSpez;
    DataSource* dtsSpecialty;
    DataSource* dtsNewZicl;
    DataSource* dtsConfig;
    DataSource* dtsLPUDetails;
    DataSource* dtsZajavki;
    DataSource* dtsSluch;
    DataSource* dtsSLSertif;
    DataSource* dtsSlEmail;
    DataSource* dtsZajavki2021;
    DataSource* dtsSluch2021;
    DataSource* dtsSluchSnils;
    DataSource* dtsZajavki2023;
    DataSource* dtsSluch2023;
    DataSource* dtsTempZ;
    DataSource* dtsTempZ2023;
    DataSource* dtsZISCH;

    Query* qrMZajavki2023;
    Query* qrMZajavki2021;
    Query* qrMZajavki;
    Query* qZajavki2021;
    Query* qNewZicl;
    DataSource* dtsqZajavki2021;
    // The applications of a year and later of the other two generations, as qZajavki2021 lists
    // those of its own: where a trainee may be moved to.
    Query* qZajavki;
    Query* qZajavki2023;
    DataSource* dtsqZajavki;
    DataSource* dtsqZajavki2023;
    DataSource* dtsQNewZICL2021;

signals:
    // An action outside the applications windows (a restore, adding from the training plan) wrote
    // trainees: the windows that count them show the new count.
    void traineesWritten();

private:
    // What the user does about a row another user wrote while it was being edited.
    Dataset::ConflictChoice askAboutConflict(const RowConflict& conflict);
    // Makes a table object with its data source (stored through `dataSource`).
    Table* addTable(DataSource** dataSource, const QString& name, const QString& file, const QString& source,
                    const QString& index = {}, DataSource* master = nullptr,
                    const QString& masterFields = {});
    Query* addMaxQuery(const QString& name, const QString& table);
    // "SELECT NPP, KZajavki, Year" of the applications of :p_year and later, with its data source.
    Query* addApplicationList(DataSource** dataSource, const QString& name, const QString& table);
    void confirmDelete(Dataset& ds);
    // "Удалить слушателя ИВАНОВ И. И. из заявки № 116 за 2026 год?": who or what goes.
    QString deletionQuestion(Dataset& ds) const;
    void calcServiceYears(Dataset& ds);
    void showUnknownValuesEmpty();
    bool doljnMatches(Dataset& ds);

    Store& store_;
    SharedState& state_;
    Prompter& prompter_;
    QList<Dataset*> datasets_;
    QList<DataSource*> sources_;
    QHash<QString, Field*> fields_;
};
