#include "compute/StormMatrix.h"

#include "compute/ComputeState.h"
#include "compute/MatrixProfiles.h"
#include "compute/ProfileBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::SoundingLevel;

using test::Loop;
using test::MatrixSounding;
using test::Wind;

constexpr int kModel = test::kMatrixModel;

TEST(StormMatrix, EveryBranchOfTheDecision) {
    struct Case {
        std::vector<Wind> low, aloft;
        MatrixBranch branch;
        char cell;
    };
    const std::vector<Wind> calm = {{0, 0}};
    const std::vector<Wind> straightUp = {{0, 0}, {0, 2}, {0, 4}, {0, 6}, {0, 8}, {0, 10}};
    const std::vector<Case> cases = {
        // No change of wind: no shear whatever else.
        {{{5, 5}}, calm, MatrixBranch::NoShear, 'A'},
        // Straight hodographs 1 and 1.5 m/s a level: 10 and exactly 15 m/s.
        {{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}},
         {{5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}, {10, 0}},
         MatrixBranch::StraightLow,
         'B'},
        {{{0, 0}, {1.5f, 0}, {3, 0}, {4.5f, 0}, {6, 0}, {7.5f, 0}},
         {{7.5f, 0}, {9, 0}, {10.5f, 0}, {12, 0}, {13.5f, 0}, {15, 0}},
         MatrixBranch::StraightLow,
         'C'},
        // Backing loop, helicity -200.
        {Loop(10, false), calm, MatrixBranch::TurningLeft, 'J'},
        // Veering loops under calm air aloft: 0-2.5 km lengths 20 and 40.
        {Loop(5, true), calm, MatrixBranch::CalmAloft, 'O'},
        {Loop(10, true), calm, MatrixBranch::CalmAloft, 'P'},
        // Veering loop under a straight 10 m/s aloft: 0-7.5 km length 50.
        {Loop(10, true), straightUp, MatrixBranch::StraightAloft, 'H'},
        // Veering loops low and aloft: 0-5 km length 40.
        {Loop(5, true), Loop(5, true), MatrixBranch::CurvedThroughout, 'M'},
    };
    for (const Case& c : cases) {
        const auto store = MatrixSounding(c.low, c.aloft);
        const MatrixDecision d = DecideMatrixCell(*store, 0);
        EXPECT_EQ(d.Branch, c.branch) << c.cell;
        EXPECT_EQ(d.Cell, c.cell);
        EXPECT_EQ(SelectMatrixCell(*store, 0)[0], c.cell);
    }
    EXPECT_EQ(SelectMatrixCell(*MatrixSounding(Loop(10, false), calm), 0), "Jl13t41m11d16");
}

// Each bound just below and at (or just past) its value; a bound belongs to
// the class above it. A closed loop, up b, across c, back down and across,
// turns through 2 b c against any mean wind (backing: -2 b c) over the length
// 2 b + 2 c; runs straight out from calm air turn through nothing.
TEST(StormMatrix, EachThresholdOnBothSidesOfItsBound) {
    std::string cells;
    const auto cell = [&](const std::vector<Wind>& low, const std::vector<Wind>& aloft = {}) {
        cells += DecideMatrixCell(*MatrixSounding(low, aloft), 0).Cell;
    };
    const auto loop = [](float b, float c) {
        return std::vector<Wind>{{0, 0}, {0, b}, {c, b}, {c, 0}, {0, 0}, {0, 0}};
    };
    for (float s : {4.9f, 5.0f, 14.9f, 15.0f, 24.9f, 25.0f, 37.4f, 37.5f}) cell({{0, 0}, {s, 0}});
    // Helicity 34.9 and 35.1 (lengths 16.98 and 17.02), then -34.9 and -35.1.
    cell(loop(5, 3.49f));
    cell(loop(5, 3.51f));
    for (float c : {3.49f, 3.51f}) cell({{0, 0}, {5, 0}, {5, c}, {0, c}, {0, 0}, {0, 0}});
    // Under calm air, 0-2.5 km lengths 14.9 to 25 (open turns, helicity over 35).
    for (float s : {14.9f, 15.0f, 24.9f, 25.0f}) cell({{0, 0}, {0, s / 2}, {s / 2, s / 2}});
    // Over a loop of helicity 36.125 and length 17: 2.5-5 km lengths 7.4 and
    // 7.5, then 0-7.5 km lengths 24.9 to 52.5.
    for (float v : {7.4f, 7.5f, 7.9f, 8.0f, 20.4f, 20.5f, 35.4f, 35.5f})
        cell(Loop(4.25f, true), {{0, 0}, {0, v}});
    // Loops aloft: helicity 34.9 and 35.1, then 0-5 km lengths 37.4 and 37.5.
    for (float c : {3.49f, 3.51f, 5.2f, 5.25f}) cell(Loop(4.25f, true), loop(5, c));
    EXPECT_EQ(cells, std::string("ABBCCDDE") + "COCJ" + "NOOP" + "OFFGGHHI" + "GLLM");

    // The 0-5 km length bound between K and L with both layers turning 35 or
    // more: a closed loop turns too little for its length, so each layer
    // dwells at one wind (which pulls its mean wind there) and sweeps an arc
    // about it. The shape is 49.52 long and turns 139 in each layer; scaled
    // to a length s it turns 139 (s / 49.52)^2, 35.1 at 24.9 and 35.4 at 25.
    const std::vector<Wind> shape = {{0, 0},          {0, 0},         {-0.27f, 0.42f},
                                     {0.35f, 7.36f},  {9.87f, 10.0f}, {14.46f, 4.15f},
                                     {7.12f, 2.38f},  {1.06f, 9.74f}, {4.42f, 16.53f},
                                     {4.49f, 16.57f}, {4.49f, 16.57f}};
    std::string curved;
    for (float s : {24.9f, 25.0f}) {
        std::vector<Wind> low, aloft;
        for (std::size_t k = 0; k < shape.size(); ++k) {
            const Wind w{shape[k].first * s / 49.52f, shape[k].second * s / 49.52f};
            if (k <= 5) low.push_back(w);
            if (k >= 5) aloft.push_back(w);
        }
        const MatrixDecision d = DecideMatrixCell(*MatrixSounding(low, aloft), 0);
        EXPECT_EQ(d.Branch, MatrixBranch::CurvedThroughout) << s;
        EXPECT_NEAR(d.S05, s, 0.005f);
        EXPECT_NEAR(d.H025, 139.0f * (s / 49.52f) * (s / 49.52f), 0.1f);
        EXPECT_NEAR(d.H255, 139.0f * (s / 49.52f) * (s / 49.52f), 0.1f);
        curved += d.Cell;
    }
    EXPECT_EQ(curved, "KL");
}

TEST(StormMatrix, LayerLengthAndHelicity) {
    const auto store = MatrixSounding(Loop(5, true), Loop(5, true));
    EXPECT_FLOAT_EQ(MakeHodographLength(*store, 0, 0.0f, 2.5f), 20.0f);
    EXPECT_FLOAT_EQ(MakeHodographLength(*store, 0, 0.0f, 5.0f), 40.0f);
    EXPECT_NEAR(MakeLayerHelicity(*store, 0, 0.0f, 2.5f), 50.0f, 1e-3);
    EXPECT_NEAR(MakeLayerHelicity(*store, 0, 2.5f, 5.0f), 50.0f, 1e-3);
    const auto backing = MatrixSounding(Loop(10, false));
    EXPECT_NEAR(MakeLayerHelicity(*backing, 0, 0.0f, 2.5f), -200.0f, 1e-3);
    // Layers with no depth: bounds the wrong way round, or a top above the
    // sounding (no level near 20 km).
    EXPECT_EQ(MakeLayerHelicity(*store, 0, 5.0f, 0.0f), 0.0f);
    EXPECT_EQ(MakeHodographLength(*store, 0, 5.0f, 0.0f), 0.0f);
    EXPECT_EQ(MakeLayerHelicity(*store, 0, 2.5f, 20.0f), 0.0f);
    EXPECT_EQ(MakeLayerHelicity(*store, 0, 7.5f, 5.0f), 0.0f);
}

// The entry of a veering-loop hour (cell P) at several CAPEs; LFC 900 mb and
// EQL 700 mb take levels 4 to 7 (865 to 730 mb).
TEST(StormMatrix, EntryClassLabelAndPages) {
    const auto store = MatrixSounding(Loop(10, true));
    ProfileArrays& s = *store;
    s.LFCPressure(kModel, 0) = 900.0f;
    s.EQLPressure(kModel, 0) = 700.0f;
    for (int L = 4; L <= 7; ++L) s.DewPoint(kModel, 0, L) = 20.0f - 2.0f * L; // depressions 8..14
    StormMatrixResults matrix;
    const std::string sep(1, std::filesystem::path::preferred_separator);
    auto entry = [&](float cape) {
        s.CAPE(kModel, 0) = cape;
        MakeMatrixEntry(s, 0, "Q", matrix);
        EXPECT_EQ(matrix.MatrixEntryReady(kModel, 0), kFlagTrue);
        return matrix.MatrixCellCode(kModel, 0);
    };
    EXPECT_EQ(entry(299.0f), "-");
    EXPECT_EQ(matrix.MatrixPageName(kModel, 0), "Q" + sep + "velno" + sep + "storm_matrix" + sep +
                                                    "training" + sep + "media" + sep + "flash" +
                                                    sep + "P_1");
    EXPECT_EQ(entry(300.0f) + entry(1770.9f), "P1P1");
    EXPECT_EQ(entry(1771.0f) + entry(2710.9f), "P2P2");
    EXPECT_EQ(entry(2711.0f), "P3"); // mean depression 11
    EXPECT_FLOAT_EQ(matrix.MatrixMeanDPD(kModel, 0), 11.0f);
    for (int L = 4; L <= 7; ++L) s.DewPoint(kModel, 0, L) = 5.1f; // depression 14.9
    EXPECT_EQ(entry(3000.0f), "P3");
    for (int L = 4; L <= 7; ++L) s.DewPoint(kModel, 0, L) = 5.0f; // depression 15
    EXPECT_EQ(entry(3000.0f), "P4");
    // No level above the LFC up to the EQL: the moisture is unknown.
    s.EQLPressure(kModel, 0) = 900.0f;
    EXPECT_EQ(entry(3000.0f), "P?");
    EXPECT_EQ(matrix.MatrixDPDKnown(kModel, 0), kFlagFalse);

    for (const char* code : {"P1", "P3", "F1", "A2", "E4"}) EXPECT_TRUE(MatrixHasPages(code));
    for (const char* code : {"-", "A1", "E3", "P?"}) EXPECT_FALSE(MatrixHasPages(code)) << code;
}

} // namespace
} // namespace tarvex
