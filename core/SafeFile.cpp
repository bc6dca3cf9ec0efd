#include "core/SafeFile.h"

#include "core/SystemText.h"
#include "core/UserError.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Syncs the folder's entries, so that a rename done in it is on the disk.
QString syncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemErrorText(errno);
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // A file system that cannot sync a folder (EINVAL) keeps its entries its own way.
    if (synced != 0 && error != EINVAL)
        return systemErrorText(error);
#else
    Q_UNUSED(folder);
#endif
    return {};
}

// A new hidden file beside `target`, made with the permissions any new file gets there.
// Unbuffered: a write the disk refuses fails at once, not in a later flush.
bool openTemporaryBeside(QFile& file, const QString& target) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(info.dir().filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (!file.exists())
            return false;
    }
    return false;
}

// Renames the synced file `temp` to `target` and syncs the folder. `taken` tells a name taken
// (IfTaken::Keep) from other failures; the reason of a failure, empty on success.
QString renameSynced(const QString& temp, const QString& target, IfTaken ifTaken, bool* taken = nullptr) {
    if (ifTaken == IfTaken::Keep) {
        // QFile::rename never replaces a file (and renames in one step on one file system).
        if (!QFile::rename(temp, target)) {
            const bool exists = QFileInfo::exists(target);
            if (taken)
                *taken = exists;
            return exists ? takenReason() : QStringLiteral("файл не удалось переименовать");
        }
    } else {
        if (QFileInfo::exists(target))
            QFile::setPermissions(temp, QFile::permissions(target));
        if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0)
            return systemErrorText(errno);
    }
    return syncFolder(QFileInfo(target).absolutePath());
}

} // namespace

QString takenReason() {
    return QStringLiteral("файл с таким именем уже есть");
}

QString syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return fileErrorText(file);
#ifdef Q_OS_UNIX
    // A disk that runs out of room only when the data is really placed says so here.
    if (::fsync(file.handle()) != 0)
        return systemErrorText(errno);
#endif
    return {};
}

QString moveIntoPlace(const QString& temp, const QString& target, IfTaken ifTaken) {
    {
        // What another program or library wrote reaches the disk before it takes the name.
        QFile file(temp);
        if (!file.open(QIODevice::ReadOnly))
            return fileErrorText(file);
        if (const QString why = syncToDisk(file); !why.isEmpty())
            return why;
    }
    return renameSynced(temp, target, ifTaken);
}

AtomicFileWriter::AtomicFileWriter(const QString& path, const QString& failure)
    : path_(path), failure_(failure) {
    if (!openTemporaryBeside(file_, path_)) {
        const QString reason = fileErrorText(file_);
        file_.setFileName(QString()); // nothing of ours to remove
        fail(reason);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!placed_ && !file_.fileName().isEmpty()) {
        file_.close();
        file_.remove();
    }
}

void AtomicFileWriter::fail(const QString& reason) {
    if (!file_.fileName().isEmpty()) {
        file_.close();
        file_.remove();
        file_.setFileName(QString());
    }
    throw UserError(failure_.arg(QDir::toNativeSeparators(path_), reason));
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

void AtomicFileWriter::sync() {
    if (const QString why = syncToDisk(file_); !why.isEmpty())
        fail(why);
    file_.close();
    if (file_.error() != QFileDevice::NoError)
        fail(fileErrorText(file_));
}

void AtomicFileWriter::commit() {
    sync();
    // A failure after the rename (the folder's sync) finds no temporary file left to remove.
    if (const QString why = renameSynced(file_.fileName(), path_, IfTaken::Replace); !why.isEmpty())
        fail(why);
    placed_ = true;
}

QString AtomicFileWriter::commitAsNew(const std::function<QString()>& nextName) {
    sync();
    for (int attempt = 0; attempt < 100; ++attempt) {
        bool taken = false;
        const QString why = renameSynced(file_.fileName(), path_, IfTaken::Keep, &taken);
        if (why.isEmpty()) {
            placed_ = true;
            return path_;
        }
        if (!taken)
            fail(why);
        path_ = nextName();
    }
    fail(takenReason());
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}
