// Lines on the raster surface: thin solid lines set pixel by pixel as the
// toolkit sets them, patterned thin lines plotted along the line, and wide
// strokes (always solid, round ends and joints) stroked once on a
// byte-a-pixel layer and kept as runs of pixels, by their pixel points, so
// that a picture drawn again sets the kept pixels instead of stroking anew.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace tarvex {

using namespace raster;

namespace {

// Cuts the segment a-b to the area (Liang-Barsky). False when nothing of it
// lies inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& area) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double enter = 0.0;
    double leave = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - area.left(), area.right() - a.x(), a.y() - area.top(),
                         area.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) return false;
    const QPointF start = a;
    a = start + QPointF(dx, dy) * enter;
    b = start + QPointF(dx, dy) * leave;
    return true;
}

} // namespace

void RasterSurface::SetStroke(const StrokeKey& key, const QPen& pen, const QRect& bounds,
                              Rgb color) {
    const DrawMode mode = State().drawMode;
    const QRect area = bounds.intersected(image_.rect());
    if (mode == DrawMode::Nop || area.isEmpty()) return;
    auto kept = strokes_.find(key);
    if (kept == strokes_.end()) {
        constexpr std::size_t kStrokesKept = 8192;
        if (strokes_.size() >= kStrokesKept) strokes_.clear();
        const bool layered = !key.layer.isEmpty();
        // The stroke is drawn as coverage alone, a byte a pixel: the toolkit
        // sets the same pixels as on a colour image, in a quarter of the
        // memory.
        QImage layer;
        if (layered) {
            layer = QImage(key.layer.size(), QImage::Format_Alpha8);
            layer.fill(0);
        } else if (strokeLayer_.size() != image_.size()) {
            strokeLayer_ = QImage(image_.size(), QImage::Format_Alpha8);
            strokeLayer_.fill(0);
        }
        QImage& target = layered ? layer : strokeLayer_;
        // Copy mode strokes at the image's own coordinates, so that the
        // stroke sets the very pixels it would set on the image; a combining
        // mode at its layer's, as it always has.
        const QPoint origin = layered ? key.layer.topLeft() : QPoint();
        {
            QPainter painter(&target);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setBrush(Qt::NoBrush);
            if (layered) painter.translate(-origin.x(), -origin.y());
            painter.setPen(pen);
            if (key.polyline) {
                std::size_t from = 0;
                for (std::size_t k = 0; k <= key.starts.size(); ++k) {
                    const std::size_t to = k < key.starts.size()
                                               ? static_cast<std::size_t>(key.starts[k])
                                               : key.points.size();
                    painter.drawPolyline(key.points.data() + from, static_cast<int>(to - from));
                    from = to;
                }
            } else {
                painter.drawLine(key.points[0], key.points[1]);
            }
        }
        const QRect scanned = layered ? QRect(QPoint(), key.layer.size()) : area;
        std::vector<PixelRun> runs;
        for (int row = scanned.top(); row <= scanned.bottom(); ++row) {
            uchar* const line = target.scanLine(row);
            for (int column = scanned.left(); column <= scanned.right();) {
                if (line[column] == 0) {
                    ++column;
                    continue;
                }
                const int left = column;
                while (column <= scanned.right() && line[column] != 0) line[column++] = 0;
                runs.push_back({row + origin.y(), left + origin.x(), column - left});
            }
        }
        kept = strokes_.emplace(key, std::move(runs)).first;
    }
    const std::uint32_t drawn = PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (const PixelRun& run : kept->second) {
        auto* pixel = reinterpret_cast<QRgb*>(bits + run.row * stride) + run.left;
        if (mode == DrawMode::CopyPen) {
            std::fill_n(pixel, run.count, 0xFF000000u | drawn);
            continue;
        }
        for (int k = 0; k < run.count; ++k)
            pixel[k] = 0xFF000000u | ApplyDrawMode(mode, drawn, pixel[k]);
    }
    Changed();
}

std::optional<QLine> RasterSurface::PixelLine(double x1, double y1, double x2, double y2) const {
    QPointF a(ToPixelX(x1), ToPixelY(y1));
    QPointF b(ToPixelX(x2), ToPixelY(y2));
    const double margin = Margin();
    const QRectF area(-margin, -margin, PixelWidth() + 2 * margin, PixelHeight() + 2 * margin);
    if (!ClipSegment(a, b, area)) return std::nullopt;
    return QLine(Rounded(a), Rounded(b));
}

void RasterSurface::DrawLine(double x1, double y1, double x2, double y2, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    const std::optional<QLine> line = PixelLine(x1, y1, x2, y2);
    if (!line) return;
    const QPoint from = line->p1();
    const QPoint to = line->p2();
    const int m = Margin();
    const QRect bounds = Spanning(from, to).adjusted(-m, -m, m, m);
    if (pen.style() == Qt::CustomDashLine && pen.width() <= 1) {
        // Patterned one-pixel lines are plotted pixel by pixel along the
        // line: the toolkit's dash stroker costs many times more, and the
        // sounding's background is mostly dotted lines.
        // Which pixels of one period of the pattern are drawn: even runs.
        std::vector<char> drawn;
        const QList<qreal> pattern = pen.dashPattern();
        for (qsizetype run = 0; run < pattern.size(); ++run)
            drawn.insert(drawn.end(), ClampToInt<std::size_t>(pattern[run]), run % 2 == 0);
        if (drawn.empty()) drawn.push_back(1);
        const std::size_t period = drawn.size();
        std::vector<QPoint> points;
        const int dx = std::abs(to.x() - from.x());
        const int dy = -std::abs(to.y() - from.y());
        const int sx = from.x() < to.x() ? 1 : -1;
        const int sy = from.y() < to.y() ? 1 : -1;
        points.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
        int error = dx + dy;
        QPoint p = from;
        for (std::size_t step = 0;; ++step) {
            if (drawn[step % period]) points.push_back(p);
            if (p == to) break;
            const int e2 = 2 * error;
            if (e2 >= dy) {
                error += dy;
                p.rx() += sx;
            }
            if (e2 <= dx) {
                error += dx;
                p.ry() += sy;
            }
        }
        PlotPixels(points, color);
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.style() == Qt::SolidLine && pen.width() <= 1 &&
        SetThinLine(*line, color)) {
        Changed();
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        SetStroke(StrokeKey{false, pen.width(), {from, to}, {}, {}}, pen, bounds, color);
        return;
    }
    Render(bounds, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLine(from, to);
    });
}

bool RasterSurface::SetThinLine(const QLine& line, Rgb color) {
    const QRect inside = image_.rect();
    if (!inside.contains(line.p1()) || !inside.contains(line.p2())) return false;
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const auto set = [&](int x, int y) { reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel; };
    QPoint a = line.p1();
    QPoint b = line.p2();
    const int across = std::abs(b.x() - a.x());
    const int down = std::abs(b.y() - a.y());
    if (across == 0 && down == 0) {
        set(a.x(), a.y());
        return true;
    }
    // The toolkit's pixels for an unsmoothed one-pixel line with square
    // ends: one pixel per step along the longer axis, both ends included,
    // the other axis followed in 16.16 fixed point from half a step in.
    const auto start = [](int from, int step) {
        return from * 65536 - (step >> 1) + (step > 0 ? step : (step >> 1));
    };
    if (across < down) {
        if (a.y() > b.y()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.x() - a.x()} * 65536 / (b.y() - a.y()));
        int x = start(a.x(), step);
        for (int y = a.y(); y <= b.y(); ++y, x += step) set(x >> 16, y);
    } else {
        if (a.x() > b.x()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.y() - a.y()} * 65536 / (b.x() - a.x()));
        int y = start(a.y(), step);
        for (int x = a.x(); x <= b.x(); ++x, y += step) set(x, y >> 16);
    }
    return true;
}

void RasterSurface::DrawLines(const std::vector<Segment>& segments, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    // Thin solid lines in copy mode: those inside the image set their pixels
    // straight, the rest go to the painter in one call. Each is drawn as
    // alone, and a pixel two of them share takes the same colour either way.
    // Other pens and modes draw line by line.
    if (State().drawMode != DrawMode::CopyPen || pen.style() != Qt::SolidLine || pen.width() > 1) {
        PictureSurface::DrawLines(segments, color);
        return;
    }
    std::vector<QLine> lines;
    QRect bounds;
    bool set = false;
    for (const Segment& s : segments) {
        const std::optional<QLine> line = PixelLine(s.x1, s.y1, s.x2, s.y2);
        if (!line) continue;
        if (SetThinLine(*line, color)) {
            set = true;
            continue;
        }
        lines.push_back(*line);
        bounds = bounds.united(Spanning(line->p1(), line->p2()));
    }
    if (set) Changed();
    if (lines.empty()) return;
    const int m = Margin();
    Render(bounds.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    });
}

void RasterSurface::DrawPolyline(const std::vector<std::pair<double, double>>& points, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    // Patterned thin lines keep their pixel-by-pixel plotting.
    if (pen.style() == Qt::CustomDashLine && pen.width() <= 1) {
        PictureSurface::DrawPolyline(points, color);
        return;
    }
    const double margin = Margin();
    const QRectF area(-margin, -margin, PixelWidth() + 2 * margin, PixelHeight() + 2 * margin);
    // Runs of joined segments inside the area; a segment cut by its edge
    // ends a run.
    std::vector<QPolygon> runs;
    QRect bounds;
    bool joined = false; // the last segment ended uncut where this one starts
    for (std::size_t k = 1; k < points.size(); ++k) {
        const QPointF from(ToPixelX(points[k - 1].first), ToPixelY(points[k - 1].second));
        const QPointF to(ToPixelX(points[k].first), ToPixelY(points[k].second));
        QPointF a = from;
        QPointF b = to;
        if (!ClipSegment(a, b, area)) {
            joined = false;
            continue;
        }
        const QPoint start = Rounded(a);
        const QPoint end = Rounded(b);
        if (!joined || a != from) runs.push_back(QPolygon{start});
        runs.back().push_back(end);
        bounds = bounds.united(Spanning(start, end));
        joined = b == to;
    }
    const int m = Margin();
    const QRect touched = bounds.adjusted(-m, -m, m, m).intersected(image_.rect());
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        // Each run is stroked alone, so each is kept alone.
        if (touched.isEmpty()) return;
        for (const QPolygon& run : runs) {
            if (run.size() < 2) continue;
            const QRect around = run.boundingRect().adjusted(-m, -m, m, m);
            SetStroke(StrokeKey{true, pen.width(), {run.begin(), run.end()}, {}, {}}, pen, around,
                      color);
        }
        Changed();
        return;
    }
    if (pen.width() > 1 && !touched.isEmpty() &&
        std::all_of(runs.begin(), runs.end(), [](const QPolygon& run) { return run.size() > 1; })) {
        // In a combining mode the runs share one layer, each pixel of them
        // combined once.
        StrokeKey key{true, pen.width(), {}, {}, touched};
        for (const QPolygon& run : runs) {
            if (!key.points.empty()) key.starts.push_back(static_cast<int>(key.points.size()));
            key.points.insert(key.points.end(), run.begin(), run.end());
        }
        SetStroke(key, pen, touched, color);
        return;
    }
    Render(bounds.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        painter.setPen(pen);
        for (const QPolygon& run : runs)
            if (run.size() > 1) painter.drawPolyline(run);
    });
}

void RasterSurface::PlotPixels(const std::vector<QPoint>& points, Rgb color) {
    const DrawMode mode = State().drawMode;
    if (mode == DrawMode::Nop || points.empty()) return;
    const std::uint32_t pen = PixelBits(color);
    // The pixels are written straight into the image; the open painter keeps
    // no copy of them.
    const int width = image_.width();
    const int height = image_.height();
    for (const QPoint& p : points) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height) continue;
        auto* pixel = reinterpret_cast<QRgb*>(image_.scanLine(p.y())) + p.x();
        *pixel = 0xFF000000u |
                 (mode == DrawMode::CopyPen ? pen : ApplyDrawMode(mode, pen, *pixel & 0xFFFFFFu));
    }
    Changed();
}

} // namespace tarvex
