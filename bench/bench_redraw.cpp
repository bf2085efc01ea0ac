// A full redraw of 10,000 mixed objects, from clearing the canvas to the
// server having drawn everything.
#include <benchmark/benchmark.h>

#include "bench/Drawing.h"
#include "bench/XBench.h"
#include "canvas/Canvas.h"

static void BM_FullRedraw(benchmark::State &state) {
    startEditorForBench();
    buildDrawing(static_cast<int>(state.range(0)));
    zoomFactor = 1;
    rescaleAll(0.35f);  // the whole drawing on the 500 x 600 canvas
    drainEvents();
    for (auto _ : state) {
        clearCanvas(true);
        drainEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    freeAllObjects();
}
BENCHMARK(BM_FullRedraw)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
