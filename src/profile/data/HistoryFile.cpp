#include "profile/data/HistoryFile.h"

#include "profile/data/ScaleBounds.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <system_error>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tarvex {

namespace {

// Value ranges of the controls the settings go to.
constexpr std::int16_t kInt16Lowest = -32768;
constexpr std::int16_t kInt16Highest = 32767;

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

// Assigns each value as soon as it is read, so that a fault keeps every
// value before it.
class HistoryReader {
  public:
    explicit HistoryReader(std::string_view text) : in_(text) {}

    void EndLine() {}
    void Integer(std::int16_t& value, std::int16_t lowest = kInt16Lowest,
                 std::int16_t highest = kInt16Highest) {
        const std::int16_t read = in_.ReadListInteger();
        if (read < lowest || read > highest)
            throw TextReadError(in_.LastLine(), "the value " + std::to_string(read) +
                                                    " lies outside " + std::to_string(lowest) +
                                                    " to " + std::to_string(highest));
        value = read;
    }
    void Check(std::int16_t& value) { Integer(value, 0, 2); }
    void DisplayMode(std::int16_t& value) {
        std::int16_t read = 0;
        Integer(read, 0, 99);
        if (read > 9 && read != 99)
            throw TextReadError(in_.LastLine(), "there is no display mode " + std::to_string(read));
        value = read;
    }
    void LakeTemp(std::int16_t& value) {
        value = std::clamp(in_.ReadListInteger(), kLakeTempFLowest, kLakeTempFHighest);
    }
    void Single(float& value, float lowest = -std::numeric_limits<float>::max(),
                float highest = std::numeric_limits<float>::max()) {
        const float read = in_.ReadListNumber();
        auto text = [](float number) {
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
            return std::string(buffer, end);
        };
        if (!(read >= lowest && read <= highest))
            throw TextReadError(in_.LastLine(), "the value " + text(read) + " lies outside " +
                                                    text(lowest) + " to " + text(highest));
        value = read;
    }
    void Flag(bool& value) { value = in_.ReadListInteger() != 0; }
    void Word(bool& value) { value = in_.ReadListField() == "True"; }

  private:
    FieldReader in_;
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
    void Single(float value, float = 0.0f, float = 0.0f) { Put(value); }
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
std::filesystem::path TemporaryOf(std::filesystem::path path) {
    return path += ".tmp";
}
} // namespace

TextFileResult ParseHistory(std::string_view text, HistorySettings& settings) {
    HistoryReader reader(text);
    return GuardedRead([&] { VisitHistory(settings, reader); });
}

TextFileResult ReadSettings(const std::filesystem::path& path, HistorySettings& settings) {
    // A temporary file left by a save that was cut short holds nothing the
    // settings file does not: it goes.
    std::error_code ignored;
    std::filesystem::remove(TemporaryOf(path), ignored);
    return ParseTextFile(path, [&](std::string_view text) { return ParseHistory(text, settings); });
}

std::string FormatHistory(const HistorySettings& settings) {
    HistoryWriter writer;
    VisitHistory(settings, writer);
    return writer.Text();
}

TextFileResult WriteSettings(const std::filesystem::path& path, const HistorySettings& settings) {
    return WriteTextFileWhole(path, FormatHistory(settings));
}

TextFileResult WriteTextFileWhole(const std::filesystem::path& path, std::string_view text) {
    TextFileResult result;
    result.path = path.string();
    const std::filesystem::path temporary = TemporaryOf(path);
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        result.reason = "a temporary file cannot be created in its folder";
        return result;
    }
    // Written and flushed to the disk before the rename, so that a crash or
    // a power cut leaves the old file or the new one, never an empty one.
    bool written = true;
    for (std::size_t done = 0; done < text.size() && written;) {
        const ssize_t n = ::write(file, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    written = written && ::fsync(file) == 0;
    written = ::close(file) == 0 && written;
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        result.reason = "the file cannot be written to its end";
        return result;
    }
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

} // namespace tarvex
