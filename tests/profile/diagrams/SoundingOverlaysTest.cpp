#include "profile/diagrams/SoundingOverlays.h"
#include "SampleSounding.h"
#include "compute/Levels.h"
#include "compute/ProfileBuilder.h"
#include "files/DerivedFields.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QString>
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

const double kBase = std::log(1000.0); // every test profile stands on 1000 mb

// x of (T, p) on the skewed diagram of a 1000 mb surface.
double Skewed(double T, double p) {
    return T + 150.0 / std::log(100.0) * (kBase - std::log(p));
}

// Nine levels over a 1000 mb surface with a two-layer inversion from 950 to
// 850 mb, drawn on a recording surface. The lake is 5 C, the lake index
// 13 C lower at 850 mb.
class Overlays : public ::testing::Test {
  protected:
    void SetUp() override {
        Write({{1000, 100, 20, 15},
               {950, 550, 16, 12},
               {900, 1000, 17, 5},
               {850, 1500, 18, 2},
               {800, 2000, 14, 0},
               {700, 3000, 6, -20},
               {500, 5600, -15, -30},
               {300, 9200, -40, -55},
               {200, 11800, -50, -70}});
        ProfileArrays& s = *session.profile;
        s.DiagramTopPressure = 150;
        FindTopLevel(s);
        for (TimeField* level : {&s.LCLPressure, &s.LFCPressure, &s.EQLPressure, &s.CCLPressure})
            (*level)(1, 0) = 1000.0f; // on the ground: no marker
        s.WetBulbZeroHeight(1, 0) = StdHeightFeet(1000.0f);
        session.config.LakeIndexLevel = 850;
        session.config.LakeIndexOffset = 13.0f;
        session.config.CI850Value = 850;
        session.parcelOptions.LakeTempC = 5.0f;
    }

    void Write(std::vector<test::SoundingLevel> levels, int t = 0) {
        test::OneTimeProfile p;
        p.Levels = std::move(levels);
        test::WriteProfile(*session.profile, p, t);
        FindTopLevel(*session.profile);
    }

    void Draw() {
        pic.ForgetOperations();
        DrawSounding(pic, session, view);
    }

    // Operations of a kind in a colour; lines only those ending above the
    // ground (not the isotherm ticks under it).
    std::vector<DrawOperation> Of(Kind kind, Rgb color) const {
        std::vector<DrawOperation> out;
        for (const DrawOperation& op : pic.OperationsOf(kind))
            if (op.color == color && (kind != Kind::Line || op.y2 < kBase - 1e-9))
                out.push_back(op);
        return out;
    }
    std::vector<DrawOperation> Texts(const std::string& text) const {
        std::vector<DrawOperation> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
            if (op.text == text) out.push_back(op);
        return out;
    }

    Session session;
    SoundingView view;
    RecordingSurface pic{1000, 800};
};

TEST_F(Overlays, EachOptionShowsItsOverlayWithOneRedraw) {
    ProfileArrays& s = *session.profile;
    s.CloudFraction(1, 0, 2) = 100.0f;
    s.LCLPressure(1, 0) = 900.0f;
    s.LFCPressure(1, 0) = 850.0f;
    s.EQLPressure(1, 0) = 300.0f;
    s.CCLPressure(1, 0) = 800.0f;
    s.WetBulbZeroHeight(1, 0) = StdHeightFeet(700.0f);
    const std::pair<bool SoundingOptions::*, std::function<bool()>> cases[] = {
        {&SoundingOptions::Clouds,
         [&] { return !Of(Kind::FilledBox, RGB(255, 255, 255)).empty(); }},
        {&SoundingOptions::Inversions, [&] { return !Texts(" 950 mb").empty(); }},
        {&SoundingOptions::LakeIndex, [&] { return !Texts(" 26 ").empty(); }},
        {&SoundingOptions::LIC, [&] { return !Of(Kind::Line, RGB(255, 64, 64)).empty(); }},
        {&SoundingOptions::MoistLakeIndex, [&] { return !Texts(" 16 ").empty(); }},
        {&SoundingOptions::LCL, [&] { return !Texts("<LCL").empty(); }},
        // (the LFC, WBZ and CCL lie beyond the right edge: their labels
        // stand at it, pointing at them)
        {&SoundingOptions::LFC, [&] { return !Texts("LFC> ").empty(); }},
        {&SoundingOptions::EQL, [&] { return !Texts(" <EQL").empty(); }},
        {&SoundingOptions::WBZ, [&] { return !Texts("WBZ> ").empty(); }},
        {&SoundingOptions::CCL, [&] { return !Texts("CCL> ").empty(); }},
    };
    for (const auto& [flag, shown] : cases) {
        Draw();
        EXPECT_FALSE(shown());
        view.options.*flag = true;
        Draw();
        EXPECT_TRUE(shown());
        view.options.*flag = false;
    }
}

TEST_F(Overlays, CloudShadingGreysEachLayerByItsCloudFraction) {
    ProfileArrays& s = *session.profile;
    s.CloudFraction(1, 0, 2) = 100.0f; // overcast: white
    s.CloudFraction(1, 0, 3) = 40.0f;  // 40 % of 255
    view.options.Clouds = true;
    Draw();
    const auto white = Of(Kind::FilledBox, RGB(255, 255, 255));
    ASSERT_EQ(white.size(), 1u);
    EXPECT_DOUBLE_EQ(white[0].y1, std::log(950.0)); // from level 2 to level 3
    EXPECT_DOUBLE_EQ(white[0].y2, std::log(900.0));
    EXPECT_DOUBLE_EQ(white[0].x2, 100.0); // across the percent frame
    ASSERT_EQ(Of(Kind::FilledBox, RGB(102, 102, 102)).size(), 1u);
    // The clear layers of 8: the lowest, and the five above 850 mb in one box.
    const auto clear = Of(Kind::FilledBox, RGB(0, 0, 0));
    ASSERT_EQ(clear.size(), 2u);
    EXPECT_DOUBLE_EQ(clear[0].y1, std::log(1000.0));
    EXPECT_DOUBLE_EQ(clear[0].y2, std::log(950.0));
    EXPECT_DOUBLE_EQ(clear[1].y1, std::log(850.0));
    EXPECT_DOUBLE_EQ(clear[1].y2, std::log(200.0));
}

TEST_F(Overlays, CloudLayersOfOneGreySetThePixelsOfEachLayerFilledAlone) {
    ProfileArrays& s = *session.profile;
    // Overcast from 950 to 700 mb, with 850 mb sunk to 960 mb (so that the
    // layer from 900 mb sinks past 950 mb), and from 300 mb up, above a level
    // without a pressure (500 mb), whose two layers are left out.
    for (int k = 1; k <= 8; ++k)
        s.CloudFraction(1, 0, k) = (k >= 2 && k <= 5) || k == 8 ? 100.0f : 0.0f;
    s.Pressure(1, 0, 4) = 960.0f;
    s.Pressure(1, 0, 7) = 0.0f;
    const auto shade = [](RasterSurface& surface) {
        surface.SetBackColor(RGB(0, 0, 128));
        surface.Clear();
        surface.Scale(0.0, std::log(150.0), 100.0, std::log(1000.0));
    };
    RasterSurface merged(60, 400);
    RasterSurface alone(60, 400);
    shade(merged);
    shade(alone);
    ShadeCloudLayers(merged, s, 0);
    for (int k = 1; k <= 8; ++k) {
        const double lower = s.Pressure(1, 0, k);
        const double upper = s.Pressure(1, 0, k + 1);
        const int g = s.CloudFraction(1, 0, k) > 0.0f ? 255 : 0;
        if (lower > 0.0 && upper > 0.0)
            alone.FilledBox(0.0, std::log(lower), 100.0, std::log(upper), RGB(g, g, g));
    }
    EXPECT_TRUE(merged.Image() == alone.Image());
}

TEST_F(Overlays, InversionBandsAreLabelledOncePerRunAtItsBase) {
    view.options.Inversions = true;
    // 10 % across the picture, in the temperature frame the label is
    // printed in.
    const TemperatureAxisEnds& axis = session.temperatureAxis;
    auto Percent = [&](double p) {
        return axis.LeftTemp + p / 100.0 * (axis.RightTemp - axis.LeftTemp);
    };
    Draw();
    EXPECT_EQ(Of(Kind::FilledBox, RGB(127, 127, 127)).size(), 2u);
    const auto labels = Texts(" 950 mb");
    ASSERT_EQ(labels.size(), 1u);
    // At its base, from 10 % across, right of the level line's label there.
    EXPECT_GE(labels[0].x1, Percent(10.0));
    EXPECT_NEAR(labels[0].y1, std::log(950.0) - view.HalfTextHeight, 1e-6);
    EXPECT_EQ(TextsOf(pic.LeftOutTexts()), std::vector<std::string>{});
    // A fast-cooling layer between two inversions gives each its own label.
    session.profile->Temperature(1, 0, 4) = 10.0f;
    Draw();
    EXPECT_EQ(Texts(" 950 mb").size(), 1u);
    EXPECT_EQ(Texts(" 850 mb").size(), 1u);

    // The lowest base below 950 mb: 850 mb here, 900 mb with the first run
    // of two; a 960 mb base changes nothing.
    float lowest = 0.0f;
    DrawInversions(pic, session, view, lowest);
    EXPECT_EQ(lowest, 850.0f);
    session.profile->Temperature(1, 0, 4) = 18.0f;
    DrawInversions(pic, session, view, lowest);
    EXPECT_EQ(lowest, 900.0f);
    TrackInversionBase(960.0f, lowest);
    EXPECT_EQ(lowest, 900.0f);
    view.options.Inversions = false; // off: the last value stays
    DrawInversions(pic, session, view, lowest);
    EXPECT_EQ(lowest, 900.0f);
}

TEST_F(Overlays, InversionsFollowTheThresholdsOfTheModel) {
    // 1000-900: warms 0.7 C, moist above. 900-800: cools 1.5 C, dry above.
    Write({{1000, 100, 10, 5}, {900, 1000, 10.7f, 8}, {800, 2000, 9.2f, -5}, {700, 3000, 1, -10}});
    view.options.Inversions = true;
    Draw(); // 0.5 / -1.0 / 5.0
    EXPECT_EQ(Texts(" 1000 mb").size(), 1u);
    EXPECT_TRUE(Texts(" 900 mb").empty());
    session.parameters.InversionWarmThreshold = 1.0f; // the ngm's
    session.parameters.InversionCoolThreshold = -2.0f;
    Draw();
    EXPECT_TRUE(Texts(" 1000 mb").empty());
    EXPECT_EQ(Texts(" 900 mb").size(), 1u);
    // Cooling by 0.3 C is near-isothermal: shaded when 6 C dry, not when 4.
    Write({{1000, 100, 10, 5}, {900, 1000, 9.7f, 3.7f}, {800, 2000, 2, -5}});
    Draw();
    EXPECT_EQ(Texts(" 1000 mb").size(), 1u);
    session.profile->DewPoint(1, 0, 2) = 5.7f;
    Draw();
    EXPECT_TRUE(Texts(" 1000 mb").empty());
}

TEST_F(Overlays, InversionScanStaysBelow400MbAndInsideTheProfile) {
    // The first hour's highest level over 400 mb is level 3, so the shown
    // hour's 410-300 mb inversion lies above the search.
    Write({{1000, 100, 20, 15}, {800, 2000, 10, 0}, {600, 4200, -5, -20}, {350, 8100, -30, -50}});
    Write({{1000, 100, 20, 15},
           {800, 2000, 10, 0},
           {450, 6300, -20, -40},
           {410, 7000, -25, -45},
           {300, 9200, -15, -60}},
          1);
    view.CurrentColumn = 1;
    view.options.Inversions = true;
    Draw();
    EXPECT_TRUE(Of(Kind::FilledBox, RGB(127, 127, 127)).empty());
    // A profile all below 400 mb: the top level starts no layer, and the slot
    // above it (left from a longer profile) is never read.
    view.CurrentColumn = 0;
    Write({{1000, 100, 20, 15}, {900, 1000, 14, 5}, {800, 2000, 8, -5}});
    session.profile->Pressure(1, 0, 4) = 700.0f;
    session.profile->Temperature(1, 0, 4) = 30.0f;
    Draw();
    EXPECT_TRUE(Of(Kind::FilledBox, RGB(127, 127, 127)).empty());
}

TEST_F(Overlays, LevelMarkersStandAtTheirLevelsAboveTheirThresholds) {
    ProfileArrays& s = *session.profile;
    session.temperatureAxis.RightTemp = 40; // every level's point inside
    s.LCLPressure(1, 0) = 979.0f;           // 21 mb up
    s.LCLTemperature(1, 0) = 12.0f;
    s.LFCPressure(1, 0) = 850.0f;                      // 18 C on the profile
    s.EQLPressure(1, 0) = 300.0f;                      // -40 C
    s.WetBulbZeroHeight(1, 0) = StdHeightFeet(700.0f); // 6 C
    s.CCLPressure(1, 0) = 800.0f;                      // 14 C
    view.options.LCL = view.options.LFC = view.options.EQL = true;
    view.options.WBZ = view.options.CCL = true;
    Draw();
    const struct {
        const char* text;
        double T, p;
    } markers[] = {{"<LCL", 12, 979},
                   {" <LFC", 18, 850},
                   {" <EQL", -40, 300},
                   {" <WBZ", 6, 700},
                   {" <CCL", 14, 800}};
    const auto texts = pic.OperationsOf(Kind::Text);
    std::vector<DrawOperation> red;
    for (const DrawOperation& op : texts)
        if (op.state.foreColor == RGB(255, 0, 0)) red.push_back(op);
    ASSERT_EQ(red.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(red[i].text, markers[i].text); // in this order
        EXPECT_NEAR(red[i].x1, Skewed(markers[i].T, markers[i].p), 1e-2) << i;
        EXPECT_NEAR(red[i].y1, std::log(markers[i].p) - 0.66 * pic.TextHeight("H"), 1e-4) << i;
    }
    // The CCL on the LFC's row and point slides along it (either way) to the
    // nearest place a blank's width clear of the LFC's label, never touching
    // it.
    s.CCLPressure(1, 0) = 849.0f;
    Draw();
    const auto inkOf = [&](std::string_view name) {
        const auto& drawn = pic.DrawnTexts();
        const auto found = std::ranges::find_if(
            drawn, [&](const DrawnText& t) { return t.text.find(name) != std::string::npos; });
        return found != drawn.end() ? found->rect : TextRect{};
    };
    const TextRect lfc = inkOf("LFC"), ccl = inkOf("CCL");
    ASSERT_GT(lfc.width * ccl.width, 0.0);
    const double apart = std::max(ccl.left - lfc.Right(), lfc.left - ccl.Right());
    const double blank = pic.TextWidth(" ") * pic.PixelWidth() / pic.ScaleWidth();
    EXPECT_GE(apart, blank);
    EXPECT_LT(apart, blank + pic.TextWidth("0") * pic.PixelWidth() / pic.ScaleWidth());
    // Exactly at the threshold, or with no level at all: no marker.
    s.LCLPressure(1, 0) = 980.0f;
    s.EQLPressure(1, 0) = 940.0f;
    s.CCLPressure(1, 0) = -9999.0f;
    Draw();
    EXPECT_TRUE(Texts("<LCL").empty());
    EXPECT_TRUE(Texts(" <EQL").empty());
    EXPECT_TRUE(Texts(" <CCL").empty());
}

TEST_F(Overlays, LakeIndicesRunFromTheGroundToTheirTopPoints) {
    // Lake index: 5 - 13 = -8 C at 850 mb, where the air is 18 C: 26.
    // Moist lake index: ground (5 + (20 + 16) / 2) / 2 = 11.5 C, top 2.5 C
    // 150 mb up, where the air is 18 C: 16.
    view.options.LakeIndex = view.options.MoistLakeIndex = true;
    Draw();
    std::vector<DrawOperation> lake;
    for (const DrawOperation& op : Of(Kind::Line, RGB(0, 0, 255)))
        if (op.state.drawStyle == DrawStyle::Solid) lake.push_back(op); // not the isotherms
    ASSERT_EQ(lake.size(), 2u);
    const double x = Skewed(-8.0, 850.0);
    EXPECT_NEAR(lake[0].x1, 5.0, 1e-6);
    EXPECT_NEAR(lake[0].x2, x, 1e-4);
    EXPECT_NEAR(lake[0].y2, std::log(850.0), 1e-6);
    EXPECT_NEAR(lake[1].x1, x - 1.0, 1e-4); // the 2 C tick
    EXPECT_NEAR(lake[1].x2, x + 1.0, 1e-4);
    const auto value = Texts(" 26 ");
    ASSERT_EQ(value.size(), 1u);
    // Text sizes in the scale in force when the value was printed.
    const double width = value[0].textRect.width * value[0].scale.width / pic.PixelWidth();
    const double height = value[0].textRect.height * value[0].scale.height / pic.PixelHeight();
    EXPECT_NEAR(value[0].x1, x - width / 2.0, 1e-4);
    EXPECT_NEAR(value[0].y1, std::log(850.0) - height, 1e-6);
    std::vector<DrawOperation> moist;
    for (const DrawOperation& op : Of(Kind::Line, RGB(0, 255, 0)))
        if (op.state.drawWidth == 1) moist.push_back(op); // not the dew-point trace
    ASSERT_EQ(moist.size(), 2u);
    EXPECT_NEAR(moist[0].x1, 11.5, 1e-6);
    EXPECT_NEAR(moist[0].x2, Skewed(2.5, 850.0), 1e-4);
    EXPECT_EQ(Texts(" 16 ").size(), 1u);
    // Without a configured level there is nowhere to draw the lake index.
    session.config.LakeIndexLevel = 0;
    Draw();
    EXPECT_TRUE(Texts(" 26 ").empty());
}

TEST_F(Overlays, LakeParcelIsLiftedOnceAndDrawnToItsEquilibriumLevel) {
    LakeParcelResults& lake = *session.lake;
    view.options.LIC = true;
    Draw();
    EXPECT_EQ(lake.LakeCAPEDone(1, 0), kFlagTrue);
    // Known results: the outline follows them and nothing is lifted again.
    lake.LakeParcelLevelCount(1, 0) = 4;
    for (int L = 1; L <= 4; ++L) lake.LakeParcelTemp(1, 0, L) = 25.0f - L;
    lake.LakeELPressure(1, 0) = 870.0f;
    lake.LakeELTemp(1, 0) = 19.0f;
    lake.LakeSurfaceTemp(1, 0) = 17.0f;
    lake.LakeSurfaceDewPoint(1, 0) = 11.0f;
    lake.LakeLCLPressure(1, 0) = 920.0f;
    lake.LakeLCLTemp(1, 0) = 10.0f;
    Draw();
    const auto white = Of(Kind::Line, RGB(255, 255, 255));
    ASSERT_EQ(white.size(), 3u); // levels 2 and 3, then the equilibrium level
    EXPECT_NEAR(white[0].x1, 24.0, 1e-4);
    EXPECT_NEAR(white[1].x2, Skewed(22.0, 900.0), 1e-4);
    EXPECT_NEAR(white[2].x2, Skewed(19.0, 870.0), 1e-4);
    // The modified surface air meets at its condensation point; it is shown
    // even for a parcel not buoyant at level 1.
    lake.LakeParcelLevelCount(1, 0) = 0;
    Draw();
    EXPECT_TRUE(Of(Kind::Line, RGB(255, 255, 255)).empty());
    const auto warm = Of(Kind::Line, RGB(255, 64, 64));
    const auto moist = Of(Kind::Line, RGB(65, 255, 64));
    ASSERT_EQ(warm.size(), 1u);
    ASSERT_EQ(moist.size(), 1u);
    EXPECT_NEAR(warm[0].x1, 17.0, 1e-6);
    EXPECT_NEAR(moist[0].x1, 11.0, 1e-6);
    EXPECT_NEAR(warm[0].x2, Skewed(10.0, 920.0), 1e-4);
    EXPECT_NEAR(moist[0].x2, Skewed(10.0, 920.0), 1e-4);
}

// A level's label stands at the place a walk of every step along its level
// (0, 1, -1, 2, -2, ...) finds first free, however far the walk must go and
// though the level's point lies off either side of the picture; with no free
// place it stands where the collision rule puts it.
TEST(LevelLabels, StandWhereTheWalkOfEveryStepFindsRoom) {
    constexpr double kStep = 2.0;
    const std::string text = "LFC>";
    auto room = [](RecordingSurface& pic, const TextRect& taken) {
        pic.Scale(0.0, 0.0, 100.0, 100.0); // 4 pixels a unit across
        pic.ReserveTextArea(taken);
    };
    struct Case {
        double x;
        TextRect taken;
    };
    for (const Case c : {Case{-30.0, {0, 0, 200, 200}}, Case{130.0, {200, 0, 200, 200}},
                         Case{50.0, {150, 0, 130, 200}}, Case{98.0, {40, 0, 360, 200}},
                         Case{50.0, {0, 0, 400, 200}}}) {
        RecordingSurface walked(400, 200);
        room(walked, c.taken);
        std::optional<double> free;
        for (int k = 0; k <= 100 && !free; ++k) {
            const int along = k % 2 == 1 ? (k + 1) / 2 : -k / 2;
            const auto [x, y] = walked.PlaceValueInside(c.x + along * kStep, 40.0, text);
            if (walked.DrawnAt(x, y, text) || walked.ReserveTextPlace(x, y, text, true)) free = x;
        }
        RecordingSurface pic(400, 200);
        room(pic, c.taken);
        const auto at = PrintAtLevel(pic, c.x, 40.0, 42.0, text, kStep);
        EXPECT_EQ(at.has_value(), free.has_value()) << c.x;
        if (at && free) {
            EXPECT_DOUBLE_EQ(at->first, *free) << c.x;
        }
    }
}

// Writes soundings with every overlay on for a reviewer to look at: the
// lake-effect sample and the summer sample in the afternoon.
TEST(OverlaysPicture, RendersTheSamplesForAReviewer) {
    const std::filesystem::path out = std::filesystem::path(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvex-overlays-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
    for (const auto atmosphere :
         {samples::Atmosphere::LakeEffectCold, samples::Atmosphere::WarmSeasonConvective}) {
        samples::SampleSpec spec;
        spec.times = 12;
        spec.atmosphere = atmosphere;
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        Session session;
        session.models.ModelCodes = {"eta"};
        ASSERT_TRUE(ReadSounding(session, path.string()).ok);
        session.config.LakeIndexLevel = session.config.CI850Value = 850;
        session.config.LakeIndexOffset = 13.0f;
        session.parcelOptions.LakeTempC = 8.0f;
        session.temperatureAxis.LeftTemp = -40;
        session.temperatureAxis.RightTemp = 40;
        SoundingView view;
        view.CurrentColumn = 8;
        SoundingOptions& o = view.options;
        o.Clouds = o.Inversions = o.LakeIndex = o.MoistLakeIndex = o.LIC = true;
        o.LCL = o.LFC = o.EQL = o.WBZ = o.CCL = o.ConvectiveTemp = o.Parcel = o.CINS = true;
        RasterSurface pic(800, 700);
        pic.SetBackColor(RGB(0, 0, 0)); // as the main window has it
        DrawSounding(pic, session, view);
        const char* name = atmosphere == samples::Atmosphere::LakeEffectCold
                               ? "sounding_overlays_lake.png"
                               : "sounding_overlays_summer.png";
        ASSERT_TRUE(pic.Image().save(QString::fromStdString((out / name).string())));
    }
    std::filesystem::remove(path);
}

} // namespace
} // namespace tarvex
