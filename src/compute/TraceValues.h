#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct TimeHeightFields;

// Miles per hour per knot and miles per kilometre.
inline constexpr double kMphPerKnot = 1.1508;
inline constexpr double kMilesPerKm = 0.621371;

// Degrees Celsius as degrees Fahrenheit.
double CelsiusToFahrenheit(double celsius);

// Wind chill (deg F) of a temperature (deg C) and a wind speed in knots by
// the formula in use before 2001, which works in miles per hour; speeds
// below 4.08 mph count as 4.08.
float OldWindChill(float temperature, float knots);
// Wind chill (deg F) by the formula in use since 2001, the speed in knots;
// never above the air temperature.
float NewWindChill(float temperature, float knots);

// Depth below the top edge at which a visibility (miles) hangs on a
// visibility scale reaching VisibilityScaleMax miles: (max - miles)^2, the
// miles first kept inside 0..max so that a better visibility never hangs
// lower than a poorer one.
double VisibilityDepth(double miles, double VisibilityScaleMax);

// Marks the snow-growth band of every level of the current model: 0 outside
// -18..-12 C, 10 inside it, 21 inside it with a relative humidity above 75 %.
// Sets SnowGrowthDone.
void MakeSnowGrowth(const ProfileArrays& store, TimeHeightFields& fields);

// Moist lake index of time column t: the temperature 150 mb above the
// surface less ((lake + mean of levels 1 and 2) / 2 - 9), the lake
// temperature (deg C) taken as a whole number (halves to even).
float MoistLakeIndexOf(const ProfileArrays& store, std::int16_t t, float LakeTemperature);

// Highest level whose column-0 pressure is above 400 mb, never above the
// level below the top level (a layer needs a level above it); 0 when none.
std::int16_t InversionTopLevel(const ProfileArrays& store);

// Inversion thresholds (deg C): the least warming with height that marks a
// layer, and the least warming that marks it when the upper level's dew-point
// depression reaches the least depression.
struct InversionThresholds {
    float InversionMinRise = 0.5f;
    float StableMinRise = -1.0f;
    float StableMinDepression = 5.0f;
};

// The layer from level l to l + 1 of time column t is an inversion or a dry
// stable layer.
bool InversionLayer(const ProfileArrays& store, int t, int l, const InversionThresholds& limits);

} // namespace tarvex
