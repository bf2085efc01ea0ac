// Scratch files for tests.
#ifndef VEXILO_TEST_FILES_H
#define VEXILO_TEST_FILES_H

#include <string>

namespace harness {

// A new empty directory below /tmp; its path without a trailing '/'.
std::string scratchDir();
// A file's whole contents, byte for byte ("" when it cannot be read).
std::string readFile(const std::string &path);

}  // namespace harness

#endif
