#include "profile/diagrams/MapDiagram.h"

#include "compute/Levels.h"
#include "files/Session.h"
#include "platform/RasterSurface.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;
const std::string kDeg = "\u00B0";

std::vector<DrawOperation> LinesOfWidth(const RecordingSurface& pic, int width) {
    std::vector<DrawOperation> out;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Line))
        if (op.state.drawWidth == width) out.push_back(op);
    return out;
}

std::vector<std::string> Texts(const RecordingSurface& pic) {
    std::vector<std::string> out;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
    return out;
}

DataTableRow Row(float key, float lat, float lon) {
    // Point p of the row lies p tenths of a degree north-east of (lat, lon).
    DataTableRow row;
    row.Key = key;
    for (std::size_t p = 0; p < 4; ++p)
        row.Pairs[p] =
            DataPair{lat + 0.1f * static_cast<float>(p), lon - 0.1f * static_cast<float>(p)};
    return row;
}

// Zoom

void ExpectView(const MapExtent& view, double left, double top, double right, double bottom,
                double tolerance) {
    EXPECT_NEAR(view[0], left, tolerance);
    EXPECT_NEAR(view[1], top, tolerance);
    EXPECT_NEAR(view[2], right, tolerance);
    EXPECT_NEAR(view[3], bottom, tolerance);
}

TEST(MapZoom, LeftClickNarrowsAndOtherButtonsWidenAboutThePoint) {
    // Width -51 and height -31: 0.7 of each is 35.7 and 21.7 about (95, 38).
    ExpectView(ZoomMapView(kDefaultMapView, 1, 95.0, 38.0), 112.85, 48.85, 77.15, 27.15, 1e-4);
    // 51 / 0.7 = 72.857, 31 / 0.7 = 44.286.
    ExpectView(ZoomMapView(kDefaultMapView, 2, 95.0, 38.0), 131.4286, 60.1429, 58.5714, 15.8571,
               1e-3);
    ExpectView(ZoomMapView(kDefaultMapView, 4, 95.0, 38.0), 131.4286, 60.1429, 58.5714, 15.8571,
               1e-3);
}

TEST(MapZoom, ZoomInThenOutAtThePointRestoresTheView) {
    const MapExtent start{104.5f, 47.25f, 80.0f, 33.5f};
    const MapExtent in = ZoomMapView(start, 1, 92.25, 40.375); // the centre
    ExpectView(ZoomMapView(in, 2, 92.25, 40.375), 104.5, 47.25, 80.0, 33.5, 1e-4);
}

TEST(MapZoom, TheViewNeverLosesItsExtentNorGrowsWithoutBound) {
    MapExtent view = kDefaultMapView;
    for (int click = 0; click < 200; ++click) view = ZoomMapView(view, 1, 78.9, 42.9);
    const double width = static_cast<double>(view[2]) - view[0];
    const double height = static_cast<double>(view[3]) - view[1];
    EXPECT_LT(width, 0.0); // still runs right to left
    EXPECT_GE(-width, kMapMinExtent);
    EXPECT_GE(-height, kMapMinExtent);
    // It did zoom in as far as allowed: one more step would take the
    // narrower axis below the least extent.
    EXPECT_LT(std::min(-width, -height), kMapMinExtent / kMapZoomIn);

    for (int click = 0; click < 200; ++click) view = ZoomMapView(view, 2, 78.9, 42.9);
    EXPECT_LE(std::abs(view[2] - view[0]), kMapMaxExtent);
    EXPECT_TRUE(std::isfinite(view[0]) && std::isfinite(view[3]));
}

TEST(MapZoom, AViewWithoutExtentFallsBackToTheDefault) {
    EXPECT_EQ(UsableMapView(MapExtent{0, 0, 0, 0}), kDefaultMapView);
    EXPECT_EQ(UsableMapView(MapExtent{80, 40, 80, 30}), kDefaultMapView);
    EXPECT_EQ(UsableMapView(MapExtent{90, NAN, 80, 30}), kDefaultMapView);
    const MapExtent fine{90, 40, 80, 30};
    EXPECT_EQ(UsableMapView(fine), fine);
    // A zoom on a view without extent gives no view either: it is kept.
    const MapExtent flat{80, 40, 80, 30};
    EXPECT_EQ(ZoomMapView(flat, 1, 80, 35), flat);
}

// Map files

TEST(MapFiles, NegativeLatitudesStartOutlines) {
    int skipped = 0;
    const auto points = ParseMapOutlines("-40, 100\n41,101\n-42 102\r\n43,103", skipped);
    EXPECT_EQ(skipped, 0);
    const std::vector<MapOutlinePoint> expected{
        {40, 100, true}, {41, 101, false}, {42, 102, true}, {43, 103, false}};
    EXPECT_EQ(points, expected);
    // Records may run across lines in any way.
    EXPECT_EQ(ParseMapOutlines("-40\n100 41\n101,-42,102 43 103\n", skipped), expected);
}

TEST(MapFiles, MalformedOutlineRecordsAreSkippedAndBreakTheOutline) {
    int skipped = 0;
    // A bad value, a latitude beyond the pole, and a last record cut short.
    const auto points =
        ParseMapOutlines("50,90\n-40,100\n41,abc\n42,102\n43,103\n95,104\n44,105\n,\n45", skipped);
    EXPECT_EQ(skipped, 4);
    const std::vector<MapOutlinePoint> expected{
        {50, 90, true}, {40, 100, true}, {42, 102, true}, {43, 103, false}, {44, 105, true}};
    EXPECT_EQ(points, expected);
}

TEST(MapFiles, CitiesTakeQuotedAndPlainNames) {
    int skipped = 0;
    const auto cities = ParseMapCities("42.89,78.88,\"Buffalo, NY\"\r\n\n  43.15 77.62 Rochester\n"
                                       "x,1,\"Nowhere\"\n44,75\n42.65, 73.76, Albany, NY\n",
                                       skipped);
    EXPECT_EQ(skipped, 1);
    const std::vector<MapCity> expected{{42.89f, 78.88f, "Buffalo, NY"},
                                        {43.15f, 77.62f, "Rochester"},
                                        {44.0f, 75.0f, ""},
                                        {42.65f, 73.76f, "Albany"}};
    EXPECT_EQ(cities, expected);
}

// A map file that is missing or no regular file is named in a message with
// what the map then leaves out; the map is still drawn from what there is.
TEST(MapFiles, AFileNotReadIsNamedWithWhatTheMapLeavesOut) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("tarvex-map-files-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string map = "\"" + (folder / "TarVex.Map").string() + "\" cannot be read (";
    const std::string cities = "\"" + (folder / "TarVex.CTY").string() + "\" cannot be read (";
    MapGeography none = ReadMapFiles(folder);
    EXPECT_FALSE(none.OutlinesFound);
    EXPECT_FALSE(none.CitiesFound);
    EXPECT_EQ(DescribeUnreadMapFiles(none), "The map file " + map +
                                                "it is missing): the map stays blank. The city "
                                                "file " +
                                                cities + "it is missing) either.");

    std::ofstream(folder / "TarVex.Map") << "-40,100\n41,junk\n";
    fs::create_directories(folder / "TarVex.CTY");
    const MapGeography some = ReadMapFiles(folder);
    EXPECT_TRUE(some.OutlinesFound);
    EXPECT_FALSE(some.CitiesFound);
    EXPECT_EQ(some.Outline.size(), 1u);
    EXPECT_EQ(some.SkippedRecords, 1);
    EXPECT_EQ(DescribeUnreadMapFiles(some),
              "The city file " + cities +
                  "it is a folder, not a file): the map is drawn without cities.");

    fs::remove(folder / "TarVex.CTY");
    std::ofstream(folder / "TarVex.CTY") << "43.0,79.0,Here\n";
    fs::remove(folder / "TarVex.Map");
    ASSERT_EQ(::mkfifo((folder / "TarVex.Map").c_str(), 0600), 0);
    const MapGeography pipe = ReadMapFiles(folder);
    EXPECT_FALSE(pipe.OutlinesFound);
    EXPECT_TRUE(pipe.CitiesFound);
    EXPECT_EQ(DescribeUnreadMapFiles(pipe),
              "The map file " + map +
                  "it is not a regular file (a pipe, a device or a socket)): the map stays blank.");

    fs::remove(folder / "TarVex.Map");
    std::ofstream(folder / "TarVex.Map") << "40,100\n";
    EXPECT_EQ(DescribeUnreadMapFiles(ReadMapFiles(folder)), "");
    fs::remove_all(folder);
}

// Background

class Background : public ::testing::Test {
  protected:
    void SetUp() override {
        store->StationLat(1) = 42.9f;
        store->StationLon(1) = 78.7f;
        geography.OutlinesFound = true;
        geography.CitiesFound = true;
        int skipped = 0;
        geography.Outline = ParseMapOutlines("-40,100\n41,101\n-42,102\n43,103\n", skipped);
        geography.Cities = {{43.15f, 77.62f, "Rochester"}};
    }

    std::unique_ptr<ProfileArrays> store = std::make_unique<ProfileArrays>();
    MapGeography geography;
    RecordingSurface buffer{437, 425};
};

TEST_F(Background, OutlinesCitiesAndSiteAreDrawnThenKeptAsThePicture) {
    DrawMapBackground(buffer, geography, *store, kDefaultMapView);
    EXPECT_EQ(buffer.ScaleLeft(), 120.0);
    EXPECT_EQ(buffer.ScaleWidth(), -51.0);
    EXPECT_EQ(buffer.ScaleHeight(), -31.0);
    // The old background is painted over in white first.
    const auto boxes = buffer.OperationsOf(Kind::FilledBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].color, RGB(255, 255, 255));

    // Each outline starts with a point; nothing joins (101, 41) to (102, 42).
    std::vector<std::array<double, 4>> outline;
    for (const DrawOperation& op : buffer.Operations()) {
        if (op.kind != Kind::Point && op.kind != Kind::Line) continue;
        outline.push_back({op.x1, op.y1, op.x2, op.y2});
        EXPECT_EQ(op.color, RGB(127, 0, 0));
    }
    EXPECT_EQ(outline,
              (std::vector<std::array<double, 4>>{
                  {100, 40, 0, 0}, {100, 40, 101, 41}, {102, 42, 0, 0}, {102, 42, 103, 43}}));

    const auto circles = buffer.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_NEAR(circles[0].x1, 77.62, 1e-5);
    EXPECT_NEAR(circles[0].y1, 43.15, 1e-5);
    EXPECT_EQ(circles[0].radius, 0.05);
    EXPECT_EQ(circles[0].state.fillColor, RGB(0, 0, 255));
    EXPECT_EQ(circles[0].state.fillStyle, FillStyle::Solid);
    const auto texts = buffer.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Rochester");
    EXPECT_NEAR(texts[0].x1, 77.55, 1e-5); // 0.07 towards the right edge
    EXPECT_NEAR(texts[0].y1, 43.15, 1e-5);
    EXPECT_FALSE(texts[0].lineEnd);
    // The site: one hundredth of the width of 51 degrees.
    EXPECT_NEAR(circles[1].x1, 78.7, 1e-5);
    EXPECT_NEAR(circles[1].y1, 42.9, 1e-5);
    EXPECT_NEAR(circles[1].radius, 0.51, 1e-9);
    EXPECT_EQ(circles[1].state.fillColor, RGB(255, 0, 0));

    const auto& ops = buffer.Operations();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[ops.size() - 2].kind, Kind::TakePicture);
    EXPECT_EQ(ops.back().kind, Kind::SetPicture);

    // The dots keep their size in degrees; the site's follows the width.
    buffer.ForgetOperations();
    DrawMapBackground(buffer, geography, *store, ZoomMapView(kDefaultMapView, 1, 95.0, 38.0));
    EXPECT_EQ(buffer.OperationsOf(Kind::Circle).front().radius, 0.05);
    EXPECT_NEAR(buffer.OperationsOf(Kind::Circle).back().radius, 0.357, 1e-5);
}

// The main map at its design size: of two cities a few miles apart on the
// screen only the first is named, as is none in the top two lines, where the
// hour's wind is written.
TEST_F(Background, ANameThatWouldCoverAnotherOrTheWindLinesIsLeftOut) {
    geography.Cities = {{43.65f, 79.38f, "Toronto"},
                        {42.89f, 78.88f, "Buffalo"},
                        {52.50f, 97.80f, "Norway House"},
                        {35.15f, 90.05f, "Memphis"}};
    buffer.SetDesignSize(437, 425);
    DrawMapBackground(buffer, geography, *store, kDefaultMapView);
    std::vector<std::string> names;
    for (const DrawOperation& op : buffer.OperationsOf(Kind::Text)) names.push_back(op.text);
    EXPECT_EQ(names, (std::vector<std::string>{"Toronto", "Memphis"}));
}

// The names drawn are the picture's texts: a map given the picture holds
// them as its own repeats where they stand, also after a zoom has drawn the
// background anew over the last one.
TEST_F(Background, TheNamesStandOnTheMapAsThePicturesTexts) {
    geography.Cities = {
        {43.65f, 79.38f, "Toronto"}, {42.89f, 78.88f, "Buffalo"}, {35.15f, 90.05f, "Memphis"}};
    const MapExtent zoomed = ZoomMapView(kDefaultMapView, 1, 85.0, 40.0);
    const auto drawn = [&](const std::vector<MapExtent>& views) {
        RasterSurface raster(437, 425);
        raster.SetDesignSize(437, 425);
        for (const MapExtent& view : views) DrawMapBackground(raster, geography, *store, view);
        RecordingSurface map(437, 425);
        map.SetPicture(raster.PersistentPicture());
        EXPECT_EQ(map.DrawnTexts().size(), raster.DrawnTexts().size());
        for (const DrawnText& t : map.DrawnTexts()) EXPECT_EQ(t.kind, TextKind::Repeat);
        return map.DrawnTexts();
    };
    EXPECT_EQ(TextsOf(drawn({kDefaultMapView})), (std::vector<std::string>{"Toronto", "Memphis"}));
    const std::vector<DrawnText> fresh = drawn({zoomed});
    const std::vector<DrawnText> again = drawn({kDefaultMapView, zoomed});
    EXPECT_EQ(TextsOf(fresh), (std::vector<std::string>{"Toronto", "Buffalo", "Memphis"}));
    ASSERT_EQ(TextsOf(again), TextsOf(fresh));
    for (std::size_t k = 0; k < fresh.size(); ++k)
        EXPECT_EQ(again[k].rect.left, fresh[k].rect.left) << fresh[k].text;
}

TEST_F(Background, WithoutTheOutlineFileOnlyTheWhiteBackgroundRemains) {
    geography.OutlinesFound = false;
    DrawMapBackground(buffer, geography, *store, kDefaultMapView);
    EXPECT_TRUE(buffer.OperationsOf(Kind::Line).empty());
    EXPECT_TRUE(buffer.OperationsOf(Kind::Circle).empty());
    EXPECT_TRUE(buffer.OperationsOf(Kind::Text).empty());
    EXPECT_EQ(buffer.OperationsOf(Kind::SetPicture).size(), 1u);
}

// Wind lines

TEST(MapWindLines, DirectionsBetweenRowsInterpolateLinearly) {
    DataTables tables;
    tables.Tables.push_back(DataTable{{Row(200, 40, 80), Row(240, 42, 82), Row(280, 46, 78)}});
    // 250 lies a quarter of the way from 240 to 280.
    const auto lines = InterpolateWindLines(tables, 250.0f);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].Lat[0], 43.0, 1e-5);
    EXPECT_NEAR(lines[0].Lon[0], 81.0, 1e-5);
    EXPECT_NEAR(lines[0].Lat[3], 43.3, 1e-5);
    EXPECT_NEAR(lines[0].Lon[3], 80.7, 1e-5);
    // A key gives its row exactly, the first and the last key included.
    for (const auto& [d, lat] : {std::pair{200.0f, 40.0f}, {240.0f, 42.0f}, {280.0f, 46.0f}}) {
        const auto exact = InterpolateWindLines(tables, d);
        ASSERT_EQ(exact.size(), 1u) << d;
        EXPECT_EQ(exact[0].Lat[0], lat) << d;
    }
}

TEST(MapWindLines, ATableOutsideTheDirectionDrawsNothingAndLeavesTheOthers) {
    DataTables tables;
    tables.Tables.push_back(DataTable{{Row(200, 40, 80), Row(240, 42, 82)}});
    tables.Tables.push_back(DataTable{{Row(230, 44, 76), Row(300, 44, 70)}});
    EXPECT_EQ(InterpolateWindLines(tables, 190.0f).size(), 0u);
    const auto one = InterpolateWindLines(tables, 260.0f);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Lat[0], 44.0f);
    EXPECT_EQ(InterpolateWindLines(tables, 230.0f).size(), 2u);
    EXPECT_EQ(InterpolateWindLines(tables, 301.0f).size(), 0u);
    EXPECT_EQ(InterpolateWindLines(tables, NAN).size(), 0u);
}

TEST(MapWindLines, EqualKeysAndSingleRowsDivideByNothing) {
    DataTables tables;
    tables.Tables.push_back(DataTable{{Row(240, 42, 82), Row(240, 50, 90), Row(260, 44, 80)}});
    tables.Tables.push_back(DataTable{{Row(240, 30, 100)}});
    tables.Tables.push_back(DataTable{});
    const auto lines = InterpolateWindLines(tables, 240.0f);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Lat[0], 42.0f);
    EXPECT_EQ(lines[0].Lon[0], 82.0f);
    EXPECT_EQ(lines[1].Lat[0], 30.0f);
    EXPECT_EQ(InterpolateWindLines(tables, 250.0f).size(), 1u); // between 240 (second) and 260
    EXPECT_NEAR(InterpolateWindLines(tables, 250.0f)[0].Lat[0], 47.0, 1e-5);
}

TEST(MapWindLines, AGreyShadowThenTheColouredLine) {
    DataTables tables;
    tables.Tables.push_back(DataTable{{Row(240, 42, 82), Row(280, 42, 82)}});
    RecordingSurface pic(437, 425);
    pic.Scale(120, 53, 69, 22);
    DrawWindLines(pic, tables, 250.0f, RGB(0, 255, 0));
    const auto shadow = LinesOfWidth(pic, 5);
    const auto line = LinesOfWidth(pic, 4);
    ASSERT_EQ(shadow.size(), 3u);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(shadow[0].color, RGB(127, 127, 127));
    EXPECT_NEAR(shadow[0].x1, 81.96, 1e-5);
    EXPECT_NEAR(shadow[0].y1, 41.96, 1e-5);
    EXPECT_NEAR(shadow[2].x2, 81.66, 1e-5);
    EXPECT_EQ(line[0].color, RGB(0, 255, 0));
    EXPECT_NEAR(line[0].x1, 82.0, 1e-5);
    EXPECT_NEAR(line[2].y2, 42.3, 1e-5);
    // The shadow lies under the line.
    EXPECT_EQ(pic.Operations().front().state.drawWidth, 5);
}

// Overlays on a constructed sounding

class Overlay : public ::testing::Test {
  protected:
    void SetUp() override {
        ProfileArrays& s = *session.profile;
        s.LevelCount(1) = 8;
        s.StationLat(1) = 42.9f;
        s.StationLon(1) = 78.7f;
        for (int L = 0; L <= 9; ++L) Level(L, 1000.0f - 50.0f * L, 10.0f - 5.0f * L, 270.0f, 20.0f);
        session.config.ShoreDirection = {240.001f, 270.001f};
        session.config.MaxFetch = {200.0f, 150.0f};
        session.config.ShoreDistance = {18.5f, 25.0f};
        session.parameters.ModelLevelStep = 2;
        session.dataTables.Tables.push_back(DataTable{{Row(0, 42, 82), Row(360, 42, 82)}});
        pic.Scale(120, 53, 69, 22);
    }
    // The map is repainted from its background before each overlay is drawn.
    void Repaint() {
        pic.Clear();
        pic.ForgetOperations();
    }

    void Level(int L, float p, float t, float dir, float speed) {
        ProfileArrays& s = *session.profile;
        s.Pressure(1, 0, L) = p;
        s.Temperature(1, 0, L) = t;
        s.WindDirection(1, 0, L) = dir;
        s.WindSpeed(1, 0, L) = speed;
    }

    Session session;
    SoundingView view;
    MapWindState wind;
    RecordingSurface pic{437, 425};
};

TEST_F(Overlay, EqualLayerWindsGiveAGreenLineAndNoSpread) {
    view.MeanFlowLevels = {2, 5};
    PlotMeanFlowLines(pic, session, view, wind);
    ASSERT_EQ(LinesOfWidth(pic, 4).size(), 3u);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(0, 255, 0));
    const auto texts = Texts(pic);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], " 900 -> 750 mb Wind=  270 " + kDeg + " at 20 Kts");
    EXPECT_EQ(texts[1], " RMS = 0.0kts");
    const auto first = pic.OperationsOf(Kind::Text)[0];
    EXPECT_EQ(first.x1, 120.0);
    EXPECT_EQ(first.y1, 53.0);
    EXPECT_TRUE(first.lineEnd);
    EXPECT_NEAR(wind.MapWindDir[1], 270.0, 1e-4);
    EXPECT_NEAR(wind.MapWindSpeed[1], 20.0, 1e-4);
}

TEST_F(Overlay, TheSpreadAboutTheMeanGradesTheColour) {
    // Westerlies of 10 and 20 kt: mean 15, spread sqrt(25 + 25) / 2 = 3.54.
    Level(2, 900, 0, 270, 10);
    Level(3, 850, 0, 270, 20);
    view.MeanFlowLevels = {3, 2}; // the layer either way round
    PlotMeanFlowLines(pic, session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(255, 255, 0));
    EXPECT_EQ(Texts(pic)[1], " RMS = 3.5kts");
    EXPECT_NEAR(wind.MapWindSpeed[1], 15.0, 1e-4);
    // Either side of the bounds 2 and 4 kt: a spread of (v - 10) / (2 sqrt 2).
    for (const auto& [v, colour] :
         {std::pair{15.6f, kGreen}, {15.72f, kYellow}, {21.2f, kYellow}, {21.4f, kRed}}) {
        Level(3, 850, 0, 270, v);
        Repaint();
        PlotMeanFlowLines(pic, session, view, wind);
        EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, colour) << v;
    }
    Level(3, 850, 0, 270, 20);
    // 10, 20 and 30 kt: mean 20, spread sqrt(100 + 0 + 100) / 3 = 4.71.
    Level(4, 800, 0, 270, 30);
    view.MeanFlowLevels = {2, 4};
    Repaint();
    PlotMeanFlowLines(pic, session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(255, 0, 0));
    EXPECT_EQ(Texts(pic)[1], " RMS = 4.7kts");
    // A southerly and a northerly of 10 kt cancel: a calm mean, no division.
    Level(2, 900, 0, 180, 10);
    Level(3, 850, 0, 360, 10);
    view.MeanFlowLevels = {2, 3};
    Repaint();
    PlotMeanFlowLines(pic, session, view, wind);
    EXPECT_TRUE(std::isfinite(wind.MapWindDir[1]));
    EXPECT_NEAR(wind.MapWindSpeed[1], 0.0, 1e-3);
    // A calm layer: no mean u component at all.
    Level(2, 900, 0, 270, 0);
    Level(3, 850, 0, 90, 0);
    Repaint();
    PlotMeanFlowLines(pic, session, view, wind);
    EXPECT_EQ(wind.MapWindDir[1], 270.0f);
    EXPECT_EQ(wind.MapWindSpeed[1], 0.0f);
}

TEST_F(Overlay, SigmaTurningPicksTheColourAndTheSignOfTheShear) {
    view.SigmaLevel = 4;
    Level(2, 900, 0, 260, 10);
    Level(6, 700, 0, 275, 30); // +15 across level 4
    PlotSigmaLevelLines(pic, session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(255, 255, 0));
    auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "  800 mb Wind =  270 " + kDeg + " at 20  kts");
    EXPECT_EQ(texts[1].text, "  Shear = ");
    EXPECT_EQ(texts[2].text, "+15" + kDeg);
    EXPECT_EQ(texts[2].state.foreColor, RGB(255, 0, 0));
    EXPECT_EQ(wind.MapWindDir[1], 270.0f);
    EXPECT_EQ(wind.MapWindSpeed[1], 20.0f);

    Level(6, 700, 0, 235, 30); // -25
    Repaint();
    PlotSigmaLevelLines(pic, session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(255, 0, 0));
    texts = pic.OperationsOf(Kind::Text);
    EXPECT_EQ(texts[2].text, "-25" + kDeg);
    EXPECT_EQ(texts[2].state.foreColor, RGB(0, 0, 255));

    Level(2, 900, 0, 350, 10);
    Level(6, 700, 0, 10, 30); // 10 - 350 = -340, i.e. +20 through north
    Repaint();
    PlotSigmaLevelLines(pic, session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(255, 255, 0));
    EXPECT_EQ(pic.OperationsOf(Kind::Text)[2].text, "+20" + kDeg);
}

TEST_F(Overlay, SigmaLevelsNearTheEndsStayWithinTheStoredLevels) {
    for (std::int16_t level : {0, 1, 8, 40}) {
        view.SigmaLevel = level;
        pic.ForgetOperations();
        EXPECT_NO_THROW(PlotSigmaLevelLines(pic, session, view, wind)) << level;
        EXPECT_EQ(LinesOfWidth(pic, 4)[0].color, RGB(0, 255, 0)) << level;
    }
}

TEST_F(Overlay, FetchAndTravelTimeOnTheLastLine) {
    wind.MapWindDir[1] = 270.0f;
    wind.MapWindSpeed[1] = 37.0f / 1.5f;
    const FetchTimes result = PrintFetchTimes(pic, session, wind);
    // Shore 1 lies 30 degrees off the wind: 18.5 / sin 30 = 37 nm.
    EXPECT_NEAR(result.FetchDistance[0], 37.0, 2e-3);
    EXPECT_NEAR(*result.FetchTime[0], 1.5, 1e-4);
    // Shore 2 runs along the wind: its greatest fetch.
    EXPECT_EQ(result.FetchDistance[1], 150.0f);
    const auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "37 nm  @ 1.5 hours");
    EXPECT_EQ(texts[1].text, "150 nm  @ 6.1 hours");
    EXPECT_EQ(texts[0].x1, 120.0);
    const double lineHeight = pic.TextHeight("I"); // negative: y runs down
    EXPECT_NEAR(texts[0].y1, 22.0 - lineHeight, 1e-9);
    EXPECT_NEAR(texts[1].y1, texts[0].y1, 1e-9);
    EXPECT_NEAR(texts[1].x1 + pic.TextWidth(texts[1].text), 69.0, 1e-9);
}

TEST_F(Overlay, AWindExactlyAlongAShoreAndACalmWindAreDefined) {
    session.config.ShoreDirection = {270.0f, 90.0f};
    wind.MapWindDir[1] = 270.0f;
    wind.MapWindSpeed[1] = 0.0f;
    const FetchTimes result = PrintFetchTimes(pic, session, wind);
    EXPECT_EQ(result.FetchDistance[0], 200.0f);
    EXPECT_EQ(result.FetchDistance[1], 150.0f);
    EXPECT_FALSE(result.FetchTime[0].has_value());
    EXPECT_EQ(Texts(pic)[0], "200 nm  @ -- hours");
}

// Bright band

class BrightBand : public Overlay {
  protected:
    // Levels 3 (+2 C) and 4 (-2 C) straddle the pressure whose standard
    // height is the given number of feet, 10 mb either side; 20 mb and 3 C
    // between the other levels.
    void FreezeAt(float feet) {
        const float p0 = PressureFromAltitude(feet);
        for (int L = 1; L <= 8; ++L) {
            const float p = L <= 3 ? p0 + 10.0f + 20.0f * (3 - L) : p0 - 10.0f - 20.0f * (L - 4);
            const float t = L <= 3 ? 2.0f + 3.0f * (3 - L) : -2.0f - 3.0f * (L - 4);
            Level(L, p, t, 270, 20);
        }
    }
};

TEST(MapBeam, RangesOfTheHalfDegreeBeam) {
    // 10000 ft = 3.048 km: c = cos 0.5 / (3.048 / 8498.67 + 1), acos by hand
    // 0.028164, less 0.5 deg, times 8498.67 km and 0.539593: 89.1 nm; the
    // layer 1200 ft lower: 81.9 nm.
    EXPECT_NEAR(*BeamRangeNm(0.5f, 3.048f), 89.1, 0.15);
    EXPECT_NEAR(*BeamRangeNm(0.5f, 3.048f - 0.36574f), 81.9, 0.15);
    EXPECT_EQ(*BeamRangeNm(0.5f, 30.0f), 124.0f); // beyond the farthest ring
    EXPECT_FALSE(BeamRangeNm(0.5f, -0.01f));      // the layer just below the radar
    EXPECT_FALSE(BeamRangeNm(0.5f, -2.0f));       // a cosine above 1: no angle, no ring
}

TEST_F(BrightBand, RingsAroundTheSiteInTheNotXorMode) {
    FreezeAt(10000.0f);
    view.options.BrightBand = true;
    view.options.Angle[0] = true;
    PlotBrightBand(pic, session, view);
    const auto circles = pic.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    const double g = 1.0 / (60.0 * std::cos(42.9 * 3.14159265358979 / 180.0));
    EXPECT_NEAR(circles[0].radius / g, 89.1, 0.2);
    EXPECT_NEAR(circles[1].radius / g, 81.9, 0.2);
    for (const auto& circle : circles) {
        EXPECT_NEAR(circle.x1, 78.7, 1e-5);
        EXPECT_NEAR(circle.y1, 42.9, 1e-5);
        EXPECT_EQ(circle.state.drawMode, DrawMode::NotXorPen);
        EXPECT_EQ(circle.state.fillStyle, FillStyle::Solid);
        EXPECT_EQ(circle.state.fillColor, kBrightBandAngleColors[0]);
        EXPECT_EQ(circle.color, kBrightBandAngleColors[0]);
    }
    const auto texts = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "    Freezing Level: 10,000 Ft MSL");
    EXPECT_EQ(texts[0].x1, 120.0);
    EXPECT_EQ(texts[0].y1, 53.0);
    // The value is printed in the copy mode on the map's white; the rings'
    // mode is in force again after it.
    EXPECT_EQ(texts[0].state.drawMode, DrawMode::CopyPen);
    EXPECT_FALSE(texts[0].state.fontTransparent);
    EXPECT_EQ(pic.GetDrawMode(), DrawMode::NotXorPen);
    EXPECT_EQ(pic.GetFillStyle(), FillStyle::Transparent);

    // Two angles draw two rings, each in its box's colour.
    FreezeAt(8500.0f);
    view.options.Angle = {false, true, false, false, true};
    Repaint();
    PlotBrightBand(pic, session, view);
    const auto two = pic.OperationsOf(Kind::Circle);
    ASSERT_EQ(two.size(), 4u);
    EXPECT_EQ(two[0].state.fillColor, kBrightBandAngleColors[1]);
    EXPECT_EQ(two[3].state.fillColor, kBrightBandAngleColors[4]);
    EXPECT_EQ(Texts(pic)[0], "    Freezing Level: 8,500 Ft MSL");
}

TEST_F(BrightBand, OnlyTheRingIsColouredOnThePicture) {
    FreezeAt(10000.0f);
    view.options.Angle[0] = true;
    RasterSurface raster(437, 425);
    raster.SetBackColor(RGB(255, 255, 255));
    raster.Clear();
    raster.Scale(84.7, 47.9, 72.7, 37.9); // 12 degrees of longitude across
    PlotBrightBand(raster, session, view);
    const double g = 1.0 / (60.0 * std::cos(42.9 * 3.14159265358979 / 180.0));
    auto pixelAt = [&](double nm) {
        const int x = static_cast<int>(raster.ToPixelX(78.7 - nm * g));
        const int y = static_cast<int>(raster.ToPixelY(42.9));
        return QColor(raster.Image().pixel(x, y));
    };
    EXPECT_EQ(pixelAt(85.5), QColor(255, 0, 0));     // between the rings
    EXPECT_EQ(pixelAt(40.0), QColor(255, 255, 255)); // inside: restored
    EXPECT_EQ(pixelAt(95.0), QColor(255, 255, 255)); // outside
}

// Each value stands on the map's white: inside its box the map drawn over
// outlines and wind lines that cross every text line shows what a blank map
// shows, the value's ink alone, for the values of every overlay.
TEST_F(BrightBand, EachValueHoldsOnlyItsInkOverTheLinesItCrosses) {
    FreezeAt(10000.0f);
    view.options.Angle[0] = true;
    view.SigmaLevel = 4;
    session.profile->WindDirection(1, 0, 6) = 290.0f; // a turning of +20
    view.MeanFlowLevels = {2, 5};
    // Slanting outlines a degree apart, and a wind line along the top row.
    std::string outlines;
    for (int lon = 120; lon >= 74; --lon)
        outlines += "-53," + std::to_string(lon) + "\n22," + std::to_string(lon - 5) + "\n";
    MapGeography crossing;
    crossing.OutlinesFound = true;
    int skipped = 0;
    crossing.Outline = ParseMapOutlines(outlines, skipped);
    DataTableRow along{0.0f, {}};
    for (std::size_t p = 0; p < 4; ++p)
        along.Pairs[p] = DataPair{52.3f, 119.0f - 15.0f * static_cast<float>(p)};
    DataTableRow end = along;
    end.Key = 360.0f;
    DataTables lines;
    lines.Tables.push_back(DataTable{{along, end}});

    const auto draw = [&](RasterSurface& map, const MapGeography& geography,
                          const DataTables& tables) {
        RasterSurface buffer(437, 425);
        buffer.SetDesignSize(437, 425);
        DrawMapBackground(buffer, geography, *session.profile, kDefaultMapView);
        session.dataTables = tables;
        map.SetDesignSize(437, 425);
        RedrawMap(map, buffer.PersistentPicture(), session, view, wind);
        return map.Image();
    };
    for (const auto& [sigma, mean, bright] :
         {std::array{true, false, false}, std::array{false, true, false},
          std::array{false, false, true}}) {
        view.options.SigmaLevel = sigma;
        view.options.MeanFlow = mean;
        view.options.BrightBand = bright;
        RasterSurface crossed(437, 425), blank(437, 425), bare(437, 425);
        bare.SetTextPainting(RasterSurface::TextPainting::None);
        const QImage withLines = draw(crossed, crossing, lines);
        const QImage alone = draw(blank, MapGeography{}, DataTables{});
        const QImage linesOnly = draw(bare, crossing, lines);
        const std::vector<DrawnText>& texts = crossed.DrawnTexts();
        ASSERT_EQ(texts.size(), sigma ? 5u : mean ? 4u : 1u);
        for (const DrawnText& t : texts) {
            ASSERT_EQ(t.kind, TextKind::Value) << t.text;
            // The pixels wholly inside the box.
            const QRect box(QPoint(static_cast<int>(std::ceil(t.rect.left)),
                                   static_cast<int>(std::ceil(t.rect.top))),
                            QPoint(static_cast<int>(std::floor(t.rect.Right())) - 1,
                                   static_cast<int>(std::floor(t.rect.Bottom())) - 1));
            int crossedPixels = 0;
            int differing = 0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) {
                    crossedPixels += linesOnly.pixel(x, y) != qRgb(255, 255, 255);
                    differing += withLines.pixel(x, y) != alone.pixel(x, y);
                }
            EXPECT_GT(crossedPixels, 0) << t.text; // the lines do run through the box
            EXPECT_EQ(differing, 0) << t.text;
        }
    }
}

TEST_F(BrightBand, NoFreezingLevelOrOneBelowTheSiteDrawsNoRing) {
    view.options.Angle[0] = true;
    for (int L = 1; L <= 8; ++L) session.profile->Temperature(1, 0, L) = -5.0f;
    PlotBrightBand(pic, session, view);
    EXPECT_TRUE(pic.Operations().empty());
    // Above freezing up to the top level: no level above it to meet.
    for (int L = 1; L <= 8; ++L) session.profile->Temperature(1, 0, L) = 5.0f;
    PlotBrightBand(pic, session, view);
    EXPECT_TRUE(pic.Operations().empty());
    // A freezing level 1000 ft above the sea, the site at 2 km.
    FreezeAt(1000.0f);
    session.profile->StationElevation(1) = 2.0f;
    PlotBrightBand(pic, session, view);
    EXPECT_TRUE(pic.OperationsOf(Kind::Circle).empty());
    EXPECT_EQ(Texts(pic).size(), 1u);
}

// Redraw

TEST_F(Overlay, TheRedrawDrawsTheChosenOverlayOverTheBackground) {
    view.options.SigmaLevel = false;
    view.options.MeanFlow = false;
    RedrawMap(pic, Picture(), session, view, wind);
    EXPECT_EQ(pic.Operations().front().kind, Kind::SetPicture);
    EXPECT_TRUE(pic.OperationsOf(Kind::Line).empty());
    EXPECT_EQ(Texts(pic).size(), 2u); // the fetch texts only

    view.options.MeanFlow = true;
    pic.ForgetOperations();
    RedrawMap(pic, Picture(), session, view, wind);
    EXPECT_EQ(LinesOfWidth(pic, 4).size(), 3u);
    EXPECT_EQ(Texts(pic).size(), 4u);

    // Before a sounding is read only the background shows.
    session.profile->LevelCount(1) = 0;
    pic.ForgetOperations();
    RedrawMap(pic, Picture(), session, view, wind);
    ASSERT_EQ(pic.Operations().size(), 1u);
    EXPECT_EQ(pic.Operations().front().kind, Kind::SetPicture);
}

TEST_F(BrightBand, TheNotXorModeDoesNotLeakIntoTheNextRedraw) {
    FreezeAt(10000.0f);
    view.options.Angle[0] = true;
    view.options.BrightBand = true;
    RedrawMap(pic, Picture(), session, view, wind);
    EXPECT_EQ(pic.OperationsOf(Kind::Circle).size(), 2u);
    EXPECT_TRUE(pic.OperationsOf(Kind::Line).empty()); // rings only, no fetch
    EXPECT_EQ(Texts(pic).size(), 1u);

    view.options.BrightBand = false;
    view.options.SigmaLevel = true;
    pic.ForgetOperations();
    RedrawMap(pic, Picture(), session, view, wind);
    const auto lines = pic.OperationsOf(Kind::Line);
    ASSERT_FALSE(lines.empty());
    for (const auto& line : lines) EXPECT_EQ(line.state.drawMode, DrawMode::CopyPen);
}

} // namespace
} // namespace tarvex
