#include "shell/BlankValues.h"

#include "data/Field.h"
#include "data/ServiceYears.h"

bool unknownServiceYears(const QVariant& value) { return !value.isNull() && serviceYearsUnknown(value.toDouble()); }

bool shownBlank(const Field& field, const QVariant& value, BlankWhen blankWhen) {
    if (value.isNull())
        return false; // shows empty anyway
    if (field.type() == FieldType::Date && value.toDate() == Field::zeroDate())
        return true;
    return blankWhen && blankWhen(value);
}
