#include "profile/diagnostics/OmegaProfile.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

TEST(OmegaScale, LabelsAndZoom) {
    RecordingSurface pic(600, 17);
    auto labels = [&](float R) {
        pic.ForgetOperations();
        PrintOmega(pic, R);
        std::vector<std::string> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
        return out;
    };
    // The values on the strip, none past its ends.
    EXPECT_EQ(labels(11.0f), (std::vector<std::string>{"-10", "-5", "0", "+5", "+10"}));
    const auto texts = pic.OperationsOf(Kind::Text);
    EXPECT_EQ(texts[0].state.foreColor, RGB(255, 0, 0));
    EXPECT_EQ(texts[2].state.foreColor, RGB(0, 0, 0));
    EXPECT_EQ(texts[3].state.foreColor, RGB(0, 0, 255));
    EXPECT_NEAR(texts[3].x1 + pic.TextWidth("+5") / 2.0, 5.0, 1e-9); // centred
    EXPECT_EQ(labels(9.9f).back(), "+8");                            // step 2
    EXPECT_EQ(labels(30.0f).front(), "-30");                         // step 10
    // A label at the strip's end is moved in to show whole.
    labels(10.0f);
    const auto ends = pic.OperationsOf(Kind::Text);
    EXPECT_NEAR(ends.front().x1, -10.0, 1e-9);
    EXPECT_NEAR(ends.back().x1 + pic.TextWidth("+10"), 10.0, 1e-9);
    // Left narrows by 0.7, right widens, others keep; not beyond the bounds.
    EXPECT_NEAR(ZoomOmegaScale(11.0f, 1), 7.7f, 1e-5f);
    EXPECT_NEAR(ZoomOmegaScale(11.0f, 2), 11.0f / 0.7f, 1e-4f);
    EXPECT_FLOAT_EQ(ZoomOmegaScale(11.0f, 4), 11.0f);
    EXPECT_FLOAT_EQ(ZoomOmegaScale(900.0f, 2), 900.0f);
}

TEST(OmegaProfile, RawOrSmoothedUpToTheTopDrawnLevel) {
    Session session;
    ProfileArrays& s = *session.profile;
    test::OneTimeProfile p;
    p.Levels = {{1000}, {850}, {700}, {500}};
    for (int t = 0; t < 3; ++t) test::WriteProfile(s, p, t);
    for (int L = 1; L <= 4; ++L) s.Omega(1, 1, L) = static_cast<float>(L); // hour 1 only
    s.DrawLevelCount(1) = 3;
    s.DiagramTopPressure = 100;
    s.DiagramBottomPressure = 1050;
    SoundingView view;
    view.CurrentColumn = 1;
    view.extras.OmegaFiltered = false;
    RecordingSurface pic(1000, 800);
    PlotOmegaProfile(pic, session, view);
    auto lines = pic.OperationsOf(Kind::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].state.drawStyle, DrawStyle::Dot); // the zero line
    EXPECT_DOUBLE_EQ(lines[0].x1, 0.0);
    EXPECT_DOUBLE_EQ(lines[1].x1, 1.0); // levels 1 to 3 as read
    EXPECT_DOUBLE_EQ(lines[2].x2, 3.0);
    EXPECT_NEAR(lines[2].y2, std::log(700.0), 1e-6);
    EXPECT_DOUBLE_EQ(pic.ScaleLeft(), -11.0);

    // Smoothed on first use: level 2 of hour 1 is (2 x 2 + 0 + 0 + 1 + 3) / 6.
    view.extras.OmegaFiltered = true;
    pic.ForgetOperations();
    PlotOmegaProfile(pic, session, view);
    EXPECT_NE(session.wholeRun->SmoothedOmegaDone(1), kFlagFalse);
    EXPECT_NEAR(pic.OperationsOf(Kind::Line)[1].x2, 8.0 / 6.0, 1e-6);
}

} // namespace
} // namespace tarvex
