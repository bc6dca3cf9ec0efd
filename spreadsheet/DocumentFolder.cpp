#include "spreadsheet/DocumentFolder.h"
#include "core/SafeFile.h"
#include "core/SystemText.h"
#include "core/UserError.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A title as a file name on every desktop: no path separators or characters Windows forbids, no
// trailing dots or blanks.
QString fileStem(const QString& title) {
    QString stem;
    stem.reserve(title.size());
    for (const QChar ch : title)
        stem.append(ch.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(ch) ? QLatin1Char('_')
                                                                                      : ch);
    stem = stem.trimmed();
    while (stem.endsWith(QLatin1Char('.')) || stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    return stem.isEmpty() ? QStringLiteral("Документ") : stem;
}

QString candidate(const QDir& folder, const QString& stem, int n) {
    // Built without arg(): the title is the user's text and may hold "%1".
    return folder.filePath(n == 1
                               ? stem + QStringLiteral(".xlsx")
                               : stem + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").xlsx"));
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
        return DocumentError(
            QStringLiteral("Не удалось записать документ «%1»: %2.").arg(shown(target), reason));
    };
    if (!QDir().mkpath(path_))
        throw failed(QStringLiteral("не удалось создать папку «%1»").arg(shown(path_)));

    // Placing never replaces a file: should another program have taken the name meanwhile, the
    // next free one is used.
    try {
        AtomicFileWriter file(target, QStringLiteral("Не удалось записать документ «%1»: %2."));
        file.write(bytes);
        return file.commitAsNew([&] { return freeName(title); });
    } catch (const UserError& e) {
        throw DocumentError(e.message());
    }
}
