// The table engine against plain SQLite on a register of a busy office: 10,000 people, each with an
// e-mail, a SNILS, two certificates and three trainings; 5,000 programmes; 2,000 applications with
// 50,000 trainees. The store is generated once per run with plain inserts (untimed); then each
// comparison does the same work through the data module ("ours") and through hand-written SQLite
// statements on a connection of its own ("base").
#include "BenchRunner.h"
#include "BenchServer.h"
#include "DelayProxy.h"

#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/Layout.h"
#include "data/PgStatement.h"
#include "data/PgStore.h"
#include "data/RuCollation.h"
#include "data/SqliteStore.h"

#include <cstdio>
#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <QDate>
#include <QStringList>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kPeople = 10000;
constexpr int kProgrammes = 5000;
constexpr int kApplications = 2000;
constexpr int kTrainees = 50000;
constexpr int kLookups = 200;
constexpr int kAppended = 1000;

// Results are summed here so that no side's reads can be optimised away.
volatile qint64 g_sink = 0;

// ---------------------------------------------------------------- plain SQLite

[[noreturn]] void sqliteFailed(sqlite3* db, const std::string& what) {
    throw std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

class RawDb {
public:
    // Opens the store file the way the engine does: RU collation, WAL, normal syncing.
    explicit RawDb(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            sqliteFailed(db_, "open " + path);
        SqliteStore::prepareConnection(db_);
        sqlite3_busy_timeout(db_, 2000);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
    }
    ~RawDb() { sqlite3_close_v2(db_); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    sqlite3* get() const { return db_; }
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err ? err : "?";
            sqlite3_free(err);
            throw std::runtime_error(sql + ": " + msg);
        }
    }

private:
    sqlite3* db_ = nullptr;
};

class RawStmt {
public:
    RawStmt() = default;
    RawStmt(sqlite3* db, const std::string& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &s_, nullptr) != SQLITE_OK)
            sqliteFailed(db, sql);
    }
    ~RawStmt() { sqlite3_finalize(s_); }
    RawStmt(RawStmt&& o) noexcept : db_(o.db_), s_(o.s_) { o.s_ = nullptr; }
    RawStmt& operator=(RawStmt&& o) noexcept {
        std::swap(db_, o.db_);
        std::swap(s_, o.s_);
        return *this;
    }

    sqlite3_stmt* get() const { return s_; }
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        sqliteFailed(db_, "step");
    }
    void run() {
        step();
        sqlite3_reset(s_);
    }
    void reset() { sqlite3_reset(s_); }
    void bind(int i, qint64 v) { sqlite3_bind_int64(s_, i, v); }
    void bind(int i, int v) { sqlite3_bind_int64(s_, i, v); }
    void bind(int i, double v) { sqlite3_bind_double(s_, i, v); }
    // Empty texts are stored as nulls, as the engine stores them.
    void bind(int i, const std::string& v) {
        if (v.empty())
            sqlite3_bind_null(s_, i);
        else
            sqlite3_bind_text(s_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
    }
    qint64 int64(int column) const { return sqlite3_column_int64(s_, column); }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* s_ = nullptr;
};

// Reads every column of the current row, as a screen showing the row would.
qint64 readRow(sqlite3_stmt* s) {
    qint64 h = 0;
    const int n = sqlite3_column_count(s);
    for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER:
            h += sqlite3_column_int64(s, i);
            break;
        case SQLITE_FLOAT:
            h += qint64(sqlite3_column_double(s, i));
            break;
        case SQLITE_TEXT: {
            const unsigned char* t = sqlite3_column_text(s, i);
            h += sqlite3_column_bytes(s, i) + (t ? t[0] : 0);
            break;
        }
        default:
            break;
        }
    }
    return h;
}

std::string quoted(const QString& name) {
    return '"' + name.toStdString() + '"';
}

std::string u8(const QString& s) {
    return s.toStdString();
}

// ---------------------------------------------------------------- what the data module opens

// One table of the data module as the start-up opens it: its store name, its index and, for a
// detail, its master and the master's link fields.
struct OpenedTable {
    const char* object;
    const char* table;
    const char* index;
    const char* master; // object name of the master table, or nullptr
    QStringList masterFields;
};

// The start-up order of the program: every master is open before its details.
const std::vector<OpenedTable>& openedTables() {
    static const std::vector<OpenedTable> tables{
        {"tblPersonal", "Personal", "ind_FIO", nullptr, {}},
        {"tblTrained", "Trained", "ind_Kod_Personal", "tblPersonal", {"NPP"}},
        {"tblDoljn", "DOLJNOST", "", nullptr, {}},
        {"tblSpez", "SPEZ", "", nullptr, {}},
        {"tblZajavki", "Zajavki", "", nullptr, {}},
        {"tblZajavki2021", "Zajavki2021", "", nullptr, {}},
        {"tblZajavki2023", "Zajavki2023", "", nullptr, {}},
        {"tblSluch", "Sluch", "ind_KZajavki_Year", "tblZajavki", {"KZajavki", "Year"}},
        {"tblSluch2021", "Sluch2021", "ind_KZajavki_Year", "tblZajavki2021", {"KZajavki", "Year"}},
        {"tblSluch2023", "Sluch2023", "ind_KZajavki_Year", "tblZajavki2023", {"KZajavki", "Year"}},
        {"tblConfig", "Config", "", nullptr, {}},
        {"tblLPUDETAILS", "LPUDETAILS", "", nullptr, {}},
        {"tblNewZicl", "NewZicl2023", "ind_RealZicl_Hours", nullptr, {}},
        {"tblTempZ", "TempZ", "", nullptr, {}},
        {"tblTempZ2023", "TempZ2023", "", nullptr, {}},
        {"tblSertif", "Sertif", "ind_PersonalKOD", "tblPersonal", {"NPP"}},
        {"tblSLSertif", "SLSertif", "ind_PersonalKOD", "tblSluch", {"NPP"}},
        {"tblSpecialty", "Specialty", "", nullptr, {}},
        {"tblPerEmail", "PEREMAIL", "ind_PersonalKOD", "tblPersonal", {"NPP"}},
        {"tblSlEmail", "SLUCHEMAIL", "ind_PersonalKOD", "tblSluch", {"NPP"}},
        {"tblPerSnils", "PERSNILS", "ind_PersonalKOD", "tblPersonal", {"NPP"}},
        {"tblSluchSnils", "SLUCHSNILS", "ind_PersonalKOD", "tblSluch2021", {"NPP"}},
    };
    return tables;
}

// The statements a view needs for its first screen: the ordered row ids (of the master's range
// for a detail) and one row by its id.
struct ViewSql {
    std::string ids;
    std::string row;
    int master = -1;             // position of the master in openedTables()
    std::vector<int> masterCols; // the master's link columns
};

std::vector<ViewSql> viewSqls() {
    const auto& tables = openedTables();
    std::vector<ViewSql> out;
    for (const OpenedTable& entry : tables) {
        const TableLayout& t = *layouts::find(QString::fromLatin1(entry.table));
        QStringList order;
        if (*entry.index)
            order = t.index(QString::fromLatin1(entry.index))->fields;
        ViewSql v;
        std::string where, orderBy;
        for (int i = 0; i < order.size(); ++i) {
            const FieldDef& f = t.fields[t.fieldIndex(order[i])];
            orderBy += quoted(f.name) + (f.isText() ? " COLLATE RU" : "") + ", ";
            if (i < entry.masterFields.size())
                where += std::string(where.empty() ? " WHERE " : " AND ") + quoted(f.name) + " = ?";
        }
        v.ids = "SELECT rowid FROM " + quoted(t.sqlName) + where + " ORDER BY " + orderBy + "rowid";
        std::string cols;
        for (const FieldDef& f : t.fields)
            cols += (cols.empty() ? "" : ",") + quoted(f.name);
        v.row = "SELECT " + cols + " FROM " + quoted(t.sqlName) + " WHERE rowid = ?";
        if (entry.master) {
            for (size_t m = 0; m < tables.size(); ++m)
                if (QString::fromLatin1(tables[m].object) == QString::fromLatin1(entry.master))
                    v.master = int(m);
            const TableLayout& mt = *layouts::find(QString::fromLatin1(tables[size_t(v.master)].table));
            for (const QString& name : entry.masterFields)
                v.masterCols.push_back(mt.fieldIndex(name));
        }
        out.push_back(std::move(v));
    }
    return out;
}

// ---------------------------------------------------------------- generated register

const char* const kSurnames[] = {
    "ИВАНОВ",    "ПЕТРОВ",      "СИДОРОВ",   "СМИРНОВ",    "КУЗНЕЦОВ", "ПОПОВ",      "ВАСИЛЬЕВ",
    "СОКОЛОВ",   "МИХАЙЛОВ",    "НОВИКОВ",   "ФЕДОРОВ",    "МОРОЗОВ",  "ВОЛКОВ",     "АЛЕКСЕЕВ",
    "ЛЕБЕДЕВ",   "СЕМЁНОВ",     "ЕГОРОВ",    "ПАВЛОВ",     "КОЗЛОВ",   "СТЕПАНОВ",   "НИКОЛАЕВ",
    "ОРЛОВ",     "АНДРЕЕВ",     "МАКАРОВ",   "НИКИТИН",    "ЗАХАРОВ",  "ЗАЙЦЕВ",     "СОЛОВЬЁВ",
    "БОРИСОВ",   "ЯКОВЛЕВ",     "ГРИГОРЬЕВ", "РОМАНОВ",    "ВОРОБЬЁВ", "СЕРГЕЕВ",    "КУЗЬМИН",
    "ФРОЛОВ",    "АЛЕКСАНДРОВ", "ДМИТРИЕВ",  "КОРОЛЁВ",    "ГУСЕВ",    "КИСЕЛЁВ",    "ИЛЬИН",
    "МАКСИМОВ",  "ПОЛЯКОВ",     "СОРОКИН",   "ВИНОГРАДОВ", "КОВАЛЁВ",  "БЕЛОВ",      "МЕДВЕДЕВ",
    "АНТОНОВ",   "ТАРАСОВ",     "ЖУКОВ",     "БАРАНОВ",    "ФИЛИППОВ", "КОМАРОВ",    "ДАВЫДОВ",
    "БЕЛЯЕВ",    "ГЕРАСИМОВ",   "БОГДАНОВ",  "ОСИПОВ",     "МАТВЕЕВ",  "ТИТОВ",      "МАРКОВ",
    "МИРОНОВ",   "КРЫЛОВ",      "КУЛИКОВ",   "КАРПОВ",     "ВЛАСОВ",   "МЕЛЬНИКОВ",  "ДЕНИСОВ",
    "ГАВРИЛОВ",  "ТИХОНОВ",     "КАЗАКОВ",   "АФАНАСЬЕВ",  "ДАНИЛОВ",  "САВЕЛЬЕВ",   "ТИМОФЕЕВ",
    "ФОМИН",     "ЧЕРНОВ",      "АБРАМОВ",   "МАРТЫНОВ",   "ЕФИМОВ",   "ФЕДОТОВ",    "ЩЕРБАКОВ",
    "НАЗАРОВ",   "КАЛИНИН",     "ИСАЕВ",     "ЧЕРНЫШЁВ",   "БЫКОВ",    "МАСЛОВ",     "РОДИОНОВ",
    "КОНОВАЛОВ", "ЛАЗАРЕВ",     "ВОРОНИН",   "КЛИМОВ",     "ФИЛАТОВ",  "ПОНОМАРЁВ",  "ГОЛУБЕВ",
    "КУДРЯВЦЕВ", "ПРОХОРОВ",    "НАУМОВ",    "ПОТАПОВ",    "ЖУРАВЛЁВ", "ОВЧИННИКОВ", "ТРОФИМОВ",
    "ЛЕОНОВ",    "СОБОЛЕВ",     "ЕРМАКОВ",   "КОЛЕСНИКОВ", "ГОНЧАРОВ", "ЕМЕЛЬЯНОВ",  "НИКИФОРОВ",
    "ГРАЧЁВ",    "КОТОВ",       "ГРИШИН",    "ЕФРЕМОВ",    "АРХИПОВ",  "ГРОМОВ",     "КИРИЛЛОВ",
    "МАЛЫШЕВ",   "ПАНОВ",       "МОИСЕЕВ",   "РУМЯНЦЕВ",   "АКИМОВ",   "КОНДРАТЬЕВ", "БИРЮКОВ",
    "ГОРБУНОВ",  "АНИСИМОВ",    "ЕРЁМИН",    "ТИХОМИРОВ",  "ГАЛКИН",   "ЛУКЬЯНОВ",   "МИХЕЕВ",
    "СКВОРЦОВ",  "ЮДИН",        "БЕЛОУСОВ",  "НЕСТЕРОВ",   "СИМОНОВ",  "ПРОКОФЬЕВ",  "ХАРИТОНОВ",
    "КНЯЗЕВ",    "ЦВЕТКОВ",     "ЛЕВИН",     "ЁЛКИН",      "ВОРОНОВ",  "АКСЁНОВ",    "МАЛЬЦЕВ",
    "ЛОГИНОВ",   "ГОРШКОВ",     "САВИН",     "КРАСНОВ",    "ЩУКИН",
};
const char* const kMaleNames[] = {
    "АЛЕКСАНДР", "АЛЕКСЕЙ",  "АНДРЕЙ",  "АНТОН", "АРТЁМ",   "БОРИС",   "ВАДИМ",  "ВАЛЕРИЙ", "ВИКТОР",
    "ВЛАДИМИР",  "ГЕННАДИЙ", "ГЕОРГИЙ", "ДЕНИС", "ДМИТРИЙ", "ЕВГЕНИЙ", "ИВАН",   "ИГОРЬ",   "КОНСТАНТИН",
    "МАКСИМ",    "МИХАИЛ",   "НИКОЛАЙ", "ОЛЕГ",  "ПАВЕЛ",   "РОМАН",   "СЕРГЕЙ", "ЮРИЙ"};
const char* const kFemaleNames[] = {"АННА",     "АЛЛА",      "ВАЛЕНТИНА", "ВЕРА",   "ГАЛИНА",  "ДАРЬЯ",
                                    "ЕЛЕНА",    "ЕКАТЕРИНА", "ИРИНА",     "ЛАРИСА", "ЛЮДМИЛА", "МАРИНА",
                                    "МАРИЯ",    "НАДЕЖДА",   "НАТАЛЬЯ",   "НИНА",   "ОКСАНА",  "ОЛЬГА",
                                    "СВЕТЛАНА", "ТАТЬЯНА",   "ЮЛИЯ"};
// Patronymics: male and female forms of the same father's name.
const char* const kPatronymics[][2] = {
    {"АЛЕКСАНДРОВИЧ", "АЛЕКСАНДРОВНА"}, {"АЛЕКСЕЕВИЧ", "АЛЕКСЕЕВНА"}, {"АНДРЕЕВИЧ", "АНДРЕЕВНА"},
    {"БОРИСОВИЧ", "БОРИСОВНА"},         {"ВИКТОРОВИЧ", "ВИКТОРОВНА"}, {"ВЛАДИМИРОВИЧ", "ВЛАДИМИРОВНА"},
    {"ГЕННАДЬЕВИЧ", "ГЕННАДЬЕВНА"},     {"ДМИТРИЕВИЧ", "ДМИТРИЕВНА"}, {"ЕВГЕНЬЕВИЧ", "ЕВГЕНЬЕВНА"},
    {"ИВАНОВИЧ", "ИВАНОВНА"},           {"ИГОРЕВИЧ", "ИГОРЕВНА"},     {"МИХАЙЛОВИЧ", "МИХАЙЛОВНА"},
    {"НИКОЛАЕВИЧ", "НИКОЛАЕВНА"},       {"ОЛЕГОВИЧ", "ОЛЕГОВНА"},     {"ПАВЛОВИЧ", "ПАВЛОВНА"},
    {"ПЕТРОВИЧ", "ПЕТРОВНА"},           {"СЕРГЕЕВИЧ", "СЕРГЕЕВНА"},   {"ЮРЬЕВИЧ", "ЮРЬЕВНА"},
};
const char* const kPositions[] = {
    "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ",
    "ВРАЧ-ХИРУРГ",
    "ВРАЧ-ПЕДИАТР",
    "ВРАЧ-КАРДИОЛОГ",
    "ВРАЧ-НЕВРОЛОГ",
    "ВРАЧ-ОФТАЛЬМОЛОГ",
    "ВРАЧ-РЕНТГЕНОЛОГ",
    "ВРАЧ АНЕСТЕЗИОЛОГ-РЕАНИМАТОЛОГ",
    "ЗАВЕДУЮЩИЙ ОТДЕЛЕНИЕМ",
    "МЕДИЦИНСКАЯ СЕСТРА",
    "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ",
    "МЕДИЦИНСКАЯ СЕСТРА ПРОЦЕДУРНОЙ",
    "СТАРШАЯ МЕДИЦИНСКАЯ СЕСТРА",
    "ФЕЛЬДШЕР",
    "АКУШЕРКА",
    "ЛАБОРАНТ",
    "РЕНТГЕНОЛАБОРАНТ",
    "ФЕЛЬДШЕР СКОРОЙ МЕДИЦИНСКОЙ ПОМОЩИ",
    "ИНСТРУКТОР ПО ЛЕЧЕБНОЙ ФИЗКУЛЬТУРЕ",
    "МЕДИЦИНСКИЙ СТАТИСТИК",
};
const char* const kSpecialties[] = {
    "ТЕРАПИЯ",
    "ХИРУРГИЯ",
    "ПЕДИАТРИЯ",
    "КАРДИОЛОГИЯ",
    "НЕВРОЛОГИЯ",
    "ОФТАЛЬМОЛОГИЯ",
    "РЕНТГЕНОЛОГИЯ",
    "АНЕСТЕЗИОЛОГИЯ-РЕАНИМАТОЛОГИЯ",
    "СЕСТРИНСКОЕ ДЕЛО",
    "ЛЕЧЕБНОЕ ДЕЛО",
    "АКУШЕРСКОЕ ДЕЛО",
    "ЛАБОРАТОРНАЯ ДИАГНОСТИКА",
    "СКОРАЯ И НЕОТЛОЖНАЯ ПОМОЩЬ",
    "ОРГАНИЗАЦИЯ ЗДРАВООХРАНЕНИЯ",
    "МЕДИЦИНСКАЯ СТАТИСТИКА",
};

template <typename T, size_t N> constexpr int countOf(T (&)[N]) {
    return int(N);
}

struct Person {
    QString name1, name2, name3;
};

// A trainee the append comparison adds, in both forms: Qt values for the engine's field
// objects and UTF-8 texts for the plain statements.
struct NewTrainee {
    QString name1, name2, name3, kzicl, email, specialty, snils;
    QDate dr, dateCl;
    int hours, kv, kdoljn, kspez, kodPersonal;
    double stajOb, stajDoljn;
    std::string u1, u2, u3, ukzicl, uemail, uspecialty, usnils, udr, udateCl;
};

class Rng {
public:
    int operator()(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }

private:
    std::mt19937 gen_{20230417};
};

std::string dateText(const QDate& d) {
    return d.toString(Qt::ISODate).toStdString();
}
std::string snilsText(Rng& rng) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03d-%03d-%03d %02d", rng(0, 999), rng(0, 999), rng(0, 999), rng(0, 99));
    return buf;
}

// ---------------------------------------------------------------- the fixture

class Fixture {
public:
    static Fixture& get() {
        static Fixture f;
        return f;
    }

    std::string path;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<Store> store;
    std::unique_ptr<DataModule> dm;
    std::unique_ptr<RawDb> raw;     // the base side's connection for the lasting comparisons
    std::unique_ptr<RawDb> rawOpen; // the base side's fresh connection for the opening comparison

    std::vector<Person> people;        // by NPP - 1
    std::vector<qint64> registerOrder; // NPP of the people in the order of ind_FIO
    std::vector<QString> prefixes;
    std::vector<std::string> prefixesUtf8;
    std::vector<int> locateWho; // positions in `people`
    std::vector<std::string> locateUtf8[3];
    std::vector<NewTrainee> newTrainees;
    double appKZajavki = 0;
    int appYear = 0;
    qint64 traineesTop = 0; // the highest trainee row id of the generated store

    // Where the engine's store is: the file, its copy on the server reached straight through the
    // server's socket, or that copy over a network of 1 ms round trips.
    enum class On { File, Server, ServerOverNetwork };
    On on = On::File;
    std::string serverConnInfo; // the copy's database, straight
    std::unique_ptr<DelayProxy> network;

    // A fresh store object and data module on the file, as at the program's start.
    void restartEngine() {
        dm.reset();
        store.reset();
        if (on == On::File) {
            store = SqliteStore::open(QString::fromStdString(path));
        } else {
            std::string url = serverConnInfo;
            if (on == On::ServerOverNetwork)
                url = bench::throughFolder(url, network->folder());
            store = PgStore::open(QString::fromStdString(url));
        }
        dm = std::make_unique<DataModule>(*store, state, prompter);
    }
    // The engine on `where` from now on (the server's copy made on first use).
    void switchTo(On where) {
        if (where == on)
            return;
        if (where != On::File && serverConnInfo.empty())
            serverConnInfo = bench::serverDatabaseFrom("engine", path);
        if (where == On::ServerOverNetwork && !network)
            network = std::make_unique<DelayProxy>(bench::serverSocket(), std::chrono::microseconds(500));
        on = where;
        restartEngine();
    }

    Table* table(const char* object) const {
        return qobject_cast<Table*>(dm->dataset(QString::fromLatin1(object)));
    }

    // Closes every table, details first, then opens the given ones in order.
    void openOnly(std::initializer_list<Table*> wanted) {
        const auto& all = openedTables();
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            table(it->object)->close();
        for (Table* t : wanted)
            t->open();
    }

    // Removes the trainees a previous append run added.
    void dropAppended() {
        if (on != On::File) {
            store->exec(QStringLiteral("DELETE FROM Sluch2023 WHERE rowid > %1").arg(traineesTop));
            return;
        }
        RawStmt del(raw->get(), "DELETE FROM Sluch2023 WHERE rowid > ?");
        del.bind(1, traineesTop);
        del.run();
        raw->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }

private:
    Fixture() {
        path = bench::scratchDir() + "/engine.db";
        state.CurYear = 2026;
        { SqliteStore::open(QString::fromStdString(path)); } // creates the file with every table
        raw = std::make_unique<RawDb>(path);
        generate();
        prepareWork();
        restartEngine();
        check();
    }

    void generate();
    void prepareWork();
    void check();
};

void Fixture::generate() {
    Rng rng;
    sqlite3* db = raw->get();
    raw->exec("BEGIN");

    RawStmt doljn(db, "INSERT INTO DOLJNOST (KDoljn, NDoljn) VALUES (?, ?)");
    for (int i = 0; i < countOf(kPositions); ++i) {
        doljn.bind(1, i + 1);
        doljn.bind(2, std::string(kPositions[i]));
        doljn.run();
    }
    RawStmt spez(db, "INSERT INTO SPEZ (KSpez, NSpez) VALUES (?, ?)");
    RawStmt specialty(db, "INSERT INTO Specialty (Name) VALUES (?)");
    for (int i = 0; i < countOf(kSpecialties); ++i) {
        spez.bind(1, i + 1);
        spez.bind(2, std::string(kSpecialties[i]));
        spez.run();
        specialty.bind(1, std::string(kSpecialties[i]));
        specialty.run();
    }
    raw->exec("INSERT INTO Config (NLPU, Boss, \"User\", Phone, KZajavki) VALUES "
              "('ГБУЗ ГОРОДСКАЯ БОЛЬНИЦА № 1', 'ПЕТРОВА А. И.', 'ОТДЕЛ КАДРОВ', '84950000000', 1)");
    raw->exec("INSERT INTO LPUDETAILS (ADRESS, INN, KPP, BIK, RCH, LCH, BANK) VALUES "
              "('г. Москва, ул. Больничная, д. 1', '7700000000', '770001001', '044525000', "
              "'40102810000000000000', '03224643450000007300', 'ГУ БАНКА РОССИИ')");

    // People with their details.
    RawStmt person(db, "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, NSpez, StajOb, "
                       "StajDoljn, PR) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    RawStmt email(db, "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) VALUES (?, ?)");
    RawStmt snils(db, "INSERT INTO PERSNILS (SNILS, PersonalKOD) VALUES (?, ?)");
    RawStmt sertif(db, "INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES (?, ?, ?)");
    RawStmt trained(db, "INSERT INTO Trained (KZicl, VidOb, Hours, \"Year\", Kod_Personal, TypeOb) "
                        "VALUES (?,?,?,?,?,?)");
    people.reserve(kPeople);
    for (int i = 0; i < kPeople; ++i) {
        Person p;
        if (i > 100 && i % 40 == 0) {
            p = people[size_t(rng(0, i - 1))]; // namesakes: the same three names again
        } else {
            const bool female = rng(0, 1) == 1;
            p.name1 = QString::fromUtf8(kSurnames[rng(0, countOf(kSurnames) - 1)]) +
                      (female ? QStringLiteral("А") : QString());
            p.name2 = QString::fromUtf8(female ? kFemaleNames[rng(0, countOf(kFemaleNames) - 1)]
                                               : kMaleNames[rng(0, countOf(kMaleNames) - 1)]);
            p.name3 = QString::fromUtf8(kPatronymics[rng(0, countOf(kPatronymics) - 1)][female ? 1 : 0]);
        }
        people.push_back(p);
        const int npp = i + 1;
        const int kd = rng(1, countOf(kPositions)), ks = rng(1, countOf(kSpecialties));
        const int stajOb = rng(1975, 2024);
        person.bind(1, u8(p.name1));
        person.bind(2, u8(p.name2));
        person.bind(3, u8(p.name3));
        person.bind(4, dateText(QDate(rng(1950, 2000), rng(1, 12), rng(1, 28))));
        person.bind(5, kd);
        person.bind(6, std::string(kPositions[kd - 1]));
        person.bind(7, ks);
        person.bind(8, std::string(kSpecialties[ks - 1]));
        person.bind(9, stajOb);
        person.bind(10, rng(stajOb, 2025));
        person.bind(11, std::string(rng(0, 9) == 0 ? "*" : ""));
        person.run();

        email.bind(1, "person" + std::to_string(npp) + "@mail.ru");
        email.bind(2, npp);
        email.run();
        snils.bind(1, snilsText(rng));
        snils.bind(2, npp);
        snils.run();
        for (int k = 0; k < 2; ++k) {
            sertif.bind(1, dateText(QDate(rng(2015, 2025), rng(1, 12), rng(1, 28))));
            sertif.bind(2, std::string(kSpecialties[rng(0, countOf(kSpecialties) - 1)]));
            sertif.bind(3, npp);
            sertif.run();
        }
        for (int k = 0; k < 3; ++k) {
            char code[8];
            std::snprintf(code, sizeof code, "%06d", rng(1, 999999));
            trained.bind(1, std::string(code));
            trained.bind(2, std::string(rng(0, 3) == 0 ? "ПП" : "ПК"));
            trained.bind(3, rng(0, 1) ? 144 : 36);
            trained.bind(4, rng(2010, 2025));
            trained.bind(5, npp);
            trained.bind(6, std::string(rng(0, 1) ? "1" : "2"));
            trained.run();
        }
    }

    // The programme catalogue.
    RawStmt zicl(
        db, "INSERT INTO NewZicl2023 (KZicl, VidOb, TypeOb, Hours, NZicl, Contingent, RealZicl, \"Year\", "
            "SPECIALY, ADDSPECIALTY, FOBUCH) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kProgrammes; ++i) {
        const char* field = kSpecialties[rng(0, countOf(kSpecialties) - 1)];
        char code[24];
        std::snprintf(code, sizeof code, "%03d-%05d", rng(1, 999), i + 1);
        zicl.bind(1, std::string(code));
        zicl.bind(2, std::string(rng(0, 3) == 0 ? "ПП" : "ПК"));
        zicl.bind(3, std::string(rng(0, 1) ? "1" : "2"));
        zicl.bind(4, rng(0, 2) == 0 ? 144 : rng(0, 1) ? 36 : 72);
        zicl.bind(5, "АКТУАЛЬНЫЕ ВОПРОСЫ: " + std::string(field) + ", ПРОГРАММА " + std::to_string(i + 1));
        zicl.bind(6, "СПЕЦИАЛИСТЫ СО СРЕДНИМ И ВЫСШИМ ОБРАЗОВАНИЕМ ПО СПЕЦИАЛЬНОСТИ " + std::string(field));
        zicl.bind(7, double(rng(1000, 99999)));
        zicl.bind(8, 2023);
        zicl.bind(9, std::string(field));
        zicl.bind(10, std::string(rng(0, 4) == 0 ? "ОБЩАЯ ПРАКТИКА" : ""));
        zicl.bind(11, std::string(rng(0, 2) == 0 ? "ОЗ" : "О"));
        zicl.run();
    }

    // Applications over four years, and their trainees, drawn from the register.
    RawStmt app(db, "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (?, ?)");
    std::vector<std::pair<double, int>> apps;
    for (int i = 0; i < kApplications; ++i) {
        const int year = 2023 + i / (kApplications / 4);
        const double number = double(i % (kApplications / 4) + 1);
        app.bind(1, number);
        app.bind(2, year);
        app.run();
        apps.emplace_back(number, year);
    }
    RawStmt trainee(
        db, "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, KDoljn, "
            "KSpez, StajOb, StajDoljn, \"Year\", KodPersonal, PR, EMAIL, DateCl, Specialty, SNILS, FOBUCH) "
            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kTrainees; ++i) {
        const auto& [number, year] = apps[size_t(rng(0, kApplications - 1))];
        const int who = rng(0, kPeople - 1);
        const Person& p = people[size_t(who)];
        char code[24];
        std::snprintf(code, sizeof code, "%03d-%05d", rng(1, 999), rng(1, kProgrammes));
        trainee.bind(1, number);
        trainee.bind(2, u8(p.name1));
        trainee.bind(3, u8(p.name2));
        trainee.bind(4, u8(p.name3));
        trainee.bind(5, std::string(code));
        trainee.bind(6, std::string("ПК"));
        trainee.bind(7, rng(0, 1) ? 144 : 36);
        trainee.bind(8, rng(0, 3));
        trainee.bind(9, dateText(QDate(rng(1950, 2000), rng(1, 12), rng(1, 28))));
        trainee.bind(10, rng(1, countOf(kPositions)));
        trainee.bind(11, rng(1, countOf(kSpecialties)));
        trainee.bind(12, double(rng(0, 40)));
        trainee.bind(13, double(rng(0, 20)));
        trainee.bind(14, year);
        trainee.bind(15, who + 1);
        trainee.bind(16, std::string());
        trainee.bind(17, "person" + std::to_string(who + 1) + "@mail.ru");
        trainee.bind(18, dateText(QDate(rng(2015, 2025), rng(1, 12), rng(1, 28))));
        trainee.bind(19, std::string(kSpecialties[rng(0, countOf(kSpecialties) - 1)]));
        trainee.bind(20, snilsText(rng));
        trainee.bind(21, std::string("О"));
        trainee.run();
    }
    raw->exec("COMMIT");
}

// The lookups and the new rows, drawn once so that every run does the same work.
void Fixture::prepareWork() {
    Rng rng;
    sqlite3* db = raw->get();
    {
        RawStmt order(db, "SELECT rowid FROM Personal ORDER BY Name1 COLLATE RU, Name2 COLLATE RU, "
                          "Name3 COLLATE RU, rowid");
        while (order.step())
            registerOrder.push_back(order.int64(0));
    }
    for (int i = 0; i < kLookups; ++i) {
        // What a user types into the search box: the first one to five letters of a surname.
        const QString surname = people[size_t(rng(0, kPeople - 1))].name1;
        const QString prefix = surname.left(rng(1, 5));
        prefixes.push_back(prefix);
        prefixesUtf8.push_back(u8(prefix));
        const int who = rng(0, kPeople - 1);
        locateWho.push_back(who);
        locateUtf8[0].push_back(u8(people[size_t(who)].name1));
        locateUtf8[1].push_back(u8(people[size_t(who)].name2));
        locateUtf8[2].push_back(u8(people[size_t(who)].name3));
    }
    {
        RawStmt first(db, "SELECT KZajavki, \"Year\" FROM Zajavki2023 ORDER BY rowid LIMIT 1");
        first.step();
        appKZajavki = sqlite3_column_double(first.get(), 0);
        appYear = int(first.int64(1));
        RawStmt top(db, "SELECT max(rowid) FROM Sluch2023");
        top.step();
        traineesTop = top.int64(0);
    }
    for (int i = 0; i < kAppended; ++i) {
        const int who = rng(0, kPeople - 1);
        const Person& p = people[size_t(who)];
        NewTrainee t;
        t.name1 = p.name1;
        t.name2 = p.name2;
        t.name3 = p.name3;
        char code[24];
        std::snprintf(code, sizeof code, "%03d-%05d", rng(1, 999), rng(1, kProgrammes));
        t.kzicl = QString::fromLatin1(code);
        t.email = QStringLiteral("person%1@mail.ru").arg(who + 1);
        t.specialty = QString::fromUtf8(kSpecialties[rng(0, countOf(kSpecialties) - 1)]);
        t.snils = QString::fromStdString(snilsText(rng));
        t.dr = QDate(rng(1950, 2000), rng(1, 12), rng(1, 28));
        t.dateCl = QDate(rng(2015, 2025), rng(1, 12), rng(1, 28));
        t.hours = rng(0, 1) ? 144 : 36;
        t.kv = rng(0, 3);
        t.kdoljn = rng(1, countOf(kPositions));
        t.kspez = rng(1, countOf(kSpecialties));
        t.kodPersonal = who + 1;
        t.stajOb = rng(0, 40);
        t.stajDoljn = rng(0, 20);
        t.u1 = u8(t.name1);
        t.u2 = u8(t.name2);
        t.u3 = u8(t.name3);
        t.ukzicl = u8(t.kzicl);
        t.uemail = u8(t.email);
        t.uspecialty = u8(t.specialty);
        t.usnils = u8(t.snils);
        t.udr = dateText(t.dr);
        t.udateCl = dateText(t.dateCl);
        newTrainees.push_back(std::move(t));
    }
}

// Both sides must find the same rows, or the comparison means nothing.
void Fixture::check() {
    int tables = 0;
    for (Dataset* ds : dm->datasets())
        tables += qobject_cast<Table*>(ds) != nullptr;
    if (tables != int(openedTables().size()))
        std::fprintf(stderr, "engine bench: the data module has %d tables, the bench opens %d\n", tables,
                     int(openedTables().size()));

    Table* personal = dm->tblPersonal;
    openOnly({personal});
    if (personal->recordCount() != int(registerOrder.size()) ||
        personal->currentRowId() != registerOrder.front())
        std::fprintf(stderr, "engine bench: the register's order differs\n");
    RawStmt nearest(raw->get(),
                    "SELECT rowid FROM Personal WHERE Name1 >= ?1 COLLATE RU ORDER BY Name1 COLLATE RU, "
                    "Name2 COLLATE RU, Name3 COLLATE RU, rowid LIMIT 1");
    RawStmt exact(raw->get(),
                  "SELECT rowid FROM Personal WHERE Name1 = ?1 COLLATE RU AND Name2 = ?2 COLLATE RU "
                  "AND Name3 = ?3 COLLATE RU ORDER BY Name1 COLLATE RU, Name2 COLLATE RU, "
                  "Name3 COLLATE RU, rowid LIMIT 1");
    for (int i = 0; i < kLookups; i += 17) {
        personal->findNearest({prefixes[size_t(i)]});
        nearest.bind(1, prefixesUtf8[size_t(i)]);
        if (!nearest.step() || nearest.int64(0) != personal->currentRowId())
            std::fprintf(stderr, "engine bench: find nearest differs for %s\n",
                         prefixesUtf8[size_t(i)].c_str());
        nearest.reset();
        const Person& p = people[size_t(locateWho[size_t(i)])];
        const bool found = personal->locate(QStringLiteral("Name1;Name2;Name3"), {p.name1, p.name2, p.name3});
        for (int k = 0; k < 3; ++k)
            exact.bind(k + 1, locateUtf8[k][size_t(i)]);
        if (!found || !exact.step() || exact.int64(0) != personal->currentRowId())
            std::fprintf(stderr, "engine bench: locate differs for %s\n", locateUtf8[0][size_t(i)].c_str());
        exact.reset();
    }
}

// ---------------------------------------------------------------- 1. opening every table

struct OpenAll {
    std::vector<ViewSql> sql;

    void setup() {
        Fixture& f = Fixture::get();
        if (sql.empty())
            sql = viewSqls();
        f.restartEngine();
        f.rawOpen.reset();
        f.rawOpen = std::make_unique<RawDb>(f.path);
        // The store reads the schema when it opens; so does this connection.
        RawStmt schema(f.rawOpen->get(), "SELECT name FROM sqlite_master WHERE type = 'index'");
        while (schema.step()) {
        }
    }

    void ours() {
        Fixture& f = Fixture::get();
        for (const OpenedTable& entry : openedTables())
            f.table(entry.object)->open();
        g_sink = g_sink + f.dm->tblPersonal->recordCount();
    }

    void base() {
        sqlite3* db = Fixture::get().rawOpen->get();
        // The first row of each table, kept for its details' links.
        std::vector<std::vector<sqlite3_value*>> firstRows(sql.size());
        qint64 h = 0;
        for (size_t t = 0; t < sql.size(); ++t) {
            const ViewSql& v = sql[t];
            std::vector<qint64> ids;
            bool empty = false;
            RawStmt idq(db, v.ids);
            if (v.master >= 0) {
                const auto& m = firstRows[size_t(v.master)];
                empty = m.empty();
                for (size_t k = 0; !empty && k < v.masterCols.size(); ++k) {
                    sqlite3_value* value = m[size_t(v.masterCols[k])];
                    empty = sqlite3_value_type(value) == SQLITE_NULL;
                    sqlite3_bind_value(idq.get(), int(k) + 1, value);
                }
            }
            if (!empty)
                while (idq.step())
                    ids.push_back(idq.int64(0));
            if (ids.empty())
                continue;
            RawStmt row(db, v.row);
            row.bind(1, ids.front());
            if (row.step()) {
                h += readRow(row.get());
                for (int c = 0; c < sqlite3_column_count(row.get()); ++c)
                    firstRows[t].push_back(sqlite3_value_dup(sqlite3_column_value(row.get(), c)));
            }
            h += qint64(ids.size());
        }
        for (auto& r : firstRows)
            for (sqlite3_value* value : r)
                sqlite3_value_free(value);
        g_sink = g_sink + h;
    }
};

// ---------------------------------------------------------------- 2, 3. searching the register

const char* const kPersonalColumns = "NPP,Name1,Name2,Name3,DR,KDoljn,NDoljn,KSpez,NSpez,StajOb,StajDoljn,PR";

struct Search {
    std::unique_ptr<RawStmt> nearest, exact;

    // The register alone, freshly opened: nothing of it is read yet.
    void setup() {
        Fixture& f = Fixture::get();
        f.openOnly({f.dm->tblPersonal});
        if (!nearest) {
            const std::string cols = kPersonalColumns;
            const std::string order =
                " ORDER BY Name1 COLLATE RU, Name2 COLLATE RU, Name3 COLLATE RU, rowid LIMIT 1";
            nearest = std::make_unique<RawStmt>(
                f.raw->get(), "SELECT " + cols + " FROM Personal WHERE Name1 >= ?1 COLLATE RU" + order);
            exact = std::make_unique<RawStmt>(f.raw->get(),
                                              "SELECT " + cols +
                                                  " FROM Personal WHERE Name1 = ?1 COLLATE RU AND "
                                                  "Name2 = ?2 COLLATE RU AND Name3 = ?3 COLLATE RU" +
                                                  order);
        }
    }

    void oursNearest() {
        Fixture& f = Fixture::get();
        qint64 h = 0;
        for (const QString& prefix : f.prefixes) {
            f.dm->tblPersonal->findNearest({prefix});
            h += f.dm->tblPersonal->currentRowId();
        }
        g_sink = g_sink + h;
    }

    void baseNearest() {
        Fixture& f = Fixture::get();
        qint64 h = 0;
        for (const std::string& prefix : f.prefixesUtf8) {
            nearest->bind(1, prefix);
            if (nearest->step())
                h += readRow(nearest->get());
            nearest->reset();
        }
        g_sink = g_sink + h;
    }

    void oursLocate() {
        Fixture& f = Fixture::get();
        const QString fields = QStringLiteral("Name1;Name2;Name3");
        qint64 h = 0;
        for (int who : f.locateWho) {
            const Person& p = f.people[size_t(who)];
            h += f.dm->tblPersonal->locate(fields, {p.name1, p.name2, p.name3});
        }
        g_sink = g_sink + h;
    }

    void baseLocate() {
        Fixture& f = Fixture::get();
        qint64 h = 0;
        for (size_t i = 0; i < f.locateWho.size(); ++i) {
            for (int k = 0; k < 3; ++k)
                exact->bind(k + 1, f.locateUtf8[k][i]);
            if (exact->step())
                h += readRow(exact->get());
            exact->reset();
        }
        g_sink = g_sink + h;
    }
};

// ---------------------------------------------------------------- 4. stepping through the register

struct Stepping {
    // Per detail: its ordered ids for one person, and one of its rows.
    struct Detail {
        RawStmt ids, row;
    };
    std::unique_ptr<RawStmt> person;
    std::vector<Detail> details;

    void openRegister() {
        Fixture& f = Fixture::get();
        f.openOnly(
            {f.dm->tblPersonal, f.dm->tblTrained, f.dm->tblSertif, f.dm->tblPerEmail, f.dm->tblPerSnils});
    }

    void setup() {
        Fixture& f = Fixture::get();
        openRegister();
        if (!person) {
            sqlite3* db = f.raw->get();
            person = std::make_unique<RawStmt>(db, std::string("SELECT ") + kPersonalColumns +
                                                       " FROM Personal WHERE rowid = ?");
            const char* tables[][3] = {
                {"Trained", "Kod_Personal", "NPP,KZicl,VidOb,Hours,\"Year\",Kod_Personal,TypeOb"},
                {"Sertif", "PersonalKOD", "NPP,DateCL,Name,PersonalKOD"},
                {"PEREMAIL", "PersonalKOD", "NPP,EMAIL,PersonalKOD"},
                {"PERSNILS", "PersonalKOD", "NPP,SNILS,PersonalKOD"}};
            for (const auto& t : tables) {
                const std::string table = t[0], link = t[1], cols = t[2];
                details.push_back({RawStmt(db, "SELECT rowid FROM " + table + " WHERE " + link +
                                                   " = ? ORDER BY " + link + ", rowid"),
                                   RawStmt(db, "SELECT " + cols + " FROM " + table + " WHERE rowid = ?")});
            }
        }
    }

    void ours() {
        Table* personal = Fixture::get().dm->tblPersonal;
        personal->first();
        while (!personal->eof())
            personal->next();
        g_sink = g_sink + personal->currentRowId();
    }

    void base() {
        qint64 h = 0;
        std::vector<qint64> ids;
        for (qint64 npp : Fixture::get().registerOrder) {
            person->bind(1, npp);
            if (person->step())
                h += readRow(person->get());
            person->reset();
            for (Detail& d : details) {
                ids.clear();
                d.ids.bind(1, npp);
                while (d.ids.step())
                    ids.push_back(d.ids.int64(0));
                d.ids.reset();
                if (ids.empty())
                    continue;
                d.row.bind(1, ids.front());
                if (d.row.step())
                    h += readRow(d.row.get());
                d.row.reset();
            }
        }
        g_sink = g_sink + h;
    }

    // One step of the register with its details, from wherever the last step left it.
    void stepSetup() {
        Table* personal = Fixture::get().dm->tblPersonal;
        if (!personal->isActive() || !Fixture::get().dm->tblPerSnils->isActive())
            openRegister();
        if (personal->recNo() >= personal->recordCount() - 1)
            personal->first();
    }
    void oneStep() { Fixture::get().dm->tblPersonal->next(); }
};

// ---------------------------------------------------------------- 5. appending trainees

struct Append {
    std::unique_ptr<RawStmt> insert;

    // The store as generated, the applications open with the first one's trainees showing.
    void setup() {
        Fixture& f = Fixture::get();
        f.openOnly({});
        f.dropAppended();
        f.openOnly({f.dm->tblZajavki2023, f.dm->tblSluch2023});
        if (!insert)
            insert = std::make_unique<RawStmt>(
                f.raw->get(),
                "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, "
                "KDoljn, KSpez, StajOb, StajDoljn, \"Year\", KodPersonal, PR, EMAIL, DateCl, Specialty, "
                "SNILS, FOBUCH) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    }

    void ours() {
        Fixture& f = Fixture::get();
        Table& t = *f.dm->tblSluch2023;
        Field &name1 = t.field(QStringLiteral("Name1")), &name2 = t.field(QStringLiteral("Name2")),
              &name3 = t.field(QStringLiteral("Name3")), &kzicl = t.field(QStringLiteral("KZicl")),
              &vidOb = t.field(QStringLiteral("VidOb")), &hours = t.field(QStringLiteral("Hours")),
              &kv = t.field(QStringLiteral("KV")), &dr = t.field(QStringLiteral("DR")),
              &kdoljn = t.field(QStringLiteral("KDoljn")), &kspez = t.field(QStringLiteral("KSpez")),
              &stajOb = t.field(QStringLiteral("StajOb")), &stajDoljn = t.field(QStringLiteral("StajDoljn")),
              &kod = t.field(QStringLiteral("KodPersonal")), &email = t.field(QStringLiteral("EMAIL")),
              &dateCl = t.field(QStringLiteral("DateCl")), &specialty = t.field(QStringLiteral("Specialty")),
              &snils = t.field(QStringLiteral("SNILS")), &fobuch = t.field(QStringLiteral("FOBUCH"));
        const QString pk = QStringLiteral("ПК"), o = QStringLiteral("О");
        Store::Transaction tx(*f.store);
        for (const NewTrainee& r : f.newTrainees) {
            t.append();
            name1.setAsString(r.name1);
            name2.setAsString(r.name2);
            name3.setAsString(r.name3);
            kzicl.setAsString(r.kzicl);
            vidOb.setAsString(pk);
            hours.setAsInteger(r.hours);
            kv.setAsInteger(r.kv);
            dr.setAsDate(r.dr);
            kdoljn.setAsInteger(r.kdoljn);
            kspez.setAsInteger(r.kspez);
            stajOb.setAsFloat(r.stajOb);
            stajDoljn.setAsFloat(r.stajDoljn);
            kod.setAsInteger(r.kodPersonal);
            email.setAsString(r.email);
            dateCl.setAsDate(r.dateCl);
            specialty.setAsString(r.specialty);
            snils.setAsString(r.snils);
            fobuch.setAsString(o);
            t.post();
        }
        tx.commit();
        g_sink = g_sink + t.recordCount();
    }

    void base() {
        Fixture& f = Fixture::get();
        RawStmt& s = *insert;
        const std::string pk = "ПК", o = "О", none;
        f.raw->exec("BEGIN IMMEDIATE");
        for (const NewTrainee& r : f.newTrainees) {
            s.bind(1, f.appKZajavki);
            s.bind(2, r.u1);
            s.bind(3, r.u2);
            s.bind(4, r.u3);
            s.bind(5, r.ukzicl);
            s.bind(6, pk);
            s.bind(7, r.hours);
            s.bind(8, r.kv);
            s.bind(9, r.udr);
            s.bind(10, r.kdoljn);
            s.bind(11, r.kspez);
            s.bind(12, r.stajOb);
            s.bind(13, r.stajDoljn);
            s.bind(14, f.appYear);
            s.bind(15, r.kodPersonal);
            s.bind(16, none);
            s.bind(17, r.uemail);
            s.bind(18, r.udateCl);
            s.bind(19, r.uspecialty);
            s.bind(20, r.usnils);
            s.bind(21, o);
            s.run();
        }
        f.raw->exec("COMMIT");
        g_sink = g_sink + sqlite3_last_insert_rowid(f.raw->get());
    }
};

OpenAll g_open;
Search g_search;
Stepping g_stepping;
Append g_append;

// ---------------------------------------------------------------- the same on the server

// The base on the server: the same statements through libpq by hand, on a connection of its own.
class PgRaw {
public:
    explicit PgRaw(const std::string& connInfo) : c_(PQconnectdb(connInfo.c_str())) {
        if (PQstatus(c_) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(c_));
    }
    ~PgRaw() { PQfinish(c_); }
    PgRaw(const PgRaw&) = delete;
    PgRaw& operator=(const PgRaw&) = delete;

    void prepare(const char* name, const std::string& sql) {
        check(PQprepare(c_, name, pgDialect(QString::fromStdString(sql), nullptr).constData(), 0, nullptr));
    }
    // Runs a prepared statement; gives a sum over what came back, so that nothing is skipped.
    qint64 run(const char* name, const std::vector<const char*>& params) {
        PGresult* r = check(PQexecPrepared(c_, name, int(params.size()), params.data(), nullptr, nullptr, 0));
        qint64 h = PQntuples(r);
        for (int row = 0; row < PQntuples(r); ++row)
            for (int c = 0; c < PQnfields(r); ++c)
                h += PQgetlength(r, row, c);
        PQclear(r);
        return h;
    }
    void exec(const char* sql) { PQclear(check(PQexec(c_, sql))); }
    // Runs a statement once, unprepared; the result is the caller's to clear.
    PGresult* once(const std::string& sql, const std::vector<const char*>& params) {
        return check(PQexecParams(c_, pgDialect(QString::fromStdString(sql), nullptr).constData(),
                                  int(params.size()), nullptr, params.data(), nullptr, nullptr, 0));
    }
    PGresult* prepared(const char* name, const std::vector<const char*>& params) {
        return check(PQexecPrepared(c_, name, int(params.size()), params.data(), nullptr, nullptr, 0));
    }

private:
    PGresult* check(PGresult* r) {
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error(PQerrorMessage(c_));
        return r;
    }
    PGconn* c_;
};

struct OnServer {
    std::unique_ptr<PgRaw> raw;
    bool stepping = false;

    void setup() {
        Fixture& f = Fixture::get();
        f.switchTo(Fixture::On::Server);
        if (raw)
            return;
        raw = std::make_unique<PgRaw>(f.serverConnInfo);
        const std::string cols = kPersonalColumns;
        const std::string order =
            " ORDER BY Name1 COLLATE RU, Name2 COLLATE RU, Name3 COLLATE RU, rowid LIMIT 1";
        raw->prepare("nearest", "SELECT " + cols + " FROM Personal WHERE Name1 >= ? COLLATE RU" + order);
        raw->prepare("exact", "SELECT " + cols +
                                  " FROM Personal WHERE Name1 = ? COLLATE RU AND Name2 = ? COLLATE RU AND "
                                  "Name3 = ? COLLATE RU" +
                                  order);
        raw->prepare("append",
                     "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, "
                     "KDoljn, KSpez, StajOb, StajDoljn, \"Year\", KodPersonal, PR, EMAIL, DateCl, "
                     "Specialty, SNILS, FOBUCH) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    }
    void searchSetup() {
        setup();
        g_search.setup();
    }
    void appendSetup() {
        setup();
        g_append.setup();
    }

    void baseNearest() {
        qint64 h = 0;
        for (const std::string& prefix : Fixture::get().prefixesUtf8)
            h += raw->run("nearest", {prefix.c_str()});
        g_sink = g_sink + h;
    }
    void baseLocate() {
        Fixture& f = Fixture::get();
        qint64 h = 0;
        for (size_t i = 0; i < f.locateWho.size(); ++i)
            h += raw->run("exact", {f.locateUtf8[0][i].c_str(), f.locateUtf8[1][i].c_str(),
                                    f.locateUtf8[2][i].c_str()});
        g_sink = g_sink + h;
    }
    void openSetup() {
        setup();
        if (g_open.sql.empty())
            g_open.sql = viewSqls();
        Fixture::get().restartEngine();
    }
    // Every table's view and first row, each detail following its master's first row, as the
    // engine opens them.
    void baseOpenAll() {
        const std::vector<ViewSql>& sql = g_open.sql;
        std::vector<std::vector<std::optional<std::string>>> firstRows(sql.size());
        qint64 h = 0;
        for (size_t t = 0; t < sql.size(); ++t) {
            const ViewSql& v = sql[t];
            std::vector<const char*> link;
            bool empty = false;
            if (v.master >= 0) {
                const auto& m = firstRows[size_t(v.master)];
                empty = m.empty();
                for (size_t k = 0; !empty && k < v.masterCols.size(); ++k) {
                    const auto& value = m[size_t(v.masterCols[k])];
                    empty = !value;
                    link.push_back(empty ? nullptr : value->c_str());
                }
            }
            if (empty)
                continue;
            PGresult* ids = raw->once(v.ids, link);
            const int count = PQntuples(ids);
            const std::string first = count > 0 ? PQgetvalue(ids, 0, 0) : "";
            PQclear(ids);
            if (count == 0)
                continue;
            PGresult* row = raw->once(v.row, {first.c_str()});
            for (int c = 0; PQntuples(row) > 0 && c < PQnfields(row); ++c) {
                h += PQgetlength(row, 0, c);
                firstRows[t].push_back(PQgetisnull(row, 0, c)
                                           ? std::nullopt
                                           : std::optional<std::string>(PQgetvalue(row, 0, c)));
            }
            PQclear(row);
            h += count;
        }
        g_sink = g_sink + h;
    }

    void stepSetup() {
        setup();
        g_stepping.setup();
        if (stepping)
            return;
        stepping = true;
        raw->prepare("person", std::string("SELECT ") + kPersonalColumns + " FROM Personal WHERE rowid = ?");
        const char* tables[][3] = {
            {"Trained", "Kod_Personal", "NPP,KZicl,VidOb,Hours,\"Year\",Kod_Personal,TypeOb"},
            {"Sertif", "PersonalKOD", "NPP,DateCL,Name,PersonalKOD"},
            {"PEREMAIL", "PersonalKOD", "NPP,EMAIL,PersonalKOD"},
            {"PERSNILS", "PersonalKOD", "NPP,SNILS,PersonalKOD"}};
        for (size_t i = 0; i < std::size(tables); ++i) {
            const std::string table = tables[i][0], link = tables[i][1], cols = tables[i][2];
            raw->prepare(("ids" + std::to_string(i)).c_str(), "SELECT rowid FROM " + table + " WHERE " +
                                                                  link + " = ? ORDER BY " + link + ", rowid");
            raw->prepare(("row" + std::to_string(i)).c_str(),
                         "SELECT " + cols + " FROM " + table + " WHERE rowid = ?");
        }
    }
    // The whole register in its order, each person with the first row of each detail.
    void baseStep() {
        qint64 h = 0;
        for (qint64 npp : Fixture::get().registerOrder) {
            const std::string id = std::to_string(npp);
            h += raw->run("person", {id.c_str()});
            for (int i = 0; i < 4; ++i) {
                PGresult* ids = raw->prepared(("ids" + std::to_string(i)).c_str(), {id.c_str()});
                const std::string first = PQntuples(ids) > 0 ? PQgetvalue(ids, 0, 0) : "";
                PQclear(ids);
                if (!first.empty())
                    h += raw->run(("row" + std::to_string(i)).c_str(), {first.c_str()});
            }
        }
        g_sink = g_sink + h;
    }

    void baseAppend() {
        Fixture& f = Fixture::get();
        const std::string kzajavki = std::to_string(f.appKZajavki), year = std::to_string(f.appYear);
        const std::string pk = "ПК", o = "О";
        raw->exec("BEGIN");
        for (const NewTrainee& r : f.newTrainees) {
            const std::string hours = std::to_string(r.hours), kv = std::to_string(r.kv),
                              kdoljn = std::to_string(r.kdoljn), kspez = std::to_string(r.kspez),
                              stajOb = std::to_string(r.stajOb), stajDoljn = std::to_string(r.stajDoljn),
                              kod = std::to_string(r.kodPersonal);
            raw->run("append", {kzajavki.c_str(),  r.u1.c_str(),      r.u2.c_str(),         r.u3.c_str(),
                                r.ukzicl.c_str(),  pk.c_str(),        hours.c_str(),        kv.c_str(),
                                r.udr.c_str(),     kdoljn.c_str(),    kspez.c_str(),        stajOb.c_str(),
                                stajDoljn.c_str(), year.c_str(),      kod.c_str(),          nullptr,
                                r.uemail.c_str(),  r.udateCl.c_str(), r.uspecialty.c_str(), r.usnils.c_str(),
                                o.c_str()});
        }
        raw->exec("COMMIT");
    }
};

// The targets of a clerk's work on the server over an office's network (1 ms round trips).
struct OverNetwork {
    size_t next = 0;

    void openSetup() {
        Fixture::get().switchTo(Fixture::On::ServerOverNetwork);
        Fixture::get().restartEngine();
    }
    void stepSetup() {
        Fixture::get().switchTo(Fixture::On::ServerOverNetwork);
        g_stepping.stepSetup();
    }
    void searchSetup() {
        Fixture::get().switchTo(Fixture::On::ServerOverNetwork);
        Fixture& f = Fixture::get();
        if (!f.dm->tblPersonal->isActive())
            f.openOnly(
                {f.dm->tblPersonal, f.dm->tblTrained, f.dm->tblSertif, f.dm->tblPerEmail, f.dm->tblPerSnils});
    }
    // One keystroke in the register's search box: the nearest name to what is typed, the register's
    // details following.
    void keystroke() {
        Fixture& f = Fixture::get();
        f.dm->tblPersonal->findNearest({f.prefixes[next++ % f.prefixes.size()]});
    }
};

OnServer g_server;
OverNetwork g_network;

// The file comparisons run on the file, whatever ran before them.
void onFile() {
    Fixture::get().switchTo(Fixture::On::File);
}

const bench::Registrar openAll({"engine open all", [] { g_open.ours(); }, [] { g_open.base(); }, 11,
                                [] {
                                    onFile();
                                    g_open.setup();
                                }});
const bench::Registrar findNearest({"engine find nearest", [] { g_search.oursNearest(); },
                                    [] { g_search.baseNearest(); }, 15,
                                    [] {
                                        onFile();
                                        g_search.setup();
                                    }});
const bench::Registrar locate({"engine locate", [] { g_search.oursLocate(); }, [] { g_search.baseLocate(); },
                               15,
                               [] {
                                   onFile();
                                   g_search.setup();
                               }});
const bench::Registrar stepRegister({"engine step register", [] { g_stepping.ours(); },
                                     [] { g_stepping.base(); }, 5,
                                     [] {
                                         onFile();
                                         g_stepping.setup();
                                     }});
// One step (a person and four details following) on its own, the median of many.
const bench::Registrar registerStep({"engine register step",
                                     [] { g_stepping.oneStep(); },
                                     {},
                                     1001,
                                     [] {
                                         onFile();
                                         g_stepping.stepSetup();
                                     }});
const bench::Registrar append1000({"engine append 1000", [] { g_append.ours(); }, [] { g_append.base(); }, 11,
                                   [] {
                                       onFile();
                                       g_append.setup();
                                   }});

// The engine on the server against libpq by hand, straight to the server's socket.
const bench::Registrar serverNearest({"server engine find nearest", [] { g_search.oursNearest(); },
                                      [] { g_server.baseNearest(); }, 15, [] { g_server.searchSetup(); }});
const bench::Registrar serverLocate({"server engine locate", [] { g_search.oursLocate(); },
                                     [] { g_server.baseLocate(); }, 15, [] { g_server.searchSetup(); }});
const bench::Registrar serverOpenAll({"server engine open all", [] { g_open.ours(); },
                                      [] { g_server.baseOpenAll(); }, 11, [] { g_server.openSetup(); }});
const bench::Registrar serverStep({"server engine step register", [] { g_stepping.ours(); },
                                   [] { g_server.baseStep(); }, 3, [] { g_server.stepSetup(); }});
const bench::Registrar serverAppend({"server engine append 1000", [] { g_append.ours(); },
                                     [] { g_server.baseAppend(); }, 7, [] { g_server.appendSetup(); }});
// The engine on the server over an office's network.
const bench::Registrar networkOpen({"server over 1 ms network: engine open all",
                                    [] { g_open.ours(); },
                                    {},
                                    7,
                                    [] { g_network.openSetup(); }});
const bench::Registrar networkStep({"server over 1 ms network: engine register step",
                                    [] { g_stepping.oneStep(); },
                                    {},
                                    201,
                                    [] { g_network.stepSetup(); }});
const bench::Registrar networkKeystroke({"server over 1 ms network: engine search keystroke",
                                         [] { g_network.keystroke(); },
                                         {},
                                         201,
                                         [] { g_network.searchSetup(); }});

} // namespace
