#include "overview/ui/FrmOverView.h"

#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/RedrawHub.h"
#include "overview/fields/TimeAxis.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/LakeEffectPanel.h"
#include "shell/Monitors.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

using O = OverviewOptions;
using G = OverviewGrid;

constexpr const char* kPanelCaptions[FrmOverView::kControlPanels] = {
    "Contour", "Temperature", "Wind", "Convection", "Aviation", "Controls", "Fire Wx", "Precip"};
constexpr const char* kIntervalCaptions[4] = {"1", "2", "5", "10"};
constexpr const char* kSumCaptions[4] = {"Precipitation", "Snow", "Evaporation", "RunOff"};
// The busy pointer of the whole program while the hub draws.
class WaitPointer : public BusyPointer {
  public:
    void Show() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void Restore() override { QApplication::restoreOverrideCursor(); }
};

PictureBox* NewPicture(QWidget* parent, const char* name, int width, int height) {
    auto* box = new PictureBox(parent);
    box->setObjectName(name);
    box->setMinimumSize(width, height);
    box->Surface().SetBackColor(kBlack);
    box->Surface().SetForeColor(kWhite);
    box->Surface().Clear();
    return box;
}

bool AnyOn(const OverviewOptions& o, std::initializer_list<bool O::*> boxes) {
    return std::any_of(boxes.begin(), boxes.end(), [&o](bool O::*box) { return o.*box; });
}

} // namespace

const std::vector<OverlayBoxSpec>& FrmOverView::OverlayBoxes() {
    static const std::vector<OverlayBoxSpec> boxes = {
        {"ChkOmega", "Omega", 0, "Contour Omega", G::Height, &O::ChkOmega},
        {"chkRHIcontour", "Rel Humidity (Ice)", 0, "Rel Humidity", G::Height, &O::chkRHIcontour},
        {"chkMeanMixingRatio", "Mean Mixing Ratio", 0, "Mean Mixing Ratio", G::Height,
         &O::chkMeanMixingRatio},
        {"chkECAPE", "Elevated CAPE", 0, "Contour Elevated CAPE", G::Height, &O::chkECAPE},
        {"chkSnowGrowth", "Snow Growth", 0, "Contour Snow Growth", G::Height, &O::chkSnowGrowth},
        {"chkIcing", "Icing", 0, "Contour Icing", G::Height, &O::chkIcing},
        {"chkDeltaThetaE", "Sfc Delta Theta-E", 0, "Sfc Delta Theta-E", G::Height,
         &O::chkDeltaThetaE},
        {"chkMixingRatio", "Mixing Ratio", 0, "Mixing Ratio", G::Height, &O::chkMixingRatio},
        {"chkLayerShear", "Shear (Length of Hodo)", 0, "Shear (Length of Hodo)", G::Height,
         &O::chkLayerShear},
        {"chkThetaE", "Eqiv Potential Temp", 0, "Eqiv Potential Temp", G::Height, &O::chkThetaE},
        {"chkTheta", "Potential Temp", 0, "Potential Temp", G::Height, &O::chkTheta},
        {"chkShearContour", "Shear (Layer Difference)", 0, "Shear (Layer Difference)", G::Height,
         &O::chkShearContour},
        {"chkTemperature", "Temperature", 0, "Contour Temperature", G::Height, &O::chkTemperature},
        {"chkVelocity", "Wind Speed", 0, "Wind Speed", G::Height, &O::chkVelocity},
        {"chkRHContour", "Rel Humidity", 0, "Rel Humidity", G::Height, &O::chkRHContour},
        {"chkDPD", "Dew Point", 0, "Dew Point", G::Height, &O::chkDPD},
        {"chkWetBulb", "Wet Bulb", 0, "Wet Bulb", G::Height, &O::chkWetBulb},
        {"chkSkinTemp", "Skin Surface Temp", 1, "Skin Surface Temp", G::Temp, &O::chkSkinTemp},
        {"chkMoistLakeIndex", "Moist Lake Index", 1, "Overview Moist Lake Index", G::LakeIndex,
         &O::chkMoistLakeIndex, 1},
        {"chkLIE", "Lake Induced EQL", 1, "Lake Induced EQL", G::Height, &O::chkLIE},
        {"chkLIC", "Lake Induced CAPE", 1, "Lake Induced CAPE", G::Left, &O::chkLIC},
        {"chkSfcDewPoint", "2-Meter DewPoint", 1, "2-Meter DewPoint", G::Temp, &O::chkSfcDewPoint},
        {"chkInversions", "Inversions", 1, "Overview Inversions", G::Height, &O::chkInversions},
        {"chkLakeIndex", "Lake Index", 1, "Overview Lake Index", G::LakeIndex, &O::chkLakeIndex, 1},
        {"chkApparentTemp", "Apparent Temp", 1, "Apparent Temp", G::Temp, &O::chkApparentTemp},
        {"chkSfcTemp", "2-Meter Temp", 1, "2-Meter Temp", G::Temp, &O::chkSfcTemp},
        {"chkWindChill", "WindChill", 1, "WindChill", G::Temp, &O::chkWindChill},
        {"chkVWP", "VWP", 2, "VWP", G::Height, &O::chkVWP},
        {"chkVWPColor", "Color", 2, "", G::None, &O::chkVWPColor},
        {"chkMeanWind", "Mean Wind", 2, "Mean Wind", G::Wind, &O::chkMeanWind},
        {"chkWinds", "Sigma Wind", 2, "Sigma Wind", G::Wind, &O::chkWinds},
        {"chkVVTrend", "V Vel", 2, "V Vel", G::LakeIndex, &O::chkVVTrend, 1},
        {"chkELCIN", "EL CIN", 3, "EL CIN", G::Height, &O::chkELCIN},
        {"chkHeights", "Heights", 3, "Convection Heights", G::Height, &O::chkHeights},
        {"chkFreezingLevel", "WSR-88D Hail Data", 3, "WSR-88D Hail Data", G::Height,
         &O::chkFreezingLevel},
        {"chkTQ", "TQ", 3, "TQ", G::LakeIndex, &O::chkTQ, 1},
        {"chkMBEspeed", "MBE Speed", 3, "MBE Speed", G::Temp, &O::chkMBEspeed},
        {"chkPrecipWater", "Precipitable Water", 3, "Precipitable Water", G::Left,
         &O::chkPrecipWater},
        {"chkWarmCloud", "Warm Cloud Depth", 3, "Warm Cloud Depth", G::Height, &O::chkWarmCloud},
        {"chkCAPE", "CAPE", 3, "Convection CAPE", G::Left, &O::chkCAPE},
        {"chkTotalTotals", "Total Totals", 3, "Total Totals", G::Temp, &O::chkTotalTotals},
        {"chkHelicity", "Helicity", 3, "Helicity", G::LakeIndex, &O::chkHelicity, 10},
        {"chkStormRelInflow", "Storm Rel Inflow (kts)", 3, "Storm Rel Inflow", G::Temp,
         &O::chkStormRelInflow},
        {"chkInstability", "Convective Instability", 3, "Convective Instability", G::Height,
         &O::chkInstability},
        {"chkCloudBase", "Cloud Base", 4, "Cloud Base", G::Height, &O::chkCloudBase},
        {"chkVisibility", "Visibility", 4, "Visibility", G::Left, &O::chkVisibility},
        {"chk3HPresChange", "3h Pres Change", 4, "3h Pres Change", G::LakeIndex,
         &O::chk3HPresChange, 1},
        {"chkSfcPres", "Sfc Pres", 4, "Sfc Pres", G::Left, &O::chkSfcPres},
        {"chkEvaporation", "Evaporation", 4, "Evaporation", G::Precip, &O::chkEvaporation},
        {"chkRunOff", "Run Off", 4, "Run Off", G::Precip, &O::chkRunOff},
        {"chkClouds", "Clouds", 4, "Aviation Clouds", G::Height, &O::chkClouds},
        {"chkNow", "Now", 5, "", G::None, &O::chkNow},
        {"chkGridTime", "Time Grid", 5, "", G::None, &O::chkGridTime},
        {"chkMixingLayer", "Mixing Layer Height", 6, "Mixing Layer Height", G::Height,
         &O::chkMixingLayer},
        {"chkVentilation", "Ventilation Factor", 6, "Ventilation Factor", G::Left,
         &O::chkVentilation},
        {"chkTransportSpeed", "Speed (kts)", 6, "Transport Wind Speed", G::Temp,
         &O::chkTransportSpeed},
        {"chkTransportWinds", "Direction", 6, "Transport Wind Direction", G::Wind,
         &O::chkTransportWinds},
        {"chkDavisIndex", "Davis Stability Index", 6, "Davis Stability Index", G::LakeIndex,
         &O::chkDavisIndex, 1},
        {"chkHainesIndex", "Haines ROS Index", 6, "Haines ROS Index", G::LakeIndex,
         &O::chkHainesIndex, 1},
        {"chkPrecip", "Precipitation", 7, "Precipitation", G::Precip, &O::chkPrecip},
        {"chkSnowRatio", "Snow Ratio", 7, "Snow Ratio", G::LakeIndex, &O::chkSnowRatio, 1},
        {"chkSnow", "Snowfall", 7, "", G::Precip, &O::chkSnow},
    };
    return boxes;
}

struct FrmOverView::BuiltState {
    ControlStates controls;
    // The level bars' ranges, in their own (possibly downward) order.
    std::array<std::pair<int, int>, 4> levelRanges;
    QSize size;
    OverviewOptions options;
    OverviewAxes axes;
    std::int16_t ContourIntervalIndex;
    std::int16_t PTypeSummaryMarker;
    std::int16_t ControlPanelIndex;
    std::int16_t SumFieldIndex;
    float HelicityTop;
    float HelicityBottom;
};

FrmOverView::FrmOverView(Session& session, FrmProfile& main, QWidget* parent)
    : QWidget(parent), session_(session), main_(main) {
    setObjectName("frmOverView");
    setWindowTitle("Over View");
    setAttribute(Qt::WA_DeleteOnClose);
    showMessage_ = [this](const std::string& text) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(text));
    };
    BuildControls();
    BuildButtons();
    BuildOptions();
    legends->AttachMixingLayer(lblMixingLayer);
    // A legend, label or bar that comes and goes keeps its room, so no
    // control moves when it appears.
    for (QFrame* panel : pnlControl)
        for (QWidget* child : panel->findChildren<QWidget*>()) {
            QSizePolicy policy = child->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            child->setSizePolicy(policy);
        }
    for (std::size_t k = 0; k < settingsBoxes_.size(); ++k)
        settingsBoxes_[k] = NamedBox(kOverviewSettingsBoxes[k]);
    built_ = std::make_unique<BuiltState>(
        BuiltState{ControlStates(*this),
                   {std::pair{vsbSigmaLevel->Minimum(), vsbSigmaLevel->Maximum()},
                    {vbsElevatedPT->Minimum(), vbsElevatedPT->Maximum()},
                    {vsbMeanWind[0]->Minimum(), vsbMeanWind[0]->Maximum()},
                    {vsbMeanWind[1]->Minimum(), vsbMeanWind[1]->Maximum()}},
                   size(),
                   options,
                   axes,
                   ContourIntervalIndex,
                   PTypeSummaryMarker,
                   ControlPanelIndex,
                   SumFieldIndex,
                   HelicityTop,
                   HelicityBottom});
}

FrmOverView::~FrmOverView() = default;

void FrmOverView::ReturnToBuiltState() {
    const BuiltState& b = *built_;
    const std::array<RangeScrollBar*, 4> levels = {vsbSigmaLevel.get(), vbsElevatedPT.get(),
                                                   vsbMeanWind[0].get(), vsbMeanWind[1].get()};
    for (std::size_t k = 0; k < levels.size(); ++k) {
        const QSignalBlocker quiet(levels[k]->Bar());
        levels[k]->SetRange(b.levelRanges[k].first, b.levelRanges[k].second);
    }
    // Started again, the window shows or hides each companion panel once its
    // settings are applied; until then each stays as it stands.
    std::array<const QWidget*, kCompanionPanels> companions{};
    if (startingAgain_ > 0)
        std::ranges::transform(CompanionRules(), companions.begin(),
                               [](const auto& rule) { return rule.first; });
    b.controls.Restore(companions);
    options = b.options;
    axes = b.axes;
    RedrawSuspended = false;
    InternalUpdate = false;
    ContourIntervalIndex = b.ContourIntervalIndex;
    PTypeSummaryMarker = b.PTypeSummaryMarker;
    ControlPanelIndex = b.ControlPanelIndex;
    SumFieldIndex = b.SumFieldIndex;
    HelicityTop = b.HelicityTop;
    HelicityBottom = b.HelicityBottom;
    SelectedHour = 0;
    MouseAction = 0;
    SumStartColumn = 0;
    loaded_ = false;
    sidesDrawn_ = {};
    leftBands_ = {};
    redrawForSize_ = false;
    codeChanges_ = 0;
    mapWind_ = {};
    contours_.Clear();
    // The map background shows the file's site: drawn anew at the next
    // showing.
    mapBuffer_.Resize(1, 1);
    mapBufferGeography_ = nullptr;
    for (PictureBox* panel : {picMap, picHodograph, picProfile, picCape}) {
        panel->Surface().SetBackColor(panel == picMap ? kWhite : kBlack);
        panel->Surface().SetForeColor(kWhite);
        panel->Surface().Clear();
    }
    // Neither minimized nor maximized, as a window built afresh opens; its
    // size is that of a new window once placed (PlaceWindow starts from the
    // built size), so that a window whose place gives it the size it has is
    // neither resized nor laid out twice.
    if (windowState() != Qt::WindowNoState) setWindowState(Qt::WindowNoState);
    placeFrom_ = b.size;
}

void FrmOverView::StartAgain(const OverviewSettings& kept, const std::function<void()>& start) {
    {
        const NestingCount again(startingAgain_);
        ReturnToBuiltState();
        start();
    }
    ApplyOverviewSettings(kept, true);
}

QCheckBox* FrmOverView::Box(const std::string& name) const {
    const auto& specs = OverlayBoxes();
    for (std::size_t i = 0; i < specs.size(); ++i)
        if (name == specs[i].name) return boxes_[i];
    return nullptr;
}

QCheckBox* FrmOverView::GridBox(OverviewGrid grid) const {
    return gridBoxes_[static_cast<std::size_t>(grid)];
}

QWidget* FrmOverView::BuildPictures() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setSpacing(2);
    picLeft = NewPicture(area, "picLeft", kLeftScaleWidth, 300);
    picRH = NewPicture(area, "picRH", 600, 300);
    picRight = NewPicture(area, "picRight", kRightScaleWidth, 300);
    picTime = NewPicture(area, "picTime", 600, 36);
    grid->addWidget(picLeft, 0, 0);
    grid->addWidget(picRH, 0, 1);
    grid->addWidget(picRight, 0, 2);
    grid->addWidget(picTime, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    pictureArea_ = area;
    BuildHourPanels(area);
    // A new size is drawn once start-up has set the axes.
    picRH->SetResizeHandler([this] {
        if (loaded_) RedrawForNewSize();
    });
    picTime->SetResizeHandler([this] {
        if (loaded_) DrawTimeAxis();
    });
    // The side scales redraw when their own size changes after the last
    // redraw (picRH's redraw may have run before they took their new size).
    for (PictureBox* side : {picLeft, picRight})
        side->SetResizeHandler([this, side] {
            const auto k = static_cast<std::size_t>(side == picRight);
            const std::pair<int, int> size{side->Surface().PixelWidth(),
                                           side->Surface().PixelHeight()};
            if (loaded_ && size != sidesDrawn_[k]) RedrawForNewSize();
        });

    // The grid selectors sit under the side scales: the left scale's
    // selectors under picLeft, the right scale's under picRight.
    struct Selector {
        OverviewGrid grid;
        const char* name;
        bool O::*value;
        bool left;
    };
    static constexpr Selector kSelectors[] = {
        {G::Wind, "chkGridWind", &O::chkGridWind, true},
        {G::LakeIndex, "chkGridLakeIndex", &O::chkGridLakeIndex, true},
        {G::Left, "chkGridLeft", &O::chkGridLeft, true},
        {G::Height, "chkGridHeight", &O::chkGridHeight, false},
        {G::Precip, "chkGridPrecip", &O::chkGridPrecip, false},
        {G::Temp, "chkGridTemp", &O::chkGridTemp, false}};
    auto* leftColumn = new QVBoxLayout();
    auto* rightColumn = new QVBoxLayout();
    for (const Selector& s : kSelectors) {
        auto* box = new KeptLookCheckBox(area);
        box->setObjectName(s.name);
        box->setChecked(options.*s.value);
        box->setEnabled(false);
        (s.left ? leftColumn : rightColumn)->addWidget(box);
        gridBoxes_[static_cast<std::size_t>(s.grid)] = box;
        connect(box, &QCheckBox::toggled, this, [this, s](bool on) {
            options.*s.value = on;
            chkGrid_Click(s.grid);
        });
    }
    grid->addLayout(leftColumn, 1, 0);
    grid->addLayout(rightColumn, 1, 2);
    return area;
}

QWidget* FrmOverView::BuildPanels() {
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    auto* logo = new ClickableLabel("Tarvex", side);
    logo->setObjectName("picLogo");
    logo->setStyleSheet("color: rgb(0, 0, 160); font-weight: bold;");
    logo->SetClickHandler([this] { main_.picLogo_Click(); });
    picLogo = logo;
    column->addWidget(logo);
    auto* buttons = new QGridLayout();
    std::array<QVBoxLayout*, kControlPanels> panelLayouts{};
    // The panels take turns in one room as tall as the tallest, so a switch
    // never changes the window's size. Each is made in that room before it
    // is filled: a filled panel moved in would be styled and laid out again.
    auto* stack = new QStackedWidget(side);
    stack->setObjectName("pnlControlStack");
    for (int k = 0; k < kControlPanels; ++k) {
        auto* button = new KeptLookPushButton(kPanelCaptions[k], side);
        button->setObjectName(QString("btnControl_%1").arg(k));
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, k] { btnControl_Click(k); });
        btnControl[static_cast<std::size_t>(k)] = button;
        buttons->addWidget(button, k / 4, k % 4);
        auto* panel = new QFrame(stack);
        panel->setObjectName(QString("pnlControl_%1").arg(k));
        panel->setFrameShape(QFrame::StyledPanel);
        panelLayouts[static_cast<std::size_t>(k)] = new QVBoxLayout(panel);
        pnlControl[static_cast<std::size_t>(k)] = panel;
        stack->addWidget(panel);
    }
    column->addLayout(buttons);

    // The check boxes of a panel stand in two columns, so that the longest
    // panel fits a short screen; the panel's other controls follow below.
    std::array<QGridLayout*, kControlPanels> boxGrids{};
    std::array<int, kControlPanels> boxCounts{};
    for (std::size_t k = 0; k < boxGrids.size(); ++k) {
        boxGrids[k] = new QGridLayout();
        boxGrids[k]->setVerticalSpacing(0);
        panelLayouts[k]->addLayout(boxGrids[k]);
    }
    const auto addBox = [&](int panel, QCheckBox* box) {
        const auto k = static_cast<std::size_t>(panel);
        boxGrids[k]->addWidget(box, boxCounts[k] / 2, boxCounts[k] % 2);
        ++boxCounts[k];
    };

    // Relative humidity shading on the contour panel, above the contours.
    for (int i = 0; i < 2; ++i) {
        auto* box = new KeptLookCheckBox(i == 0 ? "Relative Humidity" : "Relative Humidity (Ice)",
                                         pnlControl[0]);
        box->setObjectName(QString("chkRH_%1").arg(i));
        box->setChecked(options.chkRH[static_cast<std::size_t>(i)]);
        addBox(0, box);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            options.chkRH[static_cast<std::size_t>(i)] = on;
            chkRH_Click(i);
        });
        chkRH[static_cast<std::size_t>(i)] = box;
    }
    for (const OverlayBoxSpec& spec : OverlayBoxes()) {
        QFrame* panel = pnlControl[static_cast<std::size_t>(spec.panel)];
        auto* box = new KeptLookCheckBox(spec.caption, panel);
        box->setObjectName(spec.name);
        box->setChecked(options.*spec.value);
        addBox(spec.panel, box);
        connect(box, &QCheckBox::toggled, this, [this, &spec](bool on) {
            options.*spec.value = on;
            OverlayBox_Click(spec);
        });
        boxes_.push_back(box);
    }
    auto* bourgouin = new KeptLookCheckBox("Bourgouin PType", pnlControl[7]);
    bourgouin->setObjectName("chksWSYMb");
    connect(bourgouin, &QCheckBox::toggled, this, [this](bool on) {
        options.chksWSYMb = on;
        chksWSYMb_Click();
    });
    panelLayouts[7]->addWidget(bourgouin);
    lblPTElevation = new KeptLookLabel(pnlControl[7]);
    lblPTElevation->setObjectName("lblPTElevation");
    panelLayouts[7]->addWidget(lblPTElevation);
    auto* rightMouse = new KeptLookGroupBox("Right Mouse", pnlControl[7]);
    auto* sums = new QGridLayout(rightMouse);
    for (int k = 0; k < 4; ++k) {
        optSum[static_cast<std::size_t>(k)] = new KeptLookRadioButton(kSumCaptions[k], rightMouse);
        optSum[static_cast<std::size_t>(k)]->setObjectName(QString("optSum_%1").arg(k));
        sums->addWidget(optSum[static_cast<std::size_t>(k)], k / 2, k % 2);
    }
    panelLayouts[7]->addWidget(rightMouse);
    pnlWind = Companion(new QWidget(pnlControl[2]));
    pnlWind->setObjectName("pnlWind");
    auto* windRow = new QHBoxLayout(pnlWind);
    windRow->setContentsMargins(0, 0, 0, 0);
    picWindScale = NewPicture(pnlWind, "picWindScale", 120, 70);
    picWindScale->setFixedSize(120, 70);
    windRow->addWidget(picWindScale);
    windRow->addStretch(1);
    panelLayouts[2]->addWidget(pnlWind);
    lblLakeTemp = new KeptLookLabel(pnlControl[1]);
    lblLakeTemp->setObjectName("lblLakeTemp");
    Companion(lblLakeTemp);
    panelLayouts[1]->addWidget(lblLakeTemp);

    // Controls: the contour interval and the profile synchronisation.
    auto* intervals = new QHBoxLayout();
    intervals->addWidget(new KeptLookLabel("Contour Interval", pnlControl[5]));
    for (int k = 0; k < 4; ++k) {
        auto* option = new KeptLookRadioButton(kIntervalCaptions[k], pnlControl[5]);
        option->setObjectName(QString("chkCI_%1").arg(k));
        option->setChecked(k == ContourIntervalIndex);
        connect(option, &QRadioButton::clicked, this, [this, k] { chkCI_Click(k); });
        chkCI[static_cast<std::size_t>(k)] = option;
        intervals->addWidget(option);
    }
    panelLayouts[5]->addLayout(intervals);
    chkSynch = new KeptLookCheckBox("Synchronize Profile with OverView", pnlControl[5]);
    chkSynch->setObjectName("chkSynch");
    chkSynch->setChecked(options.chkSynch);
    connect(chkSynch, &QCheckBox::toggled, this, [this](bool on) { options.chkSynch = on; });
    panelLayouts[5]->addWidget(chkSynch);

    legends = std::make_unique<OverviewLegends>(
        session_, options, picRH, [this] { RedrawOverview(); },
        [this](const std::string& word) { main_.RunControlCommand(word, showMessage_); },
        pnlControl[0], pnlControl[1]);
    // The legends' messages belong to this window, which stays in front.
    legends->showMessage = [this](const std::string& title, const std::string& text) {
        QMessageBox::information(this, QString::fromStdString(title), QString::fromStdString(text));
    };
    panelLayouts[0]->addWidget(legends->pnlRH);
    panelLayouts[0]->addWidget(legends->frameECAPE);
    panelLayouts[1]->addWidget(legends->pnlHeatIndex);
    // The colour classes of the EL CIN boxes, the hail strip and the Davis
    // index, as their plotters colour them.
    frameELCIN = ColourLegend(
        pnlControl[3], "frameELCIN",
        {{"CIN < 20", RGB(127, 0, 0)}, {"20 - 50", RGB(0, 127, 0)}, {"50 +", RGB(0, 0, 127)}});
    pnlHail = ColourLegend(
        pnlControl[3], "pnlHail",
        {{"0\u00b0C > 13000 ft, 500 mb < 30 kt", RGB(255, 0, 0)}, {"other hours", RGB(0, 255, 0)}});
    panelLayouts[3]->addWidget(frameELCIN);
    panelLayouts[3]->addWidget(pnlHail);
    pnlDavisIndex = ColourLegend(pnlControl[6], "pnlDavisIndex",
                                 {{"< 10", RGB(0, 255, 0)},
                                  {"10 - 15", RGB(255, 255, 0)},
                                  {"15 - 17", RGB(255, 0, 0)},
                                  {"> 17", RGB(0, 0, 255)}});
    panelLayouts[6]->addWidget(pnlDavisIndex);

    for (QVBoxLayout* layout : panelLayouts) layout->addStretch(1);
    column->addWidget(stack, 1);

    auto* hours = new QHBoxLayout();
    for (int k = 0; k < 4; ++k) {
        auto* button = new KeptLookPushButton(side);
        button->setObjectName(QString("btnHours_%1").arg(k));
        connect(button, &QPushButton::clicked, this, [this, k] { btnHours_Click(k); });
        btnHours[static_cast<std::size_t>(k)] = button;
        hours->addWidget(button);
    }
    column->addLayout(hours);
    btnQuit = new KeptLookPushButton("Close", side);
    btnQuit->setObjectName("btnQuit");
    btnQuit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    connect(btnQuit, &QPushButton::clicked, this, [this] { btnQuit_Click(); });
    column->addWidget(btnQuit);
    side->setFixedWidth(380);
    btnControl_Click(0);
    return side;
}

void FrmOverView::BuildControls() {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildPictures(), 1);
    layout->addWidget(BuildPanels());
    resize(1260, 760);
}

void FrmOverView::PlaceWindow() {
    const QSize from = placeFrom_.value_or(size());
    placeFrom_.reset();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (const QSize placed = FittedToScreen(*this, from); placed != size()) resize(placed);
    if (!screen) return;
    // The frame is centred in the screen's free area; on a screen 2001 pixels
    // wide or more, in the half the main window does not stand in.
    PixelRect area = PrimaryFreeArea();
    if (screen->geometry().width() >= 2001) {
        const int half = area.Width() / 2;
        if (main_.frameGeometry().left() <= area.Left + half)
            area.Left += half;
        else
            area.Right = area.Left + half;
    }
    CenterFrameInArea(*this, area);
}

void FrmOverView::Form_Load() {
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    // Placed at the size its layout settles on before it is shown: a window
    // not yet framed by the window manager goes where its frame is asked to.
    layout()->activate();
    PlaceWindow();
    show();
    SetOverviewCaption();

    axes.DirectionSpan = axes.DirectionTop = 360.0f;
    axes.IndexSpan = 40.0f;
    axes.IndexBase = -20.0f;
    axes.PrecipSpan = 0.1f;
    axes.PrecipBase = 0.0f;
    axes.PressureTraceSpan = 50.0f;
    axes.PressureTraceBase = s.SurfacePressure(m, 0) - axes.PressureTraceSpan / 2.0f;
    axes.TraceBase = session_.history.TraceRange[0];
    axes.TraceSpan = session_.history.TraceRange[1];
    options.VerticalUnits = 1;
    ContourIntervalIndex = 2;
    options.ContourInterval = 5;
    options.OmegaFiltered = main_.soundingView().extras.OmegaFiltered;
    btnOmegaFiltered->setChecked(options.OmegaFiltered);
    options.SigmaLevel = main_.soundingView().SigmaLevel;
    options.MeanWindLevels = main_.soundingView().MeanFlowLevels;

    {
        const HoldFlag hold(RedrawSuspended);
        StartControls();
        if (QCheckBox* bourgouin = findChild<QCheckBox*>("chksWSYMb"))
            bourgouin->setChecked(main_.chksWSYMb && main_.chksWSYMb->isChecked());
    }
    ShowCompanionPanels();

    StartProfileScale(axes, m, s.DiagramTopPressure);
    const QString lakeF =
        main_.lakePanel() && main_.lakePanel()->lblLakeF ? main_.lakePanel()->lblLakeF->text() : "";
    lblLakeTemp->setText("Lake Temp " + lakeF + QChar(176));
    optSum[0]->setChecked(true);
    const bool runOff = s.ModelChoice < 2;
    Box("chkRunOff")->setEnabled(runOff);
    Box("chkEvaporation")->setEnabled(runOff);
    session_.timeHeight->ClearModel(m);
    options.PressureBaseExtended = false;
    picLeft->Surface().Scale(0, 0, 100, 100);
    picRight->Surface().Scale(0, 0, 100, 100);

    const auto& spans = session_.parameters.OverviewSpans;
    for (std::size_t k = 0; k < btnHours.size(); ++k)
        btnHours[k]->setText(QString::number(spans[k]));
    loaded_ = true;
    btnHours_Click(std::clamp<int>(session_.parameters.OverviewSpanChoice, 0, 3));
    CaptionHelicity();
}

void FrmOverView::CaptionHelicity() {
    // The layer the trace is computed over: the main window's.
    const HistorySettings& h = session_.history;
    Box("chkHelicity")->setText(QString("Helicity %1 - %2 km").arg(h.HodoBaseKm).arg(h.HodoTopKm));
}

void FrmOverView::SetOverviewCaption() {
    SetLevelLogPressures(*session_.profile, axes);
    setWindowTitle(main_.windowTitle() + " Overview");
}

void FrmOverView::RedrawOverview() {
    if (RedrawSuspended || !picRH) return;
    options.MomentumTransferIndex = main_.soundingView().extras.MomentumXferIndex;
    const QDateTime now = QDateTime::currentDateTime();
    OverviewContext ctx{session_,
                        options,
                        axes,
                        picRH->Surface(),
                        picLeft->Surface(),
                        picRight->Surface(),
                        DateTime::FromParts(now.date().year(), now.date().month(), now.date().day(),
                                            now.time().hour(), now.time().minute()),
                        {},
                        &contours_};
    WaitPointer busy;
    ::tarvex::RedrawOverview(ctx, RedrawSuspended, &busy);
    sidesDrawn_ = {std::pair{picLeft->Surface().PixelWidth(), picLeft->Surface().PixelHeight()},
                   std::pair{picRight->Surface().PixelWidth(), picRight->Surface().PixelHeight()}};
    const std::array<bool, 7> enabled = {false,          ctx.grids.Height, ctx.grids.LakeIndex,
                                         ctx.grids.Left, ctx.grids.Precip, ctx.grids.Temp,
                                         ctx.grids.Wind};
    for (std::size_t g = 1; g < gridBoxes_.size(); ++g) gridBoxes_[g]->setEnabled(enabled[g]);
    leftBands_ = ctx.grids.LeftBands;
    if (afterRedraw) afterRedraw();
}

void FrmOverView::RedrawForNewSize() {
    if (isVisible() && size() != laidOutSize_) {
        redrawForSize_ = true;
        return;
    }
    RedrawOverview();
}

void FrmOverView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    laidOutSize_ = size();
    if (!std::exchange(redrawForSize_, false)) return;
    RedrawOverview();
}

void FrmOverView::DrawTimeAxis() {
    if (!picTime) return;
    ::tarvex::DrawTimeAxis(picTime->Surface(), *session_.profile, axes,
                           TimeAxisSettingsOf(session_));
}

void FrmOverView::btnHours_Click(int Index) {
    for (std::size_t k = 0; k < btnHours.size(); ++k)
        SetBold(btnHours[k], static_cast<int>(k) == Index);
    const int hours = session_.parameters.OverviewSpans[static_cast<std::size_t>(Index)];
    const int span = ColumnSpanOf(hours, session_.HoursPerColumn);
    SetTimeWindow(axes, span, 0);
    btnQuit->setFocus();
    {
        // The bar goes back to 0 whether or not it stays in use; the one
        // redraw below shows it.
        const QSignalBlocker quiet(hsbHours);
        const int last = session_.profile->LastTime(session_.profile->CurrentModel);
        hsbHours->setValue(0);
        hsbHours->setEnabled(last > span - 1);
        if (last > span - 1) {
            hsbHours->setRange(0, last - span + 1);
            hsbHours->setPageStep(span - 1);
        }
    }
    // Started again, the axis is drawn once, for the settings applied.
    if (startingAgain_ == 0) DrawTimeAxis();
    RedrawOverview();
}

void FrmOverView::btnControl_Click(int Index) {
    static constexpr const char* kWords[kControlPanels] = {
        "Contour",  "Temperature",       "Wind",    "Overview Convection",
        "Aviation", "Overview Controls", "Fire Wx", "Precip"};
    if (Index >= 0 && Index < kControlPanels) HelpWord(kWords[Index]);
    ControlPanelIndex = static_cast<std::int16_t>(Index);
    for (int k = 0; k < kControlPanels; ++k) {
        btnControl[static_cast<std::size_t>(k)]->setChecked(k == Index);
        SetBold(btnControl[static_cast<std::size_t>(k)], k == Index);
    }
    // The stack hides the old panel and shows the new one in the same room.
    if (Index >= 0 && Index < kControlPanels) {
        auto* stack = static_cast<QStackedWidget*>(pnlControl[0]->parentWidget());
        stack->setCurrentIndex(Index);
    }
    if (btnQuit) btnQuit->setFocus();
}

void FrmOverView::btnQuit_Click() {
    close();
}

void FrmOverView::GridStep(OverviewGrid grid, bool on) {
    QCheckBox* selector = grid == G::None ? nullptr : GridBox(grid);
    if (on && selector && !selector->isChecked())
        selector->setChecked(true); // its own click redraws
    else
        RedrawOverview();
}

void FrmOverView::chkGrid_Click(OverviewGrid grid) {
    if (InternalUpdate) return;
    QCheckBox* clicked = GridBox(grid);
    if (clicked->isChecked()) {
        InternalUpdate = true;
        for (std::size_t g = 1; g < gridBoxes_.size(); ++g)
            if (gridBoxes_[g] != clicked) gridBoxes_[g]->setChecked(false);
        InternalUpdate = false;
    }
    RedrawOverview();
}

void FrmOverView::chkRH_Click(int Index) {
    if (RedrawSuspended) return;
    HelpWord("Relative Humidity");
    QCheckBox* other = chkRH[static_cast<std::size_t>(1 - Index)];
    if (chkRH[static_cast<std::size_t>(Index)]->isChecked() && other->isChecked()) {
        const HoldFlag hold(RedrawSuspended);
        other->setChecked(false);
    }
    ShowCompanionPanels();
    GridStep(G::Height, chkRH[static_cast<std::size_t>(Index)]->isChecked());
}

void FrmOverView::chkCI_Click(int Index) {
    ContourIntervalIndex = static_cast<std::int16_t>(Index);
    options.ContourInterval = static_cast<std::int16_t>(std::stoi(kIntervalCaptions[Index]));
    if (legends) legends->DisplayECAPELabels();
    if (InternalUpdate) return;
    const OverviewOptions& o = options;
    if (AnyOn(o, {&O::chkRHContour, &O::chkRHIcontour, &O::chkSnowGrowth, &O::chkTemperature,
                  &O::chkVelocity, &O::chkDPD, &O::chkWetBulb, &O::ChkOmega, &O::chkShearContour,
                  &O::chkTheta, &O::chkThetaE, &O::chkDeltaThetaE, &O::chkIcing, &O::chkLayerShear,
                  &O::chkMixingRatio, &O::chkMeanMixingRatio, &O::chkECAPE}))
        RedrawOverview();
}

void FrmOverView::SumRule(bool on, int k) {
    QRadioButton* option = optSum[static_cast<std::size_t>(k)];
    if (on)
        option->setChecked(true);
    else if (option->isChecked())
        optSum[0]->setChecked(true);
}

void FrmOverView::SetIndexRange(float base, float span, bool onlyFromStart) {
    if (onlyFromStart && !(axes.IndexBase == -20.0f && axes.IndexSpan == 40.0f)) return;
    axes.IndexBase = base;
    axes.IndexSpan = span;
}

void FrmOverView::FoldTraceScale(bool fold) {
    if (!fold) return;
    axes.TraceSpan += axes.TraceBase;
    axes.TraceBase = 0.0f;
}

void FrmOverView::OverlayExtras(const OverlayBoxSpec& spec, bool on) {
    const std::string name = spec.name;
    const OverviewOptions& o = options;
    ShowCompanionPanels();
    if (spec.factor != 0) axes.IndexLabelFactor = spec.factor;
    if (name == "chkWinds" || name == "chkVVTrend") DrawWindScale();
    if (!on) {
        if (name == "chkEvaporation") SumRule(false, 2);
        if (name == "chkRunOff") SumRule(false, 3);
        if (name == "chkSnow" && !InternalUpdate) SumRule(false, 1);
        return;
    }
    if (name == "chkTQ") SetIndexRange(0, 25, true);
    if (name == "chkHainesIndex") SetIndexRange(-1, 10, false);
    if (name == "chkSnowRatio") SetIndexRange(0, 30, false);
    if (name == "chkHelicity") {
        SetIndexRange(-5, 45, true);
        if ((o.chkRH[0] || o.chkRH[1]) && o.RHLegendIndex == 0) options.RHLegendIndex = 1;
    }
    if (name == "chkMBEspeed" || name == "chkStormRelInflow") FoldTraceScale(axes.TraceBase > 0);
    if (name == "chkTransportSpeed") FoldTraceScale(axes.TraceBase != 0);
    if (name == "chkEvaporation") SumRule(true, 2);
    if (name == "chkRunOff") SumRule(true, 3);
    if (name == "chkSnow" && !InternalUpdate) SumRule(true, 1);
    if (name == "chkPrecip") {
        optSum[0]->setChecked(true);
        ShowPTypeSummary();
    }
    if (name == "chkECAPE") legends->DisplayECAPELabels();
    if (name == "chkELCIN" && (o.chkRH[0] || o.chkRH[1])) {
        const HoldFlag hold(RedrawSuspended);
        for (QCheckBox* box : chkRH) box->setChecked(false);
        ShowCompanionPanels();
    }
}

std::array<std::pair<QWidget*, bool>, FrmOverView::kCompanionPanels>
FrmOverView::CompanionRules() const {
    const OverviewOptions& o = options;
    return {
        {{legends->pnlRH, o.chkRH[0] || o.chkRH[1]},
         {btnOmegaFiltered, o.ChkOmega},
         {legends->frameECAPE, o.chkECAPE},
         {legends->pnlHeatIndex, o.chkApparentTemp},
         {lblLakeTemp, AnyOn(o, {&O::chkLakeIndex, &O::chkMoistLakeIndex, &O::chkLIC, &O::chkLIE})},
         {pnlVWPOptions, o.chkVWP},
         {pnlVWP, o.chkVWP && o.chkVWPColor},
         {pnlMeanWind, o.chkMeanWind},
         {pnlWind, o.chkWinds},
         {frameELCIN, o.chkELCIN},
         {frameHeights, o.chkHeights},
         {pnlHail, o.chkFreezingLevel},
         {frameCAPE, o.chkCAPE},
         {pnlDavisIndex, o.chkDavisIndex},
         {pnlHainesIndex, o.chkHainesIndex},
         {framePrecip, o.chkPrecip}}};
}

void FrmOverView::ShowCompanionPanels() {
    // A recall shows them once every control is set: each panel shown
    // lays out its contents, and a recall ticks its boxes one by one. A
    // start again leaves them as they stand until its settings are applied.
    if (codeChanges_ > 0 || startingAgain_ > 0) return;
    const auto rules = CompanionRules();
    // Hidden ones first: the shown ones then take room that is free.
    for (const auto& [panel, on] : rules)
        if (!on && panel) panel->hide();
    for (const auto& [panel, on] : rules)
        if (on && panel) panel->show();
}

void FrmOverView::OverlayBox_Click(const OverlayBoxSpec& spec) {
    if (*spec.word) HelpWord(spec.word);
    const bool on = options.*spec.value;
    OverlayExtras(spec, on);
    GridStep(spec.grid, on);
}

void FrmOverView::chksWSYMb_Click() {
    HelpWord("Bourgouin PType");
    if (!RedrawSuspended) {
        MirrorBourgouin();
        PTypeSummaryMarker = -1;
        ShowPTypeSummary();
        RedrawOverview();
    }
    vbsElevatedPT->Bar()->setEnabled(options.chksWSYMb);
    ShowPTElevation();
}

void FrmOverView::MirrorBourgouin() {
    if (main_.chksWSYMb && main_.chksWSYMb->isChecked() != options.chksWSYMb) {
        main_.chksWSYMb->setChecked(options.chksWSYMb);
        main_.chksWSYMb_Click();
    }
}

void FrmOverView::ShowPTElevation() {
    const ProfileArrays& s = *session_.profile;
    const int level = session_.options.ElevatedPTLevel;
    if (!options.chksWSYMb) {
        lblPTElevation->setText("");
    } else if (level == 1) {
        lblPTElevation->setText("Surface");
    } else {
        const int m = s.CurrentModel;
        const double agl = s.HeightAGL(m, 0, level);
        const double msl = s.Height(m, 0, level);
        lblPTElevation->setText(QString::fromStdString(
            "AGL: " + Format(agl / 0.3038, "##0") + "'   " + Format(agl, "##0") +
            "m\r\nMSL: " + Format(msl / 0.3038, "##0") + "'   " + Format(msl, "##0") + "m"));
    }
}

} // namespace tarvex
