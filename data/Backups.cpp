#include "data/Backups.h"

#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/SchemaUpgrade.h"
#include "data/SqliteStore.h"

#include <algorithm>
#include <optional>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString kStamp = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The tables of the data module that read the store and are open, in the module's order: masters
// before their details, so that opening them again in this order links each detail to its master.
QList<Dataset*> openStoreDatasets(const DataModule& dm) {
    QList<Dataset*> open;
    for (Dataset* ds : dm.datasets())
        if (ds->isActive() && !qobject_cast<FileTable*>(ds))
            open << ds;
    return open;
}

// Opens the datasets again after the store was replaced (or was not); the first failure is thrown
// once every other dataset had its try.
void reopenAll(const QList<Dataset*>& datasets) {
    std::optional<DbError> failure;
    for (Dataset* ds : datasets) {
        try {
            ds->open();
        } catch (const DbError& e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

// A copy's file and the log a damaged store took along; true when the copy itself is gone.
bool removeCopy(const QString& path) {
    QFile::remove(path + QStringLiteral("-wal"));
    return QFile::remove(path);
}

// A hash of a copy's contents. The header's change counter and the fields written with it differ
// between two copies of the same data, and are left out.
QByteArray contentsHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray header = file.read(100);
    if (header.size() == 100) {
        header.replace(24, 4, QByteArray(4, '\0')); // file change counter
        header.replace(92, 8, QByteArray(8, '\0')); // version-valid-for and the writer's version
    }
    hash.addData(header);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

bool sameContents(const BackupCopy& a, const BackupCopy& b) {
    if (a.size != b.size || a.action == backup_action::kDamaged || b.action == backup_action::kDamaged)
        return false;
    const QByteArray ha = contentsHash(a.path);
    return !ha.isEmpty() && ha == contentsHash(b.path);
}

} // namespace

QString BackupCopy::actionText() const {
    return Backups::actionText(action);
}

QString Backups::actionText(const QString& action) {
    static const QHash<QString, QString> texts{
        {backup_action::kDaily, QStringLiteral("первый запуск за день")},
        {backup_action::kManual, QStringLiteral("копия по просьбе пользователя")},
        {backup_action::kImport, QStringLiteral("загрузка таблиц")},
        {backup_action::kRestore, QStringLiteral("восстановление из копии")},
        {backup_action::kCatalogue, QStringLiteral("загрузка каталога программ")},
        {backup_action::kDeleteApplication, QStringLiteral("удаление заявки")},
        {backup_action::kPlan, QStringLiteral("добавление из плана обучения")},
        {backup_action::kRestoreApplication, QStringLiteral("восстановление заявки из файла")},
        {backup_action::kDamaged, QStringLiteral("повреждённая база, убранная из папки Base")},
    };
    if (const QString upgrade = schema_upgrade::copyActionText(action); !upgrade.isEmpty())
        return upgrade;
    return texts.value(action, action);
}

Backups::Backups(QString folder, Store* store, Now now)
    : folder_(std::move(folder)), store_(store), now_(std::move(now)) {}

std::optional<BackupCopy> Backups::parse(const QString& path) {
    static const QRegularExpression copyName(
        QStringLiteral("^tovex_(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}-\\d{3})_([a-z0-9-]+)\\.sqlite$"));
    static const QRegularExpression damagedName(
        QStringLiteral("^damaged-(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}-\\d{3})\\.sqlite$"));
    const QFileInfo info(path);
    QString action = backup_action::kDamaged;
    auto m = damagedName.match(info.fileName());
    if (!m.hasMatch()) {
        m = copyName.match(info.fileName());
        if (!m.hasMatch())
            return std::nullopt;
        action = m.captured(2);
    }
    const QDateTime when = QDateTime::fromString(m.captured(1), kStamp);
    if (!when.isValid())
        return std::nullopt;
    return BackupCopy{info.absoluteFilePath(), when, action, info.size()};
}

QList<BackupCopy> Backups::list() const {
    QList<BackupCopy> copies;
    const QDir dir(folder_);
    for (const QString& file :
         dir.entryList({QStringLiteral("tovex_*.sqlite"), QStringLiteral("damaged-*.sqlite")}, QDir::Files))
        if (auto copy = parse(dir.filePath(file)))
            copies << *copy;
    std::sort(copies.begin(), copies.end(),
              [](const BackupCopy& a, const BackupCopy& b) { return a.when > b.when; });
    return copies;
}

QString Backups::freeName(const QString& action) const {
    // Two copies within one millisecond (a script, a test) get the next free stamp after the newest
    // copy, so that names stay unique and sort as the copies were taken, also when the newest's
    // equal predecessor was pruned and its stamp is free again.
    QDateTime when = now_();
    const QList<BackupCopy> copies = list();
    if (!copies.isEmpty() && copies.first().when >= when && copies.first().when < when.addSecs(1))
        when = copies.first().when.addMSecs(1);
    QString path;
    do {
        path = QDir(folder_).filePath(QStringLiteral("tovex_") + when.toString(kStamp) + u'_' + action +
                                      QStringLiteral(".sqlite"));
        when = when.addMSecs(1);
    } while (QFileInfo::exists(path));
    return path;
}

QString Backups::before(const QString& action) {
    if (!store_)
        throw DbError(QStringLiteral("База данных не открыта: резервную копию сделать нельзя"));
    if (!QDir().mkpath(folder_))
        throw DbError(
            QStringLiteral("Не удалось создать папку резервных копий %1. Проверьте права доступа к ней.")
                .arg(shown(folder_)));
    const QString path = freeName(action);
    try {
        store_->backupTo(path);
    } catch (const UserError& e) {
        throw DbError(
            QStringLiteral("Не удалось сделать резервную копию базы данных перед действием «%1»: %2")
                .arg(actionText(action), e.message()));
    }
    prune();
    return path;
}

QString Backups::dailyIfDue() {
    const QDate today = now_().date();
    for (const BackupCopy& copy : list())
        if (copy.when.date() == today)
            return {};
    return before(backup_action::kDaily);
}

QStringList Backups::prune() {
    const QList<BackupCopy> copies = list();
    const QDateTime yearAgo = now_().addMonths(-kKeepMonths);
    QSet<int> monthsKept;
    QStringList removed;
    int latestKept = 0;
    for (int i = 0; i < copies.size(); ++i) {
        const BackupCopy& copy = copies[i];
        // A copy equal to the next older one adds nothing: the older one stands for both, and the
        // newer goes without taking a place among the latest. The newest stays, for it is the one
        // just taken, whose caller may still need it.
        bool keep = i == 0 || i + 1 == copies.size() || !sameContents(copy, copies[i + 1]);
        if (keep) {
            const int month = copy.when.date().year() * 12 + copy.when.date().month();
            keep = latestKept < kKeepLatest;
            if (keep)
                ++latestKept;
            // The newest copy of each month within the year stays, whether or not it is among the latest.
            if (copy.when >= yearAgo && !monthsKept.contains(month)) {
                monthsKept.insert(month);
                keep = true;
            }
        }
        if (!keep && removeCopy(copy.path))
            removed << copy.path;
    }
    return removed;
}

void Backups::discard(const QString& copy) {
    removeCopy(copy);
}

QStringList Backups::removeLeftovers() {
    QStringList removed;
    const QDir dir(folder_);
    for (const QString& file : dir.entryList({QStringLiteral("*.sqlite.part")}, QDir::Files | QDir::Hidden))
        if (QFile::remove(dir.filePath(file)))
            removed << dir.filePath(file);
    return removed;
}

std::optional<BackupCopy> Backups::latestSound() const {
    for (const BackupCopy& copy : list())
        if (copy.action != backup_action::kDamaged && SqliteStore::checkFile(copy.path).isEmpty())
            return copy;
    return std::nullopt;
}

QString Backups::restore(const QString& copy, DataModule* dm) {
    if (!store_)
        throw DbError(QStringLiteral("База данных не открыта: восстановить её из копии нельзя"));
    if (const QString problem = SqliteStore::checkFile(copy); !problem.isEmpty())
        throw DbError(QStringLiteral("Эту копию нельзя восстановить. %1").arg(problem));
    // The store as it is now becomes a copy first, so that the restore itself can be undone. The
    // copies are pruned only afterwards, so that the chosen one cannot be pruned away meanwhile.
    const QString chosen = QFileInfo(copy).absoluteFilePath();
    if (!QDir().mkpath(folder_))
        throw DbError(QStringLiteral("Не удалось создать папку резервных копий %1").arg(shown(folder_)));
    const QString before = freeName(backup_action::kRestore);
    try {
        store_->backupTo(before);
    } catch (const UserError& e) {
        throw DbError(
            QStringLiteral("Не удалось сделать резервную копию базы данных перед восстановлением: %1")
                .arg(e.message()));
    }
    // No dataset may keep reading the old file: each is closed before the file is replaced and
    // opened again on the new one.
    const QList<Dataset*> open = dm ? openStoreDatasets(*dm) : QList<Dataset*>{};
    for (auto it = open.crbegin(); it != open.crend(); ++it)
        (*it)->close();
    try {
        store_->replaceWith(chosen);
    } catch (const UserError&) {
        reopenAll(open);
        throw;
    }
    reopenAll(open);
    prune();
    return before;
}

QString Backups::restoreDamaged(const QString& copy, const QString& storePath) {
    if (!QDir().mkpath(folder_))
        throw DbError(QStringLiteral("Не удалось создать папку резервных копий %1").arg(shown(folder_)));
    const QString damaged = QDir(folder_).filePath(
        QStringLiteral("damaged-") + now_().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz")) +
        QStringLiteral(".sqlite"));
    if (QFileInfo::exists(storePath) && !QFile::rename(storePath, damaged))
        throw DbError(QStringLiteral("Не удалось убрать повреждённую базу данных %1 в папку %2")
                          .arg(shown(storePath), shown(folder_)));
    // Its log goes with it, so that the damaged file can still be looked into as it was.
    QFile::rename(storePath + QStringLiteral("-wal"), damaged + QStringLiteral("-wal"));
    QFile::remove(storePath + QStringLiteral("-shm"));
    try {
        SqliteStore::installCopy(copy, storePath);
    } catch (const UserError&) {
        QFile::rename(damaged, storePath);
        QFile::rename(damaged + QStringLiteral("-wal"), storePath + QStringLiteral("-wal"));
        throw;
    }
    return damaged;
}
