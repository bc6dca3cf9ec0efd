#include "spreadsheet/DocumentError.h"

#include "core/SafeFile.h"

void writeDocumentFile(const QString& path, const QByteArray& bytes) {
    try {
        writeFileAtomically(path, bytes);
    } catch (const DocumentError&) {
        throw;
    } catch (const UserError& e) {
        throw DocumentError(e.message());
    }
}
