#pragma once
// What the whole program shares: the root folder, the clock, the prompter, the shared
// variables, the store and the data module `DM`.
#include "core/Clock.h"
#include "core/Prompter.h"
#include "core/RootPaths.h"
#include "core/SharedState.h"
#include "data/Backups.h"
#include "data/DataModule.h"
#include "data/Store.h"

#include <memory>

class DialogRunner;

struct AppContext {
    AppContext(RootPaths root, Clock& clock, Prompter& prompter)
        : root(std::move(root)), clock(clock), prompter(prompter) {}
    ~AppContext() {
        DM.reset();
        store.reset();
    }

    RootPaths root;
    // The server's database holding the store ("postgresql://host/base"); empty: the root's file.
    // Templates, exports, documents and copies stay in the root either way.
    QString serverUrl;
    Clock& clock;
    Prompter& prompter;
    SharedState state;
    std::unique_ptr<Store> store;
    std::unique_ptr<DataModule> DM;
    // How modal dialogs are run: exec() in the program, a scripted hand in tests.
    DialogRunner* dialogs = nullptr;

    // Whether there is a store to open: a server's database is chosen, or the root's file exists.
    // When not, `why` says so.
    bool hasStore(QString* why = nullptr) const;
    // Opens the store: the server's database when one is chosen, else the root's file, created
    // when missing. The root's folders are made either way. Throws DbError when it cannot.
    void openStore();
    // A server's database of an earlier version is brought up to date, after a copy of it is taken
    // among the root's copies; throws UserError, the store closed, when it cannot be.
    void upgradeServerStore();
    // The program's start, with the root's lock held: removes what interrupted work left, opens the
    // store and runs SQLite's quick check on it. A store SQLite finds damaged is reported with the
    // offer (default No) to put the latest sound copy in its place; a busy, write-protected or
    // unreadable store is reported as such and left alone; a sound one gets the day's first copy.
    // False when the program cannot go on (the reason was shown).
    //
    // With a server chosen, the store is its database: the password is asked when libpq finds none,
    // and a server out of reach, a refused password or a database without the program's tables is
    // told with the offer to work on the root's file instead (serverUrl is then cleared).
    bool startStore();
    // The copies of the store in the root's Backup folder, dated by the clock's day.
    Backups backups();
    // Connects to the server's database; false when it cannot (told, and answered by the user).
    bool connectServer();
    // The day's first copy of the store, when not taken yet; a failure is told, not thrown.
    void takeDailyCopy();
    // Creates the data module over the open store; its tables are still closed.
    DataModule& createDataModule();
};
