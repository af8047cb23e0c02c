#include "platform/PictureBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

struct MouseCall {
    int button;
    int shift;
    double x;
    double y;
};

void Send(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
          Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

TEST(PictureBox, DeliversTheMouseInTheUserScale) {
    PictureBox box;
    int resizes = 0;
    box.SetResizeHandler([&resizes] { ++resizes; });
    box.resize(200, 100);
    box.show();
    QApplication::processEvents();
    EXPECT_GE(resizes, 1);
    ASSERT_EQ(box.Surface().PixelWidth(), 200);
    ASSERT_EQ(box.Surface().PixelHeight(), 100);

    // 0..20 across, 10 at the top to 0 at the bottom.
    box.Surface().Scale(0, 10, 20, 0);
    std::vector<MouseCall> downs;
    std::vector<MouseCall> moves;
    std::vector<MouseCall> ups;
    box.SetMouseDownHandler([&](int b, int s, double x, double y) {
        downs.push_back({b, s, x, y});
    });
    box.SetMouseMoveHandler([&](int b, int s, double x, double y) {
        moves.push_back({b, s, x, y});
    });
    box.SetMouseUpHandler([&](int b, int s, double x, double y) { ups.push_back({b, s, x, y}); });

    Send(box, QEvent::MouseButtonPress, {50, 25}, Qt::RightButton, Qt::RightButton,
         Qt::ShiftModifier | Qt::ControlModifier);
    Send(box, QEvent::MouseMove, {150, 75}, Qt::NoButton, Qt::LeftButton | Qt::MiddleButton,
         Qt::AltModifier);
    Send(box, QEvent::MouseButtonRelease, {0, 100}, Qt::MiddleButton, Qt::NoButton, Qt::NoModifier);

    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].button, 2);
    EXPECT_EQ(downs[0].shift, 3);
    EXPECT_DOUBLE_EQ(downs[0].x, 5.0);
    EXPECT_DOUBLE_EQ(downs[0].y, 7.5);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].button, 5);
    EXPECT_EQ(moves[0].shift, 4);
    EXPECT_DOUBLE_EQ(moves[0].x, 15.0);
    EXPECT_DOUBLE_EQ(moves[0].y, 2.5);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].button, 4);
    EXPECT_EQ(ups[0].shift, 0);
    EXPECT_DOUBLE_EQ(ups[0].x, 0.0);
    EXPECT_DOUBLE_EQ(ups[0].y, 0.0);

    // The surface follows the widget; the user scale stays.
    box.resize(120, 80);
    QApplication::processEvents();
    EXPECT_EQ(box.Surface().PixelWidth(), 120);
    EXPECT_EQ(box.Surface().PixelHeight(), 80);
    EXPECT_DOUBLE_EQ(box.Surface().ScaleWidth(), 20.0);
}

// A box partly covered by a child shows its picture round the child, each
// pixel at its place.
TEST(PictureBox, APartlyCoveredBoxShowsItsPictureRoundTheChild) {
    PictureBox box;
    box.resize(160, 120);
    QWidget cover(&box);
    cover.setGeometry(40, 30, 50, 40);
    cover.setAutoFillBackground(true);
    box.show();
    QApplication::processEvents();
    RasterSurface& surface = box.Surface();
    surface.Scale(0, 0, 160, 120);
    for (int pass = 0; pass < 2; ++pass) {
        // Pixels that differ along both axes, so that a part shown anywhere
        // but at its place is seen.
        for (int y = 0; y < 120; y += 7)
            surface.Line(0, y, 160, y + 40 * pass, RGB(255, 40 * pass, 0));
        for (int x = 0; x < 160; x += 9) surface.Line(x, 0, x + 5, 120, RGB(0, 200, 255));
        QApplication::processEvents();
        const QImage shown =
            box.screen()->grabWindow(box.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage& image = surface.Image();
        ASSERT_EQ(shown.size(), image.size());
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!cover.geometry().contains(x, y) && shown.pixel(x, y) != image.pixel(x, y))
                    ++wrong;
        EXPECT_EQ(wrong, 0);
        surface.Clear();
    }
}

// Texts printed apart before the box is painted are each shown, the box
// painting no more than they changed.
TEST(PictureBox, TextsPrintedApartBeforeAPaintAreEachShown) {
    PictureBox box;
    box.resize(160, 120);
    box.show();
    RasterSurface& surface = box.Surface();
    surface.Scale(0, 0, 160, 120);
    surface.Clear();
    // Shown and painted whole first, over as many passes as that takes.
    for (int pass = 0; pass < 10; ++pass) QApplication::processEvents();
    QRect painted;
    struct Watch : QObject {
        QRect* painted;
        explicit Watch(QRect* p) : painted(p) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                *painted |= static_cast<QPaintEvent*>(event)->rect();
            return false;
        }
    } watch(&painted);
    box.installEventFilter(&watch);
    for (const auto& [x, y] : {std::pair{2.0, 2.0}, std::pair{110.0, 95.0}}) {
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
        surface.Print("850");
    }
    QApplication::processEvents();
    const QImage shown =
        box.screen()->grabWindow(box.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, surface.Image());
    EXPECT_TRUE(painted.contains(QRect(2, 2, 130, 100)));
    EXPECT_FALSE(painted.contains(box.rect()));
}

} // namespace
} // namespace tarvex

#include "platform/GuardedApplication.h"

#include <QMouseEvent>
#include <QPushButton>
#include <stdexcept>

namespace tarvex {
namespace {

// An error thrown by a handler is dropped with the event; the program goes
// on and the next event is handled.
TEST(GuardedApplication, AHandlerErrorDoesNotEndTheProgram) {
#if defined(__SANITIZE_ADDRESS__)
    // The toolkit frees nothing of an event that an error unwound, which the
    // leak checker reports; the guard itself is tested in the plain build.
    GTEST_SKIP() << "not with the leak checker";
#endif
    auto* app = dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
    if (!app) GTEST_SKIP() << "the test runner's application is not guarded";
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw std::out_of_range("index outside the sounding store");
    });
    button.resize(80, 30);
    const QPointF centre(40, 15);
    for (int i = 0; i < 2; ++i) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, button.mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, button.mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &press);
        QCoreApplication::sendEvent(&button, &release);
    }
    EXPECT_EQ(clicks, 2);
}

} // namespace
} // namespace tarvex
