#include "spreadsheet/DocumentOpener.h"

#include "core/UserError.h"

#include <QDir>

namespace {
DocumentOpener& opener() {
    static DocumentOpener instance;
    return instance;
}
} // namespace

void setDocumentOpener(DocumentOpener o) {
    opener() = std::move(o);
}

bool hasDocumentOpener() {
    return bool(opener());
}

void openDocument(const QString& path) {
    if (!opener())
        return;
    if (!opener()(path))
        throw PartialSuccess(
            QStringLiteral("Документ сохранён в файле «%1», но открыть его программой электронных "
                           "таблиц не удалось. Откройте файл вручную.")
                .arg(QDir::toNativeSeparators(path)));
}
