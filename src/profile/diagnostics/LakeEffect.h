#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

struct Session;

// The two numbers of the lake-effect panel that the sounding diagram's lake
// indices use, in whole degrees C as the panel shows them: the lake
// temperature and the temperature at the panel's first level (850 mb unless
// configured otherwise). T850 is not a number when no such level is
// configured.
struct LakeEffectReadings {
    float LakeC = 0.0f;
    float T850 = 0.0f;
};

// The readings for time column t of the current model, from the lake
// temperature of the parcel options and the configured first level.
LakeEffectReadings LakeEffectReadingsFor(const Session& session, std::int16_t t);

// Lake-effect instability from the lake's excess over the two levels' air.
enum class LakeStability { None, Conditional, Moderate, Extreme };
LakeStability LakeStabilityClass(float diff850, float diff700);
// "", "Conditional", "Moderate" or "Extreme".
std::string LakeStabilityCaption(LakeStability stability);

// What the lake-effect panel shows for one hour: the temperatures at the two
// configured levels and the lake's excess over them (deg C; not a number when
// the level is not configured), the instability class, and the label texts.
struct LakeEffectValues {
    float T850 = 0.0f;
    float Diff850 = 0.0f;
    float T700 = 0.0f;
    float Diff700 = 0.0f;
    LakeStability Stability = LakeStability::None;
    std::string lblT850, lblDiff850, lblT700, lblDiff700;
    std::string lblStability;
    std::string lblModelCape; // the model's CAPE, J/kg
    std::string lblLIC;       // lake-induced CAPE, J/kg
    std::string lblLIE;       // its equilibrium level, ft above the ground
    std::string lblNLIC;      // its CAPE per metre of depth, "----" when shallow
};

// The panel's values for time column t of the current model. Lifts the
// lake-modified parcel of the hour first when it is not lifted yet.
LakeEffectValues MakeLakeEffect(Session& session, std::int16_t t);

} // namespace tarvex
