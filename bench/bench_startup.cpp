// Start-up to the main window: from starting the program to the map of
// its first top-level window, for vexilo and, beside it, xfig.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "harness/XServer.h"

static std::string besideThisProgram(const char *name) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return name;
    self[n] = 0;
    std::string dir(self);
    dir.erase(dir.rfind('/'));
    return dir + "/../" + name;
}

static bool onPath(const char *program) {
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return system(command.c_str()) == 0;
}

// Runs argv until its first top-level window is mapped; returns seconds.
static double timeToMap(Display *d, char *const argv[]) {
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, True);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", 1);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execvp(argv[0], argv);
        _exit(127);
    }
    double seconds = -1;
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && !e.xmap.override_redirect) {
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XSelectInput(d, DefaultRootWindow(d), NoEventMask);
    return seconds;
}

static void measure(benchmark::State &state, std::string program) {
    Display *d = XOpenDisplay(harness::privateDisplay());
    char *argv[] = {&program[0], nullptr};
    for (auto _ : state) state.SetIterationTime(timeToMap(d, argv));
    XCloseDisplay(d);
}

static void BM_StartupVexilo(benchmark::State &state) { measure(state, besideThisProgram("vexilo")); }
BENCHMARK(BM_StartupVexilo)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

static void BM_StartupXfig(benchmark::State &state) {
    if (!onPath("xfig")) {
        state.SkipWithError("xfig is not installed");
        return;
    }
    measure(state, "xfig");
}
BENCHMARK(BM_StartupXfig)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
