#include "refbooks/PickRules.h"

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

namespace {
Dataset& tableOf(TDM& dm, const QString& name) {
    Dataset* ds = dm.dataset(name);
    if (!ds)
        throw DbError(QStringLiteral("Таблица %1 не найдена в модуле данных").arg(name));
    return *ds;
}
} // namespace

void writePick(TDM& dm, Dataset& source, const PickTarget& target, const BoxWriter& writeBox) {
    Dataset& table = tableOf(dm, target.table);
    table.edit(); // keeps a row already in editing, starts one on an empty view
    if (target.box && writeBox)
        writeBox(target.box->instance, target.box->box, source.field(target.box->source).asString());
    for (const FieldCopy& c : target.fields)
        copyValue(table.field(c.target), source.field(c.source));
}

const QList<PickTarget>& positionTargets() {
    // The personnel card takes both name and code; an application's trainee keeps only the
    // code, its editor shows the name in its own box.
    static const QList<PickTarget> list{
        {1, "tblPersonal", {{"NDoljn", "NDoljn"}, {"KDoljn", "KDoljn"}}, std::nullopt},
        {6, "tblSluch", {{"KDoljn", "KDoljn"}}, BoxCopy{"ftrMZajavki", "Edit1", "NDoljn"}},
        {7, "tblSluch2021", {{"KDoljn", "KDoljn"}}, BoxCopy{"ftrMZajavki2021", "Edit1", "NDoljn"}},
        {8, "tblSluch2023", {{"KDoljn", "KDoljn"}}, BoxCopy{"ftrMZajavki2023", "Edit1", "NDoljn"}},
    };
    return list;
}

const QList<PickTarget>& diplomaSpecialtyTargets() {
    static const QList<PickTarget> list{
        {1, "tblPersonal", {{"NSpez", "NSpez"}, {"KSpez", "KSpez"}}, std::nullopt},
        {6, "tblSluch", {{"KSpez", "KSpez"}}, BoxCopy{"ftrMZajavki", "Edit2", "NSpez"}},
        {7, "tblSluch2021", {{"KSpez", "KSpez"}}, BoxCopy{"ftrMZajavki2021", "Edit2", "NSpez"}},
        {8, "tblSluch2023", {{"KSpez", "KSpez"}}, BoxCopy{"ftrMZajavki2023", "Edit2", "NSpez"}},
    };
    return list;
}

const QList<PickTarget>& specialtyTargets() {
    // Only the name travels: the specialty is kept as text wherever it is used.
    static const QList<PickTarget> list{
        {7, "tblSluch2021", {{"Specialty", "Name"}}, std::nullopt},
        {8, "tblSluch2023", {{"Specialty", "Name"}}, std::nullopt},
        {11, "tblSertif", {{"Name", "Name"}}, std::nullopt},
        {12, "tblSLSertif", {{"Name", "Name"}}, std::nullopt},
    };
    return list;
}

const QList<AddingTarget>& programmeAddingTargets() {
    static const QList<AddingTarget> list{
        {2, "ftrInsertSluch", AddingTarget::Extra::TypeOb},
        {3, "ftrInsertSluch2021", AddingTarget::Extra::TypeOb},
        {4, "ftrInsertSluch2023", AddingTarget::Extra::FOBUCH},
    };
    return list;
}

const QList<PickTarget>& programmeTableTargets() {
    // Code, kind and hours go everywhere; the trainees of the 2023 generation keep the form of
    // study, the earlier ones the type of study, the personnel card's training record neither.
    static const QList<FieldCopy> common{{"KZicl", "KZicl"}, {"VidOb", "VidOb"}, {"Hours", "Hours"}};
    static const QList<PickTarget> list{
        {6, "tblSluch", common + QList<FieldCopy>{{"TypeOb", "TypeOb"}}, std::nullopt},
        {7, "tblSluch2021", common + QList<FieldCopy>{{"TypeOb", "TypeOb"}}, std::nullopt},
        {8, "tblSluch2023", common + QList<FieldCopy>{{"FOBUCH", "FOBUCH"}}, std::nullopt},
        {10, "tblTrained", common, std::nullopt},
    };
    return list;
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

void unfilterProgrammes(TDM& dm) {
    dm.qNewZicl->setFiltered(false);
}

} // namespace refbooks
