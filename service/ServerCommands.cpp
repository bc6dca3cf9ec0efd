// Commands that move an office's data onto a database server and back.
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/DbError.h"
#include "data/FieldCaptions.h"
#include "data/PgStore.h"
#include "data/SqliteStore.h"
#include "data/StoreCopy.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// zajavki server-init URL [--from ROOT]: the program's tables made on an empty database of the
// server and the folder's data copied into them, in one transaction, kept only when every table
// holds on the server what it holds in the folder.
int runServerInit(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 1) {
        err << QStringLiteral("Нужно: zajavki server-init АДРЕС [--from ПАПКА], например "
                              "zajavki server-init postgresql://сервер/zajavki --from ~/Заявки")
            << Qt::endl;
        return 2;
    }
    const QString from = cl.option(QStringLiteral("--from"));
    const RootPaths root = RootPaths::resolve(from.isEmpty() ? cl.root : from);
    if (!QFileInfo::exists(root.storeFile())) {
        err << QStringLiteral("Нет базы данных %1: переносить нечего").arg(shown(root.storeFile()))
            << Qt::endl;
        return 1;
    }
    if (const QString problem = SqliteStore::checkFile(root.storeFile()); !problem.isEmpty()) {
        err << problem << Qt::endl;
        return 1;
    }
    const auto source = SqliteStore::open(root.storeFile());
    const auto server = PgStore::open(args[0], {}, false);
    {
        Store::Transaction tx(*server);
        server->createSchema();
        copyRows(*source, *server);
        if (const QString differs = compareStores(*source, *server); !differs.isEmpty())
            throw DbError(
                QStringLiteral("Данные на сервере не совпали с данными папки (%1); ничего не перенесено.")
                    .arg(differs));
        tx.commit();
    }
    for (const TableLayout& t : layouts::all())
        out << QStringLiteral("%1: строк %2").arg(t.fileName).arg(server->summarize(t.sqlName).rows)
            << Qt::endl;
    out << QStringLiteral("Данные из %1 перенесены в базу данных %2; число строк и контрольные суммы всех "
                          "таблиц совпали.")
               .arg(shown(root.storeFile()), server->displayPath())
        << Qt::endl;
    return 0;
}

// zajavki server-copy URL FILE: the server's data written into a new store file of the program's
// own kind, as one snapshot; such a file is a copy that restore-backup takes and a folder can work on.
int runServerCopy(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 2) {
        err << QStringLiteral("Нужно: zajavki server-copy АДРЕС ФАЙЛ") << Qt::endl;
        return 2;
    }
    const QString target = QFileInfo(args[1]).absoluteFilePath();
    const auto server = PgStore::open(args[0]);
    server->backupTo(target);
    out << QStringLiteral("Данные базы данных %1 записаны в %2").arg(server->displayPath(), shown(target))
        << Qt::endl;
    return 0;
}

} // namespace

void registerServerCommands() {
    registerCommand(QStringLiteral("server-init"), runServerInit,
                    {QStringLiteral("создаёт таблицы программы в пустой базе данных на сервере PostgreSQL и "
                                    "переносит в неё данные папки программы"),
                     QStringLiteral("АДРЕС"),
                     {{QStringLiteral("from"), QStringLiteral("ПАПКА"),
                       QStringLiteral("папка программы, чьи данные переносятся (иначе --root)")}},
                     RootAccess::None});
    registerCommand(QStringLiteral("server-copy"), runServerCopy,
                    {QStringLiteral("записывает данные с сервера в файл базы данных программы (копию)"),
                     QStringLiteral("АДРЕС ФАЙЛ"),
                     {},
                     RootAccess::None});
}
