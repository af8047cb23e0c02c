#include "platform/PictureBox.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(PictureBoxOverlay, ShowsOverTheSurfaceAndClearsToNothing) {
    PictureBox box;
    box.resize(40, 30);
    box.show();
    box.Surface().SetBackColor(kBlack);
    box.Surface().Clear();
    box.Surface().Line(0, 5, 39, 5, kRed);
    box.Overlay().Line(10, 0, 10, 29, kYellow);
    const QImage shown = box.ShownImage();
    EXPECT_EQ(shown.pixel(10, 20), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(10, 5), qRgb(255, 255, 0)); // the overlay lies on top
    EXPECT_EQ(shown.pixel(20, 5), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(20, 20), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(box.Overlay().Image().pixel(20, 20)), 0);

    box.Overlay().Clear();
    box.resize(50, 30); // the layer follows the box, still empty
    EXPECT_EQ(box.Overlay().Image().width(), 50);
    EXPECT_EQ(box.ShownImage(), box.Surface().Image());
}

TEST(RasterSurfaceText, MeasuresFollowTheFontInForce) {
    RasterSurface pic(200, 100);
    const double small = pic.TextWidth("Fog Favored");
    pic.SetFontSize(20.0);
    EXPECT_GT(pic.TextWidth("Fog Favored"), 2.0 * small);
    EXPECT_GT(pic.TextHeight("H"), 20.0);
    pic.SetFontSize(8.25);
    EXPECT_EQ(pic.TextWidth("Fog Favored"), small);
    pic.SetFontBold(true);
    EXPECT_GT(pic.TextWidth("Fog Favored"), small);
}

// A dot: radius 5 px, outline 3 px wide round a fill of the same colour,
// reaches 6.5 px from its centre (pixel centres lie half a pixel in), filled
// throughout.
TEST(RasterSurfaceDots, AWideOutlineRoundItsOwnFillIsOneDisc) {
    RasterSurface pic(40, 40);
    pic.SetBackColor(kBlack);
    pic.Clear();
    pic.SetDrawWidth(3);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetFillColor(kYellow);
    pic.Circle(20, 20, 5, kYellow);
    const QImage& image = pic.Image();
    for (int dx : {0, 3, 5}) EXPECT_EQ(image.pixel(20 + dx, 20), qRgb(255, 255, 0)) << dx;
    EXPECT_EQ(image.pixel(28, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 12), qRgb(0, 0, 0));
}

} // namespace
} // namespace tarvex
