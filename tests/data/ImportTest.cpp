// Importing Paradox tables into the store: a folder of the old program's tables, single files,
// and the refusals that leave the store as it was.
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxReader.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/TableImport.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QDir>

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
              {{5,
                "АНДРЕЕВ",
                "ИВАН",
                "ПЕТРОВИЧ",
                QDate(1980, 5, 17),
                3,
                "ВРАЧ-ТЕРАПЕВТ",
                1,
                "Лечебное дело",
                2001,
                2010,
                {}},
               {9, "ЁЛКИНА", "МАРИЯ", "ИВАНОВНА", {}, 4, "МЕДСЕСТРА", 2, "Сестринское дело", {}, {}, {}}});
        write("sertif.db", layout("Sertif"),
              {{1, QDate(2027, 1, 31), "Терапия", 5}, {2, QDate(2026, 6, 1), "Сестринское дело", 9}});
        write("DOLJNOST.DB", layout("DOLJNOST"), {{3, "ВРАЧ-ТЕРАПЕВТ"}, {4, "МЕДСЕСТРА"}});
        write("Zajavki2023.db", layout("Zajavki2023"), {{1, 116.0, 2026}});
        write("Sluch2023.db", layout("Sluch2023"),
              {{7,
                116.0,
                "АНДРЕЕВ",
                "ИВАН",
                "ПЕТРОВИЧ",
                "ПК-12",
                "ПК",
                36,
                2,
                QDate(1980, 5, 17),
                3,
                1,
                25.0,
                16.0,
                2026,
                5,
                {},
                "a@b.ru",
                QDate(2027, 1, 31),
                "Терапия",
                "112-233-445 95",
                "очн"}});
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

    DataModule dm(*temp.store, state, prompter);
    state.CurYear = 2026;
    for (Dataset* ds : {static_cast<Dataset*>(dm.tblPersonal), static_cast<Dataset*>(dm.tblSertif),
                        static_cast<Dataset*>(dm.tblZajavki2023), static_cast<Dataset*>(dm.tblSluch2023)})
        ds->open();
    ASSERT_TRUE(dm.tblPersonal->locate("NPP", {9}));
    EXPECT_EQ(dm.field("tblPersonalName1").asString(), "ЁЛКИНА");
    EXPECT_EQ(dm.field("tblSertifName").asString(), "Сестринское дело"); // the link holds
    EXPECT_TRUE(dm.field("tblPersonalDR").isNull());
    EXPECT_TRUE(dm.field("tblPersonalStajO1").isNull()) << "no start year, no years of service";
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
        EXPECT_EQ(e.message(),
                  "Файл DOLJNOST.DB назван как таблица DOLJNOST.DB программы, но это другая таблица: в нём "
                  "нет полей NDoljn. В таблице DOLJNOST.DB программы поля такие: KDoljn, NDoljn.");
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

// The catalogue NewZicl2023.db as another program keeps it: ADDSPECIALTY is a memo (M 150: 150
// bytes of text in the record, then a 10-byte reference into NewZicl2023.MB). Row 1's memo lives
// in the record alone; row 2's in the .MB, which is not there.
QString catalogueWithoutItsBlobFile(const QString& folder) {
    TableLayout layout = *layouts::find("NewZicl2023");
    const int memo = layout.fieldIndex("ADDSPECIALTY");
    layout.fields[memo] = FieldDef{"ADDSPECIALTY", FieldType::Alpha, 160}; // as many record bytes as M 150
    QVariantList first{1,    "ПК-1",          "ПК",          "",   36, "Терапия", "врачи", 1.0,
                       2026, "Лечебное дело", "Кардиология", "очн"};
    QVariantList second = first;
    second[0] = 2;
    second[1] = "ПК-2";
    second[10] = QString(150, u'Т'); // the record keeps the first 150 bytes of a longer memo
    const QString path = QDir(folder).filePath("NewZicl2023.db");
    writeParadoxTable(path, layout, {first, second});

    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return {};
    QByteArray bytes = file.readAll();
    const ParadoxTable written = readParadoxTable(bytes, std::nullopt, "NewZicl2023.db");
    const int offset = written.info.fields[memo].offset;
    const int recordSize = written.info.recordSize;
    bytes[0x78 + 2 * memo] = char(0x0C); // the field's type: memo
    auto putLe32 = [&bytes](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    const qsizetype record1 = 0x800 + 6, record2 = record1 + recordSize;
    putLe32(record1 + offset + 150 + 4, 11);  // "Кардиология": in the record, no reference
    putLe32(record2 + offset + 150, 0x10FF);  // a block of its own in the .MB
    putLe32(record2 + offset + 150 + 4, 400); // 400 bytes long
    file.seek(0);
    file.write(bytes);
    return path;
}

TEST_F(Import, ATableWithoutItsBlobFileIsRefusedUnlessForcedThenTakenWithoutThoseMemos) {
    const QString path = catalogueWithoutItsBlobFile(source.path());
    ASSERT_FALSE(path.isEmpty());
    try {
        importTables(*temp.store, {source.path()}, ImportOptions{});
        ADD_FAILURE() << "imported without a word about the missing .MB";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("NewZicl2023.MB")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("--force")) << e.message().toStdString();
    }
    EXPECT_EQ(count("NewZicl2023"), 0);

    const ImportResult r = importTables(*temp.store, {source.path()}, ImportOptions{false, true});
    ASSERT_EQ(r.tables.size(), 1);
    EXPECT_EQ(r.tables[0].rowsStored, 2);
    EXPECT_EQ(r.tables[0].missingMemoFile, "NewZicl2023.MB");
    auto st = temp.store->cached("SELECT KZicl, ADDSPECIALTY, FOBUCH FROM NewZicl2023 ORDER BY NPP");
    ASSERT_TRUE(st->step());
    EXPECT_EQ(st->rawValue(1).toString(), "Кардиология");
    ASSERT_TRUE(st->step());
    EXPECT_EQ(st->rawValue(0).toString(), "ПК-2");
    EXPECT_TRUE(st->isNull(1)); // its text was in the .MB
    EXPECT_EQ(st->rawValue(2).toString(), "очн");
}

TEST_F(Import, ARowTheStoreRefusesUndoesTheWholeImportAndIsNamed) {
    writeOldBase();
    // The second application's year does not fit the store's short field: refused as the row is
    // stored, after the first row and other tables went in; the transaction undoes them all.
    TableLayout wide = layout("Zajavki2023");
    wide.fields[2].type = FieldType::Long;
    write("Zajavki2023.db", wide, {{1, 116.0, 2026}, {2, 117.0, 70000}});
    try {
        importTables(*temp.store, {source.path()}, false);
        ADD_FAILURE() << "a year out of range went in";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Zajavki2023.db, строка 2: ")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("70000")) << e.message().toStdString();
    }
    for (const char* table : {"DOLJNOST", "Personal", "Sertif", "Zajavki2023", "Sluch2023"})
        EXPECT_EQ(count(table), 0) << table;
}

} // namespace
