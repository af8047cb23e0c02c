// The overview's command buttons: the selector rows (vertical units, Haines
// variant, mixing-layer technique, momentum-transfer level, wind-profile
// interval), the colour toggles of the parcel heights and CAPE depths, the
// "10 meter" pressure base, Reset and Print.
#include "files/Session.h"
#include "overview/fields/LayerTraces.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/ui/FrmOverView.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"
#include "platform/PrintImage.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvex {

namespace {

// The tag colours of the colour toggles, as 0x00BBGGRR patterns.
constexpr std::array<std::int32_t, 4> kHeightsTags{0, 0x0000FF, 0x00FFFF, 0x00C000};
constexpr std::array<std::int32_t, 7> kCAPEkmTags{0x00C000, 0,        0,       0xFFFFFF,
                                                  0xFFFF00, 0xFF00FF, 0x0080FF};

// Adds a widget to a control panel above its closing stretch.
void AddToPanel(QFrame* panel, QWidget* widget) {
    auto* layout = static_cast<QBoxLayout*>(panel->layout());
    layout->insertWidget(layout->count() - 1, widget);
}

QPushButton* NewButton(QWidget* parent, const QString& caption, const QString& name) {
    auto* button = new KeptLookPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// A row of buttons named name_0, name_1, ... wired to click(Index).
template <std::size_t N, typename Click>
QWidget* ButtonRow(QWidget* parent, const char* name, const std::array<const char*, N>& captions,
                   std::array<QPushButton*, N>& buttons, Click click) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t k = 0; k < N; ++k) {
        if (!captions[k]) continue;
        buttons[k] = NewButton(row, captions[k], QString("%1_%2").arg(name).arg(k));
        QObject::connect(buttons[k], &QPushButton::clicked, row,
                         [click, k] { click(static_cast<int>(k)); });
        layout->addWidget(buttons[k]);
    }
    return row;
}

// Moves the bold of a selector row to Index.
template <std::size_t N> void BoldOnly(const std::array<QPushButton*, N>& row, int Index) {
    for (std::size_t k = 0; k < N; ++k)
        if (row[k]) SetBold(row[k], static_cast<int>(k) == Index);
}

} // namespace

void FrmOverView::SetColourToggle(QPushButton* button, std::int32_t colour) {
    if (colour == kButtonFace) {
        SetStyleSheetIfNew(button, QString());
        return;
    }
    const auto pattern = static_cast<std::uint32_t>(colour);
    SetStyleSheetIfNew(button, QString("background-color: rgb(%1, %2, %3);")
                                   .arg(pattern & 0xFF)
                                   .arg((pattern >> 8) & 0xFF)
                                   .arg((pattern >> 16) & 0xFF));
}

void FrmOverView::BuildButtons() {
    // Contour panel: the smoothed omega switch.
    btnOmegaFiltered = NewButton(pnlControl[0], "", "btnOmegaFiltered");
    btnOmegaFiltered->setToolTip("Smoothed omega");
    btnOmegaFiltered->setFixedWidth(24);
    // Pressed while the omega shown is the smoothed one.
    btnOmegaFiltered->setCheckable(true);
    Companion(btnOmegaFiltered);
    connect(btnOmegaFiltered, &QPushButton::clicked, this, [this] { btnOmegaFiltered_Click(); });
    AddToPanel(pnlControl[0], btnOmegaFiltered);

    // Wind panel: the wind-profile intervals, shown with the wind profile.
    auto* intervals = Companion(new QWidget(pnlControl[2]));
    intervals->setObjectName("pnlVWPOptions");
    pnlVWPOptions = intervals;
    auto* intervalRow = new QHBoxLayout(intervals);
    intervalRow->setContentsMargins(0, 0, 0, 0);
    btnVWPInterval = NewButton(intervals, "3", "btnVWPInterval");
    btnVWPIntervalA = NewButton(intervals, "3A", "btnVWPIntervalA");
    connect(btnVWPInterval, &QPushButton::clicked, this, [this] { btnVWPInterval_Click(); });
    connect(btnVWPIntervalA, &QPushButton::clicked, this, [this] { btnVWPIntervalA_Click(); });
    intervalRow->addWidget(btnVWPInterval);
    intervalRow->addWidget(btnVWPIntervalA);
    AddToPanel(pnlControl[2], intervals);

    // Convection panel: the parcel heights and the CAPE depths.
    // Each row shows with its overlay.
    frameHeights =
        Companion(ButtonRow<4>(pnlControl[3], "btnHeights", {nullptr, "LCL", "LFC", "Eql"},
                               btnHeights, [this](int k) { btnHeights_Click(k); }));
    frameHeights->setObjectName("frameHeights");
    AddToPanel(pnlControl[3], frameHeights);
    frameCAPE = Companion(ButtonRow<7>(pnlControl[3], "btnCAPEkm",
                                       {"Eql", nullptr, nullptr, "3", "4", "5", "6"}, btnCAPEkm,
                                       [this](int k) { btnCAPEkm_Click(k); }));
    frameCAPE->setObjectName("frameCAPE");
    AddToPanel(pnlControl[3], frameCAPE);
    for (std::size_t k = 1; k < btnHeights.size(); ++k)
        SetColourToggle(btnHeights[k], options.HeightsColours[k]);
    for (std::size_t k = 0; k < btnCAPEkm.size(); ++k)
        if (btnCAPEkm[k]) SetColourToggle(btnCAPEkm[k], options.CAPEkmColours[k]);

    // Aviation panel: the cloud display switch.
    btnClouds = NewButton(pnlControl[4], "", "btnClouds");
    btnClouds->setFixedWidth(24);
    connect(btnClouds, &QPushButton::clicked, this, [this] { btnClouds_Click(); });
    AddToPanel(pnlControl[4], btnClouds);

    // Fire weather panel: Haines variant, mixing-layer technique and the
    // momentum-transfer level.
    // The Haines variant and the index's colour classes show with the index.
    pnlHainesIndex = Companion(new QWidget(pnlControl[6]));
    pnlHainesIndex->setObjectName("pnlHainesIndex");
    auto* haines = new QVBoxLayout(pnlHainesIndex);
    haines->setContentsMargins(0, 0, 0, 0);
    haines->addWidget(ButtonRow<3>(pnlHainesIndex, "btnHaines", {"Low", "Mid", "High"}, btnHaines,
                                   [this](int k) { btnHaines_Click(k); }));
    QWidget* classes = ColourLegend(pnlHainesIndex, "lblHainesClasses",
                                    {{"2 - 3", RGB(0, 255, 0)},
                                     {"4", RGB(255, 255, 0)},
                                     {"5", RGB(255, 0, 0)},
                                     {"6", RGB(0, 0, 255)}});
    classes->show();
    haines->addWidget(classes);
    AddToPanel(pnlControl[6], pnlHainesIndex);
    AddToPanel(pnlControl[6],
               ButtonRow<2>(pnlControl[6], "btnMixingLayer",
                            {"Momentum Transfer", "Maximum Temperature"}, btnMixingLayer,
                            [this](int k) { btnMixingLayer_Click(k); }));
    frmXfer = new QFrame(pnlControl[6]);
    frmXfer->setObjectName("frmXfer");
    auto* xfer = new QHBoxLayout(frmXfer);
    xfer->setContentsMargins(0, 0, 0, 0);
    xfer->addWidget(ButtonRow<4>(frmXfer, "btnXferO", {"30", "1", "10", "20"}, btnXferO,
                                 [this](int k) { btnXferO_Click(k); }));
    AddToPanel(pnlControl[6], frmXfer);
    lblMixingLayer = new KeptLookLabel(pnlControl[6]);
    lblMixingLayer->setObjectName("lblMixingLayer");
    lblMixingLayer->hide();
    AddToPanel(pnlControl[6], lblMixingLayer);
    SetBold(btnHaines[0], true);
    SetBold(btnMixingLayer[0], true);

    // Controls panel: vertical units and the pressure base.
    AddToPanel(pnlControl[5], ButtonRow<3>(pnlControl[5], "btnPHK", {"P", "Ft", "Km"}, btnPHK,
                                           [this](int k) { btnPHK_Click(k); }));
    SetBold(btnPHK[static_cast<std::size_t>(options.VerticalUnits)], true);
    btnPressureBase = NewButton(pnlControl[5], "10 meter", "btnPressureBase");
    connect(btnPressureBase, &QPushButton::clicked, this, [this] { btnPressureBase_Click(); });
    AddToPanel(pnlControl[5], btnPressureBase);

    // The window's own buttons, above Close.
    auto* own = new QWidget(this);
    auto* grid = new QGridLayout(own);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new KeptLookLabel("Save", own), 0, 0);
    grid->addWidget(new KeptLookLabel("Recall", own), 1, 0);
    static constexpr const char* kSlotCaptions[4] = {"A", "B", "C", "D"};
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        btnSave[i] = NewButton(own, kSlotCaptions[k], QString("btnSave_%1").arg(k));
        btnRecall[i] = NewButton(own, kSlotCaptions[k], QString("btnRecall_%1").arg(k));
        connect(btnSave[i], &QPushButton::clicked, this, [this, k] { btnSave_Click(k); });
        connect(btnRecall[i], &QPushButton::clicked, this, [this, k] { btnRecall_Click(k); });
        grid->addWidget(btnSave[i], 0, k + 1);
        grid->addWidget(btnRecall[i], 1, k + 1);
    }
    btnReset = NewButton(own, "Reset", "btnReset");
    ptnPrint = NewButton(own, "Print", "ptnPrint");
    connect(btnReset, &QPushButton::clicked, this, [this] { btnReset_Click(); });
    connect(ptnPrint, &QPushButton::clicked, this, [this] { ptnPrint_Click(); });
    grid->addWidget(btnReset, 0, 5);
    grid->addWidget(ptnPrint, 1, 5);
    auto* column = static_cast<QBoxLayout*>(btnQuit->parentWidget()->layout());
    column->insertWidget(column->indexOf(btnQuit), own);
}

void FrmOverView::btnPHK_Click(int Index) {
    if (Index != options.VerticalUnits) {
        BoldOnly(btnPHK, Index);
        options.VerticalUnits = static_cast<std::int16_t>(Index);
        RedrawOverview();
    }
    btnQuit->setFocus();
}

void FrmOverView::btnPressureBase_Click() {
    options.PressureBaseExtended = !options.PressureBaseExtended;
    SetPressureBaseExtended(axes, session_.profile->CurrentModel, options.PressureBaseExtended);
    btnQuit->setFocus();
    RedrawOverview();
}

void FrmOverView::btnHeights_Click(int Index) {
    const auto k = static_cast<std::size_t>(Index);
    ToggleColour(btnHeights[k], options.HeightsColours[k], kHeightsTags[k]);
}

void FrmOverView::btnCAPEkm_Click(int Index) {
    const auto k = static_cast<std::size_t>(Index);
    ToggleColour(btnCAPEkm[k], options.CAPEkmColours[k], kCAPEkmTags[k]);
}

void FrmOverView::ToggleColour(QPushButton* button, std::int32_t& colour, std::int32_t tag) {
    btnQuit->setFocus();
    colour = colour == kButtonFace ? tag : kButtonFace;
    SetColourToggle(button, colour);
    RedrawOverview();
}

void FrmOverView::btnHaines_Click(int Index) {
    options.HainesLevel = static_cast<std::int16_t>(Index + 1);
    BoldOnly(btnHaines, Index);
    RedrawOverview();
}

void FrmOverView::btnMixingLayer_Click(int Index) {
    HelpWord("Mixing Layer Height");
    btnQuit->setFocus();
    if (Index == options.MixingLayerMode) return;
    options.MixingLayerMode = static_cast<std::int16_t>(Index);
    frmXfer->setVisible(Index == 0);
    lblMixingLayer->setVisible(Index == 1);
    BoldOnly(btnMixingLayer, Index);
    const ProfileArrays& s = *session_.profile;
    session_.timeHeight->mixingLayer.MixingLayerReady(s.CurrentModel) = kFlagFalse;
    RedrawOverview();
    if (Index == 1)
        lblMixingLayer->setText(
            QString::fromStdString(FormatMixingLayerReadout(session_, options)));
}

void FrmOverView::btnXferO_Click(int Index) {
    btnQuit->setFocus();
    if (Index == main_.soundingView().extras.MomentumXferIndex) return;
    BoldOnly(btnXferO, -1);
    {
        // The main window's handler moves its own focus; the overview leaves
        // it where the user had it.
        QWidget* focus = main_.focusWidget();
        main_.btnXfer_Click(Index);
        if (focus) focus->setFocus();
    }
    BoldOnly(btnXferO, main_.soundingView().extras.MomentumXferIndex);
    const ProfileArrays& s = *session_.profile;
    session_.timeHeight->mixingLayer.MixingLayerReady(s.CurrentModel) = kFlagFalse;
    RedrawOverview();
}

void FrmOverView::btnVWPInterval_Click() {
    if (options.VWPUseA) {
        options.VWPUseA = false;
    } else {
        options.VWPInterval = static_cast<std::int16_t>(options.VWPInterval % 3 + 1);
        btnVWPInterval->setText(QString::number(options.VWPInterval));
    }
    SetBold(btnVWPIntervalA, options.VWPUseA);
    SetBold(btnVWPInterval, !options.VWPUseA);
    btnQuit->setFocus();
    RedrawOverview();
}

void FrmOverView::btnVWPIntervalA_Click() {
    if (options.VWPUseA) {
        options.VWPIntervalA = static_cast<std::int16_t>(options.VWPIntervalA % 3 + 1);
        btnVWPIntervalA->setText(QString::number(options.VWPIntervalA) + "A");
    } else {
        options.VWPUseA = true;
    }
    SetBold(btnVWPIntervalA, options.VWPUseA);
    SetBold(btnVWPInterval, !options.VWPUseA);
    btnQuit->setFocus();
    RedrawOverview();
}

void FrmOverView::btnClouds_Click() {
    options.CloudsToggle = !options.CloudsToggle;
    RedrawOverview();
}

void FrmOverView::btnOmegaFiltered_Click() {
    bool& shared = main_.soundingView().extras.OmegaFiltered;
    shared = !shared;
    options.OmegaFiltered = shared;
    btnOmegaFiltered->setChecked(shared);
    RedrawOverview();
}

void FrmOverView::btnReset_Click() {
    static constexpr const char* kCleared[] = {"chkRH_1",
                                               "chkPrecip",
                                               "chkSnow",
                                               "chkSnowRatio",
                                               "chk3HPresChange",
                                               "chkSfcPres",
                                               "chkWinds",
                                               "chkVVTrend",
                                               "chkMeanWind",
                                               "chkVWP",
                                               "chkVWPColor",
                                               "chkInversions",
                                               "chkLakeIndex",
                                               "chkMoistLakeIndex",
                                               "chkSfcTemp",
                                               "chkSkinTemp",
                                               "chkSfcDewPoint",
                                               "chkWindChill",
                                               "chkApparentTemp",
                                               "chkTotalTotals",
                                               "chkTQ",
                                               "chkClouds",
                                               "chkEvaporation",
                                               "chkRunOff",
                                               "chkHelicity",
                                               "chkStormRelInflow",
                                               "chkMBEspeed",
                                               "chkFreezingLevel",
                                               "chkTemperature",
                                               "chkTheta",
                                               "chkThetaE",
                                               "chkDPD",
                                               "chkECAPE",
                                               "chkRHContour",
                                               "chkRHIcontour",
                                               "chkWetBulb",
                                               "chkVelocity",
                                               "chkShearContour",
                                               "ChkOmega",
                                               "chkInstability",
                                               "chkLayerShear",
                                               "chkMixingRatio",
                                               "chkMeanMixingRatio",
                                               "chkCAPE",
                                               "chkVentilation",
                                               "chkDavisIndex",
                                               "chkHainesIndex",
                                               "chkMixingLayer",
                                               "chkTransportWinds",
                                               "chkTransportSpeed",
                                               "chkWarmCloud",
                                               "chkLIC",
                                               "chkLIE",
                                               "chkDeltaThetaE",
                                               "chkIcing",
                                               "chkVisibility",
                                               "chkCloudBase",
                                               "chkPrecipWater",
                                               "chkSnowGrowth",
                                               "chkHeights",
                                               "chkELCIN"};
    {
        const HoldFlag hold(RedrawSuspended);
        for (const char* name : kCleared) {
            if (QCheckBox* box = NamedBox(name)) box->setChecked(false);
            if (std::string_view(name) == "chkECAPE") options.ECAPELegendStart = 0;
        }
    }
    // The humidity boxes ignore their clicks while redraws are held, so the
    // legends follow the cleared boxes here.
    ShowCompanionPanels();
    RedrawOverview();
}

void FrmOverView::ptnPrint_Click() {
    PrintWindow(
        *this, "The overview",
        [this] {
            return choosePdf_ ? choosePdf_()
                              : QFileDialog::getSaveFileName(this, "Print Overview to a PDF file",
                                                             QString(), "PDF files (*.pdf)")
                                    .toStdString();
        },
        showMessage_);
}

} // namespace tarvex
