// In the tests a harness mistake fails the running test.
#include <gtest/gtest.h>

#include "harness/XServer.h"

namespace harness {

void harnessFailure(const std::string &what) { ADD_FAILURE() << "harness: " << what; }

}  // namespace harness
