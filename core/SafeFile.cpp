#include "core/SafeFile.h"

#include "core/UserError.h"

#include <QDir>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason) {
    throw UserError(QStringLiteral("Не удалось записать файл «%1»: %2.").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: a write the disk refuses fails at once instead of inside a final flush whose
    // failure QSaveFile::commit() would not notice.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(path, file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            fail(path, reason);
        }
        written += n;
    }
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(path, reason);
    }
#ifdef Q_OS_UNIX
    // A disk that runs out of room only when the data is really placed says so here.
    if (::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        file.cancelWriting();
        fail(path, reason);
    }
#endif
    if (!file.commit())
        fail(path, file.errorString());
}
