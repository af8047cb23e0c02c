#include "files/TrainingHook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;
using Request = RecordingDesktopService::Request;

// --- Settings folder ---------------------------------------------------------

class SettingsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("tarvex-temp-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(SettingsFolder, MadeWhenMissingAndLeftWithTheTestFileElseTheCurrentFolder) {
    const fs::path base = root_ / "app" / "Tarvex";
    const std::string folder = CheckTempFolder(base, "ops");
    EXPECT_EQ(folder, (base / "").string());
    EXPECT_TRUE(fs::exists(base / "ops.SV"));
    // A folder that cannot be made gives the current folder.
    std::ofstream(root_ / "file") << "x"; // a file where the folder should be
    EXPECT_EQ(CheckTempFolder(root_ / "file" / "Tarvex", "ops"), "");
    EXPECT_EQ(CheckTempFolder(fs::path(), "ops"), "");
}

// The probe file replaces a link planted at its name instead of emptying
// the link's target.
TEST_F(SettingsFolder, TheProbeFileNeverWritesThroughALink) {
    std::ofstream(root_ / "outside.txt") << "keep";
    fs::create_symlink(root_ / "outside.txt", root_ / "ops.SV");
    EXPECT_EQ(CheckTempFolder(root_, "ops"), (root_ / "").string());
    EXPECT_EQ(fs::file_size(root_ / "outside.txt"), 4u);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root_ / "ops.SV")));
}

TEST_F(SettingsFolder, CheckedOnlyWhileUnset) {
    std::string TempFolder = kTempFolderUnset;
    EXPECT_EQ(EnsureTempFolder(TempFolder, root_, "ops"), (root_ / "").string());
    fs::remove(root_ / "ops.SV");
    EnsureTempFolder(TempFolder, root_, "ops");
    EXPECT_FALSE(fs::exists(root_ / "ops.SV")); // not checked again

    std::string empty;
    EXPECT_EQ(EnsureTempFolder(empty, root_, "ops"), ""); // the current folder stays
}

// A folder that cannot be written sends the slots to the current folder, and
// says so once, naming both; a good folder says nothing.
TEST_F(SettingsFolder, TheFallBackToTheCurrentFolderIsToldOnce) {
    std::ofstream(root_ / "file") << "x";
    const fs::path base = root_ / "file" / "Tarvex";
    std::string TempFolder = kTempFolderUnset;
    std::string notice;
    EXPECT_EQ(EnsureTempFolder(TempFolder, base, "ops", &notice), "");
    EXPECT_EQ(notice, "The settings folder \"" + base.string() +
                          "\" cannot be written, so the settings slots are saved in and recalled "
                          "from the current folder \"" +
                          fs::current_path().string() + "\" instead.");
    notice.clear();
    EnsureTempFolder(TempFolder, base, "ops", &notice);
    EXPECT_EQ(notice, "");
    std::string good = kTempFolderUnset;
    EnsureTempFolder(good, root_, "ops", &notice);
    EXPECT_EQ(notice, "");
}

// --- Help mode -----------------------------------------------------------------

class HelpHook : public ::testing::Test {
  protected:
    void SetUp() override {
        help_.BrowserPath = "/usr/bin/browser";
        Add("LAKE EFFECT", "Lake page!http://example.org/lake.htm|lake.pdf|");
        Add("LOOP", "loop.htm");            // no "|": nothing to open
        Add("ALERTS", "a.htm||b.htm|tail"); // empty item, text after the last "|"
        Add("LAKE EFFECT", "never.htm|");   // the first entry of a key wins
    }
    void Add(const std::string& key, const std::string& actions) {
        help_.Training.TrainingKey.push_back(key);
        help_.Training.TrainingAction.push_back(actions);
    }

    TrainingHelp help_;
    RecordingDesktopService desktop_;
};

TEST_F(HelpHook, LogoTogglesHelpModeAndPointerAndOutsideItNothingHappens) {
    EXPECT_TRUE(RunControlCommand(help_, desktop_, "Lake Effect").empty());
    EXPECT_TRUE(desktop_.requests.empty());
    EXPECT_TRUE(desktop_.pointers.empty());
    ToggleTrainingMode(help_, desktop_);
    EXPECT_TRUE(help_.TrainingMode);
    ToggleTrainingMode(help_, desktop_);
    EXPECT_FALSE(help_.TrainingMode);
    EXPECT_EQ(desktop_.pointers,
              (std::vector<PointerShape>{PointerShape::HelpQuestion, PointerShape::Default}));
}

TEST_F(HelpHook, AListedWordOpensItsItemsInOrderAndEndsHelpMode) {
    help_.TrainingMode = true;
    EXPECT_TRUE(RunControlCommand(help_, desktop_, "  lake effect ").empty());
    const std::vector<Request> expected{
        {Request::Kind::Start, "/usr/bin/browser", {"http://example.org/lake.htm"}},
        {Request::Kind::Open, "lake.pdf", {}}};
    EXPECT_EQ(desktop_.requests, expected);
    EXPECT_FALSE(help_.TrainingMode);
    EXPECT_EQ(desktop_.pointers, (std::vector<PointerShape>{PointerShape::Default}));
}

TEST_F(HelpHook, ItemsEndInABar) {
    help_.TrainingMode = true;
    RunControlCommand(help_, desktop_, "Loop");
    EXPECT_TRUE(desktop_.requests.empty());
    EXPECT_FALSE(help_.TrainingMode);

    help_.TrainingMode = true;
    RunControlCommand(help_, desktop_, "Alerts");
    const std::vector<Request> expected{{Request::Kind::Open, "a.htm", {}},
                                        {Request::Kind::Open, "b.htm", {}}};
    EXPECT_EQ(desktop_.requests, expected);
}

TEST_F(HelpHook, AnUnlistedWordKeepsHelpModeAndPointer) {
    help_.TrainingMode = true;
    RunControlCommand(help_, desktop_, "Kestir");
    EXPECT_TRUE(help_.TrainingMode);
    EXPECT_TRUE(desktop_.requests.empty());
    EXPECT_TRUE(desktop_.pointers.empty());
}

TEST_F(HelpHook, TheTargetIsOneArgumentWhateverItHolds) {
    Add("SHELL", "x!a b; rm -rf c|");
    help_.TrainingMode = true;
    RunControlCommand(help_, desktop_, "shell");
    ASSERT_EQ(desktop_.requests.size(), 1u);
    EXPECT_EQ(desktop_.requests[0].arguments, (std::vector<std::string>{"a b; rm -rf c"}));
}

TEST_F(HelpHook, ItemsThatFailAreReturnedAndTheRestStillOpen) {
    desktop_.failing = {"/usr/bin/browser"};
    help_.TrainingMode = true;
    const std::vector<std::string> failed = RunControlCommand(help_, desktop_, "Lake Effect");
    EXPECT_EQ(failed, (std::vector<std::string>{"Lake page!http://example.org/lake.htm"}));
    EXPECT_EQ(desktop_.requests.size(), 2u);
    EXPECT_FALSE(help_.TrainingMode);
}

} // namespace
} // namespace tarvex
