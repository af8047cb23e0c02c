// The "Loop" control panel: the hour animation with its rate and delay bars.
#include "files/Session.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/HourAnimation.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace tarvex {

AnimationStep NextAnimationStep(int v, int last, int rate, int delay) {
    if (v >= last) return {0, rate};
    const auto next = static_cast<std::int16_t>(v + 1);
    if (next == last) return {next, static_cast<std::int16_t>(rate + delay)};
    return {next, rate};
}

QWidget* FrmProfile::BuildLoopPanel(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    btnAutoDisplay = new QPushButton("Loop", box);
    btnAutoDisplay->setObjectName("btnAutoDisplay");
    btnAutoDisplay->setCheckable(true);
    btnAutoDisplay->setShortcut(QKeySequence(Qt::ALT | Qt::Key_L));
    connect(btnAutoDisplay, &QPushButton::clicked, this, [this] {
        // The highlight follows the animation, not the button's own toggle.
        btnAutoDisplay_Click();
    });
    auto makeBar = [&](const char* name, int minimum, int maximum, int small, int large,
                       int start) {
        auto* bar = new QScrollBar(Qt::Horizontal, box);
        bar->setObjectName(name);
        bar->setRange(minimum, maximum);
        bar->setSingleStep(small);
        bar->setPageStep(large);
        bar->setValue(start);
        return bar;
    };
    hsbRate = makeBar("hsbRate", 1, 1000, 10, 20, 1);
    hsbDelay = makeBar("hsbDelay", 0, 5000, 50, 100, 2500);
    grid->addWidget(btnAutoDisplay, 0, 0, 1, 2);
    grid->addWidget(new QLabel("Frame Speed", box), 1, 0);
    grid->addWidget(hsbRate, 1, 1);
    grid->addWidget(new QLabel("Delay", box), 2, 0);
    grid->addWidget(hsbDelay, 2, 1);
    connect(hsbRate, &QScrollBar::valueChanged, this, [this] { hsbRate_Change(); });

    timerAutoDisplay = new QTimer(this);
    timerAutoDisplay->setObjectName("timerAutoDisplay");
    timerAutoDisplay->setInterval(1000);
    connect(timerAutoDisplay, &QTimer::timeout, this, [this] { timerAutoDisplay_Timer(); });
    return box;
}

void FrmProfile::btnAutoDisplay_Click() {
    autoDisplayOn_ = !autoDisplayOn_;
    if (autoDisplayOn_) {
        timerAutoDisplay->setInterval(hsbRate->value());
        timerAutoDisplay->start();
    } else {
        timerAutoDisplay->stop();
    }
    btnAutoDisplay->setChecked(autoDisplayOn_);
}

void FrmProfile::hsbRate_Change() {
    timerAutoDisplay->setInterval(hsbRate->value());
}

void FrmProfile::timerAutoDisplay_Timer() {
    const ProfileArrays& s = *session_.profile;
    const int last = s.LastTime(s.CurrentModel);
    if (last < 0) return; // no sounding loaded
    const AnimationStep step =
        NextAnimationStep(vsbHour->value(), last, hsbRate->value(), hsbDelay->value());
    timerAutoDisplay->setInterval(step.interval);
    vsbHour->setValue(step.hour);
}

void FrmProfile::StopAnimation() {
    if (autoDisplayOn_) btnAutoDisplay_Click();
}

void FrmProfile::closeEvent(QCloseEvent* event) {
    StopAnimation();
    // Closing the window ends the program as Done does: the settings are
    // kept and the overview goes with it.
    if (!ending_) btnDone_Click();
    QWidget::closeEvent(event);
}

} // namespace tarvex
