#pragma once

#include "files/FieldReader.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvex {

// Thresholds of the index list: 20 rows (one per lstIndices entry, in its
// order) by 7 columns.
inline constexpr int kIndexThresholdRows = 20;
inline constexpr int kIndexThresholdColumns = 7;
using IndexThresholdTable =
    std::array<std::array<float, kIndexThresholdColumns>, kIndexThresholdRows>;

IndexThresholdTable DefaultIndexThresholds();

// Range of the lake-temperature scroll bar vsbLakeF (deg F).
inline constexpr std::int16_t kLakeTempFLowest = 32;
inline constexpr std::int16_t kLakeTempFHighest = 80;

// The main window's user settings kept between runs in the history file, one
// field per value in file order. Each field starts at the value used when the
// file is missing: the built-in defaults, and the window's design state for
// check boxes (all unchecked but chkSkewT). Check values are check-box states
// 0, 1 or 2 (grey). Fields named after a control are applied by setting that
// control, which runs its click handler; the window does that, not this
// code.
struct HistorySettings {
    // Line 1 (deg F), kept within the range of vsbLakeF; start-up puts it
    // into the bar.
    std::int16_t LakeTempF = 34;
    // Lines 2 and 3: temperature-axis ends without and with skew (deg C).
    std::int16_t ProfileLeftTemp = -60;
    std::int16_t ProfileRightTemp = 10;
    std::int16_t SkewTLeftTemp = -60;
    std::int16_t SkewTRightTemp = 10;
    // Line 4: the overview's optOverlay choice, 0..4.
    std::int16_t SelectedPanel = 0;
    // Line 5: the overview's right-hand trace scale, base and range.
    std::array<std::int16_t, 2> TraceRange{30, 70};
    // Lines 6 to 25, row r on line 6 + r.
    IndexThresholdTable IndexThresholds = DefaultIndexThresholds();
    // Line 26: display mode (0..9, or 99 for the archive lists) and control
    // panel (0..6, or -1) in use when the file was written; start-up
    // re-applies them.
    std::int16_t StartDisplay = 4;
    std::int16_t StartPanel = 1;
    // Line 27.
    std::int16_t chkLCL = 0;
    std::int16_t chkECAPE = 0;
    std::int16_t chkLFC = 0;
    std::int16_t chkCCL = 0;
    std::int16_t chkEQL = 0;
    std::int16_t chkConvectiveTemp = 0;
    std::int16_t chkParcel = 0;
    std::int16_t chkWBZ = 0;
    // Line 28.
    std::int16_t chkCINS = 0;
    // Line 29.
    std::int16_t chkLakeIndex = 0;
    std::int16_t chkMoistLakeIndex = 0;
    std::int16_t chkLIC = 0;
    // Line 30: the cursor-readout value.
    std::int16_t ReadoutValue = 295;
    // Lines 31 and 32.
    std::int16_t chkLines = 0;
    std::int16_t chkDryAdiabats = 0;
    // Line 33: chkRH and the selected btnPHK element (0..2), which gets the
    // selection marker without running its click handler.
    std::int16_t chkRH = 0;
    std::int16_t VerticalUnit = 1;
    // Line 34: the selected btnXfer element (0..3), marked likewise.
    std::int16_t MomentumXferIndex = 1;
    // Line 35.
    std::int16_t chk10MWind = 0;
    std::int16_t chkSnowGrowth = 0;
    std::int16_t chksWSYMb = 0;
    std::int16_t chkMomentum = 0;
    // Line 36: tops of the overview's side scales (CAPE and precipitable
    // water, visibility, ventilation).
    std::array<float, 3> OverviewThresholds{2000.0f, 10.0f, 20.0f};
    // Line 37: chkActiveReadout and the readout mode (0..2).
    std::int16_t chkActiveReadout = 0;
    std::int16_t ReadoutUnit = 0;
    // Line 38.
    std::int16_t chkSkewT = 1;
    std::int16_t chkWindVector = 0;
    // Line 39: the precipitation-type panel uses the thickness method
    // (btnTails enabled, btnPrecipType captioned "Energy").
    bool UseThicknessMethod = false;
    // Lines 40 and 41: hodograph layer (km above ground).
    float HodoTopKm = 3.0f;
    float HodoBaseKm = 0.0f;
    // Line 42: wind-column intervals (1..3) and whether the "A" one is in
    // force (that button then carries the selection marker).
    std::int16_t VWPInterval = 1;
    std::int16_t VWPIntervalA = 1;
    bool UseVWPIntervalA = false;
    // Line 43.
    std::int16_t chkWindDigital = 0;
    // Lines 44 and 45: wind-column states, -1 true and 0 false.
    std::int16_t ColorWinds = 0;
    std::int16_t DigitalWindStyle = -1;
    // Lines 46 and 47: animation scroll bars (ms); set on the bars.
    std::int16_t hsbRate = 1;
    std::int16_t hsbDelay = 2500;
    // Line 48: the map panel's extent: left, top, right, bottom.
    std::array<float, 4> MapView{120.0f, 53.0f, 69.0f, 22.0f};

    bool operator==(const HistorySettings&) const = default;
};

// The history file of a user: UserName followed by ".hst", in folder.
std::filesystem::path HistoryFilePath(const std::filesystem::path& folder,
                                      const std::string& UserName);

// Reads the values of a history file into settings in file order, as list
// input (however they are spread over the lines). A value that is missing,
// not a number or outside what its control accepts stops the reading there:
// every value read before it is kept, the rest keep what settings held (the
// defaults, for a fresh struct). When the file still has its 48 lines, each
// line is read on its own instead: a damaged line keeps its values as they
// were and the lines after it are read. The result names the first line not
// read (and any others in its reason).
TextFileResult ParseHistory(std::string_view text, HistorySettings& settings);

// Reads the history file at path into settings, which should be fresh. A
// missing file leaves the defaults and sets missing. A regular file that
// cannot be read whole, whatever its size, is renamed to the first free name
// of DamagedHistoryPath, so that nothing replaces it; one that cannot be
// opened at all stays where it is. keptDamaged, when given, is the file's new
// path, or empty when it was not moved.
TextFileResult ReadSettings(const std::filesystem::path& path, HistorySettings& settings,
                            std::filesystem::path* keptDamaged = nullptr);

// Where a damaged history file is kept: its path followed by ".bad", or when
// that name is taken, by "." and number (2 onwards) and ".bad".
std::filesystem::path DamagedHistoryPath(const std::filesystem::path& path, int number = 1);

// Whether Done may replace the history file at path after the start read it
// with result read and kept keptDamaged: not a regular file that could not
// be read and was not moved aside, which is left as it is.
bool DoneMayReplace(const std::filesystem::path& path, const TextFileResult& read,
                    const std::filesystem::path& keptDamaged);

// The start-up message for a history file that was not read whole: the file,
// the line and why, what the values not read became and where the damaged
// file is kept, or that Done leaves it in place.
std::string DescribeHistoryFailure(const TextFileResult& result,
                                   const std::filesystem::path& keptDamaged);

// Done's message when it left a damaged history file in place.
std::string DescribeHistoryLeftInPlace(const std::filesystem::path& path);

// The text of a history file: lines 1 to 48 and an empty line 49. Numbers
// use "." whatever the locale.
std::string FormatHistory(const HistorySettings& settings);

// Writes the settings to path, whole or not at all. A failure is returned
// (ok false, reason) and the file there before is left as it was.
TextFileResult WriteSettings(const std::filesystem::path& path, const HistorySettings& settings);

// Writes text to path whole or not at all: the text goes to a temporary file
// created in the same folder under a fresh name (path, ".tarvex-", six random
// letters and ".tmp"), flushed to the disk, which then replaces path. Nothing
// is written through a link: a link at path is replaced, not followed.
// The new file keeps the permissions of the file it replaces, with read and
// write for its owner always, and the folder is flushed after the rename, so
// that the new name survives a power cut. Temporaries of path left behind by
// a save that was cut short (older than a minute, held by no save) are
// removed first (ReadSettings removes them too); the temporary of a save
// still writing is locked and left alone. A write over a file-size limit
// fails and is reported like a full disk (see IgnoreFileSizeSignal).
TextFileResult WriteTextFileWhole(const std::filesystem::path& path, std::string_view text);

// The two steps of WriteTextFileWhole: the file written, flushed and in
// place of the one before, which is all a reader sees; then its folder
// flushed, so that the new name survives a power cut (a folder that cannot
// be flushed is no failure). A writer that must not wait for the second
// step leaves it to another thread.
TextFileResult ReplaceTextFileWhole(const std::filesystem::path& path, std::string_view text);
void FlushFolderOf(const std::filesystem::path& path);

// Makes a write over the process's file-size limit fail with an error rather
// than end the program: the signal it raises is ignored, unless the program
// handles it already.
void IgnoreFileSizeSignal();

} // namespace tarvex
