#pragma once

#include "files/FieldReader.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

// The overview's display settings of one slot ("A" to "D" are 0..3, 9 the
// slot kept across a reload), the 98 lines of its file in order. An item is
// empty when it was not read from the file (missing, not a number, or
// outside its control's range): a recall leaves that control as it is.
struct OverviewSettings {
    template <typename T> using Item = std::optional<T>;
    using Check = Item<std::int16_t>; // check-box state 0, 1 or 2

    // Every check box of the file, in file order (see kOverviewSettingsBoxes).
    static constexpr std::size_t kBoxes = 72;
    std::array<Check, kBoxes> Boxes;

    Item<std::int16_t> SnowRatioTechnique;            // 6: 0..3
    Item<std::int16_t> ECAPELegendStart;              // 35, after chkECAPE: 0..6
    Item<float> PressureTraceBase;                    // 61
    Item<float> PressureTraceSpan;                    //
    std::array<Item<float>, 3> ScaleTops;             // 62: CAPE, visibility, ventilation
    Item<float> DirectionTop;                         // 63
    Item<float> DirectionSpan;                        //
    Item<float> IndexBase;                            // 64
    Item<float> IndexSpan;                            //
    Item<std::int16_t> VerticalUnits;                 // 65: 0..2
    Item<std::int16_t> MomentumTransferIndex;         // 66: 0..3
    Item<std::int16_t> PressureBaseExtended;          // 67: -1 true, 0 false
    Item<float> LnPSpan;                              // 68
    Item<float> PrecipBase;                           // 69
    Item<float> PrecipSpan;                           //
    Item<float> TraceBase;                            // 70
    Item<float> TraceSpan;                            //
    Item<std::int16_t> RHLegendIndex;                 // 71: 0..5
    Item<std::int16_t> ContourIntervalIndex;          // 72: 0..3
    Item<std::int16_t> ControlPanelIndex;             // 73: 0..7
    std::array<Item<bool>, 2> optLayerShear;          // 74, 75: the words "True" / "False"
    Item<float> SigmaLevelPressure;                   // 76: mb
    std::array<Item<float>, 2> MeanWindPressure;      // 77: mb, bottom then top
    Item<std::int16_t> VWPInterval;                   // 78: 1..3
    Item<std::int16_t> VWPIntervalA;                  //     1..3
    Item<bool> VWPUseA;                               //     the word "True" only
    Item<std::int16_t> WindColorIndex;                // 79: 0..3
    Item<std::int16_t> CloudsToggle;                  // 80: -1 true, 0 false
    Item<std::int16_t> HainesLevel;                   // 81: 1..3
    Item<std::int16_t> SelectedPanel;                 // 82: 0..4
    Item<std::int16_t> SumFieldIndex;                 //     0..3
    Item<float> HelicityTop;                          // 92: km
    Item<float> HelicityBottom;                       // 93: km
    std::array<Item<std::int32_t>, 5> CAPEkmColours;  // 94: btnCAPEkm 0, 3, 4, 5, 6
    std::array<Item<std::int32_t>, 3> HeightsColours; // 97: btnHeights 1, 2, 3
    Item<std::int16_t> MixingLayerMode;               // 98: 0..1

    bool operator==(const OverviewSettings&) const = default;
};

// The names of the check boxes of Boxes, in file order. "chkGridWind" stands
// twice (lines 55 and 59); a recall sets it from both.
extern const std::array<const char*, OverviewSettings::kBoxes> kOverviewSettingsBoxes;

// The slot's file: TempFolder + UserName + ".SO" + the slot number.
std::filesystem::path OverviewSettingsPath(const std::string& TempFolder,
                                           const std::string& UserName, int slot);

// The text of a slot file: 98 lines ending in CR LF; the values of a line
// follow one another in the print statement's number form. An empty item is
// written as 0.
std::string FormatOverviewSettings(const OverviewSettings& settings);

// Reads the items of a slot file in order. Fields are split at blanks,
// commas and line ends. A field that is not a number, or lies outside its
// control's range, leaves its item empty and reading goes on with the next
// field; the items after the end of the text stay empty. Never throws.
OverviewSettings ParseOverviewSettings(std::string_view text);

// Writes the slot file whole or not at all.
TextFileResult WriteOverviewSettings(const std::filesystem::path& path,
                                     const OverviewSettings& settings);

// Reads the slot file into settings. A missing file gives missing; a file
// that is not a regular file, too large or not of 98 lines is refused
// with its reason, and settings are left as they were.
TextFileResult ReadOverviewSettings(const std::filesystem::path& path, OverviewSettings& settings);

} // namespace tarvex
