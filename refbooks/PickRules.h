#pragma once
// What a pick from a reference book or from the programme chooser writes, described as data.
// A caller code names the window that opened the dialog; for each code a target says which
// table's current row takes the picked values, which fields are copied into it and which box of
// an open editing window shows the picked name. One routine carries out any target, so the three
// reference books and the chooser share the same writing rules.
#include <functional>
#include <optional>
#include <QList>
#include <QString>

class Dataset;
class Field;
class Table;
class DataModule;
struct SharedState;

namespace refbooks {

// Target field ← source field.
struct FieldCopy {
    QString target;
    QString source;
};

// The line edit `box` of the open window `instance` shows the text of the source field.
struct BoxCopy {
    QString instance;
    QString box;
    QString source;
};

struct PickTarget {
    int code;                  // the caller code this target answers
    Table* DataModule::*table; // the data module's table written to (&DataModule::tblSluch2023)
    QList<FieldCopy> fields;   // copied in this order, after the box
    std::optional<BoxCopy> box;
};

// Puts a text into a box of an open window; does nothing when the window or the box is missing.
using BoxWriter = std::function<void(const QString& instance, const QString& box, const QString& text)>;

// The target for a caller code; null when the code picks nothing.
const PickTarget* findTarget(const QList<PickTarget>& targets, int code);

// Copies a value the way the target stores it: into a text field as text (a narrower field keeps
// the leading characters), into a number field as a number. An empty source gives an empty text
// or 0, so a pick from an empty list still writes a definite value.
void copyValue(Field& to, const Field& from);

// Writes the current row of `source` into the target: the target table's current row is put into
// editing unless it already is (on an empty view a new row is started), the box is filled and
// the fields are copied. The row is never posted: the window that opened the dialog saves it.
// Throws DbError when a field is unknown or refuses a value.
void writePick(DataModule& dm, Dataset& source, const PickTarget& target, const BoxWriter& writeBox);

// The programme chooser's adding targets (ZiclCaller). An adding dialog takes the programme into
// the shared Sel… variables and shows it in its boxes: Edit1 "code kind", Edit2 the hours. The
// 2023 generation keeps the form of study where the earlier ones keep the type of study.
struct AddingTarget {
    int code;
    QString instance; // the adding dialog's instance ("ftrInsertSluch2023")
    enum class Extra { TypeOb, FOBUCH } extra;
};

// What each book and the chooser write to: positions (DoljnCaller), diploma specialties
// (SpezCaller), specialties (SpecialtyCaller) and programmes (ZiclCaller).
struct PickTargets {
    QList<PickTarget> positions;
    QList<PickTarget> diplomaSpecialties;
    QList<PickTarget> specialties;
    QList<PickTarget> programmeTables;
    QList<AddingTarget> programmeAdding;
};
// The register's own targets are known here; the windows above (the applications' editors and
// adding dialogs) add theirs when they register. A caller code added again replaces the earlier
// target, so registering twice changes nothing.
void addPickTargets(const PickTargets& more);

const QList<PickTarget>& positionTargets();
const QList<PickTarget>& diplomaSpecialtyTargets();
const QList<PickTarget>& specialtyTargets();
const QList<AddingTarget>& programmeAddingTargets();
const QList<PickTarget>& programmeTableTargets();

// Whether the caller code is a window that takes a programme from the chooser.
bool picksProgramme(int code);
// Writes the current programme of qNewZicl for the caller code; false when nothing is picked:
// browsing only, a code no window uses, or no programme shown (then nothing is written).
bool pickProgramme(DataModule& dm, SharedState& state, int code, const BoxWriter& writeBox);

// The positions search: the record filter of tblDoljn looks for `text` raised to capitals.
// From the first row, or from the row after the current one; false when no row matched, and
// then the current row stays where it was.
bool findPosition(DataModule& dm, const QString& text, bool fromNext);

// The chooser's filter on qNewZicl: only the programmes of one main specialty (compared as a
// value, so quotes in a name are ordinary characters), or every programme again.
void filterProgrammes(DataModule& dm, const QString& specialty);
// The names of the specialties book, in its own order; read by row, so its cursor stays put.
QStringList specialtyNames(const DataModule& dm);
void unfilterProgrammes(DataModule& dm);

} // namespace refbooks
