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

// The read-out over every level of every third hour of a winter sample, with
// digital winds and the level boxes on, at 1272 x 768 and the least window:
// its five opaque labels never cover one another, never run off the picture
// (at the top and bottom levels too), and hide each text of the picture they
// reach whole or not at all (the column's values of the level lie wholly
// under the wind's labels, which show them).
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
    for (QCheckBox* box : {w.chkWindDigital, w.chkLCL, w.chkLFC, w.chkEQL, w.chkCCL, w.chkWBZ})
        if (!box->isChecked()) box->click();
    w.chkActiveReadout->setChecked(true);
    const std::array<QLabel*, 5> labels = {w.lblActiveTemp, w.lblActiveDP, w.lblActiveDir,
                                           w.lblActiveKts, w.lblActiveAxis};
    int positions = 0;
    int hidden = 0; // texts the labels hide whole
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
                    // The box and the caption in it (at its margins).
                    const QRect r = labels[a]->geometry();
                    const int caption = r.top() + labels[a]->contentsMargins().top();
                    if (r.left() < 0 || r.right() >= pic.PixelWidth() || r.top() < 0 ||
                        r.bottom() >= pic.PixelHeight() || caption < 0 ||
                        caption + labels[a]->fontMetrics().height() > pic.PixelHeight())
                        fault(where + labels[a]->text().toStdString() + " runs off");
                    for (std::size_t b = 0; b < a; ++b)
                        if (r.intersected(labels[b]->geometry()).width() > 1)
                            fault(where + labels[a]->text().toStdString() + " covers " +
                                  labels[b]->text().toStdString());
                    // Each text of the picture under the label lies wholly
                    // under it, or shares at most a pixel's strip with it.
                    const TextRect box{static_cast<double>(r.left()), static_cast<double>(r.top()),
                                       static_cast<double>(r.width()),
                                       static_cast<double>(r.height())};
                    for (const DrawnText& t : pic.DrawnTexts()) {
                        if (!TextRectsOverlap(t.rect, box)) continue;
                        if (t.rect.left >= box.left - 0.5 && t.rect.Right() <= box.Right() + 0.5 &&
                            t.rect.top >= box.top - 0.5 && t.rect.Bottom() <= box.Bottom() + 0.5) {
                            ++hidden;
                        } else {
                            fault(where + labels[a]->text().toStdString() + " half covers \"" +
                                  t.text + "\"");
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(positions, 500);
    EXPECT_GT(hidden, positions); // the level's own wind values at least
    EXPECT_EQ(faults, 0) << faults << " faults in " << positions << " positions:\n" << named.str();
}

} // namespace
} // namespace tarvex
