#pragma once

#include "files/FieldReader.h"
#include "files/PrintZones.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

// The display settings of one slot of the main window ("A" to "D"), the 54
// lines of its file in order. An item is empty when it was not read from the
// file (missing, not a number, or outside its control's range): a recall
// leaves that control as it is.
struct DisplaySettings {
    template <typename T> using Item = std::optional<T>;
    using Check = Item<std::int16_t>; // check-box state 0, 1 or 2

    Check chkWindVector;                         // 1
    Item<std::int16_t> ColorWinds;               // 2: -1 true, 0 false
    Item<std::int16_t> DigitalWindStyle;         // 3
    Check chkWindDigital;                        // 4
    Check ChkOmega;                              // 5
    Item<std::int16_t> OmegaFiltered;            // 6
    Check chk10MWind;                            // 7
    Check chkRH;                                 // 8
    Check chkWetBulb;                            // 9
    Check chkInversions;                         // 10
    Check chkSnowGrowth;                         // 11
    Check chksWSYMb;                             // 12
    Check chkSkewT;                              // 13
    Check chkLines;                              // 14
    Check chkDryAdiabats;                        // 15
    Check chkClouds;                             // 16
    Item<std::int16_t> VWPInterval;              // 17: 1..3
    Item<std::int16_t> VWPIntervalA;             //     1..3
    Item<bool> UseVWPIntervalA;                  //     the word "True" only
    Item<std::int16_t> VerticalUnit;             // 18: 0..2
    Item<std::int16_t> MomentumXferIndex;        // 19: 0..3
    Item<std::int16_t> SkewTLeftTemp;            // 20
    Item<std::int16_t> ProfileLeftTemp;          //
    Item<std::int16_t> LeftTemp;                 //
    Item<std::int16_t> SkewTRightTemp;           // 21
    Item<std::int16_t> ProfileRightTemp;         //
    Item<std::int16_t> RightTemp;                //
    Item<std::int16_t> TopPressure;              // 22: mb
    Check chkLakeIndex;                          // 23
    Item<std::int16_t> vsbLakeF;                 // 24: 32..80 deg F
    Check chkMoistLakeIndex;                     // 25
    Check chkLIC;                                // 26
    Check chkLCL;                                // 27
    Check chkECAPE;                              // 28
    Check chkCCL;                                // 29
    Check chkConvectiveTemp;                     // 30
    Check chkWBZ;                                // 31
    Check chkLFC;                                // 32
    Check chkEQL;                                // 33
    Check chkParcel;                             // 34
    Check chkCINS;                               // 35
    Item<std::int16_t> ActivePanel;              // 36: 0..5, 6 (or -1) none open
    std::array<Check, 5> chkAngle;               // 37-41
    Check chkBrightBand;                         // 42
    Check chkSigmaLevel;                         // 43
    Check chkMeanFlow;                           // 44
    Item<float> SigmaLevelPressure;              // 45: mb
    std::array<Item<float>, 2> MeanFlowPressure; // 46, 47: mb
    Item<std::int16_t> DisplayMode;              // 48: 0..9 or 99
    Check chkActiveReadout;                      // 49
    Item<std::int16_t> ReadoutUnit;              //     0..2
    Check chkIcing;                              // 50
    Check chkMomentum;                           // 51
    Item<std::int16_t> UseThicknessMethod;       // 52: -1 true, 0 false
    Item<float> HodoTop;                         // 53: km, read as a whole number
    Item<float> HodoBase;                        // 54

    bool operator==(const DisplaySettings&) const = default;
};

// The slot's file: TempFolder + UserName + ".SP" + the slot digit.
std::filesystem::path DisplaySettingsPath(const std::string& TempFolder,
                                          const std::string& UserName, int slot);

// The text of a slot file: 54 lines ending in CR LF, items in print zones.
// An empty item is written as 0 (the writer is given every item).
std::string FormatDisplaySettings(const DisplaySettings& settings);

// Reads the items of a slot file in order. Fields are split at blanks,
// commas and line ends. A field that is not a number, or lies outside its
// control's range, leaves its item empty and reading goes on with the next
// field; the items after the end of the text stay empty. Never throws.
DisplaySettings ParseDisplaySettings(std::string_view text);

// Writes the slot file whole or not at all.
TextFileResult WriteDisplaySettings(const std::filesystem::path& path,
                                    const DisplaySettings& settings);

// Reads the slot file into settings. A missing file gives missing; a file
// that is not a regular file, too large or not of 54 lines is refused
// with its reason, and settings are left as they were.
TextFileResult ReadDisplaySettings(const std::filesystem::path& path, DisplaySettings& settings);

} // namespace tarvex
