// Rubber-banding runs ObjConstrain on every pointer motion: it must be
// cheap and allocate nothing.
#include <benchmark/benchmark.h>

#include "objects/Constrain.h"
#include "objects/Scale.h"

static void setUp() {
    zoomFactor = 1, pixelsPerUnit = 1, unitPt = 1;
    buildSlopeTable(lineSlopes, 6);
    buildSlopeTable(vectorSlopes, 4);
}

static void BM_ConstrainLine(benchmark::State &state) {
    setUp();
    gridOn = snapOn = state.range(0) != 0;
    gridDistance = 10;
    short i = 0;
    for (auto _ : state) {
        XPoint p[2] = {{100, 100}, {static_cast<short>(103 + i % 300), static_cast<short>(97 + (i * 7) % 250)}};
        ObjConstrain(ObjLine, p, 2, 1);
        benchmark::DoNotOptimize(p);
        i++;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConstrainLine)->Arg(0)->Arg(1);

static void BM_ConstrainCircle(benchmark::State &state) {
    setUp();
    short i = 0;
    for (auto _ : state) {
        XPoint p[2] = {{250, 250}, {static_cast<short>(250 + i % 200), static_cast<short>(240 + i % 50)}};
        ObjConstrain(ObjCircle, p, 2, 1);
        benchmark::DoNotOptimize(p);
        i++;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConstrainCircle);

BENCHMARK_MAIN();
