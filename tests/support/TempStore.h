#pragma once
// A fresh root folder with a new store for one test, removed afterwards.
#include "core/RootPaths.h"
#include "data/SqliteStore.h"
#include "support/Printers.h"

#include <memory>
#include <QTemporaryDir>

struct TempStore {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    std::unique_ptr<Store> store;

    TempStore() {
        root.makeFolders();
        store = SqliteStore::open(root.storeFile());
    }
};
