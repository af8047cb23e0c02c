#include "files/ScaleBounds.h"
#include "overview/ui/FrmOverView.h"

#include "overview/panels/SelectedHour.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/HodographDiagram.h"

#include "SampleSounding.h"
#include "files/DataFile.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

// The main window offscreen with a generated 13-hour run of the shipped
// configuration and data file, and its overview open.
class OverviewHour : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-overview-hour-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta"};
        ASSERT_TRUE(ReadConfig(TARVEX_SHIPPED_DATA, "tarvex", session_.config).ok);
        ASSERT_TRUE(ReadTarvexDat(TARVEX_SHIPPED_DATA, session_.dataTables).ok);
        main_ = std::make_unique<FrmProfile>(session_, desktop_);
        main_->show();
        LoadConvectiveRun(13);
        w_->afterRedraw = [this] { ++redraws_; };
        QApplication::processEvents();
    }
    // A generated warm-season run of the hours given, loaded and shown in
    // the overview.
    void LoadConvectiveRun(int times) {
        samples::SampleSpec spec;
        spec.times = times;
        spec.atmosphere = samples::Atmosphere::WarmSeasonConvective;
        spec.month = 6;
        const std::filesystem::path path = folder_ / ("eta_" + spec.site + ".buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(main_->LoadSoundingFile(path.string()));
        if (!main_->Overview()) main_->btnOverView->click();
        w_ = main_->Overview();
        ASSERT_NE(w_, nullptr);
    }
    void TearDown() override {
        main_.reset();
        std::filesystem::remove_all(folder_);
    }
    std::string HourLabel() const { return main_->lblHour->text().toStdString(); }
    std::string HourText(int column) const {
        return std::to_string(session_.HoursPerColumn * column);
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> main_;
    FrmOverView* w_ = nullptr;
    std::filesystem::path folder_;
    int redraws_ = 0;
};

TEST_F(OverviewHour, PressAndDragShowThePanelAndMoveTheMainWindow) {
    session_.history.SelectedPanel = 1;
    w_->picRH_MouseDown(1, 0, 3.4, 6.5);
    EXPECT_EQ(w_->SelectedHour, 3);
    EXPECT_EQ(HourLabel(), HourText(3));
    EXPECT_TRUE(w_->picHodograph->isVisible());
    w_->picRH_MouseMove(1, 0, 3.6, 6.5);
    EXPECT_EQ(HourLabel(), HourText(4));
    // A column the model lacks is passed over; the main window stays.
    w_->picRH_MouseMove(1, 0, 20.0, 6.5);
    w_->picRH_MouseDown(1, 0, 20.0, 6.5);
    EXPECT_EQ(w_->SelectedHour, 4);
    EXPECT_EQ(HourLabel(), HourText(4));
    w_->picRH_MouseUp(1, 0, 20.0, 6.5);
    EXPECT_FALSE(w_->picHodograph->isVisible());
    // The time-height picture is never redrawn for an hour.
    EXPECT_EQ(redraws_, 0);

    // Without the synchronisation only the overview's hour changes.
    w_->chkSynch->setChecked(false);
    session_.history.SelectedPanel = 4;
    w_->picRH_MouseDown(1, 0, 7.0, 6.5);
    EXPECT_EQ(w_->SelectedHour, 7);
    EXPECT_EQ(HourLabel(), HourText(4));
}

TEST_F(OverviewHour, RightPressMarksTheStartColumnUntilRelease) {
    const QImage before = w_->picTime->Surface().Image().copy();
    w_->picRH_MouseDown(2, 0, 0.2, 6.5);
    EXPECT_EQ(w_->SumStartColumn, 1);
    EXPECT_NE(w_->picTime->Surface().Image(), before);
    w_->picRH_MouseUp(2, 0, 0.2, 6.5);
    EXPECT_EQ(w_->picTime->Surface().Image(), before);
    w_->picRH_MouseDown(2, 0, 40.0, 6.5);
    EXPECT_EQ(w_->SumStartColumn, 12);
}

TEST_F(OverviewHour, DirectionScaleZoomsOutToAFullCircleAtMost) {
    w_->Box("chkMeanWind")->click();
    ASSERT_TRUE(w_->GridBox(OverviewGrid::Wind)->isEnabled());
    for (int k = 0; k < 4; ++k) {
        w_->picSide_MouseDown(true, 2, 50.0);
        w_->picSide_MouseUp(true, 2, 180.0);
    }
    EXPECT_FLOAT_EQ(w_->axes.DirectionSpan, 360.0f);
    EXPECT_FLOAT_EQ(w_->axes.DirectionTop, 360.0f);
    w_->picSide_MouseDown(true, 1, 50.0);
    w_->picSide_MouseUp(true, 1, 180.0);
    EXPECT_FLOAT_EQ(w_->axes.DirectionSpan, 240.0f);
    EXPECT_FLOAT_EQ(w_->axes.DirectionTop, 300.0f);
    // The index scale is not shown: its band changes nothing.
    const int redraws = redraws_;
    w_->picSide_MouseDown(true, 1, 80.0);
    w_->picSide_MouseUp(true, 1, 0.0);
    EXPECT_FLOAT_EQ(w_->axes.IndexSpan, 40.0f);
    EXPECT_EQ(redraws_, redraws);
}

// With any one to six of the left scales shown, a click on a scale's labels
// zooms that scale and no other. Each scale is found by a label only it
// writes, which must be drawn: a scale's numbers are values.
TEST_F(OverviewHour, AClickOnALeftScalesLabelsZoomsThatScale) {
    struct Scale {
        const char* box;
        const char* label;
        float* range;
    };
    auto& tops = session_.history.OverviewThresholds;
    OverviewAxes& a = w_->axes;
    const std::array<Scale, 6> scales = {{{"chkMeanWind", "135", &a.DirectionSpan},
                                          {"chkLakeIndex", "+15", &a.IndexSpan},
                                          {"chkCAPE", "1750", &tops[0]},
                                          {"chkSfcPres", "995", &a.PressureTraceSpan},
                                          {"chkVentilation", "14", &tops[2]},
                                          {"chkVisibility", "1/2", &tops[1]}}};
    const PictureSurface& left = w_->picLeft->Surface();
    int shown = 0;
    for (int i = 1; i < 64; ++i) {
        // Every set of scales in turn, one box changing at each step.
        const int set = i ^ (i >> 1);
        const int changed = std::countr_zero(static_cast<unsigned>(set ^ shown));
        w_->Box(scales[static_cast<std::size_t>(changed)].box)->click();
        shown = set;
        for (std::size_t g = 0; g < scales.size(); ++g) {
            if (!(set >> g & 1)) continue;
            const auto& texts = left.DrawnTexts();
            const auto label = std::ranges::find_if(
                texts, [&](const DrawnText& t) { return t.text == scales[g].label; });
            ASSERT_NE(label, texts.end()) << scales[g].label << " left out, scales " << set;
            const double x =
                (label->rect.left + label->rect.width / 2.0) / left.PixelWidth() * 100.0;
            const OverviewAxes axesBefore = a;
            const auto topsBefore = tops;
            std::array<float, 6> before{};
            for (std::size_t k = 0; k < scales.size(); ++k) before[k] = *scales[k].range;
            w_->picSide_MouseDown(true, 1, x);
            w_->picSide_MouseUp(true, 1, 0.5);
            for (std::size_t k = 0; k < scales.size(); ++k)
                EXPECT_EQ(*scales[k].range != before[k], k == g)
                    << "click on " << scales[g].label << " (x " << x << "), scales " << set
                    << ": scale " << k << (k == g ? " not zoomed" : " zoomed");
            a = axesBefore;
            tops = topsBefore;
            w_->RedrawOverview();
        }
    }
}

TEST_F(OverviewHour, ZoomingOutStopsAtTheScaleBounds) {
    // Sixty clicks of x1.5 would reach 1e10 and more; the scales stop at
    // their bounds, and the history file's whole-number range never wraps.
    for (const char* box : {"chkCAPE", "chkLakeIndex", "chkSfcTemp"}) w_->Box(box)->click();
    for (int k = 0; k < 60; ++k) {
        for (auto [left, x] : {std::pair{true, 10.0}, {true, 80.0}, {false, 80.0}}) {
            w_->picSide_MouseDown(left, 2, x);
            w_->picSide_MouseUp(left, 2, 0.0);
        }
    }
    EXPECT_FLOAT_EQ(session_.history.OverviewThresholds[0], kMostScaleValue);
    EXPECT_FLOAT_EQ(w_->axes.IndexSpan, kMostScaleValue);
    EXPECT_FLOAT_EQ(w_->axes.TraceSpan, kMostTraceValue);
    EXPECT_EQ(session_.history.TraceRange[1], kMostTraceWhole);
    EXPECT_EQ(session_.history.TraceRange[0], -kMostTraceWhole / 2);
}

// At the window's least width no panel covers the held hour, for every hour
// of the 60-hour and the 24-hour view (a narrow room makes the panels
// smaller, keeping their shape).
TEST_F(OverviewHour, NoPanelHidesTheHeldHourAtTheLeastWidth) {
    LoadConvectiveRun(61);
    w_->resize(w_->minimumSizeHint().width(), w_->height());
    QApplication::processEvents();
    ASSERT_EQ(w_->width(), w_->minimumSizeHint().width());
    const int rhLeft = w_->picRH->x();
    for (const QString caption : {"60", "24"}) {
        const auto button = std::find_if(w_->btnHours.begin(), w_->btnHours.end(),
                                         [&](QPushButton* b) { return b->text() == caption; });
        ASSERT_NE(button, w_->btnHours.end()) << caption.toStdString();
        (*button)->click();
        QApplication::processEvents();
        for (int k = 0; k < 4; ++k) {
            session_.history.SelectedPanel = static_cast<std::int16_t>(k);
            PictureBox* box = w_->HourPanelBox(k);
            const double shape = box->Surface().DesignHeight() / box->Surface().DesignWidth();
            for (int hour = 0; hour <= std::min(60, static_cast<int>(w_->axes.ScaleLeftColumn) - 1);
                 ++hour) {
                w_->picRH_MouseDown(1, 0, hour, 6.5);
                // The panel shows this hour, not where the last one left it.
                ASSERT_TRUE(box->isVisible()) << "panel " << k << " hour " << hour;
                ASSERT_EQ(w_->SelectedHour, hour) << "panel " << k;
                const ColumnPixels column = HourColumnPixels(w_->axes, w_->picRH->width(), hour);
                EXPECT_TRUE(box->x() >= rhLeft + column.right ||
                            box->x() + box->width() <= rhLeft + column.left)
                    << "panel " << k << " hour " << hour;
                EXPECT_NEAR(box->height(), box->width() * shape, 1.0);
                w_->picRH_MouseUp(1, 0, hour, 6.5);
            }
        }
    }
}

// Each panel over the overview as a forecaster sees it while the button is
// held (kept for a reviewer): beside the hour, never over its column, with
// its lines and its texts drawn.
TEST_F(OverviewHour, RendersEachPanelOverTheOverview) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    w_->Box("chkMeanWind")->click();
    const char* names[] = {"map", "hodograph", "profile", "stormtype"};
    const double hours[] = {9.0, 2.0, 6.0, 10.0};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(names[k]);
        session_.history.SelectedPanel = static_cast<std::int16_t>(k);
        w_->picRH_MouseDown(1, 0, hours[k], 6.5);
        QApplication::processEvents();
        PictureBox* box = w_->HourPanelBox(k);
        EXPECT_TRUE(box->isVisible());
        const ColumnPixels column =
            HourColumnPixels(w_->axes, w_->picRH->width(), static_cast<int>(hours[k]));
        const int rhLeft = w_->picRH->x();
        EXPECT_TRUE(box->x() >= rhLeft + column.right ||
                    box->x() + box->width() <= rhLeft + column.left);
        EXPECT_TRUE(w_->grab().save(QString::fromStdString(
            (out / ("overview_panel_" + std::string(names[k]) + ".png")).string())));
        w_->picRH_MouseUp(1, 0, hours[k], 6.5);

        // The same panel on a recording surface of its size.
        RecordingSurface pic(box->width(), box->height());
        const HodographView hodoView;
        const Picture background;
        MapWindState wind;
        HourPanelContext ctx{session_, w_->options, main_->soundingView(),
                             hodoView, background,  wind};
        DrawHourPanel(static_cast<HourPanel>(k), pic, ctx, static_cast<std::int16_t>(hours[k]));
        EXPECT_FALSE(pic.OperationsOf(DrawOperation::Kind::Line).empty());
        EXPECT_FALSE(pic.OperationsOf(DrawOperation::Kind::Text).empty());
    }
}

} // namespace
} // namespace tarvex
