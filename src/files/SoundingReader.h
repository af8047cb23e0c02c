#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

struct ProfileArrays;
struct Session;

// The column layouts of sounding files, chosen by the model's layout keyword:
// "eta" and "ruc" share one, "ngm" and "gfs3" have their own.
enum class SoundingLayout { EtaRuc, Ngm, Gfs3 };

std::optional<SoundingLayout> LayoutFromKeyword(std::string_view keyword);

// How a read ended. On failure, line is the line of the file where the reader
// stopped (0 when the file could not be opened) and reason says what was
// wrong.
struct SoundingReadResult {
    bool ok = false;
    bool LegacyMode = false; // the file's second line names RELH
    int line = 0;
    std::string reason;
};

// The message a forecaster sees for a failed read, naming the file.
std::string DescribeReadFailure(const std::string& path, const SoundingReadResult& result);

// Reads the text of a sounding file into model column ReadModel (1) of store,
// which should hold no other sounding: columns the file does not reach keep
// what they held. Every forecast time must have the same number of levels,
// the times must rise, and the values must be ones the atmosphere can hold.
// On failure store is left part-written: callers parse into a fresh store
// (see ReadSounding).
SoundingReadResult ParseSounding(std::string_view text, SoundingLayout layout,
                                 ProfileArrays& store);

// Loads one sounding file with the layout of the chosen model entry
// (ModelCodes(ModelChoice)). The file is read into an empty store (keeping
// the model selection and the diagram's top) that replaces the session's
// store only when the whole read succeeded; on failure the sounding loaded
// before stays as it was.
SoundingReadResult ReadSounding(Session& session, const std::string& path);

// A sounding file read and parsed into an empty store ahead of its read, on
// another thread while the window is built: ReadSounding takes it instead of
// reading the same file again.
struct ParsedSounding {
    std::string path;
    SoundingLayout layout = SoundingLayout::EtaRuc;
    SoundingReadResult result;
    // The parse (when result.ok), still without the session's model
    // selection and diagram top.
    std::unique_ptr<ProfileArrays> store;
    // The file as it was before its read: one written since is read again.
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
};

// The part of a read that needs no session: the checks before reading, the
// text and its parse into an empty store. Safe on any thread.
ParsedSounding ParseSoundingFile(const std::string& path, SoundingLayout layout);

// ReadSounding, taking early's parse when it is of the same file, read with
// the same layout, and the file has not changed since; else the file is read.
SoundingReadResult ReadSounding(Session& session, const std::string& path, ParsedSounding early);

} // namespace tarvex
