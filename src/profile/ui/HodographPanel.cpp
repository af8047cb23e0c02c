#include "profile/ui/HodographPanel.h"

#include "compute/Hodograph.h"
#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/StormMotion.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/BlankPanel.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvex {

namespace {

constexpr const char* kHighlightStyle = "background-color: rgb(255, 255, 0);";

// A button of the layer arrays: a move with the left button held reports the
// button's index, so that sliding over the buttons chooses at once.
class HodoLayerButton : public KeptLookPushButton {
  public:
    HodoLayerButton(int index, QWidget* parent, std::function<void(int)> leftDrag)
        : KeptLookPushButton(QString::number(index), parent), index_(index),
          leftDrag_(std::move(leftDrag)) {}

  protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QPushButton::mouseMoveEvent(event);
        if (event->buttons() & Qt::LeftButton) leftDrag_(index_);
    }

  private:
    int index_;
    std::function<void(int)> leftDrag_;
};

// A button already in the state asked for keeps its style: a new style
// sheet polishes the button again.
void SetHighlight(QPushButton* button, bool on) {
    if (button && HodographPanel::IsHighlighted(button) != on)
        button->setStyleSheet(on ? kHighlightStyle : "");
}

int WholeKm(float km) {
    return ClampToInt<int>(RoundHalfEven(km));
}

} // namespace

HodographPanel::HodographPanel(Session& session, SoundingView& soundingView,
                               PictureBox* frameHodograph, QFrame* pnlHodograph,
                               Callbacks callbacks)
    : session_(session), soundingView_(soundingView), picHodograph_(frameHodograph),
      callbacks_(std::move(callbacks)) {
    // A window that leaves a callback out gets one that does nothing.
    if (!callbacks_.drawSounding) callbacks_.drawSounding = [] {};
    if (!callbacks_.runControlCommand) callbacks_.runControlCommand = [](const std::string&) {};
    if (!callbacks_.focusHelp) callbacks_.focusHelp = [] {};
    BuildControls(pnlHodograph);
    // Wind colours are chosen for a dark picture.
    picHodograph_->Surface().SetBackColor(RGB(0, 0, 0));
    ApplyScale();
    picHodograph_->Surface().Clear();
    picHodograph_->SetMouseDownHandler(
        [this](int b, int s, double x, double y) { picHodograph_MouseDown(b, s, x, y); });
    picHodograph_->SetMouseMoveHandler(
        [this](int b, int s, double x, double y) { picHodograph_MouseMove(b, s, x, y); });
    picHodograph_->SetMouseUpHandler(
        [this](int b, int s, double x, double y) { picHodograph_MouseUp(b, s, x, y); });
    // A resized picture is drawn again at once, shown or not, so that the
    // drawing and the mouse always match the size on the screen.
    picHodograph_->SetResizeHandler([this] {
        if (!soundingView_.SuspendRedraw) PlotHodograph();
    });
}

void HodographPanel::BuildControls(QFrame* pnlHodograph) {
    auto* layout = qobject_cast<QVBoxLayout*>(pnlHodograph->layout());
    if (!layout) layout = new QVBoxLayout(pnlHodograph);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    auto addButtonRow = [&](const char* title, Layer layer, int first, int last, auto& buttons) {
        layout->addWidget(new KeptLookLabel(title, pnlHodograph));
        auto* row = new QHBoxLayout();
        row->setSpacing(1);
        for (int k = first; k <= last; ++k) {
            auto* button = new HodoLayerButton(k, pnlHodograph, [this, layer](int index) {
                const float current =
                    layer == Layer::Top ? session_.history.HodoTopKm : session_.history.HodoBaseKm;
                if (index != WholeKm(current)) ChangeLayer(layer, index);
            });
            button->setObjectName(
                QString(layer == Layer::Top ? "btnHodoHeight_%1" : "btnHodoBase_%1").arg(k));
            button->setFixedWidth(22);
            QObject::connect(button, &QPushButton::clicked, button,
                             [this, layer, k] { ChangeLayer(layer, k); });
            buttons[static_cast<std::size_t>(k)] = button;
            row->addWidget(button);
        }
        row->addStretch(1);
        layout->addLayout(row);
    };
    addButtonRow("Top (km)", Layer::Top, kLowestTopKm, kHighestTopKm, btnHodoHeight);
    addButtonRow("Base (km)", Layer::Base, 0, kHighestBaseKm, btnHodoBase);

    auto newButton = [&](const char* caption, const char* name, void (HodographPanel::*handler)()) {
        auto* button = new KeptLookPushButton(caption, pnlHodograph);
        button->setObjectName(name);
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, handler] { (this->*handler)(); });
        return button;
    };
    btnHodoReset = newButton("Reset", "btnHodoReset", &HodographPanel::btnHodoReset_Click);
    btnHodoReset->setEnabled(false);
    btnHodoToggle = newButton("Boundary", "btnHodoToggle", &HodographPanel::btnHodoToggle_Click);
    btnHodoZoom = newButton("Zoom In", "btnHodoZoom", &HodographPanel::btnHodoZoom_Click);
    btnHodoUnzoom = newButton("Zoom Out", "btnHodoUnzoom", &HodographPanel::btnHodoUnzoom_Click);
    auto* buttons = new QGridLayout();
    buttons->addWidget(btnHodoReset, 0, 0);
    buttons->addWidget(btnHodoToggle, 0, 1);
    buttons->addWidget(btnHodoZoom, 1, 0);
    buttons->addWidget(btnHodoUnzoom, 1, 1);
    layout->addLayout(buttons);

    auto newLabel = [&](auto* label, const char* name) {
        label->setObjectName(name);
        layout->addWidget(label);
        return label;
    };
    lblStormMotion = newLabel(new KeptLookLabel(pnlHodograph), "lblStormMotion");
    lblMean = newLabel(new KeptLookLabel(pnlHodograph), "lblMean");
    lblInflow = newLabel(new ClickableLabel(pnlHodograph), "lblInflow");
    lblSRInflowHigh = newLabel(new ClickableLabel(pnlHodograph), "lblSRInflowHigh");
    lblSRInflowLow = newLabel(new ClickableLabel(pnlHodograph), "lblSRInflowLow");
    for (ClickableLabel* label : {lblInflow, lblSRInflowHigh, lblSRInflowLow})
        label->SetClickHandler([this] { btnHodoToggle_Click(); });
}

bool HodographPanel::IsHighlighted(const QPushButton* button) {
    return button && button->styleSheet() == kHighlightStyle;
}

QPushButton* HodographPanel::LayerButton(Layer layer, int Index) const {
    if (layer == Layer::Top)
        return Index >= 0 && Index <= kHighestTopKm ? btnHodoHeight[static_cast<std::size_t>(Index)]
                                                    : nullptr;
    return Index >= 0 && Index <= kHighestBaseKm ? btnHodoBase[static_cast<std::size_t>(Index)]
                                                 : nullptr;
}

void HodographPanel::PlotHodograph() {
    // A hidden hodograph (another display is shown) is drawn, with its
    // labels, when it is shown or its picture is read.
    if (picHodograph_->DrawWhenSeen([this] { PlotHodograph(); })) return;
    if (!SoundingLoaded(*session_.profile)) {
        PictureSurface& pic = picHodograph_->Surface();
        BlankPanel(pic, pic.BackColor());
        for (QLabel* label : std::initializer_list<QLabel*>{
                 lblInflow, lblSRInflowHigh, lblSRInflowLow, lblStormMotion, lblMean})
            label->clear();
        return;
    }
    const HodographCaptions captions = tarvex::PlotHodograph(picHodograph_->Surface(), session_,
                                                             view_, soundingView_.CurrentColumn);
    lblInflow->setText(QString::fromStdString(captions.lblInflow));
    lblSRInflowHigh->setText(QString::fromStdString(captions.lblSRInflowHigh));
    lblSRInflowLow->setText(QString::fromStdString(captions.lblSRInflowLow));
    lblStormMotion->setText(QString::fromStdString(captions.lblStormMotion));
    lblMean->setText(QString::fromStdString(captions.lblMean));
    btnHodoReset->setEnabled(captions.ResetEnabled);
}

void HodographPanel::AfterRead() {
    view_.ClearAfterRead();
    const int top = WholeKm(session_.history.HodoTopKm);
    const int base = WholeKm(session_.history.HodoBaseKm);
    holdPlots_ = true;
    heldPlot_ = false;
    btnHodoHeight_Click(top);
    btnHodoBase_Click(base);
    PressHeightButton(top);
    PressBaseButton(base);
    holdPlots_ = false;
    if (!heldPlot_) return;
    PlotHodograph();
    callbacks_.drawSounding();
}

void HodographPanel::btnHodoHeight_Click(int Index) {
    ChangeLayer(Layer::Top, Index);
}

void HodographPanel::btnHodoBase_Click(int Index) {
    ChangeLayer(Layer::Base, Index);
}

void HodographPanel::PressHeightButton(int Index) {
    if (LayerButton(Layer::Top, Index)) btnHodoHeight_Click(Index);
}

void HodographPanel::PressBaseButton(int Index) {
    if (LayerButton(Layer::Base, Index)) btnHodoBase_Click(Index);
}

void HodographPanel::ChangeLayer(Layer layer, int Index) {
    if (soundingView_.SuspendRedraw) return;
    if (!MoveLayer(layer, Index)) return;
    callbacks_.focusHelp();
    if (holdPlots_) {
        heldPlot_ = true;
        return;
    }
    PlotHodograph();
    callbacks_.drawSounding();
}

bool HodographPanel::SetLayers(int topKm, int baseKm) {
    if (!LayerButton(Layer::Top, topKm) || !LayerButton(Layer::Base, baseKm)) return false;
    const ProfileArrays& s = *session_.profile;
    const int last = std::clamp<int>(s.LastTime(s.CurrentModel), 0, kLastTimeColumn);
    const auto top = LevelsOf(topKm);
    const auto base = LevelsOf(baseKm);
    for (int t = 0; t <= last; ++t) {
        const auto k = static_cast<std::size_t>(t);
        if (top[k] <= base[k]) return false;
    }
    PlaceLayer(Layer::Top, topKm, top);
    PlaceLayer(Layer::Base, baseKm, base);
    return true;
}

std::array<std::int16_t, kTimeColumns> HodographPanel::LevelsOf(int km) const {
    const ProfileArrays& s = *session_.profile;
    const int last = std::clamp<int>(s.LastTime(s.CurrentModel), 0, kLastTimeColumn);
    std::array<std::int16_t, kTimeColumns> levels{};
    for (int t = 0; t <= last; ++t)
        levels[static_cast<std::size_t>(t)] =
            FindHeightLevel(s, static_cast<std::int16_t>(t), static_cast<float>(km));
    return levels;
}

bool HodographPanel::MoveLayer(Layer layer, int Index) {
    const ProfileArrays& s = *session_.profile;
    const HodographResults& hodo = *session_.hodograph;
    const int m = s.CurrentModel;
    const int last = std::clamp<int>(s.LastTime(m), 0, kLastTimeColumn);
    const bool top = layer == Layer::Top;

    // Every hour is checked before anything changes: a top that is not above
    // the base (or a base not below the top) at any hour leaves the layer as
    // it was.
    const auto levels = LevelsOf(Index);
    for (int t = 0; t <= last; ++t) {
        const std::int16_t L = levels[static_cast<std::size_t>(t)];
        const bool fits = top ? L > hodo.HodoBaseLevel(m, t) : L < hodo.HodoTopLevel(m, t);
        if (!fits) return false;
    }
    PlaceLayer(layer, Index, levels);
    return true;
}

void HodographPanel::PlaceLayer(Layer layer, int km,
                                const std::array<std::int16_t, kTimeColumns>& levels) {
    const ProfileArrays& s = *session_.profile;
    HodographResults& hodo = *session_.hodograph;
    const int m = s.CurrentModel;
    const int last = std::clamp<int>(s.LastTime(m), 0, kLastTimeColumn);
    const bool top = layer == Layer::Top;
    float& kept = top ? session_.history.HodoTopKm : session_.history.HodoBaseKm;
    if (WholeKm(kept) != km) SetHighlight(LayerButton(layer, WholeKm(kept)), false);
    kept = static_cast<float>(km);
    TimeGrid<std::int16_t>& chosen = top ? hodo.HodoTopLevel : hodo.HodoBaseLevel;
    for (int t = 0; t <= last; ++t) {
        hodo.HodoDone(m, t) = kFlagFalse;
        chosen(m, t) = levels[static_cast<std::size_t>(t)];
    }
    SetHighlight(LayerButton(layer, km), true);
}

void HodographPanel::btnHodoReset_Click() {
    ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = soundingView_.CurrentColumn;
    const int n = std::clamp<int>(s.LevelCount(m), 0, kMaxProfileLevels);
    for (int L = 0; L <= n; ++L) {
        s.WindU.Level(m, t, L) = s.WindUOriginal.Level(m, t, L);
        s.WindV.Level(m, t, L) = s.WindVOriginal.Level(m, t, L);
    }
    session_.hodograph->HodoDone(m, t) = kFlagFalse;
    session_.winds->ShearDone(m, t) = kFlagFalse;
    MakeStormMotion(s, t, *session_.stormMotion);
    s.WindEdited(m, t) = kFlagFalse;
    view_.BoundaryShown(m, t) = kFlagFalse;
    PlotHodograph();
}

void HodographPanel::btnHodoToggle_Click() {
    const int m = session_.profile->CurrentModel;
    std::int16_t& shown = view_.BoundaryShown(m, soundingView_.CurrentColumn);
    shown = shown != kFlagFalse ? kFlagFalse : kFlagTrue;
    PlotHodograph();
}

void HodographPanel::btnHodoZoom_Click() {
    Zoom(view_.HodoRange / HodographView::kZoomFactor);
}

void HodographPanel::btnHodoUnzoom_Click() {
    Zoom(view_.HodoRange * HodographView::kZoomFactor);
}

void HodographPanel::Zoom(float newRange) {
    callbacks_.focusHelp();
    // Beyond its bounds the range stays: the rings and labels would crowd or
    // vanish, and a range without bound would make endless rings.
    if (newRange >= HodographView::kMinRange && newRange <= HodographView::kMaxRange)
        view_.HodoRange = newRange;
    ApplyScale();
    PlotHodograph();
}

void HodographPanel::ApplyScale() {
    const double R = view_.HodoRange;
    picHodograph_->Surface().Scale(-R, R, R, -R);
}

void HodographPanel::picHodograph_MouseDown(int Button, int, double X, double Y) {
    callbacks_.runControlCommand("Hodograph");
    if (Button == 2) {
        PlaceBoundary(X, Y);
    } else if (Button == 1) {
        MovePicked(X, Y, true);
    }
}

void HodographPanel::picHodograph_MouseMove(int Button, int, double X, double Y) {
    if (Button == 0) {
        Pick(X, Y);
    } else if (Button == 1) {
        MovePicked(X, Y, false);
    } else if (Button == 2) {
        PlaceBoundary(X, Y);
    }
}

void HodographPanel::picHodograph_MouseUp(int Button, int, double, double) {
    // The sounding shows the edited winds once the drag is over.
    if (Button == 1 && windsMoved_) callbacks_.drawSounding();
    if (Button == 1) windsMoved_ = false;
    dragLevel_ = HodographView::kNoPick;
}

void HodographPanel::Pick(double X, double Y) {
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = soundingView_.CurrentColumn;
    const int top = session_.hodograph->HodoTopLevel(m, t);
    double best = 99999.0;
    int bestLevel = HodographView::kNoPick;
    for (int L = HodographView::kStormPick; L <= top; ++L) {
        const double u = L < 0 ? s.WindU.Storm(m, t) : s.WindU.Level(m, t, L);
        const double v = L < 0 ? s.WindV.Storm(m, t) : s.WindV.Level(m, t, L);
        const double d = std::sqrt((v - Y) * (v - Y) + (u - X) * (u - X));
        if (d < best) {
            best = d;
            bestLevel = L;
        }
    }
    if (best < 3.0) {
        if (bestLevel == view_.HodoPick) return;
        view_.HodoPick = static_cast<std::int16_t>(bestLevel);
        PlotHodograph();
        PictureSurface& pic = picHodograph_->Surface();
        if (bestLevel == HodographView::kStormPick) {
            PrintPointReadout(pic, view_.HodoRange, "Storm", "Motion", s.WindU.Storm(m, t),
                              s.WindV.Storm(m, t));
        } else {
            PrintLevelReadout(pic, s, view_.HodoRange, t, bestLevel, s.WindU.Level(m, t, bestLevel),
                              s.WindV.Level(m, t, bestLevel));
        }
    } else if (view_.HodoPick >= HodographView::kStormPick) {
        PlotHodograph();
        view_.HodoPick = HodographView::kNoPick;
    }
}

void HodographPanel::MovePicked(double X, double Y, bool press) {
    const std::int16_t pick = view_.HodoPick;
    if (pick < HodographView::kStormPick) return;
    ProfileArrays& s = *session_.profile;
    HodographResults& hodo = *session_.hodograph;
    const int m = s.CurrentModel;
    const std::int16_t t = soundingView_.CurrentColumn;
    const auto x = static_cast<float>(X);
    const auto y = static_cast<float>(Y);

    if (pick == HodographView::kStormPick) {
        // The forecaster's storm motion stays until a reset or a level drag.
        s.StormU(m, t) = x;
        s.StormV(m, t) = y;
        s.WindU.Storm(m, t) = x;
        s.WindV.Storm(m, t) = y;
        session_.stormMotion->StormDir(m, t) = DirectionFromUV(x, y);
        session_.stormMotion->StormSpeed(m, t) = std::sqrt(x * x + y * y);
    } else {
        // The picked level lands on the cursor; the four levels on either
        // side follow by 0.8, 0.6, 0.4 and 0.2 of its displacement, all from
        // the winds they had when the button went down.
        constexpr int kReach = 4;
        if (press || dragLevel_ != pick) {
            for (int k = -kReach; k <= kReach; ++k) {
                const int L = pick + k;
                if (L < 0 || L > kMaxProfileLevels) continue;
                view_.DragBaseU[static_cast<std::size_t>(L)] = s.WindU.Level(m, t, L);
                view_.DragBaseV[static_cast<std::size_t>(L)] = s.WindV.Level(m, t, L);
            }
            dragLevel_ = pick;
        }
        const int top = hodo.HodoTopLevel(m, t);
        const float du = x - view_.DragBaseU[static_cast<std::size_t>(pick)];
        const float dv = y - view_.DragBaseV[static_cast<std::size_t>(pick)];
        for (int k = -kReach; k <= kReach; ++k) {
            const int L = pick + k;
            if (L < 0 || L > top) continue;
            const float weight = 1.0f - static_cast<float>(std::abs(k)) / 5.0f;
            s.WindU.Level(m, t, L) = view_.DragBaseU[static_cast<std::size_t>(L)] + weight * du;
            s.WindV.Level(m, t, L) = view_.DragBaseV[static_cast<std::size_t>(L)] + weight * dv;
        }
    }
    s.WindEdited(m, t) = kFlagTrue;
    hodo.HodoDone(m, t) = kFlagFalse;
    // The hour's 0-4 km shear (storm-type panels) follows the moved winds.
    session_.winds->ShearDone(m, t) = kFlagFalse;
    // A moved level changes the storm motion, replacing a hand-placed one.
    if (pick != HodographView::kStormPick) MakeStormMotion(s, t, *session_.stormMotion);
    windsMoved_ = true;
    PlotHodograph();
    PictureSurface& pic = picHodograph_->Surface();
    if (pick == HodographView::kStormPick) {
        PrintPointReadout(pic, view_.HodoRange, "Storm", "Motion", X, Y);
    } else {
        PrintLevelReadout(pic, s, view_.HodoRange, t, pick, X, Y);
    }
}

void HodographPanel::PlaceBoundary(double X, double Y) {
    ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = soundingView_.CurrentColumn;
    view_.BoundaryU(m, t) = static_cast<float>(X);
    view_.BoundaryV(m, t) = static_cast<float>(Y);
    view_.BoundaryShown(m, t) = kFlagTrue;
    s.WindEdited(m, t) = kFlagTrue;
    PlotHodograph();
    PrintPointReadout(picHodograph_->Surface(), view_.HodoRange, "Boundary", "Motion", X, Y);
}

} // namespace tarvex
