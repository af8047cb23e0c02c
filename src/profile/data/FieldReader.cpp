#include "profile/data/FieldReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace tarvex {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool EndsField(char c) {
    return IsBlank(c) || c == ',' || c == '\n';
}
} // namespace

void FieldReader::EndsEarly() const {
    // Name the file's last line, not the empty one after its final line end.
    const bool afterLineEnd = !text_.empty() && text_.back() == '\n' && line_ > 1;
    throw TextReadError(afterLineEnd ? line_ - 1 : line_, "the file ends early");
}

void FieldReader::SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
}

std::string_view FieldReader::ReadLine() {
    if (AtEnd()) EndsEarly();
    lastLine_ = line_;
    const std::size_t end = text_.find('\n', pos_);
    std::string_view line;
    if (end == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++line_;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string_view FieldReader::ReadField() {
    SkipBlanks();
    if (AtEnd()) EndsEarly();
    lastLine_ = line_;
    if (text_[pos_] == '\n') { // a blank line
        ++pos_;
        ++line_;
        return {};
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !EndsField(text_[pos_])) ++pos_;
    const std::string_view field = text_.substr(start, pos_ - start);
    SkipDelimiter();
    return field;
}

// The delimiter after a field: blanks, then a comma or a line end.
void FieldReader::SkipDelimiter() {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        SkipBlanks();
    }
    if (pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
        ++line_;
    }
}

void FieldReader::SkipBlankLines() {
    SkipBlanks();
    while (pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
        ++line_;
        SkipBlanks();
    }
}

bool FieldReader::OnlyBlanksRemain() const {
    return text_.find_first_not_of(" \t\r\n", pos_) == std::string_view::npos;
}

std::string_view FieldReader::ReadListField() {
    SkipBlankLines();
    return ReadField();
}

float FieldReader::ReadListNumber() {
    const std::string_view field = ReadListField();
    const std::optional<float> value = ParseNumber(field);
    if (!value) throw TextReadError(lastLine_, "\"" + EchoText(field) + "\" is not a number");
    return *value;
}

std::int16_t FieldReader::ReadListInteger() {
    const float value = std::nearbyint(ReadListNumber());
    if (value < -32768.0f || value > 32767.0f)
        throw TextReadError(lastLine_, "a whole number between -32768 and 32767 was expected");
    return static_cast<std::int16_t>(value);
}

std::string_view FieldReader::ReadListString() {
    SkipBlankLines();
    if (AtEnd()) EndsEarly();
    if (text_[pos_] != '"') return ReadField();
    lastLine_ = line_;
    const std::size_t start = pos_ + 1;
    std::size_t end = text_.find_first_of("\"\n", start);
    if (end == std::string_view::npos) end = text_.size();
    const std::string_view value = text_.substr(start, end - start);
    pos_ = end < text_.size() && text_[end] == '"' ? end + 1 : end;
    SkipDelimiter();
    return value;
}

float FieldReader::ReadKeyValue() {
    ReadField();
    ReadField();
    return ReadNumber();
}

void FieldReader::SkipLines(int count) {
    for (int i = 0; i < count; ++i) ReadLine();
}

void FieldReader::SkipFields(int count) {
    for (int i = 0; i < count; ++i) ReadField();
}

float FieldReader::ReadNumber() {
    const std::string_view field = ReadField();
    if (const std::optional<float> value = ParseNumber(field)) return *value;
    if (IsTooLargeNumber(field))
        throw TextReadError(lastLine_, "the number \"" + EchoText(field) + "\" is too large");
    return 0.0f;
}

bool FieldReader::IsTooLargeNumber(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    double value = 0.0;
    const char* const end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (stop != end || field.empty()) return false;
    if (error == std::errc::result_out_of_range) {
        // Beyond double as well: too large unless the exponent is negative.
        const std::size_t exponent = field.find_first_of("eE");
        return exponent == std::string_view::npos || exponent + 1 >= field.size() ||
               field[exponent + 1] != '-';
    }
    return error == std::errc() && std::isfinite(value) &&
           std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max());
}

float FieldReader::ToNumber(std::string_view field) {
    return ParseNumber(field).value_or(0.0f);
}

std::optional<float> FieldReader::ParseNumber(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return std::nullopt;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

float FieldReader::LeadingNumber(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0.0f;
    text.remove_prefix(start);
    if (text.front() == '+') text.remove_prefix(1);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && std::isfinite(value) ? value : 0.0f;
}

std::string EchoText(std::string_view text, std::size_t maxLength) {
    std::string out;
    const std::size_t kept = std::min(text.size(), maxLength);
    out.reserve(kept + 3);
    for (std::size_t i = 0; i < kept; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out.push_back(c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?');
    }
    if (kept < text.size()) out += "...";
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> ReadTextFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return contents.str();
}

std::optional<std::string> RefuseBeforeReading(const std::filesystem::path& path,
                                               std::uintmax_t largestBytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "it is a folder, not a file";
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > largestBytes)
        return "the file is " + std::to_string(size / (1024 * 1024)) + " MB, larger than the " +
               std::to_string(largestBytes / (1024 * 1024)) + " MB a file of this kind can be";
    return std::nullopt;
}

std::string DescribeTextFileFailure(std::string_view kind, const TextFileResult& result) {
    std::ostringstream text;
    text << "The " << kind << " \"" << result.path << "\" could not be read";
    if (result.line > 0) text << " (line " << result.line << ")";
    text << ": " << result.reason << ".";
    return text.str();
}

} // namespace tarvex
