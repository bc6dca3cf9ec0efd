// zajavki: with no command, starts the program's windows; with a command, runs it without windows.
#include "shell/CommandLine.h"
#include "shell/Commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = CommandLine::parse(arguments);
    registerAllCommands();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    if (!cl.command.isEmpty() || !cl.error.isEmpty())
        return runCommand(cl, out, err);
    err << QStringLiteral("Окна программы ещё не готовы") << Qt::endl;
    return 1;
}
