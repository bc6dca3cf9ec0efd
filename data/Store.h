#pragma once
// The store: a database holding every table of the program under its name, on a SQLite file
// (SqliteStore) or on a PostgreSQL server (PgStore). Everything above it speaks to this interface
// alone and writes the same SQL for both; what differs between them lives in the two back ends.
// Opening a store checks each table's layout; a missing or different table is an error of that
// table alone, reported when the table is opened.

#include "data/Layout.h"
#include "data/Statement.h"

#include <functional>
#include <memory>
#include <QHash>
#include <QSet>
#include <QString>
#include <unordered_map>

class Dataset;
using RowId = qint64;

class Store {
public:
    virtual ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The layout version of the program's stores: kept by each back end, raised by an upgrade
    // (SchemaUpgrade.h says what each version brought).
    static constexpr qint64 kSchemaVersion = 2;
    // The version of this store's layout: kSchemaVersion once it is up to date.
    virtual qint64 schemaVersion() = 0;
    // Raises a store of an earlier version to kSchemaVersion through every step in between, in one
    // transaction: a failed step changes nothing. Throws DbError. schema_upgrade::bringUpToDate
    // takes a copy first.
    virtual void upgradeSchema() = 0;
    // What the opening's upgrade did, for the status bar: "База данных обновлена с версии 1 до
    // версии 2; …"; empty when the store was up to date.
    const QString& upgradeNote() const { return upgradeNote_; }
    void setUpgradeNote(const QString& note) { upgradeNote_ = note; }

    // Where the data are, for messages: the database file or the server's database.
    virtual QString displayPath() const = 0;
    // True for a store on a database server, shared by several clerks.
    virtual bool isServer() const = 0;
    // False when the user may only read: a clerk whose server role has no right to change the
    // program's tables. The server refuses such changes itself; this lets the program say so first.
    bool canWrite() const { return canWrite_; }
    // True when the store keeps the change log (a file of an earlier version, opened only for
    // reading, may not).
    bool hasChangeLog() const { return hasChangeLog_; }

    // Why the table cannot be used (missing, or laid out differently); empty when it is sound.
    QString layoutError(const QString& sqlName) const;
    bool hasIndex(const QString& sqlName, const QString& indexName) const;
    static QString sqlIndexName(const QString& sqlName, const QString& indexName);

    // A new statement of the back end; throws DbError when the SQL is refused.
    virtual std::unique_ptr<Statement> prepare(const QString& sql) = 0;
    // A statement from the cache, reset and ready; the guard hands it back when it goes out of scope.
    class Cached {
    public:
        Cached(Statement* s, std::unique_ptr<Statement> own) : s_(s), own_(std::move(own)) {}
        Cached(Cached&& o) noexcept : s_(o.s_), own_(std::move(o.own_)) { o.s_ = nullptr; }
        ~Cached();
        Statement* operator->() const { return s_; }
        Statement& operator*() const { return *s_; }

    private:
        Statement* s_;
        std::unique_ptr<Statement> own_; // a private copy when the cached one was busy
    };
    Cached cached(const QString& sql);
    // Runs SQL without parameters (several statements allowed); throws DbError.
    virtual void exec(const QString& sql) = 0;
    // What an insert's text ends with for insertRow to learn the new row's identity: " RETURNING
    // rowid" on the server; nothing on the file, whose connection keeps the last row's identity.
    virtual QString returningRowId() const = 0;
    // Runs an insert (ending with returningRowId(), or with "RETURNING rowid" itself) and gives the
    // new row's identity.
    virtual RowId insertRow(Statement& insert);
    // Makes the numbering of `table`'s rows of `year` this transaction's alone until it ends, so
    // that two clerks creating applications at once never take the same number. The file store
    // has one writer at a time already.
    virtual void lockNumbering(const QString& table, int year) {}
    // The marks of the register (its "PR" field) are shared by everyone who works on the store:
    // one clerk at a time marks people and adds them. Takes that turn for this connection until
    // releaseMarks() or the connection ends; false when another clerk has it. The file store has one
    // user at a time.
    virtual bool holdMarks() { return true; }
    virtual void releaseMarks() {}
    // Rows carry a version that a write checks (see Table): true on the server, where several
    // clerks write.
    bool hasRowVersions() const { return isServer(); }
    // The few words of SQL the back ends spell differently. The texts of a group joined by
    // `separator` (an SQL expression):
    virtual QString groupText(const QString& text, const QString& separator) const = 0;

    // Transactions nest: the outermost commits; a rollback at any depth undoes the whole
    // outer transaction's work done since its savepoint, and every open dataset is re-read.
    void begin();
    void commit();
    void rollback();
    int transactionDepth() const { return depth_; }

    class Transaction {
    public:
        explicit Transaction(Store& store) : store_(store) { store_.begin(); }
        ~Transaction() {
            if (!done_)
                store_.rollback();
        }
        void commit() {
            store_.commit();
            done_ = true;
        }

    private:
        Store& store_;
        bool done_ = false;
    };

    // A check of the database for damage: empty when it is sound, else what was found. Throws
    // DbError when the check cannot run for another reason (busy, unreadable): that says nothing
    // of damage.
    virtual QString quickCheck() = 0;
    virtual QString integrityCheck() = 0;
    // The rows of the program's table `sqlName` and a checksum of their values in stored order:
    // equal checksums, equal contents, on either back end.
    struct TableSummary {
        qint64 rows = 0;
        QByteArray checksum;
        bool operator==(const TableSummary&) const = default;
    };
    TableSummary summarize(const QString& sqlName);
    // Writes a consistent copy of the whole store into the new file `target`, a SQLite store of
    // the program's own kind, while this store stays open. Throws DbError (nothing is left at
    // `target` then), also when called inside a transaction, whose changes a copy must not half
    // contain.
    virtual void backupTo(const QString& target) = 0;
    // Puts the contents of the store file `copy` in place of this store's, this object staying the
    // same; the datasets must be closed and are opened again by their owner. Throws DbError; when
    // the copy could not be put in place, the store is as it was.
    virtual void replaceWith(const QString& copy) = 0;

    // Tells `changed` the store names of the tables ("personal", in small letters) that other
    // users changed, soon after they committed, while the program waits for the user. A file store
    // has no other writers and tells nothing. One watcher at a time; an empty function stops it.
    virtual void watchChanges(std::function<void(const QStringList& tables)> changed) {}

    // Datasets register so that a rollback can make them re-read what is really stored.
    void attach(Dataset* ds) { datasets_.insert(ds); }
    void detach(Dataset* ds) { datasets_.remove(ds); }

protected:
    Store() = default;
    // The SQL that opens the outermost transaction.
    virtual QString beginSql() const = 0;
    // Forgets every prepared statement (before the connection under them closes).
    void clearCache() { cache_.clear(); }

    QHash<QString, QString> layoutErrors_;
    QSet<QString> indexes_;
    bool canWrite_ = true;
    bool hasChangeLog_ = false;

private:
    QString upgradeNote_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
    QSet<Dataset*> datasets_;
    int depth_ = 0;
};
