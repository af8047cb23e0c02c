#include "profile/diagnostics/LakeEffect.h"

#include "compute/Levels.h"
#include "compute/Parcels.h"
#include "files/Session.h"
#include "platform/Format.h"

#include <cmath>
#include <limits>

namespace tarvex {

namespace {

constexpr float kNotAvailable = std::numeric_limits<float>::quiet_NaN();

// The panel's levels are whole millibars from the configuration; a level
// that is not configured (0 or less) has no temperature.
float TemperatureAtLevel(const ProfileArrays& s, std::int16_t t, std::int16_t level) {
    if (level <= 0) return kNotAvailable;
    return InterpTempAtPressure(s, t, static_cast<float>(level));
}

// Whole degrees as the panel's labels show them ("#0", "##0": halves away
// from zero).
float WholeDegrees(float value) {
    return std::round(value);
}

std::string WholeDegreesText(float value) {
    return std::isfinite(value) ? Format(value, "##0") : std::string();
}

} // namespace

LakeEffectReadings LakeEffectReadingsFor(const Session& session, std::int16_t t) {
    LakeEffectReadings readings;
    readings.LakeC = WholeDegrees(session.parcelOptions.LakeTempC);
    readings.T850 =
        WholeDegrees(TemperatureAtLevel(*session.profile, t, session.config.CI850Value));
    return readings;
}

LakeStability LakeStabilityClass(float diff850, float diff700) {
    if (!std::isfinite(diff850) || !std::isfinite(diff700)) return LakeStability::None;
    if (diff850 < 12.0f || diff700 < 17.0f) return LakeStability::None;
    if (diff850 < 17.0f) return LakeStability::Conditional;
    if (diff700 >= 30.0f) return LakeStability::Extreme;
    if (diff700 >= 24.0f) return LakeStability::Moderate;
    return LakeStability::Conditional;
}

std::string LakeStabilityCaption(LakeStability stability) {
    switch (stability) {
    case LakeStability::Conditional:
        return "Conditional";
    case LakeStability::Moderate:
        return "Moderate";
    case LakeStability::Extreme:
        return "Extreme";
    case LakeStability::None:
        break;
    }
    return "";
}

LakeEffectValues MakeLakeEffect(Session& session, std::int16_t t) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    // The excesses use the lake temperature in whole degrees as the panel
    // shows it; the lifted parcel uses the exact one.
    const float lakeC = WholeDegrees(session.parcelOptions.LakeTempC);

    LakeEffectValues v;
    v.T850 = TemperatureAtLevel(s, t, session.config.CI850Value);
    v.Diff850 = lakeC - v.T850;
    v.T700 = TemperatureAtLevel(s, t, session.config.CI700Value);
    v.Diff700 = lakeC - v.T700;
    v.lblT850 = WholeDegreesText(v.T850);
    v.lblDiff850 = WholeDegreesText(v.Diff850);
    v.lblT700 = WholeDegreesText(v.T700);
    v.lblDiff700 = WholeDegreesText(v.Diff700);
    v.Stability = LakeStabilityClass(v.Diff850, v.Diff700);
    v.lblStability = LakeStabilityCaption(v.Stability);
    v.lblModelCape = Format(s.CAPE(m, t), "0");

    LakeParcelResults& lake = *session.lake;
    if (!lake.LakeCAPEDone(m, t)) MakeCAPE(s, t, lake, session.parcelOptions);
    v.lblLIC = Format(lake.LakeCAPE(m, t), "0");
    const float depthFt = lake.LakeELDepthFt(m, t);
    v.lblLIE = Format(depthFt, "0'");
    // A shallow parcel's CAPE per metre says nothing.
    v.lblNLIC = depthFt <= 500.0f ? "----" : Format(lake.LakeNCAPE(m, t), ".000");
    return v;
}

} // namespace tarvex
