#include "shell/Monitors.h"

#include "platform/Controls.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tarvex {

namespace {

constexpr std::int32_t kProbeCellWidth = 640;
constexpr std::int32_t kProbeCellHeight = 480;

std::int64_t OverlapArea(const PixelRect& a, const PixelRect& b) {
    const std::int64_t w = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
    const std::int64_t h = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

PixelRect FromQRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

PixelRect PrimaryScreen(const DesktopLayout& layout) {
    return {0, 0, layout.PrimaryWidth, layout.PrimaryHeight};
}

} // namespace

clsMonitor FillMonitorInfo(const MonitorGeometry& monitor) {
    const PixelRect& b = monitor.Bounds;
    const PixelRect& w = monitor.Work;
    return {monitor.Handle, b.Height(), b.Width(), b.Left, b.Right, b.Top,
            b.Bottom,       w.Left,     w.Right,   w.Top,  w.Bottom};
}

std::int32_t MonitorFromRect(const std::vector<MonitorGeometry>& monitors, const PixelRect& rect) {
    std::int32_t best = 0;
    std::int64_t bestArea = 0;
    for (const MonitorGeometry& m : monitors) {
        const std::int64_t area = OverlapArea(m.Bounds, rect);
        if (area > bestArea) {
            best = m.Handle;
            bestArea = area;
        }
    }
    return best;
}

PixelRect VirtualDesktop(const DesktopLayout& layout) {
    if (layout.Monitors.empty()) return PrimaryScreen(layout);
    PixelRect box = layout.Monitors.front().Bounds;
    for (const MonitorGeometry& m : layout.Monitors) {
        box.Left = std::min(box.Left, m.Bounds.Left);
        box.Top = std::min(box.Top, m.Bounds.Top);
        box.Right = std::max(box.Right, m.Bounds.Right);
        box.Bottom = std::max(box.Bottom, m.Bounds.Bottom);
    }
    return box;
}

std::vector<clsMonitor> ProbeMonitors(const DesktopLayout& layout) {
    std::vector<clsMonitor> list;
    if (layout.Monitors.empty()) {
        list.push_back(FillMonitorInfo({0, PrimaryScreen(layout), PrimaryScreen(layout)}));
        return list;
    }
    const auto add = [&list](const MonitorGeometry& m) {
        const bool listed = std::any_of(list.begin(), list.end(),
                                        [&m](const clsMonitor& c) { return c.Handle == m.Handle; });
        if (!listed) list.push_back(FillMonitorInfo(m));
    };
    const auto byHandle = [&layout](std::int32_t handle) -> const MonitorGeometry* {
        for (const MonitorGeometry& m : layout.Monitors) {
            if (m.Handle == handle) return &m;
        }
        return nullptr;
    };
    // The cells run from the desktop's left and top edges up to its width and
    // height, which lie at or beyond its far edges whenever the edges are not
    // positive, as they are round a primary screen at the origin.
    const PixelRect desktop = VirtualDesktop(layout);
    for (std::int32_t y = desktop.Top; y <= desktop.Height(); y += kProbeCellHeight) {
        for (std::int32_t x = desktop.Left; x <= desktop.Width(); x += kProbeCellWidth) {
            const std::int32_t cx = x + kProbeCellWidth / 2;
            const std::int32_t cy = y + kProbeCellHeight / 2;
            const std::int32_t handle = MonitorFromRect(layout.Monitors, {cx, cy, cx + 1, cy + 1});
            if (const MonitorGeometry* m = byHandle(handle)) add(*m);
        }
    }
    // A monitor no cell centre fell on is still a monitor.
    for (const MonitorGeometry& m : layout.Monitors) add(m);
    return list;
}

PixelPoint CenterInArea(const PixelRect& area, std::int32_t width, std::int32_t height) {
    return {area.Left + std::max(0, (area.Width() - width) / 2),
            area.Top + std::max(0, (area.Height() - height) / 2)};
}

std::optional<PixelPoint> CenteredWindowPosition(const DesktopLayout& layout, std::int32_t monitor,
                                                 std::int32_t width, std::int32_t height) {
    if (monitor == 0) {
        const PixelRect screen = PrimaryScreen(layout);
        if (screen.Width() <= 0 || screen.Height() <= 0) return std::nullopt;
        return CenterInArea(screen, width, height);
    }
    for (const MonitorGeometry& m : layout.Monitors) {
        if (m.Handle == monitor) return CenterInArea(m.Work, width, height);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------

clsMonitors::clsMonitors() : clsMonitors(ScreenLayout) {}

clsMonitors::clsMonitors(LayoutSource source) : source_(std::move(source)) {
    Refresh();
}

void clsMonitors::Refresh() {
    layout_ = source_ ? source_() : DesktopLayout{};
    list_ = ProbeMonitors(layout_);
}

const clsMonitor* clsMonitors::Monitor(std::int32_t handle) const {
    for (const clsMonitor& m : list_) {
        if (m.Handle == handle) return &m;
    }
    return nullptr;
}

std::int32_t clsMonitors::GetMonitorFromWindow(const QWidget& window) const {
    const QRect frame = window.isWindow() ? window.frameGeometry()
                                          : QRect(window.mapToGlobal(QPoint(0, 0)), window.size());
    return MonitorFromRect(layout_.Monitors, FromQRect(frame));
}

std::int32_t clsMonitors::GetMonitorFromXYPoint(std::int32_t x, std::int32_t y) const {
    return MonitorFromRect(layout_.Monitors, {x, y, x + 1, y + 1});
}

std::int32_t clsMonitors::FirstOtherMonitor(std::int32_t monitor) const {
    for (const clsMonitor& m : list_) {
        if (m.Handle != monitor) return m.Handle;
    }
    return monitor;
}

void clsMonitors::CenterFormOnMonitor(QWidget& form, std::int32_t monitor) const {
    const QSize frame = form.size() + WindowFrameSize(form);
    const auto at = CenteredWindowPosition(layout_, monitor, frame.width(), frame.height());
    // A form already there is not moved again: a window just shown and not yet
    // framed by the window manager would take the frame's place for its own.
    if (at && QPoint(at->X, at->Y) != form.pos()) form.move(at->X, at->Y);
}

PixelRect PrimaryFreeArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? FromQRect(screen->availableGeometry()) : PixelRect{};
}

void CenterFrameInArea(QWidget& window, const PixelRect& area) {
    // move() places the frame's top left corner.
    const QSize frame = window.size() + WindowFrameSize(window);
    const PixelPoint at = CenterInArea(area, frame.width(), frame.height());
    window.move(at.X, at.Y);
}

DesktopLayout ScreenLayout() {
    DesktopLayout layout;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        layout.Monitors.push_back({static_cast<std::int32_t>(i + 1),
                                   FromQRect(screens[i]->geometry()),
                                   FromQRect(screens[i]->availableGeometry())});
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        layout.PrimaryWidth = primary->size().width();
        layout.PrimaryHeight = primary->size().height();
    }
    return layout;
}

} // namespace tarvex
