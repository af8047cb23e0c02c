#pragma once

// Builds test soundings by writing the store the way the sounding reader
// leaves it, so that computations can be checked on profiles worked out by
// hand.

#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace tarvex::test {

inline constexpr double kTestKnotsPerMs = 1.94254;

// One level of a test sounding; the wind is given as components.
struct SoundingLevel {
    float Pressure = 0.0f;    // mb
    float Height = 0.0f;      // m above sea level
    float Temperature = 0.0f; // deg C
    float DewPoint = 0.0f;    // deg C
    float WindU = 0.0f;       // m/s, towards the east
    float WindV = 0.0f;       // m/s, towards the north
    float WetBulb = 0.0f;     // deg C
};

// The sounding of one time column, profile levels bottom up.
struct OneTimeProfile {
    float StationElevation = 0.0f; // m
    float SurfacePressure = 1000.0f;
    float SurfaceU = 0.0f; // 10 m wind, m/s
    float SurfaceV = 0.0f;
    float StormU = 0.0f; // storm motion, m/s
    float StormV = 0.0f;
    std::vector<SoundingLevel> Levels;
};

// The store is large; tests keep it on the heap.
inline std::unique_ptr<ProfileArrays> NewStore() {
    return std::make_unique<ProfileArrays>();
}

// Direction the wind blows from (degrees, 0..360) and speed (knots), worked
// out with the exact degree.
inline float TestDirection(float u, float v) {
    if (u == 0.0f && v == 0.0f) return 0.0f;
    const double d = std::atan2(-u, -v) * 180.0 / std::numbers::pi;
    return static_cast<float>(d < 0.0 ? d + 360.0 : d);
}
inline float TestSpeedKnots(float u, float v) {
    return static_cast<float>(std::hypot(u, v) * kTestKnotsPerMs);
}

// Writes the profile into time column t of the current model: level 0 is the
// surface (surface pressure, station height, 10 m wind), levels 1..n the
// profile with HeightAGL, speed in knots and direction, the wind components
// in their shifted slots (storm motion, 10 m wind, levels) and their
// originals, and a pressure of 0 at level n + 1 where the level list ended.
inline void WriteProfile(ProfileArrays& store, const OneTimeProfile& profile, int t = 0) {
    const int m = store.CurrentModel;
    const int n = static_cast<int>(profile.Levels.size());
    store.LevelCount(m) = static_cast<std::uint16_t>(n);
    store.LastTime(m) = static_cast<std::int16_t>(std::max<int>(store.LastTime(m), t));
    store.StationElevation(m) = profile.StationElevation / 1000.0f;
    store.SurfacePressure(m, t) = profile.SurfacePressure;
    store.SurfaceU(m, t) = profile.SurfaceU;
    store.SurfaceV(m, t) = profile.SurfaceV;
    store.StormU(m, t) = profile.StormU;
    store.StormV(m, t) = profile.StormV;

    store.Pressure(m, t, 0) = profile.SurfacePressure;
    store.Height(m, t, 0) = profile.StationElevation;
    store.HeightAGL(m, t, 0) = 0.0f;
    store.WindDirection(m, t, 0) = TestDirection(profile.SurfaceU, profile.SurfaceV);
    store.WindSpeed(m, t, 0) = TestSpeedKnots(profile.SurfaceU, profile.SurfaceV);
    for (WindGrid* grid : {&store.WindU, &store.WindUOriginal}) {
        grid->Storm(m, t) = profile.StormU;
        grid->Level(m, t, 0) = profile.SurfaceU;
    }
    for (WindGrid* grid : {&store.WindV, &store.WindVOriginal}) {
        grid->Storm(m, t) = profile.StormV;
        grid->Level(m, t, 0) = profile.SurfaceV;
    }

    for (int L = 1; L <= n; ++L) {
        const SoundingLevel& level = profile.Levels[static_cast<std::size_t>(L - 1)];
        store.Pressure(m, t, L) = level.Pressure;
        store.Height(m, t, L) = level.Height;
        store.HeightAGL(m, t, L) = level.Height - profile.StationElevation;
        store.Temperature(m, t, L) = level.Temperature;
        store.DewPoint(m, t, L) = level.DewPoint;
        store.WetBulb(m, t, L) = level.WetBulb;
        store.WindDirection(m, t, L) = TestDirection(level.WindU, level.WindV);
        store.WindSpeed(m, t, L) = TestSpeedKnots(level.WindU, level.WindV);
        store.WindU.Level(m, t, L) = level.WindU;
        store.WindV.Level(m, t, L) = level.WindV;
        store.WindUOriginal.Level(m, t, L) = level.WindU;
        store.WindVOriginal.Level(m, t, L) = level.WindV;
    }
    if (n + 1 < kLevelSlots) store.Pressure(m, t, n + 1) = 0.0f;
}

// A sounding over a station at sea level with level 1 on the ground and a
// level every 500 m and every 50 mb from 1000 mb, with the given temperatures
// and dew-point depressions (0, or none given: saturated).
inline OneTimeProfile EvenLevels(const std::vector<float>& temps,
                                 const std::vector<float>& depressions = {}) {
    OneTimeProfile p;
    for (std::size_t i = 0; i < temps.size(); ++i) {
        SoundingLevel level;
        level.Pressure = 1000.0f - 50.0f * static_cast<float>(i);
        level.Height = 500.0f * static_cast<float>(i);
        level.Temperature = temps[i];
        level.DewPoint = temps[i] - (i < depressions.size() ? depressions[i] : 0.0f);
        p.Levels.push_back(level);
    }
    return p;
}

// Fills every field of level L of time column t with NaN: a computation that
// reads above the top level then shows it in its results.
inline void PoisonLevel(ProfileArrays& store, int t, int L) {
    const int m = store.CurrentModel;
    const float nan = std::nanf("");
    for (LevelField* field :
         {&store.Pressure, &store.Height, &store.HeightAGL, &store.Temperature, &store.DewPoint,
          &store.WetBulb, &store.WindDirection, &store.WindSpeed})
        (*field)(m, t, L) = nan;
    store.WindU.Level(m, t, L) = nan;
    store.WindV.Level(m, t, L) = nan;
}

} // namespace tarvex::test
