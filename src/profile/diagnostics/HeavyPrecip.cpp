#include "profile/diagnostics/HeavyPrecip.h"

#include "compute/MandatoryHeights.h"
#include "compute/ProfileInterp.h"
#include "compute/WholeRun.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagnostics/BlankPanel.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvex {

namespace {

constexpr Rgb kGrey = RGB(128, 128, 128);
constexpr Rgb kCyan = RGB(0, 255, 255);
constexpr Rgb kDarkGreen = RGB(0, 128, 0);

// Rows of the threshold table the panel uses.
constexpr int kMbeSpeedRow = 14;
constexpr int kPrecipWaterRow = 15;
constexpr int kMeanRHRow = 16;
constexpr int kPwRhRow = 17;
constexpr int kWarmCloudRow = 18;
constexpr int kJetRow = 19;

void BarFrame(PictureSurface& pic) {
    pic.Scale(-100, -8, 100, 18);
}

// Whole degrees or knots as the panel prints them.
std::string Whole(float value) {
    return PrintForm(std::floor(value + 0.5));
}

// The vector diagram: axes, speed rings, the warning ring, the arrows and
// the three lines of text.
void DrawVectors(PictureSurface& pic, const WindResults& w, int m, int t, float S,
                 const IndexThresholdTable& thresholds, bool forward) {
    pic.Scale(-S, S, S, -S);
    pic.Line(-S, 0, S, 0, kGrey);
    pic.Line(0, S, 0, -S, kGrey);
    pic.SetFillStyle(FillStyle::Transparent);
    const int R = static_cast<int>(RoundHalfEven(S));
    const int step = 10 * (R / 52 + 1);
    const double last = RoundHalfEven(step + S);
    pic.SetForeColor(kGrey);
    for (int r = step; r <= last; r += step) {
        pic.Circle(0, 0, r, kGrey);
        // A ring beyond the scale shows only in the corners; its label would
        // stand left of the picture.
        if (r > S) continue;
        pic.SetCurrentX(-r);
        pic.SetCurrentY(0);
        pic.Print(PrintForm(r));
    }

    pic.SetDrawWidth(2);
    const auto& slow = thresholds[kMbeSpeedRow];
    const float speed = w.MBESpeed(m, t);
    if (speed < slow[2]) {
        pic.Circle(0, 0, slow[2], kRed);
    } else if (speed < slow[1]) {
        pic.Circle(0, 0, slow[1], kYellow);
    }

    const bool atTop = w.LLJAtTop(m, t) != 0;
    const Rgb propagation = atTop ? kDarkGreen : kGreen;
    const float propagationDir = w.LLJDir(m, t) - 180.0f;
    pic.SetCurrentX(0);
    pic.SetCurrentY(0);
    DrawMBEArrow(pic, w.MeanWindU(m, t), w.MeanWindV(m, t), kCyan, 2, w.MeanWindDir(m, t));
    if (forward) {
        DrawMBEArrow(pic, w.UpwindU(m, t), w.UpwindV(m, t), propagation, 2, propagationDir);
        pic.SetCurrentX(0);
        pic.SetCurrentY(0);
        DrawMBEArrow(pic, w.UpwindU(m, t), w.UpwindV(m, t), kYellow, 3, w.UpwindDir(m, t));
        pic.SetCurrentX(w.MeanWindU(m, t));
        pic.SetCurrentY(w.MeanWindV(m, t));
        DrawMBEArrow(pic, w.MBEU(m, t), w.MBEV(m, t), kWhite, 4, w.UpwindDir(m, t));
        pic.SetCurrentX(0);
        pic.SetCurrentY(0);
        DrawMBEArrow(pic, w.MBEU(m, t), w.MBEV(m, t), kRed, 4, w.MBEDir(m, t));
    } else {
        DrawMBEArrow(pic, w.MBEU(m, t), w.MBEV(m, t), propagation, 2, propagationDir);
        pic.SetCurrentX(0);
        pic.SetCurrentY(0);
        DrawMBEArrow(pic, w.MBEU(m, t), w.MBEV(m, t), kYellow, 3, w.MBEDir(m, t));
    }

    // The values are set on the back colour: the rings and axes under them
    // would otherwise run through their letters.
    pic.SetFontTransparent(false);
    pic.SetCurrentX(-S);
    pic.SetCurrentY(S);
    pic.SetForeColor(kCyan);
    pic.Print("V cloud layer   = " + Whole(w.MeanWindDir(m, t)) + "°/" +
              Whole(w.MeanWindSpeed(m, t)) + "kts");
    pic.SetCurrentX(-S);
    pic.SetForeColor(propagation);
    pic.Print("V low-level jet = " + Whole(w.LLJDir(m, t)) + "°/" + Whole(w.LLJSpeed(m, t)) +
              "kts at " + PrintForm(w.LLJPressure(m, t)) + (atTop ? "mb ?" : "mb"));
    pic.SetCurrentX(-S);
    pic.SetDrawWidth(1);
    pic.SetFontSize(12);
    pic.SetForeColor(forward ? kRed : kYellow);
    pic.Print("MBE Velocity  = " + Whole(w.MBEDir(m, t)) + "°/" + Whole(w.MBESpeed(m, t)) + "kts");
    pic.SetFontSize(8);
}

// Sets T1 and T2 of a row to the limits derived from the thickness, unless
// one of them falls to the row's T0 or below, as it does in cold air (below
// about 520 dam): the bar's thirds would then no longer follow the value,
// and any value above T0 would draw red at once. Such a row keeps its own
// thresholds for the hour. Returns whether the derived limits were used.
bool UseDerivedLimits(std::array<float, kIndexThresholdColumns>& row, float t1, float t2) {
    if (t1 <= row[0] || t2 <= row[0]) return false;
    row[1] = t1;
    row[2] = t2;
    return true;
}

void TextAt(PictureSurface& pic, double x, double y, const std::string& text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.Print(text);
}

} // namespace

float ZoomMbeScale(float MbeScale, int Button) {
    const float zoomed = Button == 1 ? MbeScale / 1.2f : MbeScale * 1.2f;
    return zoomed < kMbeScaleMin || zoomed > kMbeScaleMax ? MbeScale : zoomed;
}

void PlotBar(PictureSurface& pic, float value, int i, const IndexThresholdTable& thresholds) {
    const auto& T = thresholds[static_cast<std::size_t>(i)];
    if (value <= T[0]) return;
    float length = 100.0f;
    Rgb colour = kRed;
    if (value < T[1]) {
        length = (value - T[0]) / (T[1] - T[0]) * 33.3f;
        colour = kGreen;
    } else if (value < T[2]) {
        length = (value - T[1]) / (T[2] - T[1]) * 33.3f + 33.3f;
        colour = kYellow;
    } else if (value < T[3]) {
        length = (value - T[2]) / (T[3] - T[2]) * 33.3f + 66.6f;
    }
    pic.SetFillColor(colour);
    pic.FilledBox(0, i - 1.9, length, i - 1.2, colour);
}

void DrawMBEArrow(PictureSurface& pic, double x, double y, Rgb colour, int width, float direction) {
    pic.SetDrawWidth(width);
    pic.SetForeColor(colour);
    pic.LineTo(x, y);
    for (const double side : {30.0, -30.0}) {
        const double a = (450.0 - (direction + side)) * kDegreeFactor;
        pic.Line(x, y, x + 4.0 * std::cos(a), y + 4.0 * std::sin(a));
    }
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
}

bool MeanRHTo500(const Session& session, std::int16_t t, float& meanRH) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int n = StoredLevelCount(s);
    float sum = 0.0f;
    int count = 0;
    for (int k = 1; k <= n; ++k) {
        if (s.Pressure(m, t, k) < 500.0f) break;
        sum += s.RelativeHumidity(m, t, k);
        ++count;
    }
    if (count == 0) return false;
    meanRH = sum / static_cast<float>(count);
    return true;
}

void PlotMBE(PictureSurface& pic, Session& session, std::int16_t column, float MbeScale) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int t = column;
    if (!SoundingLoaded(s)) return BlankPanel(pic, kBlack);
    WindResults& w = *session.winds;
    if (w.MBEDone(m, t) == 0) MakeMBEVectors(s, column, 0, w, session.options);
    pic.SetBackColor(kBlack);
    pic.SetFontSize(8);
    pic.SetFontTransparent(true); // the ring labels stand on their rings
    pic.SetDrawWidth(1);
    pic.Clear();

    float meanRH = 0.0f;
    const bool haveRH = MeanRHTo500(session, column, meanRH);
    WholeRunResults& run = *session.wholeRun;
    if (run.WarmCloudDone(m) == 0) MakeWarmCloudDepth(s, run);
    ThicknessResults& thick = *session.thickness;
    if (thick.ThicknessReady(m) == 0) MakeThickness(s, thick);

    BarFrame(pic);
    // No 500 mb surface in the sounding: the thickness, and so the limits of
    // the precipitable water, are unknown.
    const float Z = thick.Thickness(m, t, kSurface1000, kSurface500) / 10.0f;
    const bool haveZ = HeightAvailable(Z);
    // The limits derived from the thickness go into the panel's own copy:
    // the user's thresholds stay as set.
    IndexThresholdTable T = session.history.IndexThresholds;
    const float pw = s.PrecipWater(m, t);
    // Rows that kept their own limits because the derived ones fell to
    // their T0 or below.
    bool ownWater = false;
    bool ownProduct = false;
    if (haveZ) {
        // In double: the factor lies below the smallest single.
        const auto derived1 = static_cast<float>(3e-55 * std::pow(static_cast<double>(Z), 19.816));
        const float derived2 = derived1 * 1.35f;
        ownWater = !UseDerivedLimits(T[kPrecipWaterRow], derived1, derived2);
        ownProduct = !UseDerivedLimits(T[kPwRhRow], derived1 * 0.7f, derived2 * 0.8f);
    }
    if (haveZ) PlotBar(pic, pw, kPrecipWaterRow, T);
    if (haveRH) PlotBar(pic, meanRH, kMeanRHRow, T);
    if (haveZ && haveRH) PlotBar(pic, meanRH / 100.0f * pw, kPwRhRow, T);
    PlotBar(pic, run.WarmCloudDepth(m, t), kWarmCloudRow, T);
    PlotBar(pic, w.LLJSpeed(m, t), kJetRow, T);

    DrawVectors(pic, w, m, t, MbeScale, T, session.options.MBEForwardPropagation);

    BarFrame(pic);
    pic.SetForeColor(kGreen);
    TextAt(pic, -70, 13, "Pcp Water        " + Format(pw, "0.00") + " in");
    TextAt(pic, -70, 14, "Mean RH             " + (haveRH ? Format(meanRH, "0") + " %" : "----"));
    TextAt(pic, -70, 15,
           "PW*RH             " + (haveRH ? Format(meanRH / 100.0f * pw, "0.00") : "----"));
    TextAt(pic, -70, 16, "Warm Cloud     " + Format(run.WarmCloudDepth(m, t), "##,##0") + " ft");
    const bool atTop = w.LLJAtTop(m, t) != 0;
    if (atTop) pic.SetForeColor(kDarkGreen);
    TextAt(pic, -70, 17,
           std::string(atTop ? "Low Lvl Jet ?       " : "Low Lvl Jet          ") +
               Format(w.LLJSpeed(m, t), "0") + " kts");

    pic.SetForeColor(kYellow);
    // Cold air: the limits over the bars are then the ones set for the row.
    if (ownWater) {
        TextAt(pic, -98, 12, "Cold air: limits as set");
    } else if (ownProduct) {
        TextAt(pic, -98, 12, "Cold air: PW*RH limits as set");
    }
    TextAt(pic, 0, 12, haveZ ? Format(Z, "###") : "---");
    if (haveZ) {
        for (int k = 1; k <= 2; ++k) {
            const std::string limit =
                Format(T[kPrecipWaterRow][static_cast<std::size_t>(k)], "0.00");
            TextAt(pic, 33 * k - pic.TextWidth(limit) / 2, 12, limit);
        }
    }
    pic.SetFontTransparent(true);
}

} // namespace tarvex
