#include "files/PrintZones.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace tarvex {

std::string PrintForm(double value) {
    if (std::isnan(value)) return "NaN ";
    if (std::isinf(value)) return value > 0 ? " Inf " : "-Inf ";
    if (value == 0.0) return " 0 ";
    // As "%.7G" writes it, but never with the locale's decimal comma.
    std::array<char, 40> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::general, 7);
    std::string digits(buffer.data(), written.ptr);
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool negative = digits[0] == '-';
    if (negative) digits.erase(0, 1);
    if (digits.rfind("0.", 0) == 0) digits.erase(0, 1);
    return (negative ? "-" : " ") + digits + " ";
}

PrintZoneLine& PrintZoneLine::Item(std::string_view text) {
    if (!first_) {
        const std::size_t column = text_.size();
        const std::size_t next = (column / kZoneWidth + 1) * kZoneWidth;
        text_.append(next - column, ' ');
    }
    first_ = false;
    text_ += text;
    return *this;
}

} // namespace tarvex
