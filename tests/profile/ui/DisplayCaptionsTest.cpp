#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "platform/PictureSurface.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

// The display buttons' captions read whole at every window size: from the
// least size up, each caption fits its button, at 8 px or more, and the row
// shares one size; on a wide window they keep the full size. A caption made
// smaller leaves the layout as it was: the window settles (at 1272 x 768 the
// sounding once flipped between two heights for as long as it was shown).
TEST(DisplayCaptions, EveryCaptionWholeAtEveryWindowSize) {
    Session session;
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    w.show();
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    int fullPixels = 0;
    for (const QSize size : {QSize(1912, 1168), QSize(1272, 768), least}) {
        w.resize(size);
        // Under every display's panel in turn, the start display last.
        for (const int mode : {0, 1, 2, 3, 5, 6, 7, 8, 4}) {
            w.btnDisplay[std::size_t(mode)]->click();
            QApplication::processEvents();
            const QRect settled = w.picData->geometry();
            for (int round = 0; round < 3; ++round) {
                QApplication::processEvents();
                EXPECT_EQ(w.picData->geometry(), settled)
                    << size.width() << " x " << size.height() << ", display " << mode;
            }
        }
        int rowPixels = -1;
        for (int k = 0; k < 9; ++k) {
            auto* button = dynamic_cast<CaptionFittingButton*>(w.btnDisplay[std::size_t(k)]);
            ASSERT_NE(button, nullptr);
            const int pixels = button->CaptionPixels();
            const int needed = QFontMetrics(button->font()).horizontalAdvance(button->text()) +
                               button->CaptionPadding();
            EXPECT_LE(needed, button->width())
                << button->text().toStdString() << " at " << size.width() << " x " << size.height();
            EXPECT_GE(pixels, kLeastTextPixels);
            if (rowPixels >= 0) {
                EXPECT_EQ(pixels, rowPixels);
            }
            rowPixels = pixels;
        }
        if (fullPixels == 0) fullPixels = rowPixels;
        if (size == least) {
            EXPECT_LT(rowPixels, fullPixels);
        }
    }
}

} // namespace
} // namespace tarvex
