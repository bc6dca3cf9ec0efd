#include "data/paradox/ParadoxError.h"

ParadoxError::ParadoxError(const QString& message) : UserError(message) {}

ParadoxValueError::ParadoxValueError(qint64 row, const QString& field, const QString& reason)
    : ParadoxError(QStringLiteral("Строка ") + QString::number(row) + QStringLiteral(", поле ") + field +
                   QStringLiteral(": ") + reason),
      row_(row), field_(field), reason_(reason) {}
