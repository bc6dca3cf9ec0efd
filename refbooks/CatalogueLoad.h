#pragma once
// Loading the training centre's new programme catalogue (its yearly NewZicl2023.db) into the store,
// after showing what it changes: which programmes are new, which changed (name, type or form of
// training, contingent, specialties), which vanished, and which of the vanished ones trainees of
// this or next year's applications still refer to. The load itself is the import's: one
// transaction that replaces the catalogue.
#include <QList>
#include <QString>
#include <QStringList>

class Store;

namespace refbooks {

// A programme offering of the catalogue: code, kind of training, hours and catalogue year.
struct CatalogueProgramme {
    QString code;
    QString kind;
    int hours = 0;
    int year = 0;
    QString name;
    QStringList changes; // for a changed programme, what changed: "название", "контингент"…

    // "339720123 ПК, 36 ч., 2026: Терапия", and for a changed one " — изменены: контингент"
    QString describe() const;
};

// A vanished programme that applications still refer to, with the applications and their counts.
struct ProgrammeInUse {
    CatalogueProgramme programme;
    QStringList applications; // "заявка 116 на 2026 год: 2 слушателя (ИВАНОВ И. И., ПЕТРОВ П. П.)"
};

struct CatalogueComparison {
    QString file;
    int rows = 0; // programmes in the new catalogue
    QList<CatalogueProgramme> added;
    QList<CatalogueProgramme> changed;
    QList<CatalogueProgramme> vanished;
    QList<ProgrammeInUse> vanishedInUse;

    // "новых программ: 12, изменённых: 5, исчезнувших: 3", or "каталог не изменился"
    QString summary() const;
    bool changesNothing() const { return added.isEmpty() && changed.isEmpty() && vanished.isEmpty(); }
};

// Reads the catalogue file `path` (any name; its .MB beside it) and compares it with the store's,
// writing nothing. `currentYear` chooses the applications looked at: this year's and next year's.
// Throws UserError naming the file when it cannot be read or is no programme catalogue.
CatalogueComparison compareCatalogue(Store& store, const QString& path, int currentYear);

// Replaces the store's catalogue with the file's, in one transaction. Throws UserError; then the
// old catalogue stays.
void loadCatalogue(Store& store, const QString& path);

} // namespace refbooks
