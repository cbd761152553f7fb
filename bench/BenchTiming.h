// Timing helpers the native benchmarks share.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace qelvo::bench {

// The median time of RUNS calls of F, in seconds.
template <class F>
double MedianSeconds(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace qelvo::bench
