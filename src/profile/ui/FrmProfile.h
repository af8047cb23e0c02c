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

    explicit FrmProfile(Session& session, QWidget* parent = nullptr);
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
    QCheckBox* chkSkewT = nullptr;
    QCheckBox* chkLines = nullptr;
    QCheckBox* chkDryAdiabats = nullptr;
    QCheckBox* chkWetBulb = nullptr;
    QCheckBox* chkIcing = nullptr;
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
    QCheckBox* AddOption(QWidget* parent, const char* name, const char* caption, bool* flag);
    void ShowSurfaceOfMode();
    void ApplyReadToControls(bool legacy);
    QWidget* BuildValueBars(QWidget* parent);

    Session& session_;
    SoundingView view_;
    std::int16_t displayMode_ = 0;
    std::int16_t previousDisplayMode_ = 0;
    std::function<void(const std::string&)> showMessage_;
};

} // namespace tarvex
