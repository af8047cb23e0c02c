#include "../diagrams/DrawEverything.h"
#include "files/DesktopService.h"
#include "overview/fields/OverviewState.h"
#include "overview/panels/HourPanels.h"
#include "overview/panels/SelectedHour.h"
#include "platform/EverySampleHour.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "profile/ui/FrmProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace tarvex {
namespace {

// The sounding with every overlay and level marker on, at the sizes its
// picture has in a 1272 x 768 window, the default window and the least
// window, and the overview's sounding panel, over every hour of every
// shipped sample: no value left out or cut, every label on its level (never
// more than a quarter of its height off), none drawn for a level off the
// picture. The first few faults of each kind are named.
TEST(EverySample, SoundingLabelsStandOnTheirLevelsAndNoValueIsLost) {
    std::vector<QSize> sizes;
    {
        Session session;
        RecordingDesktopService desktop;
        FrmProfile w(session, desktop);
        w.show();
        sizes.push_back(w.picData->size());
        w.resize(1272, 768);
        sizes.push_back(w.picData->size());
        w.resize(w.minimumSizeHint().expandedTo(w.minimumSize()));
        sizes.push_back(w.picData->size());
    }
    int drawn = 0;
    int levelLabels = 0;
    int faults = 0;
    int convective = 0; // pictures with a convective temperature
    int beyondEdge = 0; // of them, beyond the right edge
    std::ostringstream named;
    auto check = [&](const PictureSurface& pic, const std::string& where) {
        ++drawn;
        for (const DrawnText& t : pic.DrawnTexts())
            levelLabels += t.kind == TextKind::Label && t.text.find('<') != std::string::npos;
        for (const auto& result :
             {NoValueLeftOut(pic), NoValueCut(pic), LabelsAtTheirAnchors(pic)}) {
            if (result) continue;
            if (++faults <= 8) named << where << ": " << result.message() << '\n';
        }
    };
    test::ForEverySampleHour([&](Session& session, const std::string& name, std::int16_t hour) {
        SoundingView view;
        view.options = test::EveryOptionOn();
        view.CurrentColumn = hour;
        for (const QSize& size : sizes) {
            RecordingSurface pic(size.width(), size.height());
            pic.SetDesignSize(FrmProfile::kSoundingDesignWidth, FrmProfile::kSoundingDesignHeight);
            DrawSounding(pic, session, view);
            const std::string where = name + " hour " + std::to_string(hour) + " at " +
                                      std::to_string(size.width()) + " x " +
                                      std::to_string(size.height());
            check(pic, where);
            // The convective temperature's value, with its arrow when it lies
            // beyond an edge, stands clear of every level label.
            const ProfileArrays& s = *session.profile;
            const float ct = s.ConvectiveTemperature(s.CurrentModel, hour);
            if (!(ct < 99.0f)) continue;
            const double right = session.temperatureAxis.RightTemp;
            const std::string value = (ct < session.temperatureAxis.LeftTemp ? "<< " : "") +
                                      Format(ct, "0.0") + (ct > right ? " >>" : "");
            const double digit = std::abs(pic.ToPixelX(pic.TextWidth("0")) - pic.ToPixelX(0.0));
            const double line = std::abs(pic.ToPixelY(pic.TextHeight("0")) - pic.ToPixelY(0.0));
            ++convective;
            beyondEdge += ct > right;
            const auto apart =
                StandsApartFromLabels(pic, value, "v", 3.0 * digit - 1.0, line / 2.0 - 1.0);
            if (!apart && ++faults <= 8) named << where << ": " << apart.message() << '\n';
        }
        OverviewOptions options;
        HodographView hodo;
        Picture background;
        MapWindState wind;
        HourPanelContext ctx{session, options, view, hodo, background, wind};
        RecordingSurface panel(300, 400);
        panel.SetDesignSize(300, 400);
        DrawProfile(panel, ctx, hour);
        check(panel, name + " hour " + std::to_string(hour) + ", the overview's sounding panel");
    });
    EXPECT_GT(drawn, 12 * 4 * 13);
    EXPECT_GT(levelLabels, 2 * drawn); // the markers were on and drawn
    EXPECT_GT(convective, 100);
    EXPECT_GT(beyondEdge, 0);
    EXPECT_EQ(faults, 0) << named.str();
}

} // namespace
} // namespace tarvex
