#pragma once

#include "profile/diagrams/ParcelOutlines.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvex {

class PictureSurface;
struct LakeEffectReadings;
struct ProfileArrays;
struct Session;
struct SoundingView;

// The x of temperature T (deg C) at pressure p (mb) in the temperature frame
// of the redraw in view: T itself at the hour's surface pressure, leaning
// right with height on a skewed diagram.
double SkewX(const SoundingView& view, double T, double p);

// Prints a value at (x, y) when it lies there over no other text; otherwise
// at the nearest free place a whole number of steps dx across and dy down
// away (one step on, one back, two on and so on; a zero step keeps that
// axis), each kept whole inside the picture. A value with no free place near
// is printed where it belongs. Returns the top-left corner of the text when
// it found a free place, or none.
std::optional<std::pair<double, double>> PrintNearby(PictureSurface& pic, double x, double y,
                                                     std::string_view text, double dx, double dy);

// Prints text as the label of the level at y, with its top at top and its
// start at x when it covers no other text there nor stands within a blank's
// width beside one; otherwise slid along its level by whole steps of dx (one
// on, one back, two on and so on, across the whole picture) to the nearest
// such free place, so that two labels of near levels stand side by side,
// each on its level and read as its own. Never moved up or down but
// by the picture's edge; not drawn for a level outside the picture. A label
// whose middle stands left of x prints as pointingRight when one is given
// (its arrow at its end, pointing at x). Returns the top-left corner of the
// text drawn, or none.
std::optional<std::pair<double, double>> PrintAtLevel(PictureSurface& pic, double x, double top,
                                                      double y, std::string_view text, double dx,
                                                      std::string_view pointingRight = {});

// Grey shading of the layers above each level of time column t by the
// level's cloud fraction: black for clear air, white for overcast. Percent
// frame.
void ShadeCloudLayers(PictureSurface& pic, const ProfileArrays& s, int t);

// Grey bands over the inversions and near-isothermal dry layers below about
// 400 mb, each run of adjacent bands labelled with its base pressure, by the
// model's thresholds. Does nothing while inversions are off; otherwise
// rebuilds LowestInversionBase. Percent frame. With labelsLater, the labels
// (their y and text) are kept there for PrintInversionLabels instead.
void DrawInversions(PictureSurface& pic, const Session& session, const SoundingView& view,
                    float& LowestInversionBase,
                    std::vector<std::pair<double, std::string>>* labelsLater = nullptr);

// The inversions' labels at their bases from x, in yellow, each moved aside
// from the texts already there (the level lines' labels).
void PrintInversionLabels(PictureSurface& pic,
                          const std::vector<std::pair<double, std::string>>& labels, double x);

// Keeps the largest inversion base below 950 mb.
void TrackInversionBase(float p, float& LowestInversionBase);

// The lake index: the line from the lake temperature at the ground to the
// lake temperature less the configured offset at the configured level, with
// the 850 mb temperature's excess over that point printed above it.
void DrawLakeIndex(PictureSurface& pic, const Session& session, const SoundingView& view,
                   const LakeEffectReadings& readings);

// The lake-modified surface parcel (lifted once per hour) up to its
// equilibrium level, and the temperature and dew point of the modified
// surface air up to their condensation point.
void DrawLakeParcel(PictureSurface& pic, Session& session, const SoundingView& view);

// The moist lake index: from the mean of the lake and the lowest-layer
// temperature at the ground to 9 C colder 150 mb higher, with the
// environment's excess over that point printed above it.
void DrawMoistLakeIndex(PictureSurface& pic, const Session& session, const SoundingView& view,
                        const LakeEffectReadings& readings);

// The LCL, LFC, EQL, WBZ and CCL markers, each at its pressure on the
// profile when its option is on and the level is far enough above the ground:
// "<LCL", " <LFC" and so on from the level's point, or "LCL>", "LFC> " and
// so on where the label stands left of its point (slid there from another
// text, the right edge or the wind column).
void DrawLevelMarkers(PictureSurface& pic, const Session& session, const SoundingView& view);

// The overlays drawn after the traces, each behind its option, in their
// order: lake index, lake parcel, moist lake index, level markers.
// Temperature frame.
void DrawLakeAndLevelOverlays(PictureSurface& pic, Session& session, const SoundingView& view);

} // namespace tarvex
