#include "data/paradox/ParadoxError.h"

ParadoxError::ParadoxError(const QString& message) : UserError(message) {}
