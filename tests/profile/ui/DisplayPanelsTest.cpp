#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "profile/diagnostics/SoundingListing.h"
#include "profile/ui/FrmProfile.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <unistd.h>

namespace tarvex {
namespace {

// The main window at the benchmark's size with a generated eta run loaded.
class DisplayPanels : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("tarvex-panels-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
        samples::SampleSpec spec;
        spec.times = 12;
        spec.levels = 67;
        std::ofstream(path_, std::ios::binary) << samples::MakeSoundingText(spec);
        session_.models.ModelCodes = {"eta"};
        session_.config.LapseTopPressure = "300";
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->resize(1280, 960);
        window_->show();
        ASSERT_TRUE(window_->LoadSoundingFile(path_.string()));
        window_->vsbHour->setValue(6);
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove(path_);
    }

    // Colours found on a picture.
    static std::set<QRgb> Colours(const QImage& image) {
        std::set<QRgb> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) found.insert(image.pixel(x, y) | 0xFF000000u);
        return found;
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
    std::filesystem::path path_;
};

TEST_F(DisplayPanels, EachButtonShowsItsPanelDrawnForTheHour) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    struct Mode {
        int index;
        PictureBox* surface;
        const char* png;
        std::vector<QRgb> colours; // text or bar colours the panel must show
    };
    const std::vector<Mode> modes = {
        {0,
         window_->picProfile,
         "panel_data.png", // down to the precipitation line
         {qRgb(255, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 0)}},
        {3, window_->picIndices, "panel_indices.png", {qRgb(255, 0, 0), qRgb(127, 127, 255)}},
        {7, window_->picLapse, "panel_lapse_rates.png", {qRgb(255, 255, 255), qRgb(0, 255, 0)}}};
    for (const Mode& mode : modes) {
        window_->btnDisplay[static_cast<std::size_t>(mode.index)]->click();
        EXPECT_TRUE(mode.surface->isVisible()) << mode.png;
        const QImage& image = mode.surface->Surface().Image();
        const std::set<QRgb> found = Colours(image);
        EXPECT_TRUE(found.count(qRgb(0, 0, 0))) << mode.png; // black background
        // Smoothed text shows its colour whole on its stems, or blended a
        // little with the black behind it.
        for (QRgb colour : mode.colours)
            EXPECT_TRUE(std::ranges::any_of(found,
                                            [colour](QRgb pixel) {
                                                const int apart = std::max(
                                                    {std::abs(qRed(pixel) - qRed(colour)),
                                                     std::abs(qGreen(pixel) - qGreen(colour)),
                                                     std::abs(qBlue(pixel) - qBlue(colour))});
                                                return apart <= 48;
                                            }))
                << mode.png << " " << std::hex << colour;
        ASSERT_TRUE(image.save(QString::fromStdString((out / mode.png).string())));
        EXPECT_TRUE(TextIsReadable(mode.surface->Surface())) << mode.png;
        EXPECT_TRUE(NothingLeftOut(mode.surface->Surface())) << mode.png;
    }

    // What each panel prints is the hour's: the listing ends with the
    // lowest level and the precipitation, the indices start with the CAPE,
    // the lapse-rate table has a cell for every pair of its levels.
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = 6;
    auto texts = [this](int mode, PictureBox* box) {
        window_->btnDisplay[static_cast<std::size_t>(mode)]->click();
        std::vector<std::string> found;
        for (const DrawnText& text : box->Surface().DrawnTexts()) found.push_back(text.text);
        return found;
    };
    const std::vector<std::string> listing = texts(0, window_->picProfile);
    ASSERT_EQ(listing.size(), 1u + kListedLevels + 1u);
    // The listing's levels end where the heading ends (its columns aligned),
    // each line one under the last, the totals inside the picture.
    const std::vector<DrawnText>& rows = window_->picProfile->Surface().DrawnTexts();
    for (std::size_t k = 1; k < rows.size(); ++k) {
        if (k + 1 < rows.size()) {
            EXPECT_NEAR(rows[k].rect.Right(), rows[0].rect.Right(), 1.0) << rows[k].text;
        }
        EXPECT_NEAR(rows[k].rect.top - rows[k - 1].rect.top, rows[0].rect.height, 1.0)
            << rows[k].text;
    }
    EXPECT_LE(rows.back().rect.Bottom(), window_->picProfile->Surface().PixelHeight());
    EXPECT_EQ(listing[kListedLevels].substr(0, 13),
              FormatRight(s.Pressure(m, t, 1), "0", 6) +
                  FormatRight(s.Temperature(m, t, 1), "0.0", 7));
    EXPECT_EQ(listing.back().substr(0, 21),
              "Precipitation:  " + FormatRight(s.Precip(m, t), "0.000", 5));
    const std::vector<std::string> indices = texts(3, window_->picIndices);
    ASSERT_FALSE(indices.empty());
    EXPECT_EQ(indices[0], "  CAPE " + std::to_string(std::lround(s.CAPE(m, t))));
    const std::vector<std::string> lapse = texts(7, window_->picLapse);
    const int levels = (50 * static_cast<int>(s.SurfacePressure(m, t) / 50) - 300) / 50 + 1;
    EXPECT_EQ(std::ranges::count_if(lapse,
                                    [](const std::string& text) {
                                        return std::regex_match(text,
                                                                std::regex(" ?-?[0-9]+\\.[0-9]"));
                                    }),
              levels * (levels - 1) / 2);
}

TEST_F(DisplayPanels, ChangedThresholdRecoloursTheGaugeAtTheNextRedraw) {
    window_->btnDisplay[3]->click();
    // The CAPE gauge, a little right of its start, in the middle of row 0.
    const auto gauge = [this] {
        const QImage& image = window_->picIndices->Surface().Image();
        return image.pixel(image.width() * 55 / 150, image.height() * 45 / 3200) | 0xFF000000u;
    };
    auto& cape = session_.history.IndexThresholds[0];
    cape = {-1e6f, 1e6f, 2e6f, 3e6f}; // any CAPE is green, a sixth long
    window_->ShowHour();
    EXPECT_EQ(gauge(), qRgb(0, 255, 0));
    cape = {-3, -2, -1, 1e6f}; // any CAPE is red
    window_->ShowHour();
    EXPECT_EQ(gauge(), qRgb(255, 0, 0));
}

TEST_F(DisplayPanels, TwoSidedIndicesShowSevenThresholdBoxes) {
    window_->FillIndexList();
    window_->btnControl_Click(1);
    window_->lstIndices->setCurrentRow(6);
    EXPECT_TRUE(window_->txtIndices[6]->isVisible());
    EXPECT_EQ(window_->txtIndices[6]->text().toStdString(), "11000");
    window_->lstIndices->setCurrentRow(7);
    EXPECT_TRUE(window_->txtIndices[3]->isVisible());
    EXPECT_FALSE(window_->txtIndices[4]->isVisible());
}

} // namespace
} // namespace tarvex
