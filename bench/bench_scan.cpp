// Listing a directory of 20,000 files in the file selector: the listing
// alone, and the selector's whole relist (listing, list widget, layout)
// on a private X server. Every stat is counted: at most one per listed
// name, none for names the filter drops.
#include <benchmark/benchmark.h>

#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <dlfcn.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness/XServer.h"
#include "selector/DirScan.h"
#include "selector/FileNominator.h"

static long statCalls = 0;
extern "C" int stat(const char *path, struct stat *buf) noexcept {
    using StatFn = int (*)(const char *, struct stat *);
    static StatFn real = reinterpret_cast<StatFn>(dlsym(RTLD_NEXT, "stat"));
    statCalls++;
    return real(path, buf);
}

// 20,000 files, one in ten a .tex, and 20 directories.
static const std::string &bigDirectory() {
    static std::string dir;
    if (!dir.empty()) return dir;
    char pattern[] = "/tmp/vexilo-bench-scan-XXXXXX";
    if (!mkdtemp(pattern)) return dir;
    std::string root = pattern;
    for (int i = 0; i < 20000; i++) {
        std::string name = root + "/file" + std::to_string(i) + (i % 10 ? ".log" : ".tex");
        FILE *f = fopen(name.c_str(), "w");
        if (f) fclose(f);
    }
    for (int i = 0; i < 20; i++) mkdir((root + "/dir" + std::to_string(i)).c_str(), 0755);
    dir = root + "/";
    atexit([] {
        nftw(dir.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return ::remove(p); }, 16,
             FTW_DEPTH | FTW_PHYS);
    });
    return dir;
}

static void BM_ListDirectory(benchmark::State &state) {
    const char *pattern = state.range(0) ? "*.tex" : "*";
    const std::string &dir = bigDirectory();
    Cardinal count = 0;
    long stats = 0;
    for (auto _ : state) {
        statCalls = 0;
        String *items = ListDirectory(dir.c_str(), pattern, True, True, &count);
        stats = statCalls;
        if (!items) {
            state.SkipWithError("directory not listed");
            break;
        }
        FreeDirectoryList(items);
    }
    state.SetLabel(pattern);
    state.counters["listed"] = count;
    state.counters["stats"] = static_cast<double>(stats);
    if (stats > static_cast<long>(count)) state.SkipWithError("more than one stat per listed name");
}
BENCHMARK(BM_ListDirectory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_SelectorRelist(benchmark::State &state) {
    harness::privateDisplay();
    const std::string &dir = bigDirectory();
    static XtAppContext app;
    static Widget top, selector;
    if (!top) {
        static int argc = 1;
        static char name[] = "bench_scan";
        static char *argv[] = {name, nullptr};
        top = XtOpenApplication(&app, "BenchScan", nullptr, 0, &argc, argv, nullptr, applicationShellWidgetClass,
                                nullptr, 0);
        selector = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, top, XtNinitialDirectory, "/",
                                           nullptr);
        XtRealizeWidget(top);
        harness::pump(app);
    }
    long stats = 0;
    for (auto _ : state) {
        statCalls = 0;
        FileNominatorSetDirectory(selector, dir.c_str());
        XSync(XtDisplay(top), False);
        stats = statCalls;
        state.PauseTiming();
        FileNominatorSetDirectory(selector, "/");
        harness::pump(app);
        state.ResumeTiming();
    }
    state.counters["stats"] = static_cast<double>(stats);
    if (stats > 20000 + 20 + 2) state.SkipWithError("more than one stat per listed name");
}
BENCHMARK(BM_SelectorRelist)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
