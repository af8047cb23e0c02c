#include "profile/diagnostics/SoundingListing.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tarvex {
namespace {

struct ListedLevel {
    float p, t, td, rh, dir, kts;
};

std::unique_ptr<ProfileArrays> Store(const std::vector<ListedLevel>& levels) {
    auto s = std::make_unique<ProfileArrays>();
    const int m = s->CurrentModel;
    s->LevelCount(m) = static_cast<std::uint16_t>(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        const ListedLevel& L = levels[i];
        s->Pressure(m, 0, k) = L.p;
        s->Temperature(m, 0, k) = L.t;
        s->DewPoint(m, 0, k) = L.td;
        s->RelativeHumidity(m, 0, k) = L.rh;
        s->WindDirection(m, 0, k) = L.dir;
        s->WindSpeed(m, 0, k) = L.kts;
    }
    s->Precip(m, 0) = 0.12f;
    s->PrecipTotal(m, 0) = 1.5f;
    return s;
}

// The texts printed, blank line ends left out, top to bottom.
std::vector<std::string> Lines(const ProfileArrays& s) {
    RecordingSurface pic(440, 480);
    PrintSoundingData(pic, s, 0);
    std::vector<std::string> lines;
    double y = -1.0;
    for (const DrawOperation& op : pic.OperationsOf(DrawOperation::Kind::Text)) {
        if (op.text.empty()) continue;
        EXPECT_GT(op.y1, y) << op.text; // each on a line below the last
        y = op.y1;
        lines.push_back(op.text);
    }
    return lines;
}

TEST(SoundingListing, HighestLevelFirstInAlignedColumns) {
    const auto s = Store({{1000, 15.04f, 10, 72.4f, 275.4f, 12.6f},
                          {850, -1.45f, -8.15f, 60, 290, 25.4f}, // halves as decimals
                          {500, -12.26f, -30, 20, 300, 60}});
    const std::vector<std::string> expected = {
        "  Pres   Temp  Dewpt    RH   Dir  Speed", "   500  -12.3  -30.0    20   300     60",
        "   850   -1.5   -8.2    60   290     25", "  1000   15.0   10.0    72   275     13",
        "Precipitation:  0.120 Hr     1.500 Total"};
    EXPECT_EQ(Lines(*s), expected);
}

TEST(SoundingListing, AtMostTheLowestTwentyNineLevels) {
    std::vector<ListedLevel> forty;
    for (int k = 0; k < 40; ++k) forty.push_back({1000.0f - 20.0f * k, 0, 0, 50, 0, 0});
    const std::vector<std::string> lines = Lines(*Store(forty));
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[1].substr(0, 6), "   440"); // level 29
    EXPECT_EQ(lines[29].substr(0, 6), "  1000");

    const std::vector<std::string> empty = Lines(*Store({}));
    ASSERT_EQ(empty.size(), 2u); // heading and precipitation
    EXPECT_EQ(empty[1], "Precipitation:  0.120 Hr     1.500 Total");
}

// The longest listing at the sizes the window gives the picture, from the
// least window to one maximised on a 1920 x 1200 screen: every line whole
// inside the picture, the precipitation totals at the foot included.
TEST(SoundingListing, TheLongestListingFitsEveryPictureSize) {
    std::vector<ListedLevel> levels;
    for (int k = 0; k < kListedLevels; ++k)
        levels.push_back({1000.0f - 25.0f * k, -55.5f, -66.6f, 100, 355, 155});
    const auto s = Store(levels);
    s->Precip(s->CurrentModel, 0) = 9.999f;
    s->PrecipTotal(s->CurrentModel, 0) = 99.999f;
    for (const int width : {572, 696, 904, 1123, 1404, 1650})
        for (const int height : {290, 291, 367, 433, 521, 577, 640}) {
            RecordingSurface pic(width, height);
            PrintSoundingData(pic, *s, 0);
            EXPECT_TRUE(TextIsReadable(pic)) << width << " x " << height;
            EXPECT_TRUE(NothingLeftOut(pic)) << width << " x " << height;
        }
}

} // namespace
} // namespace tarvex
