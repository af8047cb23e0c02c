#include "compute/ComputeState.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "overview/panels/HourPanels.h"
#include "platform/Format.h"
#include "profile/diagnostics/StormType.h"

#include <algorithm>
#include <string>

namespace tarvex {

namespace {

struct Caption {
    const char* text;
    double x;
    double y;
};

constexpr Caption kCaptions[] = {
    {"CAPE", -11, 500},       {"Vertical  Wind  Shear  U", 10, -250},
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
    // The unit follows the subscript "s" of the shear caption, printed apart
    // so that the lowered "s" sits between the two without covering either.
    picCape.SetCurrentX(std::max(10 + picCape.TextWidth("Vertical  Wind  Shear  U   "),
                                 32.5 + picCape.TextWidth("s ")));
    picCape.SetCurrentY(-250);
    picCape.Print("(m/s)");
    DrawCapeShearBoundaries(picCape);

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
