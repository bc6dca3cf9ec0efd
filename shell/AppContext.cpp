#include "shell/AppContext.h"

#include "data/DbError.h"

#include <QDir>

void AppContext::openStore() {
    if (!root.makeFolders())
        throw DbError(QStringLiteral("Не удалось создать папки программы в %1").arg(QDir::toNativeSeparators(root.root())));
    store = Store::open(root.storeFile());
}

TDM& AppContext::createDataModule() {
    if (!store)
        openStore();
    DM = std::make_unique<TDM>(*store, state, prompter);
    return *DM;
}
