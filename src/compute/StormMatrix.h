#pragma once

#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>
#include <string>

namespace tarvex {

// Hodograph length (m/s) of the layer between two heights above ground (km)
// in time column t of the current model: the summed lengths of the wind
// differences between successive levels, from the level nearest the lower
// height to the level nearest the upper one. 0 when the upper level is not
// above the lower one.
float MakeHodographLength(const ProfileArrays& store, std::int16_t t, float lower, float upper);

// Helicity (m2/s2) of the same layer relative to its own mean wind; positive
// for a hodograph that turns clockwise. 0 when the upper level is not above
// the lower one.
float MakeLayerHelicity(const ProfileArrays& store, std::int16_t t, float lower, float upper);

// The six ways the storm matrix sorts a hodograph; cells of one way share
// one reason sketch.
enum class MatrixBranch {
    NoShear,          // A: little shear in the lowest 5 km
    StraightLow,      // B to E: straight hodograph near the ground
    TurningLeft,      // J: backing low-level hodograph
    CalmAloft,        // N, O, P: curved low levels, little shear above
    StraightAloft,    // F to I: curved low levels, straight above
    CurvedThroughout, // K, L, M: curved low levels and curved above
};

// The decision of the matrix for one hour: the branch, the cell letter and
// the layer quantities the decision read (the ones it did not need stay 0).
struct MatrixDecision {
    MatrixBranch Branch = MatrixBranch::NoShear;
    char Cell = 'A';
    float S05 = 0.0f;  // hodograph length 0-5 km
    float H025 = 0.0f; // helicity 0-2.5 km
    float S255 = 0.0f; // hodograph length 2.5-5 km
    float H255 = 0.0f; // helicity 2.5-5 km
    float S025 = 0.0f; // hodograph length 0-2.5 km
    float S075 = 0.0f; // hodograph length 0-7.5 km
};

// The one decision tree of the storm matrix, for time column t of the
// current model. Every threshold is a strict "below".
MatrixDecision DecideMatrixCell(const ProfileArrays& store, std::int16_t t);

// The sixteen cell codes: the cell letter, then four three-character slots of
// the CAPE classes (a slot letter and a page number, or "xxx").
extern const std::array<const char*, 16> MatrixCellTable;

// The cell code of time column t.
std::string SelectMatrixCell(const ProfileArrays& store, std::int16_t t);

// CAPE classes of a matrix entry: 1 below 1771 J/kg, 2 below 2711, then 3 or
// 4 by the mean dew-point depression between the LFC and the EQL (moist
// below 15 deg C).
inline constexpr float kMatrixClass2Cape = 1771.0f;
inline constexpr float kMatrixHighCape = 2711.0f;
inline constexpr float kMatrixDryDepression = 15.0f;
// Below this CAPE an hour has no matrix entry to show.
inline constexpr float kMatrixLowCape = 300.0f;

// Storm-matrix entries per [model, time].
struct StormMatrixResults {
    TimeGrid<std::int16_t> MatrixEntryReady{"MatrixEntryReady"};
    // Mean dew-point depression (deg C) between the LFC and the EQL; written
    // only for the high-CAPE classes, and only when a level lies between the
    // two (MatrixDPDKnown).
    TimeField MatrixMeanDPD{"MatrixMeanDPD"};
    TimeGrid<std::int16_t> MatrixDPDKnown{"MatrixDPDKnown"};
    // Name stem of the entry's training pages.
    TimeGrid<std::string> MatrixPageName{"MatrixPageName"};
    // Label text: the cell letter and the class digit, or "-" at low CAPE.
    TimeGrid<std::string> MatrixCellCode{"MatrixCellCode"};

    void ClearAfterRead();
};

// Mean dew-point depression (deg C) of time column t over the levels above
// the LFC up to the EQL. False when no level lies there.
bool MeanDepressionLfcToEql(const ProfileArrays& store, std::int16_t t, float& mean);

// The class digit of an entry whose high CAPE has no level between the LFC
// and the EQL: its moisture, and so its class, is unknown.
inline constexpr char kMatrixUnknownClass = '?';

// CAPE class digit '1'..'4' of a CAPE and the mean depression (used only at
// high CAPE; known says whether there is one).
char MatrixCapeClass(float cape, bool known, float meanDepression);

// Page name stem of an entry in the folder of the training media, with the
// host's separator; an empty folder is the current one.
std::string MatrixPageStem(const std::string& trainingFolder, char cell, char capeClass);

// Whether the training has pages for a cell code: none for "-", for an
// unknown class, nor for classes 1 and 3 of cells A to E.
bool MatrixHasPages(const std::string& code);

// Computes the entry of time column t of the current model and marks it
// ready.
void MakeMatrixEntry(const ProfileArrays& store, std::int16_t t, const std::string& trainingFolder,
                     StormMatrixResults& matrix);

} // namespace tarvex
