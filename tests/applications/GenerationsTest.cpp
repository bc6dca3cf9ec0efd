// What every generation of applications does, run over the three descriptions: numbering and the
// year rule, adding the marked people with their detail rows, deleting a trainee or an
// application with theirs in one step, saving an edited trainee's detail rows, the export file in
// the generation's layout, and moving and copying a trainee into another application.
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "core/UserError.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxReader.h"
#include "data/Store.h"
#include "support/StoreFaults.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {

using Answer = Prompter::Answer;

// A person of the register with what the adding dialog copies from its detail rows.
struct Person {
    QString surname;
    QDate certificateDate; // no certificate row when invalid
    QString certificateName;
    QString email; // no row when empty
    QString snils; // no row when empty
};

const Person kFull{"АНДРЕЕВА", QDate(2027, 1, 31), "Терапия", "a@mail.ru", "112-233-445 95"};
const Person kBare{"БОРИСОВ", {}, {}, {}, {}};

struct Generations : ::testing::TestWithParam<const Generation*> {
    AppHarness h;
    DataModule& dm = h.dm();
    const Generation& g = *GetParam();

    Table& trainees() { return g.traineesTable(dm); }
    Table* certificates() { return g.certificateRows ? dm.*g.certificateRows.table : nullptr; }
    Table* emails() { return g.emailRows ? dm.*g.emailRows.table : nullptr; }
    Table* snilsRows() { return g.snilsRows ? dm.*g.snilsRows.table : nullptr; }

    // How many rows a table of the store holds, whatever view is open on it.
    qint64 stored(const QString& table, const QString& where = {}) {
        auto st = h.app.store->cached(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table) +
                                      (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
        st->step();
        return st->int64(0);
    }
    qint64 storedDetails() {
        qint64 n = 0;
        for (Table* t : g.detailTables(dm))
            n += stored(t->layout().sqlName);
        return n;
    }

    void setContract(int number) {
        dm.tblConfig->append();
        dm.field("tblConfigKZajavki").setAsInteger(number);
        dm.tblConfig->post();
    }
    void addPerson(const Person& p) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(p.surname);
        dm.field("tblPersonalName2").setAsString("ИВАН");
        dm.tblPersonal->post();
        auto detail = [](Table* t, const char* field, const QVariant& value, const char* field2 = nullptr,
                         const QVariant& value2 = {}) {
            t->append();
            t->field(field).setValue(value);
            if (field2)
                t->field(field2).setValue(value2);
            t->post();
        };
        if (p.certificateDate.isValid())
            detail(dm.tblSertif, "DateCL", p.certificateDate, "Name", p.certificateName);
        if (!p.email.isEmpty())
            detail(dm.tblPerEmail, "EMAIL", p.email);
        if (!p.snils.isEmpty())
            detail(dm.tblPerSnils, "SNILS", p.snils);
    }
    // The people given, marked and added to the current application with one programme.
    int addTrainees(const QList<Person>& people) {
        for (const Person& p : people)
            addPerson(p);
        for (const Person& p : people) {
            dm.tblPersonal->locate("Name1", {p.surname});
            applications::toggleMark(dm);
        }
        h.app.state.SelKZicl = "ПК-101";
        h.app.state.SelVidOb = "ПК";
        h.app.state.SelHours = 144;
        h.app.state.SelTypeOb = "Б";
        h.app.state.SelFOBUCH = "очн";
        const int added = applications::addMarkedPeople(dm, g, h.app.state, 2);
        applications::clearMarks(dm);
        return added;
    }
    bool toTrainee(const QString& surname) { return trainees().locate("Name1", {surname}); }
};

std::string generationName(const ::testing::TestParamInfo<const Generation*>& info) {
    switch (info.param->kind) {
    case Generation::Kind::Base:
        return "Base";
    case Generation::Kind::Y2021:
        return "Y2021";
    case Generation::Kind::Y2023:
        return "Y2023";
    }
    return "Unknown";
}

// The description names only fields its tables have, and lists one export column per field of
// its working table.
TEST_P(Generations, TheDescriptionNamesFieldsItsTablesHave) {
    const TableLayout& traineeLayout = trainees().layout();
    for (const TraineeGridColumn& c : g.traineeColumns)
        EXPECT_GE(traineeLayout.fieldIndex(c.field), 0) << c.field.toStdString();
    for (const TraineePanelBox& box : g.traineePanel)
        EXPECT_TRUE((dm.*box.source)->dataset()->findField(box.field)) << box.field.toStdString();
    ASSERT_EQ(g.exportColumns.size(), g.workingTableOf(dm).layout().fields.size());
    for (const ExportColumn& c : g.exportColumns) {
        if (!c.field.isEmpty()) {
            EXPECT_GE((c.details ? (dm.*c.details)->layout() : traineeLayout).fieldIndex(c.field), 0)
                << c.field.toStdString();
        }
    }
    for (const applications::TraineeColumn& c : g.documentColumns) {
        if (c.kind == applications::TraineeColumn::Kind::Text) {
            EXPECT_GE((c.details ? (dm.*c.details)->layout() : traineeLayout).fieldIndex(c.field), 0)
                << c.field.toStdString();
        }
    }
    // Every detail table is a detail of the generation's trainees.
    for (Table* details : g.detailTables(dm))
        EXPECT_EQ(details->masterSource(), g.traineesSource(dm)) << details->objectName().toStdString();
    // A caller code answers one generation only.
    for (const Generation* other : Generation::all())
        if (other != &g) {
            EXPECT_NE(other->callers.programmeForAdding, g.callers.programmeForAdding);
            EXPECT_NE(other->callers.programmeForEditing, g.callers.programmeForEditing);
            EXPECT_NE(other->callers.position, g.callers.position);
        }
}

TEST_P(Generations, NumbersItsApplicationsAndRefusesTheYearsItMakesNoneFor) {
    setContract(116);
    applications::createApplication(dm, g, 116, 2020);
    bool noMain = true;
    EXPECT_DOUBLE_EQ(applications::additionalNumber(dm, g, 2020, &noMain), 116.01);
    EXPECT_FALSE(noMain);
    EXPECT_DOUBLE_EQ(applications::additionalNumber(dm, g, 2019, &noMain), 116.01);
    EXPECT_TRUE(noMain);
    EXPECT_TRUE(applications::locateApplication(dm, g, 116, 2020));
    EXPECT_EQ(stored(g.applicationsTable(dm).layout().sqlName), 1);

    EXPECT_EQ(applications::yearRefusal(g, 2020), "");
    EXPECT_EQ(applications::yearRefusal(g, 2021),
              g.kind == Generation::Kind::Base ? "Заявки создаются только по 2020 год!" : "");
}

TEST_P(Generations, AddsThePeopleWithTheirCertificateEmailAndSnilsWhereTheGenerationKeepsThem) {
    applications::createApplication(dm, g, 116, 2020);
    ASSERT_EQ(addTrainees({kFull, kBare}), 2);
    ASSERT_EQ(trainees().recordCount(), 2);

    ASSERT_TRUE(toTrainee(kFull.surname));
    EXPECT_EQ(trainees().field(g.programmeAttribute).asString(),
              g.programmeAttribute == "FOBUCH" ? "очн" : "Б");
    if (Table* c = certificates()) {
        ASSERT_EQ(c->recordCount(), 1);
        EXPECT_EQ(c->field("DateCL").asDate(), kFull.certificateDate);
        EXPECT_EQ(c->field("Name").asString(), kFull.certificateName);
    } else {
        EXPECT_EQ(trainees().field("DateCl").asDate(), kFull.certificateDate);
        EXPECT_EQ(trainees().field("Specialty").asString(), kFull.certificateName);
    }
    if (Table* e = emails()) {
        ASSERT_EQ(e->recordCount(), 1);
        EXPECT_EQ(e->field("EMAIL").asString(), kFull.email);
    } else {
        EXPECT_EQ(trainees().field("EMAIL").asString(), kFull.email);
    }
    if (Table* s = snilsRows()) {
        ASSERT_EQ(s->recordCount(), 1);
        EXPECT_EQ(s->field("SNILS").asString(), kFull.snils);
    } else if (g.snilsInRow) {
        EXPECT_EQ(trainees().field("SNILS").asString(), kFull.snils);
    } else {
        EXPECT_EQ(trainees().findField("SNILS"), nullptr);
        EXPECT_EQ(stored("SLUCHSNILS"), 0);
    }

    // Without a certificate no certificate row; the e-mail and SNILS rows are made, empty.
    ASSERT_TRUE(toTrainee(kBare.surname));
    if (Table* c = certificates()) {
        EXPECT_TRUE(c->isEmpty());
    }
    for (Table* t : {emails(), snilsRows()})
        if (t) {
            ASSERT_EQ(t->recordCount(), 1) << t->objectName().toStdString();
            EXPECT_TRUE(t->field(t == emails() ? "EMAIL" : "SNILS").isNull());
        }
}

// The last table written for each person refuses the second person's row: nothing of the first
// person stays either.
TEST_P(Generations, AddingThePeopleIsOneTransaction) {
    applications::createApplication(dm, g, 116, 2020);
    Table* last = snilsRows() ? snilsRows() : emails() ? emails() : &trainees();
    const QString table = last->layout().sqlName;
    refuseWrites(*h.app.store, table, "INSERT",
                 QStringLiteral("(SELECT COUNT(*) FROM \"%1\") >= 1").arg(table));
    EXPECT_THROW(addTrainees({kFull, kBare}), UserError);
    EXPECT_EQ(stored(trainees().layout().sqlName), 0);
    EXPECT_EQ(storedDetails(), 0);
    EXPECT_TRUE(trainees().isEmpty());
    EXPECT_FALSE(dm.tblPersonal->isFiltered());
}

TEST_P(Generations, DeletingATraineeAsksOnceAndTakesItsDetailRowsWithIt) {
    applications::createApplication(dm, g, 116, 2020);
    addTrainees({kFull, kBare});
    ASSERT_TRUE(toTrainee(kFull.surname));
    // A second row in each detail table: every row of the trainee goes, not the first alone.
    for (Table* t : g.detailTables(dm)) {
        t->append();
        t->field(int(t->layout().fields.size()) - 2).setAsString("2"); // Name, EMAIL, SNILS: before the link
        t->post();
    }
    const qint64 details = storedDetails();
    h.app.state.SilentDelete = 1;

    h.prompter.expectAsk("Удаление", "Удалить слушателя АНДРЕЕВА И. из заявки № 116 за 2020 год?",
                         Answer::No);
    EXPECT_THROW(applications::deleteTrainee(dm, g, h.app.state), AbortAction);
    EXPECT_EQ(stored(trainees().layout().sqlName), 2);
    EXPECT_EQ(storedDetails(), details);

    h.prompter.expectAsk("Удаление", "Удалить слушателя АНДРЕЕВА И. из заявки № 116 за 2020 год?",
                         Answer::Yes);
    applications::deleteTrainee(dm, g, h.app.state);
    h.prompter.verify();
    EXPECT_EQ(h.app.state.SilentDelete, 0);
    EXPECT_EQ(stored(trainees().layout().sqlName), 1);
    EXPECT_EQ(trainees().field("Name1").asString(), kBare.surname);
    // The other trainee keeps its rows: an e-mail and a SNILS row where the generation has them.
    EXPECT_EQ(storedDetails(), qint64(emails() != nullptr) + qint64(snilsRows() != nullptr));
}

TEST_P(Generations, DeletingAnApplicationTakesEveryRowOfItsTraineesInOneTransaction) {
    applications::createApplication(dm, g, 117, 2020);
    addTrainees({{"ВОЛКОВ", QDate(2028, 5, 1), "Хирургия", "v@mail.ru", "987-654-321 83"}});
    const qint64 otherDetails = storedDetails();
    applications::createApplication(dm, g, 116, 2020);
    addTrainees({kFull, kBare});
    const qint64 allDetails = storedDetails();

    // The application's own delete refused at the end: every trainee and row is back.
    refuseWrites(*h.app.store, g.applicationsTable(dm).layout().sqlName, "DELETE");
    h.prompter.expectAsk("Удаление", "Удалить заявку № 116 за 2020 год вместе с 2 слушателями?", Answer::Yes);
    EXPECT_THROW(applications::deleteApplication(dm, g, h.app.state, h.prompter), UserError);
    EXPECT_EQ(stored(trainees().layout().sqlName), 3);
    EXPECT_EQ(storedDetails(), allDetails);
    EXPECT_EQ(trainees().recordCount(), 2); // the window shows them again
    allowWrites(*h.app.store, g.applicationsTable(dm).layout().sqlName, "DELETE");

    applications::locateApplication(dm, g, 116, 2020);
    h.prompter.expectAsk("Удаление", "Удалить заявку № 116 за 2020 год вместе с 2 слушателями?", Answer::Yes);
    EXPECT_TRUE(applications::deleteApplication(dm, g, h.app.state, h.prompter));
    EXPECT_EQ(stored(trainees().layout().sqlName), 1);
    EXPECT_EQ(storedDetails(), otherDetails);
    EXPECT_EQ(stored(g.applicationsTable(dm).layout().sqlName), 1);
}

TEST_P(Generations, SavingATraineeWritesTheDetailRowsTypedIntoAndLinksThemToANewTrainee) {
    if (g.detailTables(dm).isEmpty())
        GTEST_SKIP() << "the generation keeps everything in the trainee row";
    applications::createApplication(dm, g, 116, 2020);
    addTrainees({kBare});
    Table& typedInto = emails() ? *emails() : *snilsRows();
    const QString field = emails() ? "EMAIL" : "SNILS";

    // A change of the detail row alone is saved; the trainee row is left as it was.
    typedInto.edit();
    typedInto.field(field).setAsString("б@mail.ru");
    EXPECT_EQ(applications::saveTrainee(dm, g), "");
    EXPECT_EQ(typedInto.state(), Dataset::State::Browse);
    EXPECT_EQ(typedInto.field(field).asString(), "б@mail.ru");
    EXPECT_EQ(trainees().field("Name1").asString(), kBare.surname);

    // "Отмена" discards what was typed into both.
    trainees().edit();
    trainees().field("Name2").setAsString("ПЁТР");
    typedInto.edit();
    typedInto.field(field).setAsString("другой");
    applications::cancelTrainee(dm, g);
    EXPECT_EQ(typedInto.field(field).asString(), "б@mail.ru");
    EXPECT_EQ(trainees().field("Name2").asString(), "ИВАН");

    // A new trainee with only its detail row typed into is stored, and the row belongs to it.
    trainees().append();
    typedInto.edit(); // no trainee stored yet: a row with no trainee to link to
    typedInto.field(field).setAsString("новый");
    EXPECT_EQ(applications::saveTrainee(dm, g), "");
    EXPECT_EQ(stored(trainees().layout().sqlName), 2);
    EXPECT_EQ(typedInto.recordCount(), 1);
    EXPECT_EQ(typedInto.field(field).asString(), "новый");
    EXPECT_EQ(stored(typedInto.layout().sqlName,
                     QStringLiteral("\"%1\" IS NULL").arg(typedInto.layout().fields.last().name)),
              0);
}

TEST_P(Generations, TheExportFileHasTheWorkingTablesLayoutAndTheDetailRowsValues) {
    applications::createApplication(dm, g, 116, 2020);
    addTrainees({kFull, kBare});
    EXPECT_EQ(applications::defaultExportName(dm, g), g.exportPrefix + "116_2020");

    const QList<QVariantList> rows = applications::exportRows(dm, g);
    const QString file = QDir(h.app.root.exportDir()).filePath("export.db");
    QDir().mkpath(h.app.root.exportDir());
    applications::writeExportFile(h.app.root, file, applications::encodeExport(dm, g, rows));
    applications::fillWorkingTable(dm, g);
    const ParadoxTable table = readParadoxTable(file);
    const TableLayout& layout = g.workingTableOf(dm).layout();
    ASSERT_EQ(table.info.fields.size(), layout.fields.size());
    ASSERT_EQ(table.rows.size(), 2);
    EXPECT_EQ(stored(layout.sqlName), 2);
    auto value = [&](int row, const char* field) { return table.rows[row].value(layout.fieldIndex(field)); };

    EXPECT_EQ(value(0, "Name1"), kFull.surname);
    EXPECT_EQ(value(0, "DateCL"), kFull.certificateDate);
    EXPECT_EQ(value(0, "Specialty"), kFull.certificateName);
    EXPECT_EQ(value(0, "EMAIL"), kFull.email);
    EXPECT_EQ(value(0, "Zajavka"), 116.0);
    EXPECT_EQ(value(0, "Year"), 2020);
    if (layout.fieldIndex("SNILS") >= 0) {
        EXPECT_EQ(value(0, "SNILS"), kFull.snils);
    }
    // A trainee without certificate: the base generation leaves the date empty, the others write
    // the zero date a typed read gives.
    EXPECT_EQ(value(1, "DateCL"),
              g.kind == Generation::Kind::Base ? QVariant() : QVariant(QDate(1899, 12, 30)));
    EXPECT_EQ(value(1, "Specialty"), QVariant());
    switch (g.kind) {
    case Generation::Kind::Base:
        EXPECT_EQ(value(0, "TypeOb"), "Б");
        EXPECT_EQ(value(1, "DataRojd"), QDate(1899, 12, 30));
        for (const char* empty : {"YearObr", "BazaObr", "ZiclObr", "TypeObObr"})
            EXPECT_EQ(value(0, empty), QVariant()) << empty;
        break;
    case Generation::Kind::Y2021:
        EXPECT_EQ(value(0, "FOBUCH"), QVariant());
        break;
    case Generation::Kind::Y2023:
        EXPECT_EQ(value(0, "FOBUCH"), "очн");
        break;
    }
}

TEST_P(Generations, ATraineeIsMovedOrCopiedIntoAnApplicationOfThisYearOrLater) {
    applications::createApplication(dm, g, 116, 2026);
    addTrainees({kFull});
    applications::createApplication(dm, g, 117, 2027);
    applications::createApplication(dm, g, 115, 2025); // a past year: not offered
    applications::locateApplication(dm, g, 116, 2026);
    const qint64 details = storedDetails();
    Query& targets = *(dm.*g.movingTargets.query);

    applications::listMovingTargets(dm, g, 2026);
    ASSERT_EQ(targets.recordCount(), 2);
    EXPECT_EQ(targets.field("KZajavki").asFloat(), 117); // the last one is chosen
    EXPECT_EQ(applications::movingRefusal(dm, g), "");

    // A copy: the same values in the other application, rows of its own; the original stays.
    applications::copyTrainee(dm, g);
    EXPECT_EQ(trainees().recordCount(), 1);
    EXPECT_EQ(trainees().field("Name1").asString(), kFull.surname);
    const qint64 original = trainees().field("NPP").asInteger();
    EXPECT_EQ(stored(trainees().layout().sqlName,
                     "KZajavki = 117 AND \"Year\" = 2027 AND Name1 = 'АНДРЕЕВА' AND "
                     "KZicl = 'ПК-101' AND KV = 2"),
              1);
    EXPECT_EQ(storedDetails(), 2 * details);

    // A move: the trainee takes the chosen application's number and year, and keeps its rows.
    applications::moveTrainee(dm, g);
    EXPECT_TRUE(trainees().isEmpty());
    applications::locateApplication(dm, g, 117, 2027);
    ASSERT_EQ(trainees().recordCount(), 2);
    EXPECT_TRUE(trainees().locate("NPP", {original}));
    for (Table* t : g.detailTables(dm)) // the moved trainee keeps its own rows
        EXPECT_EQ(t->recordCount(), 1) << t->objectName().toStdString();
    EXPECT_EQ(storedDetails(), 2 * details);
}

TEST_P(Generations, MovingIsRefusedWithoutATraineeOrAnApplicationToTakeIt) {
    applications::createApplication(dm, g, 116, 2026);
    applications::listMovingTargets(dm, g, 2026);
    EXPECT_EQ(applications::movingRefusal(dm, g),
              "В текущей заявке нет слушателя, которого можно переместить или скопировать. Выберите заявку и "
              "слушателя в окне заявок.");
    EXPECT_THROW(applications::moveTrainee(dm, g), UserError);
    EXPECT_THROW(applications::copyTrainee(dm, g), UserError);

    addTrainees({kBare});
    applications::listMovingTargets(dm, g, 2030);
    EXPECT_EQ(applications::movingRefusal(dm, g),
              "Нет заявок текущего или следующих лет: слушателя некуда "
              "переместить или скопировать. Сначала создайте такую заявку.");
    EXPECT_THROW(applications::moveTrainee(dm, g), UserError);
    EXPECT_EQ(trainees().field("KZajavki").asFloat(), 116);
}

INSTANTIATE_TEST_SUITE_P(EveryGeneration, Generations, ::testing::ValuesIn(Generation::all()),
                         generationName);

} // namespace
