// The data module's rules: links, calculated years of service, the positions search,
// the delete question and the queries.
#include "data/DataModule.h"
#include "core/SharedState.h"
#include "data/DbError.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>

namespace {

struct Module : ::testing::Test {
    TempStore temp;
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm{*temp.store, state, prompter};

    void SetUp() override {
        state.CurYear = 2026;
        dm.openAllTables();
    }

    qint64 addPerson(const QString& surname, QVariant startYear = {}) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(surname);
        dm.field("tblPersonalStajOb").setValue(startYear);
        dm.field("tblPersonalStajDoljn").setValue(startYear);
        dm.tblPersonal->post();
        return dm.field("tblPersonalNPP").asInteger();
    }
    void addDetail(Table* t, const char* field, const QString& value) {
        t->append();
        t->field(field).setAsString(value);
        t->post();
    }
    void addPosition(int code, const QString& name) {
        dm.tblDoljn->append();
        dm.tblDoljn->field("KDoljn").setAsInteger(code);
        dm.tblDoljn->field("NDoljn").setAsString(name);
        dm.tblDoljn->post();
    }
};

TEST_F(Module, FieldObjectsAreFoundByTheirNames) {
    EXPECT_EQ(&dm.field("tblPersonalName1"), &dm.tblPersonal->field("Name1"));
    EXPECT_EQ(&dm.field("tblSluch2023KZajavki"), &dm.tblSluch2023->field("KZajavki"));
    EXPECT_EQ(&dm.field("qrMZajavki2023MAXZAJAVKI"), &dm.qrMZajavki2023->field("MAXZAJAVKI"));
    EXPECT_TRUE(dm.field("tblPersonalStajO1").isCalculated());
    EXPECT_TRUE(dm.field("tblPersonalNPP").isReadOnly());
    EXPECT_EQ(dm.field("tblSLSertifDateCL").editMask, "!99/99/0000;1;_");
    EXPECT_EQ(dm.dataSource("dtsLPUDetails")->dataset(), dm.tblLPUDETAILS);
    EXPECT_EQ(dm.dataSource("dtsQNewZICL2021")->dataset(), dm.qNewZicl);
    EXPECT_THROW(dm.field("tblPersonalNoSuchField"), DbError);
}

TEST_F(Module, DetailsFollowTheCurrentPerson) {
    addPerson("АНДРЕЕВ");
    addDetail(dm.tblPerEmail, "EMAIL", "a@example.ru");
    addDetail(dm.tblPerSnils, "SNILS", "112-233-445 95");
    addDetail(dm.tblSertif, "Name", "Терапия");
    addDetail(dm.tblSertif, "Name", "Кардиология");
    addPerson("БОРИСОВ");
    addDetail(dm.tblTrained, "KZicl", "123456789");
    dm.tblPersonal->first();
    EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(), "a@example.ru");
    EXPECT_EQ(dm.field("tblPerSnilsSNILS").asString(), "112-233-445 95");
    EXPECT_EQ(dm.tblSertif->recordCount(), 2);
    EXPECT_EQ(dm.field("tblSertifName").asString(), "Терапия");
    EXPECT_TRUE(dm.tblTrained->isEmpty());
    dm.tblPersonal->next();
    EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(), ""); // no e-mail row reads empty
    EXPECT_TRUE(dm.tblSertif->isEmpty());
    EXPECT_EQ(dm.field("tblTrainedKZicl").asString(), "123456"); // cut to six characters
}

TEST_F(Module, YearsOfServiceCountFromTheStartYear) {
    addPerson("АНДРЕЕВ", 2001);
    EXPECT_EQ(dm.field("tblPersonalStajO1").asInteger(), 25);
    EXPECT_EQ(dm.field("tblPersonalStajD1").asInteger(), 25);
    addPerson("БОРИСОВ"); // empty start year: no years to count, not the year itself
    EXPECT_TRUE(dm.field("tblPersonalStajO1").isNull());
    EXPECT_TRUE(dm.field("tblPersonalStajD1").isNull());
    // The grid reads rows that are not current through the same rule.
    EXPECT_EQ(dm.tblPersonal->valueAt(0, dm.field("tblPersonalStajO1").index()).toInt(), 25);
}

// Values that only stand for "unknown" are shown empty, wherever they are shown; what is stored and
// read stays as it is, since the adding dialog copies it and the export sends it.
TEST_F(Module, UnknownYearsOfServiceAndTheZeroDateShowEmpty) {
    addPerson("АНДРЕЕВ", 2001);
    addPerson("БОРИСОВ"); // no start year: no years of service
    Field& total = dm.field("tblPersonalStajO1");
    Field& inPosition = dm.field("tblPersonalStajD1");
    EXPECT_TRUE(total.isNull());
    EXPECT_EQ(total.displayText(), "");
    EXPECT_EQ(inPosition.displayText(), "");
    EXPECT_EQ(total.displayTextOf(dm.tblPersonal->valueAt(0, total.index())), "25"); // АНДРЕЕВ, not current
    EXPECT_EQ(dm.field("tblPersonalStajOb").displayText(), ""); // the start year itself is simply empty

    dm.tblZajavki2023->append();
    dm.field("tblZajavki2023KZajavki").setAsFloat(116);
    dm.field("tblZajavki2023Year").setAsInteger(2026);
    dm.tblZajavki2023->post();
    struct {
        QVariant years;
        QDate birth;
        const char* yearsShown;
        const char* birthShown;
    } trainees[] = {
        {2026.0, Field::zeroDate(), "", ""}, // copied from a person without start year or birth date
        {25.0, QDate(1980, 5, 17), "25", "17.05.1980"},
        {1899.0, QDate(1899, 12, 31), "1899", "31.12.1899"}, // the rule hides only what stands for "unknown"
    };
    Table& t = *dm.tblSluch2023;
    for (const auto& c : trainees) {
        t.append();
        t.field("StajOb").setValue(c.years);
        t.field("StajDoljn").setValue(c.years);
        t.field("DR").setAsDate(c.birth);
        t.post();
    }
    t.reread();
    for (int row = 0; row < t.recordCount(); ++row) {
        const auto& c = trainees[row];
        for (const char* name : {"StajOb", "StajDoljn"})
            EXPECT_EQ(t.field(name).displayTextOf(t.valueAt(row, t.field(name).index())), c.yearsShown)
                << row;
        EXPECT_EQ(t.field("DR").displayTextOf(t.valueAt(row, t.field("DR").index())), c.birthShown) << row;
    }
    t.first();
    EXPECT_EQ(t.field("DR").displayText(), "");
    EXPECT_EQ(t.field("DR").asDate(), Field::zeroDate()); // stored and read as it was written
    EXPECT_DOUBLE_EQ(t.field("StajOb").asFloat(), 2026);
    // Every date of the module hides the zero date: a certificate's end date, the export file's.
    for (const char* name :
         {"tblSertifDateCL", "tblSLSertifDateCL", "tblTempZ2023DR", "tblZISCHDateCL", "tblSluchDR"})
        EXPECT_EQ(dm.field(name).displayTextOf(QVariant(Field::zeroDate())), "") << name;
}

TEST_F(Module, PositionsSearchRaisesTheTextToCapitals) {
    addPosition(1, "ВРАЧ-ТЕРАПЕВТ");
    addPosition(2, "Врач-терапевт участковый");
    addPosition(3, "МЕДСЕСТРА");
    addPosition(4, "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ");
    dm.doljnSearchText = "терап";
    ASSERT_TRUE(dm.tblDoljn->findFirst());
    EXPECT_EQ(dm.field("tblDoljnKDoljn").asInteger(), 1);
    ASSERT_TRUE(dm.tblDoljn->findNext());
    EXPECT_EQ(dm.field("tblDoljnKDoljn").asInteger(), 4); // the mixed-case name is passed over
    EXPECT_FALSE(dm.tblDoljn->findNext());
    EXPECT_EQ(dm.field("tblDoljnKDoljn").asInteger(), 4); // the last match stays current
    dm.doljnSearchText.clear();
    EXPECT_FALSE(dm.tblDoljn->findFirst());
}

TEST_F(Module, DeletingAsksUnlessSilenced) {
    addPerson("АНДРЕЕВ");
    addDetail(dm.tblSertif, "Name", "Терапия");
    addDetail(dm.tblSertif, "Name", "Хирургия");

    prompter.expectAsk("Удаление", "Удалить сертификат «Хирургия»?", Prompter::Answer::No);
    EXPECT_THROW(dm.tblSertif->remove(), AbortAction);
    EXPECT_EQ(dm.tblSertif->recordCount(), 2);
    EXPECT_EQ(prompter.log(), (QStringList{"beep", "ask: Удаление | Удалить сертификат «Хирургия»?"}));
    EXPECT_EQ(prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo) << "Enter keeps the row";

    prompter.expectAsk("Удаление", "Удалить сертификат «Хирургия»?", Prompter::Answer::Yes);
    dm.tblSertif->remove();
    EXPECT_EQ(dm.tblSertif->recordCount(), 1);

    state.SilentDelete = 1;
    dm.tblSertif->remove(); // no prompt scripted: any question would fail the test
    EXPECT_TRUE(dm.tblSertif->isEmpty());
    EXPECT_EQ(prompter.beeps(), 2);
}

TEST_F(Module, TablesWithoutTheQuestionDeleteAtOnce) {
    addPerson("АНДРЕЕВ");
    addDetail(dm.tblPerEmail, "EMAIL", "a@example.ru");
    dm.tblPerEmail->remove();
    EXPECT_TRUE(dm.tblPerEmail->isEmpty());
}

TEST_F(Module, TheHighestApplicationNumberOfAYear) {
    EXPECT_EQ(dm.maxApplicationNumber(*dm.qrMZajavki2023, 2026), 0.0); // empty maximum reads 0
    for (double n : {116.0, 116.01, 116.02}) {
        dm.tblZajavki2023->append();
        dm.field("tblZajavki2023KZajavki").setAsFloat(n);
        dm.field("tblZajavki2023Year").setAsInteger(2026);
        dm.tblZajavki2023->post();
    }
    EXPECT_DOUBLE_EQ(dm.maxApplicationNumber(*dm.qrMZajavki2023, 2026), 116.02);
    EXPECT_EQ(dm.maxApplicationNumber(*dm.qrMZajavki2023, 2027), 0.0);
    EXPECT_EQ(dm.maxApplicationNumber(*dm.qrMZajavki2021, 2026), 0.0);
}

TEST_F(Module, TheCatalogueQueryTakesItsOpenersStatementAndFiltersByValue) {
    struct {
        const char* code;
        int year;
        const char* specialty;
    } rows[] = {
        {"B1", 2026, "Терапия"}, {"A1", 2027, "Акушерство и гинекология"}, {"C1", 2026, "Д'Арсонваль"}};
    double real = 3;
    for (const auto& r : rows) {
        dm.tblNewZicl->append();
        dm.field("tblNewZiclKZicl").setAsString(r.code);
        dm.field("tblNewZiclYear").setAsInteger(r.year);
        dm.field("tblNewZiclSPECIALY").setAsString(r.specialty);
        dm.field("tblNewZiclRealZicl").setAsFloat(real--);
        dm.tblNewZicl->post();
    }
    dm.reloadNewZicl(DataModule::defaultNewZiclSql());
    EXPECT_EQ(dm.qNewZicl->recordCount(), 3);
    EXPECT_EQ(dm.field("qNewZiclKZicl").asString(), "C1"); // RealZicl order

    dm.reloadNewZicl({"SELECT * FROM NewZicl2023 WHERE \"Year\" = :p_year", "ORDER BY RealZicl"},
                     {{"p_year", 2026}});
    EXPECT_EQ(dm.qNewZicl->recordCount(), 2);

    dm.qNewZicl->setFilterConditions({{"SPECIALY", "Д'Арсонваль"}});
    dm.qNewZicl->setFiltered(true);
    EXPECT_EQ(dm.qNewZicl->recordCount(), 1);
    EXPECT_EQ(dm.field("qNewZiclKZicl").asString(), "C1");
    dm.qNewZicl->setFiltered(false);
    EXPECT_EQ(dm.qNewZicl->recordCount(), 2);
}

} // namespace
