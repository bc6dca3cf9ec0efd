#pragma once
// The store: one SQLite database holding every table of the program under its name.
// Opening it checks each table's layout; a missing or different table is an error of that
// table alone, reported when the table is opened.

#include "data/Layout.h"
#include "data/Statement.h"

#include <memory>
#include <QHash>
#include <QSet>
#include <QString>
#include <unordered_map>

struct sqlite3;
class Dataset;

class Store {
public:
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Shared lets other connections read the file at the same time (tools, tests); Exclusive
    // keeps the file's locks for the whole session, which the program uses since one program
    // at a time works on a root, and which saves the locking of every single write.
    enum class Access { Shared, Exclusive };

    // Opens the database file, creating it with every table when it does not exist.
    // Throws DbError when the file cannot be opened or created.
    static std::unique_ptr<Store> open(const QString& path, Access access = Access::Shared);
    // Creates the database file with every table; throws DbError when the file exists.
    static std::unique_ptr<Store> create(const QString& path);

    const QString& path() const { return path_; }
    QString displayPath() const; // the path as the user's system writes it, for messages
    sqlite3* handle() const { return db_; }

    // Why the table cannot be used (missing, or laid out differently); empty when it is sound.
    QString layoutError(const QString& sqlName) const;
    bool hasIndex(const QString& sqlName, const QString& indexName) const;
    static QString sqlIndexName(const QString& sqlName, const QString& indexName);

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
    void exec(const QString& sql);
    qint64 lastInsertId() const;

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

    // SQLite's quick check of the open database: empty when it is sound, else what it found.
    // Throws DbError when the check cannot run for another reason (the file is busy or unreadable):
    // that says nothing of damage.
    QString quickCheck();
    // SQLite's full integrity check (every index against its table, in the store's collation);
    // empty when sound. Throws DbError as quickCheck does.
    QString integrityCheck();
    // The rows of the program's table `sqlName` and a checksum of their values in stored order:
    // equal checksums, equal contents.
    struct TableSummary {
        qint64 rows = 0;
        QByteArray checksum;
    };
    TableSummary summarize(const QString& sqlName);
    // Writes a consistent copy of the database into the new file `target` through SQLite's online
    // backup, while this connection stays open and keeps its locks; the copy is a single file
    // with no write-ahead log. Throws DbError (nothing is left at `target` then), also when called
    // inside a transaction, whose changes a copy must not half contain.
    void backupTo(const QString& target);
    // Closes the database, puts a copy of the database file `copy` in its place and opens it
    // again, this object and its datasets staying the same; the datasets must be closed and are
    // opened again by their owner. Throws DbError; when the copy could not be put in place, the
    // store is opened again as it was.
    void replaceWith(const QString& copy);

    // Opens the store at `path` and runs SQLite's quick check on it. A store SQLite finds damaged
    // (the check, or a file it cannot read as a database) gives no store and what is damaged; any
    // other failure (busy, locked, write-protected, unreadable) is thrown as DbError, for a sound
    // store must never be taken for a damaged one.
    struct Checked {
        std::unique_ptr<Store> store;
        QString damage;
    };
    static Checked openChecked(const QString& path, Access access);
    // Removes what an interrupted build or replacement of the store at `storePath` left beside it
    // ("tovex.sqlite.new", ".restore", ".first" and their journals); returns the paths removed. Only
    // for a root whose lock is held.
    static QStringList removeLeftovers(const QString& storePath);

    // The mark of the program's stores (SQLite's application_id) and the version of their
    // layout (user_version); stores of earlier builds carry neither and get them when opened.
    static constexpr qint64 kApplicationId = 0x5A4A5631; // "ZJV1"
    static constexpr qint64 kSchemaVersion = 1;

    // Why the file `path` cannot serve as the program's database: unreadable, not a database,
    // damaged (SQLite's quick check), made by another program or a newer version, a table of the
    // program laid out otherwise, or anything of its own (a table, a view, a trigger, an index).
    // Empty when it can. The file is only read.
    static QString checkFile(const QString& path);
    // Puts a copy of the database file `copy` in place of the database file `storePath`, which no
    // connection may hold open: written completely under a temporary name beside it, then renamed
    // over it in one step, the old file's write-ahead log removed first. Throws DbError.
    static void installCopy(const QString& copy, const QString& storePath);

    // Datasets register so that a rollback can make them re-read what is really stored.
    void attach(Dataset* ds) { datasets_.insert(ds); }
    void detach(Dataset* ds) { datasets_.remove(ds); }

private:
    Store(sqlite3* db, QString path);
    [[noreturn]] static void failToOpen(sqlite3* db, int resultCode, const QString& path);
    void configure(Access access);
    void reopen();
    void createAll();
    void checkLayouts();
    void stampVersion();

    sqlite3* db_;
    QString path_;
    QHash<QString, QString> layoutErrors_;
    QSet<QString> indexes_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
    QSet<Dataset*> datasets_;
    int depth_ = 0;
    Access access_ = Access::Shared;
};
