// The shell's own commands.
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/Backups.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxDump.h"
#include "data/SqliteStore.h"
#include "data/TableImport.h"

#include <QDir>
#include <QFileInfo>

namespace {

// zajavki init [--root DIR]: creates the root's folders and a new database with every table.
int runInit(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const RootPaths root = RootPaths::resolve(cl.root);
    if (!root.makeFolders()) {
        err << QStringLiteral("Не удалось создать папки в %1").arg(QDir::toNativeSeparators(root.root()))
            << Qt::endl;
        return 1;
    }
    if (QFileInfo::exists(root.storeFile())) {
        err << QStringLiteral("База данных уже есть: %1").arg(QDir::toNativeSeparators(root.storeFile()))
            << Qt::endl;
        return 1;
    }
    SqliteStore::create(root.storeFile());
    out << QStringLiteral("Создана база данных %1").arg(QDir::toNativeSeparators(root.storeFile()))
        << Qt::endl;
    return 0;
}

// zajavki dump FILE.db [--codepage N]: prints a Paradox table's layout and rows.
int runDumpCommand(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    QStringList args = cl.args;
    return runDump(args, out, err);
}

// zajavki import PATH… [--root DIR] [--replace] [--force]: brings Paradox tables into the store;
// --force takes a table whose .MB file is missing without the memo texts kept there.
int runImport(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList paths = cl.positional();
    if (paths.isEmpty()) {
        err << QStringLiteral(
                   "Укажите файлы таблиц или папку: zajavki import ПУТЬ… [--root ПАПКА] [--replace] "
                   "[--force]")
            << Qt::endl;
        return 2;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    if (!root.makeFolders()) {
        err << QStringLiteral("Не удалось создать папки в %1").arg(QDir::toNativeSeparators(root.root()))
            << Qt::endl;
        return 1;
    }
    const bool hadStore = QFileInfo::exists(root.storeFile());
    auto store = SqliteStore::open(root.storeFile());
    // What the import replaces can be had back from the copy taken first. An import refused (it
    // writes all its tables in one transaction or none) changed nothing, and its copy goes again so
    // that it pushes no earlier copy out.
    Backups backups(root.backups(), store.get(), [] { return QDateTime::currentDateTime(); });
    const QString copy = hadStore ? backups.before(backup_action::kImport) : QString();
    ImportResult result;
    try {
        result = importTables(*store, paths,
                              ImportOptions{cl.hasFlag(QStringLiteral("--replace")),
                                            cl.hasFlag(QStringLiteral("--force")),
                                            {}});
    } catch (...) {
        if (!copy.isEmpty())
            backups.discard(copy);
        throw;
    }
    for (const QString& s : result.skipped)
        out << QStringLiteral("%1: не таблица программы, пропущена").arg(s) << Qt::endl;
    for (const ImportedTable& t : result.tables) {
        out << QStringLiteral("%1: прочитано %2, записано %3")
                   .arg(t.fileName, QString::number(t.rowsRead), QString::number(t.rowsStored))
            << Qt::endl;
        if (!t.missingMemoFile.isEmpty())
            err << QStringLiteral(
                       "Внимание: %1 загружена без файла памяток %2; тексты памяток, которые хранятся в "
                       "нём, не загружены.")
                       .arg(QDir::toNativeSeparators(t.source), t.missingMemoFile)
                << Qt::endl;
    }
    return 0;
}

} // namespace

void registerShellCommands() {
    registerCommand(
        QStringLiteral("init"), runInit,
        {QStringLiteral("создаёт папку программы и пустую базу"), QString(), {}, RootAccess::Create});
    registerCommand(QStringLiteral("dump"), runDumpCommand,
                    {QStringLiteral("печатает таблицу Paradox: её структуру и строки в CSV"),
                     QStringLiteral("ФАЙЛ.db"),
                     {{QStringLiteral("codepage"), QStringLiteral("N"),
                       QStringLiteral("читать тексты в кодовой странице N, а не в указанной в файле")}}});
    registerCommand(
        QStringLiteral("import"), runImport,
        {QStringLiteral("загружает таблицы Paradox прежней программы (папку Base или отдельные файлы)"),
         QStringLiteral("ПУТЬ…"),
         {{QStringLiteral("replace"), QString(),
           QStringLiteral("заменить имеющихся сотрудников, заявки и слушателей")},
          {QStringLiteral("force"), QString(),
           QStringLiteral("загрузить таблицу без её файла памяток (.MB), без текстов памяток")}},
         RootAccess::Create});
}
