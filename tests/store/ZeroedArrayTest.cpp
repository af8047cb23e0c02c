#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvex {
namespace {

// An array moved from holds nothing and says so; it takes values again by
// copy or move, and copies keep their values apart.
TEST(ZeroedArray, MovedFromIsEmptyAndTakesValuesAgain) {
    ZeroedArray<float> a(4);
    a[2] = 1.5f;
    ZeroedArray<float> b(std::move(a));
    EXPECT_EQ(a.size(), 0u); // NOLINT(bugprone-use-after-move): the state moved from
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b[2], 1.5f);
    EXPECT_EQ(b[3], 0.0f);

    a = b; // into the emptied array
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[2], 1.5f);
    a[2] = 2.5f;
    EXPECT_EQ(b[2], 1.5f);

    ZeroedArray<float> c(4);
    c = std::move(a);
    EXPECT_EQ(a.size(), 0u); // NOLINT(bugprone-use-after-move)
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[2], 2.5f);

    const ZeroedArray<float> copyOfEmpty(a);
    EXPECT_EQ(copyOfEmpty.size(), 0u);
    b = copyOfEmpty; // a differing size takes the other's
    EXPECT_EQ(b.size(), 0u);
}

} // namespace
} // namespace tarvex
