#include "shell/Monitors.h"

#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

using Handles = std::vector<std::int32_t>;

MonitorGeometry Screen(std::int32_t handle, PixelRect bounds) {
    return {handle, bounds, bounds};
}

Handles HandlesOf(const std::vector<clsMonitor>& list) {
    Handles h;
    for (const clsMonitor& m : list) h.push_back(m.Handle);
    return h;
}

// Two 1920 by 1080 monitors side by side, the primary one on the left.
DesktopLayout SideBySide() {
    return {{Screen(7, {0, 0, 1920, 1080}), Screen(3, {1920, 0, 3840, 1080})}, 1920, 1080};
}

// --- Which monitor -------------------------------------------------------------

TEST(MonitorGeometry, AWindowBelongsToTheMonitorItOverlapsMost) {
    const DesktopLayout d = SideBySide();
    EXPECT_EQ(MonitorFromRect(d.Monitors, {1800, 100, 2200, 400}), 3); // 280 of 400 on 3
    EXPECT_EQ(MonitorFromRect(d.Monitors, {1700, 100, 2000, 400}), 7);
    EXPECT_EQ(MonitorFromRect(d.Monitors, {1820, 0, 2020, 10}), 7); // a tie: the first
    EXPECT_EQ(MonitorFromRect(d.Monitors, {4000, 0, 4100, 100}), 0);
    EXPECT_EQ(MonitorFromRect({}, {0, 0, 10, 10}), 0);
}

TEST(MonitorGeometry, VirtualDesktopSpansAllMonitors) {
    DesktopLayout d = SideBySide();
    d.Monitors.push_back(Screen(9, {-1280, -200, 0, 824}));
    EXPECT_EQ(VirtualDesktop(d), (PixelRect{-1280, -200, 3840, 1080}));
    EXPECT_EQ(VirtualDesktop({{}, 1600, 1200}), (PixelRect{0, 0, 1600, 1200}));
}

// --- The monitor list ------------------------------------------------------------

TEST(MonitorList, EachMonitorOnceInProbeOrder) {
    EXPECT_EQ(HandlesOf(ProbeMonitors({{Screen(4, {0, 0, 2560, 1440})}, 2560, 1440})), Handles{4});
    EXPECT_EQ(HandlesOf(ProbeMonitors(SideBySide())), (Handles{7, 3}));
    // Rows come before cells: the monitor above is found first.
    const DesktopLayout stacked{
        {Screen(1, {0, 0, 1920, 1080}), Screen(2, {0, -1080, 1920, 0})}, 1920, 1080};
    EXPECT_EQ(HandlesOf(ProbeMonitors(stacked)), (Handles{2, 1}));
}

TEST(MonitorList, ANegativeLeftEdgeAndSmallMonitors) {
    DesktopLayout d = SideBySide();
    d.Monitors.push_back(Screen(9, {-1280, 0, 0, 1024}));
    EXPECT_EQ(HandlesOf(ProbeMonitors(d)), (Handles{9, 7, 3}));
    // Too small to hold a cell's centre, but listed all the same.
    d.Monitors.push_back(Screen(11, {3840, 0, 4040, 100}));
    EXPECT_EQ(HandlesOf(ProbeMonitors(d)), (Handles{9, 7, 3, 11}));
}

TEST(MonitorList, WithoutMonitorsThePrimaryScreenStandsIn) {
    const std::vector<clsMonitor> list = ProbeMonitors({{}, 1600, 1200});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (clsMonitor{0, 1200, 1600, 0, 1600, 0, 1200, 0, 1600, 0, 1200}));
}

// --- Centring --------------------------------------------------------------------

TEST(Centring, WithinTheWorkAreaOfTheMonitor) {
    DesktopLayout d = SideBySide();
    d.Monitors[1].Work = {1920, 40, 3840, 1080}; // a task bar at the top
    EXPECT_EQ(CenteredWindowPosition(d, 3, 800, 600), (PixelPoint{1920 + 560, 40 + 220}));
    EXPECT_EQ(CenteredWindowPosition(d, 0, 800, 600), (PixelPoint{560, 240}));
}

TEST(Centring, AWindowLargerThanTheWorkAreaKeepsItsCornerOnScreen) {
    DesktopLayout d = SideBySide();
    d.Monitors[1].Work = {1920, 40, 3840, 1080};
    EXPECT_EQ(CenteredWindowPosition(d, 3, 2000, 1200), (PixelPoint{1920, 40}));
    EXPECT_EQ(CenteredWindowPosition(d, 3, 1000, 1200), (PixelPoint{1920 + 460, 40}));
}

TEST(Centring, NoMonitorLeavesTheWindowWhereItIs) {
    EXPECT_FALSE(CenteredWindowPosition(SideBySide(), 99, 800, 600));
    EXPECT_FALSE(CenteredWindowPosition({}, 0, 800, 600));
    EXPECT_FALSE(CenteredWindowPosition({}, 1, 800, 600));
}

// --- The set of monitors over windows -------------------------------------------------

TEST(Monitors, WindowsAreFoundAndCentredOnAGivenDesktop) {
    const clsMonitors monitors([] { return SideBySide(); });
    EXPECT_EQ(monitors.DesktopLeft(), 0);
    EXPECT_EQ(monitors.DesktopWidth(), 3840);
    EXPECT_EQ(monitors.DesktopHeight(), 1080);
    ASSERT_NE(monitors.Monitor(3), nullptr);
    EXPECT_EQ(monitors.Monitor(3)->Left, 1920);
    EXPECT_EQ(monitors.Monitor(0), nullptr);
    EXPECT_EQ(monitors.GetMonitorFromXYPoint(1920, 5), 3);
    EXPECT_EQ(monitors.FirstOtherMonitor(7), 3);
    EXPECT_EQ(monitors.FirstOtherMonitor(3), 7);

    QWidget form;
    form.resize(400, 300);
    form.move(100, 100);
    EXPECT_EQ(monitors.GetMonitorFromWindow(form), 7);
    // Not yet framed, the form is centred with a usual frame of 8 x 32 round it.
    monitors.CenterFormOnMonitor(form, 3);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(1920 + 756, 374));
    EXPECT_EQ(form.size(), QSize(400, 300));
    EXPECT_EQ(monitors.GetMonitorFromWindow(form), 3);
    monitors.CenterFormOnMonitor(form, 42); // unknown: stays
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(1920 + 756, 374));
}

TEST(Monitors, OneMonitorIsItsOwnOther) {
    const clsMonitors monitors([] {
        return DesktopLayout{{Screen(1, {0, 0, 800, 600})}, 800, 600};
    });
    EXPECT_EQ(monitors.FirstOtherMonitor(1), 1);
}

TEST(Monitors, TheToolkitScreensFillTheList) {
    const clsMonitors monitors;
    ASSERT_EQ(monitors.MonitorList().size(),
              static_cast<std::size_t>(QGuiApplication::screens().size()));
    const clsMonitor& first = monitors.MonitorList().front();
    EXPECT_EQ(first.Handle, 1);
    EXPECT_GT(first.Width, 0);
    EXPECT_LE(first.WorkRight - first.WorkLeft, first.Width);
}

} // namespace
} // namespace tarvex
