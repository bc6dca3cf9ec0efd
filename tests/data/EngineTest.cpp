// The table engine's behaviours, as a table of cases over small fixtures.
#include "data/DataSource.h"
#include "data/DbError.h"
#include "data/Query.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

struct Engine {
    TempStore temp;
    Store& store = *temp.store;
    Table people{store, "tblPersonal", "Personal.DB"};
    DataSource dtsPeople{"dtsPersonal", &people};
    Table certs{store, "tblSertif", "Sertif.db"};
    Table apps{store, "tblZajavki2023", "Zajavki2023.db"};
    DataSource dtsApps{"dtsZajavki2023", &apps};
    Table trainees{store, "tblSluch2023", "Sluch2023.db"};

    Engine() {
        people.setIndexName("ind_FIO");
        certs.setIndexName("ind_PersonalKOD");
        certs.setMasterSource(&dtsPeople, "NPP");
        trainees.setIndexName("ind_KZajavki_Year");
        trainees.setMasterSource(&dtsApps, "KZajavki;Year");
        people.open();
        certs.open();
        apps.open();
        trainees.open();
    }

    void addPerson(const QString& surname, const QString& name = "ИВАН", const QString& mark = {}) {
        people.append();
        people.field("Name1").setAsString(surname);
        people.field("Name2").setAsString(name);
        people.field("PR").setAsString(mark);
        people.post();
    }
    QStringList surnames() {
        QStringList out;
        for (int r = 0; r < people.recordCount(); ++r)
            out << people.valueAt(r, people.field("Name1").index()).toString();
        return out;
    }
    QString current() { return people.field("Name1").asString(); }
};

struct Case {
    const char* name;
    std::function<void(Engine&)> run;
};

const Case kCases[] = {
    {"delete leaves the cursor on the next row",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s);
         e.people.first();
         e.people.next();
         e.people.remove();
         EXPECT_EQ(e.current(), "В");
         EXPECT_EQ(e.people.recordCount(), 2);
     }},
    {"delete of the last row leaves the cursor on the previous one",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s);
         e.people.last();
         e.people.remove();
         EXPECT_EQ(e.current(), "Б");
         EXPECT_FALSE(e.people.eof());
     }},
    {"deleting every row from the first empties the view at its end",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s);
         e.people.first();
         int deleted = 0;
         while (!e.people.eof() && deleted < 10) {
             e.people.remove();
             ++deleted;
         }
         EXPECT_EQ(deleted, 3);
         EXPECT_TRUE(e.people.isEmpty());
         EXPECT_TRUE(e.people.eof());
     }},
    {"delete on an empty view fails before any confirmation",
     [](Engine& e) {
         bool asked = false;
         e.people.beforeDelete = [&](Dataset&) { asked = true; };
         EXPECT_THROW(e.people.remove(), DbError);
         EXPECT_FALSE(asked);
     }},
    {"a declined delete keeps the row",
     [](Engine& e) {
         e.addPerson("А");
         e.people.beforeDelete = [](Dataset&) { throw AbortAction(); };
         EXPECT_THROW(e.people.remove(), AbortAction);
         EXPECT_EQ(e.people.recordCount(), 1);
     }},
    {"a row that stops matching the filter on post leaves the view",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В", "Г"})
             e.addPerson(s, "И", QString(s) == "Б" ? "" : "X");
         e.people.setFilter("([PR]= 'X')");
         e.people.setFiltered(true);
         ASSERT_EQ(e.people.recordCount(), 3);
         e.people.first();
         e.people.edit();
         e.people.field("PR").clear();
         e.people.post();
         EXPECT_EQ(e.current(), "В"); // the next match
         e.people.last();
         e.people.edit();
         e.people.field("PR").setAsString(" ");
         e.people.post();
         EXPECT_EQ(e.current(), "В"); // the previous match
         e.people.edit();
         e.people.field("PR").clear();
         e.people.post();
         EXPECT_TRUE(e.people.isEmpty());
         EXPECT_TRUE(e.people.eof());
         e.people.setFiltered(false);
         EXPECT_EQ(e.people.recordCount(), 4);
     }},
    {"clearing marks in a loop reaches the end of the filtered view",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s, "И", "X");
         e.people.setFilter("([PR]= 'X')");
         e.people.setFiltered(true);
         e.people.first();
         int steps = 0;
         while (!e.people.eof() && steps++ < 10) {
             e.people.edit();
             e.people.field("PR").clear();
             e.people.post();
         }
         EXPECT_EQ(steps, 3);
     }},
    {"edit on an empty detail view starts a new row linked to the master",
     [](Engine& e) {
         e.addPerson("А");
         const qint64 npp = e.people.field("NPP").asInteger();
         ASSERT_TRUE(e.certs.isEmpty());
         e.certs.edit();
         EXPECT_EQ(e.certs.state(), Dataset::State::Insert);
         e.certs.field("Name").setAsString("Терапия");
         e.certs.post();
         EXPECT_EQ(e.certs.recordCount(), 1);
         EXPECT_EQ(e.certs.field("PersonalKOD").asInteger(), npp);
     }},
    {"post gives the auto-increment field its number at once",
     [](Engine& e) {
         e.addPerson("А");
         const qint64 first = e.people.field("NPP").asInteger();
         e.addPerson("Б");
         EXPECT_GT(first, 0);
         EXPECT_EQ(e.people.field("NPP").asInteger(), first + 1);
         EXPECT_THROW(e.people.field("NPP").setAsInteger(5), DbError);
     }},
    {"a move while editing posts a changed row",
     [](Engine& e) {
         for (auto s : {"А", "Б"})
             e.addPerson(s);
         e.people.first();
         e.people.edit();
         e.people.field("Name2").setAsString("ПЁТР");
         e.people.next();
         EXPECT_EQ(e.people.state(), Dataset::State::Browse);
         e.people.first();
         EXPECT_EQ(e.people.field("Name2").asString(), "ПЁТР");
     }},
    {"a move drops an unchanged new row and an unchanged edit",
     [](Engine& e) {
         e.addPerson("А");
         e.people.append();
         e.people.first();
         EXPECT_EQ(e.people.recordCount(), 1);
         e.people.edit();
         e.people.last();
         EXPECT_EQ(e.people.state(), Dataset::State::Browse);
     }},
    {"cancel restores the stored values",
     [](Engine& e) {
         e.addPerson("А");
         e.people.edit();
         e.people.field("Name1").setAsString("Я");
         EXPECT_TRUE(e.people.isModified());
         e.people.cancel();
         EXPECT_EQ(e.current(), "А");
     }},
    {"every operation on a closed table fails",
     [](Engine& e) {
         e.people.close();
         const std::function<void()> ops[] = {
             [&] { e.people.first(); },
             [&] { e.people.next(); },
             [&] { e.people.append(); },
             [&] { e.people.edit(); },
             [&] { e.people.post(); },
             [&] { e.people.remove(); },
             [&] { e.people.recordCount(); },
             [&] { e.people.locate("Name1", {"А"}); },
             [&] { e.people.field("Name1").asString(); },
         };
         for (const auto& op : ops)
             EXPECT_THROW(op(), DbError);
     }},
    {"rows follow their index, equal names in row-number order, Ё beside Е",
     [](Engine& e) {
         for (auto s : {"ЖУКОВ", "ЁЛКИН", "ЕФИМОВ", "АКИМОВ", "ЕГОРОВ", "ЯКОВЛЕВ"})
             e.addPerson(s);
         e.addPerson("ИВАНОВ", "ПЁТР");
         const qint64 first = e.people.field("NPP").asInteger();
         e.addPerson("ИВАНОВ", "ПЁТР");
         EXPECT_EQ(e.surnames(), (QStringList{"АКИМОВ", "ЕГОРОВ", "ЁЛКИН", "ЕФИМОВ", "ЖУКОВ", "ИВАНОВ",
                                              "ИВАНОВ", "ЯКОВЛЕВ"}));
         e.people.locate("Name1", {"ИВАНОВ"});
         EXPECT_EQ(e.people.field("NPP").asInteger(), first);
         e.people.findNearest({"елк"}); // small letters and Е for Ё find ЁЛКИН
         EXPECT_EQ(e.current(), "ЁЛКИН");
         e.people.findNearest({"ЕФ"});
         EXPECT_EQ(e.current(), "ЕФИМОВ");
     }},
    {"find nearest goes to the first row at or after the text",
     [](Engine& e) {
         for (auto s : {"ИВАНОВ", "ИВАНОВА", "ИВАНОВ", "ПЕТРОВ"})
             e.addPerson(s);
         struct {
             QString text, expected;
             int row;
         } steps[] = {{"И", "ИВАНОВ", 0},  {"ИВ", "ИВАНОВ", 0}, {"ИВАНОВА", "ИВАНОВА", 2},
                      {"ЯЯ", "ПЕТРОВ", 3}, {"", "ИВАНОВ", 0},   {"иванова", "ИВАНОВА", 2}};
         for (const auto& s : steps) {
             e.people.findNearest({s.text});
             EXPECT_EQ(e.current(), s.expected) << s.text.toStdString();
             EXPECT_EQ(e.people.recNo(), s.row) << s.text.toStdString();
         }
     }},
    {"locate matches exactly and case-sensitively, and leaves the cursor when nothing matches",
     [](Engine& e) {
         e.addPerson("ПЕТРОВ", "ИВАН");
         e.addPerson("ИВАНОВ", "ПЁТР");
         e.addPerson("ИВАНОВ", "ИВАН");
         EXPECT_TRUE(e.people.locate("Name1; Name2", {"ИВАНОВ", "ПЁТР"}));
         EXPECT_EQ(e.people.field("Name2").asString(), "ПЁТР");
         EXPECT_FALSE(e.people.locate("Name1", {"иванов"}));
         EXPECT_FALSE(e.people.locate("Name1;Name2", {"ИВАНОВ", "ПЕТР"}));
         EXPECT_EQ(e.people.field("Name2").asString(), "ПЁТР");
     }},
    {"a locate repeated with an empty value, under a filter or after it finds what is there now",
     [](Engine& e) {
         e.addPerson("ИВАНОВ", "ИВАН", "X");
         e.addPerson("ИВАНОВ", "", "");
         e.addPerson("ПЕТРОВ", "ИВАН", "X");
         EXPECT_TRUE(e.people.locate("Name1;Name2", {"ИВАНОВ", "ИВАН"}));
         EXPECT_EQ(e.people.field("PR").asString(), "X");
         EXPECT_TRUE(e.people.locate("Name1;Name2", {"ИВАНОВ", ""}));
         EXPECT_EQ(e.people.field("PR").asString(), "");
         EXPECT_TRUE(e.people.locate("Name1;Name2", {"ПЕТРОВ", "ИВАН"}));
         e.people.setFilterConditions({{"PR", "X"}});
         e.people.setFiltered(true);
         EXPECT_FALSE(e.people.locate("Name1;Name2", {"ИВАНОВ", ""}));
         EXPECT_TRUE(e.people.locate("Name1;Name2", {"ИВАНОВ", "ИВАН"}));
         e.people.setFiltered(false);
         EXPECT_TRUE(e.people.locate("Name1;Name2", {"ИВАНОВ", ""}));
         EXPECT_EQ(e.people.field("PR").asString(), "");
     }},
    {"a detail follows its master and a new detail row takes the master's fields",
     [](Engine& e) {
         for (auto [number, year] : {std::pair{116.0, 2026}, {116.01, 2026}, {116.0, 2027}}) {
             e.apps.append();
             e.apps.field("KZajavki").setAsFloat(number);
             e.apps.field("Year").setAsInteger(year);
             e.apps.post();
             for (int i = 0; i < 2; ++i) {
                 e.trainees.append();
                 e.trainees.field("Name1").setAsString(QString("Т%1").arg(i));
                 e.trainees.post();
             }
         }
         ASSERT_TRUE(e.apps.locate("KZajavki;Year", {116.01, 2026}));
         EXPECT_EQ(e.trainees.recordCount(), 2);
         EXPECT_DOUBLE_EQ(e.trainees.field("KZajavki").asFloat(), 116.01);
         EXPECT_EQ(e.trainees.field("Year").asInteger(), 2026);
         EXPECT_EQ(e.trainees.field("Name1").asString(), "Т0"); // row-number order within the range
         e.apps.append();
         EXPECT_TRUE(e.trainees.isEmpty());
         e.apps.cancel();
         EXPECT_EQ(e.trainees.recordCount(), 2);
     }},
    {"several writes in one transaction are undone together",
     [](Engine& e) {
         e.addPerson("А");
         {
             Store::Transaction t(e.store);
             e.addPerson("Б");
             e.addPerson("В");
         }
         EXPECT_EQ(e.surnames(), QStringList{"А"});
         {
             Store::Transaction t(e.store);
             e.addPerson("Б");
             t.commit();
         }
         EXPECT_EQ(e.surnames(), (QStringList{"А", "Б"}));
     }},
    {"a query reads its parameters, counts every row and cannot be edited",
     [](Engine& e) {
         for (auto [number, year] : {std::pair{116.0, 2026}, {116.01, 2026}, {117.0, 2027}}) {
             e.apps.append();
             e.apps.field("KZajavki").setAsFloat(number);
             e.apps.field("Year").setAsInteger(year);
             e.apps.post();
         }
         Query q(e.store, "qTest");
         q.addField("KZajavki", FieldType::Number);
         q.setSql({"SELECT KZajavki FROM Zajavki2023", "WHERE \"Year\" = :p_year ORDER BY KZajavki DESC"});
         q.setParam("p_year", 2026);
         q.open();
         EXPECT_EQ(q.recordCount(), 2);
         EXPECT_DOUBLE_EQ(q.field("KZajavki").asFloat(), 116.01);
         EXPECT_THROW(q.edit(), DbError);
         EXPECT_THROW(q.append(), DbError);
         q.setFilterConditions({{"KZajavki", 116.0}});
         q.setFiltered(true);
         EXPECT_EQ(q.recordCount(), 1);
     }},
    {"a saved row that keeps its place leaves the view as it is",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s);
         e.people.moveTo(1);
         int resets = 0, moves = 0;
         QObject::connect(&e.people, &Dataset::viewReset, [&] { ++resets; });
         QObject::connect(&e.people, &Dataset::currentChanged, [&] { ++moves; });
         e.people.edit();
         e.people.field("PR").setAsString("X");
         e.people.post();
         EXPECT_EQ(resets, 0); // views over it repaint one row, they are not rebuilt
         EXPECT_GE(moves, 1);
         EXPECT_EQ(e.people.recNo(), 1);
         EXPECT_EQ(e.current(), "Б");
         EXPECT_EQ(e.people.valueAt(1, e.people.field("PR").index()).toString(), "X");
         e.people.reread();
         EXPECT_EQ(e.people.valueAt(1, e.people.field("PR").index()).toString(), "X");
     }},
    {"a saved row goes where its new order puts it, and stays current",
     [](Engine& e) {
         for (auto s : {"А", "Б", "В"})
             e.addPerson(s);
         e.people.first();
         const qint64 first = e.people.field("NPP").asInteger();
         e.people.edit();
         e.people.field("Name1").setAsString("Г");
         e.people.post();
         EXPECT_EQ(e.surnames(), (QStringList{"Б", "В", "Г"}));
         EXPECT_EQ(e.people.recNo(), 2);
         e.people.first();
         e.people.edit();
         e.people.field("Name1").setAsString("В"); // a namesake of the next row, written before it
         e.people.post();
         EXPECT_EQ(e.people.recNo(), 0);
         e.people.last();
         e.people.edit();
         e.people.field("Name1").setAsString("В"); // the first row written goes before its namesakes
         e.people.post();
         EXPECT_EQ(e.surnames(), (QStringList{"В", "В", "В"}));
         EXPECT_EQ(e.people.recNo(), 0);
         EXPECT_EQ(e.people.field("NPP").asInteger(), first);
     }},
    {"a filter compares a value, so an apostrophe is an ordinary character",
     [](Engine& e) {
         e.addPerson("Д'АРТАНЬЯН");
         e.addPerson("ДАРТАНЬЯН");
         e.people.setFilterConditions({{"Name1", "Д'АРТАНЬЯН"}});
         e.people.setFiltered(true);
         EXPECT_EQ(e.surnames(), QStringList{"Д'АРТАНЬЯН"});
     }},
};

class EngineCase : public ::testing::TestWithParam<Case> {};

TEST_P(EngineCase, Behaves) {
    Engine e;
    GetParam().run(e);
}

INSTANTIATE_TEST_SUITE_P(Table, EngineCase, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string n;
    for (char c : std::string(info.param.name))
        n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return n;
});

} // namespace
