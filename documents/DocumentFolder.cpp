#include "documents/DocumentFolder.h"

#include "documents/DocumentError.h"
#include "documents/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRandomGenerator>

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
    return folder.filePath(n == 1 ? stem + QStringLiteral(".xlsx") : QStringLiteral("%1 (%2).xlsx").arg(stem).arg(n));
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
    auto failed = [&](const QString& reason) {
        return DocumentError(QStringLiteral("Не удалось записать документ «%1»: %2.").arg(shown(target), reason));
    };
    if (!QDir().mkpath(path_))
        throw failed(QStringLiteral("не удалось создать папку «%1»").arg(shown(path_)));

    // The temporary file is hidden and new (never one that exists), made with the permissions
    // any new file gets, which the document keeps.
    QFile file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        file.setFileName(QDir(path_).filePath(
            QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists())
            throw failed(file.errorString());
    }
    if (!file.isOpen())
        throw failed(file.errorString());
    struct RemoveUnlessKept {
        QFile& file;
        bool keep = false;
        ~RemoveUnlessKept() {
            if (!keep)
                file.remove();
        }
    } guard{file};
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString writeError = file.errorString();
    file.close();
    if (!written)
        throw failed(writeError);
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
