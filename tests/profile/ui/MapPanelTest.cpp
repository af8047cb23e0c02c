#include "profile/ui/MapPanel.h"

#include "SampleSounding.h"
#include "files/ConfigFile.h"
#include "files/DataFile.h"
#include "files/Session.h"
#include "files/SoundingFiles.h"
#include "files/SoundingReader.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

// The files shipped beside the program.
fs::path ShippedData() {
    return fs::path(TARVEX_SHIPPED_DATA);
}

// A shipped site's sample sounding read into a session set up as the
// program sets itself up from the shipped configuration and data file,
// shown on a map panel of the program's size.
class MapPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tarvex-map-panel-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        ASSERT_TRUE(ReadConfig(ShippedData(), "tarvex", session_.config).ok);
        ASSERT_TRUE(ReadTarvexDat(ShippedData(), session_.dataTables).ok);
        picMap_.resize(437, 425);
        picMap_.show();
        panel_ = std::make_unique<MapPanel>(
            session_, view_, &picMap_, [this](const std::string& word) { words_.push_back(word); },
            ShippedData());
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Read(const std::string& layout, const std::string& site, float lat, float lon,
              samples::Atmosphere atmosphere, int hoursPerTime) {
        samples::SampleSpec spec;
        spec.layout = layout;
        spec.site = site;
        spec.lat = lat;
        spec.lon = lon;
        spec.atmosphere = atmosphere;
        spec.times = 13;
        spec.hoursPerTime = hoursPerTime;
        const fs::path path = folder_ / (layout + "_" + site + ".buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        session_.models.ModelCodes = {layout};
        session_.profile->ModelChoice = 0;
        session_.parameters = *ParametersForModelCode(layout);
        ASSERT_TRUE(ReadSounding(session_, path.string()).ok);
        view_.CurrentColumn = 6;
        view_.SigmaLevel = 12;
        view_.MeanFlowLevels = {1, 16};
        panel_->LoadMapFiles();
    }

    void Save(const std::string& name) const {
        const fs::path out = fs::path(TARVEX_TEST_OUTPUT);
        fs::create_directories(out);
        ASSERT_TRUE(picMap_.Surface().Image().save(QString::fromStdString((out / name).string())));
    }

    QColor PixelAt(double x, double y) const {
        const RasterSurface& pic = picMap_.Surface();
        return QColor(pic.Image().pixel(static_cast<int>(pic.ToPixelX(x)),
                                        static_cast<int>(pic.ToPixelY(y))));
    }

    fs::path folder_;
    Session session_;
    SoundingView view_;
    PictureBox picMap_;
    std::unique_ptr<MapPanel> panel_;
    std::vector<std::string> words_;
};

TEST_F(MapPanelTest, TheShippedGeographyDrawsRoundTheSite) {
    Read("eta", "KBUF", 42.94f, -78.72f, samples::Atmosphere::LakeEffectCold, 1);
    const MapGeography& geography = panel_->Geography();
    EXPECT_TRUE(geography.OutlinesFound);
    EXPECT_TRUE(geography.CitiesFound);
    EXPECT_EQ(geography.SkippedRecords, 0);
    EXPECT_GT(geography.Outline.size(), 1000u);
    EXPECT_GT(geography.Cities.size(), 50u);
    view_.options.SigmaLevel = true;
    panel_->RedrawMap();
    Save("map_KBUF_sigma_level.png");
    // The site dot is red, the shore of Lake Erie off Buffalo is drawn.
    EXPECT_EQ(PixelAt(78.72, 42.94), QColor(255, 0, 0));
    EXPECT_EQ(picMap_.Surface().PixelWidth(), panel_->picMapBuffer().PixelWidth());
}

// The hour's label is drawn whole after an hour change and after a click,
// however often the map is drawn again.
TEST_F(MapPanelTest, TheHoursLabelIsDrawnAfterEachRedraw) {
    Read("gfs3", "KAPX", 44.91f, -84.72f, samples::Atmosphere::LakeEffectCold, 3);
    view_.options.SigmaLevel = true;
    const RasterSurface& pic = picMap_.Surface();
    auto label = [&] {
        for (const DrawnText& drawn : pic.DrawnTexts())
            if (drawn.text.find(" mb Wind = ") != std::string::npos)
                return pic.LeftOutTexts().empty();
        return false;
    };
    panel_->RedrawMap();
    EXPECT_TRUE(label());
    for (int hour : {7, 8, 7}) {
        view_.CurrentColumn = static_cast<std::int16_t>(hour);
        panel_->RedrawMap();
        EXPECT_TRUE(label()) << hour;
    }
    panel_->picMap_MouseDown(1, 0, 85.0, 45.0);
    EXPECT_TRUE(label());
}

TEST_F(MapPanelTest, ClicksZoomAboutThePointAndRedraw) {
    Read("gfs3", "KAPX", 44.91f, -84.72f, samples::Atmosphere::LakeEffectCold, 3);
    view_.options.SigmaLevel = false;
    view_.options.MeanFlow = true;
    panel_->picMap_MouseDown(1, 0, 85.0, 45.0);
    panel_->picMap_MouseDown(1, 0, 85.0, 45.0);
    panel_->picMap_MouseDown(1, 0, 85.0, 45.0);
    const MapExtent& view = session_.history.MapView;
    EXPECT_NEAR(view[2] - view[0], -51.0 * 0.343, 1e-3);
    EXPECT_NEAR((view[0] + view[2]) / 2.0, 85.0, 1e-4);
    EXPECT_EQ(words_, (std::vector<std::string>{"MAP", "MAP", "MAP"}));
    EXPECT_EQ(picMap_.Surface().ScaleLeft(), view[0]);
    Save("map_KAPX_mean_flow_zoomed.png");
    EXPECT_EQ(PixelAt(84.72, 44.91), QColor(255, 0, 0));
    // A click of another button widens the view again.
    panel_->picMap_MouseDown(2, 0, 85.0, 45.0);
    EXPECT_NEAR(session_.history.MapView[2] - session_.history.MapView[0], -51.0 * 0.49, 1e-3);
}

TEST_F(MapPanelTest, BrightBandRingsRoundAWinterSite) {
    Read("ngm", "KALB", 42.75f, -73.80f, samples::Atmosphere::WinterWarmNose, 3);
    session_.history.MapView = {80.5f, 46.5f, 67.5f, 39.0f};
    panel_->LoadMapFiles();
    view_.options.BrightBand = true;
    view_.options.Angle = {true, true, false, false, false};
    panel_->RedrawMap();
    Save("map_KALB_bright_band.png");
    EXPECT_EQ(PixelAt(73.80, 42.75), QColor(255, 0, 0)); // the ring leaves the centre alone
}

TEST_F(MapPanelTest, ADamagedViewOrMissingFilesDoNotStopThePanel) {
    session_.history.MapView = {0, 0, 0, 0};
    MapPanel bare(session_, view_, &picMap_, {}, folder_); // no map files there
    bare.LoadMapFiles();
    EXPECT_EQ(session_.history.MapView, kDefaultMapView);
    EXPECT_FALSE(bare.Geography().OutlinesFound);
    bare.RedrawMap();
    bare.picMap_MouseDown(1, 0, 95.0, 38.0);
    EXPECT_NEAR(session_.history.MapView[0], 112.85, 1e-4);

    // Records that cannot be read are reported once, however often the
    // files are read again: two bad pairs and one bad city line.
    std::ofstream(folder_ / "TarVex.Map") << "45.0,80.0\nx,y\n44.0,79.0\n91,400\n";
    std::ofstream(folder_ / "TarVex.CTY") << "43.0,79.0,\"Here\"\nno position\n";
    std::vector<std::string> messages;
    bare.SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    bare.LoadMapFiles();
    bare.LoadMapFiles();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The map files \"TarVex.Map\" and \"TarVex.CTY\" hold 3 records that "
                           "cannot be read (not a latitude and a longitude); the map is drawn "
                           "without them.");
}

} // namespace
} // namespace tarvex

namespace tarvex {
namespace {

// A sounding read with the map not shown leaves the files unread: they are
// read (and a damaged record reported) when the map is drawn or the overview
// asks for the geography, and read again after the next sounding.
TEST_F(MapPanelTest, FilesWaitUntilTheMapIsDrawn) {
    session_.history.MapView = {0, 0, 0, 0};
    std::ofstream(folder_ / "TarVex.Map") << "45.0,80.0\nx,y\n44.0,79.0\n";
    std::ofstream(folder_ / "TarVex.CTY").flush(); // no cities, but a file: no message of its own
    MapPanel panel(session_, view_, &picMap_, {}, folder_);
    std::vector<std::string> messages;
    panel.SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    panel.SoundingRead();
    EXPECT_EQ(session_.history.MapView, kDefaultMapView); // the view is mended at once
    EXPECT_TRUE(messages.empty());
    panel.RedrawMap();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(panel.Geography().OutlinesFound);
    fs::remove(folder_ / "TarVex.Map");
    EXPECT_TRUE(panel.Geography().OutlinesFound); // no new sounding: the files stand
    panel.SoundingRead();
    EXPECT_FALSE(panel.Geography().OutlinesFound);
}

} // namespace
} // namespace tarvex
