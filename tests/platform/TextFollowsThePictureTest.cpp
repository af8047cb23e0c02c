#include "platform/RasterSurface.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvex {
namespace {

void PrintAt(PictureSurface& s, double x, double y, const char* text) {
    s.SetCurrentX(x);
    s.SetCurrentY(y);
    s.PrintNoNewline(text);
}

// Both surfaces scale the type with the picture once it has a design size,
// never below the least size, and measure what they draw; the recording
// surface's model stays within a pixel or two of the raster's real font.
TEST(TextFollowsThePicture, FontScalesWithThePictureOnBothSurfaces) {
    for (bool bold : {false, true}) {
        RasterSurface raster(400, 200);
        RecordingSurface recording(400, 200);
        for (PictureSurface* s :
             {static_cast<PictureSurface*>(&raster), static_cast<PictureSurface*>(&recording)}) {
            s->SetFontSize(9.75); // 13 px
            s->SetFontBold(bold);
            EXPECT_EQ(s->TextPixelSize(), 13);
            s->SetDesignSize(800, 300); // width ratio 0.5 is the smaller
            EXPECT_DOUBLE_EQ(s->TextScale(), 0.5);
            EXPECT_EQ(s->TextPixelSize(), kLeastTextPixels); // 6.5 px held at 8
            s->SetDesignSize(100, 50);                       // x 4
            EXPECT_EQ(s->TextPixelSize(), 52);
            s->SetDesignSize(0, 50); // none
            EXPECT_EQ(s->TextPixelSize(), 13);
        }
        for (int size : {8, 11, 16, 24}) {
            for (PictureSurface* s : {static_cast<PictureSurface*>(&raster),
                                      static_cast<PictureSurface*>(&recording)}) {
                s->SetDesignSize(400.0 * 13 / size, 200.0 * 13 / size);
                s->Scale(0, 0, 100, 50); // extents in user units
            }
            ASSERT_EQ(recording.TextPixelSize(), size);
            for (const char* text :
                 {"Negative Energy = 172.2 J/kg", "Cloud Top: 17,835 ft", "T= 5.5\u00B0F"}) {
                // Within the kerning the model leaves out.
                EXPECT_NEAR(recording.TextWidth(text), raster.TextWidth(text),
                            0.03 * raster.TextWidth(text))
                    << text << " at " << size << " px";
                EXPECT_DOUBLE_EQ(recording.TextHeight(text), raster.TextHeight(text));
            }
        }
    }
}

// A text that would cover one printed since the last Clear is left out, but
// a redraw in place, a text over a box filled across an old one, texts
// allowed to overlap and pictures that opt out are drawn; the checker sees
// what lies outside, overlaps or is too small.
TEST(TextFollowsThePicture, CoveredTextsAreLeftOutAndTheCheckerFindsFaults) {
    RecordingSurface s(200, 100);
    s.SetLeaveOutCoveredText(true);
    auto printAt = [&s](double x, double y, const char* text) { PrintAt(s, x, y, text); };
    printAt(10, 10, "Toronto");
    printAt(30, 14, "Buffalo");                    // over Toronto
    printAt(10, 10, "Toronto");                    // redrawn in place
    printAt(10, 10 + s.TextHeight("T"), "Albany"); // the next line
    EXPECT_EQ(s.LeftOutTexts(), std::vector<std::string>{"Buffalo"});
    EXPECT_FALSE(NothingLeftOut(s));
    EXPECT_TRUE(TextIsReadable(s));
    s.FilledBox(5, 5, 100, 40, kWhite); // erases Toronto and Albany
    printAt(30, 14, "Buffalo");
    {
        TextOverlapAllowed over(s);
        printAt(32, 16, "Buffalo");
    }
    printAt(34, 18, "Erie");
    EXPECT_EQ(s.LeftOutTexts().size(), 2u);
    EXPECT_EQ(s.OperationsOf(DrawOperation::Kind::Text).size(), 5u);

    s.Clear();
    EXPECT_TRUE(s.LeftOutTexts().empty());
    s.SetLeaveOutCoveredText(false);
    printAt(10, 10, "Toronto");
    printAt(30, 14, "Buffalo");
    printAt(190, 95, "Rochester"); // off the picture
    const auto faults = TextIsReadable(s);
    EXPECT_FALSE(faults);
    EXPECT_NE(std::string(faults.message()).find("\"Buffalo\" at"), std::string::npos);
    EXPECT_NE(std::string(faults.message()).find("runs off"), std::string::npos);
    EXPECT_FALSE(TextIsReadable(s, {{"Buffalo", "Toronto", "test"}}));
    s.Clear();
    printAt(10, 10, "Toronto");
    printAt(30, 14, "Buffalo");
    EXPECT_TRUE(TextIsReadable(s, {{"Buffalo", "Toronto", "drawn so on purpose"}}));

    s.Clear();
    s.SetDesignSize(200, 100);
    s.SetFontSize(3); // 4 px, below the least size
    EXPECT_EQ(s.TextPixelSize(), kLeastTextPixels);
    s.SetDesignSize(0, 0);
    printAt(10, 10, "tiny");
    EXPECT_NE(std::string(TextIsReadable(s).message()).find("4 px high"), std::string::npos);
}

// A mark's place kept before the labels holds against them and takes the
// mark; a label asked to stay inside is left out at the edge; an area kept
// for another picture's texts stays free.
TEST(TextFollowsThePicture, KeptPlacesAndLabelsThatMustStayInside) {
    RecordingSurface s(200, 100);
    s.SetLeaveOutCoveredText(true);
    auto printAt = [&s](double x, double y, const char* text) { PrintAt(s, x, y, text); };
    EXPECT_TRUE(s.ReserveTextPlace(50, 50, "X"));
    EXPECT_FALSE(s.ReserveTextPlace(52, 52, "N")); // on the kept place
    printAt(40, 48, "120");                        // a label over the mark
    printAt(50, 50, "X");
    printAt(50, 50, "X"); // drawn again in place
    EXPECT_EQ(s.LeftOutTexts(), std::vector<std::string>{"120"});
    ASSERT_EQ(s.DrawnTexts().size(), 1u);
    EXPECT_FALSE(s.ReserveTextPlace(50, 50, "N")); // on the drawn mark

    printAt(185, 10, "130"); // runs off the right edge
    {
        const TextKeptInside inside(s);
        printAt(185, 30, "140");
        printAt(-3, 70, "150");
        printAt(10, 70, "160");
    }
    EXPECT_EQ(s.LeftOutTexts(), (std::vector<std::string>{"120", "140", "150"}));
    EXPECT_EQ(s.DrawnTexts().size(), 3u);

    s.Clear();
    s.ReserveTextArea(TextRect{0, 0, 200, 20});
    printAt(100, 5, "Toronto");
    printAt(100, 40, "Buffalo");
    EXPECT_EQ(s.LeftOutTexts(), std::vector<std::string>{"Toronto"});
    s.Clear();
    printAt(100, 5, "Toronto"); // Clear frees the area
    EXPECT_TRUE(s.LeftOutTexts().empty());
}

// A picture set as the background paints over the texts drawn before, so
// their places are free; a surface drawn again and again without Clear (a
// readout moving with the mouse) keeps a bounded list of texts.
TEST(TextFollowsThePicture, RepaintFreesPlacesAndKeptTextsStayBounded) {
    RecordingSurface s(400, 300);
    s.SetDesignSize(400, 300);
    s.SetCurrentX(10);
    s.SetCurrentY(10);
    s.PrintNoNewline("850 mb");
    s.SetPicture(s.TakePicture());
    EXPECT_TRUE(s.DrawnTexts().empty());
    s.SetCurrentX(12);
    s.SetCurrentY(12);
    s.PrintNoNewline("700 mb");
    EXPECT_TRUE(s.LeftOutTexts().empty());

    for (int k = 0; k < 20000; ++k) {
        s.SetCurrentX(k % 350);
        s.SetCurrentY(k % 280);
        s.PrintNoNewline(std::to_string(k));
        s.ReserveTextArea(TextRect{double(k % 390), double(k % 290), 3, 3});
    }
    EXPECT_LE(s.DrawnTexts().size(), PictureSurface::kMostKeptTexts);
    EXPECT_LE(s.LeftOutTexts().size(), PictureSurface::kMostKeptTexts);
    EXPECT_TRUE(TextIsReadable(s));
}

} // namespace
} // namespace tarvex
