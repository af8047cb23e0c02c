#include "profile/data/SoundingReader.h"

#include "compute/Levels.h"
#include "profile/data/DerivedFields.h"
#include "profile/data/FieldReader.h"
#include "profile/data/ReadCompletion.h"
#include "profile/data/Session.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace tarvex {

namespace {

constexpr float kKelvin = 273.16f;

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// The valid time of a block from its TIME line, taken by position: the line
// has the form TIME = yymmdd/hhmm. A two-digit year below 50 is in the 2000s.
DateTime ParseBlockTime(std::string_view line, int lineNumber) {
    const std::size_t p = line.find("TIME");
    auto fail = [&](const std::string& why) {
        throw TextReadError(lineNumber, "the TIME line has no valid date (" + why + ")");
    };
    if (line.size() < p + 16) fail("the line is too short");
    const std::string_view yy = line.substr(p + 7, 2);
    const std::string_view month = line.substr(p + 9, 2);
    const std::string_view day = line.substr(p + 11, 2);
    const std::string_view hour = line.substr(p + 14, 2);
    if (!IsDigits(yy) || !IsDigits(month) || !IsDigits(day) || !IsDigits(hour))
        fail("expected yymmdd/hhmm after \"TIME = \"");
    const int year = (yy < std::string_view("50") ? 2000 : 1900) + ToInt(yy);
    if (!DateTime::ValidParts(year, ToInt(month), ToInt(day), ToInt(hour)))
        fail("no such date or hour: " + std::string(line.substr(p + 7, 9)));
    return DateTime::FromParts(year, ToInt(month), ToInt(day), ToInt(hour));
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

// One row of the surface section, its fields known by position.
void ReadSurfaceRow(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m, int t) {
    switch (layout) {
    case SoundingLayout::EtaRuc: {
        in.SkipFields(3);
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
        s.PTypeModelCode(m, t) = static_cast<std::int32_t>(std::lround(in.ReadNumber()));
        s.CloudBase(m, t) = in.ReadNumber();
        s.Visibility(m, t) = in.ReadNumber();
        s.SurfaceDewPoint(m, t) = in.ReadNumber();
        // The soil temperatures are kept only as their weighted mean.
        s.GroundTemperature(m, t) = (3.0f * firstSoil + secondSoil) / 4.0f;
        break;
    }
    case SoundingLayout::Ngm:
        in.SkipFields(3);
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
        in.SkipFields(3);
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
        s.PTypeModelCode(m, t) = static_cast<std::int32_t>(
            std::lround(70 * snow + 79 * icePellets + 66 * freezingRain + 60 * rain));
        break;
    }
    }
}

// The surface section: header lines, then one row for each time read.
void ProcessModelSounding(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m,
                          int lastTime) {
    in.SkipLines(layout == SoundingLayout::EtaRuc ? 5 : 3);
    for (int t = 0; t <= lastTime; ++t) ReadSurfaceRow(in, layout, s, m, t);
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
    FieldReader in(text);
    s.ReadModel = 1;
    s.MaxSpecificHumidity = 0.0f;
    const int m = s.ReadModel;
    const TextFileResult parsed = GuardedRead([&] {
        in.ReadLine();
        result.LegacyMode = in.ReadLine().find("RELH") != std::string_view::npos;
        in.SkipLines(2);

        int t = 0;
        int levelsOfLastBlock = 0;
        float elevationMeters = 0.0f;
        while (true) {
            const std::string_view line = in.ReadLine();
            if (line.find("TIME") == std::string_view::npos) break;
            if (t == kTimeColumns)
                throw TextReadError(in.LastLine(), "more than " + std::to_string(kTimeColumns) +
                                                       " forecast times");
            s.ValidTime(m, t) = ParseBlockTime(line, in.LastLine());
            if (t == 0) {
                s.StationLat(m) = in.ReadKeyValue();
                s.StationLon(m) = -in.ReadKeyValue();
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
                if (pressure == 0.0f) {
                    if (L <= kMaxProfileLevels) s.Pressure(m, t, L) = 0.0f;
                    break;
                }
                if (L > kMaxProfileLevels)
                    throw TextReadError(in.LastLine(), "more than " +
                                                           std::to_string(kMaxProfileLevels) +
                                                           " levels in one forecast time");
                s.Pressure(m, t, L) = pressure;
                ReadLevelFields(in, layout, result.LegacyMode, s, m, t, L);
                DeriveLevelFields(s, m, t, L, elevationMeters);
                ++L;
            }
            levelsOfLastBlock = L - 1;
            ++t;
        }
        if (t == 0) throw TextReadError(in.LastLine(), "no forecast time (no TIME line) was found");

        s.LastTime(m) = static_cast<std::int16_t>(t - 1);
        s.LevelCount(m) = static_cast<std::uint16_t>(levelsOfLastBlock);
        ProcessModelSounding(in, layout, s, m, t - 1);
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

    const std::optional<std::string> contents = ReadTextFile(path);
    if (!contents) {
        result.reason = "the file cannot be opened";
        return result;
    }

    auto fresh = std::make_unique<ProfileArrays>(current);
    result = ParseSounding(*contents, *layout, *fresh);
    if (!result.ok) return result;

    const std::size_t tail = path.size() > 3 ? path.size() - 3 : 0;
    fresh->FileTail = path.substr(tail);
    session.profile = std::move(fresh);
    CompleteSoundingRead(session, *layout);
    return result;
}

} // namespace tarvex
