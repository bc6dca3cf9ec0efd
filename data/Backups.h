#pragma once
// Copies of the store in the root's Backup folder, so that every change of many rows at once can
// be undone: a copy is taken at the first start of each day and before each such action, through
// SQLite's online backup while the program keeps the store open. A copy is named by the date, the
// time and the action it came before ("tovex_2026-03-15_10-30-00-123_import.sqlite"). The last
// 20 copies are kept, and of older ones the newest of each month for a year; a copy whose contents
// equal those of the copy taken before it holds no history of its own and goes (unless it is the
// newest), taking no place in that count. A damaged store moved aside is listed and kept by the same rule.
//
//   app.backups().before(backup_action::kCatalogue); // throws UserError: the action must not go on
//
// Restoring puts a copy in the store's place, after a copy of the store as it was, and opens every
// table of the data module again on the new file.
#include <functional>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Store;
class DataModule;

// The actions a copy is taken before, as the copies' names carry them.
namespace backup_action {
inline const QString kDaily = QStringLiteral("daily");         // the first start of a day
inline const QString kManual = QStringLiteral("manual");       // asked for by the user or a script
inline const QString kImport = QStringLiteral("import");       // loading the old program's tables
inline const QString kRestore = QStringLiteral("restore");     // putting another copy in the store's place
inline const QString kCatalogue = QStringLiteral("catalogue"); // loading the centre's new catalogue
inline const QString kDeleteApplication = QStringLiteral("delete-application");
inline const QString kPlan = QStringLiteral("plan"); // adding people from the training plan
// The restore of an application from its export file calls before(kRestoreApplication) once the
// user has agreed and before it writes anything.
inline const QString kRestoreApplication = QStringLiteral("restore-application");
// Not a copy taken before an action: a store found damaged at start and moved aside
// ("damaged-2026-03-15_10-30-00-123.sqlite"), kept for a look into it.
inline const QString kDamaged = QStringLiteral("damaged");
} // namespace backup_action

struct BackupCopy {
    QString path;
    QDateTime when;
    QString action; // "import"
    qint64 size = 0;

    // "загрузка таблиц"; the action's own name when it is none of the known ones.
    QString actionText() const;
};

class Backups {
public:
    static constexpr int kKeepLatest = 20;
    static constexpr int kKeepMonths = 12;
    using Now = std::function<QDateTime()>;

    // `store` may be null for a store that is not open (then only list() and the static functions
    // serve).
    Backups(QString folder, Store* store, Now now);

    const QString& folder() const { return folder_; }

    // Takes a copy of the store before `action` and prunes the old ones; returns the copy's path.
    // Throws UserError naming the reason when no copy could be taken: the action must not go on.
    QString before(const QString& action);
    // The day's first copy, when no copy of today is there yet; returns its path, or an empty
    // string when there was one. Throws UserError.
    QString dailyIfDue();

    // The copies in the folder, the newest first; files of other names are not copies.
    QList<BackupCopy> list() const;
    // Removes the copies that are neither among the last kKeepLatest nor the newest of their month
    // within kKeepMonths months, and each copy but the newest whose contents equal those of the next
    // older one (the older stands for both); returns the paths removed.
    QStringList prune();
    // Removes a copy taken for work that was then refused, so that it pushes no history out.
    void discard(const QString& copy);
    // Removes the copies an interrupted copy left unfinished ("….sqlite.part"); returns their paths.
    QStringList removeLeftovers();
    // The newest copy that SQLite's check finds sound and that holds the program's tables.
    std::optional<BackupCopy> latestSound() const;

    // Puts the copy in the store's place: checks it, takes a copy of the store as it is, closes
    // every table of `dm` (when given), replaces and reopens the store and opens the tables that
    // were open again. Returns the path of the copy of the store as it was. Throws UserError; the
    // store stays as it was when the copy is refused.
    QString restore(const QString& copy, DataModule* dm);

    // For a store too damaged to open: moves the damaged file (and its log) into the folder under
    // "damaged-…" (listed as a copy of its own), then puts the copy in its place. Returns where the
    // damaged file went.
    QString restoreDamaged(const QString& copy, const QString& storePath);

    static QString actionText(const QString& action);
    // The copy a file name stands for; nothing for a file of another name.
    static std::optional<BackupCopy> parse(const QString& path);

private:
    QString freeName(const QString& action) const;

    QString folder_;
    Store* store_;
    Now now_;
};
