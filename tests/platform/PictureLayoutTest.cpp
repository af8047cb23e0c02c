#include "platform/PictureLayout.h"

#include "platform/PictureBox.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(PictureLayout, PicturesKeepTheirShapeCentredAndHiddenOnesAreSizedToo) {
    // A square in a 400 x 200 room is 200 x 200, 100 from the left; a 4:1
    // shape is 400 x 100, 50 from the top; no shape takes the room.
    const QRect room(10, 20, 400, 200);
    EXPECT_EQ(PictureLayout::ShapedBox(room, 1.0), QRect(110, 20, 200, 200));
    EXPECT_EQ(PictureLayout::ShapedBox(room, 4.0), QRect(10, 70, 400, 100));
    EXPECT_EQ(PictureLayout::ShapedBox(room, 0.0), room);

    QWidget window;
    auto* layout = new PictureLayout(&window);
    auto* shown = new PictureBox(&window);
    auto* hidden = new PictureBox(&window);
    shown->SetShape(2, 1);
    hidden->SetShape(1, 1);
    layout->addWidget(shown);
    layout->addWidget(hidden);
    int redraws = 0;
    hidden->SetResizeHandler([&redraws] { ++redraws; });
    hidden->hide();
    window.resize(300, 300);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(shown->geometry(), QRect(0, 75, 300, 150));
    // The hidden picture has its size, and has been drawn for it, before it
    // is ever shown.
    EXPECT_EQ(hidden->Surface().PixelWidth(), 300);
    EXPECT_EQ(hidden->Surface().PixelHeight(), 300);
    EXPECT_EQ(redraws, 1);
    window.resize(200, 300);
    QApplication::processEvents();
    EXPECT_EQ(hidden->Surface().PixelWidth(), 200);
    EXPECT_EQ(redraws, 2);
}

} // namespace
} // namespace tarvex
