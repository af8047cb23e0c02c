#include "compute/Winds.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvex {

namespace {

// Profile levels of the current model, never more than the store can hold.
int ProfileLevels(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

// Direction a vector blows from: 270 (u > 0) or 90 (u < 0) minus the angle of
// v / u. A vector with u exactly 0 gets the limit of that formula as u goes
// to 0 from above (180 southerly, 360 northerly, 270 calm) instead of a
// division by zero.
float VectorDirection(double u, double v) {
    if (u == 0.0) return v > 0.0 ? 180.0f : (v < 0.0 ? 360.0f : 270.0f);
    const double angle = std::atan(v / u) / kDegreeFactor;
    return static_cast<float>((u < 0.0 ? 90.0 : 270.0) - angle);
}

float Speed(double u, double v) {
    return static_cast<float>(std::sqrt(u * u + v * v));
}

// Length of the wind difference between two profile levels (m/s).
float WindDifference(const ProfileArrays& store, int m, int t, int lower, int upper) {
    return Speed(store.WindU.Level(m, t, upper) - store.WindU.Level(m, t, lower),
                 store.WindV.Level(m, t, upper) - store.WindV.Level(m, t, lower));
}

} // namespace

float DirectionFromUV(float u, float v) {
    // The guarded component decides the quadrant too, so that a tiny westward
    // u does not flip a southerly wind to northerly.
    return VectorDirection(static_cast<double>(u) + 0.0001, v);
}

LayerWind LayerMeanWind(const ProfileArrays& store, int m, int t, int bottom, int top) {
    if (bottom > top) std::swap(bottom, top);
    const int n = top - bottom + 1;
    double sumU = 0.0;
    double sumV = 0.0;
    for (int k = bottom; k <= top; ++k) {
        const double a = (270.0 - store.WindDirection(m, t, k)) * kDegreeFactor;
        sumU += store.WindSpeed(m, t, k) * std::cos(a);
        sumV += store.WindSpeed(m, t, k) * std::sin(a);
    }
    const double meanU = sumU / n;
    const double meanV = sumV / n;
    double squares = 0.0;
    for (int k = bottom; k <= top; ++k) {
        const double a = (270.0 - store.WindDirection(m, t, k)) * kDegreeFactor;
        const double du = store.WindSpeed(m, t, k) * std::cos(a) - meanU;
        const double dv = store.WindSpeed(m, t, k) * std::sin(a) - meanV;
        squares += du * du + dv * dv;
    }
    // A mean wind from due north or south (no u component) has a direction
    // too: DirectionFromUV takes the limit instead of dividing by zero.
    return LayerWind{DirectionFromUV(static_cast<float>(meanU), static_cast<float>(meanV)),
                     Speed(meanU, meanV), static_cast<float>(std::sqrt(squares) / n)};
}

void MakeShear(const ProfileArrays& store, std::int16_t t, WindResults& winds,
               const ComputeOptions& options) {
    const int m = store.CurrentModel;
    // With no level near 4 km above ground there is no 0-4 km layer: no shear.
    const int top = FindHeightLevel(store, t, 4.0f);
    float shear = 0.0f;
    if (top >= 1) {
        if (options.CAPEShearMethod == ShearMethod::HodographLength) {
            for (int L = 2; L <= top; ++L) shear += WindDifference(store, m, t, L - 1, L);
        } else {
            shear = WindDifference(store, m, t, 1, top);
        }
    }
    winds.Shear4km(m, t) = shear;
    winds.ShearDone(m, t) = kFlagTrue;
}

void MakeMBEVectors(const ProfileArrays& store, std::int16_t t, std::int16_t jetLevel,
                    WindResults& winds, const ComputeOptions& options) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    const auto& P = store.Pressure;

    // Cloud-layer (850-300 mb) mean wind in knots.
    double sumU = 0.0;
    double sumV = 0.0;
    int count = 0;
    for (int L = 1; L <= n; ++L) {
        if (P(m, t, L) < 300.0f) break;
        if (P(m, t, L) <= 850.0f) {
            sumU += store.WindU.Level(m, t, L);
            sumV += store.WindV.Level(m, t, L);
            ++count;
        }
    }
    const float meanU = count > 0 ? static_cast<float>(sumU / count * kKnotsPerMs) : 0.0f;
    const float meanV = count > 0 ? static_cast<float>(sumV / count * kKnotsPerMs) : 0.0f;
    winds.MeanWindLevels(m, t) = static_cast<std::int16_t>(count);
    winds.MeanWindU(m, t) = meanU;
    winds.MeanWindV(m, t) = meanV;
    winds.MeanWindDir(m, t) = VectorDirection(meanU, meanV);
    winds.MeanWindSpeed(m, t) = Speed(meanU, meanV);

    // Low-level jet: a chosen level, or the first strongest wind from level 1
    // up to the last level at or below 800 mb.
    int jet = 1;
    bool atTop = false;
    if (jetLevel > 0) {
        jet = std::min<int>(jetLevel, std::max(n, 1));
    } else {
        for (int L = 2; L <= n; ++L) {
            if (P(m, t, L) < 800.0f) break;
            if (store.WindSpeed(m, t, L) > store.WindSpeed(m, t, jet)) {
                jet = L;
                // The top level has no level above it: it ends the layer.
                atTop = L == n || P(m, t, L + 1) < 800.0f;
            }
        }
    }
    const float jetDir = store.WindDirection(m, t, jet);
    const float jetSpeed = store.WindSpeed(m, t, jet);
    const double angle = (270.0 - jetDir) * kDegreeFactor;
    const float jetU = static_cast<float>(jetSpeed * std::cos(angle));
    const float jetV = static_cast<float>(jetSpeed * std::sin(angle));
    winds.LLJDir(m, t) = jetDir;
    winds.LLJSpeed(m, t) = jetSpeed;
    winds.LLJPressure(m, t) = P(m, t, jet);
    winds.LLJAtTop(m, t) = atTop ? kFlagTrue : kFlagFalse;
    winds.LLJU(m, t) = jetU;
    winds.LLJV(m, t) = jetV;

    // Cells propagate against the low-level inflow: the MBE vector is the
    // cloud-layer wind minus the jet. Forward-propagating systems move with
    // that vector plus the cloud-layer wind once more.
    float mbeU = meanU - jetU;
    float mbeV = meanV - jetV;
    if (options.MBEForwardPropagation) {
        winds.UpwindU(m, t) = mbeU;
        winds.UpwindV(m, t) = mbeV;
        winds.UpwindDir(m, t) = VectorDirection(mbeU, mbeV);
        mbeU += meanU;
        mbeV += meanV;
    }
    winds.MBEU(m, t) = mbeU;
    winds.MBEV(m, t) = mbeV;
    winds.MBEDir(m, t) = VectorDirection(mbeU, mbeV);
    winds.MBESpeed(m, t) = Speed(mbeU, mbeV);
    winds.MBEDone(m, t) = kFlagTrue;
}

} // namespace tarvex
