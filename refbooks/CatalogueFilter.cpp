#include "refbooks/CatalogueFilter.h"

QStringList CatalogueFilter::sql() const {
    QStringList conditions;
    if (!specialty.isEmpty())
        conditions << QStringLiteral("SPECIALY = :p_specialty");
    if (!year.isEmpty())
        conditions << QStringLiteral("\"Year\" = :p_year");
    QStringList lines{QStringLiteral("SELECT * FROM NewZicl2023")};
    if (!conditions.isEmpty())
        lines << QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND "));
    lines << QStringLiteral("ORDER BY RealZicl, \"Year\", NPP");
    return lines;
}

QHash<QString, QVariant> CatalogueFilter::parameters() const {
    QHash<QString, QVariant> values;
    if (!specialty.isEmpty())
        values.insert(QStringLiteral("p_specialty"), specialty);
    if (!year.isEmpty()) {
        // A year typed as a number is compared as one; any other text matches no programme.
        bool whole = false;
        const int number = year.trimmed().toInt(&whole);
        values.insert(QStringLiteral("p_year"), whole ? QVariant(number) : QVariant(year));
    }
    return values;
}
