// Backup commands for scripts: a copy of the store now, and a copy put in the store's place.
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/Backups.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/ServerSettings.h"
#include "data/SqliteStore.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

Backups::Now systemNow() {
    return [] { return QDateTime::currentDateTime(); };
}

// Both commands work on the root's database, which must be there; the root's lock is theirs
// already (they are registered as writing it). 0 when it is there, else the exit status with the
// message written.
int needStore(const RootPaths& root, QTextStream& err) {
    if (!QFileInfo::exists(root.storeFile())) {
        err << QStringLiteral("Нет базы данных %1").arg(shown(root.storeFile())) << Qt::endl;
        return 1;
    }
    return 0;
}

// The server's database when one is chosen (--db, TOVEX_DB, the folder's parameters); null for the
// root's file.
std::unique_ptr<Store> chosenServer(const CommandLine& cl) {
    const QString url = ServerSettings::startUrl(cl.serverUrl(), RootPaths::resolve(cl.root));
    return url.isEmpty() ? nullptr : std::unique_ptr<Store>(PgStore::open(url));
}

// zajavki backup [--root DIR] [--db URL]: a copy of the store in the root's Backup folder.
int runBackup(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.positional().isEmpty()) {
        err << QStringLiteral("Лишние аргументы команды backup: %1").arg(cl.positional().join(u' '))
            << Qt::endl;
        return 2;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    std::unique_ptr<Store> store = chosenServer(cl);
    if (!store) {
        if (const int status = needStore(root, err))
            return status;
        store = SqliteStore::open(root.storeFile());
    }
    const QString copy = Backups(root.backups(), store.get(), systemNow()).before(backup_action::kManual);
    out << QStringLiteral("Резервная копия: %1").arg(shown(copy)) << Qt::endl;
    return 0;
}

// zajavki restore-backup FILE [--root DIR]: the copy FILE in the store's place, the store as it
// was kept as a copy first. A store too damaged to open is moved into the Backup folder instead.
int runRestoreBackup(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 1) {
        err << QStringLiteral("Нужно: zajavki restore-backup ФАЙЛ [--root ПАПКА]") << Qt::endl;
        return 2;
    }
    const QString copy = QFileInfo(args[0]).absoluteFilePath();
    if (const QString problem = SqliteStore::checkFile(copy); !problem.isEmpty()) {
        err << QStringLiteral("Эту копию нельзя восстановить. %1").arg(problem) << Qt::endl;
        return 1;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    if (const std::unique_ptr<Store> server = chosenServer(cl)) {
        const QString before = Backups(root.backups(), server.get(), systemNow()).restore(copy, nullptr);
        out << QStringLiteral("База данных %1 восстановлена из %2; прежние данные сохранены в %3")
                   .arg(server->displayPath(), shown(copy), shown(before))
            << Qt::endl;
        return 0;
    }
    if (const int status = needStore(root, err))
        return status;
    // Only a store SQLite finds damaged is moved aside; a busy or write-protected one is reported
    // (thrown) and stays where it is.
    SqliteStore::Checked checked = SqliteStore::openChecked(root.storeFile(), SqliteStore::Access::Shared);
    if (checked.damage.isEmpty()) {
        const QString before =
            Backups(root.backups(), checked.store.get(), systemNow()).restore(copy, nullptr);
        out << QStringLiteral("База данных восстановлена из %1; прежняя база сохранена в %2")
                   .arg(shown(copy), shown(before))
            << Qt::endl;
    } else {
        const QString moved =
            Backups(root.backups(), nullptr, systemNow()).restoreDamaged(copy, root.storeFile());
        out << QStringLiteral("База данных восстановлена из %1; повреждённая база перенесена в %2")
                   .arg(shown(copy), shown(moved))
            << Qt::endl;
    }
    return 0;
}

// zajavki check [--root DIR]: SQLite's full check of the store, the layout of every table and
// each table's rows with a checksum of their contents, for an administrator or a script to see
// that the store is sound and to compare it with another.
int runCheck(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.positional().isEmpty()) {
        err << QStringLiteral("Лишние аргументы команды check: %1").arg(cl.positional().join(u' '))
            << Qt::endl;
        return 2;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    std::unique_ptr<Store> store = chosenServer(cl);
    if (!store) {
        if (const int status = needStore(root, err))
            return status;
        SqliteStore::Checked checked =
            SqliteStore::openChecked(root.storeFile(), SqliteStore::Access::Shared);
        QString damage = checked.damage;
        if (damage.isEmpty())
            damage = checked.store->integrityCheck();
        if (!damage.isEmpty()) {
            err << QStringLiteral("База данных %1 повреждена: %2").arg(shown(root.storeFile()), damage)
                << Qt::endl;
            return 1;
        }
        store = std::move(checked.store);
    }
    QStringList problems;
    for (const TableLayout& t : layouts::all()) {
        if (const QString problem = store->layoutError(t.sqlName); !problem.isEmpty()) {
            problems << problem;
            continue;
        }
        const Store::TableSummary summary = store->summarize(t.sqlName);
        out << QStringLiteral("%1: строк %2, контрольная сумма %3")
                   .arg(t.fileName, QString::number(summary.rows), QString::fromLatin1(summary.checksum))
            << Qt::endl;
    }
    for (const QString& problem : problems)
        err << problem << Qt::endl;
    if (!problems.isEmpty())
        return 1;
    out << QStringLiteral("База данных %1 исправна.").arg(store->displayPath()) << Qt::endl;
    return 0;
}

} // namespace

void registerBackupCommands() {
    registerCommand(QStringLiteral("backup"), runBackup,
                    {QStringLiteral("делает резервную копию базы данных в папке Backup"),
                     QString(),
                     {},
                     RootAccess::Write});
    registerCommand(
        QStringLiteral("restore-backup"), runRestoreBackup,
        {QStringLiteral("заменяет базу данных резервной копией (прежняя база сохраняется копией)"),
         QStringLiteral("ФАЙЛ"),
         {},
         RootAccess::Write});
    registerCommand(QStringLiteral("check"), runCheck,
                    {QStringLiteral("проверяет базу данных: её целостность, устройство таблиц, число строк и "
                                    "контрольную сумму каждой таблицы"),
                     QString(),
                     {},
                     RootAccess::Read});
}
