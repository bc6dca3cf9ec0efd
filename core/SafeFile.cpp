#include "core/SafeFile.h"
#include "core/SystemText.h"

#include "core/UserError.h"

#include <QDir>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path), file_(path) {
    // Unbuffered: a write the disk refuses fails at once instead of inside a final flush whose
    // failure QSaveFile::commit() would not notice.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(fileErrorText(file_));
}

void AtomicFileWriter::fail(const QString& reason) {
    file_.cancelWriting();
    throw UserError(
        QStringLiteral("Не удалось записать файл «%1»: %2.").arg(QDir::toNativeSeparators(path_), reason));
}

void AtomicFileWriter::write(const char* data, qint64 size) {
    qint64 written = 0;
    while (written < size) {
        const qint64 n = file_.write(data + written, size - written);
        if (n <= 0)
            fail(fileErrorText(file_));
        written += n;
    }
}

void AtomicFileWriter::writeAt(qint64 offset, const QByteArray& bytes) {
    const qint64 end = file_.pos();
    if (!file_.seek(offset))
        fail(fileErrorText(file_));
    write(bytes);
    if (!file_.seek(qMax(end, offset + bytes.size())))
        fail(fileErrorText(file_));
}

void AtomicFileWriter::commit() {
    if (!file_.flush())
        fail(fileErrorText(file_));
#ifdef Q_OS_UNIX
    // A disk that runs out of room only when the data is really placed says so here.
    if (::fsync(file_.handle()) != 0)
        fail(systemErrorText(errno));
#endif
    if (!file_.commit())
        fail(fileErrorText(file_));
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}
