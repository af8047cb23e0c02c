#pragma once

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarvex {

class PictureBox;

// The About window: the banner, the version, the acknowledgement and contact
// texts and OK. One word of the banner flickers now and then: "ZiveVoz"
// turns into "ZurAvo" for 100 ms, first after 2 s, then after a fresh random
// pause of 2 to 10 s. OK closes the window, which deletes it with its timers.
class FrmHelp : public QWidget {
  public:
    static constexpr const char* kCaption = "Tarvex Information";
    static constexpr const char* kVersion = "71.78";
    static constexpr int kFirstPause = 2000;
    static constexpr int kFlicker = 100;

    // random gives uniform numbers in [0, 1); the desktop's generator unless
    // replaced (tests).
    explicit FrmHelp(QWidget* parent = nullptr, std::function<double()> random = {});

    void Form_Load();
    void btnOK_Click();
    void timerZiveVoz_Timer();
    void timerZurAvo_Timer();

    // Controls, named as the program knows them.
    QLabel* Panel3D1 = nullptr;
    QLabel* Panel3D2 = nullptr;
    QLabel* pnlProfile = nullptr;
    QLabel* pnlVersion = nullptr;
    QFrame* pnlHelp = nullptr;
    QPlainTextEdit* txtHelp = nullptr;
    QPlainTextEdit* txtCredits = nullptr;
    QPlainTextEdit* txtORVA = nullptr;
    PictureBox* Image1 = nullptr;
    PictureBox* Image2 = nullptr;
    PictureBox* picLogo = nullptr;
    QPushButton* btnOK = nullptr;
    QTimer* timerZiveVoz = nullptr;
    QTimer* timerZurAvo = nullptr;

  private:
    std::function<double()> random_;
};

// The texts of the three boxes, lines separated by CR LF.
QString AboutHelpText();
QString AboutCreditsText();
QString AboutTrainingGroupText();

} // namespace tarvex
