// The keyboard of the main window: the keys a forecaster uses on a scroll bar
// step the hours, whichever button has the focus.
#include "profile/ui/FrmProfile.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QScrollBar>

namespace tarvex {

namespace {

class HourKeys : public QObject {
  public:
    HourKeys(QScrollBar* bar, QObject* parent) : QObject(parent), bar_(bar) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        // Keys with Alt or Control belong to the buttons' shortcuts.
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
        QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            action = QAbstractSlider::SliderSingleStepSub;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            action = QAbstractSlider::SliderSingleStepAdd;
            break;
        case Qt::Key_PageUp:
            action = QAbstractSlider::SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = QAbstractSlider::SliderPageStepAdd;
            break;
        case Qt::Key_Home:
            action = QAbstractSlider::SliderToMinimum;
            break;
        case Qt::Key_End:
            action = QAbstractSlider::SliderToMaximum;
            break;
        default:
            return false;
        }
        bar_->triggerAction(action);
        return true;
    }

  private:
    QScrollBar* bar_;
};

} // namespace

void FrmProfile::RouteHourKeys() {
    vsbHour->setFocusPolicy(Qt::StrongFocus);
    auto* keys = new HourKeys(vsbHour, this);
    vsbHour->installEventFilter(keys);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->installEventFilter(keys);
}

} // namespace tarvex
