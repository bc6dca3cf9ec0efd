#pragma once
// A stand-in for a network between the program and its database server: accepts connections on a
// Unix socket of its own folder and passes every byte on to the server's socket, and back, each
// chunk held for a fixed time in each direction (0.5 ms each way: a 1 ms round trip, as on an
// office's network).
#include <chrono>
#include <string>
#include <thread>

class DelayProxy {
public:
    // `upstream`: the path of the server's socket ("/tmp/…/.s.PGSQL.5432").
    DelayProxy(std::string upstream, std::chrono::microseconds oneWay);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    // The folder holding the proxy's socket ".s.PGSQL.5432", for libpq's host=.
    const std::string& folder() const { return folder_; }

private:
    void run();

    std::string upstream_;
    std::chrono::microseconds delay_;
    std::string folder_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};
