#pragma once
// A fresh root folder with a new store for one test, removed afterwards. The store is a SQLite
// file in the root, or, when the test runs against the server (ZAJAVKI_TEST_BACKEND=server), a
// scratch database on the tests' PostgreSQL server with the program's tables: one set of test
// cases serves both back ends.
#include "core/RootPaths.h"
#include "data/AppContext.h"
#include "data/PgStore.h"
#include "data/SqliteStore.h"
#include "support/Printers.h"
#include "support/TestServer.h"

#include <memory>
#include <optional>
#include <QTemporaryDir>

// True when the tests of this run go against the server.
inline bool testsOnServer() {
    return qEnvironmentVariable("ZAJAVKI_TEST_BACKEND") == QLatin1String("server");
}

// A scratch database with the program's tables, for a test on the server.
struct ServerStoreDatabase {
    ScratchDatabase database;
    QString url() const { return QString::fromUtf8(database.connInfo()); }
    ServerStoreDatabase() { PgStore::open(url(), {}, false)->createSchema(); }
};

// Points the program's context at a new scratch database when the tests run against the server.
inline void useTestServer(AppContext& app, std::optional<ServerStoreDatabase>& server) {
    if (!testsOnServer())
        return;
    server.emplace();
    app.serverUrl = server->url();
}

struct TempStore {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    std::optional<ServerStoreDatabase> server;
    std::unique_ptr<Store> store;

    TempStore() {
        root.makeFolders();
        if (testsOnServer()) {
            server.emplace();
            store = PgStore::open(server->url());
        } else {
            store = SqliteStore::open(root.storeFile());
        }
    }
};
