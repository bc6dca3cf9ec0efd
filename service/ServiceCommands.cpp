// Service commands: maintenance of a root without the program's windows.
#include "core/Clock.h"
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/SqliteStore.h"
#include "service/DemoRoot.h"

#include <QDir>

namespace {

// zajavki demo [--root DIR]: a new root filled with the sample, to try the program on.
int runDemo(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.args.isEmpty()) {
        err << QStringLiteral("Лишние аргументы команды demo: %1").arg(cl.args.join(u' ')) << Qt::endl;
        return 2;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    if (!root.makeFolders()) {
        err << QStringLiteral("Не удалось создать папки в %1").arg(QDir::toNativeSeparators(root.root()))
            << Qt::endl;
        return 1;
    }
    const auto store = SqliteStore::open(root.storeFile());
    const QString why = demo::refusal(*store);
    if (!why.isEmpty()) {
        err << why << Qt::endl;
        return 1;
    }
    const demo::Summary made = demo::fill(*store, SystemClock().today());
    out << made.describe(QDir::toNativeSeparators(root.root())) << Qt::endl;
    return 0;
}

} // namespace

void registerServiceCommands() {
    registerCommand(QStringLiteral("demo"), runDemo,
                    {QStringLiteral("заполняет новую папку программы демонстрационными данными"),
                     QString(),
                     {},
                     RootAccess::Create});
}
