// Saving a large drawing: 100,000 objects of every type, written to a
// temporary file the way Save does it (backup, temporary file, sync).
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"
#include "bench/Drawing.h"

static void complain(const char *text) { fprintf(stderr, "bench_save: %s\n", text); }

static void BM_SavePicture(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    buildDrawing(count);
    char dir[] = "/tmp/vexilo-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary directory");
        return;
    }
    std::string path = std::string(dir) + "/drawing.tex";
    for (auto _ : state) {
        if (!savePicture(path.c_str(), complain, ".old")) {
            state.SkipWithError("save failed");
            break;
        }
    }
    struct stat st;
    if (stat(path.c_str(), &st) == 0) state.counters["bytes"] = static_cast<double>(st.st_size);
    state.SetItemsProcessed(state.iterations() * count);
    unlink(path.c_str());
    unlink((path + ".old").c_str());
    rmdir(dir);
    freeAllObjects();
}
// Wall time: a save includes waiting for the disk.
BENCHMARK(BM_SavePicture)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
