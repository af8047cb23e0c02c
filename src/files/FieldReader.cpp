#include "files/FieldReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (IsNonFiniteNumber(field))
        throw TextReadError(lastLine_,
                            "the number \"" + EchoText(field) + "\" is not a finite number");
    return 0.0f;
}

bool FieldReader::IsNonFiniteNumber(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    double value = 0.0;
    const char* const end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    return !field.empty() && stop == end && error == std::errc() && !std::isfinite(value);
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

int CountTextLines(std::string_view text) {
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(),
                                           text.begin() + static_cast<std::ptrdiff_t>(last), '\n'));
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

namespace {

constexpr std::uintmax_t kMegabyte = 1024u * 1024u;

// A size as a message gives it: whole megabytes, or every byte.
std::string SizeText(std::uintmax_t bytes) {
    if (bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
    std::string digits = std::to_string(bytes);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits + " bytes";
}

std::optional<std::string> Refusal(const struct stat& info, std::uintmax_t largestBytes) {
    if (S_ISDIR(info.st_mode)) return "it is a folder, not a file";
    if (!S_ISREG(info.st_mode)) return "it is not a regular file (a pipe, a device or a socket)";
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > largestBytes)
        return "the file is " + SizeText(size) + ", larger than the " + SizeText(largestBytes) +
               " a file of this kind can be";
    return std::nullopt;
}

// Closes a file descriptor when it goes out of scope.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

std::optional<std::string> ReadTextFile(const std::filesystem::path& path,
                                        std::uintmax_t largestBytes, std::string* refusal) {
    auto refuse = [refusal](std::string why) -> std::optional<std::string> {
        if (refusal) *refusal = std::move(why);
        return std::nullopt;
    };
    if (refusal) refusal->clear();
    // Without O_NONBLOCK, opening a pipe that nobody writes to waits for ever.
    const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return std::nullopt;
    if (std::optional<std::string> why = Refusal(info, largestBytes)) return refuse(*why);
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return refuse("the file cannot be read to its end");
        if (n == 0) break;
        // A file that grows while it is read is held to the same limit.
        if (text.size() + static_cast<std::size_t>(n) > largestBytes)
            return refuse("the file is larger than the " + SizeText(largestBytes) +
                          " a file of this kind can be");
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::optional<std::string> RefuseBeforeReading(const std::filesystem::path& path,
                                               std::uintmax_t largestBytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return Refusal(info, largestBytes);
}

std::string PathForMessage(std::string_view path, std::size_t maxLength) {
    if (path.size() <= maxLength || maxLength < 8) return std::string(path);
    // Cut between characters, never inside a UTF-8 sequence.
    auto continues = [&](std::size_t at) {
        return (static_cast<unsigned char>(path[at]) & 0xC0u) == 0x80u;
    };
    std::size_t head = maxLength - maxLength / 2 - 3;
    while (head > 0 && continues(head)) --head;
    std::size_t tail = path.size() - maxLength / 2;
    while (tail < path.size() && continues(tail)) ++tail;
    return std::string(path.substr(0, head)) + "..." + std::string(path.substr(tail));
}

std::string DescribeTextFileFailure(std::string_view kind, const TextFileResult& result) {
    std::ostringstream text;
    text << "The " << kind << " \"" << PathForMessage(result.path) << "\" could not be read";
    if (result.line > 0) text << " (line " << result.line << ")";
    text << ": " << result.reason << ".";
    return text.str();
}

} // namespace tarvex
