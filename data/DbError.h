#pragma once
// Errors of the table engine. DbError carries a Russian message for the user;
// AbortAction silently ends the user's action (a declined confirmation).

#include "core/UserError.h"

#include <QDateTime>

#include <stdexcept>

class DbError : public UserError {
public:
    using UserError::UserError;
    // An error SQLite reported, with its (extended) result code.
    DbError(const QString& message, int sqliteCode) : UserError(message), sqliteCode_(sqliteCode) {}

    int sqliteCode() const { return sqliteCode_; } // 0 when SQLite did not report it
    // SQLite found the file damaged or no database at all; not a busy, locked or write-protected
    // file, which is sound and only cannot be used now.
    bool isDamage() const;

private:
    int sqliteCode_ = 0;
};

// A row another user wrote (or deleted) since this one was read: saving over it unseen is refused.
class RowConflict : public DbError {
public:
    RowConflict(const QString& message, QString changedBy, QDateTime changedAt, qint64 version, bool deleted)
        : DbError(message), changedBy(std::move(changedBy)), changedAt(std::move(changedAt)),
          version(version), deleted(deleted) {}
    QString changedBy;   // the server's name of the user who wrote it last
    QDateTime changedAt; // when
    qint64 version;      // the version stored now
    bool deleted;        // the row is gone
};

// Thrown when the user declines to go on (for example answers "No" to a delete question):
// the action stops where it is, with no message.
class AbortAction : public std::exception {
public:
    const char* what() const noexcept override { return "action abandoned"; }
};
