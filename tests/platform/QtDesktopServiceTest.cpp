#include "platform/QtDesktopService.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

TEST(QtDesktopService, HelpPointerIsSetOnceAndRestored) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        QtDesktopService desktop;
        desktop.setPointerShape(PointerShape::HelpQuestion);
        desktop.setPointerShape(PointerShape::HelpQuestion);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
        desktop.setPointerShape(PointerShape::Default);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        desktop.setPointerShape(PointerShape::Default); // nothing left to restore

        desktop.setPointerShape(PointerShape::HelpQuestion);
    }
    // A service that goes away takes its pointer with it.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtDesktopService, ProgramsGetTheirArgumentsWithoutAShell) {
    const fs::path folder =
        fs::temp_directory_path() / ("tarvex-desktop-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    QtDesktopService desktop(QString::fromStdString(folder.string()));
    // Through a shell this would make two files and run a second command.
    const std::string name = "a b; touch c";
    ASSERT_TRUE(desktop.startProgram("touch", {name}));
    for (int i = 0; i < 100 && !fs::exists(folder / name); ++i) QThread::msleep(20);
    EXPECT_TRUE(fs::exists(folder / name));
    EXPECT_FALSE(fs::exists(folder / "c"));
    fs::remove_all(folder);

    EXPECT_FALSE(desktop.startProgram("", {"x"}));
    EXPECT_FALSE(desktop.startProgram("/nonexistent/tarvex-browser", {"x"}));
}

} // namespace
} // namespace tarvex
