#include "store/DateTime.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(DateTime, PartsSerialsHoursAndValidDates) {
    // The serial of 1 January 2000 is 36526 in the toolkit's date system.
    EXPECT_DOUBLE_EQ(DateTime::FromParts(2000, 1, 1).serial, 36526.0);
    const DateTime d = DateTime::FromParts(2006, 8, 10, 6);
    EXPECT_EQ(d.Year(), 2006);
    EXPECT_EQ(d.Month(), 8);
    EXPECT_EQ(d.Day(), 10);
    EXPECT_EQ(d.Hour(), 6);
    EXPECT_EQ(d.Weekday(), 4); // a Thursday
    // Hours added cross day, month and year ends.
    const DateTime next = DateTime::FromParts(2026, 12, 31, 22).AddHours(3);
    EXPECT_EQ(next.Year(), 2027);
    EXPECT_EQ(next.Month(), 1);
    EXPECT_EQ(next.Day(), 1);
    EXPECT_EQ(next.Hour(), 1);
    const DateTime back = DateTime::FromParts(2024, 3, 1, 0).AddHours(-6);
    EXPECT_EQ(back.Month(), 2);
    EXPECT_EQ(back.Day(), 29); // leap year
    EXPECT_EQ(back.Hour(), 18);
    // Many small steps never lose a minute.
    DateTime t = DateTime::FromParts(2026, 1, 1);
    for (int i = 0; i < 84 * 3; ++i) t = t.AddHours(1);
    EXPECT_EQ(t.Day(), 11);
    EXPECT_EQ(t.Hour(), 12);
    EXPECT_EQ(t.Minute(), 0);
    // Impossible dates, and the last hour and month that are valid.
    EXPECT_TRUE(DateTime::ValidParts(2024, 2, 29, 23));
    EXPECT_TRUE(DateTime::ValidParts(2026, 12, 31, 0));
    EXPECT_FALSE(DateTime::ValidParts(2023, 2, 29, 0));
    EXPECT_FALSE(DateTime::ValidParts(2026, 13, 1, 0));
    EXPECT_FALSE(DateTime::ValidParts(2026, 4, 31, 0));
    EXPECT_FALSE(DateTime::ValidParts(2026, 4, 1, 24));
    EXPECT_FALSE(DateTime::ValidParts(2026, 0, 1, 0));
}

} // namespace
} // namespace tarvex
