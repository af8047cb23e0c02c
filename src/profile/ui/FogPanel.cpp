#include "profile/ui/FogPanel.h"

#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/FogChart.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QEvent>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace tarvex {

namespace {

// One step of the buttons: 1 F in deg C.
constexpr float kStepC = 5.0f / 9.0f;

} // namespace

FogPanel::FogPanel(Session& session, SoundingView& view, PictureBox& picFog)
    : QObject(&picFog), session_(session), view_(view), picFog_(picFog) {
    auto make = [&](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, &picFog);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    // The arrows come from the style's icon theme, whose look-up reads the
    // theme's files: they are put on when the panel is first shown.
    btnXoverDown = make("btnXoverDown", "");
    btnXoverUp = make("btnXoverUp", "");
    btnXoverReset = make("btnXoverReset", "Reset");
    connect(btnXoverDown, &QPushButton::clicked, this, [this] { btnXoverDown_Click(); });
    connect(btnXoverUp, &QPushButton::clicked, this, [this] { btnXoverUp_Click(); });
    connect(btnXoverReset, &QPushButton::clicked, this, [this] { btnXoverReset_Click(); });
    picFog.installEventFilter(this);
    PlaceButtons();
    // The panel is drawn before it is shown, often at another size.
    picFog.SetResizeHandler([this] { PlotFog(); });
}

void FogPanel::PlotFog() {
    tarvex::PlotFog(picFog_.Surface(), session_, view_.CurrentColumn);
}

void FogPanel::btnXoverDown_Click() {
    StepCrossover(session_, view_.CurrentColumn, -kStepC);
    PlotFog();
}

void FogPanel::btnXoverUp_Click() {
    StepCrossover(session_, view_.CurrentColumn, kStepC);
    PlotFog();
}

void FogPanel::btnXoverReset_Click() {
    ResetCrossover(session_, view_.CurrentColumn);
    PlotFog();
}

bool FogPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &picFog_ && event->type() == QEvent::Resize) PlaceButtons();
    if (watched == &picFog_ && event->type() == QEvent::Show && btnXoverDown->icon().isNull()) {
        btnXoverDown->setIcon(picFog_.style()->standardIcon(QStyle::SP_ArrowDown));
        btnXoverUp->setIcon(picFog_.style()->standardIcon(QStyle::SP_ArrowUp));
    }
    return QObject::eventFilter(watched, event);
}

void FogPanel::PlaceButtons() {
    // Right of the bars and above the crossover value, left of the panel's
    // middle separator: x 40 to 52 and y 6 to 2.4 of the crossover area's
    // scale (0..100 across, 17 at the top to -7 at the bottom), in two rows.
    const int w = picFog_.width();
    const int h = picFog_.height();
    const int left = w * 40 / 100;
    const int top = h * (17 - 6) / 24;
    const int row = std::max(16, h * 18 / 10 / 24);
    const int step = std::max(16, w * 6 / 100);
    btnXoverDown->setGeometry(left, top, step - 2, row - 2);
    btnXoverUp->setGeometry(left + step, top, step - 2, row - 2);
    btnXoverReset->setGeometry(left, top + row, 2 * step - 2, row - 2);
}

} // namespace tarvex
