#include "foundation/util.h"
#include <gtest/gtest.h>
TEST(Smoke, Muldiv) { EXPECT_EQ(mrl::__muldiv(3, 5, 2), 8); }
