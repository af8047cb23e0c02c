#include "overview/ui/FrmOverView.h"
#include "OverviewWindowFixture.h"

#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>

namespace tarvex {
namespace {

TEST_F(Overview, OneWindowOpensComesForwardAndIsRebuiltAfterARead) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& first = Open();
    EXPECT_EQ(first.windowTitle().toStdString(), main_->windowTitle().toStdString() + " Overview");
    EXPECT_TRUE(first.isVisible());
    first.hide();
    main_->btnOverView->click();
    EXPECT_EQ(main_->Overview(), &first);
    EXPECT_TRUE(first.isVisible());
    EXPECT_EQ(OverviewWindows(), 1);

    first.hide();
    main_->UpdateOverview(); // the window started again for the file, and shown
    ASSERT_EQ(main_->Overview(), &first);
    EXPECT_TRUE(first.isVisible());
    EXPECT_EQ(OverviewWindows(), 1);

    main_->Overview()->btnQuit->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main_->Overview(), nullptr);
    EXPECT_EQ(OverviewWindows(), 0);
    main_->UpdateOverview(); // closed: stays closed
    EXPECT_EQ(main_->Overview(), nullptr);
}

TEST_F(Overview, OverlayBoxesTurnOnTheirGridAndRedrawOnce) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    // Every overlay box, both humidity boxes and the precipitation-type box.
    EXPECT_EQ(w.findChildren<QCheckBox*>().size(),
              FrmOverView::OverlayBoxes().size() + 2 + 1 + 1 + 6);
    EXPECT_TRUE(w.chkRH[0]->isChecked());
    EXPECT_TRUE(w.Box("chkNow")->isChecked());
    EXPECT_TRUE(w.GridBox(OverviewGrid::Height)->isChecked());
    EXPECT_TRUE(w.GridBox(OverviewGrid::Height)->isEnabled());
    EXPECT_FALSE(w.GridBox(OverviewGrid::Wind)->isEnabled());

    // On while the selector is on: one direct redraw.
    w.Box("chkTemperature")->click();
    EXPECT_EQ(redraws_, 1);
    // Sigma winds turn their own selector on, which turns the others off and
    // draws once.
    w.Box("chkWinds")->click();
    EXPECT_EQ(redraws_, 2);
    EXPECT_TRUE(w.GridBox(OverviewGrid::Wind)->isChecked());
    EXPECT_FALSE(w.GridBox(OverviewGrid::Height)->isChecked());
    EXPECT_TRUE(w.GridBox(OverviewGrid::Wind)->isEnabled());
    // Off: one redraw, the selector stays.
    w.Box("chkWinds")->click();
    EXPECT_EQ(redraws_, 3);
    EXPECT_TRUE(w.GridBox(OverviewGrid::Wind)->isChecked());

    // The humidity boxes exclude each other; "EL CIN" clears both.
    w.chkRH[1]->click();
    EXPECT_FALSE(w.chkRH[0]->isChecked());
    EXPECT_FALSE(w.options.chkRH[0]);
    w.Box("chkELCIN")->click();
    EXPECT_FALSE(w.chkRH[1]->isChecked());
    EXPECT_FALSE(w.options.chkRH[1]);

    // The contour interval redraws only while a contour is shown.
    w.Box("chkTemperature")->click();
    w.Box("chkELCIN")->click();
    const int before = redraws_;
    w.chkCI[3]->click();
    EXPECT_EQ(w.options.ContourInterval, 10);
    EXPECT_EQ(redraws_, before);
    w.Box("chkVelocity")->click();
    w.chkCI[1]->click();
    EXPECT_EQ(w.options.ContourInterval, 2);
    EXPECT_EQ(redraws_, before + 2);
}

TEST_F(Overview, ScalePresetsFoldsAndSumOptions) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    w.Box("chkHainesIndex")->click();
    w.Box("chkHelicity")->click(); // the start range is gone: Haines' range stays
    EXPECT_FLOAT_EQ(w.axes.IndexBase, -1.0f);
    EXPECT_FLOAT_EQ(w.axes.IndexSpan, 10.0f);
    EXPECT_EQ(w.axes.IndexLabelFactor, 10);
    EXPECT_EQ(w.options.RHLegendIndex, 1); // humidity shown with the helicity

    w.axes.TraceBase = -20.0f;
    w.axes.TraceSpan = 60.0f;
    w.Box("chkMBEspeed")->click();
    EXPECT_FLOAT_EQ(w.axes.TraceBase, -20.0f);
    w.Box("chkTransportSpeed")->click();
    EXPECT_FLOAT_EQ(w.axes.TraceBase, 0.0f);
    EXPECT_FLOAT_EQ(w.axes.TraceSpan, 40.0f);

    w.Box("chkEvaporation")->click();
    EXPECT_TRUE(w.optSum[2]->isChecked());
    w.Box("chkSnow")->click();
    EXPECT_TRUE(w.optSum[1]->isChecked());
    w.Box("chkEvaporation")->click(); // off while "Snow" is chosen: nothing
    EXPECT_TRUE(w.optSum[1]->isChecked());
    w.Box("chkSnow")->click();
    EXPECT_TRUE(w.optSum[0]->isChecked());
}

TEST_F(Overview, OpensWithNoSoundingLoaded) {
    FrmOverView& w = Open();
    w.Box("chkTemperature")->click();
    w.Box("chkNow")->click();
    EXPECT_EQ(redraws_, 2);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(Overview, ModelsOfLaterKindsHaveNoRunOffOrEvaporation) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    session_.profile->ModelChoice = 2;
    FrmOverView& w = Open();
    EXPECT_FALSE(w.Box("chkRunOff")->isEnabled());
    EXPECT_FALSE(w.Box("chkEvaporation")->isEnabled());
    EXPECT_TRUE(w.Box("chkSnow")->isEnabled());
}

// On a 1280 x 800 screen (with room for a title bar and a task bar) the
// window fits with Save, Recall and Close in reach, and neither a switch from
// any control panel to any other nor a legend that appears changes its size.
TEST_F(Overview, FitsASmallScreenWhateverPanelsAreSwitched) {
    Load(samples::Atmosphere::WarmSeasonConvective, 6, 25);
    FrmOverView& w = Open();
    w.resize(1280, 740);
    QApplication::processEvents();
    const QSize size = w.size();
    EXPECT_LE(w.minimumSizeHint().width(), 1280);
    EXPECT_LE(w.minimumSizeHint().height(), 740);
    const auto bottom = [&w](const QWidget* c) { return c->mapTo(&w, QPoint(0, c->height())).y(); };
    for (const QWidget* c : {static_cast<QWidget*>(w.btnQuit), static_cast<QWidget*>(w.btnSave[3]),
                             static_cast<QWidget*>(w.btnRecall[3])})
        EXPECT_LE(bottom(c), w.height()) << c->objectName().toStdString();
    // Legends and labels that come with their boxes.
    for (const char* name : {"chkApparentTemp", "chkLakeIndex", "chkECAPE", "chkWinds", "chkVWP"})
        w.Box(name)->setChecked(true);
    QApplication::processEvents();
    for (int from = 0; from < FrmOverView::kControlPanels; ++from)
        for (int to = 0; to < FrmOverView::kControlPanels; ++to) {
            w.btnControl[static_cast<std::size_t>(from)]->click();
            w.btnControl[static_cast<std::size_t>(to)]->click();
            QApplication::processEvents();
            SCOPED_TRACE(std::to_string(from) + " then " + std::to_string(to));
            EXPECT_EQ(w.size(), size);
            EXPECT_TRUE(w.pnlControl[static_cast<std::size_t>(to)]->isVisible());
        }
}

// Renders the overview of the shipped kinds of run at its opening size, with
// the default overlays and with temperature and wind-speed contours, for a
// reviewer; the time-height picture fills its box at two window sizes.
TEST_F(Overview, RendersTheRunAtTheWindowSize) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    // The shipped convective (Detroit, June) and winter (Albany) samples.
    samples::SampleSpec convective;
    convective.site = "KDTX";
    convective.stationNumber = 726320;
    convective.lat = 42.70f;
    convective.lon = -83.47f;
    convective.elevation = 329.0f;
    convective.month = 6;
    convective.day = 15;
    convective.atmosphere = samples::Atmosphere::WarmSeasonConvective;
    samples::SampleSpec winter;
    winter.site = "KALB";
    winter.stationNumber = 725180;
    winter.lat = 42.75f;
    winter.lon = -73.80f;
    winter.elevation = 85.0f;
    winter.atmosphere = samples::Atmosphere::WinterWarmNose;
    struct Run {
        const samples::SampleSpec& spec;
        const char* name;
    };
    for (const Run& run : {Run{convective, "convective"}, Run{winter, "winter"}}) {
        Load(run.spec);
        main_->UpdateOverview();
        FrmOverView& w = main_->Overview() ? *main_->Overview() : Open();
        QApplication::processEvents();
        EXPECT_EQ(w.picRH->Surface().PixelWidth(), w.picRH->width());
        EXPECT_EQ(w.picRH->Surface().PixelHeight(), w.picRH->height());
        EXPECT_TRUE(w.grab().save(QString::fromStdString(
            (out / ("overview_" + std::string(run.name) + "_default.png")).string())));
        // A reload keeps the boxes of the run before: tick, never toggle.
        w.Box("chkTemperature")->setChecked(true);
        w.Box("chkVelocity")->setChecked(true);
        EXPECT_TRUE(w.grab().save(QString::fromStdString(
            (out / ("overview_" + std::string(run.name) + "_contours.png")).string())));
        // Both contours are drawn: the temperature lines bright and dark in
        // turn, the wind speeds in several bands.
        const std::unique_ptr<RecordedOverview> drawn = Record(w);
        std::set<std::tuple<int, int, int>> colours;
        for (const DrawOperation& op : drawn->rh.OperationsOf(DrawOperation::Kind::Line))
            colours.insert({op.color.r, op.color.g, op.color.b});
        SCOPED_TRACE(run.name);
        EXPECT_TRUE(colours.count({255, 255, 0}) && colours.count({127, 127, 0}));
        EXPECT_GE(colours.count({127, 127, 127}) + colours.count({255, 0, 0}) +
                      colours.count({255, 127, 0}) + colours.count({0, 128, 0}) +
                      colours.count({0, 0, 255}),
                  2u);
        w.resize(900, 600);
        QApplication::processEvents();
        EXPECT_EQ(w.picRH->Surface().PixelWidth(), w.picRH->width());
        EXPECT_NEAR(w.picRH->Surface().ToPixelX(w.axes.ScaleRightColumn), w.picRH->width(), 1e-6);
    }
}

} // namespace
} // namespace tarvex
