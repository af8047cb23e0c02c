#include "profile/diagnostics/PrecipTypePanel.h"
#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
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
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

constexpr Rgb kCyan = RGB(0, 255, 255);
constexpr Rgb kOrange = RGB(255, 191, 0);

class PrecipTypePanelTest : public ::testing::Test {
  protected:
    PrecipTypePanelTest() {
        const auto [width, height] = SleetPanelSize(sleet);
        sleet.Resize(width, height);
        sleet.SetDesignSize(width, height);
    }
    // The same sounding in columns 0..last (see EvenLevels).
    void Build(const std::vector<float>& temps, int last = 0) {
        for (int t = 0; t <= last; ++t) test::WriteProfile(s, test::EvenLevels(temps), t);
    }
    // Layer results of column t as if worked out already, a snow hour.
    void Preset(int t, const char* pattern, float warm, float cold = 0, float freezingFt = 0,
                float lowerWarm = 0) {
        PTypeResults& r = *session.ptype;
        r.PTypeAreasDone(1, t) = kFlagTrue;
        r.PTypePattern(1, t) = pattern;
        r.WarmEnergy(1, t) = warm;
        r.ColdEnergy(1, t) = cold;
        r.FreezingHeightAGLFt(1, t) = freezingFt;
        r.LowerWarmEnergy(1, t) = lowerWarm;
        r.MoistTopLevel(1, t) = 1;
    }
    bool Plot(int c) {
        pic.ForgetOperations();
        sleet.ForgetOperations();
        return PlotPrecipType(pic, sleet, session, static_cast<std::int16_t>(c), {false, 6},
                              backgrounds);
    }
    // The colour of a printed text; black when it is not printed.
    Rgb Shown(const std::string& text, bool onSleet = false) const {
        for (const DrawOperation& op : (onSleet ? sleet : pic).OperationsOf(Kind::Text))
            if (op.text == text) return op.color;
        return RGB(1, 1, 1);
    }
    bool Shows(const std::string& text) const { return Shown(text) != RGB(1, 1, 1); }
    std::vector<DrawOperation> Circles() const { return pic.OperationsOf(Kind::Circle); }

    Session session;
    ProfileArrays& s = *session.profile;
    RecordingSurface pic{kPrecipTypeWidth, kPrecipTypeHeight};
    RecordingSurface sleet;
    PrecipTypeBackgrounds backgrounds;
};

TEST_F(PrecipTypePanelTest, WarmNoseOnEitherSideOfThePelletLine) {
    // Warm nose: 500 m at 2 and 3 C, 2500 m deg, 89.75 J/kg (g / 273.16 =
    // 0.0358990 J/kg per m deg). Pellets need 70 + 89.75 * 2/3 = 129.83 J/kg
    // of refreezing. The cold layer below: 250 m at -4.5 or -4.4 C and 500 m
    // twice at -2.5 C, 3625 or 3600 m deg, 130.13 or 129.24 J/kg: yellow
    // pellets, or freezing rain less than 20 J/kg short of them (orange).
    struct Case {
        float lowest;
        std::int32_t code;
        Rgb fill;
        const char* negative;
    };
    for (const Case& k :
         {Case{-4.5f, kPTypeIcePellets, kYellow, "Negative Energy = 130.1 J/kg"},
          Case{-4.4f, kPTypeFreezingRain, kOrange, "Negative Energy = 129.2 J/kg"}}) {
        session.ptype->ClearAfterRead();
        Build({k.lowest, -2.5f, -2.5f, 2, 3, -2, -5, -10, -15, -20});
        EXPECT_FALSE(Plot(0));
        EXPECT_EQ(session.ptype->PTypeEnergyCode(1, 0), k.code);
        EXPECT_TRUE(Shows("Freezing Rain"));
        EXPECT_TRUE(Shows("Positive Energy = 89.7 J/kg"));
        EXPECT_TRUE(Shows(k.negative)) << k.lowest;
        ASSERT_EQ(Circles().size(), 1u); // column 0: no trail before it
        EXPECT_NEAR(Circles()[0].x1, 89.747, 1e-3);
        EXPECT_EQ(Circles()[0].state.fillColor, k.fill);
    }
    // Over 20 J/kg below a 45 J/kg layer's pellet line (100 J/kg): red
    // freezing rain, or green rain over a surface warm layer.
    EXPECT_EQ(RefreezingChartColor(45, 79.9f, false), kRed);
    EXPECT_EQ(RefreezingChartColor(45, 79.9f, true), kGreen);
}

TEST_F(PrecipTypePanelTest, SurfaceChartAndItsTrail) {
    Build({-2, -4, -6, -8, -12}, 4);
    s.ModelSnowRatio(1, 0) = 30;
    EXPECT_FALSE(Plot(0));
    EXPECT_EQ(session.ptype->PTypeEnergyCode(1, 0), kPTypeSnow);
    EXPECT_TRUE(Shows("SNRA= 30 "));
    EXPECT_TRUE(Shows("Entire Sounding Below Freezing"));
    EXPECT_EQ(Shown("SNOW"), kBlue);
    ASSERT_EQ(Circles().size(), 1u);
    EXPECT_EQ(Circles()[0].color, kBlue); // outlined in the pen after "SNOW"

    // A "BA" hour ends the trail; the surface hours after it are plotted
    // within the chart, coloured by their melting energy (5.6 and 13.2 J/kg
    // start the next colour).
    Preset(0, "BA", 30, 90);
    Preset(1, "AB", -1, 0, 500);
    Preset(2, "AB", 5.6f, 0, 1000);
    Preset(3, "AB", 13.19f, 0, 3500);
    Preset(4, "AB", 13.2f, 0, 2000);
    Plot(4);
    EXPECT_TRUE(Shows("Sounding Starts Out Above Freezing"));
    EXPECT_TRUE(Shows("Positive Energy = 13.2 J/kg"));
    EXPECT_TRUE(Shows("Freezing Level  = 2,000 ft"));
    const auto circles = Circles();
    ASSERT_EQ(circles.size(), 4u);
    const double x[] = {0, 5.6, 13.19, 13.2};
    const double y[] = {500, 1000, 3000, 2000};
    const Rgb fill[] = {kBlue, kCyan, kCyan, kGreen};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(circles[k].x1, x[k], 1e-5);
        EXPECT_EQ(circles[k].y1, y[k]);
        EXPECT_EQ(circles[k].state.fillColor, fill[k]);
        EXPECT_NEAR(circles[k].radius, 1.2 + 0.1 * static_cast<double>(k), 1e-9);
    }
}

TEST_F(PrecipTypePanelTest, TrailWorksOutPastHoursAtTheNewStartLevel) {
    // From the ground: cold, then warm aloft ("BA"). From level 3, inside the
    // warm layer: "AB".
    Build({-3, -1, 2, 3, -2, -5, -10, -15}, 1);
    Plot(0);
    Plot(1);
    EXPECT_EQ(session.ptype->PTypeEnergyCode(1, 0), kPTypeFreezingRain);
    EXPECT_EQ(Circles().size(), 2u);

    session.options.ElevatedPTLevel = 3;
    session.ptype->ClearAfterRead(); // as the start-level bar does
    Plot(1);
    EXPECT_EQ(session.ptype->PTypePattern(1, 0), "AB");
    EXPECT_EQ(Circles().size(), 2u); // hour 0 belongs on the surface chart now
    // Back to hour 0, whose layers the trail worked out: its type follows
    // them. From level 3: 750 m at 2 C and 500 m at 3 C, 107.7 J/kg, rain.
    Plot(0);
    EXPECT_EQ(session.ptype->PTypeEnergyCode(1, 0), kPTypeRain);
    EXPECT_TRUE(Shows("Positive Energy = 107.7 J/kg"));
}

TEST_F(PrecipTypePanelTest, StartLevelCloudTopAndDrizzle) {
    // Twelve levels, the start level beyond them: the top level, 5500 m
    // above sea level and 5400 m above the ground.
    Build({-2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13});
    for (int L = 1; L <= 12; ++L) s.HeightAGL(1, 0, L) = s.Height(1, 0, L) - 100.0f;
    Plot(0);
    EXPECT_TRUE(Shows("Surface"));
    session.options.ElevatedPTLevel = 20;
    session.ptype->ClearAfterRead();
    Plot(0);
    EXPECT_TRUE(Shows("AGL: 17775'   5400m"));
    EXPECT_TRUE(Shows("MSL: 18104'   5500m"));
    // At the least window's size both lines end inside the picture.
    RecordingSurface narrow(275, 290);
    narrow.SetDesignSize(kPrecipTypeWidth, kPrecipTypeHeight);
    PrecipTypeBackgrounds narrowCharts;
    PlotPrecipType(narrow, sleet, session, 0, {false, 6}, narrowCharts);
    EXPECT_TRUE(TextIsReadable(narrow));

    // A snow hour whose cloud from level 2 reaches level 3 (500 m) is too
    // shallow for a warning; to level 4 (1000 m, 3,292 ft) at -5 C it holds
    // no ice, at -10 C it may.
    session.options.ElevatedPTLevel = 2;
    struct Case {
        int top;
        float topTemp, surfaceTemp;
        Rgb advice; // white: no warning
    };
    for (const Case& k : {Case{3, -4, -1, kWhite}, Case{4, -10, -1, kWhite},
                          Case{4, -5, 0.5f, kGreen}, Case{4, -5, 0, kRed}}) {
        Preset(0, "BB", 0);
        session.ptype->MoistTopLevel(1, 0) = static_cast<std::int16_t>(k.top);
        s.Temperature(1, 0, k.top) = k.topTemp;
        s.SurfaceTemp(1, 0) = k.surfaceTemp;
        Plot(0);
        EXPECT_EQ(Shows("WARNING:  No Ice Crystals In Cloud"), k.advice != kWhite) << k.top;
        if (k.advice != kWhite) {
            EXPECT_EQ(
                Shown(k.surfaceTemp > 0 ? "Consider:  Drizzle" : "Consider:  Freezing Drizzle"),
                k.advice);
        }
    }
    EXPECT_TRUE(Shows("Cloud Top: 3,292 ft"));
    EXPECT_TRUE(Shows("Cloud Top Temp: -5.0"));
    EXPECT_FALSE(Shows("Seeder"));
    session.ptype->IceAloft(1, 0) = kFlagTrue;
    Plot(0);
    EXPECT_TRUE(Shows("Feeder"));

    // A refreezing hour's energy lines reach the foot's left corner at the
    // window's least size: "Seeder" and "Feeder" stand whole elsewhere.
    session.options.ElevatedPTLevel = 1;
    Preset(0, "BA", 60, 39);
    session.ptype->IceAloft(1, 0) = kFlagTrue;
    RecordingSurface least(275, 290);
    least.SetDesignSize(kPrecipTypeWidth, kPrecipTypeHeight);
    PrecipTypeBackgrounds fresh;
    PlotPrecipType(least, sleet, session, 0, {false, 6}, fresh);
    EXPECT_TRUE(TextIsReadable(least));
    EXPECT_TRUE(NothingLeftOut(least));
    int words = 0;
    for (const DrawnText& t : least.DrawnTexts()) words += t.text == "Seeder" || t.text == "Feeder";
    EXPECT_EQ(words, 2);
}

TEST_F(PrecipTypePanelTest, SleetPanelForPelletsOverASurfaceWarmLayer) {
    Build({2, -2, -4, 3, -5, -10});
    // A 45 J/kg warm layer aloft: pellets from 100 J/kg of refreezing.
    Preset(0, "ABAB", 45, 100, 0, 12.34f);
    EXPECT_TRUE(Plot(0));
    EXPECT_TRUE(Shows("Sleet or Rain"));
    EXPECT_TRUE(Shown("Sfc Positive Energy = 12.3 J/kg", true) == kBlack);
    const auto mark = sleet.OperationsOf(Kind::Circle);
    ASSERT_EQ(mark.size(), 1u);
    EXPECT_NEAR(mark[0].x1, 12.34, 1e-5);
    EXPECT_EQ(mark[0].y1, 83.0);
    // The panel holds its text whole at its font: the energy with its unit,
    // the widest it can be, and every label of the scale.
    Preset(0, "ABAB", 45, 100, 0, 99.9f);
    EXPECT_TRUE(Plot(0));
    EXPECT_TRUE(TextIsReadable(sleet));
    EXPECT_TRUE(NothingLeftOut(sleet));
    for (const char* label : {"0", "10", "20", "30", "40", "Sfc Positive Energy = 99.9 J/kg"})
        EXPECT_EQ(Shown(label, true), kBlack) << label;

    Preset(0, "ABAB", 45, 79.9f, 0, 12.34f); // rain: no sleet panel
    EXPECT_FALSE(Plot(0));
    EXPECT_TRUE(sleet.Operations().empty());
    Preset(0, "BA", 45, 100);
    EXPECT_FALSE(Plot(0)); // the refreezing chart never shows it
}

// Each chart's energy caption ends before the SNRA bar at the top right, at
// the panel's size and drawn larger: nothing is drawn over it.
TEST_F(PrecipTypePanelTest, EnergyCaptionsKeepClearOfTheSnraBar) {
    Build({2, -2, -4, 3, -5, -10});
    s.ModelSnowRatio(1, 0) = 40.0f;
    for (const double zoom : {1.0, 1.7}) {
        pic.Resize(static_cast<int>(kPrecipTypeWidth * zoom),
                   static_cast<int>(kPrecipTypeHeight * zoom));
        pic.SetDesignSize(kPrecipTypeWidth, kPrecipTypeHeight);
        for (const char* pattern : {"ABAB", "BA", "AB"}) {
            Preset(0, pattern, 45, 100);
            Plot(0);
            const auto ops = pic.Operations();
            const auto caption = std::ranges::find_if(ops, [](const DrawOperation& op) {
                return op.kind == Kind::Text && op.text.ends_with("Positive Energy J/kg");
            });
            ASSERT_NE(caption, ops.end()) << pattern;
            // The bar spans 0..100 of the scale -300..102, its top 7 of 200.
            const double barLeft = 300.0 / 402.0 * pic.PixelWidth();
            const double barBottom = 7.0 / 200.0 * pic.PixelHeight();
            const TextRect& r = caption->textRect;
            EXPECT_TRUE(r.Right() <= barLeft || r.top >= barBottom)
                << pattern << " x" << zoom << ": caption to " << r.Right() << ", bar from "
                << barLeft;
            EXPECT_GE(r.left, 0.0) << pattern;
            // Nothing drawn after the caption fills a box over it.
            for (auto op = caption + 1; op != ops.end(); ++op)
                EXPECT_NE(op->kind, Kind::FilledBox) << pattern;
        }
    }
}

// The winter sample of a warm layer aloft over a cold surface layer, read
// into the session.
bool ReadWinterSample(Session& session) {
    samples::SampleSpec spec;
    spec.site = "KALB";
    spec.atmosphere = samples::Atmosphere::WinterWarmNose;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvex-ptype-winter-" + std::to_string(::getpid()) + "-eta_KALB.buf");
    std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
    session.models.ModelCodes = {"eta"};
    const bool read = ReadSounding(session, path.string()).ok;
    std::filesystem::remove(path);
    return read;
}

// The shipped winter sample (a warm layer aloft over a cold surface layer)
// by both methods at the panel's size in the window, for a reviewer; the
// second energy picture is drawn over the kept chart.
TEST(PrecipTypeRender, WinterSampleByBothMethods) {
    Session session;
    ASSERT_TRUE(ReadWinterSample(session));

    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    RasterSurface pic(kPrecipTypeWidth, kPrecipTypeHeight);
    RasterSurface sleet(1, 1);
    PrecipTypeBackgrounds backgrounds;
    // Draws an hour, keeps its picture for a reviewer and returns the texts
    // that match a pattern (each number group of the first match in
    // numbers), after checking every text can be read.
    auto draw = [&](int c, PrecipTypeChoice choice, const std::string& name) {
        PlotPrecipType(pic, sleet, session, static_cast<std::int16_t>(c), choice, backgrounds);
        EXPECT_TRUE(pic.Image().save(QString::fromStdString((out / name).string())));
        EXPECT_TRUE(TextIsReadable(pic)) << name;
        EXPECT_TRUE(NothingLeftOut(pic)) << name;
        std::vector<std::string> texts;
        for (const DrawnText& t : pic.DrawnTexts()) texts.push_back(t.text);
        return texts;
    };
    auto find = [](const std::vector<std::string>& texts, const std::string& pattern) {
        std::smatch match;
        for (const std::string& t : texts)
            if (std::regex_match(t, match, std::regex(pattern))) {
                std::string number = match[1];
                std::erase(number, ',');
                return std::stod(number);
            }
        ADD_FAILURE() << "no text like " << pattern;
        return 0.0;
    };
    // Energy method, warm nose: both energies and the cloud top, and the
    // same values again when the chart's background comes from the cache.
    const std::vector<std::string> warm = draw(20, {false, 6}, "precip_type_energy.png");
    const std::vector<std::string> energies = {"Positive Energy = ([0-9.]+) J/kg",
                                               "Negative Energy = ([0-9.]+) J/kg",
                                               "Cloud Top: ([0-9,]+) ft"};
    for (const std::string& pattern : energies) EXPECT_GT(find(warm, pattern), 0.0) << pattern;
    // The hour's own energies, as the layer analysis found them.
    const PTypeResults& r = *session.ptype;
    const int m = session.profile->CurrentModel;
    EXPECT_NEAR(find(warm, energies[0]), r.WarmEnergy(m, 20), 0.051);
    EXPECT_NEAR(find(warm, energies[1]), r.ColdEnergy(m, 20), 0.051);
    EXPECT_GT(find(warm, "Cloud Top Temp: (-[0-9.]+)"), -60.0);
    EXPECT_LT(find(warm, "SNRA= ([0-9]+) "), 100.0);
    const std::vector<std::string> snow = draw(50, {false, 6}, "precip_type_energy_snow.png");
    EXPECT_EQ(find(snow, "SNRA= ([0-9]+) "), 100.0);
    EXPECT_NE(std::ranges::find(snow, "SNOW"), snow.end());
    const std::vector<std::string> again = draw(20, {false, 6}, "precip_type_energy.png");
    for (const std::string& pattern : energies)
        EXPECT_EQ(find(again, pattern), find(warm, pattern));
    // The charts' captions and axis numbers are drawn texts too, over a kept
    // chart as over a new one, so the checks above read them.
    auto missing = [](const std::vector<std::string>& texts, std::vector<std::string> fixed) {
        std::string absent;
        for (const std::string& t : fixed)
            if (std::ranges::find(texts, t) == texts.end()) absent += '"' + t + "\" ";
        return absent;
    };
    const std::vector<std::string> refreezing = {"Negative", "Energy", "J/kg",
                                                 " 0 ",      " 250 ",  " 450 "};
    EXPECT_EQ(missing(warm, refreezing), "");
    EXPECT_EQ(missing(again, refreezing), "");
    EXPECT_EQ(missing(snow, {"Positive Energy J/kg", "Freezing", "Level", "(ft)", "Snow", "Rain",
                             " 3000 ", " 70 "}),
              "");
    // Thickness method: the layers' thicknesses are the differences of the
    // heights printed beside them.
    const std::vector<std::string> thick = draw(20, {true, 12}, "precip_type_thickness.png");
    const double h1000 = find(thick, "H1000: +(-?[0-9]+)m");
    const double h850 = find(thick, "H 850: +([0-9]+)m");
    const double h700 = find(thick, "H 700: +([0-9]+)m");
    EXPECT_EQ(find(thick, "1000-850: ([0-9]+)m"), h850 - h1000);
    EXPECT_EQ(find(thick, "850-700: ([0-9]+)m"), h700 - h850);
    EXPECT_GT(find(thick, "1: ([0-9.]+)mb -?[0-9]+m"), 900.0); // the trail's first hour
    EXPECT_EQ(missing(thick, {" 1510 ", " 1580 ", " 1260 ", " 1350 ", "S/ZR/IP", "ZR/R"}), "");
    const std::vector<std::string> thickAgain = draw(21, {true, 12}, "precip_type_thickness.png");
    EXPECT_EQ(missing(thickAgain, {" 1540 ", "IP/ZR"}), "");
}

// The panel's numbers decide the type ("H 850", "17,833 ft"). At the least
// window's size its bold serif comes down to 8 pixels, where its 8 and 3
// read as 2: every text of both methods is then drawn in the bold sans face;
// from 9 pixels up, and at the design size, in the bold serif.
TEST(PrecipTypeDigits, TheFloorSizeDrawsTheBoldSansFace) {
    Session session;
    ASSERT_TRUE(ReadWinterSample(session));
    struct Case {
        int width, height, pixels;
        const char* face;
    };
    for (const Case& c : {Case{275, 290, 8, "Arial"}, Case{300, 316, 9, "Times New Roman"},
                          Case{kPrecipTypeWidth, kPrecipTypeHeight, 13, "Times New Roman"}}) {
        for (const bool thickness : {false, true}) {
            RecordingSurface pic(c.width, c.height);
            RecordingSurface sleet;
            pic.SetDesignSize(kPrecipTypeWidth, kPrecipTypeHeight);
            PrecipTypeBackgrounds backgrounds;
            PlotPrecipType(pic, sleet, session, 6, {thickness, 6}, backgrounds);
            const auto texts = pic.OperationsOf(Kind::Text);
            ASSERT_FALSE(texts.empty());
            for (const DrawOperation& op : texts) {
                EXPECT_EQ(op.state.fontName, c.face) << op.text << " at " << c.width;
                EXPECT_TRUE(op.state.fontBold) << op.text;
            }
            EXPECT_EQ(pic.TextPixelSize(), c.pixels) << c.width;
        }
    }
}

} // namespace
} // namespace tarvex
