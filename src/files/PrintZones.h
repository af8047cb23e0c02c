#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvex {

// A number as the print statement writes it on a picture or in a text file:
// a blank before a number that is not negative ("-" before a negative one),
// the shortest form with up to 7 significant digits (no trailing zeros, no
// zero before the decimal point, exponent form below 1E-04 and from 1E+07),
// and one blank after it: " 12 ", " .25 ", "-.5 ". The decimal point is "."
// whatever the locale.
std::string PrintForm(double value);

// One line of a sequential text file as the print statement writes it: each
// item after the first starts at the next print zone after the column where
// the line stands (zones are 14 columns wide and begin at columns 1, 15, 29,
// ...), the gap filled with blanks.
class PrintZoneLine {
  public:
    static constexpr std::size_t kZoneWidth = 14;

    PrintZoneLine& Item(std::string_view text);
    // The print form of a value.
    PrintZoneLine& Number(double value) { return Item(PrintForm(value)); }
    // Leaves a zone empty.
    PrintZoneLine& Empty() { return Item(""); }
    // The line with its CR LF ending.
    std::string Text() const { return text_ + "\r\n"; }

  private:
    std::string text_;
    bool first_ = true;
};

} // namespace tarvex
