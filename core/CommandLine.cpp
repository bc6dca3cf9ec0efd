#include "core/CommandLine.h"

#include <QMap>

namespace {
QMap<QString, CommandFn>& commands() {
    static QMap<QString, CommandFn> map;
    return map;
}
// Options that take a value, so that the value is not taken for a positional argument.
const QStringList kValued = {QStringLiteral("--root"), QStringLiteral("--codepage")};
} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine cl;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QStringLiteral("--root")) {
            if (i + 1 >= arguments.size()) {
                cl.error = QStringLiteral("После --root нужно указать папку");
                return cl;
            }
            cl.root = arguments[++i];
        } else if (a.startsWith(QStringLiteral("--root="))) {
            cl.root = a.mid(7);
        } else if (cl.command.isEmpty() && cl.args.isEmpty() && !a.startsWith(u'-')) {
            cl.command = a;
        } else {
            cl.args << a;
        }
    }
    return cl;
}

QString CommandLine::option(const QString& name) const {
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

QStringList CommandLine::positional() const {
    QStringList out;
    for (int i = 0; i < args.size(); ++i) {
        if (kValued.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QStringLiteral("--")))
            out << args[i];
    }
    return out;
}

void registerCommand(const QString& name, CommandFn fn) { commands().insert(name, std::move(fn)); }
bool isCommand(const QString& name) { return commands().contains(name); }

int runCommand(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.error.isEmpty()) {
        err << cl.error << Qt::endl;
        return 2;
    }
    auto it = commands().find(cl.command);
    if (it == commands().end()) {
        err << QStringLiteral("Неизвестная команда: %1. Команды: %2")
                   .arg(cl.command, commands().keys().join(QStringLiteral(", ")))
            << Qt::endl;
        return 2;
    }
    try {
        return it.value()(cl, out, err);
    } catch (const std::exception& e) {
        err << QString::fromUtf8(e.what()) << Qt::endl;
        return 1;
    }
}
