#include "profile/ui/PrecipTypeControls.h"
#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/data/DesktopService.h"
#include "profile/data/HistoryFile.h"
#include "profile/data/Session.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/ui/FrmProfile.h"

#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// The controls on their own, with the window's callbacks counted.
class PrecipTypeButtons : public ::testing::Test {
  protected:
    void SetUp() override {
        controls = std::make_unique<PrecipTypeControls>(
            session, view,
            PrecipTypeControls::Callbacks{
                [this] { ++redraws; }, [this](const std::string& w) { words.push_back(w); },
                [this] { ++focused; }, [this](bool on) { elevatedBar = on; }},
            &host);
        picture = new PictureBox(&host);
        controls->AttachPicture(picture);
        host.show();
    }
    std::string Caption(const QPushButton* b) const { return b->text().toStdString(); }

    Session session;
    SoundingView view;
    QWidget host;
    std::unique_ptr<PrecipTypeControls> controls;
    PictureBox* picture = nullptr;
    int redraws = 0;
    int focused = 0;
    bool elevatedBar = false;
    std::vector<std::string> words;
};

TEST_F(PrecipTypeButtons, MethodButtonSwitchesCaptionsAndCompanions) {
    EXPECT_EQ(Caption(controls->btnPrecipType), "Thickness");
    EXPECT_FALSE(controls->btnTails->isVisible());
    EXPECT_TRUE(elevatedBar);
    controls->picPrecipType_Click();
    controls->btnPrecipType->click();
    EXPECT_TRUE(controls->UseThicknessMethod());
    EXPECT_EQ(Caption(controls->btnPrecipType), "Energy");
    EXPECT_TRUE(controls->btnTails->isVisible());
    EXPECT_FALSE(elevatedBar);
    EXPECT_EQ(redraws, 1);
    controls->picPrecipType_Click();
    controls->btnPrecipType->click();
    EXPECT_EQ(Caption(controls->btnPrecipType), "Thickness");
    EXPECT_FALSE(controls->btnTails->isVisible());
    EXPECT_TRUE(elevatedBar);
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(words, (std::vector<std::string>{"Precip Type Energy", "Precip Type Thickness"}));

    // The method goes to the history file and comes back from it.
    HistorySettings h;
    controls->btnPrecipType->click();
    controls->CollectSettings(h);
    EXPECT_TRUE(h.UseThicknessMethod);
    h.UseThicknessMethod = false;
    controls->ApplySettings(h);
    EXPECT_EQ(Caption(controls->btnPrecipType), "Thickness");
    EXPECT_FALSE(controls->btnTails->isVisible());
    EXPECT_EQ(redraws, 3); // applying the file draws nothing
}

TEST_F(PrecipTypeButtons, TailsStepThroughTheirHours) {
    controls->btnPrecipType->click();
    EXPECT_EQ(Caption(controls->btnTails), "6");
    for (const char* next : {"12", "24", "48", "6"}) {
        controls->btnTails->click();
        EXPECT_EQ(Caption(controls->btnTails), next);
        EXPECT_EQ(controls->TailHours(), std::stoi(next));
    }
    EXPECT_EQ(redraws, 1 + 4);
    EXPECT_EQ(focused, 4);
}

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

TEST_F(PrecipTypeWindow, StartLevelBarRecomputesTheHoursItDraws) {
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

    // The thickness method hides the bar and reads the mandatory heights.
    window_->precipTypeControls()->btnPrecipType->click();
    EXPECT_FALSE(window_->vbsElevatedPT->Bar()->isVisible());
    EXPECT_EQ(session_.thickness->ThicknessReady(1), kFlagTrue);
    EXPECT_TRUE(window_->CollectSettings().UseThicknessMethod);

    // Another display never leaves the sleet panel showing.
    window_->precipTypeControls()->picSleet->show();
    window_->btnDisplay_Click(3);
    EXPECT_TRUE(window_->precipTypeControls()->picSleet->isHidden());
}

} // namespace
} // namespace tarvex
