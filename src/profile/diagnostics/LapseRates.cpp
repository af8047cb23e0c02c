#include "profile/diagnostics/LapseRates.h"

#include "compute/Levels.h"
#include "files/FieldReader.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"

#include <cmath>
#include <vector>

namespace tarvex {

namespace {

constexpr double kFeetPerKm = 3281.0;
constexpr int kStep = 50; // mb between the pressures of the table

void PrintAt(PictureSurface& pic, double x, double y, std::string_view text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.Print(text);
}

Rgb LapseColor(float lapse) {
    if (lapse > 7.95f) return kRed;
    if (lapse > 6.95f) return kYellow;
    return kGreen;
}

} // namespace

std::optional<float> LapseTablePressure(std::string_view configured, float surfacePressure) {
    const std::optional<float> top = FieldReader::ParseNumber(TrimBlanks(configured));
    if (!top || *top <= 0.0f || !(*top < surfacePressure)) return std::nullopt;
    return top;
}

namespace {

// The temperature and standard height of one pressure of the table.
struct TableLevel {
    float temperature = 0.0f;
    float height = 0.0f;
};

TableLevel LevelAt(const ProfileArrays& s, std::int16_t t, int pressure) {
    return {InterpTempAtPressure(s, t, static_cast<float>(pressure)),
            StdHeightFeet(static_cast<float>(pressure))};
}

float LapseBetween(const TableLevel& bottom, const TableLevel& top) {
    const float dT = bottom.temperature - top.temperature;
    const double dz = (top.height - bottom.height) / kFeetPerKm;
    return static_cast<float>(dT / dz);
}

} // namespace

float LayerLapseRate(const Session& session, std::int16_t t, int x, int y) {
    const ProfileArrays& s = *session.profile;
    return LapseBetween(LevelAt(s, t, x), LevelAt(s, t, y));
}

void PrintLapseRates(PictureSurface& pic, const Session& session, std::int16_t t) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const float surface = s.SurfacePressure(m, t);
    // A surface pressure no file can hold (beyond 1100 mb) gets no table, as a
    // missing one: the table has a row per 50 mb from it.
    const int p0 = std::fabs(surface) <= 1100.0f ? kStep * static_cast<int>(surface / kStep) : 0;
    std::optional<float> top;
    if (s.LevelCount(m) > 0) top = LapseTablePressure(session.config.LapseTopPressure, surface);
    // Without a table the frame spans one step either side of the base.
    const double P = top.value_or(static_cast<float>(p0 - kStep));

    pic.SetBackColor(kBlack);
    pic.SetFontName("Arial");
    pic.SetFontSize(9);
    pic.SetFontTransparent(true);
    pic.Scale(p0 + kStep, P - kStep, P, p0 + kStep);
    pic.Clear();
    pic.SetForeColor(kWhite);
    const std::string_view title = "Lapse Rate \u00B0C/km";
    PrintAt(pic, pic.ScaleLeft() + (pic.ScaleWidth() - pic.TextWidth(title)) / 2.0, P - kStep,
            title);
    if (!top) return;

    for (int x = p0; x >= P + kStep; x -= kStep) PrintAt(pic, x, p0, PrintForm(x));
    for (int y = p0 - kStep; y >= P; y -= kStep) PrintAt(pic, p0 + kStep, y, PrintForm(y));
    // Each pressure's temperature and height once: every layer between two
    // of the table's pressures takes them from here.
    std::vector<TableLevel> levels;
    for (int x = p0; x >= P; x -= kStep) levels.push_back(LevelAt(s, t, x));
    const auto level = [&](int pressure) -> const TableLevel& {
        return levels[static_cast<std::size_t>((p0 - pressure) / kStep)];
    };
    for (int x = p0; x >= P; x -= kStep) {
        for (int y = x - kStep; y >= P; y -= kStep) {
            const float lapse = LapseBetween(level(x), level(y));
            pic.SetForeColor(LapseColor(lapse));
            PrintAt(pic, x - 5, y, FormatRight(lapse, "0.0", 4));
        }
    }
}

} // namespace tarvex
