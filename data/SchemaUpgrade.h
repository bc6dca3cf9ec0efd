#pragma once
// The store's layout version and its upgrade. Every store carries the version of its layout
// (Store::schemaVersion()). A store of an earlier version is brought up to date when it is opened:
// first a copy of it is taken among the root's copies, named for the upgrade
// ("tovex_…_upgrade-1-2.sqlite"), then every step between its version and the program's runs in
// one transaction, so that a failed step leaves the store as it was. A store of a newer version is
// refused and left alone: this version does not know what the newer one keeps.
//
//   version 1: the store is marked as the program's (SQLite's application_id);
//   version 2: the change log (ChangeLog.h), and on the server the clerks' roles.
#include <QString>

class Backups;
class Store;

namespace schema_upgrade {

// The action the upgrade's copy is named for: "upgrade-1-2".
QString copyAction(qint64 from, qint64 to);
// "обновление базы данных с версии 1 до версии 2" for such an action; empty for any other.
QString copyActionText(const QString& action);
// The refusal of a store of a newer version, naming both versions.
QString newerMessage(const QString& where, qint64 storeVersion);
// Brings `store` up to date: a copy through `copies`, then Store::upgradeSchema(), and notes
// it in the store's upgradeNote(). Returns the copy's path; empty when the store was up to date. Throws
// UserError (no copy could be taken, or a step failed), the store unchanged.
QString bringUpToDate(Store& store, Backups& copies);

} // namespace schema_upgrade
