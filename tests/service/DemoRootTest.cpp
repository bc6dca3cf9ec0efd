// The demo root: a new store filled with a believable, repeatable sample; a store with data refused.
#include "service/DemoRoot.h"
#include "app/Registration.h"
#include "core/CommandLine.h"
#include "data/DbError.h"
#include "data/SqliteStore.h"
#include "data/Table.h"
#include "personnel/Snils.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSet>

namespace {

// Every row of a table, as field name -> value (typed reads, so empties read as "", 0 or day zero).
struct Row {
    QHash<QString, QVariant> stored; // value(): null when empty
    QHash<QString, QString> text;    // asString()
    QHash<QString, QDate> date;      // asDate() of the date fields
    QString str(const char* f) const { return text.value(QString::fromLatin1(f)); }
    QVariant val(const char* f) const { return stored.value(QString::fromLatin1(f)); }
};

QList<Row> rows(Store& store, const QString& table) {
    Table t(store, table, table);
    t.open();
    QList<Row> out;
    for (t.first(); !t.eof(); t.next()) {
        Row r;
        for (int i = 0; i < t.fieldCount(); ++i) {
            const Field& f = t.field(i);
            r.stored.insert(f.name(), f.value());
            r.text.insert(f.name(), f.asString());
            if (f.type() == FieldType::Date)
                r.date.insert(f.name(), f.asDate());
        }
        out << r;
    }
    return out;
}

// The whole store as text, to compare two stores or a store before and after.
QStringList dump(Store& store) {
    QStringList out;
    for (const TableLayout& layout : layouts::all())
        for (const Row& r : rows(store, layout.sqlName)) {
            QStringList values;
            for (const FieldDef& f : layout.fields)
                values << r.text.value(f.name);
            out << layout.sqlName + u':' + values.join(u'|');
        }
    return out;
}

QString ru(const char* text) {
    return QString::fromUtf8(text);
}

const QDate kToday(2026, 3, 15);

struct Demo : ::testing::Test {
    TempStore temp;
    demo::Summary made;
    void SetUp() override { made = demo::fill(*temp.store, kToday); }
    QList<Row> table(const char* name) { return rows(*temp.store, QString::fromLatin1(name)); }
    QSet<QString> specialtyNames() {
        QSet<QString> names;
        for (const Row& r : table("Specialty"))
            names << r.str("Name");
        return names;
    }
};

TEST_F(Demo, ReferenceBooksHoldMedicalPositionsAndSpecialties) {
    const QList<Row> positions = table("DOLJNOST");
    EXPECT_GE(positions.size(), 22);
    EXPECT_LE(positions.size(), 30);
    int mixedCase = 0;
    QSet<qint64> codes;
    for (const Row& r : positions) {
        codes << r.val("KDoljn").toLongLong();
        mixedCase += r.str("NDoljn") != r.str("NDoljn").toUpper();
    }
    EXPECT_EQ(codes.size(), positions.size()) << "position codes repeat";
    EXPECT_GE(mixedCase, 1);
    EXPECT_LE(mixedCase, 2);
    EXPECT_GE(table("SPEZ").size(), 10);
    const QSet<QString> specialties = specialtyNames();
    EXPECT_GE(specialties.size(), 18);
    for (const char* name :
         {"Терапия", "Кардиология", "Хирургия", "Сестринское дело", "Анестезиология-реаниматология"})
        EXPECT_TRUE(specialties.contains(ru(name))) << name;
    EXPECT_EQ(made.positions, positions.size());
    EXPECT_EQ(made.specialties, specialties.size());
}

TEST_F(Demo, PeopleHaveMatchingNamesPositionsAndStartYears) {
    const QList<Row> people = table("Personal");
    EXPECT_GE(people.size(), 35);
    EXPECT_LE(people.size(), 45);
    EXPECT_EQ(made.people, people.size());

    QHash<qint64, QString> positions, diplomas;
    for (const Row& r : table("DOLJNOST"))
        positions.insert(r.val("KDoljn").toLongLong(), r.str("NDoljn"));
    for (const Row& r : table("SPEZ"))
        diplomas.insert(r.val("KSpez").toLongLong(), r.str("NSpez"));

    int women = 0, men = 0, noBirthDate = 0, noStartYear = 0;
    QSet<QString> fullNames;
    for (const Row& p : people) {
        const QString fio = p.str("Name1") + u' ' + p.str("Name2") + u' ' + p.str("Name3");
        SCOPED_TRACE(fio.toStdString());
        fullNames << fio;
        EXPECT_EQ(fio, fio.toUpper());
        const QString surname = p.str("Name1");
        if (p.str("Name3").endsWith(ru("ВНА"))) {
            ++women;
            EXPECT_TRUE(surname.endsWith(ru("А")) || surname.endsWith(ru("АЯ")) ||
                        surname.endsWith(ru("КО")));
        } else {
            ++men;
            EXPECT_TRUE(p.str("Name3").endsWith(ru("ВИЧ")));
            EXPECT_FALSE(surname.endsWith(ru("А")) || surname.endsWith(ru("АЯ")));
        }
        EXPECT_EQ(p.str("NDoljn"), positions.value(p.val("KDoljn").toLongLong()));
        EXPECT_EQ(p.str("NSpez"), diplomas.value(p.val("KSpez").toLongLong()));
        EXPECT_FALSE(p.str("NDoljn").isEmpty());
        EXPECT_FALSE(p.str("NSpez").isEmpty());
        if (p.val("DR").isNull()) {
            ++noBirthDate;
        } else {
            const int age = p.date.value("DR").daysTo(kToday) / 365;
            EXPECT_GE(age, 20);
            EXPECT_LE(age, 70);
        }
        if (p.val("StajOb").isNull()) {
            ++noStartYear;
        } else {
            EXPECT_LE(p.val("StajOb").toInt(), kToday.year());
            EXPECT_GT(p.val("StajOb").toInt(), p.date.value("DR").year());
            if (!p.val("StajDoljn").isNull()) {
                EXPECT_GE(p.val("StajDoljn").toInt(), p.val("StajOb").toInt());
            }
        }
    }
    EXPECT_EQ(fullNames.size(), people.size()) << "two people with the same name";
    EXPECT_GT(women, men);
    EXPECT_GE(men, 5);
    EXPECT_GE(noBirthDate, 1);
    EXPECT_LE(noBirthDate, 3);
    EXPECT_GE(noStartYear, 1);
    EXPECT_LE(noStartYear, 2);
}

TEST_F(Demo, CertificatesEmailsAndSnilsBelongToPeople) {
    QSet<qint64> people;
    for (const Row& r : table("Personal"))
        people << r.val("NPP").toLongLong();
    const QSet<QString> specialties = specialtyNames();

    QHash<qint64, int> certificates;
    int endingWithinAYear = 0, endingLater = 0;
    for (const Row& r : table("Sertif")) {
        EXPECT_TRUE(people.contains(r.val("PersonalKOD").toLongLong()));
        EXPECT_TRUE(specialties.contains(r.str("Name"))) << r.str("Name").toStdString();
        ++certificates[r.val("PersonalKOD").toLongLong()];
        const QDate end = r.date.value("DateCL");
        ASSERT_GT(end, kToday);
        (end <= kToday.addYears(1) ? endingWithinAYear : endingLater)++;
    }
    EXPECT_GE(endingWithinAYear, 3);
    EXPECT_GE(endingLater, 3);
    EXPECT_GE(people.size() - certificates.size(), 2) << "some people should have no certificate";
    EXPECT_GE(std::count(certificates.begin(), certificates.end(), 2), 2) << "some people should have two";

    QSet<qint64> withEmail;
    for (const Row& r : table("PEREMAIL")) {
        EXPECT_TRUE(people.contains(r.val("PersonalKOD").toLongLong()));
        EXPECT_TRUE(QRegularExpression("^[a-z0-9.]+@[a-z0-9.-]+\\.ru$").match(r.str("EMAIL")).hasMatch())
            << r.str("EMAIL").toStdString();
        withEmail << r.val("PersonalKOD").toLongLong();
    }
    EXPECT_GE(people.size() - withEmail.size(), 2);
    EXPECT_LE(people.size() - withEmail.size(), 6);

    QSet<qint64> withSnils;
    QSet<QString> numbers;
    for (const Row& r : table("PERSNILS")) {
        const snils::Verdict v = snils::validate(r.str("SNILS"));
        EXPECT_EQ(v.status, snils::Verdict::Status::Valid) << r.str("SNILS").toStdString();
        EXPECT_GT(v.number, snils::kLastUncheckedNumber);
        EXPECT_TRUE(people.contains(r.val("PersonalKOD").toLongLong()));
        withSnils << r.val("PersonalKOD").toLongLong();
        numbers << r.str("SNILS");
    }
    EXPECT_EQ(numbers.size(), withSnils.size()) << "a SNILS number given twice";
    EXPECT_GE(people.size() - withSnils.size(), 2);
    EXPECT_LE(people.size() - withSnils.size(), 6);
}

TEST_F(Demo, CatalogueCoversTwoYearsInKnownSpecialties) {
    const QList<Row> programmes = table("NewZicl2023");
    EXPECT_GE(programmes.size(), 50);
    EXPECT_LE(programmes.size(), 70);
    EXPECT_EQ(made.programmes, programmes.size());
    const QSet<QString> specialties = specialtyNames();
    const QSet<qint64> hours{18, 36, 72, 144, 252, 504};
    QHash<int, int> perYear;
    QSet<QString> codes, mainSpecialties, vids, forms;
    for (const Row& r : programmes) {
        SCOPED_TRACE(r.str("KZicl").toStdString() + " " + r.str("NZicl").toStdString());
        ++perYear[r.val("Year").toInt()];
        codes << r.str("KZicl");
        mainSpecialties << r.str("SPECIALY");
        vids << r.str("VidOb");
        forms << r.str("FOBUCH");
        EXPECT_TRUE(specialties.contains(r.str("SPECIALY")));
        for (const QString& extra : r.str("ADDSPECIALTY").split(QStringLiteral(", "), Qt::SkipEmptyParts))
            EXPECT_TRUE(specialties.contains(extra)) << extra.toStdString();
        EXPECT_TRUE(QRegularExpression(ru("^(П[КП]-\\d{4}|\\d{1,15})$")).match(r.str("KZicl")).hasMatch());
        EXPECT_TRUE(hours.contains(r.val("Hours").toLongLong()));
        EXPECT_EQ(r.str("TypeOb").size(), 1);
        EXPECT_FALSE(r.str("NZicl").isEmpty());
        EXPECT_FALSE(r.str("Contingent").isEmpty());
        EXPECT_GT(r.val("RealZicl").toDouble(), 0);
    }
    EXPECT_EQ(perYear.keys().size(), 2);
    EXPECT_GE(perYear.value(2026), 25);
    EXPECT_GE(perYear.value(2027), 25);
    EXPECT_EQ(codes.size(), programmes.size()) << "programme codes repeat";
    EXPECT_GE(mainSpecialties.size(), 5);
    EXPECT_EQ(vids, (QSet<QString>{ru("ПК"), ru("ПП")}));
    EXPECT_EQ(forms, (QSet<QString>{ru("очн"), ru("заочн"), ru("ДОТ")}));
}

TEST_F(Demo, SettingsAndBankDetailsFitTheirFields) {
    const QList<Row> config = table("Config");
    ASSERT_EQ(config.size(), 1);
    EXPECT_EQ(config[0].val("KZajavki").toInt(), 116);
    EXPECT_FALSE(config[0].str("NLPU").isEmpty());
    EXPECT_FALSE(config[0].str("Boss").isEmpty());
    EXPECT_FALSE(config[0].str("User").isEmpty());
    EXPECT_TRUE(QRegularExpression("^\\d{11}$").match(config[0].str("Phone")).hasMatch());

    const QList<Row> details = table("LPUDETAILS");
    ASSERT_EQ(details.size(), 1);
    const auto matches = [&](const char* field, const char* pattern) {
        EXPECT_TRUE(QRegularExpression(pattern).match(details[0].str(field)).hasMatch())
            << field << " = " << details[0].str(field).toStdString();
    };
    matches("INN", "^\\d{10}$");
    matches("KPP", "^\\d{9}$");
    matches("BIK", "^04\\d{7}$");
    matches("RCH", "^\\d{20}$");
    matches("LCH", "^\\d{20}$");
    EXPECT_FALSE(details[0].str("ADRESS").isEmpty());
    EXPECT_FALSE(details[0].str("BANK").isEmpty());
}

TEST_F(Demo, ApplicationTraineesAreSnapshotsOfTheirPeople) {
    const QList<Row> applications = table("Zajavki2023");
    ASSERT_EQ(applications.size(), 1);
    EXPECT_EQ(applications[0].val("KZajavki").toDouble(), 116.0);
    EXPECT_EQ(applications[0].val("Year").toInt(), 2026);

    QHash<qint64, Row> people;
    for (const Row& r : table("Personal"))
        people.insert(r.val("NPP").toLongLong(), r);
    QHash<qint64, Row> firstCertificate, email, snilsRow;
    for (const Row& r : table("Sertif"))
        if (!firstCertificate.contains(r.val("PersonalKOD").toLongLong()))
            firstCertificate.insert(r.val("PersonalKOD").toLongLong(), r);
    for (const Row& r : table("PEREMAIL"))
        email.insert(r.val("PersonalKOD").toLongLong(), r);
    for (const Row& r : table("PERSNILS"))
        snilsRow.insert(r.val("PersonalKOD").toLongLong(), r);
    QHash<QString, Row> programmes2026;
    for (const Row& r : table("NewZicl2023"))
        if (r.val("Year").toInt() == 2026)
            programmes2026.insert(r.str("KZicl"), r);

    const QList<Row> trainees = table("Sluch2023");
    EXPECT_GE(trainees.size(), 5);
    EXPECT_LE(trainees.size(), 8);
    EXPECT_EQ(made.trainees, trainees.size());
    bool zeroBirthDate = false, zeroStartYear = false, noCertificate = false, noEmail = false,
         noSnils = false;
    QSet<qint64> seen;
    for (const Row& t : trainees) {
        const qint64 kod = t.val("KodPersonal").toLongLong();
        SCOPED_TRACE(t.str("Name1").toStdString());
        ASSERT_TRUE(people.contains(kod));
        EXPECT_FALSE(seen.contains(kod)) << "a person twice in the application";
        seen << kod;
        const Row& p = people[kod];
        EXPECT_EQ(t.val("KZajavki").toDouble(), 116.0);
        EXPECT_EQ(t.val("Year").toInt(), 2026);
        ASSERT_TRUE(programmes2026.contains(t.str("KZicl")));
        const Row& z = programmes2026[t.str("KZicl")];
        EXPECT_EQ(t.str("VidOb"), z.str("VidOb"));
        EXPECT_EQ(t.str("FOBUCH"), z.str("FOBUCH"));
        EXPECT_EQ(t.val("Hours"), z.val("Hours"));
        EXPECT_GE(t.val("KV").toInt(), 1);
        EXPECT_LE(t.val("KV").toInt(), 4);
        for (const char* f : {"Name1", "Name2", "Name3", "KDoljn", "KSpez"})
            EXPECT_EQ(t.str(f), p.str(f)) << f;
        EXPECT_EQ(t.date.value("DR"), p.date.value("DR"));
        EXPECT_FALSE(t.val("DR").isNull()) << "an empty birth date is taken as the day zero";
        EXPECT_EQ(t.val("StajOb").toDouble(), 2026.0 - p.val("StajOb").toInt());
        EXPECT_EQ(t.val("StajDoljn").toDouble(), 2026.0 - p.val("StajDoljn").toInt());
        zeroBirthDate |= p.val("DR").isNull();
        zeroStartYear |= p.val("StajOb").isNull();
        if (firstCertificate.contains(kod)) {
            EXPECT_EQ(t.date.value("DateCl"), firstCertificate[kod].date.value("DateCL"));
            EXPECT_EQ(t.str("Specialty"), firstCertificate[kod].str("Name"));
        } else {
            noCertificate = true;
            EXPECT_TRUE(t.val("DateCl").isNull());
            EXPECT_TRUE(t.val("Specialty").isNull());
        }
        EXPECT_EQ(t.str("EMAIL"), email.value(kod).str("EMAIL"));
        EXPECT_EQ(t.str("SNILS"), snilsRow.value(kod).str("SNILS"));
        noEmail |= !email.contains(kod);
        noSnils |= !snilsRow.contains(kod);
    }
    // The sample puts people with gaps into the application, so the snapshot rules show.
    EXPECT_TRUE(zeroBirthDate);
    EXPECT_TRUE(zeroStartYear);
    EXPECT_TRUE(noCertificate);
    EXPECT_TRUE(noEmail);
    EXPECT_TRUE(noSnils);
}

TEST_F(Demo, TheSameDateGivesTheSameSample) {
    TempStore other;
    demo::fill(*other.store, kToday);
    EXPECT_EQ(dump(*other.store), dump(*temp.store));
}

TEST_F(Demo, AStoreWithDataIsRefusedAndLeftAsItWas) {
    const QStringList before = dump(*temp.store);
    try {
        demo::fill(*temp.store, kToday);
        ADD_FAILURE() << "the second fill was not refused";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(ru("уже есть сотрудники"))) << e.message().toStdString();
    }
    EXPECT_EQ(dump(*temp.store), before);
}

TEST(DemoRefusal, NamesWhatTheStoreAlreadyHolds) {
    const struct {
        const char* table;
        const char* field;
        const char* what;
    } cases[] = {
        {"Personal", "Name1", "уже есть сотрудники"},
        {"Zajavki2021", "KZajavki", "уже есть заявки"},
        {"Sluch", "Name1", "уже есть слушатели заявок"},
        {"Specialty", "Name", "уже есть записи в таблице Specialty.DB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        TempStore temp;
        EXPECT_EQ(demo::refusal(*temp.store), "");
        {
            Table t(*temp.store, c.table, c.table);
            t.open();
            t.append();
            t.field(c.field).setAsString("1");
            t.post();
        }
        EXPECT_TRUE(demo::refusal(*temp.store).contains(ru(c.what)))
            << demo::refusal(*temp.store).toStdString();
    }
}

// The command, as a user runs it: one line on success, one line on stderr and a failure status after.
TEST(DemoCommand, FillsANewRootOnceOnly) {
    registerServiceCommands();
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/root");
    const auto run = [&](QStringList args, QString& out, QString& err) {
        QTextStream o(&out), e(&err);
        return runCommand(CommandLine::parse(args), o, e);
    };
    QString out, err;
    ASSERT_EQ(run({"demo", "--root", root}, out, err), 0) << err.toStdString();
    EXPECT_EQ(err, "");
    EXPECT_EQ(out.count(u'\n'), 1);
    EXPECT_TRUE(out.startsWith(ru("Демонстрационный пример создан в "))) << out.toStdString();
    EXPECT_TRUE(out.contains(ru("заявка № 116 на 2026 год"))) << out.toStdString();
    {
        auto store = SqliteStore::open(RootPaths(root).storeFile());
        EXPECT_EQ(rows(*store, "Zajavki2023").size(), 1);
    }

    out.clear();
    ASSERT_EQ(run({"demo", "--root", root}, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.count(u'\n'), 1);
    EXPECT_TRUE(err.contains(ru("уже есть сотрудники"))) << err.toStdString();

    err.clear();
    EXPECT_EQ(run({"demo", "extra", "--root", root}, out, err), 2);
    EXPECT_TRUE(err.contains("extra"));
}

} // namespace
