#pragma once

#include <QFrame>

#include <cstdint>

class QLabel;

namespace tarvex {

class PictureBox;
struct Session;
struct SoundingView;

// The entraining-parcel frame of the "Convection" control panel: the start
// pressure, temperature and dew point of the parcel under the mouse on the
// sounding picture, its CAPE, CIN, equilibrium level and normalised CAPE,
// with its trace drawn on the sounding picture's overlay.
class ConvectionPanel : public QFrame {
  public:
    ConvectionPanel(Session& session, SoundingView& view, PictureBox& picData,
                    QWidget* parent = nullptr);

    // The frame shows only for an hour where some start level lifts a
    // parcel with CAPE.
    void DisplayECAPEFrame();
    // The parcel of start level L of time column t: its trace replaces the
    // one shown, and the labels read its values (empty without a trace).
    void PlotECAPE(std::int16_t t, std::int16_t L);
    // Removes the trace (the sounding picture was drawn afresh, or the
    // trace no longer follows the mouse).
    void ClearTrace();

    QLabel* lblEParcelp = nullptr;
    QLabel* lblEParcelt = nullptr;
    QLabel* lblEParceldp = nullptr;
    QLabel* lblECAPE = nullptr;
    QLabel* lblECIN = nullptr;
    QLabel* lblEEQL = nullptr;
    QLabel* lblNECAPE = nullptr;

  private:
    Session& session_;
    SoundingView& view_;
    PictureBox& picData_;
};

} // namespace tarvex
