#include "data/Layout.h"

#include "data/FieldNames.h"

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
    case FieldType::AutoInc:
        return QStringLiteral("+");
    case FieldType::Alpha:
        return QStringLiteral("A %1").arg(field.size);
    case FieldType::Short:
        return QStringLiteral("S");
    case FieldType::Long:
        return QStringLiteral("I");
    case FieldType::Number:
        return QStringLiteral("N");
    case FieldType::Date:
        return QStringLiteral("D");
    case FieldType::Memo:
        return QStringLiteral("M %1").arg(field.size);
    }
    return {};
}

QString sqlType(const FieldDef& field) {
    switch (field.type) {
    case FieldType::AutoInc:
        return QStringLiteral("INTEGER");
    case FieldType::Alpha:
        return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::Short:
        return QStringLiteral("SMALLINT");
    case FieldType::Long:
        return QStringLiteral("INTEGER");
    case FieldType::Number:
        return QStringLiteral("DOUBLE");
    case FieldType::Date:
        return QStringLiteral("DATE");
    case FieldType::Memo:
        return QStringLiteral("TEXT");
    }
    return {};
}

IntegerRange integerRange(FieldType type) {
    if (type == FieldType::Short)
        return {INT16_MIN, INT16_MAX};
    return {INT32_MIN, INT32_MAX};
}

namespace {

FieldDef A(const QString& n, int size) {
    return {n, FieldType::Alpha, size};
}
FieldDef M(const QString& n, int size) {
    return {n, FieldType::Memo, size};
}
FieldDef S(const QString& n) {
    return {n, FieldType::Short, 0};
}
FieldDef I(const QString& n) {
    return {n, FieldType::Long, 0};
}
FieldDef N(const QString& n) {
    return {n, FieldType::Number, 0};
}
FieldDef D(const QString& n) {
    return {n, FieldType::Date, 0};
}
FieldDef Auto() {
    return {fld::NPP, FieldType::AutoInc, 0};
}

TableLayout table(const char* file, QList<FieldDef> fields, QList<IndexDef> indexes = {}) {
    TableLayout t;
    t.fileName = QString::fromLatin1(file);
    t.sqlName = QFileInfo(t.fileName).completeBaseName();
    t.fields = std::move(fields);
    t.indexes = std::move(indexes);
    return t;
}

QList<FieldDef> catalogueFields() {
    return {Auto(),        A(fld::KZicl, 15),     A(fld::VidOb, 2),          A(fld::TypeOb, 1),
            S(fld::Hours), A(fld::NZicl, 250),    A(fld::Contingent, 250),   N(fld::RealZicl),
            S(fld::Year),  A(fld::SPECIALY, 255), M(fld::ADDSPECIALTY, 150), A(fld::FOBUCH, 5)};
}

QList<FieldDef> applicationFields() {
    return {Auto(), N(fld::KZajavki), S(fld::Year)};
}

// The trainee tables of the three generations share most fields; `kzicl` is the code width,
// the flags add the fields a generation has.
QList<FieldDef> traineeFields(int kzicl, bool typeOb, bool contact, bool snilsAndForm) {
    QList<FieldDef> f{Auto(),
                      N(fld::KZajavki),
                      A(fld::Name1, 25),
                      A(fld::Name2, 25),
                      A(fld::Name3, 25),
                      A(fld::KZicl, kzicl),
                      A(fld::VidOb, 2)};
    if (typeOb)
        f << A(fld::TypeOb, 1);
    f << S(fld::Hours) << S(fld::KV) << D(fld::DR) << I(fld::KDoljn) << I(fld::KSpez) << N(fld::StajOb)
      << N(fld::StajDoljn) << S(fld::Year) << I(fld::KodPersonal) << A(fld::PR, 1);
    if (contact)
        f << A(fld::EMAIL, 100) << D(fld::DateCl) << A(fld::Specialty, 150);
    if (snilsAndForm)
        f << A(fld::SNILS, 14) << A(fld::FOBUCH, 5);
    return f;
}

const IndexDef kByApplication{QStringLiteral("ind_KZajavki_Year"), {fld::KZajavki, fld::Year}};

QList<TableLayout> buildAll() {
    return {
        table("Personal.DB",
              {Auto(), A(fld::Name1, 25), A(fld::Name2, 25), A(fld::Name3, 25), D(fld::DR), I(fld::KDoljn),
               A(fld::NDoljn, 100), I(fld::KSpez), A(fld::NSpez, 100), S(fld::StajOb), S(fld::StajDoljn),
               A(fld::PR, 1)},
              {{"ind_FIO", {fld::Name1, fld::Name2, fld::Name3}}}),
        table("Trained.db",
              {Auto(), A(fld::KZicl, 6), A(fld::VidOb, 2), S(fld::Hours), S(fld::Year), I(fld::Kod_Personal),
               A(fld::TypeOb, 1)},
              {{"ind_Kod_Personal", {fld::Kod_Personal}}}),
        table("Sertif.db", {Auto(), D(fld::DateCL), A(fld::Name, 150), I(fld::PersonalKOD)},
              {{"ind_PersonalKOD", {fld::PersonalKOD}}}),
        table("PEREMAIL.db", {Auto(), A(fld::EMAIL, 100), I(fld::PersonalKOD)},
              {{"ind_PersonalKOD", {fld::PersonalKOD}}}),
        table("PERSNILS.db", {Auto(), A(fld::SNILS, 14), I(fld::PersonalKOD)},
              {{"ind_PersonalKOD", {fld::PersonalKOD}}}),
        table("DOLJNOST.DB", {I(fld::KDoljn), A(fld::NDoljn, 100)}),
        table("SPEZ.DB", {I(fld::KSpez), A(fld::NSpez, 100)}),
        table("Specialty.DB", {Auto(), A(fld::Name, 150)}),
        table("Config.db",
              {A(fld::NLPU, 200), A(fld::Boss, 25), A(fld::User, 25), A(fld::Phone, 11), S(fld::KZajavki)}),
        table("LPUDETAILS.db", {Auto(), A(fld::ADRESS, 250), A(fld::INN, 15), A(fld::KPP, 15),
                                A(fld::BIK, 15), A(fld::RCH, 20), A(fld::LCH, 20), A(fld::BANK, 250)}),
        table("NewZicl2023.db", catalogueFields(), {{"ind_RealZicl_Hours", {fld::RealZicl, fld::Hours}}}),
        table("NewZicl2021.DB", catalogueFields()),
        table("Zajavki.DB", applicationFields()),
        table("Zajavki2021.db", applicationFields()),
        table("Zajavki2023.db", applicationFields()),
        table("Sluch.DB", traineeFields(6, true, false, false), {kByApplication}),
        table("Sluch2021.db", traineeFields(15, true, true, false), {kByApplication}),
        table("Sluch2023.db", traineeFields(15, false, true, true), {kByApplication}),
        table("SLSertif.db", {Auto(), D(fld::DateCL), A(fld::Name, 150), I(fld::PersonalKOD)},
              {{"ind_PersonalKOD", {fld::PersonalKOD}}}),
        table("SLUCHEMAIL.db", {Auto(), A(fld::EMAIL, 100), I("SLUCHKOD")},
              {{"ind_PersonalKOD", {"SLUCHKOD"}}}),
        table("SLUCHSNILS.db", {Auto(), A(fld::SNILS, 14), I("SLUCHKOD")},
              {{"ind_PersonalKOD", {"SLUCHKOD"}}}),
        table("TempZ.DB", {N("Zajavka"),      A(fld::Name1, 25), A(fld::Name2, 25),
                           A(fld::Name3, 25), A("Zicl", 6),      A(fld::TypeOb, 1),
                           S("Kv"),           D("DataRojd"),     S("Doljn"),
                           S("Spez"),         N("Stajg"),        N("StajgZ"),
                           S(fld::Year),      S("YearObr"),      A("BazaObr", 10),
                           A("ZiclObr", 6),   A("TypeObObr", 1), A(fld::VidOb, 2),
                           S(fld::Hours),     D(fld::DateCL),    A(fld::Specialty, 150),
                           A(fld::EMAIL, 100)}),
        table("TempZ2023.db",
              {N("Zajavka"), A(fld::Name1, 25), A(fld::Name2, 25), A(fld::Name3, 25), A("Zicl", 15), S("Kv"),
               D(fld::DR), S("Doljn"), S("Spez"), N("Stajg"), N("StajgZ"), S(fld::Year), A(fld::VidOb, 2),
               S(fld::Hours), D(fld::DateCL), A(fld::Specialty, 150), A(fld::EMAIL, 100), A(fld::SNILS, 14),
               A(fld::FOBUCH, 5)}),
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
        if (t.sqlName.compare(name, Qt::CaseInsensitive) == 0 ||
            t.fileName.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const TableLayout& tempZ2023() {
    return *find(QStringLiteral("TempZ2023"));
}
const TableLayout& tempZ() {
    return *find(QStringLiteral("TempZ"));
}

} // namespace layouts
