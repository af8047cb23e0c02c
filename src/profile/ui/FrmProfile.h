#pragma once

#include "files/FieldReader.h"
#include "files/HistoryFile.h"
#include "files/SoundingFiles.h"
#include "files/SoundingReader.h"
#include "profile/diagrams/ClosingOverlays.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace tarvex {

class ClickableLabel;
class DesktopService;
class RangeScrollBar;
class MapPanel;
class HodographPanel;
class LakeEffectPanel;
class StormPanels;
class ConvectionPanel;
class FogPanel;
class PrecipTypeControls;
class clsMonitors;
class FrmOverView;
struct clsMonitor;
class FrmHelp;
struct DisplaySettings;
class PictureBox;
struct Session;
struct ShownSounding;

// The main window: the sounding picture of the hour shown, the hour scroll
// bar with its labels, the display buttons with the lower panels they
// choose, and the sounding options.
class FrmProfile : public QWidget {
  public:
    static constexpr const char* kCaption = "Tarvex-  a Forecast Profile ZiveVoz";
    static constexpr int kDisplayButtons = 10;
    // The sounding's size on a 1280 x 800 screen, at which its text fits;
    // its text follows the picture's scale from it.
    static constexpr int kSoundingDesignWidth = 678;
    static constexpr int kSoundingDesignHeight = 436;
    // The omega strip over the sounding's top edge is indented from its
    // left edge.
    static constexpr int kOmegaStripIndent = 4;
    static constexpr std::int16_t kFileListMode = 99;

    FrmProfile(Session& session, DesktopService& desktop, QWidget* parent = nullptr);
    ~FrmProfile() override;

    static constexpr int kModelOptions = 16;
    static constexpr int kSiteButtons = 17;
    static constexpr int kControlPanels = 6;
    static constexpr std::int16_t kNoPanel = 6;

    // The window's start-up: user, settings, data file, index list,
    // configuration, the first model's first site, the saved display and
    // panel, the training list and last the file named on the command line.
    // False when the program cannot go on (no usable configuration); the
    // message has been shown and the caller ends the program.
    bool Form_Load(const std::vector<std::string>& arguments);

    // Reads a sounding file with the layout of the chosen model entry and
    // shows it under the given title (a legacy file adds its mark). A file
    // that cannot be read is reported with its name, line and fault; the
    // sounding shown before stays, and so do the model and site options, the
    // title, the hour labels and the model's settings. True when it was read.
    bool LoadSoundingFile(const std::string& path, const std::string& caption = kCaption);

    // Whether the hour routine redraws the sounding: always, or (a display
    // switch) only when the marks of the display shown now differ from those
    // it was drawn with, nothing else drawn on it having changed.
    enum class SoundingRedraw { Always, IfMarksDiffer };
    // The hour routine: labels, lower panel, control panel, then the sounding.
    void ShowHour(SoundingRedraw redraw = SoundingRedraw::Always);
    // The display-mode switch (0..9, or 99 for the file lists).
    void btnDisplay_Click(int Index);
    void DrawSounding();
    void vsbHour_Change();
    void lblHour_Click();
    void chkSkewT_Click();
    // The option check boxes: the topic word, the state behind the box, then
    // the redraw (see FrmProfileOptions.cpp).
    void OptionClicked(QCheckBox* box);
    void chksWSYMb_Click();
    void chkMBE2_Click();
    void chkMeanFlowOrSigmaLevel_Click(QCheckBox* box);
    // The level bars and labels of the two boxes show exactly while their
    // box is checked.
    void ShowLevelBars();
    // Passes a control's topic word to the help hook (acts in help mode only).
    void RunControlCommand(const std::string& word);
    // The same for a control of another window: what could not be opened is
    // told through that window's own messages, so the window stays in front.
    void RunControlCommand(const std::string& word,
                           const std::function<void(const std::string&)>& report);
    // Redraws the map panel (when the map exists).
    void RedrawMap();
    void vsbSigmaLevel_Change();
    void vsbMeanFlow_Change(int Index);
    // Where mean-flow bar Index stops when moved to value with the other bar
    // at other: one level short of it (bar 0 below bar 1), so the layer keeps
    // a depth.
    static int MeanFlowStop(int Index, int value, int other);
    void vbsElevatedPT_Change();

    // Model and site choice, the archive lists and the file dialog.
    void optModel_Click(int Index);
    void FillSiteList();
    void optSite_Click(int Index);
    void lstSite_Click();
    void btnSelect_Click();
    void lstArchive_Click(ArchiveListKind list);
    void btnArchive_Click();
    void SelectFile(bool FullPath);
    void UpdateOverview();
    // Opens the overview window, or brings it forward, on another monitor
    // than this window's when there is one (FrmProfileOverview.cpp).
    void btnOverView_Click();
    FrmOverView* Overview() const;
    // Writes the user's settings and ends the program.
    void btnDone_Click();
    // Control panels and help mode.
    void btnControl_Click(int Index);
    void picLogo_Click();
    void FillIndexList();
    void lstIndices_Click();
    void txtIndices_Change(int Index);
    // The settings the window's controls hold, for the history file.
    HistorySettings CollectSettings() const;
    // Where the program's own files lie (the folder of the executable).
    void SetProgramFolder(const std::string& folder) { programFolder_ = folder; }
    // Chooses a file in the file dialog; replaced by tests.
    void SetFileDialog(std::function<std::string(const std::string& folder)> dialog) {
        chooseFile_ = std::move(dialog);
    }
    // Ends the program; replaced by tests.
    void SetQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }
    // Hears every topic word a user's click passes to the help hook, in help
    // mode or not (tests gather the words of both windows with it).
    void SetHelpWordListener(std::function<void(const std::string&)> listener) {
        helpWordListener_ = std::move(listener);
    }

    // Where failures are reported; a message box unless replaced (tests).
    void SetMessageHandler(std::function<void(const std::string&)> handler) {
        showMessage_ = std::move(handler);
    }

    Session& session() { return session_; }
    SoundingView& soundingView() { return view_; }
    std::int16_t DisplayMode() const { return displayMode_; }
    std::int16_t ActivePanel() const { return activePanel_; }
    LakeEffectPanel* lakePanel() const { return lakePanel_; }
    StormPanels* stormPanels() const { return stormPanels_.get(); }
    ConvectionPanel* convectionPanel() const { return convectionPanel_; }
    FogPanel* fogPanel() const { return fogPanel_; }
    PrecipTypeControls* precipTypeControls() const { return precipTypeControls_; }
    const MapPanel* mapPanel() const { return mapPanel_.get(); }
    const HodographPanel* hodographPanel() const { return hodographPanel_.get(); }
    std::int16_t PreviousDisplayMode() const { return previousDisplayMode_; }

    // Controls, named as the program knows them.
    PictureBox* picData = nullptr;
    QScrollBar* vsbHour = nullptr;
    ClickableLabel* lblHour = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblLocal = nullptr;
    std::array<QPushButton*, kDisplayButtons> btnDisplay{};
    QPushButton* btnHelp = nullptr;
    QPushButton* btnOverView = nullptr;
    std::array<QRadioButton*, kModelOptions> optModel{};
    std::array<QRadioButton*, kSiteButtons> optSite{};
    QComboBox* lstSite = nullptr;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnArchive = nullptr;
    QPushButton* btnDone = nullptr;
    // The archive lists of the file-list display, made when it first shows.
    QLabel* lblModelSite = nullptr;
    QLabel* lblModel = nullptr;
    QListWidget* lstModelSite = nullptr;
    QListWidget* lstModel = nullptr;
    QListWidget* lstAll = nullptr;
    std::array<QPushButton*, kControlPanels> btnControl{};
    std::array<QFrame*, kControlPanels> pnlControl{};
    QListWidget* lstIndices = nullptr;
    std::array<QLineEdit*, 7> txtIndices{};
    std::array<QLabel*, 7> lblIndices{};
    // Sounding and map option check boxes.
    QCheckBox* chk10MWind = nullptr;
    QCheckBox* chkSnowGrowth = nullptr;
    QCheckBox* chkCCL = nullptr;
    QCheckBox* chkCINS = nullptr;
    QCheckBox* chkClouds = nullptr;
    QCheckBox* chkConvectiveTemp = nullptr;
    QCheckBox* chkDryAdiabats = nullptr;
    QCheckBox* chkEQL = nullptr;
    QCheckBox* chkIcing = nullptr;
    QCheckBox* chkLCL = nullptr;
    QCheckBox* chkLFC = nullptr;
    QCheckBox* chkLines = nullptr;
    QCheckBox* chkParcel = nullptr;
    QCheckBox* chkWBZ = nullptr;
    QCheckBox* chkWetBulb = nullptr;
    QCheckBox* chkInversions = nullptr;
    QCheckBox* chkRH = nullptr;
    QCheckBox* chkWindVector = nullptr;
    QCheckBox* chkWindDigital = nullptr;
    QCheckBox* chkMomentum = nullptr;
    QCheckBox* ChkOmega = nullptr;
    QCheckBox* chkSkewT = nullptr;
    QCheckBox* chksWSYMb = nullptr;
    QCheckBox* chkECAPE = nullptr;
    QCheckBox* chkActiveReadout = nullptr;
    QCheckBox* chkMBE2 = nullptr;
    std::array<QCheckBox*, 5> chkAngle{};
    QCheckBox* chkBrightBand = nullptr;
    QCheckBox* chkMeanFlow = nullptr;
    QCheckBox* chkSigmaLevel = nullptr;
    QFrame* pnlBrightBand = nullptr;
    // Help mode: a click on the logo arms the training commands.
    ClickableLabel* picLogo = nullptr;
    // Value bars; their minimum may lie above their maximum.
    std::unique_ptr<RangeScrollBar> vsbSigmaLevel;
    std::array<std::unique_ptr<RangeScrollBar>, 2> vsbMeanFlow;
    std::unique_ptr<RangeScrollBar> vbsElevatedPT;
    QLabel* lblSigmaLevel = nullptr;
    std::array<QLabel*, 2> lblMeanFlow{};
    // The lower-panel surfaces, one per display mode, and the file lists.
    PictureBox* picProfile = nullptr;
    PictureBox* picMap = nullptr;
    PictureBox* frameHodograph = nullptr;
    PictureBox* picIndices = nullptr;
    PictureBox* picCape = nullptr;
    PictureBox* picMBE = nullptr;
    PictureBox* picPrecipType = nullptr;
    PictureBox* picLapse = nullptr;
    PictureBox* picFog = nullptr;
    PictureBox* picDont = nullptr;
    QWidget* picFiles = nullptr;
    QFrame* pnlMap = nullptr;
    QFrame* pnlHodograph = nullptr;
    QFrame* pnlShear = nullptr;

    // --- Sounding option buttons, read-out and omega (FrmProfileSounding.cpp) ---
    // Builds the buttons and labels beside the sounding and wires the
    // read-out's mouse handling on picData.
    QWidget* BuildSoundingButtons(QWidget* parent);
    // Temperature-axis ends: each click moves one end by 5 deg C, in the
    // pair of the projection in force and in the pair in use.
    void btnT1Higher_Click();
    void btnT1Lower_Click();
    void btnTemHigher_Click();
    void btnTempLower_Click();
    // Vertical unit (0 "P", 1 "Ft", 2 "Km") and the read-out's height unit.
    void btnPHK_Click(int Index);
    void btnActiveReadOut_Click();
    // Wind column: the plain and the spaced interval, the speed colours and
    // the digital directions.
    void btnVWPInterval_Click();
    void btnVWPIntervalA_Click();
    void btnColorWinds_Click();
    void btnDigitalWinds_Click();
    // Stable depth of the momentum transfer, by btnXfer element.
    void btnXfer_Click(int Index);
    void btnOmegaFiltered_Click();
    void btnSelectInflow_Click();
    // Mouse on the sounding picture (user units, y = ln p): the cursor
    // read-out, and a release zooms the pressure axis (or ends level
    // picking).
    void ShowCursorReadout(int Button, int Shift, double X, double Y);
    void picData_MouseUp(int Button, int Shift, double X, double Y);
    void ZoomPressureAxis(int Button);
    // The omega scale strip: a click zooms the omega axis; PrintOmega labels
    // the strip.
    void picOmega_MouseUp(int Button, int Shift, double X, double Y);
    void PrintOmega();
    // Shows the companions of the option boxes (the colour and direction
    // buttons, the transfer buttons, the omega strip and filter button, the
    // read-out switch and marker) as their boxes say; hides the read-out
    // labels while the read-out is off.
    void ShowSoundingCompanions();
    // Puts the history file's button settings into the buttons and their
    // markers (no click handler runs), and takes them back for the file.
    void ApplySoundingButtonSettings();
    void CollectSoundingButtonSettings(HistorySettings& h) const;
    // Panels the cursor read-out drives that live elsewhere: the elevated
    // parcel of a time column and level, the heavy-precipitation panel, and
    // the hodograph's highlight of the cursor level (never called with
    // level 0).
    struct ReadoutHooks {
        std::function<void(std::int16_t t, std::int16_t level)> plotECAPE;
        std::function<void()> plotMBE;
        std::function<void(std::int16_t level)> followHodograph;
    };
    ReadoutHooks readoutHooks;

    QPushButton* btnT1Lower = nullptr;
    QPushButton* btnT1Higher = nullptr;
    QPushButton* btnTempLower = nullptr;
    QPushButton* btnTemHigher = nullptr;
    std::array<QPushButton*, 3> btnPHK{};
    QPushButton* btnActiveReadOut = nullptr;
    QPushButton* btnVWPInterval = nullptr;
    QPushButton* btnVWPIntervalA = nullptr;
    QPushButton* btnColorWinds = nullptr;
    QPushButton* btnDigitalWinds = nullptr;
    QFrame* frmXfer = nullptr;
    std::array<QPushButton*, 4> btnXfer{};
    QPushButton* btnOmegaFiltered = nullptr;
    QPushButton* btnSelectInflow = nullptr;
    PictureBox* picOmega = nullptr;
    ClickableLabel* lblActiveTemp = nullptr;
    ClickableLabel* lblActiveDP = nullptr;
    ClickableLabel* lblActiveDir = nullptr;
    ClickableLabel* lblActiveKts = nullptr;
    QLabel* lblActiveAxis = nullptr;
    // --- end of the sounding option buttons ---

    // --- Animation, settings slots, shear table, printing, About
    // (FrmProfileAnimation.cpp, FrmProfileSettings.cpp, FrmProfileWindowButtons.cpp) ---
    // The hour animation of the "Loop" panel: the button starts and stops it,
    // each tick steps vsbHour, the rate and delay bars set the pace (ms).
    void btnAutoDisplay_Click();
    void hsbRate_Change();
    void timerAutoDisplay_Timer();
    bool AutoDisplayOn() const { return autoDisplayOn_; }
    // Stops a running animation (opening the overview, closing the window).
    void StopAnimation();
    // The four display-settings slots "A" to "D" (Index 0..3).
    void btnSave_Click(int Index);
    void btnRecall_Click(int Index);
    DisplaySettings CollectDisplaySettings() const;
    void ApplyDisplaySettings(const DisplaySettings& read);
    // Folder in which the settings folder is made (the user's application
    // data folder unless replaced, by tests).
    void SetSettingsBase(const std::string& folder) { settingsBase_ = folder; }
    // The folder of the settings slot files of both windows, made and checked
    // on first use.
    const std::string& SettingsFolder();
    // Writes the shear table of the hour shown to "Shear.out".
    void btnShear_Click();
    // Prints an image of the window: on the default printer, else into a PDF
    // file the user names (chosen by the given dialog in tests).
    void btnPrint_Click();
    void SetPdfDialog(std::function<std::string()> dialog) { choosePdf_ = std::move(dialog); }
    // Shows the About window, made on first use.
    void btnHelp_Click();
    FrmHelp* AboutWindow() const;
    QPushButton* btnAutoDisplay = nullptr;
    QScrollBar* hsbRate = nullptr;
    QScrollBar* hsbDelay = nullptr;
    QTimer* timerAutoDisplay = nullptr;
    std::array<QPushButton*, 4> btnSave{};
    std::array<QPushButton*, 4> btnRecall{};
    QPushButton* btnShear = nullptr;
    QPushButton* btnPrint = nullptr;
    QFrame* pnlRH = nullptr; // legend of the humidity strip
                             // --- end of animation, slots, printing and About ---

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* BuildLoopPanel(QWidget* parent);
    QWidget* BuildWindowButtons(QWidget* parent);
    QFrame* BuildHumidityLegend(QWidget* parent);
    void WirePanelWords();
    void BuildControls();
    QWidget* BuildOptions(QWidget* parent);
    QWidget* BuildMapOptions(QWidget* parent);
    QWidget* BuildModelAndSiteChoice(QWidget* parent);
    QWidget* BuildControlPanels(QWidget* parent);
    // Makes the archive lists inside picFiles, once.
    void BuildFileLists();
    void PlaceWindow();
    void ApplySettings();
    void ShowFailure(const TextFileResult& result);
    // Shows the lower picture of a display mode and hides the others; a mode
    // without a picture changes nothing.
    void ShowSurfaceOfMode(int mode);
    void ApplyReadToControls();
    // The OverView button's behaviour; with firstDrawn false the window's
    // start-up leaves its picture to the caller, which draws it next.
    void OpenOverview(bool firstDrawn);
    // With the overview open a read is followed by its reload, which keeps
    // the overview's settings in slot 9: the read starts the copy, so that
    // its flush to the disk goes on while the file is read and drawn, and the
    // reload takes it when the settings are still the same (else it waits
    // for it and writes its own).
    void StartReloadCopy();
    std::future<TextFileResult> TakeReloadCopy(const std::string& kept);
    // The model, site, title and model settings of the sounding shown: kept
    // after each read that succeeded, put back after one that failed
    // (FrmProfileShown.cpp).
    void KeepShownSounding();
    void RestoreShownSounding();
    // Marks the site button (or list entry) of a file's site, and only it.
    void MarkSiteOfFile(const std::string& path);
    // Gives the lower pictures their shapes and has a size change redraw the
    // picture of the display mode in force (FrmProfileLayout.cpp).
    void ShapeLowerPanels();
    // The scroll-bar keys step the hours from the bar and from every button
    // of the window (FrmProfileKeys.cpp).
    void RouteHourKeys();
    // The listing, indices or lapse-rate panel when its display mode is shown.
    void PrintTextPanel();
    QWidget* BuildValueBars(QWidget* parent);

    Session& session_;
    DesktopService& desktop_;
    SoundingView view_;
    // Window state of the options.
    bool ShowECAPE = false;
    std::int16_t displayMode_ = 0;
    std::int16_t previousDisplayMode_ = 0;
    // The marks of the display the sounding was last drawn with: its level
    // marks and jet label follow the display, so a switch to a display whose
    // marks differ redraws it.
    DisplayModeMarks soundingMarks_;
    std::function<void(const std::string&)> showMessage_;
    std::function<std::string(const std::string&)> chooseFile_;
    std::function<void()> quit_;
    std::function<void(const std::string&)> helpWordListener_;
    bool ending_ = false; // Done has saved the settings and ends the program
    // The history file was damaged and no copy of it could be kept: Done
    // leaves it in place.
    bool doneKeepsHistoryFile_ = false;
    // The first site's file, read on another thread while the window is
    // built and shown; the first read takes it (see LoadSoundingFile).
    std::future<ParsedSounding> firstRead_;
    // The picture's pixel row of the pointer while the read-out shows a
    // level, and the frame the read-out was placed in.
    std::optional<double> readoutRow_;
    using ReadoutFrameKey = std::tuple<int, int, int, int, bool, int, int, int>;
    ReadoutFrameKey readoutFrame_{};
    // The diagram's frame as the read-out's places depend on it: pressure
    // and temperature ends, skew, the height unit and the picture's size.
    ReadoutFrameKey ReadoutFrame() const;
    // The read-out labels of level L, placed beside it.
    void PlaceReadout(std::int16_t L);
    // After a redraw or a unit change: a read-out placed in another frame is
    // placed again at the pointer's level, or removed.
    void FollowFrameWithReadout();
    std::string programFolder_ = ".";
    std::int16_t activePanel_ = -1;
    // While the start-up chooses the first file, the start display and the
    // start panel, each of which would draw the hour: it is drawn once, when
    // all are in place.
    bool holdHour_ = false;
    std::unique_ptr<clsMonitor> monitor_;
    std::unique_ptr<clsMonitors> monitors_;
    std::unique_ptr<MapPanel> mapPanel_;
    std::unique_ptr<HodographPanel> hodographPanel_;
    LakeEffectPanel* lakePanel_ = nullptr; // lives in control panel 0
    bool autoDisplayOn_ = false;
    int codeChanges_ = 0; // code, not the user, is setting the controls (a recall)
    std::string settingsBase_;
    std::function<std::string()> choosePdf_;
    QPointer<FrmHelp> about_;
    QPointer<FrmOverView> overview_; // at most one, while it is open
    // The copy in slot 9 a read started, and the settings text it writes.
    struct ReloadCopy {
        std::string text;
        std::future<TextFileResult> written;
    };
    std::optional<ReloadCopy> reloadCopy_;
    std::shared_ptr<ShownSounding> shown_; // none until a read succeeded
    std::unique_ptr<StormPanels> stormPanels_;
    ConvectionPanel* convectionPanel_ = nullptr; // frameECAPE, in control panel 3
    FogPanel* fogPanel_ = nullptr;               // on picFog
    PrecipTypeControls* precipTypeControls_ = nullptr;
};

} // namespace tarvex
