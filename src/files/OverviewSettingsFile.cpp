#include "files/OverviewSettingsFile.h"

#include "files/ScaleBounds.h"

#include "files/HistoryFile.h"
#include "files/SlotSettingsIo.h"

#include <limits>

namespace tarvex {

const std::array<const char*, OverviewSettings::kBoxes> kOverviewSettingsBoxes = {
    // Lines 1-5.
    "chkRH_0", "chkRH_1", "chkPrecip", "chkSnow", "chkSnowRatio",
    // Lines 7-34.
    "chk3HPresChange", "chkSfcPres", "chkWinds", "chkVVTrend", "chkMeanWind", "chkVWP",
    "chkVWPColor", "chkInversions", "chkLakeIndex", "chkMoistLakeIndex", "chkSfcTemp",
    "chkSkinTemp", "chkSfcDewPoint", "chkWindChill", "chkApparentTemp", "chkTotalTotals", "chkTQ",
    "chkClouds", "chkEvaporation", "chkRunOff", "chkHelicity", "chkStormRelInflow", "chkMBEspeed",
    "chkFreezingLevel", "chkTemperature", "chkTheta", "chkThetaE", "chkDPD",
    // Line 35.
    "chkECAPE",
    // Lines 36-60.
    "chkRHContour", "chkRHIcontour", "chkWetBulb", "chkVelocity", "chkShearContour", "ChkOmega",
    "chkInstability", "chkLayerShear", "chkMixingRatio", "chkMeanMixingRatio", "chkCAPE",
    "chkVentilation", "chkDavisIndex", "chkHainesIndex", "chkMixingLayer", "chkTransportWinds",
    "chkTransportSpeed", "chkWarmCloud", "chkGridLeft", "chkGridWind", "chkGridLakeIndex",
    "chkGridHeight", "chkGridPrecip", "chkGridWind", "chkGridTemp",
    // Lines 83, 84.
    "chkGridTime", "chkNow", "chkLIC", "chkLIE",
    // Lines 85-91.
    "chkDeltaThetaE", "chkIcing", "chkVisibility", "chkCloudBase", "chkPrecipWater",
    "chkSnowGrowth", "chksWSYMb",
    // Lines 95, 96.
    "chkHeights", "chkELCIN"};

namespace {

constexpr float kHighest = std::numeric_limits<float>::max();

// The items of the file in order, line by line, for one visitor: the reader
// and the writer walk the same list. `boxes` runs through the check boxes of
// Boxes; `count` boxes go on one line each, or all on one line.
template <typename Settings, typename Visitor> void VisitOverviewSettings(Settings& s, Visitor& v) {
    std::size_t box = 0;
    auto boxLines = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            v.Check(s.Boxes[box++]);
            v.EndLine();
        }
    };
    auto boxesOnOneLine = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) v.Check(s.Boxes[box++]);
        v.EndLine();
    };
    auto integerLine = [&](auto& item, std::int16_t lowest, std::int16_t highest) {
        v.Integer(item, lowest, highest);
        v.EndLine();
    };
    boxLines(5);
    integerLine(s.SnowRatioTechnique, 0, 3);
    boxLines(28);
    v.Check(s.Boxes[box++]);
    v.Integer(s.ECAPELegendStart, 0, 6);
    v.EndLine();
    boxLines(25);
    // Side scales: bases and spans within the scale bounds.
    auto scaleValue = [&](auto& item) { v.Single(item, -kMostScaleValue, kMostScaleValue); };
    scaleValue(s.PressureTraceBase);
    scaleValue(s.PressureTraceSpan);
    v.EndLine();
    // Tops of side scales: a value of 0 or below would leave no scale.
    for (auto& top : s.ScaleTops) v.Single(top, std::numeric_limits<float>::min(), kMostScaleValue);
    v.EndLine();
    scaleValue(s.DirectionTop);
    scaleValue(s.DirectionSpan);
    v.EndLine();
    scaleValue(s.IndexBase);
    scaleValue(s.IndexSpan);
    v.EndLine();
    integerLine(s.VerticalUnits, 0, 2);
    integerLine(s.MomentumTransferIndex, 0, 3);
    integerLine(s.PressureBaseExtended, -1, 0);
    // The profile scale spans log pressures: up to a factor e^5 of pressure.
    v.Single(s.LnPSpan, std::numeric_limits<float>::min(), 5.0f);
    v.EndLine();
    scaleValue(s.PrecipBase);
    scaleValue(s.PrecipSpan);
    v.EndLine();
    v.Single(s.TraceBase, -kMostTraceValue, kMostTraceValue);
    v.Single(s.TraceSpan, -kMostTraceValue, kMostTraceValue);
    v.EndLine();
    integerLine(s.RHLegendIndex, 0, 5);
    integerLine(s.ContourIntervalIndex, 0, 3);
    integerLine(s.ControlPanelIndex, 0, 7);
    for (auto& option : s.optLayerShear) {
        v.Word(option);
        v.EndLine();
    }
    v.Single(s.SigmaLevelPressure, 1.0f, 1100.0f);
    v.EndLine();
    for (auto& pressure : s.MeanWindPressure) v.Single(pressure, 1.0f, 1100.0f);
    v.EndLine();
    v.Integer(s.VWPInterval, 1, 3);
    v.Integer(s.VWPIntervalA, 1, 3);
    v.Word(s.VWPUseA);
    v.EndLine();
    integerLine(s.WindColorIndex, 0, 3);
    integerLine(s.CloudsToggle, -1, 0);
    integerLine(s.HainesLevel, 1, 3);
    v.Integer(s.SelectedPanel, 0, 4);
    v.Integer(s.SumFieldIndex, 0, 3);
    v.EndLine();
    boxesOnOneLine(2);
    boxesOnOneLine(2);
    boxLines(7);
    v.Single(s.HelicityTop, 0.0f, 20.0f);
    v.EndLine();
    v.Single(s.HelicityBottom, 0.0f, 20.0f);
    v.EndLine();
    for (auto& colour : s.CAPEkmColours) v.Long(colour);
    v.EndLine();
    boxLines(2);
    for (auto& colour : s.HeightsColours) v.Long(colour);
    v.EndLine();
    integerLine(s.MixingLayerMode, 0, 1);
}

// A span is a divisor of its scale: 0 leaves the item unread.
void DropZeroSpans(OverviewSettings& s) {
    for (auto* span :
         {&s.PressureTraceSpan, &s.DirectionSpan, &s.IndexSpan, &s.PrecipSpan, &s.TraceSpan})
        if (*span && **span == 0.0f) span->reset();
}

} // namespace

std::filesystem::path OverviewSettingsPath(const std::string& TempFolder,
                                           const std::string& UserName, int slot) {
    return std::filesystem::path(TempFolder + UserName + ".SO" + std::to_string(slot));
}

std::string FormatOverviewSettings(const OverviewSettings& settings) {
    SettingsWriter writer(SettingsWriter::Spacing::Joined);
    VisitOverviewSettings(settings, writer);
    return writer.Text();
}

OverviewSettings ParseOverviewSettings(std::string_view text) {
    OverviewSettings settings;
    SettingsReader reader(text);
    VisitOverviewSettings(settings, reader);
    DropZeroSpans(settings);
    return settings;
}

TextFileResult WriteOverviewSettings(const std::filesystem::path& path,
                                     const OverviewSettings& settings) {
    return WriteTextFileWhole(path, FormatOverviewSettings(settings));
}

TextFileResult ReadOverviewSettings(const std::filesystem::path& path, OverviewSettings& settings) {
    // The line count of the layout, from the list the writer walks.
    SettingsLineCounter counter;
    const OverviewSettings layout;
    VisitOverviewSettings(layout, counter);
    return ReadSlotFile(path, counter.Lines(),
                        [&](std::string_view text) { settings = ParseOverviewSettings(text); });
}

} // namespace tarvex
