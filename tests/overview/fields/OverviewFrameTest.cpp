#include "overview/fields/OverviewFrame.h"
#include "overview/fields/TimeAxis.h"

#include "platform/TextMetrics.h"

#include "OverviewTestSession.h"
#include "platform/ReadableText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using test::OverviewTestSession;

std::vector<std::string> Texts(const RecordingSurface& pic) {
    std::vector<std::string> texts;
    for (const DrawOperation& op : pic.OperationsOf(DrawOperation::Kind::Text))
        texts.push_back(op.text);
    return texts;
}

// The frame on cleared pictures, as the redraw hub draws it, with only its
// own operations recorded.
void DrawFrame(OverviewTestSession& o) {
    SetOverviewDesignSizes(o.ctx);
    for (RecordingSurface* pic : {&o.picRH, &o.picLeft, &o.picRight}) {
        pic->Clear();
        pic->ForgetOperations();
    }
    DrawOverviewFrame(o.ctx);
}

TEST(OverviewFrame, ColumnsAndLogPressureMapOntoThePicture) {
    EXPECT_EQ(ColumnSpanOf(48, 1), 49);
    EXPECT_EQ(ColumnSpanOf(60, 3), 21);
    EXPECT_EQ(ColumnSpanOf(24, 0), 25); // no division by zero
    OverviewTestSession o;
    SetTimeWindow(o.axes, 49, 0);
    EXPECT_FLOAT_EQ(o.axes.ScaleLeftColumn, 49.0f);
    EXPECT_FLOAT_EQ(o.axes.ScaleRightColumn, -1.0f);
    ScaleProfileFrame(o.picRH, o.axes);
    // 500 pixels over 50 columns, the latest at the left; 300 pixels over ln 10.
    EXPECT_NEAR(o.picRH.ToPixelX(48), 10.0, 1e-6);
    EXPECT_NEAR(o.picRH.ToPixelX(-1), 500.0, 1e-6);
    EXPECT_NEAR(o.picRH.ToPixelY(std::log(1000.0)), 300.0, 1e-3);
    EXPECT_NEAR(o.picRH.ToPixelY(std::log(100.0)), 0.0, 1e-3);
    EXPECT_NEAR(o.picRH.ToPixelY(std::log(std::sqrt(1e5))), 150.0, 1e-3);
    SetTimeWindow(o.axes, 49, 5);
    EXPECT_FLOAT_EQ(o.axes.ScaleLeftColumn, 54.0f);
    EXPECT_FLOAT_EQ(o.axes.ScaleRightColumn, 4.0f);

    // "10 meter" lowers the bottom by 15 % of the span and returns.
    SetPressureBaseExtended(o.axes, 1, true);
    EXPECT_NEAR(o.axes.LnPBase, std::log(1000.0) + 0.15 * std::log(10.0), 1e-5);
    EXPECT_NEAR(o.axes.TopLnP(), std::log(100.0), 1e-5);
    SetPressureBaseExtended(o.axes, 1, false);
    EXPECT_NEAR(o.axes.LnPSpan, std::log(10.0), 1e-5);
    EXPECT_NEAR(o.axes.LnPBase, std::log(1000.0), 1e-5);

    // Top level: the first level above the top edge, else the level count.
    StartProfileScale(o.axes, 1, 250);
    EXPECT_EQ(FindTopLevelOf(*o.session.profile, o.axes, 1), 9); // 200 mb
    StartProfileScale(o.axes, 1, 50);
    EXPECT_EQ(FindTopLevelOf(*o.session.profile, o.axes, 1), 10);
    EXPECT_EQ(ClampToModelRange(-3, 12), 0);
    EXPECT_EQ(ClampToModelRange(7, 12), 7);
    EXPECT_EQ(ClampToModelRange(40, 12), 12);
}

TEST(OverviewFrame, HeightLabelsFollowTheUnitsAndTheTop) {
    OverviewTestSession o;
    o.options.chkRH = {false, false};
    DrawFrame(o);
    EXPECT_FALSE(o.ctx.grids.Height);
    EXPECT_TRUE(Texts(o.picRight).empty());

    o.options.chkTemperature = true;
    o.options.VerticalUnits = 0; // pressure, span ln 10 > 0.6
    DrawFrame(o);
    EXPECT_TRUE(o.ctx.grids.Height);
    // "50" lies above the 100 mb top: held at the edge it would cover "100".
    EXPECT_EQ(Texts(o.picRight), (std::vector<std::string>{"900", "800", "700", "600", "500", "400",
                                                           "300", "200", "100"}));
    EXPECT_EQ(TextsOf(o.picRight.LeftOutTexts()), std::vector<std::string>{"50"});
    StartProfileScale(o.axes, 1, 600); // span ln(1000/600) < 0.6: every 50 mb
    DrawFrame(o);
    EXPECT_EQ(Texts(o.picRight),
              (std::vector<std::string>{"950", "900", "850", "800", "750", "700", "650", "600"}));

    // Feet under a 500 mb top (18 249 ft): every thousand feet, dotted but
    // for the solid five-thousands. The test's table puts them 5 mb apart,
    // closer than a label's height: the five-thousands' labels stay and the
    // others keep apart.
    o.options.VerticalUnits = 1;
    StartProfileScale(o.axes, 1, 500);
    DrawFrame(o);
    const std::vector<std::string> feet = Texts(o.picRight);
    EXPECT_EQ(feet.size() + o.picRight.LeftOutTexts().size(), 18u);
    EXPECT_EQ(std::vector<std::string>(feet.end() - 3, feet.end()),
              (std::vector<std::string>{"5K", "10K", "15K"}));
    EXPECT_TRUE(TextIsReadable(o.picRight));
    const auto lines = o.picRH.OperationsOf(DrawOperation::Kind::Line);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].state.drawStyle, DrawStyle::Dot);
    EXPECT_EQ(lines[15].state.drawStyle, DrawStyle::Solid);
    EXPECT_NEAR(lines[15].y1, std::log(1000.0 - 12 * 5), 1e-9); // the 5K table entry
    EXPECT_EQ(lines[15].color, RGB(127, 127, 127));

    // A 100 mb top (51 731 ft) gets only the five-thousands; a 1 mb top stops
    // at the table's last entry, 70K.
    StartProfileScale(o.axes, 1, 100);
    DrawFrame(o);
    EXPECT_EQ(Texts(o.picRight).size() + o.picRight.LeftOutTexts().size(), 10u);
    StartProfileScale(o.axes, 1, 1);
    DrawFrame(o);
    EXPECT_EQ(Texts(o.picRight).back(), "70K");

    // Kilometres under 500 mb: 1 to 5; labels grey while the grid box is off.
    o.options.VerticalUnits = 2;
    o.options.chkGridHeight = false;
    StartProfileScale(o.axes, 1, 500);
    DrawFrame(o);
    EXPECT_EQ(Texts(o.picRight), (std::vector<std::string>{"1Km", "2Km", "3Km", "4Km", "5Km"}));
    EXPECT_EQ(o.picRight.OperationsOf(DrawOperation::Kind::Text)[0].color, RGB(127, 127, 127));
}

// Each scale shown on picLeft keeps a band of its own: surface pressure
// beside CAPE keeps all its labels, and so do four scales at once.
TEST(OverviewFrame, EachLeftScaleWritesInItsOwnBand) {
    OverviewTestSession o;
    o.picLeft.Resize(96, 560);
    o.session.history.OverviewThresholds[0] = 2500.0f;
    o.axes.PressureTraceBase = 970.0f;
    o.axes.PressureTraceSpan = 50.0f;
    o.options.chkCAPE = o.options.chkSfcPres = true;
    const auto bandOf = [&](const std::string& text) {
        for (const DrawOperation& op : o.picLeft.OperationsOf(DrawOperation::Kind::Text))
            if (op.text == text) return op.x1;
        return -1.0;
    };
    DrawFrame(o);
    EXPECT_TRUE(NothingLeftOut(o.picLeft));
    EXPECT_EQ(Texts(o.picLeft).size(), 6u + 11u); // 0..2500 by 500, 970..1020 by 5
    EXPECT_EQ(bandOf("2500"), 0.0);
    EXPECT_EQ(bandOf("970"), 33.0);
    EXPECT_EQ(bandOf("995"), 33.0);
    o.options.chkWinds = o.options.chkLakeIndex = true;
    DrawFrame(o);
    EXPECT_TRUE(NothingLeftOut(o.picLeft));
    // In the order drawn, each scale's widest label ends before the next
    // scale's band, and the last inside the picture: every value has room.
    const auto boxOf = [&](const std::string& text) {
        for (const DrawOperation& op : o.picLeft.OperationsOf(DrawOperation::Kind::Text))
            if (op.text == text) return op.textRect;
        ADD_FAILURE() << text << " not drawn";
        return TextRect{};
    };
    EXPECT_EQ(bandOf("360"), 0.0);
    EXPECT_LE(boxOf("360").Right(), boxOf("+20").left);
    EXPECT_LE(boxOf("-20").Right(), boxOf("2500").left);
    EXPECT_LE(boxOf("2500").Right(), boxOf("1020").left);
    EXPECT_LE(boxOf("1020").Right(), 96.0);
    EXPECT_GE(o.picLeft.TextPixelSize(), kLeastTextPixels);
    const double font = o.picLeft.FontSize();
    o.options.chkLakeIndex = false; // three scales: the usual thirds
    DrawFrame(o);
    EXPECT_TRUE(NothingLeftOut(o.picLeft));
    EXPECT_EQ(bandOf("360"), 33.0);
    EXPECT_EQ(bandOf("2500"), 0.0);
    EXPECT_EQ(bandOf("995"), 66.0);
    EXPECT_EQ(o.picLeft.FontSize(), font);

    // All six at the left scale's own width and least text size: each
    // scale's widest label a blank or more before the next scale's band.
    o.picLeft.Resize(kLeftScaleWidth, 300);
    o.picLeft.SetDesignSize(kLeftScaleWidth, 300);
    o.options.chkLakeIndex = o.options.chkVentilation = o.options.chkVisibility = true;
    DrawFrame(o);
    EXPECT_TRUE(NothingLeftOut(o.picLeft));
    const double blank = ModelTextWidth(TextFace::Sans, false, kLeastTextPixels, " ");
    const char* widest[] = {"360", "+20", "2500", "1020", "20", "1/4"};
    const char* lowest[] = {"", "-20", "00", "970", "12", "1/4"};
    for (std::size_t k = 0; k + 1 < std::size(widest); ++k)
        EXPECT_LE(boxOf(widest[k]).Right() + blank, boxOf(lowest[k + 1]).left + 1e-9)
            << widest[k] << " against " << lowest[k + 1];
    EXPECT_LE(boxOf("1/4").Right(), kLeftScaleWidth);
}

TEST(OverviewFrame, AWideScaleDrawsAFewDozenLinesAtMost) {
    // Scales far beyond any a file or a zoom can set, so only the frame's
    // own cap holds them: each group widens its step.
    OverviewTestSession o;
    o.options.chkGridLeft = o.options.chkGridLakeIndex = o.options.chkGridPrecip = true;
    o.options.chkGridTemp = true;
    o.options.chkGridTime = false;
    struct Group {
        bool OverviewOptions::*box;
        RecordingSurface* side;
    };
    o.session.history.OverviewThresholds[0] = 1e8f;
    o.axes.IndexBase = -5e6f;
    o.axes.IndexSpan = 1e7f;
    o.axes.PrecipSpan = 1e9f;
    o.axes.TraceBase = -3e9f; // beyond a 32-bit whole number
    o.axes.TraceSpan = 6e9f;
    for (const Group& g : {Group{&OverviewOptions::chkCAPE, &o.picLeft},
                           Group{&OverviewOptions::chkLakeIndex, &o.picLeft},
                           Group{&OverviewOptions::chkPrecip, &o.picRight},
                           Group{&OverviewOptions::chkSfcTemp, &o.picRight}}) {
        OverviewOptions& options = o.options;
        // What the other groups on by default draw, then this group too.
        auto draw = [&] {
            DrawFrame(o);
            return std::pair{Texts(*g.side).size(),
                             o.picRH.OperationsOf(DrawOperation::Kind::Line).size()};
        };
        const auto [labelsBefore, linesBefore] = draw();
        options.*g.box = true;
        const auto [labelsAfter, linesAfter] = draw();
        EXPECT_GE(labelsAfter - labelsBefore, 10u);
        EXPECT_LE(labelsAfter - labelsBefore, 2u * 41u); // the index group: sign and value
        EXPECT_LE(linesAfter - linesBefore, 41u);
        options.*g.box = false;
    }
}

TEST(OverviewTimeAxis, LabelsUtcAndLocalTimeAcrossMidnight) {
    OverviewTestSession o(24);
    RecordingSurface picTime(500, 40);
    TimeAxisSettings settings{1, 6, 5, false};
    SetTimeWindow(o.axes, 24, 0);
    DrawTimeAxis(picTime, *o.session.profile, o.axes, settings);
    // 21 UTC Wednesday is 4 pm local five hours behind.
    EXPECT_EQ(Texts(picTime), (std::vector<std::string>{"21z", "We 4p", "03z", "We 10p", "09z",
                                                        "Th 4a", "15z", "Th 10a", "21z", "Th 4p"}));
    const auto ops = picTime.OperationsOf(DrawOperation::Kind::Text);
    EXPECT_NEAR(ops[2].x1 + picTime.TextWidth("03z") / 2, 6.0, 1e-9);

    // Scrolled by six columns: hours 6 to 18 show, and only their labels
    // are drawn, each centred on its column (hour 0 stands at no edge).
    SetTimeWindow(o.axes, 13, 6);
    picTime.ForgetOperations();
    DrawTimeAxis(picTime, *o.session.profile, o.axes, settings);
    EXPECT_EQ(Texts(picTime),
              (std::vector<std::string>{"03z", "We 10p", "09z", "Th 4a", "15z", "Th 10a"}));
    const auto scrolled = picTime.OperationsOf(DrawOperation::Kind::Text);
    for (std::size_t i = 0; i < scrolled.size(); ++i)
        EXPECT_NEAR(scrolled[i].x1 + picTime.TextWidth(scrolled[i].text) / 2, 6.0 * (1 + i / 2),
                    1e-9)
            << scrolled[i].text;
    SetTimeWindow(o.axes, 24, 0);
    picTime.ForgetOperations();

    // Three-hourly columns from 00 UTC Tuesday: a label every 12 hours.
    ProfileArrays& s = *o.session.profile;
    s.ValidTime(1, 0) = DateTime::FromParts(2026, 12, 8, 0);
    settings = {3, 4, 5, false};
    DrawTimeAxis(picTime, s, o.axes, settings);
    const std::vector<std::string> threeHourly = Texts(picTime);
    EXPECT_EQ(threeHourly[0], "00z");
    EXPECT_EQ(threeHourly[1], "Mo 7p");
    EXPECT_EQ(threeHourly[2], "12z");
    EXPECT_EQ(threeHourly[3], "Tu 7a");

    settings.HoursPerColumn = 0;
    picTime.ForgetOperations();
    DrawTimeAxis(picTime, s, o.axes, settings);
    EXPECT_TRUE(Texts(picTime).empty());

    // No sounding: a blank strip, no dates of an empty store.
    settings.HoursPerColumn = 3;
    s.LevelCount(1) = 0;
    picTime.ForgetOperations();
    DrawTimeAxis(picTime, s, o.axes, settings);
    EXPECT_TRUE(Texts(picTime).empty());
}

TEST(OverviewTimeAxis, NowMarksTheColumnOfThePresentHour) {
    OverviewTestSession o;
    o.session.HoursPerColumn = 3;
    o.session.config.TimeZoneOffset = 5;
    o.session.config.ClockIsLocal = true;
    // A local clock at 23:30 is 04:30 UTC, seven hour boundaries after the
    // first column at 21 UTC: column 7 / 3 = 2.
    o.ctx.clock = DateTime::FromParts(2026, 12, 9, 23, 30);
    PlotNow(o.ctx);
    const auto lines = o.picRH.OperationsOf(DrawOperation::Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].x1, 2.5);
    EXPECT_EQ(lines[0].state.drawWidth, 3);
    EXPECT_EQ(lines[0].color, kWhite);
    EXPECT_NEAR(lines[0].y1, std::log(100.0), 1e-5);
    EXPECT_NEAR(lines[0].y2, std::log(1000.0), 1e-5);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);

    // One hour before the first column lies in the column before it.
    o.ctx.clock = DateTime::FromParts(2026, 12, 9, 15, 30);
    o.picRH.ForgetOperations();
    PlotNow(o.ctx);
    EXPECT_DOUBLE_EQ(o.picRH.OperationsOf(DrawOperation::Kind::Line).at(0).x1, -0.5);
}

} // namespace
} // namespace tarvex
