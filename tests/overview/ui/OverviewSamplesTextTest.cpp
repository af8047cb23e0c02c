#include "OverviewTextChecks.h"
#include "platform/EverySampleHour.h"

#include "files/ConfigFile.h"
#include "files/DataFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;
using test::ExpectOverviewPictures;
using test::ExpectPanelsWhole;
using test::ExpectTimeStripOnItsColumns;

// Every shipped sample's overview, at 1272 x 768, the opening size and the
// least size, with each group of overlays, the hours window unscrolled and
// (the first three groups) the 24-hour window scrolled to its end; the
// pictures drawn on raster surfaces lose no pixel to their texts and keep
// every value uncovered; so do both map panes over the map background, with
// its city names, at every hour. The groups hold every overlay check box of
// the eight panels, each drawn where the sample lets it be checked.
TEST_F(Overview, EveryShippedSampleKeepsItsLabelsAtTheirHoursAndItsValuesWhole) {
    ASSERT_TRUE(ReadConfig(TARVEX_SHIPPED_DATA, "tarvex", session_.config).ok);
    ASSERT_TRUE(ReadTarvexDat(TARVEX_SHIPPED_DATA, session_.dataTables).ok);
    const std::vector<fs::path> files = test::ShippedSamples();
    const MapGeography geography = ReadMapFiles(TARVEX_SHIPPED_DATA);
    ASSERT_FALSE(geography.Cities.empty());
    ASSERT_GE(files.size(), 15u);
    test::OverviewCheckCounts counts;
    const std::vector<std::vector<const char*>> groups = {
        {"chkTemperature", "chkFreezingLevel", "chkCAPE", "chkSfcPres", "chkMeanWind"},
        {"chkECAPE", "chkDPD", "chkLakeIndex", "chkPrecip", "chkApparentTemp"},
        {"chkRHContour", "chkVelocity", "chkVisibility", "chkHelicity", "chkSfcTemp"},
        // The two humidity shadings exclude each other and give way to EL
        // CIN, and the sums of precipitation, snow, evaporation and run-off
        // are one choice: each stands in a group of its own.
        {"chkRH_0", "ChkOmega", "chkSnowGrowth", "chkSkinTemp", "chkMoistLakeIndex", "chkVWP",
         "chkVWPColor", "chkHeights", "chkCloudBase", "chkEvaporation"},
        {"chkRH_1", "chkIcing", "chkMeanMixingRatio", "chkLIE", "chkLIC", "chkWinds", "chkTQ",
         "chkPrecipWater", "chk3HPresChange", "chkRunOff"},
        {"chkDeltaThetaE", "chkMixingRatio", "chkSfcDewPoint", "chkInversions", "chkVVTrend",
         "chkELCIN", "chkMBEspeed", "chkClouds", "chkSnow", "chkNow"},
        {"chkLayerShear", "chkThetaE", "chkWindChill", "chkWarmCloud", "chkTotalTotals",
         "chkMixingLayer", "chkVentilation", "chkSnowRatio", "chkGridTime"},
        {"chkTheta", "chkShearContour", "chkWetBulb", "chkRHIcontour", "chkStormRelInflow",
         "chkInstability", "chkTransportSpeed", "chkTransportWinds", "chkDavisIndex",
         "chkHainesIndex", "chksWSYMb"}};
    constexpr std::size_t kScrolledGroups = 3;
    std::map<std::string, int> drawn; // pictures drawn with each box checked
    long cityNames = 0;               // on the map panes checked
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::string refused;
        main_->SetMessageHandler([&refused](const std::string& text) { refused = text; });
        ASSERT_TRUE(test::UseModelOfSample(session_, file));
        ASSERT_TRUE(main_->LoadSoundingFile(file.string())) << refused;
        if (!main_->Overview()) main_->btnOverView->click();
        FrmOverView& w = *main_->Overview();
        QApplication::processEvents();
        const QSize opening = w.size();
        const auto hoursButton = [&](const QString& caption) {
            for (QPushButton* b : w.btnHours)
                if (b->text() == caption) return b;
            return w.btnHours[0];
        };
        QPushButton* const usual = *std::find_if(w.btnHours.begin(), w.btnHours.end(),
                                                 [](QPushButton* b) { return b->font().bold(); });
        for (const QSize size : {QSize(1272, 768), opening, w.minimumSizeHint()}) {
            w.resize(size);
            QApplication::processEvents();
            SCOPED_TRACE(std::to_string(w.width()) + " x " + std::to_string(w.height()));
            for (const bool scrolled : {false, true}) {
                SCOPED_TRACE(scrolled ? "24 hours, scrolled" : "unscrolled");
                if (scrolled) {
                    hoursButton("24")->click();
                    w.hsbHours->setValue(w.hsbHours->maximum());
                } else {
                    usual->click();
                }
                QApplication::processEvents();
                ExpectTimeStripOnItsColumns(session_, w, &counts);
                for (std::size_t g = 0; g < (scrolled ? kScrolledGroups : groups.size()); ++g) {
                    SCOPED_TRACE("group " + std::to_string(g));
                    std::vector<QCheckBox*> checked;
                    for (const char* name : groups[g]) {
                        QCheckBox* box = w.findChild<QCheckBox*>(name);
                        ASSERT_NE(box, nullptr) << name;
                        if (!box->isEnabled()) continue;
                        box->setChecked(true);
                        checked.push_back(box);
                        ++drawn[name];
                    }
                    ExpectOverviewPictures(session_, w, &counts);
                    for (QCheckBox* box : checked) box->setChecked(false);
                }
            }
            const auto middle = static_cast<std::int16_t>(
                std::lround((w.axes.ScaleLeftColumn + w.axes.ScaleRightColumn) / 2.0));
            ExpectPanelsWhole(session_, w, main_->soundingView(), middle);
            session_.history.SelectedPanel = static_cast<std::int16_t>(HourPanel::Map);
            w.ShowHourProfile(middle);
            test::ExpectMapPanesReadable(session_, w, geography, main_->soundingView(), cityNames);
            w.HourPanelBox(static_cast<int>(HourPanel::Map))->hide();
        }
        usual->click();
        // Every overlay box of the panels is in a group (the profile's
        // synchronizing draws nothing).
        for (const QFrame* panel : w.pnlControl)
            for (const QCheckBox* box : panel->findChildren<QCheckBox*>()) {
                const std::string name = box->objectName().toStdString();
                EXPECT_TRUE(name == "chkSynch" ||
                            std::ranges::any_of(groups,
                                                [&](const auto& group) {
                                                    return std::ranges::count(group, name) == 1;
                                                }))
                    << name;
            }
    }
    for (const auto& group : groups)
        for (const char* name : group) EXPECT_GT(drawn[name], 0) << name;
    // Each conditional check ran on the samples, and often.
    EXPECT_GT(counts.timeLabels, 1000);
    EXPECT_GT(counts.elevatedContours, 10);
    EXPECT_GT(counts.isothermHeights, 100);
    EXPECT_GT(counts.extremumLetters, 100);
    EXPECT_EQ(counts.pixels.pictures,
              3L * 3 * static_cast<long>((groups.size() + kScrolledGroups) * files.size()));
    EXPECT_GT(counts.pixels.texts, 10 * counts.pixels.pictures);
    EXPECT_GT(counts.pixels.textPixels, 100 * counts.pixels.pictures);
    EXPECT_GT(cityNames, 15L * 2 * 3 * 40 * 10);
}

} // namespace
} // namespace tarvex
