#include "profile/ui/StormPanels.h"

#include "SampleSounding.h"
#include "compute/ComputeState.h"
#include "compute/StormMatrix.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "platform/RasterSurface.h"
#include "platform/ReadableText.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/StormType.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

constexpr int kModel = 1;

// The main window offscreen with the shipped convective sample (a June
// afternoon at KDTX) loaded.
class StormPanelsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.models.ModelCodes = {"eta"};
        session.config.MediaDrive = "Q";
        window = std::make_unique<FrmProfile>(session, desktop);
        window->SetMessageHandler([](const std::string&) {});
        window->resize(1480, 960);
        window->show();
        samples::SampleSpec spec;
        spec.site = "KDTX";
        spec.stationNumber = 726320;
        spec.lat = 42.70f;
        spec.lon = -83.47f;
        spec.elevation = 329.0f;
        spec.atmosphere = samples::Atmosphere::WarmSeasonConvective;
        spec.month = 6;
        spec.day = 15;
        spec.hour = 12;
        spec.times = 24;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("tarvex-storm-" + std::to_string(::getpid()) + "-eta_KDTX.buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        EXPECT_TRUE(window->LoadSoundingFile(path.string()));
        std::filesystem::remove(path);
        panels = window->stormPanels();
    }

    Session session;
    RecordingDesktopService desktop;
    std::unique_ptr<FrmProfile> window;
    StormPanels* panels = nullptr;
};

// The display modes and the "KESTIR" panel draw for the hour shown; the
// panels' options and zooms redraw them.
TEST_F(StormPanelsTest, PanelsFollowTheHourAndTheirControls) {
    window->vsbHour->setValue(9);
    window->btnDisplay_Click(4); // drawn in the diagram's scale
    EXPECT_EQ(window->picCape->Surface().ScaleTop(), kCapeAxisTopStart);
    EXPECT_TRUE(window->pnlShear->isVisibleTo(window.get()));
    EXPECT_TRUE(panels->optCAPEShear[1]->isChecked());
    panels->optCAPEShear[0]->click();
    EXPECT_EQ(session.options.CAPEShearMethod, ShearMethod::HodographLength);
    panels->picCape_MouseUp(1);
    EXPECT_EQ(window->picCape->Surface().ScaleTop(), 3583);

    window->btnDisplay_Click(5); // left in the bar frame
    EXPECT_EQ(window->picMBE->Surface().ScaleTop(), -8);
    panels->picMBE_MouseUp(2);
    EXPECT_FLOAT_EQ(panels->MbeScale(), 61.2f);

    // The KESTIR panel: the hour's entry, made once, captions the label.
    window->btnControl_Click(4);
    const StormMatrixResults& matrix = *session.matrix;
    EXPECT_EQ(matrix.MatrixEntryReady(kModel, 9), kFlagTrue);
    EXPECT_EQ(panels->lblMatrix->text().toStdString(), matrix.MatrixCellCode(kModel, 9));
    EXPECT_EQ(
        matrix.MatrixPageName(kModel, 9).rfind((std::filesystem::path("Q") / "velno").string()),
        0u);

    // Help mode stays armed through an hour change; a click on the label
    // names the topic.
    session.help.Training.TrainingKey = {"", "KESTIR"};
    session.help.Training.TrainingAction = {"", "kestir.htm|"};
    window->picLogo_Click();
    window->vsbHour->setValue(10);
    EXPECT_TRUE(desktop.requests.empty());
    EXPECT_TRUE(session.help.TrainingMode);
    EXPECT_EQ(panels->lblMatrix->text().toStdString(), matrix.MatrixCellCode(kModel, 10));
    panels->ShowTrainingMatrix();
    ASSERT_EQ(desktop.requests.size(), 1u);
    EXPECT_EQ(desktop.requests[0].target, "kestir.htm");
}

// A page that cannot be opened asks, in the program's own words, whether to
// fetch the training; OK opens the program's page on the matrix. Hours
// without pages open nothing.
TEST_F(StormPanelsTest, PageButtonsOpenTheEntrysPages) {
    StormMatrixResults& matrix = *session.matrix;
    const int t = window->soundingView().CurrentColumn;
    matrix.MatrixEntryReady(kModel, t) = kFlagTrue;
    matrix.MatrixPageName(kModel, t) = "Q:/nowhere/J_3";
    for (const char* code : {"-", "E3", "A1", "J?"}) {
        matrix.MatrixCellCode(kModel, t) = code;
        panels->btnLoop[0]->click();
    }
    EXPECT_TRUE(desktop.requests.empty());
    EXPECT_TRUE(desktop.questions.empty());

    // A page in the configured training folder opens.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarvex-kestir-" + std::to_string(::getpid()));
    matrix.MatrixPageName(kModel, t) = MatrixPageStem(folder.string(), 'J', '3');
    const std::filesystem::path page = matrix.MatrixPageName(kModel, t) + "_2.htm";
    std::filesystem::create_directories(page.parent_path());
    std::ofstream(page) << "<html></html>";
    matrix.MatrixCellCode(kModel, t) = "J3";
    panels->btnLoop[1]->click();
    std::filesystem::remove_all(folder);
    ASSERT_EQ(desktop.requests.size(), 1u);
    EXPECT_EQ(desktop.requests[0].target, page.string());
    EXPECT_TRUE(desktop.questions.empty());
    desktop.requests.clear();

    matrix.MatrixPageName(kModel, t) = "Q:/nowhere/J_3";
    desktop.answerOk = true;
    panels->btnLoop[4]->click();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].title, "KESTIR Error");
    EXPECT_EQ(
        desktop.questions[0].text,
        "Could not locate the Covective Storm Matix training module.\n\nEither:\n\n"
        "   1)  the Drive Letter for this module specificed in your configuration file is "
        "incorrect,\n        Solution: edit the configruation file tarvex.cfg\n\n"
        "                                                    or\n\n"
        "  2)  You have not installed the Convective Storm Matrix Training module\n"
        "        Solution:  Downlad and install the Convective Storm Matrix training module\n\n\n"
        "            Do you want to install the Convective Matrix Training Module?\n"
        "<result = 2>");
    ASSERT_EQ(desktop.requests.size(), 1u);
    EXPECT_EQ(desktop.requests[0].target, "training/storm_matrix.html");
}

// The three panels of a convective afternoon at the sizes the window gives
// them, readable and with the hour's values, kept for a reviewer to look at.
TEST_F(StormPanelsTest, RendersTheConvectiveSampleForAReviewer) {
    window->vsbHour->setValue(9);
    RasterSurface cape(6495 / 15, 6375 / 15);
    PlotCapeShear(cape, session, 9, panels->CapeAxisTop());
    RasterSurface mbe(6615 / 15, 6495 / 15);
    PlotMBE(mbe, session, 9, panels->MbeScale());
    window->btnControl_Click(4);
    QApplication::processEvents();
    // Each picture readable at its design size, with the hour's values.
    const PictureSurface& reason = window->findChild<PictureBox*>("picReason")->Surface();
    auto shows = [](const PictureSurface& pic, const std::string& text) {
        return std::ranges::any_of(pic.DrawnTexts(),
                                   [&text](const DrawnText& t) { return t.text == text; });
    };
    for (const PictureSurface* pic : {static_cast<const PictureSurface*>(&cape),
                                      static_cast<const PictureSurface*>(&mbe), &reason}) {
        EXPECT_TRUE(TextIsReadable(*pic));
        EXPECT_TRUE(NothingLeftOut(*pic));
    }
    // The regimes' names stand at their places on the diagram (shear, CAPE).
    struct Place {
        const char* text;
        double x, y;
    };
    for (const Place& p :
         {Place{"CAPE", -11, 500}, Place{"Ordinary", 1.5, 1600}, Place{"Cells", 2.5, 1300},
          Place{"Multicells", 13.5, 2800}, Place{"Supercells", 24, 2450}}) {
        const auto found = std::ranges::find_if(
            cape.DrawnTexts(), [&p](const DrawnText& t) { return t.text == p.text; });
        ASSERT_NE(found, cape.DrawnTexts().end()) << p.text;
        EXPECT_NEAR(found->rect.left, cape.ToPixelX(p.x), 1.5) << p.text;
        EXPECT_NEAR(found->rect.top, cape.ToPixelY(p.y), 3.0) << p.text;
    }
    const auto whole = [](float v) { return PrintForm(std::floor(v + 0.5)); };
    const WindResults& w = *session.winds;
    EXPECT_TRUE(shows(mbe, "MBE Velocity  = " + whole(w.MBEDir(kModel, 9)) + "°/" +
                               whole(w.MBESpeed(kModel, 9)) + "kts"));
    EXPECT_TRUE(shows(mbe, "Warm Cloud     " +
                               Format(session.wholeRun->WarmCloudDepth(kModel, 9), "##,##0") +
                               " ft"));
    EXPECT_TRUE(shows(reason, "Mean DPD:" + whole(session.matrix->MatrixMeanDPD(kModel, 9))));
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    EXPECT_TRUE(cape.Image().save(QString::fromStdString((out / "storm_type.png").string())));
    EXPECT_TRUE(mbe.Image().save(QString::fromStdString((out / "heavy_precip.png").string())));
    EXPECT_TRUE(window->pnlControl[4]->grab().save(
        QString::fromStdString((out / "storm_matrix_panel.png").string())));
    for (const auto& [mode, name] : {std::pair{4, "main_window_storm_type.png"},
                                     std::pair{5, "main_window_heavy_precip.png"}}) {
        window->btnDisplay_Click(mode);
        QApplication::processEvents();
        EXPECT_TRUE(window->grab().save(QString::fromStdString((out / name).string())));
    }
}

} // namespace
} // namespace tarvex
