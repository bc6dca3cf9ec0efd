// Importing Paradox tables into the store: a folder of the old program's tables, single files,
// and the refusals that leave the store as it was.
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/TableImport.h"
#include "data/paradox/ParadoxWriter.h"
#include "core/SharedState.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Import : ::testing::Test {
    TempStore temp;
    QTemporaryDir source;
    SharedState state;
    ScriptedPrompter prompter;

    QString write(const QString& file, const TableLayout& layout, const QList<QVariantList>& rows) {
        const QString path = QDir(source.path()).filePath(file);
        writeParadoxTable(path, layout, rows);
        return path;
    }
    const TableLayout& layout(const char* name) { return *layouts::find(name); }
    void writeOldBase() {
        write("PERSONAL.DB", layout("Personal"),
              {{5, "АНДРЕЕВ", "ИВАН", "ПЕТРОВИЧ", QDate(1980, 5, 17), 3, "ВРАЧ-ТЕРАПЕВТ", 1, "Лечебное дело", 2001, 2010,
                {}},
               {9, "ЁЛКИНА", "МАРИЯ", "ИВАНОВНА", {}, 4, "МЕДСЕСТРА", 2, "Сестринское дело", {}, {}, {}}});
        write("sertif.db", layout("Sertif"), {{1, QDate(2027, 1, 31), "Терапия", 5}, {2, QDate(2026, 6, 1), "Сестринское дело", 9}});
        write("DOLJNOST.DB", layout("DOLJNOST"), {{3, "ВРАЧ-ТЕРАПЕВТ"}, {4, "МЕДСЕСТРА"}});
        write("Zajavki2023.db", layout("Zajavki2023"), {{1, 116.0, 2026}});
        write("Sluch2023.db", layout("Sluch2023"),
              {{7, 116.0, "АНДРЕЕВ", "ИВАН", "ПЕТРОВИЧ", "ПК-12", "ПК", 36, 2, QDate(1980, 5, 17), 3, 1, 25.0, 16.0, 2026,
                5, {}, "a@b.ru", QDate(2027, 1, 31), "Терапия", "112-233-445 95", "очн"}});
        QFile other(QDir(source.path()).filePath("NOTES.DB"));
        other.open(QIODevice::WriteOnly);
        other.write("not a table of ours");
    }
    int count(const char* table) {
        auto st = temp.store->cached(QString("SELECT COUNT(*) FROM \"%1\"").arg(table));
        st->step();
        return int(st->int64(0));
    }
};

TEST_F(Import, AFolderOfOldTablesKeepsRowNumbersAndLinks) {
    writeOldBase();
    const ImportResult r = importTables(*temp.store, {source.path()}, false);
    EXPECT_EQ(r.skipped, QStringList{"NOTES.DB"});
    ASSERT_EQ(r.tables.size(), 5);
    for (const ImportedTable& t : r.tables)
        EXPECT_EQ(t.rowsRead, t.rowsStored) << t.fileName.toStdString();

    TDM dm(*temp.store, state, prompter);
    state.CurYear = 2026;
    for (Dataset* ds : {static_cast<Dataset*>(dm.tblPersonal), static_cast<Dataset*>(dm.tblSertif),
                        static_cast<Dataset*>(dm.tblZajavki2023), static_cast<Dataset*>(dm.tblSluch2023)})
        ds->open();
    ASSERT_TRUE(dm.tblPersonal->locate("NPP", {9}));
    EXPECT_EQ(dm.field("tblPersonalName1").asString(), "ЁЛКИНА");
    EXPECT_EQ(dm.field("tblSertifName").asString(), "Сестринское дело"); // the link holds
    EXPECT_TRUE(dm.field("tblPersonalDR").isNull());
    EXPECT_EQ(dm.field("tblPersonalStajO1").asInteger(), 2026);
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 1);
    EXPECT_EQ(dm.field("tblSluch2023SNILS").asString(), "112-233-445 95");
    dm.tblPersonal->append(); // new rows continue after the imported numbers
    dm.field("tblPersonalName1").setAsString("НОВИКОВ");
    dm.tblPersonal->post();
    EXPECT_EQ(dm.field("tblPersonalNPP").asInteger(), 10);
}

TEST_F(Import, ReferenceBooksAreReplacedAndWorkIsKeptUnlessAsked) {
    writeOldBase();
    temp.store->exec("INSERT INTO DOLJNOST VALUES (99, 'СТАРАЯ ДОЛЖНОСТЬ')");
    temp.store->exec("INSERT INTO Personal (Name1) VALUES ('СТАРЫЙ')");
    try {
        importTables(*temp.store, {source.path()}, false);
        ADD_FAILURE() << "an import over the office's work went through";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("Personal.DB")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("--replace"));
    }
    EXPECT_EQ(count("DOLJNOST"), 1); // nothing imported, not even the reference book
    EXPECT_EQ(count("Personal"), 1);

    importTables(*temp.store, {source.path()}, true);
    EXPECT_EQ(count("DOLJNOST"), 2);
    EXPECT_EQ(count("Personal"), 2);

    // A single file: the centre's catalogue alone, under any case of its name.
    const QString catalogue = write("DOLJNOST.db", layout("DOLJNOST"), {{1, "ГЛАВНЫЙ ВРАЧ"}});
    importTables(*temp.store, {catalogue}, false);
    EXPECT_EQ(count("DOLJNOST"), 1);
}

TEST_F(Import, ATableLackingAFieldIsRefusedByNameAndNothingIsImported) {
    writeOldBase();
    TableLayout shortened = layout("DOLJNOST");
    shortened.fields.removeLast();
    write("DOLJNOST.DB", shortened, {{3}});
    try {
        importTables(*temp.store, {source.path()}, false);
        ADD_FAILURE() << "a table without NDoljn was imported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "В таблице DOLJNOST.DB нет полей: NDoljn");
    }
    EXPECT_EQ(count("Personal"), 0);
    EXPECT_EQ(count("DOLJNOST"), 0);
}

TEST_F(Import, FilesThatAreNotTablesOfTheProgramAreRefused) {
    const QString notes = write("NOTES.DB", layout("DOLJNOST"), {});
    EXPECT_THROW(importTables(*temp.store, {notes}, false), DbError);
    EXPECT_THROW(importTables(*temp.store, {source.path() + "/missing.db"}, false), DbError);
    QFile broken(QDir(source.path()).filePath("SPEZ.DB"));
    broken.open(QIODevice::WriteOnly);
    broken.write("garbage");
    broken.close();
    try {
        importTables(*temp.store, {broken.fileName()}, false);
        ADD_FAILURE();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("SPEZ.DB")) << e.message().toStdString();
    }
}

} // namespace
