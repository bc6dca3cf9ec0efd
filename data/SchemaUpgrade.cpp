#include "data/SchemaUpgrade.h"

#include "core/CommandLine.h"
#include "data/Backups.h"
#include "data/DbError.h"
#include "data/Store.h"

#include <QDir>
#include <QRegularExpression>

namespace schema_upgrade {

QString copyAction(qint64 from, qint64 to) {
    return QStringLiteral("upgrade-%1-%2").arg(from).arg(to);
}

QString copyActionText(const QString& action) {
    static const QRegularExpression upgrade(QStringLiteral("^upgrade-(\\d+)-(\\d+)$"));
    const QRegularExpressionMatch m = upgrade.match(action);
    return m.hasMatch() ? QStringLiteral("обновление базы данных с версии %1 до версии %2")
                              .arg(m.captured(1), m.captured(2))
                        : QString();
}

QString newerMessage(const QString& where, qint64 storeVersion) {
    return QStringLiteral("База данных %1 сделана более новой версией программы: её версия %2, а эта версия "
                          "программы (%3) работает с базами данных до версии %4. Работайте с ней в новой "
                          "версии программы. База данных не изменена.")
        .arg(where)
        .arg(storeVersion)
        .arg(versionNumber())
        .arg(Store::kSchemaVersion);
}

QString bringUpToDate(Store& store, Backups& copies) {
    const qint64 from = store.schemaVersion();
    if (from >= Store::kSchemaVersion)
        return {};
    const QString copy = copies.before(copyAction(from, Store::kSchemaVersion));
    try {
        store.upgradeSchema();
    } catch (const UserError& e) {
        QString why = e.message();
        while (why.endsWith(u'.'))
            why.chop(1);
        throw DbError(QStringLiteral("Не удалось обновить базу данных %1 с версии %2 до версии %3: %4. "
                                     "База данных не изменена; её копия перед обновлением — %5.")
                          .arg(store.displayPath())
                          .arg(from)
                          .arg(Store::kSchemaVersion)
                          .arg(why, QDir::toNativeSeparators(copy)));
    }
    store.setUpgradeNote(
        QStringLiteral("База данных обновлена с версии %1 до версии %2; копия до обновления — %3")
            .arg(from)
            .arg(Store::kSchemaVersion)
            .arg(QDir::toNativeSeparators(copy)));
    return copy;
}

} // namespace schema_upgrade
