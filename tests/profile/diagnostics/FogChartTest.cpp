#include "profile/diagnostics/FogChart.h"
#include "compute/ProfileBuilder.h"
#include "files/Fixtures.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

std::vector<std::string> Texts(const RecordingSurface& pic) {
    std::vector<std::string> out;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
    return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

const DrawOperation* FindText(const RecordingSurface& pic, const std::string& prefix) {
    for (const DrawOperation& op : pic.Operations())
        if (op.kind == Kind::Text && op.text.rfind(prefix, 0) == 0) return &op;
    return nullptr;
}

// Filled boxes drawn in the scale whose left edge is `left` (each area of the
// panel has its own).
std::vector<DrawOperation> Boxes(const RecordingSurface& pic, double left) {
    std::vector<DrawOperation> out;
    for (const DrawOperation& op : pic.OperationsOf(Kind::FilledBox))
        if (op.scale.left == left) out.push_back(op);
    return out;
}

TEST(FogChart, HumidityAxisTopIsTwoOrTheNextMultipleOfFive) {
    EXPECT_FLOAT_EQ(HumidityAxisTop(1.9f), 2.0f);
    EXPECT_FLOAT_EQ(HumidityAxisTop(2.0f), 5.0f);
    EXPECT_FLOAT_EQ(HumidityAxisTop(7.3f), 10.0f);
    EXPECT_FLOAT_EQ(HumidityAxisTop(10.0f), 15.0f);
}

// The tick labels of the humidity axis, left to right.
std::vector<std::string> HumidityTicks(const RecordingSurface& pic) {
    std::vector<std::string> out;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
        if (op.y1 == -30.0 && op.scale.left < 0.0 && op.scale.width > -5.0 * op.scale.left)
            out.push_back(op.text);
    return out;
}

// A dry (winter) file: the axis runs to 2 g/kg in half steps, each labelled
// with its decimal; a moist file keeps whole steps and whole labels.
TEST(FogChart, HumidityAxisTicksOfDryAndMoistFiles) {
    Session session;
    test::OneTimeProfile p;
    p.Levels = {{990, 100, -5, -8}, {950, 450, -7, -10}};
    test::WriteProfile(*session.profile, p);
    RecordingSurface pic(437, 425);
    session.profile->MaxSpecificHumidity = 1.77f;
    PlotFog(pic, session, 0);
    EXPECT_EQ(HumidityTicks(pic), (std::vector<std::string>{"0.0", "0.5", "1.0", "1.5", "2.0"}));
    const std::vector<DrawOperation> dots = pic.OperationsOf(Kind::Circle);
    ASSERT_FALSE(dots.empty());
    EXPECT_FLOAT_EQ(static_cast<float>(dots[0].radius), 0.05f); // a tenth of the step

    // The height caption stays inside the picture on either axis.
    auto heightCaptionInside = [&pic] {
        for (const DrawnText& t : pic.DrawnTexts())
            if (t.text == "Hght(ft)") return t.rect.left >= 0.0;
        return false;
    };
    EXPECT_TRUE(heightCaptionInside());

    session.profile->MaxSpecificHumidity = 7.3f;
    pic.ForgetOperations();
    pic.Clear();
    PlotFog(pic, session, 0);
    EXPECT_EQ(HumidityTicks(pic), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
    EXPECT_TRUE(heightCaptionInside());
}

// A one-time profile of four levels over the surface with the specific
// humidity of levels 0 to 4 set by hand.
void WriteHumidityProfile(Session& session, const std::vector<test::SoundingLevel>& levels,
                          const std::vector<float>& q) {
    test::OneTimeProfile p;
    p.Levels = levels;
    test::WriteProfile(*session.profile, p);
    for (int L = 0; L <= 4; ++L)
        session.profile->SpecificHumidity(1, 0, L) = q[static_cast<std::size_t>(L)];
}

// Level 1 already above 500 ft: the hydrolapse chart still draws the second
// layer, then stops (the humidity chart stops at level 1).
TEST(FogChart, HydrolapseTestsItsStopFromTheSecondLayer) {
    Session session;
    WriteHumidityProfile(session,
                         {{980, 200, 10, 8}, {950, 450, 9, 6}, {900, 900, 7, 3}, {850, 1400, 5, 0}},
                         {6.0f, 5.5f, 5.25f, 4.0f, 3.0f});
    RecordingSurface pic(437, 425);
    PlotFog(pic, session, 0);
    std::vector<double> blue; // hydrolapse dots: the change of each layer
    int yellow = 0;           // humidity dots
    for (const DrawOperation& op : pic.OperationsOf(Kind::Circle)) {
        if (op.color == RGB(0, 0, 255)) blue.push_back(op.x1);
        if (op.color == RGB(255, 255, 0)) ++yellow;
    }
    ASSERT_EQ(blue.size(), 2u);
    EXPECT_FLOAT_EQ(static_cast<float>(blue[0]), -0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(blue[1]), -0.25f);
    EXPECT_EQ(yellow, 2);
}

// Layers of nearly even humidity whose last mid-height (560 ft) lies under
// the titles at the charts' top: the traces run up into them, yet the titles
// read whole, no pixel of the hydrolapse trace (blue) or of the humidity
// trace (yellow) inside their boxes, at the design size and a 1280 x 800
// screen's.
TEST(FogChart, TracesNeverRunThroughTheChartTitles) {
    Session session;
    WriteHumidityProfile(session,
                         {{990, 50, 10, 8}, {975, 120, 9, 7}, {960, 220, 8, 6}, {940, 400, 7, 5}},
                         {6.0f, 6.2f, 6.4f, 6.6f, 6.8f});
    session.profile->MaxSpecificHumidity = 7.3f;
    for (const auto& [width, height] : {std::pair{600, 420}, {437, 306}}) {
        RasterSurface pic(width, height);
        pic.SetDesignSize(600, 420);
        PlotFog(pic, session, 0);
        const QImage& image = pic.Image();
        int titles = 0;
        for (const DrawnText& t : pic.DrawnTexts()) {
            if (t.text != "Vertical Change of Humidity" && t.text != "Hydrolapse") continue;
            ++titles;
            int white = 0;
            for (long y = std::lround(t.rect.top); y < std::lround(t.rect.Bottom()); ++y)
                for (long x = std::lround(t.rect.left); x < std::lround(t.rect.Right()); ++x) {
                    const QRgb c = image.pixel(static_cast<int>(x), static_cast<int>(y));
                    ASSERT_FALSE(qBlue(c) > 100 && qRed(c) < 60 && qGreen(c) < 60)
                        << t.text << " crossed by the hydrolapse at " << x << ", " << y;
                    ASSERT_FALSE(qRed(c) > 100 && qGreen(c) > 100 && qBlue(c) < 60)
                        << t.text << " crossed by the humidity at " << x << ", " << y;
                    white += qRed(c) > 128 && qGreen(c) > 128 && qBlue(c) > 128 ? 1 : 0;
                }
            EXPECT_GT(white, 10) << t.text;
        }
        EXPECT_EQ(titles, 2) << width;
    }
}

// Hourly columns of an afternoon and evening: the screen temperature peaks
// at column 2 (27 C, dew point 16 C).
class Crossover : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.Levels = {{990, 100, 20, 15}, {950, 450, 18, 12}, {900, 1000, 14, 8}};
        const float t2[] = {20, 24, 27, 25, 22, 18, 17, 16, 15, 14};
        const float td2[] = {15, 15.5f, 16, 16.5f, 17, 17, 17, 17, 17, 17};
        ProfileArrays& s = *session.profile;
        for (int t = 0; t < 10; ++t) {
            test::WriteProfile(s, p, t);
            s.SurfaceTemp(1, t) = t2[t];
            s.SurfaceDewPoint(1, t) = td2[t];
            s.SkinTemperature(1, t) = 0.0f; // none: no ground bar
            s.ValidTime(1, t) = DateTime::FromParts(2026, 9, 1, 18).AddHours(t);
        }
        session.config.TimeZoneOffset = 4;
        pic.SetDesignSize(600, 420); // as the main window sizes the chart's text
    }

    Session session;
    RecordingSurface pic{437, 425};
};

TEST_F(Crossover, TheDewPointOfTheWarmestRecentHourWithItsCaption) {
    PlotFog(pic, session, 5);
    EXPECT_FLOAT_EQ(session.fogParcel.XoverTemp[1], 16.0f);
    const DrawOperation* xover = FindText(pic, "T= 60.8"); // 16 C
    ASSERT_NE(xover, nullptr);
    EXPECT_EQ(xover->state.foreColor, RGB(255, 0, 0)); // computed
    const std::vector<std::string> texts = Texts(pic);
    const auto from = std::find(texts.begin(), texts.end(), "XOver from ");
    ASSERT_NE(from, texts.end());
    EXPECT_EQ(*(from + 1), " 3 ");
    EXPECT_EQ(*(from + 2), "hours ago");
    EXPECT_EQ(*(from + 3), "4 pm  Sep 1"); // 20 UTC, 4 hours behind
    // 18 C is 64.4 F, 3.6 F above the crossover: the air bar is green.
    EXPECT_TRUE(Has(texts, "T= 64.4"));
    EXPECT_TRUE(Has(texts, "Less"));
    EXPECT_EQ(Boxes(pic, 0.0).size(), 1u); // no ground bar without a skin temperature

    // Three-hourly columns reach back seven columns: column 1 (40 C) is out
    // of reach from column 9, column 3 (30 C) is 18 hours back.
    session.HoursPerColumn = 3;
    session.profile->SurfaceTemp(1, 1) = 40.0f;
    session.profile->SurfaceTemp(1, 3) = 30.0f;
    const CrossoverSource source = FindCrossover(session, 9);
    EXPECT_FALSE(source.Manual);
    EXPECT_EQ(source.HoursAgo, 18);
    EXPECT_EQ(source.Column, 3);
    EXPECT_FLOAT_EQ(session.fogParcel.XoverTemp[1], 16.5f);
}

TEST_F(Crossover, AirAndGroundBarsChangeVerdictAtTheirThresholds) {
    session.fogParcel.XoverManual(1, 5) = 10.0f; // 50 F
    auto plot = [&](float airF, float groundF) {
        session.profile->SurfaceTemp(1, 5) = (airF - 32.0f) * 5.0f / 9.0f;
        session.profile->SkinTemperature(1, 5) = (groundF - 32.0f) * 5.0f / 9.0f + 273.16f;
        pic.ForgetOperations();
        PlotFog(pic, session, 5);
        return Texts(pic);
    };
    // The bars in the crossover area: ground first, then air.
    auto colours = [&] {
        std::vector<Rgb> out;
        for (const DrawOperation& op : Boxes(pic, 0.0)) out.push_back(op.color);
        return out;
    };
    const Rgb green = RGB(0, 255, 0), yellow = RGB(255, 255, 0), white = RGB(255, 255, 255),
              silver = RGB(192, 192, 192);

    auto texts = plot(51.2f, 59.0f); // air +1.2, ground +9 (drawn at +5.5)
    EXPECT_EQ(colours(), (std::vector<Rgb>{green, green}));
    // Both bars say "Less"; the hydrolapse chart's guide words are there too.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Less"), 2 + 1);
    EXPECT_FLOAT_EQ(static_cast<float>(Boxes(pic, 0.0)[0].y2), 5.5f);
    EXPECT_TRUE(Has(texts, "XOver manually entered"));
    EXPECT_EQ(FindText(pic, "T= 50.0")->state.foreColor, RGB(255, 255, 0)); // manual

    texts = plot(50.8f, 54.0f); // air +0.8, ground +4
    EXPECT_EQ(colours(), (std::vector<Rgb>{yellow, yellow}));
    EXPECT_TRUE(Has(texts, "Br Psbl"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Less"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "More"), 1);

    texts = plot(49.5f, 48.0f); // air -0.5, ground -2
    EXPECT_EQ(colours(), (std::vector<Rgb>{yellow, silver}));
    EXPECT_FALSE(Has(texts, "Br  More") || Has(texts, "Br Psbl"));

    texts = plot(48.5f, 44.0f); // air -1.5, ground -6
    EXPECT_EQ(colours(), (std::vector<Rgb>{white, silver}));
    EXPECT_TRUE(Has(texts, "Br  More"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "More"), 1 + 1);
    EXPECT_TRUE(Has(texts, "T = 44.0"));

    texts = plot(46.5f, 40.0f); // air -3.5
    EXPECT_EQ(colours().back(), white);
    EXPECT_TRUE(Has(texts, "F  More"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Likely"), 2 + 2); // two guide words too
}

// A short air bar keeps its value and its verdict whole and apart, at the
// window's sizes of the chart: just above the crossover ("Less" over
// "Likely"), 1 to 3 F below it ("Br  More"), at -3 F ("F  More").
TEST_F(Crossover, AShortBarKeepsItsValueAndVerdictWhole) {
    session.fogParcel.XoverManual(1, 5) = 10.0f;      // 50 F
    session.profile->SkinTemperature(1, 5) = 283.16f; // ground 50 F
    struct Case {
        float airF;
        const char* verdict;
    };
    const Case cases[] = {{51.05f, "Less"},    {51.3f, "Less"},     {51.9f, "Less"},
                          {48.9f, "Br  More"}, {48.4f, "Br  More"}, {47.1f, "Br  More"},
                          {47.0f, "F  More"},  {46.2f, "F  More"},  {44.0f, "F  More"}};
    for (const auto& [w, h] : {std::pair{572, 290}, std::pair{696, 291}, std::pair{904, 367}}) {
        for (const Case& c : cases) {
            RecordingSurface small{w, h};
            small.SetDesignSize(600, 420);
            session.profile->SurfaceTemp(1, 5) = (c.airF - 32.0f) * 5.0f / 9.0f;
            PlotFog(small, session, 5);
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " air " +
                         std::to_string(c.airF));
            EXPECT_TRUE(TextIsReadable(small));
            EXPECT_TRUE(NothingLeftOut(small));
            int verdicts = 0;
            for (const DrawnText& t : small.DrawnTexts()) verdicts += t.text == c.verdict;
            // The hydrolapse chart's guide words hold a "Less" of their own.
            EXPECT_EQ(verdicts, c.verdict[0] == 'L' ? 2 : 1);
        }
    }
}

// The skin temperature of a sounding file is in kelvin: 290.0 K in the file
// is 62.3 F on the ground bar.
TEST(FogChart, TheGroundBarReadsTheFilesSkinTemperatureAsKelvin) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tarvex-fog-" + std::to_string(::getpid()) + ".buf");
    std::ofstream(path, std::ios::binary) << fixtures::kTwoHourEta;
    Session session;
    session.models.ModelCodes = {"eta"};
    ASSERT_TRUE(ReadSounding(session, path.string()).ok);
    std::filesystem::remove(path);
    RecordingSurface pic(437, 425);
    PlotFog(pic, session, 0);
    EXPECT_NE(FindText(pic, "T= 62.3"), nullptr); // ground
    EXPECT_NE(FindText(pic, "T= 69.8"), nullptr); // air, 21 C
    EXPECT_NE(FindText(pic, "T= 52.7"), nullptr); // crossover, 11.5 C
}

// Screen temperature 10 C; 15 C at 920 mb is the warmest of the lowest
// 100 mb (880 mb lies beyond it); the wind below 1500 ft is 10 kt, the 30 kt
// at 1640 ft above it is not counted.
class Stability : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1000.0f;
        p.Levels = {{990, 90, 12, 10}, {950, 500, 13, 9}, {920, 750, 15, 8}, {880, 1100, 20, 5}};
        test::WriteProfile(*session.profile, p);
        ProfileArrays& s = *session.profile;
        s.SurfaceTemp(1, 0) = 10.0f;
        const float knots[] = {0, 10, 30, 5, 40};
        for (int L = 1; L <= 4; ++L) s.WindSpeed(1, 0, L) = knots[L];
        pic.SetDesignSize(600, 420); // as the main window sizes the chart's text
    }

    std::vector<std::string> Plot() {
        pic.ForgetOperations();
        PlotFog(pic, session, 0);
        return Texts(pic);
    }

    Session session;
    RecordingSurface pic{437, 425};
};

TEST_F(Stability, MRiFromTheWarmLayerAndTheWindBelowIt) {
    const BoundaryLayerStability b = MakeBoundaryLayerStability(*session.profile, 0);
    EXPECT_FLOAT_EQ(b.Tmax, 15.0f);
    EXPECT_EQ(b.jmax, 3);
    EXPECT_FLOAT_EQ(b.Vmax, 10.0f);
    EXPECT_FLOAT_EQ(b.MRi, 0.05f); // 5 / 10^2

    auto texts = Plot();
    EXPECT_TRUE(Has(texts, ".050"));
    EXPECT_TRUE(Has(texts, "Fog"));
    EXPECT_TRUE(Has(texts, "10.0°C"));
    EXPECT_TRUE(Has(texts, " 920 "));
    EXPECT_TRUE(Has(texts, "15.0°C   "));
    EXPECT_TRUE(Has(texts, " 10 "));
    auto bars = Boxes(pic, -5.0);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_DOUBLE_EQ(bars[0].y1, 0.04);
    EXPECT_NEAR(bars[0].y2, 0.05, 1e-7);

    // 20 kt: 5 / 20^2 = 0.0125.
    session.profile->WindSpeed(1, 0, 1) = 20.0f;
    EXPECT_TRUE(Has(Plot(), ".013"));

    // Either side of each bound at 10 kt, MRi = (15 - T) / 100: the white
    // bars from .025 down and from .04 up, "Fog" over .047, "Stratus" under
    // .017, the blue bar from .008 down and "Possible" under .004. Words:
    // 1 Fog, 2 Stratus, 4 Possible.
    session.profile->WindSpeed(1, 0, 1) = 10.0f;
    struct Case {
        float surface;
        std::size_t bars;
        int words;
    };
    const Case cases[] = {{10.2f, 1, 1}, {10.4f, 1, 0}, {10.9f, 1, 0}, {11.1f, 0, 0},
                          {12.4f, 0, 0}, {12.6f, 1, 0}, {13.2f, 1, 0}, {13.4f, 1, 2},
                          {14.1f, 1, 2}, {14.3f, 2, 2}, {14.7f, 2, 6}};
    for (const Case& c : cases) {
        session.profile->SurfaceTemp(1, 0) = c.surface;
        texts = Plot();
        EXPECT_EQ(Boxes(pic, -5.0).size(), c.bars) << c.surface;
        int words = 0;
        for (int bit = 0; bit < 3; ++bit)
            words |= static_cast<int>(Has(texts, bit == 0   ? "Fog"
                                                 : bit == 1 ? "Stratus"
                                                            : "Possible"))
                     << bit;
        EXPECT_EQ(words, c.words) << c.surface;
    }
    EXPECT_EQ(Boxes(pic, -5.0).back().color, RGB(0, 0, 255)); // the dispersal bar
}

// No level within 100 mb of the ground, or no level below 1500 ft: the text
// line shows the placeholders, but no value and no verdict is made of them.
TEST_F(Stability, WithoutALevelInTheLayerOrBelow1500FtNoVerdict) {
    session.profile->Pressure(1, 0, 0) = 1200.0f;
    auto texts = Plot();
    EXPECT_TRUE(Has(texts, " 1200 ") && Has(texts, "-999.0°C   ") && Has(texts, "-999 "));
    EXPECT_TRUE(Has(texts, "----"));
    EXPECT_FALSE(Has(texts, "Stratus") || Has(texts, "Possible"));
    EXPECT_TRUE(Boxes(pic, -5.0).empty());

    session.profile->Pressure(1, 0, 0) = 1000.0f;
    session.profile->HeightAGL(1, 0, 1) = 600.0f; // 1975 ft
    texts = Plot();
    EXPECT_TRUE(Has(texts, "15.0°C   ") && Has(texts, "-999 ") && Has(texts, "----"));
    EXPECT_TRUE(Boxes(pic, -5.0).empty());
}

TEST_F(Stability, ACalmLayerHasNoNumberAndNoBars) {
    session.profile->WindSpeed(1, 0, 1) = 0.0f;
    const auto texts = Plot();
    EXPECT_TRUE(Has(texts, "----"));
    EXPECT_TRUE(Boxes(pic, -5.0).empty());
    EXPECT_TRUE(Has(texts, "MRi (Lowest 100mb)")); // the rest is drawn
    EXPECT_TRUE(Has(texts, "Hydrolapse"));
}

// A store without levels holds no sounding (a file without levels is
// refused): the panel stays blank, and humidity left from an earlier file
// is not charted.
TEST(FogChart, WithoutLevelsThePanelStaysBlank) {
    Session session;
    test::OneTimeProfile p;
    p.Levels = {{990, 100, 20, 15}};
    test::WriteProfile(*session.profile, p);
    session.profile->LevelCount(1) = 0;
    session.profile->SpecificHumidity(1, 0, 1) = 99.0f; // left from an earlier file
    RecordingSurface pic(437, 425);
    PlotFog(pic, session, 0);
    EXPECT_TRUE(pic.OperationsOf(Kind::Circle).empty());
    EXPECT_TRUE(pic.DrawnTexts().empty());
    EXPECT_EQ(pic.OperationsOf(Kind::Clear).size(), 1u);
}

} // namespace
} // namespace tarvex
