#include "files/SoundingFiles.h"

#include "files/CommandLine.h"
#include "files/Session.h"
#include "files/SoundingReader.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <system_error>

namespace tarvex {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBufExtension = ".buf";
constexpr std::size_t kStampLength = 8;
// Position of the model word in an archived name: after the stamp and ".".
constexpr std::size_t kModelStart = kStampLength + 1;
// Model options searched when a file's model is matched to an option.
constexpr int kSearchedModelOptions = 8;

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char x, char y) { return Lower(x) == Lower(y); }) != text.end();
}

// Part of text from start for at most count characters; positions beyond the
// text give less or nothing, never a fault.
std::string_view Mid(std::string_view text, std::size_t start,
                     std::size_t count = std::string_view::npos) {
    if (start >= text.size()) return {};
    return text.substr(start, count);
}

// Text from start up to (not including) end; nothing when end lies before
// start.
std::string_view Between(std::string_view text, std::size_t start, std::size_t end) {
    if (end == std::string_view::npos || end < start) return {};
    return Mid(text, start, end - start);
}

std::string_view WithoutLast(std::string_view text, std::size_t count) {
    return text.substr(0, text.size() > count ? text.size() - count : 0);
}

std::string_view SiteWithoutMark(std::string_view site) {
    if (!site.empty() && site.back() == kSecondFamilyMark) site.remove_suffix(1);
    return site;
}

std::string FileNameOf(std::string_view path) {
    return fs::path(path).filename().string();
}

// Calls found for every regular file of folder whose name passes keep.
void ForEachFile(const fs::path& folder, const std::function<bool(const std::string&)>& keep,
                 const std::function<void(FolderEntry)>& found) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        std::string name = it->path().filename().string();
        if (!keep(name)) continue;
        const fs::file_time_type modified = it->last_write_time(fileEc);
        if (fileEc) continue; // gone while listing
        fs::path path = folder / name;
        found({std::move(name), std::move(path), modified});
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Folder listing
// ---------------------------------------------------------------------------

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::string_view::npos; // last "*" met
    std::size_t resumeAt = 0;                    // name position it stands for
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n;
            ++p;
        } else if (starAt != std::string_view::npos) {
            // Let the last "*" take one character more and try again.
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> ListFolder(const fs::path& folder, std::string_view pattern) {
    std::vector<FolderEntry> files;
    ForEachFile(
        folder, [&](const std::string& name) { return MatchesPattern(name, pattern); },
        [&](FolderEntry entry) { files.push_back(std::move(entry)); });
    std::sort(files.begin(), files.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string la = Upper(a.Name);
        const std::string lb = Upper(b.Name);
        return la != lb ? la < lb : a.Name < b.Name;
    });
    return files;
}

fs::path FindInFolder(const fs::path& folder, std::string_view name) {
    std::optional<fs::path> found;
    ForEachFile(
        folder, [&](const std::string& candidate) { return EqualsIgnoreCase(candidate, name); },
        [&](FolderEntry entry) {
            if (!found || entry.Name == name) found = std::move(entry.Path);
        });
    return found ? *found : folder / std::string(name);
}

// ---------------------------------------------------------------------------
// Per-model parameters
// ---------------------------------------------------------------------------

std::optional<ModelParameters> ParametersForModelCode(std::string_view code) {
    ModelParameters p;
    if (code == "eta") return p;
    if (code == "ngm") {
        p.InversionWarmThreshold = 1.0f;
        p.InversionCoolThreshold = -2.0f;
        p.ModelLevelStep = 1;
        return p;
    }
    if (code == "ruc") {
        p.ModelLevelStep = 2;
        p.OverviewSpans = {12, 24, 48, 60};
        p.OverviewSpanChoice = 1;
        return p;
    }
    if (code == "gfs3") {
        p.HoursPerColumn = 3;
        p.TimeLabelEvery = 4;
        p.OverviewSpans = {72, 120, 168, 180};
        return p;
    }
    return std::nullopt;
}

std::int16_t TimeLabelEveryFor(int HoursPerColumn) {
    const int hours = std::max(HoursPerColumn, 1);
    return static_cast<std::int16_t>(std::max((hours >= 3 ? 12 : 6) / hours, 1));
}

void FollowTimeStep(Session& session) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    if (s.LastTime(m) >= 1) {
        session.HoursPerColumn = static_cast<int>(s.ValidTime(m, 1).HoursAfter(s.ValidTime(m, 0)));
        session.TimeLabelEvery = TimeLabelEveryFor(session.HoursPerColumn);
    } else {
        session.HoursPerColumn = session.parameters.HoursPerColumn;
        session.TimeLabelEvery = session.parameters.TimeLabelEvery;
    }
}

void ChooseModel(Session& session, SoundingSelection& selection, ModelParameters& parameters,
                 const std::string& CurrentFolder, int Index) {
    session.profile->FileTail.clear();
    session.profile->ModelChoice = static_cast<std::int16_t>(Index);
    const ModelTable& models = session.models;
    const auto in = [Index](const std::vector<std::string>& v) {
        return Index >= 0 && Index < static_cast<int>(v.size());
    };
    selection.CurrentModelName = in(models.ModelCaptions) ? models.ModelCaptions[Index] : "";
    if (!in(models.ModelCodes)) return;
    if (const auto known = ParametersForModelCode(models.ModelCodes[Index])) {
        parameters = *known;
        selection.ListFolder = CurrentFolder;
    }
}

// ---------------------------------------------------------------------------
// Current files and the site buttons
// ---------------------------------------------------------------------------

std::string SecondFamilyHead(std::string_view caption) {
    return std::string(caption) + (caption == "etam" ? "fenmora." : "vex.");
}

std::vector<std::string> SoundingSites(const fs::path& folder, std::string_view caption) {
    struct Site {
        std::string name;
        fs::file_time_type modified;
        bool taken = false; // a second-family site paired with a ".buf" file
    };
    std::vector<Site> bufSites;
    for (const FolderEntry& f : ListFolder(folder, std::string(caption) + "_*.buf")) {
        const std::size_t bar = f.Name.rfind('_');
        const std::size_t ext = Upper(f.Name).rfind(Upper(kBufExtension));
        bufSites.push_back({std::string(Between(f.Name, bar + 1, ext)), f.Modified});
    }
    const std::string head = SecondFamilyHead(caption);
    std::vector<Site> secondSites;
    for (const FolderEntry& f : ListFolder(folder, head + "*")) {
        // The site is the name's last three letters; a shorter tail holds none.
        if (f.Name.size() < head.size() + 3) continue;
        secondSites.push_back({f.Name.substr(f.Name.size() - 3), f.Modified});
    }

    std::vector<std::string> sites;
    for (const Site& b : bufSites) {
        std::string site = b.name;
        const auto twin = std::find_if(secondSites.begin(), secondSites.end(), [&](const Site& s) {
            return !s.taken && EqualsIgnoreCase(s.name, b.name);
        });
        if (twin != secondSites.end()) {
            twin->taken = true;
            if (b.modified <= twin->modified) site += kSecondFamilyMark;
        }
        sites.push_back(std::move(site));
    }
    for (const Site& s : secondSites) {
        if (!s.taken) sites.push_back(s.name + kSecondFamilyMark);
    }
    return sites;
}

bool SiteList::ButtonEnabled(int index) const {
    if (index == kListSiteButton) return !ListSites.empty();
    return index >= 0 && index < kListSiteButton && Buttons[static_cast<std::size_t>(index)];
}

int SiteList::ButtonToPress(int SelectedSiteButton) const {
    if (SelectedSiteButton != -1 && ButtonEnabled(SelectedSiteButton)) return SelectedSiteButton;
    for (int i = 0; i < kSiteButtonCount; ++i) {
        if (ButtonEnabled(i)) return i;
    }
    return -1;
}

SiteList AssignSiteButtons(const std::vector<std::string>& sites,
                           const std::vector<std::string>& ConfiguredSites) {
    SiteList list;
    std::vector<bool> used(sites.size(), false);
    const std::size_t configured =
        std::min(ConfiguredSites.size(), static_cast<std::size_t>(kListSiteButton));
    for (std::size_t k = 0; k < configured; ++k) {
        if (ConfiguredSites[k].empty()) continue;
        for (std::size_t j = 0; j < sites.size(); ++j) {
            if (ContainsIgnoreCase(sites[j], ConfiguredSites[k])) {
                list.Buttons[k] = Upper(sites[j]);
                used[j] = true;
                break;
            }
        }
    }
    for (std::size_t j = 0; j < sites.size(); ++j) {
        if (!used[j]) list.ListSites.push_back(Upper(sites[j]));
    }
    return list;
}

SiteList SitesForModel(const SoundingSelection& selection,
                       const std::vector<std::string>& ConfiguredSites) {
    return AssignSiteButtons(SoundingSites(selection.ListFolder, selection.CurrentModelName),
                             ConfiguredSites);
}

fs::path CurrentFileFor(const fs::path& ListFolder, std::string_view caption,
                        std::string_view site) {
    const std::string name =
        site.find(kSecondFamilyMark) == std::string_view::npos
            ? std::string(caption) + "_" + std::string(site) + std::string(kBufExtension)
            : SecondFamilyHead(caption) + std::string(WithoutLast(site, 1));
    return FindInFolder(ListFolder, name);
}

SiteChoice ChooseSite(SoundingSelection& selection, std::string_view site, int Index) {
    selection.CurrentSite = site;
    selection.SelectedSiteButton = Index;
    return {CurrentFileFor(selection.ListFolder, selection.CurrentModelName, site),
            selection.CurrentSite + " - " + selection.CurrentModelName + " - TARVEX"};
}

ParsedSounding ParseFirstSounding(const std::filesystem::path& folder, const std::string& UserName,
                                  const std::string& TypedName) {
    Configuration config;
    if (!ReadConfig(folder, UserName, config, TypedName).ok) return {};
    const ModelTable& models = config.models;
    if (models.ModelCaptions.empty() || models.ModelCodes.empty()) return {};
    const std::optional<SoundingLayout> layout = LayoutFromKeyword(models.ModelCodes.front());
    if (!layout || !ParametersForModelCode(models.ModelCodes.front())) return {};
    // The first model's sites, and the button the window presses first.
    SoundingSelection selection;
    selection.CurrentModelName = models.ModelCaptions.front();
    selection.ListFolder = config.CurrentFolder;
    const SiteList sites = SitesForModel(selection, config.ConfiguredSites);
    const int press = sites.ButtonToPress(-1);
    if (press < 0) return {};
    const std::string site = press == kListSiteButton
                                 ? sites.ListSites.front()
                                 : *sites.Buttons[static_cast<std::size_t>(press)];
    return ParseSoundingFile(ChooseSite(selection, site, press).Path.string(), *layout);
}

// ---------------------------------------------------------------------------
// Archived runs
// ---------------------------------------------------------------------------

std::string ApplyEtaRule(std::string_view model, std::string_view fileName) {
    const std::string_view hour = Mid(fileName, 6, 2);
    if (Upper(model) == "ETA" && (hour == "06" || hour == "18")) return "EtaM";
    return std::string(model);
}

std::string ArchiveModelFor(std::string_view CurrentModelName) {
    return Upper(CurrentModelName) == "ETAM" ? "eta" : std::string(CurrentModelName);
}

namespace {

// Site of an archived name: after the first "_", less ".buf".
std::string_view ArchivedSite(std::string_view name) {
    const std::size_t bar = name.find('_');
    if (bar == std::string_view::npos) return {};
    return WithoutLast(name.substr(bar + 1), kBufExtension.size());
}

// The fill pattern shared by the three lists: the entries of the matching
// files, copied from the last to the first.
ArchiveList Seed(const fs::path& folder, const std::string& pattern, std::string label,
                 const std::function<std::string(std::string_view)>& entryOf) {
    ArchiveList list{std::move(label), {}};
    const std::vector<FolderEntry> files = ListFolder(folder, pattern);
    for (auto f = files.rbegin(); f != files.rend(); ++f) list.Entries.push_back(entryOf(f->Name));
    return list;
}

std::string Stamp(std::string_view name) {
    return std::string(Mid(name, 0, kStampLength));
}

} // namespace

ArchiveList SeedModelSite(const fs::path& ArchiveFolder, std::string_view ArchiveModel,
                          std::string_view CurrentSite) {
    const std::string model(ArchiveModel);
    const std::string site(SiteWithoutMark(CurrentSite));
    return Seed(ArchiveFolder, "*." + model + "_*" + site + std::string(kBufExtension),
                model + " for " + site, Stamp);
}

ArchiveList SeedModel(const fs::path& ArchiveFolder, std::string_view ArchiveModel) {
    const std::string model(ArchiveModel);
    return Seed(
        ArchiveFolder, "*." + model + "_*" + std::string(kBufExtension), "All " + model,
        [](std::string_view name) { return Stamp(name) + " " + std::string(ArchivedSite(name)); });
}

ArchiveList SeedAll(const fs::path& ArchiveFolder) {
    return Seed(ArchiveFolder, "*.*_*" + std::string(kBufExtension), "", [](std::string_view name) {
        const std::string_view model = Between(name, kModelStart, name.find('_'));
        return Stamp(name) + " " + std::string(model) + " " + std::string(ArchivedSite(name));
    });
}

void PickArchivedRun(SoundingSelection& selection, ArchiveListKind list, std::string_view entry) {
    std::string model = selection.ArchiveModel;
    std::string site;
    switch (list) {
    case ArchiveListKind::ModelSite:
        site = SiteWithoutMark(selection.CurrentSite);
        break;
    case ArchiveListKind::Model:
        site = Mid(entry, kModelStart);
        break;
    case ArchiveListKind::All: {
        const std::size_t blank = entry.rfind(' ');
        model = Between(entry, kModelStart, blank);
        site = blank == std::string_view::npos ? std::string_view() : entry.substr(blank + 1);
        break;
    }
    }
    // A lstModelSite entry is the stamp alone; the others start with it.
    const std::string first =
        list == ArchiveListKind::ModelSite ? std::string(entry) : Stamp(entry);
    selection.SelectedFileName = first + "." + model + "_" + site + std::string(kBufExtension);
    selection.SelectedFileModel = ApplyEtaRule(model, selection.SelectedFileName);
}

std::optional<std::string> ModelOfFileName(std::string_view path) {
    const std::string name = FileNameOf(path);
    const std::size_t bar = name.rfind('_');
    if (bar == std::string::npos || bar == 0) return std::nullopt;
    const std::size_t dot = name.rfind('.', bar - 1);
    if (dot == std::string::npos) return std::nullopt;
    return Upper(Between(name, dot + 1, bar));
}

std::optional<std::string> SiteOfFileName(std::string_view path) {
    const std::string name = FileNameOf(path);
    const std::size_t bar = name.rfind('_');
    const std::size_t dot = name.rfind('.');
    if (bar == std::string::npos || dot == std::string::npos || dot < bar) return std::nullopt;
    return std::string(Between(name, bar + 1, dot));
}

std::string PickDialogFile(SoundingSelection& selection, const fs::path& chosen) {
    selection.SelectedFileName = chosen.string();
    // The command line's rule: an archived run's stamp.model_site name, or a
    // current file's model_site name.
    selection.SelectedFileModel = ModelWordOfFileName(FileNameOf(selection.SelectedFileName))
                                      .value_or(selection.CurrentModelName);
    return (chosen.parent_path() / "").string();
}

FileLoad PlanSelectFile(const SoundingSelection& selection, const ModelTable& models,
                        const fs::path& ArchiveFolder, bool FullPath) {
    FileLoad load;
    if (!EqualsIgnoreCase(selection.SelectedFileModel, selection.CurrentModelName)) {
        const int options =
            std::min(kSearchedModelOptions, static_cast<int>(models.ModelCaptions.size()));
        for (int i = 0; i < options; ++i) {
            if (EqualsIgnoreCase(models.ModelCaptions[i], selection.SelectedFileModel)) {
                load.ModelOption = i;
                break;
            }
        }
    }
    const std::string& name = selection.SelectedFileName;
    if (FullPath) {
        load.Path = name;
        load.WindowCaption = name + " TARVEX";
    } else {
        load.Path = FindInFolder(ArchiveFolder, name);
        load.WindowCaption = Upper(WithoutLast(name, kBufExtension.size())) + " TARVEX";
    }
    load.Site = SiteOfFileName(name);
    return load;
}

} // namespace tarvex
