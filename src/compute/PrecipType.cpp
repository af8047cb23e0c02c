#include "compute/PrecipType.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <string>

namespace tarvex {

namespace {

constexpr double kGravity = 9.80616;
constexpr double kKelvin = 273.16;
// A warm layer aloft with less melting energy than this melts nothing.
constexpr float kMinWarmEnergy = 2.0f;
// Surface warm layer below an ABAB sounding that still lets pellets survive.
constexpr float kPelletSurfaceEnergy = 20.0f;
// A dry layer this deep (m) above the moist layer ends the moist-layer scan.
constexpr float kDryLayerDepth = 1519.0f;

// One time column seen from the scan's start level s up to the top level n.
class Column {
  public:
    Column(const ProfileArrays& store, int t, int start, int top)
        : store_(store), m_(store.CurrentModel), t_(t), start_(start), top_(top) {}

    int Start() const { return start_; }
    int Top() const { return top_; }
    float T(int L) const { return store_.Temperature(m_, t_, L); }
    float P(int L) const { return store_.Pressure(m_, t_, L); }
    float Td(int L) const { return store_.DewPoint(m_, t_, L); }
    float Z(int L) const { return store_.Height(m_, t_, L); }

    // First level of from..n colder than 0 C; n + 1 when the warm layer
    // reaches the top of the sounding.
    int FirstBelowZero(int from) const {
        for (int L = from; L <= top_; ++L)
            if (T(L) < 0.0f) return L;
        return top_ + 1;
    }

    // First level of from..n warmer than 0 C; 0 when there is none.
    int FirstAboveZero(int from) const {
        for (int L = from; L <= top_; ++L)
            if (T(L) > 0.0f) return L;
        return 0;
    }

    // Melting energy of the warm levels a..b and refreezing energy of the cold
    // levels a..b (J/kg): g times the layer depth times T / 273.16, each
    // level standing for the layer between the mid-heights around it.
    float WarmEnergy(int a, int b) const { return Energy(a, b, 1.0); }
    float ColdEnergy(int a, int b) const { return Energy(a, b, -1.0); }

    // Height of the 0 C crossing below level wt above the surface (ft),
    // linear in pressure between wt - 1 and wt. A warm layer that reaches the
    // top of the sounding puts it at the top level.
    float FreezingHeightFt(int wt) const {
        float crossing = P(top_);
        if (wt <= top_) {
            const int below = wt - 1;
            crossing = P(below) - (P(below) - P(wt)) * T(below) / (T(below) - T(wt));
        }
        return StdHeightFeet(crossing) - StdHeightFeet(store_.SurfacePressure(m_, t_));
    }

  private:
    // Upper edge of the layer of level L: the mid-height between L and the
    // level above; the level beneath the start level and the top level count
    // with their own heights.
    double Edge(int L) const {
        if (L == start_ - 1 || L >= top_) return Z(L);
        return (static_cast<double>(Z(L + 1)) + Z(L)) / 2.0;
    }

    float Energy(int a, int b, double sign) const {
        double sum = 0.0;
        for (int L = a; L <= b; ++L) sum += (Edge(L) - Edge(L - 1)) * sign * T(L) / kKelvin;
        return static_cast<float>(kGravity * sum);
    }

    const ProfileArrays& store_;
    int m_;
    int t_;
    int start_;
    int top_;
};

// Pattern and energies of a column whose start level is at or below 0 C:
// "BA" when a warm layer with real melting energy lies aloft (below 200 mb),
// else "BB".
void ColdStart(const Column& c, PTypeResults& ptype, int m, int t) {
    ptype.PTypePattern(m, t) = "BB";
    int warmBase = 0;
    for (int L = c.Start(); L <= c.Top(); ++L) {
        if (c.P(L) < 200.0f) break;
        if (c.T(L) > 0.0f) {
            warmBase = L;
            break;
        }
    }
    if (warmBase == 0) return;
    const int warmTop = c.FirstBelowZero(warmBase + 1);
    ptype.ColdEnergy(m, t) = c.ColdEnergy(c.Start(), warmBase - 1);
    ptype.WarmEnergy(m, t) = c.WarmEnergy(warmBase, warmTop - 1);
    ptype.PTypePattern(m, t) = ptype.WarmEnergy(m, t) < kMinWarmEnergy ? "BB" : "BA";
}

// Pattern and energies of a column whose start level is above 0 C: "AB", or
// "ABAB" when a second warm layer with real melting energy lies aloft.
void WarmStart(const Column& c, PTypeResults& ptype, int m, int t) {
    const int warmTop = c.FirstBelowZero(c.Start() + 1);
    const int upperBase = c.FirstAboveZero(warmTop + 1);
    const float lowerWarm = c.WarmEnergy(c.Start(), warmTop - 1);
    if (upperBase > 0) {
        const int upperTop = c.FirstBelowZero(upperBase + 1);
        ptype.LowerWarmEnergy(m, t) = lowerWarm;
        ptype.ColdEnergy(m, t) = c.ColdEnergy(warmTop, upperBase - 1);
        ptype.WarmEnergy(m, t) = c.WarmEnergy(upperBase, upperTop - 1);
        if (ptype.WarmEnergy(m, t) >= kMinWarmEnergy) {
            ptype.PTypePattern(m, t) = "ABAB";
            return;
        }
    }
    ptype.PTypePattern(m, t) = "AB";
    ptype.WarmEnergy(m, t) = lowerWarm;
    ptype.FreezingHeightAGLFt(m, t) = c.FreezingHeightFt(warmTop);
}

// Top of the moist layer reached from the start level, and whether a moist
// level at or below -10 C (ice crystals) lies above a dry layer, seeding the
// cloud beneath.
void ScanMoistLayer(const Column& c, PTypeResults& ptype, int m, int t) {
    int moistTop = c.Start();
    bool dry = false;
    bool iceAloft = false;
    for (int L = c.Start(); L <= c.Top(); ++L) {
        const float temperature = c.T(L);
        const float threshold = std::max((9.0f - temperature) / 7.0f, 2.0f);
        if (temperature - c.Td(L) < threshold) {
            moistTop = L;
            if (temperature <= -10.0f && dry) iceAloft = true;
        } else {
            dry = true;
            if (c.Z(L) - c.Z(moistTop) > kDryLayerDepth) break;
        }
    }
    ptype.MoistTopLevel(m, t) = static_cast<std::int16_t>(moistTop);
    ptype.IceAloft(m, t) = iceAloft ? kFlagTrue : kFlagFalse;
}

} // namespace

float PelletRefreezingEnergy(float warmEnergy) {
    return 70.0f + warmEnergy * 300.0f / 450.0f;
}

int PTypeStartLevel(const ProfileArrays& store, const ComputeOptions& options) {
    const int n = std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
    return std::clamp<int>(options.ElevatedPTLevel, 1, std::max(n, 1));
}

void MakePTypeAreas(const ProfileArrays& store, std::int16_t t, PTypeResults& ptype,
                    const ComputeOptions& options) {
    const int m = store.CurrentModel;
    if (ptype.PTypeAreasDone(m, t) == kFlagTrue) return;

    ptype.WarmEnergy(m, t) = 0.0f;
    ptype.ColdEnergy(m, t) = 0.0f;
    ptype.LowerWarmEnergy(m, t) = 0.0f;
    ptype.FreezingHeightAGLFt(m, t) = 0.0f;
    ptype.PTypePattern(m, t).clear();
    ptype.MoistTopLevel(m, t) = 0;
    ptype.IceAloft(m, t) = kFlagFalse;

    const int n = std::clamp<int>(store.LevelCount(m), 0, kMaxProfileLevels);
    if (n >= 1) {
        const int start = PTypeStartLevel(store, options);
        const Column column(store, t, start, n);
        if (column.T(start) <= 0.0f)
            ColdStart(column, ptype, m, t);
        else
            WarmStart(column, ptype, m, t);
        ScanMoistLayer(column, ptype, m, t);
    }
    ptype.PTypeAreasDone(m, t) = kFlagTrue;
}

void MakePType(const ProfileArrays& store, std::int16_t t, PTypeResults& ptype,
               const ComputeOptions& options) {
    const int m = store.CurrentModel;
    MakePTypeAreas(store, t, ptype, options);

    const std::string& pattern = ptype.PTypePattern(m, t);
    const float warm = ptype.WarmEnergy(m, t);
    const float cold = ptype.ColdEnergy(m, t);
    const float pellets = PelletRefreezingEnergy(warm);
    std::int32_t& code = ptype.PTypeEnergyCode(m, t);
    if (pattern == "BB") {
        code = kPTypeSnow;
    } else if (pattern == "AB") {
        code = warm >= kRainEnergy ? kPTypeRain : kPTypeSnow;
    } else if (pattern == "BA") {
        code = cold >= pellets ? kPTypeIcePellets : kPTypeFreezingRain;
    } else if (pattern == "ABAB") {
        // Pellets that reach a shallow surface warm layer survive it.
        const bool survive = ptype.LowerWarmEnergy(m, t) < kPelletSurfaceEnergy;
        code = cold >= pellets && survive ? kPTypeIcePellets : kPTypeRain;
    }
    ptype.PTypeCode(m, t) =
        options.UseBourgouinPType ? ptype.PTypeEnergyCode(m, t) : store.PTypeModelCode(m, t);
}

} // namespace tarvex
