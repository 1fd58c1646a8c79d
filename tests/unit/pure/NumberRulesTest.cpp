#include <gtest/gtest.h>

#include <cstdint>

#include "platform/NumberRules.h"

TEST(ClampToInt32, KeepsTheRangeAndSaturatesOutsideIt) {
    EXPECT_EQ(0, platform::ClampToInt32(0));
    EXPECT_EQ(-7, platform::ClampToInt32(-7));
    EXPECT_EQ(INT32_MAX, platform::ClampToInt32(INT32_MAX));
    EXPECT_EQ(INT32_MAX, platform::ClampToInt32(std::int64_t(INT32_MAX) + 1));
    EXPECT_EQ(INT32_MIN, platform::ClampToInt32(INT32_MIN));
    EXPECT_EQ(INT32_MIN, platform::ClampToInt32(std::int64_t(INT32_MIN) - 1));
    EXPECT_EQ(INT32_MAX, platform::ClampToInt32(INT64_MAX));
    EXPECT_EQ(INT32_MIN, platform::ClampToInt32(INT64_MIN));
}
