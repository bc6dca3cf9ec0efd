// Where the folder's program finds its server: kept in the folder, never with a password, and
// turned into a connection string that a typed value cannot extend.
#include "data/ServerSettings.h"
#include "core/UserError.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

TEST(ServerSettings, AreKeptInTheFolderAndGiveTheStartsServer) {
    QTemporaryDir dir;
    const RootPaths root(dir.path());
    EXPECT_EQ(ServerSettings::load(root), ServerSettings{}) << "nothing kept: the folder's own database";
    EXPECT_EQ(ServerSettings::startUrl({}, root), "");

    const ServerSettings office{
        .use = true, .host = "srv", .port = 5433, .database = "zajavki", .user = "ivanova"};
    office.save(root);
    EXPECT_EQ(ServerSettings::load(root), office);
    EXPECT_EQ(ServerSettings::startUrl({}, root), "host='srv' port=5433 dbname='zajavki' user='ivanova'");
    EXPECT_EQ(ServerSettings::startUrl("postgresql://other/base", root), "postgresql://other/base")
        << "the command line wins";
    QFile file(dir.filePath("server.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("password"));
}

TEST(ServerSettings, RefuseWhatCannotBeUsedAndQuoteWhatIsTyped) {
    struct Case {
        const char* name;
        ServerSettings settings;
        const char* problem; // a part of it; empty: none
        QString url;
    };
    auto server = [](const char* host, int port, const char* database, const char* user = "") {
        return ServerSettings{true, host, port, database, user};
    };
    const Case cases[] = {
        {"not used", ServerSettings{}, "", ""},
        {"no host", server("", 5432, "z"), "Укажите сервер", {}},
        {"port out of range", server("h", 70000, "z"), "от 1 до 65535", {}},
        {"no database", server("h", 5432, ""), "Укажите базу данных", {}},
        {"no user: the system's", server("h", 5432, "z"), "", "host='h' port=5432 dbname='z'"},
        {"a typed keyword stays a value", server("h", 5432, "z' password='x", "a\\b"), "",
         "host='h' port=5432 dbname='z\\' password=\\'x' user='a\\\\b'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString problem = c.settings.problem();
        if (*c.problem) {
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.problem))) << problem.toStdString();
        } else {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(c.settings.url(), c.url);
        }
        if (!c.settings.use || !problem.isEmpty())
            continue;
        // libpq reads back exactly what was typed, and no password.
        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(c.settings.url().toUtf8().constData(), &error);
        ASSERT_TRUE(options) << error;
        for (PQconninfoOption* o = options; o->keyword; ++o) {
            const QString value = QString::fromUtf8(o->val ? o->val : "");
            const QByteArray keyword(o->keyword);
            if (keyword == "dbname") {
                EXPECT_EQ(value, c.settings.database);
            } else if (keyword == "user") {
                EXPECT_EQ(value, c.settings.user);
            } else if (keyword == "password") {
                EXPECT_EQ(value, "");
            }
        }
        PQconninfoFree(options);
    }
}

// Settings that cannot be written say so, naming the file; nothing is reported saved.
TEST(ServerSettings, ThatCannotBeWrittenSaySoNamingTheFile) {
    QTemporaryDir dir;
    const RootPaths root(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkdir("server.ini")); // a folder where the file would go
    try {
        ServerSettings{true, "srv", 5432, "zajavki", ""}.save(root);
        FAIL() << "reported saved";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().startsWith("Не удалось записать настройки сервера в файл"))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("server.ini"));
    }
    EXPECT_EQ(ServerSettings::load(root), ServerSettings{});
}

} // namespace
