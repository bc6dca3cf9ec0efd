#include "applications/Restore.h"

#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/Field.h"
#include "data/FieldCaptions.h"
#include "data/ServiceYears.h"
#include "data/Store.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <cmath>
#include <iterator>

namespace applications {

namespace {

// The trainee fields a restored row sets and the export file's fields they come from.
struct Column {
    const char* trainee;
    const char* file;
};
constexpr Column kTraineeColumns[] = {{"KZajavki", "Zajavka"},    {"Name1", "Name1"}, {"Name2", "Name2"},
                                      {"Name3", "Name3"},         {"KZicl", "Zicl"},  {"VidOb", "VidOb"},
                                      {"Hours", "Hours"},         {"KV", "Kv"},       {"DR", "DR"},
                                      {"KDoljn", "Doljn"},        {"KSpez", "Spez"},  {"StajOb", "Stajg"},
                                      {"StajDoljn", "StajgZ"},    {"Year", "Year"},   {"DateCl", "DateCL"},
                                      {"Specialty", "Specialty"}, {"EMAIL", "EMAIL"}, {"SNILS", "SNILS"},
                                      {"FOBUCH", "FOBUCH"}};
constexpr int kTraineeColumnCount = int(std::size(kTraineeColumns));
// Where RestoreTrainee::trainee holds the values the restore looks at.
constexpr int kNumberColumn = 0, kName1Column = 1, kYearColumn = 13, kEmailColumn = 16, kSnilsColumn = 17;

// The register fields a new person gets, in RestorePerson::person order.
constexpr const char* kPersonFields[] = {"Name1",  "Name2", "Name3", "DR",     "KDoljn",
                                         "NDoljn", "KSpez", "NSpez", "StajOb", "StajDoljn"};

// The start year from the years of service a row carries; none without them.
QVariant startYear(int curYear, const QVariant& years) {
    if (years.isNull())
        return {};
    return qint64(std::llround(curYear - years.toDouble()));
}

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}
QString latin(const char* name) {
    return QString::fromLatin1(name);
}

QString personName(const QString& name1, const QString& name2, const QString& name3) {
    const QString name = QStringList{name1, name2, name3}.join(u' ').simplified();
    return name.isEmpty() ? QStringLiteral("без фамилии") : name;
}

QString nativeFile(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void checkLayout(const Store& store, const Table& table) {
    const QString error = store.layoutError(table.layout().sqlName);
    if (!error.isEmpty())
        throw DbError(error);
}

// One row of the export file as read. What stands for no value stays empty: the zero date an
// empty date was written as, and the years of service counted from no start year (the year
// itself, as earlier exports carry them).
class FileRow {
public:
    FileRow(Dataset& file, int row) : file_(file), row_(row) {}
    QVariant value(const char* name) const {
        const QVariant v = file_.valueAt(row_, file_.field(latin(name)).index());
        if (v.typeId() == QMetaType::QDate && Field::isZeroDate(v))
            return {};
        if ((qstrcmp(name, "Stajg") == 0 || qstrcmp(name, "StajgZ") == 0) && !v.isNull() &&
            serviceYearsUnknown(v.toDouble()) && v.toDouble() <= kLatestYear)
            return {};
        return v;
    }
    QString text(const char* name) const { return value(name).toString(); }
    qint64 integer(const char* name) const {
        const QVariant v = value(name);
        return v.isNull() ? 0 : v.toLongLong();
    }

    static constexpr double kLatestYear = 2100;

private:
    Dataset& file_;
    int row_;
};

// The values a row may carry, checked before anything is planned: a number out of these bounds
// (or no number at all: infinite, not a number) is no application, year or quarter, and would
// make one the office never had.
struct Bounds {
    const char* field;
    double least, most;
    bool required;
};
constexpr Bounds kBounds[] = {
    {"Zajavka", 0.01, 99999, true},
    {"Year", 1900, FileRow::kLatestYear, true},
    {"Kv", 0, 4, false}, // 0: no quarter given
    {"Hours", 0, 10000, false},
    {"Stajg", 0, 100, false},
    {"StajgZ", 0, 100, false},
};

QString boundText(double v) {
    return QString::number(v, 'g', 10).replace(u'.', u',');
}

// Refuses a row with a value out of its bounds, naming the file's row, the person and the field.
void checkBounds(const FileRow& row, const QString& path, int fileRow, const QString& name) {
    for (const Bounds& b : kBounds) {
        const QVariant v = row.value(b.field);
        QString fault;
        if (v.isNull()) {
            if (b.required)
                fault = QStringLiteral("значения нет");
        } else {
            bool isNumber = false;
            const double number = v.toDouble(&isNumber);
            if (!isNumber || !std::isfinite(number))
                fault = QStringLiteral("«%1» — не число").arg(v.toString());
            else if (number < b.least || number > b.most)
                fault = QStringLiteral("значение %1 вне допустимых пределов (%2–%3)")
                            .arg(boundText(number), boundText(b.least), boundText(b.most));
        }
        if (!fault.isEmpty())
            throw UserError(
                QStringLiteral("Заявка не восстановлена, ничего не записано. Файл «%1», строка %2 (%3), "
                               "поле «%4»: %5. Исправьте файл или выберите другой.")
                    .arg(nativeFile(path), QString::number(fileRow), name,
                         captions::field(QStringLiteral("TempZ2023"), latin(b.field)), fault));
    }
}

bool isEmptyText(const QVariant& v) {
    return v.isNull() || v.toString().trimmed().isEmpty();
}

// The first e-mail or SNILS row of each person as stored, read when first asked for.
class DetailValues {
public:
    DetailValues(Store& store, const Table& detail, const char* field)
        : store_(store),
          sql_(QStringLiteral("SELECT %1 FROM %2 WHERE \"PersonalKOD\" = ? ORDER BY NPP LIMIT 1")
                   .arg(quoted(latin(field)), quoted(detail.layout().sqlName))) {}
    // The value a person has now: as stored, or as a row of the file before changed it.
    QString& of(qint64 person) {
        auto it = values_.find(person);
        if (it == values_.end()) {
            auto st = store_.cached(sql_);
            st->bind(1, person);
            it = values_.insert(person, st->step() ? st->value(0, FieldType::Alpha).toString() : QString());
        }
        return *it;
    }

private:
    Store& store_;
    QString sql_;
    QHash<qint64, QString> values_;
};

// A value on its way into a field of the store, checked as the engine checks it; a refusal names
// the file's row, the person and the file's field the value comes from.
class Checker {
public:
    Checker(QString path, int fileRow, QString name)
        : path_(std::move(path)), row_(fileRow), name_(std::move(name)) {}
    QVariant operator()(const Table& table, const char* field, const QVariant& value,
                        const char* fileField) const {
        try {
            return table.field(latin(field)).convert(value);
        } catch (const DbError& e) {
            throw UserError(
                QStringLiteral("Заявка не восстановлена, ничего не записано. Файл «%1», строка %2 (%3), "
                               "поле «%4»: %5 Исправьте файл или выберите другой.")
                    .arg(nativeFile(path_), QString::number(row_), name_,
                         captions::field(QStringLiteral("TempZ2023"), latin(fileField)), e.message()));
        }
    }

private:
    QString path_;
    int row_;
    QString name_;
};

// The first name of each code in a reference book (DOLJNOST, SPEZ), read once: a code the book
// lacks has no name.
QHash<qint64, QString> referenceNames(Store& store, const Table& book, const char* code, const char* name) {
    checkLayout(store, book);
    QHash<qint64, QString> names;
    auto st = store.cached(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IS NOT NULL ORDER BY rowid")
                               .arg(quoted(latin(code)), quoted(latin(name)), quoted(book.layout().sqlName)));
    while (st->step()) {
        const qint64 key = st->int64(0);
        if (!names.contains(key))
            names.insert(key, st->value(1, FieldType::Alpha).toString());
    }
    return names;
}

// Finds people of the register by their exact three names through the register's index on the
// names, so that a look-up costs the same however many people there are. The index's collation
// may let names that differ in letter case through; they are compared again here, exactly.
class PersonFinder {
public:
    PersonFinder(Store& store, const Table& people) : store_(store), table_(quoted(people.layout().sqlName)) {
        checkLayout(store, people);
    }

    // The NPP of the first person (in number order, as the register lists equal names) with
    // exactly these names; 0 when there is none.
    qint64 find(const QVariant& name1, const QVariant& name2, const QVariant& name3) {
        const QVariant names[] = {name1, name2, name3};
        auto st = store_.cached(select(names[0].isNull() | names[1].isNull() << 1 | names[2].isNull() << 2));
        int position = 1;
        for (const QVariant& name : names)
            if (!name.isNull())
                st->bind(position++, name);
        while (st->step()) {
            bool same = true;
            for (int i = 0; i < 3 && same; ++i)
                same = st->value(i + 1, FieldType::Alpha).toString() == names[i].toString();
            if (same)
                return st->int64(0);
        }
        return 0;
    }

private:
    // The statement for names some of which are empty (bit i set: Name{i + 1} is), made once.
    const QString& select(int emptyNames) {
        QString& sql = selects_[emptyNames];
        if (sql.isEmpty()) {
            QStringList terms;
            for (int i = 0; i < 3; ++i)
                terms << quoted(QStringLiteral("Name%1").arg(i + 1)) +
                             (emptyNames & (1 << i) ? QStringLiteral(" IS NULL")
                                                    : QStringLiteral(" = ? COLLATE RU"));
            sql = QStringLiteral("SELECT NPP, Name1, Name2, Name3 FROM %1 WHERE %2 ORDER BY NPP")
                      .arg(table_, terms.join(QStringLiteral(" AND ")));
        }
        return sql;
    }

    Store& store_;
    QString table_;
    QString selects_[8];
};

int countRows(Store& store, const Table& table, double number, int year) {
    auto st = store.cached(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"KZajavki\" = ? AND \"Year\" = ?")
                               .arg(quoted(table.layout().sqlName)));
    st->bind(1, number);
    st->bind(2, year);
    st->step();
    return int(st->int64(0));
}

// The file's rows read whole through the data module's export-file table, closed again afterwards
// whatever happens, so that the next restore may name another file.
class OpenFile {
public:
    OpenFile(FileTable& file, const QString& path) : file_(file) {
        file_.close();
        file_.setPath(path);
        try {
            file_.open();
        } catch (const UserError& e) {
            throw UserError(QStringLiteral("Заявка не восстановлена. ") + e.message());
        }
    }
    ~OpenFile() { file_.close(); }

private:
    FileTable& file_;
};

// Writes a plan's rows with bound statements, each naming its table for a failure's message.
class PlanWriter {
public:
    explicit PlanWriter(const DataModule& dm) : dm_(dm), store_(dm.store()) {}

    void createApplication(const RestoreApplication& a) {
        // Under the year's numbering lock: an application another clerk made meanwhile is taken as
        // it is, and the trainees join it.
        store_.lockNumbering(dm_.tblZajavki2023->layout().sqlName, a.year);
        if (countRows(store_, *dm_.tblZajavki2023, a.number, a.year) > 0)
            return;
        auto st = store_.cached(QStringLiteral("INSERT INTO %1 (\"KZajavki\", \"Year\") VALUES (?, ?)")
                                    .arg(quoted(dm_.tblZajavki2023->layout().sqlName)));
        st->bind(1, a.number);
        st->bind(2, a.year);
        st->step();
    }

    qint64 addPerson(const RestorePerson& p) {
        table_ = dm_.tblPersonal;
        if (personInsert_.isEmpty()) {
            QStringList names;
            for (const char* f : kPersonFields)
                names << latin(f);
            personInsert_ = insertSql(*table_, names);
        }
        return insert(personInsert_, p.person);
    }

    // As editing a person's detail view does: the person's first row of the kind takes the
    // values, or a new row linked to the person is made.
    void editFirstDetail(const Table& detail, const QStringList& fields, const QVariantList& values,
                         qint64 person) {
        if (values.isEmpty()) // nothing to write: the person's rows stay as they are
            return;
        table_ = &detail;
        const DetailSql& sql = detailSql(detail, fields);
        qint64 first = 0;
        {
            auto find = store_.cached(sql.first);
            find->bind(1, person);
            if (find->step())
                first = find->int64(0);
        }
        auto write = store_.cached(first ? sql.update : sql.insert);
        int position = 1;
        for (const QVariant& v : values)
            write->bind(position++, v);
        write->bind(position, first ? first : person);
        write->step();
    }

    void addTrainee(const RestoreTrainee& t, qint64 person) {
        table_ = dm_.tblSluch2023;
        if (traineeInsert_.isEmpty())
            traineeInsert_ =
                insertSql(*table_, QStringList(restoreTraineeFields()) << QStringLiteral("KodPersonal"));
        insert(traineeInsert_, QVariantList(t.trainee) << person);
    }

    // What was being written when a write failed: "таблица «слушатели заявки»".
    QString where() const {
        return table_ ? QStringLiteral("таблица «%1»").arg(captions::table(table_->layout().sqlName))
                      : QString();
    }

private:
    // A detail table's statements for a list of fields: its first row of a person, the update of
    // that row and the insert of a new one (the fields, then the person).
    struct DetailSql {
        QString first, update, insert;
    };
    const DetailSql& detailSql(const Table& detail, const QStringList& fields) {
        DetailSql& sql = detailSql_[detail.layout().sqlName + u'/' + fields.join(u',')];
        if (sql.first.isEmpty()) {
            const QString name = quoted(detail.layout().sqlName);
            QStringList assignments;
            for (const QString& f : fields)
                assignments << quoted(f) + QStringLiteral(" = ?");
            sql.first =
                QStringLiteral("SELECT NPP FROM %1 WHERE \"PersonalKOD\" = ? ORDER BY NPP LIMIT 1").arg(name);
            sql.update = QStringLiteral("UPDATE %1 SET %2 WHERE NPP = ?").arg(name, assignments.join(u','));
            sql.insert = insertSql(detail, QStringList(fields) << QStringLiteral("PersonalKOD"));
        }
        return sql;
    }

    QString insertSql(const Table& table, const QStringList& fields) const {
        QStringList columns, marks;
        for (const QString& f : fields) {
            columns << quoted(f);
            marks << QStringLiteral("?");
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(quoted(table.layout().sqlName), columns.join(u','), marks.join(u',')) +
               store_.returningRowId();
    }

    RowId insert(const QString& sql, const QVariantList& values) {
        auto st = store_.cached(sql);
        for (int i = 0; i < values.size(); ++i)
            st->bind(i + 1, values[i]);
        return store_.insertRow(*st);
    }

    const DataModule& dm_;
    Store& store_;
    const Table* table_ = nullptr;
    QString personInsert_, traineeInsert_;
    QHash<QString, DetailSql> detailSql_;
};

} // namespace

QString RestoreApplication::title() const {
    return QStringLiteral("%1 на %2 год").arg(formatNumber(number), QString::number(year));
}

QStringList RestorePlan::newPeopleNames() const {
    QStringList names;
    for (const RestorePerson& p : newPeople)
        names << p.name;
    return names;
}

bool RestorePlan::addsTwice() const {
    for (const RestoreApplication& a : applications)
        if (a.heldTrainees > 0)
            return true;
    return false;
}

bool RestorePlan::lacksApplication() const {
    for (const RestoreApplication& a : applications)
        if (!a.exists)
            return true;
    return false;
}

QStringList RestorePlan::missingTitles() const {
    QStringList out;
    for (const RestoreApplication& a : applications)
        if (!a.exists)
            out << a.title();
    return out;
}

QString RestorePlan::titles() const {
    QStringList out;
    for (const RestoreApplication& a : applications)
        out << a.title();
    return out.join(QStringLiteral(", "));
}

const QStringList& restoreTraineeFields() {
    static const QStringList fields = [] {
        QStringList out;
        for (const Column& c : kTraineeColumns)
            out << latin(c.trainee);
        return out;
    }();
    return fields;
}

RestorePlan planRestore(const DataModule& dm, const QString& path) {
    Store& store = dm.store();
    const Table& trainees = *dm.tblSluch2023;
    const Table& people = *dm.tblPersonal;
    for (const Table* t : {dm.tblZajavki2023, dm.tblSluch2023, dm.tblPerEmail, dm.tblPerSnils, dm.tblSertif})
        checkLayout(store, *t);
    const QHash<qint64, QString> positions = referenceNames(store, *dm.tblDoljn, "KDoljn", "NDoljn");
    const QHash<qint64, QString> specialties = referenceNames(store, *dm.tblSpez, "KSpez", "NSpez");
    PersonFinder finder(store, people);
    DetailValues emails(store, *dm.tblPerEmail, "EMAIL"), snilses(store, *dm.tblPerSnils, "SNILS");
    const int curYear = dm.state().CurYear;

    RestorePlan plan;
    plan.file = path;
    FileTable& file = *dm.tblZISCH;
    const OpenFile open(file, path);

    // The people already met in the file, by their names: the register's NPP for someone found,
    // -(i + 1) for newPeople[i], someone the restore adds.
    QHash<QString, qint64> met;
    QSet<qint64> found;
    QHash<QPair<double, int>, int> applicationAt;
    const int rows = file.recordCount();
    plan.trainees.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const FileRow row(file, r);
        RestoreTrainee t;
        t.fileRow = r + 1;
        t.name = personName(row.text("Name1"), row.text("Name2"), row.text("Name3"));
        checkBounds(row, path, t.fileRow, t.name);
        const Checker check(path, t.fileRow, t.name);
        t.trainee.reserve(kTraineeColumnCount);
        for (const Column& c : kTraineeColumns)
            t.trainee << check(trainees, c.trainee, row.value(c.file), c.file);
        // An empty e-mail or SNILS in the file replaces nothing and makes no empty row.
        if (!isEmptyText(t.trainee[kEmailColumn]))
            t.email = {t.trainee[kEmailColumn]};
        if (!isEmptyText(t.trainee[kSnilsColumn]))
            t.snils = {t.trainee[kSnilsColumn]};

        const QVariant* names = t.trainee.constData() + kName1Column;
        const QString key =
            QStringList{names[0].toString(), names[1].toString(), names[2].toString()}.join(QChar(0x1f));
        auto seen = met.constFind(key);
        qint64 person = seen != met.constEnd() ? *seen : finder.find(names[0], names[1], names[2]);
        if (person == 0) {
            // Someone the register lacks: added from this row, with this year's start years.
            RestorePerson p;
            p.name = t.name;
            const qint64 position = row.integer("Doljn"), specialty = row.integer("Spez");
            const QVariant values[] = {
                row.value("Name1"),
                row.value("Name2"),
                row.value("Name3"),
                row.value("DR"),
                row.value("Doljn"),
                positions.value(position),
                row.value("Spez"),
                specialties.value(specialty),
                startYear(curYear, row.value("Stajg")),
                startYear(curYear, row.value("StajgZ")),
            };
            const char* sources[] = {"Name1", "Name2", "Name3", "DR",    "Doljn",
                                     "Doljn", "Spez",  "Spez",  "Stajg", "StajgZ"};
            for (int i = 0; i < int(std::size(kPersonFields)); ++i)
                p.person << check(people, kPersonFields[i], values[i], sources[i]);
            p.email = t.email;
            p.snils = t.snils;
            // A certificate row only for a certificate the file names.
            if (!row.value("DateCL").isNull() || !isEmptyText(row.value("Specialty")))
                p.certificate = {check(*dm.tblSertif, "DateCL", row.value("DateCL"), "DateCL"),
                                 check(*dm.tblSertif, "Name", row.value("Specialty"), "Specialty")};
            plan.newPeople << p;
            person = -qint64(plan.newPeople.size());
            t.firstOfNewPerson = true;
        } else if (person > 0) {
            found.insert(person);
            // A stored e-mail or SNILS the file would replace by another is listed before
            // anything is written.
            for (auto [values, file, what] :
                 {std::tuple{&emails, &t.email, "e-mail"}, std::tuple{&snilses, &t.snils, "СНИЛС"}}) {
                if (file->isEmpty())
                    continue;
                QString& stored = values->of(person);
                const QString replacement = file->first().toString();
                if (!stored.isEmpty() && stored != replacement)
                    plan.changes << RestoreChange{t.name, QString::fromUtf8(what), stored, replacement};
                stored = replacement;
            }
        }
        met.insert(key, person);
        if (person > 0)
            t.foundPerson = person;
        else
            t.newPerson = int(-person - 1);

        const QPair<double, int> application{t.trainee[kNumberColumn].toDouble(),
                                             t.trainee[kYearColumn].toInt()};
        auto at = applicationAt.constFind(application);
        if (at == applicationAt.constEnd()) {
            RestoreApplication a;
            a.number = application.first;
            a.year = application.second;
            a.exists = countRows(store, *dm.tblZajavki2023, a.number, a.year) > 0;
            a.heldTrainees = countRows(store, trainees, a.number, a.year);
            at = applicationAt.insert(application, int(plan.applications.size()));
            plan.applications << a;
        }
        ++plan.applications[*at].fileTrainees;
        plan.trainees << std::move(t);
    }
    plan.foundPeople = int(found.size());
    return plan;
}

RestoreOutcome writeRestore(const DataModule& dm, const RestorePlan& plan, bool createMissingApplications) {
    Store& store = dm.store();
    PlanWriter writer(dm);
    RestoreOutcome outcome;
    const QString failed = QStringLiteral("Заявка не восстановлена, в базе данных ничего не изменено. ");

    Store::Transaction transaction(store);
    if (createMissingApplications) {
        for (const RestoreApplication& a : plan.applications) {
            if (a.exists)
                continue;
            try {
                writer.createApplication(a);
            } catch (const UserError& e) {
                throw UserError(failed +
                                QStringLiteral("Заявка %1 не создана: %2").arg(a.title(), e.message()));
            }
            ++outcome.createdApplications;
        }
    }
    QList<qint64> added(plan.newPeople.size(), 0);
    for (const RestoreTrainee& t : plan.trainees) {
        try {
            qint64 person = t.foundPerson;
            if (t.firstOfNewPerson) {
                const RestorePerson& p = plan.newPeople[t.newPerson];
                person = added[t.newPerson] = writer.addPerson(p);
                writer.editFirstDetail(*dm.tblPerEmail, {QStringLiteral("EMAIL")}, p.email, person);
                writer.editFirstDetail(*dm.tblPerSnils, {QStringLiteral("SNILS")}, p.snils, person);
                writer.editFirstDetail(*dm.tblSertif, {QStringLiteral("DateCL"), QStringLiteral("Name")},
                                       p.certificate, person);
            } else {
                if (t.newPerson >= 0)
                    person = added[t.newPerson];
                writer.editFirstDetail(*dm.tblPerEmail, {QStringLiteral("EMAIL")}, t.email, person);
                writer.editFirstDetail(*dm.tblPerSnils, {QStringLiteral("SNILS")}, t.snils, person);
            }
            writer.addTrainee(t, person);
        } catch (const UserError& e) {
            throw UserError(failed + QStringLiteral("Файл «%1», строка %2 (%3), %4: %5")
                                         .arg(nativeFile(plan.file), QString::number(t.fileRow), t.name,
                                              writer.where(), e.message()));
        }
    }
    transaction.commit();
    outcome.trainees = int(plan.trainees.size());
    outcome.foundPeople = plan.foundPeople;
    outcome.newPeople = int(plan.newPeople.size());

    // The rows were written past the datasets: every table written to reads them now.
    for (Table* t :
         {dm.tblZajavki2023, dm.tblSluch2023, dm.tblPersonal, dm.tblPerEmail, dm.tblPerSnils, dm.tblSertif})
        t->reread();
    return outcome;
}

QString restoreAgainQuestion(const RestorePlan& plan) {
    QStringList held;
    for (const RestoreApplication& a : plan.applications)
        if (a.heldTrainees > 0)
            held << QStringLiteral("в заявке %1 их уже %2").arg(a.title(), QString::number(a.heldTrainees));
    return QStringLiteral(
               "Слушатели из файла будут добавлены к тем, что уже есть: %1. Если этот файл уже "
               "восстанавливали, те же слушатели окажутся в заявке дважды. Всё равно восстановить?")
        .arg(held.join(QStringLiteral(", ")));
}

QString restoreOutcomeText(const RestorePlan& plan, const RestoreOutcome& outcome) {
    const bool createdMissing = outcome.createdApplications > 0;
    const bool one = plan.applications.size() == 1;
    QString text = (one ? QStringLiteral("Заявка %1 восстановлена из файла «%2».")
                        : QStringLiteral("Заявки %1 восстановлены из файла «%2»."))
                       .arg(plan.titles(), nativeFile(plan.file));
    text += QStringLiteral("\nСлушателей добавлено: %1.").arg(QString::number(outcome.trainees));
    text += QStringLiteral("\nСотрудников найдено в штатном списке: %1, добавлено в него: %2.")
                .arg(QString::number(outcome.foundPeople), QString::number(outcome.newPeople));
    if (!plan.changes.isEmpty())
        text += QStringLiteral("\nЗаменено e-mail и СНИЛС в штатном списке: %1.")
                    .arg(QString::number(plan.changes.size()));
    const QStringList created = createdMissing ? plan.missingTitles() : QStringList();
    const QStringList missing = createdMissing ? QStringList() : plan.missingTitles();
    if (!created.isEmpty())
        text += (created.size() == 1 ? QStringLiteral("\nСоздана заявка %1.")
                                     : QStringLiteral("\nСозданы заявки %1."))
                    .arg(created.join(QStringLiteral(", ")));
    if (!missing.isEmpty())
        text += (missing.size() == 1
                     ? QStringLiteral("\nЗаявки %1 нет в списке заявок: её слушатели появятся в окне "
                                      "заявок, когда заявку с этим номером и годом создадут.")
                     : QStringLiteral("\nЗаявок %1 нет в списке заявок: их слушатели появятся в окне "
                                      "заявок, когда заявки с этими номерами и годами создадут."))
                    .arg(missing.join(QStringLiteral(", ")));
    return text;
}

} // namespace applications
