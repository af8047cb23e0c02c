#pragma once

// What every overview picture must hold, checked on recordings of the window's
// pictures: labels at their hours, values whole.

#include "OverviewWindowFixture.h"
#include "platform/ReadableText.h"
#include "platform/TextPixels.h"

#include "compute/ParcelState.h"
#include "compute/WholeRun.h"
#include "overview/fields/TimeAxis.h"
#include "overview/panels/HourPanels.h"
#include "overview/panels/SelectedHour.h"
#include "platform/Format.h"
#include "profile/diagrams/HodographDiagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

namespace tarvex::test {

// How many of the checks made inside a condition ran, so that a test over
// many pictures can show that each of them was tried at all.
struct OverviewCheckCounts {
    int timeLabels = 0;        // time-strip labels checked on their columns
    int elevatedContours = 0;  // elevated-CAPE contours checked for a label
    int isothermHeights = 0;   // isotherm heights checked against the shown hours
    int extremumLetters = 0;   // "X" and "N" checked on their columns
    TextPixelCounts pixels;    // the pictures drawn with and without texts
    TextPixelSurfaces rasters; // the raster surfaces they are drawn on
};

// The window's three pictures drawn on raster surfaces of their sizes: their
// texts cost no pixel outside their boxes, and nothing covers a value.
inline ::testing::AssertionResult OverviewTextsCostNoPixels(Session& session, FrmOverView& w,
                                                            OverviewCheckCounts* counts) {
    std::vector<PictureSize> sizes;
    for (const PictureBox* box : {w.picRH, w.picLeft, w.picRight})
        sizes.push_back({box->Surface().PixelWidth(), box->Surface().PixelHeight(),
                         box->Surface().DesignWidth(), box->Surface().DesignHeight()});
    return TextsCostNoPixels(
        sizes,
        [&](const std::vector<RasterSurface*>& pics) {
            OverviewAxes axes = w.axes;
            OverviewContext ctx{session,
                                w.options,
                                axes,
                                *pics[0],
                                *pics[1],
                                *pics[2],
                                DateTime::FromParts(2024, 1, 15, 12, 0),
                                {}};
            ::tarvex::RedrawOverview(ctx, false);
        },
        counts ? &counts->pixels : nullptr, counts ? &counts->rasters : nullptr);
}

// The columns x of the picture's scale holds, its edges included.
inline bool ColumnShown(const DrawOperation& op, double x) {
    const double lo = std::min(op.scale.left, op.scale.left + op.scale.width);
    const double hi = std::max(op.scale.left, op.scale.left + op.scale.width);
    return x >= lo - 1e-6 && x <= hi + 1e-6;
}

// Pixel x of column c on a picture width pixels wide, in op's scale.
inline double PixelOf(const DrawOperation& op, double c, int width) {
    return (c - op.scale.left) / op.scale.width * width;
}

// The time strip: every label the time of its column, standing on it (the
// column's x inside the label), for the columns of the time window only, and
// none left out.
inline void ExpectTimeStripOnItsColumns(const Session& session, FrmOverView& w,
                                        OverviewCheckCounts* counts = nullptr) {
    RecordingSurface time(w.picTime->width(), w.picTime->height());
    const TimeAxisSettings settings = TimeAxisSettingsOf(session);
    DrawTimeAxis(time, *session.profile, w.axes, settings);
    EXPECT_TRUE(NoValueLeftOut(time)) << "picTime";
    EXPECT_TRUE(TextIsReadable(time)) << "picTime";
    EXPECT_TRUE(LabelsAtTheirAnchors(time)) << "picTime";
    const ProfileArrays& s = *session.profile;
    const DateTime first = s.ValidTime(s.CurrentModel, 0);
    const auto texts = time.OperationsOf(DrawOperation::Kind::Text);
    std::size_t columns = 0;
    for (int c = 0; c <= std::lround(w.axes.ScaleLeftColumn); c += settings.ColumnsPerMark)
        columns += c >= w.axes.ScaleRightColumn;
    // A strip too narrow for every mark's label (a long run in a narrow
    // window) leaves out those that would cover a neighbour's, never one
    // with room.
    std::vector<DrawnText> crowded;
    for (const DrawnText& left : time.LeftOutTexts())
        if (left.AnchorInside(time.PixelWidth(), time.PixelHeight())) crowded.push_back(left);
    EXPECT_EQ(texts.size() + crowded.size(), 2 * columns);
    for (const DrawnText& left : crowded) {
        const auto& drawn = time.DrawnTexts();
        EXPECT_TRUE(
            std::any_of(drawn.begin(), drawn.end(),
                        [&](const DrawnText& t) { return TextRectsOverlap(t.rect, left.rect); }))
            << '"' << left.text << "\" left out with room";
    }
    for (const DrawOperation& op : texts) {
        const double left = PixelOf(op, op.x1, time.PixelWidth());
        const double right = PixelOf(op, op.x1 + time.TextWidth(op.text), time.PixelWidth());
        bool onItsColumn = false;
        for (int c = 0; c <= std::lround(w.axes.ScaleLeftColumn); c += settings.ColumnsPerMark) {
            const int hours = c * settings.HoursPerColumn;
            std::string local =
                Format(first.AddHours(hours - settings.UtcOffsetHours), "ddd ha/p").erase(2, 1);
            const bool same = op.text == Format(first.AddHours(hours), "hhz") || op.text == local;
            const double x = PixelOf(op, c, time.PixelWidth());
            onItsColumn =
                onItsColumn || (same && ColumnShown(op, c) && x >= left - 1.0 && x <= right + 1.0);
        }
        EXPECT_TRUE(onItsColumn) << '"' << op.text << "\" at " << left << " px";
        if (counts) ++counts->timeLabels;
    }
}

// The height labels of an isotherm series inside the time window: those of
// its marked hours (a change of more than the label step since the last).
inline std::set<std::string> ShownHeights(const Session& session, const TimeField& H,
                                          const OverviewAxes& axes) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    std::set<std::string> shown;
    float marked = -9999.0f;
    for (int t = 0; t <= s.LastTime(m); ++t) {
        if (!(std::fabs(marked - H(m, t)) > session.config.IsothermLabelStep)) continue;
        marked = H(m, t);
        if (t >= axes.ScaleRightColumn && t <= axes.ScaleLeftColumn)
            shown.insert(Format(H(m, t) / 1000.0, "#0.0"));
    }
    return shown;
}

// Each elevated-CAPE contour that crosses a few cells inside the time window
// keeps a label.
inline void ExpectEveryElevatedCapeContourLabelled(const Session& session, const FrmOverView& w,
                                                   const RecordingSurface& rh,
                                                   OverviewCheckCounts* counts) {
    const int m = session.profile->CurrentModel;
    const LevelField& f = session.elevated->ElevCAPE;
    const int top = w.axes.TopLevel[m];
    const int first = std::max(0, static_cast<int>(std::ceil(w.axes.ScaleRightColumn)));
    const int last = std::min<int>(session.profile->LastTime(m),
                                   static_cast<int>(std::floor(w.axes.ScaleLeftColumn)));
    constexpr int kFactors[] = {1, 20, 40, 100, 200, 400};
    for (int i = std::clamp<int>(w.options.ECAPELegendStart, 0, 5); i < 6; ++i) {
        const float v = static_cast<float>(w.options.ContourInterval * kFactors[i]);
        // Contours are labelled where they cross a column between two levels;
        // one that only runs up between columns keeps none.
        int crossed = 0;
        for (int t = first; t < last; ++t)
            for (int k = 1; k < top; ++k) crossed += (f(m, t, k) > v) != (f(m, t, k + 1) > v);
        if (crossed < 3) continue;
        if (counts) ++counts->elevatedContours;
        const std::string label = PrintForm(v);
        const auto& texts = rh.DrawnTexts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const DrawnText& t) { return t.text == label; }))
            << "elevated CAPE " << v << " crosses " << crossed << " columns without a label";
    }
}

// Each repeat (a contour label) stands about a blank's width (a quarter of its
// font's pixel size) beside every text that shares its rows, so that two
// numbers never read as one.
inline ::testing::AssertionResult RepeatsKeepAGap(const RecordingSurface& pic) {
    const auto& texts = pic.DrawnTexts();
    for (const DrawnText& r : texts) {
        if (r.kind != TextKind::Repeat || r.mayOverlap) continue;
        for (const DrawnText& p : texts) {
            if (&p == &r || p.mayOverlap) continue;
            const double down =
                std::min(r.rect.Bottom(), p.rect.Bottom()) - std::max(r.rect.top, p.rect.top);
            const double apart =
                std::max(p.rect.left - r.rect.Right(), r.rect.left - p.rect.Right());
            if (down > 1.0 && apart < 0.25 * r.fontPixels)
                return ::testing::AssertionFailure()
                       << '"' << r.text << "\" at " << r.rect.left << "," << r.rect.top << " "
                       << apart << " px from \"" << p.text << "\" at " << p.rect.left << ","
                       << p.rect.top;
        }
    }
    return ::testing::AssertionSuccess();
}

// Each isotherm height keeps off every isotherm marker but its own (the one
// of its hour, whose height it is): printed in the line's colour, which the
// markers' fill shares, on another marker it would read as part of the dot.
inline ::testing::AssertionResult IsothermHeightsClearOfMarkers(const Session& session,
                                                                const RecordingSurface& rh) {
    const int m = session.profile->CurrentModel;
    const WholeRunResults& run = *session.wholeRun;
    for (const DrawOperation& text : rh.OperationsOf(DrawOperation::Kind::Text)) {
        if (text.color != RGB(255, 127, 63) || text.text.find('.') == std::string::npos) continue;
        const TextRect& box = text.textRect;
        for (const DrawOperation& dot : rh.OperationsOf(DrawOperation::Kind::Circle)) {
            const int t = static_cast<int>(std::lround(dot.x1));
            if (text.text == Format(run.FreezingLevelFt(m, t) / 1000.0, "#0.0") ||
                text.text == Format(run.Minus20LevelFt(m, t) / 1000.0, "#0.0"))
                continue;
            const double x = PixelOf(dot, dot.x1, rh.PixelWidth());
            const double y = (dot.y1 - dot.scale.top) / dot.scale.height * rh.PixelHeight();
            const double r = std::fabs(dot.radius * rh.PixelWidth() / dot.scale.width) +
                             dot.state.drawWidth / 2.0;
            const double dx = x - std::clamp(x, box.left, box.Right());
            const double dy = y - std::clamp(y, box.top, box.Bottom());
            if (std::hypot(dx, dy) < r - 0.5)
                return ::testing::AssertionFailure()
                       << '"' << text.text << "\" at " << box.left << ", " << box.top
                       << " on the marker at " << x << ", " << y;
        }
    }
    return ::testing::AssertionSuccess();
}

// The time-height picture: extremum letters on an interior column inside
// the window, isotherm heights only of hours inside it and none left out;
// the side scales whole and none of their labels left out.
inline void ExpectOverviewPictures(Session& session, FrmOverView& w,
                                   OverviewCheckCounts* counts = nullptr) {
    const std::unique_ptr<RecordedOverview> drawn = RecordOverview(session, w);
    EXPECT_TRUE(OverviewTextsCostNoPixels(session, w, counts));
    EXPECT_TRUE(NothingLeftOut(drawn->left)) << "picLeft";
    EXPECT_TRUE(NothingLeftOut(drawn->right)) << "picRight";
    EXPECT_TRUE(TextIsReadable(drawn->left)) << "picLeft";
    EXPECT_TRUE(TextIsReadable(drawn->right)) << "picRight";
    const RecordingSurface& rh = drawn->rh;
    EXPECT_TRUE(TextIsReadable(rh)) << "picRH";
    EXPECT_TRUE(RepeatsKeepAGap(rh)) << "picRH";
    EXPECT_TRUE(NoValueLeftOut(rh)) << "picRH";
    EXPECT_TRUE(LabelsAtTheirAnchors(rh)) << "picRH";
    EXPECT_TRUE(IsothermHeightsClearOfMarkers(session, rh)) << "picRH";
    EXPECT_TRUE(LabelsAtTheirAnchors(drawn->left)) << "picLeft";
    EXPECT_TRUE(LabelsAtTheirAnchors(drawn->right)) << "picRight";
    // An isotherm height gives way only to another label or a value, never
    // to a repeat.
    for (const DrawnText& left : rh.LeftOutTexts()) {
        if (left.text.find('.') == std::string::npos) continue;
        const auto& texts = rh.DrawnTexts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const DrawnText& t) {
                                    return t.kind != TextKind::Repeat &&
                                           TextRectsOverlap(t.rect, left.rect);
                                }))
            << "isotherm height left out: " << left.text;
    }
    std::set<std::string> heights;
    if (w.options.chkFreezingLevel) {
        heights = ShownHeights(session, session.wholeRun->FreezingLevelFt, w.axes);
        const auto minus20 = ShownHeights(session, session.wholeRun->Minus20LevelFt, w.axes);
        heights.insert(minus20.begin(), minus20.end());
    }
    const int last = session.profile->LastTime(session.profile->CurrentModel);
    if (w.options.chkECAPE) ExpectEveryElevatedCapeContourLabelled(session, w, rh, counts);
    for (const DrawOperation& op : rh.OperationsOf(DrawOperation::Kind::Text)) {
        if (op.color == RGB(255, 127, 63) && op.text.find('.') != std::string::npos) {
            EXPECT_EQ(heights.count(op.text), 1u) << "isotherm height of a hidden hour " << op.text;
            if (counts) ++counts->isothermHeights;
        }
        if (op.text != "X" && op.text != "N") continue;
        const double width = rh.TextWidth(op.text);
        const double middle = op.x1 + width / 2.0;
        // A letter an edge of the window would cut moves in just enough to
        // stand whole; its column must still be shown and lie under it.
        const double lo = std::min(op.scale.left, op.scale.left + op.scale.width);
        const double hi = std::max(op.scale.left, op.scale.left + op.scale.width);
        const double boxLo = std::min(op.x1, op.x1 + width);
        const double boxHi = std::max(op.x1, op.x1 + width);
        const bool movedIn = boxLo <= lo + 1e-6 || boxHi >= hi - 1e-6;
        double column = std::round(middle);
        if (movedIn) column = boxLo <= lo + 1e-6 ? std::ceil(lo - 1e-6) : std::floor(hi + 1e-6);
        EXPECT_TRUE(column >= 1 && column <= last - 1 && ColumnShown(op, column) &&
                    (std::fabs(middle - column) < 1e-6 ||
                     (movedIn && column >= boxLo - 1e-6 && column <= boxHi + 1e-6)))
            << op.text << " at column " << middle;
        if (counts) ++counts->extremumLetters;
    }
}

// Both map panes (the layer-mean wind's and the sigma level's) drawn at the
// size of the window's map panel over the map background, at every hour of
// the run: their texts, the background's city names among them, cost no
// pixel outside their boxes, nothing covers a value, no two overlap and no
// value gives way. Counts the city names checked in names.
inline void ExpectMapPanesReadable(Session& session, const FrmOverView& w,
                                   const MapGeography& geography, const SoundingView& mainView,
                                   long& names) {
    const PictureSurface& shown = w.HourPanelBox(static_cast<int>(HourPanel::Map))->Surface();
    const PictureSize size{shown.PixelWidth(), shown.PixelHeight(), shown.DesignWidth(),
                           shown.DesignHeight()};
    const TextPixelBackgrounds backgrounds =
        DrawTextPixelBackgrounds(size, [&](RasterSurface& buffer) {
            DrawMapPaneBackground(buffer, geography, *session.profile,
                                  UsableMapView(session.history.MapView), size.designWidth,
                                  size.designHeight);
        });
    TextPixelSurfaces surfaces;
    const HodographView hodoView;
    const ProfileArrays& s = *session.profile;
    for (std::int16_t hour = 0; hour <= s.LastTime(s.CurrentModel); ++hour) {
        const auto drawn = TextsCostNoPixels(
            {size, size},
            [&](const std::vector<RasterSurface*>& panes) {
                for (const bool meanWind : {false, true}) {
                    OverviewOptions options = w.options;
                    options.chkMeanWind = meanWind;
                    RasterSurface& pane = *panes[meanWind];
                    MapWindState wind;
                    HourPanelContext ctx{
                        session, options, mainView, hodoView, backgrounds.For(pane), wind};
                    DrawHourPanel(HourPanel::Map, pane, ctx, hour);
                }
            },
            nullptr, &surfaces);
        EXPECT_TRUE(drawn) << "map panes, hour " << hour;
        for (const auto& pane : surfaces.usual) {
            EXPECT_TRUE(TextIsReadable(*pane)) << "map pane, hour " << hour;
            EXPECT_TRUE(NoValueLeftOut(*pane)) << "map pane, hour " << hour;
            names += std::ranges::count(pane->DrawnTexts(), TextKind::Repeat, &DrawnText::kind);
        }
    }
}

// Each floating panel drawn for the hour at the size the window gives it:
// every text whole, inside the panel, none left out.
inline void ExpectPanelsWhole(Session& session, FrmOverView& w, const SoundingView& mainView,
                              std::int16_t hour) {
    for (int k = 0; k < 4; ++k) {
        session.history.SelectedPanel = static_cast<std::int16_t>(k);
        w.ShowHourProfile(hour);
        const PictureBox& box = *w.HourPanelBox(k);
        RecordingSurface panel(box.width(), box.height());
        panel.SetDesignSize(box.Surface().DesignWidth(), box.Surface().DesignHeight());
        const HodographView hodoView;
        const Picture background;
        MapWindState wind;
        HourPanelContext ctx{session, w.options, mainView, hodoView, background, wind};
        DrawHourPanel(static_cast<HourPanel>(k), panel, ctx, hour);
        EXPECT_TRUE(TextIsReadable(panel)) << "floating panel " << k;
        EXPECT_TRUE(NothingLeftOut(panel)) << "floating panel " << k;
        w.HourPanelBox(k)->hide();
    }
}

} // namespace tarvex::test
