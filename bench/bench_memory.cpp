// Memory a large drawing takes above the empty program: the peak resident
// size after start-up, and after 100,000 objects were made and drawn.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "bench/Drawing.h"
#include "bench/XBench.h"
#include "canvas/Canvas.h"

static long peakKilobytes() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

static void BM_MemoryPerObject(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    startEditorForBench();
    long empty = peakKilobytes();
    for (auto _ : state) {
        buildDrawing(count);
        clearCanvas(true);
        drainEvents();
    }
    long full = peakKilobytes();
    state.counters["bytes_per_object"] = static_cast<double>(full - empty) * 1024 / count;
    state.counters["empty_kb"] = static_cast<double>(empty);
    freeAllObjects();
}
BENCHMARK(BM_MemoryPerObject)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
