#pragma once
// Errors of the table engine. DbError carries a Russian message for the user;
// AbortAction silently ends the user's action (a declined confirmation).

#include "core/UserError.h"

#include <stdexcept>

class DbError : public UserError {
public:
    using UserError::UserError;
};

// Thrown when the user declines to go on (for example answers "No" to a delete question):
// the action stops where it is, with no message.
class AbortAction : public std::exception {
public:
    const char* what() const noexcept override { return "action abandoned"; }
};
