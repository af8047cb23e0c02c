#include "compute/Hodograph.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::SoundingLevel;
using test::WriteProfile;

constexpr int kModel = 1;

// A wind of the profile relative to the storm motion, and its height above
// a station at sea level.
struct Point {
    float height;
    float u;
    float v;
};

class HodographTest : public ::testing::Test {
  protected:
    // Writes a profile whose first point is the 10 m wind (hodograph level 0)
    // and the others profile levels 1, 2, ...; the winds are given relative
    // to the storm motion (stormU, stormV).
    void Write(const std::vector<Point>& points, int t = 0) {
        OneTimeProfile p;
        p.StormU = stormU;
        p.StormV = stormV;
        p.SurfaceU = points[0].u + stormU;
        p.SurfaceV = points[0].v + stormV;
        for (std::size_t i = 1; i < points.size(); ++i) {
            SoundingLevel level;
            level.Height = points[i].height;
            level.Pressure = 1000.0f - points[i].height / 10.0f;
            level.WindU = points[i].u + stormU;
            level.WindV = points[i].v + stormV;
            p.Levels.push_back(level);
        }
        WriteProfile(*store, p, t);
    }

    float stormU = 3.0f;
    float stormV = -4.0f;
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    HodographResults hodo;
};

TEST_F(HodographTest, VeeringWindGivesTwiceTheSweptArea) {
    // Storm-relative wind from the south (0, 10) at the ground, from the west
    // (10, 0) at 500 m and from the north (0, -10) at 1 km: it turns
    // clockwise through two right triangles of area 50 each, so the helicity
    // is 2 * 100. Each step changes the wind by sqrt(200).
    Write({{0, 0, 10}, {500, 10, 0}, {1000, 0, -10}, {2000, 20, 20}});
    MakeHodoParams(*store, 0, 1.0f, hodo);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 2);
    EXPECT_EQ(hodo.HodoBaseLevel(kModel, 0), 0);
    EXPECT_EQ(hodo.HodoDone(kModel, 0), kFlagTrue);
    EXPECT_NEAR(hodo.Helicity(kModel, 0), 200.0f, 1e-3);
    EXPECT_NEAR(hodo.HodoLength(kModel, 0), 2.0 * std::sqrt(200.0), 1e-3);
    EXPECT_NEAR(hodo.MeanShear(kModel, 0), 2.0 * std::sqrt(200.0), 1e-3);
    EXPECT_NEAR(hodo.SRWindU(kModel, 0, 1), 10.0f, 1e-5);
    EXPECT_NEAR(hodo.SRWindV(kModel, 0, 2), -10.0f, 1e-5);
    // Southerly at the ground, northerly at the top, 10 m/s each.
    EXPECT_NEAR(hodo.SRSpeedBase(kModel, 0), 10.0f, 1e-5);
    EXPECT_NEAR(hodo.SRDirBase(kModel, 0), 180.0f, 0.01);
    EXPECT_NEAR(hodo.SRSpeedTop(kModel, 0), 10.0f, 1e-5);
    EXPECT_NEAR(hodo.SRDirTop(kModel, 0), 360.0f, 0.01);
}

TEST_F(HodographTest, CircularHodographAboutTheStormMotion) {
    // Storm-relative winds of 10 m/s turning clockwise by 30 degrees every
    // 500 m, from the south wind at the ground through half a circle: each
    // step adds 10 * 10 * sin 30 = 50 to the helicity and a chord of
    // 2 * 10 * sin 15 = 5.17638 to the length.
    std::vector<Point> points;
    for (int L = 0; L <= 6; ++L) {
        const double angle = (90.0 - 30.0 * L) * std::acos(-1.0) / 180.0;
        points.push_back({500.0f * static_cast<float>(L), static_cast<float>(10 * std::cos(angle)),
                          static_cast<float>(10 * std::sin(angle))});
    }
    points.push_back({4000, 0, 0});
    Write(points);
    MakeHodoParams(*store, 0, 3.0f, hodo);
    ASSERT_EQ(hodo.HodoTopLevel(kModel, 0), 6);
    EXPECT_NEAR(hodo.Helicity(kModel, 0), 300.0f, 1e-3);
    EXPECT_NEAR(hodo.HodoLength(kModel, 0), 31.05829f, 1e-3);
    EXPECT_NEAR(hodo.MeanShear(kModel, 0), 31.05829f / 3.0f, 1e-3);

    // The helicity layer from level 3 up: half of it. The storm-relative
    // wind at the ground is still the one reported as the base wind.
    hodo.HodoBaseLevel(kModel, 0) = 3;
    MakeHodoParams(*store, 0, 3.0f, hodo);
    EXPECT_NEAR(hodo.Helicity(kModel, 0), 150.0f, 1e-3);
    EXPECT_NEAR(hodo.HodoLength(kModel, 0), 15.52914f, 1e-3);
    EXPECT_NEAR(hodo.SRDirBase(kModel, 0), 180.0f, 0.01);

    // A base at the top: no layer, nothing swept.
    hodo.HodoBaseLevel(kModel, 0) = 6;
    MakeHodoParams(*store, 0, 3.0f, hodo);
    EXPECT_EQ(hodo.Helicity(kModel, 0), 0.0f);
    EXPECT_EQ(hodo.HodoLength(kModel, 0), 0.0f);
    EXPECT_EQ(hodo.MeanShear(kModel, 0), 0.0f);
}

TEST_F(HodographTest, StraightHodographThroughTheStormMotion) {
    // Ground-relative winds on the line u = v through the storm motion
    // (5, 5): the storm-relative winds all lie on one line through the
    // origin and sweep no area. The length is the distance from (-5, -5) to
    // (20, 20), 25 * sqrt(2), over a layer 2.5 km deep.
    stormU = 5.0f;
    stormV = 5.0f;
    Write({{0, -10, -10}, {500, -5, -5}, {1500, 5, 5}, {2500, 15, 15}, {4000, -30, 12}});
    MakeHodoParams(*store, 0, 2.5f, hodo);
    ASSERT_EQ(hodo.HodoTopLevel(kModel, 0), 3);
    EXPECT_NEAR(hodo.Helicity(kModel, 0), 0.0f, 1e-4);
    EXPECT_NEAR(hodo.HodoLength(kModel, 0), 25.0 * std::sqrt(2.0), 1e-3);
    EXPECT_NEAR(hodo.MeanShear(kModel, 0), 10.0 * std::sqrt(2.0), 1e-3);
}

TEST_F(HodographTest, TopAboveTheProfileTakesTheTopLevel) {
    // The profile ends at 2 km; a 6 km layer reaches its top level, the
    // shear is spread over those 2 km, and the choice is made only once.
    Write({{0, 0, 10}, {500, 10, 0}, {1000, 0, -10}, {2000, 0, -20}}, 0);
    Write({{0, 0, 10}, {500, 10, 0}, {1000, 0, -10}, {2000, 0, -20}}, 1);
    hodo.HodoDone(kModel, 1) = kFlagTrue; // the last column, worked out before
    MakeHodoParams(*store, 0, 6.0f, hodo);
    EXPECT_EQ(hodo.HodoDone(kModel, 1), kFlagFalse); // every column to the last is stale
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 3);
    EXPECT_NEAR(hodo.HodoLength(kModel, 0), 2.0 * std::sqrt(200.0) + 10.0, 1e-3);
    EXPECT_NEAR(hodo.MeanShear(kModel, 0), (2.0 * std::sqrt(200.0) + 10.0) / 2.0, 1e-3);
    // Choosing column 1's layer marks every column stale; column 0 keeps its
    // layer, so using it again does not mark column 1 stale.
    MakeHodoParams(*store, 1, 6.0f, hodo);
    EXPECT_EQ(hodo.HodoDone(kModel, 0), kFlagFalse);
    MakeHodoParams(*store, 0, 6.0f, hodo);
    EXPECT_EQ(hodo.HodoDone(kModel, 1), kFlagTrue);
    // A read clears the layers; a lower top is then chosen afresh.
    hodo.ClearAfterRead();
    EXPECT_EQ(hodo.HodoDone(kModel, 0), kFlagFalse);
    MakeHodoParams(*store, 0, 1.0f, hodo);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 2);
}

TEST_F(HodographTest, TopNearestTheGroundStillHasDepth) {
    // A 0 km top is nearest the ground: the layer reaches level 1 (500 m),
    // the single step from the south wind to the west wind.
    Write({{0, 0, 10}, {500, 10, 0}, {1000, 0, -10}});
    MakeHodoParams(*store, 0, 0.0f, hodo);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 1);
    EXPECT_NEAR(hodo.Helicity(kModel, 0), 100.0f, 1e-3);
    EXPECT_NEAR(hodo.MeanShear(kModel, 0), std::sqrt(200.0) / 0.5, 1e-3);
    EXPECT_TRUE(std::isfinite(hodo.MeanShear(kModel, 0)));
}

} // namespace
} // namespace tarvex
