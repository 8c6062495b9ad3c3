// The benchmarks' common main body: headless video and audio drivers (unless the person
// running them chose others), then Google Benchmark with the command line's options.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int RunHeadlessBenchmarks(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
