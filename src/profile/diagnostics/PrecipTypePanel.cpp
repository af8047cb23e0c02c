#include "profile/diagnostics/PrecipTypePanel.h"

#include "compute/ComputeState.h"
#include "compute/PrecipType.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagnostics/BlankPanel.h"
#include "profile/diagnostics/ThicknessChart.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvex {

namespace {

constexpr double kFeetPerMetre = 1.0 / 0.3038;
// Melting energy (J/kg) from which some snow melts on the surface chart.
constexpr float kWetSnowEnergy = 5.6f;
// The refreezing chart's lowest line lies this far (J/kg) below the line
// from which pellets form.
constexpr float kLowestLineOffset = 20.0f;
// The energy trail's length in time columns.
constexpr int kEnergyTrail = 6;
// A cloud shallower than this (m) or warmer than -10 C at its top may hold no
// ice crystals: drizzle rather than snow.
constexpr float kDrizzleCloudDepth = 607.6f;
constexpr float kDrizzleTopTemp = -10.0f;

// The least pixel size at which the bold serif draws ten distinct digits:
// at 8 pixels its 8 and 3 read as 2.
constexpr int kLeastSerifDigitPixels = 9;

constexpr Rgb kPanelBack = RGB(128, 255, 255);
constexpr Rgb kSleetBack = RGB(255, 255, 128);
constexpr Rgb kGrey = RGB(127, 127, 127);
constexpr Rgb kCyan = RGB(0, 255, 255);
constexpr Rgb kOrange = RGB(255, 191, 0);
constexpr Rgb kLevelText = RGB(94, 53, 0);

void PrintAt(PictureSurface& pic, double x, double y, std::string_view text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.PrintNoNewline(text);
}

// Lines printed one under the other, each starting at x.
void PrintLines(PictureSurface& pic, double x, double y,
                std::initializer_list<std::string_view> lines) {
    pic.SetCurrentY(y);
    for (std::string_view line : lines) {
        pic.SetCurrentX(x);
        pic.Print(line);
    }
}

// Lines printed from (x, y), each ending its line: the lines after the first
// start at the scale's left edge.
void PrintBlock(PictureSurface& pic, double x, double y,
                std::initializer_list<std::string_view> lines) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    for (std::string_view line : lines) pic.Print(line);
}

std::string SleetEnergyText(float E) {
    return "Sfc Positive Energy = " + Format(E, "0.#") + " J/kg";
}

void UsePanelFont(PictureSurface& pic) {
    UsePrecipTypeFont(pic);
}

// An axis number as the print statement writes it (a blank for the sign),
// measured on its digits alone.
void PrintAxisNumber(PictureSurface& pic, int value, double x, double y) {
    PrintAt(pic, x, y, PrintForm(value));
}
double DigitsWidth(const PictureSurface& pic, int value) {
    return pic.TextWidth(std::to_string(value));
}

// The hours of a trail: the current column c and up to kEnergyTrail columns
// before it, back to the first hour whose pattern does not belong on the
// chart. Each past hour's layers are worked out before its pattern is
// tested, so the trail never mixes start levels.
int EnergyTrailLength(Session& session, int c, const std::function<bool(EnergyChart)>& belongs) {
    const ProfileArrays& s = *session.profile;
    for (int k = 1; k <= kEnergyTrail; ++k) {
        const int t = c - k;
        if (t < 0) return k - 1;
        MakePTypeAreas(s, static_cast<std::int16_t>(t), *session.ptype, session.options);
        if (!belongs(EnergyChartOf(session.ptype->PTypePattern(s.CurrentModel, t)))) return k - 1;
    }
    return kEnergyTrail;
}

// Where and how an hour of the trail is drawn.
struct TrailPoint {
    double x = 0.0;
    double y = 0.0;
    Rgb fill;
    double radius = 0.0;
};

// The trail from c - n to c: a black line between consecutive points, a
// circle filled by the chart's rule at each, outlined in the pen colour.
// beforeCircle runs before each circle is drawn, with its hour.
void DrawTrail(PictureSurface& pic, int c, int n, const std::function<TrailPoint(int t)>& pointOf,
               const std::function<void(int t, const TrailPoint&)>& beforeCircle = {}) {
    TrailPoint previous;
    for (int t = c - n; t <= c; ++t) {
        const TrailPoint p = pointOf(t);
        if (t != c - n) pic.Line(previous.x, previous.y, p.x, p.y, kBlack);
        if (beforeCircle) beforeCircle(t, p);
        pic.SetFillColor(p.fill);
        pic.Circle(p.x, p.y, p.radius);
        previous = p;
    }
}

void SnraBarScale(PictureSurface& pic) {
    pic.Scale(-300.0, 0.0, 102.0, 200.0);
}

// The left end of the SNRA bar, in pixels.
double SnraBarLeftPixel(PictureSurface& pic) {
    SnraBarScale(pic);
    return pic.ToPixelX(0.0);
}

void DrawSnraBar(PictureSurface& pic, float S) {
    SnraBarScale(pic);
    pic.FilledBox(0.0, 1.0, 100.0 - S, 7.0, kGreen);
    pic.FilledBox(100.0 - S, 1.0, 100.0, 7.0, kBlue);
    pic.SetForeColor(kBlack);
    // Its value ends inside the picture however wide the type is.
    const std::string text = "SNRA=" + PrintForm(S);
    pic.SetCurrentX(std::min(30.0, 102.0 - pic.TextWidth(text)));
    pic.SetCurrentY(1.0);
    pic.Print(text);
}

// The start level of the layer analysis in the lower right, placed on the
// panel's design size (437 x 461 pixels) whatever size it has, below the
// first two lines of the hour's heading, which run that far across.
void DrawStartLevel(PictureSurface& pic, const ProfileArrays& s, int c, int start) {
    pic.Scale(0.0, 0.0, kPrecipTypeWidth, kPrecipTypeHeight);
    pic.SetForeColor(kLevelText);
    if (start == 1) {
        PrintAt(pic, 313.0, 404.0, "Surface");
        return;
    }
    const int m = s.CurrentModel;
    auto line = [](const char* name, float h) {
        return std::string(name) + Format(h * kFeetPerMetre, "##0") + "'   " + Format(h, "##0") +
               "m";
    };
    const std::string agl = line("AGL: ", s.HeightAGL(m, c, start));
    const std::string msl = line("MSL: ", s.Height(m, c, start));
    // On a picture smaller than its design the type keeps its floor size:
    // the lines move left so that they end inside the picture.
    const double widest = std::max(pic.TextWidth(agl), pic.TextWidth(msl));
    PrintLines(pic, std::min(313.0, kPrecipTypeWidth - widest - 2.0), 397.0, {agl, msl});
}

// Whether a text drawn already lies in the area of the given user width and
// height whose top-left corner is (x, y).
bool TextsAt(const PictureSurface& pic, double x, double y, double width, double height) {
    const double left = pic.ToPixelX(x);
    const double top = pic.ToPixelY(y);
    const TextRect area{left, top, pic.ToPixelX(x + width) - left, pic.ToPixelY(y + height) - top};
    return std::ranges::any_of(pic.DrawnTexts(), [&area](const DrawnText& text) {
        return TextRectsOverlap(text.rect, area);
    });
}

// A chart's grey plotting area from the origin to (right, top), in the
// chart's scale.
void ChartArea(PictureSurface& pic, double right, double top) {
    pic.SetFillStyle(FillStyle::Solid);
    pic.FilledBox(0.0, top, right, 0.0, kGrey);
}

// The surface chart's scale: positive energy (J/kg) across, freezing level
// (ft) upward.
void SurfaceChartScale(PictureSurface& pic) {
    pic.Scale(-16.0, 3200.0, 85.0, -1000.0);
}

// The surface chart's area, boundaries and grid, kept as its background.
void DrawSurfaceChartFixed(PictureSurface& pic) {
    SurfaceChartScale(pic);
    ChartArea(pic, 80.0, 3000.0);
    pic.Line(kWetSnowEnergy, 0.0, kWetSnowEnergy, 3000.0, kRed);
    pic.Line(kRainEnergy, 0.0, kRainEnergy, 3000.0, kRed);
    pic.SetForeColor(kBlack);
    for (int y = 0; y <= 3000; y += 500) pic.Line(0.0, y, 80.0, y);
    pic.Line(0.0, 0.0, 0.0, 3000.0);
    pic.Line(80.0, 0.0, 80.0, 3000.0);
}

// The surface chart's captions and axis numbers, printed at every draw so
// that the surface knows every text it shows.
void PrintSurfaceChartTexts(PictureSurface& pic) {
    SurfaceChartScale(pic);
    const double th = pic.TextHeight("I");
    pic.SetForeColor(kRed);
    PrintAt(pic, 20.0, 3200.0, "Positive Energy J/kg");
    PrintAt(pic, -16.0, 1900.0, "Freezing");
    PrintAt(pic, -14.0, 1400.0, "Level");
    PrintAt(pic, -12.0, 900.0, "(ft)");
    pic.SetForeColor(kBlue);
    PrintAt(pic, 1.0, 500.0, "Snow");
    pic.SetForeColor(kGreen);
    PrintAt(pic, 45.0, 1700.0, "Rain");
    pic.SetForeColor(kBlack);
    for (int y = 0; y <= 3000; y += 500)
        PrintAxisNumber(pic, y, -1.0 - DigitsWidth(pic, y), y - th / 2.0);
    for (int x = 10; x <= 70; x += 10) PrintAxisNumber(pic, x, x - DigitsWidth(pic, x) / 2.0, 0.0);
}

void DrawSurfaceChartHour(PictureSurface& pic, Session& session, int c) {
    const PTypeResults& r = *session.ptype;
    const int m = session.profile->CurrentModel;
    SurfaceChartScale(pic);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetForeColor(kBlack);
    if (r.PTypePattern(m, c) == "BB") {
        PrintBlock(pic, 0.0, -200.0, {"Entire Sounding Below Freezing", ""});
        pic.SetForeColor(kBlue);
        pic.Print("SNOW");
    } else {
        PrintBlock(pic, 0.0, -200.0,
                   {"Sounding Starts Out Above Freezing", "",
                    "Positive Energy = " + Format(r.WarmEnergy(m, c), "#,##0.0") + " J/kg",
                    "Freezing Level  = " + Format(r.FreezingHeightAGLFt(m, c), "#,##0") + " ft"});
    }

    const int n = EnergyTrailLength(
        session, c, [](EnergyChart chart) { return chart == EnergyChart::Surface; });
    DrawTrail(pic, c, n, [&](int t) {
        const float warm = r.WarmEnergy(m, t);
        return TrailPoint{std::clamp(warm, 0.0f, 80.0f),
                          std::min(r.FreezingHeightAGLFt(m, t), 3000.0f), SurfaceChartColor(warm),
                          1.5 - 0.1 * (c - t)};
    });
}

// The refreezing and elevated charts' scale: positive energy (J/kg) across,
// negative energy (J/kg) upward.
void RefreezingChartScale(PictureSurface& pic) {
    pic.Scale(-90.0, 480.0, 480.0, -150.0);
}

// The refreezing or elevated chart's area, boundaries and grid, kept as its
// background.
void DrawRefreezingChartFixed(PictureSurface& pic) {
    RefreezingChartScale(pic);
    ChartArea(pic, 450.0, 450.0);
    // Negative energy = 50, 60 and 70 plus 2/3 of the positive energy.
    for (double base : {50.0, 60.0, 70.0}) pic.Line(0.0, base, 450.0, base + 300.0, kGreen);
    pic.SetForeColor(kBlack);
    for (int y = 0; y <= 450; y += 50) pic.Line(0.0, y, 450.0, y);
    pic.Line(0.0, 0.0, 0.0, 450.0);
    pic.Line(450.0, 0.0, 450.0, 450.0);
}

// The refreezing or elevated chart's captions and axis numbers, printed at
// every draw so that the surface knows every text it shows.
void PrintRefreezingChartTexts(PictureSurface& pic, bool elevated) {
    const double barLeft = SnraBarLeftPixel(pic);
    RefreezingChartScale(pic);
    const double th = pic.TextHeight("I");
    pic.SetForeColor(kRed);
    if (elevated) {
        // The caption runs up to the SNRA bar beside it: it moves left just
        // enough to end a blank before the bar, so the bar never covers it.
        const std::string caption = "Elevated Positive Energy J/kg";
        const double end = pic.FromPixelX(barLeft) - pic.TextWidth(" ");
        PrintAt(pic, std::min(90.0, end - pic.TextWidth(caption)), 480.0, caption);
    } else {
        PrintAt(pic, 115.0, 480.0, "Positive Energy J/kg");
    }
    PrintAt(pic, -85.0, 290.0, "Negative");
    // Clear of the axis number 250 beside it.
    PrintAt(pic, -75.0, std::min(245.0, 250.0 + th / 2.0), "Energy");
    PrintAt(pic, -65.0, 190.0, "J/kg");
    if (elevated) {
        pic.SetForeColor(kGreen);
        PrintAt(pic, 300.0, 190.0, "Rain");
        pic.SetForeColor(kYellow);
        PrintAt(pic, 170.0, 340.0, "Sleet or Rain");
    } else {
        PrintAt(pic, 250.0, 190.0, "Freezing Rain");
        pic.SetForeColor(kYellow);
        PrintAt(pic, 170.0, 340.0, "Sleet");
    }
    pic.SetForeColor(kBlack);
    for (int y = 0; y <= 400; y += 50) PrintAxisNumber(pic, y, -DigitsWidth(pic, y), y - th / 2.0);
    for (int x = 50; x <= 450; x += 50) PrintAxisNumber(pic, x, x - DigitsWidth(pic, x) / 2.0, 0.0);
}

void DrawRefreezingChartHour(PictureSurface& pic, PictureSurface& sleet, Session& session, int c,
                             bool elevated, bool& sleetShown) {
    const PTypeResults& r = *session.ptype;
    const int m = session.profile->CurrentModel;
    RefreezingChartScale(pic);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetForeColor(kBlack);
    const std::string positive = "Positive Energy = " + Format(r.WarmEnergy(m, c), "0.0") + " J/kg";
    const std::string negative = "Negative Energy = " + Format(r.ColdEnergy(m, c), "0.0") + " J/kg";
    if (elevated) {
        PrintBlock(pic, 0.0, -30.0,
                   {"Elevated Layer Above Freezing ", "and Surface Temp Above Freezing", positive,
                    negative});
    } else {
        PrintBlock(pic, 0.0, -30.0,
                   {"Sounding Starts Out Below Freezing ", "      and Goes Above Freezing Aloft",
                    positive, negative});
    }

    const int n = EnergyTrailLength(
        session, c, [](EnergyChart chart) { return chart != EnergyChart::Surface; });
    DrawTrail(
        pic, c, n,
        [&](int t) {
            const float warm = r.WarmEnergy(m, t);
            const float cold = r.ColdEnergy(m, t);
            return TrailPoint{std::min(warm, 450.0f), std::min(cold, 450.0f),
                              RefreezingChartColor(warm, cold, r.PTypePattern(m, t) == "ABAB"),
                              10.0 - 0.667 * (c - t)};
        },
        [&](int t, const TrailPoint& p) {
            // Pellets over a surface warm layer: the sleet panel tells whether
            // they survive it.
            if (elevated && t == c && (p.fill == kYellow || p.fill == kOrange)) {
                PlotSleet(sleet, session, static_cast<std::int16_t>(c));
                sleetShown = true;
            }
        });
}

// The cloud top above the start level, ice aloft, and the drizzle warning for
// a snow hour whose cloud is too shallow or too warm to hold ice crystals.
void DrawCloudTop(PictureSurface& pic, const Session& session, int c, int start) {
    const ProfileArrays& s = *session.profile;
    const PTypeResults& r = *session.ptype;
    const int m = s.CurrentModel;
    pic.SetForeColor(kBlack);
    pic.Scale(0.0, 0.0, 100.0, 100.0);
    const int top = r.MoistTopLevel(m, c);
    const float depth = s.Height(m, c, top) - s.Height(m, c, start);
    const float topTemp = s.Temperature(m, c, top);
    PrintAt(pic, 15.5, 96.0, "Cloud Top: " + Format(depth * kFeetPerMetre, "#,##0") + " ft");
    // The temperature at 45 % across, or after a longer height text.
    pic.SetCurrentX(std::max(45.0, pic.CurrentX() + pic.TextWidth(" ")));
    pic.Print("Cloud Top Temp: " + Format(topTemp, "0.0"));
    if (r.IceAloft(m, c) != kFlagFalse) {
        // At the foot on the left, unless the hour's energy lines reach down
        // there; then in the top left corner, where no chart writes.
        const double h = pic.TextHeight("I");
        const double y = std::min(94.0, 100.0 - 2.0 * h);
        const double width = std::max(pic.TextWidth("Seeder"), pic.TextWidth("Feeder"));
        PrintLines(pic, 2.0, TextsAt(pic, 2.0, y, width, 2.0 * h) ? 0.5 : y, {"Seeder", "Feeder"});
    }

    if (r.PTypeEnergyCode(m, c) != kPTypeSnow || depth <= kDrizzleCloudDepth ||
        topTemp <= kDrizzleTopTemp)
        return;
    pic.SetForeColor(kCyan);
    pic.SetCurrentX(35.0);
    pic.SetCurrentY(20.0);
    pic.Print("WARNING:  No Ice Crystals In Cloud");
    pic.SetCurrentX(37.5);
    if (s.SurfaceTemp(m, c) <= 0.0f) {
        pic.SetForeColor(kRed);
        pic.Print("Consider:  Freezing Drizzle");
    } else {
        pic.SetForeColor(kGreen);
        pic.Print("Consider:  Drizzle");
    }
}

} // namespace

void UsePrecipTypeFont(PictureSurface& pic) {
    pic.SetFontName("Times New Roman");
    pic.SetFontSize(9.75);
    pic.SetFontBold(true);
    if (pic.TextPixelSize() < kLeastSerifDigitPixels) pic.SetFontName("Arial");
}

EnergyChart EnergyChartOf(const std::string& pattern) {
    if (pattern == "AB" || pattern == "BB") return EnergyChart::Surface;
    if (pattern == "BA") return EnergyChart::Refreezing;
    if (pattern == "ABAB") return EnergyChart::Elevated;
    return EnergyChart::None;
}

Rgb SurfaceChartColor(float warmEnergy) {
    if (warmEnergy < kWetSnowEnergy) return kBlue;
    if (warmEnergy < kRainEnergy) return kCyan;
    return kGreen;
}

Rgb RefreezingChartColor(float warmEnergy, float coldEnergy, bool elevated) {
    const float pellets = PelletRefreezingEnergy(warmEnergy);
    if (coldEnergy < pellets - kLowestLineOffset) return elevated ? kGreen : kRed;
    if (coldEnergy >= pellets) return kYellow;
    return kOrange;
}

void PrecipTypeBackgrounds::Show(PictureSurface& pic, Chart chart,
                                 const std::function<void()>& drawFixed) {
    if (pic.PixelWidth() != width || pic.PixelHeight() != height) {
        pictures = {};
        width = pic.PixelWidth();
        height = pic.PixelHeight();
    }
    Picture& fixed = pictures[static_cast<std::size_t>(chart)];
    // The texts of the chart drawn before are gone: none of them may keep a
    // text of this one out.
    pic.Clear();
    if (!fixed.IsEmpty()) {
        // Setting a picture shows it at once; the picture in place is shown
        // by the clear.
        if (pic.PersistentPicture().Image() != fixed.Image()) pic.SetPicture(fixed);
        return;
    }
    pic.SetPicture(Picture()); // shows the back colour alone
    drawFixed();
    fixed = pic.TakePicture();
    pic.SetPicture(fixed);
}

bool PlotPrecipType(PictureSurface& pic, PictureSurface& sleet, Session& session, std::int16_t c,
                    const PrecipTypeChoice& choice, PrecipTypeBackgrounds& backgrounds) {
    if (!SoundingLoaded(*session.profile)) {
        BlankPanel(pic, kPanelBack);
        return false;
    }
    UsePanelFont(pic);
    pic.SetDrawWidth(1);
    if (choice.UseThicknessMethod) {
        PlotPTypeThickness(pic, session, c, choice.TailHours, backgrounds);
        return false;
    }
    const ProfileArrays& s = *session.profile;
    PTypeResults& r = *session.ptype;
    const int m = s.CurrentModel;
    // The hour's type from its layers, also when only its layers were worked
    // out before (as a past hour of a trail).
    MakePType(s, c, r, session.options);

    pic.SetBackColor(kPanelBack);
    const EnergyChart chart = EnergyChartOf(r.PTypePattern(m, c));
    // The chart's background first, then the SNRA bar, then the chart's
    // captions, which keep clear of the bar.
    switch (chart) {
    case EnergyChart::Surface:
        backgrounds.Show(pic, PrecipTypeBackgrounds::Surface, [&] { DrawSurfaceChartFixed(pic); });
        break;
    case EnergyChart::Refreezing:
    case EnergyChart::Elevated:
        backgrounds.Show(pic, PrecipTypeBackgrounds::Refreezing,
                         [&] { DrawRefreezingChartFixed(pic); });
        break;
    case EnergyChart::None:
        pic.Clear();
        pic.SetPicture(Picture());
        break;
    }
    DrawSnraBar(pic, s.ModelSnowRatio(m, c));
    if (chart == EnergyChart::Surface) PrintSurfaceChartTexts(pic);
    if (chart == EnergyChart::Refreezing || chart == EnergyChart::Elevated)
        PrintRefreezingChartTexts(pic, chart == EnergyChart::Elevated);
    const int start = PTypeStartLevel(s, session.options);
    DrawStartLevel(pic, s, c, start);

    bool sleetShown = false;
    if (chart == EnergyChart::Surface) DrawSurfaceChartHour(pic, session, c);
    if (chart == EnergyChart::Refreezing || chart == EnergyChart::Elevated)
        DrawRefreezingChartHour(pic, sleet, session, c, chart == EnergyChart::Elevated, sleetShown);
    DrawCloudTop(pic, session, c, start);
    return sleetShown;
}

std::pair<int, int> SleetPanelSize(PictureSurface& sleet) {
    UsePanelFont(sleet);
    sleet.SetDesignSize(0.0, 0.0);
    sleet.ScalePixels();
    // The energy line starts 3 of the scale's 50 units from the left edge;
    // the scale's labels stand 27 of its 100 units below the headings.
    const double energy = sleet.TextWidth(SleetEnergyText(99.9f));
    const double line = sleet.TextHeight("0");
    return {static_cast<int>(std::ceil(energy * 50.0 / 47.0)) + 2,
            static_cast<int>(std::ceil(line * 100.0 / 27.0)) + 1};
}

void PlotSleet(PictureSurface& sleet, const Session& session, std::int16_t t) {
    const ProfileArrays& s = *session.profile;
    UsePanelFont(sleet);
    sleet.SetBackColor(kSleetBack);
    sleet.Clear();
    sleet.Scale(-5.0, 100.0, 45.0, 0.0);
    sleet.SetForeColor(kBlack);
    PrintAt(sleet, 5.0, 97.0, "Sleet");
    sleet.SetCurrentX(25.0);
    sleet.PrintNoNewline("Rain/Sleet");
    for (int x = 0; x <= 40; x += 10) {
        const std::string label = std::to_string(x);
        PrintAt(sleet, x - sleet.TextWidth(label) / 2.0, 70.0, label);
    }
    sleet.SetDrawWidth(3);
    sleet.Line(20.0, 99.0, 20.0, 70.0, kBlue);
    sleet.SetDrawWidth(2);
    const float E = session.ptype->LowerWarmEnergy(s.CurrentModel, t);
    sleet.SetCurrentX(-2.0);
    sleet.SetCurrentY(38.0);
    sleet.Print(SleetEnergyText(E));
    sleet.SetFillColor(kYellow);
    sleet.SetFillStyle(FillStyle::Solid);
    sleet.Circle(E, 83.0, 2.0, kBlue);
}

} // namespace tarvex
