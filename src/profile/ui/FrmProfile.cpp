#include "profile/ui/FrmProfile.h"

#include "compute/Levels.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "profile/data/Session.h"
#include "profile/data/SoundingReader.h"
#include "profile/diagrams/CursorReadout.h"
#include "profile/ui/HodographPanel.h"
#include "profile/ui/LakeEffectPanel.h"
#include "profile/ui/MapPanel.h"
#include "shell/Monitors.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tarvex {

namespace {

constexpr const char* kDisplayCaptions[FrmProfile::kDisplayButtons] = {
    "Data",      "Map",         "Hodograph",   "Indices", "Storm Type",
    "Heavy Pcp", "Precip Type", "Lapse Rates", "Fog",     "Don't Click"};

PictureBox* NewPanelSurface(QWidget* parent, const char* name) {
    auto* box = new PictureBox(parent);
    box->setObjectName(name);
    box->setMinimumSize(320, 200);
    box->Surface().SetBackColor(RGB(255, 255, 255));
    box->Surface().Clear();
    return box;
}

} // namespace

FrmProfile::FrmProfile(Session& session, DesktopService& desktop, QWidget* parent)
    : QWidget(parent), session_(session), desktop_(desktop) {
    setWindowTitle(kCaption);
    setObjectName("frmProfile");
    showMessage_ = [this](const std::string& text) {
        QMessageBox::warning(this, kCaption, QString::fromStdString(text));
    };
    BuildControls();
    mapPanel_ = std::make_unique<MapPanel>(
        session_, view_, picMap, [this](const std::string& word) { RunControlCommand(word); },
        std::filesystem::path());
    mapPanel_->SetMessageHandler([this](const std::string& text) { showMessage_(text); });
    hodographPanel_ = std::make_unique<HodographPanel>(
        session_, view_, frameHodograph, pnlHodograph,
        HodographPanel::Callbacks{[this] { DrawSounding(); },
                                  [this](const std::string& word) { RunControlCommand(word); },
                                  [this] { btnHelp->setFocus(); }});
    readoutHooks.followHodograph = [this](std::int16_t level) {
        FollowHodographLevel(frameHodograph->Surface(), *session_.profile, *session_.hodograph,
                             view_.CurrentColumn, level, view_.extras.HodoMarkLevel);
    };
    resize(1480, 960);
    btnDisplay_Click(displayMode_);
}

FrmProfile::~FrmProfile() = default;

QWidget* FrmProfile::BuildValueBars(QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    auto makeBar = [&](const char* name, int column, int minimum, int maximum, int start) {
        auto* bar = new QScrollBar(Qt::Vertical, box);
        bar->setObjectName(name);
        bar->setMinimumHeight(90);
        layout->addWidget(bar, 1, column, Qt::AlignHCenter);
        auto adapter = std::make_unique<RangeScrollBar>(bar, minimum, maximum);
        adapter->SetValue(start);
        return adapter;
    };
    auto makeLabel = [&](const char* name, int column, const QString& text) {
        auto* label = new QLabel(text, box);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label, 0, column);
        return label;
    };
    lblSigmaLevel = makeLabel("lblSigmaLevel", 0, "24");
    lblMeanFlow[0] = makeLabel("lblMeanFlow_0", 1, "23");
    lblMeanFlow[1] = makeLabel("lblMeanFlow_1", 2, "24");
    vsbSigmaLevel = makeBar("vsbSigmaLevel", 0, 24, 2, 24);
    vsbMeanFlow[0] = makeBar("vsbMeanFlow_0", 1, 23, 1, 23);
    vsbMeanFlow[1] = makeBar("vsbMeanFlow_1", 2, 24, 2, 24);
    vbsElevatedPT = makeBar("vbsElevatedPT", 3, 20, 1, 1);
    layout->addWidget(new QLabel("Elev", box), 0, 3, Qt::AlignCenter);
    connect(vsbSigmaLevel->Bar(), &QScrollBar::valueChanged, this,
            [this] { vsbSigmaLevel_Change(); });
    for (int k = 0; k < 2; ++k)
        connect(vsbMeanFlow[static_cast<std::size_t>(k)]->Bar(), &QScrollBar::valueChanged, this,
                [this, k] { vsbMeanFlow_Change(k); });
    connect(vbsElevatedPT->Bar(), &QScrollBar::valueChanged, this,
            [this] { vbsElevatedPT_Change(); });
    return box;
}

void FrmProfile::BuildControls() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(4);

    picData = new PictureBox(this);
    picData->setObjectName("picData");
    picData->setMinimumSize(640, 480);
    picData->Surface().SetBackColor(RGB(0, 0, 0));
    picData->SetResizeHandler([this] { DrawSounding(); });
    grid->addWidget(picData, 0, 0);

    vsbHour = new QScrollBar(Qt::Vertical, this);
    vsbHour->setObjectName("vsbHour");
    vsbHour->setRange(0, 0);
    connect(vsbHour, &QScrollBar::valueChanged, this, [this] { vsbHour_Change(); });
    grid->addWidget(vsbHour, 0, 1);

    // Beside the picture: the logo, the hour labels, the model and site
    // choice and the control panels; then the options, the value bars and
    // the side panels of some display modes.
    auto* side = new QWidget(this);
    auto* sideLayout = new QHBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* first = new QVBoxLayout();
    auto* second = new QVBoxLayout();
    sideLayout->addLayout(first);
    sideLayout->addLayout(second);

    picLogo = new ClickableLabel("Tarvex", side);
    picLogo->setObjectName("picLogo");
    QFont logoFont = picLogo->font();
    logoFont.setPointSize(logoFont.pointSize() + 6);
    logoFont.setItalic(true);
    picLogo->setFont(logoFont);
    picLogo->setStyleSheet("color: rgb(0, 0, 160);");
    picLogo->SetClickHandler([this] { picLogo_Click(); });
    first->addWidget(picLogo);
    lblHour = new ClickableLabel("0", side);
    lblHour->setObjectName("lblHour");
    QFont hourFont = lblHour->font();
    hourFont.setPointSize(hourFont.pointSize() + 8);
    hourFont.setBold(true);
    lblHour->setFont(hourFont);
    lblHour->SetClickHandler([this] { lblHour_Click(); });
    lblDate = new QLabel(side);
    lblDate->setObjectName("lblDate");
    lblLocal = new QLabel(side);
    lblLocal->setObjectName("lblLocal");
    first->addWidget(lblHour);
    first->addWidget(lblDate);
    first->addWidget(lblLocal);
    first->addWidget(BuildModelAndSiteChoice(side));

    second->addWidget(BuildOptions(side));
    second->addWidget(BuildValueBars(side));
    second->addWidget(BuildSoundingButtons(side));
    pnlMap = new QFrame(side);
    pnlHodograph = new QFrame(side);
    pnlShear = new QFrame(side);
    for (QFrame* panel : {pnlMap, pnlHodograph, pnlShear}) {
        panel->setFrameShape(QFrame::StyledPanel);
        second->addWidget(panel);
    }
    pnlMap->setObjectName("pnlMap");
    new QVBoxLayout(pnlMap);
    pnlMap->layout()->addWidget(BuildMapOptions(pnlMap));
    pnlHodograph->setObjectName("pnlHodograph");
    pnlShear->setObjectName("pnlShear");
    second->addStretch(1);
    btnHelp = new QPushButton("About", side);
    btnHelp->setObjectName("btnHelp");
    second->addWidget(btnHelp);
    side->setFixedWidth(560);
    grid->addWidget(side, 0, 2, 3, 1);

    // Display buttons: 0..8 in a row; 9 belongs to the storm-matrix panel.
    auto* row = new QHBoxLayout();
    for (int k = 0; k < kDisplayButtons; ++k) {
        auto* button = new QPushButton(kDisplayCaptions[k], this);
        button->setObjectName(QString("btnDisplay_%1").arg(k));
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, k] { btnDisplay_Click(k); });
        btnDisplay[static_cast<std::size_t>(k)] = button;
        if (k < 9) row->addWidget(button);
    }
    grid->addLayout(row, 1, 0, 1, 2);
    first->addWidget(BuildControlPanels(side));
    first->addStretch(1);

    // The lower panels share one place; the display mode shows one of them.
    auto* lower = new QGridLayout();
    picProfile = NewPanelSurface(this, "picProfile");
    picMap = NewPanelSurface(this, "picMap");
    frameHodograph = NewPanelSurface(this, "frameHodograph");
    picIndices = NewPanelSurface(this, "picIndices");
    picCape = NewPanelSurface(this, "picCape");
    picMBE = NewPanelSurface(this, "picMBE");
    picPrecipType = NewPanelSurface(this, "picPrecipType");
    picLapse = NewPanelSurface(this, "picLapse");
    picFog = NewPanelSurface(this, "picFog");
    picDont = NewPanelSurface(this, "picDont");
    picFiles = new QWidget(this);
    picFiles->setObjectName("picFiles");
    BuildFileLists();
    for (QWidget* w : std::initializer_list<QWidget*>{picProfile, picMap, frameHodograph,
                                                      picIndices, picCape, picMBE, picPrecipType,
                                                      picLapse, picFog, picDont, picFiles})
        lower->addWidget(w, 0, 0);
    grid->addLayout(lower, 2, 0, 1, 2);

    grid->setRowStretch(0, 3);
    grid->setRowStretch(2, 2);
    grid->setColumnStretch(0, 1);
}

bool FrmProfile::LoadSoundingFile(const std::string& path) {
    view_.SuspendRedraw = true;
    const SoundingReadResult result = ReadSounding(session_, path);
    if (!result.ok) {
        view_.SuspendRedraw = false;
        showMessage_(DescribeReadFailure(path, result));
        return false;
    }
    ApplyReadToControls(result.LegacyMode);
    return true;
}

void FrmProfile::ApplyReadToControls(bool legacy) {
    const ProfileArrays& s = *session_.profile;
    setWindowTitle(QString(kCaption) + (legacy ? "  *** Legacy Mode ****" : ""));
    // The scroll bar follows the new file while its change handler is held.
    view_.SuspendRedraw = true;
    const int last = s.LastTime(s.CurrentModel);
    if (vsbHour->value() > last) vsbHour->setValue(last);
    vsbHour->setMaximum(last);
    vbsElevatedPT->SetValue(session_.options.ElevatedPTLevel); // the read starts at the ground

    // The level bars span the new file's levels.
    const int levels = s.LevelCount(s.CurrentModel);
    const int step = session_.parameters.ModelLevelStep;
    vsbSigmaLevel->SetRange(levels - step - 1, step);
    if (!vsbSigmaLevel->SetValue(FindPressureLevel(s, session_.config.SigmaLevelPressure)))
        vsbSigmaLevel->SetValue(vsbSigmaLevel->Maximum());
    vsbMeanFlow[0]->SetMinimum(levels - 2);
    vsbMeanFlow[1]->SetMinimum(levels);
    vsbMeanFlow[0]->SetValue(1);
    // A 700 mb level outside the upper bar's range takes the bar's nearest end.
    if (!vsbMeanFlow[1]->SetValue(FindPressureLevel(s, 700)))
        vsbMeanFlow[1]->SetValue(vsbMeanFlow[1]->Maximum());
    view_.SuspendRedraw = false;
    hodographPanel_->AfterRead();
    mapPanel_->LoadMapFiles();
    ShowHour();
}

void FrmProfile::ShowHour() {
    if (view_.SuspendRedraw) return;
    const ProfileArrays& s = *session_.profile;
    view_.CurrentColumn = static_cast<std::int16_t>(vsbHour->value());
    const int column = view_.CurrentColumn;
    lblHour->setText(QString::number(static_cast<std::int16_t>(session_.HoursPerColumn * column)));
    const DateTime valid = s.ValidTime(s.CurrentModel, column);
    lblDate->setText(QString::fromStdString(Format(valid, "mm/dd/yy     h") + " Z"));
    const DateTime local = valid.AddHours(-session_.config.TimeZoneOffset);
    lblLocal->setText(QString::fromStdString(Format(local, "dddd   mmm d  h:00 am/pm")));
    // The lower panel of the display mode, then the sounding.
    if (displayMode_ == 1) RedrawMap();
    if (displayMode_ == 2) hodographPanel_->PlotHodograph();
    // The open control panel follows the hour.
    if (activePanel_ == 0) lakePanel_->ShowLakeEffect();
    DrawSounding();
}

void FrmProfile::btnDisplay_Click(int Index) {
    if (displayMode_ != kFileListMode) previousDisplayMode_ = displayMode_;
    for (QPushButton* button : btnDisplay) button->setChecked(false);
    displayMode_ = static_cast<std::int16_t>(Index);
    view_.extras.DisplayMode = displayMode_;
    if (Index >= 0 && Index < kDisplayButtons)
        btnDisplay[static_cast<std::size_t>(Index)]->setChecked(true);
    ShowHour();
    ShowSurfaceOfMode();
    pnlMap->setVisible(picMap->isVisibleTo(this));
    pnlHodograph->setVisible(frameHodograph->isVisibleTo(this));
    pnlShear->setVisible(picCape->isVisibleTo(this));
    btnHelp->setFocus();
}

void FrmProfile::ShowSurfaceOfMode() {
    const std::array<QWidget*, 10> surfaces = {picProfile, picMap, frameHodograph, picIndices,
                                               picCape,    picMBE, picPrecipType,  picLapse,
                                               picFog,     picDont};
    QWidget* shown = nullptr;
    if (displayMode_ >= 0 && displayMode_ < kDisplayButtons) {
        shown = surfaces[static_cast<std::size_t>(displayMode_)];
    } else if (displayMode_ == kFileListMode) {
        shown = picFiles;
    }
    if (!shown) return; // a mode without a panel changes nothing
    for (QWidget* w : surfaces) w->setVisible(w == shown);
    picFiles->setVisible(picFiles == shown);
}

void FrmProfile::DrawSounding() {
    if (view_.SuspendRedraw) return;
    tarvex::DrawSounding(picData->Surface(), session_, view_);
}

void FrmProfile::vsbHour_Change() {
    if (!view_.SuspendRedraw) ShowHour();
}

void FrmProfile::lblHour_Click() {
    vsbHour->setValue(0);
}

void FrmProfile::vsbSigmaLevel_Change() {
    view_.SigmaLevel = static_cast<std::int16_t>(vsbSigmaLevel->Value());
    lblSigmaLevel->setText(QString::number(view_.SigmaLevel));
    if (view_.SuspendRedraw) return;
    DrawSounding();
    RedrawMap();
}

void FrmProfile::vsbMeanFlow_Change(int Index) {
    const auto k = static_cast<std::size_t>(Index);
    const int value = vsbMeanFlow[k]->Value();
    auto record = [&] {
        view_.MeanFlowLevels[k] = static_cast<std::int16_t>(value);
        lblMeanFlow[k]->setText(QString::number(value));
    };
    if (view_.SuspendRedraw) {
        record();
        return;
    }
    if (vsbMeanFlow[0]->Value() == vsbMeanFlow[1]->Value()) {
        // The layer keeps a depth: bar 0 moves one level lower, bar 1 one
        // higher; the change that follows completes the update. At the end
        // of its range the bar stays where it is.
        if (!vsbMeanFlow[k]->SetValue(value + 2 * Index - 1)) record();
        return;
    }
    record();
    DrawSounding();
    RedrawMap();
}

void FrmProfile::vbsElevatedPT_Change() {
    session_.options.ElevatedPTLevel = static_cast<std::int16_t>(vbsElevatedPT->Value());
    const ProfileArrays& s = *session_.profile;
    for (int t = 0; t <= s.LastTime(s.CurrentModel); ++t)
        session_.ptype->PTypeAreasDone(s.CurrentModel, t) = kFlagFalse;
    ShowHour();
}

} // namespace tarvex
