// Lines on the raster surface: thin solid lines set pixel by pixel as the
// toolkit sets them, patterned thin lines plotted along the line, and wide
// strokes (always solid, round ends and joints). The toolkit's pixels of a
// wide stroke 2 to 5 pixels wide are the pixels of its segments, each stroked
// alone with round ends: those are stroked on a bit-a-pixel layer and kept by
// their shape (the step from the first point to the second), since the same
// shape elsewhere sets the same pixels moved. Wider strokes are stroked whole.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

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

// Hands plot the toolkit's pixels for an unsmoothed one-pixel line with
// square ends from a to b: one pixel per step along the longer axis, both
// ends included, the other axis followed in 16.16 fixed point from half a
// step in.
template <typename Plot> void WalkThinLine(QPoint a, QPoint b, Plot&& plot) {
    const int across = std::abs(b.x() - a.x());
    const int down = std::abs(b.y() - a.y());
    if (across == 0 && down == 0) {
        plot(a.x(), a.y());
        return;
    }
    const auto start = [](int from, int step) {
        return from * 65536 - (step >> 1) + (step > 0 ? step : (step >> 1));
    };
    if (across < down) {
        if (a.y() > b.y()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.x() - a.x()} * 65536 / (b.y() - a.y()));
        int x = start(a.x(), step);
        for (int y = a.y(); y <= b.y(); ++y, x += step) plot(x >> 16, y);
    } else {
        if (a.x() > b.x()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.y() - a.y()} * 65536 / (b.x() - a.x()));
        int y = start(a.y(), step);
        for (int x = a.x(); x <= b.x(); ++x, y += step) plot(x, y >> 16);
    }
}

} // namespace

std::size_t RasterSurface::SegmentShapeHash::operator()(const SegmentShape& shape) const {
    return (static_cast<std::size_t>(static_cast<std::uint32_t>(shape.dx)) * 0x9E3779B97F4A7C15ull ^
            static_cast<std::uint32_t>(shape.dy)) *
               31 +
           static_cast<std::size_t>(shape.width);
}

void RasterSurface::SetRuns(const PixelRuns& runs, const QPoint& offset, Rgb color) {
    const QRect area = runs.bounds.translated(offset);
    const QRect inside = Overlap(area, imageRect_);
    if (inside.isEmpty()) return;
    const DrawMode mode = State().drawMode;
    const std::uint32_t drawn = PixelBits(color);
    const QRgb pixel = 0xFF000000u | drawn;
    const ModeRule::ForPen rule = ModeRule(mode).WithPen(drawn);
    const bool copy = mode == DrawMode::CopyPen;
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const int dx = offset.x();
    const int dy = offset.y();
    const auto set = [&](int row, int left, int end) {
        auto* const line = reinterpret_cast<QRgb*>(bits + row * stride);
        if (copy) {
            FillRow(line + left, end - left, pixel);
        } else {
            for (int x = left; x < end; ++x) line[x] = rule(line[x]);
        }
    };
    // Only runs of a shape reaching past the image are cut to it, and only
    // those of one over painted texts that may still go are looked up in
    // their grid. The draw mode is settled once for all the runs.
    const bool kept = KeptMeets(inside);
    if (inside == area && !kept) {
        if (copy) {
            for (const PixelRun& run : runs.runs)
                FillRow(reinterpret_cast<QRgb*>(bits + (run.row + dy) * stride) + run.left + dx,
                        run.count, pixel);
            return;
        }
        for (const PixelRun& run : runs.runs) {
            auto* const line = reinterpret_cast<QRgb*>(bits + (run.row + dy) * stride);
            for (int x = run.left + dx; x < run.left + dx + run.count; ++x) line[x] = rule(line[x]);
        }
        return;
    }
    if (inside == area) {
        for (const PixelRun& run : runs.runs) {
            const int left = run.left + dx;
            set(run.row + dy, left, left + run.count);
            CombineKept(run.row + dy, left, left + run.count, drawn);
        }
        return;
    }
    for (const PixelRun& run : runs.runs) {
        const int row = run.row + dy;
        const int left = std::max(run.left + dx, inside.left());
        const int end = std::min(run.left + dx + run.count, inside.right() + 1);
        if (row < inside.top() || row > inside.bottom() || left >= end) continue;
        set(row, left, end);
        if (kept) CombineKept(row, left, end, drawn);
    }
}

namespace {

// The widths whose strokes set the pixels of their segments, each stroked
// alone with round ends, whatever the joints.
constexpr int kSegmentWidthLeast = 2;
constexpr int kSegmentWidthMost = 5;

// An upright or level segment longer than this is its shorter one of this
// length stretched (StretchedRuns): its round ends lie within width / 2 + 2
// pixels of its points, with a straight part between them.
constexpr int StretchedFrom(int width) {
    return 2 * (width / 2 + 2) + 2;
}

// Rows of the segment layer: fewer than the runs from which the toolkit fills
// on other threads.
constexpr int kBandRows = 90;

// Appends the runs of set bits that end within the word of a row's bits
// whose first bit is column, as runs of the row moved by left; start is the
// column where the run still open began (-1 for none), kept up to date.
// (Run is the surface's PixelRun.)
template <typename Run>
void AppendWordRuns(std::uint64_t bits, int column, int& start, int row, int left,
                    std::vector<Run>& runs) {
    for (int at = 0; at < 64;) {
        // The next change from clear to set or back, within the word.
        const std::uint64_t ahead = (start < 0 ? bits : ~bits) >> at;
        if (ahead == 0) break;
        at += std::countr_zero(ahead);
        if (start < 0) {
            start = column + at;
        } else {
            runs.push_back({row, start + left, column + at - start});
            start = -1;
        }
    }
}

// Appends the runs of set bits of the rows of a bit-a-pixel layer (columns 0
// to width - 1), moved by shift, and clears the rows. The layer's rows are
// whole 64-bit words (its width a multiple of 64), read a word at a time.
// (Run is the surface's PixelRun.)
template <typename Run>
void TakeBitRuns(QImage& layer, int rows, int width, const QPoint& shift, std::vector<Run>& runs) {
    static_assert(std::endian::native == std::endian::little,
                  "the layer's first pixel is the lowest bit of a word");
    uchar* const layerBits = layer.bits();
    const qsizetype layerStride = layer.bytesPerLine();
    const int words = (width + 63) / 64;
    constexpr std::uint64_t kClear = 0;
    for (int row = 0; row < rows; ++row) {
        uchar* const line = layerBits + row * layerStride;
        int start = -1;
        for (int w = 0; w < words; ++w) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, line + w * 8, sizeof bits);
            if (bits == 0 && start < 0) continue;
            std::memcpy(line + w * 8, &kClear, sizeof kClear);
            AppendWordRuns(bits, w * 64, start, row + shift.y(), shift.x(), runs);
        }
        if (start >= 0) runs.push_back({row + shift.y(), start + shift.x(), words * 64 - start});
    }
}

// The runs with the area they cover.
template <typename Runs> Runs WithBounds(decltype(Runs::runs) runs) {
    if (runs.empty()) return Runs{};
    int left = runs.front().left;
    int end = left;
    for (const auto& run : runs) {
        left = std::min(left, run.left);
        end = std::max(end, run.left + run.count);
    }
    const QRect bounds(QPoint(left, runs.front().row), QPoint(end - 1, runs.back().row));
    return Runs{std::move(runs), bounds};
}

} // namespace

std::vector<RasterSurface::PixelRun> RasterSurface::StretchedRuns(int width, const QPoint& step) {
    const int m = width / 2 + 2;
    const int shortest = StretchedFrom(width);
    const bool upright = step.x() == 0;
    const int along = upright ? step.y() : step.x();
    const int sign = along > 0 ? 1 : -1;
    // The far end's move from the short segment's far end to this one's.
    const int stretch = along - sign * shortest;
    // Copied: keeping this shape may let the short one go.
    const std::vector<PixelRun> base =
        SegmentRuns(width, QPoint(),
                    upright ? QPoint(0, sign * shortest) : QPoint(sign * shortest, 0))
            .runs;
    // Where a row (upright) or column (level) of the short segment lies:
    // within m of its start (0), within m of its far end (2), or between,
    // on the straight sides (1).
    const auto part = [&](int at) { return sign * at < m ? 0 : sign * at > shortest - m ? 2 : 1; };
    std::vector<PixelRun> runs;
    if (upright) {
        // In the order of the rows: going down the start's rows come first,
        // going up the far end's.
        const int first = sign > 0 ? 0 : 2;
        for (const PixelRun& run : base)
            if (part(run.row) == first)
                runs.push_back({run.row + (first == 2 ? stretch : 0), run.left, run.count});
        std::vector<PixelRun> straight;
        for (const PixelRun& run : base)
            if (run.row == sign * m) straight.push_back(run);
        for (int row = sign > 0 ? m : along + m; row <= (sign > 0 ? along - m : -m); ++row)
            for (const PixelRun& run : straight) runs.push_back({row, run.left, run.count});
        for (const PixelRun& run : base)
            if (part(run.row) == 2 - first)
                runs.push_back({run.row + (first == 0 ? stretch : 0), run.left, run.count});
        return runs;
    }
    // Level: each row of the short segment cut into the columns before its
    // straight part, which stay, and those after, which move by the stretch
    // going right (before it going left, they move and the start's stay),
    // with the straight part drawn across when the row has it.
    const int low = sign > 0 ? m : -(shortest - m); // the columns before it end here
    const int high = sign > 0 ? shortest - m : -m;  // the columns after it start past here
    const int lowMove = sign > 0 ? 0 : stretch;
    const int highMove = sign > 0 ? stretch : 0;
    const auto add = [&runs](int row, int left, int end) {
        if (left >= end) return;
        if (!runs.empty() && runs.back().row == row &&
            runs.back().left + runs.back().count >= left) {
            PixelRun& last = runs.back();
            last.count = std::max(last.left + last.count, end) - last.left;
            return;
        }
        runs.push_back({row, left, end - left});
    };
    for (std::size_t i = 0; i < base.size();) {
        const int row = base[i].row;
        std::size_t end = i;
        bool straight = false;
        for (; end < base.size() && base[end].row == row; ++end)
            straight = straight ||
                       (base[end].left <= sign * m && sign * m < base[end].left + base[end].count);
        for (std::size_t k = i; k < end; ++k)
            add(row, base[k].left + lowMove, std::min(base[k].left + base[k].count, low) + lowMove);
        if (straight) add(row, low + lowMove, high + 1 + highMove);
        for (std::size_t k = i; k < end; ++k)
            add(row, std::max(base[k].left, high + 1) + highMove,
                base[k].left + base[k].count + highMove);
        i = end;
    }
    return runs;
}

const RasterSurface::PixelRuns& RasterSurface::SegmentRuns(int width, const QPoint& from,
                                                           const QPoint& to) {
    const QPoint step = to - from;
    const SegmentShape shape{width, step.x(), step.y()};
    if (const auto kept = segmentShapes_.find(shape); kept != segmentShapes_.end())
        return kept->second;
    if ((step.x() == 0) != (step.y() == 0) && std::abs(step.x() + step.y()) > StretchedFrom(width))
        return KeepSegment(shape, StretchedRuns(width, step));
    // Stroked from (0, 0), a band at a time, each band moved by whole pixels
    // to the layer's top-left corner.
    const int m = width / 2 + 2;
    const QRect box = Spanning(QPoint(), step).adjusted(-m, -m, m, m);
    if (!strokePainter_ || strokeLayer_.width() < box.width()) {
        strokePainter_.reset();
        strokeLayer_ = QImage(std::max((box.width() + 63) / 64 * 64, strokeLayer_.width()),
                              kBandRows, QImage::Format_MonoLSB);
        strokeLayer_.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        strokeLayer_.fill(0);
        strokePainter_ = std::make_unique<QPainter>(&strokeLayer_);
        strokePainter_->setRenderHint(QPainter::Antialiasing, false);
        strokePainter_->setBrush(Qt::NoBrush);
    }
    QPainter& painter = *strokePainter_;
    // Bit 1 is the stroke.
    if (painter.pen().width() != width)
        painter.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    std::vector<PixelRun> runs;
    for (int top = box.top(); top <= box.bottom(); top += kBandRows) {
        painter.setTransform(QTransform::fromTranslate(-box.left(), -top));
        painter.drawLine(QPoint(), step);
        TakeBitRuns(strokeLayer_, std::min(kBandRows, box.bottom() - top + 1), box.width(),
                    QPoint(box.left(), top), runs);
    }
    return KeepSegment(shape, std::move(runs));
}

const RasterSurface::PixelRuns& RasterSurface::KeepSegment(const SegmentShape& shape,
                                                           std::vector<PixelRun> runs) {
    // The kept shapes stay within a number and a count of runs; when either
    // is reached they are all let go.
    constexpr std::size_t kShapesKept = 8192;
    constexpr std::size_t kRunsKept = std::size_t{1} << 18;
    if (segmentShapes_.size() >= kShapesKept || segmentRuns_ + runs.size() > kRunsKept) {
        segmentShapes_.clear();
        segmentRuns_ = 0;
    }
    segmentRuns_ += runs.size();
    return segmentShapes_.emplace(shape, WithBounds<PixelRuns>(std::move(runs))).first->second;
}

void RasterSurface::SetStroke(const WideStroke& stroke, const QRect& bounds, Rgb color) {
    const DrawMode mode = State().drawMode;
    if (mode == DrawMode::Nop || stroke.points.empty() || Overlap(bounds, imageRect_).isEmpty())
        return;
    if (stroke.width < kSegmentWidthLeast || stroke.width > kSegmentWidthMost) {
        SetWholeStroke(stroke, bounds, color);
        return;
    }
    // The segments of each polyline; a polyline of one point has none. In a
    // combining mode their pixels inside the image are gathered as bits
    // first, so that each is combined once.
    const int m = stroke.width / 2 + 2;
    const bool copy = mode == DrawMode::CopyPen;
    const QRect plane = Overlap(bounds, imageRect_);
    if (!copy) StartStrokeBits(plane);
    std::size_t from = 0;
    for (std::size_t k = 0; k <= stroke.starts.size(); ++k) {
        const std::size_t to = k < stroke.starts.size() ? static_cast<std::size_t>(stroke.starts[k])
                                                        : stroke.points.size();
        for (std::size_t i = from + 1; i < to; ++i) {
            const QPoint a = stroke.points[i - 1];
            const QPoint b = stroke.points[i];
            if (Overlap(Spanning(a, b).adjusted(-m, -m, m, m), imageRect_).isEmpty()) continue;
            const PixelRuns& runs = SegmentRuns(stroke.width, a, b);
            if (copy) {
                // A pixel two segments share takes the same colour twice.
                SetRuns(runs, a, color);
                continue;
            }
            for (const PixelRun& run : runs.runs) {
                const int row = run.row + a.y();
                const int left = std::max(run.left + a.x(), plane.left());
                const int end = std::min(run.left + a.x() + run.count, plane.right() + 1);
                if (row < plane.top() || row > plane.bottom() || left >= end) continue;
                SetBits(StrokeBitsRow(row - plane.top()), left - plane.left(), end - plane.left());
            }
        }
        from = to;
    }
    if (!copy) SetRuns(TakeStrokeBits(), QPoint(), color);
    Changed();
}

void RasterSurface::StartStrokeBits(const QRect& plane) {
    strokeBitsArea_ = plane;
    strokeBitsStride_ = (plane.width() + 63) / 64;
    const std::size_t words =
        static_cast<std::size_t>(strokeBitsStride_) * static_cast<std::size_t>(plane.height());
    // The bits are clear: the last stroke's were cleared as they were taken.
    if (strokeBits_.size() < words) strokeBits_.resize(words, 0);
}

const RasterSurface::PixelRuns& RasterSurface::TakeStrokeBits() {
    // Row by row, the runs of set bits, each bit cleared as it is read.
    std::vector<PixelRun>& runs = strokeRuns_.runs;
    runs.clear();
    const QRect& plane = strokeBitsArea_;
    const int stride = strokeBitsStride_;
    for (int row = 0; row < plane.height(); ++row) {
        std::uint64_t* const words = StrokeBitsRow(row);
        int start = -1;
        for (int w = 0; w < stride; ++w) {
            const std::uint64_t bits = words[w];
            words[w] = 0;
            AppendWordRuns(bits, w * 64, start, row + plane.top(), plane.left(), runs);
        }
        if (start >= 0)
            runs.push_back({row + plane.top(), start + plane.left(), plane.width() - start});
    }
    strokeRuns_.bounds = plane;
    return strokeRuns_;
}

void RasterSurface::SetWholeStroke(const WideStroke& stroke, const QRect& bounds, Rgb color) {
    // A byte a pixel: the toolkit may fill the rows on other threads.
    QImage layer(bounds.size(), QImage::Format_Alpha8);
    layer.fill(0);
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, stroke.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.translate(-bounds.left(), -bounds.top());
        if (!stroke.polyline) painter.drawLine(stroke.points[0], stroke.points[1]);
        std::size_t from = 0;
        for (std::size_t k = 0; k <= stroke.starts.size(); ++k) {
            const std::size_t to = k < stroke.starts.size()
                                       ? static_cast<std::size_t>(stroke.starts[k])
                                       : stroke.points.size();
            if (stroke.polyline && to - from > 1)
                painter.drawPolyline(stroke.points.data() + from, static_cast<int>(to - from));
            from = to;
        }
    }
    std::vector<PixelRun> runs;
    for (int row = 0; row < layer.height(); ++row) {
        const uchar* const line = layer.constScanLine(row);
        for (int x = 0; x < layer.width();) {
            if (line[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < layer.width() && line[x] != 0) ++x;
            runs.push_back({row + bounds.top(), start + bounds.left(), x - start});
        }
    }
    SetRuns(WithBounds<PixelRuns>(std::move(runs)), QPoint(), color);
    Changed();
}

std::optional<QLine> RasterSurface::PixelLine(double x1, double y1, double x2, double y2) const {
    QPointF a(ToPixelX(x1), ToPixelY(y1));
    QPointF b(ToPixelX(x2), ToPixelY(y2));
    const double margin = Margin();
    const QRectF area(-margin, -margin, PixelWidth() + 2 * margin, PixelHeight() + 2 * margin);
    const auto within = [&area](const QPointF& p) {
        return p.x() >= area.left() && p.x() <= area.right() && p.y() >= area.top() &&
               p.y() <= area.bottom();
    };
    if (within(a) && within(b)) {
        // Nothing to cut: the far end as the cut takes it, the start moved
        // by the whole step.
        return QLine(Rounded(a),
                     Rounded(QPointF(a.x() + (b.x() - a.x()), a.y() + (b.y() - a.y()))));
    }
    if (!ClipSegment(a, b, area)) return std::nullopt;
    return QLine(Rounded(a), Rounded(b));
}

void RasterSurface::DrawLine(double x1, double y1, double x2, double y2, Rgb color) {
    FinishClear();
    SettleBeforeCombining();
    // The kept pen, not a copy: nothing below changes the drawing state.
    const QPen& pen = OutlinePen(color);
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
        PlotDashed(from, to, color);
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.style() == Qt::SolidLine && pen.width() <= 1 &&
        SetThinLine(*line, color)) {
        Changed();
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        SetStroke(WideStroke{false, pen.width(), {from, to}, {}}, bounds, color);
        return;
    }
    Render(bounds, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLine(from, to);
    });
}

bool RasterSurface::SetThinLine(const QLine& line, Rgb color, ImageBits* image) {
    QPoint a = line.p1();
    QPoint b = line.p2();
    if (!Holds(imageRect_, a) || !Holds(imageRect_, b)) return false;
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    ImageBits own;
    ImageBits& kept = image ? *image : own;
    if (!kept.bits) kept = ImageBits{image_.bits(), image_.bytesPerLine()};
    uchar* const bits = kept.bits;
    const qsizetype stride = kept.stride;
    const auto at = [bits, stride](int x, int y) {
        return reinterpret_cast<QRgb*>(bits + y * stride) + x;
    };
    if (KeptMeets(Spanning(a, b))) {
        // Over painted texts that may still go: each pixel is set as a
        // one-pixel fill, which also marks it where it covers their ink.
        WalkThinLine(a, b, [&](int x, int y) {
            *at(x, y) = pixel;
            CombineKept(y, x, x + 1, pixel);
        });
    } else {
        WalkThinLine(a, b, [&](int x, int y) { *at(x, y) = pixel; });
    }
    return true;
}

void RasterSurface::DrawLines(const std::vector<Segment>& segments, Rgb color) {
    FinishClear();
    SettleBeforeCombining();
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    if (pen.style() == Qt::CustomDashLine && pen.width() <= 1) {
        // Patterned one-pixel lines (the sounding's isotherms and dry
        // adiabats, hundreds of short ones): each plotted as alone, in any
        // mode, the pen and mode settled once and the area they reach told
        // once.
        QRect reached;
        for (const Segment& s : segments)
            if (const std::optional<QLine> line = PixelLine(s.x1, s.y1, s.x2, s.y2))
                reached = Joined(reached, PlotDashedPixels(line->p1(), line->p2(), color));
        if (!reached.isNull()) Changed(reached);
        return;
    }
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
    ImageBits image; // taken at the first line set, for all of them
    for (const Segment& s : segments) {
        const std::optional<QLine> line = PixelLine(s.x1, s.y1, s.x2, s.y2);
        if (!line) continue;
        if (SetThinLine(*line, color, &image)) {
            set = true;
            continue;
        }
        lines.push_back(*line);
        bounds = Joined(bounds, Spanning(line->p1(), line->p2()));
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
    FinishClear();
    SettleBeforeCombining();
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
        bounds = Joined(bounds, Spanning(start, end));
        joined = b == to;
    }
    const int m = Margin();
    const QRect touched = Overlap(bounds.adjusted(-m, -m, m, m), imageRect_);
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        // Each run is stroked alone, so each is kept alone.
        if (touched.isEmpty()) return;
        for (const QPolygon& run : runs) {
            if (run.size() < 2) continue;
            const QRect around = run.boundingRect().adjusted(-m, -m, m, m);
            SetStroke(WideStroke{true, pen.width(), {run.begin(), run.end()}, {}}, around, color);
        }
        Changed();
        return;
    }
    if (pen.width() > 1 && !touched.isEmpty() &&
        std::all_of(runs.begin(), runs.end(), [](const QPolygon& run) { return run.size() > 1; })) {
        // In a combining mode the runs share one layer, each pixel of them
        // combined once.
        WideStroke stroke{true, pen.width(), {}, {}};
        for (const QPolygon& run : runs) {
            if (!stroke.points.empty())
                stroke.starts.push_back(static_cast<int>(stroke.points.size()));
            stroke.points.insert(stroke.points.end(), run.begin(), run.end());
        }
        SetStroke(stroke, touched, color);
        return;
    }
    Render(bounds.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        painter.setPen(pen);
        for (const QPolygon& run : runs)
            if (run.size() > 1) painter.drawPolyline(run);
    });
}

namespace {

// Walks the pixels of a one-pixel line from from to to (Bresenham's, each
// step one pixel along the longer axis, both ends included) a run of the
// dash pattern at a time: plot takes each pixel of a dash, the gaps are
// stepped over, and the pattern starts again at its end.
template <typename Plot>
void WalkDashes(const QPoint& from, const QPoint& to, const std::vector<int>& runs, Plot&& plot) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    int x = from.x();
    int y = from.y();
    const auto step = [&] {
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    };
    int left = std::max(dx, -dy) + 1;
    if (dy == 0 || dx == 0) {
        // A level line (the pressure lines) or an upright one (the hours'):
        // only x or only y moves, and a gap is stepped over at once.
        const int mx = dy == 0 ? sx : 0;
        const int my = dy == 0 ? 0 : sy;
        for (std::size_t run = 0; left > 0; run += 2) {
            if (run == runs.size()) run = 0;
            const int dash = std::min(runs[run], left);
            for (int k = 0; k < dash; ++k, x += mx, y += my) plot(x, y);
            left -= dash;
            const int gap = std::min(runs[run + 1], left);
            x += mx * gap;
            y += my * gap;
            left -= gap;
        }
        return;
    }
    for (std::size_t run = 0; left > 0; run += 2) {
        if (run == runs.size()) run = 0;
        const int dash = std::min(runs[run], left);
        for (int k = 0; k < dash; ++k, step()) plot(x, y);
        left -= dash;
        const int gap = std::min(runs[run + 1], left);
        for (int k = 0; k < gap; ++k) step();
        left -= gap;
    }
}

} // namespace

void RasterSurface::PlotDashed(const QPoint& from, const QPoint& to, Rgb color) {
    const QRect reach = PlotDashedPixels(from, to, color);
    if (!reach.isNull()) Changed(reach);
}

QRect RasterSurface::PlotDashedPixels(const QPoint& from, const QPoint& to, Rgb color) {
    const DrawMode mode = State().drawMode;
    const QRect span = Spanning(from, to);
    const QRect reach = Overlap(span, imageRect_);
    if (mode == DrawMode::Nop || reach.isEmpty()) return QRect();
    const std::uint32_t pen = PixelBits(color);
    const QRgb copied = 0xFF000000u | pen;
    const ModeRule::ForPen rule = ModeRule(mode).WithPen(pen);
    const bool copy = mode == DrawMode::CopyPen;
    // The pixels are written straight into the image; the open painter keeps
    // no copy of them.
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const auto pixel = [bits, stride](int x, int y) {
        return reinterpret_cast<QRgb*>(bits + y * stride) + x;
    };
    // The draw mode, and whether the line's pixels need checking against
    // the image's edges, settled once for the line.
    const auto walk = [&](auto copyMode, auto checked) {
        WalkDashes(from, to, dashRuns_, [&](int x, int y) {
            if constexpr (decltype(checked)::value)
                if (!Holds(reach, QPoint(x, y))) return;
            QRgb* const at = pixel(x, y);
            if constexpr (decltype(copyMode)::value) {
                *at = copied;
            } else {
                *at = rule(*at);
            }
        });
    };
    const bool inside = reach == span;
    if (KeptMeets(reach)) {
        // Over painted texts that may still go.
        WalkDashes(from, to, dashRuns_, [&](int x, int y) {
            if (!Holds(reach, QPoint(x, y))) return;
            QRgb* const at = pixel(x, y);
            *at = copy ? copied : rule(*at);
            CombineKept(y, x, x + 1, pen);
        });
    } else if (copy) {
        if (inside) {
            walk(std::true_type(), std::false_type());
        } else {
            walk(std::true_type(), std::true_type());
        }
    } else if (inside) {
        walk(std::false_type(), std::false_type());
    } else {
        walk(std::false_type(), std::true_type());
    }
    return reach;
}

} // namespace tarvex
