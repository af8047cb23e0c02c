// Tarvex: the forecast-sounding tool. The main window starts the program: it
// reads the user's settings and the configuration beside the program, lists
// the sounding files and shows the first site's sounding, or the file named
// on the command line.
#include "files/HistoryFile.h"
#include "files/Session.h"
#include "platform/GuardedApplication.h"
#include "platform/QtDesktopService.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QFontDatabase>

#include <future>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // A file-size limit fails a write, which is reported, instead of ending
    // the program without a word.
    tarvex::IgnoreFileSizeSignal();
    // The program's store is made on another thread while the toolkit
    // connects to the display: its tables are large, and their memory is
    // mapped as they are filled.
    std::future<std::unique_ptr<tarvex::Session>> made =
        std::async(std::launch::async, [] { return std::make_unique<tarvex::Session>(); });
    tarvex::GuardedApplication app(argc, argv);
    // The list of installed fonts is gathered on another thread while the
    // window's controls are made: the first text measured waits for it.
    const std::future<void> fonts =
        std::async(std::launch::async, [] { QFontDatabase::families(); });
    const QString programFolder = QCoreApplication::applicationDirPath();
    const std::unique_ptr<tarvex::Session> kept = made.get();
    tarvex::Session& session = *kept;
    tarvex::QtDesktopService desktop(programFolder);
    tarvex::FrmProfile window(session, desktop);
    window.SetProgramFolder(programFolder.toStdString());
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    // Without a usable configuration the program ends here, after its message.
    if (!window.Form_Load(arguments)) return 1;
    return app.exec();
}
