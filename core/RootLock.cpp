#include "core/RootLock.h"

#include <cerrno>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QThread>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Writes who holds the lock into the lock file: the process, the holder and since when.
void describeHolder(int fd, const QString& holder) {
    const QByteArray text =
        QStringLiteral("%1\n%2\n%3\n")
            .arg(QString::number(::getpid()), holder,
                 QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")))
            .toUtf8();
    // The text only serves the message of whoever waits: a failure to write it changes nothing.
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.constData(), size_t(text.size()), 0) < 0)
        return;
}

} // namespace

RootLock::RootLock(const RootPaths& root) : root_(root) {}

RootLock::~RootLock() {
    release();
}

QString RootLock::lockFile() const {
    return root_.base() + QStringLiteral("/zajavki.lock");
}

QString RootLock::programHolder() {
    return QStringLiteral("программа «Заявки на переподготовку»");
}

QString RootLock::commandHolder(const QString& command) {
    return QStringLiteral("команда «zajavki %1»").arg(command);
}

void RootLock::release() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

QString RootLock::acquire(Mode mode, const QString& holder, std::chrono::milliseconds wait) {
    release();
    // Close-on-exec: a program started from ours (the spreadsheet opening a document) must not
    // keep the root locked after we are gone.
    const QByteArray path = QFile::encodeName(lockFile());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            return QStringLiteral("Нет права записи в папку %1: программа не сможет сохранять в ней данные. "
                                  "Проверьте права доступа к папке или запустите программу с другой папкой.")
                .arg(shown(root_.base()));
        return QStringLiteral("Не удалось начать работу с папкой %1: диск недоступен, переполнен или открыт "
                              "только для чтения. Проверьте папку и запустите программу снова.")
            .arg(shown(root_.base()));
    }
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, operation) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            if (busy)
                return busyMessage();
            return QStringLiteral(
                       "Не удалось заблокировать папку %1 для работы: файловая система не позволяет "
                       "этого. Запустите программу с папкой на локальном диске.")
                .arg(shown(root_.root()));
        }
        QThread::msleep(100);
    }
    fd_ = fd;
    describeHolder(fd_, holder);
    return {};
}

QString RootLock::busyMessage() const {
    // The holder wrote who it is; an empty or unreadable file still gets a sentence of its own.
    QFile file(lockFile());
    QStringList lines;
    if (file.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(file.read(4096)).split(u'\n');
    const QString folder = shown(root_.root());
    if (lines.size() >= 3 && !lines[1].trimmed().isEmpty())
        return QStringLiteral(
                   "С папкой %1 сейчас работает %2 (процесс %3, с %4). Дождитесь, пока она закончит, "
                   "и повторите.")
            .arg(folder, lines[1].trimmed(), lines[0].trimmed(), lines[2].trimmed());
    return QStringLiteral(
               "С папкой %1 сейчас работает другая копия программы или её команда. Дождитесь, пока она "
               "закончит, и повторите.")
        .arg(folder);
}
