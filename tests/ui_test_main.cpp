// Test runner for everything that draws: one QApplication on the offscreen
// platform for the whole run.
#include "platform/GuardedApplication.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A private runtime folder keeps the toolkit quiet about its permissions.
    const std::string runtime = "/tmp/tarvex-ui-tests-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    tarvex::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
