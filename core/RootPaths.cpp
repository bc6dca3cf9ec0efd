#include "core/RootPaths.h"

#include <QDir>

QString RootPaths::defaultRoot() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:/TOVEX-Training");
#else
    return QDir::homePath() + QStringLiteral("/TOVEX-Training");
#endif
}

RootPaths RootPaths::resolve(const QString& commandLineRoot) {
    if (!commandLineRoot.isEmpty())
        return RootPaths(QDir(commandLineRoot).absolutePath());
    const QString env = qEnvironmentVariable("TOVEX_ROOT");
    if (!env.isEmpty())
        return RootPaths(QDir(env).absolutePath());
    return RootPaths(defaultRoot());
}

bool RootPaths::makeFolders() const {
    bool ok = true;
    for (const QString& dir : {base(), templates(), exportDir(), documents()})
        ok = QDir().mkpath(dir) && ok;
    return ok;
}
