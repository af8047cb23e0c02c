#include "profile/diagrams/ClosingOverlays.h"
#include "compute/ComputeState.h"
#include "compute/Hodograph.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// Six levels over a 1000 mb surface on a diagram from 100 to 1050 mb.
class Closing : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1000.0f;
        p.Levels = {{990, 0, 20, 15, 5}, {950, 0, 17, 12, 8},  {900, 0, 14, 8, 12},
                    {850, 0, 11, 5, 10}, {700, 0, 0, -10, 15}, {500, 0, -20, -30, 25}};
        test::WriteProfile(s, p);
        s.DrawLevelCount(1) = 6;
        s.DiagramTopPressure = 100;
        s.DiagramBottomPressure = 1050;
        view.SkewBaseLogP = static_cast<float>(std::log(1000.0));
        view.HalfTextHeight = 0.02f;
        view.options.SigmaLevel = false;
    }
    // Pressures of the right-edge marks drawn in a display mode, and the
    // texts.
    std::vector<double> Marks(std::int16_t mode) {
        view.extras.DisplayMode = mode;
        pic.Clear(); // each display is drawn on a cleared picture
        pic.ForgetOperations();
        pic.Scale(0.0, std::log(100.0), 100.0, std::log(1050.0));
        DrawDisplayModeMarks(pic, session, view);
        std::vector<double> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Line)) {
            EXPECT_EQ(op.color, RGB(255, 255, 255));
            EXPECT_DOUBLE_EQ(op.x2 - op.x1, -6.0);
            out.push_back(std::round(std::exp(op.y1)));
        }
        return out;
    }
    std::vector<DrawOperation> Texts() const { return pic.OperationsOf(Kind::Text); }

    Session session;
    ProfileArrays& s = *session.profile;
    SoundingView view;
    RecordingSurface pic{1000, 800};
};

TEST_F(Closing, MarksOfEachDisplayMode) {
    using P = std::vector<double>;
    // Map: the sigma level, then the mean-flow layer, each behind its box; a
    // level the sounding does not have is left out.
    view.options.SigmaLevel = view.options.MeanFlow = true;
    view.SigmaLevel = 3;
    view.MeanFlowLevels = {1, 5};
    EXPECT_EQ(Marks(kMapMode), (P{900, 990, 700}));
    view.MeanFlowLevels = {1, 40};
    view.options.SigmaLevel = false;
    EXPECT_EQ(Marks(kMapMode), (P{990}));
    // Hodograph: the layer's base (here the ground) and top, whatever the
    // boxes.
    session.hodograph->HodoTopLevel(1, 0) = 4;
    EXPECT_EQ(Marks(kHodographMode), (P{1000, 850}));
    // The other panels mark nothing.
    for (std::int16_t mode : {0, 3, 4, 6, 7, 8, 99}) EXPECT_TRUE(Marks(mode).empty()) << mode;
    EXPECT_TRUE(Texts().empty());
}

TEST_F(Closing, TheLowLevelJetLabel) {
    WindResults& winds = *session.winds;
    // Vectors not yet worked out: they are, and the strongest wind up to
    // 800 mb is the 12 m/s of 900 mb.
    Marks(kHeavyPrecipMode);
    EXPECT_EQ(winds.MBEDone(1, 0), kFlagTrue);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].text, "LLJ");
    EXPECT_EQ(Texts()[0].state.foreColor, RGB(0, 255, 0));
    EXPECT_DOUBLE_EQ(Texts()[0].x1, 94.0);
    EXPECT_NEAR(Texts()[0].y1, std::log(900.0) - pic.TextHeight("I") / 2.0, 1e-6);
    // A maximum at the top of the searched layer.
    winds.LLJAtTop(1, 0) = kFlagTrue;
    Marks(kHeavyPrecipMode);
    EXPECT_EQ(Texts()[0].text, "LL?");
    EXPECT_EQ(Texts()[0].state.foreColor, RGB(0, 128, 0));
    // The jet level's digital wind speed stands where the label would: the
    // label moves left of the digital winds' columns and both show.
    pic.Clear();
    pic.SetCurrentX(94.0);
    pic.SetCurrentY(std::log(900.0) - pic.TextHeight("I") / 2.0);
    pic.PrintNoNewline(" 23 ");
    pic.ForgetOperations();
    DrawDisplayModeMarks(pic, session, view);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NEAR(Texts()[0].x1, 86.0 - pic.TextWidth("LL?"), 1e-9);
    // On a narrow picture the edge would cut the label: it moves in, whole.
    RecordingSurface narrow(120, 800);
    narrow.Scale(0.0, std::log(100.0), 100.0, std::log(1050.0));
    DrawDisplayModeMarks(narrow, session, view);
    const std::vector<DrawOperation> drawn = narrow.OperationsOf(Kind::Text);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, "LL?");
    ASSERT_GT(94.0 + narrow.TextWidth("LL?"), 100.0);
    EXPECT_NEAR(drawn[0].x1, 100.0 - narrow.TextWidth("LL?"), 1e-6);
}

TEST_F(Closing, SecondHalfRunsInOrderAndEndsWithOmega) {
    session.temperatureAxis.LeftTemp = -40;
    session.temperatureAxis.RightTemp = 40;
    pic.Scale(-40.0, std::log(100.0), 40.0, std::log(1050.0)); // the temperature frame
    view.extras.MomentumXferIndex = 0;
    s.Temperature(1, 0, 3) = 18.0f; // an inversion from 950 to 900 mb
    s.Temperature(1, 0, 6) = -15.0f;
    for (int L = 1; L <= 6; ++L) s.RelativeHumidity(1, 0, L) = 96.0f;
    s.Precip(1, 0) = 0.05f;
    session.ptype->PTypeCode(1, 0) = kPTypeRain;
    s.SurfaceTemp(1, 0) = 24.5f;
    s.SurfaceDewPoint(1, 0) = -0.5f;
    SoundingOptions& o = view.options;
    o.Momentum = o.SnowGrowth = o.RH = o.WindVector = o.TenMWind = o.Omega = true;
    view.extras.DisplayMode = kHodographMode;
    DrawSoundingSecondHalf(pic, session, view);

    const auto& ops = pic.Operations();
    auto first = [&](auto match) { return std::find_if(ops.begin(), ops.end(), match); };
    const auto grey = first([](const auto& op) { return op.color == RGB(192, 192, 192); });
    const auto snow = first(
        [](const auto& op) { return op.state.drawWidth == 3 && op.color == RGB(255, 255, 0); });
    const auto strip = first([](const auto& op) { return op.kind == Kind::FilledBox; });
    const auto column = first([](const auto& op) { return op.kind == Kind::Circle; });
    const auto rain = first([](const auto& op) { return op.text == "R"; });
    const auto surface = first([](const auto& op) { return op.text == " 25 / 0 "; });
    const auto mark = first([](const auto& op) { return op.x1 == 100.0; });
    EXPECT_TRUE(grey < snow && snow < strip && strip < column && column < rain && rain < surface &&
                surface < mark && mark < ops.end());
    EXPECT_DOUBLE_EQ(strip->scale.width, 100.0); // the percent frame
    EXPECT_DOUBLE_EQ(surface->x1, 5.0);
    EXPECT_NEAR(surface->y1, (std::log(1000.0) + std::log(1050.0)) / 2.0 - 0.02, 1e-6);
    EXPECT_EQ(surface->state.foreColor, RGB(255, 255, 0));
    EXPECT_FALSE(surface->state.fontTransparent);
    EXPECT_DOUBLE_EQ(ops.back().scale.left, -11.0); // omega last, in its own scale
}

} // namespace
} // namespace tarvex
