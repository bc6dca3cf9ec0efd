// `zajavki templates --reset` puts the program's templates back only after the user says yes, and
// moves the office's own templates aside instead of deleting them.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode;
    QString out;
};

Outcome run(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(qEnvironmentVariable("ZAJAVKI_PROGRAM"), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        return {-1, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TemplatesCommand, ResetAsksThenPutsTheProgramsTemplatesBackAndKeepsTheOfficesAside) {
    QTemporaryDir dir;
    const QString root = dir.filePath("office");
    ASSERT_EQ(run({"demo", "--root", root}).exitCode, 0);
    ASSERT_EQ(run({"templates", "--reset", "--root", root}).exitCode, 0) << "nothing to ask about";
    const QString plan = root + "/Templates/Plan.xltx";
    const QByteArray programs = contents(plan);
    ASSERT_FALSE(programs.isEmpty());
    {
        QFile edited(plan);
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
        edited.write("the office's own plan");
    }
    Outcome listed = run({"templates", "--root", root});
    EXPECT_TRUE(listed.out.contains("Plan.xltx — свой шаблон отдела: Plan.xltx")) << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains("Doljn.xltx — как в программе"));

    for (const QByteArray& answer : {QByteArray("нет\n"), QByteArray(), QByteArray("наверное\n")}) {
        const Outcome refused = run({"templates", "--reset", "--root", root}, answer);
        EXPECT_EQ(refused.exitCode, 1) << answer.toStdString();
        EXPECT_TRUE(refused.out.contains("Заменить? (да/нет)"));
        EXPECT_TRUE(refused.out.contains("Шаблоны не изменены."));
        EXPECT_EQ(contents(plan), "the office's own plan");
    }

    const Outcome reset = run({"templates", "--reset", "--root", root}, "да\n");
    EXPECT_EQ(reset.exitCode, 0) << reset.out.toStdString();
    EXPECT_EQ(contents(plan), programs);
    const QStringList aside = QDir(root + "/Backup").entryList({"Шаблоны до *"}, QDir::Dirs);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(contents(root + "/Backup/" + aside[0] + "/Plan.xltx"), "the office's own plan");
    EXPECT_TRUE(reset.out.contains(aside[0])) << reset.out.toStdString();
}

} // namespace
