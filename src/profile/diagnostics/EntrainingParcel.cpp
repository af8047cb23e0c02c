#include "profile/diagnostics/EntrainingParcel.h"

#include "compute/ComputeState.h"
#include "compute/ElevatedParcel.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvex {

namespace {

// Start levels this close to the top are not tried for the frame.
constexpr int kTopLevelsSkipped = 3;
// Least CAPE (J/kg) that shows the frame.
constexpr float kLeastCape = 0.5f;

void LiftIfNeeded(Session& session, std::int16_t t, std::int16_t L) {
    const ProfileArrays& s = *session.profile;
    if (session.elevated->ElevCAPEDone(s.CurrentModel, t, L) == kFlagFalse)
        MakeECAPE(s, t, L, *session.elevated);
}

} // namespace

std::string ShortestRounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = RoundHalfEven(value * scale) / scale;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    std::string out(text);
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

bool DisplayECAPEFrame(Session& session, std::int16_t t) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    std::int16_t& state = session.fogParcel.ECAPEFrameState(m, t);
    if (state == FogParcelState::kFrameUndecided) {
        state = 0;
        const int last = std::min<int>(s.LevelCount(m), kMaxProfileLevels) - kTopLevelsSkipped;
        for (int L = 1; L <= last; ++L) {
            LiftIfNeeded(session, t, static_cast<std::int16_t>(L));
            if (session.elevated->ElevCAPE(m, t, L) > kLeastCape) {
                state = 1;
                break;
            }
        }
    }
    return state == 1;
}

ECAPELabels PlotECAPE(PictureSurface& overlay, Session& session, SoundingView& view, std::int16_t t,
                      std::int16_t L) {
    const ProfileArrays& s = *session.profile;
    const ElevatedParcelResults& e = *session.elevated;
    const int m = s.CurrentModel;
    LiftIfNeeded(session, t, L);
    // The overlay holds nothing but the trace: clearing it removes the one
    // shown before.
    overlay.Clear();
    view.ECAPEPlotted = 0;
    const int top = e.ElevELLevel(m, t, L);
    if (top == 0) return {};

    const TemperatureAxisEnds& axis = session.temperatureAxis;
    const int topP = std::max<int>(1, s.DiagramTopPressure);
    const int bottomP = std::max<int>(topP + 1, s.DiagramBottomPressure);
    overlay.Scale(axis.LeftTemp, std::log(static_cast<double>(topP)), axis.RightTemp,
                  std::log(static_cast<double>(bottomP)));
    overlay.SetForeColor(kYellow);
    overlay.SetDrawWidth(1);
    overlay.SetDrawMode(DrawMode::CopyPen);
    const auto x = [&](double T, double p) {
        return T + (view.SkewBaseLogP - std::log(p)) * view.SkewFactor;
    };
    const double pStart = s.Pressure(m, t, L);
    overlay.PSet(x(e.ElevParcelProfile(m, t, L, L), pStart), std::log(pStart));
    for (int j = L + 1; j <= top; ++j) {
        const double p = s.Pressure(m, t, j);
        overlay.LineTo(x(e.ElevParcelProfile(m, t, L, j), p), std::log(p));
    }
    const double pEL = e.ElevELPressure(m, t, L);
    overlay.LineTo(x(e.ElevELTemp(m, t, L), pEL), std::log(pEL));
    view.ECAPEPlotted = kFlagTrue;

    ECAPELabels labels;
    labels.lblEParcelp = ShortestRounded(pStart, 0) + " mb";
    labels.lblEParcelt = ShortestRounded(s.Temperature(m, t, L), 1) + " C";
    labels.lblEParceldp = ShortestRounded(s.DewPoint(m, t, L), 1) + " C";
    labels.lblECAPE = ShortestRounded(e.ElevCAPE(m, t, L), 0) + " J/kg ";
    labels.lblECIN = ShortestRounded(e.ElevCIN(m, t, L), 0) + " J/kg ";
    labels.lblEEQL = ShortestRounded(e.ElevELDepthFt(m, t, L), 0) + " ft      ";
    labels.lblNECAPE = ShortestRounded(e.ElevNCAPE(m, t, L) * 100.0, 0) + " cm/s²";
    return labels;
}

} // namespace tarvex
