#pragma once

#include <QLabel>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarvex {

// A label that reports mouse clicks and releases, for the captions that act
// as buttons.
class ClickableLabel : public QLabel {
  public:
    using QLabel::QLabel;
    // Button: 1 left, 2 right, 4 middle.
    void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }
    void SetMouseUpHandler(std::function<void(int button)> handler) { up_ = std::move(handler); }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::function<void()> click_;
    std::function<void(int)> up_;
};

} // namespace tarvex

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

namespace tarvex {

// A scroll bar whose minimum may lie above its maximum, as the value bars of
// the windows have it (a vertical bar runs from its minimum at the top to its
// maximum at the bottom). Values are the program's own; the toolkit's bar only
// ever sees 0..span, so no range is silently clamped.
class RangeScrollBar {
  public:
    RangeScrollBar(QScrollBar* bar, int minimum, int maximum);

    QScrollBar* Bar() const { return bar_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Value() const;
    // False, and nothing changes, when the value lies outside the range.
    bool SetValue(int value);
    // Keeps the value where it still lies in the new range, else takes the
    // nearest end.
    void SetRange(int minimum, int maximum);
    void SetMinimum(int minimum) { SetRange(minimum, maximum_); }
    void SetMaximum(int maximum) { SetRange(minimum_, maximum); }
    bool InRange(int value) const;

  private:
    int Step() const { return maximum_ >= minimum_ ? 1 : -1; }

    QScrollBar* bar_;
    int minimum_;
    int maximum_;
};

// What a kept look of a widget drawn through a style is made from in every
// case: the style, the style's state of the widget and its direction, the
// palette, the font, the pen and background roles and the caption.
struct StyledLook {
    const QStyle* style = nullptr;
    QStyle::State state;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    QPalette palette;
    QPalette::ColorRole foreground = QPalette::NoRole;
    QPalette::ColorRole background = QPalette::NoRole;
    QFont font;
    QString text;
    bool operator==(const StyledLook&) const = default;
};

// The kept look of a scroll bar drawn through its style, shared by the bars
// that paint from kept pixels: what the drawing is made from (the style's
// whole description of the bar with nothing hovered or pressed: state,
// direction, palette, range, thumb's place, steps, orientation, which way up;
// its font, pen and background roles and the style), and the pixels under
// the bar with the bar drawn over them. The bars of the overview copy the
// whole look (Paint); the hour bar takes it apart to paint its steps
// (ThumbScrollBar).
class KeptBarLook {
  public:
    struct Look {
        StyledLook styled;
        Qt::Orientation orientation = Qt::Horizontal;
        int minimum = 0;
        int maximum = 0;
        // The thumb's place; the value itself moves it too.
        int position = 0;
        int singleStep = 0;
        int pageStep = 0;
        bool upsideDown = false;
        bool operator==(const Look&) const = default;
    };
    // The look of bar drawn as option describes it.
    static Look LookOf(const QScrollBar& bar, const QStyleOptionSlider& option);
    // True while the bar is under the mouse or pressed: the style's
    // description of the bar leaves out its hovered and pressed parts, which
    // only the toolkit draws.
    static bool Touched(const QScrollBar& bar);
    // Draws bar as option describes it over the pixels of image, as the
    // toolkit's paint of the bar does.
    static void Draw(const QScrollBar& bar, const QStyleOptionSlider& option, QImage& image);
    // Paints the whole bar, described by option, from the kept pixels when
    // their look and the pixels under the bar are the same, else drawn
    // afresh and kept. False, with nothing painted, when the paint does not
    // cover the whole bar or its target is not an image in plain pixels.
    bool Paint(QScrollBar& bar, const QPaintEvent& event, const QStyleOptionSlider& option);

  private:
    Look look_;
    QImage under_; // the target's pixels under the bar when it was drawn
    QImage drawn_; // the bar drawn over them
};

// A scroll bar that, when only its value moves, repaints the band its thumb
// left and the band it came to rather than its whole length: a long bar
// stepped often (the hour bar beside the sounding, at every hour) otherwise
// repaints every pixel of it at each step. A move to or from either end,
// and every other change (range, steps, size, hover), repaints the whole
// bar as the toolkit does.
class ThumbScrollBar : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // An upright bar's pixels as the toolkit last painted it whole, with
    // the pixels under it, kept in parts that make the bar with its thumb
    // anywhere along its groove: the bar with the thumb's band filled with
    // the groove's line, and the thumb's band. Kept when the groove's rows
    // repeat one line, on the bar and under it, and the style draws the
    // same thumb a quarter of the bar from its other end, leaving the rest
    // of the bar bare; used only while the pointer is away from the bar, since the
    // style's description of the bar leaves out its hovered and pressed
    // parts, and over the same pixels as kept. The look is the bar's kept
    // look (KeptBarLook) wherever its thumb stands, with the bar's size and
    // the target's pixel format. One look is kept, by the bar, and made
    // again at its next whole paint.
    struct Kept {
        KeptBarLook::Look bar;
        QSize size;
        QImage::Format format = QImage::Format_Invalid;
        bool operator==(const Kept&) const = default;
    };
    // The thumb's band across the bar, as the style places it now: a few
    // pixels more along the bar than the thumb, for a style that shades
    // round it.
    static constexpr int kThumbShade = 3;
    QRect ThumbBand() const;
    bool AtEnd() const { return value() == minimum() || value() == maximum(); }
    // Paints the bands of a step from the kept look: the bare bar where the
    // thumb left, the kept thumb where it came to. False, with nothing
    // painted, where the look cannot serve (see Kept).
    bool PaintKept(const QPaintEvent& event);
    // Whether a paint now may keep or use the look.
    bool MayKeep() const;
    Kept LookNow(QImage::Format format) const;
    // Keeps the look of the bar as the toolkit painted it whole (drawn)
    // over under; keeps no pixels when the look cannot serve.
    void Keep(QImage under, QImage drawn);

    // The thumb's band as last painted, empty when the bar was not painted
    // since its last whole repaint or was painted at an end.
    QRect painted_;

    Kept look_;
    QImage bare_;  // the bar without its thumb; null when the look keeps none
    QImage thumb_; // the thumb's band
    QImage under_; // the pixels under the bar, the thumb's band a groove line
    // The rows of the groove, where the bare bar is the groove's line
    // throughout and the thumb's band may stand.
    int grooveTop_ = 0;
    int grooveBottom_ = -1;
};

// The pixels of a button as the style last drew it, with the pixels under it
// and everything the drawing was made from: the style's whole description of
// the button (state, caption, palette, icon, features; its rectangle is that
// of the pixels under it), its font, pen and background roles and the style.
// A window's resize repaints each of its buttons; one that looks as before
// over the same pixels is then copied rather than drawn again through the
// style (its gradients, its antialiased marks and a caption laid out afresh
// at every paint).
class KeptButtonLook {
  public:
    // Paints the button with option drawn as element, from the kept pixels
    // when their look and the pixels under the button are the same, else
    // through the style, keeping the result. False, with nothing painted,
    // when the paint does not cover the whole button or its target is not an
    // image in plain pixels: the caller then paints as the toolkit does.
    bool Paint(QWidget& button, const QPaintEvent& event, QStyle::ControlElement element,
               const QStyleOptionButton& option);

  private:
    struct Look {
        QStyle::ControlElement element = QStyle::CE_PushButton;
        StyledLook styled;
        qint64 icon = 0;
        QSize iconSize;
        QStyleOptionButton::ButtonFeatures features;
        bool operator==(const Look&) const = default;
    };

    Look look_;
    QImage under_; // the target's pixels under the button when it was drawn
    QImage drawn_; // the button drawn over them
};

// A label whose plain caption keeps its pixels as the toolkit last painted
// them, with the pixels under the label and everything the painting was made
// from: the style, the style's state of the label (enabled, active, hovered,
// direction), palette, font, pen and background roles, caption, alignment and
// wrapping, indent, margin and contents rectangle (its size is that of the
// pixels under it). A style sheet reaches the painting through the palette,
// font and state, and paints its background and border under the caption. A
// window's resize repaints each of its labels; one that looks as before over
// the same pixels is copied rather than its caption laid out and drawn again.
// A label that shows more than a plain caption (a frame, rich text, a picture,
// a movie, selectable text, a buddy's shortcut) is painted by the toolkit.
class KeptLookLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Look {
        StyledLook styled;
        int alignment = 0;
        bool wordWrap = false;
        int indent = 0;
        int margin = 0;
        QRect contents;
        bool operator==(const Look&) const = default;
    };
    // True when the label shows a plain caption and no frame.
    bool PlainCaption() const;

    Look look_;
    QImage under_; // the target's pixels under the label when it was painted
    QImage drawn_; // the label painted over them
};

// A group box whose frame and title keep their pixels as the style last drew
// them, with the pixels under the box and everything the drawing was made
// from: the style's whole description of the box (state, direction,
// palette, title, its alignment and colour, the parts drawn and the one
// hovered or pressed, frame features and line widths; its rectangle is that
// of the pixels under it), its font, pen and background roles and the style.
// A window's resize repaints each of its boxes; one that looks as before over
// the same pixels is copied rather than its frame and title drawn again. Its
// buttons paint themselves over it, as they do over the toolkit's box.
class KeptLookGroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Look {
        StyledLook styled;
        QStyle::SubControls subControls;
        QStyle::SubControls activeSubControls;
        QStyleOptionFrame::FrameFeatures features;
        int textAlignment = 0;
        QColor textColor;
        int lineWidth = 0;
        int midLineWidth = 0;
        bool operator==(const Look&) const = default;
    };

    Look look_;
    QImage under_; // the target's pixels under the box when it was drawn
    QImage drawn_; // the box drawn over them
};

// A scroll bar drawn by the application's style with the painter clipped to
// the bar. Unclipped, the style's half-transparent edges along a long bar are
// set pixel by pixel through the toolkit's fill threads, each edge handed to
// worker threads and waited for (a few tenths of a millisecond a paint, paid
// at every resize of its window); clipped, the toolkit sets the same pixels
// itself at once.
//
// Its groove and thumb keep their pixels as the style last drew them
// (KeptBarLook), and a paint of the whole bar over the same pixels with the
// same look copies them: a resize of the window repaints each of its bars,
// most of them as before. A bar under the mouse, or one being pressed, is
// drawn by the toolkit, whose hovered and pressed parts are its own.
class ClippedScrollBar : public QScrollBar {
  public:
    ClippedScrollBar(Qt::Orientation orientation, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    KeptBarLook kept_;
};

// A push button, check box or radio button painted through a kept look.
template <class Button, QStyle::ControlElement kElement> class KeptLookButton : public Button {
  public:
    using Button::Button;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        if (!kept_.Paint(*this, *event, kElement, option)) Button::paintEvent(event);
    }

  private:
    KeptButtonLook kept_;
};
using KeptLookPushButton = KeptLookButton<QPushButton, QStyle::CE_PushButton>;
using KeptLookCheckBox = KeptLookButton<QCheckBox, QStyle::CE_CheckBox>;
using KeptLookRadioButton = KeptLookButton<QRadioButton, QStyle::CE_RadioButton>;

// A push button whose caption is set smaller when the button is too narrow
// for it, down to the least type a forecaster can read (8 px), so that a row
// of buttons on a small window still shows every caption whole. Buttons that
// share a row take the smallest size any of them needs, so the row reads as
// one. The size hint stays that of the full-size caption, so the row's
// layout does not follow the shrinking.
class CaptionFittingButton : public QPushButton {
  public:
    CaptionFittingButton(const QString& text, QWidget* parent);
    // Makes the buttons one row whose captions share a size.
    static void ShareCaptionSize(const std::vector<CaptionFittingButton*>& row);
    QSize sizeHint() const override;
    // The caption's pixel size in force and the room the style leaves
    // around a caption.
    int CaptionPixels() const;
    int CaptionPadding() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Painted through a kept look for each of its two states: a display
    // switch unchecks one button of the row and checks another, each then
    // painted as it last was in that state.
    void paintEvent(QPaintEvent* event) override;

  private:
    // The largest size, at most the full one and at least 8 px, at which
    // the caption fits the button's width.
    int PixelsThatFit() const;
    void SetCaptionPixels(int pixels);
    QFont full_;
    std::shared_ptr<std::vector<CaptionFittingButton*>> row_;
    std::array<KeptButtonLook, 2> kept_; // unchecked, checked
};

// Check-box states as the settings files keep them: 0 unchecked, 1 checked,
// 2 grey. Any other number reads as unchecked.
std::int16_t FromCheckState(const QCheckBox* box);
// Sets a check box as the program does: a change of state runs its click
// handler, no change runs nothing. A null box is passed over.
void SetCheck(QCheckBox* box, std::int16_t value);
// The chosen button of a selector row shows its caption in bold.
void SetBold(QPushButton* button, bool on);

// Shrinks a window whose size, frame included, is larger than the primary
// screen's free room to fit it, never below the window's least size.
void FitToScreen(QWidget& window);
// The size FitToScreen gives the window were it of the given size.
QSize FittedToScreen(const QWidget& window, QSize size);
// The room the window manager's frame takes round a top-level window: as
// measured once the manager has framed it, else a usual title bar and border.
QSize WindowFrameSize(const QWidget& window);

// Sets a flag (a window's redraw suspension) for a scope and puts its old
// value back, so that suspensions nest.
class HoldFlag {
  public:
    explicit HoldFlag(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~HoldFlag() { flag_ = before_; }
    HoldFlag(const HoldFlag&) = delete;
    HoldFlag& operator=(const HoldFlag&) = delete;

  private:
    bool& flag_;
    bool before_;
};

// Counts a nesting depth up for a scope: while code, not the user, sets a
// window's controls, their handlers pass no help words.
class NestingCount {
  public:
    explicit NestingCount(int& depth) : depth_(depth) { ++depth_; }
    ~NestingCount() { --depth_; }
    NestingCount(const NestingCount&) = delete;
    NestingCount& operator=(const NestingCount&) = delete;

  private:
    int& depth_;
};

} // namespace tarvex
