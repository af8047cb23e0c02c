// The raster surface's image: what Clear leaves, the persistent picture shown
// and taken, the size, the painter kept open across copy-mode operations, the
// pen and brush of the drawing state (kept while the state stays the same),
// the draw modes as pixel rules, and shapes drawn in a combining mode on a
// layer whose pixels are then combined once each. Lines, fills, circles and
// text have files of their own (RasterStrokes, RasterFills, RasterCircles,
// RasterText).
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"
#include "platform/RasterTextFont.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace tarvex {

using namespace raster;

std::uint32_t ApplyDrawMode(DrawMode mode, std::uint32_t pen, std::uint32_t destination) {
    return ModeRule(mode)(pen, destination);
}

namespace {

QImage::Format ImageFormat(RasterSurface::Background background) {
    return background == RasterSurface::Background::Opaque ? QImage::Format_RGB32
                                                           : QImage::Format_ARGB32_Premultiplied;
}

// The shape painted alone on a transparent layer covering `area`, in image
// coordinates shifted to the layer's corner.
QImage PaintAlone(const QRect& area, QImage::Format format,
                  const std::function<void(QPainter&)>& paint) {
    QImage layer(area.size(), format);
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-area.x(), -area.y());
        paint(painter);
    }
    return layer;
}

} // namespace

RasterSurface::RasterSurface(int pixelWidth, int pixelHeight, Background background)
    : PictureSurface(pixelWidth, pixelHeight), background_(background),
      image_(PixelWidth(), PixelHeight(), ImageFormat(background)), imageRect_(image_.rect()) {
    FillBackground(image_);
}

void RasterSurface::FillBackground(QImage& image) const {
    if (background_ == Background::Opaque) {
        image.fill(ToQColor(BackColor()));
    } else {
        image.fill(Qt::transparent);
    }
}

RasterSurface::~RasterSurface() {
    EndPainting();
}

QPainter& RasterSurface::Painter() {
    FinishResize();
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
    }
    return *painter_;
}

void RasterSurface::EndPainting() const {
    painter_.reset();
}

void RasterSurface::Resize(int pixelWidth, int pixelHeight) {
    FinishClear();
    SettleTexts();
    EndPainting();
    SetPixelSize(pixelWidth, pixelHeight);
    if (image_.width() == PixelWidth() && image_.height() == PixelHeight()) {
        KeepCopied(image_.rect());
        return;
    }
    // The pixels that shapes copied over painted texts are kept about them
    // from the image before the resize only if something other than a Clear
    // comes first (KeepCopiedBeforeResize): a Clear takes the texts off.
    // Until then the grid of kept texts and the marks stay those of that
    // image; then they are made again for the new size.
    copiedBeforeResize_ = !copied_.empty() && !painted_.empty();
    if (!copiedBeforeResize_) {
        keptStale_ = true;
        copied_.clear();
    }
    // The new pixels are set when first needed (FinishResize, which the
    // clear above ran for an earlier resize): a Clear, which sets them all
    // anew, mostly comes first.
    resizeBack_ = background_ == Background::Opaque ? 0xFF000000u | PixelBits(BackColor()) : 0u;
    keptByResize_ = image_.size().boundedTo(QSize(PixelWidth(), PixelHeight()));
    beforeResize_ = std::move(image_);
    image_ = QImage(PixelWidth(), PixelHeight(), ImageFormat(background_));
    imageRect_ = image_.rect();
    cleared_.reset();
    Changed();
}

void RasterSurface::KeepCopiedBeforeResize() {
    copiedBeforeResize_ = false;
    // The marks were made over the image before the resize, which holds the
    // shapes' pixels: it stands in for the new one while they are kept.
    QImage resized = std::move(image_);
    image_ = std::move(beforeResize_);
    KeepCopied(image_.rect());
    beforeResize_ = std::move(image_);
    image_ = std::move(resized);
    keptStale_ = true;
    copied_.clear();
}

void RasterSurface::SetResizedPixels() {
    if (copiedBeforeResize_) KeepCopiedBeforeResize();
    // Each pixel is written once: the kept corner copied row by row, the
    // rest set to what Clear left at the resize.
    for (int row = 0; row < image_.height(); ++row) {
        auto* target = reinterpret_cast<QRgb*>(image_.scanLine(row));
        const int kept = row < keptByResize_.height() ? keptByResize_.width() : 0;
        if (kept > 0)
            std::memcpy(target, beforeResize_.constScanLine(row),
                        static_cast<std::size_t>(kept) * sizeof(QRgb));
        FillRow(target + kept, image_.width() - kept, resizeBack_);
    }
    beforeResize_ = QImage();
}

void RasterSurface::Changed() {
    Changed(imageRect_);
}

void RasterSurface::Changed(const QRect& area) {
    // Once the whole image is drawn on since the clear, no shape adds to it.
    if (drawnSinceClear_ != imageRect_) drawnSinceClear_ |= Overlap(area, imageRect_);
    if (changed_) changed_(area);
}

void RasterSurface::Render(const QRect& bounds, const std::function<void(QPainter&)>& paint) {
    const DrawMode mode = State().drawMode;
    const QRect area = bounds.intersected(image_.rect());
    if (mode == DrawMode::Nop || area.isEmpty()) return;
    if (mode == DrawMode::CopyPen) {
        QPainter& painter = Painter();
        painter.setBrush(Qt::NoBrush);
        paint(painter);
        if (const QRect under = KeptArea(area) & area; !under.isEmpty()) {
            // The shape painted again alone, to copy it where texts keep
            // their pixels as well: over its whole area, since a dash
            // pattern cut at a nearer edge would start over there.
            const QImage layer = PaintAlone(area, QImage::Format_ARGB32_Premultiplied, paint);
            for (int row = under.top(); row <= under.bottom(); ++row)
                CombineKept(row, under.x(), under.right() + 1, 0,
                            reinterpret_cast<const QRgb*>(layer.constScanLine(row - area.y())) +
                                (under.x() - area.x()));
        }
    } else {
        EndPainting();
        const QImage layer = PaintAlone(area, QImage::Format_ARGB32, paint);
        const bool kept = KeptAny();
        const ModeRule rule(mode);
        for (int row = 0; row < area.height(); ++row) {
            const auto* source = reinterpret_cast<const QRgb*>(layer.constScanLine(row));
            auto* target = reinterpret_cast<QRgb*>(image_.scanLine(row + area.y())) + area.x();
            for (int column = 0; column < area.width(); ++column) {
                if (qAlpha(source[column]) == 0) continue;
                target[column] = 0xFF000000u | rule(source[column], target[column]);
            }
            if (kept) CombineKept(row + area.y(), area.x(), area.right() + 1, 0, source);
        }
    }
    Changed();
}

const QPen& RasterSurface::OutlinePen(Rgb color) const {
    const DrawState& state = State();
    const PenKey key{color, state.drawWidth, state.drawStyle};
    if (penKey_ == key) return pen_;
    penKey_ = key;
    pen_ = QPen(ToQColor(color));
    dashRuns_.assign({1, 0});
    if (state.drawStyle == DrawStyle::Invisible) {
        pen_ = QPen(Qt::NoPen);
        return pen_;
    }
    pen_.setWidth(state.drawWidth);
    if (state.drawWidth > 1) {
        pen_.setCapStyle(Qt::RoundCap);
        pen_.setJoinStyle(Qt::RoundJoin);
        return pen_;
    }
    pen_.setCapStyle(Qt::SquareCap);
    switch (state.drawStyle) {
    case DrawStyle::Dash:
        pen_.setDashPattern({18, 6});
        break;
    case DrawStyle::Dot:
        pen_.setDashPattern({3, 3});
        break;
    case DrawStyle::DashDot:
        pen_.setDashPattern({9, 6, 3, 6});
        break;
    case DrawStyle::DashDotDot:
        pen_.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        break;
    }
    // The runs of one period of the pattern a thin line plots: its whole
    // pixels, the even runs drawn and the odd ones skipped.
    if (pen_.style() == Qt::CustomDashLine) {
        dashRuns_.clear();
        const QList<qreal> pattern = pen_.dashPattern();
        for (const qreal run : pattern) dashRuns_.push_back(std::max(0, ClampToInt<int>(run)));
        if (dashRuns_.size() % 2 != 0) dashRuns_.push_back(0);
        if (std::all_of(dashRuns_.begin(), dashRuns_.end(), [](int run) { return run == 0; }))
            dashRuns_.assign({1, 0});
    }
    return pen_;
}

QBrush RasterSurface::FillBrush() const {
    // By fill style number: solid, transparent, horizontal, vertical, upward
    // diagonal, downward diagonal, cross, diagonal cross.
    static constexpr std::array<Qt::BrushStyle, 8> kPatterns = {
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    const BrushKey key{State().fillStyle, State().fillColor};
    if (brushKey_ == key) return brush_;
    brushKey_ = key;
    const Qt::BrushStyle pattern = kPatterns.at(static_cast<std::size_t>(key.style));
    brush_ = pattern == Qt::NoBrush ? QBrush(Qt::NoBrush) : QBrush(ToQColor(key.color), pattern);
    return brush_;
}

QPoint RasterSurface::PixelPoint(double x, double y) const {
    const double margin = Margin();
    auto held = [margin](double value, double size) {
        if (std::isnan(value)) return -margin;
        return std::clamp(value, -margin, size + margin);
    };
    return Rounded(QPointF(held(ToPixelX(x), PixelWidth()), held(ToPixelY(y), PixelHeight())));
}

void RasterSurface::DrawClear() {
    ShowPicture(PersistentPicture());
}

void RasterSurface::ShowPicture(const Picture& picture) {
    // Every pixel is set again and every text taken off: what a resize kept
    // is not needed.
    beforeResize_ = QImage();
    if (std::exchange(copiedBeforeResize_, false)) copied_.clear();
    FinishClear();
    held_.clear();
    painted_.clear();
    droppedPainted_ = 0;
    keptStale_ = true;
    forgottenBefore_ = 0;
    if (background_ == Background::Transparent) {
        EndPainting();
        FillBackground(image_);
    }
    // An opaque picture that covers the whole image leaves none of the back
    // colour to show. The back colour is filled by the image itself, without
    // a painter's state and clipping.
    const QImage* shown = picture.Image();
    const bool covered = shown && !shown->hasAlphaChannel() && shown->width() >= image_.width() &&
                         shown->height() >= image_.height();
    // The same picture over the same back colour as the last clear: only the
    // area drawn on since differs from what this clear leaves.
    const Cleared now{shown ? shown->cacheKey() : 0, BackColor()};
    const bool again = background_ == Background::Opaque && cleared_ &&
                       cleared_->picture == now.picture && cleared_->backColor == now.backColor;
    const QRect area = again ? drawnSinceClear_ : image_.rect();
    cleared_ = now;
    drawnSinceClear_ = QRect();
    if (area.isEmpty()) return;
    if (background_ == Background::Opaque) {
        pendingClear_ = PendingClear{
            shown ? *shown : QImage(), !covered, 0xFF000000u | PixelBits(BackColor()), area,
            std::vector<std::uint8_t>(static_cast<std::size_t>(image_.height()), 0)};
    } else if (shown) {
        Painter().drawImage(0, 0, *shown);
    }
    if (changed_) changed_(area);
}

void RasterSurface::FinishClear() {
    FinishResize();
    if (!pendingClear_) return;
    const PendingClear pending = std::move(*pendingClear_);
    pendingClear_.reset();
    const QRect& area = pending.area;
    const auto covered = [&](int row) { return pending.covered[static_cast<std::size_t>(row)]; };
    // Band by band of rows that no box covered.
    for (int row = area.top(); row <= area.bottom();) {
        if (covered(row)) {
            ++row;
            continue;
        }
        int end = row;
        while (end <= area.bottom() && !covered(end)) ++end;
        const QRect band(area.left(), row, area.width(), end - row);
        if (pending.fillBack) {
            if (band == image_.rect()) {
                FillBackground(image_);
            } else {
                for (int r = band.top(); r <= band.bottom(); ++r)
                    FillRow(reinterpret_cast<QRgb*>(image_.scanLine(r)) + band.left(), band.width(),
                            pending.backPixel);
            }
        }
        if (!pending.picture.isNull()) Painter().drawImage(band.topLeft(), pending.picture, band);
        row = end;
    }
}

Picture RasterSurface::SnapshotPicture() {
    FinishClear();
    Settle(true);
    EndPainting();
    KeepCopied(image_.rect());
    return Picture(image_, TextsForPicture());
}

void RasterSurface::DrawPoint(double x, double y, Rgb color) {
    FinishClear();
    SettleBeforeCombining();
    const QPoint point = PixelPoint(x, y);
    const int width = State().drawWidth;
    const int m = Margin();
    Render(QRect(point, point).adjusted(-m, -m, m, m), [&](QPainter& painter) {
        if (width == 1) {
            painter.setPen(QPen(ToQColor(color), 1));
            painter.drawPoint(point);
            return;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(color));
        painter.drawEllipse(QPointF(point), width / 2.0, width / 2.0);
    });
}

} // namespace tarvex
