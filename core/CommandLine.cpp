#include "core/CommandLine.h"

#include "core/ManPage.h"
#include "core/PrivateFiles.h"
#include "core/RootLock.h"
#include "core/RootPaths.h"
#include "core/SystemText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZAJAVKI_VERSION
#define ZAJAVKI_VERSION "0"
#define ZAJAVKI_RELEASE_DATE "2000-01-01"
#endif

namespace {

struct Registered {
    CommandFn fn;
    CommandInfo info;
};

QMap<QString, Registered>& commands() {
    static QMap<QString, Registered> map;
    return map;
}

const QString kProgram = QStringLiteral("zajavki");
CommandOption rootOption() {
    return {QStringLiteral("root"), QStringLiteral("ПАПКА"),
            QStringLiteral("папка программы (иначе TOVEX_ROOT или %1)")
                .arg(QDir::toNativeSeparators(RootPaths::defaultRoot()))};
}

CommandOption dbOption() {
    return {QStringLiteral("db"), QStringLiteral("АДРЕС"),
            QStringLiteral("база данных на сервере PostgreSQL, postgresql://сервер/база (иначе TOVEX_DB, "
                           "иначе сервер из параметров папки; без них — база данных в папке программы)")};
}

// The options every command line may carry, with a value each.
bool isCommonOption(const QString& a) {
    return a == QStringLiteral("--root") || a == QStringLiteral("--db");
}
bool isCommonOptionWithValue(const QString& a) {
    return a.startsWith(QStringLiteral("--root=")) || a.startsWith(QStringLiteral("--db="));
}

QString dashed(const CommandOption& o) {
    return QStringLiteral("--") + o.name + (o.valueName.isEmpty() ? QString() : u' ' + o.valueName);
}

// The options a command line may carry: the common ones and those of its command.
QList<CommandOption> optionsOf(const QString& command) {
    QList<CommandOption> options{rootOption(), dbOption()};
    const auto it = commands().constFind(command);
    if (it != commands().constEnd())
        options += it->info.options;
    return options;
}

// The command is the first word that is neither an option nor the value of one.
QString findCommand(const QStringList& arguments) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (isCommonOption(a)) {
            ++i;
            continue;
        }
        if (!a.startsWith(u'-'))
            return a;
    }
    return {};
}

// Takes the root's lock as the command's access asks; empty when the command may run.
QString takeRoot(RootLock& lock, const CommandLine& cl, RootAccess access) {
    if (access == RootAccess::None)
        return {};
    const RootPaths root = RootPaths::resolve(cl.root);
    if (access == RootAccess::Create && !QDir().mkpath(root.base()))
        return QStringLiteral("Не удалось создать папку %1. Проверьте права доступа к ней.")
            .arg(QDir::toNativeSeparators(root.base()));
    if (!QFileInfo(root.base()).isDir())
        return {};
    return lock.acquire(access == RootAccess::Read ? RootLock::Mode::Shared : RootLock::Mode::Exclusive,
                        RootLock::commandHolder(cl.command));
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine cl;
    cl.command = findCommand(arguments);
    if (cl.command == QStringLiteral("help")) {
        cl.help = true;
        const int at = arguments.indexOf(cl.command);
        cl.command = findCommand(arguments.mid(at + 1));
        return cl;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    QCommandLineOption manPage(QStringLiteral("manpage"));
    manPage.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(manPage);
    const QList<CommandOption> options = optionsOf(cl.command);
    for (const CommandOption& o : options)
        parser.addOption(QCommandLineOption(o.name, o.description, o.valueName));
    if (!parser.parse(QStringList{kProgram} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            cl.error =
                cl.command.isEmpty()
                    ? QStringLiteral("Неизвестный параметр «%1». Список команд: zajavki --help")
                          .arg(unknown.first())
                    : QStringLiteral("Неизвестный параметр «%1» команды %2. Её параметры: zajavki %2 --help")
                          .arg(unknown.first(), cl.command);
        else
            cl.error = QStringLiteral("Неверная командная строка: после параметра нужно указать его значение "
                                      "(например, --root ПАПКА)");
        return cl;
    }
    cl.help = parser.isSet(help);
    cl.version = parser.isSet(version);
    cl.manPage = parser.isSet(manPage);
    for (const CommandOption& o : options) {
        if (!parser.isSet(o.name))
            continue;
        if (o.valueName.isEmpty()) {
            cl.flags_.insert(o.name);
            continue;
        }
        const QString value = parser.value(o.name);
        if (value.isEmpty()) {
            cl.error = QStringLiteral("После --%1 нужно указать значение (--%1 %2)").arg(o.name, o.valueName);
            return cl;
        }
        cl.values_.insert(o.name, value);
    }
    cl.root = cl.values_.value(QStringLiteral("root"));
    cl.db = cl.values_.value(QStringLiteral("db"));
    cl.positional_ = parser.positionalArguments();
    if (!cl.command.isEmpty())
        cl.positional_.removeFirst();

    // The command's own words as given, without the command, --root and --db, for commands that
    // read them themselves.
    bool commandSeen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (isCommonOption(a)) {
            ++i;
        } else if (isCommonOptionWithValue(a)) {
        } else if (!commandSeen && a == cl.command) {
            commandSeen = true;
        } else {
            cl.args << a;
        }
    }
    return cl;
}

QString CommandLine::serverUrl() const {
    return db.isEmpty() ? qEnvironmentVariable("TOVEX_DB") : db;
}

bool CommandLine::hasFlag(const QString& flag) const {
    QString name = flag;
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return flags_.contains(name);
}

QString CommandLine::option(const QString& name) const {
    QString key = name;
    while (key.startsWith(u'-'))
        key.remove(0, 1);
    return values_.value(key);
}

void registerCommand(const QString& name, CommandFn fn, CommandInfo info) {
    commands().insert(name, Registered{std::move(fn), std::move(info)});
}

bool isCommand(const QString& name) {
    return commands().contains(name);
}

QString versionNumber() {
    return QStringLiteral(ZAJAVKI_VERSION);
}

QDate releaseDate() {
    return QDate::fromString(QStringLiteral(ZAJAVKI_RELEASE_DATE), Qt::ISODate);
}

QString versionText() {
    return kProgram + u' ' + versionNumber();
}

QStringList commandNames() {
    return commands().keys();
}

CommandInfo commandInfo(const QString& name) {
    return commands().value(name).info;
}

QList<CommandOption> commonOptions() {
    return {rootOption(), dbOption()};
}

QString optionUsage(const CommandOption& option) {
    return dashed(option);
}

QString generalHelp() {
    QStringList lines{
        QStringLiteral("%1 — заявки на обучение персонала.").arg(versionText()),
        QStringLiteral("Использование: zajavki [КОМАНДА] [АРГУМЕНТЫ] [--root ПАПКА] [--db АДРЕС]"),
        QStringLiteral("Без команды запускает программу на папке программы."),
        QString(),
        QStringLiteral("Команды:"),
    };
    int width = 0;
    for (auto it = commands().cbegin(); it != commands().cend(); ++it)
        width = std::max(width, int(it.key().size()));
    for (auto it = commands().cbegin(); it != commands().cend(); ++it)
        lines << QStringLiteral("  ") + it.key().leftJustified(width + 2) + it->info.summary;
    lines << QString() << QStringLiteral("Общие параметры:")
          << QStringLiteral("  --root ПАПКА   ") + rootOption().description
          << QStringLiteral("  --db АДРЕС     ") + dbOption().description
          << QStringLiteral("  --help, -h     эта справка; zajavki КОМАНДА --help — аргументы команды")
          << QStringLiteral("  --version      версия программы");
    return lines.join(u'\n');
}

QString commandHelp(const QString& name) {
    const auto it = commands().constFind(name);
    if (it == commands().constEnd())
        return {};
    const CommandInfo& info = it->info;
    QString usage = QStringLiteral("Использование: zajavki ") + name;
    if (!info.arguments.isEmpty())
        usage += u' ' + info.arguments;
    const QList<CommandOption> options = optionsOf(name);
    for (const CommandOption& o : options)
        usage += QStringLiteral(" [") + dashed(o) + u']';
    QStringList lines{usage};
    if (!info.summary.isEmpty())
        lines << info.summary.left(1).toUpper() + info.summary.mid(1) + u'.';
    int width = 0;
    for (const CommandOption& o : options)
        width = std::max(width, int(dashed(o).size()));
    lines << QString() << QStringLiteral("Параметры:");
    for (const CommandOption& o : options)
        lines << QStringLiteral("  ") + dashed(o).leftJustified(width + 2) + o.description;
    return lines.join(u'\n');
}

int runCommand(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.error.isEmpty()) {
        err << cl.error << Qt::endl;
        return 2;
    }
    if (cl.version) {
        out << versionText() << Qt::endl;
        return 0;
    }
    if (cl.manPage) {
        out << manualPage();
        return 0;
    }
    if (!cl.command.isEmpty() && !commands().contains(cl.command)) {
        err << QStringLiteral("Неизвестная команда «%1». Команды: %2. Справка: zajavki --help")
                   .arg(cl.command, commands().keys().join(QStringLiteral(", ")))
            << Qt::endl;
        return 2;
    }
    if (cl.help) {
        out << (cl.command.isEmpty() ? generalHelp() : commandHelp(cl.command)) << Qt::endl;
        return 0;
    }
    const Registered& command = commands()[cl.command];
    RootLock lock(RootPaths::resolve(cl.root));
    if (const QString why = takeRoot(lock, cl, command.info.access); !why.isEmpty()) {
        err << why << Qt::endl;
        return 1;
    }
    if (command.info.access != RootAccess::None)
        if (const QString narrowed = private_files::narrowRoot(RootPaths::resolve(cl.root));
            !narrowed.isEmpty())
            err << narrowed << Qt::endl;
    try {
        return command.fn(cl, out, err);
    } catch (const std::exception& e) {
        err << exceptionText(e) << Qt::endl;
        return 1;
    }
}
