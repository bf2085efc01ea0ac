// Loading a large picture: a 100,000-object file of every type, scanned and
// read into records.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/Drawing.h"
#include "canvas/View.h"
#include "shell/LoadPicture.h"
#include "picfile/Writer.h"

static void complain(const char *text) { fprintf(stderr, "bench_load: %s\n", text); }

static void BM_LoadPicture(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    char dir[] = "/tmp/vexilo-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary directory");
        return;
    }
    std::string path = std::string(dir) + "/drawing.tex";
    buildDrawing(count);
    savePicture(path.c_str(), complain, ".old");
    freeAllObjects();
    struct stat st;
    stat(path.c_str(), &st);
    snprintf(gridText, fieldTextSize, "10");
    size_t before = mallinfo2().uordblks;
    for (auto _ : state) {
        if (!loadPicture(path.c_str(), complain)) state.SkipWithError("load failed");
    }
    size_t after = mallinfo2().uordblks;
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * st.st_size);
    state.counters["file_bytes"] = static_cast<double>(st.st_size);
    state.counters["bytes_per_object"] = static_cast<double>(after - before) / count;
    freeAllObjects();
    unlink(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_LoadPicture)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Inputs that make a naive scanner slow down with the square of their
// length: a last line of '%' signs without a newline, and one long token.
static void BM_LoadAwkwardInput(benchmark::State &state) {
    char dir[] = "/tmp/vexilo-bench-XXXXXX";
    if (!mkdtemp(dir)) return state.SkipWithError("no temporary directory");
    std::string path = std::string(dir) + "/awkward.tex";
    std::string text = "\\begin{picture}(0,0)\n";
    text += state.range(0) == 0 ? std::string(200000, '%') : std::string(4 << 20, ' ') + "\\put(1,2){x}";
    FILE *f = fopen(path.c_str(), "w");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    for (auto _ : state) {
        FILE *quiet = freopen("/dev/null", "w", stderr);
        (void)quiet;
        loadPicture(path.c_str(), complain);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    freeAllObjects();
    unlink(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_LoadAwkwardInput)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
