#include "profile/diagnostics/IndicesPanel.h"

#include "compute/Levels.h"
#include "compute/WholeRun.h"
#include "files/Session.h"
#include "platform/Format.h"

#include <string>
#include <vector>

namespace tarvex {

namespace {

constexpr double kThird = 33.3;
constexpr double kTwoThirds = 66.6;
constexpr int kTextRows = 32;

constexpr Rgb kIndexRed = RGB(255, 0, 0);
constexpr Rgb kLevelBlue = RGB(127, 127, 255);
constexpr Rgb kIndexYellow = RGB(255, 255, 0);
constexpr Rgb kPrecipGreen = RGB(0, 255, 0);

// The number as printed, without the blanks of the print form.
std::string PlainNumber(float value) {
    std::string text = PrintForm(value);
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Starts text row r two pixels in from the left edge: a first letter that
// reaches left of its place ("W") would be cut at the edge itself.
void Row(PictureSurface& pic, int r) {
    pic.SetCurrentX(pic.FromPixelX(2.0));
    pic.SetCurrentY(r);
}

} // namespace

GaugeBar MeasureIndex(const IndexThresholdTable& thresholds, int i, float v) {
    const auto& T = thresholds[static_cast<std::size_t>(i)];
    const bool rising = T[0] < T[1];
    const auto reaches = [&](float t) { return rising ? v >= t : v <= t; };
    const auto passes = [&](float t) { return rising ? v > t : v < t; };
    const bool farSide = TwoSidedIndex(i) && reaches(T[3]);

    GaugeBar bar;
    bar.LabelA = farSide ? T[5] : T[1];
    bar.LabelB = farSide ? T[4] : T[2];
    const auto set = [&](double length, Rgb color) {
        bar.Length = length;
        bar.Color = color;
    };
    if (!farSide) {
        if (!passes(T[0]))
            set(0.0, kBlack);
        else if (!reaches(T[1]))
            set(kThird * (v - T[0]) / (T[1] - T[0]), kGreen);
        else if (!reaches(T[2]))
            set(kThird + kThird * (v - T[1]) / (T[2] - T[1]), kYellow);
        else if (!reaches(T[3]))
            set(kTwoThirds + kThird * (v - T[2]) / (T[3] - T[2]), kRed);
        else
            set(100.0, kRed);
    } else {
        if (passes(T[6]))
            set(0.0, kBlack);
        else if (passes(T[5]))
            set(kThird * (T[6] - v) / (T[6] - T[5]), kGreen);
        else if (passes(T[4]))
            set(kThird + kThird * (T[5] - v) / (T[5] - T[4]), kYellow);
        else if (passes(T[3]))
            set(kTwoThirds + kThird * (T[4] - v) / (T[4] - T[3]), kRed);
        else
            set(100.0, kRed);
    }
    return bar;
}

namespace {

void DrawBar(PictureSurface& pic, const GaugeBar& bar, int r) {
    pic.FilledBox(0.0, r + 0.1, bar.Length, r + 0.8, bar.Color);
}

// The threshold numbers of a gauge stand over the bars in white on a black
// back, from a pixel left of the digits to a pixel right of them and from a
// pixel above the type to its foot, so that they read whole over every bar
// colour: their own row's and, where the type is taller than a row, the
// bars of the rows beside.
void DrawThresholdNumbers(PictureSurface& pic, const GaugeBar& bar, int r) {
    const double pixel = pic.FromPixelX(1.0) - pic.FromPixelX(0.0);
    const double pixelY = pic.FromPixelY(1.0) - pic.FromPixelY(0.0);
    pic.SetForeColor(kWhite);
    for (const auto& [x, label] : {std::pair{kThird, bar.LabelA}, {kTwoThirds, bar.LabelB}}) {
        const std::string text = PrintForm(label);
        const std::string plain = PlainNumber(label);
        const double left = x - pic.TextWidth(plain) / 2.0;
        const double digits = left + pic.TextWidth(text.substr(0, text.find_first_not_of(' ')));
        pic.FilledBox(digits - pixel, r - pixelY, digits + pic.TextWidth(plain) + pixel,
                      r + pic.TextHeight(text), kBlack);
        pic.SetCurrentX(left);
        pic.SetCurrentY(r);
        pic.Print(text); // placed by position, the line end moves nothing seen
    }
}

} // namespace

void DrawIndices(PictureSurface& pic, const IndexThresholdTable& thresholds, int i, int r,
                 float v) {
    const GaugeBar bar = MeasureIndex(thresholds, i, v);
    DrawBar(pic, bar, r);
    DrawThresholdNumbers(pic, bar, r);
}

void PrintIndices(PictureSurface& pic, Session& session, std::int16_t t) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    pic.SetBackColor(kBlack);
    pic.SetFontName("Fixedsys");
    pic.SetFontSize(9);
    pic.SetFontTransparent(true);
    pic.Scale(0, 0, 100, kTextRows);
    pic.Clear();
    if (s.LevelCount(m) == 0) return;

    const float Hs = StdHeightFeet(s.SurfacePressure(m, t));
    const auto aboveGround = [&](float pressure) { return StdHeightFeet(pressure) - Hs; };
    const float cape = s.CAPE(m, t);
    const float lfc = s.LFCPressure(m, t);
    const float eql = s.EQLPressure(m, t);
    const bool freeConvection = eql != lfc;
    const float ncape =
        freeConvection ? cape / (StdHeightMeters(eql) - StdHeightMeters(lfc)) : 0.0f;
    const float eqlHeight = aboveGround(eql);
    const float wbzHeight = s.WetBulbZeroHeight(m, t) - Hs;

    WholeRunResults& run = *session.wholeRun;
    if (run.TQDone(m) == kFlagFalse) MakeTQ(s, run);
    const float tq = run.TQ(m, t);

    const auto line = [&](int r, const std::string& text) {
        Row(pic, r);
        pic.Print(text);
    };
    pic.SetForeColor(kIndexRed);
    line(0, "  CAPE " + Format(cape, "0"));
    line(1, "  CINS " + Format(s.CINS(m, t), "0"));
    line(2, "HELCTY " + Format(s.ModelHelicity(m, t), "0"));
    line(3, "   EHI " + Format(s.EHI(m, t), "0.00"));
    line(4, "   BRN " + Format(s.BulkRichardson(m, t), "0.00"));
    line(5, freeConvection ? " NCAPE " + Format(ncape, "0.00") : std::string(" NCAPE ----"));
    pic.SetForeColor(kLevelBlue);
    line(7, "EQ LVL " + Format(eqlHeight, "#,##0"));
    line(8, "WBZero " + Format(wbzHeight, "#,##0"));
    pic.SetForeColor(kIndexYellow);
    line(10, "    LI " + Format(s.LiftedIndex(m, t), "0.0"));
    line(11, "    TT " + Format(s.TotalTotals(m, t), "0"));
    line(12, "    TQ " + Format(tq, "0.0"));
    line(13, " K Idx " + Format(s.KIndex(m, t), "0"));
    line(14, "Shwltr " + Format(s.Showalter(m, t), "0"));
    line(15, " SWEAT " + Format(s.SweatIndex(m, t), "0"));

    const auto P = [](float x) { return FormatRight(x, "0.000", 5); };
    const auto L = [](float p) { return FormatRight(p, "0 ", 5); };
    const auto H = [&](float p, int w) { return FormatRight(aboveGround(p), "#,##0'", w); };
    const float lcl = s.LCLPressure(m, t);
    const float ccl = s.CCLPressure(m, t);
    pic.SetForeColor(kPrecipGreen);
    line(17,
         " Precipitation:  " + P(s.Precip(m, t)) + " Hr   " + P(s.PrecipTotal(m, t)) + " Total");
    line(18, "Convect Precip:  " + P(s.ConvPrecip(m, t)) + " Hr   " + P(s.ConvPrecipTotal(m, t)) +
                 " Total");
    line(19, "  Pcpble Water:  " + P(s.PrecipWater(m, t)));
    line(21, "  LCL" + L(lcl) + "mb    CCL" + L(ccl) + "mb    LFC" + L(lfc) + "mb    EQL" + L(eql) +
                 "mb");
    line(22, H(lcl, 12) + H(ccl, 14) + H(lfc, 14) + H(eql, 14));

    // Every bar first, then every gauge's numbers over them.
    pic.Scale(-50, 0, 100, kTextRows);
    const IndexThresholdTable& limits = session.history.IndexThresholds;
    struct Gauge {
        int index, row;
        float value;
    };
    std::vector<Gauge> gauges = {{0, 0, cape}};
    if (cape > 0.0f) gauges.push_back({1, 1, s.CINS(m, t)});
    gauges.insert(gauges.end(), {{2, 2, s.ModelHelicity(m, t)},
                                 {3, 3, s.EHI(m, t)},
                                 {4, 4, s.BulkRichardson(m, t)},
                                 {13, 5, ncape},
                                 {5, 7, eqlHeight},
                                 {6, 8, wbzHeight},
                                 {7, 10, s.LiftedIndex(m, t)},
                                 {8, 11, s.TotalTotals(m, t)},
                                 {9, 12, tq},
                                 {10, 13, s.KIndex(m, t)},
                                 {11, 14, s.Showalter(m, t)},
                                 {12, 15, s.SweatIndex(m, t)}});
    std::vector<GaugeBar> bars;
    for (const Gauge& g : gauges) bars.push_back(MeasureIndex(limits, g.index, g.value));
    for (std::size_t k = 0; k < gauges.size(); ++k) DrawBar(pic, bars[k], gauges[k].row);
    for (std::size_t k = 0; k < gauges.size(); ++k)
        DrawThresholdNumbers(pic, bars[k], gauges[k].row);
}

} // namespace tarvex
