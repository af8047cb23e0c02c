#include "SampleSounding.h"
#include "platform/RasterSurface.h"
#include "profile/data/Session.h"
#include "profile/data/SoundingReader.h"
#include "profile/diagnostics/PrecipTypePanel.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

// The shipped winter sample (a warm layer aloft over a cold surface layer)
// drawn by both methods at the panel's size in the window, for a reviewer.
TEST(PrecipTypeRender, WinterSampleByBothMethods) {
    samples::SampleSpec spec;
    spec.site = "KALB";
    spec.atmosphere = samples::Atmosphere::WinterWarmNose;
    spec.times = 85;
    const fs::path path = fs::temp_directory_path() /
                          ("tarvex-ptype-render-" + std::to_string(::getpid()) + "-eta_KALB.buf");
    std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
    Session session;
    session.models.ModelCodes = {"eta"};
    ASSERT_TRUE(ReadSounding(session, path.string()).ok);
    fs::remove(path);

    const fs::path out(TARVEX_TEST_OUTPUT);
    fs::create_directories(out);
    RasterSurface pic(kPrecipTypeWidth, kPrecipTypeHeight);
    RasterSurface sleet(kSleetWidth, kSleetHeight);
    PrecipTypeBackgrounds backgrounds;
    for (int c : {20, 50, 20}) { // the second 20 on the kept chart
        PlotPrecipType(pic, sleet, session, static_cast<std::int16_t>(c), {false, 6}, backgrounds);
        EXPECT_TRUE(pic.Image().save(QString::fromStdString(
            (out / ("precip_type_energy_" + std::to_string(c) + ".png")).string())));
    }
    PlotPrecipType(pic, sleet, session, 20, {true, 12}, backgrounds);
    EXPECT_TRUE(
        pic.Image().save(QString::fromStdString((out / "precip_type_thickness.png").string())));
}

} // namespace
} // namespace tarvex
