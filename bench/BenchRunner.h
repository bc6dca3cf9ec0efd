#pragma once
// A small timing harness: each comparison runs "ours" and "base" several times, interleaved,
// and prints the medians on one line:
//   bench NAME: ours 12.3 ms, base 8.1 ms, ratio 1.52
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Comparison {
    std::string name;
    std::function<void()> ours;
    std::function<void()> base; // empty: a figure with no base
    int runs = 7;
    std::function<void()> setup = {}; // runs before every timed run, untimed (may be empty)
};

// Adds a comparison to the program's list; call from a static registrar.
void add(Comparison c);
// Runs the comparisons whose name contains `filter` (all when empty); returns the number run.
int runAll(const std::string& filter);
// Median wall time of one call in milliseconds, `runs` times, each preceded by `setup`.
double medianMs(const std::function<void()>& fn, int runs, const std::function<void()>& setup = {});

struct Registrar {
    explicit Registrar(Comparison c) { add(std::move(c)); }
};

// Where benchmarks may put their files for this run (a fresh temporary folder).
std::string scratchDir();

} // namespace bench
