#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;

namespace tarvex {

class ClickableLabel;
class RangeScrollBar;
struct Session;
struct SoundingView;

// The "Lake Effect" control panel: the lake temperature bar with its
// Fahrenheit and Celsius readings, the temperatures at the two configured
// levels with the lake's excess over them, the instability class, the
// model's CAPE and the lake-induced parcel's CAPE, equilibrium level and
// normalised CAPE, and the three lake options of the sounding diagram.
class LakeEffectPanel : public QWidget {
  public:
    LakeEffectPanel(Session& session, SoundingView& view, std::function<void()> drawSounding,
                    std::function<void(const std::string&)> runControlCommand,
                    QWidget* parent = nullptr);
    ~LakeEffectPanel() override;

    // Fills the panel for the hour shown; the hour routine calls it while
    // this is the open control panel.
    void ShowLakeEffect();
    // A new lake temperature: readings, the lake parcels of every hour of the
    // current model marked for lifting again, then (unless redraws are held)
    // the panel and the sounding.
    void vsbLakeF_Change();
    // The lake options: the topic word, the diagram's flag, a redraw.
    void chkLakeIndex_Click();
    void chkMoistLakeIndex_Click();
    void chkLIC_Click();
    // The option captions only name their topic in help mode.
    void Label21_Click();
    void Label22_Click();
    void Label39_Click();

    // Controls, named as the program knows them.
    std::unique_ptr<RangeScrollBar> vsbLakeF; // deg F, 80 at the top to 32 at the bottom
    QLabel* lblLakeF = nullptr;
    QLabel* lblLakeC = nullptr;
    QLabel* lblCI850 = nullptr; // row headers: the configured levels
    QLabel* lblCI700 = nullptr;
    QLabel* lblT850 = nullptr;
    QLabel* lblDiff850 = nullptr;
    QLabel* lblT700 = nullptr;
    QLabel* lblDiff700 = nullptr;
    QLabel* lblStability = nullptr;
    QLabel* lblModelCape = nullptr;
    QLabel* lblLIC = nullptr;
    QLabel* lblLIE = nullptr;
    QLabel* lblNLIC = nullptr;
    QCheckBox* chkLakeIndex = nullptr;
    QCheckBox* chkMoistLakeIndex = nullptr;
    QCheckBox* chkLIC = nullptr;
    ClickableLabel* Label21 = nullptr; // "Lake Index"
    ClickableLabel* Label22 = nullptr; // "Moist Lake Index"
    ClickableLabel* Label39 = nullptr; // "LI CAPE"

  private:
    void OptionClicked(QCheckBox* box, const char* word, bool& flag);

    Session& session_;
    SoundingView& view_;
    std::function<void()> drawSounding_;
    std::function<void(const std::string&)> runControlCommand_;
};

} // namespace tarvex
