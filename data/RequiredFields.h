#pragma once
// The fields a form may not leave empty, in the order they are checked, each with the message
// that says so and the box the focus goes to: the personnel card's and the parameters' checks.
#include "data/Dataset.h"

#include <optional>
#include <QList>
#include <QString>

struct RequiredField {
    QString field;
    QString message; // "Не задали Фамилию!"
    QString box;     // the box's object name, "DBEdit1"
};

// The first of `required` the current row of `dataset` shows as empty; none when all are given.
inline std::optional<RequiredField> firstMissing(const Dataset& dataset,
                                                 const QList<RequiredField>& required) {
    for (const RequiredField& r : required)
        if (dataset.field(r.field).displayText().isEmpty())
            return r;
    return std::nullopt;
}
