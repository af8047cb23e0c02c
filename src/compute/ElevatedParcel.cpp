#include "compute/ElevatedParcel.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "compute/Parcels.h"
#include "compute/SideBySide.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace tarvex {

namespace {

// A parcel counts as buoyant only when it is this much warmer (C).
constexpr float kBuoyantMargin = 0.005f;
// A parcel this much colder (C) than its surroundings has stopped rising.
constexpr float kStopDeficit = 10.0f;

// Threads that lift the columns of a run: a run of 85 hours needs no more
// to be lifted well within a frame, and the program shares the machine.
constexpr int kMaxLiftThreads = 4;
// Fewer columns than this for each thread do not pay for starting it.
constexpr std::size_t kLeastColumnsPerThread = 8;

int ProfileLevels(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

// What the parcels of one time column lifted through its levels share,
// worked out when a parcel first needs it and kept for the others: the
// pressure factor of each level and the standard-atmosphere height of
// level 1.
class ColumnLevels {
  public:
    ColumnLevels(const ProfileArrays& store, int t)
        : store_(store), m_(store.CurrentModel), t_(t) {}

    float Factor(int L) {
        if (!hasFactor_[L]) {
            factor_[L] = PressureFactor(store_.Pressure(m_, t_, L));
            hasFactor_[L] = true;
        }
        return factor_[L];
    }
    float Level1Ft() {
        if (!level1Ft_) level1Ft_ = StdHeightFeet(store_.Pressure(m_, t_, 1));
        return *level1Ft_;
    }

  private:
    const ProfileArrays& store_;
    int m_;
    int t_;
    std::array<float, kLevelSlots> factor_{};
    std::array<bool, kLevelSlots> hasFactor_{};
    std::optional<float> level1Ft_;
};

void Lift(const ProfileArrays& store, std::int16_t t, std::int16_t k,
          ElevatedParcelResults& elevated, ColumnLevels& levels) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    const auto& P = store.Pressure;
    const auto& Te = store.Temperature;
    const auto& Z = store.Height;

    elevated.ElevCAPE(m, t, k) = 0.0f;
    elevated.ElevCIN(m, t, k) = 0.0f;
    elevated.ElevELDepthFt(m, t, k) = 0.0f;
    elevated.ElevELPressure(m, t, k) = P(m, t, k);
    elevated.ElevELTemp(m, t, k) = Te(m, t, k);
    elevated.ElevNCAPE(m, t, k) = 0.0f;
    elevated.ElevELLevel(m, t, k) = 0;
    // Every level the ascent below does not reach reads as absent.
    if (k >= 0 && k < kLevelSlots) {
        for (int L = 0; L < kLevelSlots; ++L)
            elevated.ElevParcelProfile(m, t, k, L) = kNoParcelTemp;
    }
    if (k < 1 || k > n) {
        elevated.ElevCAPEDone(m, t, k) = kFlagTrue;
        return;
    }

    const LiftedParcel parcel(BoltonLCL(Te(m, t, k), store.DewPoint(m, t, k), P(m, t, k)));
    // Each level stands for the layer up to the next level's height; the top
    // level has no layer above it.
    const auto thickness = [&](int L) { return L < n ? Z(m, t, L + 1) - Z(m, t, L) : 0.0f; };

    std::array<float, kLevelSlots> tp{};
    double area = 0.0;
    int last = 0;
    for (int L = k; L <= n; ++L) {
        tp[L] = parcel.TempAt(P(m, t, L), [&] { return levels.Factor(L); });
        elevated.ElevParcelProfile(m, t, k, L) = tp[L];
        const float te = Te(m, t, L);
        if (tp[L] > te + kBuoyantMargin) {
            area += (tp[L] - te) / kKelvinOffset * thickness(L);
            last = L;
        } else if (tp[L] < te - kStopDeficit) {
            break;
        }
    }
    // Inhibition: the layers below the last buoyant level where the parcel is
    // colder than its surroundings.
    double inhibition = 0.0;
    for (int L = k; L <= last; ++L) {
        const float te = Te(m, t, L);
        if (tp[L] < te) inhibition -= (tp[L] - te) / kKelvinOffset * thickness(L);
    }
    const auto cape = static_cast<float>(area * kGravityAccel);
    elevated.ElevCAPE(m, t, k) = cape;
    elevated.ElevCIN(m, t, k) = static_cast<float>(inhibition * kGravityAccel);

    if (last > 1) {
        elevated.ElevELLevel(m, t, k) = static_cast<std::int16_t>(last);
        // Equilibrium level where the temperature difference, linear in
        // pressure, changes sign above the last buoyant level; the top level
        // when the parcel is still buoyant there.
        float el = P(m, t, last);
        if (last < n) {
            const float a = tp[last] - Te(m, t, last);
            const float b = Te(m, t, last + 1) - tp[last + 1];
            const float f = a + b > 0.0f ? a / (a + b) : 0.0f;
            el = P(m, t, last) - (P(m, t, last) - P(m, t, last + 1)) * f;
        }
        elevated.ElevELPressure(m, t, k) = el;
        elevated.ElevELTemp(m, t, k) = parcel.TempAt(el);
        elevated.ElevELDepthFt(m, t, k) = StdHeightFeet(el) - levels.Level1Ft();
        // CAPE per metre of the layer from the start level to the
        // equilibrium level; none when that layer has no depth.
        const float depth = StdHeightMeters(el) - Z(m, t, k);
        elevated.ElevNCAPE(m, t, k) = depth > 0.0f ? cape / depth : 0.0f;
    }
    elevated.ElevCAPEDone(m, t, k) = kFlagTrue;
}

bool ColumnMissing(const ProfileArrays& store, int t, std::span<const StartLevels> ranges,
                   const ElevatedParcelResults& elevated) {
    for (const StartLevels& range : ranges)
        for (int k = range.first; k <= range.last; ++k)
            if (elevated.ElevCAPEDone(store.CurrentModel, t, k) == kFlagFalse) return true;
    return false;
}

// The missing start levels of every range of time column t, the levels'
// pressure factors worked out once for them all; a level in two ranges is
// lifted once.
void LiftMissing(const ProfileArrays& store, std::int16_t t, std::span<const StartLevels> ranges,
                 ElevatedParcelResults& elevated) {
    const int m = store.CurrentModel;
    ColumnLevels levels(store, t);
    for (const StartLevels& range : ranges)
        for (int k = range.first; k <= range.last; ++k)
            if (elevated.ElevCAPEDone(m, t, k) == kFlagFalse)
                Lift(store, t, static_cast<std::int16_t>(k), elevated, levels);
}

} // namespace

void MakeECAPE(const ProfileArrays& store, std::int16_t t, std::int16_t k,
               ElevatedParcelResults& elevated) {
    ColumnLevels levels(store, t);
    Lift(store, t, k, elevated, levels);
}

void MakeMissingECAPE(const ProfileArrays& store, std::int16_t t, std::int16_t first,
                      std::int16_t last, ElevatedParcelResults& elevated) {
    const StartLevels range{first, last};
    LiftMissing(store, t, {&range, 1}, elevated);
}

void MakeMissingECAPERun(const ProfileArrays& store, std::int16_t first, std::int16_t last,
                         ElevatedParcelResults& elevated) {
    const StartLevels range{first, last};
    MakeMissingECAPERun(store, {&range, 1}, elevated);
}

void MakeMissingECAPERun(const ProfileArrays& store, std::span<const StartLevels> ranges,
                         ElevatedParcelResults& elevated) {
    const std::atomic<bool> never{false};
    MakeMissingECAPERun(store, ranges, elevated, never);
}

void MakeMissingECAPERun(const ProfileArrays& store, std::span<const StartLevels> ranges,
                         ElevatedParcelResults& elevated, const std::atomic<bool>& stop) {
    // The columns with a parcel to lift, found before any thread writes.
    std::vector<std::int16_t> columns;
    for (int t = 0; t <= store.LastTime(store.CurrentModel); ++t)
        if (ColumnMissing(store, t, ranges, elevated))
            columns.push_back(static_cast<std::int16_t>(t));
    DoSideBySide(columns.size(), kMaxLiftThreads, kLeastColumnsPerThread, [&](std::size_t i) {
        if (!stop) LiftMissing(store, columns[i], ranges, elevated);
    });
}

bool ECAPEMissing(const ProfileArrays& store, std::int16_t first, std::int16_t last,
                  const ElevatedParcelResults& elevated) {
    const StartLevels range{first, last};
    return ECAPEMissing(store, {&range, 1}, elevated);
}

bool ECAPEMissing(const ProfileArrays& store, std::span<const StartLevels> ranges,
                  const ElevatedParcelResults& elevated) {
    for (int t = 0; t <= store.LastTime(store.CurrentModel); ++t)
        if (ColumnMissing(store, t, ranges, elevated)) return true;
    return false;
}

} // namespace tarvex
