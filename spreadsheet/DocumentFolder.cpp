#include "spreadsheet/DocumentFolder.h"
#include "core/SystemText.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// A title as a file name on every desktop: no path separators or characters Windows forbids, no
// trailing dots or blanks.
QString fileStem(const QString& title) {
    QString stem;
    stem.reserve(title.size());
    for (const QChar ch : title)
        stem.append(ch.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(ch) ? QLatin1Char('_') : ch);
    stem = stem.trimmed();
    while (stem.endsWith(QLatin1Char('.')) || stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    return stem.isEmpty() ? QStringLiteral("Документ") : stem;
}

QString candidate(const QDir& folder, const QString& stem, int n) {
    // Built without arg(): the title is the user's text and may hold "%1".
    return folder.filePath(n == 1 ? stem + QStringLiteral(".xlsx")
                                  : stem + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").xlsx"));
}

// A new hidden file in the folder, made with the permissions any new file gets there (which the
// document keeps). Unbuffered: a write the disk refuses fails at once, not in a later flush.
bool openNewHiddenFile(QFile& file, const QString& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(QDir(folder).filePath(QStringLiteral(".%1.tmp").arg(
            QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (!file.exists())
            return false;
    }
    return false;
}

// Writes every byte and syncs them to the disk; the reason of a failure otherwise.
QString writeAndSync(QFile& file, const QByteArray& bytes) {
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return fileErrorText(file);
        written += n;
    }
    if (!file.flush())
        return fileErrorText(file);
#ifdef Q_OS_UNIX
    // A disk that runs out of room only when the data is really placed says so here.
    if (::fsync(file.handle()) != 0)
        return systemErrorText(errno);
#endif
    return {};
}

} // namespace

QString DocumentFolder::freeName(const QString& title) const {
    const QDir folder(path_);
    const QString stem = fileStem(title);
    for (int n = 1;; ++n) {
        const QString name = candidate(folder, stem, n);
        if (!QFileInfo::exists(name))
            return name;
    }
}

QString DocumentFolder::save(const Workbook& book, const QString& title) const {
    const QByteArray bytes = book.toBytes();
    QString target = freeName(title);
    if (const QString why = root_ ? root_->writeRefusal(target) : QString(); !why.isEmpty())
        throw DocumentError(why);
    auto failed = [&](const QString& reason) {
        return DocumentError(QStringLiteral("Не удалось записать документ «%1»: %2.").arg(shown(target), reason));
    };
    if (!QDir().mkpath(path_))
        throw failed(QStringLiteral("не удалось создать папку «%1»").arg(shown(path_)));

    QFile file;
    if (!openNewHiddenFile(file, path_))
        throw failed(fileErrorText(file));
    struct RemoveUnlessKept {
        QFile& file;
        bool keep = false;
        ~RemoveUnlessKept() {
            if (!keep)
                file.remove();
        }
    } guard{file};
    const QString writeError = writeAndSync(file, bytes);
    file.close();
    if (!writeError.isEmpty())
        throw failed(writeError);
    if (file.error() != QFileDevice::NoError)
        throw failed(fileErrorText(file));
    // Renaming never replaces a file: should another program have taken the name meanwhile,
    // the next free one is used.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (QFile::rename(file.fileName(), target)) {
            guard.keep = true;
            return target;
        }
        if (!QFileInfo::exists(target))
            break;
        target = freeName(title);
    }
    throw failed(QStringLiteral("файл не удалось переименовать"));
}
