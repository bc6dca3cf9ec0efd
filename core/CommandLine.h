#pragma once
// The commands that run without windows: `zajavki COMMAND [ARGS] [--root DIR]`.
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

struct CommandLine {
    QString command;    // empty: start the program's windows
    QStringList args;   // the command's own arguments, options included, --root removed
    QString root;       // the value of --root, if given
    QString error;      // a malformed command line
    static CommandLine parse(const QStringList& arguments); // arguments without the program name
    bool hasFlag(const QString& flag) const { return args.contains(flag); }
    QString option(const QString& name) const; // the value after `name`, empty when absent
    QStringList positional() const;           // arguments that are neither options nor their values
};

// Runs a command; returns its exit status. Messages go to `err` as one line.
using CommandFn = std::function<int(const CommandLine&, QTextStream& out, QTextStream& err)>;
int runCommand(const CommandLine& cl, QTextStream& out, QTextStream& err);
// Commands register themselves by name (each subsystem adds its own).
void registerCommand(const QString& name, CommandFn fn);
bool isCommand(const QString& name);
