#pragma once

#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>

namespace tarvex {

// A derived value that could not be had for an hour (no level to
// interpolate from); traces break there.
inline constexpr float kMissingField = -9999.0f;

// What the derived fields read of the overview's settings.
struct DerivedFieldOptions {
    // Layer shear per km of depth ("(m/s) / km") instead of m/s.
    bool ShearPerKm = false;
    // Pressure (mb) of the lake-index temperature and of the Total Totals.
    std::int16_t LakeIndexLevel = 850;
    std::int16_t TotalTotalsLevel = 850;
};

// A done flag for each model column.
using ModelFlags = std::array<bool, kModelColumns>;

// The overview's derived time-height fields and per-hour indices. Each is
// computed for all hours of the current model on first use and kept until
// the next read; the done flags say which models are filled.
struct DerivedOverviewFields {
    LevelField LayerShearField{"LayerShearField"};
    LevelField ShearContourField{"ShearContourField"};
    LevelField DeltaThetaEField{"DeltaThetaEField"};
    LevelField IcingField{"IcingField"};
    LevelField MeanMixingRatioField{"MeanMixingRatioField"};
    // Haines index 2..6 by variant 1 ("Low"), 2 ("Mid"), 3 ("High").
    LevelGrid<std::int16_t, 4> HainesIndexField{"HainesIndexField"};
    TimeField TotalTotalsField{"TotalTotalsField"};
    TimeField LevelTemperatureField{"LevelTemperatureField"};
    // Snow-to-liquid ratio per hour (0: too warm, or no saturated ascent),
    // and whether MakeSnowRatio has run (one flag for every model).
    TimeField SnowRatio{"SnowRatio"};
    bool SnowRatioDone = false;

    ModelFlags LayerShearDone{};
    ModelFlags ShearContourDone{};
    ModelFlags DeltaThetaEDone{};
    ModelFlags IcingDone{};
    ModelFlags MeanMixingRatioDone{};
    ModelFlags HainesIndexDone{};
    ModelFlags TotalTotalsDone{};
    ModelFlags LevelTemperatureDone{};
    ModelFlags HodoParamsAllHoursDone{};

    // Precipitation types seen in the run: 0 "C", 1 "N", 2 "S", 3 "ZR", 4 "IP".
    std::array<bool, 5> PTypeSeen{};

    void ClearAfterRead() {
        for (ModelFlags* flags : {&LayerShearDone, &ShearContourDone, &DeltaThetaEDone, &IcingDone,
                                  &MeanMixingRatioDone, &HainesIndexDone, &TotalTotalsDone,
                                  &LevelTemperatureDone, &HodoParamsAllHoursDone})
            flags->fill(false);
        PTypeSeen.fill(false);
        SnowRatioDone = false;
    }
};

struct HodographResults;
struct PTypeResults;

// Each Make routine fills its field for every hour of the current model and
// sets the model's done flag.

// Length of the hodograph from the surface wind up to each level (m/s), or
// per km of depth (0 within 0.5 km of the surface).
void MakeLayerShear(const ProfileArrays& store, const DerivedFieldOptions& options,
                    DerivedOverviewFields& fields);
// Difference between each level's wind and the mean wind of the lowest 500 m.
void MakeShearContour(const ProfileArrays& store, DerivedOverviewFields& fields);
// Equivalent potential temperature of each level less that of level 1.
void MakeDeltaThetaE(const ProfileArrays& store, DerivedOverviewFields& fields);
// Icing index -8 (T - Td) - T; positive values above freezing become 0.
void MakeIcing(const ProfileArrays& store, DerivedOverviewFields& fields);
// Mean mixing ratio of levels 1..L.
void MakeMeanMixingRatio(const ProfileArrays& store, DerivedOverviewFields& fields);
// Haines index of the three variants (stability term plus moisture term).
void MakeHainesIndex(const ProfileArrays& store, DerivedOverviewFields& fields);
// Total Totals between the configured level and 500 mb.
void MakeTotalTotals(const ProfileArrays& store, const DerivedFieldOptions& options,
                     DerivedOverviewFields& fields);
// Temperature at the lake-index pressure, linear in ln p. A surface already
// above that pressure gives level 1's temperature; a profile whose top is
// below it gives kMissingField.
void MakeLevelTemperature(const ProfileArrays& store, const DerivedFieldOptions& options,
                          DerivedOverviewFields& fields);
// The hodograph quantities of every hour.
void MakeHodoParamsAllHours(const ProfileArrays& store, float HodoTopKm, HodographResults& hodo,
                            DerivedOverviewFields& fields);
// Which precipitation types fall during the run (PTypeSeen), by each wet
// hour's precipitation-type code.
void MakePTypeSummary(const ProfileArrays& store, const PTypeResults& ptype,
                      DerivedOverviewFields& fields);

// Haines terms: 1, 2 or 3 by the first limit the difference stays below.
std::int16_t HainesTerm(float difference, float limit1, float limit2);

} // namespace tarvex
