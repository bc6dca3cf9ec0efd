#include "data/paradox/ParadoxError.h"

ParadoxError::ParadoxError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}
