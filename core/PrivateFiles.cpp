#include "core/PrivateFiles.h"

#include "core/RootPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace private_files {

#ifdef Q_OS_UNIX

namespace {

constexpr mode_t kOthers = S_IRWXG | S_IRWXO;

// Takes the group's and others' rights away from `path`; true when it had any. Links are left
// alone: what they point to is not the program's.
bool narrow(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || S_ISLNK(info.st_mode) || (info.st_mode & kOthers) == 0)
        return false;
    return ::chmod(name.constData(), info.st_mode & ~kOthers & 07777) == 0;
}

} // namespace

void restrictNewFiles() {
    ::umask(kOthers);
}

QString narrowRoot(const RootPaths& root) {
    if (!QDir(root.root()).exists())
        return {};
    int narrowed = narrow(root.root()) ? 1 : 0;
    for (const QString& folder :
         {root.base(), root.templates(), root.exportDir(), root.documents(), root.backups()}) {
        if (!QDir(folder).exists())
            continue;
        narrowed += narrow(folder) ? 1 : 0;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            narrowed += narrow(it.next()) ? 1 : 0;
    }
    if (narrowed == 0)
        return {};
    return QStringLiteral("Папка программы %1 была доступна другим пользователям компьютера; теперь она и "
                          "её файлы доступны только вам: в ней личные данные сотрудников.")
        .arg(QDir::toNativeSeparators(root.root()));
}

#else

void restrictNewFiles() {}

QString narrowRoot(const RootPaths&) {
    return {};
}

#endif

} // namespace private_files
