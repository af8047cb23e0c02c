#pragma once

// Reading and writing the items of a settings slot file (".SP", ".SO"): the
// file's layout is one list of items that a reader and a writer walk in the
// same order, so that they cannot drift apart.

#include "compute/Levels.h"
#include "files/FieldReader.h"
#include "files/PrintZones.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// A Boolean kept in a slot file as a number: -1 true, 0 false.
inline std::int16_t SlotFlag(bool on) {
    return static_cast<std::int16_t>(on ? -1 : 0);
}

// Pressure (mb) at column 0 of the level a level bar stands on: level bars
// are kept in slot files as pressures.
inline float SlotLevelPressure(const ProfileArrays& s, int level) {
    if (level < 0 || level >= kLevelSlots) return 0.0f;
    return s.Pressure(s.CurrentModel, 0, level);
}

// The level of the file now loaded nearest a stored pressure, for a level
// bar: a pressure below 100 is a level index already.
inline int SlotLevelOfPressure(const ProfileArrays& s, float pressure) {
    const double whole =
        std::clamp(std::nearbyint(static_cast<double>(pressure)), -32768.0, 32767.0);
    return FindPressureLevel(s, static_cast<std::int16_t>(whole));
}

// Applies an item read from a slot file; an empty item changes nothing.
template <typename T, typename Apply> void IfRead(const std::optional<T>& item, Apply apply) {
    if (item) apply(*item);
}

// Splits the text into fields at blanks, commas and line ends.
std::vector<std::string_view> SplitSettingsFields(std::string_view text);

// Takes one field per item; an item whose field is not a number or lies
// outside the item's range stays empty, and reading goes on with the next
// field. Items past the end of the text stay empty.
class SettingsReader {
  public:
    static constexpr std::int16_t kLowest = std::numeric_limits<std::int16_t>::min();
    static constexpr std::int16_t kHighest = std::numeric_limits<std::int16_t>::max();

    explicit SettingsReader(std::string_view text) : fields_(SplitSettingsFields(text)) {}

    void EndLine() {}
    // Whole numbers are rounded to the nearest (half to even).
    void Integer(std::optional<std::int16_t>& item, std::int16_t lowest = kLowest,
                 std::int16_t highest = kHighest) {
        const std::optional<float> value = Next();
        if (!value) return;
        const float whole = std::nearbyint(*value);
        if (!(whole >= lowest && whole <= highest)) return;
        item = static_cast<std::int16_t>(whole);
    }
    void Check(std::optional<std::int16_t>& item) { Integer(item, 0, 2); }
    // A 32-bit colour pattern written as a signed decimal.
    void Long(std::optional<std::int32_t>& item) {
        const std::optional<double> value = NextDouble();
        if (!value) return;
        const double whole = std::nearbyint(*value);
        if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
              whole <= std::numeric_limits<std::int32_t>::max()))
            return;
        item = static_cast<std::int32_t>(whole);
    }
    // A single inside [lowest, highest].
    void Single(std::optional<float>& item, float lowest = -std::numeric_limits<float>::max(),
                float highest = std::numeric_limits<float>::max()) {
        const std::optional<float> value = Next();
        if (value && *value >= lowest && *value <= highest) item = *value;
    }
    // A whole number kept as a single.
    void WholeSingle(std::optional<float>& item) {
        std::optional<std::int16_t> read;
        Integer(read);
        if (read) item = static_cast<float>(*read);
    }
    // A Boolean written as a word: true exactly when it is "True".
    void Word(std::optional<bool>& item) {
        if (next_ >= fields_.size()) return;
        item = fields_[next_++] == "True";
    }

  private:
    std::optional<float> Next() {
        if (next_ >= fields_.size()) return std::nullopt;
        const std::optional<float> value = FieldReader::ParseNumber(fields_[next_++]);
        if (value && !std::isfinite(*value)) return std::nullopt;
        return value;
    }
    std::optional<double> NextDouble() {
        if (next_ >= fields_.size()) return std::nullopt;
        const std::string_view field = fields_[next_++];
        double value = 0.0;
        const auto [end, fault] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (fault != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
            return std::nullopt;
        return value;
    }

    std::vector<std::string_view> fields_;
    std::size_t next_ = 0;
};

// Counts the lines of a slot file's layout: walked with the file's visitor,
// it ends as many lines as the writer writes.
class SettingsLineCounter {
  public:
    void EndLine() { ++lines_; }
    template <typename... Any> void Integer(Any&&...) {}
    template <typename... Any> void Check(Any&&...) {}
    template <typename... Any> void Long(Any&&...) {}
    template <typename... Any> void Single(Any&&...) {}
    template <typename... Any> void WholeSingle(Any&&...) {}
    template <typename... Any> void Word(Any&&...) {}
    int Lines() const { return lines_; }

  private:
    int lines_ = 0;
};

// Why a slot file's text is refused: it does not hold the lines of its layout
// (blank lines at its end aside), so its items would go to other controls.
std::optional<std::string> RefuseSlotText(std::string_view text, int lines);

// Reads the slot file at path and gives its text to parse. A missing file
// gives missing; a file that is not a regular file, is too large or does not
// hold `lines` lines is refused with its reason, and parse is not called.
template <typename Parse>
TextFileResult ReadSlotFile(const std::filesystem::path& path, int lines, Parse parse) {
    return ParseTextFile(path, [&](std::string_view text) {
        TextFileResult result;
        if (std::optional<std::string> why = RefuseSlotText(text, lines)) {
            result.reason = std::move(*why);
        } else {
            parse(text);
            result.ok = true;
        }
        return result;
    });
}

// The message for a slot that cannot be recalled: its file and why.
std::string DescribeSlotFailure(const TextFileResult& result);

// Writes the items with the print statement's number form, lines ended by
// CR LF: either each item in the next print zone, or the items of a line
// directly one after the other. An empty item is written as 0 (False for a
// word).
class SettingsWriter {
  public:
    enum class Spacing { Zones, Joined };
    explicit SettingsWriter(Spacing spacing) : spacing_(spacing) {}

    void EndLine() {
        if (spacing_ == Spacing::Zones) {
            text_ += zones_.Text();
            zones_ = PrintZoneLine();
        } else {
            text_ += "\r\n";
        }
    }
    void Integer(const std::optional<std::int16_t>& item, std::int16_t = 0, std::int16_t = 0) {
        Put(PrintForm(item.value_or(0)));
    }
    void Check(const std::optional<std::int16_t>& item) { Integer(item); }
    // A 32-bit whole number in full, however many digits it has.
    void Long(const std::optional<std::int32_t>& item) {
        const std::int32_t value = item.value_or(0);
        Put((value < 0 ? "" : " ") + std::to_string(value) + " ");
    }
    // A value that is not finite is written as 0, which reads back.
    void Single(const std::optional<float>& item, float = 0.0f, float = 0.0f) {
        const float value = item.value_or(0.0f);
        Put(PrintForm(std::isfinite(value) ? value : 0.0f));
    }
    void WholeSingle(const std::optional<float>& item) { Single(item); }
    void Word(const std::optional<bool>& item) { Put(item.value_or(false) ? "True" : "False"); }

    const std::string& Text() const { return text_; }

  private:
    void Put(std::string_view text) {
        if (spacing_ == Spacing::Zones)
            zones_.Item(text);
        else
            text_ += text;
    }

    Spacing spacing_;
    std::string text_;
    PrintZoneLine zones_;
};

} // namespace tarvex
