// Commands that move an office's data onto a database server and back.
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/ChangeLog.h"
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
        server->createSchema([&] {
            copyRows(*source, *server);
            change_log::copy(*source, *server);
        });
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

// zajavki server-user add NAME [--read-only]: the SQL that lets a clerk's login role work with the
// program's databases on the server, printed for the administrator, or run on the server of --db
// (or TOVEX_DB) by an administrator's connection.
int runServerUser(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 2 || args[0] != QLatin1String("add")) {
        err << QStringLiteral("Нужно: zajavki server-user add ИМЯ [--read-only] [--db АДРЕС]") << Qt::endl;
        return 2;
    }
    const QString name = args[1];
    const bool controlCharacter =
        std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (name.trimmed() != name || name.isEmpty() || name.size() > 63 || controlCharacter) {
        err << QStringLiteral(
                   "Имя пользователя «%1» не подходит: нужно от 1 до 63 знаков без пробелов по краям.")
                   .arg(name)
            << Qt::endl;
        return 2;
    }
    const bool readOnly = cl.hasFlag(QStringLiteral("--read-only"));
    const QString sql = PgStore::serverUserSql(name, readOnly);
    const QString url = cl.serverUrl();
    const QString what =
        readOnly ? QStringLiteral("только просмотр") : QStringLiteral("просмотр и изменение данных");
    if (url.isEmpty()) {
        out << QStringLiteral(
                   "-- Выполните от имени администратора сервера (например, в psql), затем задайте "
                   "пароль: \\password %1\n-- Права: %2.\n")
                   .arg(name, what)
            << sql;
        return 0;
    }
    const auto server = PgStore::open(url, {}, false);
    server->exec(sql);
    out << QStringLiteral(
               "Пользователь %1 создан на сервере %2 (права: %3). Задайте ему пароль: \\password %1 в psql.")
               .arg(name, server->displayPath(), what)
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
    registerCommand(
        QStringLiteral("server-user"), runServerUser,
        {QStringLiteral("печатает (или с --db выполняет на сервере) команды SQL, которые дают "
                        "сотруднику вход в базу данных на сервере"),
         QStringLiteral("add ИМЯ"),
         {{QStringLiteral("read-only"), {}, QStringLiteral("только просмотр, без права изменять данные")}},
         RootAccess::None});
}
