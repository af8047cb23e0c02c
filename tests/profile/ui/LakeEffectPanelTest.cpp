#include "profile/ui/LakeEffectPanel.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "profile/diagnostics/LakeEffect.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

TEST(LakeStability, ClassesFollowTheTwoExcesses) {
    using enum LakeStability;
    EXPECT_EQ(LakeStabilityClass(12.0f, 17.0f), Conditional); // both at their bounds
    EXPECT_EQ(LakeStabilityClass(11.9f, 40.0f), None);
    EXPECT_EQ(LakeStabilityClass(20.0f, 16.9f), None);
    EXPECT_EQ(LakeStabilityClass(17.0f, 23.9f), Conditional);
    EXPECT_EQ(LakeStabilityClass(17.0f, 24.0f), Moderate);
    EXPECT_EQ(LakeStabilityClass(17.0f, 29.9f), Moderate);
    EXPECT_EQ(LakeStabilityClass(17.0f, 30.0f), Extreme);
    EXPECT_EQ(LakeStabilityClass(16.9f, 35.0f), Conditional); // 850 mb too warm for more
    EXPECT_EQ(LakeStabilityClass(std::nanf(""), 30.0f), None);
}

// A cold four-level sounding, the same in four hours: -15 C at 850 mb and
// -20 C at 700 mb.
class LakePanel : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.Levels = {{1000, 100, -2, -5},
                    {850, 1400, -15, -18},
                    {700, 2900, -20, -25},
                    {500, 5400, -35, -40}};
        for (int t = 0; t < 4; ++t) test::WriteProfile(*session.profile, p, t);
        session.config.CI850Value = 850;
        session.config.CI700Value = 700;
        panel = std::make_unique<LakeEffectPanel>(
            session, view, [this] { ++redraws; },
            [this](const std::string& word) { words.push_back(word); });
    }

    // Lake-induced results of hour t as if already lifted.
    void Lifted(int t, float cape, float depthFt, float ncape) {
        LakeParcelResults& lake = *session.lake;
        lake.LakeCAPEDone(1, t) = kFlagTrue;
        lake.LakeCAPE(1, t) = cape;
        lake.LakeELDepthFt(1, t) = depthFt;
        lake.LakeNCAPE(1, t) = ncape;
    }

    static std::string Text(const QLabel* label) { return label->text().toStdString(); }

    Session session;
    SoundingView view;
    std::unique_ptr<LakeEffectPanel> panel;
    int redraws = 0;
    std::vector<std::string> words;
};

TEST_F(LakePanel, ALakeChangeReadsInBothUnitsClearsTheModelsParcelsAndRedraws) {
    EXPECT_EQ(panel->vsbLakeF->Minimum(), 80); // at the top
    EXPECT_EQ(panel->vsbLakeF->Value(), 34);
    EXPECT_EQ(Text(panel->lblLakeC), "1");
    for (int t = 0; t < 4; ++t) Lifted(t, 1.0f, 0.0f, 0.0f);
    session.lake->LakeCAPEDone(2, 1) = kFlagTrue; // another model's hour

    panel->vsbLakeF->SetValue(80);
    EXPECT_EQ(Text(panel->lblLakeF), "80");
    EXPECT_EQ(Text(panel->lblLakeC), "27");                          // 26.67 C
    EXPECT_FLOAT_EQ(session.parcelOptions.LakeTempC, 240.0f / 9.0f); // kept exact
    for (int t = 1; t < 4; ++t) EXPECT_EQ(session.lake->LakeCAPEDone(1, t), kFlagFalse);
    EXPECT_EQ(session.lake->LakeCAPEDone(2, 1), kFlagTrue);
    EXPECT_EQ(Text(panel->lblDiff850), "42"); // the panel shows the new lake
    EXPECT_EQ(redraws, 1);

    // Held redraws: the readings change, nothing is drawn.
    view.SuspendRedraw = true;
    panel->vsbLakeF->SetValue(32);
    EXPECT_EQ(Text(panel->lblLakeC), "0");
    EXPECT_EQ(Text(panel->lblDiff850), "42");
    EXPECT_EQ(redraws, 1);
}

TEST_F(LakePanel, LabelsShowTheHourOfAConstructedProfile) {
    panel->vsbLakeF->SetValue(50); // 10 C: 25 over 850 mb, 30 over 700 mb
    session.profile->CAPE(1, 0) = 123.4f;
    Lifted(0, 456.6f, 5000.4f, 0.0912f);
    panel->ShowLakeEffect();
    EXPECT_EQ(Text(panel->lblT850), "-15");
    EXPECT_EQ(Text(panel->lblDiff850), "25");
    EXPECT_EQ(Text(panel->lblT700), "-20");
    EXPECT_EQ(Text(panel->lblDiff700), "30");
    EXPECT_EQ(Text(panel->lblStability), "Extreme");
    const auto color = [&] { return panel->lblStability->palette().color(QPalette::WindowText); };
    EXPECT_EQ(color(), QColor(255, 0, 0));
    EXPECT_EQ(Text(panel->lblModelCape), "123");
    EXPECT_EQ(Text(panel->lblLIC), "457");
    EXPECT_EQ(Text(panel->lblLIE), "5000'");
    EXPECT_EQ(Text(panel->lblNLIC), ".091");
    // 41 F (5 C): moderate in blue; 36 F (2 C): conditional in black again.
    panel->vsbLakeF->SetValue(41);
    EXPECT_EQ(Text(panel->lblStability), "Moderate");
    EXPECT_EQ(color(), QColor(0, 0, 255));
    panel->vsbLakeF->SetValue(36);
    EXPECT_EQ(Text(panel->lblStability), "Conditional");
    EXPECT_EQ(color(), QColor(0, 0, 0));
}

TEST_F(LakePanel, LiftedHoursAreReadBackAndShallowOnesHaveNoNormalisedCape) {
    Lifted(0, 1234.0f, 500.0f, 0.25f);
    panel->ShowLakeEffect();
    EXPECT_EQ(Text(panel->lblLIC), "1234"); // not lifted again
    EXPECT_EQ(Text(panel->lblNLIC), "----");
    Lifted(0, 1234.0f, 501.0f, 0.25f);
    panel->ShowLakeEffect();
    EXPECT_EQ(Text(panel->lblNLIC), ".250");
}

TEST_F(LakePanel, ConfiguredLevelsReplace850And700) {
    session.config.CI850Value = 700;
    session.config.CI700Value = 500;
    const LakeEffectValues v = MakeLakeEffect(session, 0);
    EXPECT_EQ(v.lblT850, "-20");
    EXPECT_EQ(v.lblT700, "-35");
    EXPECT_EQ(LakeEffectReadingsFor(session, 0).T850, -20.0f);
    // Levels not configured give empty boxes, never a made-up number.
    session.config.CI850Value = 0;
    const LakeEffectValues none = MakeLakeEffect(session, 0);
    EXPECT_EQ(none.lblT850 + none.lblDiff850, "");
    EXPECT_EQ(none.Stability, LakeStability::None);
    EXPECT_TRUE(std::isnan(LakeEffectReadingsFor(session, 0).T850));
}

TEST_F(LakePanel, LakeOptionsSetTheDiagramFlagsAndRedraw) {
    panel->chkLakeIndex->click();
    panel->chkMoistLakeIndex->click();
    panel->chkLIC->click();
    EXPECT_TRUE(view.options.LakeIndex && view.options.MoistLakeIndex && view.options.LIC);
    panel->chkLIC->click();
    EXPECT_FALSE(view.options.LIC);
    EXPECT_EQ(redraws, 4);
    // The captions only name their topic.
    panel->Label21_Click();
    panel->Label22_Click();
    panel->Label39_Click();
    EXPECT_EQ(redraws, 4);
    EXPECT_EQ(words,
              (std::vector<std::string>{"Lake Index", "Moist Lake Index", "LI CAPE", "LI CAPE",
                                        "Lake Index", "Moist Lake Index", "LI CAPE"}));
}

} // namespace
} // namespace tarvex
