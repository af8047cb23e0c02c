#include "compute/MixingLayer.h"

#include "compute/ProfileInterp.h"
#include "compute/Winds.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr double kKelvinOffset = 273.16;

// The day of time column t: 24-hour blocks from the first column.
int DayOf(int t, int HoursPerColumn) {
    const int perDay = std::max(24 / std::max(HoursPerColumn, 1), 1);
    return std::clamp(t / perDay, 0, kMixingLayerDays - 1);
}

void FindDays(const ProfileArrays& store, int HoursPerColumn, MixingLayerResults& r) {
    const int m = store.CurrentModel;
    const int last = store.LastTime(m);
    const int days = last < 0 ? 0 : DayOf(last, HoursPerColumn) + 1;
    r.DayCount(m) = static_cast<std::int16_t>(days);
    r.MarkerCount(m) = static_cast<std::int16_t>(days);
    auto& markers = r.MixingLayerMarkers[static_cast<std::size_t>(m)];
    markers.fill(0);
    for (int t = 1; t <= last; ++t)
        if (DayOf(t, HoursPerColumn) != DayOf(t - 1, HoursPerColumn))
            markers[static_cast<std::size_t>(DayOf(t, HoursPerColumn))] =
                static_cast<std::int16_t>(t);
    if (r.MaxTemperatureSet(m) != kFlagFalse) return;
    auto& maxima = r.MaxTemperature[static_cast<std::size_t>(m)];
    maxima.fill(-999.0f);
    for (int t = 0; t <= last; ++t) {
        float& day = maxima[static_cast<std::size_t>(DayOf(t, HoursPerColumn))];
        day = std::max(day, store.SurfaceTemp(m, t));
    }
    r.MaxTemperatureSet(m) = kFlagTrue;
}

} // namespace

float DryAdiabatTemperature(float start, float basePressure, float pressure) {
    return static_cast<float>(
        (start + kKelvinOffset) *
            std::pow(static_cast<double>(pressure) / basePressure, 2.0 / 7.0) -
        kKelvinOffset);
}

std::int16_t MixingLayerTop(const ProfileArrays& store, int t, float start, float skipDepth) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    const float base = store.SurfacePressure(m, t);
    int top = 1;
    for (int k = 1; k <= n; ++k) {
        const float p = store.Pressure(m, t, k);
        const bool mixed = p > base - skipDepth ||
                           store.Temperature(m, t, k) <= DryAdiabatTemperature(start, base, p);
        if (!mixed) break;
        top = k;
    }
    return static_cast<std::int16_t>(top);
}

void MakeMixingLayer(const ProfileArrays& store, std::int16_t MixingLayerMode, float TransferDepth,
                     int HoursPerColumn, MixingLayerResults& results) {
    const int m = store.CurrentModel;
    FindDays(store, HoursPerColumn, results);
    const bool byMaximum = MixingLayerMode == kMixingByMaximumTemperature;
    const auto& maxima = results.MaxTemperature[static_cast<std::size_t>(m)];
    for (int t = 0; t <= store.LastTime(m); ++t) {
        const float start = byMaximum ? maxima[static_cast<std::size_t>(DayOf(t, HoursPerColumn))]
                                      : store.SurfaceTemp(m, t);
        const int top = MixingLayerTop(store, t, start, byMaximum ? 0.0f : TransferDepth);
        results.MixingLayerTopLevel(m, t) = static_cast<float>(top);
        double sumU = 0.0;
        double sumV = 0.0;
        for (int k = 1; k <= top; ++k) {
            sumU += store.WindU.Level(m, t, k);
            sumV += store.WindV.Level(m, t, k);
        }
        const double u = sumU / top;
        const double v = sumV / top;
        const double speed = std::sqrt(u * u + v * v); // m/s
        const float height = std::max(store.HeightAGL(m, t, top), 0.0f);
        results.MixingHeight(m, t) = height;
        results.TransportDir(m, t) = DirectionFromUV(static_cast<float>(u), static_cast<float>(v));
        results.TransportSpeed(m, t) = static_cast<float>(speed * kKnotsPerMs);
        results.Ventilation(m, t) = static_cast<float>(height * speed / 1000.0);
    }
    results.MixingLayerReady(m) = kFlagTrue;
}

} // namespace tarvex
