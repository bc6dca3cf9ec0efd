// What a command prints must reach its file: a full disk or a full device fails the command with
// a Russian sentence on standard error, never exit 0 with the output cut or lost.
#include <gtest/gtest.h>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(CommandOutput, AnOutputThatCannotBeWrittenFailsTheCommand) {
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const QString program = qEnvironmentVariable("ZAJAVKI_PROGRAM");
    QTemporaryDir dir;
    const QString root = dir.filePath("root");
    QProcess demo;
    demo.start(program, {"demo", "--root", root});
    ASSERT_TRUE(demo.waitForFinished(60000));
    ASSERT_EQ(demo.exitCode(), 0);
    const QString table = QDir(qEnvironmentVariable("ZAJAVKI_FIXTURES") + "/paradox/db")
                              .entryInfoList({"*.db", "*.DB"})
                              .value(0)
                              .absoluteFilePath();
    ASSERT_FALSE(table.isEmpty());
    const QList<QStringList> commands{
        {"plan", QString::number(QDate::currentDate().year()), "--csv", "--root", root},
        {"plan", QString::number(QDate::currentDate().year()), "--root", root},
        {"check", "--root", root},
        {"dump", table},
        {"--help"},
    };
    for (const QStringList& args : commands) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(program, args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.endsWith("Не удалось записать вывод команды: на диске нет места.\n"))
            << err.toStdString();
    }
}

} // namespace
