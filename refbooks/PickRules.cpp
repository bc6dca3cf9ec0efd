#include "refbooks/PickRules.h"

#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"

#include <algorithm>

namespace refbooks {

const PickTarget* findTarget(const QList<PickTarget>& targets, int code) {
    for (const PickTarget& t : targets)
        if (t.code == code)
            return &t;
    return nullptr;
}

void copyValue(Field& to, const Field& from) {
    switch (to.type()) {
    case FieldType::Alpha:
    case FieldType::Memo:
        to.setAsString(from.asString());
        break;
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long:
        to.setAsInteger(from.asInteger());
        break;
    case FieldType::Number:
        to.setAsFloat(from.asFloat());
        break;
    case FieldType::Date:
        to.setAsDate(from.asDate());
        break;
    }
}

void writePick(DataModule& dm, Dataset& source, const PickTarget& target, const BoxWriter& writeBox) {
    Table& table = *(dm.*target.table);
    table.edit(); // keeps a row already in editing, starts one on an empty view
    if (target.box && writeBox)
        writeBox(target.box->instance, target.box->box, source.field(target.box->source).asString());
    for (const FieldCopy& c : target.fields)
        copyValue(table.field(c.target), source.field(c.source));
}

namespace {

// Adds `more` to `list`, each replacing the target of the same caller code.
template <typename Target> void addTargets(QList<Target>& list, const QList<Target>& more) {
    for (const Target& target : more) {
        auto same =
            std::find_if(list.begin(), list.end(), [&](const Target& t) { return t.code == target.code; });
        if (same != list.end())
            *same = target;
        else
            list.append(target);
    }
}

PickTargets& registeredTargets() {
    // The personnel card takes a position's and a diploma specialty's name and code; the
    // certificate dialog a specialty's name (a specialty is kept as text wherever it is used); the
    // card's training record a programme's code, kind and hours.
    static PickTargets targets{
        {{1,
          &DataModule::tblPersonal,
          {{fld::NDoljn, fld::NDoljn}, {fld::KDoljn, fld::KDoljn}},
          std::nullopt}},
        {{1, &DataModule::tblPersonal, {{fld::NSpez, fld::NSpez}, {fld::KSpez, fld::KSpez}}, std::nullopt}},
        {{11, &DataModule::tblSertif, {{fld::Name, fld::Name}}, std::nullopt}},
        {{10,
          &DataModule::tblTrained,
          {{fld::KZicl, fld::KZicl}, {fld::VidOb, fld::VidOb}, {fld::Hours, fld::Hours}},
          std::nullopt}},
        {}};
    return targets;
}

} // namespace

void addPickTargets(const PickTargets& more) {
    PickTargets& targets = registeredTargets();
    addTargets(targets.positions, more.positions);
    addTargets(targets.diplomaSpecialties, more.diplomaSpecialties);
    addTargets(targets.specialties, more.specialties);
    addTargets(targets.programmeTables, more.programmeTables);
    addTargets(targets.programmeAdding, more.programmeAdding);
}

const QList<PickTarget>& positionTargets() {
    return registeredTargets().positions;
}

const QList<PickTarget>& diplomaSpecialtyTargets() {
    return registeredTargets().diplomaSpecialties;
}

const QList<PickTarget>& specialtyTargets() {
    return registeredTargets().specialties;
}

const QList<AddingTarget>& programmeAddingTargets() {
    return registeredTargets().programmeAdding;
}

const QList<PickTarget>& programmeTableTargets() {
    return registeredTargets().programmeTables;
}

bool picksProgramme(int code) {
    const auto& adding = programmeAddingTargets();
    return findTarget(programmeTableTargets(), code) ||
           std::any_of(adding.cbegin(), adding.cend(),
                       [code](const AddingTarget& t) { return t.code == code; });
}

bool pickProgramme(DataModule& dm, SharedState& state, int code, const BoxWriter& writeBox) {
    Dataset& programmes = *dm.qNewZicl;
    // With no programme shown there is nothing to pick: an empty code would pass for a choice.
    if (!programmes.isActive() || programmes.isEmpty())
        return false;
    if (const PickTarget* t = findTarget(programmeTableTargets(), code)) {
        writePick(dm, programmes, *t, writeBox);
        return true;
    }
    for (const AddingTarget& t : programmeAddingTargets()) {
        if (t.code != code)
            continue;
        state.SelKZicl = programmes.field(fld::KZicl).asString();
        state.SelVidOb = programmes.field(fld::VidOb).asString();
        state.SelHours = qint32(programmes.field(fld::Hours).asInteger());
        if (t.extra == AddingTarget::Extra::TypeOb)
            state.SelTypeOb = programmes.field(fld::TypeOb).asString();
        else
            state.SelFOBUCH = programmes.field(fld::FOBUCH).asString();
        if (writeBox) {
            writeBox(t.instance, QStringLiteral("Edit1"), state.SelKZicl + QLatin1Char(' ') + state.SelVidOb);
            writeBox(t.instance, QStringLiteral("Edit2"), QString::number(state.SelHours));
        }
        return true;
    }
    return false;
}

bool findPosition(DataModule& dm, const QString& text, bool fromNext) {
    dm.doljnSearchText = text;
    return fromNext ? dm.tblDoljn->findNext() : dm.tblDoljn->findFirst();
}

void filterProgrammes(DataModule& dm, const QString& specialty) {
    dm.qNewZicl->setFilterConditions({{fld::SPECIALY, specialty}});
    dm.qNewZicl->setFiltered(true);
}

QStringList specialtyNames(const DataModule& dm) {
    QStringList names;
    Table& book = *dm.tblSpecialty;
    if (!book.isActive())
        return names;
    const int name = book.field(fld::Name).index();
    for (int row = 0; row < book.recordCount(); ++row)
        names << book.valueAt(row, name).toString();
    return names;
}

void unfilterProgrammes(DataModule& dm) {
    dm.qNewZicl->setFiltered(false);
}

} // namespace refbooks
