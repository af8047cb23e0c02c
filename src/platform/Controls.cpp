#include "platform/Controls.h"
#include "platform/PictureSurface.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QMovie>
#include <QStyle>
#include <QStyleOptionButton>

namespace tarvex {

namespace {
int ButtonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}
} // namespace

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (click_ && event->button() == Qt::LeftButton) click_();
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (up_) {
        up_(ButtonNumber(event->button()));
        event->accept(); // handled here: the widget beneath must not act on it too
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace tarvex

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPicture>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace tarvex {

namespace {

// The application's style, drawing each complex control with the painter
// clipped to the control's own rectangle (which the widget's paint clips to
// anyway), so that its pixels stay those of the style itself.
class ClipToControl : public QProxyStyle {
  public:
    ClipToControl() : QProxyStyle(QApplication::style()->name()) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        painter->save();
        painter->setClipRect(option->rect, Qt::IntersectClip);
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        painter->restore();
    }
};

} // namespace

ClippedScrollBar::ClippedScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    // The bar owns its style: it is deleted with the bar.
    auto* style = new ClipToControl();
    style->setParent(this);
    setStyle(style);
}

QRect ThumbScrollBar::ThumbBand() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // The whole breadth of the bar, and a few pixels along it for a style
    // that shades round the thumb.
    if (orientation() == Qt::Vertical)
        return QRect(0, thumb.top() - kThumbShade, width(), thumb.height() + 2 * kThumbShade);
    return QRect(thumb.left() - kThumbShade, 0, thumb.width() + 2 * kThumbShade, height());
}

void ThumbScrollBar::sliderChange(SliderChange change) {
    if (change != SliderValueChange || painted_.isEmpty() || AtEnd()) {
        painted_ = QRect();
        QScrollBar::sliderChange(change);
        return;
    }
    // Repaints already asked for add up, so that the band of a value never
    // painted needs none.
    update(painted_ | ThumbBand());
}

namespace {

// True when the pixels of target in area are those of under, row by row.
bool SamePixels(const QImage& target, const QRect& area, const QImage& under) {
    if (under.size() != area.size() || under.format() != target.format()) return false;
    const auto bytes = static_cast<std::size_t>(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        if (std::memcmp(target.constScanLine(area.top() + y) + area.left() * 4,
                        under.constScanLine(y), bytes) != 0)
            return false;
    return true;
}

// The image a painter on a widget paints into, with part (a rectangle of the
// widget) placed in it, when part lies in an image of 32-bit pixels, whole
// and a whole number of pixels from its corner, at one image pixel a widget
// pixel; null otherwise.
const QImage* PlacedTarget(QPainter& painter, const QRect& part, QRect& area) {
    QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return nullptr;
    const auto* target = static_cast<const QImage*>(device);
    const QTransform placed = painter.deviceTransform();
    const QPoint at(static_cast<int>(placed.dx()), static_cast<int>(placed.dy()));
    area = part.translated(at);
    if (placed.type() > QTransform::TxTranslate || placed.dx() != at.x() || placed.dy() != at.y() ||
        target->depth() != 32 || !target->rect().contains(area))
        return nullptr;
    return target;
}

// The image a painter on widget paints into, with the widget's area in it,
// when the paint covers the whole widget and the widget lies in the image as
// PlacedTarget has it; null otherwise.
const QImage* PlainTarget(QPainter& painter, const QWidget& widget, const QPaintEvent& event,
                          QRect& area) {
    const QRect whole = widget.rect();
    if (!(QRegion(whole) - event.region()).isEmpty()) return nullptr;
    return PlacedTarget(painter, whole, area);
}

// Copies kept pixels, which already hold those under the widget, as they are.
void CopyKept(QPainter& painter, const QImage& drawn) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, drawn);
}

// Paints the whole widget from drawn, its kept pixels, when look is that they
// were drawn with (kept) and the pixels under the widget are under; else
// draws it afresh over a copy of the pixels under it with draw(painter on the
// copy) and keeps the result, its look and those pixels. False, with nothing
// painted, when the paint does not cover the whole widget or its target is
// not an image in plain pixels.
template <class Look, class Draw>
bool PaintKeptLook(QWidget& widget, const QPaintEvent& event, Look look, Look& kept, QImage& under,
                   QImage& drawn, Draw draw) {
    QPainter painter(&widget);
    QRect area;
    const QImage* target = PlainTarget(painter, widget, event, area);
    if (!target) return false;
    if (!(look == kept && SamePixels(*target, area, under))) {
        under = target->copy(area);
        drawn = under.copy();
        draw(drawn);
        kept = std::move(look);
    }
    CopyKept(painter, drawn);
    return true;
}

// Sets the pen, background and font a painter on the widget starts with.
void StartAsOn(QPainter& painter, const QWidget& widget) {
    const QPalette& palette = widget.palette();
    painter.setPen(palette.color(widget.foregroundRole()));
    painter.setBackground(palette.brush(widget.backgroundRole()));
    painter.setFont(widget.font());
}

} // namespace

void ThumbScrollBar::paintEvent(QPaintEvent* event) {
    if (!PaintKept(*event)) {
        // Painted by the toolkit; a whole paint over plain pixels is kept.
        std::optional<QImage> under;
        QPoint at;
        if (MayKeep()) {
            QPainter painter(this);
            QRect area;
            if (const QImage* target = PlainTarget(painter, *this, *event, area)) {
                under = target->copy(area);
                at = area.topLeft();
            }
        }
        QScrollBar::paintEvent(event);
        if (under) {
            QPainter painter(this);
            const auto* target = static_cast<const QImage*>(painter.paintEngine()->paintDevice());
            Keep(std::move(*under), target->copy(QRect(at, size())));
        }
    }
    painted_ = AtEnd() ? QRect() : ThumbBand();
}

KeptBarLook::Look KeptBarLook::LookOf(const QScrollBar& bar, const QStyleOptionSlider& option) {
    return {{bar.style(), option.state, option.direction, option.palette, bar.foregroundRole(),
             bar.backgroundRole(), bar.font(), QString()},
            option.orientation,
            option.minimum,
            option.maximum,
            option.sliderPosition,
            option.singleStep,
            option.pageStep,
            option.upsideDown};
}

bool KeptBarLook::Touched(const QScrollBar& bar) {
    return bar.underMouse() || bar.isSliderDown() ||
           QGuiApplication::mouseButtons() != Qt::NoButton;
}

void KeptBarLook::Draw(const QScrollBar& bar, const QStyleOptionSlider& option, QImage& image) {
    QPainter painter(&image);
    StartAsOn(painter, bar);
    painter.setLayoutDirection(bar.layoutDirection());
    bar.style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, &bar);
}

bool KeptBarLook::Paint(QScrollBar& bar, const QPaintEvent& event,
                        const QStyleOptionSlider& option) {
    return PaintKeptLook(bar, event, LookOf(bar, option), look_, under_, drawn_,
                         [&](QImage& image) { Draw(bar, option, image); });
}

bool ThumbScrollBar::MayKeep() const {
    return orientation() == Qt::Vertical && !AtEnd() && !KeptBarLook::Touched(*this);
}

ThumbScrollBar::Kept ThumbScrollBar::LookNow(QImage::Format format) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    // The look wherever the thumb stands: a step moves it alone.
    option.sliderPosition = option.sliderValue = minimum();
    return {KeptBarLook::LookOf(*this, option), size(), format};
}

void ThumbScrollBar::Keep(QImage under, QImage drawn) {
    look_ = LookNow(drawn.format());
    bare_ = QImage();
    const QRect band = ThumbBand();
    if (!rect().contains(band)) return;
    // The groove's line: the row above the thumb's band, or below it at the
    // top; the groove runs on from the band each way as far as the bar's
    // rows and those under it repeat it, at least one row on either side.
    const int line = band.top() > 0 ? band.top() - 1 : band.bottom() + 1;
    if (line >= drawn.height()) return;
    const auto bytes = static_cast<std::size_t>(drawn.bytesPerLine());
    const auto isLine = [&, line, bytes](int y) {
        return std::memcmp(drawn.constScanLine(y), drawn.constScanLine(line), bytes) == 0 &&
               std::memcmp(under.constScanLine(y), under.constScanLine(line), bytes) == 0;
    };
    int top = band.top();
    while (top > 0 && isLine(top - 1)) --top;
    int bottom = band.bottom();
    while (bottom + 1 < drawn.height() && isLine(bottom + 1)) ++bottom;
    if (top == band.top() || bottom == band.bottom()) return;
    QImage bare = drawn;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        std::memcpy(bare.scanLine(y), drawn.constScanLine(line), bytes);
        std::memcpy(under.scanLine(y), under.constScanLine(line), bytes);
    }
    // The style draws the same thumb a quarter of the bar from its other
    // end, over the same pixels, and leaves the rest of the bar bare.
    QStyleOptionSlider moved;
    initStyleOption(&moved);
    moved.subControls = QStyle::SC_All; // as the toolkit's paint has it
    moved.sliderPosition = moved.sliderValue = 2 * value() < minimum() + maximum()
                                                   ? (minimum() + 3 * maximum()) / 4
                                                   : (3 * minimum() + maximum()) / 4;
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &moved, QStyle::SC_ScrollBarSlider, this);
    const QRect movedBand = band.translated(0, thumb.top() - kThumbShade - band.top());
    if (movedBand.top() < top || movedBand.bottom() > bottom || movedBand.intersects(band)) return;
    QImage movedBar = under;
    KeptBarLook::Draw(*this, moved, movedBar);
    if (movedBar.copy(movedBand) != drawn.copy(band)) return;
    for (int y = movedBand.top(); y <= movedBand.bottom(); ++y)
        std::memcpy(movedBar.scanLine(y), drawn.constScanLine(line), bytes);
    if (movedBar != bare) return;
    thumb_ = drawn.copy(band);
    bare_ = std::move(bare);
    under_ = std::move(under);
    grooveTop_ = top;
    grooveBottom_ = bottom;
}

bool ThumbScrollBar::PaintKept(const QPaintEvent& event) {
    const QRect area = event.region().boundingRect();
    if (bare_.isNull() || area == rect() || !MayKeep()) return false;
    const QRect band = ThumbBand();
    if (area.top() < grooveTop_ || area.bottom() > grooveBottom_ || band.top() < grooveTop_ ||
        band.bottom() > grooveBottom_)
        return false;
    QPainter painter(this);
    QRect inTarget;
    const QImage* target = PlacedTarget(painter, area, inTarget);
    // The bar's look as kept, over the pixels kept under it.
    if (!target || !(LookNow(target->format()) == look_) ||
        !SamePixels(*target, inTarget, under_.copy(area)))
        return false;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), bare_, area);
    painter.drawImage(band.topLeft(), thumb_);
    return true;
}

bool KeptButtonLook::Paint(QWidget& button, const QPaintEvent& event,
                           QStyle::ControlElement element, const QStyleOptionButton& option) {
    Look look{element,
              {button.style(), option.state, option.direction, option.palette,
               button.foregroundRole(), button.backgroundRole(), button.font(), option.text},
              option.icon.cacheKey(),
              option.iconSize,
              option.features};
    return PaintKeptLook(button, event, std::move(look), look_, under_, drawn_, [&](QImage& image) {
        QStylePainter style(&image, &button);
        StartAsOn(style, button);
        style.drawControl(element, option);
    });
}

void ClippedScrollBar::paintEvent(QPaintEvent* event) {
    // The toolkit knows which part is hovered or pressed, and draws it so;
    // else the bar as the toolkit describes it to the style.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    if (KeptBarLook::Touched(*this) || repeatAction() != SliderNoAction ||
        !kept_.Paint(*this, *event, option))
        QScrollBar::paintEvent(event);
}

void KeptLookGroupBox::paintEvent(QPaintEvent* event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    Look look{{style(), option.state, option.direction, option.palette, foregroundRole(),
               backgroundRole(), font(), option.text},
              option.subControls,
              option.activeSubControls,
              option.features,
              static_cast<int>(option.textAlignment),
              option.textColor,
              option.lineWidth,
              option.midLineWidth};
    const bool painted =
        PaintKeptLook(*this, *event, std::move(look), look_, under_, drawn_, [&](QImage& image) {
            QStylePainter style(&image, this);
            StartAsOn(style, *this);
            style.drawComplexControl(QStyle::CC_GroupBox, option);
        });
    if (!painted) QGroupBox::paintEvent(event);
}

bool KeptLookLabel::PlainCaption() const {
    const bool rich = textFormat() == Qt::RichText ||
                      (textFormat() == Qt::AutoText && Qt::mightBeRichText(text()));
    return !rich && frameShape() == QFrame::NoFrame && pixmap().isNull() && picture().isNull() &&
           !movie() && !buddy() &&
           !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
}

void KeptLookLabel::paintEvent(QPaintEvent* event) {
    if (!PlainCaption()) {
        QLabel::paintEvent(event);
        return;
    }
    QStyleOption option;
    option.initFrom(this);
    Look look{{style(), option.state, option.direction, option.palette, foregroundRole(),
               backgroundRole(), font(), text()},
              static_cast<int>(alignment()),
              wordWrap(),
              indent(),
              margin(),
              contentsRect()};
    QRect area;
    const QImage* target = nullptr;
    {
        QPainter painter(this);
        target = PlainTarget(painter, *this, *event, area);
        if (target && look == look_ && SamePixels(*target, area, under_)) {
            CopyKept(painter, drawn_);
            return;
        }
    }
    // Painted by the toolkit, and its pixels kept from the target.
    if (target) under_ = target->copy(area);
    QLabel::paintEvent(event);
    if (!target) return;
    drawn_ = target->copy(area);
    look_ = std::move(look);
}

RangeScrollBar::RangeScrollBar(QScrollBar* bar, int minimum, int maximum)
    : bar_(bar), minimum_(minimum), maximum_(maximum) {
    bar_->setRange(0, std::abs(maximum_ - minimum_));
}

int RangeScrollBar::Value() const {
    return minimum_ + Step() * bar_->value();
}

bool RangeScrollBar::InRange(int value) const {
    return value >= std::min(minimum_, maximum_) && value <= std::max(minimum_, maximum_);
}

bool RangeScrollBar::SetValue(int value) {
    if (!InRange(value)) return false;
    bar_->setValue(std::abs(value - minimum_));
    return true;
}

void RangeScrollBar::SetRange(int minimum, int maximum) {
    const int value = Value();
    minimum_ = minimum;
    maximum_ = maximum;
    const QSignalBlocker hold(bar_);
    bar_->setRange(0, std::abs(maximum_ - minimum_));
    const int kept = std::clamp(value, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
    bar_->setValue(std::abs(kept - minimum_));
}

namespace {
Qt::CheckState ToCheckState(std::int16_t value) {
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}
} // namespace

std::int16_t FromCheckState(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void SetCheck(QCheckBox* box, std::int16_t value) {
    if (!box) return;
    const Qt::CheckState state = ToCheckState(value);
    if (box->checkState() == state) return;
    box->setCheckState(state);
    emit box->clicked(state != Qt::Unchecked);
}

CaptionFittingButton::CaptionFittingButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), full_(font()) {}

int CaptionFittingButton::CaptionPixels() const {
    return QFontInfo(font()).pixelSize();
}

int CaptionFittingButton::CaptionPadding() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) +
           2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) + 2;
}

QSize CaptionFittingButton::sizeHint() const {
    // The hint is the full caption's, whatever size the caption is drawn at:
    // a hint that followed the fitted caption would move the layout, and
    // with it the width the caption is fitted to, so that a row could flip
    // between two sizes for ever.
    QStyleOptionButton option;
    initStyleOption(&option);
    option.fontMetrics = QFontMetrics(full_);
    const QSize caption = option.fontMetrics.size(Qt::TextShowMnemonic, text());
    option.rect.setSize(caption);
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, caption, this);
}

void CaptionFittingButton::ShareCaptionSize(const std::vector<CaptionFittingButton*>& row) {
    auto shared = std::make_shared<std::vector<CaptionFittingButton*>>(row);
    for (CaptionFittingButton* button : row) button->row_ = shared;
}

void CaptionFittingButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    if (!row_) {
        SetCaptionPixels(PixelsThatFit());
        return;
    }
    // The last of a row to be resized sees every width of the new layout.
    int pixels = PixelsThatFit();
    for (const CaptionFittingButton* other : *row_)
        pixels = std::min(pixels, other->PixelsThatFit());
    for (CaptionFittingButton* other : *row_) other->SetCaptionPixels(pixels);
}

void CaptionFittingButton::paintEvent(QPaintEvent* event) {
    QStyleOptionButton option;
    initStyleOption(&option);
    if (!kept_[isChecked() ? 1 : 0].Paint(*this, *event, QStyle::CE_PushButton, option))
        QPushButton::paintEvent(event);
}

int CaptionFittingButton::PixelsThatFit() const {
    const int room = width() - CaptionPadding();
    QFont trial = full_;
    int pixels = QFontInfo(full_).pixelSize();
    while (pixels > kLeastTextPixels && QFontMetrics(trial).horizontalAdvance(text()) > room)
        trial.setPixelSize(--pixels);
    return pixels;
}

void CaptionFittingButton::SetCaptionPixels(int pixels) {
    QFont fitted = full_;
    if (pixels < QFontInfo(full_).pixelSize()) fitted.setPixelSize(pixels);
    if (fitted != font()) setFont(fitted);
}

void SetBold(QPushButton* button, bool on) {
    QFont font = button->font();
    font.setBold(on);
    button->setFont(font);
}

QSize WindowFrameSize(const QWidget& window) {
    // Until the manager has framed the window its frame is unknown.
    const QSize shown = window.frameGeometry().size() - window.geometry().size();
    return shown.isNull() ? QSize(8, 32) : shown;
}

QSize FittedToScreen(const QWidget& window, QSize size) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return size;
    // The frame the window manager puts round the window takes room too.
    const QSize frame = WindowFrameSize(window);
    const QRect room = screen->availableGeometry();
    const int roomWidth = room.width() - frame.width();
    const int roomHeight = room.height() - frame.height();
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    return {std::min(size.width(), std::max(least.width(), roomWidth)),
            std::min(size.height(), std::max(least.height(), roomHeight))};
}

void FitToScreen(QWidget& window) {
    if (QGuiApplication::primaryScreen()) window.resize(FittedToScreen(window, window.size()));
}

} // namespace tarvex
