#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// What the program's arguments ask for: a user (the switch "/U=NAME", any
// case of the letter) and a sounding file to open at start-up.
struct CommandLine {
    // Stem of the user's files (".cfg", ".hst", ".SP", ".SO"): "tarvex", or
    // the switch's name upper-cased.
    std::string UserName = "tarvex";
    // The switch's name as typed (empty without one), looked for first as
    // the user's configuration file.
    std::string TypedUserName;
    // The first argument that is not the user switch, with double quotes
    // deleted and blanks trimmed, its case kept; empty when there is none.
    std::string FilePath;
    // The name of a user switch refused by IsPlainUserName; UserName is then
    // the default.
    std::string RefusedUserName;
};

// Reads the arguments that follow the program's name.
// A user name that is not plain is refused (RefusedUserName).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The longest user name: the stem of the user's file names.
inline constexpr std::size_t kLongestUserName = 32;

// A user name the user's file names may be made of: letters, digits, "-" and
// "_" only, so that the files stay in the program's folder, and at most
// kLongestUserName of them.
bool IsPlainUserName(std::string_view name);

// The message for a refused user switch.
std::string DescribeRefusedUserName(const std::string& name);

// A relative file path taken against the folder the program was started in
// (the program later changes to its own folder); an absolute or empty path
// stays as it is.
std::string ResolveStartPath(const std::string& path, const std::filesystem::path& startFolder);

// The user named by the first "/U=" argument, upper-cased and trimmed up to
// the first blank after the "="; "tarvex" without one or with an empty name.
std::string GetUserName(const std::vector<std::string>& arguments);

// What opening the command line's sounding file takes: press model option
// ModelOption (its click handler selects the model and lists its sites),
// read Path with the sounding reader, then caption the window Caption.
struct CommandProfileRequest {
    int ModelOption = 0;
    std::string Path;
    std::string Caption;
};

// The model word of a sounding file's name, upper-cased: the text before the
// last "_" of a current file (MODEL_SITE.buf), or for an archived run
// (yyyymmhh.MODEL_SITE.buf) the text between the first "." and the last "_",
// where an ETA run of 06 or 18 UTC (characters 7 and 8) is "ETAM". Nothing
// when the name has no "_".
std::optional<std::string> ModelWordOfFileName(std::string_view fileName);

// Decides whether the command line's file opens at start-up: its path must
// hold 6 characters or more and its model word must match the caption of
// one of model options 0 to 7 (ignoring case); the first match is pressed.
// Nothing otherwise: no file is opened.
std::optional<CommandProfileRequest> CommandProfile(const CommandLine& commandLine,
                                                    const std::vector<std::string>& ModelCaptions);

} // namespace tarvex
