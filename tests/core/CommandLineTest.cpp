// The command line: parsing, and `init` creating a root without windows.
#include "core/CommandLine.h"
#include "core/Commands.h"
#include "core/RootPaths.h"
#include "support/Printers.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SeparatesTheCommandItsArgumentsAndTheRoot) {
    const CommandLine cl = CommandLine::parse({"export", "116", "--root", "/r", "2026", "out.db", "--force"});
    EXPECT_EQ(cl.command, "export");
    EXPECT_EQ(cl.root, "/r");
    EXPECT_EQ(cl.positional(), (QStringList{"116", "2026", "out.db"}));
    EXPECT_TRUE(cl.hasFlag("--force"));
    EXPECT_TRUE(CommandLine::parse({}).command.isEmpty());
    EXPECT_FALSE(CommandLine::parse({"--root"}).error.isEmpty());
    EXPECT_EQ(CommandLine::parse({"dump", "a.db", "--codepage", "1251"}).option("--codepage"), "1251");
}

TEST(CommandLine, InitCreatesTheRootOnceAndRefusesASecondTime) {
    registerShellCommands();
    QTemporaryDir dir;
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const QString root = dir.path() + "/root";
    EXPECT_EQ(runCommand(CommandLine::parse({"init", "--root", root}), out, err), 0);
    EXPECT_TRUE(QFileInfo::exists(RootPaths(root).storeFile()));
    EXPECT_TRUE(QFileInfo(RootPaths(root).exportDir()).isDir());
    EXPECT_NE(runCommand(CommandLine::parse({"init", "--root", root}), out, err), 0);
    EXPECT_TRUE(errText.contains("уже есть"));
    EXPECT_NE(runCommand(CommandLine::parse({"nonsense"}), out, err), 0);
}

} // namespace
