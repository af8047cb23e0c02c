#include "overview/ui/LegendLabels.h"

#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarvex {
namespace {

TEST(LegendLabels, SegmentUnderThePointer) {
    // Three days on a 90-pixel label: 0..29, 30..59, 60..89.
    EXPECT_EQ(LegendSegment(0, 90, 3), 0);
    EXPECT_EQ(LegendSegment(29.9, 90, 3), 0);
    EXPECT_EQ(LegendSegment(30, 90, 3), 1);
    EXPECT_EQ(LegendSegment(89, 90, 3), 2);
    // A release outside the label, or a label with nothing to split.
    EXPECT_EQ(LegendSegment(-1, 90, 3), std::nullopt);
    EXPECT_EQ(LegendSegment(90, 90, 3), std::nullopt);
    EXPECT_EQ(LegendSegment(10, 90, 0), std::nullopt);
    EXPECT_EQ(LegendSegment(10, 0, 2), std::nullopt);
}

TEST(LegendLabels, ColoursCaptionsAndTexts) {
    for (Rgb c : RHLegendColours(0)) EXPECT_EQ(c, RGB(255, 255, 255));
    const auto chosen5 = RHLegendColours(5);
    EXPECT_EQ(chosen5[4], RGB(63, 63, 63));
    EXPECT_EQ(chosen5[5], RGB(255, 255, 255));

    const ECAPELegend start = ECAPELegendOf(5, 0);
    EXPECT_EQ(start.captions[0], "5");
    EXPECT_EQ(start.captions[5], "2000");
    for (Rgb c : start.colours) EXPECT_EQ(c, RGB(255, 255, 0));
    // A stored start of 6 still leaves the 400i label shown.
    const ECAPELegend late = ECAPELegendOf(2, 6);
    EXPECT_EQ(late.captions[1], "40");
    EXPECT_EQ(late.colours[4], RGB(0, 0, 0));
    EXPECT_EQ(late.colours[5], RGB(255, 255, 0));

    // Each cell carries the colour of the class it stands for: the dry
    // class blue, the unshaded one none, 70 to 95 % dark red, red, dark
    // green, green; the heat classes IV yellow, III red, II blue, I white.
    const auto rh = RHLegendClassColours();
    EXPECT_EQ(rh[0], RGB(0, 0, 255));
    EXPECT_EQ(rh[1], std::nullopt);
    EXPECT_EQ(rh[2], RGB(191, 0, 0));
    EXPECT_EQ(rh[3], RGB(255, 0, 0));
    EXPECT_EQ(rh[4], RGB(0, 191, 0));
    EXPECT_EQ(rh[5], RGB(0, 255, 0));
    const std::array<Rgb, 4> heat{RGB(255, 255, 0), RGB(255, 0, 0), RGB(0, 0, 255), kWhite};
    EXPECT_EQ(HeatLegendClassColours(), heat);

    EXPECT_EQ(HeatIndexMessage(3),
              "I. Extremely Hot.  > 130\u00b0  Heatstroke or Sunstroke IMMINENT");
    EXPECT_EQ(HeatIndexMessage(4), "");
}

TEST(LegendLabels, PrecipitationSumAndItsPlace) {
    Session session;
    ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    s.LastTime(m) = 5;
    for (int t = 0; t <= 5; ++t) {
        s.Precip(m, t) = 0.1f * t;
        s.RunOff(m, t) = 0.01f;
    }
    OverviewOptions options;
    const std::array<bool, 4> precip{true, false, false, false};
    EXPECT_NEAR(PrecipSum(session, options, precip, 2, 4), 0.9, 1e-6);
    EXPECT_NEAR(PrecipSum(session, options, precip, 4, 2), 0.9, 1e-6);
    EXPECT_NEAR(PrecipSum(session, options, precip, 3, 3), 0.3, 1e-6);
    EXPECT_NEAR(PrecipSum(session, options, {true, false, false, true}, 0, 9), 1.56, 1e-6);
    // Snow with its bars never drawn: the fixed 10:1 ratio of the
    // precipitation of columns 2..4.
    options.SnowRatioTechnique = kSnowRatioFixed;
    EXPECT_NEAR(PrecipSum(session, options, {false, true, false, false}, 2, 4), 9.0, 1e-5);
    EXPECT_EQ(PrecipSumCaption(0.243), "0.243\"");

    // 12 columns (left edge 11, right edge -1) over 600 pixels: 50 per column.
    OverviewAxes axes;
    axes.ScaleLeftColumn = 11;
    axes.ScaleRightColumn = -1;
    const QSize picture(600, 300), label(60, 20);
    // Column 4 puts the label at column 5.5, (11 - 5.5) * 50 = 275 pixels in,
    // its bottom at the pointer.
    EXPECT_EQ(PrecipLabelPosition(axes, picture, label, 4, {380, 150}), QPoint(275, 130));
    // Within a column of the left edge it sticks there; it never leaves the
    // picture at the top.
    EXPECT_EQ(PrecipLabelPosition(axes, picture, label, 10, {30, 5}), QPoint(0, 0));
    // Nor at the right: column -1 puts a 100-pixel label at 525, 25 too far.
    EXPECT_EQ(PrecipLabelPosition(axes, picture, QSize(100, 20), -1, {595, 150}), QPoint(500, 130));
}

TEST(LegendLabels, ClicksOnTheLegends) {
    Session session;
    OverviewOptions options;
    options.chkECAPE = true;
    QWidget picRH;
    int redraws = 0;
    std::vector<std::string> words;
    OverviewLegends legends(
        session, options, &picRH, [&] { ++redraws; },
        [&](const std::string& word) { words.push_back(word); });
    std::string message;
    legends.showMessage = [&](const std::string& title, const std::string& text) {
        message = title + ": " + text;
    };

    // The legends show their class colours on the screen.
    const auto shows = [](QWidget* legend, Rgb colour) {
        legend->adjustSize();
        const QImage image = legend->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(colour.r, colour.g, colour.b)) return true;
        return false;
    };
    for (Rgb colour : {RGB(0, 0, 255), RGB(191, 0, 0), RGB(0, 255, 0)})
        EXPECT_TRUE(shows(legends.pnlRH, colour));
    for (Rgb colour : HeatLegendClassColours()) EXPECT_TRUE(shows(legends.pnlHeatIndex, colour));
    // Each cell's text has the room of a line above its bar (the label
    // centres it there): "IV" .. "I" and the humidity classes stand whole,
    // none partly under its bar. So do a colour legend's captions.
    std::unique_ptr<QWidget> colours(ColourLegend(nullptr, "classes", {{"50 +", kBlue}}));
    colours->adjustSize();
    int cells = 0;
    for (QWidget* legend : {legends.pnlRH, legends.pnlHeatIndex, colours.get()}) {
        for (const QLabel* cell : legend->findChildren<QLabel*>()) {
            const QRect room = cell->contentsRect();
            EXPECT_GE(room.height(), cell->fontMetrics().height()) << cell->text().toStdString();
            EXPECT_LE(room.bottom(), cell->height() - 1 - kLegendSwatchPixels)
                << cell->text().toStdString();
            ++cells;
        }
    }
    EXPECT_EQ(cells, 6 + 4 + 1);

    legends.lblECAPE_DblClick(3);
    EXPECT_EQ(options.ECAPELegendStart, 3);
    EXPECT_EQ(legends.lblECAPE[5]->text(), "2000");
    legends.lblRH_DblClick(2);
    EXPECT_EQ(options.RHLegendIndex, 2);
    EXPECT_EQ(words, std::vector<std::string>{"Relative Humidity"});
    EXPECT_EQ(redraws, 2);
    legends.lblHI_DblClick(0);
    EXPECT_EQ(message.rfind("C-11 Heat Index: IV. Very Warm. 80", 0), 0u);

    // No days yet: a release changes nothing.
    const int m = session.profile->CurrentModel;
    MixingLayerResults& r = session.timeHeight->mixingLayer;
    QLabel readout;
    legends.AttachMixingLayer(&readout);
    readout.resize(100, 20);
    legends.lblMixingLayer_MouseUp(true, 50);
    EXPECT_EQ(redraws, 2);

    // Two days, 50 F and 59 F: the left button in the right half warms the
    // day shown there by 1 F; another button in the left half cools day 0.
    r.DayCount(m) = 2;
    r.MaxTemperature[m][0] = 10.0f;
    r.MaxTemperature[m][1] = 15.0f;
    r.MixingLayerReady(m) = kFlagTrue;
    legends.lblMixingLayer_MouseUp(true, 75);
    EXPECT_NEAR(r.MaxTemperature[m][1], 15.0f + 5.0f / 9.0f, 1e-5f);
    EXPECT_EQ(legends.lblMixingLayer->text(), "50  |  60");
    EXPECT_EQ(r.MixingLayerReady(m), kFlagFalse);
    legends.lblMixingLayer_MouseUp(false, 10);
    EXPECT_EQ(legends.lblMixingLayer->text(), "49  |  60");
    EXPECT_EQ(redraws, 4);

    // A right-button drag from column 2 to column 5 of 0.1" hours, the
    // pointer at x = 4.3 on a picture some plotter left scaled 1 (top) to 0.
    ProfileArrays& store = *session.profile;
    store.LastTime(m) = 10;
    for (int t = 0; t <= 10; ++t) store.Precip(m, t) = 0.1f;
    OverviewAxes axes;
    axes.ScaleLeftColumn = 11;
    axes.ScaleRightColumn = -1;
    RecordingSurface pic(600, 300);
    pic.Scale(11, 1, -1, 0);
    picRH.resize(600, 300);
    legends.ShowPrecipTotal(axes, {true, false, false, false}, 2, 5, pic, 4.3, 0.5);
    EXPECT_EQ(legends.lblPrecip->text(), "0.400\"");
    EXPECT_FALSE(legends.lblPrecip->isHidden());
    EXPECT_EQ(legends.lblPrecip->x(), 225); // column 6.5
    EXPECT_EQ(legends.lblPrecip->y(), 150 - legends.lblPrecip->height());
    EXPECT_EQ(pic.ScaleTop(), 1.0);
}

} // namespace
} // namespace tarvex
