#include "platform/Format.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(FormatRight, AlignsInItsFieldAndNeverCutsAWideValue) {
    EXPECT_EQ(FormatRight(0.25, "0.000", 7), "  0.250");
    EXPECT_EQ(FormatRight(-12.26, "0.0", 7), "  -12.3");
    EXPECT_EQ(FormatRight(1000.4, "0 ", 5), "1000 ");   // fills the field exactly
    EXPECT_EQ(FormatRight(12.5, "0.000", 5), "12.500"); // wider: whole, not "2.500"
    EXPECT_EQ(FormatRight(15230.0, "#,##0'", 12), "     15,230'");
    EXPECT_EQ(FormatRight(3.0, "0", 0), "");
}

} // namespace
} // namespace tarvex
