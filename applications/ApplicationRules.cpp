#include "applications/ApplicationRules.h"

#include "core/PersonName.h"
#include "core/Plural.h"

#include "core/Prompter.h"
#include "core/SharedState.h"
#include "core/UserError.h"
#include "data/DataModule.h"
#include "data/FieldNames.h"
#include "data/Query.h"
#include "data/Store.h"
#include "data/Table.h"

#include <QLocale>
#include <QRegularExpression>

#include <exception>

namespace applications {

QString countLine(const DataModule& dm, const Generation& g) {
    const Table& t = g.traineesTable(dm);
    return QStringLiteral("заявлено - %1").arg(t.isActive() ? t.recordCount() : 0);
}

QStringList catalogueSql(const Generation& g, bool upToYear) {
    // Earlier years' programmes come after the year's own, newest first.
    return {QStringLiteral("SELECT * FROM \"%1\" WHERE \"Year\" %2 :p_year")
                .arg(g.catalogue, upToYear ? "<=" : "="),
            upToYear ? QStringLiteral("ORDER BY \"Year\" DESC, RealZicl, NPP")
                     : QStringLiteral("ORDER BY RealZicl, NPP")};
}

double additionalNumber(const DataModule& dm, const Generation& g, int year, bool* noMain) {
    const double highest = const_cast<DataModule&>(dm).maxApplicationNumber(g.maxQueryOf(dm), year);
    if (noMain)
        *noMain = highest == 0;
    const double base = highest != 0 ? highest : double(dm.tblConfig->field(fld::KZajavki).asInteger());
    // The number travels through its text form (as the confirmation shows it), which also
    // rounds away the binary remainder of adding 0.01.
    return QString::number(base + 0.01, 'g', 15).toDouble();
}

bool locateApplication(const DataModule& dm, const Generation& g, double number, int year) {
    return g.applicationsTable(dm).locate(QStringLiteral("KZajavki;Year"), {number, year});
}

namespace {
bool numberTaken(Store& store, const Table& apps, double number, int year) {
    auto st = store.cached(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE KZajavki = ? AND \"Year\" = ?")
                               .arg(apps.layout().sqlName));
    st->bind(1, number);
    st->bind(2, year);
    st->step();
    return st->int64(0) > 0;
}
// Inside a transaction: the current application of `g` still exists, and stays so until the
// transaction ends, for another clerk deleting it waits for the year's numbering meanwhile.
void holdApplication(const DataModule& dm, const Generation& g) {
    const Table& apps = g.applicationsTable(dm);
    const double number = apps.field(fld::KZajavki).asFloat();
    const int year = int(apps.field(fld::Year).asInteger());
    dm.store().lockNumbering(apps.layout().sqlName, year);
    if (!numberTaken(dm.store(), apps, number, year))
        throw UserError(QStringLiteral("Заявку № %1 на %2 год удалил другой пользователь; слушатели в неё не "
                                       "добавлены. Закройте окно заявок и откройте его снова.")
                            .arg(formatNumber(number))
                            .arg(year));
}

} // namespace

double createApplication(const DataModule& dm, const Generation& g, double number, int year,
                         bool supplementary) {
    Table& apps = g.applicationsTable(dm);
    Store& store = dm.store();
    Store::Transaction transaction(store);
    store.lockNumbering(apps.layout().sqlName, year);
    if (numberTaken(store, apps, number, year)) {
        if (!supplementary)
            throw UserError(
                QStringLiteral("Заявка № %1 на %2 год уже есть: её только что создал другой пользователь.")
                    .arg(formatNumber(number))
                    .arg(year));
        number = additionalNumber(dm, g, year, nullptr);
    }
    apps.append();
    try {
        apps.field(fld::KZajavki).setAsFloat(number);
        apps.field(fld::Year).setAsInteger(year);
        apps.post();
    } catch (...) {
        apps.cancel();
        throw;
    }
    transaction.commit();
    return number;
}

QString yearRefusal(const Generation& g, int year) {
    if (g.years.latest != 0 && year > g.years.latest)
        return QStringLiteral("Заявки создаются только по %1 год!").arg(g.years.latest);
    return {};
}

std::optional<int> parseQuarter(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*([1-4])\\s*$"));
    const auto m = whole.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

bool quarterAccepted(const Field& quarter) {
    return quarter.isNull() || (quarter.asInteger() >= 1 && quarter.asInteger() <= 4);
}

bool isMarked(const QVariant& pr) {
    return pr.toString() == QStringLiteral("X");
}

namespace {

// Shows only the marked people while alive; the register's filter is off again afterwards,
// whatever happens.
class MarkedView {
public:
    explicit MarkedView(Table& people) : people_(people) {
        people_.setFilter(QStringLiteral("([PR]= 'X')"));
        people_.setFiltered(true);
    }
    ~MarkedView() {
        try {
            people_.setFiltered(false);
        } catch (...) {
        }
    }

private:
    Table& people_;
};

// Drops the rows the work over the tables left half-written when it ends in an error, details
// before their masters. Declared after the transaction, it runs before the rollback, which then
// reads every table again: a detail still holding a new row would otherwise post it when its
// master is read again, outside the transaction.
class DropEditsOnFailure {
public:
    explicit DropEditsOnFailure(QList<Table*> tables)
        : tables_(std::move(tables)), exceptions_(std::uncaught_exceptions()) {}
    ~DropEditsOnFailure() {
        if (std::uncaught_exceptions() <= exceptions_)
            return;
        for (auto it = tables_.rbegin(); it != tables_.rend(); ++it) {
            try {
                (*it)->cancel();
            } catch (...) {
            }
        }
    }

private:
    QList<Table*> tables_;
    int exceptions_;
};

// The generation's tables an operation on trainees writes, masters first.
QList<Table*> traineeTables(const DataModule& dm, const Generation& g, bool withApplications) {
    QList<Table*> tables;
    if (withApplications)
        tables << &g.applicationsTable(dm);
    return tables << &g.traineesTable(dm) << g.detailTables(dm);
}

} // namespace

void clearMarks(const DataModule& dm) {
    Table& people = *dm.tblPersonal;
    Store::Transaction transaction(dm.store());
    {
        MarkedView marked(people);
        people.first();
        // Each cleared row leaves the filtered view and the next marked person becomes current.
        while (!people.eof()) {
            people.edit();
            people.field(fld::PR).clear();
            people.post();
        }
    }
    transaction.commit();
}

void toggleMark(const DataModule& dm) {
    Table& people = *dm.tblPersonal;
    if (people.isEmpty())
        return;
    const bool marked = isMarked(people.field(fld::PR).value());
    people.edit();
    people.field(fld::PR).setAsString(marked ? QStringLiteral(" ") : QStringLiteral("X"));
    people.post();
}

QString personKey(const QString& surname, const QString& name, const QString& patronymic,
                  const QDate& birth) {
    const bool dated = birth.isValid() && birth != Field::zeroDate();
    return surname + u'\x1f' + name + u'\x1f' + patronymic + u'\x1f' +
           (dated ? birth.toString(Qt::ISODate) : QString());
}

QStringList alreadyListed(const DataModule& dm, const Generation& g) {
    const Table& applications = g.applicationsTable(dm);
    if (applications.isEmpty())
        return {};
    const qint64 year = applications.field(fld::Year).asInteger();
    QHash<qint64, QList<double>> byNumber;
    QHash<QString, QList<double>> byName;
    const QString traineeTable = u'"' + g.traineesTable(dm).layout().sqlName + u'"';
    {
        auto st =
            dm.store().cached(QStringLiteral("SELECT KodPersonal, Name1, Name2, Name3, DR, KZajavki FROM %1 "
                                             "WHERE \"Year\" = ? ORDER BY KZajavki")
                                  .arg(traineeTable));
        st->bind(1, year);
        while (st->step()) {
            const double number = st->value(5, FieldType::Number).toDouble();
            if (!st->isNull(0))
                byNumber[st->int64(0)] << number;
            byName[personKey(
                st->value(1, FieldType::Alpha).toString(), st->value(2, FieldType::Alpha).toString(),
                st->value(3, FieldType::Alpha).toString(), st->value(4, FieldType::Date).toDate())]
                << number;
        }
    }
    QStringList lines;
    auto st = dm.store().cached(QStringLiteral(
        "SELECT NPP, Name1, Name2, Name3, DR FROM \"Personal\" WHERE PR = 'X' ORDER BY Name1, Name2, Name3"));
    while (st->step()) {
        const QString surname = st->value(1, FieldType::Alpha).toString();
        const QString name = st->value(2, FieldType::Alpha).toString();
        const QString patronymic = st->value(3, FieldType::Alpha).toString();
        QList<double> numbers =
            byNumber.value(st->int64(0)) +
            byName.value(personKey(surname, name, patronymic, st->value(4, FieldType::Date).toDate()));
        if (numbers.isEmpty())
            continue;
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        QStringList named;
        for (double n : numbers)
            named << QStringLiteral("№ ") + formatNumber(n);
        lines << QStringLiteral("%1 — в заявке %2")
                     .arg(surnameAndInitials(surname, name, patronymic), named.join(QStringLiteral(", ")));
    }
    return lines;
}

namespace {

// The marked people in the register's order, each with the first of their certificates, e-mails
// and SNILS rows (the ones the register shows beside the person): read in four statements, not
// person by person, for over a network every read is a round trip.
class MarkedPeople {
public:
    explicit MarkedPeople(const DataModule& dm) : people_(dm.store(), QStringLiteral("qMarkedPeople")) {
        const QString marked = QStringLiteral("FROM \"Personal\" WHERE PR = 'X'");
        for (const FieldDef& f : dm.tblPersonal->layout().fields)
            people_.addField(f.name, f.type == FieldType::AutoInc ? FieldType::Long : f.type, f.size);
        people_.setSql({QStringLiteral("SELECT * ") + marked + dm.tblPersonal->orderClause()});
        people_.open();
        details_[0].read(dm.store(), *dm.tblSertif, {fld::DateCL, fld::Name}, marked);
        details_[1].read(dm.store(), *dm.tblPerEmail, {fld::EMAIL}, marked);
        details_[2].read(dm.store(), *dm.tblPerSnils, {fld::SNILS}, marked);
    }
    int count() const { return people_.recordCount(); }
    // Makes the `row`th marked person current, with their first certificate, e-mail and SNILS.
    void moveTo(int row) {
        people_.moveTo(row);
        const qint64 npp = people_.field(fld::NPP).asInteger();
        for (Details& d : details_)
            d.current = d.firstOf.value(npp, -1);
    }
    Field& person(const char* name) { return people_.field(QString::fromLatin1(name)); }
    // The current person's first certificate's date (null without one) and name, e-mail, SNILS.
    QVariant certificateDate() { return detail(0, fld::DateCL).asDate(); }
    bool hasCertificateDate() { return details_[0].current >= 0 && !detail(0, fld::DateCL).isNull(); }
    QString certificateName() {
        return details_[0].current >= 0 ? detail(0, fld::Name).asString() : QString();
    }
    QString email() { return details_[1].current >= 0 ? detail(1, fld::EMAIL).asString() : QString(); }
    QString snils() { return details_[2].current >= 0 ? detail(2, fld::SNILS).asString() : QString(); }

private:
    struct Details {
        std::unique_ptr<Query> rows;
        QHash<qint64, int> firstOf; // the person's number → their first row
        int current = -1;

        // The rows of the register's detail `table` (linked by PersonalKOD) of every marked person,
        // in the detail's order.
        void read(Store& store, const Table& table, const QStringList& fields, const QString& marked) {
            rows = std::make_unique<Query>(store, QStringLiteral("qMarkedDetails"));
            rows->addField(fld::PersonalKOD, FieldType::Long);
            for (const QString& name : fields) {
                const FieldDef& f = table.layout().fields[table.layout().fieldIndex(name)];
                rows->addField(f.name, f.type, f.size);
            }
            rows->setSql({QStringLiteral("SELECT %1, %2 FROM \"%3\" WHERE %1 IN (SELECT NPP %4)%5")
                              .arg(fld::PersonalKOD, fields.join(QStringLiteral(", ")),
                                   table.layout().sqlName, marked, table.orderClause())});
            rows->open();
            for (int r = 0; r < rows->recordCount(); ++r) {
                rows->moveTo(r);
                const qint64 npp = rows->field(fld::PersonalKOD).asInteger();
                if (!firstOf.contains(npp))
                    firstOf.insert(npp, r);
            }
        }
    };
    Field& detail(int which, const QString& name) {
        Details& d = details_[which];
        d.rows->moveTo(std::max(d.current, 0));
        return d.rows->field(name);
    }

    Query people_;
    Details details_[3];
};

} // namespace

int addMarkedPeople(const DataModule& dm, const Generation& g, const SharedState& state, int quarter) {
    Table& trainees = g.traineesTable(dm);
    auto set = [&](const char* name, const QVariant& v) {
        trainees.field(QString::fromLatin1(name)).setValue(v);
    };

    Store::Transaction transaction(dm.store());
    holdApplication(dm, g);
    const DropEditsOnFailure dropEdits(traineeTables(dm, g, false));
    MarkedPeople marked(dm);
    auto person = [&](const char* name) -> Field& { return marked.person(name); };
    int added = 0;
    for (int i = 0; i < marked.count(); ++i) {
        marked.moveTo(i);
        trainees.append();
        // Programme, quarter, names, birth date, codes, years of service, certificate,
        // e-mail, SNILS: a snapshot through typed reads, so empty values become 0 or the zero date.
        set("KZicl", state.SelKZicl);
        set("VidOb", state.SelVidOb);
        if (g.programmeAttribute == QLatin1String("FOBUCH"))
            set("FOBUCH", state.SelFOBUCH);
        else
            set("TypeOb", state.SelTypeOb);
        set("Hours", state.SelHours);
        set("KV", quarter);
        set("Name1", person("Name1").asString());
        set("Name2", person("Name2").asString());
        set("Name3", person("Name3").asString());
        set("DR", person("DR").asDate());
        set("KDoljn", person("KDoljn").asInteger());
        set("KSpez", person("KSpez").asInteger());
        // Years of service as the register counts them from the start years; no start year, no
        // years of service: the row keeps them empty.
        for (auto [years, start] : {std::pair{"StajOb", "StajOb"}, std::pair{"StajDoljn", "StajDoljn"}})
            set(years, person(start).isNull() ? QVariant()
                                              : QVariant(double(state.CurYear - person(start).asInteger())));
        // A stored date counts, the zero date too, though grids show that one empty.
        const bool certificate = marked.hasCertificateDate();
        const QString certificateName = marked.certificateName();
        const QString email = marked.email();
        const QString snils = marked.snils();
        if (!g.certificateRows && certificate) {
            set("DateCl", marked.certificateDate());
            set("Specialty", certificateName);
        }
        if (!g.emailRows)
            set("EMAIL", email);
        if (g.snilsInRow)
            set("SNILS", snils);
        trainees.post();
        // The rows of the trainee's own, linked to it now that it is stored: the certificate
        // when the person's has a date, the e-mail and SNILS rows always.
        auto addDetail = [&](const BoundTable& details, const char* field, const QVariant& value,
                             const char* field2 = nullptr, const QVariant& value2 = {}) {
            Table& rows = *(dm.*details.table);
            rows.append();
            rows.field(QString::fromLatin1(field)).setValue(value);
            if (field2)
                rows.field(QString::fromLatin1(field2)).setValue(value2);
            rows.post();
        };
        if (g.certificateRows && certificate)
            addDetail(g.certificateRows, "DateCL", marked.certificateDate(), "Name", certificateName);
        if (g.emailRows)
            addDetail(g.emailRows, "EMAIL", email);
        if (g.snilsRows)
            addDetail(g.snilsRows, "SNILS", snils);
        ++added;
    }
    transaction.commit();
    return added;
}

namespace {

// Deletes every row of the trainee's detail tables (which ask nothing), then the trainee.
void removeTraineeWithDetails(const DataModule& dm, const Generation& g) {
    for (Table* details : g.detailTables(dm))
        while (!details->isEmpty())
            details->remove();
    g.traineesTable(dm).remove();
}

} // namespace

bool deleteApplication(const DataModule& dm, const Generation& g, SharedState& state, Prompter& prompter,
                       const std::function<void()>& beforeDeleting) {
    Table& listed = g.traineesTable(dm);
    const int traineeCount = listed.isActive() ? listed.recordCount() : 0;
    const Table& application = g.applicationsTable(dm);
    QString question =
        QStringLiteral("Удалить заявку № %1 за %2 год")
            .arg(application.field(fld::KZajavki).displayText(), application.field(fld::Year).displayText());
    question += traineeCount ? QStringLiteral(" вместе с ") +
                                   counted(traineeCount, "слушателем", "слушателями", "слушателями") + u'?'
                             : QStringLiteral("? В ней нет слушателей.");
    if (!prompter.confirmDeleting(question))
        return false;
    if (beforeDeleting)
        beforeDeleting();
    state.SilentDelete = 1;
    Table& apps = g.applicationsTable(dm);
    Table& trainees = g.traineesTable(dm);
    Store::Transaction transaction(dm.store());
    dm.store().lockNumbering(apps.layout().sqlName, int(apps.field(fld::Year).asInteger()));
    const DropEditsOnFailure dropEdits(traineeTables(dm, g, true));
    trainees.first();
    while (!trainees.eof())
        removeTraineeWithDetails(dm, g);
    apps.remove();
    transaction.commit();
    return true;
}

void deleteTrainee(const DataModule& dm, const Generation& g, SharedState& state) {
    state.SilentDelete = 0;
    Table& trainees = g.traineesTable(dm);
    const QList<Table*> details = g.detailTables(dm);
    if (details.isEmpty() || trainees.isEmpty() || trainees.state() == Dataset::State::Insert) {
        trainees.remove(); // asks, or refuses an empty list, or drops a new row
        return;
    }
    // The question comes before anything is deleted; the rows then go together, asked once.
    if (trainees.beforeDelete)
        trainees.beforeDelete(trainees);
    Store::Transaction transaction(dm.store());
    const DropEditsOnFailure dropEdits(traineeTables(dm, g, false));
    state.SilentDelete = 1;
    try {
        removeTraineeWithDetails(dm, g);
    } catch (...) {
        state.SilentDelete = 0;
        throw;
    }
    state.SilentDelete = 0;
    transaction.commit();
}

namespace {

// A detail row's stored values a user can change: every field but its number and its link.
QList<std::pair<int, QVariant>> ownValues(const Table& details) {
    const TableLayout& layout = details.layout();
    const IndexDef* link = layout.index(details.indexName());
    QList<std::pair<int, QVariant>> values;
    for (int i = 0; i < details.storedFieldCount(); ++i) {
        const FieldDef& f = layout.fields[i];
        if (f.type == FieldType::AutoInc || (link && link->fields.contains(f.name)))
            continue;
        values.append({i, details.field(i).value()});
    }
    return values;
}

// Writes the values into the trainee's detail row, made when missing (and then linked to the
// trainee through the detail link), and posts it.
void writeDetailRow(Table& details, const QList<std::pair<int, QVariant>>& values) {
    details.edit();
    for (const auto& [field, value] : values)
        details.field(field).setValue(value);
    details.post();
}

const char* const kNameFields[] = {"Name1", "Name2", "Name3"};

} // namespace

QString saveTrainee(const DataModule& dm, const Generation& g) {
    Table& trainee = g.traineesTable(dm);
    trainee.updateRecord();
    const QList<Table*> detailTables = g.detailTables(dm);
    bool detailsChanged = false;
    for (Table* details : detailTables) {
        details->updateRecord();
        detailsChanged = detailsChanged || (details->isEditing() && details->isModified());
    }
    // A new trainee is stored when only its detail rows were typed into, so that they have a
    // trainee to belong to.
    const bool storeTrainee =
        trainee.isModified() || (detailsChanged && trainee.state() == Dataset::State::Insert);
    // The names are stored in capitals, by the user's locale (Cyrillic included). A few letters
    // grow in capitals (ß becomes SS): a name that no longer fits is not cut.
    const QLocale locale;
    if (storeTrainee)
        for (const char* name : kNameFields) {
            Field& f = trainee.field(QString::fromLatin1(name));
            if (locale.toUpper(f.asString()).size() > f.size())
                return f.name();
        }

    // The detail rows typed into are written once the trainee is stored: a new trainee has no
    // number to link them to before.
    QList<std::pair<Table*, QList<std::pair<int, QVariant>>>> typed;
    for (Table* details : detailTables)
        if (details->isEditing() && details->isModified()) {
            typed.append({details, ownValues(*details)});
            details->cancel();
        }
    // The trainee and its rows are written together. A trainee alone is written without a
    // transaction of its own: a value its field refuses leaves the row as typed, the editor open.
    std::optional<Store::Transaction> transaction;
    if (!typed.isEmpty())
        transaction.emplace(dm.store());
    if (storeTrainee && trainee.state() == Dataset::State::Insert) {
        // The application must still be there. A lone trainee is checked in a short transaction
        // of its own, for a transaction undone around its write would drop what was typed.
        if (transaction) {
            holdApplication(dm, g);
        } else {
            Store::Transaction check(dm.store());
            holdApplication(dm, g);
            check.commit();
        }
    }
    if (storeTrainee) {
        if (!trainee.isEditing())
            trainee.edit();
        for (const char* name : kNameFields) {
            Field& f = trainee.field(QString::fromLatin1(name));
            f.setAsString(locale.toUpper(f.asString()));
        }
        trainee.post();
    } else {
        trainee.cancel(); // an untouched edit or new row is left as it was
    }
    for (const auto& [details, values] : typed)
        writeDetailRow(*details, values);
    if (transaction)
        transaction->commit();
    return {};
}

void cancelTrainee(const DataModule& dm, const Generation& g) {
    for (Table* details : g.detailTables(dm))
        details->cancel();
    g.traineesTable(dm).cancel();
}

bool traineeIsStored(const DataModule& dm, const Generation& g) {
    const Table& trainee = g.traineesTable(dm);
    return !trainee.isEmpty() && trainee.state() != Dataset::State::Insert;
}

void clearCertificate(const DataModule& dm, const Generation& g) {
    Table& certificate = *(dm.*g.certificateRows.table);
    certificate.edit();
    certificate.field(fld::DateCL).clear();
    certificate.field(fld::Name).clear();
    certificate.post();
}

void listMovingTargets(const DataModule& dm, const Generation& g, int fromYear) {
    Query& targets = *(dm.*g.movingTargets.query);
    targets.close();
    targets.setParam(QStringLiteral("p_year"), fromYear);
    targets.open();
    targets.last();
}

QString movingRefusal(const DataModule& dm, const Generation& g) {
    if (!traineeIsStored(dm, g))
        return QStringLiteral("В текущей заявке нет слушателя, которого можно переместить или скопировать. "
                              "Выберите заявку и слушателя в окне заявок.");
    const Query& targets = *(dm.*g.movingTargets.query);
    if (!targets.isActive() || targets.isEmpty())
        return QStringLiteral("Нет заявок текущего или следующих лет: слушателя некуда переместить или "
                              "скопировать. Сначала создайте такую заявку.");
    return {};
}

namespace {

// Gives the current trainee the number and year of the application current in the list.
void intoTarget(const DataModule& dm, const Generation& g) {
    const Query& targets = *(dm.*g.movingTargets.query);
    Table& trainee = g.traineesTable(dm);
    trainee.edit();
    trainee.field(fld::KZajavki).setAsFloat(targets.field(fld::KZajavki).asFloat());
    trainee.field(fld::Year).setAsInteger(targets.field(fld::Year).asInteger());
    trainee.post();
}

} // namespace

void moveTrainee(const DataModule& dm, const Generation& g) {
    if (const QString why = movingRefusal(dm, g); !why.isEmpty())
        throw UserError(why);
    intoTarget(dm, g);
}

void copyTrainee(const DataModule& dm, const Generation& g) {
    if (const QString why = movingRefusal(dm, g); !why.isEmpty())
        throw UserError(why);
    Table& trainee = g.traineesTable(dm);
    const qint64 original = trainee.field(fld::NPP).asInteger();
    QList<std::pair<int, QVariant>> values;
    for (int i = 0; i < trainee.storedFieldCount(); ++i)
        if (trainee.field(i).type() != FieldType::AutoInc)
            values.append({i, trainee.field(i).value()});
    QList<std::pair<Table*, QList<QList<std::pair<int, QVariant>>>>> details;
    for (Table* table : g.detailTables(dm)) {
        QList<QList<std::pair<int, QVariant>>> rows;
        for (table->first(); !table->eof(); table->next())
            rows.append(ownValues(*table));
        details.append({table, rows});
    }

    // The copy is made in the trainee's own application, where its rows can be linked to it,
    // and then goes into the chosen one.
    Store::Transaction transaction(dm.store());
    const DropEditsOnFailure dropEdits(traineeTables(dm, g, false));
    trainee.append();
    for (const auto& [field, value] : values)
        trainee.field(field).setValue(value);
    trainee.post();
    for (const auto& [table, rows] : details)
        for (const auto& row : rows) {
            table->append();
            for (const auto& [field, value] : row)
                table->field(field).setValue(value);
            table->post();
        }
    intoTarget(dm, g);
    transaction.commit();
    trainee.locate(fld::NPP, {original});
}

} // namespace applications
