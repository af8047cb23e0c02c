#pragma once

#include "files/PrintZones.h" // PrintForm
#include "store/DateTime.h"

#include <concepts>
#include <string>
#include <string_view>

namespace tarvex {

// A number by a picture pattern: 0 a required digit, # an optional one, "."
// the decimal point (always written when the pattern has one), "," between
// integer digits groups thousands, \x and "..." are literal, every other
// character is copied. Halves round away from zero on the value's first 15
// significant digits. A negative value starts with "-" even when it rounds to
// zero, as the classic format does.
std::string Format(double value, std::string_view pattern);

// A single-precision value (as the sounding files give them and the store
// keeps them) by a picture pattern, rounded from its shortest decimal form:
// the file's 8.15 rounds as the decimal 8.15 does, not as the nearest binary
// single 8.1499996, so equal decimals round alike. Format and FormatRight
// take this path for every float.
std::string FormatSingle(float value, std::string_view pattern);
template <std::same_as<float> Single> std::string Format(Single value, std::string_view pattern) {
    return FormatSingle(value, pattern);
}

// A number by a picture pattern, right-aligned in a field of the given width
// so that columns of figures line up. A text wider than its field is returned
// whole (the columns shift) rather than cut into a different number; a width
// of 0 or less gives an empty text.
std::string FormatRight(double value, std::string_view pattern, int width);
std::string FormatRightSingle(float value, std::string_view pattern, int width);
template <std::same_as<float> Single>
std::string FormatRight(Single value, std::string_view pattern, int width) {
    return FormatRightSingle(value, pattern, width);
}

// A date and time by a pattern of d, dd, ddd, dddd (weekday names), m, mm,
// mmm, mmmm (month; m and mm right after an hour are minutes), yy, yyyy, h,
// hh, n, nn (minutes), and am/pm, AM/PM, a/p, A/P (which make the hours run
// 1 to 12); every other character is copied.
std::string Format(const DateTime& when, std::string_view pattern);

// The nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

} // namespace tarvex
