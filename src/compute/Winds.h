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

// The vector mean of the winds of a layer of levels and how far the level
// winds scatter about it: direction (degrees, from DirectionFromUV), speed
// and spread (root of the summed squared differences of both components
// divided by the number of levels), speeds in the unit of the stored winds.
struct LayerWind {
    float Direction = 0.0f;
    float Speed = 0.0f;
    float Spread = 0.0f;
};

// The mean wind of levels bottom..top (either order) of time column t of
// model m.
LayerWind LayerMeanWind(const ProfileArrays& store, int m, int t, int bottom, int top);

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
