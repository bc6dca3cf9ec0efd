#pragma once
// A full disk for the length of a scope: files this process writes cannot grow past `bytes`
// (RLIMIT_FSIZE), so writing more fails as it would on a disk with no room left. The signal such
// a write raises is ignored, as a program on a full disk gets an error and not a signal. Both are
// restored when the scope ends.
#include <csignal>

#ifdef __unix__
#include <sys/resource.h>
#endif

class DiskLimit {
public:
    explicit DiskLimit(unsigned long bytes) {
#ifdef __unix__
        if (getrlimit(RLIMIT_FSIZE, &old_) != 0)
            return;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#endif
    }
    ~DiskLimit() {
#ifdef __unix__
        if (active_)
            setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
#endif
    }
    DiskLimit(const DiskLimit&) = delete;
    DiskLimit& operator=(const DiskLimit&) = delete;
    bool active() const { return active_; }

private:
    bool active_ = false;
#ifdef __unix__
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
#endif
};
