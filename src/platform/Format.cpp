#include "platform/Format.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace tarvex {

namespace {

// A positive decimal number as its significant digits d1 d2 ... and the
// power of ten of d1.
struct DecimalDigits {
    std::string significant;
    int exponent = 0;
};

// Splits a positive number written by to_chars in scientific form
// ("d.ddde+XX" or "de+XX").
DecimalDigits FromScientific(std::string_view text) {
    DecimalDigits d;
    const std::size_t e = text.find('e');
    d.significant += text[0];
    if (e > 2) d.significant += text.substr(2, e - 2);
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    d.exponent);
    return d;
}

// The first 15 significant digits of a double; the panels format hundreds of
// numbers a redraw, so they are written without the C library's printf.
DecimalDigits SignificantDigits(double magnitude) {
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::scientific, 14);
    return FromScientific(
        std::string_view(buffer.data(), static_cast<std::size_t>(written.ptr - buffer.data())));
}

// The shortest digits that read back as the same single: the decimal the file
// gave (8.15, not the binary 8.1499996...).
DecimalDigits ShortestDigits(float magnitude) {
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::scientific);
    return FromScientific(
        std::string_view(buffer.data(), static_cast<std::size_t>(written.ptr - buffer.data())));
}

// The digits of round(number * 10^decimals), halves away from zero.
std::string ScaledDigits(const DecimalDigits& number, int decimals) {
    const std::string& significant = number.significant;
    const int keep = number.exponent + 1 + decimals; // digits at places of 10^-decimals or more
    if (keep <= 0) return (keep == 0 && significant[0] >= '5') ? "1" : "0";
    if (keep >= static_cast<int>(significant.size())) {
        return significant + std::string(keep - significant.size(), '0');
    }
    std::string digits = significant.substr(0, keep);
    if (significant[keep] >= '5') {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i];
        }
    }
    return digits;
}

std::string GroupThousands(const std::string& digits) {
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

// One element of a number pattern.
struct PatternItem {
    enum class Kind { Literal, IntegerDigit, DecimalPoint, DecimalDigit };
    Kind kind;
    std::string_view literal; // for literals: a view into the pattern
};

// Calls visit with each element of the pattern in turn; a ',' among the
// integer digits asks for thousands groups (thousands is set) and is no
// element. The panels format hundreds of numbers a redraw, so the pattern is
// walked in place rather than copied into a list.
template <typename Visit>
void ForEachPatternItem(std::string_view pattern, bool& thousands, Visit&& visit) {
    bool afterPoint = false;
    bool seenIntegerDigit = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            visit(PatternItem{PatternItem::Kind::Literal, pattern.substr(++i, 1)}, c);
        } else if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t stop = close == std::string_view::npos ? pattern.size() : close;
            visit(PatternItem{PatternItem::Kind::Literal, pattern.substr(i + 1, stop - i - 1)}, c);
            i = stop;
        } else if ((c == '0' || c == '#') && !afterPoint) {
            visit(PatternItem{PatternItem::Kind::IntegerDigit, {}}, c);
            seenIntegerDigit = true;
        } else if (c == '0' || c == '#') {
            visit(PatternItem{PatternItem::Kind::DecimalDigit, {}}, c);
        } else if (c == '.' && !afterPoint) {
            visit(PatternItem{PatternItem::Kind::DecimalPoint, {}}, c);
            afterPoint = true;
        } else if (c == ',' && !afterPoint && seenIntegerDigit) {
            thousands = true;
        } else {
            visit(PatternItem{PatternItem::Kind::Literal, pattern.substr(i, 1)}, c);
        }
    }
}

struct NumberPattern {
    bool thousands = false;
    int minimumIntegerDigits = 0;
    int decimals = 0;
    int requiredDecimals = 0;
};

NumberPattern ParseNumberPattern(std::string_view pattern) {
    NumberPattern parsed;
    bool seenZero = false;
    ForEachPatternItem(pattern, parsed.thousands, [&](const PatternItem& item, char symbol) {
        if (item.kind == PatternItem::Kind::IntegerDigit) {
            seenZero = seenZero || symbol == '0';
            if (seenZero) ++parsed.minimumIntegerDigits;
        } else if (item.kind == PatternItem::Kind::DecimalDigit) {
            ++parsed.decimals;
            if (symbol == '0') parsed.requiredDecimals = parsed.decimals;
        }
    });
    return parsed;
}

const std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
const std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};

std::string TwoDigits(int value) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d", value);
    return buffer.data();
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
    }
    return true;
}

// How many times the character repeats from the position, at most limit.
std::size_t RunLength(std::string_view text, std::size_t at, std::size_t limit) {
    std::size_t n = 0;
    while (at + n < text.size() && n < limit && text[at + n] == text[at]) ++n;
    return n;
}

// A number by a pattern from its sign and its decimal digits (none for 0).
std::string FormatDigits(bool negative, const DecimalDigits& number, std::string_view pattern) {
    const NumberPattern parsed = ParseNumberPattern(pattern);
    std::string digits = number.significant.empty() ? "0" : ScaledDigits(number, parsed.decimals);
    if (static_cast<int>(digits.size()) <= parsed.decimals) {
        digits.insert(0, parsed.decimals + 1 - digits.size(), '0');
    }
    std::string integer = digits.substr(0, digits.size() - parsed.decimals);
    std::string fraction = digits.substr(digits.size() - parsed.decimals);
    integer.erase(0, integer.find_first_not_of('0'));
    if (static_cast<int>(integer.size()) < parsed.minimumIntegerDigits) {
        integer.insert(0, parsed.minimumIntegerDigits - integer.size(), '0');
    }
    if (parsed.thousands) integer = GroupThousands(integer);
    while (static_cast<int>(fraction.size()) > parsed.requiredDecimals && fraction.back() == '0') {
        fraction.pop_back();
    }

    std::string result = negative ? "-" : "";
    bool integerWritten = false;
    std::size_t fractionAt = 0;
    bool thousands = false;
    ForEachPatternItem(pattern, thousands, [&](const PatternItem& item, char) {
        switch (item.kind) {
        case PatternItem::Kind::Literal:
            result += item.literal;
            break;
        case PatternItem::Kind::IntegerDigit:
        case PatternItem::Kind::DecimalPoint:
            if (!integerWritten) result += integer;
            integerWritten = true;
            if (item.kind == PatternItem::Kind::DecimalPoint) result += '.';
            break;
        case PatternItem::Kind::DecimalDigit:
            if (fractionAt < fraction.size()) result += fraction[fractionAt++];
            break;
        }
    });
    return result;
}

// A pattern of required digits alone, with or without a point: "0", "0.0",
// "0.000", "00". The listing of the sounding formats hundreds of values a
// redraw by such patterns.
struct PlainDigits {
    int integerDigits = 0;
    int decimals = 0;
    bool point = false;
};

std::optional<PlainDigits> PlainDigitsPattern(std::string_view pattern) {
    PlainDigits plain;
    std::size_t i = 0;
    while (i < pattern.size() && pattern[i] == '0') ++i;
    plain.integerDigits = static_cast<int>(i);
    if (i < pattern.size() && pattern[i] == '.') {
        plain.point = true;
        ++i;
        while (i < pattern.size() && pattern[i] == '0') ++i;
        plain.decimals = static_cast<int>(i) - plain.integerDigits - 1;
    }
    if (i != pattern.size() || plain.integerDigits == 0) return std::nullopt;
    return plain;
}

// A finite single by a pattern of required digits, rounded as FormatDigits
// rounds its shortest decimal but without writing that decimal out. The
// single and its shortest decimal lie within half the single's last place of
// each other, so scaled by the decimals both round alike unless the scaled
// single lies that close to a half. Empty then, for other patterns and for
// values too large to scale exactly.
std::optional<std::string> PlainDigitsSingle(float value, std::string_view pattern) {
    const std::optional<PlainDigits> plain = PlainDigitsPattern(pattern);
    constexpr int kMostDecimals = 9;
    if (!plain || plain->decimals > kMostDecimals || plain->integerDigits > 20) return std::nullopt;
    static constexpr std::array<double, kMostDecimals + 1> kPowers = {1e0, 1e1, 1e2, 1e3, 1e4,
                                                                      1e5, 1e6, 1e7, 1e8, 1e9};
    const double scaled = std::abs(static_cast<double>(value)) * kPowers[plain->decimals];
    if (!(scaled < 1e15)) return std::nullopt;
    const double whole = std::floor(scaled);
    // The single's last place (2^-23 of it at most), scaled, with room for
    // the one rounding of the product.
    const double nearHalf = scaled * 0x1p-22 + 1e-9;
    if (std::abs(scaled - whole - 0.5) <= nearHalf) return std::nullopt;
    auto rounded = static_cast<std::uint64_t>(whole) + (scaled - whole > 0.5 ? 1 : 0);
    std::array<char, 48> text{};
    std::size_t end = text.size();
    for (int k = 0; k < plain->decimals; ++k) {
        text[--end] = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    if (plain->point) text[--end] = '.';
    for (int k = 0; rounded > 0 || k < plain->integerDigits; ++k) {
        text[--end] = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    if (value < 0.0f) text[--end] = '-';
    return std::string(text.data() + end, text.size() - end);
}

} // namespace

std::string Format(double value, std::string_view pattern) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
    const double magnitude = std::abs(value);
    return FormatDigits(value < 0.0,
                        magnitude == 0.0 ? DecimalDigits{} : SignificantDigits(magnitude), pattern);
}

std::string FormatSingle(float value, std::string_view pattern) {
    if (!std::isfinite(value)) return Format(static_cast<double>(value), pattern);
    if (const std::optional<std::string> plain = PlainDigitsSingle(value, pattern)) return *plain;
    const float magnitude = std::abs(value);
    return FormatDigits(value < 0.0f,
                        magnitude == 0.0f ? DecimalDigits{} : ShortestDigits(magnitude), pattern);
}

std::string Format(const DateTime& when, std::string_view pattern) {
    bool twelveHour = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        twelveHour = twelveHour || StartsWithNoCase(pattern, i, "a/p") ||
                     StartsWithNoCase(pattern, i, "am/pm");
    }
    const int hour24 = when.Hour();
    const int hour = twelveHour ? (hour24 % 12 == 0 ? 12 : hour24 % 12) : hour24;
    const bool afternoon = hour24 >= 12;

    std::string result;
    bool afterHour = false; // m and mm right after an hour are minutes
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (StartsWithNoCase(pattern, i, "am/pm")) {
            const bool upper = c == 'A';
            result += afternoon ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
            i += 5;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "a/p")) {
            const bool upper = c == 'A';
            result += afternoon ? (upper ? "P" : "p") : (upper ? "A" : "a");
            i += 3;
            continue;
        }
        if (c == '\\' && i + 1 < pattern.size()) {
            result += pattern[i + 1];
            i += 2;
            continue;
        }
        if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t stop = close == std::string_view::npos ? pattern.size() : close;
            result += pattern.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const std::size_t run = RunLength(pattern, i, lower == 'h' || lower == 'n' ? 2 : 4);
        bool wasHour = false;
        if (lower == 'd') {
            const int day = when.Day();
            if (run == 1) result += std::to_string(day);
            if (run == 2) result += TwoDigits(day);
            if (run == 3) result += std::string(kWeekdays[when.Weekday()]).substr(0, 3);
            if (run == 4) result += kWeekdays[when.Weekday()];
        } else if (lower == 'm' && run <= 2 && afterHour) {
            result += run == 1 ? std::to_string(when.Minute()) : TwoDigits(when.Minute());
        } else if (lower == 'm') {
            const int month = when.Month();
            if (run == 1) result += std::to_string(month);
            if (run == 2) result += TwoDigits(month);
            if (run == 3) result += std::string(kMonths[month - 1]).substr(0, 3);
            if (run == 4) result += kMonths[month - 1];
        } else if (lower == 'y' && (run == 2 || run == 4)) {
            result += run == 2 ? TwoDigits(when.Year() % 100) : std::to_string(when.Year());
        } else if (lower == 'h') {
            result += run == 1 ? std::to_string(hour) : TwoDigits(hour);
            wasHour = true;
        } else if (lower == 'n') {
            result += run == 1 ? std::to_string(when.Minute()) : TwoDigits(when.Minute());
        } else {
            result += c;
            i += 1;
            continue; // literals keep an hour's claim on a following m
        }
        afterHour = wasHour;
        i += run;
    }
    return result;
}

namespace {

// A text right-aligned in a field; a wider one whole, none for no field.
std::string RightAligned(std::string text, int width) {
    if (width <= 0) return {};
    const auto field = static_cast<std::size_t>(width);
    if (text.size() < field) text.insert(0, field - text.size(), ' ');
    return text;
}

} // namespace

std::string FormatRight(double value, std::string_view pattern, int width) {
    return RightAligned(Format(value, pattern), width);
}

std::string FormatRightSingle(float value, std::string_view pattern, int width) {
    return RightAligned(FormatSingle(value, pattern), width);
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

} // namespace tarvex
