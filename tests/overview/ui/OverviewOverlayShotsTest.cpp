#include "OverviewTextChecks.h"
#include "overview/ui/FrmOverView.h"

#include "SampleSounding.h"
#include "files/ConfigFile.h"
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
#include <functional>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

// The overview at its opening size with each group of the level traces,
// cloud cover, parcel displays and index traces on: each draws over the plain
// picture, every label stands at its hour (isotherm heights only of marked
// hours inside the window), every elevated-CAPE contour keeps a label and
// the side scales are whole. The pictures are kept for a reviewer.
TEST(OverviewOverlayShots, RendersEachGroupOfTracesAndParcelDisplays) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarvex-shots-" + std::to_string(::getpid()));
    std::filesystem::create_directories(out);
    std::filesystem::create_directories(folder);
    Session session;
    // The shipped configuration: lake-index and Total Totals levels, the
    // isotherm label step.
    ASSERT_TRUE(ReadConfig(TARVEX_SHIPPED_DATA, "tarvex", session.config).ok);
    session.models.ModelCodes = {"eta"};
    RecordingDesktopService desktop;
    FrmProfile main(session, desktop);
    main.show();

    struct Group {
        const char* name;
        std::initializer_list<const char*> boxes;
        std::function<void(OverviewOptions&)> options;
    };
    const auto everyToggle = [](OverviewOptions& o) {
        o.CAPEkmColours.fill(0x00C000);
        o.HeightsColours.fill(0x0000FF);
    };
    const auto shoot = [&](samples::Atmosphere atmosphere, int month, const char* run,
                           std::initializer_list<Group> groups) {
        samples::SampleSpec spec;
        spec.atmosphere = atmosphere;
        spec.month = month;
        const std::filesystem::path path = folder / ("eta_" + spec.site + ".buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(main.LoadSoundingFile(path.string()));
        main.UpdateOverview();
        if (!main.Overview()) main.btnOverView->click();
        FrmOverView& w = *main.Overview();
        QApplication::processEvents();
        const std::size_t plain = DrawnOverShading(session, w);
        for (const Group& group : groups) {
            for (const char* box : group.boxes) w.Box(box)->click();
            if (group.options) group.options(w.options);
            w.RedrawOverview();
            // Each group draws over the plain picture.
            SCOPED_TRACE(std::string(run) + " " + group.name);
            EXPECT_GT(DrawnOverShading(session, w), plain);
            test::ExpectOverviewPictures(session, w);
            EXPECT_TRUE(w.grab().save(QString::fromStdString(
                (out / ("overview_" + std::string(run) + "_" + group.name + ".png")).string())));
            for (const char* box : group.boxes) w.Box(box)->click();
            w.options = OverviewOptions{};
        }
    };
    shoot(samples::Atmosphere::WarmSeasonConvective, 6, "convective",
          {{"levels", {"chkCloudBase", "chkHeights", "chkFreezingLevel"}, everyToggle},
           {"parcels", {"chkECAPE", "chkELCIN", "chkInstability"}, nullptr},
           {"cape", {"chkCAPE", "chkApparentTemp", "chkTotalTotals"}, everyToggle},
           {"indices",
            {"chk3HPresChange", "chkHainesIndex", "chkHelicity", "chkDavisIndex", "chkTQ",
             "chkEvaporation"},
            nullptr}});
    shoot(samples::Atmosphere::LakeEffectCold, 1, "lake",
          {{"lake", {"chkLakeIndex", "chkLIC", "chkLIE", "chkCloudBase"}, nullptr},
           {"clouds",
            {"chkClouds"},
            [](OverviewOptions& o) {
                o.chkRH = {false, false};
            }},
           {"cloudsgrey", {"chkClouds"}, [](OverviewOptions& o) {
                o.chkRH = {false, false};
                o.CloudsToggle = true;
            }}});
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tarvex
