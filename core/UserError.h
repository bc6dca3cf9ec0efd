#pragma once
// The one base of every error a user reads: the engine's, the documents', the Paradox codec's and
// the file writer's. Its message is a complete Russian sentence that says what went wrong and,
// where a file is concerned, names it. The program's error guard shows any of them the same way.
#include <QString>
#include <stdexcept>

class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
