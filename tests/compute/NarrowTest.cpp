#include "compute/Narrow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvex {
namespace {

TEST(Narrow, WholeNumbersStayInTheirTypeAndLoopsStayCounted) {
    // A diagram bottom from a surface pressure of 40000 mb: 41600 does not
    // fit 16 bits and holds at the top end instead of wrapping to -23936.
    EXPECT_EQ(ClampToInt<std::int16_t>(41600.0), 32767);
    EXPECT_EQ(ClampToInt<std::int16_t>(-1e30), -32768);
    EXPECT_EQ(ClampToInt<std::int16_t>(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ClampToInt<int>(std::numeric_limits<double>::quiet_NaN(), -1), -1);
    EXPECT_EQ(ClampToInt<std::int16_t>(1096.0), 1096);
    EXPECT_EQ(ClampToInt<int>(-7.9), -7); // the caller rounds; this truncates

    // -40, -30, ..., 40: nine isotherms.
    EXPECT_EQ(StepCount(-40.0, 40.0, 10.0, 1000), 9);
    // 1013 mb down to 700 mb by 10 from 1010: 1010, 1000, ..., 700.
    EXPECT_EQ(StepCount(1010.0, 700.0, -10.0, 200), 32);
    // A surface pressure of 1e20: the step would not change it; the count
    // stops at the bound.
    EXPECT_EQ(StepCount(1e20, 700.0, -10.0, 200), 200);
    EXPECT_EQ(StepCount(0.0, 200.0, 1.0, 200), 200); // 201 values: cut to the bound
    EXPECT_EQ(StepCount(0.0, 10.0, 0.0, 200), 0);
    EXPECT_EQ(StepCount(10.0, 0.0, 1.0, 200), 0);
    EXPECT_EQ(StepCount(std::numeric_limits<double>::infinity(), 0.0, -1.0, 200), 0);
}

} // namespace
} // namespace tarvex
