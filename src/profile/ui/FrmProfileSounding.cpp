// The buttons and labels beside the sounding: axis ends, vertical unit,
// wind column, momentum transfer, omega and the cursor read-out.
#include "compute/Narrow.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/OmegaProfile.h"
#include "profile/diagrams/ClosingOverlays.h"
#include "profile/diagrams/CursorReadout.h"
#include "profile/diagrams/MomentumTransfer.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace tarvex {

namespace {

constexpr int kSmallButton = 30;
// The btnPHK elements 0 "P", 1 "Ft", 2 "Km" stand in the order "Ft", "Km",
// "P"; the btnXfer elements left to right read "1", "10", "20", "30".
constexpr const char* kPHKCaptions[3] = {"P", "Ft", "Km"};
constexpr int kPHKOrder[3] = {1, 2, 0};
constexpr int kXferOrder[4] = {1, 2, 3, 0};

bool Checked(const QCheckBox* box) {
    return box && box->checkState() != Qt::Unchecked;
}

// Puts element Index of a group of exclusive buttons in force: the bold moves
// to it from the element in force. False when it already is in force or the
// group has no such element.
template <std::size_t N>
bool SelectInGroup(const std::array<QPushButton*, N>& group, std::int16_t& inForce, int Index) {
    if (Index == inForce || Index < 0 || Index >= static_cast<int>(N)) return false;
    if (inForce >= 0 && inForce < static_cast<int>(N))
        SetBold(group[static_cast<std::size_t>(inForce)], false);
    inForce = static_cast<std::int16_t>(Index);
    SetBold(group[static_cast<std::size_t>(Index)], true);
    return true;
}

// The read-out marker on a btnPHK element: underlined, apart from the bold
// of the vertical unit.
void SetReadoutMarker(QPushButton* button, bool on) {
    QFont font = button->font();
    font.setUnderline(on);
    button->setFont(font);
}

QPushButton* SmallButton(QWidget* parent, const char* name, const QString& caption,
                         int width = kSmallButton) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFixedWidth(width);
    return button;
}

// Moves one end of the temperature axis by step in the stored pair of the
// projection in force and in the pair in use. A step that would leave the
// 16-bit range, or bring the left end to or past the right end, is refused.
// True when the end moved.
bool ShiftAxisEnd(TemperatureAxisEnds& axis, bool skewT, bool left, int step) {
    std::int16_t& stored = skewT ? (left ? axis.SkewTLeftTemp : axis.SkewTRightTemp)
                                 : (left ? axis.ProfileLeftTemp : axis.ProfileRightTemp);
    std::int16_t& inUse = left ? axis.LeftTemp : axis.RightTemp;
    const std::int16_t storedOther = skewT ? (left ? axis.SkewTRightTemp : axis.SkewTLeftTemp)
                                           : (left ? axis.ProfileRightTemp : axis.ProfileLeftTemp);
    const std::int16_t inUseOther = left ? axis.RightTemp : axis.LeftTemp;
    // Only a step that narrows the axis can close it; a widening step is
    // always taken, so that a closed pair from a settings file can be opened.
    const bool narrows = left ? step > 0 : step < 0;
    auto fits = [step, left, narrows](int value, int other) {
        const int moved = value + step;
        return moved >= std::numeric_limits<std::int16_t>::min() &&
               moved <= std::numeric_limits<std::int16_t>::max() &&
               (!narrows || (left ? moved < other : moved > other));
    };
    if (!fits(stored, storedOther) || !fits(inUse, inUseOther)) return false;
    stored = static_cast<std::int16_t>(stored + step);
    inUse = static_cast<std::int16_t>(inUse + step);
    return true;
}

// The next number of a wind-column interval button: 1, 2, 3, 1, ...
std::int16_t NextInterval(std::int16_t interval) {
    return static_cast<std::int16_t>(interval >= 3 || interval < 1 ? 1 : interval + 1);
}

// A read-out label's box (pixels) grown to hide whole the texts it reaches
// (CoverWhole), in whole pixels and inside bounds: grown again while whole
// pixels reach a text the exact box did not.
QRect CoverWholeInPixels(const TextRect& caption, const std::vector<DrawnText>& texts,
                         const QRect& bounds) {
    QRect shown;
    TextRect box = caption;
    for (int pass = 0; pass < 4; ++pass) {
        const TextRect grown = CoverWhole(box, texts);
        shown = QRect(QPoint(ClampToInt<int>(std::floor(grown.left)),
                             ClampToInt<int>(std::floor(grown.top))),
                      QPoint(ClampToInt<int>(std::ceil(grown.Right())) - 1,
                             ClampToInt<int>(std::ceil(grown.Bottom())) - 1)) &
                bounds;
        const TextRect whole{static_cast<double>(shown.left()), static_cast<double>(shown.top()),
                             static_cast<double>(shown.width()),
                             static_cast<double>(shown.height())};
        if (whole.left == box.left && whole.top == box.top && whole.width == box.width &&
            whole.height == box.height)
            break;
        box = whole;
    }
    return shown;
}

// The five read-out labels on the sounding picture.
std::array<QLabel*, 5> ReadoutLabels(const FrmProfile& window) {
    return {window.lblActiveTemp, window.lblActiveDP, window.lblActiveDir, window.lblActiveKts,
            window.lblActiveAxis};
}

// Captions and selection marks of the buttons from the window's state.
void MarkSoundingButtons(FrmProfile& window) {
    const SoundingView& view = window.soundingView();
    const SoundingExtras& e = view.extras;
    window.btnVWPInterval->setText(QString::number(e.VWPInterval));
    window.btnVWPIntervalA->setText("A" + QString::number(e.VWPIntervalA));
    SetBold(window.btnVWPInterval, !e.UseVWPIntervalA);
    SetBold(window.btnVWPIntervalA, e.UseVWPIntervalA);
    for (std::size_t k = 0; k < window.btnPHK.size(); ++k)
        SetBold(window.btnPHK[k], static_cast<int>(k) == view.VerticalUnit);
    for (std::size_t k = 0; k < window.btnXfer.size(); ++k)
        SetBold(window.btnXfer[k], static_cast<int>(k) == e.MomentumXferIndex);
    window.ShowSoundingCompanions();
}

// Runs a function whenever the watched widget changes size.
class ResizeWatcher : public QObject {
  public:
    ResizeWatcher(QObject* watched, std::function<void()> resized)
        : QObject(watched), resized_(std::move(resized)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) resized_();
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> resized_;
};

} // namespace

QWidget* FrmProfile::BuildSoundingButtons(QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setObjectName("frmSoundingButtons");
    box->setFrameShape(QFrame::StyledPanel);
    box->setMaximumWidth(240);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(4, 4, 4, 4);
    rows->setSpacing(2);
    auto row = [&] {
        auto* line = new QHBoxLayout();
        line->setSpacing(2);
        rows->addLayout(line);
        return line;
    };

    // Temperature-axis ends: the left pair, then the right pair.
    QHBoxLayout* axisRow = row();
    btnT1Lower = SmallButton(box, "btnT1Lower", "<");
    btnT1Higher = SmallButton(box, "btnT1Higher", " >");
    btnTempLower = SmallButton(box, "btnTempLower", "<");
    btnTemHigher = SmallButton(box, "btnTemHigher", " >");
    axisRow->addWidget(btnT1Lower);
    axisRow->addWidget(btnT1Higher);
    axisRow->addStretch(1);
    axisRow->addWidget(btnTempLower);
    axisRow->addWidget(btnTemHigher);
    connect(btnT1Lower, &QPushButton::clicked, this, [this] { btnT1Lower_Click(); });
    connect(btnT1Higher, &QPushButton::clicked, this, [this] { btnT1Higher_Click(); });
    connect(btnTempLower, &QPushButton::clicked, this, [this] { btnTempLower_Click(); });
    connect(btnTemHigher, &QPushButton::clicked, this, [this] { btnTemHigher_Click(); });

    // Vertical unit and the read-out switch.
    QHBoxLayout* unitRow = row();
    for (int k : kPHKOrder) {
        const auto index = static_cast<std::size_t>(k);
        btnPHK[index] = SmallButton(box, "", kPHKCaptions[k]);
        btnPHK[index]->setObjectName(QString("btnPHK_%1").arg(k));
        connect(btnPHK[index], &QPushButton::clicked, this, [this, k] { btnPHK_Click(k); });
        unitRow->addWidget(btnPHK[index]);
    }
    btnActiveReadOut = SmallButton(box, "btnActiveReadOut", "", 16);
    connect(btnActiveReadOut, &QPushButton::clicked, this, [this] { btnActiveReadOut_Click(); });
    unitRow->addWidget(btnActiveReadOut);
    unitRow->addStretch(1);

    // Wind column.
    QHBoxLayout* windRow = row();
    btnVWPInterval = SmallButton(box, "btnVWPInterval", "1");
    btnVWPIntervalA = SmallButton(box, "btnVWPIntervalA", "A1");
    btnColorWinds = SmallButton(box, "btnColorWinds", "Color", 44);
    btnDigitalWinds = SmallButton(box, "btnDigitalWinds", "Dir", 36);
    for (QPushButton* button : {btnVWPInterval, btnVWPIntervalA, btnColorWinds, btnDigitalWinds})
        windRow->addWidget(button);
    windRow->addStretch(1);
    connect(btnVWPInterval, &QPushButton::clicked, this, [this] { btnVWPInterval_Click(); });
    connect(btnVWPIntervalA, &QPushButton::clicked, this, [this] { btnVWPIntervalA_Click(); });
    connect(btnColorWinds, &QPushButton::clicked, this, [this] { btnColorWinds_Click(); });
    connect(btnDigitalWinds, &QPushButton::clicked, this, [this] { btnDigitalWinds_Click(); });

    // Momentum transfer: the stable depth in mb.
    frmXfer = new QFrame(box);
    frmXfer->setObjectName("frmXfer");
    auto* xferRow = new QHBoxLayout(frmXfer);
    xferRow->setContentsMargins(0, 0, 0, 0);
    xferRow->setSpacing(2);
    xferRow->addWidget(new QLabel("Xfer mb", frmXfer));
    for (int k : kXferOrder) {
        const auto index = static_cast<std::size_t>(k);
        btnXfer[index] = SmallButton(frmXfer, "", kXferCaptions[index]);
        btnXfer[index]->setObjectName(QString("btnXfer_%1").arg(k));
        connect(btnXfer[index], &QPushButton::clicked, this, [this, k] { btnXfer_Click(k); });
        xferRow->addWidget(btnXfer[index]);
    }
    xferRow->addStretch(1);
    rows->addWidget(frmXfer);

    // Omega filter and level picking.
    QHBoxLayout* lastRow = row();
    btnOmegaFiltered = SmallButton(box, "btnOmegaFiltered", "Filter", 48);
    btnSelectInflow = SmallButton(box, "btnSelectInflow", "Select Inflow", 96);
    lastRow->addWidget(btnOmegaFiltered);
    lastRow->addWidget(btnSelectInflow);
    lastRow->addStretch(1);
    connect(btnOmegaFiltered, &QPushButton::clicked, this, [this] { btnOmegaFiltered_Click(); });
    connect(btnSelectInflow, &QPushButton::clicked, this, [this] { btnSelectInflow_Click(); });

    // The omega scale strip over the top edge of the sounding.
    picOmega = new PictureBox(picData);
    picOmega->setObjectName("picOmega");
    picOmega->Surface().SetBackColor(RGB(255, 255, 255));
    picOmega->SetMouseUpHandler([this](int button, int shift, double x, double y) {
        picOmega_MouseUp(button, shift, x, y);
    });
    auto placeStrip = [this] {
        const double scale =
            std::min(static_cast<double>(picData->width()) / kSoundingDesignWidth,
                     static_cast<double>(picData->height()) / kSoundingDesignHeight);
        const int height =
            std::max(1, static_cast<int>(std::lround(kOmegaStripDesignHeight * scale)));
        picOmega->setGeometry(kOmegaStripIndent, 0,
                              std::max(1, picData->width() - kOmegaStripIndent), height);
    };
    placeStrip();
    new ResizeWatcher(picData, placeStrip);

    // The read-out labels on the sounding; a release over four of them zooms
    // as a release over the picture does.
    auto label = [this](const char* name) {
        auto* readout = new ClickableLabel(picData);
        readout->setObjectName(name);
        readout->setStyleSheet("color: rgb(255, 255, 255); background-color: rgb(0, 0, 0);");
        // A release over a label is the label's alone: it must not reach the
        // picture below and zoom a second time.
        readout->setAttribute(Qt::WA_NoMousePropagation);
        readout->hide();
        return readout;
    };
    lblActiveTemp = label("lblActiveTemp");
    lblActiveDP = label("lblActiveDP");
    lblActiveDir = label("lblActiveDir");
    lblActiveKts = label("lblActiveKts");
    lblActiveAxis = label("lblActiveAxis");
    for (ClickableLabel* zooming : {lblActiveTemp, lblActiveDP, lblActiveDir, lblActiveKts})
        zooming->SetMouseUpHandler([this](int button) { ZoomPressureAxis(button); });
    picData->SetMouseMoveHandler([this](int button, int shift, double x, double y) {
        ShowCursorReadout(button, shift, x, y);
    });
    picData->SetMouseUpHandler([this](int button, int shift, double x, double y) {
        picData_MouseUp(button, shift, x, y);
    });

    MarkSoundingButtons(*this);
    return box;
}

void FrmProfile::btnT1Higher_Click() {
    if (ShiftAxisEnd(session_.temperatureAxis, Checked(chkSkewT), true, 5)) DrawSounding();
}

void FrmProfile::btnT1Lower_Click() {
    if (ShiftAxisEnd(session_.temperatureAxis, Checked(chkSkewT), true, -5)) DrawSounding();
}

void FrmProfile::btnTemHigher_Click() {
    if (ShiftAxisEnd(session_.temperatureAxis, Checked(chkSkewT), false, 5)) DrawSounding();
}

void FrmProfile::btnTempLower_Click() {
    if (ShiftAxisEnd(session_.temperatureAxis, Checked(chkSkewT), false, -5)) DrawSounding();
}

void FrmProfile::btnPHK_Click(int Index) {
    if (SelectInGroup(btnPHK, view_.VerticalUnit, Index)) DrawSounding();
    if (btnHelp) btnHelp->setFocus();
}

void FrmProfile::btnActiveReadOut_Click() {
    SoundingExtras& e = view_.extras;
    SetReadoutMarker(btnPHK[static_cast<std::size_t>(e.ReadoutUnit)], false);
    e.ReadoutUnit = static_cast<std::int16_t>((e.ReadoutUnit + 1) % 3);
    SetReadoutMarker(btnPHK[static_cast<std::size_t>(e.ReadoutUnit)], true);
    FollowFrameWithReadout();
}

void FrmProfile::btnVWPInterval_Click() {
    SoundingExtras& e = view_.extras;
    if (e.UseVWPIntervalA) {
        e.UseVWPIntervalA = false;
        SetBold(btnVWPIntervalA, false);
        SetBold(btnVWPInterval, true);
    } else {
        e.VWPInterval = NextInterval(e.VWPInterval);
        btnVWPInterval->setText(QString::number(e.VWPInterval));
    }
    if (btnHelp) btnHelp->setFocus();
    DrawSounding();
}

void FrmProfile::btnVWPIntervalA_Click() {
    SoundingExtras& e = view_.extras;
    if (e.UseVWPIntervalA) {
        e.VWPIntervalA = NextInterval(e.VWPIntervalA);
        btnVWPIntervalA->setText("A" + QString::number(e.VWPIntervalA));
    } else {
        e.UseVWPIntervalA = true;
        SetBold(btnVWPInterval, false);
        SetBold(btnVWPIntervalA, true);
    }
    if (btnHelp) btnHelp->setFocus();
    DrawSounding();
}

void FrmProfile::btnColorWinds_Click() {
    view_.extras.ColorWinds = !view_.extras.ColorWinds;
    DrawSounding();
}

void FrmProfile::btnDigitalWinds_Click() {
    view_.extras.DigitalWindStyle = !view_.extras.DigitalWindStyle;
    DrawSounding();
}

void FrmProfile::btnXfer_Click(int Index) {
    if (SelectInGroup(btnXfer, view_.extras.MomentumXferIndex, Index)) DrawSounding();
    if (btnHelp) btnHelp->setFocus();
}

void FrmProfile::btnOmegaFiltered_Click() {
    view_.extras.OmegaFiltered = !view_.extras.OmegaFiltered;
    DrawSounding();
}

void FrmProfile::btnSelectInflow_Click() {
    SoundingExtras& e = view_.extras;
    e.SelectInflowMode = !e.SelectInflowMode;
    btnSelectInflow->setStyleSheet(e.SelectInflowMode ? "background-color: rgb(255, 255, 0);" : "");
    if (btnHelp) btnHelp->setFocus();
}

void FrmProfile::ShowCursorReadout(int, int, double, double Y) {
    SoundingExtras& e = view_.extras;
    const bool readout = Checked(chkActiveReadout);
    if (!readout && !ShowECAPE && !e.SelectInflowMode) return;
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = view_.CurrentColumn;
    const std::array<QLabel*, 5> labels = ReadoutLabels(*this);
    const double p = std::exp(Y);
    // Below the ground of the hour, or above the top level, there is no level
    // to show.
    const std::int16_t L = p > s.SurfacePressure(m, t) ? 0 : CursorLevel(s, t, p);
    if (L == 0) {
        for (QLabel* shown : labels) shown->hide();
        e.LastReadoutLevel = 0;
        readoutRow_.reset();
        return;
    }
    readoutRow_ = picData->Surface().ToPixelY(Y);
    if (L == e.LastReadoutLevel) return;

    if (ShowECAPE && readoutHooks.plotECAPE) readoutHooks.plotECAPE(t, L);
    if (displayMode_ == kHeavyPrecipMode && e.SelectInflowMode) {
        MakeMBEVectors(s, t, L, *session_.winds, session_.options);
        if (readoutHooks.plotMBE) readoutHooks.plotMBE();
    }
    if (displayMode_ == kHodographMode && readoutHooks.followHodograph)
        readoutHooks.followHodograph(L);
    if (!readout) return;
    PlaceReadout(L);
    e.LastReadoutLevel = L;
}

void FrmProfile::PlaceReadout(std::int16_t L) {
    const SoundingExtras& e = view_.extras;
    const ProfileArrays& s = *session_.profile;
    const std::int16_t t = view_.CurrentColumn;
    const std::array<QLabel*, 5> labels = ReadoutLabels(*this);
    const ReadoutCaptions captions = MakeReadoutCaptions(s, t, L, e.ReadoutUnit);
    lblActiveTemp->setText(QString::fromStdString(captions.Temp));
    lblActiveDP->setText(QString::fromStdString(captions.DP));
    lblActiveDir->setText(QString::fromStdString(captions.Dir));
    lblActiveKts->setText(QString::fromStdString(captions.Kts));
    if (captions.Axis) lblActiveAxis->setText(QString::fromStdString(*captions.Axis));
    for (QLabel* shown : labels) {
        shown->setContentsMargins(0, 0, 0, 0);
        shown->adjustSize();
    }
    auto size = [](const QLabel* shown) {
        return LabelSize{static_cast<double>(shown->width()), static_cast<double>(shown->height())};
    };
    const PictureSurface& pic = picData->Surface();
    const ReadoutPlacement at =
        PlaceReadoutLabels(picData->Surface(), s, session_.temperatureAxis, view_, L,
                           {size(lblActiveTemp), size(lblActiveDP), size(lblActiveDir),
                            size(lblActiveKts), size(lblActiveAxis)});
    // A label moved to the other side of its trace points back at it.
    if (at.TempBeforeTrace)
        lblActiveTemp->setText(QString::fromStdString(captions.Temp.substr(2) + " >"));
    if (at.DPAfterTrace)
        lblActiveDP->setText(
            QString::fromStdString("< " + captions.DP.substr(0, captions.DP.size() - 2)));
    // The wind's labels are widened over the column's values of the level;
    // every label grows to hide whole each text of the picture it would
    // cover in part, its caption staying where it was placed. A label whose
    // box would then reach one placed before it moves left past it (right
    // at the left edge): the wind's and height labels first.
    const double lefts[5] = {at.TempLeft, at.DPLeft, at.DirLeft, at.KtsLeft, at.AxisLeft};
    std::vector<QRect> placed;
    for (const std::size_t k : {2u, 3u, 4u, 0u, 1u}) {
        const double width = k == 2 ? at.DirWidth : k == 3 ? at.KtsWidth : labels[k]->width();
        TextRect caption{std::round(lefts[k]), std::round(at.Top), std::floor(width),
                         static_cast<double>(labels[k]->height())};
        QRect shown;
        for (int move = 0; move < 4; ++move) {
            shown = CoverWholeInPixels(caption, pic.DrawnTexts(), picData->rect());
            const auto met = std::ranges::find_if(
                placed, [&](const QRect& other) { return shown.intersected(other).width() > 1; });
            if (met == placed.end()) break;
            caption.left = met->left() - 2.0 - caption.width;
            if (caption.left < 0.0) caption.left = met->right() + 3.0;
        }
        placed.push_back(shown);
        labels[k]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labels[k]->setContentsMargins(ClampToInt<int>(caption.left) - shown.left(),
                                      ClampToInt<int>(caption.top) - shown.top(), 0, 0);
        labels[k]->setGeometry(shown);
        labels[k]->show();
    }
    readoutFrame_ = ReadoutFrame();
}

FrmProfile::ReadoutFrameKey FrmProfile::ReadoutFrame() const {
    const ProfileArrays& s = *session_.profile;
    const TemperatureAxisEnds& axis = session_.temperatureAxis;
    return {s.DiagramTopPressure,
            s.DiagramBottomPressure,
            axis.LeftTemp,
            axis.RightTemp,
            Checked(chkSkewT),
            view_.extras.ReadoutUnit,
            picData->Surface().PixelWidth(),
            picData->Surface().PixelHeight()};
}

void FrmProfile::FollowFrameWithReadout() {
    if (!lblActiveAxis || lblActiveAxis->isHidden() || readoutFrame_ == ReadoutFrame()) return;
    // The frame changed under the read-out: it shows the level at the
    // pointer in the new frame, or goes when the pointer is off the picture
    // (on the button that changed the frame).
    SoundingExtras& e = view_.extras;
    const QPoint at = picData->mapFromGlobal(QCursor::pos());
    const ProfileArrays& s = *session_.profile;
    const std::int16_t t = view_.CurrentColumn;
    const double p = std::exp(picData->Surface().FromPixelY(at.y()));
    const std::int16_t L = !picData->rect().contains(at) || p > s.SurfacePressure(s.CurrentModel, t)
                               ? 0
                               : CursorLevel(s, t, p);
    if (L == 0) {
        for (QLabel* shown : ReadoutLabels(*this)) shown->hide();
        e.LastReadoutLevel = 0;
        readoutRow_.reset();
        return;
    }
    readoutRow_ = at.y();
    PlaceReadout(L);
    // The panels that follow the cursor level catch up at the next move.
    if (L != e.LastReadoutLevel) e.LastReadoutLevel = 0;
}

void FrmProfile::picData_MouseUp(int Button, int, double, double) {
    RunControlCommand("Profile");
    if (view_.extras.SelectInflowMode) {
        btnSelectInflow_Click();
    } else {
        ZoomPressureAxis(Button);
    }
}

void FrmProfile::ZoomPressureAxis(int Button) {
    if (tarvex::ZoomPressureAxis(*session_.profile, Button)) DrawSounding();
}

void FrmProfile::picOmega_MouseUp(int Button, int, double, double) {
    if (!picOmega->isVisible()) return;
    view_.extras.OmegaScale = ZoomOmegaScale(view_.extras.OmegaScale, Button);
    PrintOmega();
    DrawSounding();
}

void FrmProfile::PrintOmega() {
    tarvex::PrintOmega(picOmega->Surface(), view_.extras.OmegaScale);
}

void FrmProfile::ShowSoundingCompanions() {
    btnColorWinds->setVisible(Checked(chkWindVector));
    btnDigitalWinds->setVisible(Checked(chkWindDigital));
    frmXfer->setVisible(Checked(chkMomentum));
    const bool omega = Checked(ChkOmega);
    picOmega->setVisible(omega);
    btnOmegaFiltered->setVisible(omega);
    if (omega) PrintOmega();
    if (pnlRH) pnlRH->setVisible(Checked(chkRH));
    const bool readout = Checked(chkActiveReadout);
    btnActiveReadOut->setVisible(readout);
    for (std::size_t k = 0; k < btnPHK.size(); ++k)
        SetReadoutMarker(btnPHK[k], readout && static_cast<int>(k) == view_.extras.ReadoutUnit);
    if (!readout) {
        for (QLabel* shown : ReadoutLabels(*this)) shown->hide();
    }
}

void FrmProfile::ApplySoundingButtonSettings() {
    const HistorySettings& h = session_.history;
    SoundingExtras& e = view_.extras;
    e.VWPInterval = h.VWPInterval;
    e.VWPIntervalA = h.VWPIntervalA;
    e.UseVWPIntervalA = h.UseVWPIntervalA;
    e.ColorWinds = h.ColorWinds != 0;
    e.DigitalWindStyle = h.DigitalWindStyle != 0;
    e.MomentumXferIndex = h.MomentumXferIndex;
    e.ReadoutUnit = h.ReadoutUnit;
    view_.VerticalUnit = h.VerticalUnit;
    MarkSoundingButtons(*this);
}

void FrmProfile::CollectSoundingButtonSettings(HistorySettings& h) const {
    const SoundingExtras& e = view_.extras;
    h.VerticalUnit = view_.VerticalUnit;
    h.MomentumXferIndex = e.MomentumXferIndex;
    h.ReadoutUnit = e.ReadoutUnit;
    h.VWPInterval = e.VWPInterval;
    h.VWPIntervalA = e.VWPIntervalA;
    h.UseVWPIntervalA = e.UseVWPIntervalA;
    h.ColorWinds = static_cast<std::int16_t>(e.ColorWinds ? -1 : 0);
    h.DigitalWindStyle = static_cast<std::int16_t>(e.DigitalWindStyle ? -1 : 0);
}

} // namespace tarvex
