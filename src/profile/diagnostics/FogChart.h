#pragma once

#include <cstdint>

namespace tarvex {

class PictureSurface;
struct ProfileArrays;
struct Session;

// Top of the specific-humidity axis (g/kg) for the largest specific humidity
// of the file: 2 for a dry file, else the next multiple of 5 above it.
float HumidityAxisTop(float maxSpecificHumidity);
// Its tick step: a fifth of the top, half a g/kg on a dry file's axis of 2.
float HumidityAxisStep(float axisTop);

// Where the crossover temperature of an hour came from.
struct CrossoverSource {
    bool Manual = false;
    std::int16_t HoursAgo = 0; // of the warmest hour, when not manual
    std::int16_t Column = 0;   // the warmest hour's time column
};

// The crossover temperature of time column c of the current model: the hour's
// manual value, else the screen dew point of the warmest hour of the last 23
// hours (the latest of equally warm hours). Stores it in XoverTemp of the
// model; with no temperature to compare it keeps the value there.
CrossoverSource FindCrossover(Session& session, std::int16_t c);

// The crossover buttons: the value in use moved by deltaC (deg C), or the
// computed value back (Reset), for hour c and every later hour of the current
// model. An hour past the model's last changes nothing.
void StepCrossover(Session& session, std::int16_t c, float deltaC);
void ResetCrossover(Session& session, std::int16_t c);

// Bulk stability of the lowest 100 mb of an hour: the warmest temperature of
// the layer and its level (-999 and 0 when the layer holds no level), the
// strongest wind (knots) from level 1 up to that level and below 1500 ft
// (-999 when none), and MRi, the warm excess over the screen temperature per
// square knot; MRi is not a number when that wind is calm or when the
// temperature or the wind is missing.
struct BoundaryLayerStability {
    float Tmax = -999.0f;
    std::int16_t jmax = 0;
    float Vmax = -999.0f;
    float MRi = 0.0f;
};
BoundaryLayerStability MakeBoundaryLayerStability(const ProfileArrays& s, std::int16_t t);

// The fog panel for time column c of the current model, drawn from scratch:
// the specific humidity of the lowest 500 ft and its change from level to
// level, the air and ground temperatures against the crossover temperature,
// and the stability of the lowest 100 mb with its verdicts.
void PlotFog(PictureSurface& pic, Session& session, std::int16_t c);

} // namespace tarvex
