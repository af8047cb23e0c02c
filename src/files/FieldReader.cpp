#include "files/FieldReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {

namespace {

// What a character is to the field scanner: a blank (blank, tab, carriage
// return), a comma or a line end; everything else belongs to a field.
enum : unsigned char { kBlank = 1, kComma = 2, kLineEnd = 4 };
constexpr std::array<unsigned char, 256> kCharClass = [] {
    std::array<unsigned char, 256> table{};
    table[' '] = table['\t'] = table['\r'] = kBlank;
    table[','] = kComma;
    table['\n'] = kLineEnd;
    return table;
}();

unsigned char ClassOf(char c) {
    return kCharClass[static_cast<unsigned char>(c)];
}
bool IsBlank(char c) {
    return ClassOf(c) == kBlank;
}

// Powers of ten that single precision holds exactly (5^9 < 2^24).
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f};
constexpr std::uint32_t kLargestExactInteger = 1u << 24;

// The digits from p on, appended to value; returns where they end. This and
// the other inner loops of the scan are always inlined into their callers.
[[gnu::always_inline]] inline const char* ReadDigits(const char* p, const char* end,
                                                     std::uint32_t& value) {
    for (; p < end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
        if (digit > 9) break;
        value = value * 10u + digit;
    }
    return p;
}

// Plain decimals from p on ("-12.5", "1016", ".5"), up to the first other
// character. When the digits make an integer single precision holds exactly
// and at most nine digits are written, one division by an exact power of ten
// gives the correctly rounded value, the one std::from_chars gives: exact is
// then set. Anything else (exponents, long digit strings, words) is left to
// from_chars.
struct Decimal {
    const char* end;
    bool exact;
    float value;
};
[[gnu::always_inline]] inline Decimal ScanDecimal(const char* p, const char* end) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* const first = p;
    std::uint32_t digits = 0;
    p = ReadDigits(first, end, digits);
    std::ptrdiff_t count = p - first;
    std::ptrdiff_t decimals = 0;
    if (p < end && *p == '.') {
        const char* const point = ++p;
        p = ReadDigits(point, end, digits);
        decimals = p - point;
        count += decimals;
    }
    // Nine digits at most: the digits wrap past 32 bits only beyond that.
    if (count == 0 || count > 9 || digits > kLargestExactInteger) return {p, false, 0.0f};
    float value = static_cast<float>(digits);
    if (decimals > 0) value /= kExactPowersOfTen[decimals];
    return {p, true, negative ? -value : value};
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

// The delimiter after a field: blanks, then a comma or a line end.
[[gnu::always_inline]] inline std::size_t FieldReader::SkipDelimiterFrom(std::size_t p) {
    const char* const data = text_.data();
    const std::size_t size = text_.size();
    while (p < size && ClassOf(data[p]) == kBlank) ++p;
    if (p < size && data[p] == ',') {
        ++p;
        while (p < size && ClassOf(data[p]) == kBlank) ++p;
    }
    if (p < size && data[p] == '\n') {
        ++p;
        ++line_;
    }
    return p;
}

std::string_view FieldReader::ReadField() {
    // The scan works on locals: the members are written back once.
    const char* const data = text_.data();
    const std::size_t size = text_.size();
    std::size_t p = pos_;
    while (p < size && ClassOf(data[p]) == kBlank) ++p;
    if (p >= size) {
        pos_ = p;
        EndsEarly();
    }
    lastLine_ = line_;
    if (data[p] == '\n') { // a blank line
        pos_ = p + 1;
        ++line_;
        return {};
    }
    const std::size_t start = p;
    while (p < size && ClassOf(data[p]) == 0) ++p;
    const std::string_view field(data + start, p - start);
    pos_ = SkipDelimiterFrom(p);
    return field;
}

void FieldReader::SkipDelimiter() {
    pos_ = SkipDelimiterFrom(pos_);
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
    // The usual field, plain decimals, is converted as it is scanned.
    const char* const data = text_.data();
    const char* const end = data + text_.size();
    const char* p = data + pos_;
    while (p < end && ClassOf(*p) == kBlank) ++p;
    const Decimal decimal = ScanDecimal(p, end);
    notANumber_.reset();
    if (decimal.exact && (decimal.end == end || ClassOf(*decimal.end) != 0)) {
        lastLine_ = line_;
        pos_ = SkipDelimiterFrom(static_cast<std::size_t>(decimal.end - data));
        return decimal.value;
    }
    const std::string_view field = ReadField();
    if (const std::optional<float> value = ParseNumber(field)) return *value;
    if (IsTooLargeNumber(field))
        throw TextReadError(lastLine_, "the number \"" + EchoText(field) + "\" is too large");
    if (IsNonFiniteNumber(field))
        throw TextReadError(lastLine_,
                            "the number \"" + EchoText(field) + "\" is not a finite number");
    notANumber_ = field;
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
    const Decimal decimal = ScanDecimal(field.data(), field.data() + field.size());
    if (decimal.exact && decimal.end == field.data() + field.size()) return decimal.value;
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

TextFileResult CheckPlainText(std::string_view text) {
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        TextFileResult result;
        result.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n'));
        result.reason = "the line holds a NUL byte, which no text file holds";
        return result;
    }
    return CheckLineEnds(text);
}

TextFileResult CheckLineEnds(std::string_view text) {
    TextFileResult result;
    if (text.find('\n') == std::string_view::npos &&
        text.find('\r') < text.find_last_not_of("\r")) {
        result.line = 1;
        result.reason = "its lines end in a carriage return alone, not in a line feed";
    } else {
        result.ok = true;
    }
    return result;
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
    if (file.fd < 0) {
        // Only a file that is not there is missing: one that is there but
        // cannot be opened (no permission, a loop of links) is refused with
        // the system's reason.
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return refuse("the file cannot be opened (" + std::string(std::strerror(errno)) + ")");
    }
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
