#pragma once
// One program at a time works on a root: it holds a lock file in the root's Base folder for the
// whole run. When the lock cannot be had, the reason is told apart: another program holds it, or
// the folder refuses to be written (no rights, a read-only or full disk).
#include "core/RootPaths.h"

#include <QLockFile>

class RootLock {
public:
    explicit RootLock(const RootPaths& root);
    // Takes the lock; an empty string when it is ours, else why not, in Russian, naming the folder.
    QString acquire();

private:
    RootPaths root_;
    QLockFile lock_;
};
