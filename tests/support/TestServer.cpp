#include "support/TestServer.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>

#include <stdexcept>

namespace {

std::runtime_error failure(const char* what, PGconn* connection) {
    return std::runtime_error(std::string(what) + ": " + PQerrorMessage(connection));
}

Connection open(const QByteArray& connInfo) {
    Connection c(PQconnectdb(connInfo.constData()));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw failure("cannot connect to the tests' server", c.get());
    return c;
}

} // namespace

QByteArray testServerConnInfo(QString* why) {
    const QString file = qEnvironmentVariable("ZAJAVKI_TEST_SERVER");
    QFile f(file);
    if (file.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        if (why)
            *why = file.isEmpty() ? QStringLiteral("ZAJAVKI_TEST_SERVER is not set: run the tests with ctest")
                                  : QStringLiteral("no server was started: %1 is missing").arg(file);
        return {};
    }
    return f.readAll().trimmed();
}

ScratchDatabase::ScratchDatabase() {
    QString why;
    server_ = testServerConnInfo(&why);
    if (server_.isEmpty())
        throw std::runtime_error(why.toStdString());
    static QAtomicInteger<int> counter;
    name_ = "scratch_" + QByteArray::number(QCoreApplication::applicationPid()) + "_" +
            QByteArray::number(counter.fetchAndAddRelaxed(1));
    Connection admin = open(server_);
    exec(admin.get(), ("CREATE DATABASE " + name_ + " ENCODING 'UTF8'").constData());
}

ScratchDatabase::~ScratchDatabase() {
    try {
        Connection admin = open(server_);
        exec(admin.get(), ("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)").constData());
    } catch (const std::exception&) {
        // The server goes away with the test run; a database left behind goes with it.
    }
}

QByteArray ScratchDatabase::connInfo() const {
    QByteArray info = server_;
    info.replace("dbname=postgres", "dbname=" + name_);
    return info;
}

Connection ScratchDatabase::connect() const {
    return open(connInfo());
}

void exec(PGconn* connection, const char* sql) {
    PGresult* r = PQexec(connection, sql);
    const ExecStatusType status = PQresultStatus(r);
    PQclear(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(sql, connection);
}

QString scalar(PGconn* connection, const char* sql) {
    PGresult* r = PQexec(connection, sql);
    if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) < 1) {
        PQclear(r);
        throw failure(sql, connection);
    }
    const QString value = QString::fromUtf8(PQgetvalue(r, 0, 0));
    PQclear(r);
    return value;
}

RolesToDrop::~RolesToDrop() {
    if (names.isEmpty())
        return;
    Connection server(PQconnectdb(testServerConnInfo().constData()));
    for (const QString& name : names)
        PQclear(PQexec(server.get(), ("DROP ROLE IF EXISTS \"" + name.toUtf8() + '"').constData()));
}
