#include "files/ConfigFile.h"

#include <optional>
#include <type_traits>
#include <utility>

namespace tarvex {

namespace {

constexpr const char* kSharedFile = "Tarvex.cfg";
constexpr const char* kLinuxHint =
    "\r\nIf you are running under Linux, CD to the Tarvex Directory first.";

// One value line: exactly the values asked for, in order, and nothing else.
// Faults name the file's line and what the line should hold.
class ValueLine {
  public:
    ValueLine(FieldReader& in, std::string what)
        : text_(in.ReadLine()), line_(in.LastLine()), what_(std::move(what)), values_(text_) {}

    float Number() {
        return Read([this] { return values_.ReadListNumber(); });
    }
    std::int16_t Integer() {
        return Read([this] { return values_.ReadListInteger(); });
    }
    std::string_view String() {
        return Read([this] { return values_.ReadListString(); });
    }
    bool Blank() const { return values_.OnlyBlanksRemain(); }
    void End() {
        if (!values_.OnlyBlanksRemain()) Fail("there is more on the line than that");
    }

  private:
    template <typename Reader> std::invoke_result_t<Reader> Read(Reader read) {
        if (values_.OnlyBlanksRemain()) Fail("the line holds too few values");
        try {
            return read();
        } catch (const TextReadError& error) {
            Fail(error.what());
        }
    }
    [[noreturn]] void Fail(const std::string& why) const {
        throw TextReadError(line_, "the line should hold " + what_ + ", but " + why);
    }

    std::string_view text_;
    int line_;
    std::string what_;
    FieldReader values_;
};

// Line 34: the numbers before each comma, then the text after the last comma
// when it is not blank.
std::vector<float> ReadIsothermLine(std::string_view text, int line) {
    std::vector<float> values;
    auto add = [&](std::string_view item) {
        const std::optional<float> value = FieldReader::ParseNumber(TrimBlanks(item));
        if (!value)
            throw TextReadError(line, "the isotherm list holds \"" + EchoText(TrimBlanks(item)) +
                                          "\", which is not a number");
        if (static_cast<int>(values.size()) == kMaxHighlightIsotherms)
            throw TextReadError(line, "the isotherm list holds more than five temperatures");
        values.push_back(*value);
    };
    std::size_t pos = 0;
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', pos)) {
        add(text.substr(pos, comma - pos));
        pos = comma + 1;
    }
    if (!TrimBlanks(text.substr(pos)).empty()) add(text.substr(pos));
    return values;
}

// A value line of one whole number.
std::int16_t ReadIntegerLine(FieldReader& in, std::string what) {
    ValueLine values(in, std::move(what));
    const std::int16_t value = values.Integer();
    values.End();
    return value;
}

void ReadShoreLine(FieldReader& in, Configuration& c, std::size_t shore) {
    ValueLine values(in, "three numbers: shore direction, greatest fetch and distance");
    c.ShoreDirection[shore] = values.Number() + 0.001f;
    c.MaxFetch[shore] = values.Number();
    c.ShoreDistance[shore] = values.Number();
    values.End();
}

void ReadModelLines(FieldReader& in, ModelTable& models) {
    for (;;) {
        const std::string_view text = in.ReadLine();
        if (text.find('=') != std::string_view::npos) return;
        const std::size_t blank = text.find(' ');
        if (blank == std::string_view::npos || blank == 0)
            throw TextReadError(in.LastLine(),
                                "a model line should hold the model's name, a blank and its "
                                "code, and the model list should end with a line holding \"=\"");
        if (static_cast<int>(models.ModelCaptions.size()) == kMaxModels)
            throw TextReadError(in.LastLine(), "the model list holds more than 16 models");
        models.ModelCaptions.emplace_back(text.substr(0, blank));
        models.ModelCodes.push_back(LowerCase(TrimBlanks(text.substr(blank + 1))));
    }
}

void ReadSiteLines(FieldReader& in, std::vector<std::string>& sites) {
    while (!in.AtEnd() && static_cast<int>(sites.size()) < kMaxConfiguredSites) {
        const std::string_view text = in.ReadLine();
        if (!TrimBlanks(text).empty()) sites.push_back(UpperCase(text));
    }
}

} // namespace

void AddPathSeparator(std::string& path) {
    constexpr char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    constexpr bool hasDrives = separator == '\\';
    if (path.empty()) return;
    const char last = path.back();
    if (last == '/' || last == separator || (hasDrives && last == ':')) return;
    path += separator;
}

TextFileResult ParseConfig(std::string_view text, Configuration& c) {
    FieldReader in(text);
    return GuardedRead([&] {
        const std::string_view first = in.ReadLine();
        c.ExtraDisplayEnabled = !first.empty() && first.front() == 'c';
        c.CurrentFolder = in.ReadLine();
        AddPathSeparator(c.CurrentFolder);
        in.SkipLines(1);
        c.ArchiveFolder = in.ReadLine();
        AddPathSeparator(c.ArchiveFolder);
        c.ArchiveDialogFolder = c.ArchiveFolder;
        in.SkipLines(1);
        c.TimeZoneOffset =
            ReadIntegerLine(in, "one whole number, the hours to add to the clock to get UTC");
        in.SkipLines(1);
        const std::string_view clock = in.ReadLine();
        c.ClockIsLocal = !clock.empty() && (clock.front() == 'L' || clock.front() == 'l');
        in.SkipLines(1);
        c.BrowserPath = in.ReadLine();
        if (c.BrowserPath.size() < 10) c.BrowserPath = kDefaultBrowserPath;
        in.SkipLines(1);
        {
            ValueLine values(in, "the lake-index level (mb) and the lake-index offset");
            c.LakeIndexLevel = values.Integer();
            c.LakeIndexOffset = values.Number();
            values.End();
        }
        in.SkipLines(1);
        {
            ValueLine values(in, "the two lake-effect pressure levels (mb)");
            c.CI850Value = values.Integer();
            c.CI700Value = values.Integer();
            values.End();
        }
        in.SkipLines(1);
        c.TotalTotalsLevel = ReadIntegerLine(in, "one whole number, the lower pressure level (mb)");
        in.SkipLines(2);
        c.SigmaLevelPressure =
            ReadIntegerLine(in, "one whole number, the sigma-level pressure (mb)");
        in.SkipLines(1);
        c.Line21Value = ReadIntegerLine(in, "one whole number");
        in.SkipLines(2);
        ReadShoreLine(in, c, 0);
        in.SkipLines(1);
        ReadShoreLine(in, c, 1);
        in.SkipLines(1);
        c.OmegaFiltered = true;
        c.LapseTopPressure = in.ReadLine();
        in.SkipLines(1);
        {
            ValueLine values(in, "one number, the isotherm label step (ft)");
            c.IsothermLabelStep = values.Number();
            values.End();
        }
        in.SkipLines(1);
        {
            // A blank line leaves the training in the program's folder; a
            // folder with blanks is written in double quotes.
            ValueLine values(in, "the folder of the training media");
            if (!values.Blank()) c.MediaDrive = values.String();
            values.End();
        }
        in.SkipLines(1);
        const std::string_view isotherms = in.ReadLine();
        c.HighlightIsotherms = ReadIsothermLine(isotherms, in.LastLine());
        in.SkipLines(1);
        ReadModelLines(in, c.models);
        ReadSiteLines(in, c.ConfiguredSites);
    });
}

TextFileResult ReadConfig(const std::filesystem::path& folder, const std::string& UserName,
                          Configuration& config, const std::string& TypedName) {
    TextFileResult result;
    std::optional<std::string> text;
    std::string refusal;
    if (UserName != "tarvex") {
        for (const std::string& name : {TypedName, UserName}) {
            if (name.empty() || text || !refusal.empty()) continue;
            result.path = (folder / (name + ".cfg")).string();
            text = ReadTextFile(result.path, kLargestTextFile, &refusal);
        }
    }
    if (!text && refusal.empty()) {
        result.path = (folder / kSharedFile).string();
        text = ReadTextFile(result.path, kLargestTextFile, &refusal);
    }
    // Present but not a file to read (a folder, a pipe, far too large).
    if (!refusal.empty()) {
        result.reason = std::move(refusal);
        return result;
    }
    if (!text) {
        result.missing = true;
        result.reason =
            UserName != "tarvex"
                ? "Can't locate the " + UserName + ".CFG or TARVEX.CFG configuration file" +
                      kLinuxHint
                : std::string("Can't locate the TARVEX.CFG configuration file") + kLinuxHint;
        return result;
    }
    Configuration fresh;
    const std::string path = result.path;
    result = ParseConfig(*text, fresh);
    result.path = path;
    if (result.ok) config = std::move(fresh);
    return result;
}

std::string DescribeSharedConfigFallback(const std::string& UserName, const std::string& TypedName,
                                         const TextFileResult& result) {
    if (UserName == "tarvex" || !result.ok ||
        std::filesystem::path(result.path).filename() != kSharedFile)
        return {};
    const std::string own = TypedName.empty() || TypedName == UserName
                                ? UserName + ".cfg"
                                : TypedName + ".cfg or " + UserName + ".cfg";
    return "There is no configuration file " + own + " of the user " + UserName + " in \"" +
           std::filesystem::path(result.path).parent_path().string() +
           "\": the shared configuration \"" + result.path + "\" was read.";
}

std::string DescribeConfigFailure(const TextFileResult& result) {
    if (result.missing) return result.reason;
    return DescribeTextFileFailure("configuration file", result) +
           " Tarvex cannot start without a readable configuration.";
}

} // namespace tarvex
