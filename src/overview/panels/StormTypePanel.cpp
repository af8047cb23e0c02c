#include "compute/ComputeState.h"
#include "compute/Winds.h"
#include "overview/panels/HourPanels.h"
#include "platform/Format.h"
#include "profile/data/Session.h"
#include "profile/diagnostics/StormType.h"

#include <string>

namespace tarvex {

namespace {

struct Vertex {
    double shear;
    double cape;
};

struct Boundary {
    Rgb colour;
    std::initializer_list<Vertex> vertices;
};

// The regime boundaries of the diagram (m/s, J/kg).
const Boundary kBoundaries[] = {
    {RGB(255, 255, 0), {{0, 900}, {23, 950}, {25, 1000}, {35, 1500}, {45, 1750}}},
    {RGB(191, 191, 255),
     {{1, 3600},
      {1, 2600},
      {1.8, 2400},
      {3, 2100},
      {4.5, 1900},
      {6, 1800},
      {13, 1525},
      {15, 1575},
      {20, 2000},
      {25, 2200},
      {30, 2700},
      {33, 3000},
      {33.5, 3200},
      {33, 3600}}},
    {RGB(0, 255, 0),
     {{18, 3600},
      {17.5, 2000},
      {18.5, 1750},
      {22, 1375},
      {23.5, 1300},
      {25, 1300},
      {28.5, 1450},
      {30.4, 1550},
      {33, 1550},
      {35, 1450},
      {40, 1600},
      {42.5, 1740},
      {45, 1880}}},
};

struct Caption {
    const char* text;
    double x;
    double y;
};

constexpr Caption kCaptions[] = {
    {"CAPE", -11, 500},       {"Vertical  Wind  Shear  U   (m/s)", 10, -250},
    {"s", 32.5, -300},        {"Ordinary", 1.5, 1600},
    {"Cells", 2.5, 1300},     {"Multicells", 13.5, 2800},
    {"Supercells", 24, 2450},
};

constexpr Rgb kFrameColour = RGB(127, 127, 255);

void FrameAndAxes(PictureSurface& pic, double h) {
    pic.Line(-5, 0, -5, 4200, kFrameColour);
    pic.LineTo(50, 4200, kFrameColour);
    pic.LineTo(50, 0, kFrameColour);
    pic.LineTo(-5, 0, kFrameColour);
    const Rgb grid = RGB(100, 100, 100);
    for (int c = 1000; c <= 4000; c += 1000) pic.Line(-5, c, 50, c, grid);
    for (int s = 0; s <= 45; s += 5) pic.Line(s, 0, s, 4200, grid);
    pic.SetForeColor(kFrameColour);
    for (int c = 1000; c <= 4000; c += 1000) {
        pic.Line(-5, c, -7, c);
        pic.SetCurrentX(-12);
        pic.SetCurrentY(c + h / 2.0);
        pic.Print(PrintForm(c));
    }
    for (int s = 0; s <= 45; s += 5) {
        pic.Line(s, 4000, s, 4200);
        pic.Line(s, 200, s, 0);
        const std::string label = std::to_string(s);
        pic.SetCurrentX(s - pic.TextWidth(label) / 2.0);
        pic.Print(label);
    }
}

} // namespace

void PlotCapeShearDiagram(PictureSurface& picCape, HourPanelContext& ctx, std::int16_t hour) {
    Session& session = ctx.session;
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    picCape.Scale(-12, 4300, 51, -500);
    picCape.SetFillStyle(FillStyle::Solid);
    const double h = picCape.TextHeight("3");
    picCape.Clear();
    FrameAndAxes(picCape, h);
    picCape.SetForeColor(kWhite);
    for (const Caption& c : kCaptions) {
        picCape.SetCurrentX(c.x);
        picCape.SetCurrentY(c.y);
        picCape.Print(c.text);
    }
    for (const Boundary& b : kBoundaries) {
        const Vertex* v = b.vertices.begin();
        picCape.Line(v[0].shear, v[0].cape, v[1].shear, v[1].cape, b.colour);
        for (std::size_t k = 2; k < b.vertices.size(); ++k)
            picCape.LineTo(v[k].shear, v[k].cape, b.colour);
    }

    WindResults& winds = *session.winds;
    for (int k = hour - 6; k <= hour; ++k) {
        if (k < 0) continue;
        const auto column = static_cast<std::int16_t>(k);
        if (winds.ShearDone(m, k) == kFlagFalse) MakeShear(s, column, winds, session.options);
        const double x = winds.Shear4km(m, k);
        const double y = s.CAPE(m, k);
        if (k != hour - 6 && k != 0) picCape.LineTo(x, y, RGB(255, 255, 127));
        picCape.SetFillColor(s.CAPE(m, k) < 1.0f
                                 ? kGreen
                                 : CinsColour(s.CINS(m, k), session.history.IndexThresholds));
        picCape.Circle(x, y, static_cast<float>(1.0 - 0.1 * (hour - k)), kBlue);
    }
}

} // namespace tarvex
