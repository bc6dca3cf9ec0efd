#pragma once
// One piece of work at a time changes a root: the program for its whole run, and each command
// that writes the store or a file of the folder, hold the root's lock exclusively; a command that
// only reads may share it with other readers. The lock is the operating system's lock on the open
// file Base/zajavki.lock, so it goes with its holder however the holder ends (a kill, a power cut):
// a file left behind locks nothing. The file's text only names the holder for the message of one
// that has to wait.
//
//   RootLock lock(root);
//   if (const QString why = lock.acquire(RootLock::Mode::Exclusive, RootLock::commandHolder("import"));
//   !why.isEmpty())
//       return fail(why);
#include "core/RootPaths.h"

#include <chrono>

class RootLock {
public:
    enum class Mode { Shared, Exclusive };
    // How long a piece of work waits for the one holding the root before it gives up.
    static constexpr std::chrono::milliseconds kDefaultWait{5000};

    explicit RootLock(const RootPaths& root);
    ~RootLock();
    RootLock(const RootLock&) = delete;
    RootLock& operator=(const RootLock&) = delete;

    // Takes the lock, waiting up to `wait` while another holds it. `holder` says who takes it
    // ("программа", "команда «import»"), for the message of whoever has to wait for us. Returns an
    // empty string when the lock is ours, else why not, in Russian, naming the folder and, when
    // another holds it, who.
    QString acquire(Mode mode, const QString& holder, std::chrono::milliseconds wait = kDefaultWait);
    void release();
    bool isHeld() const { return fd_ >= 0; }

    static QString programHolder();
    static QString commandHolder(const QString& command);
    QString lockFile() const;

private:
    QString busyMessage() const;

    RootPaths root_;
    int fd_ = -1;
};
