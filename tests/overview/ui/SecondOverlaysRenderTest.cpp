#include "OverviewTextChecks.h"
#include "overview/ui/FrmOverView.h"

#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// The overview of generated runs at its opening size: each overlay of the
// surface, aviation, convection, precipitation, fire-weather and wind groups
// draws over the plain picture on its own; with each group on, every label
// stands at its hour and every value is whole. The pictures are kept for a
// reviewer, and one with every overlay on.
TEST(SecondOverlays, RenderEachGroupAtTheWindowSize) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarvex-overlays-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    Session session;
    session.models.ModelCodes = {"eta"};
    RecordingDesktopService desktop;
    FrmProfile main(session, desktop);
    main.show();

    struct Group {
        const char* name;
        int panel; // shown beside the picture
        std::vector<const char*> boxes;
    };
    const std::vector<Group> groups = {
        {"surface",
         1,
         {"chkSfcTemp", "chkSfcDewPoint", "chkSkinTemp", "chkWindChill", "chkSfcPres"}},
        {"aviation", 4, {"chkVisibility", "chkWarmCloud"}},
        {"convection", 3, {"chkStormRelInflow", "chkMBEspeed", "chkInversions", "chkPrecipWater"}},
        {"precip", 7, {"chkSnow", "chkPrecip", "chkRunOff", "chkSnowGrowth"}},
        {"fire", 6, {"chkMixingLayer", "chkTransportWinds", "chkTransportSpeed", "chkVentilation"}},
        {"wind", 2, {"chkVWP", "chkVWPColor", "chkWinds", "chkVVTrend", "chkMoistLakeIndex"}},
    };
    const samples::Atmosphere kinds[] = {samples::Atmosphere::WarmSeasonConvective,
                                         samples::Atmosphere::WinterWarmNose};
    for (samples::Atmosphere kind : kinds) {
        samples::SampleSpec spec;
        spec.times = 61;
        spec.atmosphere = kind;
        spec.month = kind == samples::Atmosphere::WinterWarmNose ? 12 : 6;
        const std::string run = kind == samples::Atmosphere::WinterWarmNose ? "winter" : "summer";
        const std::filesystem::path path = folder / ("eta_" + spec.site + ".buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(main.LoadSoundingFile(path.string()));
        if (!main.Overview()) main.btnOverView->click();
        main.UpdateOverview();
        FrmOverView& w = *main.Overview();
        // A winter run on a winter temperature scale, as the right-hand
        // scale's zoom would set it: -20 to 50 F.
        if (kind == samples::Atmosphere::WinterWarmNose) w.axes.TraceBase = -20.0f;
        QApplication::processEvents();
        auto clearAll = [&] {
            for (const OverlayBoxSpec& box : FrmOverView::OverlayBoxes())
                if (w.Box(box.name)->isChecked()) w.Box(box.name)->click();
        };
        auto save = [&](const std::string& name) {
            EXPECT_TRUE(w.grab().save(QString::fromStdString(
                (out / ("overview_" + run + "_" + name + ".png")).string())));
        };
        clearAll();
        const std::size_t plain = DrawnOverShading(session, w);
        for (const Group& group : groups) {
            for (const char* box : group.boxes) {
                ASSERT_NE(w.Box(box), nullptr) << box;
                // The colour switch colours the wind profile; alone it draws
                // nothing. Each overlay alone is tried on the summer run.
                if (kind != kinds[0] || !w.Box(box)->isEnabled() ||
                    std::string(box) == "chkVWPColor")
                    continue;
                clearAll();
                w.Box(box)->click();
                EXPECT_GT(DrawnOverShading(session, w), plain) << run << " " << box;
            }
            clearAll();
            for (const char* box : group.boxes)
                if (w.Box(box)->isEnabled()) w.Box(box)->click();
            w.btnControl_Click(group.panel);
            QApplication::processEvents();
            EXPECT_EQ(w.picRH->Surface().PixelWidth(), w.picRH->width());
            // Each group draws over the plain picture.
            SCOPED_TRACE(run + " " + group.name);
            EXPECT_GT(DrawnOverShading(session, w), plain);
            test::ExpectOverviewPictures(session, w);
            test::ExpectTimeStripOnItsColumns(session, w);
            save(group.name);
        }
        for (const OverlayBoxSpec& box : FrmOverView::OverlayBoxes())
            if (!w.Box(box.name)->isChecked() && w.Box(box.name)->isEnabled())
                w.Box(box.name)->click();
        QApplication::processEvents();
        save("all");
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tarvex
