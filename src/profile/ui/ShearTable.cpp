#include "profile/ui/ShearTable.h"

#include "compute/Levels.h"
#include "platform/Format.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr double kFeetPerKm = 3281.0;

// The vector difference of the winds of two profile levels (m/s).
float ShearBetween(const ProfileArrays& s, int m, int t, int upper, int lower) {
    const float du = s.WindU.Level(m, t, upper) - s.WindU.Level(m, t, lower);
    const float dv = s.WindV.Level(m, t, upper) - s.WindV.Level(m, t, lower);
    return std::sqrt(du * du + dv * dv);
}

} // namespace

std::string FormatShearTable(const ProfileArrays& s, std::int16_t t) {
    const int m = s.CurrentModel;
    const int levels = std::min<int>(s.LevelCount(m), kLevelSlots - 1);
    const double groundKm = StdHeightFeet(s.SurfacePressure(m, 0)) / kFeetPerKm;
    std::string text;
    for (int n = 1; n <= 3; ++n) {
        PrintZoneLine label;
        for (int zone = 0; zone < 6; ++zone) label.Empty();
        text += label.Item("Total").Item("Top-Base").Text();
        PrintZoneLine header;
        for (const char* title : {"  AGL(km)", "Dir", "Speed(k)", "U(m/s)", "V(m/s)", "Shear(m/s)",
                                  "Shear(m/s)", "Shear(m/s)"})
            header.Item(title);
        text += header.Text();
        float total = 0.0f;
        for (int k = 1; k <= levels; k += n) {
            const double z = StdHeightFeet(s.Pressure(m, 0, k)) / kFeetPerKm - groundKm;
            const float layer = k == 1 ? 0.0f : ShearBetween(s, m, t, k, k - n);
            total += layer;
            PrintZoneLine row;
            row.Item(Format(k, "00") + Format(z, "  #0.0"))
                .Number(s.WindDirection(m, t, k))
                .Number(s.WindSpeed(m, t, k))
                .Number(s.WindU.Level(m, t, k))
                .Number(s.WindV.Level(m, t, k))
                .Number(layer)
                .Number(total)
                .Number(ShearBetween(s, m, t, k, 1));
            text += row.Text();
        }
    }
    return text;
}

} // namespace tarvex
