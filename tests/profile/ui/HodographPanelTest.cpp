#include "profile/ui/HodographPanel.h"

#include "SampleSounding.h"
#include "compute/Hodograph.h"
#include "compute/ProfileBuilder.h"
#include "compute/StormMotion.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace tarvex {
namespace {

constexpr int kModel = 1;

// Two hours of a sounding whose level L (500 L m above the ground) blows at
// (2 L, 10 - L) m/s, shown in an offscreen hodograph of 400 by 400 pixels.
class HodographPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteLevels(14, 500.0f);
        session.history.HodoTopKm = 6.0f;
        session.history.HodoBaseKm = 0.0f;
        window = std::make_unique<QWidget>();
        auto* row = new QHBoxLayout(window.get());
        picture = new PictureBox(window.get());
        picture->setFixedSize(400, 400);
        panelFrame = new QFrame(window.get());
        row->addWidget(picture);
        row->addWidget(panelFrame);
        panel = std::make_unique<HodographPanel>(
            session, view, picture, panelFrame,
            HodographPanel::Callbacks{[this] { ++soundingRedraws; },
                                      [this](const std::string& word) { words.push_back(word); },
                                      [this] { ++helpFocus; }});
        window->show();
        QApplication::processEvents();
        panel->btnHodoHeight_Click(6);
        soundingRedraws = 0;
        helpFocus = 0;
    }

    void WriteLevels(int n, float spacing) {
        for (int t = 0; t <= 1; ++t) {
            test::OneTimeProfile p;
            p.SurfaceU = 0.0f;
            p.SurfaceV = 10.0f;
            for (int L = 1; L <= n; ++L) {
                const float h = spacing * static_cast<float>(L);
                test::SoundingLevel level;
                level.Height = h;
                level.Pressure = 1000.0f * std::exp(-h / 8000.0f);
                level.Temperature = 20.0f - 6.5f * h / 1000.0f;
                level.DewPoint = level.Temperature - 3.0f;
                level.WetBulb = level.Temperature - 1.5f;
                level.WindU = 2.0f * static_cast<float>(L);
                level.WindV = 10.0f - static_cast<float>(L);
                p.Levels.push_back(level);
            }
            test::WriteProfile(*session.profile, p, t);
            MakeStormMotion(*session.profile, static_cast<std::int16_t>(t), *session.stormMotion);
        }
    }

    void Mouse(QEvent::Type type, double x, double y, Qt::MouseButton button,
               Qt::MouseButtons held) {
        const QPointF at(picture->Surface().ToPixelX(x), picture->Surface().ToPixelY(y));
        QMouseEvent event(type, at, picture->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(picture, &event);
    }
    void Hover(double x, double y) { Mouse(QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton); }
    // Hover over a point, press the left button there, drag to (x, y) and let go.
    void Drag(double fromX, double fromY, double x, double y) {
        Hover(fromX, fromY);
        Mouse(QEvent::MouseButtonPress, fromX, fromY, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton);
    }

    float U(int L) const { return session.profile->WindU.Level(kModel, 0, L); }
    float V(int L) const { return session.profile->WindV.Level(kModel, 0, L); }
    std::string Text(const QLabel* label) const { return label->text().toStdString(); }

    Session session;
    SoundingView view;
    std::unique_ptr<QWidget> window;
    PictureBox* picture = nullptr;
    QFrame* panelFrame = nullptr;
    std::unique_ptr<HodographPanel> panel;
    int soundingRedraws = 0;
    int helpFocus = 0;
    std::vector<std::string> words;
};

TEST_F(HodographPanelTest, DraggedLevelCarriesItsNeighboursByTheirWeights) {
    ASSERT_EQ(session.hodograph->HodoTopLevel(kModel, 0), 12);
    const float stormBefore = session.profile->StormU(kModel, 0);
    const auto shearNow = [this] {
        MakeShear(*session.profile, 0, *session.winds, session.options);
        return session.winds->Shear4km(kModel, 0);
    };
    const float shearBefore = shearNow();
    // Level 5 blows at (10, 5); it is dragged 5 m/s east.
    Hover(10.0, 5.0);
    EXPECT_EQ(panel->view().HodoPick, 5);
    Mouse(QEvent::MouseButtonPress, 10.0, 5.0, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 15.0, 5.0, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(soundingRedraws, 0);
    Mouse(QEvent::MouseButtonRelease, 15.0, 5.0, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(soundingRedraws, 1);
    EXPECT_EQ(words, std::vector<std::string>{"Hodograph"});

    // Moved by 1, 0.8, 0.6, 0.4 and 0.2 of 5 m/s; levels 0 and 10 stay.
    const float moved[] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0};
    for (int L = 0; L <= 10; ++L) {
        EXPECT_NEAR(U(L), 2.0f * L + moved[L], 1e-3) << L;
        EXPECT_NEAR(V(L), 10.0f - L, 1e-3) << L;
    }
    // The storm motion follows the new profile and the hodograph is
    // relative to it.
    const ProfileArrays& s = *session.profile;
    EXPECT_NE(s.StormU(kModel, 0), stormBefore);
    EXPECT_EQ(s.StormU(kModel, 0), session.stormMotion->RightMoverU(kModel, 0));
    EXPECT_EQ(s.WindU.Storm(kModel, 0), s.StormU(kModel, 0));
    EXPECT_EQ(session.hodograph->HodoDone(kModel, 0), kFlagTrue);
    EXPECT_NEAR(session.hodograph->SRWindU(kModel, 0, 5), 15.0f - s.StormU(kModel, 0), 1e-3);
    EXPECT_EQ(s.WindEdited(kModel, 0), kFlagTrue);
    EXPECT_EQ(s.WindEdited(kModel, 1), kFlagFalse);
    EXPECT_TRUE(panel->btnHodoReset->isEnabled());
    // The kept 0-4 km shear is stale: made again from the moved winds.
    EXPECT_EQ(session.winds->ShearDone(kModel, 0), kFlagFalse);
    EXPECT_NE(shearNow(), shearBefore);

    // Reset restores the winds as read and the storm motion from them.
    panel->btnHodoReset->click();
    EXPECT_EQ(session.winds->ShearDone(kModel, 0), kFlagFalse);
    EXPECT_FLOAT_EQ(shearNow(), shearBefore);
    for (int L = 0; L <= 14; ++L) EXPECT_EQ(U(L), 2.0f * L) << L;
    EXPECT_NEAR(s.StormU(kModel, 0), stormBefore, 1e-5);
    EXPECT_EQ(s.WindEdited(kModel, 0), kFlagFalse);
    EXPECT_FALSE(panel->btnHodoReset->isEnabled());
}

// Each read-out replaces the one before, after a pointer move and after an
// hour change alike: the old text must not keep the new one out.
TEST_F(HodographPanelTest, EachReadOutIsDrawnWhole) {
    const RasterSurface& pic = picture->Surface();
    auto shows = [&](const std::string& text) {
        for (const DrawnText& drawn : pic.DrawnTexts())
            if (drawn.text == text) return pic.LeftOutTexts().empty();
        return false;
    };
    Hover(4.0, 8.0); // level 2, 1000 m up
    EXPECT_TRUE(shows("1.0 km"));
    Hover(6.0, 7.0); // level 3
    EXPECT_TRUE(shows("1.5 km"));
    EXPECT_FALSE(shows("1.0 km"));
    view.CurrentColumn = 1;
    panel->PlotHodograph();
    Hover(8.0, 6.0); // level 4 of the next hour
    EXPECT_TRUE(shows("2.0 km"));
}

TEST_F(HodographPanelTest, DragsStopAtTheLayerEnds) {
    // Level 0 has no level below it: levels 0..4 move.
    Drag(0.0, 10.0, 0.0, 15.0);
    EXPECT_NEAR(V(0), 15.0f, 1e-3);
    EXPECT_NEAR(V(4), 6.0f + 1.0f, 1e-3);
    EXPECT_EQ(V(5), 5.0f);
    panel->btnHodoReset_Click();
    // The top level (12, at (24, -2)) and the four below it; level 13 stays.
    Drag(24.0, -2.0, 24.0, 3.0);
    EXPECT_NEAR(V(12), 3.0f, 1e-3);
    EXPECT_NEAR(V(8), 2.0f + 1.0f, 1e-3);
    EXPECT_EQ(V(7), 3.0f);
    EXPECT_EQ(V(13), -3.0f);
}

TEST_F(HodographPanelTest, DragNearTheTopOfAFullProfile) {
    // 67 levels 300 m apart with a 30 km layer: the layer reaches level 67,
    // and the neighbours of level 66 go beyond the last level a file has.
    WriteLevels(67, 300.0f);
    session.hodograph->ClearAfterRead();
    session.history.HodoTopKm = 30.0f;
    panel->PlotHodograph();
    ASSERT_EQ(session.hodograph->HodoTopLevel(kModel, 0), 67);
    // Level 66 blows at (132, -56), off the picture: put it on it and drag.
    session.profile->WindU.Level(kModel, 0, 66) = 10.0f;
    session.profile->WindV.Level(kModel, 0, 66) = -15.0f;
    EXPECT_NO_THROW(Drag(10.0, -15.0, 10.0, -10.0));
    EXPECT_NEAR(V(66), -10.0f, 1e-3);
    EXPECT_NEAR(V(67), -57.0f + 4.0f, 1e-3);
    EXPECT_NEAR(V(62), -52.0f + 1.0f, 1e-3);
    EXPECT_EQ(V(61), -51.0f);
}

TEST_F(HodographPanelTest, StormMotionPlacedByHandStays) {
    ProfileArrays& s = *session.profile;
    Drag(s.WindU.Storm(kModel, 0), s.WindV.Storm(kModel, 0), 1.0, 2.0);
    EXPECT_NEAR(s.StormV(kModel, 0), 2.0f, 1e-3);
    EXPECT_NEAR(s.WindV.Storm(kModel, 0), 2.0f, 1e-3);
    EXPECT_NEAR(session.stormMotion->StormSpeed(kModel, 0), std::sqrt(5.0f), 1e-3);
    // No wind moved; the inflow is relative to the hand-placed motion.
    EXPECT_EQ(U(3), 6.0f);
    EXPECT_NEAR(session.hodograph->SRWindV(kModel, 0, 0), 8.0f, 1e-3);
}

TEST_F(HodographPanelTest, PickingByDistance) {
    ProfileArrays& s = *session.profile;
    // The storm motion at (0, 8) and level 0 at (0, 10) are 1 m/s from
    // (0, 9): the lower one, the storm motion, is picked.
    s.WindU.Storm(kModel, 0) = 0.0f;
    s.WindV.Storm(kModel, 0) = 8.0f;
    Hover(0.0, 9.0);
    EXPECT_EQ(panel->view().HodoPick, HodographView::kStormPick);
    // 3 m/s or more from every point: nothing.
    Hover(-10.0, -10.0);
    EXPECT_EQ(panel->view().HodoPick, HodographView::kNoPick);
    // A press with nothing picked only passes the topic word.
    Mouse(QEvent::MouseButtonPress, -10.0, -10.0, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, -10.0, -10.0, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(words.size(), 1u);
    EXPECT_EQ(s.WindEdited(kModel, 0), kFlagFalse);
    EXPECT_EQ(soundingRedraws, 0);
}

TEST_F(HodographPanelTest, BoundaryWithTheRightButtonAndToggle) {
    Mouse(QEvent::MouseButtonPress, 3.0, 4.0, Qt::RightButton, Qt::RightButton);
    const HodographView& v = panel->view();
    EXPECT_NEAR(v.BoundaryU(kModel, 0), 3.0f, 1e-3);
    EXPECT_NEAR(v.BoundaryV(kModel, 0), 4.0f, 1e-3);
    EXPECT_EQ(v.BoundaryShown(kModel, 0), kFlagTrue);
    EXPECT_EQ(session.profile->WindEdited(kModel, 0), kFlagTrue);
    EXPECT_EQ(Text(panel->lblInflow), "Boundary Relative Inflow");
    // A click on an inflow label hides it; the boundary stays stored.
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel->lblSRInflowLow, &click);
    EXPECT_EQ(Text(panel->lblInflow), "Storm Rel Inflow");
    EXPECT_NEAR(v.BoundaryU(kModel, 0), 3.0f, 1e-3);
    // A read forgets boundaries.
    panel->btnHodoToggle->click();
    EXPECT_EQ(v.BoundaryShown(kModel, 0), kFlagTrue);
    panel->AfterRead();
    EXPECT_EQ(v.BoundaryShown(kModel, 0), kFlagFalse);
}

TEST_F(HodographPanelTest, ZoomChangesTheRangeByTheFactorWithinBounds) {
    panel->btnHodoZoom->click();
    EXPECT_NEAR(panel->view().HodoRange, 26.0f / 1.2f, 1e-5);
    EXPECT_NEAR(picture->Surface().ScaleWidth(), 2.0 * 26.0 / 1.2, 1e-4);
    EXPECT_NEAR(picture->Surface().ScaleHeight(), -2.0 * 26.0 / 1.2, 1e-4);
    EXPECT_NEAR(picture->Surface().ScaleLeft(), -26.0 / 1.2, 1e-4);
    EXPECT_EQ(helpFocus, 1);
    panel->btnHodoUnzoom->click();
    EXPECT_NEAR(panel->view().HodoRange, 26.0f, 1e-4);

    for (int k = 0; k < 60; ++k) panel->btnHodoZoom_Click();
    EXPECT_GE(panel->view().HodoRange, HodographView::kMinRange);
    EXPECT_LT(panel->view().HodoRange, HodographView::kMinRange * 1.2f);
    for (int k = 0; k < 60; ++k) panel->btnHodoUnzoom_Click();
    EXPECT_LE(panel->view().HodoRange, HodographView::kMaxRange);
    EXPECT_GT(panel->view().HodoRange, HodographView::kMaxRange / 1.2f);
}

TEST_F(HodographPanelTest, LayerButtonsChangeEveryHourOrNone) {
    HodographResults& hodo = *session.hodograph;
    EXPECT_TRUE(HodographPanel::IsHighlighted(panel->btnHodoHeight[6]));
    panel->btnHodoHeight[3]->click();
    EXPECT_EQ(session.history.HodoTopKm, 3.0f);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 6);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 1), 6);
    EXPECT_TRUE(HodographPanel::IsHighlighted(panel->btnHodoHeight[3]));
    EXPECT_FALSE(HodographPanel::IsHighlighted(panel->btnHodoHeight[6]));
    EXPECT_EQ(soundingRedraws, 1);
    EXPECT_EQ(helpFocus, 1);

    // A base of 1 km (level 2) everywhere.
    panel->btnHodoBase_Click(1);
    EXPECT_EQ(hodo.HodoBaseLevel(kModel, 1), 2);
    EXPECT_TRUE(HodographPanel::IsHighlighted(panel->btnHodoBase[1]));

    // At hour 1 the base lies at level 8: a 2 km top (level 4) fails there,
    // and so nothing changes at hour 0 either.
    hodo.HodoBaseLevel(kModel, 1) = 8;
    hodo.HodoDone(kModel, 0) = kFlagTrue;
    panel->btnHodoHeight_Click(2);
    EXPECT_EQ(session.history.HodoTopKm, 3.0f);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 0), 6);
    EXPECT_EQ(hodo.HodoDone(kModel, 0), kFlagTrue);
    EXPECT_TRUE(HodographPanel::IsHighlighted(panel->btnHodoHeight[3]));
    EXPECT_FALSE(HodographPanel::IsHighlighted(panel->btnHodoHeight[2]));
    EXPECT_EQ(soundingRedraws, 2);

    // Held back while the window changes its data.
    view.SuspendRedraw = true;
    panel->btnHodoHeight_Click(5);
    EXPECT_EQ(session.history.HodoTopKm, 3.0f);
    view.SuspendRedraw = false;

    // Sliding over the buttons with the left button held chooses at once,
    // but not the height already chosen.
    QMouseEvent slide(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(panel->btnHodoHeight[3], &slide);
    EXPECT_EQ(soundingRedraws, 2);
    hodo.HodoBaseLevel(kModel, 1) = 2;
    QApplication::sendEvent(panel->btnHodoHeight[5], &slide);
    EXPECT_EQ(session.history.HodoTopKm, 5.0f);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 1), 10);

    // After a read the stored layer, to the nearest whole km, is applied.
    hodo.ClearAfterRead();
    session.history.HodoTopKm = 2.6f;
    panel->AfterRead();
    EXPECT_EQ(session.history.HodoTopKm, 3.0f);
    EXPECT_EQ(hodo.HodoTopLevel(kModel, 1), 6);
    EXPECT_EQ(hodo.HodoBaseLevel(kModel, 1), 2);
    EXPECT_TRUE(HodographPanel::IsHighlighted(panel->btnHodoHeight[3]));
    EXPECT_EQ(Text(panel->lblSRInflowHigh).substr(0, 14), "         3 km ");
}

// A generated sample run read from a file, with a boundary placed and a level
// under the mouse, saved for a reviewer.
TEST_F(HodographPanelTest, RendersASampleHourForAReviewer) {
    session.models.ModelCodes = {"eta"};
    samples::SampleSpec spec;
    spec.times = 12;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvex-hodograph-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
    std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
    ASSERT_TRUE(ReadSounding(session, path.string()).ok);
    std::filesystem::remove(path);
    view.CurrentColumn = 6;
    panel->AfterRead();
    const ProfileArrays& s = *session.profile;
    const int top = session.hodograph->HodoTopLevel(kModel, 6);
    EXPECT_GT(top, 0);
    Mouse(QEvent::MouseButtonPress, -8.0, 12.0, Qt::RightButton, Qt::RightButton);
    Hover(s.WindU.Level(kModel, 6, top), s.WindV.Level(kModel, 6, top));
    EXPECT_EQ(panel->view().HodoPick, top);

    const QImage& image = picture->Surface().Image();
    const std::filesystem::path out = std::filesystem::path(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(image.save(QString::fromStdString((out / "hodograph.png").string())));
    int yellow = 0;
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            yellow += image.pixel(x, y) == qRgb(255, 255, 0);
            white += image.pixel(x, y) == qRgb(255, 255, 255);
        }
    EXPECT_GT(yellow, 30); // the wind trace
    EXPECT_GT(white, 300); // the boundary across the picture and the readout
}

} // namespace
} // namespace tarvex
