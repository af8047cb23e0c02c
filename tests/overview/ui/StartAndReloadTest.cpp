#include "OverviewWindowFixture.h"

#include "overview/fields/MeanWindTrace.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

// The legend as the window shows it equals the legend drawn afresh for the
// level.
void ExpectWindScaleOf(FrmOverView& w, const Session& session, int level) {
    const RasterSurface& shown = w.picWindScale->Surface();
    RasterSurface fresh(shown.PixelWidth(), shown.PixelHeight());
    fresh.SetBackColor(kBlack);
    fresh.SetForeColor(kWhite);
    DrawWindScale(fresh, *session.profile, level, session.parameters.ModelLevelStep);
    EXPECT_TRUE(shown.Image() == fresh.Image()) << "level " << level;
}

TEST_F(Overview, StartShowsTheMainWindowsLayersLegendAndPlace) {
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    session_.history.HodoTopKm = 6.0f;
    FrmOverView& w = Open();

    // The mean-wind layer is the main window's, whatever its top level.
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_EQ(w.vsbMeanWind[k]->Value(), main_->vsbMeanFlow[k]->Value());
    EXPECT_GT(main_->vsbMeanFlow[1]->Value(), 24);

    // The wind-scale legend shows the levels around the sigma level from
    // the start and follows the bar.
    ExpectWindScaleOf(w, session_, w.vsbSigmaLevel->Value());
    w.vsbSigmaLevel->SetValue(w.vsbSigmaLevel->Value() + 3);
    ExpectWindScaleOf(w, session_, w.vsbSigmaLevel->Value());

    // The helicity caption names the layer the trace uses.
    EXPECT_EQ(w.Box("chkHelicity")->text().toStdString(), "Helicity 0 - 6 km");

    // Centred on the narrow offscreen screen at the window's final size, with
    // the usual frame of 8 x 32 that no window manager measures here; the
    // chosen hours button is bold, not pressed.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(w.frameGeometry().top(), (screen.height() - w.height() - 32) / 2);
    w.btnHours[1]->click();
    EXPECT_TRUE(w.btnHours[1]->font().bold());
    EXPECT_FALSE(w.btnHours[0]->font().bold());
    EXPECT_FALSE(w.btnHours[1]->isChecked());
}

TEST_F(Overview, RecallRebuildsTheBaseKeepsTheTracedLayerAndMirrorsThePrecipitationType) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    const int m = session_.profile->CurrentModel;
    w.btnPressureBase->click();
    const float extendedBase = w.axes.LnPBase;
    const float extendedSpan = w.axes.LnPSpan;
    w.btnControl_Click(7);
    w.findChild<QCheckBox*>("chksWSYMb")->click();
    ASSERT_TRUE(main_->chksWSYMb->isChecked());
    w.btnSave_Click(0);

    w.btnPressureBase->click();
    EXPECT_FLOAT_EQ(w.axes.LnPBase, w.axes.BaseLnP[static_cast<std::size_t>(m)]);
    main_->chksWSYMb->click();
    ASSERT_FALSE(main_->chksWSYMb->isChecked());
    session_.history.HodoTopKm = 4.0f;
    w.btnRecall_Click(0);
    EXPECT_TRUE(w.options.PressureBaseExtended);
    EXPECT_FLOAT_EQ(w.axes.LnPSpan, extendedSpan);
    EXPECT_NEAR(w.axes.LnPBase, extendedBase, 1e-5);
    EXPECT_TRUE(main_->chksWSYMb->isChecked());
    EXPECT_EQ(w.Box("chkHelicity")->text().toStdString(), "Helicity 0 - 4 km");
}

TEST_F(Overview, AnotherStationsFileCentresTheSurfacePressureScaleUserSlotsDoNot) {
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    FrmOverView& first = Open();
    first.Box("chkSfcPres")->click();
    first.axes.PressureTraceSpan = 30.0f; // a zoomed span
    first.btnSave_Click(0);
    const float oldBase = first.axes.PressureTraceBase;

    samples::SampleSpec high;
    high.site = "KDEN";
    high.elevation = 1600.0f;
    high.times = 13;
    high.month = 7;
    Load(high);
    main_->UpdateOverview(); // rebuilt through slot 9
    FrmOverView* w = main_->Overview();
    ASSERT_NE(w, nullptr);
    const ProfileArrays& s = *session_.profile;
    const float surface = s.SurfacePressure(s.CurrentModel, 0);
    EXPECT_TRUE(w->Box("chkSfcPres")->isChecked());
    EXPECT_FLOAT_EQ(w->axes.PressureTraceSpan, 30.0f);
    EXPECT_FLOAT_EQ(w->axes.PressureTraceBase, surface - 15.0f);

    // A user slot brings back its own base.
    ASSERT_GT(std::fabs(oldBase - (surface - 15.0f)), 50.0f);
    w->btnRecall_Click(0);
    EXPECT_FLOAT_EQ(w->axes.PressureTraceBase, oldBase);
}

} // namespace
} // namespace tarvex
