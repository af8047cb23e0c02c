#include "files/ReadCompletion.h"

#include "compute/Narrow.h"
#include "compute/PrecipType.h"
#include "compute/StormMotion.h"
#include "compute/Winds.h"
#include "files/DerivedFields.h"
#include "files/Session.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr float kMmPerInch = 25.4f;

void WindFromComponents(ProfileArrays& s, int m, int t) {
    const double u = s.SurfaceU(m, t);
    const double v = s.SurfaceV(m, t);
    s.SurfaceWindSpeed(m, t) = static_cast<float>(std::sqrt(u * u + v * v) * kKnotsPerMs);
    const double a = std::atan(v / (u + 0.000001)) / kDegreeFactor;
    s.SurfaceWindDirection(m, t) = static_cast<float>(u < 0.0 ? 90.0 - a : 270.0 - a);
}

// The 10 m wind of a layout that gives speed (kt) and direction.
void ComponentsFromWind(ProfileArrays& s, int m, int t) {
    const double speed = s.SurfaceWindSpeed(m, t) / kKnotsPerMs;
    const double a = (270.0 - s.SurfaceWindDirection(m, t)) * kDegreeFactor;
    s.SurfaceU(m, t) = static_cast<float>(speed * std::cos(a));
    s.SurfaceV(m, t) = static_cast<float>(speed * std::sin(a));
}

// The surface row of one time, by layout.
void CompleteSurfaceRow(Session& session, SoundingLayout layout, int m, int t) {
    ProfileArrays& s = *session.profile;
    const auto time = static_cast<std::int16_t>(t);
    switch (layout) {
    case SoundingLayout::EtaRuc:
        WindFromComponents(s, m, t);
        s.Precip(m, t) = std::max(0.0f, s.Precip(m, t)) / kMmPerInch;
        s.ConvPrecip(m, t) = std::max(0.0f, s.ConvPrecip(m, t)) / kMmPerInch;
        s.RunOff(m, t) /= kMmPerInch;
        s.Evaporation(m, t) /= kMmPerInch;
        s.EHI(m, t) = s.CAPE(m, t) * s.ModelHelicity(m, t) / 160000.0f;
        MakeStormMotion(s, time, *session.stormMotion);
        break;
    case SoundingLayout::Gfs3:
        WindFromComponents(s, m, t);
        s.Precip(m, t) /= kMmPerInch;
        s.ConvPrecip(m, t) /= kMmPerInch;
        s.ModelSnowRatio(m, t) = 0.0f;
        s.RunOff(m, t) = 0.0f;
        MakeStormMotion(s, time, *session.stormMotion);
        s.ModelHelicity(m, t) = 0.0f;
        s.CloudBase(m, t) = 0.0f;
        // No visibility column: marked, so that no hour reads as fog.
        s.Visibility(m, t) = kNoVisibility;
        s.Evaporation(m, t) /= kMmPerInch;
        s.EHI(m, t) = s.CAPE(m, t) * s.ModelHelicity(m, t) / 160000.0f;
        break;
    case SoundingLayout::Ngm:
        ComponentsFromWind(s, m, t);
        s.Precip(m, t) /= kMmPerInch;
        s.ConvPrecip(m, t) /= kMmPerInch;
        MakeStormMotion(s, time, *session.stormMotion);
        s.EHI(m, t) = 0.0f;
        s.ModelHelicity(m, t) = 0.0f;
        s.SkinTemperature(m, t) = 0.0f;
        s.ModelSnowRatio(m, t) = 100.0f;
        s.CloudBase(m, t) = 100.0f;
        s.Visibility(m, t) = 80.0f;
        break;
    }
}

// Missing station parameters, the surface level and the shifted wind slots
// of one time.
void CompleteSurfaceLevel(ProfileArrays& s, int m, int t) {
    if (s.LFCPressure(m, t) <= 0.0f) {
        s.LFCPressure(m, t) = s.SurfacePressure(m, t);
        s.EQLPressure(m, t) = s.SurfacePressure(m, t);
        s.CINS(m, t) = 0.0f;
    }
    if (s.EQLPressure(m, t) <= 0.0f) s.EQLPressure(m, t) = s.LFCPressure(m, t);
    s.Pressure(m, t, 0) = s.SurfacePressure(m, t);
    s.WindU.Slot(m, t, WindGrid::kSurfaceSlot) = s.SurfaceU(m, t);
    s.WindV.Slot(m, t, WindGrid::kSurfaceSlot) = s.SurfaceV(m, t);
    s.WindU.Storm(m, t) = s.StormU(m, t);
    s.WindV.Storm(m, t) = s.StormV(m, t);
    for (int slot : {WindGrid::kStormSlot, WindGrid::kSurfaceSlot}) {
        s.WindUOriginal.Slot(m, t, slot) = s.WindU.Slot(m, t, slot);
        s.WindVOriginal.Slot(m, t, slot) = s.WindV.Slot(m, t, slot);
    }
    s.WindDirection(m, t, 0) = s.SurfaceWindDirection(m, t);
    s.WindSpeed(m, t, 0) = s.SurfaceWindSpeed(m, t);
    s.Height(m, t, 0) = s.StationElevation(m) * 1000.0f;
}

} // namespace

void CompleteSoundingRead(Session& session, SoundingLayout layout) {
    ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);

    for (int t = 0; t <= last; ++t) CompleteSurfaceRow(session, layout, m, t);
    s.Precip(m, 0) = 0.0f;
    s.ConvPrecip(m, 0) = 0.0f;
    s.PrecipTotal(m, 0) = 0.0f;
    s.ConvPrecipTotal(m, 0) = 0.0f;
    for (int t = 1; t <= last; ++t) {
        s.PrecipTotal(m, t) = s.PrecipTotal(m, t - 1) + s.Precip(m, t);
        s.ConvPrecipTotal(m, t) = s.ConvPrecipTotal(m, t - 1) + s.ConvPrecip(m, t);
    }

    for (int t = 0; t <= last; ++t) CompleteSurfaceLevel(s, m, t);
    session.ClearCachesAfterRead();

    // The precipitation type needs level 0 and the heights of the hour, so
    // it comes after the surface level is in place.
    for (int t = 0; t <= last; ++t) {
        const auto time = static_cast<std::int16_t>(t);
        session.ptype->PTypeAreasDone(m, t) = kFlagFalse;
        MakePTypeAreas(s, time, *session.ptype, session.options);
        MakePType(s, time, *session.ptype, session.options);
        if (layout == SoundingLayout::Ngm) {
            s.PTypeModelCode(m, t) = session.ptype->PTypeEnergyCode(m, t);
            session.ptype->PTypeCode(m, t) = session.ptype->PTypeEnergyCode(m, t);
        }
    }

    MakeWetBulbZero(s);
    MakeCCL(s);
    FindTopLevel(s);

    s.MaxSurfacePressure = 0.0f;
    for (int t = 0; t <= last; ++t)
        s.MaxSurfacePressure = std::max(s.MaxSurfacePressure, s.SurfacePressure(m, t));
    PlaceDiagramBottom(s);
    MakeHeightGridPressures(s, session.heightGrid);
}

} // namespace tarvex
