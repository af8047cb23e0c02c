#include "profile/diagnostics/StormType.h"

#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagnostics/BlankPanel.h"

#include <string>
#include <utility>
#include <vector>

namespace tarvex {

namespace {

using Vertex = std::pair<double, double>; // shear m/s, CAPE J/kg

struct Boundary {
    Rgb colour;
    std::vector<Vertex> vertices;
};

const std::vector<Boundary>& Boundaries() {
    static const std::vector<Boundary> lines = {
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
        {kGreen,
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
    return lines;
}

void DrawFrameAndGrid(PictureSurface& pic) {
    const Rgb frame = RGB(127, 127, 255);
    pic.Line(-5, 0, -5, 4200, frame);
    pic.LineTo(50, 4200, frame);
    pic.LineTo(50, 0, frame);
    pic.LineTo(-5, 0, frame);
    const Rgb grid = RGB(100, 100, 100);
    for (int y = 1000; y <= 4000; y += 1000) pic.Line(-5, y, 50, y, grid);
    for (int x = 0; x <= 45; x += 5) pic.Line(x, 0, x, 4200, grid);

    pic.SetForeColor(frame);
    for (int y = 1000; y <= 4000; y += 1000) pic.Line(-5, y, -7, y);
    for (int x = 0; x <= 45; x += 5) {
        pic.Line(x, 4000, x, 4200);
        pic.Line(x, 200, x, 0);
    }
}

// The axes' numbers: CAPE left of its ticks, shear centred under them.
// Drawn after the track, the shear numbers stand on a black back from a
// pixel under the frame line down, so that an hour's dot at no CAPE, which
// reaches below the frame line, never covers one.
void DrawAxisLabels(PictureSurface& pic, double labelOffset) {
    pic.SetForeColor(RGB(127, 127, 255));
    for (int y = 1000; y <= 4000; y += 1000) {
        pic.SetCurrentX(-12);
        pic.SetCurrentY(y - labelOffset);
        pic.Print(PrintForm(y));
    }
    const double pixel = pic.FromPixelX(1.0) - pic.FromPixelX(0.0);
    const double underFrame = pic.FromPixelY(pic.ToPixelY(0) + 1.0);
    for (int x = 0; x <= 45; x += 5) {
        const std::string label = std::to_string(x);
        const double half = pic.TextWidth(label) / 2;
        pic.FilledBox(x - half - pixel, underFrame, x + half + pixel, pic.TextHeight(label),
                      kBlack);
        pic.SetCurrentX(x - half);
        pic.SetCurrentY(0);
        pic.PrintNoNewline(label);
    }
}

void DrawCaptions(PictureSurface& pic) {
    struct Caption {
        const char* text;
        double x, y;
    };
    static constexpr Caption captions[] = {
        {"CAPE", -11, 500},         {"4 km Vertical  Wind  Shear  U   (m/s)", 5, -250},
        {"Ordinary", 1.5, 1600},    {"Cells", 2.5, 1300},
        {"Multicells", 13.5, 2800}, {"Supercells", 24, 2450},
    };
    pic.SetForeColor(kWhite);
    for (const Caption& c : captions) {
        pic.SetCurrentX(c.x);
        pic.SetCurrentY(c.y);
        pic.PrintNoNewline(c.text);
    }
    // The subscript of U, in the blanks the shear caption keeps after it,
    // whatever the type's width.
    pic.SetCurrentX(5 + pic.TextWidth("4 km Vertical  Wind  Shear  U"));
    pic.SetCurrentY(-300);
    const TextOverlapAllowed subscript(pic);
    pic.PrintNoNewline("s");
}

} // namespace

void DrawCapeShearBoundaries(PictureSurface& pic) {
    for (const Boundary& line : Boundaries()) {
        const auto& v = line.vertices;
        pic.Line(v[0].first, v[0].second, v[1].first, v[1].second, line.colour);
        for (std::size_t k = 2; k < v.size(); ++k) pic.LineTo(v[k].first, v[k].second, line.colour);
    }
}

std::int16_t ZoomCapeAxisTop(std::int16_t CapeAxisTop, int Button) {
    const double factor = Button == 1 ? 1.0 / 1.2 : 1.2;
    const double zoomed = RoundHalfEven(CapeAxisTop * factor);
    if (zoomed < kCapeAxisTopMin || zoomed > kCapeAxisTopMax) return CapeAxisTop;
    return static_cast<std::int16_t>(zoomed);
}

Rgb CinsColour(float cins, const IndexThresholdTable& thresholds) {
    const auto& row = thresholds[1];
    if (cins < row[2]) return kRed;
    if (cins < row[1]) return kYellow;
    return kGreen;
}

void PlotCapeShear(PictureSurface& pic, Session& session, std::int16_t column,
                   std::int16_t CapeAxisTop, CapeShearBackground* background) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    if (!SoundingLoaded(s)) return BlankPanel(pic, kBlack);
    pic.SetBackColor(kBlack);
    pic.SetFontName("Arial");
    pic.SetFontSize(8.25);
    pic.Scale(-12, CapeAxisTop, 51, -500);
    pic.SetFillStyle(FillStyle::Solid);
    const double labelOffset = pic.TextHeight("3") / 2;
    const bool reuse = background && !background->picture.IsEmpty() &&
                       background->width == pic.PixelWidth() &&
                       background->height == pic.PixelHeight() && background->top == CapeAxisTop;
    // The kept background holds the lines alone: the numbers and captions
    // are printed at every draw, so that the surface knows every text it
    // shows.
    if (reuse) {
        if (pic.PersistentPicture().Image() == background->picture.Image()) {
            pic.Clear();
        } else {
            pic.SetPicture(background->picture);
        }
    } else {
        if (!pic.PersistentPicture().IsEmpty()) pic.SetPicture(Picture());
        pic.Clear();
        DrawFrameAndGrid(pic);
        DrawCapeShearBoundaries(pic);
        if (background) {
            *background = {pic.TakePicture(), pic.PixelWidth(), pic.PixelHeight(), CapeAxisTop};
            pic.SetPicture(background->picture);
        }
    }
    DrawCaptions(pic);

    // The track: the oldest hour first and smallest, the hour shown last.
    const int first = column - 6 < 0 ? 0 : column - 6;
    for (int t = first; t <= column; ++t) {
        const auto hour = static_cast<std::int16_t>(t);
        MakeShear(s, hour, *session.winds, session.options);
        const double shear = session.winds->Shear4km(m, t);
        const float cape = s.CAPE(m, t);
        if (t != first) pic.LineTo(shear, cape, RGB(255, 255, 127));
        pic.SetFillColor(cape < 1.0f ? kGreen
                                     : CinsColour(s.CINS(m, t), session.history.IndexThresholds));
        pic.Circle(shear, cape, 1.0 - 0.1 * (column - t), kBlue);
    }
    DrawAxisLabels(pic, labelOffset);
}

} // namespace tarvex
