#pragma once

#include <QObject>

#include <cstdint>

class QPushButton;

namespace tarvex {

class PictureBox;
struct Session;
struct SoundingView;

// The fog panel on picFog with its three crossover buttons, which sit in the
// free corner of the crossover area: one step of 1 F down, one up, and
// "Reset" to the computed crossover, each for the hour shown and the rest of
// the run.
class FogPanel : public QObject {
  public:
    FogPanel(Session& session, SoundingView& view, PictureBox& picFog);

    // Redraws the panel for the hour shown.
    void PlotFog();
    void btnXoverDown_Click();
    void btnXoverUp_Click();
    void btnXoverReset_Click();

    QPushButton* btnXoverDown = nullptr;
    QPushButton* btnXoverUp = nullptr;
    QPushButton* btnXoverReset = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceButtons();

    Session& session_;
    SoundingView& view_;
    PictureBox& picFog_;
};

} // namespace tarvex
