// Start-up with a file, for vexilo and, beside it, xfig: from starting the
// program until it has mapped its window, loaded and drawn the file and
// gone idle. A program is idle once it has mapped a top-level window and
// then, asleep, used no processor time for a while; its start-up ended at
// the last moment it did use some. The two programs take turns at going
// first, so neither warms the libraries and fonts for the other each
// time, and a program that does not get there in time ends the run.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "harness/XServer.h"

using Clock = std::chrono::steady_clock;

namespace {

const double timeLimit = 20;      // seconds a start-up may take
const double quietPeriod = 0.25;  // seconds without processor time: idle
const int rounds = 10;            // starts of each program

std::string besideThisProgram(const std::string &path) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return path;
    self[n] = 0;
    std::string dir(self);
    dir.erase(dir.rfind('/'));
    return dir + "/../" + path;
}

std::string sourceFile(const char *name) {
    return std::string(VEXILO_SOURCE_DIR) + "/" + name;
}

// xfig itself: Debian's "xfig" is a shell script that runs it as a child,
// and the script's own process would be idle from the start.
std::string xfigProgram() {
    const char *real = "/usr/libexec/xfig/xfig";
    if (access(real, X_OK) == 0) return real;
    return system("command -v xfig >/dev/null 2>&1") == 0 ? "xfig" : "";
}

// Processor time of a process in nanoseconds and whether it is asleep;
// false once it has gone.
bool processState(pid_t pid, long long *nanoseconds, bool *asleep) {
    std::string base = "/proc/" + std::to_string(pid);
    FILE *f = fopen((base + "/schedstat").c_str(), "r");
    if (!f) return false;
    bool read = fscanf(f, "%lld", nanoseconds) == 1;
    fclose(f);
    f = fopen((base + "/stat").c_str(), "r");
    if (!f) return false;
    char state = '?';
    // pid (comm) state: comm may hold spaces, so read past its last ')'.
    char line[1024];
    if (fgets(line, sizeof line, f)) {
        char *close = strrchr(line, ')');
        if (close && close[1] == ' ') state = close[2];
    }
    fclose(f);
    *asleep = state == 'S';
    return read && state != 'Z' && state != '?';
}

bool mappedTopLevel(Display *d) {
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && !e.xmap.override_redirect) return true;
    }
    return false;
}

// Starts argv and returns the seconds its start-up took, or a negative
// number when it did not finish within the time limit.
double startUp(Display *d, const std::vector<std::string> &args) {
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, True);
    std::vector<char *> argv;
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    bool mapped = false;
    long long used = -1;
    Clock::time_point lastBusy = start;
    double seconds = -1;
    for (;;) {
        Clock::time_point now = Clock::now();
        if (std::chrono::duration<double>(now - start).count() > timeLimit) break;
        long long ns = 0;
        bool asleep = false;
        if (!processState(pid, &ns, &asleep)) break;  // it ended
        if (!mapped) mapped = mappedTopLevel(d);
        if (ns != used || !asleep) {
            used = ns;
            lastBusy = now;
        } else if (mapped && std::chrono::duration<double>(now - lastBusy).count() >= quietPeriod) {
            seconds = std::chrono::duration<double>(lastBusy - start).count();
            break;
        }
        usleep(500);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XSelectInput(d, DefaultRootWindow(d), NoEventMask);
    XSync(d, True);
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// vexilo and xfig in turns, each on the same drawing; the time reported
// is vexilo's, xfig's median is a counter beside it.
void BM_Startup(benchmark::State &state) {
    std::string program = xfigProgram();
    if (program.empty()) return state.SkipWithError("xfig is not installed (scripts/install-deps bench)");
    Display *d = XOpenDisplay(harness::privateDisplay());
    const std::vector<std::string> vexilo = {besideThisProgram("vexilo"), sourceFile("examples/diagram.tex")};
    const std::vector<std::string> xfig = {program, sourceFile("bench/diagram.fig")};
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        for (int round = 0; round < rounds; round++) {
            bool oursFirst = round % 2 == 0;
            double a = startUp(d, oursFirst ? vexilo : xfig);
            double b = startUp(d, oursFirst ? xfig : vexilo);
            double v = oursFirst ? a : b, x = oursFirst ? b : a;
            if (v < 0 || x < 0) {
                XCloseDisplay(d);
                return state.SkipWithError(v < 0 ? "vexilo did not finish start-up in time"
                                                 : "xfig did not finish start-up in time");
            }
            ours.push_back(v);
            theirs.push_back(x);
        }
        state.SetIterationTime(median(ours));
    }
    state.counters["vexilo_ms"] = median(ours) * 1e3;
    state.counters["xfig_ms"] = median(theirs) * 1e3;
    XCloseDisplay(d);
}

}  // namespace

BENCHMARK(BM_Startup)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
