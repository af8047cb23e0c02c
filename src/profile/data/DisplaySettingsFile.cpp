#include "profile/data/DisplaySettingsFile.h"

#include "profile/data/HistoryFile.h"

#include <cmath>
#include <limits>
#include <vector>

namespace tarvex {

namespace {

constexpr std::int16_t kInt16Lowest = std::numeric_limits<std::int16_t>::min();
constexpr std::int16_t kInt16Highest = std::numeric_limits<std::int16_t>::max();

// The items of the file in order, line by line, for one visitor: the reader
// and the writer walk the same list, so they cannot drift apart.
template <typename Settings, typename Visitor> void VisitDisplaySettings(Settings& s, Visitor& v) {
    v.Check(s.chkWindVector);
    v.EndLine();
    v.Integer(s.ColorWinds);
    v.EndLine();
    v.Integer(s.DigitalWindStyle);
    v.EndLine();
    for (auto* check : {&s.chkWindDigital, &s.ChkOmega}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.OmegaFiltered);
    v.EndLine();
    for (auto* check : {&s.chk10MWind, &s.chkRH, &s.chkWetBulb, &s.chkInversions, &s.chkSnowGrowth,
                        &s.chksWSYMb, &s.chkSkewT, &s.chkLines, &s.chkDryAdiabats, &s.chkClouds}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.VWPInterval, 1, 3);
    v.Integer(s.VWPIntervalA, 1, 3);
    v.Word(s.UseVWPIntervalA);
    v.EndLine();
    v.Integer(s.VerticalUnit, 0, 2);
    v.EndLine();
    v.Integer(s.MomentumXferIndex, 0, 3);
    v.EndLine();
    v.Integer(s.SkewTLeftTemp);
    v.Integer(s.ProfileLeftTemp);
    v.Integer(s.LeftTemp);
    v.EndLine();
    v.Integer(s.SkewTRightTemp);
    v.Integer(s.ProfileRightTemp);
    v.Integer(s.RightTemp);
    v.EndLine();
    // The top of the diagram is a pressure whose logarithm is taken.
    v.Integer(s.TopPressure, 1, 1100);
    v.EndLine();
    v.Check(s.chkLakeIndex);
    v.EndLine();
    v.Integer(s.vsbLakeF, kLakeTempFLowest, kLakeTempFHighest);
    v.EndLine();
    for (auto* check :
         {&s.chkMoistLakeIndex, &s.chkLIC, &s.chkLCL, &s.chkECAPE, &s.chkCCL, &s.chkConvectiveTemp,
          &s.chkWBZ, &s.chkLFC, &s.chkEQL, &s.chkParcel, &s.chkCINS}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.ActivePanel, -1, 6);
    v.EndLine();
    for (auto& check : s.chkAngle) {
        v.Check(check);
        v.EndLine();
    }
    for (auto* check : {&s.chkBrightBand, &s.chkSigmaLevel, &s.chkMeanFlow}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Single(s.SigmaLevelPressure);
    v.EndLine();
    for (auto& pressure : s.MeanFlowPressure) {
        v.Single(pressure);
        v.EndLine();
    }
    v.DisplayMode(s.DisplayMode);
    v.EndLine();
    v.Check(s.chkActiveReadout);
    v.Integer(s.ReadoutUnit, 0, 2);
    v.EndLine();
    v.Check(s.chkIcing);
    v.EndLine();
    v.Check(s.chkMomentum);
    v.EndLine();
    v.Integer(s.UseThicknessMethod);
    v.EndLine();
    v.WholeSingle(s.HodoTop);
    v.EndLine();
    v.WholeSingle(s.HodoBase);
    v.EndLine();
}

// Splits the text into fields at blanks, commas and line ends.
std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    constexpr std::string_view kDelimiters = " ,\t\r\n";
    std::size_t at = text.find_first_not_of(kDelimiters);
    while (at != std::string_view::npos) {
        const std::size_t end = text.find_first_of(kDelimiters, at);
        fields.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = text.find_first_not_of(kDelimiters, end);
    }
    return fields;
}

// Takes one field per item; an item whose field does not fit stays empty.
class SettingsReader {
  public:
    explicit SettingsReader(std::string_view text) : fields_(SplitFields(text)) {}

    void EndLine() {}
    void Integer(std::optional<std::int16_t>& item, std::int16_t lowest = kInt16Lowest,
                 std::int16_t highest = kInt16Highest) {
        const std::optional<float> value = Next();
        if (!value) return;
        const float whole = std::nearbyint(*value);
        if (whole < lowest || whole > highest) return;
        item = static_cast<std::int16_t>(whole);
    }
    void Check(std::optional<std::int16_t>& item) { Integer(item, 0, 2); }
    void DisplayMode(std::optional<std::int16_t>& item) {
        std::optional<std::int16_t> read;
        Integer(read, 0, 99);
        if (read && (*read <= 9 || *read == 99)) item = read;
    }
    void Single(std::optional<float>& item) {
        if (const std::optional<float> value = Next()) item = *value;
    }
    void WholeSingle(std::optional<float>& item) {
        std::optional<std::int16_t> read;
        Integer(read);
        if (read) item = static_cast<float>(*read);
    }
    void Word(std::optional<bool>& item) {
        if (next_ >= fields_.size()) return;
        item = fields_[next_++] == "True";
    }

  private:
    std::optional<float> Next() {
        if (next_ >= fields_.size()) return std::nullopt;
        return FieldReader::ParseNumber(fields_[next_++]);
    }

    std::vector<std::string_view> fields_;
    std::size_t next_ = 0;
};

class SettingsWriter {
  public:
    void EndLine() {
        text_ += line_.Text();
        line_ = PrintZoneLine();
    }
    void Integer(const std::optional<std::int16_t>& item, std::int16_t = 0, std::int16_t = 0) {
        line_.Number(item.value_or(0));
    }
    void Check(const std::optional<std::int16_t>& item) { Integer(item); }
    void DisplayMode(const std::optional<std::int16_t>& item) { Integer(item); }
    void Single(const std::optional<float>& item) { line_.Number(item.value_or(0.0f)); }
    void WholeSingle(const std::optional<float>& item) { Single(item); }
    void Word(const std::optional<bool>& item) {
        line_.Item(item.value_or(false) ? "True" : "False");
    }

    const std::string& Text() const { return text_; }

  private:
    std::string text_;
    PrintZoneLine line_;
};

} // namespace

std::filesystem::path DisplaySettingsPath(const std::string& TempFolder,
                                          const std::string& UserName, int slot) {
    return std::filesystem::path(TempFolder + UserName + ".SP" + std::to_string(slot));
}

std::string FormatDisplaySettings(const DisplaySettings& settings) {
    SettingsWriter writer;
    VisitDisplaySettings(settings, writer);
    return writer.Text();
}

DisplaySettings ParseDisplaySettings(std::string_view text) {
    DisplaySettings settings;
    SettingsReader reader(text);
    VisitDisplaySettings(settings, reader);
    return settings;
}

TextFileResult WriteDisplaySettings(const std::filesystem::path& path,
                                    const DisplaySettings& settings) {
    return WriteTextFileWhole(path, FormatDisplaySettings(settings));
}

std::optional<DisplaySettings> ReadDisplaySettings(const std::filesystem::path& path) {
    const std::optional<std::string> text = ReadTextFile(path);
    if (!text) return std::nullopt;
    return ParseDisplaySettings(*text);
}

} // namespace tarvex
