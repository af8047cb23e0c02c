#include "OverviewWindowFixture.h"

#include "overview/fields/MeanWindTrace.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

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

// What the forecaster can see of each control and of the window, one line
// per control in the window's order of building, and the pixels of its
// pictures.
struct ShownState {
    std::vector<std::string> controls;
    std::vector<QImage> pictures;
};
ShownState ShownStateOf(FrmOverView& w) {
    QApplication::processEvents();
    ShownState state;
    state.controls.push_back(
        w.windowTitle().toStdString() + " " + std::to_string(w.width()) + "x" +
        std::to_string(w.height()) + " axes " + std::to_string(w.axes.LnPBase) + " " +
        std::to_string(w.axes.LnPSpan) + " " + std::to_string(w.axes.ScaleLeftColumn) + " " +
        std::to_string(w.axes.ScaleRightColumn) + " hour " + std::to_string(w.SelectedHour) + " " +
        FormatOverviewSettings(w.CollectOverviewSettings()));
    for (QWidget* c : w.findChildren<QWidget*>()) {
        std::string line = c->objectName().toStdString() + (c->isHidden() ? " hidden" : "") +
                           (c->isEnabled() ? "" : " disabled") + " " +
                           c->font().toString().toStdString() + " " + c->styleSheet().toStdString();
        if (const auto* button = qobject_cast<QAbstractButton*>(c))
            line += " [" + button->text().toStdString() + "]" + (button->isChecked() ? " on" : "");
        if (const auto* label = qobject_cast<QLabel*>(c))
            line += " [" + label->text().toStdString() + "]";
        if (const auto* bar = qobject_cast<QAbstractSlider*>(c))
            line += " " + std::to_string(bar->minimum()) + ".." + std::to_string(bar->maximum()) +
                    " at " + std::to_string(bar->value()) + " page " +
                    std::to_string(bar->pageStep());
        if (const auto* stack = qobject_cast<QStackedWidget*>(c))
            line += " page " + std::to_string(stack->currentIndex());
        state.controls.push_back(line);
    }
    // A floating panel shown is raised above the others; hidden, where it
    // stands among them does not show.
    std::sort(state.controls.begin() + 1, state.controls.end());
    for (const PictureBox* box : {w.picRH, w.picLeft, w.picRight, w.picTime, w.picWindScale})
        state.pictures.push_back(box->Surface().Image().copy());
    return state;
}

// A window used for one file and started again for the next shows exactly
// what a window built for the next file and given the same settings shows:
// nothing of the first file or of what the user did apart from the settings
// kept stays, neither the hours chosen, the scroll position, a zoom, a
// floating hour panel, the sum readout, nor the window's place, size or
// minimizing.
TEST_F(Overview, AReloadShowsWhatAWindowBuiltForTheNewFileShows) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 49);
    FrmOverView& w = Open();
    for (const char* name : {"chkTemperature", "chkIcing", "chkWinds", "chkSnowRatio", "chkVWP",
                             "chkHeights", "chkPrecip", "chkMixingLayer", "chkELCIN", "chkECAPE"})
        w.Box(name)->click();
    w.btnControl_Click(3);
    w.btnHours[2]->click();
    w.hsbHours->setValue(w.hsbHours->maximum());
    w.btnPressureBase->click();
    w.picSide_MouseDown(false, 1, 10.0);
    w.picSide_MouseUp(false, 1, 0.0);
    w.optSnowTechnique[3]->click();
    w.hsbRatio->setValue(w.hsbRatio->value() + 4);
    w.btnCAPEkm[4]->click();
    w.btnHeights[2]->click();
    w.picRH_MouseDown(1, 0, 6.0, 6.5); // a floating hour panel
    w.picRH_MouseUp(1, 0, 6.0, 6.5);
    w.picRH_MouseDown(2, 0, 3.0, 6.5); // the sum readout
    w.picRH_MouseMove(2, 0, 9.0, 6.5);
    w.picRH_MouseUp(2, 0, 9.0, 6.5);
    w.resize(w.width() - 40, w.height() - 20);
    w.move(w.x() + 30, w.y() + 10);
    QApplication::processEvents();
    const QPoint moved = w.pos();
    w.showMinimized();
    QApplication::processEvents();

    const std::string kept = FormatOverviewSettings(w.CollectOverviewSettings());
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 25);
    main_->UpdateOverview();
    ASSERT_EQ(main_->Overview(), &w);
    EXPECT_NE(w.pos(), moved); // placed again as a new window is
    EXPECT_EQ(w.windowState(), Qt::WindowNoState);
    const ShownState reused = ShownStateOf(w);

    w.btnQuit->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(main_->Overview(), nullptr);
    FrmOverView& fresh = Open();
    fresh.ApplyOverviewSettings(ParseOverviewSettings(kept), true);
    const ShownState built = ShownStateOf(fresh);

    ASSERT_EQ(reused.controls.size(), built.controls.size());
    for (std::size_t k = 0; k < built.controls.size(); ++k)
        EXPECT_EQ(reused.controls[k], built.controls[k]) << "control " << k;
    for (std::size_t k = 0; k < built.pictures.size(); ++k)
        EXPECT_TRUE(reused.pictures[k] == built.pictures[k]) << "picture " << k;
}

// Counts the resizes of a widget.
struct ResizeCount : QObject {
    int resizes = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        resizes += event->type() == QEvent::Resize;
        return false;
    }
};

// A window whose place gives it the size it has is not resized by a reload,
// so its pictures are laid out and drawn once for the new file; one the user
// resized comes back at the size a new window is placed at.
TEST_F(Overview, AReloadLaysOutAWindowOfItsPlacedSizeOnce) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    QApplication::processEvents();
    const QSize placed = w.size();
    ResizeCount window;
    ResizeCount picture;
    w.installEventFilter(&window);
    w.picRH->installEventFilter(&picture);
    main_->UpdateOverview();
    QApplication::processEvents();
    EXPECT_EQ(window.resizes, 0);
    EXPECT_EQ(picture.resizes, 0);
    EXPECT_EQ(w.size(), placed);

    w.resize(placed - QSize(40, 20));
    QApplication::processEvents();
    main_->UpdateOverview();
    QApplication::processEvents();
    EXPECT_EQ(w.size(), placed);
}

// Counts the paints and the showings and hidings delivered to each widget.
struct DeliveredEvents : QObject {
    std::map<const QObject*, int> paints;
    std::map<const QObject*, int> showings;
    bool eventFilter(QObject* target, QEvent* event) override {
        paints[target] += event->type() == QEvent::Paint;
        showings[target] += event->type() == QEvent::Show || event->type() == QEvent::Hide;
        return false;
    }
};

// The next file read is painted once: each picture of both windows once and
// no widget twice; a companion panel whose overlay stays on is neither hidden
// nor shown again, and so neither laid out nor painted for the read.
TEST_F(Overview, ANextFilePaintsEachPictureOnceAndLeavesCompanionPanelsShown) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    for (const char* name : {"chkECAPE", "ChkOmega", "chkTemperature"}) w.Box(name)->click();
    const std::vector<QWidget*> companions = {w.legends->pnlRH, w.legends->frameECAPE,
                                              w.btnOmegaFiltered};
    QApplication::processEvents();
    DeliveredEvents events;
    qApp->installEventFilter(&events);
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 25);
    main_->UpdateOverview();
    QApplication::processEvents();
    qApp->removeEventFilter(&events);

    for (const PictureBox* picture : {w.picRH, w.picTime, main_->picData, main_->picProfile})
        EXPECT_EQ(events.paints[picture], 1) << picture->objectName().toStdString();
    for (const auto& [widget, paints] : events.paints)
        EXPECT_LE(paints, 1) << widget->objectName().toStdString();
    for (const QWidget* panel : companions) {
        SCOPED_TRACE(panel->objectName().toStdString());
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(events.showings[panel], 0);
    }
    // The legends show what they showed (the button beside the omega box is
    // painted with the box, which the read sets back and ticks again).
    EXPECT_EQ(events.paints[w.legends->pnlRH], 0);
    EXPECT_EQ(events.paints[w.legends->frameECAPE], 0);
}

} // namespace
} // namespace tarvex
