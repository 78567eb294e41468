// The benchmark table, then one ratio line per side-by-side benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "side_by_side.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [key, line] : tickora::bench::RatioLines()) std::printf("%s\n", line.c_str());
    return 0;
}
