#include "applications/TrainingPlan.h"
#include "core/UserError.h"

#include "applications/ApplicationRules.h"
#include "core/Csv.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/Field.h"
#include "data/RuCollation.h"
#include "data/Store.h"

#include <algorithm>
#include <functional>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace plan {

namespace {

bool isDate(const QDate& d) {
    return d.isValid() && d != Field::zeroDate();
}

// A specialty as it is compared: small letters, Е for Ё, single blanks.
QString specialtyKey(const QString& text) {
    QString key = text.simplified().toLower();
    key.replace(u'ё', u'е');
    return key;
}

QStringList specialtiesOf(const Programme& p) {
    static const QRegularExpression separators(QStringLiteral("[,;\\r\\n]+"));
    QStringList keys;
    for (const QString& s : QStringList{p.specialty} + p.additional.split(separators, Qt::SkipEmptyParts)) {
        const QString key = specialtyKey(s);
        if (!key.isEmpty() && !keys.contains(key))
            keys << key;
    }
    return keys;
}

using applications::personKey;

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

QString sqlNameOf(const QString& tableOrFile) {
    const TableLayout* layout = layouts::find(tableOrFile);
    if (!layout)
        throw DbError(QStringLiteral("Таблица %1 неизвестна").arg(tableOrFile));
    return quoted(layout->sqlName);
}

struct Certificate {
    QDate end;
    QString specialty;
    qint64 row = -1;
};

// The certificate that counts: the one that ends last; of equal ends, the one entered last. One
// without an end date counts only while the person has no other.
bool later(const Certificate& a, const Certificate& b) {
    if (b.row < 0)
        return true;
    if (isDate(a.end) != isDate(b.end))
        return isDate(a.end);
    if (a.end != b.end)
        return a.end > b.end;
    return a.row > b.row;
}

} // namespace

QString Programme::title() const {
    QString t = code;
    if (!kind.isEmpty())
        t += u' ' + kind;
    t += QStringLiteral(", %1 ч.").arg(hours);
    if (!name.isEmpty())
        t += QStringLiteral(" — ") + name;
    return t;
}

QString Entry::fullName() const {
    return QStringList{surname, name, patronymic}.join(u' ').simplified();
}

bool needsTraining(int year, const QDate& today, const QDate& end) {
    if (!isDate(end))
        return true;
    return end <= QDate(year + 1, 12, 31) || end < today;
}

int proposedQuarter(int year, const QDate& end) {
    if (!isDate(end))
        return 1;
    for (int quarter = 4; quarter >= 1; --quarter) {
        const QDate first(year, quarter * 3, 1);
        if (first.addDays(first.daysInMonth() - 1) < end)
            return quarter;
    }
    return 1;
}

bool programmeMatches(const Programme& programme, const QString& specialty) {
    const QString key = specialtyKey(specialty);
    return !key.isEmpty() && specialtiesOf(programme).contains(key);
}

namespace {

// The stems of a name's meaningful words: the first five letters of each word of four or more.
QSet<QString> stems(const QString& text) {
    static const QSet<QString> common{
        QStringLiteral("врач"),  QStringLiteral("врачеб"), QStringLiteral("медиц"), QStringLiteral("старш"),
        QStringLiteral("главн"), QStringLiteral("завед"),  QStringLiteral("участ"), QStringLiteral("город"),
        QStringLiteral("район"), QStringLiteral("подро"),  QStringLiteral("палат"), QStringLiteral("посто"),
        QStringLiteral("отдел"), QStringLiteral("кабин"),  QStringLiteral("специ")};
    static const QRegularExpression words(QStringLiteral("[^\\p{L}]+"));
    QSet<QString> out;
    for (const QString& word : specialtyKey(text).split(words, Qt::SkipEmptyParts)) {
        if (word.size() < 4)
            continue;
        const QString stem = word.left(5);
        if (!common.contains(stem) && !common.contains(word.left(6)))
            out.insert(stem);
    }
    return out;
}

bool isAdvancedTraining(const Programme& p) {
    return p.kind.trimmed().compare(QStringLiteral("ПК"), Qt::CaseInsensitive) == 0;
}

} // namespace

int positionScore(const QString& position, const QString& specialty) {
    const QSet<QString> of = stems(position);
    const QSet<QString> named = stems(specialty);
    const qsizetype shared = QSet<QString>(of).intersect(named).size();
    return shared == 0 ? 0 : int(shared * 10 - (named.size() - shared));
}

ProgrammeChooser::ProgrammeChooser(const QList<Programme>& catalogue) {
    for (int i = 0; i < catalogue.size(); ++i) {
        const Programme& p = catalogue[i];
        advanced_ << isAdvancedTraining(p);
        const QStringList keys = specialtiesOf(p);
        const QString main = specialtyKey(p.specialty);
        if (!main.isEmpty()) {
            if (!main_.contains(main))
                specialties_ << qMakePair(main, p.specialty);
            main_[main] << i;
        }
        for (const QString& key : keys)
            if (key != main)
                additional_[key] << i;
    }
}

Choice ProgrammeChooser::choose(const QString& certificateSpecialty, const QString& position,
                                const QString& diplomaSpecialty) {
    const QString certificate = specialtyKey(certificateSpecialty);
    const QString diploma = specialtyKey(diplomaSpecialty);
    QString named; // the main specialty the position names best; only without a certificate
    if (certificate.isEmpty() && !position.trimmed().isEmpty()) {
        const auto known = positionSpecialty_.constFind(position);
        if (known != positionSpecialty_.cend()) {
            named = *known;
        } else {
            int best = 0;
            for (const auto& [key, written] : specialties_)
                if (const int score = positionScore(position, written); score > best) {
                    best = score;
                    named = key;
                }
            positionSpecialty_.insert(position, named);
        }
    }
    const struct {
        QList<int> found;
        QString why;
    } rules[] = {
        {certificate.isEmpty() ? QList<int>() : main_.value(certificate),
         QStringLiteral("по специальности сертификата «%1»").arg(certificateSpecialty.simplified())},
        {named.isEmpty() ? QList<int>() : main_.value(named),
         QStringLiteral("по должности «%1»").arg(position.simplified())},
        {certificate.isEmpty() ? QList<int>() : additional_.value(certificate),
         QStringLiteral("по дополнительной специальности программы «%1»")
             .arg(certificateSpecialty.simplified())},
        {diploma.isEmpty() || !certificate.isEmpty() ? QList<int>() : main_.value(diploma),
         QStringLiteral("по специальности диплома «%1»").arg(diplomaSpecialty.simplified())},
    };
    Choice choice;
    for (const auto& rule : rules) {
        QList<int> found;
        for (int i : rule.found)
            if (!choice.programmes.contains(i))
                found << i;
        std::stable_sort(found.begin(), found.end(),
                         [&](int a, int b) { return advanced_[a] && !advanced_[b]; });
        if (!found.isEmpty() && choice.rule.isEmpty())
            choice.rule = rule.why;
        choice.programmes << found;
    }
    return choice;
}

Plan buildPlan(const DataModule& dm, const Generation& g, int year, const QDate& today) {
    Store& store = dm.store();
    Plan plan;
    plan.year = year;
    plan.today = today;

    // The catalogue of the year.
    {
        auto st =
            store.cached(QStringLiteral("SELECT KZicl, VidOb, TypeOb, FOBUCH, Hours, NZicl, SPECIALY, "
                                        "ADDSPECIALTY FROM %1 WHERE \"Year\" = ? ORDER BY RealZicl, NPP")
                             .arg(sqlNameOf(g.catalogue)));
        st->bind(1, year);
        while (st->step()) {
            Programme p{st->value(0, FieldType::Alpha).toString(),
                        st->value(1, FieldType::Alpha).toString(),
                        st->value(2, FieldType::Alpha).toString(),
                        st->value(3, FieldType::Alpha).toString(),
                        int(st->int64(4)),
                        st->value(5, FieldType::Alpha).toString(),
                        st->value(6, FieldType::Alpha).toString(),
                        st->value(7, FieldType::Memo).toString()};
            plan.programmes << std::move(p);
        }
    }

    ProgrammeChooser chooser(plan.programmes);

    // Who is a trainee of the year already; and who was put into an earlier year's application
    // for a certificate: the person and that certificate's end.
    QSet<qint64> listedNumbers;
    QSet<QString> listedPeople;
    QSet<QString> trainedFor; // person key + end date, for rows of earlier years that carry one
    {
        const TableLayout& layout = g.traineesTable(dm).layout();
        const bool rowsCarryTheEnd = layout.fieldIndex(fld::DateCl) >= 0;
        auto st = store.cached(
            QStringLiteral(
                "SELECT KodPersonal, Name1, Name2, Name3, DR, \"Year\", %1 FROM %2 WHERE \"Year\" <= ?")
                .arg(rowsCarryTheEnd ? QStringLiteral("DateCl") : QStringLiteral("NULL"),
                     quoted(layout.sqlName)));
        st->bind(1, year);
        while (st->step()) {
            const QString key = personKey(
                st->value(1, FieldType::Alpha).toString(), st->value(2, FieldType::Alpha).toString(),
                st->value(3, FieldType::Alpha).toString(), st->value(4, FieldType::Date).toDate());
            if (st->int64(5) == year) {
                if (!st->isNull(0))
                    listedNumbers.insert(st->int64(0));
                listedPeople.insert(key);
                continue;
            }
            const QDate end = st->isNull(6) ? QDate() : st->value(6, FieldType::Date).toDate();
            if (!isDate(end))
                continue;
            if (!st->isNull(0))
                trainedFor.insert(QString::number(st->int64(0)) + u'#' + end.toString(Qt::ISODate));
            trainedFor.insert(key + u'#' + end.toString(Qt::ISODate));
        }
    }

    // Each person's certificate that counts.
    QHash<qint64, Certificate> latest;
    {
        auto st = store.cached(QStringLiteral("SELECT PersonalKOD, DateCL, Name, NPP FROM %1")
                                   .arg(sqlNameOf(QStringLiteral("Sertif"))));
        while (st->step()) {
            if (st->isNull(0))
                continue;
            Certificate c{st->value(1, FieldType::Date).toDate(), st->value(2, FieldType::Alpha).toString(),
                          st->int64(3)};
            Certificate& held = latest[st->int64(0)];
            if (later(c, held))
                held = std::move(c);
        }
    }

    {
        auto st = store.cached(QStringLiteral("SELECT NPP, Name1, Name2, Name3, DR, NDoljn, NSpez FROM %1")
                                   .arg(sqlNameOf(QStringLiteral("Personal"))));
        while (st->step()) {
            const qint64 person = st->int64(0);
            const auto found = latest.constFind(person);
            const QDate end = found != latest.cend() && isDate(found->end) ? found->end : QDate();
            if (!needsTraining(year, today, end) || listedNumbers.contains(person))
                continue;
            Entry e;
            e.person = person;
            e.surname = st->value(1, FieldType::Alpha).toString();
            e.name = st->value(2, FieldType::Alpha).toString();
            e.patronymic = st->value(3, FieldType::Alpha).toString();
            e.birthDate = st->value(4, FieldType::Date).toDate();
            const QString key = personKey(e.surname, e.name, e.patronymic, e.birthDate);
            if (listedPeople.contains(key))
                continue;
            if (isDate(end) &&
                (trainedFor.contains(QString::number(person) + u'#' + end.toString(Qt::ISODate)) ||
                 trainedFor.contains(key + u'#' + end.toString(Qt::ISODate))))
                continue; // already applied for, in an earlier year, for the certificate that ends
            e.position = st->value(5, FieldType::Alpha).toString();
            e.diplomaSpecialty = st->value(6, FieldType::Alpha).toString();
            e.certificateEnd = end;
            if (found != latest.cend())
                e.certificateSpecialty = found->specialty;
            e.quarter = proposedQuarter(year, end);
            Choice chosen = chooser.choose(e.certificateSpecialty, e.position, e.diplomaSpecialty);
            e.programmes = std::move(chosen.programmes);
            e.rule = std::move(chosen.rule);
            plan.entries << std::move(e);
        }
    }

    std::sort(plan.entries.begin(), plan.entries.end(), [](const Entry& a, const Entry& b) {
        if (a.hasCertificate() != b.hasCertificate())
            return !a.hasCertificate();
        if (a.certificateEnd != b.certificateEnd)
            return a.certificateEnd < b.certificateEnd;
        if (const int byName = ru_collation::compare(a.fullName(), b.fullName()))
            return byName < 0;
        return a.person < b.person;
    });
    return plan;
}

QList<double> applicationsOf(const DataModule& dm, const Generation& g, int year) {
    auto st = dm.store().cached(QStringLiteral("SELECT KZajavki FROM %1 WHERE \"Year\" = ? ORDER BY KZajavki")
                                    .arg(quoted(g.applicationsTable(dm).layout().sqlName)));
    st->bind(1, year);
    QList<double> numbers;
    while (st->step())
        numbers << st->value(0, FieldType::Number).toDouble();
    return numbers;
}

namespace {

// The programme last picked in the chooser stays as the user left it, whatever happens.
class PickedProgrammeKept {
public:
    explicit PickedProgrammeKept(SharedState& state) : state_(state), saved_(state) {}
    ~PickedProgrammeKept() {
        state_.SelKZicl = saved_.SelKZicl;
        state_.SelVidOb = saved_.SelVidOb;
        state_.SelTypeOb = saved_.SelTypeOb;
        state_.SelFOBUCH = saved_.SelFOBUCH;
        state_.SelHours = saved_.SelHours;
    }

private:
    SharedState& state_;
    SharedState saved_;
};

qint64 highestTraineeNumber(Store& store, const QString& sqlName) {
    auto st = store.cached(QStringLiteral("SELECT MAX(NPP) FROM %1").arg(quoted(sqlName)));
    return st->step() && !st->isNull(0) ? st->int64(0) : 0;
}

} // namespace

int addToApplication(const DataModule& dm, const Generation& g, SharedState& state, const Plan& plan,
                     double number, int year, const QList<Addition>& additions) {
    for (const Addition& a : additions) {
        if (a.entry < 0 || a.entry >= plan.entries.size() || a.programme < 0 ||
            a.programme >= plan.programmes.size())
            throw DbError(QStringLiteral("В плане нет такого сотрудника или программы"));
        if (a.quarter < 1 || a.quarter > 4)
            throw DbError(QStringLiteral("Квартал года должен быть числом от 1 до 4 (%1: %2)")
                              .arg(plan.entries[a.entry].fullName(), QString::number(a.quarter)));
    }
    QSet<int> seen;
    for (const Addition& a : additions) {
        if (seen.contains(a.entry))
            throw DbError(
                QStringLiteral("%1 указан в добавлении дважды").arg(plan.entries[a.entry].fullName()));
        seen.insert(a.entry);
    }
    if (!applications::locateApplication(dm, g, number, year))
        throw DbError(
            QStringLiteral("Заявки %1 на %2 год нет").arg(formatNumber(number), QString::number(year)));

    Table& people = *dm.tblPersonal;
    Table& trainees = g.traineesTable(dm);
    const QString traineeTable = trainees.layout().sqlName;
    const qint64 keepPerson = people.isEmpty() ? -1 : people.field(fld::NPP).asInteger();
    PickedProgrammeKept picked(state);

    // People with the same programme and quarter are added together, as the adding dialog adds
    // the people marked for one programme.
    QList<QPair<int, int>> groups; // programme, quarter, in the order of first use
    for (const Addition& a : additions)
        if (!groups.contains(qMakePair(a.programme, a.quarter)))
            groups << qMakePair(a.programme, a.quarter);

    // The plan marks the register's people as the adding dialog does: when nobody else is marking.
    const applications::MarkingTurn turn(dm.store());
    if (!turn.held())
        throw UserError(applications::kMarksBusy);
    Store::Transaction transaction(dm.store());
    applications::clearMarks(dm);
    int added = 0;
    for (const auto& [programmeIndex, quarter] : groups) {
        QHash<QString, QList<const Entry*>> marked; // by names and birth date, to find their rows again
        for (const Addition& a : additions) {
            if (a.programme != programmeIndex || a.quarter != quarter)
                continue;
            const Entry& e = plan.entries[a.entry];
            if (!people.locate(fld::NPP, {e.person}))
                throw DbError(
                    QStringLiteral("Сотрудника %1 больше нет в списке персонала. Составьте план заново.")
                        .arg(e.fullName()));
            applications::toggleMark(dm); // nobody is marked before: the marks were cleared
            marked[personKey(e.surname, e.name, e.patronymic, e.birthDate)] << &e;
        }
        const Programme& p = plan.programmes[programmeIndex];
        state.SelKZicl = p.code;
        state.SelVidOb = p.kind;
        state.SelTypeOb = p.type;
        state.SelFOBUCH = p.form;
        state.SelHours = p.hours;
        const qint64 before = highestTraineeNumber(dm.store(), traineeTable);
        added += applications::addMarkedPeople(dm, g, state, quarter);
        applications::clearMarks(dm);

        // The new rows carry the certificate the plan is about and the person's number.
        QList<qint64> rows;
        for (int row = 0; row < trainees.recordCount(); ++row)
            if (trainees.rowIdAt(row) > before)
                rows << trainees.rowIdAt(row);
        for (const qint64 id : rows) {
            if (!trainees.locate(fld::NPP, {id}))
                continue;
            const QString key =
                personKey(trainees.field(fld::Name1).asString(), trainees.field(fld::Name2).asString(),
                          trainees.field(fld::Name3).asString(), trainees.field(fld::DR).asDate());
            QList<const Entry*>& candidates = marked[key];
            if (candidates.isEmpty())
                continue;
            const Entry* e = candidates.takeFirst();
            trainees.edit();
            trainees.field(fld::KodPersonal).setAsInteger(e->person);
            if (!g.certificateRows && e->hasCertificate()) { // the certificate is a field of the row
                trainees.field(fld::DateCl).setAsDate(e->certificateEnd);
                trainees.field(fld::Specialty).setAsString(e->certificateSpecialty);
            }
            trainees.post();
        }
    }
    transaction.commit();
    if (keepPerson >= 0)
        people.locate(fld::NPP, {keepPerson});
    return added;
}

namespace {

struct Column {
    const char* title;
    std::function<QString(const Plan&, const Entry&)> value;
};

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

const QList<Column>& columns() {
    static const QList<Column> list{
        {"Фамилия", [](const Plan&, const Entry& e) { return e.surname; }},
        {"Имя", [](const Plan&, const Entry& e) { return e.name; }},
        {"Отчество", [](const Plan&, const Entry& e) { return e.patronymic; }},
        {"Должность", [](const Plan&, const Entry& e) { return e.position; }},
        {"Специальность по диплому", [](const Plan&, const Entry& e) { return e.diplomaSpecialty; }},
        {"Сертификат до", [](const Plan&, const Entry& e) { return dateText(e.certificateEnd); }},
        {"Специальность сертификата", [](const Plan&, const Entry& e) { return e.certificateSpecialty; }},
        {"Осталось дней",
         [](const Plan& p, const Entry& e) {
             return e.hasCertificate() ? QString::number(e.daysLeft(p.today)) : QString();
         }},
        {"Квартал", [](const Plan&, const Entry& e) { return QString::number(e.quarter); }},
        {"Программа",
         [](const Plan& p, const Entry& e) {
             return e.programmes.isEmpty() ? QString() : p.programmes[e.programmes.first()].title();
         }},
        {"Почему предложена", [](const Plan&, const Entry& e) { return e.rule; }},
        {"Другие программы",
         [](const Plan& p, const Entry& e) {
             QStringList codes;
             for (int i = 1; i < e.programmes.size(); ++i)
                 codes << p.programmes[e.programmes[i]].title();
             return codes.join(QStringLiteral("; "));
         }},
    };
    return list;
}

} // namespace

QString toCsv(const Plan& plan) {
    QStringList lines;
    QStringList heading;
    for (const Column& c : columns())
        heading << csvField(QString::fromUtf8(c.title));
    lines << heading.join(u',');
    for (const Entry& e : plan.entries) {
        QStringList cells;
        for (const Column& c : columns())
            cells << csvField(c.value(plan, e));
        lines << cells.join(u',');
    }
    return lines.join(u'\n') + u'\n';
}

QString toText(const Plan& plan) {
    // The last column (other programmes) is long: it closes the line unaligned.
    QList<QStringList> rows;
    QStringList heading;
    for (const Column& c : columns())
        heading << QString::fromUtf8(c.title);
    rows << heading;
    for (const Entry& e : plan.entries) {
        QStringList cells;
        for (const Column& c : columns())
            cells << c.value(plan, e);
        rows << cells;
    }
    QList<int> widths(columns().size(), 0);
    for (const QStringList& r : rows)
        for (int i = 0; i + 1 < r.size(); ++i)
            widths[i] = std::max(widths[i], int(r[i].size()));
    QStringList lines{QStringLiteral("План обучения на %1 год; сотрудников в плане: %2")
                          .arg(QString::number(plan.year), QString::number(plan.entries.size()))};
    for (const QStringList& r : rows) {
        QStringList cells;
        for (int i = 0; i < r.size(); ++i)
            cells << (i + 1 < r.size() ? r[i].leftJustified(widths[i]) : r[i]);
        lines << cells.join(QStringLiteral("  ")).trimmed();
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace plan
