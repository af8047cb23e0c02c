#include "profile/diagrams/HodographDiagram.h"

#include "compute/Hodograph.h"
#include "compute/Parcels.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"

#include <cmath>
#include <string>

namespace tarvex {

namespace {

constexpr Rgb kOrange = RGB(255, 128, 0);

// m/s per knot of the readout.
constexpr double kMsPerKnot = 0.514791;

// Degree marks: the inflow captions use the ordinal sign, the storm-motion
// and mean-wind captions the degree sign.
constexpr const char* kOrdinal = "\u00BA";
constexpr const char* kDegree = "\u00B0";

// Rows of the index thresholds and their yellow and red columns.
constexpr int kCapeRow = 0;
constexpr int kCinsRow = 1;
constexpr int kHelicityRow = 2;
constexpr int kYellowColumn = 1;
constexpr int kRedColumn = 2;

// A value rounded to whole, halves to even, as caption text.
std::string Whole(double value) {
    if (!std::isfinite(value)) return "0";
    const double rounded = RoundHalfEven(value);
    // Past a long long's range (a wind or index no sounding holds) the whole
    // is written out by the number format rather than converted.
    if (std::abs(rounded) >= 9.2e18) return Format(rounded, "0");
    return std::to_string(static_cast<long long>(rounded));
}

// A value rounded half up and printed in the picture's number form.
std::string HalfUp(double value) {
    return PrintForm(std::floor(value + 0.5));
}

// A number as caption text: its print form without the blanks around it.
std::string Plain(double value) {
    std::string text = PrintForm(value);
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

double Cos(double degrees) {
    return std::cos(degrees * kDegreeFactor);
}
double Sin(double degrees) {
    return std::sin(degrees * kDegreeFactor);
}

// A letter centred on a point.
void Mark(PictureSurface& pic, double x, double y, std::string_view letter) {
    pic.SetCurrentX(x - pic.TextWidth(letter) / 2.0);
    pic.SetCurrentY(y - pic.TextHeight(letter) / 2.0);
    pic.PrintNoNewline(letter);
}

// Traffic-light colour of a value against its row of thresholds: red beyond
// the red limit, yellow beyond the yellow one, green otherwise. Larger values
// are worse, or smaller ones for inhibition.
Rgb ThresholdColor(const IndexThresholdTable& limits, int row, float value, bool smallerIsWorse) {
    const auto& r = limits[static_cast<std::size_t>(row)];
    const auto beyond = [&](float limit) { return smallerIsWorse ? value < limit : value > limit; };
    if (beyond(r[kRedColumn])) return kRed;
    if (beyond(r[kYellowColumn])) return kYellow;
    return kGreen;
}

// The axes and the speed rings every 10 m/s up to outer, each labelled at
// its left; a ring beyond the range R shows only in the corners, and its
// label, left of the picture, is left out.
void RangeRings(PictureSurface& pic, double R, double outer) {
    pic.Line(-R, 0.0, R, 0.0);
    pic.Line(0.0, R, 0.0, -R);
    pic.SetFillStyle(FillStyle::Transparent);
    for (int i = 10; i <= outer; i += 10) {
        pic.Circle(0.0, 0.0, i);
        if (i > R) continue;
        pic.SetCurrentX(-i);
        pic.Print(PrintForm(i));
    }
}

void LayerCapeTable(PictureSurface& pic, Session& session, int m, std::int16_t t, double R) {
    LayerCapeResults& layer = *session.layerCape;
    if (layer.CapeShearDone(m, t) == kFlagFalse) LiftParcelProfile(*session.profile, t, layer);
    pic.SetCurrentX(-R);
    pic.SetCurrentY(R);
    pic.SetFontTransparent(false);
    pic.Print("    CAPE    ");
    for (int k = 6; k >= 3; --k) {
        pic.SetCurrentX(-R);
        pic.Print(PrintForm(k) + "km " + PrintForm(RoundHalfEven(layer.LayerCAPE(m, t, k))));
    }
    pic.SetFontTransparent(true);
}

// The 0-6 km mean wind as a point of the hodograph.
struct MeanPoint {
    double u;
    double v;
};

// "M" on the mean wind, "L" and "R" on the two movers.
MeanPoint MarkMeanAndMovers(PictureSurface& pic, const StormMotionResults& storm, int m,
                            std::int16_t t) {
    pic.SetDrawWidth(2);
    pic.SetForeColor(kMagenta);
    const double meanSpeed = storm.MeanWind06Speed(m, t);
    const MeanPoint mean{meanSpeed * Cos(270.0 - storm.MeanWind06Dir(m, t)),
                         meanSpeed * Sin(270.0 - storm.MeanWind06Dir(m, t))};
    Mark(pic, mean.u, mean.v, "M");
    pic.SetForeColor(kGreen);
    Mark(pic, storm.LeftMoverU(m, t), storm.LeftMoverV(m, t), "L");
    Mark(pic, storm.RightMoverU(m, t), storm.RightMoverV(m, t), "R");
    return mean;
}

// The ground-relative wind trace of the layer in yellow, with a dot of the
// radius at its base and at its top, or at every level.
void WindTrace(PictureSurface& pic, const ProfileArrays& s, const HodographResults& hodo, int m,
               std::int16_t t, double radius, bool everyLevel) {
    const float us = s.StormU(m, t);
    const float vs = s.StormV(m, t);
    const int base = hodo.HodoBaseLevel(m, t);
    const int top = hodo.HodoTopLevel(m, t);
    pic.SetDrawWidth(2);
    pic.SetForeColor(kYellow);
    pic.SetFillColor(kYellow);
    pic.Circle(hodo.SRWindU(m, t, base) + us, hodo.SRWindV(m, t, base) + vs, radius);
    for (int L = base + 1; L <= top; ++L) {
        pic.LineTo(hodo.SRWindU(m, t, L) + us, hodo.SRWindV(m, t, L) + vs);
        if (everyLevel) pic.Circle(pic.CurrentX(), pic.CurrentY(), radius);
    }
    if (!everyLevel) pic.Circle(pic.CurrentX(), pic.CurrentY(), radius);
}

void IndexLines(PictureSurface& pic, const Session& session, const HodographResults& hodo, int m,
                std::int16_t t, double R) {
    const ProfileArrays& s = *session.profile;
    const IndexThresholdTable& limits = session.history.IndexThresholds;
    const float cape = s.CAPE(m, t);
    const float cins = s.CINS(m, t);
    const float helicity = hodo.Helicity(m, t);
    // On the picture's back colour, as the layer table: a ring running
    // through the values would read as part of them.
    pic.SetFontTransparent(false);
    pic.SetCurrentX(-R);
    pic.SetCurrentY(-R - 3.0 * pic.TextHeight("I"));
    pic.SetForeColor(ThresholdColor(limits, kCapeRow, cape, false));
    pic.PrintNoNewline("  CAPE = " + HalfUp(cape));
    if (cape > 0.0f) {
        pic.SetForeColor(ThresholdColor(limits, kCinsRow, cins, true));
        pic.Print("\\CINS = " + HalfUp(cins));
    } else {
        pic.Print("");
    }
    pic.SetCurrentX(-R);
    pic.SetForeColor(ThresholdColor(limits, kHelicityRow, helicity, false));
    pic.Print("Helicity = " + HalfUp(helicity));
    pic.SetCurrentX(-R);
    pic.PrintNoNewline("  Shear = " + HalfUp(hodo.HodoLength(m, t)) + "m/s    " +
                       Format(hodo.MeanShear(m, t), "0.0 m/s /km"));
    pic.SetFontTransparent(true);
}

// The motion of a point against the boundary: the component of the point's
// motion across the boundary less the boundary's own speed, drawn from the
// point along the boundary's motion, green when it runs towards the boundary
// (negative) and red otherwise. Returns the caption " = dir  speed m/s".
std::string AgainstBoundary(PictureSurface& pic, double x, double y, double along, double beta,
                            double boundarySpeed) {
    const double n = along - boundarySpeed;
    const double dx = n * Cos(450.0 - beta);
    const double dy = n * Sin(450.0 - beta);
    pic.SetDrawWidth(2);
    pic.Line(x, y, x + dx, y + dy, n < 0.0 ? kGreen : kRed);
    const float dir = DirectionFromUV(static_cast<float>(-dx), static_cast<float>(-dy));
    return Whole(dir) + kOrdinal + "  " + Whole(n) + "m/s";
}

void BoundaryDisplay(PictureSurface& pic, const Session& session, const HodographView& view, int m,
                     std::int16_t t, double meanU, double meanV, HodographCaptions& out) {
    const ProfileArrays& s = *session.profile;
    const StormMotionResults& storm = *session.stormMotion;
    const double R = view.HodoRange;
    const float us = s.StormU(m, t);
    const float vs = s.StormV(m, t);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetForeColor(kOrange);
    pic.SetFillColor(kOrange);
    pic.SetDrawWidth(2);
    pic.Line(us - 1.0, vs, us + 1.0, vs);
    pic.Line(us, vs - 1.0, us, vs + 1.0);
    pic.Circle(us, vs, 0.5);

    const float bu = view.BoundaryU(m, t);
    const float bv = view.BoundaryV(m, t);
    pic.SetForeColor(kWhite);
    pic.SetFillColor(kWhite);
    pic.Circle(bu, bv, 2.0 * R / 100.0);
    const double beta = DirectionFromUV(bu, bv);
    const double boundarySpeed = std::sqrt(bu * bu + bv * bv);
    pic.Line(bu + 2.0 * R * Sin(beta + 90.0), bv + 2.0 * R * Cos(beta + 90.0),
             bu + 2.0 * R * Sin(beta - 90.0), bv + 2.0 * R * Cos(beta - 90.0));

    const double sigma = DirectionFromUV(us, vs);
    const double stormSpeed = std::sqrt(us * us + vs * vs);
    out.lblSRInflowLow =
        " Storm Motion = " +
        AgainstBoundary(pic, us, vs, stormSpeed * Cos(beta - sigma), beta, boundarySpeed);
    out.lblInflow = "Boundary Relative Inflow";
    const double meanAlong = storm.MeanWind06Speed(m, t) * Cos(beta - storm.MeanWind06Dir(m, t));
    out.lblSRInflowHigh =
        "    Mean Wind = " + AgainstBoundary(pic, meanU, meanV, meanAlong, beta, boundarySpeed);
}

void StormRelativeDisplay(PictureSurface& pic, const Session& session, const HodographResults& hodo,
                          int m, std::int16_t t, HodographCaptions& out) {
    const ProfileArrays& s = *session.profile;
    const float us = s.StormU(m, t);
    const float vs = s.StormV(m, t);
    const int top = hodo.HodoTopLevel(m, t);
    const int base = hodo.HodoBaseLevel(m, t);
    pic.SetDrawWidth(2);
    pic.Line(0.0, 0.0, us, vs, kOrange);
    pic.Line(us, vs, us + hodo.SRWindU(m, t, top), vs + hodo.SRWindV(m, t, top), kBlue);
    pic.SetDrawWidth(1);
    pic.Line(us, vs, us + hodo.SRWindU(m, t, base), vs + hodo.SRWindV(m, t, base), kBlue);
    out.lblInflow = "Storm Rel Inflow";
    out.lblSRInflowHigh = "         " + Plain(session.history.HodoTopKm) +
                          " km = " + Whole(hodo.SRDirTop(m, t)) + kOrdinal + "  " +
                          Whole(hodo.SRSpeedTop(m, t)) + "m/s";
    out.lblSRInflowLow = "          Sfc  = " + Whole(hodo.SRDirBase(m, t)) + kOrdinal + "  " +
                         Whole(hodo.SRSpeedBase(m, t)) + "m/s";
}

} // namespace

HodographCaptions PlotHodograph(PictureSurface& pic, Session& session, const HodographView& view,
                                std::int16_t t) {
    ProfileArrays& s = *session.profile;
    HodographResults& hodo = *session.hodograph;
    const StormMotionResults& storm = *session.stormMotion;
    const int m = s.CurrentModel;
    const double R = view.HodoRange;
    HodographCaptions out;

    if (hodo.HodoDone(m, t) == kFlagFalse) MakeHodoParams(s, t, session.history.HodoTopKm, hodo);

    pic.SetDrawWidth(1);
    pic.SetForeColor(kRed);
    pic.Clear();
    const double outer = RoundHalfEven(R + 10.0);
    RangeRings(pic, R, outer);
    pic.SetFillStyle(FillStyle::Solid);
    LayerCapeTable(pic, session, m, t, R);
    const MeanPoint mean = MarkMeanAndMovers(pic, storm, m, t);
    WindTrace(pic, s, hodo, m, t, R / 100.0, false);

    IndexLines(pic, session, hodo, m, t, R);

    if (view.BoundaryShown(m, t) != kFlagFalse) {
        BoundaryDisplay(pic, session, view, m, t, mean.u, mean.v, out);
    } else {
        StormRelativeDisplay(pic, session, hodo, m, t, out);
    }
    out.lblStormMotion = " Storm Motion = " + Whole(storm.StormDir(m, t)) + kDegree + "  " +
                         Whole(storm.StormSpeed(m, t)) + "m/s";
    out.lblMean = "    Mean Wind = " + Whole(storm.MeanWind06Dir(m, t)) + kDegree + "  " +
                  Whole(storm.MeanWind06Speed(m, t)) + "m/s";
    out.ResetEnabled = s.WindEdited(m, t) != kFlagFalse;
    return out;
}

void PlotHodographPanel(PictureSurface& pic, Session& session, double R, std::int16_t t) {
    ProfileArrays& s = *session.profile;
    HodographResults& hodo = *session.hodograph;
    const StormMotionResults& storm = *session.stormMotion;
    const int m = s.CurrentModel;
    if (hodo.HodoDone(m, t) == kFlagFalse) MakeHodoParams(s, t, session.history.HodoTopKm, hodo);

    pic.SetDrawWidth(1);
    pic.SetDrawStyle(DrawStyle::Solid);
    pic.SetForeColor(kRed);
    pic.Clear();
    // The rings stand at 10 to 50 m/s whatever the range; those wider than
    // the range go unlabelled, their label lying past the edge.
    RangeRings(pic, R, 50.0);
    pic.SetFillStyle(FillStyle::Solid);
    LayerCapeTable(pic, session, m, t, R);

    // Mean wind and storm motion at the top right, the storm-relative inflow
    // three lines above the bottom right.
    pic.SetCurrentY(R);
    pic.SetForeColor(kMagenta);
    RightPrint(pic, R,
               "Mean Wind = " + Whole(storm.MeanWind06Dir(m, t)) + kDegree + "  " +
                   Whole(storm.MeanWind06Speed(m, t)) + " m/s");
    pic.SetForeColor(kOrange);
    RightPrint(pic, R,
               "Storm Motion = " + Whole(storm.StormDir(m, t)) + kDegree + "  " +
                   Whole(storm.StormSpeed(m, t)) + " m/s");
    const double h = pic.TextHeight("I");
    pic.SetCurrentY(-R - 3.0 * h);
    pic.SetForeColor(RGB(0, 192, 192));
    RightPrint(pic, R, "SR Inflow");
    RightPrint(pic, R,
               Plain(session.history.HodoTopKm) + " km = " + Whole(hodo.SRDirTop(m, t)) + kOrdinal +
                   "  " + Whole(hodo.SRSpeedTop(m, t)) + " m/s");
    RightPrint(pic, R,
               "Sfc  = " + Whole(hodo.SRDirBase(m, t)) + kOrdinal + "  " +
                   Whole(hodo.SRSpeedBase(m, t)) + " m/s");

    MarkMeanAndMovers(pic, storm, m, t);
    WindTrace(pic, s, hodo, m, t, R / 140.0, true);

    // Inflow lines from the storm motion to the layer top and base, then the
    // storm-motion vector.
    const float us = s.StormU(m, t);
    const float vs = s.StormV(m, t);
    const int top = hodo.HodoTopLevel(m, t);
    const int base = hodo.HodoBaseLevel(m, t);
    pic.SetDrawWidth(2);
    pic.Line(us, vs, us + hodo.SRWindU(m, t, top), vs + hodo.SRWindV(m, t, top), kBlue);
    pic.SetDrawWidth(1);
    pic.Line(us, vs, us + hodo.SRWindU(m, t, base), vs + hodo.SRWindV(m, t, base), kBlue);
    pic.SetDrawWidth(2);
    pic.Line(0.0, 0.0, us, vs, kOrange);

    // CAPE, CINS (whatever the CAPE), helicity and shear at the bottom left.
    const IndexThresholdTable& limits = session.history.IndexThresholds;
    const float cape = s.CAPE(m, t);
    const float cins = s.CINS(m, t);
    const float helicity = hodo.Helicity(m, t);
    pic.SetCurrentX(-R);
    pic.SetCurrentY(-R - 3.0 * h);
    pic.SetForeColor(ThresholdColor(limits, kCapeRow, cape, false));
    pic.PrintNoNewline(" CAPE = " + HalfUp(cape));
    pic.SetForeColor(ThresholdColor(limits, kCinsRow, cins, true));
    pic.Print("\\CINS = " + HalfUp(cins));
    pic.SetCurrentX(-R);
    pic.SetForeColor(ThresholdColor(limits, kHelicityRow, helicity, false));
    pic.Print("Helicity = " + HalfUp(helicity));
    pic.SetCurrentX(-R);
    pic.PrintNoNewline("  Shear = " + HalfUp(hodo.HodoLength(m, t)) + "m/s (" +
                       Whole(hodo.MeanShear(m, t)) + " m/s/km)");
}

void RightPrint(PictureSurface& pic, double HodoRange, std::string_view text) {
    pic.SetCurrentX(HodoRange - pic.TextWidth(text));
    pic.Print(text);
}

void PrintPointReadout(PictureSurface& pic, double HodoRange, std::string_view first,
                       std::string_view second, double x, double y) {
    const double speed = std::sqrt(x * x + y * y);
    pic.SetCurrentY(HodoRange);
    pic.SetFontName("Arial");
    pic.SetForeColor(kWhite);
    RightPrint(pic, HodoRange, first);
    RightPrint(pic, HodoRange, second);
    RightPrint(pic, HodoRange,
               Whole(DirectionFromUV(static_cast<float>(x), static_cast<float>(y))) + kOrdinal +
                   " " + Whole(speed) + " m/s");
    RightPrint(pic, HodoRange, Whole(speed / kMsPerKnot) + " kts");
    pic.SetFontName("MS Sans Serif");
}

void PrintLevelReadout(PictureSurface& pic, const ProfileArrays& store, double HodoRange,
                       std::int16_t t, int L, double x, double y) {
    const int m = store.CurrentModel;
    const double km = store.Height(m, t, L) / 1000.0 - store.StationElevation(m);
    PrintPointReadout(pic, HodoRange, Format(km, "#.0") + " km",
                      Whole(store.Pressure(m, t, L)) + " mb", x, y);
}

} // namespace tarvex
