#include "data/Store.h"

#include "data/Dataset.h"
#include "data/DbError.h"
#include "data/FieldCaptions.h"
#include "data/RuCollation.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

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
        .arg(quoted(Store::sqlIndexName(t.sqlName, idx.name)), quoted(t.sqlName), cols.join(QStringLiteral(", ")));
}

} // namespace

Store::Store(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

QString Store::displayPath() const { return QDir::toNativeSeparators(path_); }

void Store::failToOpen(sqlite3* db, int resultCode, const QString& path) {
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    sqlite3_close_v2(db);
    throw DbError(sqliteFailureMessage(resultCode, QDir::toNativeSeparators(path), text));
}

Store::~Store() {
    cache_.clear();
    sqlite3_close_v2(db_);
}

std::unique_ptr<Store> Store::open(const QString& path, Access access) {
    if (!QFileInfo::exists(path))
        create(path).reset();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        failToOpen(db, rc, path);
    // SQLite opens a write-protected file for reading alone; the program must be able to save.
    if (sqlite3_db_readonly(db, "main") == 1)
        failToOpen(db, SQLITE_READONLY, path);
    std::unique_ptr<Store> store(new Store(db, path));
    store->configure(access);
    store->checkLayouts();
    return store;
}

std::unique_ptr<Store> Store::create(const QString& path) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("База данных %1 уже существует").arg(QDir::toNativeSeparators(path)));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Build under a temporary name, so that a failure leaves no half-made database behind.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(temp.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        failToOpen(db, rc, path);
    {
        std::unique_ptr<Store> building(new Store(db, temp));
        try {
            ru_collation::install(db);
            building->createAll();
        } catch (...) {
            building.reset();
            QFile::remove(temp);
            throw;
        }
    }
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Не удалось создать базу данных %1. Проверьте, что у вас есть право записи "
                                     "в папку %2 и на диске есть место.")
                          .arg(QDir::toNativeSeparators(path),
                               QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    }
    return open(path);
}

void Store::configure(Access access) {
    ru_collation::install(db_);
    sqlite3_busy_timeout(db_, 2000);
    if (access == Access::Exclusive)
        exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
}

void Store::createAll() {
    begin();
    try {
        for (const TableLayout& t : layouts::all()) {
            exec(createTableSql(t));
            for (const IndexDef& idx : t.indexes)
                exec(createIndexSql(t, idx));
        }
        commit();
    } catch (...) {
        rollback();
        throw;
    }
}

void Store::checkLayouts() {
    layoutErrors_.clear();
    indexes_.clear();
    {
        Statement st(db_, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'"));
        while (st.step())
            indexes_.insert(st.rawValue(0).toString());
    }
    for (const TableLayout& t : layouts::all()) {
        Statement st(db_, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(t.sqlName)));
        QStringList problems;
        int column = 0;
        auto caption = [&t](const FieldDef& f) { return captions::field(t.sqlName, f.name); };
        while (st.step()) {
            const QString name = st.rawValue(1).toString();
            const QString type = st.rawValue(2).toString();
            if (column >= t.fields.size()) {
                problems << QStringLiteral("в ней лишнее поле №%1").arg(column + 1);
            } else {
                const FieldDef& f = t.fields[column];
                bool typeOk = type.compare(sqlType(f), Qt::CaseInsensitive) == 0;
                if (f.type == FieldType::AutoInc)
                    typeOk = typeOk && st.int64(5) == 1;
                if (name != f.name)
                    problems << QStringLiteral("на месте поля «%1» другое поле").arg(caption(f));
                else if (!typeOk)
                    problems << QStringLiteral("поле «%1» хранит значения другого вида").arg(caption(f));
            }
            ++column;
        }
        const QString table = captions::table(t.sqlName);
        if (column == 0)
            layoutErrors_.insert(t.sqlName, QStringLiteral("В базе данных %1 нет таблицы «%2». Восстановите базу "
                                                           "данных из резервной копии.")
                                                .arg(displayPath(), table));
        else if (column < t.fields.size())
            problems << QStringLiteral("в ней нет поля «%1»").arg(caption(t.fields[column]));
        if (!problems.isEmpty())
            layoutErrors_.insert(t.sqlName,
                                 QStringLiteral("Таблица «%1» в базе данных %2 устроена не так, как ожидает программа: "
                                                "%3. Восстановите базу данных из резервной копии.")
                                     .arg(table, displayPath(), problems.join(QStringLiteral("; "))));
    }
}

QString Store::layoutError(const QString& sqlName) const { return layoutErrors_.value(sqlName); }

QString Store::sqlIndexName(const QString& sqlName, const QString& indexName) { return sqlName + u'_' + indexName; }

bool Store::hasIndex(const QString& sqlName, const QString& indexName) const {
    return indexes_.contains(sqlIndexName(sqlName, indexName));
}

Store::Cached::~Cached() {
    if (s_) {
        s_->reset();
        if (!own_)
            s_->busy = false;
    }
}

Store::Cached Store::cached(const QString& sql) {
    auto& slot = cache_[sql.toStdString()];
    if (!slot)
        slot = std::make_unique<Statement>(db_, sql);
    if (slot->busy) {
        auto own = std::make_unique<Statement>(db_, sql);
        Statement* s = own.get();
        return Cached(s, std::move(own));
    }
    slot->busy = true;
    return Cached(slot.get(), nullptr);
}

qint64 Store::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

void Store::exec(const QString& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        throw DbError(sqliteFailureMessage(sqlite3_extended_errcode(db_), databaseFile(db_), text));
    }
}

void Store::begin() {
    exec(depth_ == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    ++depth_;
}

void Store::commit() {
    if (depth_ == 0)
        return;
    --depth_;
    try {
        exec(depth_ == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE sp%1").arg(depth_));
    } catch (...) {
        // Not committed: the transaction is still open, and the guard that began it rolls it back.
        ++depth_;
        throw;
    }
}

void Store::rollback() {
    if (depth_ == 0)
        return;
    --depth_;
    try {
        exec(depth_ == 0 ? QStringLiteral("ROLLBACK") : QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(depth_));
    } catch (const DbError&) {
        // A failed rollback leaves SQLite to undo the transaction itself; the datasets are re-read below.
    }
    const auto open = datasets_;
    for (Dataset* ds : open)
        ds->reread();
}
