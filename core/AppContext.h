#pragma once
// What the whole program shares: the root folder, the clock, the prompter, the shared
// variables, the store and the data module `DM`.
#include "data/DataModule.h"
#include "data/Store.h"
#include "core/Clock.h"
#include "core/Prompter.h"
#include "core/RootPaths.h"
#include "core/SharedState.h"

#include <memory>

class DialogRunner;

struct AppContext {
    AppContext(RootPaths root, Clock& clock, Prompter& prompter) : root(std::move(root)), clock(clock), prompter(prompter) {}
    ~AppContext() {
        DM.reset();
        store.reset();
    }

    RootPaths root;
    Clock& clock;
    Prompter& prompter;
    SharedState state;
    std::unique_ptr<Store> store;
    std::unique_ptr<TDM> DM;
    // How modal dialogs are run: exec() in the program, a scripted hand in tests.
    DialogRunner* dialogs = nullptr;

    // Opens the root's database, creating the folders and the database when missing.
    // Throws DbError when it cannot.
    void openStore();
    // Creates the data module over the open store; its tables are still closed.
    TDM& createDataModule();
};
