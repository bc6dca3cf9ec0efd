#include "data/AppContext.h"
#include "data/PgStore.h"
#include "data/SqliteStore.h"

#include "data/DbError.h"
#include "data/SchemaUpgrade.h"

#include <optional>
#include <QDir>
#include <QFileInfo>

void AppContext::openStore() {
    if (!root.makeFolders())
        throw DbError(QStringLiteral("Не удалось создать папки программы в %1")
                          .arg(QDir::toNativeSeparators(root.root())));
    if (!serverUrl.isEmpty()) {
        store = PgStore::open(serverUrl);
        upgradeServerStore();
        return;
    }
    // One program at a time works on a root: it keeps the database to itself.
    store = SqliteStore::open(root.storeFile(), SqliteStore::Access::Exclusive);
}

void AppContext::upgradeServerStore() {
    try {
        Backups copies = backups();
        schema_upgrade::bringUpToDate(*store, copies);
    } catch (...) {
        store.reset();
        throw;
    }
}

bool AppContext::hasStore(QString* why) const {
    if (!serverUrl.isEmpty() || QFileInfo::exists(root.storeFile()))
        return true;
    if (why)
        *why = QStringLiteral("Нет базы данных %1").arg(QDir::toNativeSeparators(root.storeFile()));
    return false;
}

DataModule& AppContext::createDataModule() {
    if (!store)
        openStore();
    DM = std::make_unique<DataModule>(*store, state, prompter);
    return *DM;
}

Backups AppContext::backups() {
    const Clock* day = &clock;
    return Backups(root.backups(), store.get(),
                   [day] { return QDateTime(day->today(), QTime::currentTime()); });
}

void AppContext::takeDailyCopy() {
    // A failed copy must not keep the office from its work: it is told and the program goes on.
    try {
        backups().dailyIfDue();
    } catch (const UserError& e) {
        prompter.inform(QStringLiteral("Не удалось сделать резервную копию базы данных за сегодня. ") +
                        e.message());
    }
}

namespace {
QString copyDate(const BackupCopy& copy) {
    return copy.when.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}
} // namespace

bool AppContext::connectServer() {
    QString password;
    for (int attempt = 0;; ++attempt) {
        QString why;
        try {
            store = PgStore::open(serverUrl, password);
            upgradeServerStore();
            return true;
        } catch (const PasswordRefused& e) {
            // None found for the user, or the one typed refused: asked, three times at most.
            if (attempt < 3) {
                const QString address = PgStore::shownUrl(serverUrl);
                password = prompter.askPassword(
                    QStringLiteral("Вход на сервер базы данных"),
                    password.isEmpty()
                        ? QStringLiteral("Пароль для входа в базу данных %1:").arg(address)
                        : QStringLiteral("Сервер не принял пароль. Пароль для входа в базу данных %1:")
                              .arg(address));
                if (!password.isEmpty())
                    continue;
            }
            why = e.message();
        } catch (const UserError& e) {
            why = e.message();
        }
        // Out of reach, the password refused or not given, no tables: the clerk may work on the
        // folder's own database instead, or leave.
        const QString question = why + QStringLiteral("\n\nРаботать с базой данных в папке программы %1?")
                                           .arg(QDir::toNativeSeparators(root.root()));
        if (prompter.ask(QStringLiteral("Заявки на переподготовку"), question, Prompter::Icon::Warning,
                         Prompter::Buttons::YesNoDefaultNo) == Prompter::Answer::Yes)
            serverUrl.clear();
        return false;
    }
}

bool AppContext::startStore() {
    if (!serverUrl.isEmpty()) {
        if (connectServer()) {
            takeDailyCopy();
            return true;
        }
        if (!serverUrl.isEmpty())
            return false; // the clerk chose to leave
    }
    SqliteStore::Checked checked;
    try {
        if (!root.makeFolders())
            throw DbError(QStringLiteral("Не удалось создать папки программы в %1")
                              .arg(QDir::toNativeSeparators(root.root())));
        // What an interrupted piece of work left unfinished goes; the root's lock is ours.
        SqliteStore::removeLeftovers(root.storeFile());
        backups().removeLeftovers();
        // One program at a time works on a root: it keeps the database to itself.
        checked = SqliteStore::openChecked(root.storeFile(), SqliteStore::Access::Exclusive);
    } catch (const UserError& e) {
        // Busy, locked, write-protected or unreadable: the store is sound as far as anyone knows,
        // and is never moved or replaced for it.
        prompter.error(e.message());
        return false;
    }
    if (checked.damage.isEmpty()) {
        store = std::move(checked.store);
        takeDailyCopy();
        return true;
    }

    // A store SQLite finds damaged: the latest sound copy is offered in its place, the damaged file
    // kept among the copies. Declined (the default), the program works on the store as it is, if
    // it opens at all, and takes no copy of it that could push a sound copy out.
    const QString where = QDir::toNativeSeparators(root.storeFile());
    Backups copies = backups();
    const std::optional<BackupCopy> sound = copies.latestSound();
    bool restore = false;
    if (sound) {
        const QString question =
            QStringLiteral(
                "База данных %1 повреждена: %2\n\nВосстановить последнюю исправную резервную копию от %3 "
                "(сделана перед действием «%4»)? Повреждённая база будет перенесена в папку %5.")
                .arg(where, checked.damage, copyDate(*sound), sound->actionText(),
                     QDir::toNativeSeparators(copies.folder()));
        restore = prompter.ask(QStringLiteral("Заявки на переподготовку"), question, Prompter::Icon::Warning,
                               Prompter::Buttons::YesNoDefaultNo) == Prompter::Answer::Yes;
    } else {
        prompter.error(
            QStringLiteral("База данных %1 повреждена: %2\n\nИсправной резервной копии в папке %3 нет. "
                           "Сохраните папку программы и обратитесь к администратору.")
                .arg(where, checked.damage, QDir::toNativeSeparators(copies.folder())));
    }
    try {
        if (restore) {
            copies.restoreDamaged(sound->path, root.storeFile());
            openStore();
            prompter.inform(
                QStringLiteral("База данных восстановлена из резервной копии от %1.").arg(copyDate(*sound)));
        } else {
            openStore();
        }
    } catch (const UserError& e) {
        prompter.error(e.message());
        store.reset();
        return false;
    }
    return true;
}
