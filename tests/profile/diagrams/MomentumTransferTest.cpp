#include "profile/diagrams/MomentumTransfer.h"
#include "compute/ProfileBuilder.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// Over a 1000 mb surface: a 10 mb inversion at the ground, two layers
// mixed near the dry rate (about 97 and 83 per unit of ln p against 58 for
// 70 % of it), then a 50 mb inversion from 900 to 850 mb. Upright, so x is
// the temperature. Winds (m/s): u -10 below 850 mb, v 0, 0, 10, 10.
class Mixing : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1000.0f;
        p.Levels = {{1000, 0, 20, 10, -10, 0},
                    {990, 0, 20.5f, 10, -10, 0},
                    {950, 0, 16.5f, 10, -10, 10},
                    {900, 0, 12, 5, -10, 10},
                    {850, 0, 14, 0, 30, 30}};
        test::WriteProfile(s, p);
        s.WindDirection(1, 0, 4) = 224.5f;
        s.WindSpeed(1, 0, 4) = 30.4f;
        view.SkewFactor = 0.0f;
        view.SkewBaseLogP = static_cast<float>(std::log(1000.0));
        view.extras.MomentumXferIndex = 0; // "30"
        pic.Scale(-40.0, std::log(100.0), 40.0, std::log(1050.0));
    }
    std::vector<std::string> Texts() {
        pic.Clear(); // the sounding is drawn afresh each time
        pic.ForgetOperations();
        DrawMomentumTransfer(pic, s, view);
        std::vector<std::string> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
        return out;
    }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    ProfileArrays& s = *store;
    SoundingView view;
    RecordingSurface pic{1000, 800};
};

TEST_F(Mixing, TheStableDepthChoosesTheTop) {
    // Captions by element: "30", "1", "10", "20".
    EXPECT_EQ(XferDepth(0), 30);
    EXPECT_EQ(XferDepth(3), 20);
    // The 10 mb inversion at the ground ends the layer for "1" and "10"; for
    // "20" and "30" the mixed layers above reset the depth and the 50 mb
    // inversion ends it at level 4, as it does when no run is deep enough.
    EXPECT_EQ(MixedLayerTop(s, 0, 1), 1);
    EXPECT_EQ(MixedLayerTop(s, 0, 10), 1);
    EXPECT_EQ(MixedLayerTop(s, 0, 20), 4);
    EXPECT_EQ(MixedLayerTop(s, 0, 200), 4);
}

TEST_F(Mixing, HighlightTopWindAndMeanWind) {
    const auto texts = Texts();
    // The wind at the top rounded half up, and the mean of (-10, 5) m/s:
    // from 90 + atan(1/2) = 116.6 deg at 21.7 kt.
    EXPECT_EQ(texts, (std::vector<std::string>{" --->  225 \xC2\xB0 30 kts",
                                               " --->  117 \xC2\xB0 22 kts"}));
    const auto ops = pic.OperationsOf(Kind::Text);
    EXPECT_DOUBLE_EQ(ops[0].x1, 12.0); // beside level 4
    EXPECT_NEAR(ops[0].y1, std::log(900.0) - 0.66 * pic.TextHeight("H"), 1e-9);
    EXPECT_DOUBLE_EQ(ops[1].x1, 20.5); // beside level 4 / 2
    const auto lines = pic.OperationsOf(Kind::Line);
    ASSERT_EQ(lines.size(), 3u); // from the point of level 1 up to level 4
    EXPECT_DOUBLE_EQ(pic.OperationsOf(Kind::Point)[0].x1, 20.0);
    EXPECT_DOUBLE_EQ(lines[2].x2, 12.0);
    EXPECT_EQ(lines[2].color, RGB(192, 192, 192));
    EXPECT_EQ(lines[2].state.drawWidth, 3);

    // A layer ending at the ground has no mean wind.
    view.extras.MomentumXferIndex = 1; // "1"
    EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(Mixing, ACalmMeanUComponentAndNoStableLayer) {
    const float u[] = {5, -5, 5, -5}; // mean u 0, v 10 m/s: from due south
    for (int L = 1; L <= 4; ++L) {
        s.WindU.Level(1, 0, L) = u[L - 1];
        s.WindV.Level(1, 0, L) = 10.0f;
    }
    EXPECT_EQ(Texts().at(1), " --->  180 \xC2\xB0 19 kts");
    s.Temperature(1, 0, 2) = 19.0f; // no inversion anywhere: nothing drawn
    s.Temperature(1, 0, 5) = 7.0f;
    EXPECT_FALSE(MixedLayerTop(s, 0, 30).has_value());
    Texts();
    EXPECT_TRUE(pic.Operations().empty());
}

} // namespace
} // namespace tarvex
