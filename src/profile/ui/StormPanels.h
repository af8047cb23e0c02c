#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvex {

class ClickableLabel;
class DesktopService;
class PictureBox;
struct Session;
struct SoundingView;

// The storm panels of the main window: the storm-type diagram on picCape
// with its shear option beside it, the heavy-precipitation panel on picMBE,
// and the "KESTIR" control panel with the storm-matrix label, the reason
// sketch and the buttons of the matrix's training pages. The window hands it
// the surfaces and frames it owns; the panels add their own controls.
class StormPanels : public QObject {
  public:
    static constexpr int kPageButtons = 5; // btnLoop 0..4; 3 does not exist

    StormPanels(Session& session, SoundingView& view, DesktopService& desktop, PictureBox* picCape,
                PictureBox* picMBE, QFrame* pnlShear, QFrame* kestirPanel,
                std::function<void(const std::string&)> runControlCommand);
    ~StormPanels() override;

    // Redraws the storm-type diagram and the heavy-precipitation panel for
    // the hour shown.
    void PlotCapeShear();
    void PlotMBE();
    // Fills the "KESTIR" panel for the hour shown: the sketch cleared, then
    // the label and the sketch.
    void ShowKestir();
    // Makes the hour's matrix entry when it is not made yet, colours and
    // captions the label, then draws the sketch.
    void ColourMatrixLabels();
    // Click on the label: the topic word, then the sketch of the hour.
    void ShowTrainingMatrix();
    // Zooms: the left button narrows the axis, any other widens it.
    void picCape_MouseUp(int Button);
    void picMBE_MouseUp(int Button);
    // The shear definition: every hour's shear is measured afresh.
    void optCAPEShear_Click(int Index);
    // Opens the training page of the hour's matrix entry; asks whether to
    // fetch the training when the page cannot be opened.
    void btnLoop_Click(int Index);
    void Label32_Click();
    void picReason_Click();

    std::int16_t CapeAxisTop() const { return CapeAxisTop_; }
    float MbeScale() const { return MbeScale_; }

    // Controls, named as the program knows them.
    std::array<QRadioButton*, 2> optCAPEShear{};
    QLabel* lblMatrix = nullptr;
    ClickableLabel* Label32 = nullptr;
    PictureBox* picReason = nullptr;
    std::array<QPushButton*, kPageButtons> btnLoop{}; // element 3 stays empty

  private:
    struct Backgrounds;

    // The sketch of the hour shown on picReason.
    void DrawReason();

    Session& session_;
    SoundingView& view_;
    DesktopService& desktop_;
    PictureBox* picCape_;
    PictureBox* picMBE_;
    std::function<void(const std::string&)> runControlCommand_;
    std::int16_t CapeAxisTop_;
    float MbeScale_;
    std::unique_ptr<Backgrounds> backgrounds_;
};

// The text of the message that says the storm-matrix training page could not
// be opened, with the desktop's result code on its last line.
std::string MatrixPageFailureText(int result);

} // namespace tarvex
