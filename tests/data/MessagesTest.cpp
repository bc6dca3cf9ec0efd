// The engine's messages a user can meet: each names the table or the field as the user knows it,
// never by its internal name, and says what is wrong.
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <functional>
#include <gtest/gtest.h>
#include <QRegularExpression>

namespace {

struct Office {
    TempStore temp;
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm{*temp.store, state, prompter};

    Office() {
        state.CurYear = 2026;
        state.SilentDelete = 1;
        dm.openAllTables();
        dm.tblZajavki2023->append();
        dm.field("tblZajavki2023KZajavki").setAsFloat(116);
        dm.field("tblZajavki2023Year").setAsInteger(2026);
        dm.tblZajavki2023->post();
    }
};

struct Case {
    const char* what;
    std::function<void(DataModule&)> act;
    const char* message;
};

const Case kCases[] = {
    {"deleting from an empty trainee list", [](DataModule& dm) { dm.tblSluch2023->remove(); },
     "Нечего удалять: в заявке нет слушателей."},
    {"deleting from an empty register", [](DataModule& dm) { dm.tblPersonal->remove(); },
     "Нечего удалять: в списке сотрудников никого нет."},
    {"a date that is not a date in the birth-date field",
     [](DataModule& dm) {
         dm.tblPersonal->append();
         dm.field("tblPersonalDR").setAsString("31.02.1980");
     },
     "В поле «дата рождения» введена дата, которой нет: «31.02.1980». Проверьте день и месяц."},
    {"a number out of range in the contract number",
     [](DataModule& dm) {
         dm.tblConfig->edit();
         dm.field("tblConfigKZajavki").setAsString("40000");
     },
     "Число 40000 в поле «номер договора» вне допустимого диапазона: допустимы целые числа от -32768 до "
     "32767."},
    {"a text in a number field",
     [](DataModule& dm) {
         dm.tblSluch2023->append();
         dm.field("tblSluch2023StajOb").setAsString("много");
     },
     "В поле «общемедицинский стаж» нужно число, а введено «много»."},
    {"a text in a whole-number field",
     [](DataModule& dm) {
         dm.tblPersonal->append();
         dm.field("tblPersonalKDoljn").setAsString("третий");
     },
     "В поле «код должности» нужно целое число, а введено «третий»."},
    {"a fraction in a whole-number field",
     [](DataModule& dm) {
         dm.tblSluch2023->append();
         dm.field("tblSluch2023KV").setAsString("1,5");
     },
     "В поле «квартал» нужно целое число, а введено «1,5»."},
    {"a position code the export layout cannot hold",
     [](DataModule& dm) {
         dm.tblTempZ2023->append();
         dm.field("tblTempZ2023Doljn").setAsInteger(40000);
     },
     "Число 40000 в поле «код должности» вне допустимого диапазона: допустимы целые числа от -32768 до "
     "32767."},
    {"a code beyond 32 bits",
     [](DataModule& dm) {
         dm.tblPersonal->append();
         dm.field("tblPersonalKSpez").setAsFloat(3e9);
     },
     "Число 3000000000 в поле «код специальности по диплому» вне допустимого диапазона: допустимы целые "
     "числа от "
     "-2147483648 до 2147483647."},
    {"a start year out of range in the register",
     [](DataModule& dm) {
         dm.tblPersonal->append();
         dm.field("tblPersonalStajOb").setAsInteger(100000);
     },
     "Число 100000 в поле «год начала работы» вне допустимого диапазона: допустимы целые числа от -32768 до "
     "32767."},
    {"a table that could not be opened",
     [](DataModule& dm) {
         dm.tblSluch2023->close();
         dm.tblSluch2023->first();
     },
     "Таблица «слушатели заявки» не открыта, работать с ней нельзя. Перезапустите программу; если таблица не "
     "откроется и тогда, восстановите базу данных из резервной копии."},
    {"a field of a table that could not be opened",
     [](DataModule& dm) {
         dm.tblPersonal->close();
         dm.field("tblPersonalName1").asString();
     },
     "Таблица «список сотрудников» не открыта, работать с ней нельзя. Перезапустите программу; если таблица "
     "не "
     "откроется и тогда, восстановите базу данных из резервной копии."},
    {"the catalogue, which is only shown",
     [](DataModule& dm) {
         dm.reloadNewZicl(DataModule::defaultNewZiclSql());
         dm.qNewZicl->edit();
     },
     "Таблица «каталог программ» открыта только для просмотра, изменить её нельзя."},
    {"the row number the engine gives",
     [](DataModule& dm) {
         dm.tblSluch2023->append();
         dm.field("tblSluch2023NPP").setAsInteger(7);
     },
     "Поле «номер записи» заполняет программа, изменить его нельзя."},
};

class EngineMessage : public ::testing::TestWithParam<Case> {};

TEST_P(EngineMessage, NamesWhatTheUserKnows) {
    Office office;
    try {
        GetParam().act(office.dm);
        ADD_FAILURE() << "no message for " << GetParam().what;
    } catch (const DbError& e) {
        EXPECT_EQ(e.message().toStdString(), GetParam().message);
        // No table, field or object name of the program, which are all written in Latin letters.
        EXPECT_FALSE(e.message().contains(QRegularExpression("[A-Za-z]"))) << e.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Data, EngineMessage, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
