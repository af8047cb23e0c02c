#include "profile/diagrams/WindColumn.h"
#include "compute/ProfileBuilder.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;
const double kSpan = std::log(10.0); // the diagram runs from 100 to 1000 mb

// Twelve levels over a 990 mb surface, 1.1 % of the picture's height apart.
class Column : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 990.0f;
        for (int L = 1; L <= 12; ++L)
            p.Levels.push_back({static_cast<float>(980.0 * std::exp(-0.011 * kSpan * (L - 1)))});
        test::WriteProfile(s, p);
        test::PoisonLevel(s, 0, 13);
        s.DrawLevelCount(1) = 20; // beyond the profile: never read above level 12
        s.DiagramTopPressure = 100;
        s.DiagramBottomPressure = 1000;
        view.SkewBaseLogP = static_cast<float>(std::log(990.0));
        view.HalfTextHeight = 0.01f;
        view.options.WindVector = true;
        pic.Scale(0.0, std::log(100.0), 100.0, std::log(1000.0));
    }
    void Wind(int L, float direction, float knots) {
        s.WindDirection(1, 0, L) = direction;
        s.WindSpeed(1, 0, L) = knots;
    }
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    ProfileArrays& s = *store;
    SoundingView view;
    RecordingSurface pic{1000, 800};
};

TEST_F(Column, LevelsOfEachIntervalAndSpacing) {
    using Levels = std::vector<int>;
    view.extras.VWPInterval = 3;
    EXPECT_EQ(WindColumnLevels(s, 0, view), (Levels{0, 3, 6, 9, 12}));
    view.extras.VWPInterval = 0; // counts as 1 (the loop would never advance)
    EXPECT_EQ(WindColumnLevels(s, 0, view).size(), 13u);
    // Spaced: at least 1.5 %, 3 % or 4.5 % of the height from the last one
    // shown, level 1 always.
    view.extras.UseVWPIntervalA = true;
    view.extras.VWPIntervalA = 1;
    EXPECT_EQ(WindColumnLevels(s, 0, view), (Levels{0, 1, 3, 5, 7, 9, 11}));
    view.extras.VWPIntervalA = 2;
    EXPECT_EQ(WindColumnLevels(s, 0, view), (Levels{0, 1, 4, 7, 10}));
    view.extras.VWPIntervalA = 3;
    EXPECT_EQ(WindColumnLevels(s, 0, view), (Levels{0, 1, 6, 11}));
    // The circles sit at those levels; level 0 halfway between the surface
    // and the bottom edge.
    DrawWindColumn(pic, s, view);
    const auto circles = pic.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_NEAR(circles[0].y1, (view.SkewBaseLogP + std::log(1000.0)) / 2.0, 1e-9);
    EXPECT_NEAR(circles[2].y1, std::log(static_cast<double>(s.Pressure(1, 0, 6))), 1e-9);
    EXPECT_DOUBLE_EQ(circles[2].x1, 93.0);
}

TEST_F(Column, VectorsPointIntoTheWindColouredBySpeed) {
    s.DrawLevelCount(1) = 4;
    Wind(1, 90, 10);  // easterly: to the right, 4.5 % of the width
    Wind(2, 360, 20); // northerly: up
    Wind(3, 225, 9.9f);
    Wind(4, 225, 60);
    view.extras.ColorWinds = true;
    DrawWindColumn(pic, s, view);
    const auto lines = pic.OperationsOf(Kind::Line);
    ASSERT_EQ(lines.size(), 5u);
    const double a = (kSpan / 100.0) / 0.8; // y units per x unit on the screen
    EXPECT_NEAR(lines[1].x2 - 93.0, 4.5, 1e-4);
    EXPECT_NEAR(lines[1].y2 - lines[1].y1, 0.0, 1e-4);
    EXPECT_NEAR(lines[2].x2 - 93.0, 0.0, 1e-3);
    EXPECT_NEAR(lines[2].y2 - lines[2].y1, -9.0 * a, 1e-4);
    EXPECT_NEAR(lines[4].x2 - 93.0, -27.0 * std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(lines[4].y2 - lines[4].y1, 27.0 * std::sqrt(0.5) * a, 1e-3);
    const auto circles = pic.OperationsOf(Kind::Circle);
    EXPECT_EQ(circles[1].color, RGB(255, 0, 0));             // 10 kt
    EXPECT_EQ(circles[3].color, RGB(255, 255, 255));         // 9.9 kt
    EXPECT_EQ(circles[4].state.fillColor, RGB(255, 0, 255)); // 60 kt
}

TEST_F(Column, DigitalWindsAndTheSurfaceWind) {
    s.DrawLevelCount(1) = 2;
    // Levels a text's height apart, and from the surface wind below them.
    s.Pressure(1, 0, 1) = 850.0f;
    s.Pressure(1, 0, 2) = 700.0f;
    Wind(1, 121.5f, 22.5f);
    Wind(2, 122.5f, 23.5f);
    view.options.WindVector = false;
    view.options.WindDigital = true;
    view.options.TenMWind = true; // the surface wind goes with the vectors only
    DrawWindColumn(pic, s, view);
    auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[2].text, " 122 "); // halves to even
    EXPECT_DOUBLE_EQ(texts[2].x1, 86.0);
    EXPECT_EQ(texts[3].text, " 22 ");
    EXPECT_DOUBLE_EQ(texts[3].x1, 94.0);
    EXPECT_EQ(texts[5].text, " 24 ");
    // Each line centred on its level.
    EXPECT_NEAR(texts[4].y1,
                std::log(static_cast<double>(s.Pressure(1, 0, 2))) - pic.TextHeight("0") / 2.0,
                1e-9);

    // A level at the diagram's top: its values move down to show whole.
    s.Pressure(1, 0, 2) = 100.0f;
    pic.Clear();
    pic.ForgetOperations();
    DrawWindColumn(pic, s, view);
    texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 6u);
    for (std::size_t k : {4u, 5u}) EXPECT_DOUBLE_EQ(pic.ToPixelY(texts[k].y1), 0.0) << k;

    // Vectors with the surface wind beside the bottom one, halves up.
    view.options.WindVector = true;
    view.options.WindDigital = false;
    s.SurfaceWindDirection(1, 0) = 244.5f;
    s.SurfaceWindSpeed(1, 0) = 12.5f;
    pic.Clear(); // the sounding is drawn afresh each time
    pic.ForgetOperations();
    DrawWindColumn(pic, s, view);
    texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, " 245 ");
    EXPECT_EQ(texts[1].text, " 13 ");
    EXPECT_FALSE(texts[0].state.fontTransparent);
    // Its room is kept, before the diagram's other texts, where it prints;
    // a surface below the picture shows no surface wind and keeps no room.
    pic.Clear();
    KeepWindColumnRoom(pic, s, view);
    EXPECT_FALSE(pic.ReserveTextPlace(texts[1].x1, texts[1].y1, texts[1].text));
    view.SkewBaseLogP = static_cast<float>(std::log(1100.0));
    pic.Clear();
    KeepWindColumnRoom(pic, s, view);
    EXPECT_TRUE(pic.ReserveTextPlace(texts[1].x1, texts[1].y1, texts[1].text));
    pic.Clear();
    pic.ForgetOperations();
    DrawWindColumn(pic, s, view);
    EXPECT_TRUE(pic.OperationsOf(Kind::Text).empty());

    // Neither option: nothing, not even a colour.
    view.options.WindVector = false;
    pic.ForgetOperations();
    pic.SetForeColor(RGB(1, 2, 3));
    DrawWindColumn(pic, s, view);
    EXPECT_TRUE(pic.Operations().empty());
    EXPECT_EQ(pic.ForeColor(), RGB(1, 2, 3));
}

// Levels 1.1 % of the picture apart, closer than a line: the higher of two
// crowding lines gives way with both its texts; the surface wind is the
// lowest line, printed once (the 10 m wind beside the vectors), whole inside
// the picture; with the omega strip on, no line stands under it.
TEST_F(Column, CrowdedLevelsGiveWayAsPairs) {
    s.DrawLevelCount(1) = 12;
    for (int L = 0; L <= 12; ++L) Wind(L, 200.0f + L, 10.0f + L);
    s.SurfaceWindDirection(1, 0) = 200.0f;
    s.SurfaceWindSpeed(1, 0) = 10.0f;
    view.options.WindDigital = true;
    view.options.TenMWind = true;
    const double line = pic.ToPixelY(pic.TextHeight("0")) - pic.ToPixelY(0.0);
    std::vector<int> levels;
    for (const WindColumnRow& row : WindColumnRows(pic, s, view)) levels.push_back(row.level);
    EXPECT_EQ(levels, (std::vector<int>{0, 3, 5, 7, 9, 11}));
    DrawWindColumn(pic, s, view);
    const auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 2 * levels.size());
    EXPECT_EQ(texts[0].text, " 200 ");
    EXPECT_FALSE(texts[0].state.fontTransparent); // the 10 m wind's box
    EXPECT_DOUBLE_EQ(pic.ToPixelY(texts[0].y1) + line, 800.0);
    for (std::size_t k = 2; k < texts.size(); k += 2) {
        EXPECT_EQ(texts[k].y1, texts[k + 1].y1);
        EXPECT_GE(pic.ToPixelY(texts[k - 2].y1) - pic.ToPixelY(texts[k].y1), line - 1.0);
    }
    // A level 3 px below the top edge: moved down to show whole, or left
    // out under the omega strip.
    s.Pressure(1, 0, 12) = static_cast<float>(100.0 * std::exp(3.0 / 800.0 * kSpan));
    EXPECT_EQ(WindColumnRows(pic, s, view).back().level, 12);
    EXPECT_EQ(WindColumnRows(pic, s, view).back().top, pic.ScaleTop());
    view.options.Omega = true;
    pic.SetDesignSize(1000, 800);
    EXPECT_EQ(WindColumnRows(pic, s, view).back().level, 11);
}

} // namespace
} // namespace tarvex
