#pragma once
// What the applications windows do to the data, without widgets: numbering and creating
// applications, adding the marked people as trainees, the marks themselves, deleting, saving an
// edited trainee, a trainee's certificate row, and moving and copying trainees. Every rule works
// for each generation from its description, detail rows of its trainees included.
#include "applications/Generation.h"
#include "data/Store.h"

#include <functional>
#include <optional>
#include <QDate>
#include <QString>
#include <QStringList>

class Field;

class Prompter;
struct SharedState;

namespace applications {

// "заявлено - " and the number of trainees of the current application.
QString countLine(const DataModule& dm, const Generation& g);

// The catalogue query's statement for the adding dialog or the editor, with its parameter p_year.
QStringList catalogueSql(const Generation& g, bool upToYear);

// The number of a new additional application in `year`: the year's highest number plus 0.01, or,
// when the year has none, the contract number plus 0.01 (and `noMain` is set).
double additionalNumber(const DataModule& dm, const Generation& g, int year, bool* noMain);
// Makes `number`/`year` the current application; false when there is none.
bool locateApplication(const DataModule& dm, const Generation& g, double number, int year);
// Appends and posts the application `number` of `year`, which becomes current; returns the number
// it got. The year's numbering is locked meanwhile, so that two clerks never create one number
// twice: a number taken since it was shown is refused for a main application, and moved on to the
// next free one for a supplementary one (`supplementary`).
double createApplication(const DataModule& dm, const Generation& g, double number, int year,
                         bool supplementary = false);
// Why no application is made for `year` in this generation ("Заявки создаются только по 2020
// год!"); empty when it is.
QString yearRefusal(const Generation& g, int year);

// The quarter as typed: a whole number from 1 to 4, or nothing.
std::optional<int> parseQuarter(const QString& text);

// Clears every mark in the register (one transaction).
void clearMarks(const DataModule& dm);
// The space bar on a person: marks an unmarked one, unmarks a marked one; saved at once.
void toggleMark(const DataModule& dm);
bool isMarked(const QVariant& pr);

// Appends one trainee per marked person, in register order, to the current application, with the
// picked programme and `quarter`, and the trainee's detail rows where the generation keeps the
// certificate, e-mail or SNILS in rows of their own (one transaction). Returns how many were
// added; 0 when nobody is marked (then nothing is written).
// A trainee row and a person are the same when the row names the person's number, or, for rows
// the adding dialog made (which carry no number), when names and birth date agree: this key. An
// empty birth date reads as the zero date in trainee rows; both give the same key.
QString personKey(const QString& surname, const QString& name, const QString& patronymic, const QDate& birth);

// What a clerk is told when another clerk is marking people in the register at the moment.
inline const QString kMarksBusy = QStringLiteral(
    "Другой сотрудник сейчас отмечает специалистов для заявки. Подождите, пока он закончит, и повторите.");

// The turn to mark the register's people (Store::holdMarks), taken when it is free and given
// back when the object goes.
class MarkingTurn {
public:
    explicit MarkingTurn(Store& store) : store_(store), held_(store.holdMarks()) {}
    ~MarkingTurn() {
        if (held_)
            store_.releaseMarks();
    }
    MarkingTurn(const MarkingTurn&) = delete;
    MarkingTurn& operator=(const MarkingTurn&) = delete;
    bool held() const { return held_; }

private:
    Store& store_;
    bool held_;
};

// The marked people who already are trainees of an application of the current application's
// year, one line each: "ИВАНОВ И. И. — в заявке № 116". A trainee is the person when the row names
// the person's number, or has the same names and birth date.
QStringList alreadyListed(const DataModule& dm, const Generation& g);
int addMarkedPeople(const DataModule& dm, const Generation& g, const SharedState& state, int quarter);

// Deletes the current application with all its trainees and their detail rows after the question,
// in one transaction; false when declined. `beforeDeleting` runs once the user agreed, before
// anything is deleted (the program takes a copy of the store there); what it throws stops the
// deletion.
bool deleteApplication(const DataModule& dm, const Generation& g, SharedState& state, Prompter& prompter,
                       const std::function<void()>& beforeDeleting = {});
// Deletes the current trainee with its detail rows, in one transaction; the data module asks
// first (AbortAction when declined, and then nothing is deleted).
void deleteTrainee(const DataModule& dm, const Generation& g, SharedState& state);

// The one rule for a trainee's quarter, in the adding dialog and the editor.
inline constexpr const char* kQuarterRule = "Квартал года задаётся целым числом от 1 до 4";
// Whether the trainee's stored quarter may stay: empty (none given) or 1 to 4.
bool quarterAccepted(const Field& quarter);

// "Сохранить" of the trainee editor: the trainee row with its names in capitals when anything
// in it was changed, and the detail rows typed into, all in one transaction; a detail row of a
// trainee saved for the first time is linked to it. Returns the name field that would not fit
// in capitals (then nothing is written), else an empty string.
QString saveTrainee(const DataModule& dm, const Generation& g);
// "Отмена": the trainee row and its detail rows lose what was not saved.
void cancelTrainee(const DataModule& dm, const Generation& g);
// Whether the current trainee is stored, so that rows of its own can be linked to it.
bool traineeIsStored(const DataModule& dm, const Generation& g);
// The trainee's certificate row keeps no date and no specialty; made (empty) when missing.
void clearCertificate(const DataModule& dm, const Generation& g);

// Moving and copying a trainee into another application of its generation. The applications
// offered are those of `fromYear` and later, the last one current.
void listMovingTargets(const DataModule& dm, const Generation& g, int fromYear);
// Why the current trainee cannot be moved or copied now: no trainee, or no application to take
// it; empty when it can.
QString movingRefusal(const DataModule& dm, const Generation& g);
// The current trainee belongs from now on to the application current in the list: it takes its
// number and year. The trainee keeps its detail rows.
void moveTrainee(const DataModule& dm, const Generation& g);
// A new trainee in the application current in the list with the current trainee's values and
// copies of its detail rows (one transaction); the original stays current.
void copyTrainee(const DataModule& dm, const Generation& g);

} // namespace applications
