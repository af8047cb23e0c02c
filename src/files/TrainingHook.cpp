#include "files/TrainingHook.h"

#include "files/HistoryFile.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tarvex {

namespace fs = std::filesystem;

std::string CheckTempFolder(const fs::path& base, const std::string& UserName) {
    if (base.empty()) return {};
    std::error_code ec;
    fs::create_directories(base, ec);
    if (ec) return {};
    // The empty probe file is written like every other file, so a link
    // planted at its name is replaced, never written through.
    if (!WriteTextFileWhole(base / (UserName + ".SV"), "").ok) return {};
    return (base / "").string();
}

const std::string& EnsureTempFolder(std::string& TempFolder, const fs::path& base,
                                    const std::string& UserName, std::string* notice) {
    if (TempFolder != kTempFolderUnset) return TempFolder;
    TempFolder = CheckTempFolder(base, UserName);
    if (TempFolder.empty() && notice) {
        std::error_code ec;
        *notice = "The settings folder \"" + PathForMessage(base.string()) +
                  "\" cannot be written, so the settings slots are saved in and recalled from "
                  "the current folder \"" +
                  PathForMessage(fs::current_path(ec).string()) + "\" instead.";
    }
    return TempFolder;
}

void ToggleTrainingMode(TrainingHelp& help, DesktopService& desktop) {
    help.TrainingMode = !help.TrainingMode;
    desktop.setPointerShape(help.TrainingMode ? PointerShape::HelpQuestion : PointerShape::Default);
}

namespace {

std::string TrimmedUpper(std::string_view word) {
    const std::size_t first = word.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    word = word.substr(first, word.find_last_not_of(' ') - first + 1);
    std::string out(word);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::vector<std::string> RunControlCommand(TrainingHelp& help, DesktopService& desktop,
                                           std::string_view word) {
    std::vector<std::string> failed;
    if (!help.TrainingMode) return failed;
    const std::string key = TrimmedUpper(word);
    const TrainingTable& table = help.Training;
    const int count =
        std::min(table.TrainingCount(), static_cast<int>(table.TrainingAction.size()) - 1);
    int entry = 0;
    for (int i = 1; i <= count && entry == 0; ++i) {
        if (table.TrainingKey[static_cast<std::size_t>(i)] == key) entry = i;
    }
    if (entry == 0) return failed;

    // Items end in "|"; text after the last one is not an item.
    std::string_view actions = table.TrainingAction[static_cast<std::size_t>(entry)];
    for (std::size_t bar = actions.find('|'); bar != std::string_view::npos;
         bar = actions.find('|')) {
        const std::string item(actions.substr(0, bar));
        actions.remove_prefix(bar + 1);
        if (item.empty()) continue;
        const std::size_t bang = item.find('!');
        const bool opened = bang == std::string::npos
                                ? desktop.openDocument(item)
                                : desktop.startProgram(help.BrowserPath, {item.substr(bang + 1)});
        if (!opened) failed.push_back(item);
    }
    help.TrainingMode = false;
    desktop.setPointerShape(PointerShape::Default);
    return failed;
}

std::string DescribeHelpFailure(const TrainingHelp& help, const std::string& item) {
    const std::size_t bang = item.find('!');
    if (bang == std::string::npos)
        return "The help page \"" + item +
               "\" could not be opened: the file is missing or no program of this desktop "
               "opens it.";
    const std::string page = item.substr(bang + 1);
    if (help.BrowserPath.empty())
        return "The help page \"" + page +
               "\" could not be opened: the configuration names no web browser.";
    return "The help page \"" + page + "\" could not be opened: the web browser \"" +
           help.BrowserPath + "\" named in the configuration could not be started.";
}

} // namespace tarvex
