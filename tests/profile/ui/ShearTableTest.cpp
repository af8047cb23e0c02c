#include "profile/ui/ShearTable.h"
#include "compute/ProfileBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

// Zone 1 of a row, then the seven numbers in zones 2 to 8.
std::string Row(const std::string& lead, const std::vector<std::string>& numbers) {
    std::string line = lead;
    for (const std::string& number : numbers) {
        line.resize((line.size() / 14 + 1) * 14, ' ');
        line += number;
    }
    return line + "\r\n";
}

TEST(ShearTable, ThreeBlocksOfEveryFirstSecondAndThirdLevel) {
    auto store = test::NewStore();
    // Ground at 990 mb: the 1000 mb level lies below it. Winds (m/s): calm,
    // (3, 4), (6, 8), (6, 0).
    test::OneTimeProfile profile;
    profile.SurfacePressure = 990.0f;
    profile.Levels = {{1000.0f, 100.0f, 0, 0, 0.0f, 0.0f},
                      {850.0f, 1500.0f, 0, 0, 3.0f, 4.0f},
                      {700.0f, 3000.0f, 0, 0, 6.0f, 8.0f},
                      {500.0f, 5600.0f, 0, 0, 6.0f, 0.0f}};
    test::WriteProfile(*store, profile, 0);
    const int m = store->CurrentModel;
    const float directions[] = {0.0f, 216.5f, 217.0f, 270.0f};
    const float speeds[] = {0.0f, 10.0f, 19.5f, 12.0f};
    for (int L = 1; L <= 4; ++L) {
        store->WindDirection(m, 0, L) = directions[L - 1];
        store->WindSpeed(m, 0, L) = speeds[L - 1];
    }

    // Standard-atmosphere heights: 990 mb 638 ft, 1000 mb 362 ft, 850 mb
    // 4769 ft, 700 mb 9860 ft, 500 mb 18249 ft; above ground in km they are
    // -0.08, 1.26, 2.81 and 5.37.
    const std::string label = std::string(84, ' ') + "Total" + std::string(9, ' ') + "Top-Base\r\n";
    const std::string header = Row("  AGL(km)", {"Dir", "Speed(k)", "U(m/s)", "V(m/s)",
                                                 "Shear(m/s)", "Shear(m/s)", "Shear(m/s)"});
    const std::string first = Row("01-  0.1", {" 0 ", " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", " 0 "});
    const std::string expected =
        label + header + first +
        Row("02  1.3", {" 216.5 ", " 10 ", " 3 ", " 4 ", " 5 ", " 5 ", " 5 "}) +
        Row("03  2.8", {" 217 ", " 19.5 ", " 6 ", " 8 ", " 5 ", " 10 ", " 10 "}) +
        Row("04  5.4", {" 270 ", " 12 ", " 6 ", " 0 ", " 8 ", " 18 ", " 6 "}) + label + header +
        first + Row("03  2.8", {" 217 ", " 19.5 ", " 6 ", " 8 ", " 10 ", " 10 ", " 10 "}) + label +
        header + first + Row("04  5.4", {" 270 ", " 12 ", " 6 ", " 0 ", " 6 ", " 6 ", " 6 "});
    EXPECT_EQ(FormatShearTable(*store, 0), expected);

    // Without levels only the titles are left.
    store->LevelCount(m) = 0;
    EXPECT_EQ(FormatShearTable(*store, 0), label + header + label + header + label + header);
}

} // namespace
} // namespace tarvex
