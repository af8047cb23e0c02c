#pragma once

#include "profile/diagrams/HodographDiagram.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QFrame;
class QLabel;
class QPushButton;

namespace tarvex {

class ClickableLabel;
class PictureBox;
struct Session;
struct SoundingView;

// The main window's hodograph: the picture with its mouse editing (pick a
// point, drag a wind level or the storm motion, place a boundary with the
// right button) and the side panel's layer, reset, boundary and zoom buttons
// and wind labels.
class HodographPanel {
  public:
    // What the panel needs of the window: the sounding redraw, the help hook
    // with a control's topic word, and moving the focus to the Help button.
    struct Callbacks {
        std::function<void()> drawSounding;
        std::function<void(const std::string&)> runControlCommand;
        std::function<void()> focusHelp;
    };

    // The layer buttons: the index of a button is its height in whole km
    // above ground.
    static constexpr int kLowestTopKm = 1;
    static constexpr int kHighestTopKm = 8;
    static constexpr int kHighestBaseKm = 5;

    // Builds the buttons and labels inside pnlHodograph, gives frameHodograph
    // its scale and wires its mouse handlers.
    HodographPanel(Session& session, SoundingView& soundingView, PictureBox* frameHodograph,
                   QFrame* pnlHodograph, Callbacks callbacks);
    HodographPanel(const HodographPanel&) = delete;
    HodographPanel& operator=(const HodographPanel&) = delete;

    // Redraws the picture for the hour shown and captions the labels; a
    // picture its window does not show is drawn when it is shown or read.
    void PlotHodograph();
    // After a sounding file was read: forget the boundaries, apply the
    // stored layer top and base to the new sounding, then press both buttons.
    // The hodograph and the sounding are drawn once, after all four steps.
    void AfterRead();

    // Layer top and base in km; nothing happens while redraws are held back,
    // nor when the new top would not lie above the base (or the new base not
    // below the top) at some hour.
    void btnHodoHeight_Click(int Index);
    void btnHodoBase_Click(int Index);
    // Pressing a button of the arrays runs its click handler (buttons that do
    // not exist are not pressed).
    void PressHeightButton(int Index);
    void PressBaseButton(int Index);
    // Top and base together, as a recall sets them, without a redraw, for a
    // batch of changes that ends in one redraw: the pair is checked against
    // itself (the top above the base at every hour), not against the layer
    // shown. False when a button does not exist or the layer stays as it
    // was.
    bool SetLayers(int topKm, int baseKm);
    void btnHodoReset_Click();
    void btnHodoToggle_Click();
    void btnHodoZoom_Click();
    void btnHodoUnzoom_Click();

    // Mouse handlers of the picture, in its scale (m/s). Button: 1 left, 2
    // right, 4 middle; for a move the buttons held.
    void picHodograph_MouseDown(int Button, int Shift, double X, double Y);
    void picHodograph_MouseMove(int Button, int Shift, double X, double Y);
    void picHodograph_MouseUp(int Button, int Shift, double X, double Y);

    HodographView& view() { return view_; }
    const HodographView& view() const { return view_; }
    // The selected button of an array carries the yellow back colour.
    static bool IsHighlighted(const QPushButton* button);

    // Controls, named as the program knows them; slots of the arrays with no
    // button are null.
    std::array<QPushButton*, kHighestTopKm + 1> btnHodoHeight{};
    std::array<QPushButton*, kHighestBaseKm + 1> btnHodoBase{};
    QPushButton* btnHodoReset = nullptr;
    QPushButton* btnHodoToggle = nullptr;
    QPushButton* btnHodoZoom = nullptr;
    QPushButton* btnHodoUnzoom = nullptr;
    ClickableLabel* lblInflow = nullptr;
    ClickableLabel* lblSRInflowHigh = nullptr;
    ClickableLabel* lblSRInflowLow = nullptr;
    QLabel* lblStormMotion = nullptr;
    QLabel* lblMean = nullptr;

  private:
    // While set, a layer change moves the layer and leaves the drawing to
    // the end of AfterRead; heldPlot_ says one was left.
    bool holdPlots_ = false;
    bool heldPlot_ = false;
    enum class Layer { Top, Base };

    void BuildControls(QFrame* pnlHodograph);
    void ChangeLayer(Layer layer, int Index);
    bool MoveLayer(Layer layer, int Index);
    // The level of a height (km) at every hour of the run.
    std::array<std::int16_t, kTimeColumns> LevelsOf(int km) const;
    void PlaceLayer(Layer layer, int km, const std::array<std::int16_t, kTimeColumns>& levels);
    void Zoom(float newRange);
    void ApplyScale();
    void Pick(double X, double Y);
    void MovePicked(double X, double Y, bool press);
    void PlaceBoundary(double X, double Y);
    QPushButton* LayerButton(Layer layer, int Index) const;

    Session& session_;
    SoundingView& soundingView_;
    PictureBox* picHodograph_;
    Callbacks callbacks_;
    HodographView view_;
    // Level whose neighbourhood DragBaseU/V hold (kNoPick: none), and whether
    // the current drag moved winds (the sounding is redrawn on release).
    std::int16_t dragLevel_ = HodographView::kNoPick;
    bool windsMoved_ = false;
};

} // namespace tarvex
