#include "OverviewWindowFixture.h"
#include "platform/ReadableText.h"

#include "overview/fields/MeanWindTrace.h"
#include "overview/fields/TimeAxis.h"
#include "overview/panels/SelectedHour.h"
#include "overview/ui/LegendLabels.h"
#include "profile/diagrams/HodographDiagram.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

// A recording surface of the size a box shows (a hidden box's surface may
// not have taken it yet).
RecordingSurface LikeBox(const PictureBox& box) {
    return RecordingSurface(box.width(), box.height());
}

// Every text the overview draws can be read at the window's least size, on a
// 1280 x 800 screen and on a 1920 x 1200 one (less a title and a task bar):
// in the time-height picture with the contours of three fields and the
// isotherm labels, its two side scales with all three bands of labels, the
// time strip, the wind-scale legend, the four floating panels and each
// legend cell. The time-height picture's and the time strip's text grows
// with the window.
TEST_F(Overview, EveryTextIsReadableAtEachWindowSize) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 61);
    FrmOverView& w = Open();
    for (const char* name : {"chkTemperature", "chkTheta", "chkDPD", "chkFreezingLevel", "chkCAPE",
                             "chkTransportWinds", "chkHelicity", "chkPrecip", "chkSfcTemp",
                             "chkWinds", "chkApparentTemp"})
        w.Box(name)->setChecked(true);
    const QSize least = w.minimumSizeHint();
    std::vector<int> rhPixels;
    std::vector<int> timePixels;
    for (const QSize size : {least, QSize(1280, 740), QSize(1920, 1140)}) {
        w.resize(size);
        QApplication::processEvents();
        const std::string at = std::to_string(w.width()) + " x " + std::to_string(w.height());
        SCOPED_TRACE(at);

        const std::unique_ptr<RecordedOverview> drawn = Record(w);
        EXPECT_TRUE(TextIsReadable(drawn->rh)) << "picRH";
        EXPECT_GT(drawn->rh.DrawnTexts().size(), 10u);
        rhPixels.push_back(drawn->rh.TextPixelSize());
        EXPECT_TRUE(TextIsReadable(drawn->left)) << "picLeft";
        EXPECT_TRUE(TextIsReadable(drawn->right)) << "picRight";
        // No scale label of one trace is lost under another's.
        EXPECT_TRUE(NothingLeftOut(drawn->left)) << "picLeft";
        EXPECT_TRUE(NothingLeftOut(drawn->right)) << "picRight";

        RecordingSurface time = LikeBox(*w.picTime);
        DrawTimeAxis(time, *session_.profile, w.axes, TimeAxisSettingsOf(session_));
        EXPECT_TRUE(TextIsReadable(time)) << "picTime";
        EXPECT_TRUE(NothingLeftOut(time)) << "picTime";
        EXPECT_GT(time.DrawnTexts().size(), 4u);
        timePixels.push_back(time.TextPixelSize());

        RecordingSurface windScale = LikeBox(*w.picWindScale);
        DrawWindScale(windScale, *session_.profile, w.options.SigmaLevel,
                      session_.parameters.ModelLevelStep);
        EXPECT_TRUE(TextIsReadable(windScale)) << "picWindScale";

        // The four floating panels, at their design size, print every text
        // whole and apart.
        for (int k : {0, 1, 2, 3}) {
            const PictureBox& box = *w.HourPanelBox(k);
            RecordingSurface panel = LikeBox(box);
            panel.SetDesignSize(box.Surface().DesignWidth(), box.Surface().DesignHeight());
            const HodographView hodoView;
            const Picture background;
            MapWindState wind;
            HourPanelContext ctx{session_, w.options,  main_->soundingView(),
                                 hodoView, background, wind};
            DrawHourPanel(static_cast<HourPanel>(k), panel, ctx, 5);
            EXPECT_TRUE(TextIsReadable(panel)) << "floating panel " << k;
            EXPECT_TRUE(NothingLeftOut(panel)) << "floating panel " << k;
        }

        // Legend cells hold their captions whole, at 8 px or more.
        std::vector<const QLabel*> cells;
        for (const QLabel* label : w.legends->lblRH) cells.push_back(label);
        for (const QLabel* label : w.legends->lblECAPE) cells.push_back(label);
        for (const QLabel* label : w.legends->lblHI) cells.push_back(label);
        for (const QLabel* label : w.lblVWP) cells.push_back(label);
        for (const QLabel* label : cells) {
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width())
                << label->objectName().toStdString();
            EXPECT_GE(QFontInfo(label->font()).pixelSize(), 8);
        }
    }
    EXPECT_LT(rhPixels[1], rhPixels[2]);
    EXPECT_LT(timePixels[1], timePixels[2]);
}

} // namespace
} // namespace tarvex
