#pragma once
// A fresh root folder with a new store for one test, removed afterwards.
#include "data/Store.h"
#include "core/RootPaths.h"
#include "support/Printers.h"

#include <QTemporaryDir>
#include <memory>

struct TempStore {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    std::unique_ptr<Store> store;

    TempStore() {
        root.makeFolders();
        store = Store::open(root.storeFile());
    }
};
