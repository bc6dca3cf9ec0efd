#include "BenchRunner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <QDir>
#include <QTemporaryDir>

namespace bench {

namespace {
std::vector<Comparison>& registry() {
    static std::vector<Comparison> list;
    return list;
}
} // namespace

void add(Comparison c) {
    registry().push_back(std::move(c));
}

std::string scratchDir() {
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir)
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zajavki-bench-XXXXXX"));
    return dir->path().toStdString();
}

double medianMs(const std::function<void()>& fn, int runs, const std::function<void()>& setup) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        auto t0 = std::chrono::steady_clock::now();
        fn();
        auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int runAll(const std::string& filter) {
    int count = 0;
    for (const Comparison& c : registry()) {
        if (!filter.empty() && c.name.find(filter) == std::string::npos)
            continue;
        ++count;
        // Interleave ours and base so that both see the same machine state.
        std::vector<double> ours, base;
        for (int i = 0; i < c.runs; ++i) {
            ours.push_back(medianMs(c.ours, 1, c.setup));
            if (c.base)
                base.push_back(medianMs(c.base, 1, c.setup));
        }
        auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        if (c.base) {
            double o = median(ours), b = median(base);
            std::printf("bench %s: ours %.3f ms, base %.3f ms, ratio %.2f\n", c.name.c_str(), o, b,
                        b > 0 ? o / b : 0.0);
        } else {
            std::printf("bench %s: ours %.3f ms\n", c.name.c_str(), median(ours));
        }
        std::fflush(stdout);
    }
    return count;
}

} // namespace bench
