#pragma once

#include "profile/diagrams/SoundingDiagram.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;

namespace tarvex {

class ClickableLabel;
class DesktopService;
class RangeScrollBar;
class PictureBox;
struct Session;

// The main window: the sounding picture of the hour shown, the hour scroll
// bar with its labels, the display buttons with the lower panels they
// choose, and the sounding options.
class FrmProfile : public QWidget {
  public:
    static constexpr const char* kCaption = "Tarvex-  a Forecast Profile ZiveVoz";
    static constexpr int kDisplayButtons = 10;
    static constexpr std::int16_t kFileListMode = 99;

    FrmProfile(Session& session, DesktopService& desktop, QWidget* parent = nullptr);
    ~FrmProfile() override;

    // Reads a sounding file with the layout of the chosen model entry and
    // shows it. A file that cannot be read is reported with its name, line
    // and fault, and the sounding shown before stays. True when it was read.
    bool LoadSoundingFile(const std::string& path);

    // The hour routine: labels, lower panel, control panel, then the sounding.
    void ShowHour();
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
    // Passes a control's topic word to the help hook (acts in help mode only).
    void RunControlCommand(const std::string& word);
    // Redraws the map panel (when the map exists).
    void RedrawMap();
    void vsbSigmaLevel_Change();
    void vsbMeanFlow_Change(int Index);
    void vbsElevatedPT_Change();

    // Where failures are reported; a message box unless replaced (tests).
    void SetMessageHandler(std::function<void(const std::string&)> handler) {
        showMessage_ = std::move(handler);
    }

    Session& session() { return session_; }
    SoundingView& soundingView() { return view_; }
    std::int16_t DisplayMode() const { return displayMode_; }
    std::int16_t PreviousDisplayMode() const { return previousDisplayMode_; }

    // Controls, named as the program knows them.
    PictureBox* picData = nullptr;
    QScrollBar* vsbHour = nullptr;
    ClickableLabel* lblHour = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblLocal = nullptr;
    std::array<QPushButton*, kDisplayButtons> btnDisplay{};
    QPushButton* btnHelp = nullptr;
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

  private:
    void BuildControls();
    QWidget* BuildOptions(QWidget* parent);
    QWidget* BuildMapOptions(QWidget* parent);
    void ShowSurfaceOfMode();
    void ApplyReadToControls(bool legacy);
    QWidget* BuildValueBars(QWidget* parent);

    Session& session_;
    DesktopService& desktop_;
    SoundingView view_;
    // Window state of the options.
    bool ShowECAPE = false;
    std::int16_t displayMode_ = 0;
    std::int16_t previousDisplayMode_ = 0;
    std::function<void(const std::string&)> showMessage_;
};

} // namespace tarvex
