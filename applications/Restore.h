#pragma once
// Rebuilding an application's trainees, and the people behind them, from an export file.
//
// First a plan is made, writing nothing: the file is read whole, every value is checked against
// the field it goes to, each trainee's person is looked up in the register by the exact three
// names, and the applications the file names are looked up with the trainees they already hold.
// The plan is then written in one transaction: all of it, or on any failure nothing.
//
// For every row of the file a trainee is added, carrying the file's application number and year
// and linked to its person (KodPersonal). A person of the register whose three names equal the
// row's, letter case included, is reused and given the row's e-mail address and SNILS where the
// file has them (an empty one replaces nothing; a stored one replaced by another is listed in the
// plan); anyone else is added to the register with the row's birth date, codes, start years (this
// year minus the exported years of service) and the names of the position and diploma specialty
// the reference books give the codes (empty for a code they lack), with the e-mail, SNILS and
// certificate rows the file has. A person named again further down the file is the one added
// before. Empty stays empty: an empty date (written as the zero date) and years of service counted
// from no start year are restored empty, and values out of their bounds (an application number,
// year, quarter, hours or years of service no office has) refuse the file before any plan.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class DataModule;

namespace applications {

// An application the file's rows belong to (an export file holds one).
struct RestoreApplication {
    double number = 0;
    int year = 0;
    int fileTrainees = 0; // rows of the file that belong to it
    bool exists = false;  // an application row of this number and year is in the store
    int heldTrainees = 0; // trainees the store already holds under this number and year

    // "116 на 2026 год", "116,01 на 2026 год"
    QString title() const;
};

// A person the restore adds to the register, with the first e-mail, SNILS and certificate rows.
struct RestorePerson {
    QVariantList person;      // Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, NSpez, StajOb, StajDoljn
    QVariantList email;       // EMAIL
    QVariantList snils;       // SNILS
    QVariantList certificate; // DateCL, Name
    QString name;             // "ПЕТРОВ ПЁТР ПЕТРОВИЧ"
};

// A stored value of a person the register has that the file replaces by another.
struct RestoreChange {
    QString person; // "ИВАНОВ ИВАН ИВАНОВИЧ"
    QString what;   // "e-mail", "СНИЛС"
    QString before, after;
};

// One row of the file: the trainee to add and whose person it is.
struct RestoreTrainee {
    int fileRow = 0;               // 1-based
    QString name;                  // the person's three names, for messages
    QVariantList trainee;          // the trainee row without KodPersonal (restoreTraineeFields() order)
    qint64 foundPerson = 0;        // NPP of the register's person; 0 when the restore adds the person
    int newPerson = -1;            // index into RestorePlan::newPeople when the restore adds the person
    bool firstOfNewPerson = false; // this row adds the person; later rows of theirs find them
    QVariantList email;            // the row's e-mail and SNILS, written to a person the row finds;
    QVariantList snils;            // empty when the file has none (nothing stored is replaced then)
};

struct RestorePlan {
    QString file;
    QList<RestoreApplication> applications; // in the order the file first names them
    QList<RestoreTrainee> trainees;         // in the file's order
    QList<RestorePerson> newPeople;         // in the order the file first names them
    int foundPeople = 0;                    // distinct people of the register the file names
    QList<RestoreChange> changes;           // stored e-mails and SNILS the file replaces

    bool isEmpty() const { return trainees.isEmpty(); }
    QStringList newPeopleNames() const;
    // Some application already holds trainees: restoring adds the file's trainees beside them,
    // twice over when the same file was restored before.
    bool addsTwice() const;
    bool lacksApplication() const;
    // The titles of the applications the store lacks.
    QStringList missingTitles() const;
    // "116 на 2026 год" for one application, "116 на 2026 год, 117 на 2026 год" for several.
    QString titles() const;
};

struct RestoreOutcome {
    int trainees = 0;
    int foundPeople = 0;
    int newPeople = 0;
    int createdApplications = 0;
};

// The trainee fields a restored trainee row sets, in the order RestoreTrainee::trainee holds them.
const QStringList& restoreTraineeFields();

// Reads the export file `path` through the data module's tblZISCH (closed again afterwards) and
// plans the restore against the store as it is; writes nothing. Throws UserError naming the file,
// and for a value that its field cannot take the file's row, the person and the field.
RestorePlan planRestore(const DataModule& dm, const QString& path);

// Writes the plan in one transaction, first adding the application rows the store lacks when
// `createMissingApplications`. On any failure nothing stays written, every open dataset shows the
// store as it was, and the UserError thrown names the file's row and the table written to. After
// a success every table written to is re-read, so every view shows the new rows.
RestoreOutcome writeRestore(const DataModule& dm, const RestorePlan& plan, bool createMissingApplications);

// The question before adding trainees to applications that already hold some.
QString restoreAgainQuestion(const RestorePlan& plan);
// The one message after the restore.
QString restoreOutcomeText(const RestorePlan& plan, const RestoreOutcome& outcome);

} // namespace applications
