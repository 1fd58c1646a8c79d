#include <gtest/gtest.h>
TEST(Build, PureTestsRun) { EXPECT_EQ(4, 2 + 2); }
