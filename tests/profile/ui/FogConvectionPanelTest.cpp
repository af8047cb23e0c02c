#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "profile/diagnostics/FogChart.h"
#include "profile/ui/ConvectionPanel.h"
#include "profile/ui/FogPanel.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

constexpr int kFogDisplay = 8;
constexpr int kConvectionPanel = 3;

// The main window offscreen over 20 hourly columns of one sounding whose
// screen temperature is 20 C and dew point 10 C every hour, so that the
// computed crossover is 10 C throughout. Its 1000 mb parcel (30 C, dew
// point -20 C) is buoyant at 900 mb; the 800 mb parcel is not.
class FogAndConvection : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1005.0f;
        p.Levels = {{1000, 100, 30, -20}, {950, 550, 26, -20}, {900, 1000, 20, -20},
                    {800, 2000, 12, -25}, {700, 3000, 3, -30}, {600, 4200, -6, -35},
                    {500, 5600, -15, -40}};
        ProfileArrays& s = *session.profile;
        for (int t = 0; t < 20; ++t) {
            test::WriteProfile(s, p, t);
            s.SurfaceTemp(1, t) = 20.0f;
            s.SurfaceDewPoint(1, t) = 10.0f;
            s.DrawLevelCount(1) = 7;
        }
        // The warm parcels lie inside the temperature axis.
        session.temperatureAxis.LeftTemp = -20;
        session.temperatureAxis.RightTemp = 40;
        window = std::make_unique<FrmProfile>(session, desktop);
        window->show();
        window->vsbHour->setMaximum(19);
    }

    void GoTo(int hour) { window->vsbHour->setValue(hour); }
    float Xover() const { return session.fogParcel.XoverTemp[1]; }

    Session session;
    RecordingDesktopService desktop;
    std::unique_ptr<FrmProfile> window;
};

TEST_F(FogAndConvection, CrossoverButtonsHoldFromTheirHourOnAcrossHourSteps) {
    window->btnDisplay_Click(kFogDisplay);
    // A new size draws the panel afresh: its separator at 7.2 of 17..-7 reaches
    // the far edge.
    window->picFog->resize(500, 300);
    EXPECT_EQ(window->picFog->Surface().Image().pixel(490, 122), qRgb(240, 240, 240));
    FogPanel& fog = *window->fogPanel();
    // The arrows are put on when the panel first shows.
    EXPECT_FALSE(fog.btnXoverDown->icon().isNull());
    EXPECT_FALSE(fog.btnXoverUp->icon().isNull());
    GoTo(12);
    EXPECT_FLOAT_EQ(Xover(), 10.0f);
    fog.btnXoverUp->click();
    fog.btnXoverUp->click(); // 2 F up
    const float raised = 10.0f + 2.0f * 5.0f / 9.0f;
    EXPECT_NEAR(Xover(), raised, 1e-5f);
    GoTo(9); // earlier hours keep the computed value
    EXPECT_FLOAT_EQ(Xover(), 10.0f);
    GoTo(19);
    EXPECT_NEAR(Xover(), raised, 1e-5f);
    GoTo(15);
    fog.btnXoverReset->click();
    EXPECT_FLOAT_EQ(Xover(), 10.0f);
    GoTo(14); // the hours between keep the manual value
    EXPECT_NEAR(Xover(), raised, 1e-5f);
    fog.btnXoverDown->click(); // from 14 to the end of the run again
    EXPECT_NEAR(Xover(), raised - 5.0f / 9.0f, 1e-5f);
    GoTo(16);
    EXPECT_NEAR(Xover(), raised - 5.0f / 9.0f, 1e-5f);
    GoTo(13);
    EXPECT_NEAR(Xover(), raised, 1e-5f);
}

TEST_F(FogAndConvection, TheParcelTraceFollowsTheMouseOnTheOverlayOnly) {
    ConvectionPanel& panel = *window->convectionPanel();
    window->btnControl_Click(kConvectionPanel);
    EXPECT_FALSE(panel.isVisibleTo(window.get())); // "Elevated CAPE" is off
    window->chkECAPE->click();
    window->ShowHour();
    EXPECT_TRUE(panel.isVisibleTo(window.get())); // the 1000 mb parcel has CAPE

    PictureBox& pic = *window->picData;
    const QImage sounding = pic.Surface().Image().copy();
    auto yellowPixels = [&] {
        const QImage& shown = pic.Overlay().Image();
        int count = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == qRgb(255, 255, 0)) ++count;
        return count;
    };
    auto transparent = [&] {
        const QImage& shown = pic.Overlay().Image();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qAlpha(shown.pixel(x, y)) != 0) return false;
        return true;
    };
    auto moveTo = [&](double p) { window->ShowCursorReadout(0, 0, 0.0, std::log(p)); };

    moveTo(1001.0); // level 1
    EXPECT_GT(yellowPixels(), 50);
    EXPECT_EQ(panel.lblECAPE->text().toStdString(), "36 J/kg ");
    EXPECT_EQ(panel.lblEParcelp->text().toStdString(), "1000 mb");
    const QImage first = pic.Overlay().Image().copy();

    moveTo(951.0); // level 2: its own trace, none of the first one's
    EXPECT_NE(pic.Overlay().Image(), first);
    EXPECT_EQ(panel.lblEParcelp->text().toStdString(), "950 mb");

    moveTo(801.0); // level 4 has no trace: nothing is left behind
    EXPECT_TRUE(transparent());
    EXPECT_TRUE(panel.lblECAPE->text().isEmpty());
    EXPECT_EQ(pic.Surface().Image(), sounding); // the sounding never changed

    moveTo(1001.0);
    EXPECT_EQ(pic.Overlay().Image(), first);
    window->DrawSounding(); // a redraw takes the trace away
    EXPECT_TRUE(transparent());
    EXPECT_EQ(window->soundingView().ECAPEPlotted, 0);
    moveTo(1001.0);
    window->chkECAPE->click(); // and so does turning the option off
    EXPECT_TRUE(transparent());
    EXPECT_FALSE(panel.isVisibleTo(window.get()));
}

// The fog panel of the shipped humid sample before dawn, and the convection
// panel with the parcel trace over the sounding, kept for a reviewer.
TEST(FogAndConvectionPictures, HumidSampleAtNight) {
    samples::SampleSpec spec;
    spec.layout = "eta";
    spec.site = "KOKX";
    spec.stationNumber = 725010;
    spec.lat = 40.87f;
    spec.lon = -72.86f;
    spec.elevation = 20.0f;
    spec.year = 2026;
    spec.month = 9;
    spec.day = 1;
    spec.hour = 12;
    spec.atmosphere = samples::Atmosphere::HumidNight;
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tarvex-fog-" + std::to_string(::getpid()) + ".buf");
    std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
    Session session;
    session.models.ModelCodes = {"eta"};
    session.config.TimeZoneOffset = 4;
    RecordingDesktopService desktop;
    FrmProfile window(session, desktop);
    window.show();
    window.btnDisplay_Click(kFogDisplay); // before any file: an empty panel
    ASSERT_TRUE(window.LoadSoundingFile(path.string()));
    std::filesystem::remove(path);

    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    window.btnDisplay_Click(kFogDisplay);
    window.vsbHour->setValue(20); // 08 UTC, 3 am local
    EXPECT_TRUE(window.grab().save(QString::fromStdString((out / "fog_window.png").string())));
    window.picFog->resize(437, 425);
    window.fogPanel()->PlotFog();
    EXPECT_TRUE(
        window.picFog->grab().save(QString::fromStdString((out / "fog_panel_night.png").string())));
    // The panel, readable at its size, rates the air against the crossover
    // temperature, both in deg F.
    const PictureSurface& fog = window.picFog->Surface();
    EXPECT_TRUE(TextIsReadable(fog));
    EXPECT_TRUE(NothingLeftOut(fog));
    // Each value stands at its own place: the air's at its bar (13 of the
    // area's 100 units across), the crossover's beside the zero line (40).
    std::vector<std::pair<double, double>> rated; // deg F, left edge
    for (const DrawnText& t : fog.DrawnTexts()) {
        std::smatch value;
        if (std::regex_match(t.text, value, std::regex("T ?= (-?[0-9.]+)")))
            rated.emplace_back(std::stod(value[1]), t.rect.left / fog.PixelWidth() * 100.0);
    }
    for (const auto& [celsius, x] :
         {std::pair{static_cast<double>(session.fogParcel.XoverTemp[1]), 40.0},
          std::pair{static_cast<double>(session.profile->SurfaceTemp(1, 20)), 13.0}}) {
        EXPECT_TRUE(std::ranges::any_of(rated,
                                        [&](const std::pair<double, double>& r) {
                                            return std::abs(r.first - (celsius * 9 / 5 + 32)) <
                                                       0.051 &&
                                                   std::abs(r.second - x) < 0.5;
                                        }))
            << celsius << " C at " << x;
    }
    // Before dawn the humid air has cooled below the afternoon's dew point.
    EXPECT_LT(session.profile->SurfaceTemp(1, 20), session.fogParcel.XoverTemp[1]);

    window.btnControl_Click(kConvectionPanel);
    window.chkECAPE->click();
    // A summer afternoon needs the warm end of the temperature axis.
    session.temperatureAxis.LeftTemp = -40;
    session.temperatureAxis.RightTemp = 40;
    window.vsbHour->setValue(30); // 18 UTC, afternoon
    window.ShowHour();
    window.ShowCursorReadout(0, 0, 0.0, std::log(session.profile->Pressure(1, 30, 3) + 0.5));
    EXPECT_TRUE(window.picData->ShownImage().save(
        QString::fromStdString((out / "convection_trace.png").string())));
    // The panel follows the parcel of the level under the cursor.
    auto label = [&](const char* name) {
        return window.convectionPanel()->findChild<QLabel*>(name)->text().toStdString();
    };
    EXPECT_EQ(label("lblEParcelp"),
              std::to_string(std::lround(session.profile->Pressure(1, 30, 3))) + " mb");
    EXPECT_TRUE(std::regex_match(label("lblECAPE"), std::regex("[1-9][0-9]* J/kg ")));
    EXPECT_TRUE(window.convectionPanel()->grab().save(
        QString::fromStdString((out / "convection_frame.png").string())));
}

} // namespace
} // namespace tarvex
