#pragma once

#include "overview/fields/OverviewState.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvex {

class FrmProfile;
class OverviewLegends;
class PictureBox;
struct Session;

// The grid selector an overlay box turns on (None: the box only redraws).
enum class OverviewGrid { None, Height, LakeIndex, Left, Precip, Temp, Wind };

// An overlay check box: its name, caption, control panel, help word (none
// when empty), grid selector, the option it sets and the index-scale label
// factor it stores (0: none).
struct OverlayBoxSpec {
    const char* name;
    const char* caption;
    int panel;
    const char* word;
    OverviewGrid grid;
    bool OverviewOptions::*value;
    std::int16_t factor = 0;
};

// The overview window: the whole run as a time-height picture (picRH) with
// its side scales and time strip, and the overlay check boxes on eight
// control panels. It keeps no sounding data of its own; it draws the
// session's store through the redraw hub.
class FrmOverView : public QWidget {
  public:
    static constexpr int kControlPanels = 8;

    FrmOverView(Session& session, FrmProfile& main, QWidget* parent = nullptr);
    ~FrmOverView() override;

    // The window's start-up: placement, the start values of the axes and
    // ranges, the copies from the main window, and the first hours button,
    // which draws.
    void Form_Load();
    // Log pressures of the current model's levels and the caption: the main
    // window's caption followed by " Overview".
    void SetOverviewCaption();
    void RedrawOverview();
    void DrawTimeAxis();
    void btnHours_Click(int Index);
    void btnControl_Click(int Index);
    void btnQuit_Click();
    void chkRH_Click(int Index);
    void chkGrid_Click(OverviewGrid grid);
    void chkCI_Click(int Index);
    void chksWSYMb_Click();
    void OverlayBox_Click(const OverlayBoxSpec& spec);

    static const std::vector<OverlayBoxSpec>& OverlayBoxes();
    QCheckBox* Box(const std::string& name) const;
    QCheckBox* GridBox(OverviewGrid grid) const;

    OverviewOptions options;
    OverviewAxes axes;
    bool RedrawSuspended = false;
    bool InternalUpdate = false;
    std::int16_t ContourIntervalIndex = 2;
    std::int16_t PTypeSummaryMarker = -999;
    // Runs after every redraw that drew (tests count them).
    std::function<void()> afterRedraw;

    PictureBox* picRH = nullptr;
    PictureBox* picLeft = nullptr;
    PictureBox* picRight = nullptr;
    PictureBox* picTime = nullptr;
    std::array<QPushButton*, kControlPanels> btnControl{};
    std::array<QFrame*, kControlPanels> pnlControl{};
    std::array<QPushButton*, 4> btnHours{};
    QPushButton* btnQuit = nullptr;
    std::array<QCheckBox*, 2> chkRH{};
    std::array<QRadioButton*, 4> chkCI{};
    std::array<QRadioButton*, 4> optSum{};
    QCheckBox* chkSynch = nullptr;
    QLabel* lblLakeTemp = nullptr;
    QLabel* lblPTElevation = nullptr;
    // The legend labels and readouts.
    std::unique_ptr<OverviewLegends> legends;

  private:
    void BuildControls();
    QWidget* BuildPictures();
    QWidget* BuildPanels();
    void PlaceWindow();
    void GridStep(OverviewGrid grid, bool on);
    void OverlayExtras(const OverlayBoxSpec& spec, bool on);
    void SumRule(bool on, int k);
    void SetIndexRange(float base, float span, bool onlyFromStart);
    void FoldTraceScale(bool fold);
    void ShowPTElevation();

    Session& session_;
    FrmProfile& main_;
    std::vector<QCheckBox*> boxes_; // in the order of OverlayBoxes()
    std::array<QCheckBox*, 7> gridBoxes_{};
    bool loaded_ = false; // start-up has set the axes
};

} // namespace tarvex
