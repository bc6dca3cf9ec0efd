#include "applications/ApplicationRules.h"

#include "data/DataModule.h"
#include "data/Store.h"
#include "core/Prompter.h"
#include "core/SharedState.h"

#include <QRegularExpression>

namespace applications {

QString countLine(const TDM& dm, const Generation& g) {
    const Table& t = g.traineesTable(dm);
    return QStringLiteral("заявленно - %1").arg(t.isActive() ? t.recordCount() : 0);
}

QStringList catalogueSql(const Generation& g, bool upToYear) {
    return {QStringLiteral("SELECT * FROM \"%1\" WHERE \"Year\" %2 :p_year").arg(g.catalogue, upToYear ? "<=" : "="),
            QStringLiteral("ORDER BY RealZicl, NPP")};
}

double additionalNumber(const TDM& dm, const Generation& g, int year, bool* noMain) {
    const double highest = const_cast<TDM&>(dm).maxApplicationNumber(g.maxQueryOf(dm), year);
    if (noMain)
        *noMain = highest == 0;
    const double base = highest != 0 ? highest : double(dm.field(QStringLiteral("tblConfigKZajavki")).asInteger());
    // The number travels through its text form (as the confirmation shows it), which also
    // rounds away the binary remainder of adding 0.01.
    return QString::number(base + 0.01, 'g', 15).toDouble();
}

bool locateApplication(const TDM& dm, const Generation& g, double number, int year) {
    return g.applicationsTable(dm).locate(QStringLiteral("KZajavki;Year"), {number, year});
}

void createApplication(const TDM& dm, const Generation& g, double number, int year) {
    Table& apps = g.applicationsTable(dm);
    apps.append();
    apps.field(QStringLiteral("KZajavki")).setAsFloat(number);
    apps.field(QStringLiteral("Year")).setAsInteger(year);
    apps.post();
}

std::optional<int> parseQuarter(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*([1-4])\\s*$"));
    const auto m = whole.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

bool isMarked(const QVariant& pr) { return pr.toString() == QStringLiteral("X"); }

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

} // namespace

void clearMarks(const TDM& dm) {
    Table& people = *dm.tblPersonal;
    Store::Transaction transaction(dm.store());
    {
        MarkedView marked(people);
        people.first();
        // Each cleared row leaves the filtered view and the next marked person becomes current.
        while (!people.eof()) {
            people.edit();
            people.field(QStringLiteral("PR")).clear();
            people.post();
        }
    }
    transaction.commit();
}

void toggleMark(const TDM& dm) {
    Table& people = *dm.tblPersonal;
    if (people.isEmpty())
        return;
    const bool marked = isMarked(people.field(QStringLiteral("PR")).value());
    people.edit();
    people.field(QStringLiteral("PR")).setAsString(marked ? QStringLiteral(" ") : QStringLiteral("X"));
    people.post();
}

int addMarkedPeople(const TDM& dm, const Generation& g, const SharedState& state, int quarter) {
    Table& people = *dm.tblPersonal;
    Table& trainees = g.traineesTable(dm);
    auto person = [&](const char* name) -> Field& { return people.field(QString::fromLatin1(name)); };
    auto set = [&](const char* name, const QVariant& v) { trainees.field(QString::fromLatin1(name)).setValue(v); };

    Store::Transaction transaction(dm.store());
    int added = 0;
    {
        MarkedView marked(people);
        people.first();
        while (!people.eof()) {
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
            set("StajOb", person("StajO1").asFloat());
            set("StajDoljn", person("StajD1").asFloat());
            if (g.certificateInRow) {
                // A stored date counts, the zero date too, though grids show that one empty.
                Field& certificateDate = dm.tblSertif->field(QStringLiteral("DateCL"));
                if (!certificateDate.isNull()) {
                    set("DateCl", certificateDate.asDate());
                    set("Specialty", dm.tblSertif->field(QStringLiteral("Name")).asString());
                }
                set("EMAIL", dm.tblPerEmail->field(QStringLiteral("EMAIL")).asString());
            }
            if (g.snilsInRow)
                set("SNILS", dm.tblPerSnils->field(QStringLiteral("SNILS")).asString());
            trainees.post();
            ++added;
            people.next();
        }
    }
    transaction.commit();
    return added;
}

bool deleteApplication(const TDM& dm, const Generation& g, SharedState& state, Prompter& prompter,
                       const std::function<void()>& beforeDeleting) {
    if (!prompter.confirmWithBeep(QStringLiteral("Вы хотите удалить всю заявку")))
        return false;
    if (beforeDeleting)
        beforeDeleting();
    state.SilentDelete = 1;
    Table& apps = g.applicationsTable(dm);
    Table& trainees = g.traineesTable(dm);
    Store::Transaction transaction(dm.store());
    trainees.first();
    while (!trainees.eof())
        trainees.remove();
    apps.remove();
    transaction.commit();
    return true;
}

void deleteTrainee(const TDM& dm, const Generation& g, SharedState& state) {
    state.SilentDelete = 0;
    g.traineesTable(dm).remove();
}

} // namespace applications
