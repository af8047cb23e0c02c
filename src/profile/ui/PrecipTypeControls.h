#pragma once

#include "profile/diagnostics/PrecipTypePanel.h"

#include <QWidget>

#include <functional>
#include <string>

class QPushButton;

namespace tarvex {

class PictureBox;
struct HistorySettings;
struct Session;
struct SoundingView;

// The controls of the "Precip Type" display: btnPrecipType switches the
// panel between the energy and the thickness method (its caption names the
// method not in use), btnTails steps the thickness trail through 6, 12, 24
// and 48 hours, and picSleet shows beside picPrecipType while an elevated
// warm layer may give sleet.
class PrecipTypeControls : public QWidget {
  public:
    struct Callbacks {
        std::function<void()> showHour;
        std::function<void(const std::string&)> runControlCommand;
        std::function<void()> focusHelp;
        // Shows or hides the start-level bar of the energy method.
        std::function<void(bool)> showElevatedBar;
    };

    PrecipTypeControls(Session& session, SoundingView& view, Callbacks callbacks,
                       QWidget* parent = nullptr);
    ~PrecipTypeControls() override;

    // Takes the panel's picture (a click names its topic, a resize redraws
    // it) and makes the sleet picture beside it, for the window to place.
    PictureBox* AttachPicture(PictureBox* picPrecipType);

    // The hour routine's hook: draws the panel when its display is chosen,
    // else only keeps the sleet picture hidden.
    void ShowPrecipType(bool displayed);
    void btnPrecipType_Click();
    void btnTails_Click();
    void picPrecipType_Click();

    // The method kept in the history file; applying it sets the captions and
    // what is visible without redrawing.
    void ApplySettings(const HistorySettings& h);
    void CollectSettings(HistorySettings& h) const;

    // The method in force, and setting it as a recall does: the captions,
    // the tails button and the start-level bar follow, without a redraw.
    bool UseThicknessMethod() const { return choice_.UseThicknessMethod; }
    void SetThicknessMethod(bool thickness);
    // The trail's hours, the number on btnTails.
    int TailHours() const { return choice_.TailHours; }

    QPushButton* btnPrecipType = nullptr;
    QPushButton* btnTails = nullptr;
    PictureBox* picSleet = nullptr;
    // The sleet panel is as large as its texts in the panel font. It is
    // measured when its display is first shown, so that a start in another
    // display loads no font for it.
    void SizeSleetPanel();

  private:
    void ShowMethod();
    void Plot();

    Session& session_;
    SoundingView& view_;
    Callbacks callbacks_;
    PictureBox* picPrecipType_ = nullptr;
    PrecipTypeChoice choice_;
    PrecipTypeBackgrounds backgrounds_;
    bool displayed_ = false;
    bool sleetSized_ = false;
};

} // namespace tarvex
