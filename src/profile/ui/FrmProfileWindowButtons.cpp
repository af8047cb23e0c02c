// The window's own buttons: the settings slots, the shear table, printing
// and the About window; and the legend of the humidity strip.
#include "files/HistoryFile.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "platform/PrintImage.h"
#include "profile/diagrams/PTypeMark.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/ShearTable.h"
#include "shell/FrmHelp.h"

#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvex {

namespace {

constexpr const char* kSlotCaptions[4] = {"A", "B", "C", "D"};

// A press on the frame itself (not on a control inside it) runs the action.
class FramePressFilter : public QObject {
  public:
    FramePressFilter(QWidget* frame, std::function<void()> pressed)
        : QObject(frame), frame_(frame), pressed_(std::move(pressed)) {
        frame->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == frame_ && event->type() == QEvent::MouseButtonPress) pressed_();
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* frame_;
    std::function<void()> pressed_;
};

} // namespace

QWidget* FrmProfile::BuildWindowButtons(QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setObjectName("frmWindowButtons");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    auto slotRow = [&](int row, const char* title, std::array<QPushButton*, 4>& buttons,
                       const char* name, void (FrmProfile::*click)(int)) {
        grid->addWidget(new QLabel(title, box), row, 0);
        for (int k = 0; k < 4; ++k) {
            auto* button = new QPushButton(kSlotCaptions[k], box);
            button->setObjectName(QString("%1_%2").arg(name).arg(k));
            button->setFixedWidth(28);
            connect(button, &QPushButton::clicked, this, [this, click, k] { (this->*click)(k); });
            buttons[static_cast<std::size_t>(k)] = button;
            grid->addWidget(button, row, k + 1);
        }
    };
    slotRow(0, "Save", btnSave, "btnSave", &FrmProfile::btnSave_Click);
    slotRow(1, "Recall", btnRecall, "btnRecall", &FrmProfile::btnRecall_Click);
    btnShear = new QPushButton("Shear Analysis", box);
    btnShear->setObjectName("btnShear");
    connect(btnShear, &QPushButton::clicked, this, [this] { btnShear_Click(); });
    btnPrint = new QPushButton("Print Profile", box);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setShortcut(QKeySequence(Qt::ALT | Qt::Key_P));
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrint_Click(); });
    grid->addWidget(btnShear, 0, 5);
    grid->addWidget(btnPrint, 1, 5);
    grid->setColumnStretch(6, 1);
    return box;
}

QFrame* FrmProfile::BuildHumidityLegend(QWidget* parent) {
    pnlRH = new QFrame(parent);
    pnlRH->setObjectName("pnlRH");
    pnlRH->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(pnlRH);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    row->addWidget(new QLabel("RH %", pnlRH));
    // One swatch per class of the strip, in the strip's own colours.
    const std::pair<const char*, float> classes[] = {{"<30", 0.0f}, {"", 50.0f},   {"70", 70.0f},
                                                     {"80", 80.0f}, {"90", 90.0f}, {"95", 95.0f}};
    for (const auto& [caption, humidity] : classes) {
        auto* swatch = new QLabel(caption, pnlRH);
        swatch->setAlignment(Qt::AlignCenter);
        swatch->setMinimumWidth(30);
        const std::optional<Rgb> colour = HumidityColour(humidity);
        swatch->setStyleSheet(colour ? QString("color: white; background-color: rgb(%1, %2, %3);")
                                           .arg(colour->r)
                                           .arg(colour->g)
                                           .arg(colour->b)
                                     : QString("color: white; background-color: black;"));
        row->addWidget(swatch);
    }
    // The key keeps its room while hidden, so that ticking "Rel Humidity"
    // moves no control below it.
    QSizePolicy keepRoom = pnlRH->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    pnlRH->setSizePolicy(keepRoom);
    pnlRH->hide();
    return pnlRH;
}

void FrmProfile::WirePanelWords() {
    // Clicks on these pictures only name their topic, in help mode.
    const std::pair<PictureBox*, const char*> pictures[] = {
        {picFog, "Fog"}, {picIndices, "Indicies"}, {picLapse, "Lapse Rates"}};
    for (const auto& [picture, word] : pictures) {
        picture->SetMouseDownHandler([this, topic = std::string(word)](int, int, double, double) {
            RunControlCommand(topic);
        });
    }
    // picPrecipType names the method in force through its own controls.
    for (QFrame* panel : pnlControl)
        new FramePressFilter(panel, [this] { RunControlCommand("KESTIR"); });
}

void FrmProfile::btnShear_Click() {
    const TextFileResult written = WriteTextFileWhole(
        kShearFileName, FormatShearTable(*session_.profile, view_.CurrentColumn));
    if (!written.ok) {
        showMessage_("The shear table could not be written to \"" + PathForMessage(written.path) +
                     "\": " + written.reason + ".");
    }
}

void FrmProfile::btnPrint_Click() {
    PrintWindow(
        *this, "The window",
        [this] {
            return choosePdf_ ? choosePdf_()
                              : QFileDialog::getSaveFileName(this, "Print Profile to a PDF file",
                                                             QString(), "PDF files (*.pdf)")
                                    .toStdString();
        },
        showMessage_);
}

void FrmProfile::btnHelp_Click() {
    if (!about_) about_ = new FrmHelp(this);
    about_->show();
    about_->raise();
}

FrmHelp* FrmProfile::AboutWindow() const {
    return about_.data();
}

} // namespace tarvex
