#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// The recording surface measures 7 by 13 pixels per character; on a 400 by
// 400 pixel surface scaled 0..100 across and 0..200 down a character is
// 1.75 units wide and a line 6.5 units high.
class ScaledRecording : public ::testing::Test {
  protected:
    ScaledRecording() { surface.Scale(0, 0, 100, 200); }
    RecordingSurface surface{400, 400};
};

TEST_F(ScaledRecording, PrintMovesThePositionByTheText) {
    surface.SetCurrentX(10);
    surface.SetCurrentY(20);
    surface.PrintNoNewline("abc");
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 15.0); // 20 px
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 20.0);

    surface.Print("de");
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 0.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 26.5);

    const auto texts = surface.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "abc");
    EXPECT_FALSE(texts[0].lineEnd);
    EXPECT_EQ(texts[1].text, "de");
    EXPECT_TRUE(texts[1].lineEnd);
    EXPECT_DOUBLE_EQ(texts[1].x1, 15.0);
    EXPECT_DOUBLE_EQ(texts[1].y1, 20.0);
}

TEST_F(ScaledRecording, TextExtentIsSignedLikeTheScale) {
    EXPECT_DOUBLE_EQ(surface.TextWidth("°C"), 3.25); // two characters, three bytes: 13 px
    EXPECT_DOUBLE_EQ(surface.TextHeight(""), 6.5);

    // Upward y and leftward x: a line end moves y down the screen, i.e. to
    // smaller values, and returns x to the scale's left.
    surface.Scale(50, 100, -50, 0);
    EXPECT_DOUBLE_EQ(surface.TextWidth("ab"), -3.5);
    EXPECT_DOUBLE_EQ(surface.TextHeight("x"), -3.25);
    surface.SetCurrentX(0);
    surface.SetCurrentY(60);
    surface.Print("x");
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 50.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 56.75);
}

TEST_F(ScaledRecording, EveryDrawingOperationMovesTheCurrentPosition) {
    surface.Line(1, 2, 3, 4);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 3.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 4.0);
    surface.LineTo(5, 6);
    surface.Circle(50, 60, 2);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 50.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 60.0);
    surface.LineRel(-10, 5);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 40.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 65.0);
    surface.Box(10, 20, 30, 40);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 30.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 40.0);
    surface.FilledBox(11, 21, 31, 41, RGB(1, 2, 3));
    surface.PSet(7, 8);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 7.0);
    surface.Arc(70, 80, 5, 1.5, 3.1);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 80.0);
    surface.Scale(-5, 9, 5, -9);
    surface.Clear();
    EXPECT_DOUBLE_EQ(surface.CurrentX(), -5.0);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 9.0);

    const auto& ops = surface.Operations();
    ASSERT_EQ(ops.size(), 9u);
    // LineTo starts at the previous end; LineRel at the circle's centre.
    EXPECT_EQ(ops[1].kind, Kind::Line);
    EXPECT_DOUBLE_EQ(ops[1].x1, 3.0);
    EXPECT_DOUBLE_EQ(ops[1].y2, 6.0);
    EXPECT_EQ(ops[3].kind, Kind::Line);
    EXPECT_DOUBLE_EQ(ops[3].x1, 50.0);
    EXPECT_DOUBLE_EQ(ops[3].y1, 60.0);
    EXPECT_DOUBLE_EQ(ops[3].x2, 40.0);
    EXPECT_DOUBLE_EQ(ops[3].y2, 65.0);
    EXPECT_EQ(ops[5].kind, Kind::FilledBox);
    EXPECT_EQ(ops[5].color, RGB(1, 2, 3));
    EXPECT_EQ(ops[7].kind, Kind::Arc);
    EXPECT_DOUBLE_EQ(ops[7].start, 1.5);
    EXPECT_DOUBLE_EQ(ops[7].end, 3.1);
    EXPECT_EQ(ops[8].kind, Kind::Clear);
}

TEST_F(ScaledRecording, OperationsCarryTheStateInForce) {
    surface.SetForeColor(RGB(255, 0, 0));
    surface.SetFillColor(RGB(0, 0, 255));
    surface.SetFillStyle(FillStyle::Solid);
    surface.SetDrawWidth(2);
    surface.SetDrawStyle(DrawStyle::Dot);
    surface.SetDrawMode(DrawMode::XorPen);
    surface.SetFontTransparent(false);
    surface.Line(0, 0, 10, 10);
    surface.Line(0, 0, 10, 10, RGB(0, 255, 0));
    surface.SetDrawMode(DrawMode::CopyPen);
    surface.SetDrawWidth(0); // taken as 1
    surface.Circle(5, 5, 1);
    surface.Print("T");

    const auto& ops = surface.Operations();
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[0].color, RGB(255, 0, 0));
    EXPECT_EQ(ops[0].state.drawMode, DrawMode::XorPen);
    EXPECT_EQ(ops[0].state.drawStyle, DrawStyle::Dot);
    EXPECT_EQ(ops[0].state.drawWidth, 2);
    EXPECT_FALSE(ops[0].state.fontTransparent);
    EXPECT_EQ(ops[0].scale, (UserScale{0, 0, 100, 200}));
    // An explicit colour is the line's; the fore colour stays.
    EXPECT_EQ(ops[1].color, RGB(0, 255, 0));
    EXPECT_EQ(ops[1].state.foreColor, RGB(255, 0, 0));
    EXPECT_EQ(ops[2].state.drawMode, DrawMode::CopyPen);
    EXPECT_EQ(ops[2].state.drawWidth, 1);
    EXPECT_EQ(ops[2].state.fillStyle, FillStyle::Solid);
    EXPECT_EQ(ops[2].state.fillColor, RGB(0, 0, 255));
    EXPECT_EQ(ops[3].color, RGB(255, 0, 0));
}

// A text printed is measured once for its box, advance and neighbours; a
// change of anything its font is made from measures it anew: each step
// below changes one of them, and the width follows it.
TEST(PictureSurfaceText, AMeasuredTextIsMeasuredAgainInEveryOtherFont) {
    RecordingSurface pic(300, 200);
    pic.SetDesignSize(300, 200);
    pic.SetFontSize(24);
    const auto unmeasured = [&pic](std::string_view text) {
        RecordingSurface fresh(pic.PixelWidth(), pic.PixelHeight());
        fresh.SetDesignSize(pic.DesignWidth(), pic.DesignHeight());
        fresh.SetFontName(pic.FontName());
        fresh.SetFontSize(pic.FontSize());
        fresh.SetFontBold(pic.FontBold());
        return fresh.TextWidth(text);
    };
    std::string text = " 12 ";
    const std::function<void()> steps[] = {
        [&] { pic.SetFontSize(30); },
        [&] { pic.SetFontBold(true); },
        [&] { pic.SetFontName("Courier New"); },
        [&] { pic.Resize(150, 200); },       // text scale 1 to 0.5
        [&] { pic.Resize(150, 50); },        // 0.5 to 0.25
        [&] { pic.SetDesignSize(300, 50); }, // 0.25 to 0.5
        [&] { pic.SetDesignSize(150, 50); }, // 0.5 to 1
        [&] { text = " 1234 "; },
    };
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        pic.SetCurrentX(0);
        pic.SetCurrentY(0);
        pic.PrintNoNewline(text);
        const double before = pic.TextWidth(text);
        steps[k]();
        EXPECT_NE(pic.TextWidth(text), before) << "step " << k;
        EXPECT_DOUBLE_EQ(pic.TextWidth(text), unmeasured(text)) << "step " << k;
    }
}

TEST(PictureSurfaceScale, CornersWithoutExtentLeaveTheScaleAlone) {
    RecordingSurface surface(200, 100);
    surface.Scale(1, 2, 3, 4);
    surface.Scale(5, 0, 5, 10);           // no width
    surface.Scale(0, 7, 10, 7);           // no height
    surface.Scale(0, 0, std::nan(""), 1); // not a number
    EXPECT_EQ(surface.CurrentScale(), (UserScale{1, 2, 2, 2}));
    surface.Resize(300, 150); // a user scale stays on a resize
    EXPECT_EQ(surface.CurrentScale(), (UserScale{1, 2, 2, 2}));
    surface.ScalePixels();
    surface.Resize(0, -4); // held at one pixel
    EXPECT_EQ(surface.CurrentScale(), (UserScale{0, 0, 1, 1}));
}

TEST(PictureSurfaceColours, PartsOutsideAByteTakeTheNearestLimit) {
    EXPECT_EQ(RGB(97, 54, 0), (Rgb{97, 54, 0}));
    EXPECT_EQ(RGB(300, -5, 255), (Rgb{255, 0, 255}));
}

TEST(PictureSurfacePictures, TakingAndSettingAreRecorded) {
    RecordingSurface surface;
    const Picture picture = surface.TakePicture();
    surface.SetPicture(picture);
    const auto& ops = surface.Operations();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, Kind::TakePicture);
    EXPECT_EQ(ops[1].kind, Kind::SetPicture);
}

} // namespace
} // namespace tarvex
