// The personnel rules without windows: certificates seen from today, the SNILS and e-mail
// questions, and deleting a person with every row of theirs in one step.
#include "personnel/PersonnelRules.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "support/ScriptedPrompter.h"
#include "support/StoreFaults.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>

namespace {

using personnel::CertificateState;

TEST(Certificates, StateAndHintFromToday) {
    const QDate today(2026, 3, 15);
    const struct {
        QDate end;
        CertificateState state;
        const char* hint;
    } cases[] = {
        {QDate(2026, 3, 14), CertificateState::Ended, "Срок истёк 1 день назад, 14.03.2026"},
        {QDate(2025, 3, 15), CertificateState::Ended, "Срок истёк 365 дней назад, 15.03.2025"},
        {QDate(2026, 3, 15), CertificateState::EndingSoon, "Срок истекает сегодня, 15.03.2026"},
        {QDate(2026, 3, 17), CertificateState::EndingSoon, "Действует ещё 2 дня, до 17.03.2026"},
        {QDate(2026, 6, 13), CertificateState::EndingSoon, "Действует ещё 90 дней, до 13.06.2026"},
        {QDate(2026, 6, 14), CertificateState::InForce, "Действует ещё 91 день, до 14.06.2026"},
        {QDate(2030, 1, 1), CertificateState::InForce, "Действует ещё 1388 дней, до 01.01.2030"},
        {QDate(), CertificateState::None, ""},
        {QDate(1899, 12, 30), CertificateState::None, ""}, // the zero date of an empty one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(personnel::certificateState(c.end, today), c.state) << c.end.toString().toStdString();
        EXPECT_EQ(personnel::certificateHint(c.end, today), QString::fromUtf8(c.hint));
    }
    EXPECT_EQ(personnel::days(11), "11 дней");
    EXPECT_EQ(personnel::days(21), "21 день");
    EXPECT_EQ(personnel::days(112), "112 дней");
    EXPECT_EQ(personnel::days(1004), "1004 дня");
}

TEST(Contacts, QuestionsAndRefusals) {
    const struct {
        const char* snils;
        bool refused;
        bool asked;
    } snilsCases[] = {
        {"   -   -      ", false, false}, // untouched: saved as it is
        {"112-233-445 95", false, false}, // valid
        {"112-233-445 96", false, true},  // wrong check number: asked
        {"112-233-4   9 ", true, false},  // half-filled: refused
        {"001-001-998 77", false, false}, // small numbers are not checked
    };
    for (const auto& c : snilsCases) {
        const QString s = QString::fromLatin1(c.snils);
        EXPECT_EQ(!personnel::snilsRefusal(s).isEmpty(), c.refused) << c.snils;
        EXPECT_EQ(!personnel::snilsQuestion(s).isEmpty(), c.asked) << c.snils;
    }
    EXPECT_TRUE(
        personnel::snilsRefusal("112-23 -      ").startsWith("СНИЛС «112-23_-___ __» заполнен не полностью"))
        << "each missing digit shown as the box shows it";
    EXPECT_EQ(personnel::snilsQuestion("112-233-445 96"),
              "СНИЛС 112-233-445 96 не проходит проверку контрольного числа. Сохранить как есть?");
    for (const char* good : {"", "ivanov@mail.ru", "a.b-c@hosp.spb.ru"})
        EXPECT_TRUE(personnel::emailQuestion(QString::fromLatin1(good)).isEmpty()) << good;
    for (const char* bad :
         {"ivanov", "ivanov@mail", "ivanov@@mail.ru", "iv anov@mail.ru", "@mail.ru", "a@.ru"})
        EXPECT_FALSE(personnel::emailQuestion(QString::fromLatin1(bad)).isEmpty()) << bad;
    EXPECT_EQ(personnel::snilsFromBox("112-2__-___ __"), "112-2  -      ");
    EXPECT_EQ(personnel::emptySnils().size(), 14);
}

struct DeletePerson : ::testing::Test {
    TempStore temp;
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm{*temp.store, state, prompter};

    void SetUp() override {
        state.CurYear = 2026;
        dm.openAllTables();
        for (const char* name : {"ИВАНОВ", "ПЕТРОВ"}) {
            dm.tblPersonal->append();
            dm.field("tblPersonalName1").setAsString(QString::fromUtf8(name));
            dm.tblPersonal->post();
            for (int i = 0; i < 3; ++i)
                add(dm.tblTrained, "KZicl", "К" + QString::number(i));
            for (int i = 0; i < 2; ++i)
                add(dm.tblSertif, "Name", "Терапия");
            add(dm.tblPerEmail, "EMAIL", "a@b.ru");
            add(dm.tblPerSnils, "SNILS", "112-233-445 95");
        }
        dm.tblPersonal->first(); // ИВАНОВ
    }
    void add(Table* t, const char* field, const QString& value) {
        t->append();
        t->field(field).setAsString(value);
        t->post();
    }
    int count(const char* table) {
        auto st =
            temp.store->cached(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromLatin1(table)));
        st->step();
        return int(st->int64(0));
    }
};

TEST_F(DeletePerson, RemovesThePersonWithEveryRowOfTheirsInOneStep) {
    state.SilentDelete = 0;
    prompter.expectAsk(
        "Удаление",
        "Удалить сотрудника ИВАНОВ вместе с 2 сертификатами, 3 записями о переподготовке, e-mail и СНИЛС?",
        Prompter::Answer::Yes);
    ASSERT_TRUE(personnel::deletePerson(dm, state, prompter));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(count("Personal"), 1);
    EXPECT_EQ(count("Trained"), 3);
    EXPECT_EQ(count("Sertif"), 2);
    EXPECT_EQ(count("PEREMAIL"), 1);
    EXPECT_EQ(count("PERSNILS"), 1);
    EXPECT_EQ(dm.field("tblPersonalName1").asString(), "ПЕТРОВ");
    EXPECT_EQ(state.SilentDelete, 1);
}

TEST_F(DeletePerson, DeclinedChangesNothing) {
    state.SilentDelete = 0;
    prompter.expectAsk(
        "Удаление",
        "Удалить сотрудника ИВАНОВ вместе с 2 сертификатами, 3 записями о переподготовке, e-mail и СНИЛС?",
        Prompter::Answer::No);
    EXPECT_FALSE(personnel::deletePerson(dm, state, prompter));
    EXPECT_EQ(count("Personal"), 2);
    EXPECT_EQ(count("Trained"), 6);
    EXPECT_EQ(count("Sertif"), 4);
    EXPECT_EQ(state.SilentDelete, 0);
}

// A failure half-way leaves every row in place: the deletions are one transaction.
TEST_F(DeletePerson, AFailureHalfWayDeletesNothing) {
    prompter.expectAsk(
        "Удаление",
        "Удалить сотрудника ИВАНОВ вместе с 2 сертификатами, 3 записями о переподготовке, e-mail и СНИЛС?",
        Prompter::Answer::Yes);
    refuseWrites(*temp.store, "Personal", "DELETE");
    EXPECT_THROW(personnel::deletePerson(dm, state, prompter), DbError);
    EXPECT_EQ(count("Personal"), 2);
    EXPECT_EQ(count("Trained"), 6);
    EXPECT_EQ(count("Sertif"), 4);
    EXPECT_EQ(count("PEREMAIL"), 2);
    EXPECT_EQ(dm.tblTrained->recordCount(), 3) << "the views are read again after the rollback";
}

} // namespace
