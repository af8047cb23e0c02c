#include "compute/ApparentTemp.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

float FeelsLike(float fahrenheit, float humidity) {
    return MakeApparentTemp((fahrenheit - 32.0f) / 1.8f, humidity);
}

// The heat-index table of the national weather service rests on the same
// heat balance: its values, within 3 F, on both sides of the heat at which
// the clothing runs out.
TEST(ApparentTemp, MatchesThePublishedHeatIndexTable) {
    struct Entry {
        float air, humidity, table;
    };
    for (const Entry& e : {Entry{80, 40, 80}, Entry{86, 40, 85}, Entry{90, 50, 95},
                           Entry{90, 70, 106}, Entry{95, 50, 107}, Entry{100, 40, 109}})
        EXPECT_NEAR(FeelsLike(e.air, e.humidity), e.table, 3.0f) << e.air << " F " << e.humidity;
    // Humid air feels hotter than dry air of the same temperature.
    EXPECT_GT(FeelsLike(90, 70), FeelsLike(90, 30));
    // Saturated air and bone-dry air end the iteration too.
    EXPECT_GT(FeelsLike(110, 100), 130.0f);
    EXPECT_LT(FeelsLike(110, 0), 110.0f);
}

TEST(ApparentTemp, EachClassBoundBelongsToTheHotterClass) {
    EXPECT_EQ(HeatCategory(79.99f), 5);
    EXPECT_EQ(HeatCategory(80.0f), 4);
    EXPECT_EQ(HeatCategory(90.0f), 3);
    EXPECT_EQ(HeatCategory(104.9f), 3);
    EXPECT_EQ(HeatCategory(105.0f), 2);
    EXPECT_EQ(HeatCategory(129.9f), 2);
    EXPECT_EQ(HeatCategory(130.0f), 1);
}

} // namespace
} // namespace tarvex
