#include "service/FirstRun.h"

#include "refbooks/Books.h"

#include "core/RootLock.h"
#include "core/RootPaths.h"
#include "core/SafeFile.h"
#include "data/DbError.h"
#include "data/SqliteStore.h"
#include "service/DemoRoot.h"

#include <functional>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace firstrun {

namespace {

void removeDatabaseFiles(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral(".new")})
        QFile::remove(path + suffix);
}

// The folders of the root that did not exist before a first attempt: a failed one removes them
// again (with the lock file it made), so that it leaves nothing behind.
class NewFolders {
public:
    explicit NewFolders(const RootPaths& root) : lockFile_(RootLock(root).lockFile()) {
        for (const QString& dir :
             {root.root(), root.base(), root.templates(), root.exportDir(), root.documents()})
            if (!QFileInfo::exists(dir))
                made_ << dir;
    }
    void removeEmpty() const {
        if (made_.isEmpty())
            return;
        QFile::remove(lockFile_);
        for (auto dir = made_.crbegin(); dir != made_.crend(); ++dir)
            QDir().rmdir(*dir); // only an empty one goes
    }

private:
    QStringList made_;
    QString lockFile_;
};

void buildIn(const RootPaths& root, const std::function<void(Store&)>& fill);

// Makes the database under a temporary name, lets `fill` write into it, closes it and gives it
// the database's name; a failure leaves the root as it was.
void build(const RootPaths& root, const std::function<void(Store&)>& fill) {
    const NewFolders folders(root);
    try {
        buildIn(root, fill);
    } catch (...) {
        folders.removeEmpty();
        throw;
    }
}

void buildIn(const RootPaths& root, const std::function<void(Store&)>& fill) {
    if (!root.makeFolders())
        throw DbError(
            QStringLiteral("Не удалось создать папку программы «%1». Проверьте права доступа к ней.")
                .arg(QDir::toNativeSeparators(root.root())));
    // No command may work on the root while its database is being made.
    RootLock lock(root);
    if (const QString why = lock.acquire(RootLock::Mode::Exclusive, RootLock::programHolder());
        !why.isEmpty())
        throw DbError(why);
    const QString target = root.storeFile();
    const QString temp = target + QStringLiteral(".first");
    removeDatabaseFiles(temp);
    try {
        std::unique_ptr<Store> store = SqliteStore::create(temp);
        fill(*store);
    } catch (...) {
        removeDatabaseFiles(temp);
        throw;
    }
    if (!moveIntoPlace(temp, target, IfTaken::Keep).isEmpty()) {
        removeDatabaseFiles(temp);
        throw DbError(
            QStringLiteral("Не удалось создать базу данных «%1»: файл с таким именем уже есть или папка "
                           "недоступна для записи.")
                .arg(QDir::toNativeSeparators(target)));
    }
}

} // namespace

bool isNewRoot(const RootPaths& root) {
    return !QFileInfo::exists(root.storeFile());
}

QString createEmpty(const RootPaths& root, bool starterBooks) {
    int entries = 0;
    build(root, [&](Store& store) {
        if (starterBooks)
            entries = books::loadStarterBooks(store);
    });
    QString line =
        QStringLiteral("Создана пустая база данных %1").arg(QDir::toNativeSeparators(root.storeFile()));
    if (starterBooks)
        line +=
            QStringLiteral("; справочники должностей и специальностей заполнены (%1 записей)").arg(entries);
    return line;
}

QString fillDemo(const RootPaths& root, const QDate& today) {
    demo::Summary made;
    build(root, [&](Store& store) { made = demo::fill(store, today); });
    return made.describe(QDir::toNativeSeparators(root.root()));
}

QString importOld(const RootPaths& root, const QStringList& paths,
                  const std::function<void(int done, int total, const QString& fileName)>& progress) {
    ImportResult result;
    ImportOptions options;
    options.progress = progress;
    build(root, [&](Store& store) { result = importTables(store, paths, options); });
    QStringList lines;
    for (const ImportedTable& t : result.tables)
        lines << QStringLiteral("%1: прочитано %2, записано %3")
                     .arg(t.fileName, QString::number(t.rowsRead), QString::number(t.rowsStored));
    for (const QString& s : result.skipped)
        lines << QStringLiteral("%1: не таблица программы, пропущена").arg(s);
    return lines.join(u'\n');
}

} // namespace firstrun
