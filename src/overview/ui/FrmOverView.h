#pragma once

#include "files/OverviewSettingsFile.h"
#include "overview/fields/Contouring.h"
#include "overview/fields/OverviewState.h"
#include "overview/ui/ControlStates.h"
#include "platform/RasterSurface.h"
#include "profile/diagrams/MapDiagram.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tarvex {

class FrmProfile;
class OverviewLegends;
class PictureBox;
class RangeScrollBar;
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
    // Sets the window back to how it stood when built: every control and
    // form value, its size and normal state, and nothing kept of the file
    // drawn (contours, map, floating panels), so that the start-up that follows starts it for
    // the file now read as it would a window built afresh.
    void ReturnToBuiltState();
    // The window started again for the file now read, with the display
    // settings kept: set back to how it was built, started by `start` as a
    // new window is (the main window's opening of it), and given the
    // settings as a recall gives them, which draws. Each companion panel is
    // shown or hidden once, for the settings, and the time axis drawn once.
    void StartAgain(const OverviewSettings& kept, const std::function<void()>& start);
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

    // The selected hour (FrmOverViewHour.cpp): shows the panel chosen with
    // optOverlay for the hour beside its column, draws it, and moves the
    // main window to the hour when chkSynch is on.
    void ShowHourProfile(std::int16_t hour);
    void picRH_MouseDown(int Button, int Shift, double X, double Y);
    void picRH_MouseMove(int Button, int Shift, double X, double Y);
    void picRH_MouseUp(int Button, int Shift, double X, double Y);
    void picSide_MouseDown(bool left, int Button, double X);
    void picSide_MouseUp(bool left, int Button, double Y);
    // The floating panel of optOverlay's index (0..3), else none.
    PictureBox* HourPanelBox(int index) const;

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
    // Legend of the sigma-level winds on the wind panel.
    PictureBox* picWindScale = nullptr;
    void DrawWindScale();
    // The floating selected-hour panels.
    PictureBox* picMap = nullptr;
    PictureBox* picHodograph = nullptr;
    PictureBox* picProfile = nullptr;
    PictureBox* picCape = nullptr;
    // The hour shown last and what the last press on a picture started.
    std::int16_t SelectedHour = 0;
    std::int16_t MouseAction = 0;
    std::int16_t SumStartColumn = 0;
    QLabel* lblLakeTemp = nullptr;
    QLabel* lblPTElevation = nullptr;
    // The logo: a click arms or disarms the help mode, as on the main
    // window.
    QLabel* picLogo = nullptr;
    // Companion panels, each shown only while its overlay is on (the room
    // they take stays, so the window keeps its size): the wind-profile
    // interval buttons and colour legend, the sigma wind-scale legend, the
    // mean-wind layer bars, the parcel-height and CAPE-depth colour rows, the
    // run's precipitation types, and the colour legends of the EL CIN boxes,
    // the hail strip, the Davis index and the Haines index (with its
    // variant row).
    QWidget* pnlVWPOptions = nullptr;
    QWidget* pnlVWP = nullptr;
    QWidget* pnlWind = nullptr;
    QWidget* pnlMeanWind = nullptr;
    QWidget* frameHeights = nullptr;
    QWidget* frameCAPE = nullptr;
    QWidget* framePrecip = nullptr;
    QWidget* frameELCIN = nullptr;
    QWidget* pnlHail = nullptr;
    QWidget* pnlDavisIndex = nullptr;
    QWidget* pnlHainesIndex = nullptr;
    // Shows every companion panel whose overlay is on and hides the others
    // (hidden ones first); nothing while a recall sets the controls, which
    // shows them when done.
    void ShowCompanionPanels();
    // Each companion panel with whether the options show it.
    static constexpr std::size_t kCompanionPanels = 16;
    std::array<std::pair<QWidget*, bool>, kCompanionPanels> CompanionRules() const;
    // The legend labels and readouts.
    std::unique_ptr<OverviewLegends> legends;

    // --- Buttons, settings slots, option buttons and bars (FrmOverViewButtons.cpp,
    // FrmOverViewSettings.cpp, FrmOverViewOptions.cpp) ---
    // The colour of the system button face: a colour toggle that shows it is
    // off.
    static constexpr std::int32_t kButtonFace = OverviewOptions::kButtonFaceColour;

    void btnPHK_Click(int Index);
    void btnPressureBase_Click();
    void btnHeights_Click(int Index);
    void btnCAPEkm_Click(int Index);
    void btnHaines_Click(int Index);
    void btnMixingLayer_Click(int Index);
    void btnXferO_Click(int Index);
    void btnVWPInterval_Click();
    void btnVWPIntervalA_Click();
    void btnClouds_Click();
    void btnOmegaFiltered_Click();
    void btnReset_Click();
    // Prints an image of the window: on the default printer, else into a PDF
    // file the user names.
    void ptnPrint_Click();
    // The settings slots: 0..3 from the "A" to "D" buttons, 9 around a reload.
    void btnSave_Click(int Index);
    void btnRecall_Click(int Index);
    // The copy in slot 9 of the settings text kept across a reload, written
    // on a thread of its own while the window is set up and drawn for the new
    // file; the reload waits for it to be in place before it returns and
    // reports its outcome with ReportSave (FinishReloadSave). The flush of
    // the slot's folder that follows runs on (see reloadCopyFlush_).
    std::future<TextFileResult> StartReloadSave(std::string text);
    void FinishReloadSave(std::future<TextFileResult> copy);
    // Tells the user when a slot's file could not be written.
    void ReportSave(int Index, const TextFileResult& written);
    OverviewSettings CollectOverviewSettings() const;
    // Sets every control read from a slot through its own handler, with the
    // redraw and the help words held back, and redraws once at the end.
    // After a reload (slot 9) the surface-pressure scale centres on the new
    // file.
    void ApplyOverviewSettings(const OverviewSettings& read, bool reload = false);
    // The main window's "Bourgouin PType" box takes this window's state.
    void MirrorBourgouin();
    void optSnowTechnique_Click(int Index);
    void hsbRatio_Change();
    void optLayerShear_Click();
    void OptWindColor_Click(int Index);
    void optSum_Click(int Index);
    // The running precipitation sum from SumStartColumn to the column under
    // the pointer (X, Y in picRH's scale), while the right button is held.
    void ShowPrecipTotal(double X, double Y);
    void optOverlay_Click(int Index);
    void hsbHours_Change();
    void vsbSigmaLevel_Change();
    void vbsElevatedPT_Change();
    void vsbMeanWind_Change(int Index);
    // The precipitation types of the run and the labels that show them.
    void ShowPTypeSummary();
    // Passes a control's help word to the main window, unless code (a
    // recall) is setting the control.
    void HelpWord(const char* word);
    // Where failures are reported (a message box unless replaced), and the
    // PDF file chosen when there is no printer.
    void SetMessageHandler(std::function<void(const std::string&)> handler) {
        showMessage_ = std::move(handler);
        messagesHandled_ = true;
    }
    // The handler given with SetMessageHandler, else none (the window's own
    // message box): the window rebuilt for a new file takes it over.
    std::function<void(const std::string&)> GivenMessageHandler() const {
        return messagesHandled_ ? showMessage_ : nullptr;
    }
    void SetPdfDialog(std::function<std::string()> dialog) { choosePdf_ = std::move(dialog); }

    std::int16_t ControlPanelIndex = 0;
    std::int16_t SumFieldIndex = 0;
    float HelicityTop = 3.0f;
    float HelicityBottom = 0.0f;
    std::array<QPushButton*, 3> btnPHK{};
    QPushButton* btnPressureBase = nullptr;
    std::array<QPushButton*, 4> btnHeights{}; // 1..3
    std::array<QPushButton*, 7> btnCAPEkm{};  // 0, 3..6
    std::array<QPushButton*, 3> btnHaines{};
    std::array<QPushButton*, 2> btnMixingLayer{};
    QFrame* frmXfer = nullptr;
    std::array<QPushButton*, 4> btnXferO{};
    QLabel* lblMixingLayer = nullptr;
    QPushButton* btnVWPInterval = nullptr;
    QPushButton* btnVWPIntervalA = nullptr;
    QPushButton* btnClouds = nullptr;
    QPushButton* btnOmegaFiltered = nullptr;
    QPushButton* btnReset = nullptr;
    std::array<QPushButton*, 4> btnSave{};
    std::array<QPushButton*, 4> btnRecall{};
    QPushButton* ptnPrint = nullptr;
    std::array<QRadioButton*, 4> optSnowTechnique{};
    QScrollBar* hsbRatio = nullptr;
    std::array<QRadioButton*, 2> optLayerShear{};
    std::array<QRadioButton*, 4> OptWindColor{};
    std::array<QLabel*, 6> lblVWP{};
    std::array<QRadioButton*, 5> optOverlay{};
    QScrollBar* hsbHours = nullptr;
    std::unique_ptr<RangeScrollBar> vsbSigmaLevel;
    QLabel* lblSigmaLevel = nullptr;
    std::unique_ptr<RangeScrollBar> vbsElevatedPT;
    std::array<std::unique_ptr<RangeScrollBar>, 2> vsbMeanWind;
    std::array<QLabel*, 2> lblMeanWind{};
    std::array<QLabel*, 2> lblMeanWindPressure{};
    std::array<QLabel*, 5> lblPType{};
    // --- end of buttons, slots, options and bars ---

  protected:
    // A new window size lays out picRH and the side scales one by one; their
    // size handlers leave the redraw to the window's own resize, which
    // draws the new picture once.
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Redraws for a picture's new size, or leaves it to the window's resize
    // when the window is taking a new size.
    void RedrawForNewSize();
    void BuildButtons();
    void BuildOptions();
    // Start values of the buttons and bars, some copied from the main window.
    void StartControls();
    // Shows the companions of the boxes and options (labels, enabled bars)
    // as their states say.
    void ShowCompanions();
    QCheckBox* NamedBox(const std::string& name) const;
    void SetColourToggle(QPushButton* button, std::int32_t colour);
    // A colour toggle's click: between its tag colour and the button face.
    void ToggleColour(QPushButton* button, std::int32_t& colour, std::int32_t tag);
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
    // "Helicity base - top km" of the layer the helicity trace uses.
    void CaptionHelicity();
    void BuildHourPanels(QWidget* area);
    const Picture& MapBackground(int width, int height);

    Session& session_;
    FrmProfile& main_;
    std::vector<QCheckBox*> boxes_; // in the order of OverlayBoxes()
    // The box of each position of a settings file (kOverviewSettingsBoxes),
    // found once the window is built (null where the window has none): the
    // slot 9 copy of every reload collects and applies them all.
    std::array<QCheckBox*, OverviewSettings::kBoxes> settingsBoxes_{};
    // The thread of the last slot 9 copy, still flushing the slot's folder
    // after its reload returned; waited for when the window goes.
    std::future<void> reloadCopyFlush_;
    std::array<QCheckBox*, 7> gridBoxes_{};
    bool loaded_ = false; // start-up has set the axes
    // Pixel sizes of picLeft and picRight at the last redraw.
    std::array<std::pair<int, int>, 2> sidesDrawn_{};
    // Where the last redraw wrote each left scale's labels: a press there
    // zooms that scale.
    std::array<SideBand, kLeftScales> leftBands_{};
    // The window size of the last resize event, and whether a picture took
    // a new size since.
    QSize laidOutSize_;
    bool redrawForSize_ = false;
    int codeChanges_ = 0;   // a recall is setting the controls
    int startingAgain_ = 0; // StartAgain is setting the window back and starting it
    std::function<void(const std::string&)> showMessage_;
    bool messagesHandled_ = false; // showMessage_ was given from outside
    std::function<std::string()> choosePdf_;
    QWidget* pictureArea_ = nullptr;
    // The form values and controls as built, for ReturnToBuiltState.
    struct BuiltState;
    std::unique_ptr<BuiltState> built_;
    // The size PlaceWindow starts from when not the window's own: the built
    // size, after ReturnToBuiltState.
    std::optional<QSize> placeFrom_;
    MapWindState mapWind_;
    // The contours of the fields drawn, kept from one redraw to the next: a
    // redraw that only changes other overlays (or the hour) does not trace
    // them again. Each is kept with the values it was traced from, so a
    // read, a new time window or scale, another height unit, interval or
    // picture size traces anew.
    ContourTraces contours_;
    // The map background at the map panel's size, rebuilt when the view or
    // the size changes.
    RasterSurface mapBuffer_{1, 1};
    MapExtent mapBufferView_{};
    const void* mapBufferGeography_ = nullptr;
};

} // namespace tarvex
