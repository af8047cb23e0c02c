#pragma once

#include "compute/ComputeState.h"
#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>

namespace tarvex {

// Days of a run that the maximum-temperature method keeps apart: room for
// one day a column, the most any column spacing can give.
inline constexpr int kMixingLayerDays = kTimeColumns;

// The two ways of finding the mixing layer, by btnMixingLayer's index.
enum MixingLayerModes : std::int16_t {
    kMixingByMomentumTransfer = 0,   // "Momentum Transfer"
    kMixingByMaximumTemperature = 1, // "Maximum Temperature"
};

// The mixing layer of every hour and the winds that carry smoke through it,
// per [model, time]; the day maxima are per [model, day].
struct MixingLayerResults {
    // Level of the mixing-layer top (at least 1 where the model has levels).
    TimeField MixingLayerTopLevel{"MixingLayerTopLevel"};
    // Top of the mixing layer above ground (m).
    TimeField MixingHeight{"MixingHeight"};
    // Vector-mean wind of the levels from 1 to the top: direction (degrees
    // it blows from) and speed (knots).
    TimeField TransportDir{"TransportDir"};
    TimeField TransportSpeed{"TransportSpeed"};
    // Mixing height times transport speed, in thousands of m2/s.
    TimeField Ventilation{"Ventilation"};
    // First time column of each day after the first, where a marker stands.
    std::array<std::array<std::int16_t, kMixingLayerDays>, kModelColumns> MixingLayerMarkers{};
    ModelArray<std::int16_t> MarkerCount{"MarkerCount"};
    // Maximum 2 m temperature of each day (deg C) and the number of days.
    std::array<std::array<float, kMixingLayerDays>, kModelColumns> MaxTemperature{};
    ModelArray<std::int16_t> DayCount{"DayCount"};
    // The day maxima were taken from the run; a user's nudges then stand
    // until the next read.
    ModelArray<std::int16_t> MaxTemperatureSet{"MaxTemperatureSet"};
    // The values above are up to date for the model.
    ModelArray<std::int16_t> MixingLayerReady{"MixingLayerReady"};

    void ClearAfterRead() {
        for (int m = 0; m < kModelColumns; ++m) {
            MixingLayerReady(m) = kFlagFalse;
            MaxTemperatureSet(m) = kFlagFalse;
        }
    }
};

// Temperature (deg C) of dry air brought from a start temperature (deg C) at
// a base pressure to another pressure (mb).
float DryAdiabatTemperature(float start, float basePressure, float pressure);

// Top of the mixing layer of time column t: the last level of the run of
// levels, from level 1 up, whose temperature is at or below the dry adiabat
// from start (deg C) at the surface pressure, so that air lifted from the
// ground is still at least as warm as its surroundings there; levels within
// skipDepth mb of the surface belong to the layer whatever their
// temperature. At least level 1.
std::int16_t MixingLayerTop(const ProfileArrays& store, int t, float start, float skipDepth);

// Fills the mixing layer of every hour of the current model and sets
// MixingLayerReady. Mode kMixingByMomentumTransfer starts each hour from its
// own 2 m temperature and mixes through the lowest TransferDepth mb;
// kMixingByMaximumTemperature starts every hour of a day from that day's
// maximum. Days are blocks of 24 hours from the first column, each with its
// own maximum, split at the markers.
void MakeMixingLayer(const ProfileArrays& store, std::int16_t MixingLayerMode, float TransferDepth,
                     int HoursPerColumn, MixingLayerResults& results);

} // namespace tarvex
