// Support for the file fuzz targets: the input as a file, and the
// reader's and scanner's messages kept out of the fuzzer's output.
#ifndef VEXILO_FUZZ_FILES_H
#define VEXILO_FUZZ_FILES_H

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A file in memory that holds the current input.
inline std::string inputFile(const uint8_t *data, size_t size) {
    static int fd = memfd_create("picture", 0);
    ftruncate(fd, 0);
    pwrite(fd, data, size, 0);
    return "/proc/self/fd/" + std::to_string(fd);
}

// Runs f with the standard output and error streams silenced, unless
// VEXILO_FUZZ_VERBOSE is set (to see the messages of one input).
template <typename F> void quietly(F f) {
    if (getenv("VEXILO_FUZZ_VERBOSE")) return f();
    static int devnull = open("/dev/null", O_WRONLY);
    fflush(stdout);
    fflush(stderr);
    int out = dup(1), err = dup(2);
    dup2(devnull, 1);
    dup2(devnull, 2);
    f();
    fflush(stdout);
    fflush(stderr);
    dup2(out, 1);
    dup2(err, 2);
    close(out);
    close(err);
}

inline void ignoreMessage(const char *) {}

#endif
