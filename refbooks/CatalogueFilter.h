#pragma once
// The catalogue window's statement for qNewZicl: every programme, or those of one main specialty
// and/or one catalogue year. The texts typed or chosen are bound as values, never written into the
// statement, so an apostrophe, a quote or a percent sign is an ordinary character; an empty text
// sets no condition. The specialty is compared exactly as stored, letter case included.
#include <QHash>
#include <QStringList>
#include <QVariant>

struct CatalogueFilter {
    QString specialty;
    QString year;

    QStringList sql() const;
    QHash<QString, QVariant> parameters() const;
};
