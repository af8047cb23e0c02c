#include "profile/diagnostics/ThicknessChart.h"

#include "compute/MandatoryHeights.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagnostics/PrecipTypePanel.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace tarvex {

namespace {

constexpr double kLeft = 1510.0;
constexpr double kRight = 1580.0;
constexpr double kBottom = 1260.0;
constexpr double kTop = 1350.0;
// A level this close to 0 C (deg C) lies in the near-freezing layer.
constexpr float kNearZero = 1.5f;

constexpr Rgb kPanelBack = RGB(192, 192, 192);
constexpr Rgb kGrid = RGB(64, 64, 128);

// The fixed boundaries between the regions, each drawn from its first vertex.
const std::vector<std::vector<ThicknessPoint>>& FixedBoundaries() {
    static const std::vector<std::vector<ThicknessPoint>> lines = {
        {{1545, 1260}, {1540, 1280}, {1532.5, 1295}, {1532.5, 1302}, {1510, 1302}},
        {{1510, 1312.5}, {1544, 1312.5}, {1550, 1307}, {1550, 1320}, {1510, 1320}},
        {{1524, 1320}, {1539, 1350}},
        {{1556, 1260}, {1553, 1274}, {1550, 1280}, {1540, 1280}},
        {{1550, 1280}, {1547, 1294}, {1560, 1292}, {1580, 1290}},
        {{1553, 1274}, {1580, 1272}},
        {{1550, 1310}, {1580, 1307.5}},
        {{1550, 1317.5}, {1580, 1315.5}},
        {{1534, 1292.5}, {1544, 1292.5}, {1548, 1295}},
    };
    return lines;
}

struct RegionLabel {
    const char* text;
    double x, y;
};
constexpr RegionLabel kRegions[] = {
    {"S", 1524, 1287},    {"S/R", 1532, 1308},      {"R/-S", 1532, 1319},
    {"R", 1554, 1337},    {"ZR/-IP", 1560.5, 1305}, {"IP/ZR", 1561, 1285},
    {"IP/S", 1544, 1275}, {"S/ZR/IP", 1537, 1290},  {"ZR/R", 1561.5, 1315.3},
};

void PrintAt(PictureSurface& pic, double x, double y, std::string_view text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.PrintNoNewline(text);
}

void Polyline(PictureSurface& pic, const std::vector<ThicknessPoint>& vertices) {
    for (std::size_t k = 1; k < vertices.size(); ++k)
        pic.Line(vertices[k - 1].x, vertices[k - 1].y, vertices[k].x, vertices[k].y);
}

// A height or thickness in whole metres; "missing" when the sounding cannot
// give it.
std::string Metres(float value) {
    return HeightAvailable(value) ? Format(value, "#m") : std::string("missing");
}

void DrawHourValues(PictureSurface& pic, const Session& session, int c) {
    const ProfileArrays& s = *session.profile;
    const ThicknessResults& h = *session.thickness;
    const int m = s.CurrentModel;
    PrintAt(pic, 1558.0, 1254.0,
            "1: " + Format(s.Pressure(m, c, 1), "#.0mb ") + Format(s.Height(m, c, 1), "#m"));
    PrintAt(pic, 1505.0, 1245.0, "H1000:   " + Metres(h.ThicknessHeights(m, c, kSurface1000)));
    PrintAt(pic, 1505.0, 1249.0, "H 850:  " + Metres(h.ThicknessHeights(m, c, kSurface850)));
    PrintAt(pic, 1505.0, 1253.0, "H 700:  " + Metres(h.ThicknessHeights(m, c, kSurface700)));
    PrintAt(pic, 1532.0, 1248.0,
            "1000-850: " + Metres(h.Thickness(m, c, kSurface1000, kSurface850)));
    PrintAt(pic, 1533.5, 1252.0, "850-700: " + Metres(h.Thickness(m, c, kSurface850, kSurface700)));
}

void DrawGrid(PictureSurface& pic) {
    pic.SetForeColor(kGrid);
    for (int x = 1510; x <= 1580; x += 10) pic.Line(x, kBottom, x, kTop);
    for (int y = 1260; y <= 1350; y += 10) pic.Line(kLeft, y, kRight, y);
}

// The grid's numbers and the regions' names, printed at every draw over the
// kept lines so that the surface knows every text it shows.
void PrintFixedTexts(PictureSurface& pic) {
    pic.SetForeColor(kGrid);
    // Each number centred under its line, the last one ending at the edge.
    const double halfLabel = pic.TextWidth("1540") / 2.0;
    for (int x = 1510; x <= 1580; x += 10)
        PrintAt(pic, std::min(x - halfLabel, 1584.0 - pic.TextWidth(PrintForm(x))), 1259.0,
                PrintForm(x));
    // Each number centred on its line, the lowest one above it, clear of the
    // numbers across.
    const double lineHeight = std::abs(pic.TextHeight("W"));
    for (int y = 1260; y <= 1350; y += 10)
        PrintAt(pic, 1501.5, y == 1260 ? y + lineHeight : y + lineHeight / 2.0, PrintForm(y));
    pic.SetForeColor(kBlack);
    for (const RegionLabel& label : kRegions) PrintAt(pic, label.x, label.y, label.text);
}

} // namespace

int TrailColumns(int tailHours, int hoursPerColumn) {
    return std::max(1, tailHours / std::max(1, hoursPerColumn));
}

std::vector<ThicknessPoint> NearZeroBoundaryEnd(const ProfileArrays& s, int t) {
    const int m = s.CurrentModel;
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    bool inLayer = false;
    float layerBase = 0.0f;
    for (int k = 1; k <= n; ++k) {
        const float p = s.Pressure(m, t, k);
        if (std::fabs(s.Temperature(m, t, k)) >= kNearZero) {
            if (p < 700.0f) return {{1548, 1308}};
            inLayer = false;
        } else if (!inLayer) {
            inLayer = true;
            layerBase = p;
        } else if (layerBase - p > 100.0f) {
            return {{1556, 1300}, {1550, 1307}};
        }
    }
    return {};
}

bool ThicknessPointOf(const Session& session, int t, ThicknessPoint& point) {
    const ThicknessResults& h = *session.thickness;
    const int m = session.profile->CurrentModel;
    const float lower = h.Thickness(m, t, kSurface1000, kSurface850);
    const float upper = h.Thickness(m, t, kSurface850, kSurface700);
    // A missing height leaves the hour off the chart, never at its edge.
    if (!HeightAvailable(lower) || !HeightAvailable(upper) || lower <= 0.0f || upper <= 0.0f)
        return false;
    point = {std::clamp<double>(upper, kLeft, kRight), std::clamp<double>(lower, kBottom, kTop)};
    return true;
}

void PlotPTypeThickness(PictureSurface& pic, Session& session, std::int16_t c, int tailHours,
                        PrecipTypeBackgrounds& backgrounds) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    if (session.thickness->ThicknessReady(m) == kFlagFalse) MakeThickness(s, *session.thickness);

    pic.SetBackColor(kPanelBack);
    pic.Scale(1502.0, 1352.0, 1584.0, 1240.0);
    backgrounds.Show(pic, PrecipTypeBackgrounds::Thickness, [&] {
        DrawGrid(pic);
        pic.SetForeColor(kBlack);
        pic.SetDrawWidth(2);
        for (const std::vector<ThicknessPoint>& line : FixedBoundaries()) Polyline(pic, line);
        pic.SetDrawWidth(1);
    });
    PrintFixedTexts(pic);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetForeColor(kBlack);
    DrawHourValues(pic, session, c);
    pic.SetDrawWidth(2);
    std::vector<ThicknessPoint> nearZero = {FixedBoundaries().back().back()};
    for (const ThicknessPoint& p : NearZeroBoundaryEnd(s, c)) nearZero.push_back(p);
    Polyline(pic, nearZero);
    pic.SetDrawWidth(1);

    pic.SetFillColor(kRed);
    pic.SetForeColor(kBlue);
    const int n = TrailColumns(tailHours, session.HoursPerColumn);
    bool drawn = false;
    ThicknessPoint previous;
    for (int t = std::max(0, c - n); t <= c; ++t) {
        ThicknessPoint p;
        if (!ThicknessPointOf(session, t, p)) continue;
        if (drawn) pic.Line(previous.x, previous.y, p.x, p.y);
        pic.Circle(p.x, p.y, 1.8 - 1.1 * (c - t) / n);
        previous = p;
        drawn = true;
    }
}

} // namespace tarvex
