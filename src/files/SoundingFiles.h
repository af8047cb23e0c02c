#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

struct ModelTable;
struct ParsedSounding;
struct Session;

// ---------------------------------------------------------------------------
// Folder listing
// ---------------------------------------------------------------------------

// One file found by a folder listing: its name as on disk, the path to open
// it by, and when it was last written.
struct FolderEntry {
    std::string Name;
    std::filesystem::path Path;
    std::filesystem::file_time_type Modified;
};

// Wild-card match of a file name, ignoring letter case: "*" stands for any
// run of characters (also none), "?" for any one character.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The regular files of folder whose names match pattern, sorted by name
// (ignoring case). An empty folder means the current folder; a folder that
// cannot be listed gives no files.
std::vector<FolderEntry> ListFolder(const std::filesystem::path& folder, std::string_view pattern);

// The path of the file in folder named name, ignoring letter case (an exact
// match first). When there is none, folder / name, so that the reader can
// report the missing file by the name the program looked for.
std::filesystem::path FindInFolder(const std::filesystem::path& folder, std::string_view name);

// ---------------------------------------------------------------------------
// Per-model parameters
// ---------------------------------------------------------------------------

// Values that depend on the kind of model, chosen by its code (ModelCodes).
// The defaults are those of the "eta" code, in force until a model with a
// known code is chosen.
struct ModelParameters {
    // Inversion tests of the sounding diagram (deg C): least warming with
    // height, cooling bound of a stable layer, least dew-point depression.
    float InversionWarmThreshold = 0.5f;
    float InversionCoolThreshold = -1.0f;
    float InversionDryThreshold = 5.0f;
    // Levels between displayed sigma winds.
    std::int16_t ModelLevelStep = 3;
    // Forecast hours per time column.
    std::int16_t HoursPerColumn = 1;
    // Time columns between emphasised time marks of the overview.
    std::int16_t TimeLabelEvery = 6;
    // Hours spanned by the overview's four hours buttons, and the button
    // pressed when the overview opens.
    std::array<std::int16_t, 4> OverviewSpans{24, 48, 60, 84};
    std::int16_t OverviewSpanChoice = 2;
};

// The parameters of "eta", "ngm", "ruc" and "gfs3"; nothing for any other code.
std::optional<ModelParameters> ParametersForModelCode(std::string_view code);

// ---------------------------------------------------------------------------
// Selection state
// ---------------------------------------------------------------------------

// What the file choice of the main window remembers between clicks.
struct SoundingSelection {
    std::string CurrentModelName; // caption of the pressed model option
    std::string CurrentSite;      // may end in the second-family mark
    int SelectedSiteButton = -1;  // -1: none yet
    // Folder of the current files: the configuration's CurrentFolder once a
    // model with a known code was chosen, empty (the current folder) before.
    std::string ListFolder;
    std::string ArchiveModel; // model word of the archive lists
    std::string SelectedFileName;
    std::string SelectedFileModel;
    // Set while SelectFile presses a model option itself: the overview is
    // then rebuilt once, after the chosen file was read.
    bool ModelSwitching = false;
};

// Time columns between emphasised time marks for a time step: a mark every
// 6 hours with hourly columns, every 12 hours with three-hourly ones (at
// least one column).
std::int16_t TimeLabelEveryFor(int HoursPerColumn);

// After a file is read: the session's HoursPerColumn is the step of the
// file's own valid times (the reader takes only evenly spaced times), or the
// model's where the file has a single time; TimeLabelEvery follows it.
void FollowTimeStep(Session& session);

// optModel_Click, steps 1 to 3: clears FileTail, sets ModelChoice and
// CurrentModelName, and for a known model code the parameters and
// ListFolder (= CurrentFolder). An unknown code keeps the previous
// parameters and folder. The hours per column follow the file read next.
void ChooseModel(Session& session, SoundingSelection& selection, ModelParameters& parameters,
                 const std::string& CurrentFolder, int Index);

// ---------------------------------------------------------------------------
// Current files and the site buttons
// ---------------------------------------------------------------------------

inline constexpr int kSiteButtonCount = 17; // optSite 0..16
inline constexpr int kListSiteButton = 16;  // stands for the site picked in lstSite
// Ends a site that is read from the second file family.
inline constexpr char kSecondFamilyMark = '\'';

// Start of the second family's file names: the caption and "vex.", or the
// caption and "fenmora." for the caption "etam" (exactly). The site's three
// letters follow it.
std::string SecondFamilyHead(std::string_view caption);

// The sites of a model in folder, in listing order: first those of the
// files caption_SITE.buf, then those found only in the second family. Where
// both families hold a site, the newer file wins; a site read from the
// second family (also on equal times) ends in kSecondFamilyMark.
std::vector<std::string> SoundingSites(const std::filesystem::path& folder,
                                       std::string_view caption);

// The site buttons and the drop-down list of FillSiteList.
struct SiteList {
    // Caption of optSite(i), i = 0..15, upper case; nothing: disabled.
    std::array<std::optional<std::string>, kListSiteButton> Buttons;
    // Entries of lstSite, upper case. When there are any, optSite(16) is
    // enabled, lstSite is shown and its first entry selected.
    std::vector<std::string> ListSites;

    bool ButtonEnabled(int index) const;
    // The button to press after filling: the one selected before when it is
    // enabled, else the first enabled one; -1 when none is.
    int ButtonToPress(int SelectedSiteButton) const;
};

// Puts the sites on the buttons: configured site k (1-based) goes to button
// k - 1, captioned with the first site that contains it (ignoring case);
// every site that no configured site took goes to the list.
SiteList AssignSiteButtons(const std::vector<std::string>& sites,
                           const std::vector<std::string>& ConfiguredSites);

// FillSiteList without the controls: the sites of the selected model in
// ListFolder, put on the buttons.
SiteList SitesForModel(const SoundingSelection& selection,
                       const std::vector<std::string>& ConfiguredSites);

// The current file of a site: caption_SITE.buf, or for a site ending in the
// second-family mark the head and the site without the mark; found in
// ListFolder ignoring letter case.
std::filesystem::path CurrentFileFor(const std::filesystem::path& ListFolder,
                                     std::string_view caption, std::string_view site);

struct SiteChoice {
    std::filesystem::path Path;
    std::string WindowCaption;
};

// optSite_Click, steps 2 to 5: site is the button's caption, or the chosen
// lstSite entry for button 16. Sets CurrentSite and SelectedSiteButton.
SiteChoice ChooseSite(SoundingSelection& selection, std::string_view site, int Index);

// The file the start reads first, as the main window chooses it (the first
// site of the first model of the configuration read from folder for the
// user), read and parsed by ParseSoundingFile; an empty parse when the
// configuration names no model with a known layout or its folder holds no
// site. Needs no session: the window starts it on another thread.
ParsedSounding ParseFirstSounding(const std::filesystem::path& folder, const std::string& UserName,
                                  const std::string& TypedName);

// ---------------------------------------------------------------------------
// Archived runs
// ---------------------------------------------------------------------------

// Applies the eta rule: an "ETA" run (any case) of 06 or 18 UTC, characters
// 7 and 8 of its name, belongs to "EtaM". Any other model word is returned
// as it is.
std::string ApplyEtaRule(std::string_view model, std::string_view fileName);

// Model word of the archive lists: "eta" for the model "EtaM" (any case),
// else the model's own caption.
std::string ArchiveModelFor(std::string_view CurrentModelName);

struct ArchiveList {
    std::string Label; // caption of the list's label; empty for lstAll
    std::vector<std::string> Entries;
};

// The three lists, entries in reverse listing order (newest stamp first).
// lstModelSite: runs of model at site, entry the date stamp.
ArchiveList SeedModelSite(const std::filesystem::path& ArchiveFolder, std::string_view ArchiveModel,
                          std::string_view CurrentSite);
// lstModel: runs of model at any site, entry "stamp site".
ArchiveList SeedModel(const std::filesystem::path& ArchiveFolder, std::string_view ArchiveModel);
// lstAll: every run, entry "stamp model site".
ArchiveList SeedAll(const std::filesystem::path& ArchiveFolder);

enum class ArchiveListKind { ModelSite, Model, All };

// Picking entry in one of the lists: sets SelectedFileName (a name in the
// archive folder) and SelectedFileModel (eta rule applied).
void PickArchivedRun(SoundingSelection& selection, ArchiveListKind list, std::string_view entry);

// btnArchive_Click, step 3, for the file chosen in the dialog: sets
// SelectedFileName to its full path and SelectedFileModel to the model word
// of its name by the command line's rule (ModelWordOfFileName), or to the
// current model when the name has none. Returns the
// dialog's next folder, ending in a separator.
std::string PickDialogFile(SoundingSelection& selection, const std::filesystem::path& chosen);

// Model and site words of a sounding file name (the folder is not looked at):
// the model is the text between the last "." before the last "_" and that
// "_" (stamp.model_site.buf), the site the text between the last "_" and
// the last "." after it.
std::optional<std::string> ModelOfFileName(std::string_view path);
std::optional<std::string> SiteOfFileName(std::string_view path);

// What SelectFile does, worked out before it touches the window.
struct FileLoad {
    // Model option (0..7) to press first, with ModelSwitching set around it.
    std::optional<int> ModelOption;
    std::filesystem::path Path;
    std::string WindowCaption;
    // CurrentSite once the file was read.
    std::optional<std::string> Site;
};

// SelectFile (FullPath): SelectedFileName is a full path when FullPath is
// true, else a name in ArchiveFolder.
FileLoad PlanSelectFile(const SoundingSelection& selection, const ModelTable& models,
                        const std::filesystem::path& ArchiveFolder, bool FullPath);

} // namespace tarvex
