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

// The colour of a repeat " 20 "'s ink where the foot of its "2" is.
Rgb RepeatFootInk() {
    RasterSurface alone(120, 40);
    alone.Clear();
    {
        const TextAsRepeat r(alone);
        PrintAt(alone, 20, 10, " 20 ");
    }
    const QRgb foot = alone.Image().pixel(27, 19);
    return RGB(qRed(foot), qGreen(foot), qBlue(foot));
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

// Each kind of text follows its rule: a repeat that would cover any text or
// run off is left out, a value is always drawn (the checker then finds the
// overlap), a label yields to values and labels; a repeat under a later
// value or label, and a label under a later value, is left out then and its
// printing forgotten. The checkers name what lies outside, overlaps, is too
// small or left out.
TEST(TextFollowsThePicture, EachKindOfTextFollowsItsRuleAndTheCheckersFindFaults) {
    RecordingSurface s(200, 100);
    s.SetLeaveOutCoveredText(true);
    auto printAt = [&s](double x, double y, const char* text) { PrintAt(s, x, y, text); };
    {
        const TextAsRepeat names(s);
        printAt(10, 10, "Toronto");
        printAt(30, 14, "Buffalo");                    // over Toronto
        printAt(10, 10, "Toronto");                    // redrawn in place
        printAt(10, 10 + s.TextHeight("T"), "Albany"); // the next line
        printAt(185, 60, "Erie");                      // runs off
    }
    EXPECT_EQ(TextsOf(s.LeftOutTexts()), (std::vector<std::string>{"Buffalo", "Erie"}));
    EXPECT_EQ(s.LeftOutTexts()[0].kind, TextKind::Repeat);
    EXPECT_FALSE(NothingLeftOut(s));
    EXPECT_TRUE(NoValueLeftOut(s));
    EXPECT_TRUE(TextIsReadable(s, {{"2 C", "850", "test"}}));
    {
        const TextAsLabel level(s, 0, 14, LabelSlide::AlongLevel);
        printAt(30, 8, "850"); // over Toronto, a repeat: drawn, Toronto taken back
        printAt(34, 8, "860"); // over the label 850: left out
    }
    printAt(30, 9, "2 C"); // a value over the label 850: drawn, 850 left out
    printAt(32, 9, "3 C"); // a value over a value: drawn
    EXPECT_EQ(TextsOf(s.DrawnTexts()), (std::vector<std::string>{"Albany", "2 C", "3 C"}));
    EXPECT_EQ(TextsOf(s.LeftOutTexts()),
              (std::vector<std::string>{"Buffalo", "Erie", "Toronto", "860", "850"}));
    EXPECT_EQ(s.LeftOutTexts().back().kind, TextKind::Label);
    const auto overlaps = TextIsReadable(s);
    EXPECT_NE(std::string(overlaps.message()).find("\"3 C\" at"), std::string::npos);
    EXPECT_TRUE(TextIsReadable(s, {{"3 C", "2 C", "test"}}));
    s.FilledBox(5, 5, 100, 40, kWhite); // erases every text
    {
        const TextAsRepeat names(s);
        printAt(30, 14, "Buffalo");
        {
            TextOverlapAllowed over(s);
            printAt(32, 16, "Buffalo");
        }
        printAt(34, 18, "Erie");
    }
    EXPECT_EQ(TextsOf(s.LeftOutTexts()),
              (std::vector<std::string>{"Buffalo", "Erie", "Toronto", "860", "850", "Erie"}));
    // Toronto (printed twice) and 850 were left out after they were printed:
    // their printing is forgotten.
    EXPECT_EQ(TextsOf(s.DrawnTexts()), (std::vector<std::string>{"Buffalo", "Buffalo"}));
    std::vector<std::string> printed;
    for (const DrawOperation& op : s.OperationsOf(DrawOperation::Kind::Text))
        printed.push_back(op.text);
    EXPECT_EQ(printed, (std::vector<std::string>{"Albany", "2 C", "3 C", "Buffalo", "Buffalo"}));

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

// A label whose anchor lies outside the picture is not drawn, however near
// the edge its text would stand; one an edge cuts while its anchor is inside
// is moved in just enough; the anchor checker takes each slide on both sides
// of its quarter-height bound and spares a label an edge has moved in.
TEST(TextFollowsThePicture, LabelsStandAtAnchorsInsideThePicture) {
    RecordingSurface s(200, 100);
    s.Scale(0, 0, 200, 100);
    const double h = s.TextHeight("8");
    const double w = s.TextWidth("850");
    struct Case {
        LabelAnchor anchor;
        double x, y;      // the text's intended top-left
        bool drawn;       // anchor inside
        double left, top; // where it stands when drawn
    };
    const Case cases[] = {
        {{50, -0.6, LabelSlide::AlongLevel}, 50, -0.6 - h / 2, false, 0, 0},       // level above
        {{50, 100.6, LabelSlide::AlongLevel}, 50, 100 - h / 2, false, 0, 0},       // level below
        {{-500, 0.4, LabelSlide::AlongLevel}, 195, 0.4 - h / 2, true, 200 - w, 0}, // cut right
        {{-0.6, 50, LabelSlide::AlongColumn}, -0.6 - w / 2, 50, false, 0, 0},      // column left
        {{200.6, 50, LabelSlide::AlongColumn}, 200.6 - w / 2, 50, false, 0, 0},
        {{199.5, 900, LabelSlide::AlongColumn}, 199.5 - w / 2, 97, true, 200 - w, 100 - h},
        {{50, 101, LabelSlide::Fixed}, 40, 95, false, 0, 0},
        {{201, 50, LabelSlide::Fixed}, 195, 45, false, 0, 0},
        {{3, 3, LabelSlide::Fixed}, 3 - w / 2, 3 - h / 2, true, 0, 0},
    };
    for (const Case& c : cases) {
        const auto at = s.PlaceLabel(c.x, c.y, "850", c.anchor);
        ASSERT_EQ(at.has_value(), c.drawn) << c.anchor.x << ", " << c.anchor.y;
        s.Clear();
        {
            const TextKindScope label(s, TextKind::Label, c.anchor);
            PrintAt(s, c.x, c.y, "850");
        }
        EXPECT_EQ(s.DrawnTexts().size(), c.drawn ? 1u : 0u);
        if (!c.drawn) continue;
        EXPECT_NEAR(at->first, c.left, 1e-9);
        EXPECT_NEAR(at->second, c.top, 1e-9);
        EXPECT_NEAR(s.DrawnTexts()[0].rect.top, c.top, 1e-9);
        EXPECT_TRUE(LabelsAtTheirAnchors(s));
    }
    EXPECT_EQ(s.State().textKind, TextKind::Value); // the scope put it back

    // Away from the edges: a level label's middle a quarter of its height
    // off its level stands at it, a little more does not; a column label
    // likewise across, a point's label on both axes.
    struct Off {
        LabelSlide slide;
        double dx, dy; // of the middle from the anchor, in heights
        bool at;
    };
    const Off offs[] = {
        {LabelSlide::AlongLevel, 3.0, 0.24, true},   {LabelSlide::AlongLevel, 0, -0.26, false},
        {LabelSlide::AlongColumn, -0.24, 2.0, true}, {LabelSlide::AlongColumn, 0.26, 0, false},
        {LabelSlide::Fixed, 0.24, -0.24, true},      {LabelSlide::Fixed, 0, 0.26, false},
        {LabelSlide::Fixed, -0.26, 0, false},
    };
    for (const Off& o : offs) {
        s.Clear();
        const TextKindScope label(s, TextKind::Label, LabelAnchor{100, 50, o.slide});
        PrintAt(s, 100 + o.dx * h - w / 2, 50 + o.dy * h - h / 2, "850");
        ASSERT_EQ(s.DrawnTexts().size(), 1u);
        EXPECT_EQ(bool(LabelsAtTheirAnchors(s)), o.at) << o.dx << ", " << o.dy;
    }
}

// A mark's place kept before the labels holds against them and takes the
// mark; an area kept for another picture's texts stays free.
TEST(TextFollowsThePicture, KeptPlacesHoldAgainstLabelsAndRepeats) {
    RecordingSurface s(200, 100);
    s.SetLeaveOutCoveredText(true);
    auto printAt = [&s](double x, double y, const char* text) { PrintAt(s, x, y, text); };
    EXPECT_TRUE(s.ReserveTextPlace(50, 50, "X"));
    EXPECT_FALSE(s.ReserveTextPlace(52, 52, "N")); // on the kept place
    {
        const TextAsLabel level(s, 40, 52, LabelSlide::AlongLevel);
        printAt(40, 48, "120"); // a label over the mark
    }
    printAt(50, 50, "X");
    printAt(50, 50, "X"); // drawn again in place
    EXPECT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{"120"});
    ASSERT_EQ(s.DrawnTexts().size(), 1u);
    EXPECT_FALSE(s.ReserveTextPlace(50, 50, "N")); // on the drawn mark

    s.Clear();
    s.ReserveTextArea(TextRect{0, 0, 200, 20});
    {
        const TextAsRepeat names(s);
        printAt(100, 5, "Toronto");
        printAt(100, 40, "Buffalo");
    }
    EXPECT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{"Toronto"});
    s.Clear();
    {
        const TextAsRepeat names(s);
        printAt(100, 5, "Toronto"); // Clear frees the area
    }
    EXPECT_TRUE(s.LeftOutTexts().empty());
}

// On the raster surface a repeat taken back leaves the pixels it covered as
// they were, those drawn before it included; one drawn elsewhere stays.
TEST(TextFollowsThePicture, ARepeatTakenBackLeavesThePixelsUnderIt) {
    RasterSurface s(120, 60);
    s.Clear();
    s.Line(0, 20, 120, 20, kBlue);
    const QImage before = s.Image().copy();
    {
        const TextAsRepeat repeat(s);
        PrintAt(s, 10, 14, "8888");
        PrintAt(s, 70, 14, "8888");
    }
    const QImage withRepeats = s.Image().copy();
    PrintAt(s, 8, 30, "1"); // a value below both: nothing taken back
    ASSERT_EQ(s.DrawnTexts().size(), 3u);
    PrintAt(s, 8, 16, "1"); // over the first repeat's left end
    ASSERT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{"8888"});
    const QImage& after = s.Image();
    const double valueRight = 8 + s.TextWidth("1") + 1;
    int restored = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            if (x < valueRight) continue; // where the value stands
            if (x < 60) {
                EXPECT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << ", " << y;
                restored += after.pixel(x, y) != withRepeats.pixel(x, y);
            } else {
                EXPECT_EQ(after.pixel(x, y), withRepeats.pixel(x, y)) << x << ", " << y;
            }
        }
    EXPECT_GT(restored, 20); // the repeat's ink went
}

// A repeat " 20 ", a red line drawn through it, then a label "X" over the
// repeat: the repeat is left out, and the picture is the one drawn without
// it, whether the repeat was still held, painted already (the picture read
// between) or painted on another surface whose picture this one was given
// (the picture's texts stand on it as its own, through Clear too). So with
// the line in copy mode, where it keeps every pixel outside the "X", and with
// each shape that combines by exclusive or (a thin, a dotted and a wide line,
// a filled box), and with shapes copied in a colour of the repeat's own ink
// (a thin line set straight and one through the painter, a dotted line, a
// filled and a hatched box, a wide line, a filled circle, a dotted box
// outline); the recording surface keeps the same texts.
TEST(TextFollowsThePicture, ALabelOverARepeatCostsTheLinesThroughItNothing) {
    enum class Repeat { None, Held, Painted, OfThePicture };
    enum class Shape {
        Copied,
        Thin,
        Dotted,
        Wide,
        Filled,
        InkThin,
        InkPainted,
        InkDotted,
        InkFilled,
        InkHatched,
        InkWide,
        InkCircle,
        InkDottedBox
    };
    // The repeat's ink where the foot of its "2" is, clear of the "X".
    RasterSurface alone(120, 40);
    alone.Clear();
    {
        const TextAsRepeat r(alone);
        PrintAt(alone, 20, 10, " 20 ");
    }
    const QRgb foot = alone.Image().pixel(27, 19);
    ASSERT_NE(foot, alone.Image().pixel(0, 0));
    const Rgb ink = RGB(qRed(foot), qGreen(foot), qBlue(foot));
    const auto draw = [ink](PictureSurface& s, Repeat repeat, Shape shape) {
        const auto print = [](PictureSurface& on) {
            const TextAsRepeat r(on);
            PrintAt(on, 20, 10, " 20 ");
        };
        s.Clear();
        if (repeat == Repeat::OfThePicture) {
            RasterSurface buffer(120, 40);
            print(buffer);
            s.SetPicture(buffer.TakePicture());
            s.Clear();
            ASSERT_EQ(s.DrawnTexts().size(), 1u);
            EXPECT_EQ(s.DrawnTexts()[0].kind, TextKind::Repeat);
            EXPECT_EQ(s.DrawnTexts()[0].rect.left, buffer.DrawnTexts()[0].rect.left);
        } else if (repeat != Repeat::None) {
            print(s);
        }
        if (repeat == Repeat::Painted) static_cast<RasterSurface&>(s).Image();
        if (shape >= Shape::InkThin) {
            if (shape == Shape::InkThin) {
                s.Line(18, 19, 60, 19, ink);
            } else if (shape == Shape::InkPainted) {
                s.Line(0, 19, 120, 19, ink); // past the edge: through the painter
            } else if (shape == Shape::InkDotted) {
                s.SetDrawStyle(DrawStyle::Dot);
                s.Line(0, 19, 119, 19, ink);
            } else if (shape == Shape::InkFilled) {
                s.FilledBox(22, 18, 60, 20, ink);
            } else if (shape == Shape::InkHatched) {
                s.SetFillStyle(FillStyle::VerticalLine);
                s.SetFillColor(ink);
                s.Box(18, 17, 70, 22, kRed);
            } else if (shape == Shape::InkWide) {
                s.SetDrawWidth(3);
                s.Polyline({{0, 19}, {120, 19}}, ink);
            } else if (shape == Shape::InkDottedBox) {
                s.SetFillStyle(FillStyle::Transparent);
                s.SetDrawStyle(DrawStyle::Dot);
                s.Box(27, 19, 70, 30, ink); // its first dots on the foot
            } else {
                s.SetFillStyle(FillStyle::Solid);
                s.SetFillColor(ink);
                s.Circle(27, 19, 3, ink);
            }
            s.SetFillStyle(FillStyle::Transparent);
            s.SetDrawStyle(DrawStyle::Solid);
            s.SetDrawWidth(1);
            const TextAsLabel label(s, 30, 16, LabelSlide::Fixed);
            PrintAt(s, 30, 10, "X");
            return;
        }
        if (shape != Shape::Copied) s.SetDrawMode(DrawMode::XorPen);
        if (shape == Shape::Dotted) s.SetDrawStyle(DrawStyle::Dot);
        if (shape == Shape::Wide) {
            s.SetDrawWidth(3);
            s.Polyline({{0, 16}, {40, 14}, {120, 18}}, kRed);
        } else if (shape == Shape::Filled) {
            s.FilledBox(22, 14, 60, 17, kRed);
        } else {
            s.Line(0, 16, 120, 16, kRed);
        }
        s.SetDrawMode(DrawMode::CopyPen);
        s.SetDrawStyle(DrawStyle::Solid);
        s.SetDrawWidth(1);
        const TextAsLabel label(s, 30, 16, LabelSlide::Fixed);
        PrintAt(s, 30, 10, "X");
    };
    for (const Shape shape :
         {Shape::Copied, Shape::Thin, Shape::Dotted, Shape::Wide, Shape::Filled, Shape::InkThin,
          Shape::InkPainted, Shape::InkDotted, Shape::InkFilled, Shape::InkHatched, Shape::InkWide,
          Shape::InkCircle, Shape::InkDottedBox}) {
        SCOPED_TRACE("shape " + std::to_string(static_cast<int>(shape)));
        RasterSurface reference(120, 40);
        draw(reference, Repeat::None, shape);
        for (const Repeat repeat : {Repeat::Held, Repeat::Painted, Repeat::OfThePicture}) {
            SCOPED_TRACE("repeat " + std::to_string(static_cast<int>(repeat)));
            RasterSurface s(120, 40);
            draw(s, repeat, shape);
            ASSERT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{" 20 "});
            ASSERT_EQ(TextsOf(s.DrawnTexts()), std::vector<std::string>{"X"});
            EXPECT_EQ(s.Image(), reference.Image()); // nothing of the repeat shows
            if (shape != Shape::Copied) continue;
            const QImage& image = s.Image();
            const TextRect x = s.DrawnTexts()[0].rect;
            int red = 0;
            for (int column = 0; column < 120; ++column) {
                const bool inX = column >= x.left - 1 && column <= x.Right() + 1;
                red += image.pixel(column, 16) == qRgb(255, 0, 0);
                if (!inX) {
                    EXPECT_EQ(image.pixel(column, 16), qRgb(255, 0, 0)) << column;
                }
            }
            EXPECT_GT(red, 110);
        }
    }
    for (const Repeat repeat : {Repeat::Held, Repeat::OfThePicture}) {
        RecordingSurface recording(120, 40);
        draw(recording, repeat, Shape::Copied);
        EXPECT_EQ(TextsOf(recording.LeftOutTexts()), std::vector<std::string>{" 20 "});
        EXPECT_EQ(TextsOf(recording.DrawnTexts()), std::vector<std::string>{"X"});
        const auto printed = recording.OperationsOf(DrawOperation::Kind::Text);
        ASSERT_EQ(printed.size(), 1u);
        EXPECT_EQ(printed[0].text, "X");
    }
}

// Painted repeats anywhere on a picture keep what is drawn over them: a row
// of repeats across the edges of the surface's cells and bands of rows, on a
// picture narrow and one wide enough for wider cells, each crossed by a line
// copied in its ink's colour and a box combined by exclusive or; labels take
// every other repeat off, the shapes cross them all again, the picture grows,
// and labels take the rest off. The picture is the one drawn without them.
TEST(TextFollowsThePicture, RepeatsAnywhereKeepTheShapesDrawnOverThem) {
    const Rgb ink = RepeatFootInk();
    constexpr int kCount = 12;
    for (const int width : {300, 1500}) {
        SCOPED_TRACE("width " + std::to_string(width));
        const auto at = [width](int k) {
            return QPoint(9 + (width - 60) * k / kCount, 3 + (37 * k) % 90);
        };
        const auto draw = [&](RasterSurface& s, bool repeats) {
            s.Clear();
            if (repeats) {
                const TextAsRepeat r(s);
                for (int k = 0; k < kCount; ++k) PrintAt(s, at(k).x(), at(k).y(), " 20 ");
                s.Image();
            }
            const auto cross = [&](int k) {
                const QPoint p = at(k);
                s.Line(p.x() - 3, p.y() + 9, p.x() + 40, p.y() + 9, ink);
                s.SetDrawMode(DrawMode::XorPen);
                s.FilledBox(p.x() + 4, p.y() + 5, p.x() + 30, p.y() + 13, kRed);
                s.SetDrawMode(DrawMode::CopyPen);
            };
            const auto label = [&](int k) {
                const QPoint p = at(k);
                const TextAsLabel l(s, p.x() + 10, p.y() + 6, LabelSlide::Fixed);
                PrintAt(s, p.x() + 10, p.y(), "X");
            };
            for (int k = 0; k < kCount; k += 2) cross(k);
            for (int k = 1; k < kCount; k += 2) label(k);
            for (int k = 0; k < kCount; ++k) cross(k);
            s.Resize(width, 130);
            for (int k = 0; k < kCount; k += 2) cross(k);
            for (int k = 0; k < kCount; k += 2) label(k);
        };
        RasterSurface reference(width, 120);
        draw(reference, false);
        RasterSurface s(width, 120);
        draw(s, true);
        EXPECT_EQ(s.LeftOutTexts().size(), static_cast<std::size_t>(kCount));
        EXPECT_EQ(s.DrawnTexts().size(), static_cast<std::size_t>(kCount));
        EXPECT_EQ(s.Image(), reference.Image());
    }
}

// Repeats painted across the words of 64 columns the surface keeps a bit a
// pixel in, crossed column by column by one-pixel lines, copied in the ink's
// own colour and combined by exclusive or in turn, then taken off by labels:
// each line stays whole where it crossed the ink as where it crossed the
// boxes' empty pixels, and only the ink goes. The same with the repeats
// printed a second time before the lines, in another colour on a box of
// their own.
TEST(TextFollowsThePicture, LinesAcrossInkAtEveryColumnStayWhenTheTextGoes) {
    const Rgb ink = RepeatFootInk();
    const std::vector<QPoint> at = {{52, 8}, {116, 30}};
    const auto draw = [&](RasterSurface& s, int printed) {
        s.Clear();
        const Rgb back = s.BackColor();
        const bool transparent = s.FontTransparent();
        for (int k = 0; k < printed; ++k) {
            const TextAsRepeat r(s);
            if (k > 0) {
                // On a box of its own: ink where the first left pixels as
                // they were.
                s.SetForeColor(kBlue);
                s.SetBackColor(kYellow);
                s.SetFontTransparent(false);
            }
            for (const QPoint& p : at) PrintAt(s, p.x(), p.y(), "8888");
            s.Image();
        }
        s.SetForeColor(kBlack);
        s.SetBackColor(back);
        s.SetFontTransparent(transparent);
        for (int column = 40; column < 170; ++column) {
            if (column % 2 == 1) s.SetDrawMode(DrawMode::XorPen);
            s.Line(column, 4, column, 50, column % 2 == 1 ? kRed : ink);
            s.SetDrawMode(DrawMode::CopyPen);
        }
        for (const QPoint& p : at) {
            const TextAsLabel l(s, p.x() + 2, p.y() + 6, LabelSlide::Fixed);
            PrintAt(s, p.x() + 2, p.y(), "X");
        }
    };
    RasterSurface reference(200, 60);
    draw(reference, 0);
    for (const int printed : {1, 2}) {
        SCOPED_TRACE("printed " + std::to_string(printed));
        RasterSurface s(200, 60);
        draw(s, printed);
        ASSERT_EQ(s.LeftOutTexts().size(), 2u);
        EXPECT_EQ(s.Image(), reference.Image());
    }
}

// Texts are painted after the lines and marks of their picture, repeats
// first, then labels, then values: a line drawn after a value in copy mode
// does not cross it, a shape drawn in a combining mode combines with the
// texts printed before it, and a box filled over a held text whole leaves it
// unpainted; Clear drops what is held.
TEST(TextFollowsThePicture, TextsArePaintedLastByKind) {
    RasterSurface s(120, 40);
    s.Clear();
    PrintAt(s, 10, 10, "88");
    s.Line(0, 16, 120, 16, kRed);
    const TextRect value = s.DrawnTexts()[0].rect;
    RasterSurface alone(120, 40);
    alone.Clear();
    alone.Line(0, 16, 120, 16, kRed);
    PrintAt(alone, 10, 10, "88");
    EXPECT_EQ(s.Image(), alone.Image()); // the value over the line either way
    int crossed = 0;
    for (int column = static_cast<int>(value.left); column < value.Right(); ++column)
        crossed += s.Image().pixel(column, 16) != qRgb(255, 0, 0);
    EXPECT_GT(crossed, 0);

    // Exclusive-or drawn twice over texts printed before restores them,
    // whether they were painted already or held.
    RasterSurface x(120, 40);
    RasterSurface plain(120, 40);
    for (RasterSurface* p : {&x, &plain}) {
        p->Clear();
        PrintAt(*p, 10, 10, "88");
        p->Image();
        PrintAt(*p, 60, 10, "77");
    }
    x.SetDrawMode(DrawMode::XorPen);
    x.FilledBox(0, 0, 120, 40, kWhite);
    const QImage inverted = x.Image().copy();
    x.FilledBox(0, 0, 120, 40, kWhite);
    x.SetDrawMode(DrawMode::CopyPen);
    EXPECT_EQ(inverted.pixel(61, 14) ^ 0xFFFFFFu, plain.Image().pixel(61, 14));
    EXPECT_EQ(x.Image(), plain.Image());

    // A filled box over a held text whole: it is not painted.
    RasterSurface covered(120, 40);
    covered.Clear();
    PrintAt(covered, 10, 10, "88");
    covered.FilledBox(0, 0, 60, 40, kBlue);
    EXPECT_TRUE(covered.DrawnTexts().empty());
    for (int column = 0; column < 60; ++column)
        EXPECT_EQ(covered.Image().pixel(column, 15), qRgb(0, 0, 255)) << column;
    PrintAt(covered, 70, 10, "99");
    covered.Clear();
    EXPECT_EQ(covered.Image().pixel(75, 15), qRgb(255, 255, 255));
}

// A line copied over a painted repeat, the picture resized, then a label
// that takes the repeat off: the line stays whole under the repeat's ink,
// whether the label, another shape or a read comes first after the resize.
TEST(TextFollowsThePicture, ARepeatTakenOffAfterAResizeLeavesTheLineOverIt) {
    RasterSurface alone(120, 40);
    alone.Clear();
    PrintAt(alone, 20, 10, " 20 ");
    const QRgb foot = alone.Image().pixel(27, 19);
    const Rgb ink = RGB(qRed(foot), qGreen(foot), qBlue(foot));
    enum class First { Label, Shape, Read };
    for (const First first : {First::Label, First::Shape, First::Read}) {
        const auto draw = [first, ink](RasterSurface& s, bool repeat) {
            s.Clear();
            if (repeat) {
                const TextAsRepeat r(s);
                PrintAt(s, 20, 10, " 20 ");
                s.Image();
            }
            // In the ink's own colour, so that only the kept pixels tell
            // the line from the ink.
            s.Line(10, 19, 80, 19, ink);
            s.Resize(130, 50);
            if (first == First::Shape) s.Line(90, 30, 120, 30, ink);
            if (first == First::Read) s.Image();
            const TextAsLabel l(s, 30, 16, LabelSlide::Fixed);
            PrintAt(s, 30, 10, "X");
        };
        RasterSurface reference(120, 40);
        draw(reference, false);
        RasterSurface s(120, 40);
        draw(s, true);
        EXPECT_EQ(s.LeftOutTexts().size(), 1u) << static_cast<int>(first);
        EXPECT_EQ(s.Image(), reference.Image()) << static_cast<int>(first);
    }
}

// The pixels kept to take a painted repeat's ink off follow the list of
// drawn texts: when a surface printed on again and again forgets its oldest
// texts, a repeat it still holds is still taken off whole when a value wins
// its place.
TEST(TextFollowsThePicture, KeptPixelsFollowTheListOfTexts) {
    RasterSurface s(1600, 1000);
    s.Clear();
    const int count = static_cast<int>(PictureSurface::kMostKeptTexts) + 100;
    const int taken = count - 200; // painted before the list forgets its oldest
    const auto place = [](int k) { return std::pair{10.0 + (k % 60) * 25, 10.0 + (k / 60) * 25}; };
    {
        const TextAsRepeat repeats(s);
        for (int k = 0; k < count; ++k) {
            PrintAt(s, place(k).first, place(k).second, "88");
            if (k == taken) s.Image(); // the repeats so far painted
        }
    }
    ASSERT_TRUE(s.LeftOutTexts().empty());
    ASSERT_LT(s.DrawnTexts().size(), static_cast<std::size_t>(count)); // the oldest forgotten
    ASSERT_EQ(s.DrawnTexts().front().rect.top, place(count - s.DrawnTexts().size()).second);
    const auto [x, y] = place(taken);
    PrintAt(s, x - 2, y, "1"); // over the repeat's first digit
    ASSERT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{"88"});
    const QImage& image = s.Image();
    const int valueRight = static_cast<int>(x - 2 + s.TextWidth("1")) + 2;
    int white = 0;
    for (int row = static_cast<int>(y) - 1; row < y + s.TextHeight("8") + 1; ++row)
        for (int column = valueRight; column < x + s.TextWidth("88") + 2; ++column) {
            EXPECT_EQ(image.pixel(column, row), qRgb(255, 255, 255)) << column << ", " << row;
            ++white;
        }
    EXPECT_GT(white, 40);
}

// Most of a row of painted repeats taken off by values (their kept pixels
// let go), the rest keep theirs: one of them taken off later leaves a line
// drawn through it since whole and its own ink gone.
TEST(TextFollowsThePicture, KeptPixelsHoldWhenMostTextsAreTakenOff) {
    RasterSurface s(800, 60);
    s.Clear();
    const auto x = [](int k) { return 10.0 + 19 * k; };
    {
        const TextAsRepeat repeats(s);
        for (int k = 0; k < 40; ++k) PrintAt(s, x(k), 20, std::to_string(50 + k).c_str());
    }
    s.Image();
    const int row = 20 + static_cast<int>(s.TextHeight("8")) / 2;
    s.Line(0, row, 799, row, kBlue);
    for (int k = 0; k < 30; ++k) PrintAt(s, x(k) - 2, 20, "1");
    ASSERT_EQ(s.LeftOutTexts().size(), 30u);
    PrintAt(s, x(35) - 2, 20, "1");
    ASSERT_EQ(s.LeftOutTexts().size(), 31u);
    const QImage& image = s.Image();
    const int valueRight = static_cast<int>(x(35) - 2 + s.TextWidth("1")) + 2;
    for (int column = valueRight; column < x(35) + s.TextWidth("88") + 1; ++column) {
        EXPECT_EQ(image.pixel(column, row), qRgb(0, 0, 255)) << column;
        for (const int other : {row - 3, row + 3})
            EXPECT_EQ(image.pixel(column, other), qRgb(255, 255, 255)) << column << ", " << other;
    }
    // A repeat not taken off keeps its ink.
    int inked = 0;
    for (int column = static_cast<int>(x(37)); column < x(37) + s.TextWidth("88"); ++column)
        inked += image.pixel(column, row - 3) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 0);
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

    const TextAsRepeat readout(s);
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

// A repeat painted, a value painted over part of its ink (overlap allowed),
// then the repeat printed again at its place in another colour and taken
// off by a value: the picture is the one where the repeat was painted once,
// since the value's ink, laid over the repeat's first painting, is not the
// repeat's to take back.
TEST(TextFollowsThePicture, ATextPaintedAgainLeavesTheInkPaintedOverItBetween) {
    const auto draw = [](RasterSurface& s, bool again) {
        s.Clear();
        {
            const TextAsRepeat repeat(s);
            PrintAt(s, 20, 10, "20");
        }
        s.Image();
        s.SetForeColor(kRed);
        {
            const TextOverlapAllowed over(s);
            PrintAt(s, 24, 12, "77");
        }
        s.Image();
        if (again) {
            const TextAsRepeat repeat(s);
            s.SetForeColor(kBlue);
            PrintAt(s, 20, 10, "20");
        }
        const QImage before = s.Image().copy();
        s.SetForeColor(kBlack);
        PrintAt(s, 18, 10, "1");
        EXPECT_EQ(TextsOf(s.LeftOutTexts()), std::vector<std::string>{"20"});
        return before;
    };
    RasterSurface once(120, 40);
    RasterSurface twice(120, 40);
    const QImage onceBefore = draw(once, false);
    const QImage twiceBefore = draw(twice, true);
    int repainted = 0; // pixels of the value's ink the repeat was painted over again
    int differ = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const QRgb value = onceBefore.pixel(x, y);
            repainted += qRed(value) > qBlue(value) + 60 && twiceBefore.pixel(x, y) != value;
            differ += once.Image().pixel(x, y) != twice.Image().pixel(x, y);
        }
    EXPECT_GT(repainted, 5);
    EXPECT_EQ(differ, 0);
}

// Repeats of two words ("1 20"), one painted once, the other first on a
// box of its own and then again at its place without one, lines drawn
// through them: each taken off by a value, every pixel is as drawn without
// them. A repeat over a red box
// painted before them leaves other pixels than the back colour in what the
// surface keeps of the pixels under a text.
TEST(TextFollowsThePicture, RepeatsOfWordsTakenOffLeaveNoneOfTheirPixels) {
    const Rgb ink = RepeatFootInk();
    const std::vector<QPoint> at = {{20, 10}, {20, 40}};
    const auto draw = [&](RasterSurface& s, bool repeats) {
        s.Clear();
        s.FilledBox(120, 5, 190, 40, kRed);
        {
            const TextAsRepeat r(s);
            PrintAt(s, 130, 10, "8888");
            s.Image();
            if (repeats) {
                PrintAt(s, at[0].x(), at[0].y(), "1 20");
                s.Image();
                const Rgb back = s.BackColor();
                s.SetBackColor(kYellow);
                s.SetFontTransparent(false);
                PrintAt(s, at[1].x(), at[1].y(), "1 20");
                s.Image();
                s.SetBackColor(back);
                s.SetFontTransparent(true);
                s.SetForeColor(kBlue);
                PrintAt(s, at[1].x(), at[1].y(), "1 20");
                s.Image();
                s.SetForeColor(kBlack);
            }
        }
        // Lines in the ink's colour along the foot of each "2", the lower
        // first: they stay.
        for (const QPoint& p : {at[1], at[0]}) s.Line(10, p.y() + 9, 110, p.y() + 9, ink);
        for (const QPoint& p : at) PrintAt(s, p.x() - 4, p.y(), "7");
    };
    RasterSurface reference(200, 60);
    RasterSurface s(200, 60);
    draw(reference, false);
    draw(s, true);
    EXPECT_EQ(TextsOf(s.LeftOutTexts()), (std::vector<std::string>{"1 20", "1 20"}));
    int differ = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            differ += s.Image().pixel(x, y) != reference.Image().pixel(x, y);
    EXPECT_EQ(differ, 0);
}

} // namespace
} // namespace tarvex
