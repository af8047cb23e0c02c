#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "files/DesktopService.h"
#include "files/DisplaySettingsFile.h"
#include "files/Session.h"
#include "files/SlotFixture.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "platform/PrintImage.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/HodographPanel.h"
#include "profile/ui/HourAnimation.h"
#include "profile/ui/LakeEffectPanel.h"
#include "profile/ui/PrecipTypeControls.h"
#include "shell/FrmHelp.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

// The main window offscreen with a generated 12-hour run of 67 levels, its
// settings folder in a folder of the test.
class WindowControls : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tarvex-controls-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        session_.models.ModelCodes = {"eta"};
        session_.UserName = "ops";
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->SetMessageHandler([this](const std::string& text) { messages_.push_back(text); });
        window_->SetSettingsBase((folder_ / "settings").string());
        window_->SetProgramFolder(folder_.string());
        window_->SetQuitHandler([] {});
        window_->show();
        samples::SampleSpec spec;
        spec.times = 12;
        spec.levels = 67;
        spec.hour = 0;
        const fs::path path = folder_ / "eta_KBUF.buf";
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(window_->LoadSoundingFile(path.string()));
    }
    void TearDown() override {
        window_.reset();
        fs::remove_all(folder_);
    }

    fs::path Slot(int k) const { return folder_ / "settings" / ("ops.SP" + std::to_string(k)); }
    float LevelPressure(int L) const {
        return session_.profile->Pressure(session_.profile->CurrentModel, 0, L);
    }

    // A slot in which every item differs from the window's start, its level
    // bars on levels 10, 4 and 12 of the run.
    DisplaySettings Changed() const {
        DisplaySettings d = test::ChangedSlot();
        d.chkAngle = {1, 0, 1, 0, 1};
        d.SigmaLevelPressure = LevelPressure(10);
        d.MeanFlowPressure = {LevelPressure(4), LevelPressure(12)};
        return d;
    }

    bool WriteSlot(int k, const DisplaySettings& d) const {
        fs::create_directories(folder_ / "settings");
        return WriteDisplaySettings(Slot(k), d).ok;
    }

    std::string SlotText(int k) const {
        std::ifstream in(Slot(k), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
    std::vector<std::string> messages_;
    fs::path folder_;
};

bool Bold(const QPushButton* button) {
    return button->font().bold();
}

TEST(HourAnimation, StepsPausesOnTheLastHourAndWraps) {
    // A fake clock: each tick comes the returned interval after the last.
    // Last column 3, rate 100 ms, delay 500 ms, from column 0.
    int clock = 0;
    int interval = 100;
    int hour = 0;
    std::vector<std::pair<int, int>> shown; // (time, hour)
    for (int tick = 0; tick < 6; ++tick) {
        clock += interval;
        const AnimationStep step = NextAnimationStep(hour, 3, 100, 500);
        hour = step.hour;
        interval = step.interval;
        shown.emplace_back(clock, hour);
    }
    const std::vector<std::pair<int, int>> expected = {{100, 1}, {200, 2},  {300, 3},
                                                       {900, 0}, {1000, 1}, {1100, 2}};
    EXPECT_EQ(shown, expected);
    // A single column stays put; a delay of 0 makes the last hour like any.
    EXPECT_EQ(NextAnimationStep(0, 0, 100, 500).hour, 0);
    EXPECT_EQ(NextAnimationStep(0, 0, 100, 500).interval, 100);
    EXPECT_EQ(NextAnimationStep(1, 2, 40, 0).interval, 40);
}

TEST_F(WindowControls, TheLoopButtonRunsTheTimerOverTheHours) {
    window_->hsbRate->setValue(250);
    window_->hsbDelay->setValue(1000);
    window_->vsbHour->setValue(10);
    window_->btnAutoDisplay->click();
    EXPECT_TRUE(window_->AutoDisplayOn());
    EXPECT_TRUE(window_->btnAutoDisplay->isChecked());
    EXPECT_TRUE(window_->timerAutoDisplay->isActive());
    EXPECT_EQ(window_->timerAutoDisplay->interval(), 250);
    window_->timerAutoDisplay_Timer(); // onto the last column, 11
    EXPECT_EQ(window_->soundingView().CurrentColumn, 11);
    EXPECT_EQ(window_->timerAutoDisplay->interval(), 1250);
    window_->hsbRate->setValue(300); // takes effect at once
    EXPECT_EQ(window_->timerAutoDisplay->interval(), 300);
    window_->timerAutoDisplay_Timer();
    EXPECT_EQ(window_->soundingView().CurrentColumn, 0);
    // Opening the overview and closing the window stop it.
    window_->StopAnimation();
    EXPECT_FALSE(window_->timerAutoDisplay->isActive());
    EXPECT_FALSE(window_->btnAutoDisplay->isChecked());
    window_->btnAutoDisplay->click();
    window_->close();
    EXPECT_FALSE(window_->AutoDisplayOn());
    // With no sounding a tick does nothing.
    session_.profile->LastTime(session_.profile->CurrentModel) = -1;
    window_->vsbHour->setValue(5);
    window_->timerAutoDisplay_Timer();
    EXPECT_EQ(window_->vsbHour->value(), 5);
}

TEST_F(WindowControls, PanelsOpenSwitchCloseAndTheStoredPanelReopens) {
    auto open = [this] {
        std::vector<int> shown;
        for (int k = 0; k < FrmProfile::kControlPanels; ++k)
            if (window_->pnlControl[static_cast<std::size_t>(k)]->isVisible()) shown.push_back(k);
        return shown;
    };
    window_->btnControl[2]->click();
    EXPECT_EQ(open(), std::vector<int>{2});
    window_->btnControl[5]->click();
    EXPECT_EQ(open(), std::vector<int>{5});
    EXPECT_TRUE(window_->btnControl[5]->isChecked());
    window_->btnControl[5]->click();
    EXPECT_TRUE(open().empty());
    EXPECT_EQ(window_->ActivePanel(), FrmProfile::kNoPanel);
    // A slot saved with panel 3 open opens it again, also when it is open.
    window_->btnControl[3]->click();
    window_->btnSave_Click(0);
    window_->btnControl[3]->click();
    window_->btnRecall_Click(0);
    EXPECT_EQ(open(), std::vector<int>{3});
    window_->btnRecall_Click(0);
    EXPECT_EQ(open(), std::vector<int>{3});
}

TEST_F(WindowControls, HelpModeOpensTheWordsPagesOnlyForAUsersClick) {
    TrainingTable& table = session_.help.Training;
    table.TrainingKey.push_back("LOOP");
    table.TrainingAction.push_back("loop.htm|");
    table.TrainingKey.push_back("VECTOR WINDS");
    table.TrainingAction.push_back("winds.htm|");
    window_->picLogo_Click();
    window_->btnControl[1]->click(); // "Alerts" is no key: help mode stays armed
    EXPECT_TRUE(session_.help.TrainingMode);
    EXPECT_TRUE(desktop_.requests.empty());
    // A recall sets "Vector Winds" by code: no page opens.
    DisplaySettings d;
    d.chkWindVector = 1;
    ASSERT_TRUE(WriteSlot(1, d));
    window_->btnRecall_Click(1);
    EXPECT_TRUE(window_->chkWindVector->isChecked());
    EXPECT_TRUE(desktop_.requests.empty());
    EXPECT_TRUE(session_.help.TrainingMode);
    window_->btnControl[2]->click(); // "Loop": its page, then disarmed
    ASSERT_EQ(desktop_.requests.size(), 1u);
    EXPECT_EQ(desktop_.requests[0].target, "loop.htm");
    EXPECT_FALSE(session_.help.TrainingMode);
    EXPECT_EQ(desktop_.pointers.back(), PointerShape::Default);
    EXPECT_TRUE(window_->pnlControl[2]->isVisible());

    // A press on a panel picture, or on an open control panel's own frame,
    // names its topic.
    table.TrainingKey.push_back("INDICIES");
    table.TrainingAction.push_back("indices.htm|");
    table.TrainingKey.push_back("KESTIR");
    table.TrainingAction.push_back("kestir.htm|");
    for (QWidget* pressed : {static_cast<QWidget*>(window_->picIndices),
                             static_cast<QWidget*>(window_->pnlControl[2])}) {
        window_->picLogo_Click();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2),
                          pressed->mapToGlobal(QPointF(2, 2)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(pressed, &press);
    }
    ASSERT_EQ(desktop_.requests.size(), 3u);
    EXPECT_EQ(desktop_.requests[1].target, "indices.htm");
    EXPECT_EQ(desktop_.requests[2].target, "kestir.htm");

    // A page that cannot be opened, and a browser that cannot be started,
    // are named with the reason.
    EXPECT_TRUE(messages_.empty());
    session_.help.BrowserPath = "/opt/none/browser";
    table.TrainingAction.back() = "kestir.htm|Matrix!matrix.htm|";
    desktop_.failing = {"kestir.htm", "/opt/none/browser"};
    window_->picLogo_Click();
    window_->RunControlCommand("KESTIR");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], "The help page \"kestir.htm\" could not be opened: the file is missing "
                            "or no program of this desktop opens it.");
    EXPECT_EQ(messages_[1], "The help page \"matrix.htm\" could not be opened: the web browser "
                            "\"/opt/none/browser\" named in the configuration could not be "
                            "started.");
}

TEST_F(WindowControls, EverySlotRestoresEveryControl) {
    for (int k = 0; k < 4; ++k) {
        DisplaySettings d = Changed();
        d.DisplayMode = static_cast<std::int16_t>(k + 5);
        ASSERT_TRUE(WriteSlot(k, d));
        window_->btnRecall_Click(k);
        const SoundingView& view = window_->soundingView();
        EXPECT_TRUE(window_->chkWindVector->isChecked());
        EXPECT_TRUE(window_->btnColorWinds->isVisible());
        EXPECT_TRUE(window_->pnlRH->isVisible());
        EXPECT_FALSE(window_->chkSkewT->isChecked());
        EXPECT_EQ(window_->btnVWPInterval->text(), "3");
        EXPECT_EQ(window_->btnVWPIntervalA->text(), "A2");
        EXPECT_TRUE(Bold(window_->btnVWPIntervalA));
        EXPECT_FALSE(Bold(window_->btnVWPInterval));
        EXPECT_TRUE(Bold(window_->btnPHK[2]));
        EXPECT_TRUE(Bold(window_->btnXfer[3]));
        EXPECT_FALSE(Bold(window_->btnXfer[1]));
        EXPECT_TRUE(window_->btnPHK[2]->font().underline()); // the read-out marker
        EXPECT_EQ(session_.temperatureAxis.LeftTemp, -40);
        EXPECT_EQ(session_.profile->DiagramTopPressure, 200);
        EXPECT_EQ(window_->lakePanel()->vsbLakeF->Value(), 40);
        EXPECT_EQ(window_->ActivePanel(), 2);
        EXPECT_TRUE(window_->chkAngle[4]->isChecked());
        EXPECT_TRUE(window_->chkMeanFlow->isChecked());
        EXPECT_EQ(window_->vsbSigmaLevel->Value(), 10);
        EXPECT_EQ(view.MeanFlowLevels, (std::array<std::int16_t, 2>{4, 12}));
        EXPECT_EQ(window_->DisplayMode(), k + 5);
        const PrecipTypeControls& ptype = *window_->precipTypeControls();
        EXPECT_TRUE(ptype.UseThicknessMethod());
        EXPECT_EQ(ptype.btnPrecipType->text(), "Energy");
        EXPECT_FALSE(ptype.btnTails->isHidden());
        EXPECT_TRUE(window_->vbsElevatedPT->Bar()->isHidden());
        EXPECT_EQ(session_.history.HodoTopKm, 6.0f);
        EXPECT_EQ(session_.history.HodoBaseKm, 1.0f);
        EXPECT_FALSE(view.SuspendRedraw);
        // Saved again, the slot reads back byte by byte.
        const std::string before = SlotText(k);
        window_->btnSave_Click(k);
        EXPECT_EQ(SlotText(k), before) << k;
    }
    EXPECT_TRUE(messages_.empty());
    // A top below the ground of the run would leave the diagram no height.
    DisplaySettings low;
    low.TopPressure = 1100;
    ASSERT_TRUE(WriteSlot(2, low));
    window_->btnRecall_Click(2);
    EXPECT_EQ(session_.profile->DiagramTopPressure, 200);
}

// Each check box of the slot is saved to its own item and recalled from it:
// over seven patterns every box carries a code of its own, so two boxes
// stored one as the other show. The sigma-level and mean-flow boxes, which
// a recall never leaves both checked, carry codes that are never both set.
TEST_F(WindowControls, EachBoxOfTheSlotIsSavedAndRecalledAsItself) {
    DisplaySettings d;
    const LakeEffectPanel& lake = *window_->lakePanel();
    FrmProfile& w = *window_;
    std::vector<std::pair<QCheckBox*, DisplaySettings::Check*>> boxes = {
        {w.chkWindVector, &d.chkWindVector},
        {w.chkWindDigital, &d.chkWindDigital},
        {w.ChkOmega, &d.ChkOmega},
        {w.chk10MWind, &d.chk10MWind},
        {w.chkRH, &d.chkRH},
        {w.chkWetBulb, &d.chkWetBulb},
        {w.chkInversions, &d.chkInversions},
        {w.chkSnowGrowth, &d.chkSnowGrowth},
        {w.chksWSYMb, &d.chksWSYMb},
        {w.chkSkewT, &d.chkSkewT},
        {w.chkLines, &d.chkLines},
        {w.chkDryAdiabats, &d.chkDryAdiabats},
        {w.chkClouds, &d.chkClouds},
        {lake.chkLakeIndex, &d.chkLakeIndex},
        {lake.chkMoistLakeIndex, &d.chkMoistLakeIndex},
        {lake.chkLIC, &d.chkLIC},
        {w.chkLCL, &d.chkLCL},
        {w.chkECAPE, &d.chkECAPE},
        {w.chkCCL, &d.chkCCL},
        {w.chkConvectiveTemp, &d.chkConvectiveTemp},
        {w.chkWBZ, &d.chkWBZ},
        {w.chkLFC, &d.chkLFC},
        {w.chkEQL, &d.chkEQL},
        {w.chkParcel, &d.chkParcel},
        {w.chkCINS, &d.chkCINS},
        {w.chkBrightBand, &d.chkBrightBand},
        {w.chkActiveReadout, &d.chkActiveReadout},
        {w.chkIcing, &d.chkIcing},
        {w.chkMomentum, &d.chkMomentum}};
    for (std::size_t k = 0; k < w.chkAngle.size(); ++k)
        boxes.emplace_back(w.chkAngle[k], &d.chkAngle[k]);
    std::vector<unsigned> codes;
    for (std::size_t k = 0; k < boxes.size(); ++k) codes.push_back(static_cast<unsigned>(k) + 1);
    boxes.emplace_back(w.chkSigmaLevel, &d.chkSigmaLevel);
    boxes.emplace_back(w.chkMeanFlow, &d.chkMeanFlow);
    codes.insert(codes.end(), {40u, 127u - 40u});
    auto name = [](const QCheckBox* box) { return box->objectName().toStdString(); };
    for (unsigned bit = 0; bit < 7; ++bit) {
        for (std::size_t k = 0; k < boxes.size(); ++k)
            boxes[k].first->setChecked(((codes[k] >> bit) & 1u) != 0);
        window_->btnSave_Click(0);
        ASSERT_TRUE(ReadDisplaySettings(Slot(0), d).ok);
        for (const auto& [box, item] : boxes)
            EXPECT_EQ(*item, box->isChecked() ? 1 : 0) << name(box) << " pattern " << bit;
        // The other way: every box recalled to the opposite state.
        for (const auto& [box, item] : boxes) *item = box->isChecked() ? 0 : 1;
        ASSERT_TRUE(WriteSlot(1, d));
        window_->btnRecall_Click(1);
        for (const auto& [box, item] : boxes)
            EXPECT_EQ(box->isChecked(), *item == 1) << name(box) << " pattern " << bit;
    }
}

// Recalled and saved again, a slot comes back byte by byte; over the two
// slots no two of the buttons' items are equal in both, so an item saved as
// another shows.
TEST_F(WindowControls, ButtonItemsAreSavedAsRecalled) {
    DisplaySettings one = Changed();
    one.VerticalUnit = 0;
    one.ReadoutUnit = 1;
    one.VWPIntervalA = 2;
    one.VWPInterval = 3;
    one.MomentumXferIndex = 0;
    one.ColorWinds = -1;
    one.DigitalWindStyle = 0;
    one.OmegaFiltered = 0;
    one.UseThicknessMethod = -1;
    DisplaySettings two = one;
    two.VerticalUnit = 2;
    two.ReadoutUnit = 0;
    two.VWPIntervalA = 1;
    two.MomentumXferIndex = 3;
    two.ColorWinds = 0;
    two.DigitalWindStyle = -1;
    two.UseThicknessMethod = -1;
    for (const DisplaySettings& d : {one, two}) {
        ASSERT_TRUE(WriteSlot(1, d));
        window_->btnRecall_Click(1);
        window_->btnSave_Click(2);
        EXPECT_EQ(SlotText(2), FormatDisplaySettings(d));
    }
}

// A settings folder that cannot be made sends the slots to the current folder
// and says so once, at the first save, naming the folder.
TEST_F(WindowControls, AnUnwritableSettingsFolderIsToldOnceAndTheSlotsStillWork) {
    std::ofstream(folder_ / "blocker") << "a file where the folder should be";
    window_->SetSettingsBase((folder_ / "blocker" / "settings").string());
    const fs::path started = fs::current_path();
    fs::current_path(folder_);
    window_->btnSave_Click(0);
    window_->btnSave_Click(1);
    window_->btnRecall_Click(0);
    fs::current_path(started);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("\"" + (folder_ / "blocker" / "settings").string() +
                                "\" cannot be written"),
              std::string::npos)
        << messages_[0];
    EXPECT_TRUE(fs::exists(folder_ / "ops.SP0"));
    EXPECT_TRUE(fs::exists(folder_ / "ops.SP1"));
}

// The method in force goes into the slot, and a recall sets it through the
// panel's controls, which then draw the thickness chart.
TEST_F(WindowControls, ASlotKeepsThePrecipTypeMethodInForce) {
    window_->btnDisplay_Click(6);
    PrecipTypeControls& ptype = *window_->precipTypeControls();
    ptype.btnPrecipType->click(); // thickness
    window_->btnSave_Click(1);
    ptype.btnPrecipType->click(); // energy
    ASSERT_FALSE(ptype.UseThicknessMethod());
    session_.thickness->ThicknessReady(1) = kFlagFalse;
    window_->btnRecall_Click(1);
    EXPECT_TRUE(ptype.UseThicknessMethod());
    EXPECT_EQ(session_.thickness->ThicknessReady(1), kFlagTrue); // the thickness chart drawn
    EXPECT_EQ(ptype.btnPrecipType->text(), "Energy");
    EXPECT_TRUE(ptype.btnTails->isVisible());
    EXPECT_FALSE(window_->vbsElevatedPT->Bar()->isVisible());
    // In help mode the picture names the method in force, once.
    session_.help.Training.TrainingKey = {"", "PRECIP TYPE ENERGY", "PRECIP TYPE THICKNESS"};
    session_.help.Training.TrainingAction = {"", "energy.htm|", "thickness.htm|"};
    window_->picLogo_Click();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(
            type, QPointF(2, 2), window_->picPrecipType->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window_->picPrecipType, &event);
    }
    ASSERT_EQ(desktop_.requests.size(), 1u);
    EXPECT_EQ(desktop_.requests[0].target, "thickness.htm");
}

// A recall checks the stored pairs against themselves, as a user's moves
// would, and returns to the mode shown before it.
TEST_F(WindowControls, ARecallKeepsItsPairsInOrder) {
    window_->hodographPanel()->btnHodoHeight[8]->click();
    window_->hodographPanel()->btnHodoBase[4]->click();
    ASSERT_EQ(session_.history.HodoTopKm, 8.0f);
    ASSERT_EQ(session_.history.HodoBaseKm, 4.0f);
    window_->btnDisplay_Click(3);
    DisplaySettings d;
    d.HodoTop = 3.0f;
    d.HodoBase = 1.0f;
    d.MeanFlowPressure = {LevelPressure(20), LevelPressure(20) + 0.4f};
    d.DisplayMode = 5;
    ASSERT_TRUE(WriteSlot(1, d));
    window_->btnRecall_Click(1);
    EXPECT_EQ(session_.history.HodoTopKm, 3.0f);
    EXPECT_EQ(session_.history.HodoBaseKm, 1.0f);
    EXPECT_GT(session_.hodograph->HodoTopLevel(1, 0), session_.hodograph->HodoBaseLevel(1, 0));
    EXPECT_EQ(window_->soundingView().MeanFlowLevels, (std::array<std::int16_t, 2>{20, 21}));
    EXPECT_EQ(window_->DisplayMode(), 5);
    EXPECT_EQ(window_->PreviousDisplayMode(), 3);
    // Upside down: the upper bar stops above the lower one.
    d.MeanFlowPressure = {LevelPressure(30), LevelPressure(10)};
    ASSERT_TRUE(WriteSlot(1, d));
    window_->btnRecall_Click(1);
    EXPECT_EQ(window_->soundingView().MeanFlowLevels, (std::array<std::int16_t, 2>{30, 31}));
    EXPECT_EQ(window_->PreviousDisplayMode(), 5);
    // A pair upside down itself leaves the layer as it was.
    d.HodoTop = 1.0f;
    d.HodoBase = 2.0f;
    ASSERT_TRUE(WriteSlot(1, d));
    window_->btnRecall_Click(1);
    EXPECT_EQ(session_.history.HodoTopKm, 3.0f);
    EXPECT_EQ(session_.history.HodoBaseKm, 1.0f);
}

// A slot cut short anywhere (or a line long) would put its items on other
// controls: it is refused with a message and changes nothing; the whole
// slot is applied.
TEST_F(WindowControls, ASlotOfAnotherLineCountChangesNothing) {
    window_->btnSave_Click(0); // the start state
    window_->btnRecall_Click(0);
    const std::string start = FormatDisplaySettings(window_->CollectDisplaySettings());
    DisplaySettings changed = Changed();
    changed.chkSkewT = 1; // skew-T copies a temperature pair of its own
    changed.LeftTemp = changed.SkewTLeftTemp;
    changed.RightTemp = changed.SkewTRightTemp;
    const std::string full = FormatDisplaySettings(changed);
    for (std::size_t k = 0; k <= 55; ++k) {
        window_->btnRecall_Click(0);
        messages_.clear();
        std::string lines;
        for (std::size_t at = 0, line = 0; line < k; ++line) {
            const std::size_t end = full.find("\r\n", at);
            lines += end == std::string::npos ? " 1 \r\n" : full.substr(at, end + 2 - at);
            at = end == std::string::npos ? at : end + 2;
        }
        std::ofstream(Slot(1), std::ios::binary) << lines;
        window_->btnRecall_Click(1);
        const std::string now = FormatDisplaySettings(window_->CollectDisplaySettings());
        EXPECT_EQ(now, k == 54 ? full : start) << k << " lines";
        EXPECT_EQ(messages_.size(), k == 54 ? 0u : 1u) << k << " lines";
    }
    EXPECT_NE(messages_.at(0).find("ops.SP1"), std::string::npos);
}

// A slot that is there but cannot be opened is told, not taken for a slot
// never saved; temperature-axis ends no sounding reaches are recalled within
// the temperatures a sounding can hold.
TEST_F(WindowControls, AnUnreadableSlotIsToldAndFarAxisEndsAreBounded) {
    fs::create_directories(folder_ / "settings");
    fs::create_symlink(Slot(2), Slot(2)); // a link to itself
    window_->btnRecall_Click(2);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("ops.SP2\" cannot be recalled: the file cannot be opened (Too "
                                "many levels of symbolic links). Nothing was changed."),
              std::string::npos)
        << messages_[0];

    DisplaySettings far = Changed();
    far.SkewTLeftTemp = far.ProfileLeftTemp = far.LeftTemp = -32767;
    far.SkewTRightTemp = far.ProfileRightTemp = far.RightTemp = 32767;
    ASSERT_TRUE(WriteSlot(3, far));
    window_->btnRecall_Click(3);
    const TemperatureAxisEnds& axis = session_.temperatureAxis;
    for (std::int16_t left : {axis.SkewTLeftTemp, axis.ProfileLeftTemp, axis.LeftTemp})
        EXPECT_EQ(left, -150);
    for (std::int16_t right : {axis.SkewTRightTemp, axis.ProfileRightTemp, axis.RightTemp})
        EXPECT_EQ(right, 80);
    // Ends within the bounds stand as stored.
    far.SkewTLeftTemp = far.ProfileLeftTemp = far.LeftTemp = -149;
    far.SkewTRightTemp = far.ProfileRightTemp = far.RightTemp = 79;
    ASSERT_TRUE(WriteSlot(3, far));
    window_->btnRecall_Click(3);
    EXPECT_EQ(axis.LeftTemp, -149);
    EXPECT_EQ(axis.SkewTRightTemp, 79);
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(WindowControls, AboutShowsOneWindowMadeAgainAfterOK) {
    window_->btnHelp->click();
    FrmHelp* about = window_->AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    window_->btnHelp->click();
    EXPECT_EQ(window_->AboutWindow(), about);
    about->btnOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->AboutWindow(), nullptr);
    window_->btnHelp->click();
    ASSERT_NE(window_->AboutWindow(), nullptr);
    EXPECT_EQ(window_->AboutWindow()->pnlProfile->text().toStdString(), "ZiveVoz");
}

TEST_F(WindowControls, AnInnerHoldNeverEndsAnOuterOne) {
    // Inside a batch, checking "Mean Wind" unchecks "Sigma Level" under a
    // hold of its own; the batch's hold outlives it.
    ASSERT_TRUE(window_->chkSigmaLevel->isChecked());
    {
        const SuspendRedrawScope batch(window_->soundingView());
        window_->chkMeanFlow->click();
        EXPECT_FALSE(window_->chkSigmaLevel->isChecked());
        EXPECT_TRUE(window_->soundingView().SuspendRedraw);
    }
    EXPECT_FALSE(window_->soundingView().SuspendRedraw);
}

TEST_F(WindowControls, MeanFlowBarsNeverCross) {
    window_->vsbMeanFlow[1]->SetValue(10);
    window_->vsbMeanFlow[0]->SetValue(15); // past the upper bar: stops below it
    EXPECT_EQ(window_->vsbMeanFlow[0]->Value(), 9);
    window_->vsbMeanFlow[1]->SetValue(3); // past the lower bar: stops above it
    EXPECT_EQ(window_->vsbMeanFlow[1]->Value(), 10);
    window_->vsbMeanFlow[1]->SetValue(9); // onto it
    EXPECT_EQ(window_->vsbMeanFlow[1]->Value(), 10);
    EXPECT_EQ(window_->soundingView().MeanFlowLevels, (std::array<std::int16_t, 2>{9, 10}));
}

TEST_F(WindowControls, ShearTableAndPrintingReportFailures) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder_.string()));
    window_->btnShear_Click();
    EXPECT_GT(fs::file_size(folder_ / "Shear.out"), 1000u);
    fs::remove(folder_ / "Shear.out");
    fs::create_directory(folder_ / "Shear.out"); // the file cannot take its place
    window_->btnShear_Click();
    QDir::setCurrent(before);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("Shear.out"), std::string::npos);

    if (HasDefaultPrinter()) GTEST_SKIP() << "a real printer is installed";
    const fs::path pdf = folder_ / "profile.pdf";
    window_->SetPdfDialog([&] { return pdf.string(); });
    window_->btnPrint->click();
    ASSERT_EQ(messages_.size(), 1u);
    std::ifstream in(pdf, std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    window_->SetPdfDialog([&] { return (folder_ / "none" / "profile.pdf").string(); });
    window_->btnPrint->click();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_NE(messages_[1].find("could not be printed"), std::string::npos);
}

TEST_F(WindowControls, RendersTheWindowWithEachControlPanel) {
    window_->resize(1480, 960);
    const fs::path out = fs::path(TARVEX_TEST_OUTPUT);
    fs::create_directories(out);
    window_->chkRH->click();
    window_->chkMomentum->click(); // the transfer buttons on "Controls"
    for (int k = 0; k < FrmProfile::kControlPanels; ++k) {
        window_->btnControl[static_cast<std::size_t>(k)]->click();
        const QImage shot = window_->grab().toImage();
        EXPECT_FALSE(shot.isNull());
        shot.save(QString::fromStdString(
            (out / ("main-window-panel-" + std::to_string(k) + ".png")).string()));
    }
}

} // namespace
} // namespace tarvex
