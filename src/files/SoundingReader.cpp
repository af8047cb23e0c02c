#include "files/SoundingReader.h"

#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "files/DerivedFields.h"
#include "files/FieldReader.h"
#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace tarvex {

namespace {

constexpr float kKelvin = 273.16f;
// A real 85-hour file is under 1 MB: anything this large is not a sounding.
constexpr std::uintmax_t kLargestSoundingFile = 64u * 1024u * 1024u;

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// A date written yymmdd/hhmm (the minutes are not looked at), or nothing. A
// two-digit year below 50 is in the 2000s.
std::optional<DateTime> ParseFileDate(std::string_view text, std::string* why = nullptr) {
    auto fail = [&](const char* reason) -> std::optional<DateTime> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (text.size() < 9) return fail("the line is too short");
    const std::string_view yy = text.substr(0, 2);
    const std::string_view month = text.substr(2, 2);
    const std::string_view day = text.substr(4, 2);
    const std::string_view hour = text.substr(7, 2);
    if (!IsDigits(yy) || !IsDigits(month) || !IsDigits(day) || !IsDigits(hour))
        return fail("expected yymmdd/hhmm after \"TIME = \"");
    const int year = (yy < std::string_view("50") ? 2000 : 1900) + ToInt(yy);
    if (!DateTime::ValidParts(year, ToInt(month), ToInt(day), ToInt(hour))) {
        if (why) *why = "no such date or hour: " + EchoText(text.substr(0, 9));
        return std::nullopt;
    }
    return DateTime::FromParts(year, ToInt(month), ToInt(day), ToInt(hour));
}

// The valid time of a block from its TIME line, taken by position: the line
// has the form TIME = yymmdd/hhmm.
DateTime ParseBlockTime(std::string_view line, int lineNumber) {
    const std::size_t p = line.find("TIME");
    std::string why;
    const std::optional<DateTime> time =
        line.size() < p + 16 ? std::nullopt : ParseFileDate(line.substr(p + 7), &why);
    if (!time)
        throw TextReadError(lineNumber, "the TIME line has no valid date (" +
                                            (why.empty() ? "the line is too short" : why) + ")");
    return *time;
}

// The station number a TIME line gives after "STNM =", or empty.
std::string_view StationNumberOf(std::string_view line) {
    const std::size_t key = line.find("STNM");
    if (key == std::string_view::npos) return {};
    const std::size_t start = line.find_first_not_of(" =", key + 4);
    if (start == std::string_view::npos) return {};
    const std::size_t end = line.find_first_of(" \t", start);
    return line.substr(start, end == std::string_view::npos ? end : end - start);
}

std::string NumberText(float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// What one time block gave that its surface row and the next block must
// match.
struct BlockKey {
    std::string_view station; // empty when the TIME line names none
    std::string_view date;    // yymmdd/hhmm as the TIME line writes it
};

// The date text of a TIME line, for messages.
std::string_view DateTextOf(std::string_view line) {
    const std::size_t p = line.find("TIME");
    return p + 7 < line.size() ? TrimBlanks(line.substr(p + 7, 11)) : std::string_view();
}

// Physical bounds of what a sounding can hold; a value outside them shows a
// damaged file or columns read in the wrong order.
constexpr float kLowestTemperature = -150.0f; // deg C
constexpr float kHighestTemperature = 80.0f;  // deg C
// A dew point may stand a little above its temperature (supersaturation and
// rounding in the model output), never more.
constexpr float kDewPointExcess = 2.0f;
// A dew point below this marks a missing value (Temperature - 40 is used).
constexpr float kMissingDewPoint = -270.0f;

std::string DegreesText(float value) {
    return NumberText(value) + " C";
}

// what names the value ("the dew point"), where what follows it in the
// message (" of forecast time 3").
void CheckTemperature(const std::string& what, float value, int line,
                      const std::string& where = {}) {
    if (!(value >= kLowestTemperature && value <= kHighestTemperature))
        throw TextReadError(line,
                            what + " " + DegreesText(value) + where + " is outside -150 to 80 C");
}

// A dew point within the temperature bounds and not far above its
// temperature. A missing-value marker passes.
void CheckDewPoint(const std::string& what, float dewPoint, float temperature, int line,
                   const std::string& where = {}) {
    if (dewPoint < kMissingDewPoint) return;
    CheckTemperature(what, dewPoint, line, where);
    if (dewPoint > temperature + kDewPointExcess)
        throw TextReadError(line, what + " " + DegreesText(dewPoint) + where +
                                      " is more than 2 degrees above the temperature " +
                                      DegreesText(temperature));
}

// The fields of one level after its pressure, by layout.
void ReadLevelFields(FieldReader& in, SoundingLayout layout, bool legacy, ProfileArrays& s, int m,
                     int t, int L) {
    if (legacy && layout != SoundingLayout::Gfs3) {
        s.Temperature(m, t, L) = in.ReadNumber();
        in.SkipFields(1);
        s.WetBulb(m, t, L) = in.ReadNumber();
        s.DewPoint(m, t, L) = in.ReadNumber();
        s.ThetaE(m, t, L) = in.ReadNumber();
        in.SkipFields(1);
        s.WindDirection(m, t, L) = in.ReadNumber();
        s.WindSpeed(m, t, L) = in.ReadNumber();
        s.Omega(m, t, L) = in.ReadNumber();
        s.CloudFraction(m, t, L) = -1.0f;
        s.Height(m, t, L) = StdHeightMeters(s.Pressure(m, t, L));
        return;
    }
    s.Temperature(m, t, L) = in.ReadNumber();
    s.WetBulb(m, t, L) = in.ReadNumber();
    s.DewPoint(m, t, L) = in.ReadNumber();
    s.ThetaE(m, t, L) = in.ReadNumber();
    s.WindDirection(m, t, L) = in.ReadNumber();
    s.WindSpeed(m, t, L) = in.ReadNumber();
    s.Omega(m, t, L) = in.ReadNumber();
    if (layout == SoundingLayout::EtaRuc) {
        s.CloudFraction(m, t, L) = in.ReadNumber();
    } else {
        s.CloudFraction(m, t, L) = -1.0f;
    }
    s.Height(m, t, L) = in.ReadNumber();
}

// The thirteen station parameters of a block, known by their order.
void ReadStationParameters(FieldReader& in, ProfileArrays& s, int m, int t) {
    s.Showalter(m, t) = in.ReadKeyValue();
    s.LiftedIndex(m, t) = in.ReadKeyValue();
    s.SweatIndex(m, t) = in.ReadKeyValue();
    s.KIndex(m, t) = in.ReadKeyValue();
    s.LCLPressure(m, t) = in.ReadKeyValue();
    s.PrecipWater(m, t) = in.ReadKeyValue() / 25.4f;
    s.TotalTotals(m, t) = in.ReadKeyValue();
    s.CAPE(m, t) = std::max(0.0f, in.ReadKeyValue());
    s.LCLTemperature(m, t) = in.ReadKeyValue() - kKelvin;
    s.CINS(m, t) = std::fabs(in.ReadKeyValue());
    s.EQLPressure(m, t) = in.ReadKeyValue();
    s.LFCPressure(m, t) = in.ReadKeyValue();
    s.BulkRichardson(m, t) = in.ReadKeyValue();
}

// The station and time that lead a surface row must be those of the row's
// time block: a row that does not match shows that the reader has lost its
// place in the file (a line missing, another layout).
void CheckRowStart(FieldReader& in, const BlockKey& key, const ProfileArrays& s, int m, int t) {
    const std::string_view station = in.ReadField();
    const int line = in.LastLine();
    if (!key.station.empty() && station != key.station &&
        FieldReader::ParseNumber(station) != FieldReader::ParseNumber(key.station))
        throw TextReadError(line, "the surface row of forecast time " + std::to_string(t + 1) +
                                      " is for station \"" + EchoText(station) +
                                      "\", not for station " + EchoText(key.station));
    const std::string_view date = in.ReadField();
    if (ParseFileDate(date) != s.ValidTime(m, t))
        throw TextReadError(line, "the surface row of forecast time " + std::to_string(t + 1) +
                                      " has the date \"" + EchoText(date) +
                                      "\", not the date of its time block");
    in.SkipFields(1);
}

// One row of the surface section, its fields known by position.
void ReadSurfaceRow(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m, int t) {
    switch (layout) {
    case SoundingLayout::EtaRuc: {
        s.SurfacePressure(m, t) = in.ReadNumber();
        s.SkinTemperature(m, t) = in.ReadNumber();
        const float firstSoil = in.ReadNumber();
        in.SkipFields(2);
        s.Precip(m, t) = in.ReadNumber();
        s.ConvPrecip(m, t) = in.ReadNumber();
        const float secondSoil = in.ReadNumber();
        in.SkipFields(3);
        s.ModelSnowRatio(m, t) = in.ReadNumber();
        s.SurfaceU(m, t) = in.ReadNumber();
        s.SurfaceV(m, t) = in.ReadNumber();
        s.RunOff(m, t) = in.ReadNumber();
        in.SkipFields(1);
        s.SurfaceTemp(m, t) = in.ReadNumber();
        s.SpecificHumidity(m, t, 0) = in.ReadNumber();
        in.SkipFields(4);
        s.StormU(m, t) = in.ReadNumber();
        s.StormV(m, t) = in.ReadNumber();
        s.ModelHelicity(m, t) = in.ReadNumber();
        s.Evaporation(m, t) = in.ReadNumber();
        s.PTypeModelCode(m, t) = ClampToInt<std::int32_t>(std::round(in.ReadNumber()));
        s.CloudBase(m, t) = in.ReadNumber();
        s.Visibility(m, t) = in.ReadNumber();
        s.SurfaceDewPoint(m, t) = in.ReadNumber();
        // The soil temperatures are kept only as their weighted mean.
        s.GroundTemperature(m, t) = (3.0f * firstSoil + secondSoil) / 4.0f;
        break;
    }
    case SoundingLayout::Ngm:
        s.SurfacePressure(m, t) = in.ReadNumber();
        in.SkipFields(1);
        s.Precip(m, t) = in.ReadNumber();
        s.ConvPrecip(m, t) = in.ReadNumber();
        in.SkipFields(13);
        s.SurfaceTemp(m, t) = in.ReadNumber();
        s.SurfaceDewPoint(m, t) = in.ReadNumber();
        s.SurfaceWindSpeed(m, t) = in.ReadNumber();
        s.SurfaceWindDirection(m, t) = in.ReadNumber();
        break;
    case SoundingLayout::Gfs3: {
        s.SurfacePressure(m, t) = in.ReadNumber();
        s.SkinTemperature(m, t) = in.ReadNumber();
        in.SkipFields(1);
        s.Evaporation(m, t) = in.ReadNumber();
        s.Precip(m, t) = in.ReadNumber();
        s.ConvPrecip(m, t) = in.ReadNumber();
        in.SkipFields(4);
        s.SurfaceU(m, t) = in.ReadNumber();
        s.SurfaceV(m, t) = in.ReadNumber();
        s.SurfaceTemp(m, t) = in.ReadNumber();
        s.SpecificHumidity(m, t, 0) = in.ReadNumber();
        const float snow = in.ReadNumber();
        const float icePellets = in.ReadNumber();
        const float freezingRain = in.ReadNumber();
        const float rain = in.ReadNumber();
        in.SkipFields(1);
        s.SurfaceDewPoint(m, t) = in.ReadNumber();
        s.PTypeModelCode(m, t) = ClampToInt<std::int32_t>(
            std::round(70.0 * snow + 79.0 * icePellets + 66.0 * freezingRain + 60.0 * rain));
        break;
    }
    }
}

constexpr float kLowestSurfacePressure = 100.0f;   // mb
constexpr float kHighestSurfacePressure = 1100.0f; // mb

// The surface section: header lines, then one row for each time read, and
// nothing after the last row.
void ProcessModelSounding(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m,
                          int lastTime, const BlockKey* keys) {
    in.SkipLines(layout == SoundingLayout::EtaRuc ? 5 : 3);
    for (int t = 0; t <= lastTime; ++t) {
        CheckRowStart(in, keys[t], s, m, t);
        const int line = in.LastLine();
        ReadSurfaceRow(in, layout, s, m, t);
        const float pressure = s.SurfacePressure(m, t);
        const std::string ofTime = " of forecast time " + std::to_string(t + 1);
        if (!(pressure >= kLowestSurfacePressure && pressure <= kHighestSurfacePressure))
            throw TextReadError(line, "the surface pressure " + NumberText(pressure) + " mb" +
                                          ofTime + " is outside 100 to 1100 mb");
        CheckTemperature("the 2 m temperature", s.SurfaceTemp(m, t), line, ofTime);
        CheckDewPoint("the 2 m dew point", s.SurfaceDewPoint(m, t), s.SurfaceTemp(m, t), line,
                      ofTime);
    }
    if (!in.OnlyBlanksRemain()) throw TextReadError(in.Line(), "text follows the last surface row");
}

// The checks of one level as it is read: a positive pressure below that of
// the level beneath, a height above it, and a temperature and dew point a
// sounding can hold. Values that read as impossible under a legacy header
// are most often a file of the newer layout whose second line names RELH.
void CheckLevel(const ProfileArrays& s, int m, int t, int L, int line, bool legacy) {
    const float p = s.Pressure(m, t, L);
    if (!(p > 0.0f))
        throw TextReadError(line,
                            "the level pressure " + NumberText(p) + " is not a positive number");
    if (L > 1 && !(p < s.Pressure(m, t, L - 1)))
        throw TextReadError(line, "the pressure " + NumberText(p) +
                                      " mb does not fall from the level below (" +
                                      NumberText(s.Pressure(m, t, L - 1)) + " mb)");
    if (L > 1 && !(s.Height(m, t, L) > s.Height(m, t, L - 1)))
        throw TextReadError(line, "the height " + NumberText(s.Height(m, t, L)) +
                                      " m does not rise from the level below (" +
                                      NumberText(s.Height(m, t, L - 1)) + " m)");
    try {
        CheckTemperature("the temperature", s.Temperature(m, t, L), line);
        CheckDewPoint("the dew point", s.DewPoint(m, t, L), s.Temperature(m, t, L), line);
    } catch (const TextReadError& error) {
        if (!legacy) throw;
        throw TextReadError(line, error.what() + std::string(" (the second line names RELH, so "
                                                             "the levels were read in the "
                                                             "legacy column order)"));
    }
}

// A station latitude or longitude within +-bound degrees.
void CheckStationBound(const char* what, float value, float bound, int line) {
    if (!(std::fabs(value) <= bound))
        throw TextReadError(line, std::string("the station ") + what + " " + NumberText(value) +
                                      " is outside -" + NumberText(bound) + " to " +
                                      NumberText(bound) + " degrees");
}

// Every forecast time of a file holds the same levels: the store keeps one
// level count for the whole run, and a level is followed across the hours by
// its index. t is the 0-based time whose list differs; atLeast says that its
// list has at least levels levels (it was cut off there).
std::string UnequalLevelsText(int t, int levels, int levelsOfFirst, bool atLeast = false) {
    return "forecast time " + std::to_string(t + 1) + " has " + (atLeast ? "more than " : "") +
           std::to_string(atLeast ? levels - 1 : levels) + " levels, forecast time 1 has " +
           std::to_string(levelsOfFirst) + " (every forecast time must have the same levels)";
}

} // namespace

std::optional<SoundingLayout> LayoutFromKeyword(std::string_view keyword) {
    std::string lower(keyword);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "eta" || lower == "ruc") return SoundingLayout::EtaRuc;
    if (lower == "ngm") return SoundingLayout::Ngm;
    if (lower == "gfs3") return SoundingLayout::Gfs3;
    return std::nullopt;
}

std::string DescribeReadFailure(const std::string& path, const SoundingReadResult& result) {
    std::ostringstream text;
    text << "The sounding file \"" << path << "\" could not be read";
    if (result.line > 0) text << " (line " << result.line << ")";
    text << ": " << result.reason << ". The sounding shown before is kept.";
    return text.str();
}

SoundingReadResult ParseSounding(std::string_view text, SoundingLayout layout, ProfileArrays& s) {
    SoundingReadResult result;
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        result.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n'));
        result.reason = "the file holds a NUL byte, so it is not a sounding text file";
        return result;
    }
    FieldReader in(text);
    BlockKey keys[kTimeColumns];
    s.ReadModel = 1;
    s.MaxSpecificHumidity = 0.0f;
    const int m = s.ReadModel;
    const TextFileResult parsed = GuardedRead([&] {
        in.ReadLine();
        result.LegacyMode = in.ReadLine().find("RELH") != std::string_view::npos;
        in.SkipLines(2);

        int t = 0;
        int levelsOfFirstBlock = 0;
        float elevationMeters = 0.0f;
        while (true) {
            const std::string_view line = in.ReadLine();
            if (line.find("TIME") == std::string_view::npos) break;
            if (t == kTimeColumns)
                throw TextReadError(in.LastLine(), "more than " + std::to_string(kTimeColumns) +
                                                       " forecast times");
            s.ValidTime(m, t) = ParseBlockTime(line, in.LastLine());
            keys[t].station = StationNumberOf(line);
            keys[t].date = DateTextOf(line);
            if (t > 0 && !(s.ValidTime(m, t).serial > s.ValidTime(m, t - 1).serial))
                throw TextReadError(in.LastLine(),
                                    "the time " + EchoText(keys[t].date) + " of forecast time " +
                                        std::to_string(t + 1) + " does not come after the time " +
                                        EchoText(keys[t - 1].date) + " of the time before");
            if (t == 0) {
                const float latitude = in.ReadKeyValue();
                CheckStationBound("latitude", latitude, 90.0f, in.LastLine());
                const float longitude = in.ReadKeyValue();
                CheckStationBound("longitude", longitude, 360.0f, in.LastLine());
                s.StationLat(m) = latitude;
                s.StationLon(m) = -longitude;
                elevationMeters = in.ReadKeyValue();
                s.StationElevation(m) = elevationMeters / 1000.0f;
            } else {
                in.ReadLine();
            }
            in.SkipLines(2);
            ReadStationParameters(in, s, m, t);
            in.SkipLines(3);

            int L = 1;
            while (true) {
                const float pressure = in.ReadNumber();
                const int levelLine = in.LastLine();
                if (pressure == 0.0f) {
                    if (t > 0 && L > 1 && L - 1 != levelsOfFirstBlock)
                        throw TextReadError(levelLine,
                                            UnequalLevelsText(t, L - 1, levelsOfFirstBlock));
                    if (L <= kMaxProfileLevels) s.Pressure(m, t, L) = 0.0f;
                    break;
                }
                if (L > kMaxProfileLevels)
                    throw TextReadError(levelLine, "more than " +
                                                       std::to_string(kMaxProfileLevels) +
                                                       " levels in one forecast time");
                if (t > 0 && L > levelsOfFirstBlock)
                    throw TextReadError(levelLine,
                                        UnequalLevelsText(t, L, levelsOfFirstBlock, true));
                s.Pressure(m, t, L) = pressure;
                ReadLevelFields(in, layout, result.LegacyMode, s, m, t, L);
                CheckLevel(s, m, t, L, levelLine, result.LegacyMode);
                DeriveLevelFields(s, m, t, L, elevationMeters);
                ++L;
            }
            if (L == 1)
                throw TextReadError(in.LastLine(), "forecast time " + std::to_string(t + 1) +
                                                       " has no levels (its level list ends "
                                                       "before its first level)");
            if (t == 0) levelsOfFirstBlock = L - 1;
            ++t;
        }
        if (t == 0) throw TextReadError(in.LastLine(), "no forecast time (no TIME line) was found");

        s.LastTime(m) = static_cast<std::int16_t>(t - 1);
        s.LevelCount(m) = static_cast<std::uint16_t>(levelsOfFirstBlock);
        ProcessModelSounding(in, layout, s, m, t - 1, keys);
    });
    result.ok = parsed.ok;
    result.line = parsed.line;
    result.reason = parsed.reason;
    return result;
}

SoundingReadResult ReadSounding(Session& session, const std::string& path) {
    SoundingReadResult result;
    const ProfileArrays& current = *session.profile;
    const int choice = current.ModelChoice;
    const std::string keyword =
        choice >= 0 && choice < static_cast<int>(session.models.ModelCodes.size())
            ? session.models.ModelCodes[static_cast<std::size_t>(choice)]
            : std::string();
    const std::optional<SoundingLayout> layout = LayoutFromKeyword(keyword);
    if (!layout) {
        result.reason =
            "the model's layout \"" + keyword +
            "\" is not one of eta, ruc, ngm and gfs3, so the file's columns are unknown";
        return result;
    }

    if (const std::optional<std::string> why = RefuseBeforeReading(path, kLargestSoundingFile)) {
        result.reason = *why;
        return result;
    }
    try {
        const std::optional<std::string> contents = ReadTextFile(path);
        if (!contents) {
            result.reason = "the file cannot be opened";
            return result;
        }
        // Nothing of the sounding read before may show through: the file is
        // read into an empty store that keeps only the selection and the
        // diagram's top from the settings.
        auto fresh = std::make_unique<ProfileArrays>();
        fresh->CurrentModel = current.CurrentModel;
        fresh->ModelChoice = current.ModelChoice;
        fresh->DiagramTopPressure = current.DiagramTopPressure;
        result = ParseSounding(*contents, *layout, *fresh);
        if (!result.ok) return result;

        const std::size_t tail = path.size() > 3 ? path.size() - 3 : 0;
        fresh->FileTail = path.substr(tail);
        session.profile = std::move(fresh);
    } catch (const std::bad_alloc&) {
        result = SoundingReadResult{};
        result.reason = "there is not enough memory to read it";
        return result;
    }
    CompleteSoundingRead(session, *layout);
    return result;
}

} // namespace tarvex
