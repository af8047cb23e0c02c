#include "profile/diagnostics/EntrainingParcel.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// A parcel from 1000 mb (30 C, dew point -20 C) stays dry up to its
// condensation level near 473 mb, so every level is lifted by hand along
// T = 303.16 (p / 1000)^(2/7) - 273.16: 25.59 C at 950 mb (0.41 colder than
// the air), 21.01 at 900 (1.01 warmer), 11.28 at 800 (0.72 colder).
class EntrainingParcel : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.Levels = {{1000, 100, 30, -20}, {950, 550, 26, -20}, {900, 1000, 20, -20},
                    {800, 2000, 12, -25}, {700, 3000, 3, -30}, {600, 4200, -6, -35},
                    {500, 5600, -15, -40}};
        test::WriteProfile(*session.profile, p);
        view.SkewBaseLogP = static_cast<float>(std::log(1000.0));
        view.SkewFactor = SkewTFactor();
    }

    Session session;
    SoundingView view;
    RecordingSurface overlay{800, 600};
};

TEST_F(EntrainingParcel, LiftedByHandDryToTheEquilibriumLevel) {
    const ECAPELabels labels = PlotECAPE(overlay, session, view, 0, 1);
    // CAPE: 9.80616 * 1.010 / 273.16 * 1000 m = 36.3; CIN below it:
    // 9.80616 * 0.410 / 273.16 * 450 m = 6.6.
    EXPECT_EQ(labels.lblECAPE, "36 J/kg ");
    EXPECT_EQ(labels.lblECIN, "7 J/kg ");
    EXPECT_EQ(labels.lblEParcelp, "1000 mb");
    EXPECT_EQ(labels.lblEParcelt, "30 C");
    EXPECT_EQ(labels.lblEParceldp, "-20 C");
    EXPECT_NE(labels.lblEEQL.find(" ft      "), std::string::npos);
    EXPECT_EQ(view.ECAPEPlotted, kFlagTrue);

    // The trace: a point at the start, lines to 950 and 900 mb (the last
    // buoyant level), then to the equilibrium level, where the temperature
    // difference (+1.010 at 900, -0.725 at 800) changes sign: 841.78 mb,
    // 15.44 C on the dry adiabat.
    const auto ops = overlay.Operations();
    ASSERT_EQ(ops.front().kind, Kind::Clear);
    const auto lines = overlay.OperationsOf(Kind::Line);
    ASSERT_EQ(overlay.OperationsOf(Kind::Point).size(), 1u);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(lines[1].y2, std::log(900.0), 1e-6);
    const double lnEL = std::log(841.78);
    EXPECT_NEAR(lines[2].y2, lnEL, 1e-4);
    EXPECT_NEAR(lines[2].x2, 15.44 + (std::log(1000.0) - lnEL) * SkewTFactor(), 0.01);
    EXPECT_EQ(lines[2].color, RGB(255, 255, 0));

    // From 800 mb nothing is buoyant: the trace goes and the labels empty.
    overlay.ForgetOperations();
    const ECAPELabels none = PlotECAPE(overlay, session, view, 0, 4);
    EXPECT_TRUE(none.lblECAPE.empty() && none.lblEParcelp.empty() && none.lblNECAPE.empty());
    ASSERT_EQ(overlay.Operations().size(), 1u); // cleared, nothing drawn
    EXPECT_EQ(view.ECAPEPlotted, 0);
}

TEST_F(EntrainingParcel, TheFrameIsDecidedOncePerHourAndFile) {
    EXPECT_TRUE(DisplayECAPEFrame(session, 0));
    EXPECT_EQ(session.fogParcel.ECAPEFrameState(1, 0), 1);
    // Kept until the next file, even when the profile changes.
    session.profile->LevelCount(1) = 3;
    EXPECT_TRUE(DisplayECAPEFrame(session, 0));
    session.ClearCachesAfterRead();
    // Three levels leave no start level to try.
    EXPECT_FALSE(DisplayECAPEFrame(session, 0));
    EXPECT_EQ(session.fogParcel.ECAPEFrameState(1, 0), 0);
    EXPECT_FLOAT_EQ(session.fogParcel.XoverManual(1, 0), 999.0f);
}

TEST(EntrainingParcelLabels, RoundedHalfToEvenInTheShortestForm) {
    EXPECT_EQ(ShortestRounded(12.0, 1), "12");
    EXPECT_EQ(ShortestRounded(2.5, 0), "2");
    EXPECT_EQ(ShortestRounded(3.5, 0), "4");
    EXPECT_EQ(ShortestRounded(-0.04, 1), "0");
    EXPECT_EQ(ShortestRounded(-7.25, 1), "-7.2");
}

} // namespace
} // namespace tarvex
