#pragma once

#include <QApplication>

namespace tarvex {

// The program's application object: an error thrown while an event is
// handled (an index outside the sounding store, say) is reported on the
// standard error stream and the event dropped, so that one bad redraw never
// ends a forecaster's session.
//
// It also keeps the toolkit's shared thread pool to one thread. The toolkit
// splits every fill of more than about a hundred pixel rows into parts, hands
// one part to each thread of that pool and waits for them all; for the
// narrow fills of a control the handoffs cost several times the fill (the
// hour bar beside the sounding, 525 pixels tall, repaints in 0.33 ms so and
// in 0.12 ms with one thread), and a redraw after every hour step repaints it.
// Our own pictures set their pixels on this thread.
class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace tarvex
