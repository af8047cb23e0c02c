#pragma once

#include "profile/diagrams/ParcelOutlines.h"

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

// Grey shading of the layers above each level of time column t by the
// level's cloud fraction: black for clear air, white for overcast. Percent
// frame.
void ShadeCloudLayers(PictureSurface& pic, const ProfileArrays& s, int t);

// Grey bands over the inversions and near-isothermal dry layers below about
// 400 mb, each run of adjacent bands labelled with its base pressure, by the
// model's thresholds. Does nothing while inversions are off; otherwise
// rebuilds LowestInversionBase. Percent frame.
void DrawInversions(PictureSurface& pic, const Session& session, const SoundingView& view,
                    float& LowestInversionBase);

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
// profile when its option is on and the level is far enough above the ground.
void DrawLevelMarkers(PictureSurface& pic, const Session& session, const SoundingView& view);

// The overlays drawn after the traces, each behind its option, in their
// order: lake index, lake parcel, moist lake index, level markers.
// Temperature frame.
void DrawLakeAndLevelOverlays(PictureSurface& pic, Session& session, const SoundingView& view);

} // namespace tarvex
