#include "../diagrams/DrawEverything.h"
#include "files/DesktopService.h"
#include "files/FieldReader.h"
#include "overview/fields/OverviewState.h"
#include "overview/panels/HourPanels.h"
#include "overview/panels/SelectedHour.h"
#include "platform/EverySampleHour.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "platform/TextPixels.h"
#include "profile/ui/FrmProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace tarvex {
namespace {

// The sounding picture's sizes in the default window, a 1272 x 768 window and
// the least window.
std::vector<QSize> SoundingSizes() {
    std::vector<QSize> sizes;
    Session session;
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    w.show();
    sizes.push_back(w.picData->size());
    w.resize(1272, 768);
    sizes.push_back(w.picData->size());
    w.resize(w.minimumSizeHint().expandedTo(w.minimumSize()));
    sizes.push_back(w.picData->size());
    return sizes;
}

// Every hour of every shipped sample with every overlay and level marker on:
// the sounding drawn on a recording surface at each of the sizes, handed to
// eachSize(session, view, pic, where), then eachHour(session, view, where)
// once; where names the sample and the hour (and the size).
template <typename EachSize, typename EachHour>
void ForEverySoundingDrawn(const std::vector<QSize>& sizes, EachSize eachSize, EachHour eachHour) {
    test::ForEverySampleHour([&](Session& session, const std::string& name, std::int16_t hour) {
        SoundingView view;
        view.options = test::EveryOptionOn();
        view.CurrentColumn = hour;
        const std::string at = name + " hour " + std::to_string(hour);
        for (const QSize& size : sizes) {
            RecordingSurface pic(size.width(), size.height());
            pic.SetDesignSize(FrmProfile::kSoundingDesignWidth, FrmProfile::kSoundingDesignHeight);
            DrawSounding(pic, session, view);
            eachSize(session, view, pic,
                     at + " at " + std::to_string(size.width()) + " x " +
                         std::to_string(size.height()));
        }
        eachHour(session, view, at);
    });
}

// The sounding with every overlay and level marker on, at the sizes its
// picture has in a 1272 x 768 window, the default window and the least
// window, and the overview's sounding panel, over every hour of every
// shipped sample: no value left out or cut, every label on its level (never
// more than a quarter of its height off), none drawn for a level off the
// picture; and drawn on raster surfaces, its texts cost no pixel outside
// their boxes and nothing covers a value. The first few faults of each kind
// are named.
TEST(EverySample, SoundingLabelsStandOnTheirLevelsAndNoValueIsLost) {
    const std::vector<QSize> sizes = SoundingSizes();
    int drawn = 0;
    int levelLabels = 0;
    int pointingRight = 0; // level labels left of their points
    int faults = 0;
    int convective = 0; // pictures with a convective temperature
    int beyondEdge = 0; // of them, beyond the right edge
    std::ostringstream named;
    test::TextPixelCounts pixelCounts;
    test::TextPixelSurfaces rasterSurfaces;
    auto check = [&](const PictureSurface& pic, const std::string& where) {
        ++drawn;
        // Each level box's arrow points the way its level's point lies.
        for (const DrawnText& t : pic.DrawnTexts()) {
            const std::string_view shown = TrimBlanks(t.text);
            if (t.kind != TextKind::Label || shown.size() != 4 ||
                std::string_view("LCL LFC EQL WBZ CCL").find(shown.substr(shown[0] == '<', 3)) ==
                    std::string_view::npos)
                continue;
            ++levelLabels;
            const bool right = shown.back() == '>';
            pointingRight += right;
            // One whose middle stands on its point may point either way.
            const double middle = t.rect.left + t.rect.width / 2.0;
            if (std::abs(t.anchor.x - middle) >= 0.5 && (t.anchor.x > middle) != right &&
                ++faults <= 8)
                named << where << ": \"" << t.text << "\" at " << t.rect.left
                      << " points away from " << t.anchor.x << '\n';
        }
        for (const auto& result :
             {NoValueLeftOut(pic), NoValueCut(pic), LabelsAtTheirAnchors(pic)}) {
            if (result) continue;
            if (++faults <= 8) named << where << ": " << result.message() << '\n';
        }
    };
    const auto eachSize = [&](Session& session, SoundingView& view, RecordingSurface& pic,
                              const std::string& where) {
        check(pic, where);
        // The convective temperature's value, with its arrow when it lies
        // beyond an edge, stands clear of every level label.
        const ProfileArrays& s = *session.profile;
        const float ct = s.ConvectiveTemperature(s.CurrentModel, view.CurrentColumn);
        if (!(ct < 99.0f)) return;
        // (the digital wind column's start is the right edge here)
        const TemperatureAxisEnds& axis = session.temperatureAxis;
        const double right = axis.LeftTemp + 0.86 * (axis.RightTemp - axis.LeftTemp);
        const std::string value = (ct < session.temperatureAxis.LeftTemp ? "<< " : "") +
                                  Format(ct, "0.0") + (ct > right ? " >>" : "");
        const double digit = std::abs(pic.ToPixelX(pic.TextWidth("0")) - pic.ToPixelX(0.0));
        const double line = std::abs(pic.ToPixelY(pic.TextHeight("0")) - pic.ToPixelY(0.0));
        ++convective;
        beyondEdge += ct > right;
        const auto apart =
            StandsApartFromLabels(pic, value, "v", 3.0 * digit - 1.0, line / 2.0 - 1.0);
        if (!apart && ++faults <= 8) named << where << ": " << apart.message() << '\n';
    };
    const auto eachHour = [&](Session& session, SoundingView& view, const std::string& at) {
        std::vector<test::PictureSize> rasters;
        for (const QSize& size : sizes)
            rasters.push_back({size.width(), size.height(), FrmProfile::kSoundingDesignWidth,
                               FrmProfile::kSoundingDesignHeight});
        const auto pixels = test::TextsCostNoPixels(
            rasters,
            [&](const std::vector<RasterSurface*>& pics) {
                for (RasterSurface* pic : pics) DrawSounding(*pic, session, view);
            },
            &pixelCounts, &rasterSurfaces);
        if (!pixels && ++faults <= 8) named << at << ": " << pixels.message() << '\n';
        OverviewOptions options;
        HodographView hodo;
        Picture background;
        MapWindState wind;
        HourPanelContext ctx{session, options, view, hodo, background, wind};
        RecordingSurface panel(300, 400);
        panel.SetDesignSize(300, 400);
        DrawProfile(panel, ctx, view.CurrentColumn);
        check(panel, at + ", the overview's sounding panel");
    };
    ForEverySoundingDrawn(sizes, eachSize, eachHour);
    EXPECT_GT(drawn, 12 * 4 * 13);
    EXPECT_GT(levelLabels, 2 * drawn); // the markers were on and drawn
    EXPECT_GT(pointingRight, 1000);
    EXPECT_GT(convective, 100);
    EXPECT_GT(beyondEdge, 0);
    EXPECT_EQ(pixelCounts.pictures, 3 * (drawn / 4));
    EXPECT_GT(pixelCounts.values, pixelCounts.pictures);
    EXPECT_GT(pixelCounts.textPixels, 100 * pixelCounts.pictures);
    EXPECT_EQ(faults, 0) << named.str();
}

// The wind column with digital winds and every level box, the convective
// temperature and the momentum transfer on, over every hour of every shipped
// sample at each size: the column from the direction's start to the right
// edge holds only its own numbers; each level's direction and speed stand
// together on one line; every 100 mb band from the ground to the top holds a
// speed; and the lowest pair (the surface wind on the ground band) is drawn
// whole, no other text on it.
TEST(EverySample, WindColumnKeepsEachPairAndItsRoom) {
    const std::vector<QSize> sizes = SoundingSizes();
    int pairs = 0;
    int faults = 0;
    std::ostringstream named;
    auto fault = [&](const std::string& what) {
        if (++faults <= 10) named << what << '\n';
    };
    const auto eachSize = [&](Session& session, SoundingView& view, const RecordingSurface& pic,
                              const std::string& place) {
        const ProfileArrays& s = *session.profile;
        const std::int16_t hour = view.CurrentColumn;
        const std::string where = place + ": ";
        const double W = pic.PixelWidth();
        const double columnLeft = 0.86 * W;
        const double speedLeft = 0.94 * W;
        std::vector<const DrawnText*> directions;
        std::vector<const DrawnText*> speeds;
        for (const DrawnText& t : pic.DrawnTexts()) {
            if (t.rect.Right() <= columnLeft + 1.0) continue;
            const std::string digits(TrimBlanks(t.text));
            if (t.rect.left < columnLeft - 1.0 || digits.empty() ||
                digits.find_first_not_of("0123456789") != std::string::npos) {
                fault(where + "\"" + t.text + "\" stands in the column");
                continue;
            }
            (t.rect.left < speedLeft ? directions : speeds).push_back(&t);
        }
        auto partnered = [&](const DrawnText* a, const std::vector<const DrawnText*>& others) {
            return std::ranges::any_of(others, [&](const DrawnText* b) {
                return std::abs(b->rect.top - a->rect.top) < 0.5;
            });
        };
        for (const DrawnText* d : directions)
            if (!partnered(d, speeds))
                fault(where + "direction \"" + d->text + "\" without its speed");
        for (const DrawnText* k : speeds)
            if (!partnered(k, directions))
                fault(where + "speed \"" + k->text + "\" without its direction");
        pairs += static_cast<int>(speeds.size());
        // The pressure at a pixel row, and the bands up from the ground.
        const double lnTop = std::log(static_cast<double>(s.DiagramTopPressure));
        const double lnBottom = std::log(static_cast<double>(s.DiagramBottomPressure));
        auto pressureAt = [&](double row) {
            return std::exp(lnTop + row / pic.PixelHeight() * (lnBottom - lnTop));
        };
        const double ground = s.SurfacePressure(s.CurrentModel, hour);
        for (double p = ground; p - 100.0 >= s.DiagramTopPressure; p -= 100.0) {
            const bool held = std::ranges::any_of(speeds, [&](const DrawnText* k) {
                const double at = pressureAt(k->rect.top + k->rect.height / 2.0);
                return at <= p && at > p - 100.0;
            });
            if (!held)
                fault(where + "no speed from " + std::to_string(static_cast<int>(p)) + " to " +
                      std::to_string(static_cast<int>(p - 100.0)) + " mb");
        }
        // The lowest pair lies on the ground band, inside the picture,
        // with no text on it.
        const auto lowest =
            std::ranges::max_element(speeds, {}, [](const DrawnText* k) { return k->rect.top; });
        if (lowest == speeds.end() || pressureAt((*lowest)->rect.top) < ground ||
            (*lowest)->rect.Bottom() > pic.PixelHeight() + 1.0) {
            fault(where + "no whole pair on the ground band");
            return;
        }
        for (const DrawnText& t : pic.DrawnTexts())
            if (&t != *lowest && TextRectsOverlap(t.rect, (*lowest)->rect))
                fault(where + "\"" + t.text + "\" on the lowest speed");
    };
    ForEverySoundingDrawn(sizes, eachSize, [](Session&, SoundingView&, const std::string&) {});
    EXPECT_GT(pairs, 15 * 40 * 3 * 20);
    EXPECT_EQ(faults, 0) << faults << " faults:\n" << named.str();
}

} // namespace
} // namespace tarvex
