#include "data/SqliteStore.h"
#include "core/SafeFile.h"
#include "core/SystemText.h"

#include "data/Backups.h"
#include "data/ChangeLog.h"
#include "data/Dataset.h"
#include "data/DbError.h"
#include "data/FieldCaptions.h"
#include "data/RuCollation.h"
#include "data/SchemaUpgrade.h"
#include "data/SqliteStatement.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#if defined(Q_OS_UNIX)
#include <pwd.h>
#include <unistd.h>
#endif
#include <sqlite3.h>

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString lastError(sqlite3* db) {
    return db ? sqliteResultText(sqlite3_extended_errcode(db)) : QStringLiteral("не хватило памяти");
}

// A connection that only reads the file; closed when it goes out of scope.
class ReadOnlyConnection {
public:
    explicit ReadOnlyConnection(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            error_ = lastError(db_);
        else
            ru_collation::install(db_); // the indexes of text fields are in the store's collation
    }
    ~ReadOnlyConnection() { sqlite3_close_v2(db_); }
    sqlite3* get() const { return error_.isEmpty() ? db_ : nullptr; }
    const QString& error() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    QString error_;
};

// What SQLite's quick or full check finds in the database of `db`; empty when it is sound. Throws
// DbError when the file cannot even be read as a database.
QString quickCheckOf(sqlite3* db, const char* pragma = "quick_check") {
    SqliteStatement st(db, QStringLiteral("PRAGMA ") + QLatin1String(pragma));
    QStringList problems;
    while (st.step() && problems.size() < 5) {
        const QString line = st.rawValue(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems.join(QStringLiteral("; "));
}

// Makes a copy a single file: its header, copied from a store in write-ahead-log mode, says so,
// and would make whoever opens the copy look for a log beside it. Bytes 18 and 19 of the header
// are the file format's write and read versions: 1 for a rollback journal, 2 for a log. Placing
// the copy (moveIntoPlace) syncs it to the disk.
QString sealCopy(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return fileErrorText(file);
    if (!file.seek(18) || file.write("\x01\x01", 2) != 2 || !file.flush())
        return fileErrorText(file);
    return {};
}

// Copies the whole database of `source` into the new file `target` with SQLite's online backup.
// The copy is written under a temporary name, without a journal of its own (a failed copy is
// simply removed), synced to the disk once, and takes its own name only when complete. Throws
// DbError; nothing is left then.
void backupInto(sqlite3* source, const QString& target) {
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    QString problem;
    sqlite3* copy = nullptr;
    if (sqlite3_open_v2(temp.toUtf8().constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK ||
        sqlite3_exec(copy, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        problem = lastError(copy);
    } else if (sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main")) {
        const int step = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        if (step != SQLITE_DONE)
            problem = sqliteResultText(step);
    } else {
        problem = lastError(copy);
    }
    if (sqlite3_close(copy) != SQLITE_OK && problem.isEmpty())
        problem = QStringLiteral("файл не закрылся");
    if (problem.isEmpty())
        problem = sealCopy(temp);
    if (problem.isEmpty())
        problem = moveIntoPlace(temp, target, IfTaken::Keep);
    if (!problem.isEmpty()) {
        QFile::remove(temp);
        throw DbError(
            QStringLiteral("Не удалось записать копию базы данных %1: %2").arg(shown(target), problem));
    }
}

// What is wrong with the program's table `t` in the database of `db`.
struct TableCheck {
    bool missing = false;
    QStringList problems; // "в ней нет поля «Фамилия»"
};

TableCheck checkTable(sqlite3* db, const TableLayout& t) {
    TableCheck check;
    SqliteStatement st(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(t.sqlName)));
    int column = 0;
    auto caption = [&t](const FieldDef& f) { return captions::field(t.sqlName, f.name); };
    while (st.step()) {
        const QString name = st.rawValue(1).toString();
        const QString type = st.rawValue(2).toString();
        if (column >= t.fields.size()) {
            check.problems << QStringLiteral("в ней лишнее поле №%1 «%2»").arg(column + 1).arg(name);
        } else {
            const FieldDef& f = t.fields[column];
            bool typeOk = type.compare(sqlType(f), Qt::CaseInsensitive) == 0;
            if (f.type == FieldType::AutoInc)
                typeOk = typeOk && st.int64(5) == 1;
            if (name != f.name)
                check.problems << QStringLiteral("на месте поля «%1» другое поле").arg(caption(f));
            else if (!typeOk)
                check.problems << QStringLiteral("поле «%1» хранит значения другого вида").arg(caption(f));
        }
        ++column;
    }
    check.missing = column == 0;
    if (column > 0 && column < t.fields.size())
        check.problems << QStringLiteral("в ней нет поля «%1»").arg(caption(t.fields[column]));
    return check;
}

QString normalizedSql(QString sql) {
    return sql.simplified().remove(u'"');
}

QString createTableSql(const TableLayout& t) {
    QStringList cols;
    for (const FieldDef& f : t.fields) {
        if (f.type == FieldType::AutoInc)
            cols << quoted(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        else
            cols << quoted(f.name) + u' ' + sqlType(f);
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(t.sqlName), cols.join(QStringLiteral(", ")));
}

QString createIndexSql(const TableLayout& t, const IndexDef& idx) {
    QStringList cols;
    for (const QString& name : idx.fields) {
        const FieldDef& f = t.fields[t.fieldIndex(name)];
        cols << quoted(name) + (f.isText() ? QStringLiteral(" COLLATE RU") : QString());
    }
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(quoted(SqliteStore::sqlIndexName(t.sqlName, idx.name)), quoted(t.sqlName),
             cols.join(QStringLiteral(", ")));
}

} // namespace

namespace {

// Why the database of `db` is not wholly the program's: made by another program or a newer
// version, a table of the program laid out otherwise, or anything of its own (a table, a view, a
// trigger, an index the program does not make), which the program would run unawares. An index of
// the program that is missing is no fault: the program works without it. Empty when it is the
// program's.
QString foreignSchema(sqlite3* db) {
    {
        SqliteStatement id(db, QStringLiteral("PRAGMA application_id"));
        id.step();
        const qint64 application = id.int64(0);
        SqliteStatement version(db, QStringLiteral("PRAGMA user_version"));
        version.step();
        if (application != 0 && application != SqliteStore::kApplicationId)
            return QStringLiteral("копия сделана другой программой");
        if (version.int64(0) > SqliteStore::kSchemaVersion)
            return QStringLiteral("копия сделана более новой версией программы (версия её базы данных %1, а "
                                  "эта версия программы работает с базами данных до версии %2); восстановите "
                                  "её в той версии")
                .arg(version.int64(0))
                .arg(SqliteStore::kSchemaVersion);
    }
    QStringList problems;
    QHash<QString, QString> programIndexes; // name → normalized SQL
    // The change log: its table, index and triggers as the program makes them. A copy of a version
    // before the log has none of them (it gets them when opened); one with the log has them all.
    QHash<QString, QString> logTables, programTriggers;
    for (const QString& sql : change_log::sqliteSchema()) {
        static const QRegularExpression named(
            QStringLiteral("^CREATE (TABLE|INDEX|TRIGGER) \"?([A-Za-z0-9_]+)"));
        const QRegularExpressionMatch m = named.match(sql);
        const QString kind = m.captured(1);
        (kind == QLatin1String("TABLE")   ? logTables
         : kind == QLatin1String("INDEX") ? programIndexes
                                          : programTriggers)
            .insert(m.captured(2), normalizedSql(sql));
    }
    QSet<QString> programTables, triggersFound;
    bool hasLog = false;
    for (const TableLayout& t : layouts::all()) {
        programTables.insert(t.sqlName);
        for (const IndexDef& idx : t.indexes)
            programIndexes.insert(SqliteStore::sqlIndexName(t.sqlName, idx.name),
                                  normalizedSql(createIndexSql(t, idx)));
        const TableCheck check = checkTable(db, t);
        const QString table = captions::table(t.sqlName);
        if (check.missing)
            problems << QStringLiteral("в копии нет таблицы «%1»").arg(table);
        else if (!check.problems.isEmpty())
            problems << QStringLiteral("таблица «%1» в копии устроена иначе: %2")
                            .arg(table, check.problems.join(QStringLiteral(", ")));
    }
    SqliteStatement st(db, QStringLiteral("SELECT type, name, sql FROM sqlite_master"));
    while (st.step()) {
        const QString type = st.rawValue(0).toString();
        const QString name = st.rawValue(1).toString();
        const QString sql = st.rawValue(2).toString();
        if (type == QLatin1String("table")) {
            if (logTables.contains(name)) {
                hasLog = true;
                if (logTables.value(name) != normalizedSql(sql))
                    problems << QStringLiteral("журнал изменений в копии устроен иначе");
            } else if (!programTables.contains(name) && name != QLatin1String("sqlite_sequence") &&
                       !name.startsWith(QLatin1String("sqlite_stat"))) {
                problems << QStringLiteral("в копии есть чужая таблица «%1»").arg(name);
            }
        } else if (type == QLatin1String("index")) {
            // SQLite's own indexes (of a primary key or a unique column) carry no SQL.
            if (!sql.isEmpty() && programIndexes.value(name) != normalizedSql(sql))
                problems << QStringLiteral("в копии есть чужой индекс «%1»").arg(name);
        } else if (type == QLatin1String("trigger")) {
            if (programTriggers.value(name) != normalizedSql(sql))
                problems << QStringLiteral("копия содержит чужие команды (триггер «%1»)").arg(name);
            else
                triggersFound.insert(name);
        } else {
            problems << QStringLiteral("в копии есть чужое представление «%1»").arg(name);
        }
    }
    // Without its triggers the log would miss every change made after the copy is put back.
    if (hasLog && triggersFound.size() != programTriggers.size())
        problems << QStringLiteral("в копии не хватает команд журнала изменений");
    return problems.join(QStringLiteral("; "));
}

// The name the file store's change log gives the clerk: the user logged in to the system.
QByteArray systemUser() {
    QByteArray name = qgetenv("USER");
#if defined(Q_OS_UNIX)
    if (name.isEmpty())
        if (const passwd* pw = getpwuid(getuid()))
            name = pw->pw_name;
#endif
    if (name.isEmpty())
        name = qgetenv("USERNAME");
    return name.isEmpty() ? QByteArrayLiteral("?") : name;
}

} // namespace

// What the change log's triggers ask the connection for: the clerk's name, or null while the
// log is paused.
struct SqliteStore::Clerk {
    QByteArray name = systemUser();
    bool paused = false;

    static void install(sqlite3* db, Clerk* clerk) {
        sqlite3_create_function_v2(
            db, "zajavki_clerk", 0, SQLITE_UTF8, clerk,
            [](sqlite3_context* ctx, int, sqlite3_value**) {
                auto* c = static_cast<Clerk*>(sqlite3_user_data(ctx));
                if (c->paused)
                    sqlite3_result_null(ctx);
                else
                    sqlite3_result_text(ctx, c->name.constData(), int(c->name.size()), SQLITE_TRANSIENT);
            },
            nullptr, nullptr, nullptr);
    }
};

SqliteStore::SqliteStore(sqlite3* db, QString path)
    : db_(db), path_(std::move(path)), clerk_(std::make_unique<Clerk>()) {}

void SqliteStore::prepareConnection(sqlite3* db) {
    static Clerk systemUser;
    ru_collation::install(db);
    Clerk::install(db, &systemUser);
}

void SqliteStore::pauseChangeLog(bool paused) {
    clerk_->paused = paused;
}

RowId SqliteStore::insertRow(Statement& insert) {
    // An insert that returns its row's identity is read as on the server; any other leaves it with
    // the connection.
    if (insert.step()) {
        const RowId id = insert.int64(0);
        while (insert.step()) {
        }
        return id;
    }
    return sqlite3_last_insert_rowid(db_);
}

std::unique_ptr<Statement> SqliteStore::prepare(const QString& sql) {
    return std::make_unique<SqliteStatement>(db_, sql);
}

QString SqliteStore::displayPath() const {
    return QDir::toNativeSeparators(path_);
}

void SqliteStore::failToOpen(sqlite3* db, int resultCode, const QString& path) {
    const QString text =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    sqlite3_close_v2(db);
    throw DbError(sqliteFailureMessage(resultCode, QDir::toNativeSeparators(path), text), resultCode);
}

SqliteStore::~SqliteStore() {
    clearCache();
    sqlite3_close_v2(db_);
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString& path, Access access) {
    if (!QFileInfo::exists(path))
        create(path).reset();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        failToOpen(db, rc, path);
    // SQLite opens a write-protected file for reading alone; the program must be able to save.
    if (sqlite3_db_readonly(db, "main") == 1)
        failToOpen(db, SQLITE_READONLY, path);
    std::unique_ptr<SqliteStore> store(new SqliteStore(db, path));
    store->configure(access);
    store->refuseForeignOrNewer();
    // A file without the program's tables (an empty one) is no store of an earlier version: the
    // layout check says what it lacks.
    if (store->hasTable(QStringLiteral("Personal"))) {
        Backups copies(upgradeCopyFolder(path), store.get(), [] { return QDateTime::currentDateTime(); });
        schema_upgrade::bringUpToDate(*store, copies);
    }
    store->checkLayouts();
    return store;
}

QString SqliteStore::upgradeCopyFolder(const QString& path) {
    const QDir folder = QFileInfo(path).absoluteDir();
    return folder.dirName() == QLatin1String("Base")
               ? QDir::cleanPath(folder.filePath(QStringLiteral("../Backup")))
               : folder.filePath(QStringLiteral("Backup"));
}

std::unique_ptr<SqliteStore> SqliteStore::openToRead(const QString& path) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        failToOpen(db, rc, path);
    std::unique_ptr<SqliteStore> store(new SqliteStore(db, path));
    ru_collation::install(db);
    Clerk::install(db, store->clerk_.get());
    store->refuseForeignOrNewer();
    store->checkLayouts();
    return store;
}

std::unique_ptr<SqliteStore> SqliteStore::create(const QString& path) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("База данных %1 уже существует").arg(QDir::toNativeSeparators(path)));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Build under a temporary name, so that a failure leaves no half-made database behind.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(temp.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        failToOpen(db, rc, path);
    const auto removeAll = &SqliteStore::removeFile;
    {
        // Everything the file needs is written into it here, the log mode included, so that the
        // file that takes the database's name is complete and nothing of it stays in a journal.
        std::unique_ptr<SqliteStore> building(new SqliteStore(db, temp));
        try {
            ru_collation::install(db);
            building->createAll();
            building->exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        } catch (...) {
            building.reset();
            removeAll(temp);
            throw;
        }
    }
    if (QFileInfo::exists(temp + QStringLiteral("-wal")) ||
        !moveIntoPlace(temp, path, IfTaken::Keep).isEmpty()) {
        removeAll(temp);
        throw DbError(
            QStringLiteral("Не удалось создать базу данных %1. Проверьте, что у вас есть право записи "
                           "в папку %2 и на диске есть место.")
                .arg(QDir::toNativeSeparators(path),
                     QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    }
    try {
        return open(path);
    } catch (...) {
        // The database was made here a moment ago and holds nothing yet: a store that cannot be
        // opened is not left behind to be taken for a made one.
        removeAll(path);
        throw;
    }
}

void SqliteStore::configure(Access access) {
    access_ = access;
    ru_collation::install(db_);
    Clerk::install(db_, clerk_.get());
    sqlite3_busy_timeout(db_, 2000);
    if (access == Access::Exclusive)
        exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
}

void SqliteStore::createAll() {
    begin();
    try {
        for (const TableLayout& t : layouts::all()) {
            exec(createTableSql(t));
            for (const IndexDef& idx : t.indexes)
                exec(createIndexSql(t, idx));
        }
        for (const QString& sql : change_log::sqliteSchema())
            exec(sql);
        exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
        exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
}

void SqliteStore::checkLayouts() {
    layoutErrors_.clear();
    indexes_.clear();
    {
        SqliteStatement st(db_, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'"));
        while (st.step())
            indexes_.insert(st.rawValue(0).toString());
    }
    for (const TableLayout& t : layouts::all()) {
        const TableCheck check = checkTable(db_, t);
        const QString table = captions::table(t.sqlName);
        if (check.missing)
            layoutErrors_.insert(t.sqlName,
                                 QStringLiteral("В базе данных %1 нет таблицы «%2». Восстановите базу "
                                                "данных из резервной копии.")
                                     .arg(displayPath(), table));
        else if (!check.problems.isEmpty())
            layoutErrors_.insert(
                t.sqlName,
                QStringLiteral("Таблица «%1» в базе данных %2 устроена не так, как ожидает программа: "
                               "%3. Восстановите базу данных из резервной копии.")
                    .arg(table, displayPath(), check.problems.join(QStringLiteral("; "))));
    }
    hasChangeLog_ = hasTable(QString::fromLatin1(change_log::kTable));
}

bool SqliteStore::hasTable(const QString& name) {
    SqliteStatement table(db_,
                          QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    table.bind(1, name);
    return table.step();
}

qint64 SqliteStore::schemaVersion() {
    // Stores of the first builds carry no mark: they are version 0.
    SqliteStatement id(db_, QStringLiteral("PRAGMA application_id"));
    SqliteStatement stored(db_, QStringLiteral("PRAGMA user_version"));
    return id.step() && stored.step() && id.int64(0) == kApplicationId ? stored.int64(0) : 0;
}

void SqliteStore::refuseForeignOrNewer() {
    SqliteStatement id(db_, QStringLiteral("PRAGMA application_id"));
    if (id.step() && id.int64(0) != 0 && id.int64(0) != kApplicationId)
        throw DbError(QStringLiteral("Файл %1 — база данных другой программы, а не этой. Укажите папку "
                                     "программы или восстановите её базу данных из резервной копии.")
                          .arg(displayPath()));
    if (const qint64 version = schemaVersion(); version > kSchemaVersion)
        throw DbError(schema_upgrade::newerMessage(displayPath(), version));
}

void SqliteStore::upgradeSchema() {
    const qint64 from = schemaVersion();
    if (from >= kSchemaVersion)
        return;
    Transaction tx(*this);
    for (qint64 version = from + 1; version <= kSchemaVersion; ++version) {
        switch (version) {
        case 1: // the mark alone, written below with the version
            break;
        case 2:
            if (!hasTable(QString::fromLatin1(change_log::kTable)))
                for (const QString& sql : change_log::sqliteSchema())
                    exec(sql);
            break;
        }
    }
    exec(QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2")
             .arg(kApplicationId)
             .arg(kSchemaVersion));
    tx.commit();
}

void SqliteStore::exec(const QString& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        const int code = sqlite3_extended_errcode(db_);
        throw DbError(sqliteFailureMessage(code, databaseFile(db_), text), code);
    }
}

QString SqliteStore::quickCheck() {
    try {
        return quickCheckOf(db_);
    } catch (const DbError& e) {
        if (e.isDamage())
            return e.message();
        throw;
    }
}

QString SqliteStore::integrityCheck() {
    try {
        return quickCheckOf(db_, "integrity_check");
    } catch (const DbError& e) {
        if (e.isDamage())
            return e.message();
        throw;
    }
}

void SqliteStore::backupTo(const QString& target) {
    if (transactionDepth() > 0)
        throw DbError(QStringLiteral("Копию базы данных нельзя сделать посреди изменения данных"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (QFileInfo::exists(target))
        throw DbError(QStringLiteral("Файл %1 уже есть").arg(shown(target)));
    backupInto(db_, target);
}

QString SqliteStore::checkFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("Файл %1 не найден").arg(shown(path));
    ReadOnlyConnection db(path);
    if (!db.get())
        return QStringLiteral("Файл %1 не открывается: %2").arg(shown(path), db.error());
    try {
        const QString problems = quickCheckOf(db.get());
        if (!problems.isEmpty())
            return QStringLiteral("Файл %1 повреждён: %2").arg(shown(path), problems);
        if (const QString foreign = foreignSchema(db.get()); !foreign.isEmpty())
            return QStringLiteral("Файл %1 нельзя принять как базу данных программы: %2.")
                .arg(shown(path), foreign);
    } catch (const DbError& e) {
        return QStringLiteral("Файл %1 не является базой данных программы: %2").arg(shown(path), e.message());
    }
    return {};
}

SqliteStore::Checked SqliteStore::openChecked(const QString& path, Access access) {
    Checked checked;
    try {
        checked.store = open(path, access);
        checked.damage = checked.store->quickCheck();
    } catch (const DbError& e) {
        if (!e.isDamage())
            throw;
        checked.damage = e.message();
    }
    if (!checked.damage.isEmpty())
        checked.store.reset();
    return checked;
}

QStringList SqliteStore::removeLeftovers(const QString& storePath) {
    const QFileInfo store(storePath);
    const QDir folder = store.absoluteDir();
    QStringList removed;
    for (const QString& suffix :
         {QStringLiteral(".new"), QStringLiteral(".restore"), QStringLiteral(".first")})
        for (const QString& name :
             folder.entryList({store.fileName() + suffix + u'*'}, QDir::Files | QDir::Hidden))
            if (QFile::remove(folder.filePath(name)))
                removed << folder.filePath(name);
    return removed;
}

void SqliteStore::removeFile(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

void SqliteStore::makeSingleFile() {
    exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
}

void SqliteStore::installCopy(const QString& copy, const QString& storePath) {
    const QString temp = storePath + QStringLiteral(".restore");
    QFile::remove(temp);
    {
        ReadOnlyConnection source(copy);
        if (!source.get())
            throw DbError(QStringLiteral("Файл %1 не открывается: %2").arg(shown(copy), source.error()));
        backupInto(source.get(), temp);
    }
    // The old file's log belongs to it alone: left beside the new file it would be played into it.
    QFile::remove(storePath + QStringLiteral("-wal"));
    QFile::remove(storePath + QStringLiteral("-shm"));
    if (const QString why = moveIntoPlace(temp, storePath, IfTaken::Replace); !why.isEmpty()) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Не удалось заменить базу данных %1: %2").arg(shown(storePath), why));
    }
}

void SqliteStore::reopen() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path_.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString msg = lastError(db);
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("Не удалось открыть базу данных %1: %2. Перезапустите программу.")
                          .arg(shown(path_), msg));
    }
    db_ = db;
    configure(access_);
    checkLayouts();
}

void SqliteStore::replaceWith(const QString& copy) {
    if (transactionDepth() > 0)
        throw DbError(QStringLiteral("Базу данных нельзя заменить посреди изменения данных"));
    if (const QString problem = checkFile(copy); !problem.isEmpty())
        throw DbError(problem);
    clearCache();
    if (sqlite3_close(db_) != SQLITE_OK)
        throw DbError(QStringLiteral("База данных %1 ещё занята и не может быть заменена").arg(shown(path_)));
    db_ = nullptr;
    try {
        installCopy(copy, path_);
    } catch (const DbError&) {
        reopen();
        throw;
    }
    reopen();
}
