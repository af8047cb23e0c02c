#include "compute/ApparentTemp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace tarvex {
namespace {

float FeelsLike(float fahrenheit, float humidity) {
    return MakeApparentTemp((fahrenheit - 32.0f) / 1.8f, humidity);
}

// The national weather service's heat-index chart, 80 to 110 F by 2 F, one
// row per relative humidity from 40 to 100 % by 5 %; each row ends where the
// chart does.
struct ChartRow {
    int humidity;
    std::vector<int> values;
};
const std::vector<ChartRow>& HeatIndexChart() {
    static const std::vector<ChartRow> chart = {
        {40, {80, 81, 83, 85, 88, 91, 94, 97, 101, 105, 109, 114, 119, 124, 130, 136}},
        {45, {80, 82, 84, 87, 89, 93, 96, 100, 104, 109, 114, 119, 124, 130, 137}},
        {50, {81, 83, 85, 88, 91, 95, 99, 102, 108, 113, 118, 124, 131, 137}},
        {55, {81, 84, 86, 89, 93, 97, 101, 106, 112, 117, 124, 130, 137}},
        {60, {82, 84, 88, 91, 95, 100, 105, 110, 116, 123, 129, 137}},
        {65, {82, 85, 89, 93, 98, 103, 108, 114, 121, 128, 136}},
        {70, {83, 86, 90, 95, 100, 106, 112, 119, 126, 134}},
        {75, {84, 88, 92, 97, 103, 109, 116, 124, 132}},
        {80, {84, 89, 94, 100, 106, 113, 121, 129}},
        {85, {85, 90, 96, 102, 110, 117, 126, 136}},
        {90, {86, 91, 98, 105, 113, 122, 131}},
        {95, {86, 93, 100, 108, 117, 127}},
        {100, {87, 95, 103, 112, 121, 132}},
    };
    return chart;
}

// Every cell of the chart within 2 F, in the class the chart's value is in
// wherever the value is clear of a class bound; the trace keeps rising in
// saturated heat beyond the chart.
TEST(ApparentTemp, AgreesWithTheWholeHeatIndexChart) {
    int cells = 0, classed = 0;
    for (const ChartRow& row : HeatIndexChart()) {
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            const float air = 80.0f + 2.0f * static_cast<float>(i);
            const float chart = static_cast<float>(row.values[i]);
            const float got = FeelsLike(air, static_cast<float>(row.humidity));
            EXPECT_NEAR(got, chart, 2.0f) << air << " F " << row.humidity << " %";
            bool nearBound = false;
            for (float bound : {80.0f, 90.0f, 105.0f, 130.0f})
                nearBound = nearBound || std::abs(chart - bound) < 3.0f;
            if (!nearBound) {
                EXPECT_EQ(HeatCategory(got), HeatCategory(chart))
                    << air << " F " << row.humidity << " %";
                ++classed;
            }
            ++cells;
        }
    }
    EXPECT_EQ(cells, 135);
    EXPECT_EQ(classed, 92); // cells 3 F or more clear of every class bound
    // Cold air feels cold to the clothed person too.
    EXPECT_LT(FeelsLike(30, 80), 32.0f);
    // Saturated heat beyond the chart and bone-dry heat.
    float last = 0.0f;
    for (float air = 80.0f; air <= 120.0f; air += 2.0f) {
        const float humid = FeelsLike(air, 100.0f);
        EXPECT_GT(humid, last) << air;
        last = humid;
    }
    EXPECT_LT(FeelsLike(110, 0), 110.0f);
    // Very dry heat, 100 F at 5 %: the fit gives 94.184 F, less the dry-air
    // correction (13 - 5) / 4 * sqrt((17 - |100 - 95|) / 17) = 1.680 F.
    EXPECT_NEAR(FeelsLike(100, 5), 92.50f, 0.3f);
}

// Between neighbouring air temperatures 0.1 F apart the reading never moves
// by more than 1 F, at any humidity, from -50 C to 50 C: across the end of
// the clothing in humid mild air (76.7 F against 76.8 F at 100 %), the
// weather service's hand-over to its heat index and its humid-air correction
// at 80 F, and the end of what clothing can balance in deep cold. Cold air
// never feels hotter than 5 F above itself nor falls into a heat class.
TEST(ApparentTemp, RunsOnWithoutAStepAndColdAirNeverFeelsHot) {
    for (int humidity = 0; humidity <= 100; ++humidity) {
        const auto h = static_cast<float>(humidity);
        float before = FeelsLike(-58.0f, h);
        for (int tenths = -579; tenths <= 1220; ++tenths) {
            const float air = static_cast<float>(tenths) / 10.0f;
            const float now = FeelsLike(air, h);
            ASSERT_LE(std::abs(now - before), 1.0f) << air << " F " << humidity << " %";
            if (air <= 50.0f) {
                ASSERT_LE(now, air + 5.0f) << air << " F " << humidity << " %";
                ASSERT_EQ(HeatCategory(now), 5) << air << " F " << humidity << " %";
            }
            before = now;
        }
    }
    // Past what clothing balances the reading is the clothed one's limit,
    // then the air's own temperature.
    EXPECT_NEAR(FeelsLike(-31.0f, 50.0f), -39.3f, 0.2f);
    EXPECT_FLOAT_EQ(FeelsLike(-40.0f, 90.0f), -40.0f);
    EXPECT_FLOAT_EQ(FeelsLike(-58.0f, 90.0f), -58.0f);
}

TEST(ApparentTemp, EachClassBoundBelongsToTheHotterClass) {
    EXPECT_EQ(HeatCategory(79.99f), 5);
    EXPECT_EQ(HeatCategory(80.0f), 4);
    EXPECT_EQ(HeatCategory(89.99f), 4);
    EXPECT_EQ(HeatCategory(90.0f), 3);
    EXPECT_EQ(HeatCategory(104.9f), 3);
    EXPECT_EQ(HeatCategory(105.0f), 2);
    EXPECT_EQ(HeatCategory(129.9f), 2);
    EXPECT_EQ(HeatCategory(130.0f), 1);
}

} // namespace
} // namespace tarvex
