#include "compute/Winds.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Two levels of 10 kt from directions a and b (degrees); the mean of two
// winds 90 degrees apart blows from halfway between them at 10 / sqrt 2 kt,
// and each level lies 5 kt from the mean in each component.
LayerWind MeanOfTwo(float a, float b) {
    auto store = test::NewStore();
    store->CurrentModel = 0;
    store->WindDirection(0, 0, 3) = a;
    store->WindSpeed(0, 0, 3) = 10.0f;
    store->WindDirection(0, 0, 4) = b;
    store->WindSpeed(0, 0, 4) = 10.0f;
    return LayerMeanWind(*store, 0, 0, 4, 3); // either order
}

TEST(LayerMeanWind, DirectionInEachQuadrantSpeedAndSpread) {
    struct Case {
        float a, b, direction;
    };
    for (const Case& c :
         {Case{180, 270, 225}, Case{270, 360, 315}, Case{360, 90, 45}, Case{90, 180, 135}}) {
        const LayerWind w = MeanOfTwo(c.a, c.b);
        EXPECT_NEAR(w.Direction, c.direction, 0.01) << c.a << " " << c.b;
        EXPECT_NEAR(w.Speed, 7.0711, 0.001);
        // sqrt(4 x 5^2) / 2 levels
        EXPECT_NEAR(w.Spread, 5.0, 0.001);
    }
}

TEST(LayerMeanWind, CalmLayerReadsWestWithoutDividingByZero) {
    auto store = test::NewStore();
    const LayerWind calm = LayerMeanWind(*store, 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(calm.Direction, 270.0f);
    EXPECT_FLOAT_EQ(calm.Speed, 0.0f);
    EXPECT_FLOAT_EQ(calm.Spread, 0.0f);
}

} // namespace
} // namespace tarvex
