#pragma once
// A full disk, simulated on any machine: while a FileSizeLimit lives, no file of this process may
// grow beyond `bytes` (RLIMIT_FSIZE), and the signal that would end the process for trying is
// ignored, so the write fails (EFBIG) as it would on a disk without room. Both are restored when
// it goes. Files already larger than the limit can still be read and rewritten within their size.
#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0)
            return;
        rlimit limited = saved_;
        limited.rlim_cur =
            saved_.rlim_max == RLIM_INFINITY || bytes < saved_.rlim_max ? bytes : saved_.rlim_max;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        active_ = oldHandler_ != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
        if (!active_ && oldHandler_ != SIG_ERR)
            std::signal(SIGXFSZ, oldHandler_);
    }
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False where the limit could not be set: the test has nothing to check then.
    bool active() const { return active_; }

    void lift() {
        if (!active_)
            return;
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
        active_ = false;
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_ERR;
    bool active_ = false;
};
