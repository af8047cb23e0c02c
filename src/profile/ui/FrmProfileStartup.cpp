// The main window's start-up, the choice of model, site and archived run, the
// control panels with help mode, and the Done button that keeps the user's
// settings for the next run.
#include "files/CommandLine.h"
#include "files/ConfigFile.h"
#include "files/DataFile.h"
#include "files/FieldReader.h"
#include "files/ScaleBounds.h"
#include "files/Session.h"
#include "files/TrainingHook.h"
#include "overview/ui/FrmOverView.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/BlankPanel.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/LakeEffectPanel.h"
#include "profile/ui/PrecipTypeControls.h"
#include "shell/Monitors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>

#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include <filesystem>
#include <future>

namespace tarvex {

namespace {

constexpr const char* kPanelCaptions[FrmProfile::kControlPanels] = {
    "Lake Effect", "Alerts", "Loop", "Convection", "KESTIR", "Controls"};
constexpr const char* kPanelWords[FrmProfile::kControlPanels] = {
    "Lake Effect", "Alerts", "Loop", "Convection", "Kestir", "Controls"};

// The index list, in the order of the rows of the threshold table.
constexpr const char* kIndexNames[kIndexThresholdRows] = {"CAPE",
                                                          "CINS",
                                                          "Helicity",
                                                          "EHI",
                                                          "Bulk Richardson Number",
                                                          "Equilibrium Level",
                                                          "Wet Bulb Zero",
                                                          "Lifted Index",
                                                          "Total Totals",
                                                          "TQ",
                                                          "K Index",
                                                          "Showalter Index",
                                                          "SWEAT Index",
                                                          "Normalized CAPE (CAPE/M)",
                                                          "MBE Speed (kts)",
                                                          "Precipitable Water (in)",
                                                          "Mean RH  Sfc -> 500 mb",
                                                          "PW * RH",
                                                          "Warm Cloud Depth (ft)",
                                                          "Low Level Jet (kts)"};

} // namespace

QWidget* FrmProfile::BuildModelAndSiteChoice(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    for (int k = 0; k < kModelOptions; ++k) {
        auto* option = new QRadioButton(frame);
        option->setObjectName(QString("optModel_%1").arg(k));
        option->setAutoExclusive(false);
        option->hide();
        connect(option, &QRadioButton::clicked, this, [this, k] { optModel_Click(k); });
        optModel[static_cast<std::size_t>(k)] = option;
        grid->addWidget(option, k / 4, k % 4);
    }
    const int siteRow = 4;
    for (int k = 0; k < kSiteButtons; ++k) {
        auto* site = new QRadioButton(frame);
        site->setObjectName(QString("optSite_%1").arg(k));
        site->setAutoExclusive(false);
        site->setEnabled(false);
        connect(site, &QRadioButton::clicked, this, [this, k] { optSite_Click(k); });
        optSite[static_cast<std::size_t>(k)] = site;
        if (k < kListSiteButton) grid->addWidget(site, siteRow + k / 4, k % 4);
    }
    lstSite = new QComboBox(frame);
    lstSite->setObjectName("lstSite");
    lstSite->hide();
    connect(lstSite, &QComboBox::activated, this, [this] { lstSite_Click(); });
    grid->addWidget(optSite[kListSiteButton], siteRow + 4, 0);
    grid->addWidget(lstSite, siteRow + 4, 1, 1, 3);
    btnSelect = new QPushButton("Select", frame);
    btnSelect->setObjectName("btnSelect");
    connect(btnSelect, &QPushButton::clicked, this, [this] { btnSelect_Click(); });
    btnArchive = new QPushButton("Archive", frame);
    btnArchive->setObjectName("btnArchive");
    connect(btnArchive, &QPushButton::clicked, this, [this] { btnArchive_Click(); });
    btnDone = new QPushButton("Done", frame);
    btnDone->setShortcut(QKeySequence(Qt::ALT | Qt::Key_D));
    btnDone->setObjectName("btnDone");
    connect(btnDone, &QPushButton::clicked, this, [this] { btnDone_Click(); });
    auto* buttons = new QHBoxLayout();
    for (QPushButton* b : {btnSelect, btnArchive, btnDone}) buttons->addWidget(b);
    grid->addLayout(buttons, siteRow + 5, 0, 1, 4);
    return frame;
}

QWidget* FrmProfile::BuildControlPanels(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QGridLayout();
    for (int k = 0; k < kControlPanels; ++k) {
        auto* button = new QPushButton(kPanelCaptions[k], box);
        button->setObjectName(QString("btnControl_%1").arg(k));
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, k] { btnControl_Click(k); });
        btnControl[static_cast<std::size_t>(k)] = button;
        row->addWidget(button, k / 3, k % 3);
    }
    layout->addLayout(row);
    // The panels take turns in one room that scrolls when a panel is taller
    // than the column has left, so that no panel grows the window.
    auto* room = new QScrollArea(box);
    room->setObjectName("scrControlPanels");
    room->setFrameShape(QFrame::NoFrame);
    room->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    room->setWidgetResizable(true);
    auto* panels = new QWidget(room);
    // The panels take the column's width rather than widen the room past it.
    panels->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* panelsLayout = new QVBoxLayout(panels);
    panelsLayout->setContentsMargins(0, 0, 0, 0);
    room->setWidget(panels);
    layout->addWidget(room, 1);
    for (int k = 0; k < kControlPanels; ++k) {
        auto* panel = new QFrame(panels);
        panel->setObjectName(QString("pnlControl_%1").arg(k));
        panel->setFrameShape(QFrame::StyledPanel);
        new QVBoxLayout(panel);
        panel->hide();
        pnlControl[static_cast<std::size_t>(k)] = panel;
        panelsLayout->addWidget(panel);
    }
    panelsLayout->addStretch(1);
    // "Lake Effect": the lake temperature and the lake-effect values.
    lakePanel_ = new LakeEffectPanel(
        session_, view_, [this] { DrawSounding(); },
        [this](const std::string& word) { RunControlCommand(word); });
    lakePanel_->setParent(pnlControl[0]);
    pnlControl[0]->layout()->addWidget(lakePanel_);
    // "Alerts": the index threshold editor.
    QFrame* alerts = pnlControl[1];
    lstIndices = new QListWidget(alerts);
    lstIndices->setObjectName("lstIndices");
    lstIndices->setMaximumHeight(110);
    connect(lstIndices, &QListWidget::currentRowChanged, this, [this] { lstIndices_Click(); });
    alerts->layout()->addWidget(lstIndices);
    auto* thresholds = new QGridLayout();
    for (int k = 0; k < 7; ++k) {
        auto* label = new QLabel(QString::number(k + 1), alerts);
        label->setObjectName(QString("lblIndices_%1").arg(k));
        auto* text = new QLineEdit(alerts);
        text->setObjectName(QString("txtIndices_%1").arg(k));
        text->setEnabled(false);
        connect(text, &QLineEdit::textEdited, this, [this, k] { txtIndices_Change(k); });
        lblIndices[static_cast<std::size_t>(k)] = label;
        txtIndices[static_cast<std::size_t>(k)] = text;
        thresholds->addWidget(label, k, 0);
        thresholds->addWidget(text, k, 1);
    }
    static_cast<QVBoxLayout*>(alerts->layout())->addLayout(thresholds);
    // "Loop": the hour animation. "Controls": the momentum-transfer buttons.
    pnlControl[2]->layout()->addWidget(BuildLoopPanel(pnlControl[2]));
    pnlControl[5]->layout()->addWidget(frmXfer);
    // "KESTIR" holds display button 9.
    pnlControl[4]->layout()->addWidget(btnDisplay[9]);
    btnDisplay[9]->show();
    return box;
}

void FrmProfile::BuildFileLists() {
    if (lstModelSite) return;
    auto* grid = new QGridLayout(picFiles);
    lblModelSite = new QLabel(picFiles);
    lblModelSite->setObjectName("lblModelSite");
    lblModel = new QLabel(picFiles);
    lblModel->setObjectName("lblModel");
    lstModelSite = new QListWidget(picFiles);
    lstModelSite->setObjectName("lstModelSite");
    lstModel = new QListWidget(picFiles);
    lstModel->setObjectName("lstModel");
    lstAll = new QListWidget(picFiles);
    lstAll->setObjectName("lstAll");
    grid->addWidget(lblModelSite, 0, 0);
    grid->addWidget(lblModel, 0, 1);
    grid->addWidget(new QLabel("All", picFiles), 0, 2);
    grid->addWidget(lstModelSite, 1, 0);
    grid->addWidget(lstModel, 1, 1);
    grid->addWidget(lstAll, 1, 2);
    const std::pair<QListWidget*, ArchiveListKind> lists[] = {
        {lstModelSite, ArchiveListKind::ModelSite},
        {lstModel, ArchiveListKind::Model},
        {lstAll, ArchiveListKind::All}};
    for (const auto& [list, kind] : lists)
        connect(list, &QListWidget::itemClicked, this,
                [this, kind = kind] { lstArchive_Click(kind); });
}

void FrmProfile::PlaceWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    FitToScreen(*this);
    // The frame, as the window manager draws it, is centred in the screen's
    // free area; on a screen 2001 pixels wide or more, in its left half.
    PixelRect area = PrimaryFreeArea();
    if (screen->geometry().width() >= 2001) area.Right = area.Left + area.Width() / 2;
    CenterFrameInArea(*this, area);
}

void FrmProfile::ShowFailure(const TextFileResult& result) {
    if (!result.ok && !result.missing) showMessage_(DescribeTextFileFailure("file", result));
}

bool FrmProfile::Form_Load(const std::vector<std::string>& arguments) {
    monitor_ = std::make_unique<clsMonitor>();
    monitors_ = std::make_unique<clsMonitors>();
    // A relative path on the command line is meant from where the program
    // was started, before it changes to its own folder.
    CommandLine commandLine = ParseCommandLine(arguments);
    std::error_code noStartFolder;
    commandLine.FilePath =
        ResolveStartPath(commandLine.FilePath, std::filesystem::current_path(noStartFolder));
    QDir::setCurrent(QString::fromStdString(programFolder_));
    PlaceWindow();
    session_.history.ProfileLeftTemp = session_.history.SkewTLeftTemp = -60;
    session_.history.ProfileRightTemp = session_.history.SkewTRightTemp = 10;

    session_.UserName = commandLine.UserName;
    if (!commandLine.RefusedUserName.empty())
        showMessage_(DescribeRefusedUserName(commandLine.RefusedUserName));
    // The first site's sounding is read on another thread while the window
    // is laid out and shown. Whatever stops that read, the read itself runs
    // again here and reports it.
    firstRead_ = std::async(std::launch::async, [folder = programFolder_, user = session_.UserName,
                                                 typed = commandLine.TypedUserName] {
        try {
            return ParseFirstSounding(folder, user, typed);
        } catch (...) {
            return ParsedSounding{};
        }
    });
    session_.selection.ModelSwitching = false;
    {
        const SuspendRedrawScope hold(view_);
        HistorySettings settings;
        std::filesystem::path keptDamaged;
        const std::filesystem::path historyPath =
            HistoryFilePath(programFolder_, session_.UserName);
        const TextFileResult history = ReadSettings(historyPath, settings, &keptDamaged);
        if (!history.ok && !history.missing)
            showMessage_(DescribeHistoryFailure(history, keptDamaged));
        doneKeepsHistoryFile_ = !DoneMayReplace(historyPath, history, keptDamaged);
        session_.history = settings;
        ApplySettings();
        // The lake temperature goes to its bar while redraws are held: the bar
        // updates the lake labels and the lake temperature, nothing more.
        const int lakeBefore = lakePanel_->vsbLakeF->Value();
        lakePanel_->vsbLakeF->SetValue(session_.history.LakeTempF);
        if (lakePanel_->vsbLakeF->Value() == lakeBefore) lakePanel_->vsbLakeF_Change();
    }

    TemperatureAxisEnds& axis = session_.temperatureAxis;
    axis.LeftTemp = view_.options.SkewT ? axis.SkewTLeftTemp : axis.ProfileLeftTemp;
    axis.RightTemp = view_.options.SkewT ? axis.SkewTRightTemp : axis.ProfileRightTemp;
    session_.TempFolder = "?";
    ShowFailure(ReadTarvexDat(programFolder_, session_.dataTables));
    FillIndexList();
    picLogo->setText(QRandomGenerator::global()->generateDouble() < 0.1 ? "ZiveVoz" : "Tarvex");
    // The window opens with the picture of the start display in the lower
    // place, so that it is the one sized and drawn for the window; the
    // display is chosen once a sounding has been read.
    ShowSurfaceOfMode(session_.history.StartDisplay);
    // The sounding is drawn once the first file is read: a draw as the
    // window takes its size would only be drawn over.
    holdHour_ = true;
    show();

    const TextFileResult config =
        ReadConfig(programFolder_, session_.UserName, session_.config, commandLine.TypedUserName);
    if (!config.ok) {
        holdHour_ = false;
        DrawSounding();
        showMessage_(DescribeConfigFailure(config));
        return false;
    }
    const std::string fallback =
        DescribeSharedConfigFallback(session_.UserName, commandLine.TypedUserName, config);
    if (!fallback.empty()) showMessage_(fallback);
    session_.models = session_.config.models;
    session_.help.BrowserPath = session_.config.BrowserPath;
    for (int k = 0; k < kModelOptions; ++k) {
        QRadioButton* option = optModel[static_cast<std::size_t>(k)];
        const bool used = k < static_cast<int>(session_.models.ModelCaptions.size());
        option->setVisible(used);
        if (used)
            option->setText(
                QString::fromStdString(session_.models.ModelCaptions[static_cast<std::size_t>(k)]));
    }
    btnDisplay[9]->setEnabled(session_.config.ExtraDisplayEnabled);
    session_.selection.SelectedSiteButton = -1;
    if (!session_.models.ModelCaptions.empty()) optModel[0]->click();

    lakePanel_->lblCI850->setText(QString::number(session_.config.CI850Value));
    lakePanel_->lblCI700->setText(QString::number(session_.config.CI700Value));

    if (!session_.profile->FileTail.empty()) {
        btnDisplay_Click(session_.history.StartDisplay);
        activePanel_ = -1;
        btnControl_Click(session_.history.StartPanel);
    } else {
        ShowSurfaceOfMode(displayMode_);
    }
    holdHour_ = false;
    ShowHour();
    // Without a sounding the hour draws nothing: the diagram stands empty.
    if (!SoundingLoaded(*session_.profile)) DrawSounding();
    picData->setEnabled(true);
    ShowFailure(GetTraining(programFolder_, session_.help.Training));
    session_.help.TrainingMode = false;

    if (const auto request = CommandProfile(commandLine, session_.models.ModelCaptions)) {
        optModel[static_cast<std::size_t>(request->ModelOption)]->click();
        for (QRadioButton* site : optSite) site->setStyleSheet("");
        if (LoadSoundingFile(request->Path, request->Caption)) {
            MarkSiteOfFile(request->Path);
            KeepShownSounding();
        }
    }
    return true;
}

void FrmProfile::ApplySettings() {
    const HistorySettings& h = session_.history;
    TemperatureAxisEnds& axis = session_.temperatureAxis;
    axis.ProfileLeftTemp = BoundedAxisTemperature(h.ProfileLeftTemp);
    axis.ProfileRightTemp = BoundedAxisTemperature(h.ProfileRightTemp);
    axis.SkewTLeftTemp = BoundedAxisTemperature(h.SkewTLeftTemp);
    axis.SkewTRightTemp = BoundedAxisTemperature(h.SkewTRightTemp);
    const std::pair<QCheckBox*, std::int16_t> checks[] = {{chkLCL, h.chkLCL},
                                                          {chkECAPE, h.chkECAPE},
                                                          {chkLFC, h.chkLFC},
                                                          {chkCCL, h.chkCCL},
                                                          {chkEQL, h.chkEQL},
                                                          {chkConvectiveTemp, h.chkConvectiveTemp},
                                                          {chkParcel, h.chkParcel},
                                                          {chkWBZ, h.chkWBZ},
                                                          {chkCINS, h.chkCINS},
                                                          {chkLines, h.chkLines},
                                                          {chkDryAdiabats, h.chkDryAdiabats},
                                                          {chkRH, h.chkRH},
                                                          {chk10MWind, h.chk10MWind},
                                                          {chkSnowGrowth, h.chkSnowGrowth},
                                                          {chksWSYMb, h.chksWSYMb},
                                                          {chkMomentum, h.chkMomentum},
                                                          {chkActiveReadout, h.chkActiveReadout},
                                                          {chkSkewT, h.chkSkewT},
                                                          {chkWindVector, h.chkWindVector},
                                                          {chkWindDigital, h.chkWindDigital}};
    for (const auto& [box, value] : checks) SetCheck(box, value);
    SetCheck(lakePanel_->chkLakeIndex, h.chkLakeIndex);
    SetCheck(lakePanel_->chkMoistLakeIndex, h.chkMoistLakeIndex);
    SetCheck(lakePanel_->chkLIC, h.chkLIC);
    hsbRate->setValue(h.hsbRate);
    hsbDelay->setValue(h.hsbDelay);
    view_.VerticalUnit = h.VerticalUnit;
    ApplySoundingButtonSettings();
    precipTypeControls_->ApplySettings(h);
}

HistorySettings FrmProfile::CollectSettings() const {
    HistorySettings h = session_.history;
    const TemperatureAxisEnds& axis = session_.temperatureAxis;
    h.ProfileLeftTemp = axis.ProfileLeftTemp;
    h.ProfileRightTemp = axis.ProfileRightTemp;
    h.SkewTLeftTemp = axis.SkewTLeftTemp;
    h.SkewTRightTemp = axis.SkewTRightTemp;
    h.StartDisplay = displayMode_;
    h.StartPanel = activePanel_;
    h.chkLCL = FromCheckState(chkLCL);
    h.chkECAPE = FromCheckState(chkECAPE);
    h.chkLFC = FromCheckState(chkLFC);
    h.chkCCL = FromCheckState(chkCCL);
    h.chkEQL = FromCheckState(chkEQL);
    h.chkConvectiveTemp = FromCheckState(chkConvectiveTemp);
    h.chkParcel = FromCheckState(chkParcel);
    h.chkWBZ = FromCheckState(chkWBZ);
    h.chkCINS = FromCheckState(chkCINS);
    h.chkLines = FromCheckState(chkLines);
    h.chkDryAdiabats = FromCheckState(chkDryAdiabats);
    h.chkRH = FromCheckState(chkRH);
    h.VerticalUnit = view_.VerticalUnit;
    h.chk10MWind = FromCheckState(chk10MWind);
    h.chkSnowGrowth = FromCheckState(chkSnowGrowth);
    h.chksWSYMb = FromCheckState(chksWSYMb);
    h.chkMomentum = FromCheckState(chkMomentum);
    h.chkActiveReadout = FromCheckState(chkActiveReadout);
    h.chkSkewT = FromCheckState(chkSkewT);
    h.chkWindVector = FromCheckState(chkWindVector);
    h.chkWindDigital = FromCheckState(chkWindDigital);
    h.LakeTempF = static_cast<std::int16_t>(lakePanel_->vsbLakeF->Value());
    h.chkLakeIndex = FromCheckState(lakePanel_->chkLakeIndex);
    h.chkMoistLakeIndex = FromCheckState(lakePanel_->chkMoistLakeIndex);
    h.chkLIC = FromCheckState(lakePanel_->chkLIC);
    h.hsbRate = static_cast<std::int16_t>(hsbRate->value());
    h.hsbDelay = static_cast<std::int16_t>(hsbDelay->value());
    CollectSoundingButtonSettings(h);
    precipTypeControls_->CollectSettings(h);
    return h;
}

void FrmProfile::btnDone_Click() {
    ending_ = true;
    const std::filesystem::path historyPath = HistoryFilePath(programFolder_, session_.UserName);
    if (doneKeepsHistoryFile_) {
        // A damaged file of which no copy could be kept is all the user has
        // of the settings it held: it stays.
        showMessage_(DescribeHistoryLeftInPlace(historyPath));
    } else if (const TextFileResult written = WriteSettings(historyPath, CollectSettings());
               !written.ok) {
        showMessage_("Your settings could not be saved to \"" + PathForMessage(written.path) +
                     "\": " + written.reason + ". The settings saved before are kept.");
    }
    // The overview ends with the program.
    if (overview_) overview_->close();
    if (quit_) {
        quit_();
    } else {
        QApplication::quit();
    }
}

void FrmProfile::optModel_Click(int Index) {
    for (int k = 0; k < kModelOptions; ++k)
        optModel[static_cast<std::size_t>(k)]->setChecked(k == Index);
    {
        const SuspendRedrawScope hold(view_);
        ChooseModel(session_, session_.selection, session_.parameters,
                    session_.config.CurrentFolder, Index);
    }
    FillSiteList();
}

void FrmProfile::FillSiteList() {
    const SiteList sites = SitesForModel(session_.selection, session_.config.ConfiguredSites);
    {
        const SuspendRedrawScope hold(view_);
        for (QRadioButton* site : optSite) {
            site->setEnabled(false);
            site->setChecked(false);
        }
        lstSite->hide();
        lstSite->clear();
        for (int k = 0; k < kListSiteButton; ++k) {
            QRadioButton* site = optSite[static_cast<std::size_t>(k)];
            const auto& caption = sites.Buttons[static_cast<std::size_t>(k)];
            site->setText(caption ? QString::fromStdString(*caption) : QString());
            site->setEnabled(caption.has_value());
        }
        if (!sites.ListSites.empty()) {
            optSite[kListSiteButton]->setEnabled(true);
            lstSite->show();
            for (const std::string& entry : sites.ListSites)
                lstSite->addItem(QString::fromStdString(entry));
            lstSite->setCurrentIndex(0);
        }
    }
    const int press = sites.ButtonToPress(session_.selection.SelectedSiteButton);
    if (press >= 0) {
        optSite_Click(press);
    } else {
        showMessage_("The data folder \"" + session_.selection.ListFolder +
                     "\" holds no sounding files of the model " +
                     session_.selection.CurrentModelName + ".");
    }
}

void FrmProfile::optSite_Click(int Index) {
    for (int k = 0; k < kSiteButtons; ++k) {
        QRadioButton* site = optSite[static_cast<std::size_t>(k)];
        site->setChecked(k == Index);
        site->setStyleSheet(k == Index ? "background-color: rgb(255, 255, 0);" : "");
    }
    const std::string site = Index == kListSiteButton
                                 ? lstSite->currentText().toStdString()
                                 : optSite[static_cast<std::size_t>(Index)]->text().toStdString();
    const SiteChoice choice = ChooseSite(session_.selection, site, Index);
    session_.profile->CurrentModel = 1;
    LoadSoundingFile(choice.Path.string(), choice.WindowCaption);
    UpdateOverview();
}

void FrmProfile::lstSite_Click() {
    if (view_.SuspendRedraw) return;
    optSite_Click(kListSiteButton);
}

void FrmProfile::btnSelect_Click() {
    btnDisplay_Click(kFileListMode);
    SoundingSelection& selection = session_.selection;
    selection.ArchiveModel = ArchiveModelFor(selection.CurrentModelName);
    const std::filesystem::path folder = session_.config.ArchiveFolder;
    auto fill = [](QListWidget* list, QLabel* label, const ArchiveList& entries) {
        if (label) label->setText(QString::fromStdString(entries.Label));
        list->clear();
        for (const std::string& entry : entries.Entries)
            list->addItem(QString::fromStdString(entry));
    };
    fill(lstModelSite, lblModelSite,
         SeedModelSite(folder, selection.ArchiveModel, selection.CurrentSite));
    fill(lstModel, lblModel, SeedModel(folder, selection.ArchiveModel));
    fill(lstAll, nullptr, SeedAll(folder));
}

void FrmProfile::lstArchive_Click(ArchiveListKind list) {
    QListWidget* widget = list == ArchiveListKind::ModelSite ? lstModelSite
                          : list == ArchiveListKind::Model   ? lstModel
                                                             : lstAll;
    if (!widget->currentItem()) return;
    PickArchivedRun(session_.selection, list, widget->currentItem()->text().toStdString());
    SelectFile(false);
}

void FrmProfile::btnArchive_Click() {
    std::string folder = session_.config.ArchiveDialogFolder;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    const std::string chosen =
        chooseFile_ ? chooseFile_(folder)
                    : QFileDialog::getOpenFileName(this, "Select A Profile",
                                                   QString::fromStdString(folder), "All Files (*)")
                          .toStdString();
    if (chosen.empty()) return;
    session_.config.ArchiveDialogFolder = PickDialogFile(session_.selection, chosen);
    setWindowTitle(QString::fromStdString(std::filesystem::path(chosen).filename().string()));
    SelectFile(true);
    UpdateOverview();
}

void FrmProfile::SelectFile(bool FullPath) {
    const FileLoad plan = PlanSelectFile(session_.selection, session_.models,
                                         session_.config.ArchiveFolder, FullPath);
    if (plan.ModelOption) {
        session_.selection.ModelSwitching = true;
        optModel[static_cast<std::size_t>(*plan.ModelOption)]->click();
        session_.selection.ModelSwitching = false;
    }
    session_.profile->CurrentModel = 1;
    const bool read = LoadSoundingFile(plan.Path.string(), plan.WindowCaption);
    if (!FullPath) UpdateOverview();
    // Leaving the file list returns to the mode shown before it; a file
    // picked any other way keeps the mode shown.
    if (displayMode_ == kFileListMode) btnDisplay_Click(previousDisplayMode_);
    if (read && plan.Site) session_.selection.CurrentSite = *plan.Site;
    if (!read) return; // the options of the sounding shown stay as they were
    for (QRadioButton* site : optSite) site->setStyleSheet("");
    KeepShownSounding();
}

void FrmProfile::btnControl_Click(int Index) {
    if (Index >= 0 && Index < kControlPanels) RunControlCommand(kPanelWords[Index]);
    activePanel_ = static_cast<std::int16_t>(Index == activePanel_ ? kNoPanel : Index);
    // The old panel goes before the new one shows, so the room never holds
    // two.
    for (int k = 0; k < kControlPanels; ++k) {
        const bool open = k == activePanel_;
        btnControl[static_cast<std::size_t>(k)]->setChecked(open);
        if (!open) pnlControl[static_cast<std::size_t>(k)]->hide();
    }
    if (activePanel_ >= 0 && activePanel_ < kControlPanels)
        pnlControl[static_cast<std::size_t>(activePanel_)]->show();
    btnHelp->setFocus();
    if (activePanel_ == 0 || activePanel_ == 3 || activePanel_ == 4) ShowHour();
}

void FrmProfile::picLogo_Click() {
    ToggleTrainingMode(session_.help, desktop_);
}

void FrmProfile::FillIndexList() {
    lstIndices->clear();
    for (const char* name : kIndexNames) lstIndices->addItem(name);
}

void FrmProfile::lstIndices_Click() {
    const int i = lstIndices->currentRow();
    if (i < 0 || i >= kIndexThresholdRows) return;
    const bool seven = i == 4 || i == 6;
    for (int k = 0; k < 7; ++k) {
        const bool used = seven || k < 4;
        QLineEdit* text = txtIndices[static_cast<std::size_t>(k)];
        text->setEnabled(true);
        text->setVisible(used);
        lblIndices[static_cast<std::size_t>(k)]->setVisible(used);
        if (used) {
            const QSignalBlocker hold(text);
            text->setText(QString::number(static_cast<double>(
                session_.history
                    .IndexThresholds[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)])));
        }
    }
}

void FrmProfile::txtIndices_Change(int Index) {
    const int i = lstIndices->currentRow();
    if (i < 0 || i >= kIndexThresholdRows || Index < 0 || Index >= 7) return;
    const float value = FieldReader::LeadingNumber(
        txtIndices[static_cast<std::size_t>(Index)]->text().toStdString());
    session_.history.IndexThresholds[static_cast<std::size_t>(i)][static_cast<std::size_t>(Index)] =
        value;
}

} // namespace tarvex
