#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace tarvex {

// A rectangle of the virtual desktop in pixels; Right and Bottom lie just
// outside it.
struct PixelRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// One monitor as the platform reports it: a handle (never 0), its bounds and
// its work area (the bounds less task bars and docks).
struct MonitorGeometry {
    std::int32_t Handle = 0;
    PixelRect Bounds;
    PixelRect Work;
};

// The monitors of the desktop, and the size of the primary screen for a
// desktop that reports no monitors.
struct DesktopLayout {
    std::vector<MonitorGeometry> Monitors;
    std::int32_t PrimaryWidth = 0;
    std::int32_t PrimaryHeight = 0;
};

// One display monitor: its rectangle and work area in virtual-desktop
// pixels. Handle 0 stands for the whole primary screen of a desktop that
// reports no monitors.
struct clsMonitor {
    std::int32_t Handle = 0;
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    std::int32_t Top = 0;
    std::int32_t Bottom = 0;
    std::int32_t WorkLeft = 0;
    std::int32_t WorkRight = 0;
    std::int32_t WorkTop = 0;
    std::int32_t WorkBottom = 0;
    bool operator==(const clsMonitor&) const = default;
};

// --- Geometry over given rectangles (no screens needed) ---------------------

clsMonitor FillMonitorInfo(const MonitorGeometry& monitor);

// The monitor that shares the largest area with rect (the first of equals),
// or 0 when rect lies on none.
std::int32_t MonitorFromRect(const std::vector<MonitorGeometry>& monitors, const PixelRect& rect);

// The extent of the virtual desktop: the box round all monitors, or the
// primary screen when there are none.
PixelRect VirtualDesktop(const DesktopLayout& layout);

// The monitor list: the desktop probed in cells of 640 by 480 pixels, rows
// top to bottom and cells left to right, each monitor listed once at its
// first hit; monitors too small to hold a cell's centre follow in the
// platform's order. A desktop without monitors gives one entry, handle 0,
// for the primary screen.
std::vector<clsMonitor> ProbeMonitors(const DesktopLayout& layout);

// Top-left corner that centres a window of the given outer size in area,
// kept inside the area's top-left corner when the window is larger.
PixelPoint CenterInArea(const PixelRect& area, std::int32_t width, std::int32_t height);

// Where CenterFormOnMonitor puts the window: centred in the work area of
// monitor, or on the primary screen for monitor 0; nothing when the monitor
// is unknown or there is no screen at all (the window stays).
std::optional<PixelPoint> CenteredWindowPosition(const DesktopLayout& layout, std::int32_t monitor,
                                                 std::int32_t width, std::int32_t height);

// --- The set of monitors ----------------------------------------------------

// The desktop's monitors, built at construction and on Refresh. Handles are
// fixed at each Refresh; nothing refreshes the list when monitors come and go.
class clsMonitors {
  public:
    using LayoutSource = std::function<DesktopLayout()>;

    // The monitors are the toolkit's screens.
    clsMonitors();
    // The monitors come from source (tests give fixed layouts).
    explicit clsMonitors(LayoutSource source);

    const std::vector<clsMonitor>& MonitorList() const { return list_; }
    // The entry of the list with that handle, or none.
    const clsMonitor* Monitor(std::int32_t handle) const;

    std::int32_t DesktopLeft() const { return VirtualDesktop(layout_).Left; }
    std::int32_t DesktopTop() const { return VirtualDesktop(layout_).Top; }
    std::int32_t DesktopWidth() const { return VirtualDesktop(layout_).Width(); }
    std::int32_t DesktopHeight() const { return VirtualDesktop(layout_).Height(); }
    std::int32_t PrimaryScreenWidth() const { return layout_.PrimaryWidth; }

    // The monitor holding most of the window, or 0 when it lies on none.
    std::int32_t GetMonitorFromWindow(const QWidget& window) const;
    // The monitor holding the pixel (x, y), or 0.
    std::int32_t GetMonitorFromXYPoint(std::int32_t x, std::int32_t y) const;
    // The first monitor of the list whose handle differs from monitor;
    // monitor itself when there is no other.
    std::int32_t FirstOtherMonitor(std::int32_t monitor) const;
    // Moves form, keeping its size, to the centre of the monitor's work area
    // (of the primary screen for monitor 0). An unknown monitor leaves it.
    void CenterFormOnMonitor(QWidget& form, std::int32_t monitor) const;

    void Refresh();

  private:
    LayoutSource source_;
    DesktopLayout layout_;
    std::vector<clsMonitor> list_;
};

// The toolkit's screens as a layout: handle i + 1 for screen i.
DesktopLayout ScreenLayout();

// The primary screen's free area (without task bars and docks); empty when
// there is no screen.
PixelRect PrimaryFreeArea();

// Moves window, keeping its size, so that its frame (the window manager's,
// or a usual one before the window is framed) stands centred in area, never
// left of or above it.
void CenterFrameInArea(QWidget& window, const PixelRect& area);

} // namespace tarvex
