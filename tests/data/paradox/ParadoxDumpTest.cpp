// The dump command: the layout lines, CSV with RFC 4180 quoting, and one-line refusals.
#include "ParadoxTestSupport.h"

#include "data/Layout.h"
#include "data/paradox/ParadoxDump.h"
#include "data/paradox/ParadoxWriter.h"

#include <QTemporaryDir>

using namespace paradoxtest;

namespace {

struct DumpResult {
    int code;
    QString out;
    QString err;
};

DumpResult dump(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int code = runDump(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

TEST(ParadoxDump, WrittenTableShowsLayoutThenCsv) {
    const TableLayout& layout = layouts::tempZ2023();
    QVariantList row(layout.fields.size());
    row[0] = 7.5;
    row[1] = QStringLiteral("Иванов");
    row[2] = QStringLiteral("Пётр, \"младший\"");
    row[5] = 3;
    row[6] = QDate(1980, 5, 17);
    row[15] = QStringLiteral("две\nстроки");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TempZ2023.db"));
    writeParadoxTable(path, layout, {row, QVariantList(layout.fields.size())});

    const DumpResult r = dump({path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    QString expected = QStringLiteral("# таблица: TempZ2023.db\n"
                                      "# версия файла: 7 (0x0C)\n"
                                      "# кодовая страница: 1251\n"
                                      "# записей: 2\n");
    QStringList names;
    for (const FieldDef& f : layout.fields) {
        expected += QStringLiteral("# поле: %1 %2\n").arg(f.name, typeCode(f));
        names << f.name;
    }
    expected += names.join(u',') + u'\n';
    expected +=
        QStringLiteral("7.5,Иванов,\"Пётр, \"\"младший\"\"\",,,3,17.05.1980,,,,,,,,,\"две\nстроки\",,,\n");
    expected += QString(layout.fields.size() - 1, u',') + u'\n';
    EXPECT_EQ(r.out, expected);
}

TEST(ParadoxDump, SampleTableWithEveryKindOfValue) {
    struct Case {
        const char* file;
        const char* line; // a line the dump must hold
    };
    const Case cases[] = {
        {"fields/date5.db", "01.02.2018,10:30:00"},
        {"fields/timestamp.db", "01.02.2020 01:00:01"},
        {"fields/logical.db", "# поле: BOOL L"},
        {"fields/bcd.db", "-1.23,-1,-0.123"},
        {"fields/bytes.db", "# поле: BYTES Y 255"},
        {"db/GENERAL.DB", "# кодовая страница: 936"},
        {"db/CUSTOMER.DB", "# поле: Comments M 100"},
        {"db/ROMAN8.db", "# кодовая страница: 437 (в файле: 0)"},
    };
    for (const Case& c : cases) {
        const DumpResult r = dump({fixture(QString::fromLatin1(c.file))});
        EXPECT_EQ(r.code, 0) << c.file;
        EXPECT_TRUE(r.out.split(u'\n').contains(QString::fromUtf8(c.line))) << c.file << "\n"
                                                                            << r.out.toStdString();
    }
}

TEST(ParadoxDump, ATableWithoutItsBlobFileIsShownWithOneWarning) {
    const DumpResult whole = dump({fixture(QStringLiteral("db/CUSTOMER.DB"))});
    ASSERT_EQ(whole.code, 0);
    EXPECT_TRUE(whole.err.isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CUSTOMER.DB"));
    writeBytes(path, readBytes(fixture(QStringLiteral("db/CUSTOMER.DB"))));
    const DumpResult r = dump({path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err,
              QStringLiteral("Внимание: рядом с таблицей CUSTOMER.DB нет её файла памяток CUSTOMER.MB; "
                             "тексты памяток, которые хранятся в нём, показаны пустыми.\n"));
    // The same layout and rows; the memo kept in the record is there, those in the .MB are not.
    const QStringList lines = r.out.split(u'\n');
    const QStringList wholeLines = whole.out.split(u'\n');
    EXPECT_EQ(lines.mid(0, 15), wholeLines.mid(0, 15));
    EXPECT_TRUE(r.out.contains(QStringLiteral(",Small comment (less 100 symbols),")));
    EXPECT_TRUE(whole.out.contains(QStringLiteral("The PARADOX File Structure")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("The PARADOX File Structure")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("# записей: 20\n")));
}

TEST(ParadoxDump, CodePageOptionOverridesTheFile) {
    for (const QStringList& args :
         {QStringList{fixture(QStringLiteral("db/ROMAN8.db")), QStringLiteral("--codepage"),
                      QStringLiteral("1252")},
          QStringList{QStringLiteral("--codepage=1252"), fixture(QStringLiteral("db/ROMAN8.db"))}}) {
        const DumpResult r = dump(args);
        ASSERT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.contains(QStringLiteral("# кодовая страница: 1252 (в файле: 0)\n")));
        EXPECT_TRUE(r.out.endsWith(QStringLiteral("A\nëø¾ô\n")));
    }
}

TEST(ParadoxDump, RefusalsAreOneLineOnErrAndNonZero) {
    struct Case {
        QStringList args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{fixture(QStringLiteral("encrypted/encrypted.db"))}, 1, "Файл encrypted.db защищён паролем"},
        {{fixture(QStringLiteral("db/CUSTOMER.PX"))}, 1, "Файл CUSTOMER.PX не является таблицей Paradox"},
        {{}, 2, "dump: не указан файл таблицы"},
        {{QStringLiteral("a.db"), QStringLiteral("--codepage")}, 2, "после --codepage нужен номер"},
        {{QStringLiteral("a.db"), QStringLiteral("--codepage"), QStringLiteral("x")},
         2,
         "недопустимый номер кодовой страницы"},
        {{QStringLiteral("a.db"), QStringLiteral("--verbose")}, 2, "неизвестный параметр --verbose"},
        {{fixture(QStringLiteral("db/ROMAN8.db")), QStringLiteral("--codepage"), QStringLiteral("4")},
         1,
         "кодовая страница 4 не поддерживается"},
    };
    for (const Case& c : cases) {
        const DumpResult r = dump(c.args);
        EXPECT_EQ(r.code, c.code) << c.message;
        EXPECT_TRUE(r.out.isEmpty()) << c.message;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
    }
}

} // namespace
