#pragma once

namespace tarvex {

struct ProfileArrays;
struct WholeRunResults;

// Standard-atmosphere heights (ft) of the highest 0 C and -20 C crossings of
// every time column of the current model, linear in pressure between the
// levels around them. A column at or below the isotherm throughout puts it
// at the surface; a column still warmer at its top level puts it at the top
// level. Sets IsothermsDone.
void FindTempLevel(const ProfileArrays& store, WholeRunResults& run);

// Depth (ft) of the warm part of the cloud of every time column: from the
// condensation level up to 0 C, never negative. Finds the isotherms first
// when they are not yet known. Sets WarmCloudDone.
void MakeWarmCloudDepth(const ProfileArrays& store, WholeRunResults& run);

// TQ index of every time column: T850 + Td850 - 1.7 T700 (deg C). Sets TQDone.
void MakeTQ(const ProfileArrays& store, WholeRunResults& run);

// Omega of the current model smoothed over time and level: each cell counts
// twice, beside the neighbours it has among the times of the run and the
// profile levels. Sets SmoothedOmegaDone.
void SmoothOmega(const ProfileArrays& store, WholeRunResults& run);

} // namespace tarvex
