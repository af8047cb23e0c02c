#include "platform/Controls.h"

#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

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

} // namespace
} // namespace tarvex
