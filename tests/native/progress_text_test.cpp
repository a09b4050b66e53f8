#include <climits>

#include <gtest/gtest.h>

#include "diagnostics/ProgressText.h"

TEST(ProgressText, ClampsEverySumOfPositionAndDelta)
{
    EXPECT_EQ(ClampPercent(-5), 0);
    EXPECT_EQ(ClampPercent(150), 100);
    EXPECT_EQ(ClampPercent(42), 42);
    // Position plus the extreme deltas, summed wide as the window does.
    EXPECT_EQ(ClampPercent(100LL + INT_MAX), 100);
    EXPECT_EQ(ClampPercent(0LL + INT_MIN), 0);
    EXPECT_EQ(ClampPercent(100LL + INT_MIN), 0);
}

TEST(ProgressText, FormatsWithPercentSignAndFitsAnyInt)
{
    EXPECT_STREQ(FormatPercent(0).chars, "0%");
    EXPECT_STREQ(FormatPercent(100).chars, "100%");
    EXPECT_STREQ(FormatPercent(INT_MIN).chars, "-2147483648");  // cut, never overrun
}
