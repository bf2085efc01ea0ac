// Selections in a drawing of 10,000 mixed objects, driven by real pointer
// events: the rubber band's outline following the pointer, the selection
// it makes, and the outlines of all 10,000 following the pointer in a
// button-2 move. Each motion is timed from the event to the server having
// drawn what it changes.
#include <benchmark/benchmark.h>

#include <X11/extensions/XTest.h>

#include <chrono>

#include "bench/Drawing.h"
#include "bench/XBench.h"
#include "canvas/Canvas.h"
#include "canvas/Selection.h"
#include "objects/History.h"

namespace {

// The whole drawing in the upper half of the canvas; the lower half empty.
void setUp(int count) {
    startEditorForBench();
    buildDrawing(count);
    zoomFactor = 1;
    rescaleAll(0.35f);
    clearCanvas(true);
    drainEvents();
}

// The pointer to canvas point (x, y), the event handled and drawn.
void pointerTo(int x, int y) {
    Display *d = XtDisplay(canvas);
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, XtWindow(canvas), DefaultRootWindow(d), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
    drainEvents();
}

void button(int number, bool down) {
    XTestFakeButtonEvent(XtDisplay(canvas), number, down, CurrentTime);
    drainEvents();
}

double millisSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

static void BM_BandMotion(benchmark::State &state) {
    setUp(static_cast<int>(state.range(0)));
    pointerTo(495, 595);  // empty canvas
    button(1, true);
    int i = 0;
    for (auto _ : state) {
        pointerTo(5 + i % 7, 5 + i % 5);
        i++;
    }
    auto start = std::chrono::steady_clock::now();
    button(1, false);
    state.counters["select_ms"] = millisSince(start);  // the selection and the redraw with its marks
    if (groupSize() < 1000) state.SkipWithError("the band selected too little");
    freeAllObjects();
}
BENCHMARK(BM_BandMotion)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_GroupMoveMotion(benchmark::State &state) {
    setUp(static_cast<int>(state.range(0)));
    selectAll();
    drainEvents();
    const ObjRecord *line = objectList;
    while (line && line->type != ObjLine) line = line->next;
    const int x = static_cast<int>(line->x), y = static_cast<int>(line->y);
    pointerTo(x, y);
    button(2, true);
    int i = 0;
    for (auto _ : state) {
        pointerTo(x + 20 + i % 7, y + 20 + i % 5);  // a new vector every time
        i++;
    }
    auto start = std::chrono::steady_clock::now();
    button(2, false);
    state.counters["end_ms"] = millisSince(start);  // the move stored and the canvas redrawn
    if (!canUndo()) state.SkipWithError("the group did not move");
    freeAllObjects();
}
BENCHMARK(BM_GroupMoveMotion)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
