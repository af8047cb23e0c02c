#include "profile/diagrams/HodographDiagram.h"

#include "compute/Hodograph.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

constexpr int kModel = 1;
constexpr Rgb kOrange = RGB(255, 128, 0);

// Storm motion (10, 0) m/s; relative to it the wind is southerly 10 m/s at
// the ground, westerly at 500 m and northerly at 1 km, so the 1 km layer has
// a helicity of 200 and a length of 2 sqrt(200) = 28.28 m/s.
class HodographDiagram : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.StormU = 10.0f;
        p.SurfaceU = 10.0f;
        p.SurfaceV = 10.0f;
        p.Levels = {{950, 500, 15, 10, 20, 0, 12},
                    {900, 1000, 10, 5, 10, -10, 7},
                    {800, 2000, 5, 0, 20, 20, 2}};
        test::WriteProfile(*session.profile, p);
        for (int t = 1; t <= 2; ++t) test::WriteProfile(*session.profile, p, t);
        session.history.HodoTopKm = 1.0f;
        StormMotionResults& storm = *session.stormMotion;
        storm.StormDir(kModel, 0) = 225.4f;
        storm.StormSpeed(kModel, 0) = 12.5f;
        storm.MeanWind06Dir(kModel, 0) = 270.0f;
        storm.MeanWind06Speed(kModel, 0) = 5.0f;
        storm.LeftMoverU(kModel, 0) = -4.0f;
        storm.RightMoverU(kModel, 0) = 10.0f;
        LayerCapeResults& layer = *session.layerCape;
        layer.CapeShearDone(kModel, 0) = kFlagTrue;
        for (int k = 3; k <= 6; ++k) layer.LayerCAPE(kModel, 0, k) = 100.0f * k + 0.5f;
        pic.Scale(-26, 26, 26, -26);
    }

    HodographCaptions Plot(std::int16_t t = 0) {
        pic.ForgetOperations();
        return PlotHodograph(pic, session, view, t);
    }

    std::vector<DrawOperation> Of(Kind kind, Rgb color) const {
        std::vector<DrawOperation> out;
        for (const DrawOperation& op : pic.OperationsOf(kind))
            if (op.color == color) out.push_back(op);
        return out;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
        return out;
    }

    const DrawOperation* Text(const std::string& text) const {
        for (const DrawOperation& op : pic.Operations())
            if (op.kind == Kind::Text && op.text == text) return &op;
        return nullptr;
    }

    Session session;
    HodographView view;
    RecordingSurface pic{400, 400};
};

TEST_F(HodographDiagram, RangeRingsAndTheirLabels) {
    Plot();
    // Half-width 26: rings up to 36, labelled where they cross the left axis
    // inside the picture; the ring at 30 crosses it left of the picture.
    std::vector<double> radii;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Circle))
        if (op.state.fillStyle == FillStyle::Transparent) {
            EXPECT_EQ(op.x1, 0.0);
            EXPECT_EQ(op.y1, 0.0);
            radii.push_back(op.radius);
        }
    EXPECT_EQ(radii, (std::vector<double>{10, 20, 30}));
    for (const char* label : {" 10 ", " 20 "}) {
        const DrawOperation* op = Text(label);
        ASSERT_NE(op, nullptr) << label;
        EXPECT_EQ(op->y1, 0.0);
        EXPECT_EQ(op->x1, -std::stod(label));
    }
    EXPECT_EQ(Text(" 30 "), nullptr);
    // Zoomed out to 36.7: E(46.7) = 47, a fourth ring.
    view.HodoRange = 36.7f;
    Plot();
    int rings = 0;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Circle))
        rings += op.state.fillStyle == FillStyle::Transparent;
    EXPECT_EQ(rings, 4);
}

TEST_F(HodographDiagram, LayerCapeTableAndIndexLines) {
    ProfileArrays& s = *session.profile;
    s.CAPE(kModel, 0) = 1500.0f; // above the red limit of 1000
    s.CINS(kModel, 0) = 30.0f;   // below the yellow limit of 40, not the red 20
    Plot();
    const std::vector<std::string> texts = Texts();
    auto has = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    };
    EXPECT_TRUE(has("    CAPE    "));
    EXPECT_TRUE(has(" 6 km  600 ")); // 600.5 to even
    EXPECT_TRUE(has(" 3 km  300 "));
    EXPECT_EQ(Text(" 6 km  600 ")->state.fontTransparent, false);
    EXPECT_EQ(Text(" 6 km  600 ")->x1, -26.0);

    const DrawOperation* cape = Text("  CAPE =  1500 ");
    ASSERT_NE(cape, nullptr);
    EXPECT_EQ(cape->color, kRed);
    EXPECT_FALSE(cape->lineEnd);
    // Three text lines of 13 pixels above the bottom edge.
    EXPECT_NEAR(cape->y1, -26.0 + 3 * 13 * 52.0 / 400.0, 1e-9);
    const DrawOperation* cins = Text("\\CINS =  30 ");
    ASSERT_NE(cins, nullptr);
    EXPECT_EQ(cins->color, kYellow);
    // The rings do not run through the values.
    EXPECT_FALSE(cape->state.fontTransparent);
    EXPECT_FALSE(cins->state.fontTransparent);
    // Helicity 200: above the yellow limit 150, below the red 250.
    const DrawOperation* helicity = Text("Helicity =  200 ");
    ASSERT_NE(helicity, nullptr);
    EXPECT_EQ(helicity->color, kYellow);
    EXPECT_EQ(helicity->x1, -26.0);
    const DrawOperation* shear = Text("  Shear =  28 m/s    28.3 m/s /km");
    ASSERT_NE(shear, nullptr);
    EXPECT_EQ(shear->color, kYellow);

    // No CAPE: green, no CINS text, and the helicity line still starts below.
    s.CAPE(kModel, 0) = 0.0f;
    Plot();
    ASSERT_NE(Text("  CAPE =  0 "), nullptr);
    EXPECT_EQ(Text("  CAPE =  0 ")->color, kGreen);
    for (const std::string& t : Texts()) EXPECT_EQ(t.find("CINS"), std::string::npos);
    EXPECT_LT(Text("Helicity =  200 ")->y1, Text("  CAPE =  0 ")->y1);
}

TEST_F(HodographDiagram, WindTraceWithFilledEnds) {
    // The first drawing shows a boundary, which leaves white as fill colour.
    view.BoundaryShown(kModel, 0) = kFlagTrue;
    Plot();
    view.BoundaryShown(kModel, 0) = kFlagFalse;
    Plot();
    const auto lines = Of(Kind::Line, kYellow);
    ASSERT_EQ(lines.size(), 2u);
    // Ground-relative: (10, 10) -> (20, 0) -> (10, -10).
    EXPECT_NEAR(lines[0].x1, 10.0, 1e-5);
    EXPECT_NEAR(lines[0].y1, 10.0, 1e-5);
    EXPECT_NEAR(lines[1].x1, 20.0, 1e-5);
    EXPECT_NEAR(lines[1].x2, 10.0, 1e-5);
    EXPECT_NEAR(lines[1].y2, -10.0, 1e-5);
    EXPECT_EQ(lines[0].state.drawWidth, 2);
    const auto ends = Of(Kind::Circle, kYellow);
    ASSERT_EQ(ends.size(), 2u);
    for (const DrawOperation& end : ends) {
        EXPECT_NEAR(end.radius, 0.26, 1e-6);
        EXPECT_EQ(end.state.fillStyle, FillStyle::Solid);
        EXPECT_EQ(end.state.fillColor, kYellow);
    }
    EXPECT_NEAR(ends[1].x1, 10.0, 1e-5);
    EXPECT_NEAR(ends[1].y1, -10.0, 1e-5);

    // A layer with its base at its top is one dot, drawn twice.
    session.hodograph->HodoBaseLevel(kModel, 0) = 2;
    session.hodograph->HodoDone(kModel, 0) = kFlagFalse;
    Plot();
    EXPECT_TRUE(Of(Kind::Line, kYellow).empty());
    ASSERT_EQ(Of(Kind::Circle, kYellow).size(), 2u);
}

TEST_F(HodographDiagram, StormRelativeDisplay) {
    session.profile->WindEdited(kModel, 0) = kFlagFalse;
    const HodographCaptions c = Plot();
    EXPECT_EQ(c.lblInflow, "Storm Rel Inflow");
    EXPECT_EQ(c.lblSRInflowHigh, "         1 km = 360\u00BA  10m/s");
    EXPECT_EQ(c.lblSRInflowLow, "          Sfc  = 180\u00BA  10m/s");
    EXPECT_EQ(c.lblStormMotion, " Storm Motion = 225\u00B0  12m/s");
    EXPECT_EQ(c.lblMean, "    Mean Wind = 270\u00B0  5m/s");
    EXPECT_FALSE(c.ResetEnabled);

    const auto orange = Of(Kind::Line, kOrange);
    ASSERT_EQ(orange.size(), 1u);
    EXPECT_EQ(orange[0].x1, 0.0);
    EXPECT_NEAR(orange[0].x2, 10.0, 1e-6);
    const auto blue = Of(Kind::Line, kBlue);
    ASSERT_EQ(blue.size(), 2u);
    // To the top's storm-relative wind (0, -10), width 2; to the base's, width 1.
    EXPECT_NEAR(blue[0].y2, -10.0, 1e-5);
    EXPECT_EQ(blue[0].state.drawWidth, 2);
    EXPECT_NEAR(blue[1].y2, 10.0, 1e-5);
    EXPECT_EQ(blue[1].state.drawWidth, 1);

    // The mean wind "M" is centred on (5, 0): one letter 1.69 high.
    const DrawOperation* m = Text("M");
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->x1, 5.0 - m->textRect.width * m->scale.width / pic.PixelWidth() / 2.0, 1e-6);
    EXPECT_NEAR(m->y1, 0.845, 1e-6);

    session.profile->WindEdited(kModel, 0) = kFlagTrue;
    EXPECT_TRUE(Plot().ResetEnabled);
}

TEST_F(HodographDiagram, BoundaryDisplay) {
    // Boundary moving at (3, 4): from 216.87 deg at 5 m/s. The storm's
    // motion across it is 10 cos 53.13 = 6 against the boundary's 5 (1, red);
    // the mean wind's 5 cos 53.13 = 3 (-2, green). The vectors point along
    // (sin 216.87, cos 216.87) = (-0.6, -0.8).
    view.BoundaryU(kModel, 0) = 3.0f;
    view.BoundaryV(kModel, 0) = 4.0f;
    view.BoundaryShown(kModel, 0) = kFlagTrue;
    const HodographCaptions c = Plot();
    EXPECT_EQ(c.lblInflow, "Boundary Relative Inflow");
    EXPECT_EQ(c.lblSRInflowLow, " Storm Motion = 217\u00BA  1m/s");
    EXPECT_EQ(c.lblSRInflowHigh, "    Mean Wind = 37\u00BA  -2m/s");

    const auto red = Of(Kind::Line, kRed);
    ASSERT_FALSE(red.empty());
    const DrawOperation& storm = red.back();
    EXPECT_NEAR(storm.x1, 10.0, 1e-4);
    EXPECT_NEAR(storm.x2, 9.4, 1e-3);
    EXPECT_NEAR(storm.y2, -0.8, 1e-3);
    const auto green = Of(Kind::Line, kGreen);
    ASSERT_EQ(green.size(), 1u);
    EXPECT_NEAR(green[0].x1, 5.0, 1e-4);
    EXPECT_NEAR(green[0].x2, 6.2, 1e-3);
    EXPECT_NEAR(green[0].y2, 1.6, 1e-3);

    // The boundary: through (3, 4) across the picture, perpendicular to its
    // motion, 2 R = 52 each way.
    const auto white = Of(Kind::Line, kWhite);
    ASSERT_EQ(white.size(), 1u);
    EXPECT_NEAR(white[0].x1, 3.0 - 41.6, 2e-3);
    EXPECT_NEAR(white[0].y1, 4.0 + 31.2, 2e-3);
    EXPECT_NEAR(white[0].x2, 3.0 + 41.6, 2e-3);
    EXPECT_NEAR(white[0].y2, 4.0 - 31.2, 2e-3);
    const auto dots = Of(Kind::Circle, kWhite);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_NEAR(dots[0].radius, 0.52, 1e-6);
    EXPECT_EQ(dots[0].state.fillColor, kWhite);
    // The storm motion as an orange cross with a dot; no storm-relative lines.
    EXPECT_EQ(Of(Kind::Line, kOrange).size(), 2u);
    EXPECT_TRUE(Of(Kind::Line, kBlue).empty());

    // A boundary moving with the storm: nothing across it, a red vector of
    // no length.
    view.BoundaryU(kModel, 0) = 10.0f;
    view.BoundaryV(kModel, 0) = 0.0f;
    EXPECT_EQ(Plot().lblSRInflowLow, " Storm Motion = 270\u00BA  0m/s");
    const DrawOperation still = Of(Kind::Line, kRed).back();
    EXPECT_EQ(still.x1, still.x2);
    EXPECT_EQ(still.y1, still.y2);

    // Another hour has no boundary of its own.
    EXPECT_EQ(Plot(1).lblInflow, "Storm Rel Inflow");
}

TEST(HodographDiagramEmpty, DrawsBeforeAnySoundingIsRead) {
    // At start-up the picture is drawn before a file is read: no levels.
    Session session;
    HodographView view;
    RecordingSurface pic(400, 400);
    pic.Scale(-26, 26, 26, -26);
    const HodographCaptions c = PlotHodograph(pic, session, view, 0);
    EXPECT_EQ(c.lblInflow, "Storm Rel Inflow");
    EXPECT_EQ(session.hodograph->HodoTopLevel(1, 0), 0);
    EXPECT_EQ(session.hodograph->MeanShear(1, 0), 0.0f);
}

TEST_F(HodographDiagram, ReadoutsEndAtTheRightEdge) {
    PrintPointReadout(pic, 26.0, "Storm", "Motion", 3.0, 4.0);
    const std::vector<std::string> expected = {"Storm", "Motion", "217\u00BA 5 m/s", "10 kts"};
    const auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), expected.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].text, expected[i]);
        EXPECT_EQ(texts[i].color, kWhite);
        EXPECT_EQ(texts[i].state.fontName, "Arial");
        EXPECT_NEAR(texts[i].x1 + pic.TextWidth(texts[i].text), 26.0, 1e-9);
        EXPECT_NEAR(texts[i].y1, 26.0 - 1.69 * static_cast<double>(i), 1e-9);
    }
    EXPECT_EQ(pic.FontName(), "MS Sans Serif");

    pic.Clear(); // the hodograph is drawn afresh before each read-out
    pic.ForgetOperations();
    PrintLevelReadout(pic, *session.profile, 26.0, 0, 2, 10.0, -10.0);
    const auto level = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(level.size(), 4u);
    EXPECT_EQ(level[0].text, "1.0 km");
    EXPECT_EQ(level[1].text, "900 mb");
    EXPECT_EQ(level[2].text, "315\u00BA 14 m/s");
}

} // namespace
} // namespace tarvex
