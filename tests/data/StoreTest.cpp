// The store: its tables laid out as the program expects, and a damaged store reported per table.
#include "data/DbError.h"
#include "data/SqliteStore.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

// Each table with its fields in order, as the documentation of the tables writes them.
const char* const kExpected[] = {
    "Personal.DB: NPP +, Name1 A 25, Name2 A 25, Name3 A 25, DR D, KDoljn I, NDoljn A 100, KSpez I, NSpez A "
    "100, "
    "StajOb S, StajDoljn S, PR A 1",
    "Trained.db: NPP +, KZicl A 6, VidOb A 2, Hours S, Year S, Kod_Personal I, TypeOb A 1",
    "Sertif.db: NPP +, DateCL D, Name A 150, PersonalKOD I",
    "PEREMAIL.db: NPP +, EMAIL A 100, PersonalKOD I",
    "PERSNILS.db: NPP +, SNILS A 14, PersonalKOD I",
    "DOLJNOST.DB: KDoljn I, NDoljn A 100",
    "SPEZ.DB: KSpez I, NSpez A 100",
    "Specialty.DB: NPP +, Name A 150",
    "Config.db: NLPU A 200, Boss A 25, User A 25, Phone A 11, KZajavki S",
    "LPUDETAILS.db: NPP +, ADRESS A 250, INN A 15, KPP A 15, BIK A 15, RCH A 20, LCH A 20, BANK A 250",
    "NewZicl2023.db: NPP +, KZicl A 15, VidOb A 2, TypeOb A 1, Hours S, NZicl A 250, Contingent A 250, "
    "RealZicl N, "
    "Year S, SPECIALY A 255, ADDSPECIALTY M 150, FOBUCH A 5",
    "NewZicl2021.DB: NPP +, KZicl A 15, VidOb A 2, TypeOb A 1, Hours S, NZicl A 250, Contingent A 250, "
    "RealZicl N, "
    "Year S, SPECIALY A 255, ADDSPECIALTY M 150, FOBUCH A 5",
    "Zajavki.DB: NPP +, KZajavki N, Year S",
    "Zajavki2021.db: NPP +, KZajavki N, Year S",
    "Zajavki2023.db: NPP +, KZajavki N, Year S",
    "Sluch.DB: NPP +, KZajavki N, Name1 A 25, Name2 A 25, Name3 A 25, KZicl A 6, VidOb A 2, TypeOb A 1, "
    "Hours S, "
    "KV S, DR D, KDoljn I, KSpez I, StajOb N, StajDoljn N, Year S, KodPersonal I, PR A 1",
    "Sluch2021.db: NPP +, KZajavki N, Name1 A 25, Name2 A 25, Name3 A 25, KZicl A 15, VidOb A 2, TypeOb A 1, "
    "Hours S, KV S, DR D, KDoljn I, KSpez I, StajOb N, StajDoljn N, Year S, KodPersonal I, PR A 1, EMAIL A "
    "100, "
    "DateCl D, Specialty A 150",
    "Sluch2023.db: NPP +, KZajavki N, Name1 A 25, Name2 A 25, Name3 A 25, KZicl A 15, VidOb A 2, Hours S, KV "
    "S, "
    "DR D, KDoljn I, KSpez I, StajOb N, StajDoljn N, Year S, KodPersonal I, PR A 1, EMAIL A 100, DateCl D, "
    "Specialty A 150, SNILS A 14, FOBUCH A 5",
    "SLSertif.db: NPP +, DateCL D, Name A 150, PersonalKOD I",
    "SLUCHEMAIL.db: NPP +, EMAIL A 100, SLUCHKOD I",
    "SLUCHSNILS.db: NPP +, SNILS A 14, SLUCHKOD I",
    "TempZ.DB: Zajavka N, Name1 A 25, Name2 A 25, Name3 A 25, Zicl A 6, TypeOb A 1, Kv S, DataRojd D, Doljn "
    "S, "
    "Spez S, Stajg N, StajgZ N, Year S, YearObr S, BazaObr A 10, ZiclObr A 6, TypeObObr A 1, VidOb A 2, "
    "Hours S, "
    "DateCL D, Specialty A 150, EMAIL A 100",
    "TempZ2023.db: Zajavka N, Name1 A 25, Name2 A 25, Name3 A 25, Zicl A 15, Kv S, DR D, Doljn S, Spez S, "
    "Stajg N, "
    "StajgZ N, Year S, VidOb A 2, Hours S, DateCL D, Specialty A 150, EMAIL A 100, SNILS A 14, FOBUCH A 5",
};

// Reads a table's layout back from the database file itself, with plain SQLite.
QString storedLayout(const QString& dbPath, const TableLayout& t) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, QString("PRAGMA table_info(\"%1\")").arg(t.sqlName).toUtf8(), -1, &st, nullptr);
    QStringList fields;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        const bool key = sqlite3_column_int(st, 5) == 1;
        QString code = key                  ? "+"
                       : type == "SMALLINT" ? "S"
                       : type == "INTEGER"  ? "I"
                       : type == "DOUBLE"   ? "N"
                       : type == "DATE"     ? "D"
                                            : type;
        if (type.startsWith("VARCHAR("))
            code = "A " + type.mid(8).chopped(1);
        if (type == "TEXT")
            code = "M " + QString::number(t.fields[t.fieldIndex(name)].size);
        fields << name + ' ' + code;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return t.fileName + ": " + fields.join(", ");
}

TEST(Store, CreatesEveryTableWithItsFieldsInOrder) {
    TempStore temp;
    ASSERT_EQ(layouts::all().size(), std::size(kExpected));
    for (size_t i = 0; i < std::size(kExpected); ++i) {
        EXPECT_EQ(storedLayout(temp.root.storeFile(), layouts::all()[int(i)]).toStdString(), kExpected[i]);
        EXPECT_TRUE(temp.store->layoutError(layouts::all()[int(i)].sqlName).isEmpty());
    }
}

TEST(Store, AMissingOrDifferentTableIsAnErrorOfThatTableAlone) {
    TempStore temp;
    const QString path = temp.root.storeFile();
    temp.store->exec("DROP TABLE SLUCHEMAIL");
    temp.store->exec("DROP TABLE Trained");
    temp.store->exec("CREATE TABLE Trained (NPP INTEGER PRIMARY KEY, KZicl VARCHAR(15))");
    temp.store.reset();
    auto store = SqliteStore::open(path);
    const QString file = QDir::toNativeSeparators(path);
    EXPECT_EQ(store->layoutError("SLUCHEMAIL"),
              "В базе данных " + file +
                  " нет таблицы «адрес электронной почты слушателя». Восстановите "
                  "базу данных из резервной копии.");
    EXPECT_EQ(store->layoutError("Trained"),
              "Таблица «учёба сотрудника» в базе данных " + file +
                  " устроена не так, как ожидает программа: поле «код программы» хранит значения другого "
                  "вида; в ней "
                  "нет поля «вид обучения». Восстановите базу данных из резервной копии.");
    Table email(*store, "tblSlEmail", "SLUCHEMAIL.db");
    try {
        email.open();
        ADD_FAILURE() << "a missing table opened";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), store->layoutError("SLUCHEMAIL"));
    }
    Table snils(*store, "tblSluchSnils", "SLUCHSNILS.db");
    EXPECT_NO_THROW(snils.open());
}

TEST(Store, AMissingIndexIsAnErrorWhenTheTableOpensWithIt) {
    TempStore temp;
    temp.store->exec("DROP INDEX Personal_ind_FIO");
    const QString path = temp.root.storeFile();
    temp.store.reset();
    auto store = SqliteStore::open(path);
    Table people(*store, "tblPersonal", "Personal.DB");
    people.setIndexName("ind_FIO");
    try {
        people.open();
        ADD_FAILURE() << "the register opened without its index";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  "В базе данных " + QDir::toNativeSeparators(path) +
                      " нет индекса, в порядке которого показывается таблица «список сотрудников»: база "
                      "данных повреждена. Восстановите её из резервной копии.");
    }
}

TEST(Store, CreateRefusesAnExistingFile) {
    TempStore temp;
    EXPECT_THROW(SqliteStore::create(temp.root.storeFile()), DbError);
}

TEST(Store, EmptyTableNeedsTheTableClosed) {
    TempStore temp;
    Table t(*temp.store, "tblTempZ2023", "TempZ2023.db");
    t.open();
    t.append();
    t.field("Name1").setAsString("А");
    t.post();
    EXPECT_THROW(t.emptyTable(), DbError);
    t.close();
    t.emptyTable();
    t.open();
    EXPECT_TRUE(t.isEmpty());
}

} // namespace

namespace {

// A commit the database refuses (here a deferred constraint found broken only at the end) leaves
// nothing written and the store ready for the next transaction.
TEST(Store, ACommitThatFailsRollsTheTransactionBack) {
    TempStore temp;
    Store& store = *temp.store;
    store.exec("CREATE TEMP TABLE parent (id INTEGER PRIMARY KEY)");
    store.exec(
        "CREATE TEMP TABLE child (parent INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)");
    store.exec("PRAGMA foreign_keys=ON");
    {
        Store::Transaction transaction(store);
        store.exec("INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026)");
        store.exec("INSERT INTO temp.child VALUES (7)");
        EXPECT_THROW(transaction.commit(), DbError);
    }
    store.exec("PRAGMA foreign_keys=OFF");
    EXPECT_EQ(store.transactionDepth(), 0);
    auto st = store.cached("SELECT COUNT(*) FROM Zajavki2023");
    st->step();
    EXPECT_EQ(st->int64(0), 0);
    Store::Transaction next(store);
    store.exec("INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026)");
    next.commit();
}

} // namespace
