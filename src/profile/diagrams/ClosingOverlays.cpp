#include "profile/diagrams/ClosingOverlays.h"

#include "compute/Hodograph.h"
#include "compute/ProfileInterp.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagnostics/OmegaProfile.h"
#include "profile/diagrams/MomentumTransfer.h"
#include "profile/diagrams/PTypeMark.h"
#include "profile/diagrams/SnowGrowth.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "profile/diagrams/WindColumn.h"

#include <cmath>
#include <string>

namespace tarvex {

namespace {

// Where the low-level jet's label starts, just left of the level marks.
constexpr double kJetLabelX = 94.0;

void PercentFrame(PictureSurface& pic, const ProfileArrays& s) {
    pic.Scale(0.0, std::log(static_cast<double>(s.DiagramTopPressure)), 100.0,
              std::log(static_cast<double>(s.DiagramBottomPressure)));
}

// The 2 m temperature and dew point, centred halfway between the hour's
// surface and the bottom edge.
void PrintSurfaceValues(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    pic.SetForeColor(RGB(255, 255, 0));
    pic.SetFontTransparent(false);
    const std::string text = PrintForm(std::floor(s.SurfaceTemp(m, t) + 0.5)) + "/" +
                             PrintForm(std::floor(s.SurfaceDewPoint(m, t) + 0.5));
    // Moved up or left when a level or isotherm label stands there.
    PrintNearby(pic, 5.0,
                (view.SkewBaseLogP + std::log(static_cast<double>(s.DiagramBottomPressure))) / 2.0 -
                    view.HalfTextHeight,
                text, -pic.TextWidth("0"), -view.HalfTextHeight);
    pic.SetFontTransparent(true);
}

// The low-level jet's label at its pressure p (mb).
void JetLabel(PictureSurface& pic, float p, bool atTop) {
    const double level = std::log(static_cast<double>(p));
    const double y = level - pic.TextHeight("I") / 2.0;
    // A maximum at the top of the searched layer may lie below the real jet.
    const std::string label = atTop ? "LL?" : "LLJ";
    pic.SetForeColor(atTop ? RGB(0, 128, 0) : RGB(0, 255, 0));
    // Digital winds print their speed where the label stands: the label then
    // moves to the left of their columns (and on to a free place there), so
    // that both show.
    // On a narrow picture the right edge would cut the label: it is kept
    // and printed where it stands moved in.
    const auto placed = pic.PlaceLabel(kJetLabelX, y, label,
                                       LabelAnchor{kJetLabelX, level, LabelSlide::AlongLevel});
    if (!placed) return;
    if (pic.ReserveTextPlace(placed->first, placed->second, label)) {
        const TextAsLabel jet(pic, kJetLabelX, level, LabelSlide::AlongLevel);
        pic.SetCurrentX(placed->first);
        pic.SetCurrentY(placed->second);
        pic.Print(label);
    } else {
        PrintAtLevel(pic, kDigitalDirectionX - pic.TextWidth(label), y, level, label,
                     -pic.TextWidth("0"));
    }
}

// Adds the pressure of level L of time column t to the marks; nothing for a
// level the hour does not have.
void AddLevelMark(DisplayModeMarks& marks, const Session& session, int t, int L) {
    const ProfileArrays& s = *session.profile;
    if (L < 0 || L > StoredLevelCount(s)) return;
    const float p = s.Pressure(s.CurrentModel, t, L);
    if (p > 0.0f) marks.levels.push_back(p);
}

} // namespace

DisplayModeMarks MarksOfDisplayMode(Session& session, const SoundingView& view, int mode) {
    DisplayModeMarks marks;
    const int t = view.CurrentColumn;
    const int m = session.profile->CurrentModel;
    switch (mode) {
    case kMapMode:
        if (view.options.SigmaLevel) AddLevelMark(marks, session, t, view.SigmaLevel);
        if (view.options.MeanFlow) {
            for (std::int16_t L : view.MeanFlowLevels) AddLevelMark(marks, session, t, L);
        }
        break;
    case kHodographMode:
        AddLevelMark(marks, session, t, session.hodograph->HodoBaseLevel(m, t));
        AddLevelMark(marks, session, t, session.hodograph->HodoTopLevel(m, t));
        break;
    case kHeavyPrecipMode: {
        WindResults& winds = *session.winds;
        if (winds.MBEDone(m, t) == kFlagFalse)
            MakeMBEVectors(*session.profile, static_cast<std::int16_t>(t), 0, winds,
                           session.options);
        const float p = winds.LLJPressure(m, t);
        if (!(p > 0.0f)) break;
        marks.jet = true;
        marks.jetPressure = p;
        marks.jetAtTop = winds.LLJAtTop(m, t) != kFlagFalse;
        break;
    }
    default:
        // The other panels (the storm type among them) name no level.
        break;
    }
    return marks;
}

void DrawDisplayModeMarks(PictureSurface& pic, Session& session, const SoundingView& view) {
    const DisplayModeMarks marks = MarksOfDisplayMode(session, view, view.extras.DisplayMode);
    for (float p : marks.levels) {
        const double level = std::log(static_cast<double>(p));
        pic.Line(100.0, level, 94.0, level, RGB(255, 255, 255));
    }
    if (marks.jet) JetLabel(pic, marks.jetPressure, marks.jetAtTop);
}

void DrawSoundingSecondHalf(PictureSurface& pic, Session& session, SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    if (view.options.Momentum) DrawMomentumTransfer(pic, s, view);
    if (view.options.SnowGrowth) DrawSnowGrowth(pic, s, view);

    PercentFrame(pic, s);
    if (view.options.RH) DrawHumidityStrip(pic, s, view.CurrentColumn);
    DrawWindColumn(pic, s, view);
    PrintPrecipType(pic, session, view.CurrentColumn);
    PercentFrame(pic, s);
    if (view.options.TenMWind) PrintSurfaceValues(pic, s, view);
    DrawDisplayModeMarks(pic, session, view);
    if (view.options.Omega) PlotOmegaProfile(pic, session, view);
}

} // namespace tarvex
