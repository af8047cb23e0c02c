// Boxes on the raster surface: solid fills and thin solid outlines set their
// pixels straight in copy mode (the overview fills thousands of cells a
// picture), hatch patterns from one 8 by 8 tile filled once as the toolkit
// fills it, and whole fills in a combining mode combined pixel by pixel.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"

#include <QPainter>

#include <algorithm>

namespace tarvex {

using namespace raster;

namespace {

// The box's outline stroked by the painter, round from its top-left corner.
void StrokeOutline(QPainter& painter, const QPen& pen, const QRect& box) {
    painter.setPen(pen);
    const QPoint corners[5] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft(),
                               box.topLeft()};
    painter.drawPolyline(corners, 5);
}

} // namespace

bool RasterSurface::ThinOutlineInside(const QPen& pen, const QRect& box) const {
    // A thin solid outline of a box inside the image is the box's edge
    // pixels, which four one-pixel fills set at a fraction of the cost of a
    // stroke.
    return pen.style() == Qt::SolidLine && pen.width() <= 1 && Holds(imageRect_, box);
}

void RasterSurface::FillPixels(const QRect& area, Rgb color) {
    const QRect inside = Overlap(area, imageRect_);
    if (inside.isEmpty()) return;
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const bool kept = KeptMeets(inside);
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        FillRow(reinterpret_cast<QRgb*>(bits + row * stride) + inside.left(), inside.width(),
                pixel);
        if (kept) CombineKept(row, inside.left(), inside.right() + 1, pixel);
    }
}

void RasterSurface::FillPattern(const QRect& area, Rgb color) {
    const QRect inside = Overlap(area, imageRect_);
    if (inside.isEmpty()) return;
    const FillStyle style = State().fillStyle;
    if (patternStyle_ != style) {
        // The toolkit's hatch patterns repeat every 8 pixels from the image's
        // corner: one tile, filled as the painter fills it, gives them all.
        QImage tile(kPatternSize, kPatternSize, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        {
            QPainter painter(&tile);
            painter.fillRect(tile.rect(), FillBrush());
        }
        for (int row = 0; row < kPatternSize; ++row)
            for (int column = 0; column < kPatternSize; ++column)
                patternTile_[static_cast<std::size_t>(row * kPatternSize + column)] =
                    qAlpha(tile.pixel(column, row)) != 0;
        patternStyle_ = style;
    }
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const bool kept = KeptMeets(inside);
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        const bool* set =
            &patternTile_[static_cast<std::size_t>((row % kPatternSize) * kPatternSize)];
        auto* line = reinterpret_cast<QRgb*>(bits + row * stride);
        if (std::all_of(set, set + kPatternSize, [](bool on) { return on; })) {
            // A row the pattern covers whole (a horizontal hatch's line).
            FillRow(line + inside.left(), inside.width(), pixel);
            if (kept) CombineKept(row, inside.left(), inside.right() + 1, pixel);
            continue;
        }
        // Column by column of the tile the pattern covers in this row (one
        // or two of its eight for the other hatches), every eighth pixel.
        for (int place = 0; place < kPatternSize; ++place) {
            if (!set[place]) continue;
            const int first = inside.left() +
                              (place - inside.left() % kPatternSize + kPatternSize) % kPatternSize;
            for (int column = first; column <= inside.right(); column += kPatternSize)
                line[column] = pixel;
            if (kept)
                for (int column = first; column <= inside.right(); column += kPatternSize)
                    CombineKept(row, column, column + 1, pixel);
        }
    }
}

void RasterSurface::DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
    SettleBeforeCombining();
    const QRect box = Spanning(PixelPoint(x1, y1), PixelPoint(x2, y2));
    if (pendingClear_) {
        // A box filled in copy mode across the whole image sets every pixel
        // of its rows: the clear need set none of them.
        const QRect inside = Overlap(box, imageRect_);
        if (filled && State().drawMode == DrawMode::CopyPen && !inside.isEmpty() &&
            inside.left() == 0 && inside.right() == imageRect_.right()) {
            std::fill_n(pendingClear_->covered.begin() + inside.top(), inside.height(), 1);
        } else {
            FinishClear();
        }
    }
    const int m = Margin();
    // In copy mode solid fills and thin solid outlines set their pixels
    // straight (the overview fills thousands of cells a picture); patterns
    // and wide or patterned outlines go through the painter.
    if (State().drawMode == DrawMode::CopyPen &&
        !Overlap(box.adjusted(-m, -m, m, m), imageRect_).isEmpty()) {
        if (filled) {
            FillPixels(box, color);
            Changed();
            return;
        }
        const QPen pen = OutlinePen(color);
        const bool thinOutline = ThinOutlineInside(pen, box);
        if (State().fillStyle == FillStyle::Solid) {
            FillPixels(box, State().fillColor);
        } else if (State().fillStyle != FillStyle::Transparent) {
            FillPattern(box, State().fillColor);
        }
        // A thin solid outline the image's edge cuts is set the same way when
        // the box is at least two pixels each way, as the painter strokes it:
        // cut beyond the first column left of the image, the stroke leaves
        // out the bottom-right corner.
        const bool thinCut = !thinOutline && pen.style() == Qt::SolidLine && pen.width() <= 1 &&
                             box.width() >= 2 && box.height() >= 2;
        if (thinOutline || thinCut) {
            // A solid fill of the outline's colour has set the outline's
            // pixels already (a cloud layer's box is filled and outlined in
            // its class's colour).
            if (State().fillStyle == FillStyle::Solid && State().fillColor == color) {
                Changed();
                return;
            }
            const int corner = thinCut && box.left() <= -2 ? 1 : 0;
            FillPixels(QRect(box.topLeft(), QSize(box.width(), 1)), color);
            FillPixels(QRect(box.bottomLeft(), QSize(box.width() - corner, 1)), color);
            FillPixels(QRect(box.topLeft(), QSize(1, box.height())), color);
            FillPixels(QRect(box.topRight(), QSize(1, box.height() - corner)), color);
        } else if (pen.style() == Qt::SolidLine && pen.width() > 1) {
            SetStroke(WideStroke{true,
                                 pen.width(),
                                 {box.topLeft(), box.topRight(), box.bottomRight(),
                                  box.bottomLeft(), box.topLeft()},
                                 {}},
                      box.adjusted(-m, -m, m, m), color);
        } else if (pen.style() != Qt::NoPen) {
            // Patterned outlines through the painter, which also sets them in
            // the pixels kept under painted texts.
            Render(box.adjusted(-m, -m, m, m),
                   [&](QPainter& painter) { StrokeOutline(painter, pen, box); });
        }
        Changed();
        return;
    }
    if (filled) {
        // A whole fill in a combining mode combines each pixel of the box
        // once: straight into the image, without a layer to paint on.
        const DrawMode mode = State().drawMode;
        const QRect inside = Overlap(box, imageRect_);
        if (mode == DrawMode::Nop || inside.isEmpty()) return;
        const std::uint32_t pen = PixelBits(color);
        uchar* const bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        const bool kept = KeptMeets(inside);
        const ModeRule::ForPen rule = ModeRule(mode).WithPen(pen);
        for (int row = inside.top(); row <= inside.bottom(); ++row) {
            auto* pixel = reinterpret_cast<QRgb*>(bits + row * stride) + inside.left();
            for (int column = 0; column < inside.width(); ++column, ++pixel) *pixel = rule(*pixel);
            if (kept) CombineKept(row, inside.left(), inside.right() + 1, pen);
        }
        Changed();
        return;
    }
    Render(box.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        const QBrush brush = FillBrush();
        if (brush.style() != Qt::NoBrush) painter.fillRect(box, brush);
        const QPen pen = OutlinePen(color);
        if (pen.style() == Qt::NoPen) return;
        if (ThinOutlineInside(pen, box)) {
            const QColor edge = ToQColor(color);
            painter.fillRect(QRect(box.topLeft(), QSize(box.width(), 1)), edge);
            painter.fillRect(QRect(box.bottomLeft(), QSize(box.width(), 1)), edge);
            painter.fillRect(QRect(box.topLeft(), QSize(1, box.height())), edge);
            painter.fillRect(QRect(box.topRight(), QSize(1, box.height())), edge);
            return;
        }
        StrokeOutline(painter, pen, box);
    });
}

} // namespace tarvex
