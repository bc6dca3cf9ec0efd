#pragma once
// The command line: `zajavki [COMMAND] [ARGS] [--root DIR] [--db URL]`. Without a command the program's
// windows start; with one, the command runs without windows. Each subsystem registers its
// commands with a line of help and its options; the arguments are parsed with
// QCommandLineParser against the chosen command's options, so a mistyped option is refused.
//
//   registerCommand("export", runExport,
//                   {"выгружает заявку файлом для учебного центра", "НОМЕР ГОД ФАЙЛ",
//                    {{"force", {}, "заменить имеющийся файл"}}});
#include <functional>
#include <QDate>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTextStream>

// An option of a command, without its dashes: a flag when it takes no value.
struct CommandOption {
    QString name;        // "force", "codepage"
    QString valueName;   // "N"; empty for a flag
    QString description; // one line, Russian
};

// What a command does with the root folder, and so how it holds the root's lock (core/RootLock.h)
// while it runs: not at all, shared with other readers, or alone. A command that creates the root
// makes its Base folder first; the others find no lock to take in a root without one, and report
// the missing database themselves.
enum class RootAccess { None, Read, Write, Create };

struct CommandInfo {
    QString summary;   // one line, Russian: what the command does
    QString arguments; // its positional arguments as the usage line writes them: "НОМЕР ГОД ФАЙЛ"
    QList<CommandOption> options;
    RootAccess access = RootAccess::None;
};

struct CommandLine {
    QString command;      // empty: start the program's windows
    QStringList args;     // the command's own arguments as given, options included, --root removed
    QString root;         // the value of --root, if given
    QString db;           // the value of --db, if given
    QString error;        // a malformed command line, in Russian
    bool help = false;    // --help, -h or `help`: print help instead of running anything
    bool version = false; // --version
    bool manPage = false; // --manpage: the manual page zajavki(1) in roff, made at build time

    // Parses `arguments` (without the program's name) against the registered commands.
    static CommandLine parse(const QStringList& arguments);
    // The server's database the store is on: --db, else the environment's TOVEX_DB; empty for the
    // root's own database file.
    QString serverUrl() const;
    bool hasFlag(const QString& flag) const;               // "--force"
    QString option(const QString& name) const;             // the value of "--codepage"; empty when absent
    QStringList positional() const { return positional_; } // arguments that are not options

private:
    QStringList positional_;
    QSet<QString> flags_;
    QMap<QString, QString> values_;
};

// Runs a command; returns its exit status. Messages go to `err` as one line.
using CommandFn = std::function<int(const CommandLine&, QTextStream& out, QTextStream& err)>;
// Runs what the command line asks for: help, the version or a command. 0 on success, 1 when the
// work failed, 2 for a malformed command line.
int runCommand(const CommandLine& cl, QTextStream& out, QTextStream& err);
// Commands register themselves by name (each subsystem adds its own).
void registerCommand(const QString& name, CommandFn fn, CommandInfo info = {});
bool isCommand(const QString& name);
// The program's help: its commands, one line each; or one command's usage and options.
QString generalHelp();
QString commandHelp(const QString& name);
// "zajavki 3.0.0.3"
QString versionText();
// "3.0.0.3": the one version of the program, its package and its About window.
QString versionNumber();
// The day this version was released.
QDate releaseDate();
// The registered commands, by name, and what each registered.
QStringList commandNames();
CommandInfo commandInfo(const QString& name);
// The options every command takes (--root, --db).
QList<CommandOption> commonOptions();
// "--name VALUE"
QString optionUsage(const CommandOption& option);
