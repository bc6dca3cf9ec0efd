#pragma once
// The file store: one SQLite database file holding every table of the program.

#include "data/Store.h"

struct sqlite3;

class SqliteStore : public Store {
public:
    ~SqliteStore() override;

    // Shared lets other connections read the file at the same time (tools, tests); Exclusive
    // keeps the file's locks for the whole session, which the program uses since one program
    // at a time works on a root, and which saves the locking of every single write.
    enum class Access { Shared, Exclusive };

    // Opens the database file, creating it with every table when it does not exist.
    // Throws DbError when the file cannot be opened or created.
    static std::unique_ptr<SqliteStore> open(const QString& path, Access access = Access::Shared);
    // Opens a store file only to read it (a copy being restored from), changing nothing in it.
    static std::unique_ptr<SqliteStore> openToRead(const QString& path);
    // Creates the database file with every table; throws DbError when the file exists.
    static std::unique_ptr<SqliteStore> create(const QString& path);

    const QString& path() const { return path_; }
    QString displayPath() const override; // the path as the user's system writes it
    bool isServer() const override { return false; }
    sqlite3* handle() const { return db_; }

    std::unique_ptr<Statement> prepare(const QString& sql) override;
    void exec(const QString& sql) override;
    QString returningRowId() const override { return {}; }
    RowId insertRow(Statement& insert) override;
    QString groupText(const QString& text, const QString& separator) const override {
        return QStringLiteral("GROUP_CONCAT(%1, %2)").arg(text, separator);
    }

    // SQLite's quick check of the open database: empty when it is sound, else what it found.
    QString quickCheck() override;
    // SQLite's full integrity check (every index against its table, in the store's collation).
    QString integrityCheck() override;
    // Copies through SQLite's online backup, while this connection keeps its locks; the copy is a
    // single file with no write-ahead log.
    void backupTo(const QString& target) override;
    // Closes the database, puts a copy of the database file `copy` in its place and opens it
    // again; when the copy could not be put in place, the store is opened again as it was.
    void replaceWith(const QString& copy) override;

    // Opens the store at `path` and runs SQLite's quick check on it. A store SQLite finds damaged
    // (the check, or a file it cannot read as a database) gives no store and what is damaged; any
    // other failure (busy, locked, write-protected, unreadable) is thrown as DbError, for a sound
    // store must never be taken for a damaged one.
    struct Checked {
        std::unique_ptr<SqliteStore> store;
        QString damage;
    };
    static Checked openChecked(const QString& path, Access access);
    // Removes what an interrupted build or replacement of the store at `storePath` left beside it
    // ("tovex.sqlite.new", ".restore", ".first" and their journals); returns the paths removed. Only
    // for a root whose lock is held.
    static QStringList removeLeftovers(const QString& storePath);

    // The mark of the program's stores (SQLite's application_id); the layout's version is kept in
    // user_version. Stores of the first builds carry neither (version 0) and get them when opened.
    static constexpr qint64 kApplicationId = 0x5A4A5631; // "ZJV1"

    // Gives a connection opened outside the store what the store's tables need: the collation of
    // their indexes and the function naming the clerk in the change log (the system user).
    static void prepareConnection(sqlite3* db);
    // Where the copy taken before upgrading the store file `path` goes: the root's Backup folder
    // for a store in a Base folder, else a Backup folder beside the file.
    static QString upgradeCopyFolder(const QString& path);

    qint64 schemaVersion() override;
    void upgradeSchema() override;

    // Why the file `path` cannot serve as the program's database: unreadable, not a database,
    // damaged (SQLite's quick check), made by another program or a newer version, a table of the
    // program laid out otherwise, or anything of its own (a table, a view, a trigger, an index).
    // Empty when it can. The file is only read.
    static QString checkFile(const QString& path);
    // Puts a copy of the database file `copy` in place of the database file `storePath`, which no
    // connection may hold open: written completely under a temporary name beside it, then renamed
    // over it in one step, the old file's write-ahead log removed first. Throws DbError.
    static void installCopy(const QString& copy, const QString& storePath);
    // Removes a store file with its journal and write-ahead log.
    static void removeFile(const QString& path);
    // Leaves the file a single file, with no write-ahead log, when it closes: as a copy must be.
    void makeSingleFile();
    // While paused, changes are not logged: the rows of a copy being filled were logged where
    // they were written, and the copy takes that log along.
    void pauseChangeLog(bool paused);

protected:
    QString beginSql() const override { return QStringLiteral("BEGIN IMMEDIATE"); }

private:
    SqliteStore(sqlite3* db, QString path);
    [[noreturn]] static void failToOpen(sqlite3* db, int resultCode, const QString& path);
    void configure(Access access);
    void reopen();
    void createAll();
    void checkLayouts();
    // Throws DbError for a database another program marked as its own, or a store of a newer
    // version than the program's.
    void refuseForeignOrNewer();
    bool hasTable(const QString& name);

    struct Clerk;
    sqlite3* db_;
    QString path_;
    std::unique_ptr<Clerk> clerk_;
    Access access_ = Access::Shared;
};
