#include "compute/ComputeState.h"
#include "compute/Hodograph.h"
#include "compute/Levels.h"
#include "compute/MixingLayer.h"
#include "compute/StormMotion.h"
#include "compute/TimeHeightFields.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

// A veering, warming-aloft sounding with a level every 250 m above the
// ground, over a station `elevation` m above sea level.
test::OneTimeProfile Veering(float elevation) {
    test::OneTimeProfile p;
    p.StationElevation = elevation;
    p.SurfacePressure = 1000.0f;
    p.SurfaceU = 2.0f;
    for (int k = 1; k <= 40; ++k) {
        const float above = 250.0f * static_cast<float>(k - 1);
        test::SoundingLevel level;
        level.Pressure = 1000.0f - 20.0f * static_cast<float>(k - 1);
        level.Height = elevation + above;
        level.Temperature = 20.0f - 0.0065f * above;
        level.DewPoint = level.Temperature - 4.0f;
        level.WindU = 2.0f + 0.004f * above;
        level.WindV = 8.0f - 0.003f * above + (k % 3 == 0 ? 1.5f : 0.0f);
        p.Levels.push_back(level);
    }
    return p;
}

// What depends on the height above the ground, worked out for one station.
struct AboveGround {
    std::vector<int> levels; // FindHeightLevel at the heights below
    std::int16_t hodoTop = 0;
    std::vector<float> values;

    bool operator==(const AboveGround&) const = default;
};

AboveGround Work(float elevation) {
    auto store = test::NewStore();
    test::WriteProfile(*store, Veering(elevation));
    const int m = store->CurrentModel;
    store->SurfaceTemp(m, 0) = 20.0f;
    AboveGround out;
    for (float km : {0.3f, 0.5f, 1.0f, 2.9f, 3.0f, 6.0f, 9.4f, 9.7f})
        out.levels.push_back(FindHeightLevel(*store, 0, km));
    HodographResults hodo;
    MakeHodoParams(*store, 0, 3.0f, hodo);
    out.hodoTop = hodo.HodoTopLevel(m, 0);
    StormMotionResults storm;
    MakeStormMotion(*store, 0, storm);
    out.values = {storm.RightMoverU(m, 0), storm.RightMoverV(m, 0), storm.MeanWind06Speed(m, 0)};
    TimeHeightFields fields;
    MakeShearContour(*store, fields);
    for (int L : {1, 5, 20, 40}) out.values.push_back(fields.ShearContourField(m, 0, L));
    MixingLayerResults mixing;
    MakeMixingLayer(*store, kMixingByMomentumTransfer, 30.0f, 1, mixing);
    out.values.push_back(mixing.MixingHeight(m, 0));
    out.values.push_back(mixing.Ventilation(m, 0));
    return out;
}

// The same air over a station 1500 m above sea level gives the same layers
// and values as at sea level: each is measured from the ground.
TEST(RaisedStation, LayersAboveTheGroundDoNotMoveWithTheStation) {
    const AboveGround low = Work(0.0f);
    EXPECT_EQ(low.levels, (std::vector<int>{2, 3, 5, 13, 13, 25, 39, 40}));
    EXPECT_EQ(low.hodoTop, 13);
    EXPECT_EQ(Work(1500.0f), low);
}

} // namespace
} // namespace tarvex
