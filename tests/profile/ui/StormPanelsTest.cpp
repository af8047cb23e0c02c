#include "profile/ui/StormPanels.h"

#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "platform/PictureBox.h"
#include "platform/RasterSurface.h"
#include "profile/data/DesktopService.h"
#include "profile/data/Session.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/StormType.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

constexpr int kModel = 1;

// The main window offscreen with the shipped convective sample (a June
// afternoon at KDTX) loaded.
class StormPanelsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.models.ModelCodes = {"eta"};
        session.config.MediaDrive = "Q";
        window = std::make_unique<FrmProfile>(session, desktop);
        window->SetMessageHandler([](const std::string&) {});
        window->resize(1480, 960);
        window->show();
        samples::SampleSpec spec;
        spec.site = "KDTX";
        spec.stationNumber = 726320;
        spec.lat = 42.70f;
        spec.lon = -83.47f;
        spec.elevation = 329.0f;
        spec.atmosphere = samples::Atmosphere::WarmSeasonConvective;
        spec.month = 6;
        spec.day = 15;
        spec.hour = 12;
        spec.times = 24;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("tarvex-storm-" + std::to_string(::getpid()) + "-eta_KDTX.buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        EXPECT_TRUE(window->LoadSoundingFile(path.string()));
        std::filesystem::remove(path);
        panels = window->stormPanels();
    }

    Session session;
    RecordingDesktopService desktop;
    std::unique_ptr<FrmProfile> window;
    StormPanels* panels = nullptr;
};

// The three panels of a convective afternoon at the sizes the window gives
// them, for a reviewer to look at.
TEST_F(StormPanelsTest, RendersTheConvectiveSampleForAReviewer) {
    window->vsbHour->setValue(9);
    RasterSurface cape(6495 / 15, 6375 / 15);
    PlotCapeShear(cape, session, 9, panels->CapeAxisTop());
    RasterSurface mbe(6615 / 15, 6495 / 15);
    PlotMBE(mbe, session, 9, panels->MbeScale());
    window->btnControl_Click(4);
    QApplication::processEvents();
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    EXPECT_TRUE(cape.Image().save(QString::fromStdString((out / "storm_type.png").string())));
    EXPECT_TRUE(mbe.Image().save(QString::fromStdString((out / "heavy_precip.png").string())));
    EXPECT_TRUE(window->pnlControl[4]->grab().save(
        QString::fromStdString((out / "storm_matrix_panel.png").string())));
}

} // namespace
} // namespace tarvex
