#include "profile/ui/PrecipTypeControls.h"

#include "files/HistoryFile.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QHBoxLayout>
#include <QPushButton>

#include <utility>

namespace tarvex {

namespace {

// The longest trail; a step beyond it starts again at the shortest.
constexpr int kLongestTail = 48;
constexpr int kShortestTail = 6;

} // namespace

PrecipTypeControls::PrecipTypeControls(Session& session, SoundingView& view, Callbacks callbacks,
                                       QWidget* parent)
    : QWidget(parent), session_(session), view_(view), callbacks_(std::move(callbacks)) {
    setObjectName("frmPrecipType");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    btnPrecipType = new QPushButton(this);
    btnPrecipType->setObjectName("btnPrecipType");
    btnTails = new QPushButton(QString::number(kShortestTail), this);
    btnTails->setObjectName("btnTails");
    btnTails->setFixedWidth(30);
    row->addWidget(btnPrecipType);
    row->addWidget(btnTails);
    row->addStretch(1);
    connect(btnPrecipType, &QPushButton::clicked, this, [this] { btnPrecipType_Click(); });
    connect(btnTails, &QPushButton::clicked, this, [this] { btnTails_Click(); });
    ShowMethod();
}

PrecipTypeControls::~PrecipTypeControls() = default;

PictureBox* PrecipTypeControls::AttachPicture(PictureBox* picPrecipType) {
    picPrecipType_ = picPrecipType;
    picPrecipType_->SetMouseUpHandler([this](int, int, double, double) { picPrecipType_Click(); });
    picPrecipType_->SetResizeHandler([this] {
        if (displayed_ && !view_.SuspendRedraw) Plot();
    });
    picSleet = new PictureBox(picPrecipType->parentWidget());
    picSleet->setObjectName("picSleet");
    picSleet->SetResizeHandler([this] {
        if (displayed_ && picSleet->isVisible() && !view_.SuspendRedraw) Plot();
    });
    picSleet->hide();
    return picSleet;
}

void PrecipTypeControls::SizeSleetPanel() {
    if (sleetSized_ || !picSleet) return;
    sleetSized_ = true;
    const auto [width, height] = SleetPanelSize(picSleet->Surface());
    picSleet->setFixedSize(width, height);
    picSleet->Surface().SetDesignSize(width, height);
}

void PrecipTypeControls::ShowPrecipType(bool displayed) {
    displayed_ = displayed;
    if (displayed) {
        Plot();
    } else {
        picSleet->hide();
    }
}

void PrecipTypeControls::Plot() {
    SizeSleetPanel();
    // A box placed while hidden takes its size only when shown: the sleet
    // panel is drawn at the size it shows from its first showing on.
    picSleet->FollowSize();
    const bool sleet = PlotPrecipType(picPrecipType_->Surface(), picSleet->Surface(), session_,
                                      view_.CurrentColumn, choice_, backgrounds_);
    picSleet->setVisible(sleet);
}

void PrecipTypeControls::ShowMethod() {
    const bool thickness = choice_.UseThicknessMethod;
    btnPrecipType->setText(thickness ? "Energy" : "Thickness");
    btnTails->setVisible(thickness);
    if (callbacks_.showElevatedBar) callbacks_.showElevatedBar(!thickness);
}

void PrecipTypeControls::btnPrecipType_Click() {
    choice_.UseThicknessMethod = !choice_.UseThicknessMethod;
    ShowMethod();
    callbacks_.showHour();
}

void PrecipTypeControls::btnTails_Click() {
    int n = 2 * btnTails->text().toInt();
    if (n > kLongestTail || n < kShortestTail) n = kShortestTail;
    btnTails->setText(QString::number(n));
    choice_.TailHours = n;
    callbacks_.focusHelp();
    callbacks_.showHour();
}

void PrecipTypeControls::picPrecipType_Click() {
    callbacks_.runControlCommand(choice_.UseThicknessMethod ? "Precip Type Thickness"
                                                            : "Precip Type Energy");
}

void PrecipTypeControls::SetThicknessMethod(bool thickness) {
    choice_.UseThicknessMethod = thickness;
    ShowMethod();
}

void PrecipTypeControls::ApplySettings(const HistorySettings& h) {
    SetThicknessMethod(h.UseThicknessMethod);
}

void PrecipTypeControls::CollectSettings(HistorySettings& h) const {
    h.UseThicknessMethod = choice_.UseThicknessMethod;
}

} // namespace tarvex
