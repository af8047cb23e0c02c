#include "overview/ui/ControlStates.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QWidget>

#include <algorithm>

namespace tarvex {

namespace {

bool ExplicitlyHidden(const QWidget& w) {
    return w.testAttribute(Qt::WA_WState_ExplicitShowHide) && w.testAttribute(Qt::WA_WState_Hidden);
}

} // namespace

ControlStates::ControlStates(const QWidget& root) {
    // Taken as styled: a control's font and palette as its style sheet sets
    // them at its first showing.
    root.ensurePolished();
    const QList<QWidget*> widgets = root.findChildren<QWidget*>();
    controls_.reserve(static_cast<std::size_t>(widgets.size()));
    for (QWidget* w : widgets) {
        Control c;
        c.widget = w;
        c.hidden = ExplicitlyHidden(*w);
        c.disabled = w->testAttribute(Qt::WA_ForceDisabled);
        c.font = w->font();
        c.styleSheet = w->styleSheet();
        if (const auto* button = qobject_cast<QAbstractButton*>(w)) {
            c.text = button->text();
            c.checked = button->isChecked();
        } else if (const auto* label = qobject_cast<QLabel*>(w)) {
            c.text = label->text();
        } else if (const auto* bar = qobject_cast<QAbstractSlider*>(w)) {
            c.minimum = bar->minimum();
            c.maximum = bar->maximum();
            c.value = bar->value();
            c.pageStep = bar->pageStep();
            c.singleStep = bar->singleStep();
        } else if (const auto* stack = qobject_cast<QStackedWidget*>(w)) {
            c.page = stack->currentIndex();
        }
        controls_.push_back(std::move(c));
    }
}

void ControlStates::Restore(std::span<const QWidget* const> ownShowing) const {
    // Chosen option buttons first: choosing one clears the others of its
    // group, and one left chosen alone is cleared with its group's
    // exclusion lifted.
    for (const bool pass : {true, false}) {
        for (const Control& c : controls_) {
            auto* button = qobject_cast<QAbstractButton*>(c.widget.data());
            if (!button || c.checked != pass || button->isChecked() == c.checked) continue;
            const QSignalBlocker quiet(button);
            const bool exclusive = button->autoExclusive();
            if (!pass) button->setAutoExclusive(false);
            button->setChecked(c.checked);
            button->setAutoExclusive(exclusive);
        }
    }
    for (const Control& c : controls_) {
        QWidget* w = c.widget.data();
        if (!w) continue;
        const QSignalBlocker quiet(w);
        if (w->testAttribute(Qt::WA_ForceDisabled) != c.disabled) w->setEnabled(!c.disabled);
        if (w->font() != c.font) w->setFont(c.font);
        if (w->styleSheet() != c.styleSheet) w->setStyleSheet(c.styleSheet);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text() != c.text) button->setText(c.text);
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->text() != c.text) label->setText(c.text);
        } else if (auto* bar = qobject_cast<QAbstractSlider*>(w)) {
            bar->setRange(c.minimum, c.maximum);
            bar->setValue(c.value);
            bar->setPageStep(c.pageStep);
            bar->setSingleStep(c.singleStep);
        } else if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
            stack->setCurrentIndex(c.page);
        }
    }
    // Hidden ones first, so that a shown one takes room already free.
    const auto owned = [ownShowing](const QWidget* w) {
        return std::find(ownShowing.begin(), ownShowing.end(), w) != ownShowing.end();
    };
    for (const bool pass : {true, false})
        for (const Control& c : controls_)
            if (QWidget* w = c.widget.data();
                w && c.hidden == pass && ExplicitlyHidden(*w) != pass && !owned(w))
                w->setVisible(!pass);
}

} // namespace tarvex
