// Timing helpers of the Wine benchmark programs: a seconds clock from the
// performance counter and the median of a set of times.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <vector>

inline double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

// The middle value; the mean of the two middle ones for an even count.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
