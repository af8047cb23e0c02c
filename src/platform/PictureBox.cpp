#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <algorithm>

namespace tarvex {

namespace {

int ButtonCode(Qt::MouseButtons held) {
    return (held & Qt::LeftButton ? 1 : 0) + (held & Qt::RightButton ? 2 : 0) +
           (held & Qt::MiddleButton ? 4 : 0);
}

int ShiftCode(Qt::KeyboardModifiers keys) {
    return (keys & Qt::ShiftModifier ? 1 : 0) + (keys & Qt::ControlModifier ? 2 : 0) +
           (keys & Qt::AltModifier ? 4 : 0);
}

} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), surface_(width(), height()),
      overlay_(1, 1, RasterSurface::Background::Transparent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    surface_.SetChangedHandler([this](const QRect& area) { RequestPaint(area); });
    overlay_.SetChangedHandler([this](const QRect& area) { RequestPaint(area); });
}

RasterSurface& PictureBox::Overlay() {
    // Few pictures ever draw on a layer: it takes the picture's size when it
    // is first asked for, and follows it from then on.
    if (!overlayUsed_) {
        CatchUp();
        overlayUsed_ = true;
        overlay_.Resize(surface_.PixelWidth(), surface_.PixelHeight());
    }
    return overlay_;
}

void PictureBox::ClearOverlay() {
    if (overlayUsed_) overlay_.Clear();
}

QImage PictureBox::ShownImage() const {
    QImage shown = Surface().Image().copy();
    if (overlayUsed_) {
        QPainter painter(&shown);
        painter.drawImage(0, 0, overlay_.Image());
    }
    return shown;
}

void PictureBox::RequestPaint(const QRect& area) {
    // A picture is drawn in hundreds of operations; one request to paint
    // their bounds is enough until the paint has happened, made again only
    // when an operation reaches outside them.
    if (area.isEmpty() || paintRequested_.contains(area)) return;
    paintRequested_ |= area;
    update(paintRequested_);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    paintRequested_ = QRect();
    const QImage& image = surface_.Image();
    QPainter painter(this);
    // Rectangle by rectangle of the area to paint: a box partly covered (the
    // sounding under its omega strip) has an area of several, and the
    // toolkit copies an image into one rectangle as a plain block of rows
    // but into any other shape pixel run by pixel run, handed to a worker
    // thread and waited for.
    for (const QRect& part : event->region()) {
        painter.setClipRect(part);
        painter.drawImage(part.topLeft(), image, part);
        if (overlayUsed_) painter.drawImage(part.topLeft(), overlay_.Image(), part);
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FollowSize();
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CatchUp();
}

void PictureBox::CatchUp() const {
    if ((!sizePending_ && !leftDraw_) || catchingUp_) return;
    // The box itself is never const: only the caller's view of it is.
    auto* self = const_cast<PictureBox*>(this);
    const QScopedValueRollback running(self->catchingUp_, true);
    if (sizePending_) self->TakeSize();
    if (leftDraw_) {
        const std::function<void()> draw = std::move(self->leftDraw_);
        self->leftDraw_ = nullptr;
        draw();
    }
}

bool PictureBox::DrawWhenSeen(std::function<void()> draw) {
    if (catchingUp_ || isVisibleTo(window())) {
        leftDraw_ = nullptr;
        return false;
    }
    leftDraw_ = std::move(draw);
    return true;
}

void PictureBox::FollowSize() {
    // The surface is never smaller than one pixel.
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    sizePending_ = surface_.PixelWidth() != w || surface_.PixelHeight() != h;
    if (sizePending_ && isVisibleTo(window())) TakeSize();
}

void PictureBox::TakeSize() {
    sizePending_ = false;
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (surface_.PixelWidth() == w && surface_.PixelHeight() == h) return;
    surface_.Resize(w, h);
    if (overlayUsed_) overlay_.Resize(w, h);
    if (resized_) resized_();
}

void PictureBox::SetShape(double width, double height) {
    aspect_ = width > 0.0 && height > 0.0 ? width / height : 0.0;
    updateGeometry();
}

void PictureBox::Deliver(const MouseHandler& handler, int button, const QMouseEvent& event) const {
    if (!handler) return;
    const QPointF at = event.position();
    handler(button, ShiftCode(event.modifiers()), surface_.FromPixelX(at.x()),
            surface_.FromPixelY(at.y()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    Deliver(mouseDown_, ButtonCode(event->button()), *event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    Deliver(mouseMove_, ButtonCode(event->buttons()), *event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    Deliver(mouseUp_, ButtonCode(event->button()), *event);
}

} // namespace tarvex
