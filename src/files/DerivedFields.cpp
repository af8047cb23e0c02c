#include "files/DerivedFields.h"

#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/Winds.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr double kKelvin = 273.16;

double SatVapourPressureWater(double t) {
    return 6.112 * std::exp(17.67 * t / (t + 243.5));
}

double SatVapourPressureIce(double t) {
    return 6.109177956 +
           t * (0.503469897 +
                t * (0.01886013408 +
                     t * (0.0004176223716 +
                          t * (5.82472028e-6 + t * (4.838803174e-8 + t * 1.838826904e-10)))));
}

// Stores a computed value only when the computation gave a number.
void StoreIfFinite(float& target, double value) {
    if (std::isfinite(value)) target = static_cast<float>(value);
}

} // namespace

void DeriveLevelFields(ProfileArrays& s, int m, int t, int L, float elevationMeters) {
    if (s.DewPoint(m, t, L) < -270.0f) s.DewPoint(m, t, L) = s.Temperature(m, t, L) - 40.0f;
    const double T = s.Temperature(m, t, L);
    const double Td = s.DewPoint(m, t, L);
    const double P = s.Pressure(m, t, L);

    const double e = SatVapourPressureWater(Td);
    const double es = SatVapourPressureWater(T);
    const double rh = 100.0 * e / es;
    double rhIce = rh;
    double saturation = es;
    if (T < 0.0) {
        const double esIce = SatVapourPressureIce(T);
        rhIce = 100.0 * e / esIce;
        // Blend from water at 0 C to ice at -20 C.
        if (T > -20.0) rhIce = rh + (T / 20.0) * (rh - rhIce);
        saturation = esIce;
    }
    StoreIfFinite(s.RelativeHumidity(m, t, L), rh);
    StoreIfFinite(s.RelativeHumidityIce(m, t, L), rhIce);

    const double f = 1.001 + 0.0034 * (P - 100.0) / 900.0;
    const double esPrime = f * saturation;
    const double ePrime = f * e;
    if (P > esPrime && P > ePrime) {
        const double w = 1000.0 * 0.62197 * ePrime / (P - ePrime);
        StoreIfFinite(s.SatMixingRatio(m, t, L), 1000.0 * 0.62197 * esPrime / (P - esPrime));
        StoreIfFinite(s.MixingRatio(m, t, L), w);
        const double q = 1000.0 * w / (w + 1000.0);
        if (std::isfinite(q)) {
            s.SpecificHumidity(m, t, L) = static_cast<float>(q);
            s.MaxSpecificHumidity = std::max(s.MaxSpecificHumidity, static_cast<float>(q));
        }
    }

    if (s.CloudFraction(m, t, L) == -1.0f && std::isfinite(rhIce)) {
        // Cloud from humidity over ice: none at 75 %, overcast at saturation
        // (and above it, where the root would be of a negative number).
        const double cloud =
            rhIce >= 100.0 ? 100.0 : (1.0 - std::sqrt((100.0 - rhIce) / (100.0 - 75.0))) * 100.0;
        s.CloudFraction(m, t, L) = static_cast<float>(std::max(0.0, cloud));
    }

    const double speed = s.WindSpeed(m, t, L) / kKnotsPerMs;
    const double angle = (270.0 - s.WindDirection(m, t, L)) * kDegreeFactor;
    const float u = static_cast<float>(speed * std::cos(angle));
    const float v = static_cast<float>(speed * std::sin(angle));
    s.WindU.Level(m, t, L) = s.WindUOriginal.Level(m, t, L) = u;
    s.WindV.Level(m, t, L) = s.WindVOriginal.Level(m, t, L) = v;
    s.WindEdited(m, t) = 0;

    s.Omega(m, t, L) *= 10.0f;
    if (P > 0.0) {
        StoreIfFinite(s.PotentialTemperature(m, t, L),
                      (T + kKelvin) * std::pow(1000.0 / P, 2.0 / 7.0));
    }
    s.HeightAGL(m, t, L) = s.Height(m, t, L) - elevationMeters;
}

void MakeWetBulbZero(ProfileArrays& s) {
    const int m = s.CurrentModel;
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    for (int t = 0; t <= s.LastTime(m); ++t) {
        int found = 0;
        for (int L = n; L >= 1; --L) {
            if (s.WetBulb(m, t, L) > 0.0f) {
                found = L;
                break;
            }
        }
        // The crossing lies between the found level and the one above it;
        // a wet bulb above 0 C at the top level has no crossing in the
        // profile and takes the top level's pressure.
        if (found > 0 && found < n) {
            const double p = s.Pressure(m, t, found);
            const double pUp = s.Pressure(m, t, found + 1);
            const double tw = s.WetBulb(m, t, found);
            const double twUp = s.WetBulb(m, t, found + 1);
            const double p0 = p - (p - pUp) * tw / (tw - twUp);
            s.WetBulbZeroHeight(m, t) = StdHeightFeet(static_cast<float>(p0));
        } else if (found == n && n > 0) {
            s.WetBulbZeroHeight(m, t) = StdHeightFeet(s.Pressure(m, t, n));
        } else {
            s.WetBulbZeroHeight(m, t) = StdHeightFeet(s.SurfacePressure(m, t));
        }
    }
}

void MakeCCL(ProfileArrays& s) {
    const int m = s.CurrentModel;
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    for (int t = 0; t <= s.LastTime(m); ++t) {
        const double surface = s.SurfacePressure(m, t);
        double sum = 0.0;
        int count = 0;
        for (int L = 1; L <= n && surface - s.Pressure(m, t, L) < 100.0; ++L) {
            sum += s.RelativeHumidity(m, t, L) * s.SatMixingRatio(m, t, L) / 100.0;
            ++count;
        }
        int level = 0;
        if (count > 0) {
            const double mean = sum / count;
            for (int L = 1; L <= n; ++L) {
                if (s.SatMixingRatio(m, t, L) < mean) {
                    level = L;
                    break;
                }
            }
            if (level > 1) {
                const double ws = s.SatMixingRatio(m, t, level);
                const double wsBelow = s.SatMixingRatio(m, t, level - 1);
                const double p = s.Pressure(m, t, level);
                const double pBelow = s.Pressure(m, t, level - 1);
                const double ccl = p + (pBelow - p) * (mean - ws) / (wsBelow - ws);
                const double tCcl =
                    InterpTempAtPressure(s, static_cast<std::int16_t>(t), static_cast<float>(ccl));
                s.CCLPressure(m, t) = static_cast<float>(ccl);
                s.ConvectiveTemperature(m, t) = static_cast<float>(
                    (tCcl + kKelvin) * std::pow(surface / ccl, 2.0 / 7.0) - kKelvin);
                continue;
            }
        }
        // No level within 100 mb of the ground, or no condensation level
        // above the first level.
        s.CCLPressure(m, t) = static_cast<float>(surface);
        s.ConvectiveTemperature(m, t) = 99.0f;
    }
}

void FindTopLevel(ProfileArrays& s) {
    const int m = s.CurrentModel;
    const int n = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    for (int L = n; L >= 1; --L) {
        if (s.Pressure(m, 0, L) > s.DiagramTopPressure) {
            s.DrawLevelCount(m) = static_cast<std::uint16_t>(std::min(L + 1, n));
            return;
        }
    }
}

void PlaceDiagramBottom(ProfileArrays& s) {
    if (!(s.MaxSurfacePressure > 0.0f) || s.DiagramTopPressure <= 0) return;
    const double lnMax = std::log(s.MaxSurfacePressure);
    const double span = lnMax - std::log(static_cast<double>(s.DiagramTopPressure));
    s.DiagramBottomPressure =
        ClampToInt<std::int16_t>(std::nearbyint(std::exp(lnMax + span * 0.04)));
}

void MakeHeightGridPressures(const ProfileArrays& s, HeightGridTables& tables) {
    const double ground = StdHeightFeet(s.SurfacePressure(s.CurrentModel, 0));
    auto pressureAt = [&](double feet) {
        // A height with no pressure (below a surface pressure of 0) gives 0,
        // which the height scale leaves out.
        return ClampToInt<std::int16_t>(
            std::nearbyint(PressureFromAltitude(static_cast<float>(feet + ground))));
    };
    for (int k = 0; k <= 20; ++k) tables.HeightGridPressureFt[k] = pressureAt(k * 1000.0);
    for (int k = 25; k <= 70; k += 5) tables.HeightGridPressureFt[k] = pressureAt(k * 1000.0);
    for (int k = 0; k <= 20; ++k) tables.HeightGridPressureKm[k] = pressureAt(k * 3281.0);
}

} // namespace tarvex
