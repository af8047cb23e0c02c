#include "compute/StormMatrix.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/EverySampleHour.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "platform/TextPixels.h"
#include "profile/diagnostics/FogChart.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/IndicesPanel.h"
#include "profile/diagnostics/LapseRates.h"
#include "profile/diagnostics/PrecipTypePanel.h"
#include "profile/diagnostics/SoundingListing.h"
#include "profile/diagnostics/StormMatrixSketch.h"
#include "profile/diagnostics/StormType.h"
#include "profile/diagrams/HodographDiagram.h"
#include "profile/diagrams/MapDiagram.h"
#include "profile/ui/ConvectionPanel.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/LakeEffectPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

using test::ModelOfSample;
using test::ShippedSamples;

// The size of a picture in the window and the size its text is designed for.
struct PanelSize {
    int width = 0;
    int height = 0;
    double designWidth = 0.0;
    double designHeight = 0.0;
};

PanelSize SizeOf(const PictureBox* box) {
    const PictureSurface& s = box->Surface();
    return {s.PixelWidth(), s.PixelHeight(), s.DesignWidth(), s.DesignHeight()};
}

// The lower pictures' sizes in the main window at one window size: each
// display's picture, the sleet panel and the storm-matrix sketch.
struct WindowSizes {
    std::string name;
    std::vector<PanelSize> display; // by display mode 0..8
    PanelSize sleet;
    PanelSize reason;
};

// The window sizes the panels are tried at, by name: the least, one on a
// 1280 x 800 screen and the size the window opens at.
std::vector<std::pair<std::string, QSize>> TriedSizes(const FrmProfile& w) {
    return {{"the least size", w.minimumSizeHint().expandedTo(w.minimumSize())},
            {"1272 x 768", QSize(1272, 768)},
            {"the default size", w.size()}};
}

std::vector<WindowSizes> MeasureWindowSizes() {
    Session session;
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    w.show();
    w.btnControl_Click(4); // the storm-matrix sketch
    auto* sleet = w.findChild<PictureBox*>("picSleet");
    auto* reason = w.findChild<PictureBox*>("picReason");
    const std::vector<PictureBox*> boxes = {w.picProfile,    w.picMap,   w.frameHodograph,
                                            w.picIndices,    w.picCape,  w.picMBE,
                                            w.picPrecipType, w.picLapse, w.picFog};
    std::vector<WindowSizes> sizes;
    for (const auto& [name, size] : TriedSizes(w)) {
        w.resize(size);
        WindowSizes measured{name, {}, {}, SizeOf(reason)};
        for (std::size_t mode = 0; mode < boxes.size(); ++mode) {
            w.btnDisplay[mode]->click();
            measured.display.push_back(SizeOf(boxes[mode]));
        }
        // The sleet panel keeps its own size.
        measured.sleet = {sleet->width(), sleet->height(), sleet->Surface().DesignWidth(),
                          sleet->Surface().DesignHeight()};
        sizes.push_back(measured);
    }
    return sizes;
}

// A recording surface of a picture's size in the window.
class Panel : public RecordingSurface {
  public:
    explicit Panel(const PanelSize& size) : RecordingSurface(size.width, size.height) {
        SetDesignSize(size.designWidth, size.designHeight);
    }
};

// The map's wind drawings: the sigma level's lines, the mean flow's lines
// and the bright-band rings of every beam angle.
std::array<SoundingView, 3> MapViews() {
    std::array<SoundingView, 3> views;
    views[1].options.SigmaLevel = false;
    views[1].options.MeanFlow = true;
    views[2].options.BrightBand = true;
    views[2].options.Angle.fill(true);
    return views;
}

// Every shipped sample, every hour, every lower display at the least window
// size, 1272 x 768 and the default size, drawn as the window draws them:
// no value, verdict, caption or unit is left out or cut, and no text stands
// over another. The sleet panel is drawn at every hour too, whatever the
// hour's type. Drawn on raster surfaces, each loses no pixel to its texts
// outside their boxes, and nothing covers a value; so do the map (each wind
// drawing over the background, whose city names stand on the map as its
// texts, none over another) and the hodograph at the sizes of the Map and
// Hodograph displays.
TEST(PanelsOverSamples, EveryLowerDisplayOfEveryHourIsReadable) {
    test::TextPixelCounts pixelCounts;
    test::TextPixelCounts mapCounts; // the map's and the hodograph's
    long cityNames = 0;              // on the maps checked
    const std::vector<fs::path> files = ShippedSamples();
    ASSERT_GE(files.size(), 12u);
    const std::vector<WindowSizes> sizes = MeasureWindowSizes();
    const MapGeography geography = ReadMapFiles(TARVEX_SHIPPED_DATA);
    ASSERT_FALSE(geography.Cities.empty());
    const std::array<SoundingView, 3> mapViews = MapViews();
    const HodographView hodograph;
    const auto raster = [](const PanelSize& p) {
        return test::PictureSize{p.width, p.height, p.designWidth, p.designHeight};
    };

    for (const fs::path& file : files) {
        Session session;
        session.models.ModelCodes = {ModelOfSample(file)};
        session.config.LapseTopPressure = "300";
        ASSERT_TRUE(ReadSounding(session, file.string()).ok) << file;
        const ProfileArrays& s = *session.profile;
        const int last = s.LastTime(s.CurrentModel);
        for (const WindowSizes& at : sizes) {
            std::vector<std::unique_ptr<Panel>> owned;
            for (const PanelSize& size : at.display) owned.push_back(std::make_unique<Panel>(size));
            auto panels = [&owned](std::size_t mode) -> Panel& { return *owned[mode]; };
            Panel sleet(at.sleet);
            Panel reason(at.reason);
            PrecipTypeBackgrounds backgrounds;
            // The raster pictures' fixed parts, for each of the three
            // drawings of the check in turn.
            std::array<PrecipTypeBackgrounds, 3> rasterBackgrounds;
            int rasterDrawing = 0;
            test::TextPixelSurfaces rasterSurfaces;
            // The map's background (outlines, cities and their names), drawn
            // as the map panel draws it; each hour's map is drawn over it,
            // its names standing on the map as its own texts.
            const MapExtent mapView = UsableMapView(session.history.MapView);
            const test::TextPixelBackgrounds mapBackgrounds =
                test::DrawTextPixelBackgrounds(raster(at.display[1]), [&](RasterSurface& b) {
                    DrawMapBackground(b, geography, s, mapView);
                });
            test::TextPixelSurfaces mapSurfaces;
            for (int hour = 0; hour <= last; ++hour) {
                const auto c = static_cast<std::int16_t>(hour);
                const std::string where =
                    file.filename().string() + " hour " + std::to_string(hour) + " at " + at.name;
                auto check = [&](Panel& pic, const char* display) {
                    EXPECT_TRUE(TextIsReadable(pic)) << display << ", " << where;
                    EXPECT_TRUE(NothingLeftOut(pic)) << display << ", " << where;
                    pic.ForgetOperations();
                };
                PrintSoundingData(panels(0), s, c);
                check(panels(0), "Data");
                PrintIndices(panels(3), session, c);
                check(panels(3), "Indices");
                PlotCapeShear(panels(4), session, c, kCapeAxisTopStart);
                check(panels(4), "Storm Type");
                PlotMBE(panels(5), session, c, kMbeScaleStart);
                check(panels(5), "Heavy Pcp");
                for (const bool thickness : {false, true}) {
                    PlotPrecipType(panels(6), sleet, session, c, PrecipTypeChoice{thickness, 6},
                                   backgrounds);
                    check(panels(6),
                          thickness ? "Precip Type (thickness)" : "Precip Type (energy)");
                }
                PrintLapseRates(panels(7), session, c);
                check(panels(7), "Lapse Rates");
                PlotFog(panels(8), session, c);
                check(panels(8), "Fog");
                PlotSleet(sleet, session, c);
                check(sleet, "Sleet");
                StormMatrixResults& matrix = *session.matrix;
                if (matrix.MatrixEntryReady(s.CurrentModel, c) == kFlagFalse)
                    MakeMatrixEntry(s, c, session.config.MediaDrive, matrix);
                ShowTrainingMatrix(reason, session, c);
                check(reason, "KESTIR");
                std::vector<test::PictureSize> rasters;
                for (const std::size_t mode : {0, 3, 4, 5, 6, 6, 7, 8})
                    rasters.push_back(raster(at.display[mode]));
                rasters.push_back(raster(at.sleet));
                rasters.push_back(raster(at.reason));
                const auto pixels = test::TextsCostNoPixels(
                    rasters,
                    [&](const std::vector<RasterSurface*>& p) {
                        PrintSoundingData(*p[0], s, c);
                        PrintIndices(*p[1], session, c);
                        PlotCapeShear(*p[2], session, c, kCapeAxisTopStart);
                        PlotMBE(*p[3], session, c, kMbeScaleStart);
                        PrecipTypeBackgrounds& fixed = rasterBackgrounds[rasterDrawing++ % 3];
                        for (const bool thickness : {false, true})
                            PlotPrecipType(*p[4 + thickness], *p[8], session, c,
                                           PrecipTypeChoice{thickness, 6}, fixed);
                        PrintLapseRates(*p[6], session, c);
                        PlotFog(*p[7], session, c);
                        PlotSleet(*p[8], session, c);
                        ShowTrainingMatrix(*p[9], session, c);
                    },
                    &pixelCounts, &rasterSurfaces);
                EXPECT_TRUE(pixels) << where;
                const std::vector<test::PictureSize> mapAndHodograph = {
                    raster(at.display[1]), raster(at.display[1]), raster(at.display[1]),
                    raster(at.display[2])};
                const auto shown = test::TextsCostNoPixels(
                    mapAndHodograph,
                    [&](const std::vector<RasterSurface*>& p) {
                        for (std::size_t k = 0; k < mapViews.size(); ++k) {
                            SoundingView view = mapViews[k];
                            view.CurrentColumn = c;
                            MapWindState wind;
                            RedrawMap(*p[k], mapBackgrounds.For(*p[k]), session, view, wind);
                        }
                        const double R = hodograph.HodoRange;
                        p[3]->Scale(-R, R, R, -R);
                        PlotHodograph(*p[3], session, hodograph, c);
                    },
                    &mapCounts, &mapSurfaces);
                EXPECT_TRUE(shown) << "Map and Hodograph, " << where;
                // The map's texts, its city names among them, stand apart,
                // and no value gave way.
                for (std::size_t k = 0; k < mapViews.size(); ++k) {
                    const RasterSurface& map = *mapSurfaces.usual[k];
                    EXPECT_TRUE(TextIsReadable(map)) << "Map " << k << ", " << where;
                    EXPECT_TRUE(NoValueLeftOut(map)) << "Map " << k << ", " << where;
                    cityNames +=
                        std::ranges::count(map.DrawnTexts(), TextKind::Repeat, &DrawnText::kind);
                }
            }
        }
    }
    EXPECT_GT(pixelCounts.pictures, 10 * 3 * 12 * 50L);
    EXPECT_GT(pixelCounts.values, 20 * pixelCounts.pictures);
    EXPECT_EQ(mapCounts.pictures, 4 * (pixelCounts.pictures / 10));
    EXPECT_GT(mapCounts.values, 4 * mapCounts.pictures);
    EXPECT_GT(mapCounts.textPixels, 100 * mapCounts.pictures);
    EXPECT_GT(cityNames, 20L * 3 * (mapCounts.pictures / 4));
}

// The lake-effect and convection panels' values over every shipped sample
// at the three window sizes, every sixth hour and the last: each stands
// whole in its label (blanks after it may run past its end).
TEST(PanelsOverSamples, LakeAndConvectionValuesStandWholeInTheirLabels) {
    Session session;
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    w.show();
    const auto sizes = TriedSizes(w);
    const std::vector<QWidget*> panels = {w.lakePanel(), w.convectionPanel()};
    int checked[2] = {0, 0}; // values seen in each panel
    for (const fs::path& file : ShippedSamples()) {
        session.models.ModelCodes = {ModelOfSample(file)};
        ASSERT_TRUE(w.LoadSoundingFile(file.string())) << file;
        const ProfileArrays& s = *session.profile;
        const int last = s.LastTime(s.CurrentModel);
        for (const auto& [name, size] : sizes) {
            w.resize(size);
            for (const int panel : {0, 3}) {
                w.btnControl_Click(panel);
                if (panel == 3 && !w.chkECAPE->isChecked()) w.chkECAPE->click();
                for (int hour = 0; hour <= last;
                     hour += hour + 6 > last && hour < last ? last - hour : 6) {
                    w.vsbHour->setValue(hour);
                    if (panel == 3)
                        w.ShowCursorReadout(0, 0, 0.0,
                                            std::log(s.Pressure(s.CurrentModel, hour, 3) + 0.5));
                    for (const QLabel* label : panels[panel == 3]->findChildren<QLabel*>()) {
                        if (!label->isVisible() || label->text().isEmpty()) continue;
                        ++checked[panel == 3];
                        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text().trimmed()),
                                  label->contentsRect().width())
                            << '"' << label->text().toStdString() << "\" in "
                            << label->objectName().toStdString() << ", " << file.filename()
                            << " hour " << hour << " at " << name;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked[0], 1000);
    EXPECT_GT(checked[1], 1000);
}

} // namespace
} // namespace tarvex
