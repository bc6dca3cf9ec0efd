#pragma once
// The tables the start-up opens, in order, with the texts it shows for each.
#include <functional>
#include <QList>
#include <QString>

class DataModule;

struct StartupTable {
    QString object;   // the data module's table object
    QString progress; // shown while it opens
    QString error;    // shown when it cannot be opened
};

const QList<StartupTable>& startupTables();

// Opens the tables in order. `progress` is called before each, `failed` after one that could not
// be opened (with its error text); the rest are opened all the same.
void openStartupTables(DataModule& dm, const std::function<void(const StartupTable&)>& progress,
                       const std::function<void(const StartupTable&, const QString& engineMessage)>& failed);
