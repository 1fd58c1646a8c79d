// Timing helpers for the benchmarks: a high-resolution clock and medians.
#pragma once
#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

inline double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
}

// Milliseconds per call of `body`, averaged over `calls` calls.
inline double TimePerCall(int calls, const std::function<void()>& body) {
    const double start = NowMs();
    for (int i = 0; i < calls; ++i) body();
    return (NowMs() - start) / calls;
}

}  // namespace bench
