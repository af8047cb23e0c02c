#include "platform/GuardedApplication.h"

#include <QThreadPool>

#include <exception>
#include <iostream>

namespace tarvex {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    QThreadPool::globalInstance()->setMaxThreadCount(1);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        std::cerr << "tarvex: an event was dropped after an error: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "tarvex: an event was dropped after an unknown error\n";
    }
    return false;
}

} // namespace tarvex
