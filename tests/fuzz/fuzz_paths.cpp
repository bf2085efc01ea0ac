// Any bytes as a filter pattern and a name, and as a typed file name: the
// matcher, the expansion and the normalising stay within their buffers and
// keep their promises.
#include <X11/Intrinsic.h>
#include <cstdint>
#include <cstring>
#include <string>

#include "selector/DirScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The input is "pattern\0name"; each is a C string as a widget holds it.
    std::string input(reinterpret_cast<const char *>(data), size);
    size_t split = input.find('\0');
    std::string pattern = input.substr(0, split);
    std::string name = split == std::string::npos ? "" : input.substr(split + 1);
    name = name.substr(0, name.find('\0'));

    char *marks = WildcardMarks(pattern.c_str());
    Boolean matched = WildcardMatch(pattern.c_str(), marks, name.c_str());
    if (pattern == "*" && !matched) __builtin_trap();
    if (!WildcardMatch(name.c_str(), nullptr, name.c_str())) __builtin_trap();
    XtFree(marks);

    static char path[DirScanPathMax];
    if (ExpandPath(pattern.c_str(), "/home/u/", path)) {
        if (strlen(path) >= sizeof path) __builtin_trap();
        char *normal = NormalizePath(path);
        size_t n = strlen(normal);
        if (n == 0 || normal[0] != '/' || (n > 1 && normal[n - 1] == '/')) __builtin_trap();
        if (strstr(normal, "//") || strstr(normal, "/./") || strstr(normal, "/../")) __builtin_trap();
        XtFree(normal);
    }
    return 0;
}
