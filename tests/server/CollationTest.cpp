// The order of texts on the server: PostgreSQL's ICU collation for Russian with capitals first
// ("ru-u-kf-upper") puts the register's texts (names in any case, with Ё, hyphens, blanks and
// numbers) in the order the store's RU collation does, ties broken the same way (Е before Ё,
// capitals before small letters).
#include "data/RuCollation.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>
#include <QStringList>

#include <algorithm>

namespace {

QStringList orderedByTheStore(QStringList texts) {
    std::sort(texts.begin(), texts.end(),
              [](const QString& a, const QString& b) { return ru_collation::compare(a, b) < 0; });
    return texts;
}

QStringList orderedByTheServer(PGconn* c, const QStringList& texts) {
    exec(c, "CREATE COLLATION IF NOT EXISTS ru_store (provider = icu, locale = 'ru-u-kf-upper')");
    exec(c, "CREATE TEMP TABLE words (w text)");
    for (const QString& t : texts) {
        const QByteArray utf8 = t.toUtf8();
        const char* values[] = {utf8.constData()};
        PGresult* r =
            PQexecParams(c, "INSERT INTO words VALUES ($1)", 1, nullptr, values, nullptr, nullptr, 0);
        EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQerrorMessage(c);
        PQclear(r);
    }
    PGresult* r = PQexec(c, "SELECT w FROM words ORDER BY w COLLATE ru_store");
    QStringList out;
    for (int i = 0; i < PQntuples(r); ++i)
        out << QString::fromUtf8(PQgetvalue(r, i, 0));
    PQclear(r);
    return out;
}

TEST(ServerCollation, OrdersTheRegistersTextsAsTheStoreDoes) {
    const QStringList texts{
        "ёлкина",
        "Ёлкина",
        "ЁЛКИНА",
        "ЕЛКИНА",
        "елкина",
        "Елкина",
        "ЕЛКИН",
        "ЕЛКИН-ПЕТРОВ",
        "ЕЛКИН ПЕТРОВ",
        "ЕЛКИНАЯ",
        "ИВАНОВ",
        "иванов",
        "ИВАНОВ2",
        "ИВАНОВ 10",
        "ИВАНОВ 9",
        "Врач-хирург",
        "ВРАЧ-ТЕРАПЕВТ",
        "врач терапевт",
        "Сестринское дело",
        "сестринское дело в педиатрии",
        "ЯКОВЛЕВА",
        "АБРАМОВ",
        "ъ",
        "Щукин",
        "ШУКИН",
        "",
        "Ё",
        "Е",
        "е",
        "ё",
    };
    ScratchDatabase db;
    Connection c = db.connect();
    EXPECT_EQ(orderedByTheServer(c.get(), texts), orderedByTheStore(texts));
}

} // namespace
