#include "profile/ui/LakeEffectPanel.h"

#include "compute/ComputeState.h"
#include "files/HistoryFile.h"
#include "files/Session.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "profile/diagnostics/LakeEffect.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <tuple>
#include <utility>

namespace tarvex {

namespace {

// The lake temperature bar starts at 34 F, as the window is laid out.
constexpr int kLakeTempFStart = 34;

void Paint(QLabel* label, Qt::GlobalColor background, const QColor& text) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(background != Qt::transparent);
}

// A value box: black text on yellow.
QLabel* ValueBox(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Box);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(40);
    Paint(label, Qt::yellow, Qt::black);
    return label;
}

QColor StabilityColor(LakeStability stability) {
    switch (stability) {
    case LakeStability::Extreme:
        return QColor(255, 0, 0);
    case LakeStability::Moderate:
        return QColor(0, 0, 255);
    case LakeStability::None:
    case LakeStability::Conditional:
        break;
    }
    return Qt::black;
}

} // namespace

LakeEffectPanel::LakeEffectPanel(Session& session, SoundingView& view,
                                 std::function<void()> drawSounding,
                                 std::function<void(const std::string&)> runControlCommand,
                                 QWidget* parent)
    : QWidget(parent), session_(session), view_(view), drawSounding_(std::move(drawSounding)),
      runControlCommand_(std::move(runControlCommand)) {
    setObjectName("pnlLakeEffect");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);
    auto caption = [&](const QString& text, int row, int column, int span = 1) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, row, column, 1, span);
        return label;
    };

    // The lake temperature: the bar on the left, its two readings beside it.
    auto* bar = new QScrollBar(Qt::Vertical, this);
    bar->setObjectName("vsbLakeF");
    bar->setMinimumHeight(80);
    vsbLakeF = std::make_unique<RangeScrollBar>(bar, kLakeTempFHighest, kLakeTempFLowest);
    vsbLakeF->SetValue(kLakeTempFStart);
    grid->addWidget(bar, 0, 0, 4, 1);
    caption("Lake Temp", 0, 1, 2);
    caption("F", 1, 1);
    caption("C", 1, 2);
    lblLakeF = new QLabel(QString::number(kLakeTempFStart), this);
    lblLakeF->setObjectName("lblLakeF");
    lblLakeC =
        new QLabel(QString::fromStdString(Format(session_.parcelOptions.LakeTempC, "#0")), this);
    lblLakeC->setObjectName("lblLakeC");
    for (QLabel* label : {lblLakeF, lblLakeC}) {
        label->setAlignment(Qt::AlignCenter);
        Paint(label, Qt::cyan, Qt::black);
    }
    grid->addWidget(lblLakeF, 2, 1);
    grid->addWidget(lblLakeC, 2, 2);

    // The two levels: temperature and the lake's excess over it.
    caption("Temp", 4, 1);
    caption("Diff", 4, 2);
    auto level = [&](std::int16_t configured, const char* fallback) {
        return configured > 0 ? QString::number(configured) : QString(fallback);
    };
    lblCI850 = caption(level(session_.config.CI850Value, "850"), 5, 0);
    lblCI850->setObjectName("lblCI850");
    lblCI700 = caption(level(session_.config.CI700Value, "700"), 6, 0);
    lblCI700->setObjectName("lblCI700");
    lblT850 = ValueBox("lblT850", this);
    lblDiff850 = ValueBox("lblDiff850", this);
    lblT700 = ValueBox("lblT700", this);
    lblDiff700 = ValueBox("lblDiff700", this);
    grid->addWidget(lblT850, 5, 1);
    grid->addWidget(lblDiff850, 5, 2);
    grid->addWidget(lblT700, 6, 1);
    grid->addWidget(lblDiff700, 6, 2);

    lblStability = new QLabel(this);
    lblStability->setObjectName("lblStability");
    lblStability->setAlignment(Qt::AlignCenter);
    QFont bold = lblStability->font();
    bold.setBold(true);
    bold.setPointSize(12);
    lblStability->setFont(bold);
    Paint(lblStability, Qt::transparent, Qt::black);
    grid->addWidget(lblStability, 7, 0, 1, 3);

    caption("Model CAPE", 8, 0, 2);
    lblModelCape = ValueBox("lblModelCape", this);
    grid->addWidget(lblModelCape, 8, 2);
    caption("Lake Induced", 9, 0, 3);
    caption("CAPE", 10, 0);
    caption("EQL", 11, 0);
    caption("NCAPE", 12, 0);
    lblLIC = ValueBox("lblLIC", this);
    lblLIE = ValueBox("lblLIE", this);
    lblNLIC = ValueBox("lblNLIC", this);
    grid->addWidget(lblLIC, 10, 1, 1, 2);
    grid->addWidget(lblLIE, 11, 1, 1, 2);
    grid->addWidget(lblNLIC, 12, 1, 1, 2);

    // The lake options of the sounding diagram, each box beside its caption.
    auto option = [&](const char* name, const char* labelName, const char* text, int row, bool on) {
        auto* box = new QCheckBox(this);
        box->setObjectName(name);
        box->setChecked(on);
        auto* label = new ClickableLabel(text, this);
        label->setObjectName(labelName);
        grid->addWidget(box, row, 0, Qt::AlignRight);
        grid->addWidget(label, row, 1, 1, 2);
        return std::pair{box, label};
    };
    std::tie(chkLakeIndex, Label21) =
        option("chkLakeIndex", "Label21", "Lake Index", 13, view_.options.LakeIndex);
    std::tie(chkMoistLakeIndex, Label22) = option(
        "chkMoistLakeIndex", "Label22", "Moist Lake Index", 14, view_.options.MoistLakeIndex);
    std::tie(chkLIC, Label39) = option("chkLIC", "Label39", "LI CAPE", 15, view_.options.LIC);
    grid->setRowStretch(16, 1);

    connect(bar, &QScrollBar::valueChanged, this, [this] { vsbLakeF_Change(); });
    connect(chkLakeIndex, &QCheckBox::clicked, this, [this] { chkLakeIndex_Click(); });
    connect(chkMoistLakeIndex, &QCheckBox::clicked, this, [this] { chkMoistLakeIndex_Click(); });
    connect(chkLIC, &QCheckBox::clicked, this, [this] { chkLIC_Click(); });
    Label21->SetClickHandler([this] { Label21_Click(); });
    Label22->SetClickHandler([this] { Label22_Click(); });
    Label39->SetClickHandler([this] { Label39_Click(); });
}

LakeEffectPanel::~LakeEffectPanel() = default;

void LakeEffectPanel::ShowLakeEffect() {
    const LakeEffectValues v = MakeLakeEffect(session_, view_.CurrentColumn);
    lblT850->setText(QString::fromStdString(v.lblT850));
    lblDiff850->setText(QString::fromStdString(v.lblDiff850));
    lblT700->setText(QString::fromStdString(v.lblT700));
    lblDiff700->setText(QString::fromStdString(v.lblDiff700));
    lblStability->setText(QString::fromStdString(v.lblStability));
    Paint(lblStability, Qt::transparent, StabilityColor(v.Stability));
    lblModelCape->setText(QString::fromStdString(v.lblModelCape));
    lblLIC->setText(QString::fromStdString(v.lblLIC));
    lblLIE->setText(QString::fromStdString(v.lblLIE));
    lblNLIC->setText(QString::fromStdString(v.lblNLIC));
}

void LakeEffectPanel::vsbLakeF_Change() {
    const int value = vsbLakeF->Value();
    lblLakeF->setText(QString::number(value));
    // The product in whole numbers, the division in floating point.
    const auto scaled = static_cast<std::int16_t>((value - 32) * 5);
    session_.parcelOptions.LakeTempC = static_cast<float>(scaled) / 9.0f;
    lblLakeC->setText(QString::fromStdString(Format(session_.parcelOptions.LakeTempC, "#0")));

    // Every hour's lake parcel was lifted from the old lake temperature.
    const ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    const int last = std::clamp<int>(s.LastTime(m), 0, kLastTimeColumn);
    for (int t = 0; t <= last; ++t) session_.lake->LakeCAPEDone(m, t) = kFlagFalse;
    if (view_.SuspendRedraw) return;
    ShowLakeEffect();
    drawSounding_();
}

void LakeEffectPanel::OptionClicked(QCheckBox* box, const char* word, bool& flag) {
    runControlCommand_(word);
    flag = box->checkState() != Qt::Unchecked;
    drawSounding_();
}

void LakeEffectPanel::chkLakeIndex_Click() {
    OptionClicked(chkLakeIndex, "Lake Index", view_.options.LakeIndex);
}

void LakeEffectPanel::chkMoistLakeIndex_Click() {
    OptionClicked(chkMoistLakeIndex, "Moist Lake Index", view_.options.MoistLakeIndex);
}

void LakeEffectPanel::chkLIC_Click() {
    OptionClicked(chkLIC, "LI CAPE", view_.options.LIC);
}

void LakeEffectPanel::Label21_Click() {
    runControlCommand_("Lake Index");
}

void LakeEffectPanel::Label22_Click() {
    runControlCommand_("Moist Lake Index");
}

void LakeEffectPanel::Label39_Click() {
    runControlCommand_("LI CAPE");
}

} // namespace tarvex
