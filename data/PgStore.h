#pragma once
// The server store: the program's tables in a PostgreSQL database, shared by several clerks.
// Each table carries a "rowid" column, the row identity the file store's SQLite gives every row
// (for a table numbered by the engine, the number itself), and text is ordered by the ICU
// collation "ru", which orders the register's texts as the file store's RU collation does.

#include "data/DbError.h"
#include "data/Store.h"

struct pg_conn;
struct pg_result;

// The server wants a password that was not found, or refused the one given.
class PasswordRefused : public DbError {
public:
    using DbError::DbError;
};

class PgStore : public Store {
public:
    ~PgStore() override;

    // Connects to the database named by `url` ("postgresql://host/base" or "host=… dbname=…").
    // The password is `password` when given, else what libpq finds for the user (~/.pgpass, the
    // service file). Throws DbError saying whether the server is out of reach, or lacks the
    // program's tables (unless `requireSchema` is false), and what to do; PasswordRefused when no
    // password was found or the server refused it, so that the caller may ask the user.
    static std::unique_ptr<PgStore> open(const QString& url, const QString& password = {},
                                         bool requireSchema = true);
    // The address as messages show it: without a password written into it.
    static QString shownUrl(const QString& url);

    // Creates the program's tables, their indexes, the collation, the change log and the clerks'
    // roles (see serverUserSql) on a database holding no table yet, in one transaction; throws
    // DbError naming the tables found on a database that has some. `fill` runs inside that
    // transaction before the log starts recording, to bring rows along with their own log.
    void createSchema(const std::function<void()>& fill = {});
    // The SQL that lets the server's login role `name` work with the program's databases: as a
    // clerk, or only reading.
    static QString serverUserSql(const QString& name, bool readOnly);

    QString displayPath() const override { return where_; }
    bool isServer() const override { return true; }
    std::unique_ptr<Statement> prepare(const QString& sql) override;
    void exec(const QString& sql) override;
    QString returningRowId() const override { return QStringLiteral(" RETURNING rowid"); }
    void lockNumbering(const QString& table, int year) override;
    qint64 schemaVersion() override;
    void upgradeSchema() override;
    bool holdMarks() override;
    void releaseMarks() override;
    void watchChanges(std::function<void(const QStringList& tables)> changed) override;
    QString groupText(const QString& text, const QString& separator) const override {
        return QStringLiteral("string_agg(%1, %2)").arg(text, separator);
    }
    // The server keeps its own data sound; there is no file here to check.
    QString quickCheck() override { return {}; }
    QString integrityCheck() override { return {}; }
    // Copies the whole database, as one consistent snapshot, into a new store file.
    void backupTo(const QString& target) override;
    // Replaces every table's rows with those of the store file `copy`, in one transaction.
    void replaceWith(const QString& copy) override;

    // The columns every table has beside the layout's fields: "rowid", and the row's version with
    // who wrote it last and when ("zversion", "zchanged_by", "zchanged_at"), kept by the server.
    static bool isHiddenColumn(const QString& name);

    // Runs one statement with text parameters (nullptr for null); the result is the caller's to
    // clear. Throws DbError with the server's failure in the user's words; a lost connection is
    // opened again before the error is thrown, so that the user's next attempt can succeed.
    pg_result* run(const QByteArray& sql, int count, const char* const* values);
    // A statement run again and again is prepared on the server once, sparing the server its
    // planning each time. Prepares `sql` under a new name and gives the name; throws DbError.
    QByteArray prepareNamed(const QByteArray& sql, int count);
    // Runs a statement prepareNamed gave, as run() does.
    pg_result* runNamed(const QByteArray& name, int count, const char* const* values);
    // Drops a prepared statement no longer used, when it still lives on this connection. Never
    // fails: a statement that stays is dropped with the connection.
    void dropNamed(const QByteArray& name, int generation);
    // Counts the connections made: statements prepared on an earlier one are gone.
    int connectionGeneration() const { return generation_; }

protected:
    QString beginSql() const override { return QStringLiteral("BEGIN"); }

private:
    class ChangeWatch;
    PgStore(pg_conn* connection, QString where);
    void takeNotifications();
    [[noreturn]] void fail(pg_result* result);
    void configure();
    void checkLayouts();
    QStringList tablesOnServer();

    pg_result* checked(pg_result* result);

    pg_conn* conn_;
    QString where_;
    int generation_ = 0;
    int named_ = 0;
    bool closing_ = false;
    bool holdsMarks_ = false;
    std::unique_ptr<ChangeWatch> watch_;
};
