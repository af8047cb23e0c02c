#include "shell/FrmHelp.h"

#include "platform/PictureBox.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace tarvex {

namespace {

constexpr const char* kBannerWord = "ZiveVoz";
constexpr const char* kFlickerWord = "ZurAvo";

QString Lines(const QStringList& lines) {
    return lines.join("\r\n");
}

QLabel* BannerPanel(QWidget* parent, const char* name, const QString& caption) {
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAlignment(Qt::AlignCenter);
    QFont font("MS Sans Serif");
    font.setPointSize(16);
    font.setBold(true);
    panel->setFont(font);
    return panel;
}

QPlainTextEdit* TextBox(QWidget* parent, const char* name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFont(QFont("MS Sans Serif"));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

// The artwork: a small sounding, a temperature trace leaning right over a
// dew-point trace, on a sky-blue ground.
void DrawArtwork(PictureBox* box) {
    box->setFixedSize(64, 64);
    auto draw = [box] {
        PictureSurface& pic = box->Surface();
        pic.SetBackColor(RGB(200, 225, 255));
        pic.Clear();
        pic.Scale(0, 10, 10, 0);
        pic.SetDrawWidth(2);
        pic.Line(5, 0.5, 7, 4, RGB(255, 0, 0));
        pic.LineTo(5.5, 6.5, RGB(255, 0, 0));
        pic.LineTo(7.5, 9.5, RGB(255, 0, 0));
        pic.Line(3.5, 0.5, 4, 4, RGB(0, 160, 0));
        pic.LineTo(2, 6.5, RGB(0, 160, 0));
        pic.LineTo(3, 9.5, RGB(0, 160, 0));
    };
    box->SetResizeHandler(draw);
    draw();
}

} // namespace

QString AboutHelpText() {
    return Lines({
        "Tarvex is brought to you by the work of many offices of the Tarvex project.",
        "Forecast Sounding Training Group (FSTG), an online team of forecasters",
        "",
        "The FSTG builds training that helps forecasters read forecast soundings.",
        "It turns what the soundings show into decisions a forecast office can use.",
        "Ask the FSTG about training for your office.",
        "",
        "The latest release and its documentation: https://tarvex.example.org",
        "If You Need Assistance on Installation, Operation, or Interpretation Contact:",
        "The project maintainer, FSTG, maintainer@tarvex.example.org",
    });
}

QString AboutCreditsText() {
    return Lines({
        "This release was developed to support the winter-weather track of a training course.",
        "Forecast Soundings in Winter Weather (FSWW)",
        "",
        "Subject-matter-expert developers of the course:",
        "",
        "Store developer (STO)     Computations developer (CMP)     Reader developer (RDR)     "
        "Diagram developer (DGM)",
        "Hodograph developer (HOD)     Map developer (MAP)     Indices developer (IDX)     "
        "Window developer (WIN)",
        "Precipitation-type developer (PTY)     Storm-type developer (STY)     "
        "Fog developer (FOG)",
        "Lake-effect developer (LKE)     Overview developer (OVW)     Panel developer (PNL)     "
        "Settings developer (SET)",
        "Animation developer (ANI)     Print developer (PRT)     Monitor developer (MON)     "
        "Help developer (HLP)",
        "Integrator (INT)     Reviewer (REV)     Tester (TST)     Benchmark developer (BEN)",
        "Sample-data developer, a university partner",
    });
}

QString AboutTrainingGroupText() {
    return Lines({
        "Forecast Sounding Training Group (FSTG) and the course developers:",
        "",
        "Course lead     Winter-weather instructor     Convection instructor     "
        "Lake-effect instructor     Fog instructor",
        "Training editor     Media developer     Web developer     Quality reviewer",
        "Course coordinator     Office liaison",
    });
}

FrmHelp::FrmHelp(QWidget* parent, std::function<double()> random)
    : QWidget(parent, Qt::Window), random_(std::move(random)) {
    if (!random_) random_ = [] { return QRandomGenerator::global()->generateDouble(); };
    setObjectName("frmHelp");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont("MS Sans Serif"));

    auto* layout = new QVBoxLayout(this);
    auto* banner = new QHBoxLayout();
    Image1 = new PictureBox(this);
    Image1->setObjectName("Image1");
    DrawArtwork(Image1);
    Panel3D1 = BannerPanel(this, "Panel3D1", "TARVEX");
    Panel3D2 = BannerPanel(this, "Panel3D2", "BUFR Forecast Profile");
    pnlProfile = BannerPanel(this, "pnlProfile", kBannerWord);
    Image2 = new PictureBox(this);
    Image2->setObjectName("Image2");
    DrawArtwork(Image2);
    banner->addWidget(Image1);
    banner->addWidget(Panel3D1);
    banner->addWidget(Panel3D2, 1);
    banner->addWidget(pnlProfile);
    banner->addWidget(Image2);
    layout->addLayout(banner);

    pnlVersion = new QLabel(this);
    pnlVersion->setObjectName("pnlVersion");
    pnlVersion->setAlignment(Qt::AlignCenter);
    layout->addWidget(pnlVersion);

    pnlHelp = new QFrame(this);
    pnlHelp->setObjectName("pnlHelp");
    pnlHelp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* texts = new QVBoxLayout(pnlHelp);
    txtHelp = TextBox(pnlHelp, "txtHelp");
    txtCredits = TextBox(pnlHelp, "txtCredits");
    txtORVA = TextBox(pnlHelp, "txtORVA");
    texts->addWidget(txtHelp, 3);
    texts->addWidget(txtCredits, 4);
    texts->addWidget(txtORVA, 2);
    layout->addWidget(pnlHelp, 1);

    auto* bottom = new QHBoxLayout();
    picLogo = new PictureBox(this);
    picLogo->setObjectName("picLogo");
    DrawArtwork(picLogo);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOK_Click(); });
    bottom->addWidget(picLogo);
    bottom->addStretch(1);
    bottom->addWidget(btnOK);
    layout->addLayout(bottom);

    timerZiveVoz = new QTimer(this);
    timerZiveVoz->setObjectName("timerZiveVoz");
    timerZiveVoz->setInterval(kFirstPause);
    connect(timerZiveVoz, &QTimer::timeout, this, [this] { timerZiveVoz_Timer(); });
    timerZurAvo = new QTimer(this);
    timerZurAvo->setObjectName("timerZurAvo");
    timerZurAvo->setInterval(kFlicker);
    connect(timerZurAvo, &QTimer::timeout, this, [this] { timerZurAvo_Timer(); });
    resize(760, 720);
    Form_Load();
}

void FrmHelp::Form_Load() {
    pnlVersion->setText(QString("Version ") + kVersion);
    txtHelp->setPlainText(AboutHelpText());
    txtCredits->setPlainText(AboutCreditsText());
    txtORVA->setPlainText(AboutTrainingGroupText());
    timerZurAvo->stop();
    timerZiveVoz->setInterval(kFirstPause);
    timerZiveVoz->start();
}

void FrmHelp::btnOK_Click() {
    close();
}

void FrmHelp::timerZiveVoz_Timer() {
    timerZiveVoz->stop();
    timerZurAvo->start();
    pnlProfile->setText(kFlickerWord);
}

void FrmHelp::timerZurAvo_Timer() {
    timerZurAvo->stop();
    timerZiveVoz->setInterval(static_cast<int>(std::lround(random_() * 8000.0 + 2000.0)));
    timerZiveVoz->start();
    pnlProfile->setText(kBannerWord);
}

} // namespace tarvex
