#pragma once
// The tests' PostgreSQL server (tests/server/test-server.sh, started by CTest before the tests
// that need it) and a scratch database on it for one test: made empty, dropped afterwards.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <libpq-fe.h>

#include <memory>

// The connection string of the tests' server ("host=/tmp/… port=5432 user=… dbname=postgres");
// empty, with the reason in `why`, when the server was not started.
QByteArray testServerConnInfo(QString* why = nullptr);

struct PGconnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Connection = std::unique_ptr<PGconn, PGconnDeleter>;

class ScratchDatabase {
public:
    ScratchDatabase(); // throws std::runtime_error when the server cannot be reached
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    const QByteArray& name() const { return name_; }
    // The connection string of the scratch database.
    QByteArray connInfo() const;
    // A new connection to it; throws std::runtime_error with the server's message.
    Connection connect() const;

private:
    QByteArray server_;
    QByteArray name_;
};

// Login roles a test made on the server, dropped when it goes out of scope: declared before the
// scratch database, whose grants name them, so that it goes after it.
struct RolesToDrop {
    QStringList names;
    ~RolesToDrop();
};

// Runs one statement; throws std::runtime_error with the server's message when it fails.
void exec(PGconn* connection, const char* sql);
// The first column of the first row of a query, as text.
QString scalar(PGconn* connection, const char* sql);
