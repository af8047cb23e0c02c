#include "platform/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tarvex {
namespace {

struct NumberCase {
    double value;
    const char* pattern;
    const char* expected;
};

void ExpectFormats(std::initializer_list<NumberCase> cases) {
    for (const NumberCase& c : cases) {
        EXPECT_EQ(Format(c.value, c.pattern), c.expected)
            << "Format(" << c.value << ", \"" << c.pattern << "\")";
    }
}

TEST(PrintForm, BlankForTheSignShortestDigitsAndATrailingBlank) {
    EXPECT_EQ(PrintForm(12), " 12 ");
    EXPECT_EQ(PrintForm(0.25), " .25 ");
    EXPECT_EQ(PrintForm(-0.5), "-.5 ");
    EXPECT_EQ(PrintForm(-3), "-3 ");
    EXPECT_EQ(PrintForm(0), " 0 ");
    EXPECT_EQ(PrintForm(-0.0), " 0 ");
    EXPECT_EQ(PrintForm(1234.5), " 1234.5 ");
    EXPECT_EQ(PrintForm(12.34f), " 12.34 "); // a single's noise stays beyond 7 digits
    EXPECT_EQ(PrintForm(1.0 / 3.0), " .3333333 ");
    EXPECT_EQ(PrintForm(-2.0 / 3.0), "-.6666667 ");
    EXPECT_EQ(PrintForm(1000000), " 1000000 ");
    EXPECT_EQ(PrintForm(12345678), " 1.234568E+07 ");
    EXPECT_EQ(PrintForm(0.0001), " .0001 ");
    EXPECT_EQ(PrintForm(0.00001), " 1E-05 ");
}

TEST(FormatNumber, WholeNumbersRoundHalvesAwayFromZero) {
    ExpectFormats({
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {1234.56, "0", "1235"},
        {7.5, "#0", "8"},
        {0, "#0", "0"},
        {5.5, "##0", "6"},
        {-0.5, "##0", "-1"},
        {1234.4, "##0", "1234"},
        {7, "000", "007"},
        {1234, "000", "1234"},
        {5, "00", "05"},
        {12, "##", "12"},
        {1e20, "0", "100000000000000000000"},
    });
}

TEST(FormatNumber, DecimalsAndTheFirstFifteenDigits) {
    ExpectFormats({
        {12.25, "0.0", "12.3"},
        {3, "0.0", "3.0"},
        {0.05, "0.0", "0.1"},    // 0.05000000000000000277
        {2.45, "0.0", "2.5"},    // 2.4500000000000001776
        {2.675, "0.00", "2.68"}, // 2.67499999999999982236
        {0.2435, "0.000", "0.244"},
        {0.005, "0.00", "0.01"},
        {9.96, "0.0", "10.0"},
        {12.34, "#0.0", "12.3"},
        {3.14, "  #0.0", "  3.1"},
    });
}

// A single rounds as the decimal it was read from, whichever side of it the
// nearest binary value lies (-8.15f is -8.1499996, -1.45f is -1.4500000477).
TEST(FormatNumber, SinglesRoundFromTheirShortestDecimal) {
    EXPECT_EQ(Format(-8.15f, "0.0"), "-8.2");
    EXPECT_EQ(Format(-1.45f, "0.0"), "-1.5");
    EXPECT_EQ(Format(0.15f, "0.0"), "0.2");
    EXPECT_EQ(Format(21.65f, "0.0"), "21.7");
    EXPECT_EQ(Format(2.675f, "0.00"), "2.68");
    EXPECT_EQ(Format(1.0f / 3.0f, "0.000000"), "0.333333");
    EXPECT_EQ(Format(1e-3f, "0.00"), "0.00");
    EXPECT_EQ(Format(-0.04f, "0.0"), "-0.0");
    EXPECT_EQ(Format(0.0f, "#,##0.0"), "0.0");
    EXPECT_EQ(Format(123456.7f, "#,##0"), "123,457");
    EXPECT_EQ(Format(std::numeric_limits<float>::quiet_NaN(), "0.0"), "NaN");
    EXPECT_EQ(FormatRight(-8.15f, "0.0", 7), "   -8.2");
    // A double keeps its own digits.
    EXPECT_EQ(Format(static_cast<double>(-8.15f), "0.0"), "-8.1");
}

// Patterns of required digits alone ("0", "0.0", "0.000", as the sounding's
// listing has them) take a way of their own; a pattern with an empty quoted
// literal ("0.0\"\"") writes the same text the general way. Both agree on
// the singles on either side of every half of the last digit, the half
// itself as the nearest single gives it, and on singles of every size.
TEST(FormatNumber, SinglesByRequiredDigitsAsByAnyPattern) {
    const std::vector<std::string> patterns = {"0", "0.0", "0.00", "0.000", "00", "000.0"};
    const auto expectSame = [&](float value) {
        for (const std::string& pattern : patterns) {
            ASSERT_EQ(Format(value, pattern), Format(value, pattern + "\"\""))
                << "Format(" << std::setprecision(9) << value << "f, \"" << pattern << "\")";
        }
    };
    for (int decimals = 0; decimals <= 3; ++decimals) {
        const double unit = std::pow(10.0, -decimals);
        std::vector<double> wholes;
        for (int k = 0; k <= 1100; ++k) wholes.push_back(k);
        for (double k = 1100; k < 1e9; k *= 1.37) wholes.push_back(std::floor(k));
        for (const double k : wholes) {
            const auto half = static_cast<float>((k + 0.5) * unit);
            float down = half;
            float up = half;
            for (int step = 0; step < 4; ++step) {
                for (const float value : {down, -down, up, -up}) expectSame(value);
                down = std::nextafter(down, 0.0f);
                up = std::nextafter(up, std::numeric_limits<float>::max());
            }
        }
    }
    std::mt19937 bits(20261211);
    std::uniform_real_distribution<float> exponent(-7.0f, 10.0f);
    std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
    for (int k = 0; k < 5000; ++k) {
        const float value = mantissa(bits) * std::pow(10.0f, std::floor(exponent(bits)));
        expectSame(value);
        expectSame(-value);
    }
    for (const float value :
         {0.0f, -0.0f, 0.5f, -0.5f, 0.05f, 0.0005f, 8.15f, -8.15f, 2.675f, 99.95f, 999.95f, 1e15f,
          3e20f, std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min()})
        expectSame(value);
}

TEST(FormatNumber, OptionalDigitsLeaveNoLeadingZero) {
    ExpectFormats({
        {0.256, ".00", ".26"},
        {1.5, ".00", "1.50"},
        {0.25, ".000", ".250"},
        {0.5, ".0", ".5"},
        {0.5, "#.0mb ", ".5mb "},
        {1013.25, "#.0mb ", "1013.3mb "},
        {1456.5, "#m", "1457m"},
        {0.2, "#m", "m"},
        {0.04, "#.0km", ".0km"},
        {12.34, "0.#", "12.3"},
        {12, "0.#", "12."}, // the point stays, as in the classic format
    });
}

TEST(FormatNumber, ThousandsSeparators) {
    ExpectFormats({
        {1234567.5, "#,##0", "1,234,568"},
        {999.5, "#,##0", "1,000"},
        {0, "#,##0", "0"},
        {-4321, "#,##0", "-4,321"},
        {12345.67, "#,##0.0", "12,345.7"},
        {9843.2, "#,###", "9,843"},
        {0, "#,###", ""},
        {123456, "##,##0", "123,456"},
        {1200, "#,##0'", "1,200'"},
    });
}

TEST(FormatNumber, LiteralsAndSigns) {
    ExpectFormats({
        {12.5, "##°", "13°"},
        {-12.5, "##°", "-13°"},
        {0.3, "##°", "°"},
        {-0.3, "##°", "-°"},
        {-0.04, "0.0", "-0.0"},
        {3, "##Km", "3Km"},
        {12, "##K", "12K"},
        {850, "0 mb", "850 mb"},
        {-3.25, "0.0 >", "-3.3 >"},
        {500, "###mb", "500mb"},
        {1200, "###'", "1200'"},
        {2.5, "0.0°C", "2.5°C"},
        {4, "0 m/s/km)", "4 m/s/km)"},
        {2.45, "0.0 m/s /km", "2.5 m/s /km"},
        {5, "0\\#", "5#"},
        {5, "\"#\"0", "#5"},
    });
}

TEST(FormatDate, PatternsOfTheTimeLabels) {
    const DateTime morning = DateTime::FromParts(2021, 8, 10, 6, 0); // a Tuesday
    EXPECT_EQ(Format(morning, "mm/dd/yy     h"), "08/10/21     6");
    EXPECT_EQ(Format(morning, "hhz"), "06z");
    EXPECT_EQ(Format(morning, "dddd   mmm d  h:00 am/pm"), "Tuesday   Aug 10  6:00 am");
    EXPECT_EQ(Format(morning.AddHours(12), "dddd   mmm d  h:00 am/pm"),
              "Tuesday   Aug 10  6:00 pm");
    EXPECT_EQ(Format(morning.AddHours(12), "ddd ha/p"), "Tue 6p");
    EXPECT_EQ(Format(morning.AddHours(-6), "h am/pm  mmm d"), "12 am  Aug 10");
    EXPECT_EQ(Format(morning.AddHours(6), "h am/pm  mmm d"), "12 pm  Aug 10");
    EXPECT_EQ(Format(morning.AddHours(-7), "h AM/PM mmmm d yyyy"), "11 PM August 9 2021");

    const DateTime january = DateTime::FromParts(2021, 1, 5, 13, 7);
    EXPECT_EQ(Format(january, "h am/pm  mmm d"), "1 pm  Jan 5");
    EXPECT_EQ(Format(january, "hh:mm"), "13:07"); // m after an hour is minutes
    EXPECT_EQ(Format(january, "yyyy-mm-dd"), "2021-01-05");
    EXPECT_EQ(Format(january, "hhz"), "13z");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.4999), 1.0);
    EXPECT_EQ(RoundHalfEven(-1.6), -2.0);
}

} // namespace
} // namespace tarvex
