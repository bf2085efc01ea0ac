// Saving a large drawing of 100,000 objects of every type, measured in two
// parts: formatting the picture source (objects per second, written to
// /dev/null), and the whole durable save as Save does it (backup,
// temporary file, fsync of file and directory), in milliseconds.
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

static void BM_FormatPicture(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    buildDrawing(count);
    FILE *sink = fopen("/dev/null", "w");
    if (!sink) return state.SkipWithError("no /dev/null");
    static char buffer[1 << 16];
    setvbuf(sink, buffer, _IOFBF, sizeof buffer);
    for (auto _ : state) {
        if (!writeDrawing(sink) || fflush(sink) != 0) {
            state.SkipWithError("formatting failed");
            break;
        }
    }
    fclose(sink);
    state.SetItemsProcessed(state.iterations() * count);
    freeAllObjects();
}
BENCHMARK(BM_FormatPicture)->Arg(100000)->Unit(benchmark::kMillisecond);

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
    unlink(path.c_str());
    unlink((path + ".old").c_str());
    rmdir(dir);
    freeAllObjects();
}
// Wall time: a durable save includes waiting for the disk.
BENCHMARK(BM_SavePicture)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
