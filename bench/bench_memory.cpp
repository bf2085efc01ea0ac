// Memory a large drawing takes: the bytes the allocator holds for 100,000
// objects made and drawn, above what it held for the empty program.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include "bench/Drawing.h"
#include "bench/XBench.h"
#include "canvas/Canvas.h"

static void BM_MemoryPerObject(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    startEditorForBench();
    size_t empty = mallinfo2().uordblks;
    size_t full = empty;
    for (auto _ : state) {
        buildDrawing(count);
        clearCanvas(true);
        drainEvents();
        full = mallinfo2().uordblks;
    }
    state.counters["bytes_per_object"] = (static_cast<double>(full) - static_cast<double>(empty)) / count;
    freeAllObjects();
}
BENCHMARK(BM_MemoryPerObject)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
