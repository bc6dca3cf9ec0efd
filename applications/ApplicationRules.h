#pragma once
// What the applications windows do to the data, without widgets: numbering and creating
// applications, adding the marked people as trainees, the marks themselves, and deleting.
#include "applications/Generation.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Prompter;
struct SharedState;

namespace applications {

// "заявленно - " and the number of trainees of the current application.
QString countLine(const TDM& dm, const Generation& g);

// The catalogue query's statement for the adding dialog or the editor, with its parameter p_year.
QStringList catalogueSql(const Generation& g, bool upToYear);

// The number of a new additional application in `year`: the year's highest number plus 0.01, or,
// when the year has none, the contract number plus 0.01 (and `noMain` is set).
double additionalNumber(const TDM& dm, const Generation& g, int year, bool* noMain);
// Makes `number`/`year` the current application; false when there is none.
bool locateApplication(const TDM& dm, const Generation& g, double number, int year);
// Appends and posts a new application, which becomes current.
void createApplication(const TDM& dm, const Generation& g, double number, int year);

// The quarter as typed: a whole number from 1 to 4, or nothing.
std::optional<int> parseQuarter(const QString& text);

// Clears every mark in the register (one transaction).
void clearMarks(const TDM& dm);
// The space bar on a person: marks an unmarked one, unmarks a marked one; saved at once.
void toggleMark(const TDM& dm);
bool isMarked(const QVariant& pr);

// Appends one trainee per marked person, in register order, to the current application, with the
// picked programme and `quarter` (one transaction). Returns how many were added; 0 when nobody
// is marked (then nothing is written).
int addMarkedPeople(const TDM& dm, const Generation& g, const SharedState& state, int quarter);

// Deletes the current application with all its trainees after the question; false when declined.
// `beforeDeleting` runs once the user agreed, before anything is deleted (the program takes a copy
// of the store there); what it throws stops the deletion.
bool deleteApplication(const TDM& dm, const Generation& g, SharedState& state, Prompter& prompter,
                       const std::function<void()>& beforeDeleting = {});
// Deletes the current trainee; the data module asks first (AbortAction when declined).
void deleteTrainee(const TDM& dm, const Generation& g, SharedState& state);

} // namespace applications
