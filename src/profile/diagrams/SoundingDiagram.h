#pragma once

#include "profile/diagrams/SoundingExtras.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarvex {

class PictureSurface;
struct Session;

// Display switches of the sounding picture and the map: the states of the
// main window's option check boxes (any state but unchecked counts as on).
struct SoundingOptions {
    bool SkewT = true;
    bool Lines = false; // full-width pressure or height lines, else ticks
    bool DryAdiabats = false;
    bool WetBulb = false;
    bool Icing = false;
    bool Clouds = false;
    bool Inversions = false;
    bool TenMWind = false; // 2 m temperature and 10 m wind
    bool SnowGrowth = false;
    bool LCL = false;
    bool LFC = false;
    bool EQL = false;
    bool WBZ = false;
    bool CCL = false;
    bool ConvectiveTemp = false;
    bool Parcel = false; // the CAPE parcel outline
    bool CINS = false;
    bool LakeIndex = false;
    bool MoistLakeIndex = false;
    bool LIC = false; // lake-induced CAPE parcel
    bool RH = false;  // humidity strip
    bool WindVector = false;
    bool WindDigital = false;
    bool Momentum = false;
    bool Omega = false;
    bool BrightBand = false;
    std::array<bool, 5> Angle{}; // radar beam angles of the bright-band rings
    bool MeanFlow = false;
    bool SigmaLevel = true;
};

// The omega strip's height over the sounding's top edge, at the sounding's
// design size; it grows and shrinks with the sounding's text.
inline constexpr int kOmegaStripDesignHeight = 17;

// What the main window keeps for its sounding picture: the hour shown, the
// options and axes it draws with, and the frame each redraw leaves behind for
// the overlays and the cursor read-out.
struct SoundingView {
    std::int16_t CurrentColumn = 0;
    bool SuspendRedraw = false;
    std::int16_t VerticalUnit = 0; // 0 pressure, 1 thousands of feet, 2 km
    SoundingOptions options;
    std::int16_t SigmaLevel = 24;                       // level index of the sigma-level bar
    std::array<std::int16_t, 2> MeanFlowLevels{23, 24}; // bounds of the mean-flow layer
    SoundingExtras extras;

    // Set by every redraw.
    float SkewBaseLogP = 0.0f;
    float SkewFactor = 0.0f;
    float HalfTextHeight = 0.0f;
    std::int16_t ECAPEPlotted = 0;
};

// Holds back the redraws of the sounding and of the panels that follow it
// for its lifetime, and then gives back the state it found, so that holds
// nest: a handler run inside a batch of changes never ends the batch's hold.
// Every batch of changes (a read, the start-up, a settings recall, the boxes
// that uncheck each other) takes one.
class SuspendRedrawScope {
  public:
    explicit SuspendRedrawScope(SoundingView& view) : view_(view), before_(view.SuspendRedraw) {
        view_.SuspendRedraw = true;
    }
    ~SuspendRedrawScope() { view_.SuspendRedraw = before_; }
    SuspendRedrawScope(const SuspendRedrawScope&) = delete;
    SuspendRedrawScope& operator=(const SuspendRedrawScope&) = delete;

  private:
    SoundingView& view_;
    bool before_;
};

// The skew factor of the skewed diagram: 150 deg C for each factor of 100 in
// pressure.
float SkewTFactor();

// Which picture a sounding is drawn for: the main window's diagram, or the
// overview's selected-hour panel (no underlays, level labels at x = 7,
// isotherms every 10 deg C from -60 and none highlighted).
enum class SoundingPicture { Main, HourPanel };

// The first part of every sounding picture, for view.CurrentColumn of the
// current model: scale, pressure or height lines, ground, isotherms, dry
// adiabats and the wet-bulb, icing, dew-point and temperature traces. On the
// main window's picture the raised precipitation-type layer, the cloud
// layers and the inversions go under the lines. Leaves the temperature frame
// set.
void DrawSoundingTraces(PictureSurface& pic, Session& session, SoundingView& view,
                        SoundingPicture kind);

// Redraws the sounding picture of the current model for view.CurrentColumn
// from scratch: frame, pressure or height lines, ground, isotherms, dry
// adiabats and the wet-bulb, icing, dew-point and temperature traces. Does
// nothing while view.SuspendRedraw is set.
void DrawSounding(PictureSurface& pic, Session& session, SoundingView& view);

} // namespace tarvex
