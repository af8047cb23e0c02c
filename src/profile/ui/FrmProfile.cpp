#include "profile/ui/FrmProfile.h"

#include "compute/Levels.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "overview/ui/FrmOverView.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/PictureBox.h"
#include "platform/PictureLayout.h"
#include "profile/diagnostics/BlankPanel.h"
#include "profile/diagnostics/IndicesPanel.h"
#include "profile/diagnostics/LapseRates.h"
#include "profile/diagnostics/SoundingListing.h"
#include "profile/diagrams/ClosingOverlays.h"
#include "profile/diagrams/CursorReadout.h"
#include "profile/ui/ConvectionPanel.h"
#include "profile/ui/FogPanel.h"
#include "profile/ui/HodographPanel.h"
#include "profile/ui/LakeEffectPanel.h"
#include "profile/ui/MapPanel.h"
#include "profile/ui/PrecipTypeControls.h"
#include "profile/ui/StormPanels.h"
#include "shell/Monitors.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tarvex {

namespace {

constexpr const char* kDisplayCaptions[FrmProfile::kDisplayButtons] = {
    "Data",      "Map",         "Hodograph",   "Indices", "Storm Type",
    "Heavy Pcp", "Precip Type", "Lapse Rates", "Fog",     "Don't Click"};
// The topic words of display buttons 0..8 for help mode; "Indicies" and
// "Heavy Precip" are keys of the training list as written there.
constexpr const char* kDisplayWords[FrmProfile::kDisplayButtons - 1] = {
    "Data",         "Map",         "Hodograph",   "Indicies", "Storm Type",
    "Heavy Precip", "Precip Type", "Lapse Rates", "Fog"};

// The side columns beside the sounding, and the least room of the lower
// panels: the listing's heading, 29 levels and precipitation line at the
// least type (8 px, 9-px rows), so that every lower panel stays readable at
// the least window size.
constexpr int kSideWidth = 560;
constexpr int kFirstColumnWidth = 266;
constexpr int kSideSpacing = 6;
constexpr int kLowerMinimumHeight = 290;
constexpr int kDisplayButtonMinimumWidth = 60;

PictureBox* NewPanelSurface(QWidget* parent, const char* name) {
    auto* box = new PictureBox(parent);
    box->setObjectName(name);
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
    WirePanelWords();
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
    stormPanels_ = std::make_unique<StormPanels>(
        session_, view_, desktop_, picCape, picMBE, pnlShear, pnlControl[4],
        [this](const std::string& word) { RunControlCommand(word); });
    readoutHooks.plotMBE = [this] { stormPanels_->PlotMBE(); };
    fogPanel_ = new FogPanel(session_, view_, *picFog);
    convectionPanel_ = new ConvectionPanel(session_, view_, *picData, pnlControl[3]);
    pnlControl[3]->layout()->addWidget(convectionPanel_);
    convectionPanel_->hide();
    readoutHooks.plotECAPE = [this](std::int16_t t, std::int16_t level) {
        convectionPanel_->PlotECAPE(t, level);
    };
    // In the room they share, the side panels keep their controls at the top.
    for (QFrame* panel : {pnlMap, pnlHodograph, pnlShear})
        if (panel->layout()) panel->layout()->setAlignment(Qt::AlignTop);
    resize(1480, 960);
    btnDisplay_Click(displayMode_);
    RouteHourKeys();
}

FrmProfile::~FrmProfile() {
    delete overview_.data();
}

QWidget* FrmProfile::BuildValueBars(QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    auto makeBar = [&](const char* name, int column, int minimum, int maximum, int start) {
        auto* bar = new QScrollBar(Qt::Vertical, box);
        bar->setObjectName(name);
        bar->setMinimumHeight(60);
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
    auto* elevated = new QLabel("Elev", box);
    elevated->setObjectName("lblElevatedPT");
    layout->addWidget(elevated, 0, 3, Qt::AlignCenter);
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
    picData->setMinimumSize(480, 360);
    picData->Surface().SetBackColor(RGB(0, 0, 0));
    picData->SetResizeHandler([this] { DrawSounding(); });
    grid->addWidget(picData, 0, 0);

    vsbHour = new ThumbScrollBar(Qt::Vertical, this);
    vsbHour->setObjectName("vsbHour");
    vsbHour->setRange(0, 0);
    connect(vsbHour, &QScrollBar::valueChanged, this, [this] { vsbHour_Change(); });
    grid->addWidget(vsbHour, 0, 1);

    // Beside the picture: the logo, the hour labels, the model and site
    // choice and the control panels; then the options, the value bars and
    // the side panels of some display modes.
    // Each column has a width of its own, so that the options stay where the
    // user expects them whatever panel is open.
    auto* side = new QWidget(this);
    auto* sideLayout = new QHBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(kSideSpacing);
    auto* firstColumn = new QWidget(side);
    auto* secondColumn = new QWidget(side);
    firstColumn->setFixedWidth(kFirstColumnWidth);
    secondColumn->setFixedWidth(kSideWidth - kFirstColumnWidth - kSideSpacing);
    auto* first = new QVBoxLayout(firstColumn);
    auto* second = new QVBoxLayout(secondColumn);
    for (QVBoxLayout* column : {first, second}) {
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(3);
    }
    sideLayout->addWidget(firstColumn);
    sideLayout->addWidget(secondColumn);

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
    // The hour and date labels take a new text at every hour step but keep
    // their size, one line across the column: held at it, a new text asks
    // for no new layout of the window.
    for (QLabel* label : {static_cast<QLabel*>(lblHour), lblDate, lblLocal}) {
        const QString text = label->text();
        label->setText("0");
        label->setFixedSize(kFirstColumnWidth, label->sizeHint().height());
        label->setText(text);
        first->addWidget(label);
    }
    first->addWidget(BuildModelAndSiteChoice(side));

    second->addWidget(BuildOptions(side));
    second->addWidget(BuildValueBars(side));
    second->addWidget(BuildSoundingButtons(side));
    precipTypeControls_ = new PrecipTypeControls(
        session_, view_,
        {[this] { ShowHour(); }, [this](const std::string& word) { RunControlCommand(word); },
         [this] { btnHelp->setFocus(); },
         [this](bool on) {
             vbsElevatedPT->Bar()->setVisible(on);
             vbsElevatedPT->Bar()
                 ->parentWidget()
                 ->findChild<QLabel*>("lblElevatedPT")
                 ->setVisible(on);
         }},
        side);
    second->addWidget(precipTypeControls_);
    // The side panels of the map, the hodograph and the storm type take
    // turns in one room as tall as the tallest of them: the display switch
    // shows and hides them, and the column keeps its height, so that no
    // switch grows the window.
    auto* turns = new QWidget(side);
    turns->setObjectName("pnlDisplayTurns");
    auto* stack = new QStackedLayout(turns);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->setContentsMargins(0, 0, 0, 0);
    pnlMap = new QFrame(turns);
    pnlHodograph = new QFrame(turns);
    pnlShear = new QFrame(turns);
    for (QFrame* panel : {pnlMap, pnlHodograph, pnlShear}) {
        panel->setFrameShape(QFrame::StyledPanel);
        stack->addWidget(panel);
    }
    second->addWidget(turns);
    pnlMap->setObjectName("pnlMap");
    new QVBoxLayout(pnlMap);
    pnlMap->layout()->addWidget(BuildMapOptions(pnlMap));
    pnlHodograph->setObjectName("pnlHodograph");
    pnlShear->setObjectName("pnlShear");
    second->addStretch(1);
    // The window buttons and About close the first column, the shorter one,
    // so that the window stays within a small screen whatever panel the
    // second shows.
    btnOverView = new QPushButton("OverView", side);
    btnOverView->setObjectName("btnOverView");
    btnOverView->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    connect(btnOverView, &QPushButton::clicked, this, [this] { btnOverView_Click(); });
    btnHelp = new QPushButton("About", side);
    btnHelp->setObjectName("btnHelp");
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelp_Click(); });
    side->setFixedWidth(kSideWidth);
    grid->addWidget(side, 0, 2, 3, 1);

    // Display buttons: 0..8 in a row; 9 belongs to the storm-matrix panel.
    // The row's captions shrink alike on a narrow window. The row is a
    // widget of its own: a checkable button that is unchecked looks among
    // the buttons of its parent for the checked one of its group, so that a
    // display switch would otherwise search the whole window.
    auto* rowWidget = new QWidget(this);
    rowWidget->setObjectName("pnlDisplayButtons");
    auto* row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(grid->spacing());
    std::vector<CaptionFittingButton*> captionRow;
    for (int k = 0; k < kDisplayButtons; ++k) {
        auto* button = new CaptionFittingButton(kDisplayCaptions[k], k < 9 ? rowWidget : this);
        button->setObjectName(QString("btnDisplay_%1").arg(k));
        button->setCheckable(true);
        button->setMinimumWidth(kDisplayButtonMinimumWidth);
        connect(button, &QPushButton::clicked, this, [this, k] { btnDisplay_Click(k); });
        btnDisplay[static_cast<std::size_t>(k)] = button;
        if (k < 9) {
            row->addWidget(button);
            captionRow.push_back(button);
        }
    }
    CaptionFittingButton::ShareCaptionSize(captionRow);
    grid->addWidget(rowWidget, 1, 0, 1, 2);
    // The humidity key keeps its room in the column whose control panels
    // scroll, so that its showing moves nothing and needs no taller window.
    first->addWidget(BuildHumidityLegend(side));
    first->addWidget(BuildControlPanels(side), 1);
    first->addWidget(btnOverView);
    first->addWidget(BuildWindowButtons(side));
    first->addWidget(btnHelp);

    // The lower panels share one place; the display mode shows one of them,
    // each in the shape its scale needs.
    auto* lower = new PictureLayout();
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
    // The file-list display is seldom shown: its lists are made when it
    // first is (see ShowSurfaceOfMode).
    picFiles = new QWidget(this);
    picFiles->setObjectName("picFiles");
    for (QWidget* w : std::initializer_list<QWidget*>{picProfile, picMap, frameHodograph,
                                                      picIndices, picCape, picMBE, picPrecipType,
                                                      picLapse, picFog, picDont, picFiles})
        lower->addWidget(w);
    ShapeLowerPanels();
    // The sleet panel stands beside the precipitation-type picture while
    // that display is shown.
    auto* lowerRow = new QHBoxLayout();
    lowerRow->addLayout(lower, 1);
    lowerRow->addWidget(precipTypeControls_->AttachPicture(picPrecipType), 0, Qt::AlignTop);
    grid->addLayout(lowerRow, 2, 0, 1, 2);

    grid->setRowStretch(0, 3);
    grid->setRowStretch(2, 2);
    grid->setRowMinimumHeight(2, kLowerMinimumHeight);
    grid->setColumnStretch(0, 1);
}

bool FrmProfile::LoadSoundingFile(const std::string& path, const std::string& caption) {
    StartReloadCopy();
    SoundingReadResult result;
    {
        const SuspendRedrawScope hold(view_);
        // The file read ahead is waited for by the first read, which takes
        // it when it is the file asked for.
        ParsedSounding early = firstRead_.valid() ? firstRead_.get() : ParsedSounding{};
        result = ReadSounding(session_, path, std::move(early));
    }
    if (!result.ok) {
        RestoreShownSounding();
        showMessage_(DescribeReadFailure(PathForMessage(path), result));
        return false;
    }
    setWindowTitle(QString::fromStdString(caption) +
                   (result.LegacyMode ? "  *** Legacy Mode ****" : ""));
    ApplyReadToControls();
    KeepShownSounding();
    return true;
}

void FrmProfile::ApplyReadToControls() {
    const ProfileArrays& s = *session_.profile;
    {
        // The scroll bar follows the new file while its change handler is held.
        const SuspendRedrawScope hold(view_);
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
    }
    {
        // The hour shown below draws the sounding, with the hodograph's
        // layers for the new file: the hodograph does not draw it first.
        const HoldFlag hold(holdHour_);
        hodographPanel_->AfterRead();
    }
    mapPanel_->SoundingRead();
    ShowHour();
}

void FrmProfile::ShowHour(SoundingRedraw redraw) {
    if (view_.SuspendRedraw || holdHour_) return;
    const ProfileArrays& s = *session_.profile;
    view_.CurrentColumn = static_cast<std::int16_t>(vsbHour->value());
    // Without a sounding (no file in the data folder) there is no hour to
    // show: the date and the panels stay blank.
    if (!SoundingLoaded(s)) {
        for (QLabel* label : std::initializer_list<QLabel*>{lblHour, lblDate, lblLocal})
            label->clear();
        return;
    }
    // The read-out shows the new hour at the pointer's level, below.
    view_.extras.LastReadoutLevel = 0;
    const int column = view_.CurrentColumn;
    lblHour->setText(QString::number(session_.HoursPerColumn * column));
    const DateTime valid = s.ValidTime(s.CurrentModel, column);
    lblDate->setText(QString::fromStdString(Format(valid, "mm/dd/yy     h") + " Z"));
    const DateTime local = valid.AddHours(-session_.config.TimeZoneOffset);
    lblLocal->setText(QString::fromStdString(Format(local, "dddd   mmm d  h:00 am/pm")));
    // The lower panel of the display mode, then the sounding.
    if (displayMode_ == 1) RedrawMap();
    if (displayMode_ == 2) hodographPanel_->PlotHodograph();
    PrintTextPanel();
    if (displayMode_ == 4) stormPanels_->PlotCapeShear();
    if (displayMode_ == 5) stormPanels_->PlotMBE();
    precipTypeControls_->ShowPrecipType(displayMode_ == 6);
    if (displayMode_ == 8) fogPanel_->PlotFog();
    // The open control panel follows the hour.
    if (activePanel_ == 0) lakePanel_->ShowLakeEffect();
    if (activePanel_ == 3 && ShowECAPE) convectionPanel_->DisplayECAPEFrame();
    if (activePanel_ == 4) stormPanels_->ShowKestir();
    // The lower panels are drawn first: the heavy-precipitation panel works
    // out the jet the sounding's marks show.
    if (redraw == SoundingRedraw::Always ||
        MarksOfDisplayMode(session_, view_, displayMode_) != soundingMarks_)
        DrawSounding();
    if (readoutRow_) ShowCursorReadout(0, 0, 0.0, picData->Surface().FromPixelY(*readoutRow_));
}

void FrmProfile::PrintTextPanel() {
    if (view_.SuspendRedraw) return;
    const std::int16_t t = view_.CurrentColumn;
    if (displayMode_ == 0) PrintSoundingData(picProfile->Surface(), *session_.profile, t);
    if (displayMode_ == 3) PrintIndices(picIndices->Surface(), session_, t);
    if (displayMode_ == 7) PrintLapseRates(picLapse->Surface(), session_, t);
}

void FrmProfile::btnDisplay_Click(int Index) {
    if (displayMode_ != kFileListMode) previousDisplayMode_ = displayMode_;
    if (Index >= 0 && Index < kDisplayButtons - 1)
        RunControlCommand(kDisplayWords[static_cast<std::size_t>(Index)]);
    for (QPushButton* button : btnDisplay) button->setChecked(false);
    displayMode_ = static_cast<std::int16_t>(Index);
    view_.extras.DisplayMode = displayMode_;
    if (Index >= 0 && Index < kDisplayButtons)
        btnDisplay[static_cast<std::size_t>(Index)]->setChecked(true);
    // Only the map, hodograph and heavy-precipitation displays mark levels on
    // the sounding: between displays whose marks are the same (none, most
    // often) it stays as it is drawn.
    ShowHour(SoundingRedraw::IfMarksDiffer);
    ShowSurfaceOfMode(displayMode_);
    pnlMap->setVisible(picMap->isVisibleTo(this));
    pnlHodograph->setVisible(frameHodograph->isVisibleTo(this));
    pnlShear->setVisible(picCape->isVisibleTo(this));
    btnHelp->setFocus();
}

void FrmProfile::ShowSurfaceOfMode(int mode) {
    const std::array<QWidget*, 10> surfaces = {picProfile, picMap, frameHodograph, picIndices,
                                               picCape,    picMBE, picPrecipType,  picLapse,
                                               picFog,     picDont};
    QWidget* shown = nullptr;
    if (mode >= 0 && mode < kDisplayButtons) {
        shown = surfaces[static_cast<std::size_t>(mode)];
    } else if (mode == kFileListMode) {
        shown = picFiles;
    }
    if (!shown) return;
    if (shown == picFiles) BuildFileLists();
    if (shown == picPrecipType) precipTypeControls_->SizeSleetPanel();
    for (QWidget* w : surfaces) w->setVisible(w == shown);
    picFiles->setVisible(picFiles == shown);
}

void FrmProfile::DrawSounding() {
    if (view_.SuspendRedraw || holdHour_) return;
    tarvex::DrawSounding(picData->Surface(), session_, view_);
    soundingMarks_ = MarksOfDisplayMode(session_, view_, view_.extras.DisplayMode);
    if (convectionPanel_) convectionPanel_->ClearTrace();
    FollowFrameWithReadout();
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
    // A bar moved onto or past the other stops short of it; the change that
    // follows completes the update. At the end of its range the bar stays
    // where it is.
    const int stop = MeanFlowStop(Index, value, vsbMeanFlow[1 - k]->Value());
    if (stop != value) {
        if (!vsbMeanFlow[k]->SetValue(stop)) record();
        return;
    }
    record();
    DrawSounding();
    RedrawMap();
}

int FrmProfile::MeanFlowStop(int Index, int value, int other) {
    if (Index == 0) return value >= other ? other - 1 : value;
    return value <= other ? other + 1 : value;
}

void FrmProfile::vbsElevatedPT_Change() {
    session_.options.ElevatedPTLevel = static_cast<std::int16_t>(vbsElevatedPT->Value());
    const ProfileArrays& s = *session_.profile;
    for (int t = 0; t <= s.LastTime(s.CurrentModel); ++t)
        session_.ptype->PTypeAreasDone(s.CurrentModel, t) = kFlagFalse;
    ShowHour();
}

} // namespace tarvex
