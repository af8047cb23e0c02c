#include "files/OverviewSettingsFile.h"

#include "files/SlotFixture.h"
#include "files/SlotSettingsIo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// The file line on which each entry of Boxes stands, counted by hand from
// the layout: lines 1-5, 7-35, 36-60, two on 83, two on 84, 85-91, 95, 96.
int LineOfBox(std::size_t k) {
    if (k < 5) return static_cast<int>(k) + 1;
    if (k < 59) return static_cast<int>(k) + 2;
    if (k < 61) return 83;
    if (k < 63) return 84;
    if (k < 70) return static_cast<int>(k) + 22;
    return static_cast<int>(k) + 25;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

OverviewSettings Sample() {
    OverviewSettings s;
    for (std::size_t k = 0; k < s.Boxes.size(); ++k) s.Boxes[k] = static_cast<std::int16_t>(k % 2);
    s.SnowRatioTechnique = 3;
    s.PressureTraceBase = 987.5f;
    s.PressureTraceSpan = 50.0f;
    s.LnPSpan = 0.25f;
    s.IndexBase = -1.5f;
    s.optLayerShear = {false, true};
    s.VWPInterval = 3;
    s.VWPIntervalA = 2;
    s.VWPUseA = true;
    s.PressureBaseExtended = -1;
    s.CAPEkmColours = {0x00C000, static_cast<std::int32_t>(0x8000000F), 16777215, 0, 33023};
    s.MixingLayerMode = 1;
    return s;
}

TEST(OverviewSettingsFileTest, LinesInThePrintFormWithTheirValuesJoined) {
    const std::vector<std::string> lines = Lines(FormatOverviewSettings(Sample()));
    ASSERT_EQ(lines.size(), 98u);
    EXPECT_EQ(lines[0], " 0 ");
    EXPECT_EQ(lines[5], " 3 ");
    EXPECT_EQ(lines[60], " 987.5  50 ");
    EXPECT_EQ(lines[66], "-1 ");
    EXPECT_EQ(lines[67], " .25 ");
    EXPECT_EQ(lines[73], "False");
    EXPECT_EQ(lines[74], "True");
    EXPECT_EQ(lines[77], " 3  2 True");
    // The button face is the signed pattern of 8000000F.
    EXPECT_EQ(lines[93], " 49152 -2147483633  16777215  0  33023 ");
    EXPECT_EQ(lines[97], " 1 ");
    // chkGridWind on lines 55 and 59, the grid boxes of the index scale
    // and the precipitation scale between.
    EXPECT_STREQ(kOverviewSettingsBoxes[53], "chkGridWind");
    EXPECT_STREQ(kOverviewSettingsBoxes[57], "chkGridWind");
    EXPECT_EQ(LineOfBox(53), 55);
    EXPECT_EQ(LineOfBox(57), 59);
}

// Every item of the slot stands on its own line and place, and a span of 0,
// a divisor of its scale, is dropped wherever it stands.
TEST(OverviewSettingsFileTest, EachItemHasItsOwnPlaceAndEveryZeroSpanIsDropped) {
    using O = OverviewSettings;
    using test::Flip;
    O full = Sample();
    full.PressureTraceSpan = 60.0f;
    full.ScaleTops = {2500.0f, 12.0f, 25.0f};
    full.DirectionTop = 350.0f;
    full.DirectionSpan = 300.0f;
    full.IndexSpan = 30.0f;
    full.PrecipBase = 0.5f;
    full.PrecipSpan = 2.0f;
    full.TraceBase = -10.0f;
    full.TraceSpan = 50.0f;
    full.SigmaLevelPressure = 850.0f;
    full.MeanWindPressure = {900.0f, 500.0f};
    full.HelicityTop = 3.0f;
    full.HelicityBottom = 1.0f;
    full.HeightsColours = {255, 65280, 16711680};
    full.CloudsToggle = 0;
    const O base = ParseOverviewSettings(FormatOverviewSettings(full));
    std::vector<test::ItemPlace<O>> places = {{6, 0, [](O& o) { o.SnowRatioTechnique = 1; }},
                                              {35, 1, [](O& o) { o.ECAPELegendStart = 4; }},
                                              {61, 0, [](O& o) { o.PressureTraceBase = 1000.0f; }},
                                              {61, 1, [](O& o) { o.PressureTraceSpan = 40.0f; }},
                                              {63, 0, [](O& o) { o.DirectionTop = 330.0f; }},
                                              {63, 1, [](O& o) { o.DirectionSpan = 180.0f; }},
                                              {64, 0, [](O& o) { o.IndexBase = -5.0f; }},
                                              {64, 1, [](O& o) { o.IndexSpan = 20.0f; }},
                                              {65, 0, [](O& o) { o.VerticalUnits = 2; }},
                                              {66, 0, [](O& o) { o.MomentumTransferIndex = 2; }},
                                              {67, 0, [](O& o) { Flip(o.PressureBaseExtended); }},
                                              {68, 0, [](O& o) { o.LnPSpan = 0.5f; }},
                                              {69, 0, [](O& o) { o.PrecipBase = 1.0f; }},
                                              {69, 1, [](O& o) { o.PrecipSpan = 3.0f; }},
                                              {70, 0, [](O& o) { o.TraceBase = -20.0f; }},
                                              {70, 1, [](O& o) { o.TraceSpan = 70.0f; }},
                                              {71, 0, [](O& o) { o.RHLegendIndex = 3; }},
                                              {72, 0, [](O& o) { o.ContourIntervalIndex = 2; }},
                                              {73, 0, [](O& o) { o.ControlPanelIndex = 6; }},
                                              {74, 0, [](O& o) { Flip(o.optLayerShear[0]); }},
                                              {75, 0, [](O& o) { Flip(o.optLayerShear[1]); }},
                                              {76, 0, [](O& o) { o.SigmaLevelPressure = 700.0f; }},
                                              {77, 0, [](O& o) { o.MeanWindPressure[0] = 950.0f; }},
                                              {77, 1, [](O& o) { o.MeanWindPressure[1] = 400.0f; }},
                                              {78, 0, [](O& o) { o.VWPInterval = 1; }},
                                              {78, 1, [](O& o) { o.VWPIntervalA = 3; }},
                                              {78, 2, [](O& o) { Flip(o.VWPUseA); }},
                                              {79, 0, [](O& o) { o.WindColorIndex = 2; }},
                                              {80, 0, [](O& o) { o.CloudsToggle = -1; }},
                                              {81, 0, [](O& o) { o.HainesLevel = 3; }},
                                              {82, 0, [](O& o) { o.SelectedPanel = 4; }},
                                              {82, 1, [](O& o) { o.SumFieldIndex = 3; }},
                                              {92, 0, [](O& o) { o.HelicityTop = 6.0f; }},
                                              {93, 0, [](O& o) { o.HelicityBottom = 0.5f; }},
                                              {98, 0, [](O& o) { Flip(o.MixingLayerMode); }}};
    for (int k = 0; k < 3; ++k) {
        places.push_back({62, k, [k](O& o) { *o.ScaleTops[static_cast<std::size_t>(k)] += 1.0f; }});
        places.push_back(
            {97, k, [k](O& o) { *o.HeightsColours[static_cast<std::size_t>(k)] += 7; }});
    }
    for (int k = 0; k < 5; ++k)
        places.push_back(
            {94, k, [k](O& o) { *o.CAPEkmColours[static_cast<std::size_t>(k)] += 3; }});
    for (std::size_t k = 0; k < O::kBoxes; ++k) {
        const int line = LineOfBox(k);
        const int item = (line == 83 || line == 84) ? static_cast<int>(k + 1) % 2 : 0;
        places.push_back({line, item, [k](O& o) { Flip(o.Boxes[k]); }});
    }
    test::ExpectEachItemAtItsPlace(
        base, places, FormatOverviewSettings,
        [](const std::string& text) { return ParseOverviewSettings(text); });

    for (auto span :
         {&O::PressureTraceSpan, &O::DirectionSpan, &O::IndexSpan, &O::PrecipSpan, &O::TraceSpan}) {
        O zero = base;
        zero.*span = 0.0f;
        O expected = base;
        (expected.*span).reset();
        EXPECT_EQ(ParseOverviewSettings(FormatOverviewSettings(zero)), expected);
    }
}

// A file cut after any line gives back exactly the items of the lines it
// still holds.
TEST(OverviewSettingsFileTest, EveryLineOfATruncatedFile) {
    const OverviewSettings full = Sample();
    const std::string text = FormatOverviewSettings(full);
    const std::vector<std::string> lines = Lines(text);
    std::string kept;
    for (int n = 0; n <= 98; ++n) {
        const OverviewSettings read = ParseOverviewSettings(kept);
        for (std::size_t k = 0; k < full.Boxes.size(); ++k)
            EXPECT_EQ(read.Boxes[k].has_value(), LineOfBox(k) <= n) << "box " << k << " of " << n;
        EXPECT_EQ(read.SnowRatioTechnique.has_value(), n >= 6);
        EXPECT_EQ(read.PressureTraceSpan.has_value(), n >= 61);
        EXPECT_EQ(read.optLayerShear[1].has_value(), n >= 75);
        EXPECT_EQ(read.VWPUseA.has_value(), n >= 78);
        EXPECT_EQ(read.CAPEkmColours[4].has_value(), n >= 94);
        EXPECT_EQ(read.MixingLayerMode.has_value(), n >= 98);
        // What was read is what was written.
        const std::vector<std::string> again = Lines(FormatOverviewSettings(read));
        for (int line = 0; line < n; ++line)
            EXPECT_EQ(again[static_cast<std::size_t>(line)], lines[static_cast<std::size_t>(line)])
                << "line " << line + 1 << " of " << n;
        if (n < 98) kept += lines[static_cast<std::size_t>(n)] + "\r\n";
    }
    EXPECT_EQ(FormatOverviewSettings(ParseOverviewSettings(text)), text);
}

// Values outside their control's range are passed over; reading goes on
// with the next field.
TEST(OverviewSettingsFileTest, ValuesOutOfRangeAreIgnored) {
    std::vector<std::string> lines = Lines(FormatOverviewSettings(Sample()));
    lines[5] = " 4 ";                 // no fifth technique
    lines[60] = " 990  0 ";           // a span of 0
    lines[64] = " 2.6 ";              // rounds to 3: no such unit
    lines[67] = "-0.2 ";              // a profile scale upside down
    lines[80] = " 2.4 ";              // rounds to 2: "Mid"
    lines[93] = " x  1e12  7  0  0 "; // not a number, beyond 32 bits
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const OverviewSettings read = ParseOverviewSettings(text);
    EXPECT_FALSE(read.SnowRatioTechnique);
    EXPECT_EQ(read.PressureTraceBase, 990.0f);
    EXPECT_FALSE(read.PressureTraceSpan);
    EXPECT_FALSE(read.VerticalUnits);
    EXPECT_FALSE(read.LnPSpan);
    EXPECT_EQ(read.HainesLevel, 2);
    EXPECT_FALSE(read.CAPEkmColours[0]);
    EXPECT_FALSE(read.CAPEkmColours[1]);
    EXPECT_EQ(read.CAPEkmColours[2], 7);
    EXPECT_EQ(read.MixingLayerMode, 1);

    // Side scales beyond their bounds, which would hang every redraw.
    lines = Lines(FormatOverviewSettings(Sample()));
    lines[61] = " 1E+08  5  50 "; // the CAPE scale's top
    lines[63] = "-20  1E+07 ";    // the index span
    lines[68] = " 0  1E+09 ";     // the precipitation span
    lines[69] = "-2000  60 ";     // the temperature scale's base
    text.clear();
    for (const std::string& line : lines) text += line + "\r\n";
    const OverviewSettings bounded = ParseOverviewSettings(text);
    EXPECT_FALSE(bounded.ScaleTops[0]);
    EXPECT_EQ(bounded.ScaleTops[1], 5.0f);
    EXPECT_EQ(bounded.IndexBase, -20.0f);
    EXPECT_FALSE(bounded.IndexSpan);
    EXPECT_FALSE(bounded.PrecipSpan);
    EXPECT_FALSE(bounded.TraceBase);
    EXPECT_EQ(bounded.TraceSpan, 60.0f);
}

TEST(OverviewSettingsFileTest, SlotFilesAndTheirFailures) {
    EXPECT_EQ(OverviewSettingsPath("/tmp/", "ann", 9).string(), "/tmp/ann.SO9");
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "tarvex-overview-settings-test";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "ann.SO0";
    ASSERT_TRUE(WriteOverviewSettings(path, Sample()).ok);
    OverviewSettings read;
    ASSERT_TRUE(ReadOverviewSettings(path, read).ok);
    EXPECT_EQ(FormatOverviewSettings(read), FormatOverviewSettings(Sample()));
    EXPECT_TRUE(ReadOverviewSettings(folder / "ann.SO3", read).missing);
    // A folder that is not there: reported, nothing written.
    const TextFileResult failed = WriteOverviewSettings(folder / "none" / "ann.SO1", Sample());
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.empty());
    std::filesystem::remove_all(folder);
}

// A slot of the display settings or of the overview one line short or long,
// or a pipe or a device at its name, is refused with the reason and leaves
// the settings as they were; a blank line after the last does not count.
TEST(OverviewSettingsFileTest, SlotsOfAnotherLineCountOrKindAreRefused) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvex-slot-kinds-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return folder / name;
    };
    const std::string overview = FormatOverviewSettings(Sample());
    const std::string display = FormatDisplaySettings(test::ChangedSlot());
    const std::string lastOverviewLine =
        overview.substr(overview.rfind("\r\n", overview.size() - 3) + 2);
    const std::string lastDisplayLine =
        display.substr(display.rfind("\r\n", display.size() - 3) + 2);

    OverviewSettings o = Sample();
    DisplaySettings d = test::ChangedSlot();
    const std::string cut = overview.substr(0, overview.size() - lastOverviewLine.size());
    TextFileResult r = ReadOverviewSettings(write("ann.SO1", cut), o);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing);
    EXPECT_NE(r.reason.find("holds 97 lines where a settings slot holds 98"), std::string::npos);
    EXPECT_EQ(FormatOverviewSettings(o), overview);
    EXPECT_NE(DescribeSlotFailure(r).find("ann.SO1"), std::string::npos);
    EXPECT_FALSE(ReadOverviewSettings(write("ann.SO2", " 1 \r\n" + overview), o).ok);
    EXPECT_TRUE(ReadOverviewSettings(write("ann.SO3", overview + "\r\n \r\n"), o).ok);

    r = ReadDisplaySettings(write("ann.SP1", display + lastDisplayLine), d);
    EXPECT_NE(r.reason.find("holds 55 lines where a settings slot holds 54"), std::string::npos);
    r = ReadDisplaySettings(
        write("ann.SP2", display.substr(0, display.size() - lastDisplayLine.size())), d);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(d, test::ChangedSlot());

    // A pipe nobody writes to would block the read for ever.
    const std::filesystem::path pipe = folder / "ann.SP3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    r = ReadDisplaySettings(pipe, d);
    EXPECT_EQ(r.reason, "it is not a regular file (a pipe, a device or a socket)");
    EXPECT_FALSE(ReadOverviewSettings("/dev/zero", o).ok);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tarvex
