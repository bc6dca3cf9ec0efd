// The shell's own commands.
#include "data/DbError.h"
#include "data/Store.h"
#include "shell/CommandLine.h"
#include "shell/Commands.h"
#include "shell/RootPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// zajavki init [--root DIR]: creates the root's folders and a new database with every table.
int runInit(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const RootPaths root = RootPaths::resolve(cl.root);
    if (!root.makeFolders()) {
        err << QStringLiteral("Не удалось создать папки в %1").arg(QDir::toNativeSeparators(root.root())) << Qt::endl;
        return 1;
    }
    if (QFileInfo::exists(root.storeFile())) {
        err << QStringLiteral("База данных уже есть: %1").arg(QDir::toNativeSeparators(root.storeFile())) << Qt::endl;
        return 1;
    }
    Store::create(root.storeFile());
    out << QStringLiteral("Создана база данных %1").arg(QDir::toNativeSeparators(root.storeFile())) << Qt::endl;
    return 0;
}

} // namespace

void registerShellCommands() { registerCommand(QStringLiteral("init"), runInit); }
