#include "refbooks/PickRules.h"

#include "applications/Generation.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "core/SharedState.h"

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

void writePick(TDM& dm, Dataset& source, const PickTarget& target, const BoxWriter& writeBox) {
    Table& table = *(dm.*target.table);
    table.edit(); // keeps a row already in editing, starts one on an empty view
    if (target.box && writeBox)
        writeBox(target.box->instance, target.box->box, source.field(target.box->source).asString());
    for (const FieldCopy& c : target.fields)
        copyValue(table.field(c.target), source.field(c.source));
}

namespace {

// What a trainee editor's pick writes: the code into the trainee row, the name into the editor's
// box `box` (when given), for the caller code `code` of each generation.
QList<PickTarget> editorTargets(quint8 Generation::Callers::*code, const char* codeField, const char* box,
                                const char* nameField) {
    QList<PickTarget> list;
    for (const Generation* g : Generation::all())
        list.append({g->callers.*code,
                     g->trainees.table,
                     {{codeField, codeField}},
                     BoxCopy{g->editorInstance, QString::fromLatin1(box), QString::fromLatin1(nameField)}});
    return list;
}

} // namespace

const QList<PickTarget>& positionTargets() {
    // The personnel card takes both name and code; an application's trainee keeps only the
    // code, its editor shows the name in its own box.
    static const QList<PickTarget> list =
        QList<PickTarget>{{1, &TDM::tblPersonal, {{"NDoljn", "NDoljn"}, {"KDoljn", "KDoljn"}}, std::nullopt}} +
        editorTargets(&Generation::Callers::position, "KDoljn", "Edit1", "NDoljn");
    return list;
}

const QList<PickTarget>& diplomaSpecialtyTargets() {
    static const QList<PickTarget> list =
        QList<PickTarget>{{1, &TDM::tblPersonal, {{"NSpez", "NSpez"}, {"KSpez", "KSpez"}}, std::nullopt}} +
        editorTargets(&Generation::Callers::diplomaSpecialty, "KSpez", "Edit2", "NSpez");
    return list;
}

const QList<PickTarget>& specialtyTargets() {
    // Only the name travels: the specialty is kept as text wherever it is used. A generation that
    // keeps the certificate in a row of its own has the name written there, by the certificate
    // dialog; the others into the trainee row, by the editor.
    static const QList<PickTarget> list = [] {
        QList<PickTarget> targets{{11, &TDM::tblSertif, {{"Name", "Name"}}, std::nullopt}};
        for (const Generation* g : Generation::all()) {
            if (g->certificateRows)
                targets.append({g->callers.specialty, g->certificateRows.table, {{"Name", "Name"}}, std::nullopt});
            else
                targets.append({g->callers.specialty, g->trainees.table, {{"Specialty", "Name"}}, std::nullopt});
        }
        return targets;
    }();
    return list;
}

const QList<AddingTarget>& programmeAddingTargets() {
    static const QList<AddingTarget> list = [] {
        QList<AddingTarget> targets;
        for (const Generation* g : Generation::all())
            targets.append({g->callers.programmeForAdding, g->insertInstance,
                            g->programmeAttribute == QLatin1String("FOBUCH") ? AddingTarget::Extra::FOBUCH
                                                                             : AddingTarget::Extra::TypeOb});
        return targets;
    }();
    return list;
}

const QList<PickTarget>& programmeTableTargets() {
    // Code, kind and hours go everywhere; a trainee also takes its generation's programme
    // attribute (the form of study, or the type of study), the personnel card's training record
    // neither.
    static const QList<PickTarget> list = [] {
        const QList<FieldCopy> common{{"KZicl", "KZicl"}, {"VidOb", "VidOb"}, {"Hours", "Hours"}};
        QList<PickTarget> targets;
        for (const Generation* g : Generation::all())
            targets.append({g->callers.programmeForEditing, g->trainees.table,
                            common + QList<FieldCopy>{{g->programmeAttribute, g->programmeAttribute}}, std::nullopt});
        targets.append({10, &TDM::tblTrained, common, std::nullopt});
        return targets;
    }();
    return list;
}

bool picksProgramme(int code) {
    const auto& adding = programmeAddingTargets();
    return findTarget(programmeTableTargets(), code) ||
           std::any_of(adding.cbegin(), adding.cend(), [code](const AddingTarget& t) { return t.code == code; });
}

bool pickProgramme(TDM& dm, SharedState& state, int code, const BoxWriter& writeBox) {
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
        state.SelKZicl = programmes.field(QStringLiteral("KZicl")).asString();
        state.SelVidOb = programmes.field(QStringLiteral("VidOb")).asString();
        state.SelHours = qint32(programmes.field(QStringLiteral("Hours")).asInteger());
        if (t.extra == AddingTarget::Extra::TypeOb)
            state.SelTypeOb = programmes.field(QStringLiteral("TypeOb")).asString();
        else
            state.SelFOBUCH = programmes.field(QStringLiteral("FOBUCH")).asString();
        if (writeBox) {
            writeBox(t.instance, QStringLiteral("Edit1"), state.SelKZicl + QLatin1Char(' ') + state.SelVidOb);
            writeBox(t.instance, QStringLiteral("Edit2"), QString::number(state.SelHours));
        }
        return true;
    }
    return false;
}

bool findPosition(TDM& dm, const QString& text, bool fromNext) {
    dm.doljnSearchText = text;
    return fromNext ? dm.tblDoljn->findNext() : dm.tblDoljn->findFirst();
}

void filterProgrammes(TDM& dm, const QString& specialty) {
    dm.qNewZicl->setFilterConditions({{QStringLiteral("SPECIALY"), specialty}});
    dm.qNewZicl->setFiltered(true);
}

QStringList specialtyNames(const TDM& dm) {
    QStringList names;
    Table& book = *dm.tblSpecialty;
    if (!book.isActive())
        return names;
    const int name = book.field(QStringLiteral("Name")).index();
    for (int row = 0; row < book.recordCount(); ++row)
        names << book.valueAt(row, name).toString();
    return names;
}

void unfilterProgrammes(TDM& dm) {
    dm.qNewZicl->setFiltered(false);
}

} // namespace refbooks
