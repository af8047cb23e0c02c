#include "files/SoundingReader.h"

#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/VectorRegisters.h"
#include "files/DerivedFields.h"
#include "files/FieldReader.h"
#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "files/SoundingFiles.h"
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
    int lowestLevelLine = 0;  // the line of the block's lowest level
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

// A value the reader refuses because no model gives it.
class ValueOutOfRange : public TextReadError {
  public:
    using TextReadError::TextReadError;
};

// " of forecast time 3" for a 1-based time, nothing for 0 (a level's value,
// whose line names it).
std::string OfTimeText(int ofTime) {
    return ofTime > 0 ? " of forecast time " + std::to_string(ofTime) : std::string();
}

// what names the value ("the dew point").
void CheckTemperature(const char* what, float value, int line, int ofTime = 0) {
    if (!(value >= kLowestTemperature && value <= kHighestTemperature))
        throw ValueOutOfRange(line, what + (" " + DegreesText(value)) + OfTimeText(ofTime) +
                                        " is outside -150 to 80 C");
}

// A dew point within the temperature bounds and not far above its
// temperature. A missing-value marker passes.
void CheckDewPoint(const char* what, float dewPoint, float temperature, int line, int ofTime = 0) {
    if (dewPoint < kMissingDewPoint) return;
    CheckTemperature(what, dewPoint, line, ofTime);
    if (dewPoint > temperature + kDewPointExcess)
        throw ValueOutOfRange(line, what + (" " + DegreesText(dewPoint)) + OfTimeText(ofTime) +
                                        " is more than 2 degrees above the temperature " +
                                        DegreesText(temperature));
}

// The range a model can give for one stored value: a value outside it shows
// a damaged file, and is never drawn as data. The file writes -9999 for a
// value the model did not give; fields that may lack a value let it pass.
struct ValueBound {
    const char* what; // "the wind speed"
    float lowest;
    float highest;
    const char* unit; // " kt", or "" for a number without a unit
    bool mayBeMissing = false;

    bool Holds(float value) const {
        return (value >= lowest && value <= highest) || (mayBeMissing && value == kMissingValue);
    }
    static constexpr float kMissingValue = -9999.0f;
};

// Refuses the value just read, whose field was not a number, at its line;
// what names the value ("the wind speed"), ofTime as for RefuseValue.
[[noreturn, gnu::cold, gnu::noinline]] void RefuseNotANumber(const FieldReader& in,
                                                             const char* what, int ofTime) {
    const std::string_view text = in.LastNotANumber().value_or(std::string_view());
    throw TextReadError(in.LastLine(), text.empty()
                                           ? std::string(what) + OfTimeText(ofTime) +
                                                 " is missing: its line is blank"
                                           : std::string(what) + " \"" + EchoText(text) + "\"" +
                                                 OfTimeText(ofTime) + " is not a number");
}

// Refuses the value just read when its field was not a number. The name is
// looked at only then: the check is made for every value of a file.
inline void CheckIsNumber(const FieldReader& in, const char* what, int ofTime) {
    if (in.LastNotANumber()) [[unlikely]]
        RefuseNotANumber(in, what, ofTime);
}

// The next field, which must be a number.
float ReadValue(FieldReader& in, const char* what, int ofTime = 0) {
    const float value = in.ReadNumber();
    CheckIsNumber(in, what, ofTime);
    return value;
}

// ofTime is the 1-based forecast time the value belongs to, 0 for a value of
// a level (its line names it) or of the station.
[[noreturn]] void RefuseValue(const ValueBound& bound, float value, int line, int ofTime) {
    std::string reason = std::string(bound.what) + " " + NumberText(value) + bound.unit +
                         OfTimeText(ofTime) + " is outside " + NumberText(bound.lowest) + " to " +
                         NumberText(bound.highest) + bound.unit;
    throw ValueOutOfRange(line, reason);
}

void CheckValue(const ValueBound& bound, float value, int line, int ofTime = 0) {
    if (!bound.Holds(value)) RefuseValue(bound, value, line, ofTime);
}

// The next field as a number within bound; a value outside it is refused at
// the field's own line.
float ReadBounded(FieldReader& in, const ValueBound& bound, int ofTime) {
    const float value = ReadValue(in, bound.what, ofTime);
    if (!bound.Holds(value)) RefuseValue(bound, value, in.LastLine(), ofTime);
    return value;
}

// The level values, in the file's units (omega before it is scaled).
constexpr ValueBound kWetBulb{"the wet-bulb temperature", -150.0f, 80.0f, " C", true};
constexpr ValueBound kThetaE{"the equivalent potential temperature", 150.0f, 2000.0f, " K", true};
constexpr ValueBound kWindDirection{"the wind direction", 0.0f, 360.0f, " degrees"};
constexpr ValueBound kWindSpeed{"the wind speed", 0.0f, 500.0f, " kt"};
constexpr ValueBound kOmega{"the omega", -100.0f, 100.0f, ""};
constexpr ValueBound kCloudFraction{"the cloud fraction", 0.0f, 100.0f, " %"};
constexpr ValueBound kHeight{"the height", -1000.0f, 100000.0f, " m"};
// A cloud fraction the file leaves to the reader to derive from humidity.
constexpr float kDerivedCloud = -1.0f;

constexpr ValueBound kElevation{"the station elevation", -500.0f, 9000.0f, " m"};

// The station parameters of a time, in the file's units, in the file's order.
constexpr ValueBound kStationBounds[13] = {
    {"the Showalter index", -100.0f, 100.0f, "", true},
    {"the lifted index", -100.0f, 100.0f, "", true},
    {"the SWEAT index", -10000.0f, 10000.0f, "", true},
    {"the K index", -200.0f, 200.0f, "", true},
    {"the LCL pressure", 0.0f, 1100.0f, " mb", true},
    // 254 mm is 10 inches.
    {"the precipitable water", 0.0f, 254.0f, " mm", true},
    {"the total totals index", -200.0f, 200.0f, "", true},
    // A negative CAPE is the file's way of writing none; it is stored as 0.
    {"the CAPE", -20000.0f, 20000.0f, " J/kg", true},
    {"the LCL temperature", 150.0f, 350.0f, " K", true},
    {"the CIN", -20000.0f, 20000.0f, " J/kg", true},
    // Any pressure of 0 or below marks a parcel without these levels.
    {"the equilibrium level pressure", -9999.0f, 1100.0f, " mb"},
    {"the LFC pressure", -9999.0f, 1100.0f, " mb"},
    {"the bulk Richardson number", -100000.0f, 100000.0f, "", true},
};

// The surface rows, in the file's units.
constexpr ValueBound kSeaLevelPressure{"the sea-level pressure", 850.0f, 1100.0f, " mb", true};
constexpr ValueBound kSkinTemperature{"the skin temperature", 150.0f, 400.0f, " K", true};
constexpr ValueBound kSoilTemperature{"the soil temperature", 150.0f, 400.0f, " K", true};
constexpr ValueBound kSnowfall{"the snowfall", 0.0f, 1000.0f, " mm", true};
constexpr ValueBound kPrecip{"the precipitation", -1000.0f, 1000.0f, " mm", true};
constexpr ValueBound kConvPrecip{"the convective precipitation", -1000.0f, 1000.0f, " mm", true};
constexpr ValueBound kSnowRatio{"the snow ratio", 0.0f, 100.0f, " %", true};
constexpr ValueBound kSurfaceU{"the 10 m wind component u", -300.0f, 300.0f, " m/s"};
constexpr ValueBound kSurfaceV{"the 10 m wind component v", -300.0f, 300.0f, " m/s"};
constexpr ValueBound kRunOff{"the run-off", -1000.0f, 1000.0f, " mm", true};
constexpr ValueBound kSurfaceHumidity{"the 2 m specific humidity", 0.0f, 100.0f, " g/kg", true};
constexpr ValueBound kStormU{"the storm motion u", -300.0f, 300.0f, " m/s", true};
constexpr ValueBound kStormV{"the storm motion v", -300.0f, 300.0f, " m/s", true};
constexpr ValueBound kHelicity{"the helicity", -10000.0f, 10000.0f, " m2/s2", true};
constexpr ValueBound kEvaporation{"the evaporation", -1000.0f, 1000.0f, " mm", true};
constexpr ValueBound kWeatherCode{"the precipitation type code", 0.0f, 999.0f, "", true};
constexpr ValueBound kCloudBase{"the cloud base", 0.0f, 1100.0f, " mb", true};
constexpr ValueBound kVisibility{"the visibility", 0.0f, 1000.0f, " km", true};
constexpr ValueBound kSurfaceWindSpeed{"the 10 m wind speed", 0.0f, 500.0f, " kt"};
constexpr ValueBound kSurfaceWindDirection{"the 10 m wind direction", 0.0f, 360.0f, " degrees"};

// A precipitation type flag: 0 or 1, or missing; ofTime as for RefuseValue.
float ReadTypeFlag(FieldReader& in, int ofTime) {
    const float flag = ReadValue(in, "the precipitation type flag", ofTime);
    if (flag != 0.0f && flag != 1.0f && flag != ValueBound::kMissingValue)
        throw ValueOutOfRange(in.LastLine(), "the precipitation type flag " + NumberText(flag) +
                                                 OfTimeText(ofTime) + " is neither 0 nor 1");
    return flag;
}

// The temperature and dew point of a level, read at line: values a sounding
// can hold, the dew point not far above its temperature.
void CheckLevelTemperatures(const ProfileArrays& s, int m, int t, int L, int line) {
    CheckTemperature("the temperature", s.Temperature(m, t, L), line);
    CheckDewPoint("the dew point", s.DewPoint(m, t, L), s.Temperature(m, t, L), line);
}

// The wet-bulb temperature lies between the dew point and the temperature;
// the file rounds all three, so it may stand a little outside them.
constexpr float kWetBulbMargin = 0.5f; // deg C

// A level's wet-bulb temperature, read at line: a value a sounding can hold,
// and, where the dew point is given, between it and the temperature.
void CheckWetBulb(const ProfileArrays& s, int m, int t, int L, int line) {
    const float wetBulb = s.WetBulb(m, t, L);
    CheckValue(kWetBulb, wetBulb, line);
    const float temperature = s.Temperature(m, t, L);
    const float dewPoint = s.DewPoint(m, t, L);
    if (wetBulb == ValueBound::kMissingValue || dewPoint < kMissingDewPoint) return;
    const float lowest = std::min(dewPoint, temperature) - kWetBulbMargin;
    const float highest = std::max(dewPoint, temperature) + kWetBulbMargin;
    if (!(wetBulb >= lowest && wetBulb <= highest))
        throw ValueOutOfRange(line, "the wet-bulb temperature " + DegreesText(wetBulb) +
                                        " is not between the dew point " + DegreesText(dewPoint) +
                                        " and the temperature " + DegreesText(temperature));
}

// The fields of one level after its pressure, by layout; line is the line of
// the pressure. Each value is held to what a model can give as it is read.
void ReadLevelFields(FieldReader& in, SoundingLayout layout, bool legacy, ProfileArrays& s, int m,
                     int t, int L, int line) {
    if (legacy && layout != SoundingLayout::Gfs3) {
        s.Temperature(m, t, L) = ReadValue(in, "the temperature");
        in.SkipFields(1);
        s.WetBulb(m, t, L) = ReadValue(in, "the wet-bulb temperature");
        s.DewPoint(m, t, L) = ReadValue(in, "the dew point");
        CheckLevelTemperatures(s, m, t, L, line);
        CheckWetBulb(s, m, t, L, line);
        s.ThetaE(m, t, L) = ReadBounded(in, kThetaE, 0);
        in.SkipFields(1);
        s.WindDirection(m, t, L) = ReadBounded(in, kWindDirection, 0);
        s.WindSpeed(m, t, L) = ReadBounded(in, kWindSpeed, 0);
        s.Omega(m, t, L) = ReadBounded(in, kOmega, 0);
        s.CloudFraction(m, t, L) = kDerivedCloud;
        s.Height(m, t, L) = StdHeightMeters(s.Pressure(m, t, L));
        return;
    }
    s.Temperature(m, t, L) = ReadValue(in, "the temperature");
    s.WetBulb(m, t, L) = ReadValue(in, "the wet-bulb temperature");
    const int wetBulbLine = in.LastLine();
    s.DewPoint(m, t, L) = ReadValue(in, "the dew point");
    CheckLevelTemperatures(s, m, t, L, line);
    CheckWetBulb(s, m, t, L, wetBulbLine);
    s.ThetaE(m, t, L) = ReadBounded(in, kThetaE, 0);
    s.WindDirection(m, t, L) = ReadBounded(in, kWindDirection, 0);
    s.WindSpeed(m, t, L) = ReadBounded(in, kWindSpeed, 0);
    s.Omega(m, t, L) = ReadBounded(in, kOmega, 0);
    if (layout == SoundingLayout::EtaRuc) {
        const float cloud = ReadValue(in, kCloudFraction.what);
        if (cloud != kDerivedCloud) CheckValue(kCloudFraction, cloud, in.LastLine());
        s.CloudFraction(m, t, L) = cloud;
    } else {
        s.CloudFraction(m, t, L) = kDerivedCloud;
    }
    s.Height(m, t, L) = ReadBounded(in, kHeight, 0);
}

// A level's fields, read and held to their bounds. Values that read as
// impossible under a legacy header are most often a file of the newer layout
// whose second line names RELH: the refusal says so.
void ReadLevel(FieldReader& in, SoundingLayout layout, bool legacy, ProfileArrays& s, int m, int t,
               int L, int line) {
    try {
        ReadLevelFields(in, layout, legacy, s, m, t, L, line);
    } catch (const ValueOutOfRange& error) {
        if (!legacy) throw;
        throw TextReadError(error.Line(),
                            error.what() + std::string(" (the second line names RELH, so the "
                                                       "levels were read in the legacy column "
                                                       "order)"));
    }
}

// The thirteen station parameters of a block, known by their order.
void ReadStationParameters(FieldReader& in, ProfileArrays& s, int m, int t) {
    float value[13];
    for (int i = 0; i < 13; ++i) {
        value[i] = in.ReadKeyValue();
        CheckIsNumber(in, kStationBounds[i].what, t + 1);
        CheckValue(kStationBounds[i], value[i], in.LastLine(), t + 1);
    }
    s.Showalter(m, t) = value[0];
    s.LiftedIndex(m, t) = value[1];
    s.SweatIndex(m, t) = value[2];
    s.KIndex(m, t) = value[3];
    s.LCLPressure(m, t) = value[4];
    s.PrecipWater(m, t) = value[5] / 25.4f;
    s.TotalTotals(m, t) = value[6];
    s.CAPE(m, t) = std::max(0.0f, value[7]);
    s.LCLTemperature(m, t) = value[8] - kKelvin;
    s.CINS(m, t) = std::fabs(value[9]);
    s.EQLPressure(m, t) = value[10];
    s.LFCPressure(m, t) = value[11];
    s.BulkRichardson(m, t) = value[12];
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
    ReadBounded(in, kSeaLevelPressure, t + 1);
}

// One row of the surface section, its fields known by position; time is the
// row's 1-based forecast time, for messages.
// The lines on which a surface row's 2 m temperature and dew point stand: a
// row spans several lines, and a refusal names the line of its value.
struct SurfaceAirLines {
    int temperature = 0;
    int dewPoint = 0;
};

SurfaceAirLines ReadSurfaceRow(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m,
                               int t) {
    const int time = t + 1;
    SurfaceAirLines lines;
    auto read = [&](const ValueBound& bound) { return ReadBounded(in, bound, time); };
    switch (layout) {
    case SoundingLayout::EtaRuc: {
        s.SurfacePressure(m, t) = ReadValue(in, "the surface pressure", time);
        s.SkinTemperature(m, t) = read(kSkinTemperature);
        const float firstSoil = read(kSoilTemperature);
        read(kSnowfall); // checked, not kept
        in.SkipFields(1);
        s.Precip(m, t) = read(kPrecip);
        s.ConvPrecip(m, t) = read(kConvPrecip);
        const float secondSoil = read(kSoilTemperature);
        in.SkipFields(3);
        s.ModelSnowRatio(m, t) = read(kSnowRatio);
        s.SurfaceU(m, t) = read(kSurfaceU);
        s.SurfaceV(m, t) = read(kSurfaceV);
        s.RunOff(m, t) = read(kRunOff);
        in.SkipFields(1);
        s.SurfaceTemp(m, t) = ReadValue(in, "the 2 m temperature", time);
        lines.temperature = in.LastLine();
        s.SpecificHumidity(m, t, 0) = read(kSurfaceHumidity);
        in.SkipFields(4);
        s.StormU(m, t) = read(kStormU);
        s.StormV(m, t) = read(kStormV);
        s.ModelHelicity(m, t) = read(kHelicity);
        s.Evaporation(m, t) = read(kEvaporation);
        s.PTypeModelCode(m, t) = ClampToInt<std::int32_t>(std::round(read(kWeatherCode)));
        s.CloudBase(m, t) = read(kCloudBase);
        s.Visibility(m, t) = read(kVisibility);
        s.SurfaceDewPoint(m, t) = ReadValue(in, "the 2 m dew point", time);
        lines.dewPoint = in.LastLine();
        // The soil temperatures are kept only as their weighted mean.
        s.GroundTemperature(m, t) = (3.0f * firstSoil + secondSoil) / 4.0f;
        break;
    }
    case SoundingLayout::Ngm:
        s.SurfacePressure(m, t) = ReadValue(in, "the surface pressure", time);
        in.SkipFields(1);
        s.Precip(m, t) = read(kPrecip);
        s.ConvPrecip(m, t) = read(kConvPrecip);
        in.SkipFields(13);
        s.SurfaceTemp(m, t) = ReadValue(in, "the 2 m temperature", time);
        lines.temperature = in.LastLine();
        s.SurfaceDewPoint(m, t) = ReadValue(in, "the 2 m dew point", time);
        lines.dewPoint = in.LastLine();
        s.SurfaceWindSpeed(m, t) = read(kSurfaceWindSpeed);
        s.SurfaceWindDirection(m, t) = read(kSurfaceWindDirection);
        break;
    case SoundingLayout::Gfs3: {
        s.SurfacePressure(m, t) = ReadValue(in, "the surface pressure", time);
        s.SkinTemperature(m, t) = read(kSkinTemperature);
        in.SkipFields(1);
        s.Evaporation(m, t) = read(kEvaporation);
        s.Precip(m, t) = read(kPrecip);
        s.ConvPrecip(m, t) = read(kConvPrecip);
        in.SkipFields(4);
        s.SurfaceU(m, t) = read(kSurfaceU);
        s.SurfaceV(m, t) = read(kSurfaceV);
        s.SurfaceTemp(m, t) = ReadValue(in, "the 2 m temperature", time);
        lines.temperature = in.LastLine();
        s.SpecificHumidity(m, t, 0) = read(kSurfaceHumidity);
        const float snow = ReadTypeFlag(in, time);
        const float icePellets = ReadTypeFlag(in, time);
        const float freezingRain = ReadTypeFlag(in, time);
        const float rain = ReadTypeFlag(in, time);
        in.SkipFields(1);
        s.SurfaceDewPoint(m, t) = ReadValue(in, "the 2 m dew point", time);
        lines.dewPoint = in.LastLine();
        // A flag the file leaves missing names no type.
        auto given = [](float flag) { return flag == ValueBound::kMissingValue ? 0.0 : flag; };
        s.PTypeModelCode(m, t) =
            ClampToInt<std::int32_t>(std::round(70.0 * given(snow) + 79.0 * given(icePellets) +
                                                66.0 * given(freezingRain) + 60.0 * given(rain)));
        break;
    }
    }
    return lines;
}

constexpr float kLowestSurfacePressure = 100.0f;   // mb
constexpr float kHighestSurfacePressure = 1100.0f; // mb

// The surface section: header lines, then one row for each time read, and
// nothing after the last row. The lowest level of each time must stand on the
// ground of its row, not below it: rounding of the two pressures is allowed.
constexpr float kLowestLevelExcess = 1.0f; // mb

void ProcessModelSounding(FieldReader& in, SoundingLayout layout, ProfileArrays& s, int m,
                          int lastTime, const BlockKey* keys) {
    in.SkipLines(layout == SoundingLayout::EtaRuc ? 5 : 3);
    for (int t = 0; t <= lastTime; ++t) {
        CheckRowStart(in, keys[t], s, m, t);
        const int line = in.LastLine();
        const SurfaceAirLines air = ReadSurfaceRow(in, layout, s, m, t);
        const float pressure = s.SurfacePressure(m, t);
        if (!(pressure >= kLowestSurfacePressure && pressure <= kHighestSurfacePressure))
            throw TextReadError(line, "the surface pressure " + NumberText(pressure) + " mb" +
                                          OfTimeText(t + 1) + " is outside 100 to 1100 mb");
        CheckTemperature("the 2 m temperature", s.SurfaceTemp(m, t), air.temperature, t + 1);
        CheckDewPoint("the 2 m dew point", s.SurfaceDewPoint(m, t), s.SurfaceTemp(m, t),
                      air.dewPoint, t + 1);
        const float lowest = s.Pressure(m, t, 1);
        if (lowest > pressure + kLowestLevelExcess)
            throw TextReadError(keys[t].lowestLevelLine,
                                "the lowest level (" + NumberText(lowest) + " mb)" +
                                    OfTimeText(t + 1) +
                                    " lies below the ground: the surface pressure is " +
                                    NumberText(pressure) + " mb");
    }
    if (!in.OnlyBlanksRemain()) throw TextReadError(in.Line(), "text follows the last surface row");
}

// The order of the levels: a positive pressure below that of the level
// beneath, a height above it.
void CheckLevel(const ProfileArrays& s, int m, int t, int L, int line) {
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
}

// The pressure that opens level L of the 0-based time t, or 0 where the
// level list ends: at a blank line, a 0, or the word that opens the next
// time block ("STID") or the surface section ("STN"). Any other field that is
// not a number is refused at its line.
float ReadLevelPressure(FieldReader& in, int L, int t) {
    const float pressure = in.ReadNumber();
    const std::optional<std::string_view> text = in.LastNotANumber();
    if (!text || text->empty() || *text == "STID" || *text == "STN") return pressure;
    throw TextReadError(in.LastLine(), "the pressure \"" + EchoText(*text) + "\" of level " +
                                           std::to_string(L) + OfTimeText(t + 1) +
                                           " is not a number");
}

// The lowest level stands at the ground of the station: its height, as the
// file gives it (the last field of its level, on line), a little below the
// station's elevation at most.
constexpr float kLowestLevelBelowStation = 100.0f; // m

void CheckLowestHeight(float height, float elevationMeters, int line) {
    if (!(height >= elevationMeters - kLowestLevelBelowStation))
        throw TextReadError(line, "the height " + NumberText(height) +
                                      " m of the lowest level is more than 100 m below the "
                                      "station elevation " +
                                      NumberText(elevationMeters) + " m");
}

// A station latitude or longitude within +-bound degrees.
void CheckStationBound(const char* what, float value, float bound, int line) {
    if (!(std::fabs(value) <= bound))
        throw TextReadError(line, std::string("the station ") + what + " " + NumberText(value) +
                                      " is outside -" + NumberText(bound) + " to " +
                                      NumberText(bound) + " degrees");
}

// The refusal of a file whose first time block is not where the header
// ends (line 5): lines added before the header (a line of other text, blank
// lines) are named by the first of them, counted from the file's start.
[[noreturn]] void RefuseWithoutTimeBlocks(std::string_view text, int line) {
    constexpr int kFirstBlockLine = 5;
    std::size_t start = 0;
    for (int at = 1; start < text.size(); ++at) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (text.substr(start, end - start).find("TIME") != std::string_view::npos) {
            if (at <= kFirstBlockLine) break;
            const int extra = at - kFirstBlockLine;
            throw TextReadError(
                1, std::to_string(extra) +
                       (extra == 1 ? " line too many stands" : " lines too many stand") +
                       " before the first time block (its TIME line is line " + std::to_string(at) +
                       ", not line " + std::to_string(kFirstBlockLine) + ")");
        }
        start = end + 1;
    }
    throw TextReadError(line, "no forecast time (no TIME line) was found");
}

// The hours between two time columns are those between the first two times:
// every later time must follow the one before it by as many hours.
void CheckEvenStep(const ProfileArrays& s, int m, int t, const BlockKey* keys, int line) {
    const long step = s.ValidTime(m, 1).HoursAfter(s.ValidTime(m, 0));
    const long here = s.ValidTime(m, t).HoursAfter(s.ValidTime(m, t - 1));
    if (here == step) return;
    const auto hours = [](long n) { return std::to_string(n) + (n == 1 ? " hour" : " hours"); };
    throw TextReadError(line, "the time " + EchoText(keys[t].date) + " of forecast time " +
                                  std::to_string(t + 1) + " comes " + hours(here) +
                                  " after the time before, where the run steps by " + hours(step) +
                                  " (a run's times must be evenly spaced)");
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
    // Whatever ran before (the main window's drawing, the making of the
    // text) can leave the vector registers' upper halves in use, which would
    // make the number conversions and level fields take three times as long.
    ClearUpperVectorHalves();
    SoundingReadResult result;
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        result.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n'));
        result.reason = "the file holds a NUL byte, so it is not a sounding text file";
        return result;
    }
    // The text holds no NUL byte: of the plain-text checks only its line
    // ends are left.
    if (const TextFileResult plain = CheckLineEnds(text); !plain.ok) {
        result.line = plain.line;
        result.reason = plain.reason;
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
                throw TextReadError(in.LastLine(),
                                    "the run has more than " + std::to_string(kTimeColumns) +
                                        " forecast times, more than a sounding file may hold");
            s.ValidTime(m, t) = ParseBlockTime(line, in.LastLine());
            keys[t].station = StationNumberOf(line);
            keys[t].date = DateTextOf(line);
            if (t > 0 && !(s.ValidTime(m, t).serial > s.ValidTime(m, t - 1).serial))
                throw TextReadError(in.LastLine(),
                                    "the time " + EchoText(keys[t].date) + " of forecast time " +
                                        std::to_string(t + 1) + " does not come after the time " +
                                        EchoText(keys[t - 1].date) + " of the time before");
            if (t > 1) CheckEvenStep(s, m, t, keys, in.LastLine());
            if (t == 0) {
                const float latitude = in.ReadKeyValue();
                CheckIsNumber(in, "the station latitude", 0);
                CheckStationBound("latitude", latitude, 90.0f, in.LastLine());
                const float longitude = in.ReadKeyValue();
                CheckIsNumber(in, "the station longitude", 0);
                CheckStationBound("longitude", longitude, 180.0f, in.LastLine());
                s.StationLat(m) = latitude;
                s.StationLon(m) = -longitude;
                elevationMeters = in.ReadKeyValue();
                CheckIsNumber(in, kElevation.what, 0);
                CheckValue(kElevation, elevationMeters, in.LastLine());
                s.StationElevation(m) = elevationMeters / 1000.0f;
            } else {
                in.ReadLine();
            }
            in.SkipLines(2);
            ReadStationParameters(in, s, m, t);
            in.SkipLines(3);

            int L = 1;
            while (true) {
                const float pressure = ReadLevelPressure(in, L, t);
                const int levelLine = in.LastLine();
                if (L == 1) keys[t].lowestLevelLine = levelLine;
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
                ReadLevel(in, layout, result.LegacyMode, s, m, t, L, levelLine);
                CheckLevel(s, m, t, L, levelLine);
                // The legacy levels' heights come from their pressures.
                if (L == 1 && !(result.LegacyMode && layout != SoundingLayout::Gfs3))
                    CheckLowestHeight(s.Height(m, t, L), elevationMeters, in.LastLine());
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
        if (t == 0) RefuseWithoutTimeBlocks(text, in.LastLine());

        s.LastTime(m) = static_cast<std::int16_t>(t - 1);
        s.LevelCount(m) = static_cast<std::uint16_t>(levelsOfFirstBlock);
        ProcessModelSounding(in, layout, s, m, t - 1, keys);
    });
    result.ok = parsed.ok;
    result.line = parsed.line;
    result.reason = parsed.reason;
    return result;
}

namespace {

// Size and time of the file as it is now; false when either is unknown.
bool FileStamp(const std::string& path, std::uintmax_t& size,
               std::filesystem::file_time_type& modified) {
    std::error_code error;
    modified = std::filesystem::last_write_time(path, error);
    if (error) return false;
    size = std::filesystem::file_size(path, error);
    return !error;
}

bool SameRead(const ParsedSounding& early, const std::string& path, SoundingLayout layout) {
    if (!early.result.ok || !early.store || early.path != path || early.layout != layout)
        return false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    return FileStamp(path, size, modified) && size == early.size && modified == early.modified;
}

} // namespace

ParsedSounding ParseSoundingFile(const std::string& path, SoundingLayout layout) {
    ParsedSounding parsed;
    parsed.path = path;
    parsed.layout = layout;
    SoundingReadResult& result = parsed.result;
    if (const std::optional<std::string> why = RefuseBeforeReading(path, kLargestSoundingFile)) {
        result.reason = *why;
        return parsed;
    }
    try {
        // The file's size and time before its read; left at zero when
        // unknown, which no file matches later.
        FileStamp(path, parsed.size, parsed.modified);
        std::string refusal;
        const std::optional<std::string> contents =
            ReadTextFile(path, kLargestSoundingFile, &refusal);
        if (!contents) {
            result.reason = refusal.empty() ? "there is no such file" : refusal;
            return parsed;
        }
        // Nothing of the sounding read before may show through: the file is
        // read into an empty store.
        auto fresh = std::make_unique<ProfileArrays>();
        result = ParseSounding(*contents, layout, *fresh);
        if (!result.ok) return parsed;

        const std::size_t tail = path.size() > 3 ? path.size() - 3 : 0;
        fresh->FileTail = path.substr(tail);
        parsed.store = std::move(fresh);
    } catch (const std::bad_alloc&) {
        result = SoundingReadResult{};
        result.reason = "there is not enough memory to read it";
        parsed.store.reset();
    }
    return parsed;
}

SoundingReadResult ReadSounding(Session& session, const std::string& path) {
    return ReadSounding(session, path, ParsedSounding{});
}

SoundingReadResult ReadSounding(Session& session, const std::string& path, ParsedSounding early) {
    SoundingReadResult result;
    const ProfileArrays& current = *session.profile;
    const int choice = current.ModelChoice;
    const std::string keyword =
        choice >= 0 && choice < static_cast<int>(session.models.ModelCodes.size())
            ? session.models.ModelCodes[static_cast<std::size_t>(choice)]
            : std::string();
    const std::optional<SoundingLayout> layout = LayoutFromKeyword(keyword);
    if (!layout) {
        result.reason = "the model's layout \"" + keyword +
                        "\" is not one of eta, ruc, ngm and gfs3, so the file's "
                        "columns are unknown";
        return result;
    }

    ParsedSounding parsed =
        SameRead(early, path, *layout) ? std::move(early) : ParseSoundingFile(path, *layout);
    if (!parsed.result.ok) return parsed.result;
    // The new store keeps only the selection and the diagram's top from the
    // settings.
    parsed.store->CurrentModel = current.CurrentModel;
    parsed.store->ModelChoice = current.ModelChoice;
    parsed.store->DiagramTopPressure = current.DiagramTopPressure;
    session.profile = std::move(parsed.store);
    FollowTimeStep(session);
    CompleteSoundingRead(session, *layout);
    return parsed.result;
}

} // namespace tarvex
