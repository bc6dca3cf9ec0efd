// The tests' own PostgreSQL server: started by CTest for the tests that need it, each test on a
// scratch database of its own that nothing else sees and that is gone afterwards.
#include "support/TestServer.h"

#include <gtest/gtest.h>

namespace {

TEST(TestServer, EachTestGetsAnEmptyDatabaseOfItsOwnThatIsDroppedAfterwards) {
    QByteArray firstName;
    {
        ScratchDatabase first;
        ScratchDatabase second;
        firstName = first.name();
        Connection a = first.connect();
        Connection b = second.connect();
        exec(a.get(), "CREATE TABLE Personal (NPP serial PRIMARY KEY, Name1 varchar(25))");
        exec(a.get(), "INSERT INTO Personal (Name1) VALUES ('ЁЛКИНА')");
        EXPECT_EQ(scalar(a.get(), "SELECT Name1 FROM Personal"), QStringLiteral("ЁЛКИНА"));
        EXPECT_EQ(scalar(b.get(), "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), "0");
    }
    Connection admin(PQconnectdb(testServerConnInfo().constData()));
    ASSERT_EQ(PQstatus(admin.get()), CONNECTION_OK) << PQerrorMessage(admin.get());
    EXPECT_EQ(scalar(admin.get(),
                     ("SELECT count(*) FROM pg_database WHERE datname = '" + firstName + "'").constData()),
              "0");
}

TEST(TestServer, ListensOnItsOwnSocketOnlyAndKeepsTextInUtf8) {
    ScratchDatabase db;
    Connection c = db.connect();
    EXPECT_EQ(scalar(c.get(), "SHOW listen_addresses"), QString());
    EXPECT_EQ(scalar(c.get(), "SHOW server_encoding"), QStringLiteral("UTF8"));
}

} // namespace
