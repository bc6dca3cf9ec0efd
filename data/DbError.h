#pragma once
// Errors of the table engine. DbError carries a Russian message for the user;
// AbortAction silently ends the user's action (a declined confirmation).

#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Thrown when the user declines to go on (for example answers "No" to a delete question):
// the action stops where it is, with no message.
class AbortAction : public std::exception {
public:
    const char* what() const noexcept override { return "action abandoned"; }
};
