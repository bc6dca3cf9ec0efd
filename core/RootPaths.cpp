#include "core/RootPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

namespace {
// The path with links and ".." resolved as far as it exists; the rest appended as written.
QString resolved(const QString& path) {
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    QStringList rest;
    while (!info.exists() && !info.isSymLink()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            break;
        rest.prepend(info.fileName());
        info = QFileInfo(parent);
    }
    QString base = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (const QString& part : rest)
        base += u'/' + part;
    return QDir::cleanPath(base);
}

// True when `path` is a file that starts as every SQLite database does.
bool isDatabaseFile(const QString& path) {
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) &&
           file.read(16) == QByteArray("SQLite format 3", 16);
}

bool isInside(const QString& path, const QString& folder) {
    const QString target = resolved(path);
    const QString inside = resolved(folder);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return target.compare(inside, cs) == 0 || target.startsWith(inside + u'/', cs);
}
} // namespace

bool RootPaths::isInsideBase(const QString& path) const {
    return isInside(path, base());
}

QString RootPaths::writeRefusal(const QString& path) const {
    if (isInsideBase(path))
        return insideBaseMessage(path);
    if (isInside(path, backups()))
        return QStringLiteral(
                   "Файл «%1» нельзя записать в папку резервных копий Backup: там хранятся копии базы "
                   "программы. Выберите другую папку, например Export или Documents.")
            .arg(QDir::toNativeSeparators(path));
    if (isDatabaseFile(path))
        return QStringLiteral("Файл «%1» — это база данных, и программа не станет записывать поверх него. "
                              "Выберите другое имя файла.")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

QString RootPaths::insideBaseMessage(const QString& path) {
    return QStringLiteral("Файл «%1» нельзя записать в папку базы данных Base: там хранится база программы. "
                          "Выберите другую папку, например Export или Documents.")
        .arg(QDir::toNativeSeparators(path));
}
