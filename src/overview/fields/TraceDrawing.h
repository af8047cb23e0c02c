#pragma once

#include "overview/fields/OverviewState.h"

#include <functional>
#include <optional>

namespace tarvex {

// The value of a trace at a time column; no value where the hour has none.
using TraceValue = std::function<std::optional<double>(int t)>;

// One polyline through the columns 0..last at x = column: the first hour
// with a value sets the current point, each later one is joined to the last
// point drawn, so hours without a value are bridged.
void DrawTrace(PictureSurface& pic, int last, const TraceValue& value);

// picRH scaled to the time window across and top..bottom down.
void ScaleTimeWindow(OverviewContext& ctx, double top, double bottom);

// The current model and its last time column.
int CurrentModel(const OverviewContext& ctx);
int LastColumn(const OverviewContext& ctx);

// Degrees Celsius as degrees Fahrenheit.
double Fahrenheit(double celsius);

} // namespace tarvex
