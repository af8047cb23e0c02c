#pragma once

// A display-settings slot for the tests of its file and of the window, and
// the check that each item of a settings file stands at its own place.
#include "files/DisplaySettingsFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tarvex::test {

// An item of a settings file: its line (from 1), its place on the line (from
// 0), and a change of that item alone.
template <typename Settings> struct ItemPlace {
    int line;
    int item;
    std::function<void(Settings&)> change;
};

// A check state or flag turned over: 0 becomes 1, anything else 0.
template <typename T> void Flip(std::optional<T>& value) {
    value = value.value_or(T{}) == T{} ? T{1} : T{};
}
template <typename T> void Flip(T& value) {
    value = value == T{} ? T{1} : T{};
}

// The items of a settings text, line by line, split at blanks and commas.
inline std::vector<std::vector<std::string>> SettingsItems(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        for (char& c : line)
            if (c == ',' || c == '\r') c = ' ';
        std::istringstream fields(line);
        lines.emplace_back();
        for (std::string field; fields >> field;) lines.back().push_back(field);
    }
    return lines;
}

// Changed alone, each item changes the written file at its own place and
// nowhere else, and reads back as written: two items swapped in the layout,
// or one left out, show at once.
template <typename Settings, typename Format, typename Parse>
void ExpectEachItemAtItsPlace(const Settings& base, const std::vector<ItemPlace<Settings>>& places,
                              Format format, Parse parse) {
    const auto before = SettingsItems(format(base));
    for (const ItemPlace<Settings>& place : places) {
        Settings changed = base;
        place.change(changed);
        const std::string text = format(changed);
        const auto after = SettingsItems(text);
        std::vector<std::pair<int, int>> differ;
        for (std::size_t l = 0; l < std::max(before.size(), after.size()); ++l) {
            const auto& a = l < before.size() ? before[l] : std::vector<std::string>{};
            const auto& b = l < after.size() ? after[l] : std::vector<std::string>{};
            for (std::size_t k = 0; k < std::max(a.size(), b.size()); ++k)
                if (k >= a.size() || k >= b.size() || a[k] != b[k])
                    differ.emplace_back(static_cast<int>(l) + 1, static_cast<int>(k));
        }
        const std::vector<std::pair<int, int>> expected = {{place.line, place.item}};
        EXPECT_EQ(differ, expected) << "line " << place.line << " item " << place.item;
        EXPECT_TRUE(parse(text) == changed) << "line " << place.line << " item " << place.item;
    }
}

// A slot where no item holds its window's start value.
inline DisplaySettings ChangedSlot() {
    DisplaySettings d;
    d.chkWindVector = 1;
    d.ColorWinds = -1;
    d.DigitalWindStyle = 0;
    d.chkWindDigital = d.ChkOmega = 1;
    d.OmegaFiltered = 0;
    d.chk10MWind = d.chkRH = d.chkWetBulb = d.chkInversions = d.chkSnowGrowth = d.chksWSYMb = 1;
    d.chkSkewT = 0;
    d.chkLines = d.chkDryAdiabats = d.chkClouds = 1;
    d.VWPInterval = 3;
    d.VWPIntervalA = 2;
    d.UseVWPIntervalA = true;
    d.VerticalUnit = 2;
    d.MomentumXferIndex = 3;
    d.SkewTLeftTemp = -55;
    d.ProfileLeftTemp = d.LeftTemp = -40;
    d.SkewTRightTemp = 15;
    d.ProfileRightTemp = d.RightTemp = 25;
    d.TopPressure = 200;
    d.chkLakeIndex = 1;
    d.vsbLakeF = 40;
    d.chkMoistLakeIndex = d.chkLIC = d.chkLCL = d.chkECAPE = d.chkCCL = 1;
    d.chkConvectiveTemp = d.chkWBZ = d.chkLFC = d.chkEQL = d.chkParcel = d.chkCINS = 1;
    d.ActivePanel = 2;
    d.chkAngle = {1, 0, 1, 0, 2};
    d.chkBrightBand = 1;
    d.chkSigmaLevel = 0;
    d.chkMeanFlow = 1;
    d.SigmaLevelPressure = 500.5f;
    d.MeanFlowPressure = {850.0f, 700.25f};
    d.DisplayMode = 7;
    d.chkActiveReadout = 1;
    d.ReadoutUnit = 2;
    d.chkIcing = d.chkMomentum = 1;
    d.UseThicknessMethod = -1;
    d.HodoTop = 6.0f;
    d.HodoBase = 1.0f;
    return d;
}

} // namespace tarvex::test
