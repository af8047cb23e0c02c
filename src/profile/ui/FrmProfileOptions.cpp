// The option check boxes of the main window. Every handler passes the box's
// topic word to the help hook, brings the state behind the box up to date and
// redraws what shows it.
#include "compute/ComputeState.h"
#include "files/Session.h"
#include "files/TrainingHook.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/MapDiagram.h"
#include "profile/ui/ConvectionPanel.h"
#include "profile/ui/FrmProfile.h"

#include "profile/ui/MapPanel.h"
#include "profile/ui/StormPanels.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tarvex {

namespace {

// What a plain option box does: the flag it sets and what it redraws.
struct OptionSpec {
    QCheckBox* FrmProfile::*control;
    const char* name;
    const char* caption;
    const char* word; // nullptr: no topic word
    bool SoundingOptions::*flag;
    bool redrawsSounding;
    bool redrawsMap;
};

constexpr OptionSpec kSoundingOptions[] = {
    {&FrmProfile::chkSkewT, "chkSkewT", "Skew T", "Skew T", &SoundingOptions::SkewT, true, false},
    {&FrmProfile::chkLines, "chkLines", "Heights", "Heights", &SoundingOptions::Lines, true, false},
    {&FrmProfile::chkDryAdiabats, "chkDryAdiabats", "Dry Adiabats", "Dry Adiabats",
     &SoundingOptions::DryAdiabats, true, false},
    {&FrmProfile::chkWetBulb, "chkWetBulb", "Wet Bulb", "Wet Bulb", &SoundingOptions::WetBulb, true,
     false},
    {&FrmProfile::chkIcing, "chkIcing", "Icing", "Icing", &SoundingOptions::Icing, true, false},
    {&FrmProfile::chkClouds, "chkClouds", "Clouds", "Clouds", &SoundingOptions::Clouds, true,
     false},
    {&FrmProfile::chkInversions, "chkInversions", "Inversions", "Inversions",
     &SoundingOptions::Inversions, true, true},
    {&FrmProfile::chkLCL, "chkLCL", "LCL", "LCL", &SoundingOptions::LCL, true, false},
    {&FrmProfile::chkLFC, "chkLFC", "LFC", "LFC", &SoundingOptions::LFC, true, false},
    {&FrmProfile::chkEQL, "chkEQL", "Equilibrium Lvl", "Equlibrium Lvl", &SoundingOptions::EQL,
     true, false},
    {&FrmProfile::chkWBZ, "chkWBZ", "Wet Bulb Zero", "Wet Bulb Zero", &SoundingOptions::WBZ, true,
     false},
    {&FrmProfile::chkCCL, "chkCCL", "CCL", "CCL", &SoundingOptions::CCL, true, false},
    {&FrmProfile::chkConvectiveTemp, "chkConvectiveTemp", "Convective Temp", "Convective Temp",
     &SoundingOptions::ConvectiveTemp, true, false},
    {&FrmProfile::chkParcel, "chkParcel", "CAPE", "CAPE", &SoundingOptions::Parcel, true, false},
    {&FrmProfile::chkCINS, "chkCINS", "CINS", "CINS", &SoundingOptions::CINS, true, false},
    {&FrmProfile::chk10MWind, "chk10MWind", "2M Tmp/10M Wnd", "2M Tmp/10M Wnd",
     &SoundingOptions::TenMWind, true, false},
    {&FrmProfile::chkSnowGrowth, "chkSnowGrowth", "Snow Growth", "Snow Growth",
     &SoundingOptions::SnowGrowth, true, false},
    {&FrmProfile::chkRH, "chkRH", "Rel Humidity", "Rel Humidity", &SoundingOptions::RH, true,
     false},
    {&FrmProfile::chkWindVector, "chkWindVector", "Vector Winds", "Vector Winds",
     &SoundingOptions::WindVector, true, false},
    {&FrmProfile::chkWindDigital, "chkWindDigital", "Digital Winds", "Digital Winds",
     &SoundingOptions::WindDigital, true, false},
    {&FrmProfile::chkMomentum, "chkMomentum", "Momentum Xfer", "Momentum Xfer",
     &SoundingOptions::Momentum, true, false},
    {&FrmProfile::ChkOmega, "ChkOmega", "Omega", "Omega", &SoundingOptions::Omega, true, false},
};

bool Checked(const QCheckBox* box) {
    return box->checkState() != Qt::Unchecked;
}

const OptionSpec* SpecOf(const FrmProfile& window, const QCheckBox* box) {
    for (const OptionSpec& spec : kSoundingOptions)
        if (window.*spec.control == box) return &spec;
    return nullptr;
}

} // namespace

QWidget* FrmProfile::BuildOptions(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(1);
    auto place = [&, index = 0](QCheckBox* box) mutable {
        grid->addWidget(box, index / 2, index % 2);
        ++index;
    };
    for (const OptionSpec& spec : kSoundingOptions) {
        auto* box = new QCheckBox(spec.caption, frame);
        box->setObjectName(spec.name);
        box->setChecked(view_.options.*spec.flag);
        this->*spec.control = box;
        if (spec.control == &FrmProfile::chkSkewT) {
            connect(box, &QCheckBox::clicked, this, [this] { chkSkewT_Click(); });
        } else {
            connect(box, &QCheckBox::clicked, this, [this, box] { OptionClicked(box); });
        }
        place(box);
    }

    chksWSYMb = new QCheckBox("Bourgoiun  Precip Type on Profile", frame);
    chksWSYMb->setObjectName("chksWSYMb");
    connect(chksWSYMb, &QCheckBox::clicked, this, [this] { chksWSYMb_Click(); });
    chkECAPE = new QCheckBox("Elevated CAPE", frame);
    chkECAPE->setObjectName("chkECAPE");
    connect(chkECAPE, &QCheckBox::clicked, this, [this] {
        RunControlCommand("Elevated CAPE");
        ShowECAPE = Checked(chkECAPE);
        if (convectionPanel_) {
            convectionPanel_->setVisible(ShowECAPE);
            // The trace follows the mouse only while the box is checked.
            if (!ShowECAPE) convectionPanel_->ClearTrace();
        }
    });
    chkActiveReadout = new QCheckBox("Active Read Out", frame);
    chkActiveReadout->setObjectName("chkActiveReadout");
    connect(chkActiveReadout, &QCheckBox::clicked, this, [this] {
        RunControlCommand("Active Read Out");
        ShowSoundingCompanions();
    });
    chkMBE2 = new QCheckBox("Frwd Prop", frame);
    chkMBE2->setObjectName("chkMBE2");
    connect(chkMBE2, &QCheckBox::clicked, this, [this] { chkMBE2_Click(); });
    const int row = grid->rowCount();
    grid->addWidget(chksWSYMb, row, 0, 1, 2);
    grid->addWidget(chkECAPE, row + 1, 0);
    grid->addWidget(chkActiveReadout, row + 1, 1);
    grid->addWidget(chkMBE2, row + 2, 0);
    return frame;
}

QWidget* FrmProfile::BuildMapOptions(QWidget* parent) {
    auto* frame = new QWidget(parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    chkMeanFlow = new KeptLookCheckBox("Mean Wind", frame);
    chkMeanFlow->setObjectName("chkMeanFlow");
    chkSigmaLevel = new KeptLookCheckBox("Sigma Level", frame);
    chkSigmaLevel->setObjectName("chkSigmaLevel");
    chkSigmaLevel->setChecked(view_.options.SigmaLevel);
    for (QCheckBox* box : {chkMeanFlow, chkSigmaLevel}) {
        connect(box, &QCheckBox::clicked, this,
                [this, box] { chkMeanFlowOrSigmaLevel_Click(box); });
        layout->addWidget(box);
    }
    ShowLevelBars();
    chkBrightBand = new KeptLookCheckBox("Bright Band", frame);
    chkBrightBand->setObjectName("chkBrightBand");
    layout->addWidget(chkBrightBand);
    pnlBrightBand = new QFrame(frame);
    pnlBrightBand->setObjectName("pnlBrightBand");
    auto* angles = new QHBoxLayout(pnlBrightBand);
    angles->setContentsMargins(0, 0, 0, 0);
    constexpr const char* kAngles[5] = {"0.5", "1.5", "2.4", "3.4", "4.4"};
    for (int k = 0; k < 5; ++k) {
        auto* box = new KeptLookCheckBox(kAngles[k], pnlBrightBand);
        const Rgb ring = kBrightBandAngleColors[static_cast<std::size_t>(k)];
        box->setStyleSheet(QString("color: rgb(%1, %2, %3);").arg(ring.r).arg(ring.g).arg(ring.b));
        box->setObjectName(QString("chkAngle_%1").arg(k));
        chkAngle[static_cast<std::size_t>(k)] = box;
        connect(box, &QCheckBox::clicked, this, [this, box, k] {
            view_.options.Angle[static_cast<std::size_t>(k)] = Checked(box);
            RedrawMap();
        });
        angles->addWidget(box);
    }
    pnlBrightBand->hide();
    layout->addWidget(pnlBrightBand);
    connect(chkBrightBand, &QCheckBox::clicked, this, [this] {
        view_.options.BrightBand = Checked(chkBrightBand);
        pnlBrightBand->setVisible(view_.options.BrightBand);
        RedrawMap();
    });
    return frame;
}

void FrmProfile::OptionClicked(QCheckBox* box) {
    const OptionSpec* spec = SpecOf(*this, box);
    if (!spec) return;
    if (spec->word) RunControlCommand(spec->word);
    view_.options.*spec->flag = Checked(box);
    ShowSoundingCompanions();
    if (spec->redrawsSounding) DrawSounding();
    if (spec->redrawsMap) RedrawMap();
}

void FrmProfile::chkSkewT_Click() {
    RunControlCommand("Skew T");
    TemperatureAxisEnds& axis = session_.temperatureAxis;
    view_.options.SkewT = Checked(chkSkewT);
    axis.LeftTemp = view_.options.SkewT ? axis.SkewTLeftTemp : axis.ProfileLeftTemp;
    axis.RightTemp = view_.options.SkewT ? axis.SkewTRightTemp : axis.ProfileRightTemp;
    DrawSounding();
}

void FrmProfile::chksWSYMb_Click() {
    RunControlCommand("Bourgoiun");
    session_.options.UseBourgouinPType = Checked(chksWSYMb);
    // Every hour of the current model shows the type of the chosen method.
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    PTypeResults& ptype = *session_.ptype;
    for (int t = 0; t <= s.LastTime(m); ++t) {
        ptype.PTypeCode(m, t) = session_.options.UseBourgouinPType ? ptype.PTypeEnergyCode(m, t)
                                                                   : s.PTypeModelCode(m, t);
    }
    DrawSounding();
}

void FrmProfile::chkMBE2_Click() {
    session_.options.MBEForwardPropagation = Checked(chkMBE2);
    const ProfileArrays& s = *session_.profile;
    for (int t = 0; t <= s.LastTime(s.CurrentModel); ++t)
        session_.winds->MBEDone(s.CurrentModel, t) = kFlagFalse;
    stormPanels()->PlotMBE();
}

void FrmProfile::chkMeanFlowOrSigmaLevel_Click(QCheckBox* box) {
    const bool meanFlow = box == chkMeanFlow;
    const bool on = Checked(box);
    (meanFlow ? view_.options.MeanFlow : view_.options.SigmaLevel) = on;
    ShowLevelBars();
    // The mean-wind layer and the sigma level exclude each other.
    if (Checked(chkMeanFlow) && Checked(chkSigmaLevel)) {
        const SuspendRedrawScope hold(view_);
        QCheckBox* other = meanFlow ? chkSigmaLevel : chkMeanFlow;
        other->setChecked(false);
        chkMeanFlowOrSigmaLevel_Click(other);
    }
    if (view_.SuspendRedraw) return;
    DrawSounding();
    RedrawMap();
}

void FrmProfile::ShowLevelBars() {
    const bool meanFlow = Checked(chkMeanFlow);
    for (std::size_t k = 0; k < 2; ++k) {
        lblMeanFlow[k]->setVisible(meanFlow);
        vsbMeanFlow[k]->Bar()->setVisible(meanFlow);
    }
    const bool sigma = Checked(chkSigmaLevel);
    lblSigmaLevel->setVisible(sigma);
    vsbSigmaLevel->Bar()->setVisible(sigma);
}

void FrmProfile::RunControlCommand(const std::string& word) {
    RunControlCommand(word, showMessage_);
}

void FrmProfile::RunControlCommand(const std::string& word,
                                   const std::function<void(const std::string&)>& report) {
    if (codeChanges_ > 0) return; // only a user's own click names its topic
    if (helpWordListener_) helpWordListener_(word);
    for (const std::string& item : tarvex::RunControlCommand(session_.help, desktop_, word))
        report(DescribeHelpFailure(session_.help, item));
}

void FrmProfile::RedrawMap() {
    // A batch of changes (a recall) ends in the hour routine, which redraws
    // the map once when it is shown.
    if (view_.SuspendRedraw) return;
    if (mapPanel_) mapPanel_->RedrawMap();
}

} // namespace tarvex
