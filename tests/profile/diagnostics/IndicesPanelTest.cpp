#include "profile/diagnostics/IndicesPanel.h"
#include "compute/ComputeState.h"
#include "files/Session.h"
#include "platform/RasterSurface.h"
#include "platform/RecordingSurface.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace tarvex {
namespace {

// Length and colour of a gauge, with the built-in thresholds unless given.
void ExpectBar(int i, float v, double length, Rgb color,
               const IndexThresholdTable& table = DefaultIndexThresholds()) {
    const GaugeBar bar = MeasureIndex(table, i, v);
    EXPECT_NEAR(bar.Length, length, 1e-4) << "index " << i << " value " << v;
    EXPECT_EQ(bar.Color, color) << "index " << i << " value " << v;
}

TEST(IndexGauge, ThirdsOfARisingAndAFallingIndex) {
    // CAPE 0, 700, 1000, 3000.
    ExpectBar(0, 0.0f, 0.0, kBlack);
    ExpectBar(0, 350.0f, 16.65, kGreen);
    ExpectBar(0, 700.0f, 33.3, kYellow);
    ExpectBar(0, 1000.0f, 66.6, kRed);
    ExpectBar(0, 2000.0f, 83.25, kRed);
    ExpectBar(0, 9000.0f, 100.0, kRed);
    // Lifted index 2, 1, -3, -8: smaller is stronger.
    ExpectBar(7, 2.0f, 0.0, kBlack);
    ExpectBar(7, 1.5f, 16.65, kGreen);
    ExpectBar(7, 1.0f, 33.3, kYellow);
    ExpectBar(7, -1.0f, 49.95, kYellow);
    ExpectBar(7, -3.0f, 66.6, kRed);
    ExpectBar(7, -8.0f, 100.0, kRed);
    // Equal first thresholds count as falling: 5, 5, 3, 1 at 4 is yellow.
    IndexThresholdTable flat = DefaultIndexThresholds();
    flat[10] = {5, 5, 3, 1};
    ExpectBar(10, 4.0f, 49.95, kYellow, flat);
}

TEST(IndexGauge, TwoSidedIndexShrinksBeyondItsFullValue) {
    // Wet-bulb zero 5000, 6000, 7000, 8500 | 9000, 10000, 11000.
    ExpectBar(6, 8000.0f, 88.8, kRed);
    ExpectBar(6, 8500.0f, 100.0, kRed);
    ExpectBar(6, 8750.0f, 83.25, kRed);
    ExpectBar(6, 9500.0f, 49.95, kYellow);
    ExpectBar(6, 10500.0f, 16.65, kGreen);
    ExpectBar(6, 11500.0f, 0.0, kBlack);
    // Labels T1, T2 before the full value, T5, T4 from it on; a one-sided row
    // with the same numbers stays full and keeps T1, T2.
    IndexThresholdTable table = DefaultIndexThresholds();
    const auto labels = [&](int i, float v) {
        const GaugeBar bar = MeasureIndex(table, i, v);
        return std::pair(bar.LabelA, bar.LabelB);
    };
    EXPECT_EQ(labels(6, 8000.0f), std::pair(6000.0f, 7000.0f));
    EXPECT_EQ(labels(6, 8500.0f), std::pair(10000.0f, 9000.0f));
    table[0] = table[6];
    ExpectBar(0, 10500.0f, 100.0, kRed, table);
    EXPECT_EQ(labels(0, 10500.0f), std::pair(6000.0f, 7000.0f));
}

// A one-time sounding whose indices are set by hand, at a station 1,768 ft
// up (950 mb), each value inside a gauge third so that every term moves it.
class IndicesPanel : public ::testing::Test {
  protected:
    void SetUp() override {
        ProfileArrays& s = *session_.profile;
        const int m = s.CurrentModel;
        s.LevelCount(m) = 3;
        s.SurfacePressure(m, 0) = 950.0f;
        s.CAPE(m, 0) = 1234.0f;
        s.CINS(m, 0) = 25.0f;
        s.ModelHelicity(m, 0) = 180.0f;
        s.EHI(m, 0) = 1.39f;
        s.BulkRichardson(m, 0) = 12.5f;
        s.LCLPressure(m, 0) = 950.0f;
        s.CCLPressure(m, 0) = 900.0f;
        s.LFCPressure(m, 0) = 850.0f;
        s.EQLPressure(m, 0) = 300.0f;
        s.WetBulbZeroHeight(m, 0) = 9000.0f; // feet above sea level
        s.LiftedIndex(m, 0) = -2.5f;
        s.TotalTotals(m, 0) = 51.0f;
        s.KIndex(m, 0) = 27.0f;
        s.Showalter(m, 0) = -2.0f;
        s.SweatIndex(m, 0) = 420.0f;
        s.Precip(m, 0) = 0.12f;
        s.PrecipTotal(m, 0) = 1.5f;
        s.ConvPrecip(m, 0) = 0.045f;
        s.ConvPrecipTotal(m, 0) = 0.75f;
        s.PrecipWater(m, 0) = 1.25f;
        session_.wholeRun->TQ(m, 0) = 13.2f;
        session_.wholeRun->TQDone(m) = kFlagTrue;
    }

    // Printed lines by row and the gauge bars by row.
    void Draw() {
        pic_.ForgetOperations();
        PrintIndices(pic_, session_, 0);
        lines_.clear();
        bars_.clear();
        for (const DrawOperation& op : pic_.Operations()) {
            if (op.kind == DrawOperation::Kind::Text && op.scale.left == 0.0) { // text block
                lines_[static_cast<int>(op.y1)] = op.text;
                colours_[static_cast<int>(op.y1)] = op.color;
            }
            if (op.kind == DrawOperation::Kind::FilledBox && op.x1 == 0.0) // not a number's back
                bars_[static_cast<int>(op.y1)] = {op.x2, op.color};
        }
    }

    Session session_;
    RecordingSurface pic_{440, 480};
    std::map<int, std::string> lines_;
    std::map<int, Rgb> colours_;
    std::map<int, std::pair<double, Rgb>> bars_;
};

TEST_F(IndicesPanel, RowsAndGaugesOfAnHour) {
    Draw();
    // Heights are above the ground: the standard atmosphere puts 950, 900,
    // 850 and 300 mb at 1,767.5, 3,234.7, 4,769.5 and 30,003.9 ft.
    // NCAPE = 1234 / (9,144.75 m - 1,453.66 m) = 0.160.
    const std::map<int, std::string> rows = {
        {0, "  CAPE 1234"},
        {1, "  CINS 25"},
        {2, "HELCTY 180"},
        {3, "   EHI 1.39"},
        {4, "   BRN 12.50"},
        {5, " NCAPE 0.16"},
        {7, "EQ LVL 28,236"},
        {8, "WBZero 7,232"},
        {10, "    LI -2.5"},
        {11, "    TT 51"},
        {12, "    TQ 13.2"},
        {13, " K Idx 27"},
        {14, "Shwltr -2"},
        {15, " SWEAT 420"},
        {17, " Precipitation:  0.120 Hr   1.500 Total"},
        {18, "Convect Precip:  0.045 Hr   0.750 Total"},
        {19, "  Pcpble Water:  1.250"},
        {21, "  LCL 950 mb    CCL 900 mb    LFC 850 mb    EQL 300 mb"},
        {22, "          0'        1,467'        3,002'       28,236'"}};
    EXPECT_EQ(lines_, rows);
    const Rgb blue = RGB(127, 127, 255); // the colour changes after rows 5, 8 and 15
    EXPECT_EQ((std::vector{colours_[5], colours_[7], colours_[8], colours_[10], colours_[15],
                           colours_[17], colours_[22]}),
              (std::vector{kRed, blue, blue, kYellow, kYellow, kGreen, kGreen}));

    // Each gauge against the built-in thresholds: CAPE 66.6 + 33.3 * 234 /
    // 2000; CINS, falling, 33.3 + 33.3 * 15 / 20; helicity 33.3 + 33.3 * 30 /
    // 100; EHI 66.6 + 33.3 * 0.39 / 1.5; BRN 66.6 + 33.3 * 2.5 / 12; NCAPE
    // 33.3 + 33.3 * 0.060445 / 0.1; EQ LVL 33.3 + 33.3 * 3,236.4 / 7,000;
    // WBZero 66.6 + 33.3 * 232.47 / 1,500; LI 33.3 + 33.3 * 3.5 / 4; TT 33.3
    // + 33.3 * 3 / 5; TQ 33.3 + 33.3 * 1.2 / 5; K 33.3 * 2 / 5; Showalter
    // 33.3 + 33.3 / 3; SWEAT 66.6 + 33.3 * 70 / 150.
    const std::map<int, std::pair<double, Rgb>> gauges = {
        {0, {70.4961, kRed}},   {1, {58.275, kYellow}},  {2, {43.29, kYellow}},
        {3, {75.258, kRed}},    {4, {73.5375, kRed}},    {5, {53.4283, kYellow}},
        {7, {48.696, kYellow}}, {8, {71.7609, kRed}},    {10, {62.4375, kYellow}},
        {11, {53.28, kYellow}}, {12, {41.292, kYellow}}, {13, {13.32, kGreen}},
        {14, {44.4, kYellow}},  {15, {82.14, kRed}}};
    ASSERT_EQ(bars_.size(), gauges.size());
    for (const auto& [row, bar] : gauges) {
        EXPECT_NEAR(bars_[row].first, bar.first, 1e-3) << "row " << row;
        EXPECT_EQ(bars_[row].second, bar.second) << "row " << row;
    }
    EXPECT_EQ(pic_.State().drawMode, DrawMode::CopyPen);

    // A changed threshold shows at the next redraw.
    session_.history.IndexThresholds[0] = {0, 1500, 2000, 3000};
    Draw();
    EXPECT_EQ(bars_[0].second, kGreen);
    EXPECT_NEAR(bars_[0].first, 27.3948, 1e-3);

    // Without CAPE the inhibition line stays but its gauge goes; with the
    // equilibrium level at the free-convection level NCAPE is not worked
    // out and its gauge stays empty. A 1000 mb level fills its field.
    ProfileArrays& s = *session_.profile;
    s.CAPE(s.CurrentModel, 0) = 0.0f;
    s.EQLPressure(s.CurrentModel, 0) = 850.0f;
    s.LCLPressure(s.CurrentModel, 0) = 1000.0f;
    Draw();
    EXPECT_EQ(lines_[1], "  CINS 25");
    EXPECT_EQ(bars_.count(1), 0u);
    EXPECT_EQ(lines_[5], " NCAPE ----");
    EXPECT_EQ(bars_[5].first, 0.0);
    EXPECT_EQ(lines_[21].substr(0, 19), "  LCL1000 mb    CCL");
}

// At the window's size on a 1280 x 800 screen, the rows that start at the
// left edge ("WBZero", "HELCTY", "EQ LVL") keep their first letter whole:
// no ink lies in the picture's first column, where a glyph that reaches
// left of its place is cut.
TEST_F(IndicesPanel, RowsAtTheLeftEdgeKeepTheirFirstLetter) {
    RasterSurface pic(696, 291);
    pic.SetDesignSize(450, 32 * 14);
    PrintIndices(pic, session_, 0);
    const QImage& image = pic.Image();
    for (int y = 0; y < image.height(); ++y)
        ASSERT_EQ(image.pixel(0, y) & 0xFFFFFFu, 0u) << "ink at the left edge, row " << y;
}

// At the window's size on a 1280 x 800 screen every threshold number reads
// whole over its bar: it shows white ink, and no white pixel of it touches a
// bar's colour (a black back lies between), whether the bar covers it or not.
TEST_F(IndicesPanel, ThresholdNumbersReadOverEveryBar) {
    RasterSurface pic(696, 291);
    pic.SetDesignSize(450, 32 * 14);
    PrintIndices(pic, session_, 0);
    const QImage& image = pic.Image();
    const auto isBar = [&](int x, int y) {
        const QRgb p = image.pixel(x, y) | 0xFF000000u;
        return p == qRgb(255, 0, 0) || p == qRgb(255, 255, 0) || p == qRgb(0, 255, 0);
    };
    int numbers = 0;
    int overBars = 0;
    for (const DrawnText& t : pic.DrawnTexts()) {
        if (t.mayOverlap || t.rect.left < image.width() / 3.0) continue; // the gauges' numbers
        ++numbers;
        int white = 0;
        const int x0 = std::max(0, static_cast<int>(t.rect.left));
        const int y0 = std::max(0, static_cast<int>(t.rect.top));
        const int x1 = std::min(image.width() - 1, static_cast<int>(t.rect.Right()));
        const int y1 = std::min(image.height() - 1, static_cast<int>(t.rect.Bottom()));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) < 128 || qGreen(p) < 128 || qBlue(p) < 128) continue; // white ink
                ++white;
                for (int ny = std::max(0, y - 1); ny <= std::min(image.height() - 1, y + 1); ++ny)
                    for (int nx = std::max(0, x - 1); nx <= std::min(image.width() - 1, x + 1);
                         ++nx)
                        ASSERT_FALSE(isBar(nx, ny)) << '"' << t.text << "\" white at (" << x << ", "
                                                    << y << ") meets a bar";
            }
        EXPECT_GT(white, 4) << '"' << t.text << '"';
        const int middle = (y0 + y1) / 2; // a bar runs on at either side of the number
        overBars += isBar(std::max(0, x0 - 3), middle) || isBar(x1 + 3, middle) ? 1 : 0;
    }
    EXPECT_EQ(numbers, 2 * 14);     // two numbers on each of the hour's gauges
    EXPECT_EQ(overBars, 5 * 2 + 8); // both on five bars past two thirds, one on eight more
}

TEST_F(IndicesPanel, EmptyWithoutASounding) {
    session_.profile->LevelCount(session_.profile->CurrentModel) = 0;
    Draw();
    ASSERT_EQ(pic_.Operations().size(), 1u);
    EXPECT_EQ(pic_.Operations()[0].kind, DrawOperation::Kind::Clear);
    EXPECT_EQ(pic_.BackColor(), kBlack);
}

} // namespace
} // namespace tarvex
