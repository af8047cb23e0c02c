#include "profile/ui/FrmProfile.h"
#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/ui/LakeEffectPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

// The main window offscreen, with a generated sample run loaded.
class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-window-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta"};
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->SetMessageHandler([this](const std::string& text) { messages_.push_back(text); });
        window_->show();
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(folder_);
    }

    std::string Write(const std::string& name, const samples::SampleSpec& spec) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        return path.string();
    }

    samples::SampleSpec Spec(int times = 12) {
        samples::SampleSpec spec;
        spec.times = times;
        spec.levels = 67;
        spec.hour = 0;
        return spec;
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
    std::vector<std::string> messages_;
    std::filesystem::path folder_;
};

TEST_F(MainWindow, LoadingRangesTheHourBarAndShowsTheHour) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    EXPECT_EQ(window_->windowTitle().toStdString(), "Tarvex-  a Forecast Profile ZiveVoz");
    EXPECT_EQ(window_->vsbHour->maximum(), 11);
    session_.HoursPerColumn = 3;
    session_.config.TimeZoneOffset = 6;
    window_->vsbHour->setValue(4);
    EXPECT_EQ(window_->soundingView().CurrentColumn, 4);
    EXPECT_EQ(window_->lblHour->text().toStdString(), "12");
    // The run starts 9 December 2026 00 UTC; column 4 is 04 UTC.
    EXPECT_EQ(window_->lblDate->text().toStdString(), "12/09/26     4 Z");
    // Six hours behind UTC: the evening before.
    EXPECT_EQ(window_->lblLocal->text().toStdString(), "Tuesday   Dec 8  10:00 pm");
    window_->lblHour_Click();
    EXPECT_EQ(window_->soundingView().CurrentColumn, 0);
    EXPECT_EQ(window_->lblHour->text().toStdString(), "0");
}

TEST_F(MainWindow, HeldRedrawLeavesLabelsAndThenCatchesUp) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    window_->soundingView().SuspendRedraw = true;
    window_->vsbHour->setValue(5);
    EXPECT_EQ(window_->lblHour->text().toStdString(), "0");
    window_->soundingView().SuspendRedraw = false;
    window_->ShowHour();
    EXPECT_EQ(window_->lblHour->text().toStdString(), "5");
}

TEST_F(MainWindow, AShorterFileBringsTheHourBack) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec(20))));
    window_->vsbHour->setValue(15);
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KALB.buf", Spec(6))));
    EXPECT_EQ(window_->vsbHour->maximum(), 5);
    EXPECT_EQ(window_->soundingView().CurrentColumn, 5);
}

TEST_F(MainWindow, ABadFileIsReportedAndTheSoundingStays) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    window_->vsbHour->setValue(3);
    samples::SampleSpec bad = Spec(4);
    bad.variant = samples::Variant::Truncated;
    const std::string path = Write("eta_BAD.buf", bad);
    EXPECT_FALSE(window_->LoadSoundingFile(path));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(path), std::string::npos);
    EXPECT_NE(messages_[0].find("the file ends early"), std::string::npos);
    EXPECT_EQ(window_->vsbHour->maximum(), 11);
    EXPECT_EQ(session_.profile->LastTime(1), 11);
    EXPECT_FALSE(window_->soundingView().SuspendRedraw);
    window_->vsbHour->setValue(4); // the window still works
    EXPECT_EQ(window_->soundingView().CurrentColumn, 4);
}

TEST_F(MainWindow, DisplaySwitchShowsOnePanelAndRemembersTheLastMode) {
    window_->btnDisplay_Click(4);
    EXPECT_TRUE(window_->picCape->isVisible());
    EXPECT_TRUE(window_->pnlShear->isVisible());
    EXPECT_FALSE(window_->pnlMap->isVisible());
    EXPECT_FALSE(window_->picProfile->isVisible());
    EXPECT_TRUE(window_->btnDisplay[4]->isChecked());
    window_->btnDisplay_Click(6);
    window_->btnDisplay_Click(FrmProfile::kFileListMode);
    window_->btnDisplay_Click(FrmProfile::kFileListMode);
    EXPECT_TRUE(window_->picFiles->isVisible());
    for (QPushButton* b : window_->btnDisplay) EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(window_->PreviousDisplayMode(), 6);
    window_->btnDisplay_Click(window_->PreviousDisplayMode());
    EXPECT_EQ(window_->DisplayMode(), 6);
    EXPECT_TRUE(window_->picPrecipType->isVisible());
    EXPECT_FALSE(window_->picFiles->isVisible());
    window_->btnDisplay_Click(1);
    EXPECT_TRUE(window_->pnlMap->isVisible());
    window_->btnDisplay_Click(1); // the same mode again
    EXPECT_EQ(window_->PreviousDisplayMode(), 1);
    window_->btnDisplay_Click(42); // no such panel: nothing changes
    EXPECT_TRUE(window_->picMap->isVisible());
}

TEST_F(MainWindow, DisplayButtonsPassTheirWordInHelpMode) {
    auto& training = session_.help.Training;
    training.TrainingKey.push_back("INDICIES");
    training.TrainingAction.push_back("training/indices.html|");
    training.TrainingKey.push_back("HEAVY PRECIP");
    training.TrainingAction.push_back("training/heavy.html|");
    session_.help.TrainingMode = true;
    window_->btnDisplay[3]->click();
    EXPECT_EQ(window_->DisplayMode(), 3); // the button does its own work too
    session_.help.TrainingMode = true;
    window_->btnDisplay[5]->click();
    ASSERT_EQ(desktop_.requests.size(), 2u);
    EXPECT_EQ(desktop_.requests[0].target, "training/indices.html");
    EXPECT_EQ(desktop_.requests[1].target, "training/heavy.html");
    // The fixed picture passes no word: help mode stays armed.
    session_.help.TrainingMode = true;
    window_->btnDisplay_Click(9);
    EXPECT_TRUE(session_.help.TrainingMode);
}

TEST_F(MainWindow, ScrollBarKeysStepTheHoursFromAnyButton) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    // A click on the bar gives it the keys.
    EXPECT_TRUE(window_->vsbHour->focusPolicy() & Qt::ClickFocus);
    window_->btnHelp->setFocus(); // where every button click leaves it
    auto key = [this](int code) {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(window_->btnHelp, &event);
        return window_->soundingView().CurrentColumn;
    };
    // Each key of a pair steps its own way, and each stops at its end.
    EXPECT_EQ(key(Qt::Key_Down), 1);
    EXPECT_EQ(key(Qt::Key_Right), 2);
    EXPECT_EQ(key(Qt::Key_Left), 1);
    EXPECT_EQ(key(Qt::Key_End), 11);
    EXPECT_EQ(key(Qt::Key_Down), 11);
    EXPECT_EQ(key(Qt::Key_Up), 10);
    EXPECT_EQ(key(Qt::Key_Home), 0);
    EXPECT_EQ(key(Qt::Key_Up), 0);
    const int page = window_->vsbHour->pageStep();
    ASSERT_TRUE(page > 1 && page < 11);
    EXPECT_EQ(key(Qt::Key_PageDown), page);
    EXPECT_EQ(key(Qt::Key_PageDown), 11);
    EXPECT_EQ(key(Qt::Key_PageUp), 11 - page);
    EXPECT_EQ(window_->focusWidget(), window_->btnHelp);
}

TEST_F(MainWindow, SkewOptionSwapsTheTemperatureAxis) {
    session_.temperatureAxis.ProfileLeftTemp = -40;
    session_.temperatureAxis.ProfileRightTemp = 40;
    window_->chkSkewT->click();
    EXPECT_FALSE(window_->soundingView().options.SkewT);
    EXPECT_EQ(session_.temperatureAxis.LeftTemp, -40);
    EXPECT_EQ(session_.temperatureAxis.RightTemp, 40);
    window_->chkSkewT->click();
    EXPECT_EQ(session_.temperatureAxis.LeftTemp, -60);
    window_->chkDryAdiabats->click();
    EXPECT_TRUE(window_->soundingView().options.DryAdiabats);
}

TEST_F(MainWindow, LevelBarsSpanTheNewFileAndKeepTheLayerDeep) {
    session_.parameters.ModelLevelStep = 2;
    session_.config.SigmaLevelPressure = 850;
    window_->vbsElevatedPT->SetValue(5);
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    const ProfileArrays& s = *session_.profile;
    EXPECT_EQ(window_->vsbSigmaLevel->Minimum(), 67 - 2 - 1);
    EXPECT_EQ(window_->vsbSigmaLevel->Maximum(), 2);
    EXPECT_EQ(window_->vsbSigmaLevel->Value(), FindPressureLevel(s, 850));
    EXPECT_EQ(window_->soundingView().SigmaLevel, FindPressureLevel(s, 850));
    EXPECT_EQ(window_->vsbMeanFlow[0]->Minimum(), 65);
    EXPECT_EQ(window_->vsbMeanFlow[0]->Value(), 1);
    EXPECT_EQ(window_->vsbMeanFlow[1]->Value(), FindPressureLevel(s, 700));
    EXPECT_EQ(window_->lblMeanFlow[1]->text().toInt(), FindPressureLevel(s, 700));
    // Every read starts the precipitation-type evaluation at the ground.
    EXPECT_EQ(window_->vbsElevatedPT->Value(), 1);
    EXPECT_EQ(session_.options.ElevatedPTLevel, 1);

    // Moving the lower bound onto the upper one pushes it one level further.
    const int upper = window_->vsbMeanFlow[1]->Value();
    window_->vsbMeanFlow[0]->SetValue(upper);
    EXPECT_EQ(window_->vsbMeanFlow[0]->Value(), upper - 1);
    EXPECT_EQ(window_->soundingView().MeanFlowLevels[0], upper - 1);
    // A sigma level that does not fit the range takes the bar's maximum.
    session_.config.SigmaLevelPressure = 90;
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KALB.buf", Spec())));
    EXPECT_EQ(window_->vsbSigmaLevel->Value(), 2);
}

TEST_F(MainWindow, RaisedPrecipitationLevelRecomputesEveryHour) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    window_->vbsElevatedPT->SetValue(4);
    EXPECT_EQ(session_.options.ElevatedPTLevel, 4);
    for (int t = 0; t <= 11; ++t) EXPECT_EQ(session_.ptype->PTypeAreasDone(1, t), kFlagFalse);
}

TEST_F(MainWindow, MeanWindAndSigmaLevelExcludeEachOther) {
    // From the start, each box's bars show exactly while it is checked.
    EXPECT_TRUE(window_->chkSigmaLevel->isChecked()); // as the window is designed
    EXPECT_FALSE(window_->vsbMeanFlow[0]->Bar()->isVisible());
    EXPECT_FALSE(window_->lblMeanFlow[1]->isVisible());
    EXPECT_TRUE(window_->vsbSigmaLevel->Bar()->isVisible());
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    window_->chkMeanFlow->click();
    EXPECT_TRUE(window_->chkMeanFlow->isChecked());
    EXPECT_FALSE(window_->chkSigmaLevel->isChecked());
    EXPECT_TRUE(window_->soundingView().options.MeanFlow);
    EXPECT_FALSE(window_->soundingView().options.SigmaLevel);
    EXPECT_FALSE(window_->lblSigmaLevel->isVisible());
    EXPECT_TRUE(window_->lblMeanFlow[0]->isVisible());
    EXPECT_FALSE(window_->soundingView().SuspendRedraw);
    window_->chkSigmaLevel->click();
    EXPECT_FALSE(window_->chkMeanFlow->isChecked());
    EXPECT_TRUE(window_->lblSigmaLevel->isVisible());
}

TEST_F(MainWindow, EnergyMethodTypeShowsForEveryHour) {
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", Spec())));
    PTypeResults& ptype = *session_.ptype;
    for (int t = 0; t <= 11; ++t) ptype.PTypeEnergyCode(1, t) = 79;
    window_->chksWSYMb->click();
    EXPECT_TRUE(session_.options.UseBourgouinPType);
    for (int t = 0; t <= 11; ++t) EXPECT_EQ(ptype.PTypeCode(1, t), 79) << t;
    window_->chksWSYMb->click();
    for (int t = 0; t <= 11; ++t)
        EXPECT_EQ(ptype.PTypeCode(1, t), session_.profile->PTypeModelCode(1, t)) << t;
}

TEST_F(MainWindow, HelpModePassesTheOptionsWord) {
    session_.help.Training.TrainingKey.push_back("WET BULB ZERO");
    session_.help.Training.TrainingAction.push_back("training/convection.html|");
    session_.help.TrainingMode = true;
    window_->chkWBZ->click();
    EXPECT_TRUE(window_->chkWBZ->isChecked()); // the box does its own work too
    EXPECT_FALSE(session_.help.TrainingMode);
    ASSERT_EQ(desktop_.requests.size(), 1u);
    EXPECT_EQ(desktop_.requests[0].target, "training/convection.html");
}

// Writes the window for a reviewer: the summer sample at the afternoon
// hour, with every overlay of the sounding on.
TEST_F(MainWindow, RendersTheSoundingForAReviewer) {
    session_.temperatureAxis.SkewTLeftTemp = session_.temperatureAxis.LeftTemp = -40;
    session_.temperatureAxis.SkewTRightTemp = session_.temperatureAxis.RightTemp = 40;
    samples::SampleSpec spec = Spec(24);
    spec.hour = 12;
    ASSERT_TRUE(window_->LoadSoundingFile(Write("eta_KBUF.buf", spec)));
    for (QCheckBox* box :
         {window_->chkDryAdiabats, window_->chkWetBulb, window_->chkLines, window_->chkClouds,
          window_->chkInversions, window_->chkLCL, window_->chkLFC, window_->chkEQL,
          window_->chkWBZ, window_->chkCCL, window_->chkConvectiveTemp, window_->chkParcel,
          window_->chkCINS, window_->chk10MWind, window_->chkSnowGrowth, window_->chkRH,
          window_->chkWindVector, window_->chkMomentum, window_->ChkOmega}) {
        if (!box->isChecked()) box->click();
    }
    window_->vsbHour->setValue(8);
    const std::filesystem::path out = std::filesystem::path(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    const QImage shot = window_->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString((out / "main_window.png").string())));
    // The picture is not blank: the red temperature trace is on it.
    const QImage& sounding = window_->picData->Surface().Image();
    int red = 0;
    for (int y = 0; y < sounding.height(); y += 2)
        for (int x = 0; x < sounding.width(); x += 2)
            red += sounding.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 50);
}

} // namespace
} // namespace tarvex
