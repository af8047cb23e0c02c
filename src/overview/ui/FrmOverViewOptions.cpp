// The overview's option buttons and scroll bars: the snow-ratio technique
// and fixed ratio, the layer-shear unit, the wind-profile colour step, the
// quantities of the two mouse buttons, the hours scroll, the sigma level,
// the elevated precipitation-type level, the mean-wind layer, and the
// precipitation-type labels of the run.
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/ui/FrmOverView.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/WindColumn.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvex {

namespace {

void AddToPanel(QFrame* panel, QWidget* widget) {
    auto* layout = static_cast<QBoxLayout*>(panel->layout());
    layout->insertWidget(layout->count() - 1, widget);
}

// An option group in a frame of its own (so that its buttons exclude only
// each other); a selected button runs click(Index).
template <std::size_t N, typename Click>
QGroupBox* OptionGroup(QWidget* parent, const char* title, const char* name,
                       const std::array<const char*, N>& captions,
                       std::array<QRadioButton*, N>& options, Click click, bool across = false) {
    auto* group = new KeptLookGroupBox(title, parent);
    QBoxLayout* layout = across ? static_cast<QBoxLayout*>(new QHBoxLayout(group))
                                : static_cast<QBoxLayout*>(new QVBoxLayout(group));
    for (std::size_t k = 0; k < N; ++k) {
        options[k] = new KeptLookRadioButton(captions[k], group);
        options[k]->setObjectName(QString("%1_%2").arg(name).arg(k));
        QObject::connect(options[k], &QRadioButton::toggled, group, [click, k](bool on) {
            if (on) click(static_cast<int>(k));
        });
        layout->addWidget(options[k]);
    }
    return group;
}

// Level bars stand tall enough to be dragged level by level.
QScrollBar* NewBar(QWidget* parent, const char* name, Qt::Orientation orientation) {
    auto* bar = new ClippedScrollBar(orientation, parent);
    bar->setObjectName(name);
    if (orientation == Qt::Vertical) bar->setMinimumHeight(140);
    return bar;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new KeptLookLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

void FrmOverView::BuildOptions() {
    // Contour panel: the unit of the layer shear.
    AddToPanel(pnlControl[0], OptionGroup<2>(
                                  pnlControl[0], "", "optLayerShear", {"(m/s)", "(m/s) / km"},
                                  optLayerShear, [this](int) { optLayerShear_Click(); }, true));
    {
        const QSignalBlocker quiet(optLayerShear[0]);
        optLayerShear[0]->setChecked(true);
    }

    // Wind panel: the colour step of the wind profile and its legend, the
    // sigma level and the mean-wind layer.
    // The colour step and its legend show while the coloured wind profile
    // is on.
    pnlVWP = Companion(new QWidget(pnlControl[2]));
    pnlVWP->setObjectName("pnlVWP");
    auto* vwp = new QVBoxLayout(pnlVWP);
    vwp->setContentsMargins(0, 0, 0, 0);
    vwp->addWidget(OptionGroup<4>(
        pnlVWP, "", "OptWindColor", {"2", "5", "10", "20"}, OptWindColor,
        [this](int k) { OptWindColor_Click(k); }, true));
    auto* legendRow = new QHBoxLayout();
    for (std::size_t k = 0; k < lblVWP.size(); ++k) {
        lblVWP[k] = NewLabel(pnlVWP, "lblVWP", QString::number(10 * (k + 1)));
        lblVWP[k]->setObjectName(QString("lblVWP_%1").arg(k));
        // Label k gives the speed where the colour of step k + 1 begins.
        ShowLegendCell(lblVWP[k], kBlack, kWhite, WindSpeedColour(static_cast<double>(k + 1), 1.0));
        legendRow->addWidget(lblVWP[k]);
    }
    vwp->addLayout(legendRow);
    AddToPanel(pnlControl[2], pnlVWP);
    auto* bars = new QWidget(pnlControl[2]);
    auto* barRow = new QHBoxLayout(bars);
    auto* sigmaGrid = new QGridLayout();
    lblSigmaLevel = NewLabel(bars, "lblSigmaLevel", "1");
    sigmaGrid->addWidget(new KeptLookLabel("Sigma", bars), 0, 0);
    sigmaGrid->addWidget(lblSigmaLevel, 1, 0);
    vsbSigmaLevel =
        std::make_unique<RangeScrollBar>(NewBar(bars, "vsbSigmaLevel", Qt::Vertical), 24, 3);
    vsbSigmaLevel->SetValue(4);
    sigmaGrid->addWidget(vsbSigmaLevel->Bar(), 2, 0);
    sigmaGrid->setRowStretch(4, 1);
    connect(vsbSigmaLevel->Bar(), &QScrollBar::valueChanged, this,
            [this] { vsbSigmaLevel_Change(); });
    barRow->addLayout(sigmaGrid);
    // The mean-wind layer's bars show while the mean wind is drawn.
    pnlMeanWind = Companion(new QWidget(bars));
    pnlMeanWind->setObjectName("pnlMeanWind");
    auto* barGrid = new QGridLayout(pnlMeanWind);
    barGrid->setContentsMargins(0, 0, 0, 0);
    barGrid->addWidget(new KeptLookLabel("Mean Wind", pnlMeanWind), 0, 0, 1, 2);
    for (int k = 0; k < 2; ++k) {
        const auto i = static_cast<std::size_t>(k);
        lblMeanWind[i] = NewLabel(pnlMeanWind, "lblMeanWind");
        lblMeanWind[i]->setObjectName(QString("lblMeanWind_%1").arg(k));
        lblMeanWindPressure[i] = NewLabel(pnlMeanWind, "lblMeanWindPressure");
        lblMeanWindPressure[i]->setObjectName(QString("lblMeanWindPressure_%1").arg(k));
        vsbMeanWind[i] = std::make_unique<RangeScrollBar>(
            NewBar(pnlMeanWind, k == 0 ? "vsbMeanWind_0" : "vsbMeanWind_1", Qt::Vertical), 23 + k,
            1 + k);
        vsbMeanWind[i]->SetValue(3);
        connect(vsbMeanWind[i]->Bar(), &QScrollBar::valueChanged, this,
                [this, k] { vsbMeanWind_Change(k); });
        barGrid->addWidget(lblMeanWind[i], 1, k);
        barGrid->addWidget(vsbMeanWind[i]->Bar(), 2, k);
        barGrid->addWidget(lblMeanWindPressure[i], 3, k);
    }
    barRow->addWidget(pnlMeanWind);
    // The sigma-level legend stands beside the bars, so the panel stays
    // short enough for a small screen.
    pnlControl[2]->layout()->removeWidget(pnlWind);
    barRow->addWidget(pnlWind, 0, Qt::AlignTop);
    barRow->addStretch(1);
    AddToPanel(pnlControl[2], bars);

    // Precipitation panel: the snow-ratio technique and fixed ratio, the
    // elevated precipitation-type level and the types seen in the run.
    // The technique and the elevated-type bar side by side.
    auto* techniqueRow = new QWidget(pnlControl[7]);
    auto* technique = new QHBoxLayout(techniqueRow);
    technique->setContentsMargins(0, 0, 0, 0);
    technique->addWidget(OptionGroup<4>(techniqueRow, "Snow Ratio", "optSnowTechnique",
                                        {"Zone Omega", "Max Temp In Profile", "Sfc Temp", "10:1"},
                                        optSnowTechnique,
                                        [this](int k) { optSnowTechnique_Click(k); }),
                         1);
    AddToPanel(pnlControl[7], techniqueRow);
    {
        const QSignalBlocker quiet(optSnowTechnique[0]);
        optSnowTechnique[0]->setChecked(true);
    }
    hsbRatio = NewBar(pnlControl[7], "hsbRatio", Qt::Horizontal);
    hsbRatio->setRange(5, 25);
    hsbRatio->setValue(10);
    hsbRatio->setEnabled(false);
    connect(hsbRatio, &QScrollBar::valueChanged, this, [this] { hsbRatio_Change(); });
    AddToPanel(pnlControl[7], hsbRatio);
    vbsElevatedPT = std::make_unique<RangeScrollBar>(
        NewBar(pnlControl[7], "vbsElevatedPT", Qt::Vertical), 20, 1);
    vbsElevatedPT->SetValue(1);
    vbsElevatedPT->Bar()->setEnabled(false);
    connect(vbsElevatedPT->Bar(), &QScrollBar::valueChanged, this,
            [this] { vbsElevatedPT_Change(); });
    technique->addWidget(vbsElevatedPT->Bar());
    // The precipitation types of the run show with the precipitation.
    framePrecip = Companion(new QWidget(pnlControl[7]));
    framePrecip->setObjectName("framePrecip");
    QWidget* types = framePrecip;
    auto* typeRow = new QHBoxLayout(types);
    typeRow->setContentsMargins(0, 0, 0, 0);
    struct TypeLabel {
        const char* caption;
        const char* style;
    };
    static constexpr TypeLabel kTypes[5] = {
        {"C", "color: rgb(0, 191, 0);"},
        {"N", "color: rgb(0, 255, 0);"},
        {"S", "color: rgb(0, 0, 255); background-color: white;"},
        {"ZR", "color: rgb(255, 0, 0); background-color: white;"},
        {"IP", "color: rgb(255, 128, 0); background-color: white;"}};
    for (std::size_t k = 0; k < lblPType.size(); ++k) {
        lblPType[k] = NewLabel(types, "lblPType", kTypes[k].caption);
        lblPType[k]->setObjectName(QString("lblPType_%1").arg(k));
        lblPType[k]->setStyleSheet(kTypes[k].style);
        lblPType[k]->hide();
        typeRow->addWidget(lblPType[k]);
    }
    AddToPanel(pnlControl[7], types);
    for (int k = 0; k < 4; ++k)
        connect(optSum[static_cast<std::size_t>(k)], &QRadioButton::toggled, this,
                [this, k](bool on) {
                    if (on) optSum_Click(k);
                });

    // Controls panel: the panel the left mouse button opens.
    AddToPanel(pnlControl[5], OptionGroup<5>(pnlControl[5], "Left Mouse", "optOverlay",
                                             {"Map", "Hodograph", "Profile", "Storm Type", "None"},
                                             optOverlay, [this](int k) { optOverlay_Click(k); }));

    // The hours scroll under the time strip.
    hsbHours = NewBar(this, "hsbHours", Qt::Horizontal);
    hsbHours->setEnabled(false);
    connect(hsbHours, &QScrollBar::valueChanged, this, [this] { hsbHours_Change(); });
    static_cast<QGridLayout*>(picTime->parentWidget()->layout())->addWidget(hsbHours, 2, 1);
}

void FrmOverView::StartControls() {
    // The sigma level and the mean-wind layer start where the main window
    // has them.
    vsbSigmaLevel->SetRange(main_.vsbSigmaLevel->Minimum(), main_.vsbSigmaLevel->Maximum());
    vsbSigmaLevel->SetValue(main_.vsbSigmaLevel->Value());
    // The main window's bars span the file's levels; the overview's take
    // the same ranges, or a layer reaching above level 24 could not be
    // copied.
    for (int k = 1; k >= 0; --k) {
        const RangeScrollBar& from = *main_.vsbMeanFlow[static_cast<std::size_t>(k)];
        vsbMeanWind[static_cast<std::size_t>(k)]->SetRange(from.Minimum(), from.Maximum());
    }
    vsbMeanWind[0]->SetValue(main_.vsbMeanFlow[0]->Value());
    vsbMeanWind[1]->SetValue(main_.vsbMeanFlow[1]->Value());
    vsbSigmaLevel_Change();
    for (int k = 0; k < 2; ++k) vsbMeanWind_Change(k);
    btnVWPInterval->setText(QString::number(options.VWPInterval));
    btnVWPIntervalA->setText(QString::number(options.VWPIntervalA) + "A");
    SetBold(btnVWPInterval, true);
    const int panel = session_.history.SelectedPanel;
    if (panel >= 0 && panel < static_cast<int>(optOverlay.size()))
        optOverlay[static_cast<std::size_t>(panel)]->setChecked(true);
    HelicityTop = session_.history.HodoTopKm;
    HelicityBottom = session_.history.HodoBaseKm;
    const int xfer = main_.soundingView().extras.MomentumXferIndex;
    for (std::size_t k = 0; k < btnXferO.size(); ++k)
        SetBold(btnXferO[k], static_cast<int>(k) == xfer);
    OptWindColor[static_cast<std::size_t>(options.WindColorIndex)]->setChecked(true);
}

void FrmOverView::optSnowTechnique_Click(int Index) {
    static constexpr const char* kWords[4] = {"Zone Omega", "Snow Max Temp", "Surface Temp",
                                              "10:1"};
    HelpWord(kWords[Index]);
    options.SnowRatioTechnique = static_cast<std::int16_t>(Index);
    hsbRatio->setEnabled(Index == kSnowRatioFixed);
    MakeSnowRatio(*session_.profile, options.SnowRatioTechnique, options.FixedSnowRatio,
                  *session_.timeHeight);
    if (options.chkSnow || options.chkSnowRatio) {
        axes.IndexLabelFactor = 1;
        GridStep(OverviewGrid::LakeIndex, options.chkSnowRatio);
    }
}

void FrmOverView::hsbRatio_Change() {
    options.FixedSnowRatio = static_cast<std::int16_t>(hsbRatio->value());
    optSnowTechnique[3]->setText(QString::number(hsbRatio->value()) + ":1");
    MakeSnowRatio(*session_.profile, options.SnowRatioTechnique, options.FixedSnowRatio,
                  *session_.timeHeight);
    if (options.SnowRatioTechnique == kSnowRatioFixed && (options.chkSnowRatio || options.chkSnow))
        RedrawOverview();
}

void FrmOverView::optLayerShear_Click() {
    options.LayerShearPerKm = optLayerShear[1]->isChecked();
    const int m = std::clamp<int>(session_.profile->CurrentModel, 0, kModelColumns - 1);
    session_.timeHeight->LayerShearDone(m) = kFlagFalse;
    if (options.chkLayerShear) RedrawOverview();
}

void FrmOverView::OptWindColor_Click(int Index) {
    static constexpr int kSteps[4] = {2, 5, 10, 20};
    options.WindColorIndex = static_cast<std::int16_t>(Index);
    for (std::size_t k = 0; k < lblVWP.size(); ++k)
        lblVWP[k]->setText(QString::number(kSteps[Index] * static_cast<int>(k + 1)));
    RedrawOverview();
}

void FrmOverView::optSum_Click(int Index) {
    SumFieldIndex = static_cast<std::int16_t>(Index);
}

void FrmOverView::optOverlay_Click(int Index) {
    session_.history.SelectedPanel = static_cast<std::int16_t>(Index);
}

void FrmOverView::hsbHours_Change() {
    const int span = static_cast<int>(axes.ScaleLeftColumn - axes.ScaleRightColumn) - 1;
    SetTimeWindow(axes, span, hsbHours->value());
    DrawTimeAxis();
    RedrawOverview();
    btnQuit->setFocus();
}

void FrmOverView::vsbSigmaLevel_Change() {
    options.SigmaLevel = static_cast<std::int16_t>(vsbSigmaLevel->Value());
    lblSigmaLevel->setText(QString::number(options.SigmaLevel));
    DrawWindScale();
    if (options.chkWinds || options.chkVVTrend) RedrawOverview();
}

void FrmOverView::vbsElevatedPT_Change() {
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    session_.options.ElevatedPTLevel = static_cast<std::int16_t>(vbsElevatedPT->Value());
    for (int t = 0; t <= std::min<int>(s.LastTime(m), kLastTimeColumn); ++t)
        session_.ptype->PTypeAreasDone(m, t) = kFlagFalse;
    RedrawOverview();
    ShowPTypeSummary();
    if (options.chksWSYMb) ShowPTElevation();
}

void FrmOverView::vsbMeanWind_Change(int Index) {
    const auto k = static_cast<std::size_t>(Index);
    const int value = vsbMeanWind[k]->Value();
    auto caption = [&] {
        options.MeanWindLevels[k] = static_cast<std::int16_t>(value);
        lblMeanWind[k]->setText(QString::number(value));
        const float p = value >= 0 && value < kLevelSlots
                            ? session_.profile->Pressure(session_.profile->CurrentModel, 0, value)
                            : 0.0f;
        lblMeanWindPressure[k]->setText(QString::fromStdString(Format(p, "0")));
    };
    if (RedrawSuspended) {
        caption();
        return;
    }
    // The layer keeps a depth of at least one level: a bar moved onto or
    // past the other (a page step can jump past it) stops one level beyond
    // it, and that change redraws.
    const int other = vsbMeanWind[1 - k]->Value();
    if (Index == 0 ? value >= other : value <= other) {
        if (vsbMeanWind[k]->SetValue(Index == 0 ? other - 1 : other + 1)) return;
    }
    caption();
    RedrawOverview();
}

void FrmOverView::ShowPTypeSummary() {
    MakePTypeSummary(*session_.profile, *session_.ptype, *session_.timeHeight);
    for (std::size_t k = 0; k < lblPType.size(); ++k)
        lblPType[k]->setVisible(session_.timeHeight->PTypeSeen[k]);
}

void FrmOverView::ShowCompanions() {
    const OverviewOptions& o = options;
    ShowCompanionPanels();
    vbsElevatedPT->Bar()->setEnabled(o.chksWSYMb);
    ShowPTElevation();
    hsbRatio->setEnabled(o.SnowRatioTechnique == kSnowRatioFixed);
    frmXfer->setVisible(o.MixingLayerMode == 0);
    lblMixingLayer->setVisible(o.MixingLayerMode == 1);
}

void FrmOverView::HelpWord(const char* word) {
    if (codeChanges_ == 0) main_.RunControlCommand(word, showMessage_);
}

QCheckBox* FrmOverView::NamedBox(const std::string& name) const {
    // The overlay boxes from their own list; only the few others are looked
    // for among the window's widgets.
    if (QCheckBox* box = Box(name)) return box;
    return findChild<QCheckBox*>(QString::fromStdString(name));
}

} // namespace tarvex
