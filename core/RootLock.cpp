#include "core/RootLock.h"

#include <QDir>

RootLock::RootLock(const RootPaths& root) : root_(root), lock_(root.base() + QStringLiteral("/zajavki.lock")) {
    lock_.setStaleLockTime(0); // only a lock whose program is gone is stale
}

QString RootLock::acquire() {
    if (lock_.tryLock(200))
        return {};
    switch (lock_.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("Программа уже работает с папкой %1. Закройте её и запустите снова.")
            .arg(QDir::toNativeSeparators(root_.root()));
    case QLockFile::PermissionError:
        return QStringLiteral("Нет права записи в папку %1: программа не сможет сохранять в ней данные. "
                              "Проверьте права доступа к папке или запустите программу с другой папкой.")
            .arg(QDir::toNativeSeparators(root_.base()));
    default:
        return QStringLiteral("Не удалось начать работу с папкой %1: диск недоступен, переполнен или открыт "
                              "только для чтения. Проверьте папку и запустите программу снова.")
            .arg(QDir::toNativeSeparators(root_.base()));
    }
}
