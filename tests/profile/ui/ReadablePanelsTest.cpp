#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "platform/ReadableText.h"
#include "profile/diagrams/WindColumn.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <unistd.h>

namespace tarvex {
namespace {

// The main window's pictures read as a forecaster sees them: at the least
// window size, on a 1280 x 800 screen and on 1920 x 1200 (each less a usual
// window frame), every text of every display lies inside its picture, over
// no other text, at 8 pixels or more, and none of the values is left out.
class ReadablePanels : public ::testing::TestWithParam<samples::Atmosphere> {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("tarvex-readable-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
        samples::SampleSpec spec;
        spec.times = 12;
        spec.atmosphere = GetParam();
        std::ofstream(path_, std::ios::binary) << samples::MakeSoundingText(spec);
        session_.models.ModelCodes = {"eta"};
        session_.config.LapseTopPressure = "300";
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->show();
        ASSERT_TRUE(window_->LoadSoundingFile(path_.string()));
        // One hour of high CAPE, for the storm-matrix sketch's mean
        // dew-point depression.
        ProfileArrays& s = *session_.profile;
        s.CAPE(s.CurrentModel, kHighCapeHour) = 3000.0f;
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove(path_);
    }

    // Checks the picture of the display shown; the map alone leaves out
    // names that would cover others, by design.
    void Check(PictureBox* box, const std::string& what, bool mayLeaveOut = false) {
        if (!box->isVisible()) return;
        const PictureSurface& s = box->Surface();
        SCOPED_TRACE(what + " at " + std::to_string(s.PixelWidth()) + " x " +
                     std::to_string(s.PixelHeight()));
        EXPECT_TRUE(TextIsReadable(s));
        if (!mayLeaveOut) {
            EXPECT_TRUE(NothingLeftOut(s));
        }
    }

    void EveryDisplay();

    static constexpr int kHighCapeHour = 6;

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
    std::filesystem::path path_;
};

void ReadablePanels::EveryDisplay() {
    FrmProfile& w = *window_;
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    auto* method = w.findChild<QPushButton*>("btnPrecipType");
    auto* sleet = w.findChild<PictureBox*>("picSleet");
    auto* reason = w.findChild<PictureBox*>("picReason");
    ASSERT_TRUE(method && sleet && reason);
    w.btnControl_Click(4); // the storm-matrix sketch follows every hour
    for (const QSize size : {least, QSize(1272, 768), QSize(1912, 1168)}) {
        w.resize(size);
        for (int hour : {0, 6, 11}) {
            w.vsbHour->setValue(hour);
            const std::string at = " hour " + std::to_string(hour);
            for (int mode : {0, 1, 2, 3, 4, 5, 7, 8}) {
                w.btnDisplay[static_cast<std::size_t>(mode)]->click();
                for (PictureBox* box : {w.picProfile, w.picMap, w.frameHodograph, w.picIndices,
                                        w.picCape, w.picMBE, w.picLapse, w.picFog}) {
                    Check(box, box->objectName().toStdString() + at, box == w.picMap);
                }
            }
            w.btnDisplay[6]->click();
            for (int k = 0; k < 2; ++k) {
                const std::string how = method->text().toStdString() == "Thickness"
                                            ? " energy method"
                                            : " thickness method";
                Check(w.picPrecipType, "picPrecipType" + how + at);
                Check(sleet, "picSleet" + at);
                method->click();
            }
            Check(reason, "picReason" + at);
            // At high CAPE the sketch shows the mean depression with its
            // value (or the mark of none), whole.
            const bool meanShown =
                std::ranges::any_of(reason->Surface().DrawnTexts(), [](const DrawnText& t) {
                    return std::regex_match(t.text, std::regex("Mean DPD: ?(-?[0-9]+|---) "));
                });
            EXPECT_EQ(meanShown, hour == kHighCapeHour) << "picReason" << at;
        }
    }
}

TEST_P(ReadablePanels, EveryDisplayAtTheThreeWindowSizes) {
    EveryDisplay();
}

// The digital winds on a 1280 x 800 screen at the default interval: where
// levels crowd, the values of one that would cover another give way, and
// every 100 mb of the sounding keeps some.
TEST_P(ReadablePanels, DigitalWindsStandApartOnASmallScreen) {
    FrmProfile& w = *window_;
    w.resize(1272, 768);
    if (!w.chkWindDigital->isChecked()) w.chkWindDigital->click();
    const PictureSurface& pic = w.picData->Surface();
    const ProfileArrays& s = *session_.profile;
    const double lnTop = std::log(static_cast<double>(s.DiagramTopPressure));
    const double lnBottom = std::log(static_cast<double>(s.DiagramBottomPressure));
    for (int hour : {0, 6, 11}) {
        w.vsbHour->setValue(hour);
        SCOPED_TRACE("hour " + std::to_string(hour));
        std::vector<DrawnText> winds;
        std::vector<double> speedPressures;
        for (const DrawnText& t : pic.DrawnTexts()) {
            for (const double x : {kDigitalDirectionX, kDigitalSpeedX}) {
                if (std::abs(t.rect.left - x / 100.0 * pic.PixelWidth()) > 4.0) continue;
                winds.push_back(t);
                const double middle = (t.rect.top + t.rect.height / 2) / pic.PixelHeight();
                if (x == kDigitalSpeedX)
                    speedPressures.push_back(std::exp(lnTop + middle * (lnBottom - lnTop)));
            }
        }
        for (std::size_t i = 0; i < winds.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(TextRectsOverlap(winds[i].rect, winds[j].rect))
                    << '"' << winds[i].text << "\" over \"" << winds[j].text << '"';
        // The crowded levels give way, both their texts.
        EXPECT_LT(speedPressures.size(),
                  static_cast<std::size_t>(s.DrawLevelCount(s.CurrentModel)));
        const double surface = s.SurfacePressure(s.CurrentModel, hour);
        for (double p = 200; p + 100 <= surface; p += 100) {
            EXPECT_TRUE(std::ranges::any_of(speedPressures,
                                            [p](double q) { return q >= p && q < p + 100; }))
                << "no wind between " << p << " and " << p + 100 << " mb";
        }
    }
}

// The sounding with every overlay that prints text, at the three window
// sizes and a few hours, in the display modes that add marks to it: every
// text lies inside the picture, over no other, at 8 pixels or more. Nothing
// a forecaster needs is left out; with the digital winds on, only wind
// values of crowded levels may be.
TEST_P(ReadablePanels, TheSoundingWithEveryOverlayAtTheThreeWindowSizes) {
    FrmProfile& w = *window_;
    w.btnControl_Click(0); // the lake panel, with its index marks
    auto tick = [](QCheckBox* box) {
        ASSERT_TRUE(box);
        if (!box->isChecked()) box->click();
    };
    for (QCheckBox* box :
         {w.chkLines,          w.chkIcing,      w.chkInversions, w.chkLFC,      w.chkWBZ,
          w.chkConvectiveTemp, w.chkCINS,       w.chkSnowGrowth, w.chkMomentum, w.chksWSYMb,
          w.chkECAPE,          w.chkMBE2,       w.chkLCL,        w.chkEQL,      w.chkCCL,
          w.chkParcel,         w.chk10MWind,    w.chkRH,         w.ChkOmega,    w.chkClouds,
          w.chkWetBulb,        w.chkDryAdiabats})
        tick(box);
    for (const char* name : {"chkLakeIndex", "chkMoistLakeIndex", "chkLIC"})
        tick(w.findChild<QCheckBox*>(name));
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    const PictureSurface& pic = w.picData->Surface();
    const PictureSurface& omega = w.picOmega->Surface();
    const std::regex number(" ?-?[0-9]+ ?");
    for (const QSize size : {least, QSize(1272, 768), QSize(1912, 1168)}) {
        w.resize(size);
        for (int mode : {4, 5}) {
            w.btnDisplay[static_cast<std::size_t>(mode)]->click();
            for (int hour : {0, 6, 11}) {
                w.vsbHour->setValue(hour);
                for (bool digital : {false, true}) {
                    if (w.chkWindDigital->isChecked() != digital) w.chkWindDigital->click();
                    SCOPED_TRACE("picData at " + std::to_string(pic.PixelWidth()) + " x " +
                                 std::to_string(pic.PixelHeight()) + ", display " +
                                 std::to_string(mode) + ", hour " + std::to_string(hour) +
                                 (digital ? ", digital winds" : ""));
                    EXPECT_TRUE(TextIsReadable(pic));

                    // The top isobar's label lies under the omega strip.
                    const std::string topIsobar =
                        " " + std::to_string(w.session().profile->DiagramTopPressure) + " ";
                    EXPECT_TRUE(LabelsAtTheirAnchors(pic));
                    // A label of a level or temperature off the picture is
                    // not drawn.
                    for (const DrawnText& t : pic.LeftOutTexts())
                        EXPECT_TRUE(t.text == topIsobar ||
                                    (t.kind == TextKind::Label &&
                                     !t.AnchorInside(pic.PixelWidth(), pic.PixelHeight())) ||
                                    (digital && std::regex_match(t.text, number)))
                            << '"' << t.text << "\" left out";
                    // Nor is any text drawn under the strip.
                    for (const DrawnText& text : pic.DrawnTexts())
                        EXPECT_GE(text.rect.top + 0.5, w.picOmega->height()) << text.text;
                    EXPECT_TRUE(TextIsReadable(omega)) << "picOmega";
                    EXPECT_TRUE(NothingLeftOut(omega)) << "picOmega";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, ReadablePanels,
                         ::testing::Values(samples::Atmosphere::WarmSeasonConvective,
                                           samples::Atmosphere::WinterWarmNose,
                                           samples::Atmosphere::HumidNight));

// Opening the control panels one after another, in every order of two and
// all in a row, never makes the window, frame included, larger than a
// 1280 x 800 screen.
TEST(MainWindowSize, ControlPanelsNeverGrowTheWindowPastTheScreen) {
    Session session;
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    const QSize screen(1280, 800);
    const QSize frame(8, 32);
    w.resize(screen - frame);
    w.show();
    auto fits = [&] {
        const QSize outer = w.size() + frame;
        return outer.width() <= screen.width() && outer.height() <= screen.height();
    };
    for (int a = 0; a < FrmProfile::kControlPanels; ++a) {
        for (int b = 0; b < FrmProfile::kControlPanels; ++b) {
            w.btnControl[static_cast<std::size_t>(a)]->click();
            w.btnControl[static_cast<std::size_t>(b)]->click();
            EXPECT_TRUE(fits()) << "panel " << b << " after " << a << ": " << w.width() << " x "
                                << w.height();
        }
    }
    for (QPushButton* button : w.btnControl) button->click();
    w.chkRH->click(); // the humidity key has its room kept
    EXPECT_TRUE(fits()) << w.width() << " x " << w.height();
}

} // namespace
} // namespace tarvex
