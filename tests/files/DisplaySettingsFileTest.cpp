#include "files/DisplaySettingsFile.h"
#include "files/SlotFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

using test::ChangedSlot;
using test::Flip;
using D = DisplaySettings;

// The file of ChangedSlot, line by line (CR LF added below); the second
// item of a line starts in column 15, the third in column 29.
const std::vector<std::string> kChangedLines = {" 1 ",
                                                "-1 ",
                                                " 0 ",
                                                " 1 ",
                                                " 1 ",
                                                " 0 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 0 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 3             2            True", // 17
                                                " 2 ",
                                                " 3 ",                              // 18, 19
                                                "-55           -40           -40 ", // 20
                                                " 15            25            25 ", // 21
                                                " 200 ",
                                                " 1 ",
                                                " 40 ", // 22-24
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ",
                                                " 1 ", // 25-35
                                                " 2 ", // 36
                                                " 1 ",
                                                " 0 ",
                                                " 1 ",
                                                " 0 ",
                                                " 2 ", // 37-41
                                                " 1 ",
                                                " 0 ",
                                                " 1 ", // 42-44
                                                " 500.5 ",
                                                " 850 ",
                                                " 700.25 ",          // 45-47
                                                " 7 ",               // 48
                                                " 1             2 ", // 49
                                                " 1 ",
                                                " 1 ",
                                                "-1 ",
                                                " 6 ",
                                                " 1 "}; // 50-54

std::string Joined(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t k = 0; k < count; ++k) text += lines[k] + "\r\n";
    return text;
}

TEST(DisplaySettingsFile, WritesTheSlotLineByLineInPrintZones) {
    ASSERT_EQ(kChangedLines.size(), 54u);
    EXPECT_EQ(FormatDisplaySettings(ChangedSlot()), Joined(kChangedLines, 54));
    EXPECT_EQ(ParseDisplaySettings(Joined(kChangedLines, 54)), ChangedSlot());
    EXPECT_EQ(DisplaySettingsPath("/home/ops/.local/Tarvex/", "ops", 2).string(),
              "/home/ops/.local/Tarvex/ops.SP2");
    EXPECT_EQ(DisplaySettingsPath("", "ops", 1).string(), "ops.SP1");
}

// Every item of the slot stands on its own line and place of the layout.
TEST(DisplaySettingsFile, EachItemHasItsOwnPlace) {
    std::vector<test::ItemPlace<D>> places = {{1, 0, [](D& d) { Flip(d.chkWindVector); }},
                                              {2, 0, [](D& d) { Flip(d.ColorWinds); }},
                                              {3, 0, [](D& d) { Flip(d.DigitalWindStyle); }},
                                              {4, 0, [](D& d) { Flip(d.chkWindDigital); }},
                                              {5, 0, [](D& d) { Flip(d.ChkOmega); }},
                                              {6, 0, [](D& d) { Flip(d.OmegaFiltered); }},
                                              {7, 0, [](D& d) { Flip(d.chk10MWind); }},
                                              {8, 0, [](D& d) { Flip(d.chkRH); }},
                                              {9, 0, [](D& d) { Flip(d.chkWetBulb); }},
                                              {10, 0, [](D& d) { Flip(d.chkInversions); }},
                                              {11, 0, [](D& d) { Flip(d.chkSnowGrowth); }},
                                              {12, 0, [](D& d) { Flip(d.chksWSYMb); }},
                                              {13, 0, [](D& d) { Flip(d.chkSkewT); }},
                                              {14, 0, [](D& d) { Flip(d.chkLines); }},
                                              {15, 0, [](D& d) { Flip(d.chkDryAdiabats); }},
                                              {16, 0, [](D& d) { Flip(d.chkClouds); }},
                                              {17, 0, [](D& d) { d.VWPInterval = 1; }},
                                              {17, 1, [](D& d) { d.VWPIntervalA = 3; }},
                                              {17, 2, [](D& d) { Flip(d.UseVWPIntervalA); }},
                                              {18, 0, [](D& d) { d.VerticalUnit = 1; }},
                                              {19, 0, [](D& d) { d.MomentumXferIndex = 1; }},
                                              {20, 0, [](D& d) { d.SkewTLeftTemp = -50; }},
                                              {20, 1, [](D& d) { d.ProfileLeftTemp = -30; }},
                                              {20, 2, [](D& d) { d.LeftTemp = -20; }},
                                              {21, 0, [](D& d) { d.SkewTRightTemp = 5; }},
                                              {21, 1, [](D& d) { d.ProfileRightTemp = 35; }},
                                              {21, 2, [](D& d) { d.RightTemp = 45; }},
                                              {22, 0, [](D& d) { d.TopPressure = 300; }},
                                              {23, 0, [](D& d) { Flip(d.chkLakeIndex); }},
                                              {24, 0, [](D& d) { d.vsbLakeF = 50; }},
                                              {25, 0, [](D& d) { Flip(d.chkMoistLakeIndex); }},
                                              {26, 0, [](D& d) { Flip(d.chkLIC); }},
                                              {27, 0, [](D& d) { Flip(d.chkLCL); }},
                                              {28, 0, [](D& d) { Flip(d.chkECAPE); }},
                                              {29, 0, [](D& d) { Flip(d.chkCCL); }},
                                              {30, 0, [](D& d) { Flip(d.chkConvectiveTemp); }},
                                              {31, 0, [](D& d) { Flip(d.chkWBZ); }},
                                              {32, 0, [](D& d) { Flip(d.chkLFC); }},
                                              {33, 0, [](D& d) { Flip(d.chkEQL); }},
                                              {34, 0, [](D& d) { Flip(d.chkParcel); }},
                                              {35, 0, [](D& d) { Flip(d.chkCINS); }},
                                              {36, 0, [](D& d) { d.ActivePanel = 5; }},
                                              {42, 0, [](D& d) { Flip(d.chkBrightBand); }},
                                              {43, 0, [](D& d) { Flip(d.chkSigmaLevel); }},
                                              {44, 0, [](D& d) { Flip(d.chkMeanFlow); }},
                                              {45, 0, [](D& d) { d.SigmaLevelPressure = 600.5f; }},
                                              {46, 0, [](D& d) { d.MeanFlowPressure[0] = 925.0f; }},
                                              {47, 0, [](D& d) { d.MeanFlowPressure[1] = 400.0f; }},
                                              {48, 0, [](D& d) { d.DisplayMode = 99; }},
                                              {49, 0, [](D& d) { Flip(d.chkActiveReadout); }},
                                              {49, 1, [](D& d) { d.ReadoutUnit = 0; }},
                                              {50, 0, [](D& d) { Flip(d.chkIcing); }},
                                              {51, 0, [](D& d) { Flip(d.chkMomentum); }},
                                              {52, 0, [](D& d) { Flip(d.UseThicknessMethod); }},
                                              {53, 0, [](D& d) { d.HodoTop = 8.0f; }},
                                              {54, 0, [](D& d) { d.HodoBase = 2.0f; }}};
    for (int k = 0; k < 5; ++k)
        places.push_back({37 + k, 0, [k](D& d) { Flip(d.chkAngle[static_cast<std::size_t>(k)]); }});
    test::ExpectEachItemAtItsPlace(
        ChangedSlot(), places, FormatDisplaySettings,
        [](const std::string& text) { return ParseDisplaySettings(text); });
}

TEST(DisplaySettingsFile, AValueThatIsNotFiniteIsWrittenAsZero) {
    DisplaySettings slot = ChangedSlot();
    slot.HodoTop = std::numeric_limits<float>::quiet_NaN();
    slot.MeanFlowPressure[0] = std::numeric_limits<float>::infinity();
    const DisplaySettings read = ParseDisplaySettings(FormatDisplaySettings(slot));
    EXPECT_EQ(read.HodoTop, std::optional<float>(0.0f));
    EXPECT_EQ(read.MeanFlowPressure[0], std::optional<float>(0.0f));
    EXPECT_EQ(read.HodoBase, slot.HodoBase);
}

TEST(DisplaySettingsFile, ATruncatedFileGivesOnlyTheItemsItHolds) {
    const DisplaySettings full = ChangedSlot();
    // Cut after line k: the items of lines 1..k are read, none after.
    for (std::size_t k = 0; k <= 54; ++k) {
        const DisplaySettings read = ParseDisplaySettings(Joined(kChangedLines, k));
        EXPECT_EQ(read.chkWindVector.has_value(), k >= 1) << k;
        EXPECT_EQ(read.UseVWPIntervalA.has_value(), k >= 17) << k;
        EXPECT_EQ(read.TopPressure.has_value(), k >= 22) << k;
        EXPECT_EQ(read.ActivePanel.has_value(), k >= 36) << k;
        EXPECT_EQ(read.MeanFlowPressure[1].has_value(), k >= 47) << k;
        EXPECT_EQ(read.DisplayMode.has_value(), k >= 48) << k;
        EXPECT_EQ(read.HodoBase.has_value(), k >= 54) << k;
        if (k >= 36) {
            EXPECT_EQ(read.ActivePanel, full.ActivePanel);
        }
    }
    // A file cut inside line 20 keeps its first two temperatures.
    const DisplaySettings cut = ParseDisplaySettings(Joined(kChangedLines, 19) + "-55  -40");
    EXPECT_EQ(cut.ProfileLeftTemp, std::optional<std::int16_t>(-40));
    EXPECT_FALSE(cut.LeftTemp.has_value());
}

TEST(DisplaySettingsFile, ADamagedItemIsSkippedAndTheRestStillRead) {
    std::vector<std::string> lines = kChangedLines;
    lines[0] = "x";                  // not a number
    lines[17] = " 7 ";               // no such btnPHK element
    lines[21] = " 0 ";               // no pressure
    lines[23] = " 81 ";              // above the lake bar's range
    lines[35] = " 9 ";               // no such panel
    lines[47] = " 10 ";              // no such display mode
    lines[48] = " 3             3 "; // no such check state, no such unit
    const DisplaySettings read = ParseDisplaySettings(Joined(lines, 54));
    for (const auto* item :
         {&read.chkWindVector, &read.VerticalUnit, &read.TopPressure, &read.vsbLakeF,
          &read.ActivePanel, &read.DisplayMode, &read.chkActiveReadout, &read.ReadoutUnit})
        EXPECT_FALSE(item->has_value());
    EXPECT_EQ(read.ColorWinds, std::optional<std::int16_t>(-1));
    EXPECT_EQ(read.MomentumXferIndex, std::optional<std::int16_t>(3));
    EXPECT_EQ(read.HodoBase, std::optional<float>(1.0f));
    // Fields may also be split by commas, and the file list 99 is a mode;
    // a whole-number item rounds halves to even.
    lines[47] = "99";
    lines[52] = "6.5,";
    const DisplaySettings commas = ParseDisplaySettings(Joined(lines, 54));
    EXPECT_EQ(commas.DisplayMode, std::optional<std::int16_t>(99));
    EXPECT_EQ(commas.HodoTop, std::optional<float>(6.0f));
    EXPECT_EQ(ParseDisplaySettings(""), DisplaySettings());
}

// A slot file that cannot be recalled says why and where: one that is there
// but cannot be opened (a loop of links), a NUL byte, a single line; only a
// slot never saved is missing.
TEST(DisplaySettingsFile, ASlotThatCannotBeReadSaysWhyAndWhere) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("tarvex-slot-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "SMITH.SP0";
    DisplaySettings read;
    EXPECT_TRUE(ReadDisplaySettings(path, read).missing);
    fs::create_symlink(path, path); // a link to itself
    TextFileResult r = ReadDisplaySettings(path, read);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(r.reason, "the file cannot be opened (Too many levels of symbolic links)");
    fs::remove(path);
    std::string text = Joined(kChangedLines, 54);
    text.insert(Joined(kChangedLines, 29).size() + 1, 1, '\0'); // in line 30
    std::ofstream(path, std::ios::binary) << text;
    r = ReadDisplaySettings(path, read);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(r.line, 30);
    EXPECT_EQ(r.reason, "the line holds a NUL byte, which no text file holds");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << " 1 \r\n";
    EXPECT_EQ(ReadDisplaySettings(path, read).reason.rfind("it holds 1 line where", 0), 0u);
    EXPECT_EQ(read, DisplaySettings());
    fs::remove_all(folder);
}

TEST(PrintZones, ItemsStartAtTheNextZoneAndNumbersIgnoreTheLocale) {
    EXPECT_EQ(PrintZoneLine().Empty().Empty().Item("x").Text(), std::string(28, ' ') + "x\r\n");
    EXPECT_EQ(PrintZoneLine().Item("12345678901234").Item("y").Text(),
              "12345678901234" + std::string(14, ' ') + "y\r\n");
    EXPECT_EQ(PrintForm(-0.5), "-.5 ");
    EXPECT_EQ(PrintForm(1.0f / 3.0f), " .3333333 ");
    EXPECT_EQ(PrintForm(12345678.0), " 1.234568E+07 ");
}

} // namespace
} // namespace tarvex
