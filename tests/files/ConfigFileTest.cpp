#include "files/ConfigFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// A well-formed configuration, one entry per line, each value its own;
// label lines hold text that would be a fault on a value line.
std::vector<std::string> ConfigLines() {
    return {
        "cfg of the forecast office", // 1
        "/data/current",              // 2
        "label = not read",           // 3
        "/data/archive/",             // 4
        "label",                      // 5
        "-5",                         // 6
        "label",                      // 7
        "local",                      // 8
        "label",                      // 9
        "/usr/bin/firefox",           // 10
        "label",                      // 11
        "925, 2.5",                   // 12
        "label",                      // 13
        "850 700",                    // 14
        "label",                      // 15
        "650",                        // 16
        "label",                      // 17
        "label",                      // 18
        "500",                        // 19
        "label",                      // 20
        "7",                          // 21
        "label",                      // 22
        "label",                      // 23
        "240, 200, 20",               // 24
        "label",                      // 25
        "260 150 25.5",               // 26
        "label",                      // 27
        "300",                        // 28
        "label",                      // 29
        "400",                        // 30
        "label",                      // 31
        "\"E:\"",                     // 32
        "label",                      // 33
        "-5,-10,-20",                 // 34
        "label",                      // 35
        "Eta eta",                    // 36
        "NGM  NGM ",                  // 37
        "gfs3 Gfs3",                  // 38
        "=====",                      // 39
        "kbuf",                       // 40
        "   ",                        // 41
        " kalb",                      // 42
    };
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The fixture with line n (1-based) replaced.
std::string WithLine(int n, const std::string& text) {
    std::vector<std::string> lines = ConfigLines();
    lines[static_cast<std::size_t>(n - 1)] = text;
    return Join(lines);
}

Configuration Parse(const std::string& text) {
    Configuration config;
    const TextFileResult r = ParseConfig(text, config);
    EXPECT_TRUE(r.ok) << "line " << r.line << ": " << r.reason;
    return config;
}

TextFileResult ParseFailure(const std::string& text) {
    Configuration config;
    const TextFileResult r = ParseConfig(text, config);
    EXPECT_FALSE(r.ok);
    return r;
}

TEST(ParseConfig, EveryValueComesFromItsLine) {
    const Configuration c = Parse(Join(ConfigLines()));
    EXPECT_TRUE(c.ExtraDisplayEnabled);
    EXPECT_EQ(c.CurrentFolder, "/data/current/");
    EXPECT_EQ(c.ArchiveFolder, "/data/archive/");
    EXPECT_EQ(c.ArchiveDialogFolder, "/data/archive/");
    EXPECT_EQ(c.TimeZoneOffset, -5);
    EXPECT_TRUE(c.ClockIsLocal);
    EXPECT_EQ(c.BrowserPath, "/usr/bin/firefox");
    EXPECT_EQ(c.LakeIndexLevel, 925);
    EXPECT_FLOAT_EQ(c.LakeIndexOffset, 2.5f);
    EXPECT_EQ(c.CI850Value, 850);
    EXPECT_EQ(c.CI700Value, 700);
    EXPECT_EQ(c.TotalTotalsLevel, 650);
    EXPECT_EQ(c.SigmaLevelPressure, 500);
    EXPECT_EQ(c.Line21Value, 7);
    EXPECT_FLOAT_EQ(c.ShoreDirection[0], 240.001f);
    EXPECT_FLOAT_EQ(c.MaxFetch[0], 200.0f);
    EXPECT_FLOAT_EQ(c.ShoreDistance[0], 20.0f);
    EXPECT_FLOAT_EQ(c.ShoreDirection[1], 260.001f);
    EXPECT_FLOAT_EQ(c.MaxFetch[1], 150.0f);
    EXPECT_FLOAT_EQ(c.ShoreDistance[1], 25.5f);
    EXPECT_TRUE(c.OmegaFiltered);
    EXPECT_EQ(c.LapseTopPressure, "300");
    EXPECT_FLOAT_EQ(c.IsothermLabelStep, 400.0f);
    EXPECT_EQ(c.MediaDrive, "E:");
    EXPECT_EQ(c.HighlightIsotherms, (std::vector<float>{-5.0f, -10.0f, -20.0f}));
    EXPECT_EQ(c.models.ModelCaptions, (std::vector<std::string>{"Eta", "NGM", "gfs3"}));
    EXPECT_EQ(c.models.ModelCodes, (std::vector<std::string>{"eta", "ngm", "gfs3"}));
    // Sites: blank lines skipped, upper-cased but not trimmed.
    EXPECT_EQ(c.ConfiguredSites, (std::vector<std::string>{"KBUF", " KALB"}));
}

TEST(ParseConfig, FlagLinesLookAtTheFirstCharacterOnly) {
    EXPECT_FALSE(Parse(WithLine(1, "Cfg")).ExtraDisplayEnabled);
    EXPECT_FALSE(Parse(WithLine(1, "")).ExtraDisplayEnabled);
    EXPECT_TRUE(Parse(WithLine(8, "Local")).ClockIsLocal);
    EXPECT_FALSE(Parse(WithLine(8, "UTC")).ClockIsLocal);
    EXPECT_FALSE(Parse(WithLine(8, "")).ClockIsLocal);
    EXPECT_EQ(Parse(WithLine(10, "123456789")).BrowserPath, kDefaultBrowserPath);
    EXPECT_EQ(Parse(WithLine(10, "1234567890")).BrowserPath, "1234567890");
    EXPECT_EQ(Parse(WithLine(32, "")).MediaDrive, "");
    EXPECT_EQ(Parse(WithLine(32, "\"/media/storm training\"")).MediaDrive, "/media/storm training");
}

TEST(ParseConfig, IsothermLineTakesTheNumbersBetweenCommas) {
    EXPECT_EQ(Parse(WithLine(34, "-12")).HighlightIsotherms, (std::vector<float>{-12.0f}));
    EXPECT_EQ(Parse(WithLine(34, "-10,-20,")).HighlightIsotherms,
              (std::vector<float>{-10.0f, -20.0f}));
    EXPECT_EQ(Parse(WithLine(34, " 0 , -3.5 ,  ")).HighlightIsotherms,
              (std::vector<float>{0.0f, -3.5f}));
    EXPECT_EQ(Parse(WithLine(34, "")).HighlightIsothermCount(), 0);
    EXPECT_EQ(Parse(WithLine(34, "1,2,3,4,5")).HighlightIsothermCount(), 5);

    EXPECT_EQ(ParseFailure(WithLine(34, "1,2,3,4,5,6")).line, 34);
    EXPECT_EQ(ParseFailure(WithLine(34, "-5,minus ten")).line, 34);
    EXPECT_EQ(ParseFailure(WithLine(34, ",-5")).line, 34);
}

TEST(ParseConfig, ModelAndSiteListsStopAtTheirLimits) {
    std::vector<std::string> lines = ConfigLines();
    lines.resize(35);
    for (int i = 0; i < 16; ++i) lines.push_back("m" + std::to_string(i) + " eta");
    lines.push_back("=");
    for (int i = 0; i < 17; ++i) lines.push_back("site" + std::to_string(i));
    Configuration c = Parse(Join(lines));
    EXPECT_EQ(c.models.ModelCaptions.size(), 16u);
    ASSERT_EQ(c.ConfiguredSiteCount(), 16);
    EXPECT_EQ(c.ConfiguredSites.back(), "SITE15"); // the 17th is not read

    lines.insert(lines.begin() + 51, "m16 eta"); // a 17th model before the "=" line
    const TextFileResult r = ParseFailure(Join(lines));
    EXPECT_EQ(r.line, 52);
    EXPECT_NE(r.reason.find("more than 16 models"), std::string::npos);

    // The "=" line may be the last one: no sites.
    lines = ConfigLines();
    lines.resize(39);
    EXPECT_EQ(Parse(Join(lines)).ConfiguredSiteCount(), 0);
}

TEST(ParseConfig, MalformedFileNamesTheLine) {
    struct Case {
        int line;
        std::string text;
    };
    for (const Case& bad : {Case{6, "five"}, Case{6, ""}, Case{6, "-5 3"}, Case{12, "850"},
                            Case{14, "850,700,500"}, Case{19, "99999"}, Case{24, "240, 200"},
                            Case{30, "5OO"}, Case{37, "NGM"}, Case{37, " ngm"}}) {
        const TextFileResult r = ParseFailure(WithLine(bad.line, bad.text));
        EXPECT_EQ(r.line, bad.line) << bad.text;
        EXPECT_FALSE(r.reason.empty());
    }

    // A file that ends before the "=" line, or in the fixed part.
    std::vector<std::string> lines = ConfigLines();
    lines.resize(38);
    EXPECT_EQ(ParseFailure(Join(lines)).line, 38);
    lines.resize(20);
    const TextFileResult r = ParseFailure(Join(lines));
    EXPECT_EQ(r.line, 20);
    EXPECT_EQ(r.reason, "the file ends early");
}

TEST(AddPathSeparator, EndsAFolderNameWithOneSeparator) {
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    std::string path;
    AddPathSeparator(path);
    EXPECT_EQ(path, "");
    path = "data";
    AddPathSeparator(path);
    EXPECT_EQ(path, "data" + sep);
    AddPathSeparator(path);
    EXPECT_EQ(path, "data" + sep);
    path = "data/";
    AddPathSeparator(path);
    EXPECT_EQ(path, "data/");
}

class ReadConfigFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-config-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }

    std::filesystem::path folder_;
};

TEST_F(ReadConfigFile, UserFileComesFirstThenTheSharedOne) {
    Write("Tarvex.cfg", WithLine(6, "1"));
    Write("SMITH.cfg", WithLine(6, "2"));
    Configuration c;
    EXPECT_TRUE(ReadConfig(folder_, "SMITH", c).ok);
    EXPECT_EQ(c.TimeZoneOffset, 2);
    TextFileResult shared = ReadConfig(folder_, "JONES", c, "jones");
    EXPECT_TRUE(shared.ok);
    EXPECT_EQ(c.TimeZoneOffset, 1);
    EXPECT_EQ(DescribeSharedConfigFallback("JONES", "jones", shared),
              "There is no configuration file jones.cfg or JONES.cfg of the user JONES in \"" +
                  folder_.string() + "\": the shared configuration \"" +
                  (folder_ / "Tarvex.cfg").string() + "\" was read.");
    // The name as typed comes first, then upper-cased.
    Write("walk.cfg", WithLine(6, "4"));
    const TextFileResult own = ReadConfig(folder_, "WALK", c, "walk");
    EXPECT_EQ(c.TimeZoneOffset, 4);
    EXPECT_EQ(own.path, (folder_ / "walk.cfg").string());
    EXPECT_EQ(DescribeSharedConfigFallback("WALK", "walk", own), "");
    Write("WALK.cfg", WithLine(6, "5"));
    EXPECT_TRUE(ReadConfig(folder_, "WALK", c, "walk").ok);
    EXPECT_EQ(c.TimeZoneOffset, 4);
    // The default user reads only the shared file, even if "tarvex.cfg" exists.
    Write("tarvex.cfg", WithLine(6, "3"));
    EXPECT_TRUE(ReadConfig(folder_, "tarvex", c).ok);
    EXPECT_EQ(c.TimeZoneOffset, 1);
}

TEST_F(ReadConfigFile, MissingFilesGiveTheirMessages) {
    Configuration c;
    TextFileResult r = ReadConfig(folder_, "SMITH", c);
    EXPECT_TRUE(r.missing);
    EXPECT_EQ(DescribeConfigFailure(r),
              "Can't locate the SMITH.CFG or TARVEX.CFG configuration file\r\n"
              "If you are running under Linux, CD to the Tarvex Directory first.");
    r = ReadConfig(folder_, "tarvex", c);
    EXPECT_TRUE(r.missing);
    EXPECT_EQ(DescribeConfigFailure(r),
              "Can't locate the TARVEX.CFG configuration file\r\n"
              "If you are running under Linux, CD to the Tarvex Directory first.");
}

// A configuration that is there but cannot be opened is no missing one: the
// message names it and gives the system's reason.
TEST_F(ReadConfigFile, AFileThatCannotBeOpenedIsNotTakenForAMissingOne) {
    const std::filesystem::path path = folder_ / "Tarvex.cfg";
    std::filesystem::create_symlink(path, path); // a link to itself
    Configuration c;
    const TextFileResult r = ReadConfig(folder_, "tarvex", c);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(DescribeConfigFailure(r),
              "The configuration file \"" + path.string() +
                  "\" could not be read: the file cannot be opened (Too many levels of symbolic "
                  "links). Tarvex cannot start without a readable configuration.");
}

TEST_F(ReadConfigFile, MalformedFileKeepsTheConfigurationAndNamesFileAndLine) {
    Configuration c;
    c.TimeZoneOffset = 9;
    Write("Tarvex.cfg", WithLine(14, "850 seven hundred"));
    const TextFileResult r = ReadConfig(folder_, "tarvex", c);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(c.TimeZoneOffset, 9);
    const std::string message = DescribeConfigFailure(r);
    EXPECT_NE(message.find((folder_ / "Tarvex.cfg").string()), std::string::npos) << message;
    EXPECT_NE(message.find("line 14"), std::string::npos) << message;
    EXPECT_NE(message.find("\"seven\" is not a number"), std::string::npos) << message;
}

TEST(ShippedConfiguration, ReadsWithItsModelsAndSites) {
    Configuration c;
    const TextFileResult r = ReadConfig(std::filesystem::path(TARVEX_SHIPPED_DATA), "tarvex", c);
    ASSERT_TRUE(r.ok) << DescribeConfigFailure(r);
    EXPECT_EQ(c.models.ModelCodes, (std::vector<std::string>{"eta", "ngm", "ruc", "gfs3"}));
    EXPECT_EQ(c.ConfiguredSiteCount(), 16);
    EXPECT_EQ(c.ConfiguredSites.front(), "KBUF");
}

} // namespace
} // namespace tarvex
