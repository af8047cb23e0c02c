#pragma once

#include "files/HistoryFile.h"
#include "platform/PictureSurface.h"

#include <cstdint>

namespace tarvex {

struct Session;

// Half-width (knots) of the MBE vector diagram when the program starts, and
// its bounds: a zoom step that would leave them is refused.
inline constexpr float kMbeScaleStart = 51.0f;
inline constexpr float kMbeScaleMin = 5.0f;
inline constexpr float kMbeScaleMax = 1000.0f;

// The half-width after a click on the panel: narrower by the factor 1.2 for
// the left button (1), wider for any other.
float ZoomMbeScale(float MbeScale, int Button);

// One threshold bar of row i on the panel's bar frame: a length of 0 to 100
// from x = 0, green in the first third of the row's thresholds T0..T3,
// yellow in the second, red beyond; nothing at or below T0.
void PlotBar(PictureSurface& pic, float value, int i, const IndexThresholdTable& thresholds);

// An arrow from the current position to (x, y) with two barbs 4 units long,
// 30 degrees either side of the wind direction; leaves the position at its
// head.
void DrawMBEArrow(PictureSurface& pic, double x, double y, Rgb colour, int width, float direction);

// Mean relative humidity (%) of time column t from level 1 up to 500 mb,
// ended by the first level above 500 mb. False when level 1 already lies
// above 500 mb.
bool MeanRHTo500(const Session& session, std::int16_t t, float& meanRH);

// The heavy-precipitation panel of the current model for a time column:
// threshold bars of precipitable water, mean humidity, their product, warm-
// cloud depth and low-level jet, the precipitable-water limits taken from the
// 1000-500 mb thickness (they replace the limits of rows 15 and 17 of the
// thresholds), and the vector diagram of the cloud-layer wind, the
// propagation and the MBE motion (knots, half-width MbeScale) with its texts.
// Works out the hour's vectors, warm-cloud depths and thicknesses first when
// they are not known. A mean humidity or a thickness that cannot be had
// prints dashes, and the bars that depend on it are left out.
void PlotMBE(PictureSurface& pic, Session& session, std::int16_t column, float MbeScale);

} // namespace tarvex
