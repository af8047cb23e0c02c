// Test runner for everything that draws: one QApplication on the offscreen
// platform for the whole run.
#include "platform/GuardedApplication.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The window makes its program folder the current folder, and a test's
// teardown may delete that folder. Each test starts in the folder the run
// started in, whatever ran before it.
class CurrentFolderKeeper : public ::testing::EmptyTestEventListener {
  public:
    explicit CurrentFolderKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {}
    void OnTestStart(const ::testing::TestInfo&) override {
        std::filesystem::current_path(folder_);
    }

  private:
    std::filesystem::path folder_;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A private runtime folder keeps the toolkit quiet about its permissions.
    const std::string runtime = "/tmp/tarvex-ui-tests-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    tarvex::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new CurrentFolderKeeper(std::filesystem::current_path()));
    return RUN_ALL_TESTS();
}
