#include "SampleSounding.h"
#include "compute/Hodograph.h"
#include "files/DesktopService.h"
#include "files/DisplaySettingsFile.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/CursorReadout.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// The main window offscreen; Load() reads a generated twelve-hour run.
class SoundingButtons : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.models.ModelCodes = {"eta"};
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->show();
    }
    void Load() {
        samples::SampleSpec spec;
        spec.times = 12;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("tarvex-buttons-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(window_->LoadSoundingFile(path.string()));
        std::filesystem::remove(path);
    }
    static void Send(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    // The mouse over picData a hair below level L (so at L, whatever the
    // rounding of the way back from pixels), or at pressure p.
    void MoveTo(double p) {
        const double y = window_->picData->Surface().ToPixelY(std::log(p));
        Send(window_->picData, QEvent::MouseMove, QPointF(300.0, y), Qt::NoButton);
    }
    void MoveToLevel(int L) { MoveTo(P(L) + 0.01); }
    void Release(QWidget* widget, Qt::MouseButton button) {
        Send(widget, QEvent::MouseButtonRelease, QPointF(5.0, 5.0), button);
    }
    // The store a read put in place (each read swaps in a fresh one).
    const ProfileArrays& S() const { return *session_.profile; }
    float P(int L) const { return S().Pressure(1, 0, L); }
    std::string Text(const QLabel* label) const { return label->text().toStdString(); }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
};

TEST_F(SoundingButtons, TheReadoutShowsTheLevelUnderTheCursor) {
    Load();
    window_->chkActiveReadout->setChecked(true);
    const int L = 10;
    MoveToLevel(L);
    ASSERT_TRUE(window_->lblActiveTemp->isVisible());
    const ProfileArrays& s = S();
    // Right of its trace, or left of it pointing back where the wind's
    // labels leave it no room.
    const std::string temp = QString::number(s.Temperature(1, 0, L), 'f', 1).toStdString();
    EXPECT_TRUE(Text(window_->lblActiveTemp) == "< " + temp ||
                Text(window_->lblActiveTemp) == temp + " >")
        << Text(window_->lblActiveTemp);
    EXPECT_EQ(Text(window_->lblActiveDP),
              QString::number(s.DewPoint(1, 0, L), 'f', 1).toStdString() + " >");
    EXPECT_EQ(Text(window_->lblActiveKts), std::to_string(std::lround(s.WindSpeed(1, 0, L))));
    EXPECT_EQ(Text(window_->lblActiveAxis), std::to_string(std::lround(P(L))) + "mb");
    // On the level's line: the temperature right of the dew point, the
    // direction left of the speed, the height at the left edge.
    const double y = window_->picData->Surface().ToPixelY(std::log(P(L) + 0.01));
    EXPECT_NEAR(window_->lblActiveAxis->y() + window_->lblActiveAxis->height() / 2.0, y, 1.0);
    EXPECT_GT(window_->lblActiveTemp->x(), window_->lblActiveDP->x());
    EXPECT_LT(window_->lblActiveDir->x(), window_->lblActiveKts->x());
    EXPECT_EQ(window_->lblActiveAxis->x(), 0);
    const std::filesystem::path out(TARVEX_TEST_OUTPUT); // for a reviewer
    std::filesystem::create_directories(out);
    EXPECT_TRUE(window_->picData->grab().save(
        QString::fromStdString((out / "sounding_readout.png").string())));

    // Below the ground the labels go, and come back on the same level; above
    // the top level there is no level to show.
    MoveTo(s.SurfacePressure(1, 0) + 5.0);
    EXPECT_FALSE(window_->lblActiveAxis->isVisible());
    MoveToLevel(L);
    EXPECT_TRUE(window_->lblActiveAxis->isVisible());
    MoveTo(P(s.LevelCount(1)) * 0.9);
    EXPECT_FALSE(window_->lblActiveAxis->isVisible());
}

TEST_F(SoundingButtons, TheReadoutShowsTheNewHourAtTheSameLevel) {
    Load();
    window_->chkActiveReadout->setChecked(true);
    const int L = 10;
    MoveToLevel(L);
    const std::string first = Text(window_->lblActiveTemp);
    // The pointer stays: the read-out shows the new hour at the pointer's
    // level at once, as a move to the same place would.
    window_->vsbHour->setValue(6);
    const std::string still = Text(window_->lblActiveTemp);
    EXPECT_NE(still, first);
    window_->soundingView().extras.LastReadoutLevel = 0;
    MoveToLevel(L);
    EXPECT_EQ(Text(window_->lblActiveTemp), still);
    MoveTo(S().Pressure(1, 6, L) + 0.01);
    const std::string temp = QString::number(S().Temperature(1, 6, L), 'f', 1).toStdString();
    EXPECT_TRUE(Text(window_->lblActiveTemp) == "< " + temp ||
                Text(window_->lblActiveTemp) == temp + " >")
        << Text(window_->lblActiveTemp);
}

// A click zooms the diagram under a read-out near 853 mb: the read-out shows
// the level now under the pointer, on its line. An axis button or the
// read-out's unit button pressed (the pointer on it) takes the read-out away.
TEST_F(SoundingButtons, TheReadoutFollowsEachChangeOfTheFrame) {
    Load();
    FrmProfile& w = *window_;
    w.chkActiveReadout->setChecked(true);
    int L = 1;
    while (P(L) > 853.0f) ++L;
    auto pointAt = [&](int level) {
        MoveToLevel(level);
        const double y = w.picData->Surface().ToPixelY(std::log(P(level) + 0.01));
        QCursor::setPos(w.picData->mapToGlobal(QPoint(300, static_cast<int>(std::lround(y)))));
        ASSERT_EQ(Text(w.lblActiveAxis), std::to_string(std::lround(P(level))) + "mb");
    };
    pointAt(L);
    const QPoint row = w.picData->mapFromGlobal(QCursor::pos());
    Release(w.picData, Qt::LeftButton); // the zoom
    const PictureSurface& pic = w.picData->Surface();
    const std::int16_t now = CursorLevel(S(), 0, std::exp(pic.FromPixelY(row.y())));
    ASSERT_NE(now, L);
    EXPECT_TRUE(w.lblActiveAxis->isVisible());
    EXPECT_EQ(Text(w.lblActiveAxis), std::to_string(std::lround(P(now))) + "mb");
    const QLabel& axis = *w.lblActiveAxis;
    const double middle =
        axis.y() + axis.contentsMargins().top() + axis.fontMetrics().height() / 2.0;
    EXPECT_NEAR(middle, pic.ToPixelY(std::log(P(now))), 2.0);
    for (QPushButton* button :
         {w.btnT1Higher, w.btnT1Lower, w.btnTemHigher, w.btnTempLower, w.btnActiveReadOut}) {
        pointAt(L);
        QCursor::setPos(button->mapToGlobal(button->rect().center()));
        button->click();
        EXPECT_FALSE(w.lblActiveAxis->isVisible()) << button->objectName().toStdString();
    }
}

TEST_F(SoundingButtons, FollowersGetTheLevelButNeverLevelZero) {
    Load();
    std::vector<int> ecape, hodograph;
    int mbe = 0;
    window_->readoutHooks.plotECAPE = [&](std::int16_t, std::int16_t L) { ecape.push_back(L); };
    window_->readoutHooks.followHodograph = [&](std::int16_t L) { hodograph.push_back(L); };
    window_->readoutHooks.plotMBE = [&] { ++mbe; };
    // Elevated CAPE with the read-out off: every move redraws the panel.
    window_->chkECAPE->click();
    window_->btnDisplay_Click(2);
    MoveToLevel(7);
    MoveTo(P(7) + 0.02);
    MoveTo(P(S().LevelCount(1)) * 0.9);
    EXPECT_EQ(ecape, (std::vector<int>{7, 7}));
    EXPECT_EQ(hodograph, (std::vector<int>{7, 7}));
    EXPECT_FALSE(window_->lblActiveTemp->isVisible());
    // Picking the jet level in the heavy-precipitation mode; the click ends
    // the pick instead of zooming.
    window_->btnDisplay_Click(5);
    window_->btnSelectInflow->click();
    MoveToLevel(6);
    EXPECT_EQ(mbe, 1);
    EXPECT_FLOAT_EQ(session_.winds->LLJPressure(1, 0), P(6));
    const std::int16_t top = S().DiagramTopPressure;
    Release(window_->picData, Qt::LeftButton);
    EXPECT_EQ(S().DiagramTopPressure, top);
    EXPECT_FALSE(window_->soundingView().extras.SelectInflowMode);
}

TEST_F(SoundingButtons, AClickZoomsAboutTheLargestSurfacePressure) {
    Release(window_->picData, Qt::LeftButton); // nothing loaded: nothing changes
    EXPECT_EQ(S().DiagramTopPressure, 100);
    Load();
    const double c = std::log(S().MaxSurfacePressure);
    auto zoomed = [c](double p, double factor) {
        return static_cast<std::int16_t>(std::nearbyint(std::exp(c - factor * (c - std::log(p)))));
    };
    const std::int16_t top = S().DiagramTopPressure;
    const std::int16_t bottom = S().DiagramBottomPressure;
    Release(window_->picData, Qt::LeftButton);
    EXPECT_EQ(S().DiagramTopPressure, zoomed(top, 0.85));
    EXPECT_EQ(S().DiagramBottomPressure, zoomed(bottom, 0.85));
    // A right click over a read-out label widens once (not again through the
    // picture below it).
    const std::int16_t top2 = S().DiagramTopPressure;
    Release(window_->lblActiveKts, Qt::RightButton);
    EXPECT_EQ(S().DiagramTopPressure, zoomed(top2, 1.0 / 0.85));
}

TEST_F(SoundingButtons, ButtonGroupsAndTheirMarks) {
    const SoundingView& view = window_->soundingView();
    const SoundingExtras& e = view.extras;
    auto bold = [](const QPushButton* b) { return b->font().bold(); };
    window_->btnPHK[2]->click();
    window_->btnXfer[0]->click();
    EXPECT_EQ(view.VerticalUnit, 2);
    EXPECT_TRUE(bold(window_->btnPHK[2]) && !bold(window_->btnPHK[0]));
    EXPECT_EQ(window_->btnXfer[0]->text().toStdString(), "30");
    EXPECT_TRUE(bold(window_->btnXfer[0]) && !bold(window_->btnXfer[1]));
    // The read-out marker cycles back after three clicks, apart from bold.
    window_->chkActiveReadout->setChecked(true);
    window_->ShowSoundingCompanions();
    window_->btnActiveReadOut->click();
    EXPECT_TRUE(window_->btnPHK[1]->font().underline());
    window_->btnActiveReadOut->click();
    window_->btnActiveReadOut->click();
    EXPECT_TRUE(window_->btnPHK[0]->font().underline() && !bold(window_->btnPHK[0]));
    // The wind-column intervals: the first click on the other button only
    // puts it in force, later clicks step its number.
    QPushButton* plain = window_->btnVWPInterval;
    QPushButton* spaced = window_->btnVWPIntervalA;
    for (int k = 0; k < 4; ++k) plain->click();
    EXPECT_EQ(plain->text().toStdString(), "2");
    spaced->click();
    spaced->click();
    EXPECT_TRUE(e.UseVWPIntervalA && bold(spaced) && !bold(plain));
    EXPECT_EQ(spaced->text().toStdString(), "A2");
    plain->click();
    EXPECT_TRUE(!e.UseVWPIntervalA && e.VWPInterval == 2 && bold(plain));
    // Axis arrows move the pair of the projection in force; no step beyond
    // the 16-bit range.
    window_->btnT1Higher->click();
    EXPECT_EQ(session_.temperatureAxis.SkewTLeftTemp, -55);
    EXPECT_EQ(session_.temperatureAxis.LeftTemp, -55);
    EXPECT_EQ(session_.temperatureAxis.ProfileLeftTemp, -60);
    session_.temperatureAxis.SkewTRightTemp = 32766;
    window_->btnTemHigher->click();
    EXPECT_EQ(session_.temperatureAxis.SkewTRightTemp, 32766);
    // Nor a step that closes the axis: with ends 0 and 10 the left end goes
    // to 5 and no further, and the right end cannot come down to 5; a pair
    // closed already (from a settings file) can still be widened.
    TemperatureAxisEnds& axis = session_.temperatureAxis;
    axis.SkewTLeftTemp = axis.LeftTemp = 0;
    axis.SkewTRightTemp = axis.RightTemp = 10;
    window_->btnT1Higher->click();
    window_->btnT1Higher->click();
    window_->btnTempLower->click();
    EXPECT_EQ(axis.LeftTemp, 5);
    EXPECT_EQ(axis.SkewTLeftTemp, 5);
    EXPECT_EQ(axis.RightTemp, 10);
    axis.SkewTLeftTemp = axis.LeftTemp = 20;
    window_->btnT1Lower->click();
    EXPECT_EQ(axis.LeftTemp, 15);
}

TEST_F(SoundingButtons, CompanionsAndSettings) {
    // The transfer buttons live on the "Controls" panel.
    QWidget* controls = window_->pnlControl[5];
    EXPECT_FALSE(window_->frmXfer->isVisibleTo(controls));
    for (QCheckBox* box : {window_->chkWindVector, window_->chkMomentum, window_->ChkOmega})
        box->setChecked(true);
    window_->ShowSoundingCompanions();
    EXPECT_TRUE(window_->btnColorWinds->isVisible());
    EXPECT_FALSE(window_->btnDigitalWinds->isVisible());
    EXPECT_TRUE(window_->frmXfer->isVisibleTo(controls));
    EXPECT_TRUE(window_->btnOmegaFiltered->isVisible());
    ASSERT_TRUE(window_->picOmega->isVisible());
    EXPECT_EQ(window_->picOmega->geometry().right(), window_->picData->rect().right());
    Release(window_->picOmega, Qt::LeftButton);
    EXPECT_NEAR(window_->soundingView().extras.OmegaScale, 7.7f, 1e-5f);

    // Saved settings mark their buttons and come back with the -1/0 flags.
    HistorySettings& h = session_.history;
    h.MomentumXferIndex = 3;
    h.UseVWPIntervalA = true;
    h.ColorWinds = -1;
    h.DigitalWindStyle = 0;
    window_->ApplySoundingButtonSettings();
    EXPECT_TRUE(window_->btnXfer[3]->font().bold() && window_->btnVWPIntervalA->font().bold());
    HistorySettings collected;
    window_->CollectSoundingButtonSettings(collected);
    EXPECT_EQ(collected, h);
}

TEST_F(SoundingButtons, ADisplaySwitchShowsTheMarksOfTheDisplayShown) {
    Load();
    FrmProfile& w = *window_;
    SetCheck(w.chkMeanFlow, 1);
    // Each panel takes its size, and redraws the hour, when first shown.
    for (int mode = FrmProfile::kDisplayButtons - 1; mode >= 0; --mode) w.btnDisplay_Click(mode);
    const QImage plain = w.picData->ShownImage();
    // The map's mean-flow layer marked; gone again after a switch to a
    // display that marks nothing, directly or through another such display.
    w.btnDisplay_Click(3);
    EXPECT_EQ(w.picData->ShownImage(), plain);
    w.btnDisplay_Click(1);
    const QImage marked = w.picData->ShownImage();
    EXPECT_NE(marked, plain);
    w.btnDisplay_Click(7);
    EXPECT_EQ(w.picData->ShownImage(), plain);
    w.btnDisplay_Click(4);
    EXPECT_EQ(w.picData->ShownImage(), plain);
    // A recall switches with redraws held, and ends showing its display's marks.
    DisplaySettings d;
    d.DisplayMode = 1;
    w.ApplyDisplaySettings(d);
    EXPECT_EQ(w.picData->ShownImage(), marked);
    d.DisplayMode = 8;
    w.ApplyDisplaySettings(d);
    EXPECT_EQ(w.picData->ShownImage(), plain);
}

// A display switch leaves the sounding as it stands only while the new
// display's marks equal those it was drawn with: each part of the marks moved
// (the hodograph layer's base, the jet's pressure, its place at the layer's
// top, the jet itself) makes a switch to the same display redraw it.
TEST_F(SoundingButtons, ADisplaySwitchRedrawsTheSoundingWhenAMarkMoved) {
    Load();
    FrmProfile& w = *window_;
    for (int mode = FrmProfile::kDisplayButtons - 1; mode >= 0; --mode) w.btnDisplay_Click(mode);
    WindResults& winds = *session_.winds;
    HodographResults& hodo = *session_.hodograph;
    // The switch to mode shows what a full redraw shows, and not the picture
    // before the move.
    const auto expectRedrawn = [&](int mode, const std::function<void()>& move) {
        w.btnDisplay_Click(mode);
        const QImage before = w.picData->ShownImage();
        move();
        w.btnDisplay_Click(mode);
        const QImage shown = w.picData->ShownImage();
        EXPECT_NE(shown, before);
        w.DrawSounding();
        EXPECT_EQ(shown, w.picData->ShownImage());
    };
    expectRedrawn(2, [&] { hodo.HodoBaseLevel(1, 0) = 3; });
    w.btnDisplay_Click(5);
    ASSERT_GT(winds.LLJPressure(1, 0), 0.0f);
    expectRedrawn(5, [&] { winds.LLJPressure(1, 0) = P(9); });
    expectRedrawn(5, [&] {
        winds.LLJAtTop(1, 0) = winds.LLJAtTop(1, 0) == kFlagFalse ? kFlagTrue : kFlagFalse;
    });
    expectRedrawn(5, [&] { winds.LLJPressure(1, 0) = 0.0f; });
}

} // namespace
} // namespace tarvex
