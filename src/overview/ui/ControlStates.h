#pragma once

#include <QFont>
#include <QPointer>
#include <QString>

#include <span>
#include <vector>

class QWidget;

namespace tarvex {

// What the user and the handlers change on a window's controls, as it stands
// for every control under a widget: shown or hidden, enabled, font, style
// sheet, caption, ticked or chosen, a bar's range, steps and value, a stack's
// page. Taken when a window is built, it sets the window back to how it was
// built (each control quietly, running no handler) for a start-up anew.
class ControlStates {
  public:
    ControlStates() = default;
    explicit ControlStates(const QWidget& root);

    // Sets each control back to its state when taken, with its signals
    // blocked; controls made since are left as they are, and so is whether
    // each of `ownShowing` is shown: its owner shows or hides it afterwards,
    // and a panel hidden and shown again is laid out and painted for nothing.
    void Restore(std::span<const QWidget* const> ownShowing = {}) const;

  private:
    struct Control {
        QPointer<QWidget> widget;
        bool hidden = false;
        bool disabled = false;
        QFont font;
        QString styleSheet;
        QString text;
        bool checked = false;
        int minimum = 0;
        int maximum = 0;
        int value = 0;
        int pageStep = 0;
        int singleStep = 0;
        int page = 0;
    };
    std::vector<Control> controls_;
};

} // namespace tarvex
