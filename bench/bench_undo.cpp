// The undo history on a large drawing: 10,000 edits of a 100,000-object
// drawing (moves, copies, deletions, text changes), then every one undone.
// Reports the heap the history holds per step and the time of one undo.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "bench/Drawing.h"
#include "objects/History.h"

// Sum over the list of every coordinate and text length, weighted by the
// position: equal sums say the drawing came back as it was.
static double fingerprint() {
    double sum = 0;
    long i = 1;
    for (const ObjRecord *r = objectList; r; r = r->next, i++)
        sum += i * (r->type + r->x + r->y * 3 + r->x2 * 5 + r->y2 * 7 + static_cast<double>(strlen(ObjGetText(r))));
    return sum;
}

static void BM_UndoAllEdits(benchmark::State &state) {
    const int objects = static_cast<int>(state.range(0)), edits = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        buildDrawing(objects);
        std::vector<ObjRecord *> records;
        for (ObjRecord *r = objectList; r; r = r->next) records.push_back(r);
        const double before = fingerprint();
        std::mt19937 random(17);
        size_t heap = mallinfo2().uordblks;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < edits; i++) {
            size_t pick = random() % records.size();
            ObjRecord *rec = records[pick];
            switch (i % 4) {
            case 0:  // a move
                changeObject(rec);
                ObjMove(rec, 3, -2);
                break;
            case 1: {  // a copy
                ObjRecord *copy = ObjNew(rec->type);
                ObjCopy(rec, copy);
                ObjMove(copy, 10, 10);
                addObject(copy);
                records.push_back(copy);
                break;
            }
            case 2:  // a deletion
                removeObject(rec);
                records[pick] = records.back();
                records.pop_back();
                break;
            default:  // a new text
                changeObject(rec);
                ObjSetText(rec, ("edit " + std::to_string(i)).c_str());
                break;
            }
        }
        double editSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        size_t held = mallinfo2().uordblks - heap;
        state.ResumeTiming();
        start = std::chrono::steady_clock::now();
        int undone = 0;
        while (undoStep()) undone++;
        double undoSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (undone != edits || fingerprint() != before) state.SkipWithError("undo did not restore the drawing");
        state.counters["bytes_per_step"] = static_cast<double>(held) / edits;
        state.counters["undo_us"] = undoSeconds * 1e6 / edits;
        state.counters["edit_us"] = editSeconds * 1e6 / edits;
        freeAllObjects();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoAllEdits)->Args({100000, 10000})->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
