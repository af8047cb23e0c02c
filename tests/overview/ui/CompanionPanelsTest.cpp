#include "OverviewWindowFixture.h"

#include "files/TrainingHook.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvex {
namespace {

// Whether any pixel of the widget's rendering has the colour.
bool Shows(QWidget* widget, QRgb colour) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
    return false;
}

TEST_F(Overview, CompanionPanelsShowOnlyWhileTheirOverlayIsOnAndKeepTheWindowSize) {
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    FrmOverView& w = Open();
    struct Rule {
        const char* box;
        QWidget* panel;
        int controlPanel;
    };
    const std::vector<Rule> rules = {{"ChkOmega", w.btnOmegaFiltered, 0},
                                     {"chkECAPE", w.legends->frameECAPE, 0},
                                     {"chkApparentTemp", w.legends->pnlHeatIndex, 1},
                                     {"chkLIC", w.lblLakeTemp, 1},
                                     {"chkVWP", w.pnlVWPOptions, 2},
                                     {"chkMeanWind", w.pnlMeanWind, 2},
                                     {"chkWinds", w.pnlWind, 2},
                                     {"chkELCIN", w.frameELCIN, 3},
                                     {"chkHeights", w.frameHeights, 3},
                                     {"chkFreezingLevel", w.pnlHail, 3},
                                     {"chkCAPE", w.frameCAPE, 3},
                                     {"chkDavisIndex", w.pnlDavisIndex, 6},
                                     {"chkHainesIndex", w.pnlHainesIndex, 6},
                                     {"chkPrecip", w.framePrecip, 7}};
    for (const Rule& rule : rules) {
        SCOPED_TRACE(rule.box);
        w.btnControl_Click(rule.controlPanel);
        const QSize size = w.size();
        QCheckBox* box = w.Box(rule.box);
        EXPECT_TRUE(rule.panel->isHidden());
        box->click();
        EXPECT_FALSE(rule.panel->isHidden());
        box->click();
        EXPECT_TRUE(rule.panel->isHidden());
        EXPECT_EQ(w.size(), size);
    }
    // The colour legend needs both the profile and its colours.
    w.Box("chkVWPColor")->click();
    EXPECT_TRUE(w.pnlVWP->isHidden());
    w.Box("chkVWP")->click();
    EXPECT_FALSE(w.pnlVWP->isHidden());
    w.Box("chkVWPColor")->click();
    EXPECT_TRUE(w.pnlVWP->isHidden());
    EXPECT_FALSE(w.pnlVWPOptions->isHidden());

    // The humidity legend shows while either humidity box is on; "EL CIN"
    // clears both and the legend with them.
    w.btnControl_Click(0);
    w.chkRH[0]->click(); // "EL CIN" above cleared it
    EXPECT_FALSE(w.legends->pnlRH->isHidden());
    w.chkRH[1]->click();
    EXPECT_FALSE(w.legends->pnlRH->isHidden());
    w.chkRH[1]->click();
    EXPECT_TRUE(w.legends->pnlRH->isHidden());
    w.chkRH[0]->click();
    w.Box("chkELCIN")->click();
    EXPECT_TRUE(w.legends->pnlRH->isHidden());

    // What the panel draws: the EL CIN classes' dark blue only while on.
    w.btnControl_Click(3);
    EXPECT_TRUE(Shows(w.pnlControl[3], qRgb(0, 0, 127)));
    w.Box("chkELCIN")->click();
    EXPECT_FALSE(Shows(w.pnlControl[3], qRgb(0, 0, 127)));

    // Reset clears the ice box while the boxes ignore their own clicks: the
    // legend goes with it, also when that box is the only one on.
    w.Box("chkVWP")->click();
    w.chkRH[1]->click();
    EXPECT_FALSE(w.legends->pnlRH->isHidden());
    w.btnReset->click();
    EXPECT_TRUE(w.legends->pnlRH->isHidden());

    // A recall sets the panels of the boxes it sets.
    w.btnControl_Click(6);
    const QSize size = w.size();
    w.Box("chkHainesIndex")->click();
    w.btnSave_Click(0);
    w.btnReset->click();
    EXPECT_TRUE(w.pnlHainesIndex->isHidden());
    w.btnRecall_Click(0);
    EXPECT_FALSE(w.pnlHainesIndex->isHidden());
    EXPECT_EQ(w.size(), size);
}

TEST_F(Overview, SmoothedOmegaButtonShowsTheSharedSmoothing) {
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    FrmOverView& w = Open();
    bool& shared = main_->soundingView().extras.OmegaFiltered;
    EXPECT_EQ(w.btnOmegaFiltered->isChecked(), shared);
    w.Box("ChkOmega")->click();
    w.btnOmegaFiltered->click();
    EXPECT_EQ(w.btnOmegaFiltered->isChecked(), shared);
    w.btnOmegaFiltered->click();
    EXPECT_EQ(w.btnOmegaFiltered->isChecked(), shared);
}

// With the reference list shipped beside the program.
TEST_F(Overview, LogoArmsHelpModeAndTheNextControlOpensItsWords) {
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    FrmOverView& w = Open();
    const std::filesystem::path program = QCoreApplication::applicationDirPath().toStdString();
    ASSERT_TRUE(GetTraining(program, session_.help.Training).ok);
    ASSERT_NE(w.picLogo, nullptr);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.picLogo, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.picLogo, &release);
    EXPECT_TRUE(session_.help.TrainingMode);
    w.Box("ChkOmega")->click();
    ASSERT_EQ(desktop_.requests.size(), 1u);
    EXPECT_EQ(desktop_.requests[0].target, "training/contour_omega.html"); // the "Omega" box
    EXPECT_TRUE(std::filesystem::is_regular_file(program / desktop_.requests[0].target));
    EXPECT_FALSE(session_.help.TrainingMode);
    // The next panel button opens nothing: help mode has ended.
    w.btnControl[1]->click();
    EXPECT_EQ(desktop_.requests.size(), 1u);
}

} // namespace
} // namespace tarvex
