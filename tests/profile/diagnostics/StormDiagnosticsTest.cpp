#include "compute/ComputeState.h"
#include "compute/MatrixProfiles.h"
#include "compute/StormMatrix.h"
#include "files/Session.h"
#include "platform/RasterSurface.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/StormMatrixSketch.h"
#include "profile/diagnostics/StormType.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;
constexpr int kModel = test::kMatrixModel;

std::vector<DrawOperation> Of(const RecordingSurface& pic, Kind kind, Rgb colour) {
    std::vector<DrawOperation> found;
    for (const DrawOperation& op : pic.OperationsOf(kind))
        if (op.color == colour) found.push_back(op);
    return found;
}

const DrawOperation* TextOp(const RecordingSurface& pic, const std::string& text) {
    for (const DrawOperation& op : pic.Operations())
        if (op.kind == Kind::Text && op.text == text) return &op;
    return nullptr;
}

// Five hours of one sounding whose 0-4 km winds run from calm at the ground
// by (3, 0) m/s a level to (12, 0) at 2 km, then turn by (0, 4) a level to
// (12, 16) at 4 km: a wind difference of 20 m/s and a hodograph length of
// 12 + 16 = 28 m/s.
class StormTypeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<test::Wind> low = {{0, 0}, {3, 0}, {6, 0}, {9, 0}, {12, 0}, {12, 4}};
        const std::vector<test::Wind> aloft = {{12, 4}, {12, 8}, {12, 12}, {12, 16}};
        // CAPE and CINS of hours 0..4: no CAPE; just CAPE under strong, then
        // under weak inhibition; a cap of 39 and of 40 J/kg.
        const float cape[5] = {0, 1, 1000, 2000, 3000};
        const float cins[5] = {5, 19, 20, 39, 40};
        for (int t = 0; t < 5; ++t) {
            test::WriteMatrixSounding(s(), low, aloft, t);
            s().CAPE(kModel, t) = cape[t];
            s().CINS(kModel, t) = cins[t];
        }
    }
    ProfileArrays& s() { return *session.profile; }

    Session session;
    RecordingSurface pic{433, 425};
};

TEST_F(StormTypeTest, TrackColouredByInhibitionAtTheShearOfTheOption) {
    PlotCapeShear(pic, session, 4, kCapeAxisTopStart);
    const auto circles = pic.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 5u);
    const Rgb fills[5] = {kGreen, kRed, kYellow, kYellow, kGreen};
    for (int t = 0; t < 5; ++t) {
        const DrawOperation& c = circles[static_cast<std::size_t>(t)];
        EXPECT_EQ(c.state.fillColor, fills[t]) << t;
        EXPECT_NEAR(c.radius, 0.6 + 0.1 * t, 1e-9);
        EXPECT_NEAR(c.x1, 20.0, 1e-5);
        EXPECT_EQ(c.y1, s().CAPE(kModel, t));
    }
    // Four pieces of track join the five hours, oldest first.
    const auto track = Of(pic, Kind::Line, RGB(255, 255, 127));
    ASSERT_EQ(track.size(), 4u);
    EXPECT_EQ(track[0].y1, 0.0);
    EXPECT_EQ(track[0].y2, 1.0);
    // The boundaries: 4, 13 and 12 pieces.
    EXPECT_EQ(Of(pic, Kind::Line, kYellow).size(), 4u);
    EXPECT_EQ(Of(pic, Kind::Line, RGB(191, 191, 255)).size(), 13u);
    EXPECT_EQ(Of(pic, Kind::Line, kGreen).size(), 12u);

    // The other shear option moves every point to the hodograph length;
    // a start at hour 2 shows three hours.
    session.options.CAPEShearMethod = ShearMethod::HodographLength;
    pic.ForgetOperations();
    PlotCapeShear(pic, session, 2, kCapeAxisTopStart);
    const auto moved = pic.OperationsOf(Kind::Circle);
    ASSERT_EQ(moved.size(), 3u);
    for (const DrawOperation& c : moved) EXPECT_NEAR(c.x1, 28.0, 1e-5);
    EXPECT_NEAR(moved.back().radius, 1.0, 1e-9);
}

// An hour drawn over the kept fixed part looks as one drawn from scratch.
TEST_F(StormTypeTest, KeptBackgroundDrawsTheSamePicture) {
    RasterSurface plain(433, 425);
    RasterSurface kept(433, 425);
    CapeShearBackground background;
    PlotCapeShear(plain, session, 4, kCapeAxisTopStart);
    PlotCapeShear(kept, session, 3, kCapeAxisTopStart, &background);
    PlotCapeShear(kept, session, 4, kCapeAxisTopStart, &background);
    EXPECT_EQ(kept.Image(), plain.Image());
    // Over the kept background the numbers and captions are texts the
    // surface knows, where the plain drawing has them.
    auto texts = [](const PictureSurface& surface) {
        std::vector<std::pair<std::string, double>> found;
        for (const DrawnText& t : surface.DrawnTexts()) found.emplace_back(t.text, t.rect.left);
        return found;
    };
    EXPECT_EQ(texts(kept), texts(plain));
    EXPECT_EQ(texts(kept).size(), 4u + 10u + 7u); // CAPE and shear numbers, captions
    EXPECT_TRUE(TextIsReadable(kept));
    PlotCapeShear(plain, session, 4, 3583);
    PlotCapeShear(kept, session, 4, 3583, &background);
    EXPECT_EQ(kept.Image(), plain.Image());
}

// The hour's dot at no CAPE sits on the frame line over the shear number
// "20": the number reads whole, no pixel of the dot (green fill, blue ring)
// inside its box, at the design size and at a 1280 x 800 screen's.
TEST_F(StormTypeTest, ADotAtNoCapeLeavesTheShearNumberWhole) {
    for (const int width : {433, 295}) {
        RasterSurface shown(width, width * 425 / 433);
        shown.SetDesignSize(433, 425);
        PlotCapeShear(shown, session, 0, kCapeAxisTopStart);
        const QImage& image = shown.Image();
        const DrawnText* twenty = nullptr;
        for (const DrawnText& t : shown.DrawnTexts())
            if (t.text == "20") twenty = &t;
        ASSERT_TRUE(twenty) << width;
        int ink = 0;
        const TextRect& box = twenty->rect;
        // From the row under the frame line, on which the number hangs and
        // the dot sits.
        const long top = std::max(std::lround(box.top), std::lround(shown.ToPixelY(0.0)) + 1);
        for (long y = top; y < std::lround(box.Bottom()); ++y)
            for (long x = std::lround(box.left); x < std::lround(box.Right()); ++x) {
                const QRgb p = image.pixel(static_cast<int>(x), static_cast<int>(y)) | 0xFF000000u;
                ASSERT_NE(p, qRgb(0, 255, 0)) << width << " at " << x << ", " << y;
                ASSERT_NE(p, qRgb(0, 0, 255)) << width << " at " << x << ", " << y;
                ink += qBlue(p) > 150 && qRed(p) > 60 ? 1 : 0; // the number's own colour
            }
        EXPECT_GT(ink, 5) << width;
    }
}

// Shown smaller than its design, every text stays readable and the
// subscript of U follows the U, inside the blanks after it.
TEST_F(StormTypeTest, SubscriptFollowsTheShearCaptionAtAnySize) {
    for (const int width : {308, 433, 640}) {
        RecordingSurface shown(width, width * 425 / 433);
        shown.SetDesignSize(433, 425);
        PlotCapeShear(shown, session, 4, kCapeAxisTopStart);
        EXPECT_TRUE(TextIsReadable(shown));
        EXPECT_TRUE(NothingLeftOut(shown));
        const DrawnText* caption = nullptr;
        const DrawnText* sub = nullptr;
        for (const DrawnText& t : shown.DrawnTexts()) {
            if (t.text.find("Shear") != std::string::npos) caption = &t;
            if (t.text == "s") sub = &t;
        }
        ASSERT_TRUE(caption && sub) << width;
        // Widths in the picture's scale (63 units across) as pixels.
        const double perUnit = width / 63.0;
        const double uEnd =
            caption->rect.left + shown.TextWidth("4 km Vertical  Wind  Shear  U") * perUnit;
        EXPECT_GE(sub->rect.left, uEnd - 0.5) << width;
        EXPECT_LE(sub->rect.Right(), uEnd + shown.TextWidth("   ") * perUnit) << width;
    }
}

TEST(Zooms, StayWithinBounds) {
    std::int16_t top = kCapeAxisTopStart;
    for (const int expected : {3583, 2986, 2488, 2073, 1728}) {
        top = ZoomCapeAxisTop(top, 1);
        EXPECT_EQ(top, expected);
    }
    EXPECT_EQ(ZoomCapeAxisTop(578, 1), 578); // 482 would be below the least top
    EXPECT_EQ(ZoomCapeAxisTop(kCapeAxisTopStart, 2), 5160);
    for (int k = 0; k < 100; ++k) top = ZoomCapeAxisTop(top, 4);
    EXPECT_GT(top, 20833);
    EXPECT_FLOAT_EQ(ZoomMbeScale(kMbeScaleStart, 1), 42.5f);
    EXPECT_EQ(ZoomMbeScale(kMbeScaleMin, 1), kMbeScaleMin);
    EXPECT_EQ(ZoomMbeScale(kMbeScaleMax, 2), kMbeScaleMax);
}

TEST(ThresholdBar, ThirdsOfTheRow) {
    RecordingSurface pic;
    const IndexThresholdTable limits = DefaultIndexThresholds(); // warm cloud: 6000..13000
    for (const float depth : {6000.0f, 9000.0f, 10500.0f, 20000.0f})
        PlotBar(pic, depth, 18, limits);
    const auto bars = pic.OperationsOf(Kind::FilledBox);
    ASSERT_EQ(bars.size(), 3u);
    const double lengths[3] = {33.3, 66.6, 100.0};
    const Rgb colours[3] = {kYellow, kRed, kRed};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(bars[k].x2, lengths[k], 1e-5);
        EXPECT_EQ(bars[k].color, colours[k]);
    }
    EXPECT_NEAR(bars[0].y1, 16.1, 1e-9);
    EXPECT_NEAR(bars[0].y2, 16.8, 1e-9);
}

// A sounding of 1000 to 250 mb whose cloud layer (850 to 300 mb) blows from
// the west at 10 m/s and whose jet is a southerly of 15 m/s at 900 mb: in
// knots the MBE vector is (19.43, -29.14), 35 kt from 326 degrees
// (270 + atan 1.5).
class HeavyPrecipTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        const float pressures[7] = {1000, 900, 850, 700, 500, 300, 250};
        const float heights[7] = {0, 900, 1400, 3000, 5540, 9000, 10300};
        for (int k = 0; k < 7; ++k) {
            test::SoundingLevel level{pressures[k], heights[k], 10.0f, 0.0f, 10.0f, 0.0f};
            if (k == 0) level.WindU = 0.0f;
            if (k == 1) level.WindU = 0.0f, level.WindV = 15.0f;
            p.Levels.push_back(level);
        }
        test::WriteProfile(s(), p);
        s().LastTime(kModel) = 0;
        const float rh[7] = {90, 80, 70, 60, 50, 10, 10}; // mean to 500 mb: 70
        for (int k = 0; k < 7; ++k) s().RelativeHumidity(kModel, 0, k + 1) = rh[k];
        s().PrecipWater(kModel, 0) = 1.2f;
        session.wholeRun->WarmCloudDone(kModel) = kFlagTrue;
        session.wholeRun->WarmCloudDepth(kModel, 0) = 9000.0f;
    }
    ProfileArrays& s() { return *session.profile; }

    Session session;
    RecordingSurface pic{441, 433};
};

TEST_F(HeavyPrecipTest, VectorsTextsAndThicknessLimits) {
    PlotMBE(pic, session, 0, kMbeScaleStart);
    auto has = [&](const char* text) { return TextOp(pic, text) != nullptr; };
    EXPECT_TRUE(has("V cloud layer   =  270 °/ 19 kts"));
    EXPECT_TRUE(has("V low-level jet =  180 °/ 29 kts at  900 mb"));
    EXPECT_TRUE(has("MBE Velocity  =  326 °/ 35 kts"));
    EXPECT_TRUE(has("Pcp Water        1.20 in"));
    EXPECT_TRUE(has("Mean RH             70 %"));
    EXPECT_TRUE(has("PW*RH             0.84")); // 0.70 * 1.20
    EXPECT_TRUE(has("Warm Cloud     9,000 ft"));
    EXPECT_TRUE(has("Low Lvl Jet          29 kts")); // 15 m/s
    // 554 dam of thickness: limits 0.70 and 0.94 in over the bars.
    EXPECT_TRUE(has("554"));
    EXPECT_TRUE(has("0.70"));
    EXPECT_TRUE(has("0.94"));
    // The derived limits are the panel's own: the user's thresholds stay.
    EXPECT_EQ(session.history.IndexThresholds, DefaultIndexThresholds());
    // Rings every 10 kt to 60 kt; three arrows; no slow ring at 35 kt.
    EXPECT_EQ(Of(pic, Kind::Circle, RGB(128, 128, 128)).size(), 6u);
    EXPECT_TRUE(Of(pic, Kind::Circle, kRed).empty());
    // The MBE arrow's barbs point back 30 degrees either side of 326.
    const auto mbe = Of(pic, Kind::Line, kYellow);
    ASSERT_EQ(mbe.size(), 3u);
    EXPECT_NEAR(mbe[1].x2 - mbe[1].x1, 4 * std::cos((450 - 356.31) * M_PI / 180), 1e-2);
    EXPECT_EQ(pic.OperationsOf(Kind::FilledBox).size(), 5u);

    // Forward propagation: five arrows, the MBE line in red.
    session.options.MBEForwardPropagation = true;
    session.winds->MBEDone(kModel, 0) = kFlagFalse;
    pic.ForgetOperations();
    PlotMBE(pic, session, 0, kMbeScaleStart);
    EXPECT_EQ(Of(pic, Kind::Line, kWhite).size(), 3u);
    // (38.85, -29.14) kt: 270 + atan 0.75.
    const DrawOperation* line = TextOp(pic, "MBE Velocity  =  307 °/ 49 kts");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->color, kRed);
}

// The pixel box of a bar (a filled box) under the scale it was drawn in.
TextRect PixelBox(const DrawOperation& op, int width, int height) {
    const UserScale& u = op.scale;
    auto px = [&](double x) { return (x - u.left) / u.width * width; };
    auto py = [&](double y) { return (y - u.top) / u.height * height; };
    const double left = std::min(px(op.x1), px(op.x2));
    const double top = std::min(py(op.y1), py(op.y2));
    return {left, top, std::max(px(op.x1), px(op.x2)) - left, std::max(py(op.y1), py(op.y2)) - top};
}

// Whether a circle (a ring, in pixels) passes through a box.
bool RingCrosses(double cx, double cy, double r, const TextRect& box) {
    const double nx = std::clamp(cx, box.left, box.Right()) - cx;
    const double ny = std::clamp(cy, box.top, box.Bottom()) - cy;
    const double fx = std::max(std::abs(box.left - cx), std::abs(box.Right() - cx));
    const double fy = std::max(std::abs(box.top - cy), std::abs(box.Bottom() - cy));
    return std::hypot(nx, ny) < r && r < std::hypot(fx, fy);
}

// At its design size and at the least the window gives it, the panel's
// values stand clear of the bars, and where a speed ring or an axis runs
// under a text the text is set on the back colour, so that no line runs
// through its letters. The ring labels alone stand on their rings.
TEST_F(HeavyPrecipTest, TextsStandClearOfBarsAndRings) {
    session.wholeRun->WarmCloudDepth(kModel, 0) = 10686.0f;
    for (const auto& [width, height] :
         {std::pair{441, 433}, std::pair{331, 325}, std::pair{296, 290}}) {
        RecordingSurface panel(width, height);
        panel.SetDesignSize(441, 433);
        PlotMBE(panel, session, 0, kMbeScaleStart);
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        EXPECT_TRUE(TextIsReadable(panel));
        ASSERT_NE(TextOp(panel, "Warm Cloud     10,686 ft"), nullptr);
        std::vector<TextRect> bars;
        for (const DrawOperation& bar : panel.OperationsOf(Kind::FilledBox))
            bars.push_back(PixelBox(bar, width, height));
        ASSERT_EQ(bars.size(), 5u);
        std::vector<DrawOperation> lines;
        for (const DrawOperation& op : panel.Operations())
            if ((op.kind == Kind::Circle || op.kind == Kind::Line) &&
                op.color == RGB(128, 128, 128))
                lines.push_back(op);
        int covered = 0;
        for (const DrawOperation& text : panel.OperationsOf(Kind::Text)) {
            const TextRect& box = text.textRect;
            for (const TextRect& bar : bars)
                EXPECT_FALSE(TextRectsOverlap(box, bar)) << '"' << text.text << "\" on a bar";
            const bool ringLabel = text.text.find_first_not_of(" 0123456789") == std::string::npos;
            if (ringLabel) continue;
            for (const DrawOperation& line : lines) {
                const double cx = (0 - line.scale.left) / line.scale.width * width;
                const double cy = (0 - line.scale.top) / line.scale.height * height;
                const TextRect span = PixelBox(line, width, height);
                const bool crosses =
                    line.kind == Kind::Circle
                        ? RingCrosses(cx, cy, line.radius / std::abs(line.scale.width) * width, box)
                        : TextRectsOverlap(
                              box, {span.left - 1, span.top - 1, span.width + 2, span.height + 2});
                if (!crosses) continue;
                ++covered;
                EXPECT_FALSE(text.state.fontTransparent)
                    << '"' << text.text << "\" over a line of the vector diagram";
            }
        }
        EXPECT_GT(covered, 0); // texts that do stand over a ring or an axis
    }
}

TEST_F(HeavyPrecipTest, MissingHumidityAndThicknessPrintDashes) {
    // The sounding ends at 700 mb: no 500 mb height.
    s().LevelCount(kModel) = 4;
    PlotMBE(pic, session, 0, kMbeScaleStart);
    EXPECT_NE(TextOp(pic, "---"), nullptr);
    EXPECT_EQ(pic.OperationsOf(Kind::FilledBox).size(), 3u); // humidity, cloud, jet
    // Every level above 500 mb: no humidity either.
    for (int k = 1; k <= 4; ++k) s().Pressure(kModel, 0, k) = 480.0f - 10.0f * k;
    pic.ForgetOperations();
    PlotMBE(pic, session, 0, kMbeScaleStart);
    EXPECT_NE(TextOp(pic, "Mean RH             ----"), nullptr);
    EXPECT_NE(TextOp(pic, "PW*RH             ----"), nullptr);
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
        EXPECT_EQ(op.text.find("nan"), std::string::npos);
}

// In cold air the limits derived from the thickness fall to T0 (0.2 in) or
// below: the row keeps its own thresholds for the hour and the header says
// so. 500 dam: both rows keep theirs (derived 0.09 and 0.12 in); 525 dam:
// precipitable water takes the derived 0.24 and 0.33, PW * RH (0.17 and
// 0.26 derived) its own; 554 dam: both take the derived ones.
TEST_F(HeavyPrecipTest, ColdAirKeepsTheRowsOwnLimitsAndSaysSo) {
    // The bar of the row whose top is at y (none: a zero-length box).
    auto bar = [&](double top) {
        DrawOperation found;
        for (const DrawOperation& op : pic.OperationsOf(Kind::FilledBox))
            if (std::abs(op.y1 - top) < 1e-6) found = op;
        return found;
    };
    auto plot = [&](float height500, float pw) {
        s().Height(kModel, 0, 5) = height500;
        session.thickness->ThicknessReady(kModel) = kFlagFalse; // worked out again
        s().PrecipWater(kModel, 0) = pw;
        pic.ForgetOperations();
        PlotMBE(pic, session, 0, kMbeScaleStart);
        std::vector<std::string> header;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
            if (op.y1 == 12.0) header.push_back(op.text);
        return header;
    };
    EXPECT_EQ(plot(5000.0f, 0.2f),
              (std::vector<std::string>{"Cold air: limits as set", "500", "1.25", "1.50"}));
    EXPECT_EQ(bar(13.1).kind, Kind::Clear); // precipitable water at T0: no bar

    // 0.21 in (row 0.2, 1.25, ...) and 0.21 of PW * RH (row 0.2, 0.7, ...):
    // short green bars, where the derived limits drew two-thirds red ones.
    plot(5000.0f, 0.21f);
    EXPECT_EQ(bar(13.1).color, kGreen);
    EXPECT_NEAR(bar(13.1).x2, 0.01 / 1.05 * 33.3, 1e-3);
    plot(5000.0f, 0.3f);
    EXPECT_EQ(bar(15.1).color, kGreen);
    EXPECT_NEAR(bar(15.1).x2, 0.01 / 0.5 * 33.3, 1e-3);

    const std::vector<std::string> mixed = plot(5250.0f, 0.3f);
    ASSERT_EQ(mixed.size(), 4u) << ::testing::PrintToString(mixed);
    EXPECT_EQ(mixed[0], "Cold air: PW*RH limits as set");
    EXPECT_EQ(mixed[2], "0.24");
    EXPECT_EQ(bar(13.1).color, kYellow); // 0.3 in past the derived 0.24
    EXPECT_EQ(bar(15.1).color, kGreen);  // 0.21 under the row's own 0.7

    EXPECT_EQ(plot(5540.0f, 0.3f), (std::vector<std::string>{"554", "0.70", "0.94"}));
    EXPECT_EQ(session.history.IndexThresholds, DefaultIndexThresholds());
}

// The reason sketch of one hour of each branch, and the label's colour.
class MatrixSketchTest : public ::testing::Test {
  protected:
    void Draw(const std::vector<test::Wind>& low, const std::vector<test::Wind>& aloft,
              float cape = 1000.0f) {
        test::WriteMatrixSounding(*session.profile, low, aloft);
        session.profile->CAPE(kModel, 0) = cape;
        pic.ForgetOperations();
        ShowTrainingMatrix(pic, session, 0);
    }
    // The texts with their places, in the order printed.
    std::vector<std::string> Printed() const {
        std::vector<std::string> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
            out.push_back(op.text + "@" + std::to_string(static_cast<int>(op.x1)) + "," +
                          std::to_string(static_cast<int>(op.y1)));
        return out;
    }

    Session session;
    RecordingSurface pic{337, 49};
};

TEST_F(MatrixSketchTest, OneSketchPerBranch) {
    using V = std::vector<std::string>;
    const std::vector<test::Wind> calm = {{0, 0}};
    // A: dots, the first length at x = 10.
    Draw({{5, 5}}, calm);
    EXPECT_EQ(Printed(),
              (V{"0.0-2.5 km@3,-10", "S: 0 @10,25", "2.5-5.0 km@43,-10", "S: 0 @55,25"}));
    EXPECT_EQ(pic.OperationsOf(Kind::Circle)[1].x1, 50.0);
    // B to E: two straight pieces.
    Draw({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}, {{5, 0}, {10, 0}});
    EXPECT_EQ(pic.OperationsOf(Kind::Line).size(), 2u);
    // J: the low layer alone, arc 4.
    Draw(test::Loop(10, false), calm);
    EXPECT_EQ(Printed(), (V{"0.0-2.5 km@3,-10", "S: 40 @15,25", "H:-200 @15,60"}));
    EXPECT_EQ(pic.OperationsOf(Kind::Arc)[0].x1, 13.0);
    // N to P: arc 1 and a dot aloft.
    Draw(test::Loop(10, true), calm);
    EXPECT_EQ(pic.OperationsOf(Kind::Arc)[0].y1, 90.0);
    EXPECT_EQ(pic.OperationsOf(Kind::Circle)[0].x1, 50.0);
    // F to I: arc 1, straight pieces in the two upper layers.
    Draw(test::Loop(10, true), {{0, 0}, {0, 2}, {0, 4}, {0, 6}, {0, 8}, {0, 10}});
    EXPECT_EQ(Printed(),
              (V{"0.0-2.5 km@3,-10", "S: 40 @15,25", "H: 200 @15,60", "2.5-5.0 km@43,-10",
                 "S: 10 @55,25", "H: 0 @55,60", "5.0-7.5 km@78,-10", "S: 0 @90,25"}));
    EXPECT_EQ(pic.OperationsOf(Kind::Line)[1].x1, 75.0);
    // K to M: arcs 2 and 3.
    Draw(test::Loop(5, true), test::Loop(5, true));
    ASSERT_EQ(pic.OperationsOf(Kind::Arc).size(), 2u);
    EXPECT_EQ(pic.OperationsOf(Kind::Arc)[1].x1, 40.0);
}

TEST_F(MatrixSketchTest, CapeDecidesWhatIsShown) {
    const std::vector<test::Wind> calm = {{0, 0}};
    Draw(test::Loop(10, false), calm, 299.0f);
    EXPECT_EQ(Printed(), std::vector<std::string>{"Low CAPE@40,40"});
    StormMatrixResults& matrix = *session.matrix;
    matrix.MatrixDPDKnown(kModel, 0) = kFlagTrue;
    matrix.MatrixMeanDPD(kModel, 0) = 9.5f;
    Draw(test::Loop(10, false), calm, 2711.0f);
    EXPECT_NE(TextOp(pic, "Mean DPD: 10 "), nullptr);
    matrix.MatrixDPDKnown(kModel, 0) = kFlagFalse;
    Draw(test::Loop(10, false), calm, 2711.0f);
    EXPECT_NE(TextOp(pic, "Mean DPD: --- "), nullptr);

    // The label: green without CAPE, else by the inhibition (built-in 40 and
    // 20 J/kg).
    ProfileArrays& s = *session.profile;
    const struct {
        float cape, cins;
        Rgb colour;
    } labels[] = {{0, 5, kGreen}, {0.5f, 5, kRed}, {100, 20, kYellow}, {100, 40, kGreen}};
    for (const auto& l : labels) {
        s.CAPE(kModel, 0) = l.cape;
        s.CINS(kModel, 0) = l.cins;
        EXPECT_EQ(MatrixLabelColour(session, 0), l.colour) << l.cape << " " << l.cins;
    }
}

} // namespace
} // namespace tarvex
