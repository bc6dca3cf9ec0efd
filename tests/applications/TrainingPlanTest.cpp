// The year's training plan without windows: who is selected, the quarter proposed, the programmes
// matched, and adding the chosen people to an application in one transaction.
#include "applications/TrainingPlan.h"
#include "applications/ApplicationRules.h"
#include "data/AppContext.h"
#include "data/DbError.h"
#include "shell/StartupTables.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {

const QDate kToday(2026, 3, 15);
constexpr int kYear = 2027;

struct Plan : ::testing::Test {
    QTemporaryDir dir;
    FixedClock clock{kToday};
    ScriptedPrompter prompter;
    AppContext app{RootPaths(dir.path()), clock, prompter};
    std::optional<ServerStoreDatabase> server;

    void SetUp() override {
        useTestServer(app, server);
        app.openStore();
        app.state.CurYear = quint16(kToday.year());
    }

    // Rows are written straight into the store; the data module's tables are opened afterwards.
    qint64 insert(const QString& sql, const QVariantList& values) {
        auto st = app.store->cached(sql + " RETURNING rowid");
        for (int i = 0; i < values.size(); ++i)
            st->bind(i + 1, values[i]);
        return app.store->insertRow(*st);
    }
    qint64 person(const QString& surname, const QString& position = "ВРАЧ",
                  const QDate& birth = QDate(1980, 1, 2)) {
        return insert(
            "INSERT INTO Personal (Name1, Name2, Name3, DR, NDoljn, NSpez) VALUES (?, ?, ?, ?, ?, ?)",
            {surname, "ИВАН", "ИВАНОВИЧ", birth, position, "Лечебное дело"});
    }
    void certificate(qint64 who, const QDate& end, const QString& specialty = "Терапия") {
        insert("INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES (?, ?, ?)",
               {end.isValid() ? QVariant(end) : QVariant(), specialty, who});
    }
    void programme(const QString& code, const QString& specialty, const QString& additional,
                   int year = kYear) {
        static double order = 0;
        insert("INSERT INTO NewZicl2023 (KZicl, VidOb, Hours, NZicl, RealZicl, \"Year\", SPECIALY, "
               "ADDSPECIALTY, "
               "FOBUCH) VALUES (?, 'ПК', 36, ?, ?, ?, ?, ?, 'очная')",
               {code, "Программа " + code, ++order, year, specialty, additional});
    }
    void trainee(int year, const QString& surname, const QVariant& number,
                 const QDate& birth = QDate(1980, 1, 2), const QDate& certificateEnd = QDate()) {
        insert(
            "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, DR, \"Year\", KodPersonal, DateCl) "
            "VALUES (116, ?, 'ИВАН', 'ИВАНОВИЧ', ?, ?, ?, ?)",
            {surname, birth, year, number, certificateEnd.isValid() ? QVariant(certificateEnd) : QVariant()});
    }
    DataModule& tables() {
        DataModule& dm = app.createDataModule();
        openStartupTables(
            dm, [](const StartupTable&) {},
            [](const StartupTable& t, const QString& why) { ADD_FAILURE() << why.toStdString(); });
        return dm;
    }
    plan::Plan build(int year = kYear) {
        return plan::buildPlan(*app.DM, Generation::current(), year, kToday);
    }
    static const plan::Entry* find(const plan::Plan& p, const QString& surname) {
        for (const plan::Entry& e : p.entries)
            if (e.surname == surname)
                return &e;
        return nullptr;
    }
    QStringList codes(const plan::Plan& p, const plan::Entry& e) {
        QStringList list;
        for (int i : e.programmes)
            list << p.programmes[i].code;
        return list;
    }
};

TEST_F(Plan, SelectsThoseWhoseLatestCertificateEndsBeforeTheEndOfTheNextYear) {
    enum Listed { No, ByName, ByNumber, OtherYear };
    const struct {
        const char* surname;
        QList<QDate> ends; // in the order they were entered
        Listed listed;
        bool inPlan;
        int quarter;
        QDate end;
    } cases[] = {
        {"ИСТЁК", {QDate(2025, 6, 1)}, No, true, 1, QDate(2025, 6, 1)},
        {"ВГОДУ", {QDate(2027, 8, 15)}, No, true, 2, QDate(2027, 8, 15)},
        {"ВСЛЕДУЮЩЕМ", {QDate(2028, 12, 31)}, No, true, 4, QDate(2028, 12, 31)},
        {"ПОЗЖЕ", {QDate(2029, 1, 1)}, No, false, 0, {}},
        {"БЕЗСЕРТИФИКАТА", {}, No, true, 1, {}},
        {"БЕЗДАТЫ", {QDate()}, No, true, 1, {}},
        {"ВЗАЯВКЕ", {QDate(2027, 8, 15)}, ByName, false, 0, {}},
        {"ВЗАЯВКЕПОНОМЕРУ", {QDate(2027, 8, 15)}, ByNumber, false, 0, {}},
        {"ВПРОШЛОЙЗАЯВКЕ", {QDate(2027, 8, 15)}, OtherYear, true, 2, QDate(2027, 8, 15)},
        {"НОВЫЙДАЛЬШЕ", {QDate(2022, 1, 1), QDate(2030, 1, 1)}, No, false, 0, {}},
        {"НОВЫЙРАНЬШЕ", {QDate(2030, 1, 1), QDate(2027, 3, 1)}, No, false, 0, {}},
        {"ДВАОБАСКОРО", {QDate(2020, 5, 5), QDate(2027, 11, 30)}, No, true, 3, QDate(2027, 11, 30)},
    };
    for (const auto& c : cases) {
        const qint64 who = person(c.surname);
        for (const QDate& end : c.ends)
            certificate(who, end);
        if (c.listed == ByName)
            trainee(kYear, c.surname, QVariant());
        else if (c.listed == ByNumber)
            trainee(kYear, "ДРУГАЯФАМИЛИЯ", who);
        else if (c.listed == OtherYear)
            trainee(kYear - 1, c.surname, who);
    }
    tables();
    const plan::Plan p = build();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.surname);
        const plan::Entry* e = find(p, c.surname);
        ASSERT_EQ(e != nullptr, c.inPlan);
        if (!e)
            continue;
        EXPECT_EQ(e->quarter, c.quarter);
        EXPECT_EQ(e->certificateEnd, c.end);
        EXPECT_EQ(e->hasCertificate(), c.end.isValid());
    }
    EXPECT_EQ(find(p, "ИСТЁК")->daysLeft(kToday), -287);
    EXPECT_EQ(find(p, "ВГОДУ")->daysLeft(kToday), kToday.daysTo(QDate(2027, 8, 15)));

    // Without a certificate first, then by the end date.
    QStringList order;
    for (const plan::Entry& e : p.entries)
        order << e.surname;
    EXPECT_EQ(order, (QStringList{"БЕЗДАТЫ", "БЕЗСЕРТИФИКАТА", "ИСТЁК", "ВГОДУ", "ВПРОШЛОЙЗАЯВКЕ",
                                  "ДВАОБАСКОРО", "ВСЛЕДУЮЩЕМ"}));
}

TEST_F(Plan, ProposesTheLatestQuarterThatEndsBeforeTheCertificate) {
    const struct {
        QDate end;
        int quarter;
    } cases[] = {
        {QDate(), 1},
        {QDate(2026, 12, 1), 1},
        {QDate(2027, 3, 31), 1},
        {QDate(2027, 4, 1), 1},
        {QDate(2027, 6, 30), 1},
        {QDate(2027, 7, 1), 2},
        {QDate(2027, 10, 1), 3},
        {QDate(2027, 12, 31), 3},
        {QDate(2028, 1, 1), 4},
        {QDate(2031, 5, 5), 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan::proposedQuarter(kYear, c.end), c.quarter) << c.end.toString().toStdString();
}

TEST_F(Plan, MatchesProgrammesByTheirMainOrAdditionalSpecialty) {
    plan::Programme p;
    p.specialty = "Кардиология";
    p.additional = "Терапия, Общая врачебная практика (семейная медицина);\nРентгенология ";
    const struct {
        const char* specialty;
        bool matches;
    } cases[] = {
        {"Кардиология", true},
        {"  кардиология ", true},
        {"Терапия", true},
        {"РЕНТГЕНОЛОГИЯ", true},
        {"Общая врачебная практика (семейная медицина)", true},
        {"Общая врачебная практика", false},
        {"Педиатрия", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan::programmeMatches(p, c.specialty), c.matches) << c.specialty;
    plan::Programme yo;
    yo.specialty = "Лечебное дело";
    yo.additional = "Организация здравоохранения и общественное здоровье";
    EXPECT_TRUE(plan::programmeMatches(yo, "организация  здравоохранения и общественное здоровье"));
}

TEST_F(Plan, OffersTheYearsProgrammesOfTheCertificatesSpecialtyInCatalogueOrder) {
    programme("T-1", "Терапия", "");
    programme("K-1", "Кардиология", "терапия; Неврология");
    programme("T-OLD", "Терапия", "", kYear - 1);
    programme("P-1", "Педиатрия", "");
    programme("L-1", "Лечебное дело", "");
    const qint64 therapist = person("ТЕРАПЕВТ");
    certificate(therapist, QDate(2027, 5, 1), "ТЕРАПИЯ");
    const qint64 neurologist = person("НЕВРОЛОГ");
    certificate(neurologist, QDate(2027, 5, 1), "Неврология");
    person("НОВЫЙ"); // no certificate: the diploma's specialty, Лечебное дело
    const qint64 dentist = person("СТОМАТОЛОГ");
    certificate(dentist, QDate(2027, 5, 1), "Стоматология");
    tables();
    const plan::Plan p = build();
    EXPECT_EQ(codes(p, *find(p, "ТЕРАПЕВТ")), (QStringList{"T-1", "K-1"}));
    EXPECT_EQ(codes(p, *find(p, "НЕВРОЛОГ")), (QStringList{"K-1"}));
    EXPECT_EQ(codes(p, *find(p, "НОВЫЙ")), (QStringList{"L-1"}));
    EXPECT_TRUE(codes(p, *find(p, "СТОМАТОЛОГ")).isEmpty());
    EXPECT_EQ(p.programmes.size(), 4) << "only the catalogue of the plan's year";
}

TEST_F(Plan, ProposesTheProgrammeOfThePersonsOwnSpecialtyAdvancedTrainingFirst) {
    // The catalogue in its order: retraining before advanced training, an additional specialty
    // before the main one.
    const struct {
        const char* code;
        const char* kind;
        const char* specialty;
        const char* additional;
    } catalogue[] = {
        {"ПП-8066", "ПП", "Сестринское дело", "Лечебное дело"},
        {"ПП-2", "ПП", "Хирургия", ""},
        {"ПК-1", "ПК", "Хирургия", ""},
        {"ПК-3", "ПК", "Терапия", ""},
        {"ПК-5", "ПК", "Неонатология", "Педиатрия"},
        {"ПК-6", "ПК", "Педиатрия", ""},
        {"ПК-7", "ПК", "Сестринское дело", ""},
        {"ПК-9", "ПК", "Акушерство и гинекология", ""},
    };
    QList<plan::Programme> programmes;
    for (const auto& c : catalogue) {
        plan::Programme p;
        p.code = QString::fromUtf8(c.code);
        p.kind = QString::fromUtf8(c.kind);
        p.specialty = QString::fromUtf8(c.specialty);
        p.additional = QString::fromUtf8(c.additional);
        programmes << p;
    }
    const struct {
        const char* who;
        const char* certificate;
        const char* position;
        const char* diploma;
        QStringList proposed; // in the order offered
        const char* rule;
    } people[] = {
        {"surgeon without a certificate",
         "",
         "ВРАЧ-ХИРУРГ",
         "Лечебное дело",
         {"ПК-1", "ПП-2"},
         "по должности «ВРАЧ-ХИРУРГ»"},
        {"district therapist without one",
         "",
         "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ",
         "Лечебное дело",
         {"ПК-3"},
         "по должности «ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ»"},
        {"surgeon with one",
         "Хирургия",
         "ВРАЧ-ХИРУРГ",
         "Лечебное дело",
         {"ПК-1", "ПП-2"},
         "по специальности сертификата «Хирургия»"},
        {"paediatrician",
         "Педиатрия",
         "ВРАЧ-ПЕДИАТР",
         "Педиатрия",
         {"ПК-6", "ПК-5"},
         "по специальности сертификата «Педиатрия»"},
        {"ward nurse",
         "",
         "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ",
         "Сестринское дело",
         {"ПК-7", "ПП-8066"},
         "по должности «МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ»"},
        {"obstetrician",
         "",
         "ВРАЧ-АКУШЕР-ГИНЕКОЛОГ",
         "Лечебное дело",
         {"ПК-9"},
         "по должности «ВРАЧ-АКУШЕР-ГИНЕКОЛОГ»"},
        {"nurse by her diploma",
         "",
         "ПОСТОВАЯ",
         "Сестринское дело",
         {"ПК-7", "ПП-8066"},
         "по специальности диплома «Сестринское дело»"},
        {"doctor whose position names nothing", "", "ВРАЧ-СТАЖЕР", "Лечебное дело", {}, ""},
        {"dentist", "Стоматология", "ВРАЧ-СТОМАТОЛОГ", "Стоматология", {}, ""},
    };
    for (const auto& c : people) {
        const plan::Choice choice =
            plan::chooseProgrammes(programmes, QString::fromUtf8(c.certificate),
                                   QString::fromUtf8(c.position), QString::fromUtf8(c.diploma));
        QStringList codes;
        for (int i : choice.programmes)
            codes << programmes[i].code;
        EXPECT_EQ(codes, c.proposed) << c.who;
        EXPECT_EQ(choice.rule, QString::fromUtf8(c.rule)) << c.who;
    }
    EXPECT_GT(plan::positionScore("ВРАЧ-ДЕТСКИЙ ХИРУРГ", "Детская хирургия"),
              plan::positionScore("ВРАЧ-ДЕТСКИЙ ХИРУРГ", "Хирургия"));
    EXPECT_EQ(plan::positionScore("ВРАЧ-ХИРУРГ", "Терапия"), 0);
}

TEST_F(Plan, LeavesOutWhoWasAppliedForInAnEarlierYearForTheCertificateThatEnds) {
    const QDate end(2027, 5, 1);
    const qint64 applied = person("ПОДАН");
    certificate(applied, end);
    trainee(kYear - 1, "ПОДАН", applied, QDate(1980, 1, 2), end);
    const qint64 byName = person("ПОДАНБЕЗНОМЕРА");
    certificate(byName, end);
    trainee(kYear - 1, "ПОДАНБЕЗНОМЕРА", QVariant(), QDate(1980, 1, 2), end);
    const qint64 earlier = person("ПРОШЛЫЙ"); // trained for the certificate before this one
    certificate(earlier, end);
    trainee(kYear - 1, "ПРОШЛЫЙ", earlier, QDate(1980, 1, 2), QDate(2022, 5, 1));
    tables();
    const plan::Plan p = build();
    EXPECT_FALSE(find(p, "ПОДАН"));
    EXPECT_FALSE(find(p, "ПОДАНБЕЗНОМЕРА"));
    EXPECT_TRUE(find(p, "ПРОШЛЫЙ"));
}

struct PlanAdding : Plan {
    qint64 first = 0, second = 0, third = 0;
    void SetUp() override {
        Plan::SetUp();
        programme("T-1", "Терапия", "");
        programme("T-2", "Терапия", "");
        programme("P-1", "Педиатрия", "");
        first = person("АНДРЕЕВ");
        certificate(first, QDate(2019, 1, 1), "Лечебное дело"); // the first entered, not the one that counts
        certificate(first, QDate(2027, 5, 1), "Терапия");
        second = person("БОРИСОВ");
        certificate(second, QDate(2027, 10, 1), "Терапия");
        third = person("ВАСИЛЬЕВ");
        certificate(third, QDate(2027, 2, 1), "Педиатрия");
        insert("INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, ?)", {kYear});
        insert("INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (117, ?)", {kYear});
        tables();
    }
    int indexOf(const plan::Plan& p, const QString& surname) {
        for (int i = 0; i < p.entries.size(); ++i)
            if (p.entries[i].surname == surname)
                return i;
        return -1;
    }
    int programmeOf(const plan::Plan& p, const QString& code) {
        for (int i = 0; i < p.programmes.size(); ++i)
            if (p.programmes[i].code == code)
                return i;
        return -1;
    }
    qint64 count(const QString& sql) {
        auto st = app.store->cached(sql);
        st->step();
        return st->int64(0);
    }
};

TEST_F(PlanAdding, AddsEachWithItsProgrammeAndQuarterThroughTheAddingRule) {
    const plan::Plan p = build();
    ASSERT_EQ(p.entries.size(), 3);
    EXPECT_EQ(plan::applicationsOf(*app.DM, Generation::current(), kYear), (QList<double>{116, 117}));
    app.state.SelKZicl = "ПРЕЖНЯЯ";
    app.state.SelHours = 99;
    const int added = plan::addToApplication(*app.DM, Generation::current(), app.state, p, 116, kYear,
                                             {{indexOf(p, "АНДРЕЕВ"), programmeOf(p, "T-1"), 1},
                                              {indexOf(p, "БОРИСОВ"), programmeOf(p, "T-2"), 3},
                                              {indexOf(p, "ВАСИЛЬЕВ"), programmeOf(p, "P-1"), 1}});
    EXPECT_EQ(added, 3);

    auto st =
        app.store->cached("SELECT Name1, KZicl, KV, Hours, FOBUCH, DateCl, Specialty, KodPersonal, \"Year\" "
                          "FROM Sluch2023 WHERE KZajavki = 116 ORDER BY Name1");
    QStringList rows;
    while (st->step()) {
        QStringList cells;
        for (int c = 0; c < 9; ++c)
            cells << st->rawValue(c).toString();
        rows << cells.join('|');
    }
    EXPECT_EQ(rows, (QStringList{
                        QString("АНДРЕЕВ|T-1|1|36|очная|2027-05-01|Терапия|%1|2027").arg(first),
                        QString("БОРИСОВ|T-2|3|36|очная|2027-10-01|Терапия|%1|2027").arg(second),
                        QString("ВАСИЛЬЕВ|P-1|1|36|очная|2027-02-01|Педиатрия|%1|2027").arg(third),
                    }));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Personal WHERE PR = 'X'"), 0) << "no marks are left";
    EXPECT_EQ(app.state.SelKZicl, "ПРЕЖНЯЯ");
    EXPECT_EQ(app.state.SelHours, 99);
    EXPECT_TRUE(build().entries.isEmpty()) << "whoever was added is no longer in the plan";
}

TEST_F(PlanAdding, WritesNothingWhenOnePersonCannotBeAdded) {
    const plan::Plan p = build();
    // The third person leaves the register after the plan was made.
    app.state.SilentDelete = 1;
    ASSERT_TRUE(app.DM->tblPersonal->locate("NPP", {third}));
    app.DM->tblPersonal->remove();

    try {
        plan::addToApplication(*app.DM, Generation::current(), app.state, p, 116, kYear,
                               {{indexOf(p, "АНДРЕЕВ"), programmeOf(p, "T-1"), 1},
                                {indexOf(p, "ВАСИЛЬЕВ"), programmeOf(p, "P-1"), 2}});
        FAIL() << "the missing person must stop the adding";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  "Сотрудника ВАСИЛЬЕВ ИВАН ИВАНОВИЧ больше нет в списке персонала. Составьте план заново.");
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Sluch2023"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Personal WHERE PR = 'X'"), 0);
    EXPECT_EQ(app.DM->tblSluch2023->recordCount(), 0);

    EXPECT_THROW(plan::addToApplication(*app.DM, Generation::current(), app.state, p, 118, kYear,
                                        {{indexOf(p, "АНДРЕЕВ"), programmeOf(p, "T-1"), 1}}),
                 DbError)
        << "no such application";
    EXPECT_THROW(plan::addToApplication(*app.DM, Generation::current(), app.state, p, 116, kYear,
                                        {{indexOf(p, "АНДРЕЕВ"), programmeOf(p, "T-1"), 5}}),
                 DbError)
        << "no such quarter";
    EXPECT_EQ(count("SELECT COUNT(*) FROM Sluch2023"), 0);
}

TEST_F(PlanAdding, PrintsAsTextAndCsv) {
    const plan::Plan p = build();
    const QStringList csv = plan::toCsv(p).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 4);
    EXPECT_EQ(
        csv[0],
        "Фамилия,Имя,Отчество,Должность,Специальность по диплому,Сертификат до,Специальность сертификата,"
        "Осталось дней,Квартал,Программа,Почему предложена,Другие программы");
    EXPECT_EQ(csv[1], QString("ВАСИЛЬЕВ,ИВАН,ИВАНОВИЧ,ВРАЧ,Лечебное дело,01.02.2027,Педиатрия,%1,1,"
                              "\"P-1 ПК, 36 ч. — Программа P-1\",по специальности сертификата «Педиатрия»,")
                          .arg(kToday.daysTo(QDate(2027, 2, 1))));
    const QString text = plan::toText(p);
    EXPECT_TRUE(text.startsWith("План обучения на 2027 год; сотрудников в плане: 3\n"));
    EXPECT_EQ(text.count('\n'), 5);
}

} // namespace
