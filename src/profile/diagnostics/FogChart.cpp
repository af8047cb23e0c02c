#include "profile/diagnostics/FogChart.h"

#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagnostics/BlankPanel.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvex {

namespace {

constexpr Rgb kAxisGrey = RGB(191, 191, 191);
constexpr Rgb kGridGrey = RGB(127, 127, 127);
constexpr Rgb kSilver = RGB(192, 192, 192);
// The desktop's button face, which the panel's separators take.
constexpr Rgb kButtonFace = RGB(240, 240, 240);
// The program's feet per metre divisor (not 0.3048).
constexpr float kMetresPerFoot = 0.3038f;
constexpr float kKelvin = 273.16f;
constexpr float kMissing = -999.0f;
// Only the lowest 500 ft of the profile is charted.
constexpr float kChartTopFt = 500.0f;

float Fahrenheit(float celsius) {
    return celsius * 9.0f / 5.0f + 32.0f;
}

float FeetAboveGround(const ProfileArrays& s, int m, int t, int L) {
    return s.HeightAGL(m, t, L) / kMetresPerFoot;
}

void PrintAt(PictureSurface& pic, double x, double y, const std::string& text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.Print(text);
}

void PrintOnLineAt(PictureSurface& pic, double x, double y, const std::string& text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.PrintNoNewline(text);
}

// A label whose middle is at x and whose top is at y.
void CentredLabel(PictureSurface& pic, double x, double y, const std::string& text) {
    PrintAt(pic, x - pic.TextWidth(text) / 2.0, y, text);
}

// A label that ends at x and is centred vertically on y.
void RightLabel(PictureSurface& pic, double x, double y, const std::string& text) {
    PrintAt(pic, x - pic.TextWidth(text), y - pic.TextHeight(text) / 2.0, text);
}

// The top of a humidity chart's axis caption: 80 ft below the axis, or lower
// when the tick numbers (their tops 30 ft below it) reach further down.
double CaptionBelowTicks(const PictureSurface& pic) {
    return std::min(-80.0, -30.0 - std::abs(pic.TextHeight("0")));
}

// A chart's title along its top, on a back of the panel's black: the trace,
// drawn before it up to the first level above 500 ft, never runs through it.
void TitleAt(PictureSurface& pic, double x, double y, const std::string& text) {
    const bool transparent = pic.FontTransparent();
    pic.SetFontTransparent(false);
    PrintAt(pic, x, y, text);
    pic.SetFontTransparent(transparent);
}

// A two-line verdict: its first word at (x, y), "Likely" at likelyX below.
void Verdict(PictureSurface& pic, double x, double y, const std::string& word, double likelyX) {
    PrintAt(pic, x, y, word);
    pic.SetCurrentX(likelyX);
    pic.Print("Likely");
}

void HumidityChart(PictureSurface& pic, const ProfileArrays& s, int m, int t, float A, float B) {
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    pic.Scale(-0.22 * A, 600.0, 2.5 * A, -1250.0);
    pic.SetForeColor(kAxisGrey);
    pic.SetDrawWidth(3);
    pic.Line(0.0, 0.0, A, 0.0);
    pic.Line(0.0, 0.0, 0.0, 500.0);
    pic.SetDrawWidth(1);
    // Half steps of a dry file's axis keep their decimal.
    const char* tickFormat = B == std::floor(B) ? "0" : "0.0";
    for (float x = 0.0f; x <= A; x += B) {
        pic.Line(x, 0.0, x, -30.0);
        pic.Line(x, 0.0, x, 500.0, kGridGrey);
        CentredLabel(pic, x, -30.0, Format(x, tickFormat));
    }
    for (int y = 0; y <= 500; y += 100) {
        pic.Line(-0.2 * B, y, 0.0, y);
        RightLabel(pic, -0.4 * B, y, Format(y, "0"));
    }
    pic.SetDrawWidth(3);
    pic.SetForeColor(kYellow);
    pic.SetFillColor(kYellow);
    pic.SetFillStyle(FillStyle::Solid);
    const double r = 0.1 * B;
    pic.Circle(s.SpecificHumidity(m, t, 0), FeetAboveGround(s, m, t, 0), r);
    for (int j = 1; j <= n; ++j) {
        const float z = FeetAboveGround(s, m, t, j);
        pic.LineTo(s.SpecificHumidity(m, t, j), z);
        pic.Circle(s.SpecificHumidity(m, t, j), z, r);
        if (z > kChartTopFt) break;
    }
    pic.SetFillStyle(FillStyle::Transparent);
    pic.SetForeColor(kWhite);
    // A step's width left of the axis, but never past the chart's left edge
    // (a dry file's half steps are wider than the room there).
    PrintAt(pic, std::max(-1.0 * B, -0.22 * A), 590.0, "Hght(ft)");
    PrintAt(pic, 0.8 * B, CaptionBelowTicks(pic), "Specific Humidity (g/kg)");
    TitleAt(pic, 1.7 * B, 580.0, "Hydrolapse");
}

void HydrolapseChart(PictureSurface& pic, const ProfileArrays& s, int m, int t, float A, float B) {
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    pic.Scale(-0.42 * A, 600.0, 0.13 * A, -1250.0);
    pic.SetForeColor(kAxisGrey);
    pic.SetDrawWidth(3);
    pic.Line(-0.1 * A, 0.0, 0.1 * A, 0.0);
    pic.Line(0.0, 0.0, 0.0, 500.0);
    pic.SetDrawWidth(1);
    for (float x = -0.1f * A; x <= 0.11f * A; x += 0.25f * B) {
        pic.Line(x, 0.0, x, -30.0);
        CentredLabel(pic, x, -30.0, Format(x, ".00"));
    }
    for (int y = 0; y <= 500; y += 100) pic.Line(-0.03 * B, y, 0.03 * B, y);
    pic.SetDrawWidth(3);
    pic.SetForeColor(kBlue);
    pic.SetFillColor(kBlue);
    pic.SetFillStyle(FillStyle::Solid);
    // A profile without levels has no layer to chart. The first layer is
    // always followed by the second, even when level 1 already lies above
    // the chart's top: the stop is tested from the second layer on.
    const double r = 0.01 * B;
    for (int j = 1; j <= n; ++j) {
        const float dq = s.SpecificHumidity(m, t, j) - s.SpecificHumidity(m, t, j - 1);
        const float zUpper = FeetAboveGround(s, m, t, j);
        const float zMid = (zUpper + FeetAboveGround(s, m, t, j - 1)) / 2.0f;
        if (j > 1) pic.LineTo(dq, zMid);
        pic.Circle(dq, zMid, r);
        if (j > 1 && zUpper > kChartTopFt) break;
    }
    pic.SetFillStyle(FillStyle::Transparent);
    pic.SetForeColor(kWhite);
    PrintAt(pic, -0.47 * B, CaptionBelowTicks(pic), "Specific Humidity Change (g/kg)");
    TitleAt(pic, -0.47 * B, 580.0, "Vertical Change of Humidity");
    PrintAt(pic, -0.38 * B, 300.0, "Less");
    PrintAt(pic, 0.17 * B, 300.0, "More");
    PrintAt(pic, -0.4 * B, 240.0, "Likely");
    PrintAt(pic, 0.15 * B, 240.0, "Likely");
}

// The top of the crossover area's headings over the bars.
constexpr double kHeadingY = 7.0;
// The top of the caption at the foot of the crossover area.
constexpr double kFootY = -6.2;

// How one bar of the crossover area looks for its difference: the box
// colour, the value text beside its end (above a rising bar, below a falling
// one) and the verdict, if any, at half its height.
struct BarLook {
    Rgb colour;
    double valueX;
    const char* valuePrefix;
    bool above;
    const char* verdict = nullptr; // a first word over "Likely"
    double verdictX = 0.0;
};

// A bar from the crossover line (y 0) to the difference d (deg F, already
// limited), between x0 and x1; "Likely" lines stand at likelyX. The verdict
// stands at half the bar's height unless the value at the bar's end is
// there: on a short bar it moves off the value (under it on a rising bar;
// under it on a falling one where the foot caption leaves room, else over
// it), so both stay whole.
void CrossoverBar(PictureSurface& pic, double x0, double x1, double d, const BarLook& look,
                  float valueF, double likelyX) {
    const double a = std::abs(pic.TextHeight("H")); // y grows upward
    pic.FilledBox(x0, 0.0, x1, d, look.colour);
    // A value above its bar stays below the headings of the area, one below
    // it above the caption at the foot.
    const double valueTop =
        look.above ? std::min(d + 1.1 * a, kHeadingY - a) : std::max(d + 0.1 * a, kFootY + a);
    PrintAt(pic, look.valueX, valueTop, look.valuePrefix + Format(valueF, "0.0"));
    if (!look.verdict) return;
    double top = d / 2.0 + a;
    const double valueBottom = valueTop - a;
    if (top > valueBottom && top - 2.0 * a < valueTop) {
        const bool roomBelow = valueBottom - 2.0 * a >= kFootY;
        top = look.above || roomBelow ? valueBottom : valueTop + 2.0 * a;
    }
    Verdict(pic, look.verdictX, top, look.verdict, likelyX);
}

void GroundBar(PictureSurface& pic, float GF, float XF) {
    const double d = std::clamp(GF - XF, -5.5f, 5.5f);
    BarLook look{kWhite, 27.5, "T = ", false, "More", 29.0};
    if (d > 5.0) {
        look = {kGreen, 28.0, "T= ", true, "Less", 29.0};
    } else if (d >= 0.0) {
        look = {kYellow, 28.0, "T= ", true};
    } else if (d > -5.0) {
        look = {kYellow, 28.0, "T= ", false};
    }
    CrossoverBar(pic, 26.0, 37.0, d, look, GF, 28.5);
}

void AirBar(PictureSurface& pic, float AF, float XF) {
    const double d = std::clamp(AF - XF, -5.5f, 5.5f);
    BarLook look{kWhite, 13.0, "T = ", false, "F  More", 12.5};
    if (d > 1.0) {
        look = {kGreen, 13.0, "T= ", true, "Less", 14.0};
    } else if (d > 0.0) {
        look = {kYellow, 13.0, "T= ", true};
    } else if (d > -3.0) {
        look = {kSilver, 13.0, "T= ", false};
        if (d < -1.0) {
            look.verdict = "Br  More";
            look.verdictX = 12.0;
        }
    }
    CrossoverBar(pic, 11.0, 22.0, d, look, AF, 13.5);
    // A bar just above the crossover: a single line at its middle, under the
    // bar's value.
    const double h = pic.TextHeight("H");
    if (d > 0.0 && d <= 1.0)
        PrintAt(pic, 13.0, std::min(d / 2.0 - 0.5 * h, d - 0.1 * h), "Br Psbl");
}

void CrossoverArea(PictureSurface& pic, Session& session, int m, std::int16_t c) {
    const ProfileArrays& s = *session.profile;
    const CrossoverSource source = FindCrossover(session, c);
    const float XF = Fahrenheit(session.fogParcel.XoverTemp[static_cast<std::size_t>(m)]);
    const float AF = Fahrenheit(s.SurfaceTemp(m, c));
    const float GF = (s.SkinTemperature(m, c) - kKelvin) * 9.0f / 5.0f + 32.0f;

    pic.Scale(0.0, 17.0, 100.0, -7.0);
    pic.SetDrawWidth(5);
    pic.Line(0.0, 7.2, 100.0, 7.2, kButtonFace);
    pic.Line(53.0, 17.0, 53.0, -7.0, kButtonFace);
    pic.SetForeColor(kAxisGrey);
    pic.SetDrawWidth(3);
    pic.Line(8.0, 5.0, 8.0, -5.0);
    pic.Line(8.0, 0.0, 39.0, 0.0);
    pic.SetDrawWidth(1);
    for (int y = 5; y >= -5; --y) {
        pic.Line(6.5, y, 8.0, y);
        RightLabel(pic, 5.0, y, Format(y, "0"));
    }
    pic.SetForeColor(kWhite);
    PrintOnLineAt(pic, 14.0, kHeadingY, "Air °F");
    pic.SetCurrentX(27.0);
    pic.PrintNoNewline("Ground °F");
    PrintAt(pic, 40.0, 1.0, "XOver °F");
    pic.SetForeColor(source.Manual ? kYellow : kRed);
    pic.SetCurrentX(40.0);
    pic.Print("T= " + Format(XF, "0.0"));
    pic.SetForeColor(kRed);
    // A missing skin temperature (far below any air temperature) has no bar.
    if (GF > -100.0f) GroundBar(pic, GF, XF);
    AirBar(pic, AF, XF);

    if (source.Manual) {
        PrintAt(pic, 1.0, kFootY, "XOver manually entered");
        return;
    }
    PrintOnLineAt(pic, 1.0, kFootY, "XOver from ");
    pic.PrintNoNewline(PrintForm(source.HoursAgo));
    pic.PrintNoNewline("hours ago");
    const DateTime local = s.ValidTime(m, source.Column).AddHours(-session.config.TimeZoneOffset);
    const std::string when = Format(local, "h am/pm  mmm d");
    pic.SetCurrentX(49.0 - pic.TextWidth(when));
    pic.PrintNoNewline(when);
}

void StabilityArea(PictureSurface& pic, const ProfileArrays& s, int m, std::int16_t t) {
    const BoundaryLayerStability b = MakeBoundaryLayerStability(s, t);
    const bool noValue = std::isnan(b.MRi);
    const double y = noValue ? 0.0 : std::clamp(b.MRi, -0.01f, 0.075f);

    pic.Scale(-5.0, -0.11, 95.0, 0.09);
    pic.SetForeColor(kAxisGrey);
    pic.SetDrawWidth(3);
    pic.Line(60.0, -0.01, 60.0, 0.075);
    pic.SetDrawWidth(1);
    for (float tick = -0.01f; tick <= 0.07f; tick += 0.01f) {
        pic.Line(58.0, tick, 60.0, tick);
        RightLabel(pic, 57.0, tick, Format(tick, ".00"));
    }
    pic.SetForeColor(kWhite);
    PrintAt(pic, 66.0, -0.026, "MRi (Lowest 100mb)");
    PrintOnLineAt(pic, 61.0, -0.019, "Development");
    pic.SetCurrentX(80.0);
    pic.Print("Dispersal");

    pic.SetForeColor(kRed);
    PrintOnLineAt(pic, 52.0, 0.078, "Sfc");
    pic.SetCurrentX(62.8);
    pic.PrintNoNewline("Boundary Layer");
    pic.SetCurrentX(84.0);
    pic.Print("max Wind");
    pic.SetCurrentX(50.0);
    pic.PrintNoNewline(Format(s.SurfaceTemp(m, t), "0.0°C"));
    pic.SetCurrentX(62.0);
    pic.PrintNoNewline(PrintForm(std::floor(s.Pressure(m, t, b.jmax) + 0.5f)));
    pic.PrintNoNewline("mb   ");
    pic.PrintNoNewline(Format(b.Tmax, "0.0°C   "));
    pic.SetCurrentX(86.0);
    pic.PrintNoNewline(PrintForm(std::floor(b.Vmax + 0.5f)));
    pic.PrintNoNewline(" kts");

    // A calm or unknown layer has no number: its value reads "----" and no
    // bar is drawn.
    const std::string value = noValue ? "----" : Format(b.MRi, ".000");
    const double h = pic.TextHeight("H");
    PrintAt(pic, 80.0 - pic.TextWidth(value), 0.0325 - h / 2.0, value);
    if (noValue) return;

    if (y <= 0.025) {
        pic.FilledBox(63.0, 0.025, 74.0, y, kWhite);
        if (y < 0.017) {
            PrintAt(pic, 65.0, (y + 0.025) / 2.0 - h, "Stratus");
            pic.SetCurrentX(64.0);
            pic.Print("Favored");
        }
    } else if (y > 0.04) {
        pic.FilledBox(63.0, 0.04, 74.0, y, kWhite);
        if (y > 0.047) {
            PrintAt(pic, 66.0, (y + 0.04) / 2.0 - h, "Fog");
            pic.SetCurrentX(64.0);
            pic.Print("Favored");
        }
    }
    if (y <= 0.008) {
        pic.FilledBox(79.0, 0.008, 90.0, y, kBlue);
        if (y < 0.004) PrintAt(pic, 80.0, (y + 0.008) / 2.0 - h / 2.0, "Possible");
    }
}

} // namespace

float HumidityAxisTop(float maxSpecificHumidity) {
    if (maxSpecificHumidity < 2.0f) return 2.0f;
    return std::floor(maxSpecificHumidity / 5.0f) * 5.0f + 5.0f;
}

float HumidityAxisStep(float axisTop) {
    return axisTop == 2.0f ? 0.5f : axisTop / 5.0f;
}

CrossoverSource FindCrossover(Session& session, std::int16_t c) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    float& xover = session.fogParcel.XoverTemp[static_cast<std::size_t>(m)];
    CrossoverSource source;
    const float manual = session.fogParcel.XoverManual(m, c);
    if (manual != FogParcelState::kNoManualCrossover) {
        xover = manual;
        source.Manual = true;
        return source;
    }
    const int step = std::max<int>(1, session.HoursPerColumn);
    const int n = 23 / step;
    float warmest = kMissing;
    for (int k = 0; k <= n && c - k >= 0; ++k) {
        const int column = c - k;
        if (s.SurfaceTemp(m, column) > warmest) {
            warmest = s.SurfaceTemp(m, column);
            xover = s.SurfaceDewPoint(m, column);
            source.HoursAgo = static_cast<std::int16_t>(step * k);
            source.Column = static_cast<std::int16_t>(column);
        }
    }
    return source;
}

namespace {

void StoreManualCrossover(Session& session, std::int16_t c, float value) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    for (int t = c; t <= s.LastTime(m); ++t) session.fogParcel.XoverManual(m, t) = value;
}

} // namespace

void StepCrossover(Session& session, std::int16_t c, float deltaC) {
    const int m = session.profile->CurrentModel;
    StoreManualCrossover(session, c,
                         session.fogParcel.XoverTemp[static_cast<std::size_t>(m)] + deltaC);
}

void ResetCrossover(Session& session, std::int16_t c) {
    StoreManualCrossover(session, c, FogParcelState::kNoManualCrossover);
}

BoundaryLayerStability MakeBoundaryLayerStability(const ProfileArrays& s, std::int16_t t) {
    const int m = s.CurrentModel;
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    BoundaryLayerStability b;
    for (int j = 1; j <= n; ++j) {
        if (s.Pressure(m, t, 0) - s.Pressure(m, t, j) > 100.0f) break;
        if (s.Temperature(m, t, j) > b.Tmax) {
            b.Tmax = s.Temperature(m, t, j);
            b.jmax = static_cast<std::int16_t>(j);
        }
    }
    for (int j = 1; j <= b.jmax; ++j) {
        if (FeetAboveGround(s, m, t, j) > 1500.0f) break;
        b.Vmax = std::max(b.Vmax, s.WindSpeed(m, t, j));
    }
    // A calm layer, or a layer without a level or a wind to read, gives no
    // number rather than one worked out from the placeholders.
    const bool unknown = b.Vmax == 0.0f || b.Vmax == kMissing || b.Tmax == kMissing;
    b.MRi = unknown ? std::nanf("") : (b.Tmax - s.SurfaceTemp(m, t)) / (b.Vmax * b.Vmax);
    return b;
}

void PlotFog(PictureSurface& pic, Session& session, std::int16_t c) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    if (!SoundingLoaded(s)) return BlankPanel(pic, kBlack);
    pic.SetBackColor(kBlack);
    pic.Clear();
    const float A = HumidityAxisTop(s.MaxSpecificHumidity);
    const float B = HumidityAxisStep(A);
    HumidityChart(pic, s, m, c, A, B);
    HydrolapseChart(pic, s, m, c, A, B);
    CrossoverArea(pic, session, m, c);
    StabilityArea(pic, s, m, c);
}

} // namespace tarvex
