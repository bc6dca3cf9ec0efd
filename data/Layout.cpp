#include "data/Layout.h"

#include <QFileInfo>

int TableLayout::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return i;
    return -1;
}

const IndexDef* TableLayout::index(const QString& name) const {
    for (const IndexDef& idx : indexes)
        if (idx.name == name)
            return &idx;
    return nullptr;
}

QString typeCode(const FieldDef& field) {
    switch (field.type) {
    case FieldType::AutoInc: return QStringLiteral("+");
    case FieldType::Alpha: return QStringLiteral("A %1").arg(field.size);
    case FieldType::Short: return QStringLiteral("S");
    case FieldType::Long: return QStringLiteral("I");
    case FieldType::Number: return QStringLiteral("N");
    case FieldType::Date: return QStringLiteral("D");
    case FieldType::Memo: return QStringLiteral("M %1").arg(field.size);
    }
    return {};
}

QString sqlType(const FieldDef& field) {
    switch (field.type) {
    case FieldType::AutoInc: return QStringLiteral("INTEGER");
    case FieldType::Alpha: return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::Short: return QStringLiteral("SMALLINT");
    case FieldType::Long: return QStringLiteral("INTEGER");
    case FieldType::Number: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Memo: return QStringLiteral("TEXT");
    }
    return {};
}

namespace {

FieldDef A(const char* n, int size) { return {QString::fromLatin1(n), FieldType::Alpha, size}; }
FieldDef M(const char* n, int size) { return {QString::fromLatin1(n), FieldType::Memo, size}; }
FieldDef S(const char* n) { return {QString::fromLatin1(n), FieldType::Short, 0}; }
FieldDef I(const char* n) { return {QString::fromLatin1(n), FieldType::Long, 0}; }
FieldDef N(const char* n) { return {QString::fromLatin1(n), FieldType::Number, 0}; }
FieldDef D(const char* n) { return {QString::fromLatin1(n), FieldType::Date, 0}; }
FieldDef Auto(const char* n = "NPP") { return {QString::fromLatin1(n), FieldType::AutoInc, 0}; }

TableLayout table(const char* file, QList<FieldDef> fields, QList<IndexDef> indexes = {}) {
    TableLayout t;
    t.fileName = QString::fromLatin1(file);
    t.sqlName = QFileInfo(t.fileName).completeBaseName();
    t.fields = std::move(fields);
    t.indexes = std::move(indexes);
    return t;
}

QList<FieldDef> catalogueFields() {
    return {Auto(),          A("KZicl", 15),  A("VidOb", 2),           A("TypeOb", 1),
            S("Hours"),      A("NZicl", 250), A("Contingent", 250),    N("RealZicl"),
            S("Year"),       A("SPECIALY", 255), M("ADDSPECIALTY", 150), A("FOBUCH", 5)};
}

QList<FieldDef> applicationFields() { return {Auto(), N("KZajavki"), S("Year")}; }

// The trainee tables of the three generations share most fields; `kzicl` is the code width,
// the flags add the fields a generation has.
QList<FieldDef> traineeFields(int kzicl, bool typeOb, bool contact, bool snilsAndForm) {
    QList<FieldDef> f{Auto(), N("KZajavki"), A("Name1", 25), A("Name2", 25), A("Name3", 25),
                      A("KZicl", kzicl), A("VidOb", 2)};
    if (typeOb)
        f << A("TypeOb", 1);
    f << S("Hours") << S("KV") << D("DR") << I("KDoljn") << I("KSpez") << N("StajOb") << N("StajDoljn")
      << S("Year") << I("KodPersonal") << A("PR", 1);
    if (contact)
        f << A("EMAIL", 100) << D("DateCl") << A("Specialty", 150);
    if (snilsAndForm)
        f << A("SNILS", 14) << A("FOBUCH", 5);
    return f;
}

const IndexDef kByApplication{QStringLiteral("ind_KZajavki_Year"), {"KZajavki", "Year"}};

QList<TableLayout> buildAll() {
    return {
        table("Personal.DB",
              {Auto(), A("Name1", 25), A("Name2", 25), A("Name3", 25), D("DR"), I("KDoljn"),
               A("NDoljn", 100), I("KSpez"), A("NSpez", 100), S("StajOb"), S("StajDoljn"), A("PR", 1)},
              {{"ind_FIO", {"Name1", "Name2", "Name3"}}}),
        table("Trained.db",
              {Auto(), A("KZicl", 6), A("VidOb", 2), S("Hours"), S("Year"), I("Kod_Personal"),
               A("TypeOb", 1)},
              {{"ind_Kod_Personal", {"Kod_Personal"}}}),
        table("Sertif.db", {Auto(), D("DateCL"), A("Name", 150), I("PersonalKOD")},
              {{"ind_PersonalKOD", {"PersonalKOD"}}}),
        table("PEREMAIL.db", {Auto(), A("EMAIL", 100), I("PersonalKOD")},
              {{"ind_PersonalKOD", {"PersonalKOD"}}}),
        table("PERSNILS.db", {Auto(), A("SNILS", 14), I("PersonalKOD")},
              {{"ind_PersonalKOD", {"PersonalKOD"}}}),
        table("DOLJNOST.DB", {I("KDoljn"), A("NDoljn", 100)}),
        table("SPEZ.DB", {I("KSpez"), A("NSpez", 100)}),
        table("Specialty.DB", {Auto(), A("Name", 150)}),
        table("Config.db",
              {A("NLPU", 200), A("Boss", 25), A("User", 25), A("Phone", 11), S("KZajavki")}),
        table("LPUDETAILS.db",
              {Auto(), A("ADRESS", 250), A("INN", 15), A("KPP", 15), A("BIK", 15), A("RCH", 20),
               A("LCH", 20), A("BANK", 250)}),
        table("NewZicl2023.db", catalogueFields(), {{"ind_RealZicl_Hours", {"RealZicl", "Hours"}}}),
        table("NewZicl2021.DB", catalogueFields()),
        table("Zajavki.DB", applicationFields()),
        table("Zajavki2021.db", applicationFields()),
        table("Zajavki2023.db", applicationFields()),
        table("Sluch.DB", traineeFields(6, true, false, false), {kByApplication}),
        table("Sluch2021.db", traineeFields(15, true, true, false), {kByApplication}),
        table("Sluch2023.db", traineeFields(15, false, true, true), {kByApplication}),
        table("SLSertif.db", {Auto(), D("DateCL"), A("Name", 150), I("PersonalKOD")},
              {{"ind_PersonalKOD", {"PersonalKOD"}}}),
        table("SLUCHEMAIL.db", {Auto(), A("EMAIL", 100), I("SLUCHKOD")}, {{"ind_PersonalKOD", {"SLUCHKOD"}}}),
        table("SLUCHSNILS.db", {Auto(), A("SNILS", 14), I("SLUCHKOD")}, {{"ind_PersonalKOD", {"SLUCHKOD"}}}),
        table("TempZ.DB",
              {N("Zajavka"), A("Name1", 25), A("Name2", 25), A("Name3", 25), A("Zicl", 6), A("TypeOb", 1),
               S("Kv"), D("DataRojd"), S("Doljn"), S("Spez"), N("Stajg"), N("StajgZ"), S("Year"),
               S("YearObr"), A("BazaObr", 10), A("ZiclObr", 6), A("TypeObObr", 1), A("VidOb", 2),
               S("Hours"), D("DateCL"), A("Specialty", 150), A("EMAIL", 100)}),
        table("TempZ2023.db",
              {N("Zajavka"), A("Name1", 25), A("Name2", 25), A("Name3", 25), A("Zicl", 15), S("Kv"), D("DR"),
               S("Doljn"), S("Spez"), N("Stajg"), N("StajgZ"), S("Year"), A("VidOb", 2), S("Hours"),
               D("DateCL"), A("Specialty", 150), A("EMAIL", 100), A("SNILS", 14), A("FOBUCH", 5)}),
    };
}

} // namespace

namespace layouts {

const QList<TableLayout>& all() {
    static const QList<TableLayout> tables = buildAll();
    return tables;
}

const TableLayout* find(const QString& name) {
    for (const TableLayout& t : all())
        if (t.sqlName.compare(name, Qt::CaseInsensitive) == 0 || t.fileName.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const TableLayout& tempZ2023() { return *find(QStringLiteral("TempZ2023")); }
const TableLayout& tempZ() { return *find(QStringLiteral("TempZ")); }

} // namespace layouts
