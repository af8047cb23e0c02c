#include "files/DesktopService.h"
#include "platform/Controls.h"
#include "platform/EverySampleHour.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

namespace tarvex {
namespace {

// The read-out over every level of every hour of a winter sample, digital
// winds on, at 1272 x 768 and the least window: its five opaque labels never
// cover one another, never run off the picture, and leave no value of the
// wind column half covered beside them (the column's values of the level lie
// wholly under the wind's labels, which show them).
TEST(ReadoutLabels, NeverCoverOneAnotherTheColumnOrTheEdge) {
    std::filesystem::path sample;
    for (const auto& path : test::ShippedSamples())
        if (path.filename() == "eta_KALB.buf") sample = path;
    ASSERT_FALSE(sample.empty());
    Session session;
    session.models.ModelCodes = {"eta"};
    RecordingDesktopService desktop;
    FrmProfile w(session, desktop);
    w.show();
    ASSERT_TRUE(w.LoadSoundingFile(sample.string()));
    if (!w.chkWindDigital->isChecked()) w.chkWindDigital->click();
    w.chkActiveReadout->setChecked(true);
    const std::array<QLabel*, 5> labels = {w.lblActiveTemp, w.lblActiveDP, w.lblActiveDir,
                                           w.lblActiveKts, w.lblActiveAxis};
    int positions = 0;
    int faults = 0;
    std::ostringstream named;
    auto fault = [&](const std::string& what) {
        if (++faults <= 6) named << what << '\n';
    };
    const ProfileArrays& s = *session.profile;
    for (const QSize size : {QSize(1272, 768), w.minimumSizeHint().expandedTo(w.minimumSize())}) {
        w.resize(size);
        const int last = s.LastTime(s.CurrentModel);
        for (int hour = 0; hour <= last; hour += 3) {
            w.vsbHour->setValue(hour);
            const PictureSurface& pic = w.picData->Surface();
            const int levels = s.DrawLevelCount(s.CurrentModel);
            for (int L = 1; L <= levels; ++L) {
                w.ShowCursorReadout(0, 0, 0.0, std::log(s.Pressure(s.CurrentModel, hour, L)));
                if (!w.lblActiveTemp->isVisible()) continue;
                ++positions;
                const std::string where =
                    "hour " + std::to_string(hour) + " level " + std::to_string(L) + " at " +
                    std::to_string(size.width()) + " x " + std::to_string(size.height()) + ": ";
                for (std::size_t a = 0; a < labels.size(); ++a) {
                    const QRect r = labels[a]->geometry();
                    if (r.left() < 0 || r.right() >= pic.PixelWidth())
                        fault(where + labels[a]->text().toStdString() + " runs off");
                    for (std::size_t b = 0; b < a; ++b)
                        if (r.intersected(labels[b]->geometry()).width() > 1)
                            fault(where + labels[a]->text().toStdString() + " covers " +
                                  labels[b]->text().toStdString());
                    // A value of the wind column on the label's line lies
                    // wholly under it.
                    for (const DrawnText& t : pic.DrawnTexts()) {
                        if (t.rect.left < 0.85 * pic.PixelWidth()) continue;
                        const QRectF text(t.rect.left, t.rect.top, t.rect.width, t.rect.height);
                        const QRectF shared = text.intersected(QRectF(r));
                        if (shared.width() > 1 && shared.height() > text.height() / 2.0 &&
                            shared.width() < text.width() - 1)
                            fault(where + labels[a]->text().toStdString() + " half covers \"" +
                                  t.text + "\"");
                    }
                }
            }
        }
    }
    EXPECT_GT(positions, 500);
    EXPECT_EQ(faults, 0) << faults << " faults in " << positions << " positions:\n" << named.str();
}

} // namespace
} // namespace tarvex
