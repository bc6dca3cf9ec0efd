#include "BenchServer.h"

#include "BenchRunner.h"
#include "data/PgStore.h"
#include "data/SqliteStore.h"
#include "data/StoreCopy.h"

#include <libpq-fe.h>
#include <memory>
#include <QFile>
#include <QProcess>
#include <QString>
#include <regex>
#include <stdexcept>

namespace bench {

namespace {

class Server {
public:
    Server() : state_(scratchDir() + "/server") {
        run("start");
        QFile file(QString::fromStdString(state_ + "/conninfo"));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("bench: the server did not start");
        connInfo_ = file.readAll().trimmed().toStdString();
        std::smatch m;
        if (!std::regex_search(connInfo_, m, std::regex("host=(\\S+)")))
            throw std::runtime_error("bench: no socket folder in " + connInfo_);
        socket_ = m[1].str() + "/.s.PGSQL.5432";
    }
    ~Server() { run("stop"); }

    std::string connInfo_;
    std::string socket_;

private:
    void run(const char* action) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("bash"), {QStringLiteral(ZAJAVKI_SERVER_SCRIPT), QString::fromLatin1(action),
                                         QString::fromStdString(state_)});
        p.waitForFinished(120000);
    }
    std::string state_;
};

std::unique_ptr<Server> g_server;

Server& server() {
    if (!g_server)
        g_server = std::make_unique<Server>();
    return *g_server;
}

} // namespace

void stopServer() {
    g_server.reset();
}

const std::string& serverSocket() {
    return server().socket_;
}

std::string serverDatabaseFrom(const std::string& name, const std::string& storeFile) {
    PGconn* admin = PQconnectdb(server().connInfo_.c_str());
    for (const std::string& sql : {"DROP DATABASE IF EXISTS " + name, "CREATE DATABASE " + name})
        PQclear(PQexec(admin, sql.c_str()));
    PQfinish(admin);
    const std::string connInfo =
        std::regex_replace(server().connInfo_, std::regex("dbname=\\S+"), "dbname=" + name);
    auto target = PgStore::open(QString::fromStdString(connInfo), {}, false);
    auto source = SqliteStore::open(QString::fromStdString(storeFile));
    Store::Transaction tx(*target);
    target->createSchema([&] { copyRows(*source, *target); });
    tx.commit();
    return connInfo;
}

std::string throughFolder(const std::string& connInfo, const std::string& socketFolder) {
    return std::regex_replace(connInfo, std::regex("host=\\S+"), "host=" + socketFolder);
}

} // namespace bench
