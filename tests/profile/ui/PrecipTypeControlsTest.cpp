#include "profile/ui/PrecipTypeControls.h"
#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "files/DesktopService.h"
#include "files/HistoryFile.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

// The main window with the winter sample loaded, showing "Precip Type".
class PrecipTypeWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.models.ModelCodes = {"eta"};
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->show();
        samples::SampleSpec spec;
        spec.times = 12;
        spec.hour = 0;
        spec.atmosphere = samples::Atmosphere::WinterWarmNose;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("tarvex-ptype-window-" + std::to_string(::getpid()) + "-eta_KALB.buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(window_->LoadSoundingFile(path.string()));
        std::filesystem::remove(path);
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
};

TEST_F(PrecipTypeWindow, StartLevelBarMethodAndTrailButtons) {
    window_->vsbHour->setValue(8);
    window_->btnDisplay_Click(6);
    PTypeResults& r = *session_.ptype;
    EXPECT_EQ(r.PTypeAreasDone(1, 8), kFlagTrue);

    window_->vbsElevatedPT->SetValue(4);
    EXPECT_EQ(session_.options.ElevatedPTLevel, 4);
    // Every hour was cleared; the panel worked out again the hour and the
    // hours of its trail, at most six before it, and nothing after it.
    EXPECT_EQ(r.PTypeAreasDone(1, 8), kFlagTrue);
    EXPECT_EQ(r.PTypeAreasDone(1, 1), kFlagFalse);
    for (int t = 9; t <= 11; ++t) EXPECT_EQ(r.PTypeAreasDone(1, t), kFlagFalse);

    // The thickness method: its caption, the trail's hours, no start-level
    // bar, the mandatory heights worked out, and kept in the history file.
    PrecipTypeControls& c = *window_->precipTypeControls();
    EXPECT_EQ(c.btnPrecipType->text().toStdString(), "Thickness");
    EXPECT_FALSE(c.btnTails->isVisible());
    c.btnPrecipType->click();
    EXPECT_EQ(c.btnPrecipType->text().toStdString(), "Energy");
    EXPECT_TRUE(c.btnTails->isVisible());
    EXPECT_FALSE(window_->vbsElevatedPT->Bar()->isVisible());
    EXPECT_EQ(session_.thickness->ThicknessReady(1), kFlagTrue);
    for (const char* next : {"12", "24", "48", "6"}) {
        c.btnTails->click();
        EXPECT_EQ(c.btnTails->text().toStdString(), next);
        EXPECT_EQ(c.TailHours(), std::stoi(next));
    }
    HistorySettings h = window_->CollectSettings();
    EXPECT_TRUE(h.UseThicknessMethod);
    h.UseThicknessMethod = false;
    c.ApplySettings(h);
    EXPECT_EQ(c.btnPrecipType->text().toStdString(), "Thickness");
    EXPECT_FALSE(c.btnTails->isVisible());
    EXPECT_TRUE(window_->vbsElevatedPT->Bar()->isVisible());

    // Another display never leaves the sleet panel showing.
    window_->precipTypeControls()->picSleet->show();
    window_->btnDisplay_Click(3);
    EXPECT_TRUE(window_->precipTypeControls()->picSleet->isHidden());
}

} // namespace
} // namespace tarvex
