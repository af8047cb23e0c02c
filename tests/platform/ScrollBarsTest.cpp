#include "platform/Controls.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace tarvex {
namespace {

// A clipped bar draws the pixels, and takes the room, of the application's
// own bar: long and short, either way, the thumb at an end and between.
TEST(ClippedScrollBar, LooksAndMeasuresAsTheApplicationsBar) {
    struct Case {
        Qt::Orientation orientation;
        QSize size;
        int value;
    };
    for (const Case c : {Case{Qt::Horizontal, {530, 17}, 0}, Case{Qt::Horizontal, {530, 17}, 9},
                         Case{Qt::Vertical, {17, 300}, 24}, Case{Qt::Horizontal, {60, 17}, 3}}) {
        QScrollBar plain(c.orientation);
        ClippedScrollBar clipped(c.orientation, nullptr);
        QImage drawn[2];
        int k = 0;
        for (QScrollBar* bar : {&plain, static_cast<QScrollBar*>(&clipped)}) {
            bar->setRange(0, 24);
            bar->setPageStep(47);
            bar->setValue(c.value);
            bar->resize(c.size);
            drawn[k] = QImage(c.size, QImage::Format_RGB32);
            drawn[k].fill(Qt::red);
            bar->render(&drawn[k++]);
        }
        EXPECT_TRUE(drawn[0] == drawn[1]) << c.size.width() << " " << c.value;
        EXPECT_EQ(plain.sizeHint(), clipped.sizeHint());
    }
}

// The application's style, counting the scroll bars it draws.
class CountingBarStyle : public QProxyStyle {
  public:
    CountingBarStyle() : QProxyStyle(QApplication::style()->name()) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control == CC_ScrollBar) ++drawn;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    mutable int drawn = 0;
};

// The application's style drawing scroll bars half see-through, so that the
// pixels under them show: a look differs with them.
class SeeThroughBarStyle : public CountingBarStyle {
  public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        painter->setOpacity(0.5);
        CountingBarStyle::drawComplexControl(control, option, painter, widget);
    }
};

// A thumb bar stepped from value to value paints, over all it repaints, the
// pixels the application's bar paints at the value: its kept look serves
// until what it is made from changes (the style, its state, direction,
// palette, pen and background roles, size, the thumb's length, the target's
// format or the pixels under it), and a whole paint keeps it anew, after
// which the steps draw nothing through the style.
TEST(ThumbScrollBar, StepsPaintTheApplicationsBarFromItsLastWholeLook) {
    auto style = std::make_unique<CountingBarStyle>();
    auto other = std::make_unique<SeeThroughBarStyle>();
    auto plainOther = std::make_unique<SeeThroughBarStyle>();
    ThumbScrollBar thumb(Qt::Vertical);
    QScrollBar plain(Qt::Vertical);
    thumb.setStyle(style.get());
    QImage::Format format = QImage::Format_RGB32;
    QColor under(236, 236, 236);
    const std::pair<const char*, std::function<void(QScrollBar&)>> changes[] = {
        {"as built", [](QScrollBar&) {}},
        {"disabled", [](QScrollBar& b) { b.setEnabled(false); }},
        {"enabled", [](QScrollBar& b) { b.setEnabled(true); }},
        {"palette", [](QScrollBar& b) { b.setPalette(QPalette(QColor(250, 200, 200))); }},
        {"pen role", [](QScrollBar& b) { b.setForegroundRole(QPalette::Highlight); }},
        {"background role", [](QScrollBar& b) { b.setBackgroundRole(QPalette::Base); }},
        {"direction", [](QScrollBar& b) { b.setLayoutDirection(Qt::RightToLeft); }},
        {"taller", [](QScrollBar& b) { b.resize(b.width(), 904); }},
        {"wider", [](QScrollBar& b) { b.resize(20, 300); }},
        {"longer thumb", [](QScrollBar& b) { b.setRange(0, 40); }},
        {"shortest thumb", [](QScrollBar& b) { b.setRange(0, 3000); }},
        {"format", [&](QScrollBar&) { format = QImage::Format_ARGB32_Premultiplied; }},
        {"style",
         [&](QScrollBar& b) { b.setStyle(&b == &thumb ? other.get() : plainOther.get()); }},
        {"under", [&](QScrollBar&) { under = QColor(40, 60, 200); }},
    };
    for (QScrollBar* bar : {static_cast<QScrollBar*>(&thumb), &plain}) {
        bar->setRange(0, 84);
        bar->resize(17, 881);
    }
    QImage painted;
    // Steps from the value, each repainting all of the groove between the
    // bar's arrows over the pixels under it painted afresh, as the
    // application's bar paints it.
    const auto stepFrom = [&](const char* name, int start) {
        const QRect repainted(0, 20, thumb.width(), thumb.height() - 40);
        // The target as it was, at the bar's size and in the format now.
        painted = painted.convertToFormat(format).copy(thumb.rect());
        for (int value = start + 1; value <= start + 3; ++value) {
            thumb.setValue(value);
            plain.setValue(value);
            QPainter(&painted).fillRect(repainted, under);
            thumb.render(&painted, repainted.topLeft(), repainted, QWidget::RenderFlags());
            QImage expected(plain.size(), format);
            expected.fill(under);
            plain.render(&expected, QPoint(), QRegion(), QWidget::RenderFlags());
            ASSERT_TRUE(painted.copy(repainted) == expected.copy(repainted))
                << name << ", value " << value;
        }
    };
    const auto wholePaint = [&](int value) {
        thumb.setValue(value);
        painted = QImage(thumb.size(), format);
        painted.fill(under);
        thumb.render(&painted, QPoint(), QRegion(), QWidget::RenderFlags());
    };
    for (const auto& [name, change] : changes) {
        // Kept as before the change, stepped after it.
        wholePaint(thumb.maximum() / 3);
        change(thumb);
        change(plain);
        stepFrom(name, thumb.value());
        // Kept anew: the whole paint, and the thumb drawn a quarter of the
        // bar from its other end to check the look.
        const CountingBarStyle& counting = thumb.style() == other.get() ? *other : *style;
        const int drawn = counting.drawn;
        wholePaint(thumb.maximum() / 3);
        stepFrom(name, thumb.value());
        EXPECT_EQ(counting.drawn - drawn, 2) << name;
    }
}

} // namespace
} // namespace tarvex
