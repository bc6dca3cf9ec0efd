#include "DelayProxy.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_un address(const std::string& path) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "%s", path.c_str());
    return a;
}

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            return; // the other side went away; its read end will say so
        }
        data += n;
        size -= size_t(n);
    }
}

struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

// One client's connection: bytes from each side wait their time, then go to the other side.
struct Link {
    int fd[2];                  // 0: the client, 1: the server
    std::deque<Chunk> queue[2]; // queue[i]: read from fd[i], to be written to fd[1 - i]
    bool open = true;
};

} // namespace

DelayProxy::DelayProxy(std::string upstream, std::chrono::microseconds oneWay)
    : upstream_(std::move(upstream)), delay_(oneWay) {
    char pattern[] = "/tmp/zajavki-proxy.XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("proxy: no temporary folder");
    folder_ = pattern;
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un a = address(folder_ + "/.s.PGSQL.5432");
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listener_, 64) != 0)
        throw std::runtime_error("proxy: cannot listen");
    if (::pipe(wake_) != 0)
        throw std::runtime_error("proxy: no pipe");
    thread_ = std::thread([this] { run(); });
}

DelayProxy::~DelayProxy() {
    writeAll(wake_[1], "x", 1);
    thread_.join();
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::unlink((folder_ + "/.s.PGSQL.5432").c_str());
    ::rmdir(folder_.c_str());
}

void DelayProxy::run() {
    std::vector<Link> links;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        // Deliver what is due, and find how long until the next chunk is.
        const auto now = Clock::now();
        int timeout = -1;
        for (Link& l : links)
            for (int side = 0; side < 2; ++side) {
                auto& q = l.queue[side];
                while (!q.empty() && q.front().due <= now) {
                    writeAll(l.fd[1 - side], q.front().bytes.data(), q.front().bytes.size());
                    q.pop_front();
                }
                if (!q.empty()) {
                    const auto wait =
                        std::chrono::duration_cast<std::chrono::microseconds>(q.front().due - now);
                    const int ms = int((wait.count() + 999) / 1000);
                    timeout = timeout < 0 ? ms : std::min(timeout, ms);
                }
            }
        std::erase_if(links, [](Link& l) {
            if (l.open || !l.queue[0].empty() || !l.queue[1].empty())
                return false;
            ::close(l.fd[0]);
            ::close(l.fd[1]);
            return true;
        });

        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const Link& l : links)
            for (int side = 0; side < 2; ++side)
                fds.push_back({l.open ? l.fd[side] : -1, POLLIN, 0});
        // poll() counts whole milliseconds; a shorter wait is spun out below.
        const int polled = ::poll(fds.data(), fds.size(), timeout == 0 ? 0 : timeout < 0 ? -1 : timeout - 1);
        if (polled < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept(listener_, nullptr, nullptr);
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un a = address(upstream_);
            if (client >= 0 && ::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
                links.push_back(Link{{client, server}, {}, true});
            } else {
                ::close(client);
                ::close(server);
            }
        }
        for (size_t i = 0; i < links.size(); ++i)
            for (int side = 0; side < 2; ++side) {
                const pollfd& p = fds[2 + 2 * i + size_t(side)];
                if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t n = ::read(p.fd, buffer.data(), buffer.size());
                if (n <= 0) {
                    links[i].open = false;
                    continue;
                }
                links[i].queue[side].push_back(
                    {Clock::now() + delay_, std::string(buffer.data(), size_t(n))});
            }
    }
}
