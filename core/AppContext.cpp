#include "core/AppContext.h"

#include "data/DbError.h"

#include <QDir>

void AppContext::openStore() {
    if (!root.makeFolders())
        throw DbError(QStringLiteral("Не удалось создать папки программы в %1").arg(QDir::toNativeSeparators(root.root())));
    // One program at a time works on a root: it keeps the database to itself.
    store = Store::open(root.storeFile(), Store::Access::Exclusive);
}

TDM& AppContext::createDataModule() {
    if (!store)
        openStore();
    DM = std::make_unique<TDM>(*store, state, prompter);
    return *DM;
}
