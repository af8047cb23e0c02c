#include "compute/StormMatrix.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ProfileInterp.h"

#include <cmath>
#include <filesystem>

namespace tarvex {

namespace {

struct LayerLevels {
    int lower = 0;
    int upper = 0;
};

LayerLevels Layer(const ProfileArrays& store, std::int16_t t, float lower, float upper) {
    return {FindHeightLevel(store, t, lower), FindHeightLevel(store, t, upper)};
}

} // namespace

float MakeHodographLength(const ProfileArrays& store, std::int16_t t, float lower, float upper) {
    const int m = store.CurrentModel;
    const LayerLevels L = Layer(store, t, lower, upper);
    float sum = 0.0f;
    for (int i = L.lower + 1; i <= L.upper; ++i) {
        const double du =
            static_cast<double>(store.WindU.Level(m, t, i)) - store.WindU.Level(m, t, i - 1);
        const double dv =
            static_cast<double>(store.WindV.Level(m, t, i)) - store.WindV.Level(m, t, i - 1);
        sum += static_cast<float>(std::sqrt(du * du + dv * dv));
    }
    return sum;
}

float MakeLayerHelicity(const ProfileArrays& store, std::int16_t t, float lower, float upper) {
    const int m = store.CurrentModel;
    const LayerLevels L = Layer(store, t, lower, upper);
    // A layer without depth (its upper level not above its lower one, or no
    // level near the upper height) turns the wind through nothing.
    if (L.upper <= L.lower) return 0.0f;
    float sumU = 0.0f;
    float sumV = 0.0f;
    for (int i = L.lower; i <= L.upper; ++i) {
        sumU += store.WindU.Level(m, t, i);
        sumV += store.WindV.Level(m, t, i);
    }
    const float count = static_cast<float>(L.upper - L.lower + 1);
    const float meanU = sumU / count;
    const float meanV = sumV / count;
    float helicity = 0.0f;
    for (int i = L.lower + 1; i <= L.upper; ++i) {
        const double u1 = static_cast<double>(store.WindU.Level(m, t, i)) - meanU;
        const double v1 = static_cast<double>(store.WindV.Level(m, t, i)) - meanV;
        const double u0 = static_cast<double>(store.WindU.Level(m, t, i - 1)) - meanU;
        const double v0 = static_cast<double>(store.WindV.Level(m, t, i - 1)) - meanV;
        helicity += static_cast<float>(u1 * v0 - u0 * v1);
    }
    return helicity;
}

MatrixDecision DecideMatrixCell(const ProfileArrays& store, std::int16_t t) {
    MatrixDecision d;
    d.S05 = MakeHodographLength(store, t, 0.0f, 5.0f);
    if (d.S05 < 5.0f) return d; // NoShear, A
    d.H025 = MakeLayerHelicity(store, t, 0.0f, 2.5f);
    if (std::fabs(d.H025) < 35.0f) {
        d.Branch = MatrixBranch::StraightLow;
        d.Cell = d.S05 < 15.0f ? 'B' : d.S05 < 25.0f ? 'C' : d.S05 < 37.5f ? 'D' : 'E';
        return d;
    }
    if (d.H025 < -35.0f) {
        d.Branch = MatrixBranch::TurningLeft;
        d.Cell = 'J';
        return d;
    }
    d.S255 = MakeHodographLength(store, t, 2.5f, 5.0f);
    if (d.S255 < 7.5f) {
        d.S025 = MakeHodographLength(store, t, 0.0f, 2.5f);
        d.Branch = MatrixBranch::CalmAloft;
        d.Cell = d.S025 < 15.0f ? 'N' : d.S025 < 25.0f ? 'O' : 'P';
        return d;
    }
    d.H255 = MakeLayerHelicity(store, t, 2.5f, 5.0f);
    if (d.H255 < 35.0f) {
        d.S075 = MakeHodographLength(store, t, 0.0f, 7.5f);
        d.Branch = MatrixBranch::StraightAloft;
        d.Cell = d.S075 < 25.0f ? 'F' : d.S075 < 37.5f ? 'G' : d.S075 < 52.5f ? 'H' : 'I';
        return d;
    }
    d.Branch = MatrixBranch::CurvedThroughout;
    d.Cell = d.S05 < 25.0f ? 'K' : d.S05 < 37.5f ? 'L' : 'M';
    return d;
}

const std::array<const char*, 16> MatrixCellTable = {
    "Axxxt34xxxd13", "Bxxxt09xxxd15", "Cxxxt10xxxd09", "Dxxxt11xxxd08",
    "Exxxt25xxxd07", "Fl04t29m06d03", "Gl03t16m05d03", "Hl02t15m04d01",
    "Il12t02m10d14", "Jl13t41m11d16", "Kl10t19m09d06", "Ll09t03m08d05",
    "Ml08t28m07d04", "Nl07t18m03d12", "Ol06t08m02d11", "Pl05t33m01d10"};

std::string SelectMatrixCell(const ProfileArrays& store, std::int16_t t) {
    return MatrixCellTable[static_cast<std::size_t>(DecideMatrixCell(store, t).Cell - 'A')];
}

void StormMatrixResults::ClearAfterRead() {
    ClearTimeFlags(MatrixEntryReady);
}

bool MeanDepressionLfcToEql(const ProfileArrays& store, std::int16_t t, float& mean) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    const float lfc = store.LFCPressure(m, t);
    const float eql = store.EQLPressure(m, t);
    float sum = 0.0f;
    int count = 0;
    for (int k = 1; k <= n; ++k) {
        const float p = store.Pressure(m, t, k);
        if (p < eql) break;
        if (p < lfc) {
            sum += store.Temperature(m, t, k) - store.DewPoint(m, t, k);
            ++count;
        }
    }
    if (count == 0) return false;
    mean = sum / static_cast<float>(count);
    return true;
}

char MatrixCapeClass(float cape, bool known, float meanDepression) {
    if (cape < kMatrixClass2Cape) return '1';
    if (cape < kMatrixHighCape) return '2';
    if (!known) return kMatrixUnknownClass;
    return meanDepression < kMatrixDryDepression ? '3' : '4';
}

std::string MatrixPageStem(const std::string& trainingFolder, char cell, char capeClass) {
    std::filesystem::path stem(trainingFolder);
    for (const char* folder : {"velno", "storm_matrix", "training", "media", "flash"})
        stem /= folder;
    return (stem / std::string{cell, '_', capeClass}).string();
}

bool MatrixHasPages(const std::string& code) {
    if (code.size() < 2 || code == "-" || code[1] == kMatrixUnknownClass) return false;
    return !((code[1] == '1' || code[1] == '3') && code < "F");
}

void MakeMatrixEntry(const ProfileArrays& store, std::int16_t t, const std::string& trainingFolder,
                     StormMatrixResults& matrix) {
    const int m = store.CurrentModel;
    const char cell = DecideMatrixCell(store, t).Cell;
    const float cape = store.CAPE(m, t);
    float depression = 0.0f;
    bool known = false;
    if (cape >= kMatrixHighCape) {
        known = MeanDepressionLfcToEql(store, t, depression);
        matrix.MatrixDPDKnown(m, t) = known ? kFlagTrue : kFlagFalse;
        if (known) matrix.MatrixMeanDPD(m, t) = depression;
    }
    const char capeClass = MatrixCapeClass(cape, known, depression);
    matrix.MatrixPageName(m, t) = MatrixPageStem(trainingFolder, cell, capeClass);
    matrix.MatrixCellCode(m, t) =
        cape >= kMatrixLowCape ? std::string{cell, capeClass} : std::string("-");
    matrix.MatrixEntryReady(m, t) = kFlagTrue;
}

} // namespace tarvex
