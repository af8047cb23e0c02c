#include "files/HistoryFile.h"

#include "files/ScaleBounds.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <system_error>
#include <vector>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {

namespace {

// Value ranges of the controls the settings go to.
constexpr std::int16_t kInt16Lowest = -32768;
constexpr std::int16_t kInt16Highest = 32767;

// Lines 1 to 48 hold values; line 49 is empty.
constexpr int kHistoryLines = 48;

// Names tried for the copy of a damaged history file.
constexpr int kDamagedCopies = 20;

// The values of the file in order, line by line, for one visitor: the reader
// and the writer walk the same list, so they cannot drift apart.
template <typename Settings, typename Visitor> void VisitHistory(Settings& s, Visitor& v) {
    v.LakeTemp(s.LakeTempF);
    v.EndLine();
    v.Integer(s.ProfileLeftTemp);
    v.Integer(s.ProfileRightTemp);
    v.EndLine();
    v.Integer(s.SkewTLeftTemp);
    v.Integer(s.SkewTRightTemp);
    v.EndLine();
    v.Integer(s.SelectedPanel, 0, 4);
    v.EndLine();
    // The temperature scale's base and span, within the scale bounds.
    v.Integer(s.TraceRange[0], -kMostTraceWhole, kMostTraceWhole);
    v.Integer(s.TraceRange[1], 1, kMostTraceWhole);
    v.EndLine();
    for (auto& row : s.IndexThresholds) {
        for (auto& cell : row) v.Single(cell);
        v.EndLine();
    }
    v.DisplayMode(s.StartDisplay);
    v.Integer(s.StartPanel, -1, 6);
    v.EndLine();
    for (auto* check : {&s.chkLCL, &s.chkECAPE, &s.chkLFC, &s.chkCCL, &s.chkEQL,
                        &s.chkConvectiveTemp, &s.chkParcel, &s.chkWBZ})
        v.Check(*check);
    v.EndLine();
    v.Check(s.chkCINS);
    v.EndLine();
    v.Check(s.chkLakeIndex);
    v.Check(s.chkMoistLakeIndex);
    v.Check(s.chkLIC);
    v.EndLine();
    v.Integer(s.ReadoutValue);
    v.EndLine();
    v.Check(s.chkLines);
    v.EndLine();
    v.Check(s.chkDryAdiabats);
    v.EndLine();
    v.Check(s.chkRH);
    v.Integer(s.VerticalUnit, 0, 2);
    v.EndLine();
    v.Integer(s.MomentumXferIndex, 0, 3);
    v.EndLine();
    v.Check(s.chk10MWind);
    v.Check(s.chkSnowGrowth);
    v.Check(s.chksWSYMb);
    v.Check(s.chkMomentum);
    v.EndLine();
    // Tops of the overview's CAPE, visibility and ventilation scales.
    for (auto& top : s.OverviewThresholds) v.Single(top, kLeastScaleSpan, kMostScaleValue);
    v.EndLine();
    v.Check(s.chkActiveReadout);
    v.Integer(s.ReadoutUnit, 0, 2);
    v.EndLine();
    v.Check(s.chkSkewT);
    v.Check(s.chkWindVector);
    v.EndLine();
    v.Flag(s.UseThicknessMethod);
    v.EndLine();
    v.Single(s.HodoTopKm);
    v.EndLine();
    v.Single(s.HodoBaseKm);
    v.EndLine();
    v.Integer(s.VWPInterval, 1, 3);
    v.Integer(s.VWPIntervalA, 1, 3);
    v.Word(s.UseVWPIntervalA);
    v.EndLine();
    v.Check(s.chkWindDigital);
    v.EndLine();
    v.Integer(s.ColorWinds);
    v.EndLine();
    v.Integer(s.DigitalWindStyle);
    v.EndLine();
    v.Integer(s.hsbRate, 1, 1000);
    v.EndLine();
    v.Integer(s.hsbDelay, 0, 5000);
    v.EndLine();
    for (auto& edge : s.MapView) v.Single(edge);
    v.EndLine();
    v.EndLine(); // the empty last line
}

// Reads the values either as list input over the whole text, assigning each
// as soon as it is read so that a fault keeps every value before it; or line
// by line (byLine), each line holding its own values: a line that cannot be
// read whole keeps all of its values as they were, and the lines after it are
// still read.
class HistoryReader {
  public:
    HistoryReader(std::string_view text, bool byLine) : in_(byLine ? std::string_view() : text) {
        result_.ok = true;
        if (!byLine) return;
        byLine_ = true;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            lines_.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        in_ = FieldReader(LineText());
    }

    void EndLine() {
        if (!byLine_) return;
        if (!fault_ && !in_.OnlyBlanksRemain())
            fault_ = "the line holds more values than it should";
        if (fault_) {
            if (result_.ok) {
                result_.ok = false;
                result_.line = line_ + 1;
                result_.reason = *fault_;
            } else {
                otherLines_ += (otherLines_.empty() ? "" : ", ") + std::to_string(line_ + 1);
            }
        } else {
            for (const auto& assign : pending_) assign();
        }
        pending_.clear();
        fault_.reset();
        ++line_;
        in_ = FieldReader(LineText());
    }
    void Integer(std::int16_t& value, std::int16_t lowest = kInt16Lowest,
                 std::int16_t highest = kInt16Highest) {
        Read(value, [&] { return ReadInteger(lowest, highest); });
    }
    void Check(std::int16_t& value) { Integer(value, 0, 2); }
    void DisplayMode(std::int16_t& value) {
        Read(value, [&] {
            const std::int16_t read = ReadInteger(0, 99);
            if (read > 9 && read != 99)
                throw TextReadError(in_.LastLine(),
                                    "there is no display mode " + std::to_string(read));
            return read;
        });
    }
    void LakeTemp(std::int16_t& value) {
        Read(value, [&] {
            return std::clamp(in_.ReadListInteger(), kLakeTempFLowest, kLakeTempFHighest);
        });
    }
    void Single(float& value, float lowest = -std::numeric_limits<float>::max(),
                float highest = std::numeric_limits<float>::max()) {
        Read(value, [&] { return InRange(in_.ReadListNumber(), lowest, highest); });
    }
    void Flag(bool& value) {
        Read(value, [&] { return in_.ReadListInteger() != 0; });
    }
    // Only the two words the file is written with: any other would turn the
    // setting off without a word, so it is a fault of its line.
    void Word(bool& value) {
        Read(value, [&] {
            const std::string word(in_.ReadListField());
            if (word != "True" && word != "False")
                throw TextReadError(in_.LastLine(),
                                    "\"" + EchoText(word) + "\" is neither True nor False");
            return word == "True";
        });
    }

    // How the reading by lines ended: the first line not read and why.
    TextFileResult Result() const {
        TextFileResult result = result_;
        if (otherLines_.find(',') != std::string::npos)
            result.reason += "; lines " + otherLines_ + " were not read either";
        else if (!otherLines_.empty())
            result.reason += "; line " + otherLines_ + " was not read either";
        return result;
    }

  private:
    std::string_view LineText() const {
        return line_ < lines_.size() ? lines_[line_] : std::string_view();
    }
    std::int16_t ReadInteger(std::int16_t lowest, std::int16_t highest) {
        return InRange(in_.ReadListInteger(), lowest, highest);
    }
    // The value read, or an error naming its line when it lies outside
    // lowest to highest (a value that is not a number lies outside).
    template <typename Number> Number InRange(Number read, Number lowest, Number highest) const {
        auto text = [](Number number) {
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
            return std::string(buffer, end);
        };
        if (!(read >= lowest && read <= highest))
            throw TextReadError(in_.LastLine(), "the value " + text(read) + " lies outside " +
                                                    text(lowest) + " to " + text(highest));
        return read;
    }
    // Reads one value with read and assigns it: at once in list input, at
    // the end of a line read whole by lines.
    template <typename T, typename ReadValue> void Read(T& target, ReadValue read) {
        if (!byLine_) {
            target = read();
            return;
        }
        if (fault_) return;
        try {
            pending_.push_back([&target, value = T(read())] { target = value; });
        } catch (const TextReadError& error) {
            // Within one line, the end of the text is the end of the line.
            const std::string why = error.what();
            fault_ = why == "the file ends early" ? "a value is missing" : why;
        }
    }

    FieldReader in_;
    bool byLine_ = false;
    std::vector<std::string_view> lines_;
    std::size_t line_ = 0;
    std::vector<std::function<void()>> pending_;
    std::optional<std::string> fault_;
    TextFileResult result_;
    std::string otherLines_;
};

class HistoryWriter {
  public:
    void EndLine() {
        text_ += '\n';
        lineStart_ = true;
    }
    void Integer(std::int16_t value, std::int16_t = 0, std::int16_t = 0) { Put(value); }
    void Check(std::int16_t value) { Put(value); }
    void DisplayMode(std::int16_t value) { Put(value); }
    void LakeTemp(std::int16_t value) { Put(value); }
    // A value that is not finite would stop the next read there: it is kept
    // as 0.
    void Single(float value, float = 0.0f, float = 0.0f) {
        Put(std::isfinite(value) ? value : 0.0f);
    }
    void Flag(bool value) { Put(static_cast<std::int16_t>(value ? -1 : 0)); }
    void Word(bool value) { Put(std::string_view(value ? "True" : "False")); }

    const std::string& Text() const { return text_; }

  private:
    // Shortest text that reads back as the same value, with "." whatever
    // the locale.
    template <typename Number> void Put(Number value) {
        char buffer[32];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        Put(std::string_view(buffer, error == std::errc() ? end - buffer : 0));
    }
    void Put(std::string_view word) {
        if (!lineStart_) text_ += ' ';
        text_ += word;
        lineStart_ = false;
    }

    std::string text_;
    bool lineStart_ = true;
};

} // namespace

IndexThresholdTable DefaultIndexThresholds() {
    return {{{0, 700, 1000, 3000},
             {50, 40, 20, 10},
             {50, 150, 250, 500},
             {0, 0.5f, 1.0f, 2.5f},
             {5, 7, 10, 22, 45, 50, 60},
             {20000, 25000, 32000, 50000},
             {5000, 6000, 7000, 8500, 9000, 10000, 11000},
             {2, 1, -3, -8},
             {45, 48, 53, 57},
             {10, 12, 17, 20},
             {25, 30, 40, 50},
             {1, -1, -4, -10},
             {200, 250, 350, 500},
             {0, 0.1f, 0.2f, 0.3f},
             {20, 15, 10, 0},
             {0.2f, 1.25f, 1.5f, 2.0f},
             {50, 70, 80, 100},
             {0.2f, 0.7f, 0.95f, 2.0f},
             {6000, 9000, 10500, 13000},
             {20, 25, 30, 50}}};
}

std::filesystem::path HistoryFilePath(const std::filesystem::path& folder,
                                      const std::string& UserName) {
    return folder / (UserName + ".hst");
}

namespace {

// A temporary file of path: path, ".tarvex-", six random letters, then
// ".tmp". The word marks it as a save's own, so that no file of the user's
// is ever taken for one.
constexpr std::size_t kTemporaryLetters = 6;
constexpr std::string_view kTemporaryMark = ".tarvex-";
constexpr std::string_view kTemporaryEnd = ".tmp";
// A temporary younger than this may belong to a save that has created it but
// not yet locked it.
constexpr auto kTemporaryAge = std::chrono::minutes(1);

bool IsTemporaryOf(std::string_view name, std::string_view of) {
    return name.size() ==
               of.size() + kTemporaryMark.size() + kTemporaryLetters + kTemporaryEnd.size() &&
           name.substr(0, of.size()) == of &&
           name.substr(of.size(), kTemporaryMark.size()) == kTemporaryMark &&
           name.substr(name.size() - kTemporaryEnd.size()) == kTemporaryEnd;
}

// Creates a temporary file of path under a fresh name that nothing stands at:
// O_EXCL refuses any existing entry, a planted link included, so the text
// can only go into a new file of our own. The file is locked while the save
// holds it, so that no other save takes it for one left behind.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    try {
        std::random_device source;
        for (int attempt = 0; attempt < 64; ++attempt) {
            std::string name = path.filename().string() + std::string(kTemporaryMark);
            for (std::size_t k = 0; k < kTemporaryLetters; ++k)
                name += kLetters[source() % kLetters.size()];
            temporary = path.parent_path() / (name += kTemporaryEnd);
            const int file = ::open(temporary.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (file >= 0) static_cast<void>(::flock(file, LOCK_EX | LOCK_NB));
            if (file >= 0 || errno != EEXIST) return file;
        }
    } catch (const std::exception&) {
        // No source of random names: no temporary.
    }
    return -1;
}

// Whether the entry at temporary is one that a save cut short left behind:
// a regular file of this user's, older than a minute, that no save holds
// locked.
bool IsLeftTemporary(const std::filesystem::path& temporary) {
    const int file = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return false;
    struct stat info {};
    const auto now = std::chrono::system_clock::now();
    const bool left = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode) &&
                      info.st_uid == ::geteuid() &&
                      std::chrono::system_clock::from_time_t(info.st_mtime) + kTemporaryAge < now &&
                      ::flock(file, LOCK_EX | LOCK_NB) == 0;
    ::close(file);
    return left;
}

// Removes the temporary files of path that a save cut short left behind;
// they hold nothing the file itself does not.
void RemoveLeftTemporaries(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    const std::string of = path.filename().string();
    std::error_code error;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!IsTemporaryOf(entry->path().filename().string(), of)) continue;
        std::error_code ignored;
        if (IsLeftTemporary(entry->path())) fs::remove(entry->path(), ignored);
    }
}

} // namespace

TextFileResult ParseHistory(std::string_view text, HistorySettings& settings) {
    HistorySettings listed = settings;
    HistoryReader reader(text, false);
    const TextFileResult result = GuardedRead([&] { VisitHistory(listed, reader); });
    if (result.ok || CountTextLines(text) != kHistoryLines) {
        settings = listed;
        return result;
    }
    // The file still has its lines, so values are known by their line: every
    // line but the damaged ones is read.
    HistoryReader byLine(text, true);
    VisitHistory(settings, byLine);
    return byLine.Result();
}

std::filesystem::path DamagedHistoryPath(const std::filesystem::path& path, int number) {
    std::filesystem::path kept = path;
    return kept += (number > 1 ? "." + std::to_string(number) : std::string()) + ".bad";
}

namespace {

// Moves the damaged history file at path to the first free name of
// DamagedHistoryPath; a name already taken (a link included) is never
// replaced. The new path, or nothing when the file is not a regular one,
// cannot be opened (it stays where it is, for its owner to mend), or no name
// is free.
std::filesystem::path KeepDamagedFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::status(path, error))) return {};
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return {};
    ::close(file);
    for (int number = 1; number <= kDamagedCopies; ++number) {
        const std::filesystem::path kept = DamagedHistoryPath(path, number);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
            return kept;
        if (errno == EEXIST) continue;
        // A file system without RENAME_NOREPLACE: a second name that cannot
        // replace anything, then the first is dropped.
        if ((errno == EINVAL || errno == ENOSYS) && ::link(path.c_str(), kept.c_str()) == 0) {
            if (::unlink(path.c_str()) == 0) return kept;
            ::unlink(kept.c_str());
            return {};
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

} // namespace

TextFileResult ReadSettings(const std::filesystem::path& path, HistorySettings& settings,
                            std::filesystem::path* keptDamaged) {
    RemoveLeftTemporaries(path);
    if (keptDamaged) keptDamaged->clear();
    const TextFileResult result =
        ParseTextFile(path, [&](std::string_view text) { return ParseHistory(text, settings); });
    // The next save replaces the file: what it held is moved aside first,
    // however large it is.
    if (!result.ok && !result.missing) {
        const std::filesystem::path kept = KeepDamagedFile(path);
        if (keptDamaged) *keptDamaged = kept;
    }
    return result;
}

bool DoneMayReplace(const std::filesystem::path& path, const TextFileResult& read,
                    const std::filesystem::path& keptDamaged) {
    std::error_code error;
    return read.ok || read.missing || !keptDamaged.empty() ||
           !std::filesystem::is_regular_file(std::filesystem::status(path, error));
}

std::string DescribeHistoryFailure(const TextFileResult& result,
                                   const std::filesystem::path& keptDamaged) {
    std::string text = DescribeTextFileFailure("settings file", result);
    text += result.line > 0 ? " The values that could not be read keep their defaults."
                            : " The settings keep their defaults.";
    if (!keptDamaged.empty()) {
        text += " The file as it was is kept as \"" + PathForMessage(keptDamaged.string()) +
                "\"; Done saves the settings in use.";
    } else if (!DoneMayReplace(result.path, result, keptDamaged)) {
        text += " It stays as it is: Done does not save the settings over it.";
    }
    return text;
}

std::string DescribeHistoryLeftInPlace(const std::filesystem::path& path) {
    return "Your settings were not saved: \"" + PathForMessage(path.string()) +
           "\" could not be read at the start, so it is left as it was.";
}

std::string FormatHistory(const HistorySettings& settings) {
    HistoryWriter writer;
    VisitHistory(settings, writer);
    return writer.Text();
}

TextFileResult WriteSettings(const std::filesystem::path& path, const HistorySettings& settings) {
    return WriteTextFileWhole(path, FormatHistory(settings));
}

void IgnoreFileSizeSignal() {
    // Only the default, which ends the program, is replaced.
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        static_cast<void>(::signal(SIGXFSZ, SIG_IGN));
}

TextFileResult WriteTextFileWhole(const std::filesystem::path& path, std::string_view text) {
    const TextFileResult result = ReplaceTextFileWhole(path, text);
    if (result.ok) FlushFolderOf(path);
    return result;
}

TextFileResult ReplaceTextFileWhole(const std::filesystem::path& path, std::string_view text) {
    TextFileResult result;
    result.path = path.string();
    IgnoreFileSizeSignal();
    RemoveLeftTemporaries(path);
    std::filesystem::path temporary;
    const int file = CreateTemporary(path, temporary);
    if (file < 0) {
        result.reason = "a temporary file cannot be created in its folder";
        return result;
    }
    // The new file gets the old one's permissions (a link is replaced, so
    // what it points at lends none).
    struct stat old {};
    // The owner keeps the right to read and write it, whatever the old file
    // had, so that the next start can read what was saved.
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        static_cast<void>(::fchmod(file, (old.st_mode & 0777) | S_IRUSR | S_IWUSR));
    // Written and flushed to the disk before the rename, so that a crash or
    // a power cut leaves the old file or the new one, never an empty one.
    bool written = true;
    for (std::size_t done = 0; done < text.size() && written;) {
        const ssize_t n = ::write(file, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    const int writeError = written ? 0 : errno;
    written = written && ::fsync(file) == 0;
    written = ::close(file) == 0 && written;
    if (!written) {
        const int why = writeError != 0 ? writeError : errno;
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        result.reason = "the file cannot be written to its end";
        if (why != 0) result.reason += " (" + std::string(std::strerror(why)) + ")";
        return result;
    }
    // The rename replaces whatever stands at path, a link included, without
    // writing through it.
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        result.reason = "the written file cannot replace the old one (" + error.message() + ")";
        return result;
    }
    result.ok = true;
    return result;
}

void FlushFolderOf(const std::filesystem::path& path) {
    // The new name is flushed with its folder, so that a power cut cannot
    // bring the old file back. The file itself is on the disk already, so a
    // folder that cannot be flushed (some file systems refuse) changes
    // nothing of what was saved.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        static_cast<void>(::fsync(directory));
        ::close(directory);
    }
}

} // namespace tarvex
