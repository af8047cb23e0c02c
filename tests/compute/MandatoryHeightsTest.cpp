#include "compute/MandatoryHeights.h"
#include "ProfileBuilder.h"
#include "files/Session.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using test::OneTimeProfile;

// Levels given by pressure, height and temperature; the other fields stay 0.
OneTimeProfile Levels(std::initializer_list<std::array<float, 3>> rows) {
    OneTimeProfile p;
    p.SurfacePressure = rows.begin()->at(0);
    p.StationElevation = rows.begin()->at(1);
    for (const auto& [pressure, height, temp] : rows)
        p.Levels.push_back({.Pressure = pressure, .Height = height, .Temperature = temp});
    return p;
}

TEST(MandatoryHeights, InterpolatesLinearlyInPressure) {
    auto store = test::NewStore();
    test::WriteProfile(*store, Levels({{1000, 100, 15},
                                       {900, 950, 10},
                                       {800, 1900, 4},
                                       {700, 2950, -2},
                                       {600, 4150, -10},
                                       {500, 5550, -20}}));
    EXPECT_FLOAT_EQ(InterpH(*store, 0, 1000), 100.0f); // the lowest level itself
    EXPECT_FLOAT_EQ(InterpH(*store, 0, 850), 1425.0f); // halfway 950 .. 1900
    EXPECT_FLOAT_EQ(InterpH(*store, 0, 700), 2950.0f);
    EXPECT_FLOAT_EQ(InterpH(*store, 0, 550), 4850.0f);
    EXPECT_FLOAT_EQ(InterpH(*store, 0, 500), 5550.0f); // the top level itself
    EXPECT_FALSE(HeightAvailable(InterpH(*store, 0, 450)));

    ThicknessResults r;
    MakeThickness(*store, r);
    const int m = store->CurrentModel;
    EXPECT_EQ(r.ThicknessReady(m), kFlagTrue);
    EXPECT_FLOAT_EQ(r.ThicknessHeights(m, 0, kSurface850), 1425.0f);
    EXPECT_FLOAT_EQ(r.Thickness(m, 0, kSurface1000, kSurface500), 5450.0f);
    r.ClearAfterRead();
    EXPECT_EQ(r.ThicknessReady(m), kFlagFalse);
}

TEST(MandatoryHeights, ExtrapolatesBelowTheLowestLevel) {
    auto store = test::NewStore();
    // 100 - 287.04 * 283.16 / 9.80616 * ln(1000 / 990) = 16.698 m.
    test::WriteProfile(*store, Levels({{990, 100, 10}, {900, 900, 5}, {500, 5600, -20}}));
    EXPECT_NEAR(InterpH(*store, 0, 1000), 16.698f, 0.01f);

    // A high site: the surface at 800 mb, the layer down to 850 mb takes the
    // lowest level's 5 deg C: 1950 - 8142.13 * ln(850 / 800) = 1456.39 m.
    // The surface record sits at the same pressure, a zero layer.
    test::WriteProfile(*store, Levels({{800, 1950, 5}, {700, 3000, -1}, {500, 5650, -18}}), 1);
    ThicknessResults r;
    MakeThickness(*store, r);
    const int m = store->CurrentModel;
    EXPECT_NEAR(r.ThicknessHeights(m, 1, kSurface850), 1456.39f, 0.01f);
    EXPECT_NEAR(r.ThicknessHeights(m, 1, kSurface1000), 133.14f, 0.01f);
    EXPECT_FLOAT_EQ(r.ThicknessHeights(m, 1, kSurface700), 3000.0f);
}

TEST(MandatoryHeights, MissingWhereTheSoundingEndsOrIsEmpty) {
    auto store = test::NewStore();
    const int m = store->CurrentModel;
    ThicknessResults r;
    store->LastTime(m) = -1; // no time columns: only the flag is set
    MakeThickness(*store, r);
    EXPECT_EQ(r.ThicknessReady(m), kFlagTrue);
    EXPECT_FALSE(HeightAvailable(InterpH(*store, 0, 850))); // no levels

    test::WriteProfile(*store, Levels({{1000, 100, 15}, {800, 1900, 4}, {600, 4150, -10}}));
    MakeThickness(*store, r);
    EXPECT_FALSE(HeightAvailable(r.ThicknessHeights(m, 0, kSurface500)));
    EXPECT_FALSE(HeightAvailable(r.Thickness(m, 0, kSurface1000, kSurface500)));
    // 700 mb halfway between 1900 and 4150 m: 3025 m, 2925 m above 1000 mb.
    EXPECT_FLOAT_EQ(r.Thickness(m, 0, kSurface1000, kSurface700), 2925.0f);
}

} // namespace
} // namespace tarvex
