// Support for the file fuzz targets: the input as a file. The reader's and
// scanner's warnings go to the standard error stream as usual; the fuzz
// tests run with -close_fd_mask=3, which silences the target's own output
// and keeps libFuzzer's and the sanitizers' reports.
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

inline void ignoreMessage(const char *) {}

#endif
