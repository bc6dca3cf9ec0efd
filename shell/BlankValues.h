#pragma once
// Stored values that only stand for "not known" are shown as empty cells and boxes: the zero date
// an empty date reads as (30.12.1899), and, in the columns and boxes a window marks so, the years
// of service computed from an empty start year. The rows keep the values the training centre
// receives; only what the user reads changes.
#include <QVariant>

class Field;

// Which values of a column or box show empty; null: only the zero date.
using BlankWhen = bool (*)(const QVariant& value);

// Years of service computed from an empty start year (the year itself, 2026).
bool unknownServiceYears(const QVariant& value);

// True when `value` of `field` shows as empty.
bool shownBlank(const Field& field, const QVariant& value, BlankWhen blankWhen);
