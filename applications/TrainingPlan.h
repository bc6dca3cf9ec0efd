#pragma once
// The year's training plan. A medical worker's certificate or accreditation lasts five years, and
// the training must come before it ends; the plan for year Y lists whoever needs it:
// - every person whose latest certificate or accreditation (the one that ends last) ends before the
//   end of Y + 1 or has already ended, or who has none;
// - unless the person is already a trainee of an application of Y (the trainee row names the
//   person's number, or carries the same names and birth date).
// - and unless the person was put into an application of an earlier year for the very certificate
//   that ends (the trainee row carries its end date).
// For each it proposes the latest quarter of Y that still ends before the certificate does, and
// programmes of Y's catalogue by the first rule that finds any (chooseProgrammes), advanced
// training (ПК) before retraining (ПП); the programmes other rules find are offered after them.
//
// The plan reads the store directly, so that a register of tens of thousands stays instant.
// Adding the chosen people to an application goes through the adding dialog's own rule.
#include "applications/Generation.h"

#include <QDate>
#include <QList>
#include <QString>

class DataModule;
struct SharedState;

namespace plan {

struct Programme {
    QString code; // KZicl
    QString kind; // VidOb
    QString type; // TypeOb
    QString form; // FOBUCH
    int hours = 0;
    QString name;       // NZicl
    QString specialty;  // SPECIALY
    QString additional; // ADDSPECIALTY

    // "01.012 ПК, 36 ч. — Название программы"
    QString title() const;
};

struct Entry {
    qint64 person = 0; // NPP of Personal
    QString surname;
    QString name;
    QString patronymic;
    QDate birthDate;
    QString position;
    QString diplomaSpecialty;
    QDate certificateEnd; // null: the person has no certificate with an end date
    QString certificateSpecialty;
    int quarter = 1;
    QList<int> programmes; // indices into Plan::programmes; the first is proposed, the others offered
    QString rule; // why the first was proposed: "по специальности сертификата «Терапия»"

    bool hasCertificate() const { return certificateEnd.isValid(); }
    // Days from `today` to the end, negative once it has ended; 0 without a certificate.
    qint64 daysLeft(const QDate& today) const { return hasCertificate() ? today.daysTo(certificateEnd) : 0; }
    QString fullName() const;
};

struct Plan {
    int year = 0;
    QDate today;
    QList<Programme> programmes; // the catalogue of the year, in its order
    QList<Entry> entries;        // without a certificate first, then by end date
};

// The year a new plan is made for: the one after today's.
inline int defaultYear(const QDate& today) {
    return today.year() + 1;
}

// Whether a person whose latest certificate ends on `end` (null: none) needs training in `year`.
bool needsTraining(int year, const QDate& today, const QDate& end);
// The latest quarter of `year` that ends before `end`; the first when none does or there is no end.
int proposedQuarter(int year, const QDate& end);
// Whether the programme counts for `specialty`: its main specialty or one of its additional ones
// (listed with commas, semicolons or line breaks), letter case, Ё and extra blanks aside.
bool programmeMatches(const Programme& programme, const QString& specialty);

// How well a position names a specialty: the words they share by their stems ("ВРАЧ-ХИРУРГ" and
// "Хирургия"), less the specialty's words the position lacks; 0 when they share none. Words any
// position has ("врач", "старший", "участковый"…) do not count.
int positionScore(const QString& position, const QString& specialty);

// The programmes of the catalogue for one person, by the first of these rules that finds any:
// 1. the programme's main specialty is the certificate's;
// 2. without a certificate, the main specialty is the one the position names best;
// 3. one of its additional specialties is the certificate's;
// 4. without a certificate, the main specialty is the diploma's.
// In each rule advanced training (ПК) comes before retraining, then the catalogue's order. The
// programmes the later rules find follow, for the clerk to choose from.
struct Choice {
    QList<int> programmes;
    QString rule; // empty when none was found
};
// Reads the catalogue once, so that a register of tens of thousands is matched at once.
class ProgrammeChooser {
public:
    explicit ProgrammeChooser(const QList<Programme>& catalogue);
    Choice choose(const QString& certificateSpecialty, const QString& position,
                  const QString& diplomaSpecialty);

private:
    QList<bool> advanced_;                       // ПК, by programme
    QHash<QString, QList<int>> main_;            // main specialty → programmes, in catalogue order
    QHash<QString, QList<int>> additional_;      // additional specialty → programmes
    QList<QPair<QString, QString>> specialties_; // the main specialties: key, as written
    QHash<QString, QString> positionSpecialty_;  // position → the main specialty it names best
};
inline Choice chooseProgrammes(const QList<Programme>& catalogue, const QString& certificateSpecialty,
                               const QString& position, const QString& diplomaSpecialty) {
    return ProgrammeChooser(catalogue).choose(certificateSpecialty, position, diplomaSpecialty);
}

// The plan of `year` from the store behind the data module, for the generation's applications and
// catalogue. Throws DbError.
Plan buildPlan(const DataModule& dm, const Generation& g, int year, const QDate& today);

// The numbers of the generation's applications of `year`, in order.
QList<double> applicationsOf(const DataModule& dm, const Generation& g, int year);

// One person of the plan going into an application.
struct Addition {
    int entry = 0;     // index into Plan::entries
    int programme = 0; // index into Plan::programmes
    int quarter = 1;
};

// Adds the people to the application `number`/`year` of the generation, each with the programme
// and quarter given, through the adding dialog's rule (applications::addMarkedPeople), all in one
// transaction; the trainee rows carry the certificate the plan is about and the person's number.
// The picked programme and the register's current person are as they were afterwards; the marks
// are cleared. Returns how many were added. Throws DbError (nothing is written then).
int addToApplication(const DataModule& dm, const Generation& g, SharedState& state, const Plan& plan,
                     double number, int year, const QList<Addition>& additions);

// The plan as text for the command line: one aligned line per person; or as CSV with a heading line.
QString toText(const Plan& plan);
QString toCsv(const Plan& plan);

} // namespace plan
