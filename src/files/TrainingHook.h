#pragma once

#include "files/DataFile.h"
#include "files/DesktopService.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// ---------------------------------------------------------------------------
// Folder of the display-settings files
// ---------------------------------------------------------------------------

// TempFolder before the first save or recall of a settings file.
inline constexpr const char* kTempFolderUnset = "?";

// The folder for the settings files (".SP", ".SO"): base, created when
// missing, once the empty test file UserName + ".SV" could be written there.
// The result ends in a path separator; it is empty (the current folder) when
// the folder cannot be made or written. base is the user's application-data
// folder, which the system does not clean.
std::string CheckTempFolder(const std::filesystem::path& base, const std::string& UserName);

// TempFolder, checked first while it still holds kTempFolderUnset. When that
// check falls back to the current folder, notice (when given) gets the
// message that says so, naming both folders; it is left alone otherwise, so
// the message comes once.
const std::string& EnsureTempFolder(std::string& TempFolder, const std::filesystem::path& base,
                                    const std::string& UserName, std::string* notice = nullptr);

// ---------------------------------------------------------------------------
// Help mode
// ---------------------------------------------------------------------------

// Help mode and what it opens: the training table of the reference list and
// the browser of the configuration file.
struct TrainingHelp {
    bool TrainingMode = false;
    TrainingTable Training;
    std::string BrowserPath;
};

// picLogo click of either window: switches help mode and the pointer.
void ToggleTrainingMode(TrainingHelp& help, DesktopService& desktop);

// The help hook every control handler calls with its topic word before its
// own work. Only in help mode, and only for a word of the table (compared
// trimmed and upper-cased): opens every item of the topic, an item
// "label!target" by starting BrowserPath with target, any other with the
// desktop's default handler; then ends help mode and restores the pointer.
// A word not in the table leaves help mode on. Returns the items that could
// not be opened or started, for the caller to report.
std::vector<std::string> RunControlCommand(TrainingHelp& help, DesktopService& desktop,
                                           std::string_view word);

// The message for a help item RunControlCommand could not open: the page,
// and why (the configured browser could not be started, or nothing on this
// desktop opens the page).
std::string DescribeHelpFailure(const TrainingHelp& help, const std::string& item);

} // namespace tarvex
