#include "data/DataModule.h"

#include "core/PersonName.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DbError.h"
#include "data/ServiceYears.h"
#include "data/Store.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
const QString kDateMask = QStringLiteral("!99/99/0000;1;_");
}

DataModule::DataModule(Store& store, SharedState& state, Prompter& prompter, QObject* parent)
    : QObject(parent), store_(store), state_(state), prompter_(prompter) {
    setObjectName(QStringLiteral("DM"));

    tblPersonal = addTable(&dtsPersonal, "tblPersonal", "Personal.DB", "dtsPersonal", "ind_FIO");
    tblTrained = addTable(&dtsTrained, "tblTrained", "Trained.db", "dtsTrained", "ind_Kod_Personal",
                          dtsPersonal, "NPP");
    tblSertif =
        addTable(&dtsSertif, "tblSertif", "Sertif.db", "dtsSertif", "ind_PersonalKOD", dtsPersonal, "NPP");
    tblPerEmail = addTable(&dtsPerEmail, "tblPerEmail", "PEREMAIL.db", "dtsPerEmail", "ind_PersonalKOD",
                           dtsPersonal, "NPP");
    tblPerSnils = addTable(&dtsPerSnils, "tblPerSnils", "PERSNILS.db", "dtsPerSnils", "ind_PersonalKOD",
                           dtsPersonal, "NPP");
    tblDoljn = addTable(&dtsDoljn, "tblDoljn", "DOLJNOST.DB", "dtsDoljn");
    tblSpez = addTable(&dtsSpez, "tblSpez", "SPEZ.DB", "dtsSpez");
    tblSpecialty = addTable(&dtsSpecialty, "tblSpecialty", "Specialty.DB", "dtsSpecialty");
    tblNewZicl = addTable(&dtsNewZicl, "tblNewZicl", "NewZicl2023.db", "dtsNewZicl", "ind_RealZicl_Hours");
    tblConfig = addTable(&dtsConfig, "tblConfig", "Config.db", "dtsConfig");
    tblLPUDETAILS = addTable(&dtsLPUDetails, "tblLPUDETAILS", "LPUDETAILS.db", "dtsLPUDetails");
    tblZajavki = addTable(&dtsZajavki, "tblZajavki", "Zajavki.DB", "dtsZajavki");
    tblSluch = addTable(&dtsSluch, "tblSluch", "Sluch.DB", "dtsSluch", "ind_KZajavki_Year", dtsZajavki,
                        "KZajavki;Year");
    tblSLSertif = addTable(&dtsSLSertif, "tblSLSertif", "SLSertif.db", "dtsSLSertif", "ind_PersonalKOD",
                           dtsSluch, "NPP");
    tblSlEmail = addTable(&dtsSlEmail, "tblSlEmail", "SLUCHEMAIL.db", "dtsSlEmail", "ind_PersonalKOD",
                          dtsSluch, "NPP");
    tblZajavki2021 = addTable(&dtsZajavki2021, "tblZajavki2021", "Zajavki2021.db", "dtsZajavki2021");
    tblSluch2021 = addTable(&dtsSluch2021, "tblSluch2021", "Sluch2021.db", "dtsSluch2021",
                            "ind_KZajavki_Year", dtsZajavki2021, "KZajavki;Year");
    tblSluchSnils = addTable(&dtsSluchSnils, "tblSluchSnils", "SLUCHSNILS.db", "dtsSluchSnils",
                             "ind_PersonalKOD", dtsSluch2021, "NPP");
    tblZajavki2023 = addTable(&dtsZajavki2023, "tblZajavki2023", "Zajavki2023.db", "dtsZajavki2023");
    tblSluch2023 = addTable(&dtsSluch2023, "tblSluch2023", "Sluch2023.db", "dtsSluch2023",
                            "ind_KZajavki_Year", dtsZajavki2023, "KZajavki;Year");
    tblTempZ = addTable(&dtsTempZ, "tblTempZ", "TempZ.DB", "dtsTempZ");
    tblTempZ2023 = addTable(&dtsTempZ2023, "tblTempZ2023", "TempZ2023.db", "dtsTempZ2023");
    tblZISCH = new FileTable(QStringLiteral("tblZISCH"), layouts::tempZ2023(), this);
    dtsZISCH = new DataSource(QStringLiteral("dtsZISCH"), tblZISCH, this);
    datasets_ << tblZISCH;
    sources_ << dtsZISCH;

    // Field settings that shape input and display.
    tblPersonal->field(fld::DR).editMask = kDateMask;
    tblSluch->field(fld::DR).editMask = kDateMask;
    tblSLSertif->field(fld::DateCL).editMask = kDateMask;
    tblSLSertif->field(fld::DateCL).displayFormat = QStringLiteral("dd.mm.yyyy");
    // The telephone is typed the way people write it and kept as its digits, which fit the field.
    Field& phone = tblConfig->field(fld::Phone);
    phone.fromTyped = [](const QString& typed) {
        static const QRegularExpression punctuation(QStringLiteral("[\\s()+.\\-]"));
        QString digits = typed;
        digits.remove(punctuation);
        return digits.contains(QRegularExpression(QStringLiteral("\\D"))) ? typed.trimmed() : digits;
    };
    phone.shown = [](const QVariant& kept) {
        const QString d = kept.toString();
        static const QRegularExpression eleven(QStringLiteral("^\\d{11}$"));
        if (!eleven.match(d).hasMatch())
            return d;
        return QStringLiteral("%1 (%2) %3-%4-%5")
            .arg(d.left(1), d.mid(1, 3), d.mid(4, 3), d.mid(7, 2), d.mid(9, 2));
    };
    phone.typedWidth = 20;

    // Years of service, counted from the start years against the start-up year.
    tblPersonal->addCalculatedField(QStringLiteral("StajO1"), FieldType::Short);
    tblPersonal->addCalculatedField(QStringLiteral("StajD1"), FieldType::Short);
    tblPersonal->onCalcFields = [this](Dataset& ds) { calcServiceYears(ds); };

    // The positions search: find first / find next accept rows by this routine.
    tblDoljn->onFilterRecord = [this](Dataset& ds) { return doljnMatches(ds); };

    for (Table* t : {tblPersonal, tblTrained, tblSertif, tblZajavki, tblSluch, tblSluch2021, tblSluch2023})
        t->beforeDelete = [this](Dataset& ds) { confirmDelete(ds); };

    qrMZajavki2023 = addMaxQuery(QStringLiteral("qrMZajavki2023"), QStringLiteral("Zajavki2023"));
    qrMZajavki2021 = addMaxQuery(QStringLiteral("qrMZajavki2021"), QStringLiteral("Zajavki2021"));
    qrMZajavki = addMaxQuery(QStringLiteral("qrMZajavki"), QStringLiteral("Zajavki"));

    qZajavki2021 =
        addApplicationList(&dtsqZajavki2021, QStringLiteral("qZajavki2021"), QStringLiteral("Zajavki2021"));
    qZajavki = addApplicationList(&dtsqZajavki, QStringLiteral("qZajavki"), QStringLiteral("Zajavki"));
    qZajavki2023 =
        addApplicationList(&dtsqZajavki2023, QStringLiteral("qZajavki2023"), QStringLiteral("Zajavki2023"));

    qNewZicl = new Query(store_, QStringLiteral("qNewZicl"), this);
    qNewZicl->setCaptionTable(QStringLiteral("NewZicl2023"));
    for (const FieldDef& f : layouts::find(QStringLiteral("NewZicl2023"))->fields)
        qNewZicl->addField(f.name, f.type == FieldType::AutoInc ? FieldType::Long : f.type, f.size);
    qNewZicl->setSql(defaultNewZiclSql());
    datasets_ << qNewZicl;
    dtsQNewZICL2021 = new DataSource(QStringLiteral("dtsQNewZICL2021"), qNewZicl, this);
    sources_ << dtsQNewZICL2021;

    for (Dataset* ds : datasets_)
        for (int i = 0; i < ds->fieldCount(); ++i)
            fields_.insert(ds->field(i).objectName(), &ds->field(i));
    showUnknownValuesEmpty();
    store_.watchChanges([this](const QStringList& tables) { showChangesOfOthers(tables); });
}

DataModule::~DataModule() {
    store_.watchChanges({});
}

// Tables other users changed are read again where they are open: the current row stays current
// while it exists, and a table whose row is being edited is left alone (its save checks the row's
// version instead).
void DataModule::showChangesOfOthers(const QStringList& tables) {
    for (Dataset* ds : datasets_) {
        auto* t = qobject_cast<Table*>(ds);
        if (t && t->isActive() && !t->isEditing() && tables.contains(t->layout().sqlName.toLower()))
            t->reread();
    }
}

// Grids and boxes show no value where the stored one only stands for "unknown": the zero date an
// empty birth date is copied as, and the years of service counted from no start year. What is
// stored, copied and exported stays as it is.
void DataModule::showUnknownValuesEmpty() {
    for (Dataset* ds : datasets_)
        for (int i = 0; i < ds->fieldCount(); ++i)
            if (ds->field(i).type() == FieldType::Date)
                ds->field(i).showsEmpty = Field::isZeroDate;
    const auto unknownYears = [](const QVariant& v) { return serviceYearsUnknown(v.toDouble()); };
    const std::pair<Dataset*, QStringList> serviceYears[] = {
        {tblPersonal, {QStringLiteral("StajO1"), QStringLiteral("StajD1")}},
        {tblSluch, {QStringLiteral("StajOb"), QStringLiteral("StajDoljn")}},
        {tblSluch2021, {QStringLiteral("StajOb"), QStringLiteral("StajDoljn")}},
        {tblSluch2023, {QStringLiteral("StajOb"), QStringLiteral("StajDoljn")}},
        {tblTempZ, {QStringLiteral("Stajg"), QStringLiteral("StajgZ")}},
        {tblTempZ2023, {QStringLiteral("Stajg"), QStringLiteral("StajgZ")}},
        {tblZISCH, {QStringLiteral("Stajg"), QStringLiteral("StajgZ")}},
    };
    for (const auto& [ds, names] : serviceYears)
        for (const QString& name : names)
            ds->field(name).showsEmpty = unknownYears;
    // A SNILS saved with no digit typed is kept as its separators: it shows empty.
    const auto noDigits = [](const QVariant& v) {
        const QString s = v.toString();
        return std::none_of(s.cbegin(), s.cend(), [](QChar c) { return c.isDigit(); });
    };
    for (Dataset* ds : {static_cast<Dataset*>(tblPerSnils), static_cast<Dataset*>(tblSluchSnils),
                        static_cast<Dataset*>(tblSluch2023)})
        ds->field(fld::SNILS).showsEmpty = noDigits;
}

Dataset::ConflictChoice DataModule::askAboutConflict(const RowConflict& conflict) {
    const Prompter::Answer answer = prompter_.ask(
        QStringLiteral("Запись изменена другим пользователем"),
        conflict.message() +
            QStringLiteral("\n\nДа — сохранить ваши изменения поверх.\nНет — показать запись такой, "
                           "какой её сохранил другой пользователь (ваши изменения не сохранятся).\n"
                           "Отмена — вернуться к правке, ничего не сохраняя."),
        Prompter::Icon::Warning, Prompter::Buttons::YesNoCancel);
    return answer == Prompter::Answer::Yes  ? Dataset::ConflictChoice::SaveMine
           : answer == Prompter::Answer::No ? Dataset::ConflictChoice::ShowTheirs
                                            : Dataset::ConflictChoice::KeepEditing;
}

Table* DataModule::addTable(DataSource** dataSource, const QString& name, const QString& file,
                            const QString& source, const QString& index, DataSource* master,
                            const QString& masterFields) {
    auto* t = new Table(store_, name, file, this);
    t->onConflict = [this](Dataset&, const RowConflict& conflict) { return askAboutConflict(conflict); };
    if (!index.isEmpty())
        t->setIndexName(index);
    if (master)
        t->setMasterSource(master, masterFields);
    *dataSource = new DataSource(source, t, this);
    datasets_ << t;
    sources_ << *dataSource;
    return t;
}

Query* DataModule::addMaxQuery(const QString& name, const QString& table) {
    auto* q = new Query(store_, name, this);
    q->setCaptionTable(table);
    q->addField(QStringLiteral("MAXZAJAVKI"), FieldType::Number);
    q->setSql({QStringLiteral("SELECT MAX(KZajavki) AS MAXZAJAVKI"), QStringLiteral("FROM \"%1\"").arg(table),
               QStringLiteral("WHERE \"Year\" = :p_year")});
    datasets_ << q;
    return q;
}

Query* DataModule::addApplicationList(DataSource** dataSource, const QString& name, const QString& table) {
    auto* q = new Query(store_, name, this);
    q->setCaptionTable(table);
    q->addField(QStringLiteral("NPP"), FieldType::Long);
    q->addField(QStringLiteral("KZajavki"), FieldType::Number);
    q->addField(QStringLiteral("Year"), FieldType::Short);
    q->setSql({QStringLiteral("SELECT NPP, KZajavki, \"Year\""), QStringLiteral("FROM \"%1\"").arg(table),
               QStringLiteral("WHERE \"Year\" >= :p_year"), QStringLiteral("ORDER BY NPP")});
    datasets_ << q;
    *dataSource = new DataSource(QStringLiteral("dtsq") + table, q, this);
    sources_ << *dataSource;
    return q;
}

QStringList DataModule::defaultNewZiclSql() {
    return {QStringLiteral("SELECT * FROM NewZicl2023"), QStringLiteral("ORDER BY RealZicl, \"Year\", NPP")};
}

void DataModule::openAllTables() {
    for (Dataset* ds : datasets_)
        if (qobject_cast<Table*>(ds))
            ds->open();
}

Field& DataModule::field(const QString& objectName) const {
    Field* f = fields_.value(objectName);
    if (!f)
        throw DbError(QStringLiteral("Ошибка программы: поле %1 не найдено в модуле данных").arg(objectName));
    return *f;
}

Dataset* DataModule::dataset(const QString& objectName) const {
    for (Dataset* ds : datasets_)
        if (ds->objectName() == objectName)
            return ds;
    return nullptr;
}

DataSource* DataModule::dataSource(const QString& objectName) const {
    for (DataSource* s : sources_)
        if (s->objectName() == objectName)
            return s;
    return nullptr;
}

void DataModule::reloadNewZicl(const QStringList& sql, const QHash<QString, QVariant>& params) {
    qNewZicl->close();
    qNewZicl->setSql(sql);
    qNewZicl->clearParams();
    for (auto it = params.begin(); it != params.end(); ++it)
        qNewZicl->setParam(it.key(), it.value());
    qNewZicl->open();
    qNewZicl->last();
    qNewZicl->first();
}

double DataModule::maxApplicationNumber(Query& maxQuery, int year) {
    maxQuery.close();
    maxQuery.setParam(QStringLiteral("p_year"), year);
    maxQuery.open();
    const double value = maxQuery.field(QStringLiteral("MAXZAJAVKI")).asFloat();
    maxQuery.close();
    return value;
}

QString DataModule::deletionQuestion(Dataset& ds) const {
    const auto text = [&](const char* name) {
        const Field* f = ds.findField(QString::fromLatin1(name));
        return f ? f->displayText().trimmed() : QString();
    };
    const auto person = [&] { return surnameAndInitials(text("Name1"), text("Name2"), text("Name3")); };
    if (&ds == tblPersonal)
        return QStringLiteral("Удалить сотрудника %1?").arg(person());
    if (&ds == tblSertif) {
        const QString until = text("DateCL");
        return QStringLiteral("Удалить сертификат «%1»%2?")
            .arg(text("Name"), until.isEmpty() ? QString() : QStringLiteral(" (действует до %1)").arg(until));
    }
    if (&ds == tblTrained)
        return QStringLiteral("Удалить запись о переподготовке по программе %1 (%2 год)?")
            .arg(text("KZicl"), text("Year"));
    if (ds.findField(fld::Name1) && ds.findField(fld::KZajavki))
        return QStringLiteral("Удалить слушателя %1 из заявки № %2 за %3 год?")
            .arg(person(), text("KZajavki"), text("Year"));
    if (ds.findField(fld::KZajavki))
        return QStringLiteral("Удалить заявку № %1 за %2 год?").arg(text("KZajavki"), text("Year"));
    return QStringLiteral("Удалить текущую запись?");
}

void DataModule::confirmDelete(Dataset& ds) {
    if (state_.SilentDelete)
        return;
    if (!prompter_.confirmDeleting(deletionQuestion(ds)))
        throw AbortAction();
}

void DataModule::calcServiceYears(Dataset& ds) {
    // Years of service are counted from the start year; without one there are none to count (not
    // the year itself, which would reach trainee rows and the training centre as years served).
    const int year = state_.CurYear;
    for (auto [years, start] : {std::pair{"StajO1", "StajOb"}, std::pair{"StajD1", "StajDoljn"}}) {
        const Field& from = ds.field(QString::fromLatin1(start));
        Field& to = ds.field(QString::fromLatin1(years));
        if (from.isNull())
            to.clear();
        else
            to.setAsInteger(year - from.asInteger());
    }
}

bool DataModule::doljnMatches(Dataset& ds) {
    if (doljnSearchText.isEmpty())
        return false;
    const QString wanted = QLocale().toUpper(doljnSearchText);
    return ds.field(fld::NDoljn).asString().contains(wanted, Qt::CaseSensitive);
}
