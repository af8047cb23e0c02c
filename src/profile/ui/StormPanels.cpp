#include "profile/ui/StormPanels.h"

#include "compute/ComputeState.h"
#include "compute/StormMatrix.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/StormMatrixSketch.h"
#include "profile/diagnostics/StormType.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tarvex {

namespace {

// Where the storm-matrix training can be had: the program's own page on it.
constexpr const char* kMatrixTrainingPage = "training/storm_matrix.html";

QString StyleColour(Rgb c) {
    return QString("rgb(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b);
}

} // namespace

struct StormPanels::Backgrounds {
    CapeShearBackground cape;
};

std::string MatrixPageFailureText(int result) {
    return "Could not locate the Covective Storm Matix training module.\n"
           "\n"
           "Either:\n"
           "\n"
           "   1)  the Drive Letter for this module specificed in your configuration file is "
           "incorrect,\n"
           "        Solution: edit the configruation file tarvex.cfg\n"
           "\n"
           "                                                    or\n"
           "\n"
           "  2)  You have not installed the Convective Storm Matrix Training module\n"
           "        Solution:  Downlad and install the Convective Storm Matrix training module\n"
           "\n"
           "\n"
           "            Do you want to install the Convective Matrix Training Module?\n"
           "<result = " +
           std::to_string(result) + ">";
}

StormPanels::StormPanels(Session& session, SoundingView& view, DesktopService& desktop,
                         PictureBox* picCape, PictureBox* picMBE, QFrame* pnlShear,
                         QFrame* kestirPanel,
                         std::function<void(const std::string&)> runControlCommand)
    : session_(session), view_(view), desktop_(desktop), picCape_(picCape), picMBE_(picMBE),
      runControlCommand_(std::move(runControlCommand)), CapeAxisTop_(kCapeAxisTopStart),
      MbeScale_(kMbeScaleStart), backgrounds_(std::make_unique<Backgrounds>()) {
    for (PictureBox* box : {picCape_, picMBE_}) box->Surface().SetBackColor(kBlack);
    picCape_->SetMouseUpHandler(
        [this](int button, int, double, double) { picCape_MouseUp(button); });
    picMBE_->SetMouseUpHandler([this](int button, int, double, double) { picMBE_MouseUp(button); });
    // A new size is drawn for at once (a hidden surface is resized when it
    // is shown).
    picCape_->SetResizeHandler([this] { PlotCapeShear(); });
    picMBE_->SetResizeHandler([this] { PlotMBE(); });

    // Beside the storm-type diagram: how its shear is measured.
    auto* shear = pnlShear->layout() ? pnlShear->layout() : new QVBoxLayout(pnlShear);
    shear->addWidget(new KeptLookLabel("Compute Shear Using:", pnlShear));
    const char* captions[2] = {"4KM Hodograph Length", "Sfc-4KM Wind Difference"};
    for (int k = 0; k < 2; ++k) {
        auto* option = new KeptLookRadioButton(captions[k], pnlShear);
        option->setObjectName(QString("optCAPEShear_%1").arg(k));
        shear->addWidget(option);
        optCAPEShear[static_cast<std::size_t>(k)] = option;
        connect(option, &QRadioButton::clicked, this, [this, k] { optCAPEShear_Click(k); });
    }
    optCAPEShear[static_cast<std::size_t>(session_.options.CAPEShearMethod)]->setChecked(true);

    // The "KESTIR" panel: title, label, sketch and the page buttons.
    auto* kestir = static_cast<QVBoxLayout*>(kestirPanel->layout());
    Label32 = new ClickableLabel("Convective Storm Matrix", kestirPanel);
    Label32->setObjectName("Label32");
    Label32->SetClickHandler([this] { Label32_Click(); });
    auto* label = new ClickableLabel("M4", kestirPanel);
    label->setObjectName("lblMatrix");
    QFont font("MS Sans Serif", 12);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(435 / 15 + 10, 315 / 15);
    label->setStyleSheet("background-color: black; color: " + StyleColour(kGreen) + ";");
    label->SetClickHandler([this] { ShowTrainingMatrix(); });
    lblMatrix = label;
    picReason = new PictureBox(kestirPanel);
    picReason->setObjectName("picReason");
    // As wide as the panel allows, up to its own width; the sketch follows.
    picReason->setMinimumWidth(200);
    picReason->setMaximumWidth(5055 / 15);
    picReason->setFixedHeight(735 / 15);
    picReason->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    picReason->Surface().SetBackColor(kWhite);
    picReason->Surface().SetDesignSize(5055 / 15, 735 / 15);
    picReason->Surface().Clear();
    picReason->SetResizeHandler([this] {
        const ProfileArrays& s = *session_.profile;
        if (session_.matrix->MatrixEntryReady(s.CurrentModel, view_.CurrentColumn) != kFlagFalse)
            tarvex::ShowTrainingMatrix(picReason->Surface(), session_, view_.CurrentColumn);
    });
    picReason->SetMouseDownHandler([this](int, int, double, double) { picReason_Click(); });
    auto* top = new QHBoxLayout();
    top->addWidget(Label32);
    top->addWidget(lblMatrix);
    kestir->addLayout(top);
    kestir->addWidget(picReason);
    auto* pages = new QHBoxLayout();
    const char* pageCaptions[kPageButtons] = {"0.4 km", "4 km", "Clouds", nullptr, "Summary"};
    for (int k = 0; k < kPageButtons; ++k) {
        if (!pageCaptions[k]) continue;
        auto* button = new QPushButton(pageCaptions[k], kestirPanel);
        button->setObjectName(QString("btnLoop_%1").arg(k));
        connect(button, &QPushButton::clicked, this, [this, k] { btnLoop_Click(k); });
        btnLoop[static_cast<std::size_t>(k)] = button;
        pages->addWidget(button);
    }
    kestir->addLayout(pages);
}

StormPanels::~StormPanels() = default;

void StormPanels::PlotCapeShear() {
    tarvex::PlotCapeShear(picCape_->Surface(), session_, view_.CurrentColumn, CapeAxisTop_,
                          &backgrounds_->cape);
    picCape_->update();
}

void StormPanels::PlotMBE() {
    tarvex::PlotMBE(picMBE_->Surface(), session_, view_.CurrentColumn, MbeScale_);
    picMBE_->update();
}

void StormPanels::ShowKestir() {
    picReason->Surface().Clear();
    ColourMatrixLabels();
}

void StormPanels::ColourMatrixLabels() {
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = view_.CurrentColumn;
    StormMatrixResults& matrix = *session_.matrix;
    if (matrix.MatrixEntryReady(m, t) == kFlagFalse)
        MakeMatrixEntry(s, t, session_.config.MediaDrive, matrix);
    lblMatrix->setStyleSheet(
        "background-color: black; color: " + StyleColour(MatrixLabelColour(session_, t)) + ";");
    lblMatrix->setText(QString::fromStdString(matrix.MatrixCellCode(m, t)));
    DrawReason(); // an hour change names no topic
}

void StormPanels::ShowTrainingMatrix() {
    runControlCommand_("KESTIR");
    DrawReason();
}

void StormPanels::DrawReason() {
    tarvex::ShowTrainingMatrix(picReason->Surface(), session_, view_.CurrentColumn);
    picReason->update();
}

void StormPanels::picCape_MouseUp(int Button) {
    CapeAxisTop_ = ZoomCapeAxisTop(CapeAxisTop_, Button);
    PlotCapeShear();
}

void StormPanels::picMBE_MouseUp(int Button) {
    runControlCommand_("Heavy Precip");
    MbeScale_ = ZoomMbeScale(MbeScale_, Button);
    PlotMBE();
}

void StormPanels::optCAPEShear_Click(int Index) {
    session_.options.CAPEShearMethod =
        Index == 0 ? ShearMethod::HodographLength : ShearMethod::WindDifference;
    const ProfileArrays& s = *session_.profile;
    for (int t = 0; t <= s.LastTime(s.CurrentModel); ++t)
        session_.winds->ShearDone(s.CurrentModel, t) = kFlagFalse;
    PlotCapeShear();
}

void StormPanels::btnLoop_Click(int Index) {
    runControlCommand_("KESTIR");
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = view_.CurrentColumn;
    const StormMatrixResults& matrix = *session_.matrix;
    if (matrix.MatrixEntryReady(m, t) == kFlagFalse) return; // no entry shown yet
    if (!MatrixHasPages(matrix.MatrixCellCode(m, t))) return;
    const std::string page = matrix.MatrixPageName(m, t) + "_" + std::to_string(Index + 1) + ".htm";
    // A page that is not there fails as the desktop reports a missing file.
    std::error_code error;
    const bool exists = std::filesystem::exists(page, error);
    if (exists && desktop_.openDocument(page)) return;
    if (desktop_.askOkCancel("KESTIR Error", MatrixPageFailureText(exists ? 0 : 2)))
        desktop_.openDocument(kMatrixTrainingPage);
}

void StormPanels::Label32_Click() {
    runControlCommand_("KESTIR");
}

void StormPanels::picReason_Click() {
    runControlCommand_("KESTIR");
}

} // namespace tarvex
