#include "harness/Files.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace harness {

std::string scratchDir() {
    char path[] = "/tmp/vexilo-test-XXXXXX";
    if (!mkdtemp(path)) throw std::runtime_error("mkdtemp failed");
    return path;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace harness
