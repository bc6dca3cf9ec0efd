// The command line: parsing against the registered commands, help and version, and `init`
// creating a root without windows.
#include "core/CommandLine.h"
#include "app/Registration.h"
#include "core/RootPaths.h"
#include "support/FileSizeLimit.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct CommandLineTest : ::testing::Test {
    QString outText, errText;
    static void SetUpTestSuite() {
        registerShellCommands();
        registerServiceCommands();
        registerApplicationCommands();
        registerDocumentCommands();
    }
    int run(const QStringList& args) {
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        return runCommand(CommandLine::parse(args), out, err);
    }
};

TEST_F(CommandLineTest, SeparatesTheCommandItsArgumentsAndTheRoot) {
    const CommandLine cl = CommandLine::parse({"export", "116", "--root", "/r", "2026", "out.db", "--force"});
    EXPECT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.command, "export");
    EXPECT_EQ(cl.root, "/r");
    EXPECT_EQ(cl.positional(), (QStringList{"116", "2026", "out.db"}));
    EXPECT_TRUE(cl.hasFlag("--force"));
    EXPECT_TRUE(CommandLine::parse({}).command.isEmpty());
    EXPECT_EQ(CommandLine::parse({"--root=/x"}).root, "/x");
    EXPECT_EQ(CommandLine::parse({"dump", "a.db", "--codepage", "1251"}).option("--codepage"), "1251");
    EXPECT_EQ(CommandLine::parse({"dump", "a.db", "--codepage", "1251"}).positional(), QStringList{"a.db"});
}

// The server's database: --db, else TOVEX_DB, else none (the root's file).
TEST_F(CommandLineTest, TheServerIsTheDbOptionElseTheEnvironment) {
    qunsetenv("TOVEX_DB");
    const CommandLine withDb =
        CommandLine::parse({"--db", "postgresql://s/b", "export", "116", "2026", "f.db"});
    EXPECT_TRUE(withDb.error.isEmpty()) << withDb.error.toStdString();
    EXPECT_EQ(withDb.command, "export");
    EXPECT_EQ(withDb.serverUrl(), "postgresql://s/b");
    EXPECT_EQ(withDb.args, (QStringList{"116", "2026", "f.db"}));
    EXPECT_EQ(CommandLine::parse({"export", "1", "2", "f"}).serverUrl(), "");
    qputenv("TOVEX_DB", "postgresql://env/b");
    EXPECT_EQ(CommandLine::parse({"export", "1", "2", "f"}).serverUrl(), "postgresql://env/b");
    EXPECT_EQ(CommandLine::parse({"--db=postgresql://s/b"}).serverUrl(), "postgresql://s/b");
    qunsetenv("TOVEX_DB");
}

// A malformed command line is refused with a Russian line and status 2, never run half-understood.
TEST_F(CommandLineTest, RefusesMalformedCommandLines) {
    const struct {
        QStringList args;
        const char* saying;
    } cases[] = {
        {{"--root"}, "--root"},
        {{"--root="}, "--root"},            // an empty root is not the default root
        {{"init", "--root", ""}, "--root"}, //
        {{"export", "1", "2", "f.db", "--forse"}, "«forse»"},
        {{"--frobnicate"}, "«frobnicate»"},
        {{"nonsense"}, "«nonsense»"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(errText.contains(QString::fromUtf8(c.saying))) << errText.toStdString();
        EXPECT_TRUE(outText.isEmpty());
    }
}

TEST_F(CommandLineTest, HelpListsEveryCommandAndEachCommandItsArguments) {
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"}}) {
        ASSERT_EQ(run(args), 0) << args.join(' ').toStdString();
        for (const char* command : {"init", "demo", "dump", "import", "export", "print"})
            EXPECT_TRUE(outText.contains(QStringLiteral("  %1 ").arg(QString::fromLatin1(command))))
                << command << '\n'
                << outText.toStdString();
    }
    for (const QStringList& args : {QStringList{"export", "--help"}, QStringList{"help", "export"}}) {
        ASSERT_EQ(run(args), 0);
        EXPECT_TRUE(outText.startsWith(
            "Использование: zajavki export НОМЕР ГОД ФАЙЛ [--root ПАПКА] [--db АДРЕС] [--force]"))
            << outText.toStdString();
        EXPECT_TRUE(outText.contains("заменить имеющийся файл"));
    }
    ASSERT_EQ(run({"--version"}), 0);
    EXPECT_EQ(outText.trimmed(), "zajavki 3.0.0.3");
}

// The manual page is the help in roff: every command with its arguments and options, the same
// for every user, and groff reads it without a warning.
TEST_F(CommandLineTest, TheManualPageIsTheHelpInRoff) {
    ASSERT_EQ(run({"--manpage"}), 0);
    const QString page = outText;
    EXPECT_TRUE(page.startsWith(".TH ZAJAVKI 1 \"\" \"zajavki 3.0.0.3\""));
    for (const QString& name : commandNames())
        EXPECT_TRUE(page.contains(".TP\n\\fB" + name + "\\fR")) << name.toStdString();
    EXPECT_TRUE(page.contains("\\fBexport\\fR \\fIНОМЕР ГОД ФАЙЛ\\fR"));
    EXPECT_TRUE(page.contains(".B \\-\\-force\nЗаменить имеющийся файл."));
    EXPECT_FALSE(page.contains(QDir::homePath() + "/")) << "the page names ~, not this user's home";
    EXPECT_FALSE(generalHelp().contains("--manpage")) << "a switch for the build, not for the user";

    const QString groff = QStandardPaths::findExecutable("groff");
    if (groff.isEmpty())
        return;
    QProcess render;
    render.start(groff, {"-man", "-Tutf8", "-ww", "-z", "-K", "utf8"});
    render.write(page.toUtf8());
    render.closeWriteChannel();
    ASSERT_TRUE(render.waitForFinished(30000));
    EXPECT_EQ(render.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(render.readAllStandardError()), QString());
}

TEST_F(CommandLineTest, InitCreatesTheRootOnceAndRefusesASecondTime) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/root";
    EXPECT_EQ(run({"init", "--root", root}), 0);
    EXPECT_TRUE(QFileInfo::exists(RootPaths(root).storeFile()));
    EXPECT_TRUE(QFileInfo(RootPaths(root).exportDir()).isDir());
    EXPECT_NE(run({"init", "--root", root}), 0);
    EXPECT_TRUE(errText.contains("уже есть"));
}

// A disk that fills while the database is made: init fails saying so, leaves no database or part
// of one behind, and the next init, with room again, makes it.
TEST_F(CommandLineTest, InitOnAFullDiskLeavesNothingAndCanBeRepeated) {
    // An empty database takes some 156 KB: the disk fills at its start, in its middle and at its last page.
    for (const rlim_t room : {rlim_t(0), rlim_t(4096), rlim_t(80 * 1024), rlim_t(152 * 1024)}) {
        SCOPED_TRACE(room);
        QTemporaryDir dir;
        const RootPaths root(dir.path() + "/root");
        int status = 0;
        {
            FileSizeLimit full(room);
            if (!full.active())
                GTEST_SKIP() << "the size of written files cannot be limited here";
            status = run({"init", "--root", root.root()});
        }
        EXPECT_EQ(status, 1);
        EXPECT_FALSE(errText.isEmpty());
        QStringList left = QDir(root.base()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll("zajavki.lock");
        EXPECT_EQ(left, QStringList{}) << "nothing of the database is left";
        EXPECT_EQ(run({"init", "--root", root.root()}), 0) << errText.toStdString();
        EXPECT_TRUE(QFileInfo::exists(root.storeFile()));
    }
}

} // namespace
