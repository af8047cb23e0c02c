#include "files/HistoryFile.h"
#include "files/SlotFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tarvex {

// Every file and folder flushed to the disk, by path, as the fsync below
// records them.
std::vector<std::string>& FlushedPaths() {
    static std::vector<std::string> paths;
    return paths;
}

} // namespace tarvex

// The test program's own fsync: notes the path of what it flushes, then
// flushes it.
extern "C" int fsync(int fd) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    char target[4096];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n > 0) tarvex::FlushedPaths().emplace_back(target, static_cast<std::size_t>(n));
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace tarvex {
namespace {

// Settings where every value differs from its default.
HistorySettings ChangedSettings() {
    HistorySettings s;
    s.LakeTempF = 40;
    s.ProfileLeftTemp = -40;
    s.ProfileRightTemp = 30;
    s.SkewTLeftTemp = -35;
    s.SkewTRightTemp = 45;
    s.SelectedPanel = 3;
    s.TraceRange = {20, 90};
    for (auto& row : s.IndexThresholds)
        for (auto& cell : row) cell += 0.25f;
    s.IndexThresholds[19][6] = 123.456f;
    s.StartDisplay = 2;
    s.StartPanel = 5;
    s.chkLCL = s.chkECAPE = s.chkLFC = s.chkCCL = s.chkEQL = 1;
    s.chkConvectiveTemp = s.chkParcel = s.chkWBZ = s.chkCINS = 1;
    s.chkLakeIndex = s.chkMoistLakeIndex = s.chkLIC = 1;
    s.ReadoutValue = 250;
    s.chkLines = s.chkDryAdiabats = s.chkRH = 1;
    s.VerticalUnit = 2;
    s.MomentumXferIndex = 3;
    s.chk10MWind = s.chkSnowGrowth = s.chksWSYMb = s.chkMomentum = 1;
    s.OverviewThresholds = {3500.0f, 7.5f, 1e-3f};
    s.chkActiveReadout = 1;
    s.ReadoutUnit = 2;
    s.chkSkewT = 0;
    s.chkWindVector = 1;
    s.UseThicknessMethod = true;
    s.HodoTopKm = 6.0f;
    s.HodoBaseKm = 0.5f;
    s.VWPInterval = 3;
    s.VWPIntervalA = 2;
    s.UseVWPIntervalA = true;
    s.chkWindDigital = 2;
    s.ColorWinds = -1;
    s.DigitalWindStyle = 0;
    s.hsbRate = 200;
    s.hsbDelay = 4000;
    s.MapView = {95.5f, 49.0f, 70.25f, 38.0f};
    return s;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(HistoryFile, WrittenTextHasTheFileLayout) {
    const std::vector<std::string> lines = Lines(FormatHistory(ChangedSettings()));
    ASSERT_EQ(lines.size(), 49u);
    EXPECT_EQ(lines[0], "40");
    EXPECT_EQ(lines[1], "-40 30");
    EXPECT_EQ(lines[4], "20 90");
    EXPECT_EQ(lines[24], "20.25 25.25 30.25 50.25 0.25 0.25 123.456");
    EXPECT_EQ(lines[25], "2 5");
    EXPECT_EQ(lines[26], "1 1 1 1 1 1 1 1");
    EXPECT_EQ(lines[35], "3500 7.5 0.001");
    EXPECT_EQ(lines[38], "-1");
    EXPECT_EQ(lines[41], "3 2 True");
    EXPECT_EQ(lines[47], "95.5 49 70.25 38");
    EXPECT_EQ(lines[48], "");

    const std::vector<std::string> defaults = Lines(FormatHistory(HistorySettings()));
    EXPECT_EQ(defaults[0], "34");
    EXPECT_EQ(defaults[10], "20000 25000 32000 50000 0 0 0");
    EXPECT_EQ(defaults[37], "1 0"); // chkSkewT starts checked
    EXPECT_EQ(defaults[41], "1 1 False");
}

// The settings of a fresh start, the index thresholds cell by cell, written
// as the file holds them.
TEST(HistoryFile, DefaultsAreTheFileOfAFirstRun) {
    const std::vector<std::string> expected = {
        "34", "-60 10", "-60 10", "0", "30 70",
        // The index thresholds, rows 0 to 19.
        "0 700 1000 3000 0 0 0", "50 40 20 10 0 0 0", "50 150 250 500 0 0 0", "0 0.5 1 2.5 0 0 0",
        "5 7 10 22 45 50 60", "20000 25000 32000 50000 0 0 0",
        "5000 6000 7000 8500 9000 10000 11000", "2 1 -3 -8 0 0 0", "45 48 53 57 0 0 0",
        "10 12 17 20 0 0 0", "25 30 40 50 0 0 0", "1 -1 -4 -10 0 0 0", "200 250 350 500 0 0 0",
        "0 0.1 0.2 0.3 0 0 0", "20 15 10 0 0 0 0", "0.2 1.25 1.5 2 0 0 0", "50 70 80 100 0 0 0",
        "0.2 0.7 0.95 2 0 0 0", "6000 9000 10500 13000 0 0 0", "20 25 30 50 0 0 0",
        // Lines 26 to 48.
        "4 1", "0 0 0 0 0 0 0 0", "0", "0 0 0", "295", "0", "0", "0 1", "1", "0 0 0 0",
        "2000 10 20", "0 0", "1 0", "0", "3", "0", "1 1 False", "0", "0", "-1", "1", "2500",
        "120 53 69 22", ""};
    EXPECT_EQ(Lines(FormatHistory(HistorySettings())), expected);
}

// Every value of the file stands on its own line and place.
TEST(HistoryFile, EachValueHasItsOwnPlace) {
    using H = HistorySettings;
    using test::Flip;
    std::vector<test::ItemPlace<H>> places = {
        {1, 0, [](H& h) { h.LakeTempF = 60; }},
        {2, 0, [](H& h) { h.ProfileLeftTemp = -20; }},
        {2, 1, [](H& h) { h.ProfileRightTemp = 12; }},
        {3, 0, [](H& h) { h.SkewTLeftTemp = -25; }},
        {3, 1, [](H& h) { h.SkewTRightTemp = 14; }},
        {4, 0, [](H& h) { h.SelectedPanel = 1; }},
        {5, 0, [](H& h) { h.TraceRange[0] = 10; }},
        {5, 1, [](H& h) { h.TraceRange[1] = 80; }},
        {26, 0, [](H& h) { h.StartDisplay = 7; }},
        {26, 1, [](H& h) { h.StartPanel = 3; }},
        {27, 0, [](H& h) { Flip(h.chkLCL); }},
        {27, 1, [](H& h) { Flip(h.chkECAPE); }},
        {27, 2, [](H& h) { Flip(h.chkLFC); }},
        {27, 3, [](H& h) { Flip(h.chkCCL); }},
        {27, 4, [](H& h) { Flip(h.chkEQL); }},
        {27, 5, [](H& h) { Flip(h.chkConvectiveTemp); }},
        {27, 6, [](H& h) { Flip(h.chkParcel); }},
        {27, 7, [](H& h) { Flip(h.chkWBZ); }},
        {28, 0, [](H& h) { Flip(h.chkCINS); }},
        {29, 0, [](H& h) { Flip(h.chkLakeIndex); }},
        {29, 1, [](H& h) { Flip(h.chkMoistLakeIndex); }},
        {29, 2, [](H& h) { Flip(h.chkLIC); }},
        {30, 0, [](H& h) { h.ReadoutValue = 700; }},
        {31, 0, [](H& h) { Flip(h.chkLines); }},
        {32, 0, [](H& h) { Flip(h.chkDryAdiabats); }},
        {33, 0, [](H& h) { Flip(h.chkRH); }},
        {33, 1, [](H& h) { h.VerticalUnit = 0; }},
        {34, 0, [](H& h) { h.MomentumXferIndex = 0; }},
        {35, 0, [](H& h) { Flip(h.chk10MWind); }},
        {35, 1, [](H& h) { Flip(h.chkSnowGrowth); }},
        {35, 2, [](H& h) { Flip(h.chksWSYMb); }},
        {35, 3, [](H& h) { Flip(h.chkMomentum); }},
        {36, 0, [](H& h) { h.OverviewThresholds[0] = 2500.0f; }},
        {36, 1, [](H& h) { h.OverviewThresholds[1] = 12.0f; }},
        {36, 2, [](H& h) { h.OverviewThresholds[2] = 30.0f; }},
        {37, 0, [](H& h) { Flip(h.chkActiveReadout); }},
        {37, 1, [](H& h) { h.ReadoutUnit = 1; }},
        {38, 0, [](H& h) { Flip(h.chkSkewT); }},
        {38, 1, [](H& h) { Flip(h.chkWindVector); }},
        {39, 0, [](H& h) { Flip(h.UseThicknessMethod); }},
        {40, 0, [](H& h) { h.HodoTopKm = 4.0f; }},
        {41, 0, [](H& h) { h.HodoBaseKm = 1.0f; }},
        {42, 0, [](H& h) { h.VWPInterval = 1; }},
        {42, 1, [](H& h) { h.VWPIntervalA = 3; }},
        {42, 2, [](H& h) { Flip(h.UseVWPIntervalA); }},
        {43, 0, [](H& h) { h.chkWindDigital = 0; }},
        {44, 0, [](H& h) { Flip(h.ColorWinds); }},
        {45, 0, [](H& h) { h.DigitalWindStyle = -1; }},
        {46, 0, [](H& h) { h.hsbRate = 300; }},
        {47, 0, [](H& h) { h.hsbDelay = 1000; }}};
    for (int k = 0; k < 4; ++k)
        places.push_back({48, k, [k](H& h) { h.MapView[static_cast<std::size_t>(k)] += 1.0f; }});
    for (int r = 0; r < kIndexThresholdRows; ++r)
        for (int c = 0; c < kIndexThresholdColumns; ++c)
            places.push_back(
                {6 + r, c, [r, c](H& h) {
                     h.IndexThresholds[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] +=
                         1.5f;
                 }});
    test::ExpectEachItemAtItsPlace(ChangedSettings(), places, FormatHistory,
                                   [](const std::string& text) {
                                       HistorySettings read;
                                       ParseHistory(text, read);
                                       return read;
                                   });
}

TEST(HistoryFile, WhatIsWrittenReadsBackEqual) {
    for (const HistorySettings& written : {HistorySettings(), ChangedSettings()}) {
        HistorySettings read;
        read.LakeTempF = 77; // overwritten by the read
        const TextFileResult r = ParseHistory(FormatHistory(written), read);
        EXPECT_TRUE(r.ok) << r.line << ": " << r.reason;
        EXPECT_EQ(read, written);
    }
    // Values spread over other lines read in order.
    std::string text = FormatHistory(ChangedSettings());
    for (char& c : text)
        if (c == '\n') c = ' ';
    HistorySettings read;
    EXPECT_TRUE(ParseHistory("\n\n" + text, read).ok);
    EXPECT_EQ(read, ChangedSettings());
}

TEST(HistoryFile, ValuesThatAreNotFiniteAreWrittenAsZero) {
    HistorySettings written = ChangedSettings();
    written.IndexThresholds[1][0] = std::numeric_limits<float>::quiet_NaN();
    written.HodoTopKm = std::numeric_limits<float>::infinity();
    written.MapView[2] = -std::numeric_limits<float>::infinity();
    HistorySettings read;
    const TextFileResult r = ParseHistory(FormatHistory(written), read);
    ASSERT_TRUE(r.ok) << r.line << ": " << r.reason;
    EXPECT_EQ(read.IndexThresholds[1][0], 0.0f);
    EXPECT_EQ(read.HodoTopKm, 0.0f);
    EXPECT_EQ(read.MapView[2], 0.0f);
    // Everything after them is read too.
    EXPECT_EQ(read.hsbDelay, written.hsbDelay);
    EXPECT_EQ(read.IndexThresholds[19], written.IndexThresholds[19]);
}

// Decimal comma and digit grouping, as in many European locales.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(HistoryFile, NumbersUseAPointWhateverTheLocale) {
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_ALL, name)) break;
    const std::locale oldCpp = std::locale::global(std::locale(std::locale(), new CommaPunct));
    const std::string text = FormatHistory(ChangedSettings());
    std::locale::global(oldCpp);
    std::setlocale(LC_ALL, oldC.c_str());
    EXPECT_EQ(Lines(text)[5], "0.25 700.25 1000.25 3000.25 0.25 0.25 0.25");
    EXPECT_EQ(Lines(text)[40], "0.5");
    EXPECT_EQ(text.find(','), std::string::npos);
}

TEST(HistoryFile, DamagedFileKeepsWhatWasReadAndDefaultsTheRest) {
    const std::vector<std::string> lines = Lines(FormatHistory(ChangedSettings()));
    auto join = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) text += lines[i] + "\n";
        return text;
    };

    // Cut after line 26: lines 1 to 26, thresholds included, stay as read.
    HistorySettings cut;
    TextFileResult r = ParseHistory(join(26), cut);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 26);
    EXPECT_EQ(cut.LakeTempF, 40);
    EXPECT_EQ(cut.IndexThresholds, ChangedSettings().IndexThresholds);
    EXPECT_EQ(cut.StartPanel, 5);
    EXPECT_EQ(cut.chkLCL, 0);
    EXPECT_EQ(cut.chkSkewT, 1);
    EXPECT_EQ(cut.VerticalUnit, 1);
    EXPECT_EQ(cut.MapView, HistorySettings().MapView);

    // A bad value part-way through a line keeps the values before it.
    std::string damaged = join(35);
    damaged.replace(damaged.rfind("1 1 1 1"), 7, "1 1 x 1"); // line 35, chksWSYMb
    HistorySettings partial;
    r = ParseHistory(damaged, partial);
    EXPECT_EQ(r.line, 35);
    EXPECT_EQ(r.reason, "\"x\" is not a number");
    EXPECT_EQ(partial.chkSnowGrowth, 1);
    EXPECT_EQ(partial.chksWSYMb, 0);
    EXPECT_EQ(partial.MomentumXferIndex, 3);
}

TEST(HistoryFile, ValuesTheControlsCannotTakeStopTheReading) {
    const std::vector<std::string> lines = Lines(FormatHistory(ChangedSettings()));
    auto withLine = [&](std::size_t n, const std::string& replacement) {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += (i + 1 == n ? replacement : lines[i]) + "\n";
        return text;
    };
    struct Case {
        std::size_t line;
        std::string text;
    };
    // Among them overview scales beyond their bounds: the temperature scale's
    // base and span (whole numbers) and the tops of the CAPE, visibility and
    // ventilation scales.
    HistorySettings marked = ChangedSettings();
    marked.OverviewThresholds = {1234.5f, 7.25f, 33.5f};
    const std::vector<std::string> markedLines = Lines(FormatHistory(marked));
    std::size_t tops = 0;
    while (tops < markedLines.size() && markedLines[tops].find("1234.5") == std::string::npos)
        ++tops;
    ASSERT_LT(tops, markedLines.size());
    for (const Case& bad :
         {Case{4, "5"}, Case{26, "10 1"}, Case{26, "2 7"}, Case{27, "1 1 1 3"}, Case{33, "1 3"},
          Case{34, "4"}, Case{37, "1 -1"}, Case{42, "0 1 True"}, Case{46, "0"}, Case{47, "6000"},
          Case{2, "40000 0"}, Case{5, "5000 60"}, Case{5, "-20 0"}, Case{tops + 1, "1e8 10 50"},
          Case{tops + 1, "2500 0 50"}}) {
        HistorySettings read;
        const TextFileResult r = ParseHistory(withLine(bad.line, bad.text), read);
        EXPECT_FALSE(r.ok) << bad.text;
        EXPECT_EQ(r.line, static_cast<int>(bad.line)) << bad.text;
    }

    // Mode 99 (the archive lists) and panel -1 (none opened yet) are states
    // the window can be in when Done is pressed.
    HistorySettings read;
    EXPECT_TRUE(ParseHistory(withLine(26, "99 -1"), read).ok);
    EXPECT_EQ(read.StartDisplay, 99);
    EXPECT_EQ(read.StartPanel, -1);
    // A whole number rounds half to even.
    EXPECT_TRUE(ParseHistory(withLine(42, "2.5 1 False"), read).ok);
    EXPECT_EQ(read.VWPInterval, 2);
    EXPECT_FALSE(read.UseVWPIntervalA);
    // The choice is the word True or False: any other is named with its line
    // and the line keeps its values.
    for (const char* word : {"Maybe", "true", "-1"}) {
        HistorySettings kept = ChangedSettings();
        const TextFileResult r = ParseHistory(withLine(42, std::string("2 3 ") + word), kept);
        EXPECT_EQ(r.line, 42) << word;
        EXPECT_EQ(r.reason, "\"" + std::string(word) + "\" is neither True nor False");
        EXPECT_EQ(kept, ChangedSettings()) << word;
    }
}

// A file that still has its 48 lines is read line by line once a value
// fails: only the damaged lines keep their defaults, the rest are read.
TEST(HistoryFile, InAWholeFileOnlyTheDamagedLinesAreLost) {
    std::vector<std::string> lines = Lines(FormatHistory(ChangedSettings()));
    ASSERT_EQ(lines.size(), 49u);
    lines[9] = "garbage";    // line 10: thresholds row 4
    lines[34] = "1 1 1 1 1"; // line 35: one value too many
    lines[41] = "3 2";       // line 42: one value missing
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    HistorySettings read;
    const TextFileResult r = ParseHistory(text, read);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 10);
    EXPECT_EQ(r.reason, "\"garbage\" is not a number; lines 35, 42 were not read either");

    HistorySettings expected = ChangedSettings();
    expected.IndexThresholds[4] = HistorySettings().IndexThresholds[4];
    expected.chk10MWind = expected.chkSnowGrowth = expected.chksWSYMb = expected.chkMomentum = 0;
    expected.VWPInterval = expected.VWPIntervalA = 1;
    expected.UseVWPIntervalA = false;
    EXPECT_EQ(read, expected);

    // One other line is named as one.
    text.clear();
    lines[41] = Lines(FormatHistory(ChangedSettings()))[41];
    for (const std::string& line : lines) text += line + "\n";
    EXPECT_EQ(ParseHistory(text, read).reason,
              "\"garbage\" is not a number; line 35 was not read either");
}

TEST(HistoryFile, LakeTemperatureIsKeptWithinTheScrollBar) {
    const std::string rest = FormatHistory(HistorySettings()).substr(3);
    for (auto [written, expected] : {std::pair{40, 40}, std::pair{31, 32}, std::pair{81, 80},
                                     std::pair{32, 32}, std::pair{80, 80}}) {
        HistorySettings read;
        EXPECT_TRUE(ParseHistory(std::to_string(written) + "\n" + rest, read).ok);
        EXPECT_EQ(read.LakeTempF, expected) << written;
    }
}

// Dates the file back two minutes, past the age of a save in progress.
void MakeOld(const std::filesystem::path& file) {
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::minutes(2));
}

// Runs check in a child process as a user without privileges (nobody, when
// the tests run as root, who may open any file): 1 when it held, 0 when not,
// -1 when no such user can be taken on here.
int RunUnprivileged(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 0;
    return WEXITSTATUS(status) == 3 ? -1 : WEXITSTATUS(status) == 0 ? 1 : 0;
}

class HistoryFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-history-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
};

TEST_F(HistoryFileOnDisk, DoneThenStartUpRestoresEverySetting) {
    const std::filesystem::path path = HistoryFilePath(folder_, "SMITH");
    EXPECT_EQ(path.filename(), "SMITH.hst");

    // A save cut short left its temporary file: the start removes it.
    const std::filesystem::path left = folder_ / "SMITH.hst.tarvex-a1B2c3.tmp";
    std::ofstream(left) << "0,0,";
    MakeOld(left);
    HistorySettings missing;
    missing.LakeTempF = 50;
    TextFileResult r = ReadSettings(path, missing);
    EXPECT_TRUE(r.missing);
    EXPECT_EQ(missing.LakeTempF, 50);
    EXPECT_FALSE(std::filesystem::exists(left));

    ASSERT_TRUE(WriteSettings(path, HistorySettings()).ok);
    r = WriteSettings(path, ChangedSettings()); // replaces the file
    ASSERT_TRUE(r.ok) << r.reason;
    HistorySettings read;
    EXPECT_TRUE(ReadSettings(path, read).ok);
    EXPECT_EQ(read, ChangedSettings());
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(HistoryFileOnDisk, FailedWriteIsReportedAndKeepsTheOldFile) {
    // A folder that does not exist.
    TextFileResult r = WriteSettings(folder_ / "gone" / "SMITH.hst", ChangedSettings());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.reason.empty());

    // A target that cannot be replaced: a folder stands where the file goes.
    const std::filesystem::path blocked = folder_ / "BLOCKED.hst";
    std::filesystem::create_directories(blocked / "inside");
    r = WriteSettings(blocked, ChangedSettings());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

// A file-size limit fails the save, which says why, instead of ending the
// program; nothing cut is left. Run in a child process, whose limit and
// signals are its own.
TEST_F(HistoryFileOnDisk, AFileSizeLimitFailsTheSaveWithoutEndingTheProgram) {
    const std::filesystem::path path = HistoryFilePath(folder_, "SMITH");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{100, 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        const TextFileResult r = WriteSettings(path, ChangedSettings());
        const bool sound = !r.ok && r.reason.find("File too large") != std::string::npos &&
                           std::filesystem::is_empty(path.parent_path());
        ::_exit(sound ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "this machine does not let a process limit its file size";
    ASSERT_FALSE(WIFSIGNALED(status))
        << "the save ended the program with signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail with its reason, or left a file";
}

// A damaged regular file is reported and moved aside, whatever its size,
// before the next save replaces it: renamed (the same file, not a copy) to
// ".bad", or a numbered name when that is taken. With no name free it stays,
// and Done leaves it.
TEST_F(HistoryFileOnDisk, ADamagedFileIsMovedAsideBeforeItIsReplaced) {
    namespace fs = std::filesystem;
    const fs::path path = HistoryFilePath(folder_, "SMITH");
    std::string text = FormatHistory(ChangedSettings());
    text.replace(0, 2, "x!");
    std::ofstream(path, std::ios::binary) << text;
    auto content = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    auto inode = [](const fs::path& file) {
        struct stat st {};
        return ::lstat(file.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    const ino_t damaged = inode(path);
    HistorySettings read;
    fs::path kept;
    TextFileResult r = ReadSettings(path, read, &kept);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(read.MapView, ChangedSettings().MapView);
    EXPECT_EQ(kept, folder_ / "SMITH.hst.bad");
    EXPECT_EQ(inode(kept), damaged);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(content(kept), text);
    std::string message = DescribeHistoryFailure(r, kept);
    EXPECT_NE(message.find("SMITH.hst\" could not be read (line 1)"), std::string::npos);
    EXPECT_NE(message.find("SMITH.hst.bad\"; Done saves the settings in use."), std::string::npos);
    EXPECT_TRUE(DoneMayReplace(path, r, kept));

    // Another damaged file, over the largest read, while ".bad" holds the
    // first one.
    const std::string large(kLargestTextFile + 1, '#');
    std::ofstream(path, std::ios::binary | std::ios::trunc) << large;
    r = ReadSettings(path, read, &kept);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(kept, folder_ / "SMITH.hst.2.bad");
    EXPECT_TRUE(content(kept) == large);
    EXPECT_EQ(content(folder_ / "SMITH.hst.bad"), text);

    // Every name taken (a link among them, never written through): the
    // file stays for the user and both messages say so.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "x!";
    fs::create_symlink(folder_ / "elsewhere", folder_ / "SMITH.hst.3.bad");
    for (int number = 4; number <= 20; ++number)
        std::ofstream(DamagedHistoryPath(path, number)) << number;
    r = ReadSettings(path, read, &kept);
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(content(path), "x!");
    EXPECT_FALSE(fs::exists(folder_ / "elsewhere"));
    EXPECT_FALSE(DoneMayReplace(path, r, kept));
    message = DescribeHistoryFailure(r, kept);
    EXPECT_NE(message.find("It stays as it is: Done does not save the settings over it."),
              std::string::npos)
        << message;
    EXPECT_NE(DescribeHistoryLeftInPlace(path).find("SMITH.hst\" could not be read"),
              std::string::npos);
    // A missing file, and one that is no regular file, lose nothing.
    EXPECT_TRUE(DoneMayReplace(folder_ / "NONE.hst", ReadSettings(folder_ / "NONE.hst", read), {}));
    EXPECT_TRUE(DoneMayReplace(folder_, ReadSettings(folder_, read), {}));
}

// A file that is there but cannot be opened is no missing file: the read
// says why, in the system's words, and the file stays for Done to leave.
TEST_F(HistoryFileOnDisk, AFileThatCannotBeOpenedIsReportedAndLeftInPlace) {
    namespace fs = std::filesystem;
    fs::permissions(folder_, fs::perms::all); // the child may look inside
    const fs::path path = HistoryFilePath(folder_, "SMITH");
    std::ofstream(path) << FormatHistory(ChangedSettings());
    fs::permissions(path, fs::perms::none);
    const int held = RunUnprivileged([&] {
        HistorySettings read;
        fs::path kept;
        const TextFileResult r = ReadSettings(path, read, &kept);
        const std::string message = DescribeHistoryFailure(r, kept);
        std::fprintf(stderr, "%s\n", message.c_str());
        return !r.ok && !r.missing && read == HistorySettings() && kept.empty() &&
               fs::exists(path) && !DoneMayReplace(path, r, kept) &&
               message.find("could not be read: the file cannot be opened (Permission denied). "
                            "The settings keep their defaults. It stays as it is: Done does not "
                            "save the settings over it.") != std::string::npos;
    });
    if (held < 0) GTEST_SKIP() << "no unprivileged user to run as";
    EXPECT_EQ(held, 1);
}

// Every save, of the history, a slot or the shear table, keeps the old file's
// permissions, with read and write for the owner always, clears the
// temporaries a killed save of that file left, and flushes the folder after
// the rename.
TEST_F(HistoryFileOnDisk, ASaveKeepsPermissionsClearsLeftTemporariesAndFlushesTheFolder) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        unsigned mode;
        unsigned saved;
    };
    for (const Case& c : {Case{"SMITH.hst", 0600, 0600}, Case{"SMITH.SP2", 0640, 0640},
                          Case{"Shear.out", 0604, 0604}, Case{"SMITH.SP1", 0, 0600},
                          Case{"SMITH.SO3", 0444, 0644}}) {
        const fs::path path = folder_ / c.name;
        std::ofstream(path) << "old";
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        const fs::path left = folder_ / (std::string(c.name) + ".tarvex-k1Lled.tmp");
        const fs::path other = folder_ / "OTHER.hst.tarvex-k1Lled.tmp"; // another file's
        std::ofstream(left) << "cut short";
        std::ofstream(other) << "cut short";
        MakeOld(left);
        MakeOld(other);
        FlushedPaths().clear();
        ASSERT_TRUE(WriteTextFileWhole(path, "new\n").ok) << c.name;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.saved) << c.name;
        EXPECT_FALSE(fs::exists(left)) << c.name;
        EXPECT_TRUE(fs::exists(other)) << c.name;
        ASSERT_FALSE(FlushedPaths().empty()) << c.name;
        EXPECT_EQ(FlushedPaths().back(), fs::canonical(folder_).string()) << c.name;
        fs::remove(other);
    }
    // A link at the name lends the new file nothing of what it points to.
    const fs::path target = folder_ / "target";
    std::ofstream(target) << "keep";
    ASSERT_EQ(::chmod(target.c_str(), 0711), 0);
    fs::create_symlink(target, folder_ / "LINKED.hst");
    ASSERT_TRUE(WriteTextFileWhole(folder_ / "LINKED.hst", "new\n").ok);
    EXPECT_EQ(fs::status(folder_ / "LINKED.hst").permissions() &
                  (fs::perms::owner_exec | fs::perms::others_exec),
              fs::perms::none);
}

// A save removes only temporaries of its own kind that no save holds: not
// one another save has just made or still holds locked, nor a file of the
// user's that merely ends in ".tmp"; two saves of one file at once both
// succeed.
TEST_F(HistoryFileOnDisk, ASaveLeavesTemporariesThatAreHeldOrNotItsOwn) {
    namespace fs = std::filesystem;
    const fs::path path = folder_ / "SMITH.SP0";
    const fs::path fresh = folder_ / "SMITH.SP0.tarvex-fresh1.tmp";
    const fs::path held = folder_ / "SMITH.SP0.tarvex-held12.tmp";
    const fs::path left = folder_ / "SMITH.SP0.tarvex-left12.tmp";
    const fs::path users = folder_ / "SMITH.SP0.backup.tmp";
    for (const fs::path& file : {fresh, held, left, users}) std::ofstream(file) << "x";
    for (const fs::path& file : {held, left, users}) MakeOld(file);
    const int lock = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    ASSERT_TRUE(WriteTextFileWhole(path, "new\n").ok);
    ::close(lock);
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::exists(users));
    EXPECT_FALSE(fs::exists(left));

    // The other save runs in a process of its own, as another Tarvex would.
    auto save = [&] {
        int failed = 0;
        for (int k = 0; k < 150; ++k)
            failed += !WriteTextFileWhole(path, std::string(2000, 'a' + k % 26)).ok;
        return failed;
    };
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) ::_exit(std::min(save(), 255));
    EXPECT_EQ(save(), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the other process's saves failed";
}

// Nothing planted at the file's name or at a temporary's reaches outside:
// links are replaced, never written through; a pipe or a device is not read.
TEST_F(HistoryFileOnDisk, LinksPipesAndDevicesAreNeverFollowedNorRead) {
    namespace fs = std::filesystem;
    const fs::path outside = folder_ / "outside.txt";
    std::ofstream(outside) << "keep";
    const fs::path path = HistoryFilePath(folder_, "SMITH");
    fs::create_symlink(outside, folder_ / "SMITH.hst.tmp");
    fs::create_symlink(outside, path);
    ASSERT_TRUE(WriteSettings(path, ChangedSettings()).ok);
    EXPECT_FALSE(fs::is_symlink(path));
    std::ifstream in(outside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");

    // A pipe nobody writes to, and a link to an endless device.
    const fs::path pipe = folder_ / "PIPE.hst";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder_ / "ZERO.hst");
    for (const char* user : {"PIPE", "ZERO"}) {
        HistorySettings read;
        const TextFileResult r = ReadSettings(HistoryFilePath(folder_, user), read);
        EXPECT_FALSE(r.ok) << user;
        EXPECT_FALSE(r.missing) << user;
        EXPECT_EQ(r.reason, "it is not a regular file (a pipe, a device or a socket)") << user;
        EXPECT_EQ(read, HistorySettings()) << user;
    }
    // The next save replaces the link and leaves the device alone.
    ASSERT_TRUE(WriteSettings(HistoryFilePath(folder_, "ZERO"), HistorySettings()).ok);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_ / "ZERO.hst")));
}

} // namespace
} // namespace tarvex
