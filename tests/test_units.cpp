#include <gtest/gtest.h>

#include "objects/Scale.h"
#include "picfile/Units.h"

TEST(Units, Placeholder) { EXPECT_TRUE(parseUnitLength("1.0pt")); }
