#include "profile/diagnostics/LapseRates.h"
#include "compute/Levels.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace tarvex {
namespace {

std::pair<std::string, Rgb> Text(const std::string& text, Rgb color) {
    return {text, color};
}

// Surface 1013 mb; levels every 50 mb from 1000 to 600 mb whose layers have
// these lapse rates (deg C/km over the standard-atmosphere depth): 7.96 and
// 6.96 just above the red and yellow bounds (7.95, 6.95), isothermal, an
// inversion of -12.34, 7.94 and 6.94 just below them, then 6.5 above.
class LapseTable : public ::testing::Test {
  protected:
    void SetUp() override {
        ProfileArrays& s = *session_.profile;
        const int m = s.CurrentModel;
        const float rates[] = {7.96f, 6.96f, 0.0f, -12.34f, 7.94f, 6.94f, 6.5f, 6.5f};
        s.LevelCount(m) = 9;
        s.SurfacePressure(m, 0) = 1013.0f;
        float t = 20.0f;
        for (int k = 1; k <= 9; ++k) {
            const float p = 1050.0f - 50.0f * k;
            if (k > 1) {
                const float km = (StdHeightMeters(p) - StdHeightMeters(p + 50.0f)) / 1000.0f;
                t -= rates[k - 2] * km;
            }
            s.Pressure(m, 0, k) = p;
            s.Temperature(m, 0, k) = t;
        }
        session_.config.LapseTopPressure = "700";
    }

    // Cell texts and colours by (column, row) pressure; labels apart.
    void Draw() {
        pic_.ForgetOperations();
        PrintLapseRates(pic_, session_, 0);
        cells_.clear();
        texts_.clear();
        for (const DrawOperation& op : pic_.OperationsOf(DrawOperation::Kind::Text)) {
            texts_.push_back(op.text);
            const double column = op.x1 + 5.0;
            if (std::fmod(column, 50.0) == 0.0)
                cells_[{static_cast<int>(column), static_cast<int>(op.y1)}] = {op.text, op.color};
        }
    }

    std::pair<std::string, Rgb> Cell(int column, int row) { return cells_[{column, row}]; }

    Session session_;
    RecordingSurface pic_{440, 300};
    std::vector<std::string> texts_;
    std::map<std::pair<int, int>, std::pair<std::string, Rgb>> cells_;
};

TEST_F(LapseTable, TriangleOfColouredLayers) {
    Draw();
    // p0 = 1000: x from 1050 to 700, y from 650 down to 1050.
    EXPECT_EQ(pic_.CurrentScale(), (UserScale{1050, 650, -350, 400}));
    EXPECT_EQ(texts_[0], "Lapse Rate \u00B0C/km");
    // Six column labels 1000..750, six row labels 950..700, 21 cells.
    EXPECT_EQ(texts_[1], " 1000 ");
    EXPECT_EQ(texts_[6], " 750 ");
    EXPECT_EQ(texts_[12], " 700 ");
    EXPECT_EQ(texts_.size(), 1u + 6u + 6u + 21u);
    EXPECT_EQ(Cell(1000, 950), Text(" 8.0", kRed));
    EXPECT_EQ(Cell(950, 900), Text(" 7.0", kYellow));
    EXPECT_EQ(Cell(900, 850), Text(" 0.0", kGreen));
    EXPECT_EQ(Cell(850, 800), Text("-12.3", kGreen)); // whole
    EXPECT_EQ(Cell(800, 750), Text(" 7.9", kYellow));
    EXPECT_EQ(Cell(750, 700), Text(" 6.9", kGreen));
    EXPECT_EQ(cells_.count({700, 650}), 0u);
    // Over 1000..900 mb the two layers average by depth (0.428 and 0.447
    // km): 7.45.
    EXPECT_EQ(Cell(1000, 900), Text(" 7.4", kYellow));
}

TEST_F(LapseTable, OnlyTheTitleWithoutAUsableTop) {
    for (const char* top : {"", "abc", "0", "-300", "1013", "1100"}) {
        session_.config.LapseTopPressure = top;
        Draw();
        EXPECT_EQ(texts_.size(), 1u) << top;
        EXPECT_NE(pic_.ScaleWidth(), 0.0) << top;
        EXPECT_TRUE(std::isfinite(pic_.ScaleLeft()) && std::isfinite(pic_.ScaleTop())) << top;
    }
    session_.config.LapseTopPressure = "950"; // one cell
    Draw();
    EXPECT_EQ(cells_.size(), 1u);
    session_.profile->LevelCount(session_.profile->CurrentModel) = 0;
    session_.config.LapseTopPressure = "700";
    Draw();
    EXPECT_EQ(texts_.size(), 1u);
}

} // namespace
} // namespace tarvex
