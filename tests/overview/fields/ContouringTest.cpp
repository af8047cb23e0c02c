#include "overview/fields/Contouring.h"

#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

// A grid over columns 0..C and levels 0..T whose level k lies at y = k.
TimeHeightGrid Grid(int C, int T, const std::function<float(int t, int k)>& f,
                    bool levelZero = false) {
    TimeHeightGrid g;
    g.LastColumn = C;
    g.TopLevel = T;
    g.HasLevelZero = levelZero;
    g.values.assign(static_cast<std::size_t>((C + 1) * (T + 1)), 0.0f);
    for (int k = 0; k <= T; ++k) {
        g.levelY.push_back(static_cast<float>(k));
        for (int t = 0; t <= C; ++t) g.At(t, k) = f(t, k);
    }
    return g;
}

std::vector<DrawOperation> Lines(const RecordingSurface& pic) {
    return pic.OperationsOf(DrawOperation::Kind::Line);
}

TEST(Contouring, CrossingCountsAValueOnTheThresholdAsBelowIt) {
    EXPECT_TRUE(CrossingFraction(5, 0, 10).crosses);
    EXPECT_FLOAT_EQ(CrossingFraction(5, 0, 10).fraction, 0.5f);
    EXPECT_FLOAT_EQ(CrossingFraction(5, 5, 10).fraction, 0.0f);
    EXPECT_FLOAT_EQ(CrossingFraction(5, 10, 5).fraction, 1.0f);
    EXPECT_FALSE(CrossingFraction(5, 0, 5).crosses);
    EXPECT_FALSE(CrossingFraction(5, 6, 9).crosses);
}

TEST(Contouring, FieldLinearInTimeGivesVerticalLinesAtTheirColumns) {
    // f = 10 t over 5 columns and 3 levels: values 0..40; contours -5..45.
    const TimeHeightGrid g = Grid(4, 3, [](int t, int) { return 10.0f * t; });
    RecordingSurface pic;
    ContourField(pic, g, 5, kYellow, kBlue, 10);
    const auto lines = Lines(pic);
    // 0..35 cross (a contour through grid points is drawn once); each is two
    // segments, rows 1-2 and 2-3. 40 lies on the last column only.
    ASSERT_EQ(lines.size(), 16u);
    std::map<double, int> segmentsAt;
    int bright = 0;
    for (const DrawOperation& line : lines) {
        EXPECT_DOUBLE_EQ(line.x1, line.x2);
        EXPECT_DOUBLE_EQ(std::fabs(line.y2 - line.y1), 1.0);
        ++segmentsAt[line.x1];
        if (line.color == kYellow) ++bright;
    }
    EXPECT_EQ(segmentsAt,
              (std::map<double, int>{
                  {0.0, 2}, {0.5, 2}, {1.0, 2}, {1.5, 2}, {2.0, 2}, {2.5, 2}, {3.0, 2}, {3.5, 2}}));
    EXPECT_EQ(bright, 8); // 0, 10, 20, 30
    EXPECT_TRUE(pic.OperationsOf(DrawOperation::Kind::Text).empty());
}

TEST(Contouring, LongFlatContoursCarryLabelsAtIntervals) {
    // f = 10 k over 60 columns on 600 pixels (10 a column): the contours run
    // flat across the run and are labelled every 16 columns, on the line.
    const TimeHeightGrid g = Grid(59, 4, [](int, int k) { return 10.0f * k; });
    RecordingSurface pic(600, 300);
    pic.Scale(59.5, 4.5, -0.5, -0.5);
    ContourField(pic, g, 10, kYellow, kBlue, 20);
    std::map<std::string, std::set<double>> columnsOf;
    for (const DrawOperation& text : pic.OperationsOf(DrawOperation::Kind::Text)) {
        if (text.text == "X" || text.text == "N") continue;
        const double y = std::stod(text.text) / 10.0;
        EXPECT_NEAR(text.y1, y, 1e-6) << text.text;
        columnsOf[text.text].insert(text.x1);
    }
    // 10 .. 30 run through rows 1..3 (0 and 40 lie on the edge levels).
    EXPECT_EQ(columnsOf.size(), 3u);
    for (const auto& [label, columns] : columnsOf)
        EXPECT_EQ(columns, (std::set<double>{16, 32, 48})) << label;
}

TEST(Contouring, SteepContoursKeepTheirLabelsApart) {
    // f = 2 (t - k) + 0.5 over 30 columns and 20 levels on 300 by 200
    // pixels: close diagonal lines, each wanting a label in every cell; the
    // labels that would land on another are left out, and the one extremum
    // mark stays.
    const TimeHeightGrid g = Grid(29, 20, [](int t, int k) {
        return 2.0f * static_cast<float>(t - k) + 0.5f + (t == 15 && k == 10 ? 40.0f : 0.0f);
    });
    RecordingSurface pic(300, 200);
    pic.SetDesignSize(300, 200); // as the time-height picture has
    pic.Scale(29.5, 20.5, -0.5, -0.5);
    ContourField(pic, g, 2, kYellow, kBlue, 10);
    const auto texts = pic.OperationsOf(DrawOperation::Kind::Text);
    EXPECT_GT(texts.size(), 30u);
    EXPECT_TRUE(TextIsReadable(pic));
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const DrawOperation& op) { return op.text == "X"; }),
              1);
}

TEST(Contouring, ParaboloidGivesAClosedCurveAndOneMaximum) {
    const auto f = [](int t, int k) {
        return -static_cast<float>((t - 3) * (t - 3) + (k - 3) * (k - 3));
    };
    const TimeHeightGrid g = Grid(6, 6, f);
    RecordingSurface pic;
    pic.Scale(0, 6, 6, 0);
    // -2.5 rings the nine points nearest the top: twelve crossings, twelve cells.
    DrawContourLevel(pic, g, -2.5f);
    const auto lines = Lines(pic);
    ASSERT_EQ(lines.size(), 12u);
    std::map<std::pair<double, double>, int> ends;
    for (const DrawOperation& line : lines) {
        ++ends[{std::round(line.x1 * 1e4), std::round(line.y1 * 1e4)}];
        ++ends[{std::round(line.x2 * 1e4), std::round(line.y2 * 1e4)}];
    }
    for (const auto& [point, count] : ends) EXPECT_EQ(count, 2); // closed
    for (auto [x, y] : {std::pair{1.5, 3.0}, {4.5, 3.0}, {3.0, 1.5}, {3.0, 4.5}})
        EXPECT_EQ(ends.count({std::round(x * 1e4), std::round(y * 1e4)}), 1u);

    pic.ForgetOperations();
    ContourField(pic, g, 5, kYellow, kBlue, 10);
    const auto marks = pic.OperationsOf(DrawOperation::Kind::Text);
    int maxima = 0;
    for (const DrawOperation& mark : marks) {
        if (mark.text != "X") continue;
        ++maxima;
        EXPECT_NEAR(mark.x1 + pic.TextWidth("X") / 2, 3.0, 1e-9);
        EXPECT_NEAR(mark.y1 + pic.TextHeight("X") / 2, 3.0, 1e-9);
        EXPECT_EQ(mark.color, kYellow);
    }
    EXPECT_EQ(maxima, 1);
    for (const DrawOperation& mark : marks) EXPECT_NE(mark.text, "N");

    // With the maximum's column outside the picture its mark is not drawn
    // (pulled in, it would stand at another column).
    RecordingSurface right;
    right.Scale(6, 6, 3.5, 0);
    ContourField(right, g, 5, kYellow, kBlue, 10);
    for (const DrawOperation& mark : right.OperationsOf(DrawOperation::Kind::Text))
        EXPECT_NE(mark.text, "X");

    // A ring whose labels are all covered keeps one at another end of its
    // line, where it covers nothing.
    RecordingSurface first;
    first.Scale(0, 6, 6, 0);
    DrawContourLevel(first, g, -2.5f);
    ASSERT_FALSE(first.DrawnTexts().empty());
    RecordingSurface covered;
    covered.Scale(0, 6, 6, 0);
    for (const DrawnText& text : first.DrawnTexts()) covered.ReserveTextArea(text.rect);
    DrawContourLevel(covered, g, -2.5f);
    ASSERT_EQ(covered.DrawnTexts().size(), 1u);
    const DrawnText& kept = covered.DrawnTexts()[0];
    EXPECT_EQ(kept.text, "-2.5 "); // printed as a number, with its blank
    const auto label = covered.OperationsOf(DrawOperation::Kind::Text).at(0);
    ends.clear();
    for (const DrawOperation& line : Lines(covered))
        ++ends[{std::round(line.x2 * 1e4), std::round(line.y2 * 1e4)}];
    EXPECT_EQ(ends.count({std::round(label.x1 * 1e4), std::round(label.y1 * 1e4)}), 1u);
    for (const DrawnText& text : first.DrawnTexts())
        EXPECT_FALSE(TextRectsOverlap(text.rect, kept.rect));
}

// A ring whose label has room nowhere is tried at every end of its lines
// with each of its corners there, but not twice in a row at the end two
// lines share: that try would be left out again.
TEST(Contouring, LabelWithoutRoomIsTriedOnceAtEachSharedEnd) {
    const TimeHeightGrid g = Grid(6, 6, [](int t, int k) {
        return -static_cast<float>((t - 3) * (t - 3) + (k - 3) * (k - 3));
    });
    RecordingSurface pic;
    pic.Scale(0, 6, 6, 0);
    pic.ReserveTextArea(TextRect{0, 0, double(pic.PixelWidth()), double(pic.PixelHeight())});
    DrawContourLevel(pic, g, -2.5f);
    EXPECT_TRUE(pic.DrawnTexts().empty());
    const std::vector<DrawnText>& left = pic.LeftOutTexts();
    std::set<std::pair<double, double>> places;
    for (std::size_t k = 0; k < left.size(); ++k) {
        places.insert({std::round(left[k].rect.left * 1e4), std::round(left[k].rect.top * 1e4)});
        if (k > 0) {
            EXPECT_FALSE(left[k].rect.left == left[k - 1].rect.left &&
                         left[k].rect.top == left[k - 1].rect.top)
                << "tried again at " << k;
        }
    }
    // Twelve ends, four corners each.
    EXPECT_EQ(places.size(), 48u);
}

TEST(Contouring, LevelsDrawnTogetherAreEachDrawnInTurn) {
    // Rings about a maximum off the middle, in a wide picture whose labels
    // crowd: each value's lines and labels, and which labels stand, are
    // those of the values drawn one by one.
    const TimeHeightGrid g = Grid(12, 8, [](int t, int k) {
        return -static_cast<float>((t - 4) * (t - 4) + 2 * (k - 5) * (k - 5));
    });
    const float values[] = {-2.5f, -12.5f, -6.5f, -30.5f};
    RecordingSurface together(200, 120);
    RecordingSurface inTurn(200, 120);
    for (RecordingSurface* pic : {&together, &inTurn}) pic->Scale(0, 8, 12, 0);
    DrawContourLevels(together, g, values);
    for (const float v : values) DrawContourLevel(inTurn, g, v);
    const auto& a = together.Operations();
    const auto& b = inTurn.Operations();
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(together.OperationsOf(DrawOperation::Kind::Text).size(), 3u);
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].kind, b[i].kind);
        EXPECT_EQ(std::tie(a[i].x1, a[i].y1, a[i].x2, a[i].y2, a[i].text),
                  std::tie(b[i].x1, b[i].y1, b[i].x2, b[i].y2, b[i].text));
    }
}

TEST(Contouring, SaddleJoinsTheLaterEdgeToTheUpperEdge) {
    // One cell between levels 1 and 2: 10 at (later, lower) and (earlier,
    // upper), 0 at the other corners.
    const TimeHeightGrid g = Grid(1, 2, [](int t, int k) {
        if (k == 0) return 0.0f;
        return (t == 1) == (k == 1) ? 10.0f : 0.0f;
    });
    RecordingSurface pic;
    DrawContourLevel(pic, g, 5.0f);
    const auto lines = Lines(pic);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].x1, 1.0);
    EXPECT_DOUBLE_EQ(lines[0].y1, 1.5);
    EXPECT_DOUBLE_EQ(lines[0].x2, 0.5);
    EXPECT_DOUBLE_EQ(lines[0].y2, 2.0);
    EXPECT_DOUBLE_EQ(lines[1].x1, 0.0);
    EXPECT_DOUBLE_EQ(lines[1].y1, 1.5);
    EXPECT_DOUBLE_EQ(lines[1].x2, 0.5);
    EXPECT_DOUBLE_EQ(lines[1].y2, 1.0);
}

TEST(Contouring, BandsColourLinesAndMarksAndNeverRunPastTheLast) {
    const ContourBand bands[] = {{0, kBlue}, {10, kRed}};
    EXPECT_EQ(BandIndexOf(bands, -3), 0u);
    EXPECT_EQ(BandIndexOf(bands, 10), 1u);
    EXPECT_EQ(BandIndexOf(bands, 5000), 1u);

    // f = 10 t: lines at 0 and 5 blue, 10..35 red. A peak of 50 in the middle
    // takes the red of its band.
    TimeHeightGrid g = Grid(4, 3, [](int t, int) { return 10.0f * t; });
    RecordingSurface pic;
    ContourFieldLevels(pic, g, 5, bands);
    int blue = 0;
    for (const DrawOperation& line : Lines(pic)) blue += line.color == kBlue;
    EXPECT_EQ(blue, 4);
    EXPECT_EQ(Lines(pic).size(), 16u);

    g.At(2, 1) = -30.0f; // a minimum on level 1: the field has no level 0
    pic.ForgetOperations();
    ContourFieldLevels(pic, g, 5, bands);
    const auto marks = pic.OperationsOf(DrawOperation::Kind::Text);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks[0].text, "N");
    EXPECT_EQ(marks[0].color, kBlue);
    // With a level 0 below it that is lower still, it is no minimum.
    g.HasLevelZero = true;
    g.At(2, 0) = -40.0f;
    pic.ForgetOperations();
    ContourFieldLevels(pic, g, 5, bands);
    for (const DrawOperation& mark : pic.OperationsOf(DrawOperation::Kind::Text))
        EXPECT_NE(mark.text, "N");
}

TEST(Contouring, FlatFieldsAndAZeroIntervalDrawNothing) {
    RecordingSurface pic;
    ContourField(pic, Grid(4, 3, [](int, int) { return 0.0f; }), 5, kYellow, kBlue, 10);
    EXPECT_TRUE(pic.Operations().empty());
    ContourField(pic, Grid(4, 3, [](int t, int) { return 10.0f * t; }), 0, kYellow, kBlue, 10);
    EXPECT_TRUE(pic.Operations().empty());
    const ContourBand bands[] = {{0, kBlue}};
    ContourFieldLevels(pic, Grid(4, 3, [](int t, int) { return 10.0f * t; }), 0, bands);
    EXPECT_TRUE(pic.Operations().empty());
    // A damaged value far beyond any field still gives a countable set of
    // contour values.
    ContourField(pic, Grid(4, 3, [](int t, int k) { return t == 2 && k == 2 ? -1e30f : 0.0f; }), 5,
                 kYellow, kBlue, 10);
    EXPECT_FALSE(pic.OperationsOf(DrawOperation::Kind::Line).empty());
}

// What a contoured field puts on a picture: its lines and texts, in order.
std::vector<std::tuple<DrawOperation::Kind, double, double, double, double, std::string>>
Drawn(const RecordingSurface& pic) {
    std::vector<std::tuple<DrawOperation::Kind, double, double, double, double, std::string>> ops;
    for (const DrawOperation& op : pic.Operations())
        ops.emplace_back(op.kind, op.x1, op.y1, op.x2, op.y2, op.text);
    return ops;
}

TEST(Contouring, KeptContoursAreTracedAgainWhenTheFieldTheScaleOrThePictureChanges) {
    // Flat contours labelled every 16 columns on 600 pixels (8 on 300), with
    // a peak that gives steep lines and a mark.
    const auto peaked = [](float top) {
        return Grid(59, 6, [top](int t, int k) {
            return 10.0f * static_cast<float>(k) + (t == 30 && k == 3 ? top : 0.0f);
        });
    };
    ContourTraces kept;
    // Drawn from kept traces, and traced afresh on a picture alike.
    const auto draw = [&kept](const TimeHeightGrid& g, int width, int interval) {
        RecordingSurface fromKept(width, 300);
        RecordingSurface fresh(width, 300);
        for (RecordingSurface* pic : {&fromKept, &fresh}) pic->Scale(59.5, 6.5, -0.5, -0.5);
        ContourField(fromKept, g, interval, kYellow, kBlue, 20, &kept);
        ContourField(fresh, g, interval, kYellow, kBlue, 20);
        EXPECT_EQ(Drawn(fromKept), Drawn(fresh));
        return Drawn(fromKept);
    };
    const auto first = draw(peaked(25.0f), 600, 10);
    EXPECT_EQ(draw(peaked(25.0f), 600, 10), first); // the kept lines again
    EXPECT_NE(draw(peaked(35.0f), 600, 10), first); // another file's values
    TimeHeightGrid moved = peaked(25.0f);           // the levels elsewhere (scale, unit)
    moved.levelY[3] = 3.25f;
    EXPECT_NE(draw(moved, 600, 10), first);
    TimeHeightGrid shorter = Grid(47, 6, [](int, int k) { return 10.0f * static_cast<float>(k); });
    EXPECT_NE(draw(shorter, 600, 10), first);       // a shorter time window
    EXPECT_NE(draw(peaked(25.0f), 300, 10), first); // a narrower picture: labels closer
    EXPECT_EQ(draw(peaked(25.0f), 600, 10), first); // the same lines, labelled as wide
    EXPECT_NE(draw(peaked(25.0f), 600, 5), first);  // another interval
    const ContourBand bands[] = {{0, kBlue}, {25, kRed}};
    const ContourBand raised[] = {{30, kBlue}, {45, kRed}};
    RecordingSurface low(600, 300);
    RecordingSurface high(600, 300);
    ContourFieldLevels(low, peaked(25.0f), 10, bands, &kept);
    ContourFieldLevels(high, peaked(25.0f), 10, raised, &kept);
    EXPECT_LT(high.OperationsOf(DrawOperation::Kind::Line).size(),
              low.OperationsOf(DrawOperation::Kind::Line).size()); // no line below 20
    EXPECT_EQ(draw(peaked(25.0f), 600, 10), first);
}

} // namespace
} // namespace tarvex
