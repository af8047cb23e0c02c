#pragma once

#include <QApplication>

namespace tarvex {

// The program's application object: an error thrown while an event is
// handled (an index outside the sounding store, say) is reported on the
// standard error stream and the event dropped, so that one bad redraw never
// ends a forecaster's session.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace tarvex
