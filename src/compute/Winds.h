#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct WindResults;
struct ComputeOptions;

// Radians per degree as the program uses it everywhere (slightly below
// pi / 180; directions shown to forecasters follow it).
inline constexpr double kDegreeFactor = 0.017453236666666667;
inline constexpr double kKnotsPerMs = 1.94254;

// Direction (degrees) the wind of components u, v blows from. The u component
// carries a guard of 0.0001 m/s, so a calm wind reads 270.
float DirectionFromUV(float u, float v);

// 0-4 km shear (m/s) of time column t of the current model, measured as the
// options' CAPEShearMethod says, from level 1 to the level nearest 4 km above
// ground. Sets ShearDone, never CapeShearDone.
void MakeShear(const ProfileArrays& store, std::int16_t t, WindResults& winds,
               const ComputeOptions& options);

// 850-300 mb mean wind, low-level jet and MBE vector (knots) of time column t.
// With jetLevel 0 the jet is the strongest wind from level 1 up to 800 mb;
// otherwise it is the wind of level jetLevel. Sets MBEDone.
void MakeMBEVectors(const ProfileArrays& store, std::int16_t t, std::int16_t jetLevel,
                    WindResults& winds, const ComputeOptions& options);

} // namespace tarvex
