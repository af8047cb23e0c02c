#pragma once

#include "files/HistoryFile.h"
#include "platform/PictureSurface.h"

#include <cstdint>

namespace tarvex {

struct Session;

// Rows of the threshold table whose gauge is full at T3 and shrinks again
// beyond it (bulk Richardson number, wet-bulb zero).
inline bool TwoSidedIndex(int index) {
    return index == 4 || index == 6;
}

// One gauge bar of the indices panel: its length (0 to 100 gauge units), its
// colour and the two thresholds printed above it.
struct GaugeBar {
    double Length = 0.0;
    Rgb Color = kBlack;
    float LabelA = 0.0f; // printed a third of the way along
    float LabelB = 0.0f; // printed two thirds of the way along
};

// The gauge of index number i (a row of the threshold table) for value v:
// green, yellow and red thirds between T0, T1, T2 and T3, in the direction
// set by T0 and T1; a two-sided index shrinks back through T4, T5 and T6.
GaugeBar MeasureIndex(const IndexThresholdTable& thresholds, int i, float v);

// Draws the gauge of index i in row r of the panel (gauge scale in force):
// the bar, then the two threshold labels over it in white on black. The
// panel draws every bar before the labels.
void DrawIndices(PictureSurface& pic, const IndexThresholdTable& thresholds, int i, int r, float v);

// The indices panel of time column t of the current model: the stability
// and severe-weather indices with their gauges, the precipitation, the
// precipitable water and the four parcel levels. Makes the model's TQ series
// when it is not made yet. With no sounding loaded the panel is left empty.
void PrintIndices(PictureSurface& pic, Session& session, std::int16_t t);

} // namespace tarvex
