#pragma once

#include <cstdlib>

// The test command's smoke run (DZ_BENCH_SMOKE set): every benchmark once, as small as it
// can be and still do its work, so a broken benchmark fails the tests without costing them.
inline bool BenchSmokeRun()
{
    return std::getenv("DZ_BENCH_SMOKE") != nullptr;
}

// A benchmark's fixed measuring time or count, or the least of it in a smoke run.
inline double BenchMinTime(double seconds)
{
    return BenchSmokeRun() ? 1e-6 : seconds;
}

inline int BenchIterations(int count)
{
    return BenchSmokeRun() ? 1 : count;
}
