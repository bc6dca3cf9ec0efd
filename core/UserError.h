#pragma once
// The one base of every error a user reads: the engine's, the documents', the Paradox codec's and
// the file writer's. Its message is a complete Russian sentence that says what went wrong and,
// where a file is concerned, names it. The program's error guard shows any of them the same way.
#include <QString>
#include <stdexcept>

class UserError : public std::runtime_error {
public:
    // A NUL inside the message (from a name read out of a file) is shown as "\\0", so that nothing
    // after it is lost where the message becomes a C string.
    explicit UserError(const QString& message)
        : std::runtime_error(visible(message).toStdString()), message_(visible(message)) {}
    const QString& message() const { return message_; }

private:
    static QString visible(QString text) { return text.replace(QChar(u'\0'), QStringLiteral("\\0")); }
    QString message_;
};

// The action's work is done, only a last step of convenience was not (a document saved that could
// not be opened): the user reads it as information, not as a failure.
class PartialSuccess : public UserError {
public:
    using UserError::UserError;
};
