// The floor of the start-up benchmark: the least Qt window program, one empty
// top-level window with the given title and size, shown as the main window
// shows itself. bench/startup.sh times it beside the program.
// Usage: empty_window TITLE WIDTH HEIGHT
#include <QApplication>
#include <QWidget>

#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("empty"));
    window.resize(argc > 3 ? std::atoi(argv[2]) : 1480, argc > 3 ? std::atoi(argv[3]) : 960);
    window.show();
    return app.exec();
}
