// Tarvex: the forecast-sounding tool. Opens the main window on the sounding
// file named on the command line.
#include "platform/QtDesktopService.h"
#include "profile/data/ProfileArrays.h"
#include "profile/data/Session.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>

#include <filesystem>
#include <string>

namespace {

// Sounding files are named model_site.buf; until the configuration's model
// table is read, the model word of the name gives the file's layout.
std::string ModelWordOfFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).stem().string();
    const std::size_t bar = name.find('_');
    return bar == std::string::npos ? name : name.substr(0, bar);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tarvex::Session session;
    tarvex::QtDesktopService desktop(QCoreApplication::applicationDirPath());
    tarvex::FrmProfile window(session, desktop);
    window.show();
    if (argc > 1) {
        const std::string path = argv[1];
        session.models.ModelCodes = {ModelWordOfFile(path)};
        session.models.ModelCaptions = session.models.ModelCodes;
        session.profile->ModelChoice = 0;
        window.LoadSoundingFile(path);
    }
    return app.exec();
}
