#include "platform/Controls.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProxyStyle>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace tarvex {
namespace {

// The application's style, counting the buttons it draws.
class CountingStyle : public QProxyStyle {
  public:
    CountingStyle() : QProxyStyle(QApplication::style()->name()) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_PushButton || element == CE_CheckBox || element == CE_RadioButton)
            ++drawn;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control == CC_ScrollBar || control == CC_GroupBox) ++drawn;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    mutable int drawn = 0;
};

// The button painted into an image of the format, filled with under, at the
// offset (the pixels under it are the fill's).
QImage Painted(QWidget& button, QImage::Format format, QColor under, QPoint offset) {
    QImage image(button.size() + QSize(9, 7), format);
    image.fill(under);
    button.render(&image, offset, QRegion(), QWidget::RenderFlags());
    return image;
}

// Makes each change to both widgets in turn and checks that the kept one
// paints the plain one's pixels into a target of format filled with under
// (both of which a change may set), drawing through its style once (none
// where alike(name)), then, painted again elsewhere in the target, copies the
// kept pixels. drawn() counts the drawings through the style. Returns where
// the next paint would go.
template <class Plain, class Kept, class Changes>
QPoint CheckEachChange(Plain& plain, Kept& kept, const Changes& changes,
                       const QImage::Format& format, const QColor& under,
                       const std::function<int()>& drawn,
                       const std::function<bool(const std::string&)>& alike) {
    QPoint offset(0, 0);
    int drawnBefore = drawn();
    for (const auto& [name, change] : changes) {
        change(plain);
        change(kept);
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << name;
        EXPECT_EQ(drawn(), drawnBefore + (alike(name) ? 0 : 1)) << name;
        drawnBefore = drawn();
        // Again, and elsewhere in the target: the kept pixels.
        offset = QPoint(7 - offset.x(), 5 - offset.y());
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << name;
        EXPECT_EQ(drawn(), drawnBefore) << name;
    }
    return offset;
}

// A kept-look button paints the pixels the toolkit's own button paints, and
// draws through the style again exactly when something its look is made
// from changed: each of its state, caption, size, palette, font, pen role,
// background role, icon, icon size, features, direction and style, and the
// pixels under it, their format and whether they are see-through; a paint
// with none changed, at any place in the target, copies the kept pixels.
template <class Plain, class Kept> void CheckKeptLooks() {
    // The styles outlive the buttons.
    auto style = std::make_unique<CountingStyle>();
    auto other = std::make_unique<CountingStyle>();
    Plain plain("Relative Humidity");
    Kept kept("Relative Humidity");
    kept.setStyle(style.get());
    for (QWidget* b : {static_cast<QWidget*>(&plain), static_cast<QWidget*>(&kept)})
        b->resize(150, 22);
    QImage::Format format = QImage::Format_RGB32;
    QColor under(236, 236, 236);
    QPixmap iconPixels(8, 8);
    iconPixels.fill(Qt::darkGreen);

    const std::pair<const char*, std::function<void(QAbstractButton&)>> changes[] = {
        {"as built", [](QAbstractButton&) {}},
        {"checked", [](QAbstractButton& b) { b.setCheckable(true), b.setChecked(true); }},
        {"down", [](QAbstractButton& b) { b.setDown(true); }},
        {"disabled", [](QAbstractButton& b) { b.setDown(false), b.setEnabled(false); }},
        {"enabled", [](QAbstractButton& b) { b.setEnabled(true); }},
        {"caption", [](QAbstractButton& b) { b.setText("Omega"); }},
        {"size", [](QAbstractButton& b) { b.resize(120, 26); }},
        {"palette", [](QAbstractButton& b) { b.setPalette(QPalette(QColor(250, 200, 200))); }},
        {"font", [](QAbstractButton& b) { b.setFont(QFont(b.font().family(), 11, QFont::Bold)); }},
        {"pen role", [](QAbstractButton& b) { b.setForegroundRole(QPalette::Highlight); }},
        {"background role", [](QAbstractButton& b) { b.setBackgroundRole(QPalette::Base); }},
        {"icon", [&](QAbstractButton& b) { b.setIcon(QIcon(iconPixels)); }},
        {"icon size", [](QAbstractButton& b) { b.setIconSize(QSize(12, 12)); }},
        {"features", [](QAbstractButton& b) { b.setProperty("autoDefault", true); }},
        {"direction", [](QAbstractButton& b) { b.setLayoutDirection(Qt::RightToLeft); }},
        {"under", [&](QAbstractButton&) { under = QColor(255, 255, 255); }},
        {"format", [&](QAbstractButton&) { format = QImage::Format_ARGB32_Premultiplied; }},
        {"see-through under", [&](QAbstractButton&) { under = QColor(0, 0, 255, 100); }},
        {"style", [&](QAbstractButton& b) { b.setStyle(&b == &kept ? other.get() : b.style()); }},
    };
    // Check boxes and radio buttons have no features.
    CheckEachChange(
        plain, kept, changes, format, under, [&] { return style->drawn + other->drawn; },
        [](const std::string& name) {
            return name == "features" && !std::is_same_v<Plain, QPushButton>;
        });
}

TEST(KeptButtonLook, PaintsTheToolkitsPixelsAndDrawsAgainOnlyForAChange) {
    CheckKeptLooks<QPushButton, KeptLookPushButton>();
    CheckKeptLooks<QCheckBox, KeptLookCheckBox>();
    CheckKeptLooks<QRadioButton, KeptLookRadioButton>();
}

// A button of a row whose captions fit it keeps a look for either state:
// checked and unchecked in turn, it paints the toolkit's pixels and draws
// through the style once a state, until its look changes.
TEST(KeptButtonLook, ACaptionFittingButtonKeepsALookForEitherState) {
    auto style = std::make_unique<CountingStyle>();
    QPushButton plain("Hodograph");
    CaptionFittingButton kept("Hodograph", nullptr);
    kept.setStyle(style.get());
    for (QPushButton* b : {&plain, static_cast<QPushButton*>(&kept)}) {
        b->setCheckable(true);
        b->resize(70, 24);
    }
    const QColor under(236, 236, 236);
    auto paintsAsPlain = [&] {
        const QImage shown = Painted(kept, QImage::Format_RGB32, under, QPoint(3, 2));
        plain.setFont(kept.font()); // the caption as fitted
        return shown == Painted(plain, QImage::Format_RGB32, under, QPoint(3, 2));
    };
    for (int k = 0; k < 5; ++k) {
        plain.setChecked(k % 2 == 1);
        kept.setChecked(k % 2 == 1);
        EXPECT_TRUE(paintsAsPlain()) << k;
        EXPECT_EQ(style->drawn, std::min(k + 1, 2)) << k;
    }
    plain.setText("Map");
    kept.setText("Map");
    EXPECT_TRUE(paintsAsPlain());
    EXPECT_EQ(style->drawn, 3);
}

// A style sheet set on a kept-look button (the hodograph's highlighted layer
// button), taken off and set again paints what the toolkit's own button
// paints at each step.
TEST(KeptButtonLook, AStyleSheetSetAndTakenOffIsPainted) {
    QPushButton plain("3");
    KeptLookPushButton kept("3");
    const QColor under(236, 236, 236);
    for (const char* sheet : {"", "background-color: rgb(255, 255, 0);", "",
                              "background-color: rgb(255, 255, 0);", ""}) {
        for (QPushButton* b : {&plain, static_cast<QPushButton*>(&kept)}) {
            b->setStyleSheet(sheet);
            b->resize(22, 24);
        }
        EXPECT_EQ(Painted(kept, QImage::Format_RGB32, under, QPoint(0, 0)),
                  Painted(plain, QImage::Format_RGB32, under, QPoint(0, 0)))
            << sheet;
    }
}

// The application's style, counting the captions it draws.
class CaptionCountingStyle : public QProxyStyle {
  public:
    CaptionCountingStyle() : QProxyStyle(QApplication::style()->name()) {}
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text, QPalette::ColorRole role) const override {
        ++drawn;
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }
    mutable int drawn = 0;
};

// A kept-look label paints the pixels the toolkit's own label paints, and
// paints through the toolkit again exactly when something its look is made
// from changed, as a button does, also when a style sheet styles it; a label
// that shows more than a plain caption is painted by the toolkit at every
// paint.
TEST(KeptButtonLook, ALabelPaintsTheToolkitsPixelsAndDrawsAgainOnlyForAChange) {
    auto style = std::make_unique<CaptionCountingStyle>();
    auto other = std::make_unique<CaptionCountingStyle>();
    QLabel plain("Contour Interval");
    KeptLookLabel kept("Contour Interval");
    kept.setStyle(style.get());
    for (QLabel* l : {&plain, static_cast<QLabel*>(&kept)}) l->resize(140, 30);
    QImage::Format format = QImage::Format_RGB32;
    QColor under(236, 236, 236);
    QPoint offset(0, 0);
    const std::pair<const char*, std::function<void(QLabel&)>> changes[] = {
        {"as built", [](QLabel&) {}},
        {"caption", [](QLabel& l) { l.setText("Lake Temp 41 F and more"); }},
        {"alignment", [](QLabel& l) { l.setAlignment(Qt::AlignRight | Qt::AlignBottom); }},
        {"wrapped", [](QLabel& l) { l.setWordWrap(true); }},
        {"indent", [](QLabel& l) { l.setIndent(9); }},
        {"margin", [](QLabel& l) { l.setMargin(3); }},
        {"contents margins", [](QLabel& l) { l.setContentsMargins(3, 3, 6, 8); }},
        {"size", [](QLabel& l) { l.resize(120, 36); }},
        {"disabled", [](QLabel& l) { l.setEnabled(false); }},
        {"enabled", [](QLabel& l) { l.setEnabled(true); }},
        {"palette", [](QLabel& l) { l.setPalette(QPalette(QColor(250, 200, 200))); }},
        {"font", [](QLabel& l) { l.setFont(QFont(l.font().family(), 11, QFont::Bold)); }},
        {"pen role", [](QLabel& l) { l.setForegroundRole(QPalette::Highlight); }},
        {"background role", [](QLabel& l) { l.setBackgroundRole(QPalette::Base); }},
        {"direction", [](QLabel& l) { l.setLayoutDirection(Qt::RightToLeft); }},
        {"under", [&](QLabel&) { under = QColor(255, 255, 255); }},
        {"format", [&](QLabel&) { format = QImage::Format_ARGB32_Premultiplied; }},
        {"see-through under", [&](QLabel&) { under = QColor(0, 0, 255, 100); }},
        {"style", [&](QLabel& l) { l.setStyle(&l == &kept ? other.get() : l.style()); }},
    };
    offset = CheckEachChange(
        plain, kept, changes, format, under, [&] { return style->drawn + other->drawn; },
        [](const std::string&) { return false; });
    // More than a plain caption: the toolkit's pixels, at every paint, also
    // after a change the look of a plain caption is not made from.
    struct NotPlain {
        const char* name;
        std::function<void(QLabel&)> change;
        std::function<void(QLabel&)> then;
    };
    const NotPlain notPlain[] = {
        {"rich text", [](QLabel& l) { l.setText("<b>Sigma</b>"); }, [](QLabel&) {}},
        {"selectable",
         [](QLabel& l) {
             l.setText("Sigma"), l.setTextInteractionFlags(Qt::TextSelectableByMouse);
         },
         [](QLabel& l) { l.setSelection(0, 3); }},
        {"frame",
         [](QLabel& l) {
             l.setTextInteractionFlags(Qt::NoTextInteraction);
             l.setFrameStyle(QFrame::Box | QFrame::Sunken);
         },
         [](QLabel& l) { l.setFrameShadow(QFrame::Raised); }},
    };
    for (const NotPlain& c : notPlain) {
        c.change(plain);
        c.change(kept);
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << c.name;
        c.then(plain);
        c.then(kept);
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << c.name;
    }

    // Styled by a sheet, as the overview's legend cells are: each part of the
    // sheet changed alone.
    int drawnBeforeSheets = style->drawn + other->drawn;
    plain.setFrameStyle(QFrame::NoFrame);
    kept.setFrameStyle(QFrame::NoFrame);
    for (const char* sheet : {"color: black; background: white; border-bottom: 4px solid red;",
                              "color: yellow; background: white; border-bottom: 4px solid red;",
                              "color: yellow; background: gray; border-bottom: 4px solid red;",
                              "color: yellow; background: gray; border-bottom: 4px solid blue;",
                              "color: yellow; background: gray; border-bottom: 2px solid blue;"}) {
        for (QLabel* l : {&plain, static_cast<QLabel*>(&kept)}) {
            l->setStyleSheet(sheet);
            l->setText("70");
            l->setAlignment(Qt::AlignCenter);
        }
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << sheet;
        offset = QPoint(7 - offset.x(), 5 - offset.y());
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset))
            << sheet;
        EXPECT_EQ(style->drawn + other->drawn, drawnBeforeSheets + 1) << sheet;
        drawnBeforeSheets = style->drawn + other->drawn;
    }
}

// A clipped scroll bar paints the pixels the toolkit's own bar paints, and
// draws through the style again exactly when something its look is made
// from changed: each of its value (to either end and between), its thumb
// moved alone, range,
// steps, size, orientation, which way up, state, palette, font, pen and
// background roles, direction and style, and the pixels under it, their
// format and whether they are see-through; a paint with none changed, at
// any place in the target, copies the kept pixels. Under the mouse it is
// drawn by the toolkit at every paint.
TEST(KeptButtonLook, AScrollBarPaintsTheToolkitsPixelsAndDrawsAgainOnlyForAChange) {
    auto style = std::make_unique<CountingStyle>();
    auto other = std::make_unique<CountingStyle>();
    QScrollBar plain(Qt::Horizontal);
    ClippedScrollBar kept(Qt::Horizontal, nullptr);
    kept.setStyle(style.get());
    for (QScrollBar* b : {&plain, static_cast<QScrollBar*>(&kept)}) {
        b->setRange(0, 24);
        b->setPageStep(47);
        b->setValue(9);
        b->resize(530, 17);
    }
    QImage::Format format = QImage::Format_RGB32;
    QColor under(236, 236, 236);
    const std::pair<const char*, std::function<void(QScrollBar&)>> changes[] = {
        {"as built", [](QScrollBar&) {}},
        {"value", [](QScrollBar& b) { b.setValue(10); }},
        {"at the end", [](QScrollBar& b) { b.setValue(24); }},
        {"at the start", [](QScrollBar& b) { b.setValue(0); }},
        {"thumb alone", [](QScrollBar& b) { b.setTracking(false), b.setSliderPosition(15); }},
        {"minimum", [](QScrollBar& b) { b.setMinimum(-6); }},
        {"maximum", [](QScrollBar& b) { b.setMaximum(40); }},
        {"single step", [](QScrollBar& b) { b.setSingleStep(3); }},
        {"page step", [](QScrollBar& b) { b.setPageStep(12); }},
        {"size", [](QScrollBar& b) { b.resize(60, 17); }},
        {"upside down", [](QScrollBar& b) { b.setInvertedAppearance(true); }},
        {"disabled", [](QScrollBar& b) { b.setEnabled(false); }},
        {"enabled", [](QScrollBar& b) { b.setEnabled(true); }},
        {"palette", [](QScrollBar& b) { b.setPalette(QPalette(QColor(250, 200, 200))); }},
        {"font", [](QScrollBar& b) { b.setFont(QFont(b.font().family(), 11, QFont::Bold)); }},
        {"pen role", [](QScrollBar& b) { b.setForegroundRole(QPalette::Highlight); }},
        {"background role", [](QScrollBar& b) { b.setBackgroundRole(QPalette::Base); }},
        {"direction", [](QScrollBar& b) { b.setLayoutDirection(Qt::RightToLeft); }},
        {"orientation", [](QScrollBar& b) { b.setOrientation(Qt::Vertical); }},
        {"long and upright", [](QScrollBar& b) { b.resize(17, 300); }},
        {"under", [&](QScrollBar&) { under = QColor(255, 255, 255); }},
        {"format", [&](QScrollBar&) { format = QImage::Format_ARGB32_Premultiplied; }},
        {"see-through under", [&](QScrollBar&) { under = QColor(0, 0, 255, 100); }},
        {"style", [&](QScrollBar& b) { b.setStyle(&b == &kept ? other.get() : b.style()); }},
    };
    const QPoint offset = CheckEachChange(
        plain, kept, changes, format, under, [&] { return style->drawn + other->drawn; },
        [](const std::string&) { return false; });
    const int drawnBefore = style->drawn + other->drawn;
    for (QScrollBar* b : {&plain, static_cast<QScrollBar*>(&kept)})
        b->setAttribute(Qt::WA_UnderMouse);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(Painted(kept, format, under, offset), Painted(plain, format, under, offset));
        EXPECT_EQ(other->drawn + style->drawn, drawnBefore + k);
    }
}

// A kept-look group box paints the pixels the toolkit's own box paints, and
// draws through the style again exactly when something its look is made from
// changed: each of its title, size, check box, check, flatness, title's
// alignment, state, palette (and with it the title's colour), font, pen and
// background roles, direction and style, and the pixels under it, their
// format and whether they are see-through.
TEST(KeptButtonLook, AGroupBoxPaintsTheToolkitsPixelsAndDrawsAgainOnlyForAChange) {
    auto style = std::make_unique<CountingStyle>();
    auto other = std::make_unique<CountingStyle>();
    QGroupBox plain("Wind Option");
    KeptLookGroupBox kept("Wind Option");
    kept.setStyle(style.get());
    for (QGroupBox* b : {&plain, static_cast<QGroupBox*>(&kept)}) b->resize(160, 60);
    QImage::Format format = QImage::Format_RGB32;
    QColor under(236, 236, 236);
    const std::pair<const char*, std::function<void(QGroupBox&)>> changes[] = {
        {"as built", [](QGroupBox&) {}},
        {"title", [](QGroupBox& b) { b.setTitle("Right Mouse"); }},
        {"size", [](QGroupBox& b) { b.resize(140, 70); }},
        {"check box", [](QGroupBox& b) { b.setCheckable(true); }},
        {"unchecked", [](QGroupBox& b) { b.setChecked(false); }},
        {"flat", [](QGroupBox& b) { b.setFlat(true); }},
        {"alignment", [](QGroupBox& b) { b.setAlignment(Qt::AlignRight); }},
        {"disabled", [](QGroupBox& b) { b.setEnabled(false); }},
        {"enabled", [](QGroupBox& b) { b.setEnabled(true); }},
        {"palette", [](QGroupBox& b) { b.setPalette(QPalette(QColor(250, 200, 200))); }},
        {"font", [](QGroupBox& b) { b.setFont(QFont(b.font().family(), 11, QFont::Bold)); }},
        {"pen role", [](QGroupBox& b) { b.setForegroundRole(QPalette::Highlight); }},
        {"background role", [](QGroupBox& b) { b.setBackgroundRole(QPalette::Base); }},
        {"direction", [](QGroupBox& b) { b.setLayoutDirection(Qt::RightToLeft); }},
        {"under", [&](QGroupBox&) { under = QColor(255, 255, 255); }},
        {"format", [&](QGroupBox&) { format = QImage::Format_ARGB32_Premultiplied; }},
        {"see-through under", [&](QGroupBox&) { under = QColor(0, 0, 255, 100); }},
        {"style", [&](QGroupBox& b) { b.setStyle(&b == &kept ? other.get() : b.style()); }},
    };
    CheckEachChange(
        plain, kept, changes, format, under, [&] { return style->drawn + other->drawn; },
        [](const std::string&) { return false; });
}

// A paint of part of the button, or into a target the look cannot be copied
// into (a scaled one), is painted as the toolkit paints it.
TEST(KeptButtonLook, APartOrScaledPaintIsTheToolkits) {
    CountingStyle style;
    QCheckBox plain("Wet Bulb");
    KeptLookCheckBox kept("Wet Bulb");
    kept.setStyle(&style);
    for (const QRegion& part : {QRegion(0, 0, 30, 20), QRegion()}) {
        QImage drawn[2] = {QImage(240, 40, QImage::Format_RGB32), {}};
        drawn[0].setDevicePixelRatio(part.isEmpty() ? 2.0 : 1.0);
        drawn[0].fill(Qt::white);
        drawn[1] = drawn[0].copy();
        plain.render(&drawn[0], QPoint(), part, QWidget::RenderFlags());
        kept.render(&drawn[1], QPoint(), part, QWidget::RenderFlags());
        EXPECT_EQ(drawn[0], drawn[1]);
    }
    EXPECT_EQ(style.drawn, 2);
}

} // namespace
} // namespace tarvex
