#pragma once

#include "files/FieldReader.h"
#include "files/ModelTable.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The configuration file: every value sits on a fixed line; the lines between
// are labels for the person editing the file and are read unseen. After line
// 35 come the model lines up to a line holding "=", then the site lines.
struct Configuration {
    // Line 1 starts with a lower-case "c": display button 9 is enabled.
    bool ExtraDisplayEnabled = false;
    // Lines 2 and 4, each ending in a path separator.
    std::string CurrentFolder;
    std::string ArchiveFolder;
    std::string ArchiveDialogFolder; // starts as ArchiveFolder
    // Line 6: hours added to the computer clock to get UTC.
    std::int16_t TimeZoneOffset = 0;
    // Line 8 starts with "L" or "l": the computer clock runs on local time.
    bool ClockIsLocal = false;
    // Line 10: the browser started for training pages.
    std::string BrowserPath;
    // Line 12: the lake-index pressure level (mb) and the value subtracted
    // from the 850 mb temperature by the lake-effect computation.
    std::int16_t LakeIndexLevel = 0;
    float LakeIndexOffset = 0.0f;
    // Line 14: the two pressure levels (mb) of the lake-effect panel.
    std::int16_t CI850Value = 0;
    std::int16_t CI700Value = 0;
    // Line 16: the overview's lower level of a difference against 500 mb.
    std::int16_t TotalTotalsLevel = 0;
    // Line 19: pressure (mb) of the level vsbSigmaLevel is set to after
    // each read (a level index when below 100).
    std::int16_t SigmaLevelPressure = 0;
    // Line 21: kept as read; nothing uses it.
    std::int16_t Line21Value = 0;
    // Lines 24 and 26: the two lake-shore lines, element 0 for line 24.
    // ShoreDirection carries the 0.001 added after reading, which keeps the
    // sine of a fetch angle from being exactly zero.
    std::array<float, 2> ShoreDirection{};
    std::array<float, 2> MaxFetch{};
    std::array<float, 2> ShoreDistance{};
    // Set whenever a configuration is read; not taken from the file.
    bool OmegaFiltered = false;
    // Line 28, the whole line: top pressure (mb) of the lapse-rate table.
    std::string LapseTopPressure;
    // Line 30: least height change (ft) that gets a new isotherm marker.
    float IsothermLabelStep = 0.0f;
    // Line 32: the folder of the training media, as written (empty: the
    // program's folder).
    std::string MediaDrive;
    // Line 34: temperatures (deg C) of the highlighted isotherms, at most
    // five; HighlightIsotherms[k - 1] is isotherm k.
    std::vector<float> HighlightIsotherms;
    // Model lines: caption (the word naming the model in file names) and
    // lower-case code, at most 16. The caller copies them into the session
    // and captions and shows optModel(i) for each entry.
    ModelTable models;
    // Site lines, upper-cased as read, at most 16; ConfiguredSites[k - 1] is
    // site k.
    std::vector<std::string> ConfiguredSites;

    int HighlightIsothermCount() const { return static_cast<int>(HighlightIsotherms.size()); }
    int ConfiguredSiteCount() const { return static_cast<int>(ConfiguredSites.size()); }
};

inline constexpr int kMaxModels = 16;
inline constexpr int kMaxConfiguredSites = 16;
inline constexpr int kMaxHighlightIsotherms = 5;
// Replaces a browser path shorter than 10 characters.
inline constexpr const char* kDefaultBrowserPath =
    "c:\\program files\\internet explorer\\iexplore.exe";

// Appends the native path separator unless the path is empty or already ends
// in a separator (or, where drives exist, in a drive's colon).
void AddPathSeparator(std::string& path);

// Parses the text of a configuration file into config, which should be
// fresh. On failure, line and reason say what is wrong; config is then
// part-written.
TextFileResult ParseConfig(std::string_view text, Configuration& config);

// Reads the configuration from folder (the program's folder): the user's own
// file, the name as the user typed it (TypedName) and then UserName, each
// followed by ".cfg", unless UserName is exactly "tarvex"; otherwise, or when
// neither file is there, "Tarvex.cfg". result.path names the file read. config is replaced
// only when the whole file was read. Without a file, missing is set and
// reason holds the message that ends the program; a malformed file gives
// the line and what was wrong. Either way the caller shows
// DescribeConfigFailure and ends the program.
TextFileResult ReadConfig(const std::filesystem::path& folder, const std::string& UserName,
                          Configuration& config, const std::string& TypedName = {});

// The message saying that a user's own configuration file was not found and
// the shared one (result.path) was read instead; empty when the user's own
// file was read or no user was named.
std::string DescribeSharedConfigFallback(const std::string& UserName, const std::string& TypedName,
                                         const TextFileResult& result);

std::string DescribeConfigFailure(const TextFileResult& result);

} // namespace tarvex
