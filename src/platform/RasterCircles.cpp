// Circles and arcs on the raster surface. A circle in copy mode with a solid
// or no fill is drawn once on a clear layer of its own and kept as a stamp
// (its pixels and their runs): the same circle at another whole pixel is the
// same pixels moved, so a picture of many equal circles (wind barbs' rings,
// hail marks) sets the kept pixels instead of drawing each again.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvex {

using namespace raster;

std::optional<RasterSurface::CircleGeometry> RasterSurface::CircleOnImage(double x, double y,
                                                                          double radius) const {
    CircleGeometry circle;
    circle.centre = QPointF(std::floor(ToPixelX(x) + 0.5), std::floor(ToPixelY(y) + 0.5));
    circle.radius = RadiusPixels(radius);
    // A centre further away than the largest radius cannot reach the image.
    if (!(std::abs(circle.centre.x()) <= 2 * kLargestRadius) ||
        !(std::abs(circle.centre.y()) <= 2 * kLargestRadius) ||
        !(circle.radius <= kLargestRadius)) {
        return std::nullopt;
    }
    const int reach = ClampToInt<int>(std::ceil(circle.radius)) + Margin();
    circle.bounds =
        QRect(Rounded(circle.centre) - QPoint(reach, reach), QSize(2 * reach, 2 * reach));
    return circle;
}

const RasterSurface::CircleStamp& RasterSurface::StampOf(const CircleGeometry& circle, Rgb color,
                                                         bool disc) {
    const DrawState& state = State();
    const PenKey pen{color, state.drawWidth, state.drawStyle};
    const BrushKey brush{state.fillStyle, state.fillColor};
    for (std::size_t k = 0; k < circleStamps_.size(); ++k) {
        const CircleStamp& kept = circleStamps_[k];
        if (kept.radius == circle.radius && kept.disc == disc && kept.pen == pen &&
            kept.brush == brush && kept.pixels.size() == circle.bounds.size()) {
            if (k > 0)
                std::rotate(circleStamps_.begin(), circleStamps_.begin() + k,
                            circleStamps_.begin() + k + 1);
            return circleStamps_.front();
        }
    }
    CircleStamp made{
        circle.radius, disc, pen, brush, QImage(circle.bounds.size(), QImage::Format_ARGB32), {}};
    made.pixels.fill(Qt::transparent);
    {
        QPainter painter(&made.pixels);
        painter.setRenderHint(QPainter::Antialiasing, false);
        PaintCircle(painter, circle.centre - QPointF(circle.bounds.topLeft()), circle.radius, color,
                    disc);
    }
    for (int row = 0; row < made.pixels.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(made.pixels.constScanLine(row));
        for (int column = 0; column < made.pixels.width();) {
            if (qAlpha(line[column]) == 0) {
                ++column;
                continue;
            }
            const int left = column;
            while (column < made.pixels.width() && qAlpha(line[column]) != 0) ++column;
            made.runs.push_back({row, left, column - left});
        }
    }
    constexpr std::size_t kStampsKept = 8;
    if (circleStamps_.size() == kStampsKept) circleStamps_.pop_back();
    circleStamps_.insert(circleStamps_.begin(), std::move(made));
    return circleStamps_.front();
}

void RasterSurface::PaintCircle(QPainter& painter, const QPointF& centre, double radius, Rgb color,
                                bool disc) const {
    if (disc) {
        // A wide outline round a fill of its own colour is one disc: the
        // toolkit fills it at a fraction of the cost of stroking.
        const double r = radius + State().drawWidth / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(color));
        painter.drawEllipse(centre, r, r);
        return;
    }
    painter.setPen(OutlinePen(color));
    painter.setBrush(FillBrush());
    painter.drawEllipse(centre, radius, radius);
}

void RasterSurface::DrawCircle(double x, double y, double radius, Rgb color) {
    FinishClear();
    SettleBeforeCombining();
    const auto circle = CircleOnImage(x, y, radius);
    if (!circle) return;
    const DrawState& state = State();
    const bool disc = state.drawWidth > 1 && state.fillStyle == FillStyle::Solid &&
                      state.fillColor == color && state.drawStyle != DrawStyle::Invisible;
    // Solid and empty fills look the same wherever the circle stands; a
    // pattern is laid from the image's corner, so those circles are drawn.
    const bool movable =
        state.fillStyle == FillStyle::Solid || state.fillStyle == FillStyle::Transparent;
    const QRect area = Overlap(circle->bounds, imageRect_);
    if (state.drawMode == DrawMode::CopyPen && movable && area == circle->bounds) {
        const CircleStamp& stamp = StampOf(*circle, color, disc);
        const QPoint at = circle->bounds.topLeft();
        uchar* const bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        const bool kept = KeptMeets(area);
        // The circle lies on the image whole: each run is copied as it is.
        const uchar* const stampBits = stamp.pixels.constBits();
        const qsizetype stampStride = stamp.pixels.bytesPerLine();
        for (const PixelRun& run : stamp.runs) {
            const int line = run.row + at.y();
            const int left = run.left + at.x();
            const auto* source =
                reinterpret_cast<const QRgb*>(stampBits + run.row * stampStride) + run.left;
            std::copy(source, source + run.count,
                      reinterpret_cast<QRgb*>(bits + line * stride) + left);
            if (kept) CombineKept(line, left, left + run.count, 0, source);
        }
        Changed();
        return;
    }
    Render(circle->bounds, [&](QPainter& painter) {
        PaintCircle(painter, circle->centre, circle->radius, color, disc);
    });
}

void RasterSurface::DrawArc(double x, double y, double radius, double start, double end,
                            Rgb color) {
    FinishClear();
    SettleBeforeCombining();
    const auto circle = CircleOnImage(x, y, radius);
    const QPen pen = OutlinePen(color);
    if (!circle || !std::isfinite(start) || !std::isfinite(end) || pen.style() == Qt::NoPen) {
        return;
    }
    // Anticlockwise from start to end, going round once when end is smaller.
    double span = end - start;
    if (span < 0.0) span += 2.0 * std::numbers::pi;
    constexpr double kSixteenthsPerRadian = 16.0 * 180.0 / std::numbers::pi;
    const double fullTurn = 2.0 * std::numbers::pi;
    const int startAngle =
        ClampToInt<int>(std::round(std::fmod(start, fullTurn) * kSixteenthsPerRadian));
    const int spanAngle =
        ClampToInt<int>(std::round(std::min(span, fullTurn) * kSixteenthsPerRadian));
    const double r = circle->radius;
    const QRectF square(circle->centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
    Render(circle->bounds, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawArc(square, startAngle, spanAngle);
    });
}

} // namespace tarvex
