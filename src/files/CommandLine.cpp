#include "files/CommandLine.h"

#include "files/FieldReader.h"
#include "files/SoundingFiles.h"

#include <algorithm>

namespace tarvex {

namespace {

// Model options searched for a command-line file's model.
constexpr int kSearchedModelOptions = 8;
constexpr std::size_t kShortestFilePath = 6;

std::string WithoutQuotes(std::string_view text) {
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), '"'), out.end());
    return out;
}

// The user switch: "/U=" in any case, then the name; a leading blank (the
// switch quoted with its name) is allowed as for a whole command line.
bool IsUserSwitch(std::string_view argument) {
    const std::string head = UpperCase(TrimBlanks(WithoutQuotes(argument)).substr(0, 3));
    return head == "/U=";
}

// The name of the first user switch as typed; empty without one.
std::string TypedUserName(const std::vector<std::string>& arguments) {
    const auto found = std::find_if(arguments.begin(), arguments.end(), IsUserSwitch);
    if (found == arguments.end()) return {};
    const std::string text(TrimBlanks(WithoutQuotes(*found)));
    const std::string_view rest = std::string_view(text).substr(3);
    return std::string(TrimBlanks(rest.substr(0, rest.find(' '))));
}

} // namespace

std::string GetUserName(const std::vector<std::string>& arguments) {
    const std::string name = TypedUserName(arguments);
    return name.empty() ? "tarvex" : UpperCase(name);
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.TypedUserName = TypedUserName(arguments);
    line.UserName = GetUserName(arguments);
    if (!IsPlainUserName(line.UserName)) {
        line.RefusedUserName = line.UserName;
        line.UserName = "tarvex";
        line.TypedUserName.clear();
    }
    const auto file = std::find_if_not(arguments.begin(), arguments.end(), IsUserSwitch);
    if (file != arguments.end()) line.FilePath = TrimBlanks(WithoutQuotes(*file));
    return line;
}

bool IsPlainUserName(std::string_view name) {
    return !name.empty() && name.size() <= kLongestUserName &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

std::string DescribeRefusedUserName(const std::string& name) {
    return "The user name \"" + EchoText(name) + "\" after /U= is not a plain name (at most " +
           std::to_string(kLongestUserName) +
           " letters, digits, \"-\" and \"_\"), so the settings of the user tarvex are used.";
}

std::string ResolveStartPath(const std::string& path, const std::filesystem::path& startFolder) {
    if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
    return (startFolder / path).string();
}

std::optional<std::string> ModelWordOfFileName(std::string_view fileName) {
    const std::string name = UpperCase(fileName);
    const std::size_t underscore = name.rfind('_');
    if (underscore == std::string::npos) return std::nullopt;
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot > underscore) return name.substr(0, underscore);
    return UpperCase(ApplyEtaRule(name.substr(dot + 1, underscore - dot - 1), name));
}

std::optional<CommandProfileRequest> CommandProfile(const CommandLine& commandLine,
                                                    const std::vector<std::string>& ModelCaptions) {
    const std::string& path = commandLine.FilePath;
    if (path.size() < kShortestFilePath) return std::nullopt;
    const std::size_t separator = path.find_last_of("/\\");
    const std::string_view fileName = separator == std::string::npos
                                          ? std::string_view(path)
                                          : std::string_view(path).substr(separator + 1);
    const std::optional<std::string> model = ModelWordOfFileName(fileName);
    if (!model) return std::nullopt;
    const int searched = std::min(static_cast<int>(ModelCaptions.size()), kSearchedModelOptions);
    for (int option = 0; option < searched; ++option) {
        if (UpperCase(ModelCaptions[static_cast<std::size_t>(option)]) != *model) continue;
        return CommandProfileRequest{option, path, UpperCase(fileName) + " TARVEX"};
    }
    return std::nullopt;
}

} // namespace tarvex
