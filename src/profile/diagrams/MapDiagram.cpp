#include "profile/diagrams/MapDiagram.h"

#include "compute/ArcCos.h"
#include "compute/Levels.h"
#include "compute/Winds.h"
#include "files/FieldReader.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

namespace tarvex {

namespace {

constexpr Rgb kShadowColor = RGB(127, 127, 127);
// The shadow lies this far (map units) right of and below its line with the
// default orientation.
constexpr double kShadowShift = 0.04;
// The degree sign of the labels.
constexpr const char* kDegree = "\u00B0";

// Radar beam geometry: the 4/3-earth radius (km), nautical miles per km as
// the bright-band ranges use it, the farthest ring drawn (nm), and the depth
// of the melting layer below the freezing level (1200 ft in km).
constexpr double kBeamEarthRadiusKm = 8498.666666666666;
constexpr double kBeamNmPerKm = 0.539593;
constexpr double kBeamMaxRangeNm = 124.0;
constexpr double kMeltingLayerKm = 0.36574215178299296;
constexpr double kFeetPerKm = 3281.0;

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The next field of a line: blanks skipped, then the text up to a blank, a
// comma or the end; the blanks and the one comma after it are consumed. None
// when only blanks are left; an empty field when a comma comes first.
std::optional<std::string_view> NextField(std::string_view& rest) {
    std::size_t pos = 0;
    while (pos < rest.size() && IsBlankChar(rest[pos])) ++pos;
    if (pos == rest.size()) return std::nullopt;
    const std::size_t start = pos;
    while (pos < rest.size() && !IsBlankChar(rest[pos]) && rest[pos] != ',') ++pos;
    const std::string_view field = rest.substr(start, pos - start);
    while (pos < rest.size() && IsBlankChar(rest[pos])) ++pos;
    if (pos < rest.size() && rest[pos] == ',') ++pos;
    rest.remove_prefix(pos);
    return field;
}

std::optional<float> NextNumber(std::string_view& rest) {
    const std::optional<std::string_view> field = NextField(rest);
    return field ? FieldReader::ParseNumber(*field) : std::nullopt;
}

// Splits text into lines (without their line ends) and hands each to use.
template <typename Use> void ForEachLine(std::string_view text, Use use) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        use(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

bool OnAnyMap(float lat, float lon) {
    return std::abs(lat) <= 90.0f && std::abs(lon) <= 360.0f;
}

// The map view in force: the saved one when it is usable.
MapExtent ViewOf(const Session& session) {
    return UsableMapView(session.history.MapView);
}

void MoveTo(PictureSurface& pic, double x, double y) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
}

// Levels 0 .. top hold data for the current model; top is 0 while nothing
// is loaded.
int TopLevel(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

// The hour the main window shows, when a sounding is loaded: the store, the
// current model, the time column and the top level.
struct ShownHour {
    const ProfileArrays& s;
    int m;
    int t;
    int top;
};

std::optional<ShownHour> LoadedHour(const Session& session, const SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    const int top = TopLevel(s);
    if (top < 1) return std::nullopt;
    return ShownHour{s, s.CurrentModel, view.CurrentColumn, top};
}

void PrintLabelAtTopLeft(PictureSurface& pic, const MapExtent& view, const std::string& text) {
    pic.SetForeColor(kBlack);
    MoveTo(pic, view[0], view[1]);
    pic.Print(text);
}

std::string WholePart(float value) {
    return PrintForm(std::floor(value));
}

} // namespace

// ---------------------------------------------------------------------------
// Geography
// ---------------------------------------------------------------------------

std::vector<MapOutlinePoint> ParseMapOutlines(std::string_view text, int& skipped) {
    std::vector<MapOutlinePoint> points;
    // The first value of a record read so far (a plain pair rather than an
    // optional, which GCC's optimiser takes for unset where it is read).
    float pendingLat = 0.0f;
    bool hasPendingLat = false;
    bool startNext = true; // no outline is open
    ForEachLine(text, [&](std::string_view rest) {
        while (true) {
            const std::optional<std::string_view> field = NextField(rest);
            if (!field) break; // the end of the line
            // An empty field before a comma is not a number either.
            const std::optional<float> value = FieldReader::ParseNumber(*field);
            if (!value) {
                // A record with a bad value is dropped with the rest of its
                // line; the next good point opens a new outline.
                ++skipped;
                hasPendingLat = false;
                startNext = true;
                break;
            }
            if (!hasPendingLat) {
                pendingLat = *value;
                hasPendingLat = true;
                continue;
            }
            const float lat = pendingLat;
            const float lon = *value;
            hasPendingLat = false;
            if (!OnAnyMap(lat, lon)) {
                ++skipped;
                startNext = true;
                continue;
            }
            const bool starts = lat < 0.0f || startNext;
            points.push_back(MapOutlinePoint{std::abs(lat), lon, starts});
            startNext = false;
        }
    });
    if (hasPendingLat) ++skipped; // the file ends inside a record
    return points;
}

std::vector<MapCity> ParseMapCities(std::string_view text, int& skipped) {
    std::vector<MapCity> cities;
    ForEachLine(text, [&](std::string_view line) {
        std::string_view rest = TrimBlanks(line);
        if (!rest.empty() && rest.back() == '\r')
            rest = TrimBlanks(rest.substr(0, rest.size() - 1));
        if (rest.empty()) return;
        const std::optional<float> lat = NextNumber(rest);
        const std::optional<float> lon = NextNumber(rest);
        if (!lat || !lon || !OnAnyMap(*lat, *lon)) {
            ++skipped;
            return;
        }
        std::string_view name = TrimBlanks(rest);
        if (!name.empty() && name.front() == '"') {
            name.remove_prefix(1);
            name = name.substr(0, name.find('"'));
        } else {
            name = TrimBlanks(name.substr(0, name.find(',')));
        }
        cities.push_back(MapCity{*lat, *lon, std::string(name)});
    });
    return cities;
}

namespace {

// The text of a map file, or why there is none: it is missing, cannot be
// opened, or is not a regular file of a readable size.
std::optional<std::string> ReadMapFile(const std::filesystem::path& path, std::string& why) {
    std::optional<std::string> text = ReadTextFile(path, kLargestTextFile, &why);
    if (!text && why.empty()) {
        std::error_code error;
        why = std::filesystem::exists(std::filesystem::symlink_status(path, error))
                  ? "it cannot be opened"
                  : "it is missing";
    }
    return text;
}

} // namespace

MapGeography ReadMapFiles(const std::filesystem::path& folder) {
    MapGeography geography;
    geography.OutlinePath = folder / "TarVex.Map";
    geography.CityPath = folder / "TarVex.CTY";
    if (const std::optional<std::string> text =
            ReadMapFile(geography.OutlinePath, geography.OutlineUnread)) {
        geography.OutlinesFound = true;
        geography.Outline = ParseMapOutlines(*text, geography.SkippedRecords);
    }
    if (const std::optional<std::string> text =
            ReadMapFile(geography.CityPath, geography.CityUnread)) {
        geography.CitiesFound = true;
        geography.Cities = ParseMapCities(*text, geography.SkippedRecords);
    }
    return geography;
}

std::string DescribeUnreadMapFiles(const MapGeography& geography) {
    std::string text;
    if (!geography.OutlinesFound) {
        text = "The map file \"" + PathForMessage(geography.OutlinePath.string()) +
               "\" cannot be read (" + geography.OutlineUnread + "): the map stays blank.";
    }
    if (!geography.CitiesFound) {
        text += std::string(text.empty() ? "" : " ") + "The city file \"" +
                PathForMessage(geography.CityPath.string()) + "\" cannot be read (" +
                geography.CityUnread +
                (geography.OutlinesFound ? "): the map is drawn without cities." : ") either.");
    }
    return text;
}

std::string DescribeSkippedMapRecords(int skipped) {
    return "The map files \"TarVex.Map\" and \"TarVex.CTY\" hold " + std::to_string(skipped) +
           (skipped == 1 ? " record" : " records") +
           " that cannot be read (not a latitude and a longitude); the map is drawn without "
           "them.";
}

MapExtent UsableMapView(const MapExtent& view) {
    const bool finite =
        std::all_of(view.begin(), view.end(), [](float v) { return std::isfinite(v); });
    if (!finite || view[2] == view[0] || view[3] == view[1]) return kDefaultMapView;
    return view;
}

void DrawMapBackground(PictureSurface& buffer, const MapGeography& geography,
                       const ProfileArrays& store, const MapExtent& view) {
    // City names are left out where they would cover another name, run off
    // the picture (a cut name misleads) or lie in the lines where the map
    // writes the hour's wind (the top two) and the travel times (the bottom
    // one).
    buffer.SetLeaveOutCoveredText(true);
    buffer.Clear();
    const double width = buffer.PixelWidth();
    const double line =
        std::abs(buffer.TextHeight("I") * buffer.PixelHeight() / buffer.ScaleHeight());
    buffer.ReserveTextArea(TextRect{0.0, 0.0, width, 2.0 * line});
    buffer.ReserveTextArea(TextRect{0.0, buffer.PixelHeight() - line, width, line});
    const TextAsRepeat names(buffer);
    buffer.Scale(view[0], view[1], view[2], view[3]);
    buffer.SetDrawMode(DrawMode::CopyPen);
    buffer.SetDrawStyle(DrawStyle::Solid);
    buffer.SetDrawWidth(1);
    buffer.FilledBox(view[0], view[1], view[2], view[3], kWhite);
    if (geography.OutlinesFound) {
        buffer.SetForeColor(kMapOutlineColor);
        for (const MapOutlinePoint& point : geography.Outline) {
            if (point.StartsOutline) {
                buffer.PSet(point.Lon, point.Lat);
            } else {
                buffer.LineTo(point.Lon, point.Lat);
            }
        }
        buffer.SetForeColor(kBlack);
        buffer.SetFillStyle(FillStyle::Solid);
        buffer.SetFillColor(kMapCityColor);
        for (const MapCity& city : geography.Cities) {
            buffer.Circle(city.Lon, city.Lat, kMapCityRadius);
            buffer.SetCurrentX(buffer.CurrentX() - kMapCityNameShift);
            buffer.PrintNoNewline(city.Name);
        }
        buffer.SetFillColor(kMapSiteColor);
        const int m = store.CurrentModel;
        buffer.Circle(store.StationLon(m), store.StationLat(m),
                      std::abs(buffer.ScaleWidth() / 100.0));
        buffer.SetFillStyle(FillStyle::Transparent);
    }
    buffer.SetPicture(buffer.TakePicture());
}

MapExtent ZoomMapView(const MapExtent& view, int Button, double X, double Y) {
    const double f = Button == 1 ? kMapZoomIn : 1.0 / kMapZoomIn;
    const double halfWidth = (static_cast<double>(view[2]) - view[0]) / 2.0 * f;
    const double halfHeight = (static_cast<double>(view[3]) - view[1]) / 2.0 * f;
    const MapExtent zoomed{static_cast<float>(X - halfWidth), static_cast<float>(Y - halfHeight),
                           static_cast<float>(X + halfWidth), static_cast<float>(Y + halfHeight)};
    auto spanOk = [](float from, float to) {
        const double span = std::abs(static_cast<double>(to) - from);
        return std::isfinite(span) && span >= kMapMinExtent && span <= kMapMaxExtent;
    };
    if (!spanOk(zoomed[0], zoomed[2]) || !spanOk(zoomed[1], zoomed[3])) return view;
    return zoomed;
}

// ---------------------------------------------------------------------------
// Wind lines
// ---------------------------------------------------------------------------

std::vector<MapWindLine> InterpolateWindLines(const DataTables& tables, float direction) {
    std::vector<MapWindLine> lines;
    for (const DataTable& table : tables.Tables) {
        const std::vector<DataTableRow>& rows = table.Rows;
        if (rows.empty() || !(rows.front().Key <= direction)) continue;
        const DataTableRow* lower = nullptr;
        const DataTableRow* upper = nullptr;
        if (rows.size() == 1) {
            if (rows.front().Key != direction) continue;
            lower = upper = &rows.front();
        }
        for (std::size_t r = 1; r < rows.size(); ++r) {
            if (rows[r].Key >= direction) {
                lower = &rows[r - 1];
                upper = &rows[r];
                break;
            }
        }
        if (!lower) continue;
        // Rows with equal keys both lie at the direction: the first is taken.
        const float span = upper->Key - lower->Key;
        const float f = span > 0.0f ? (direction - lower->Key) / span : 0.0f;
        MapWindLine line;
        for (std::size_t p = 0; p < 4; ++p) {
            const DataPair& a = lower->Pairs[p];
            const DataPair& b = upper->Pairs[p];
            line.Lat[p] = a.First + f * (b.First - a.First);
            line.Lon[p] = a.Second + f * (b.Second - a.Second);
        }
        lines.push_back(line);
    }
    return lines;
}

void DrawWindLines(PictureSurface& picMap, const DataTables& tables, float direction, Rgb color) {
    const std::vector<MapWindLine> lines = InterpolateWindLines(tables, direction);
    auto pass = [&](int width, Rgb passColor, double shift) {
        picMap.SetDrawWidth(width);
        for (const MapWindLine& line : lines) {
            MoveTo(picMap, line.Lon[0] - shift, line.Lat[0] - shift);
            for (std::size_t p = 1; p < 4; ++p)
                picMap.LineTo(line.Lon[p] - shift, line.Lat[p] - shift, passColor);
        }
    };
    pass(5, kShadowColor, kShadowShift);
    pass(4, color, 0.0);
}

Rgb MeanFlowColor(float spread) {
    if (spread <= 2.0f) return kGreen;
    if (spread <= 4.0f) return kYellow;
    return kRed;
}

Rgb TurningColor(float turning) {
    const float size = std::abs(turning);
    if (size <= 10.0f) return kGreen;
    if (size <= 20.0f) return kYellow;
    return kRed;
}

void PlotMeanFlowLines(PictureSurface& picMap, const Session& session, const SoundingView& view,
                       MapWindState& wind) {
    const std::optional<ShownHour> hour = LoadedHour(session, view);
    if (!hour) return;
    const auto& [s, m, t, top] = *hour;
    // The layer between the two levels, whichever is given first, so that it
    // always holds at least one level.
    int L1 = std::clamp<int>(view.MeanFlowLevels[0], 0, top);
    int L2 = std::clamp<int>(view.MeanFlowLevels[1], 0, top);
    if (L1 > L2) std::swap(L1, L2);
    const LayerWind mean = LayerMeanWind(s, m, t, L1, L2);
    const float D = mean.Direction;
    const float S = mean.Speed;
    const float Q = mean.Spread;

    DrawWindLines(picMap, session.dataTables, D, MeanFlowColor(Q));

    const MapValuesOnGround ground(picMap);
    PrintLabelAtTopLeft(picMap, ViewOf(session),
                        PrintForm(s.Pressure(m, t, L1)) + "->" + PrintForm(s.Pressure(m, t, L2)) +
                            "mb Wind= " + WholePart(D) + kDegree + " at" + WholePart(S) + "Kts");
    picMap.Print(" RMS = " + Format(Q, "0.0") + "kts");
    wind.MapWindDir[static_cast<std::size_t>(m)] = D;
    wind.MapWindSpeed[static_cast<std::size_t>(m)] = S;
}

void PlotSigmaLevelLines(PictureSurface& picMap, const Session& session, const SoundingView& view,
                         MapWindState& wind, bool roundSpeed) {
    const std::optional<ShownHour> hour = LoadedHour(session, view);
    if (!hour) return;
    const auto& [s, m, t, top] = *hour;
    const int j = std::clamp<int>(view.SigmaLevel, 0, top);
    const int step = session.parameters.ModelLevelStep;
    const float d = s.WindDirection(m, t, j);
    // Turning of the wind across the level, between the levels a step below
    // and above it, within the stored levels.
    float T = s.WindDirection(m, t, std::clamp(j + step, 0, top)) -
              s.WindDirection(m, t, std::clamp(j - step, 0, top));
    if (T > 180.0f) {
        T -= 360.0f;
    } else if (T < -180.0f) {
        T += 360.0f;
    }
    DrawWindLines(picMap, session.dataTables, d, TurningColor(T));
    wind.MapWindDir[static_cast<std::size_t>(m)] = d;
    wind.MapWindSpeed[static_cast<std::size_t>(m)] = s.WindSpeed(m, t, j);

    const MapValuesOnGround ground(picMap);
    PrintLabelAtTopLeft(picMap, ViewOf(session),
                        " " + PrintForm(s.Pressure(m, t, j)) + "mb Wind = " + PrintForm(d) +
                            kDegree + " at" +
                            WholePart(s.WindSpeed(m, t, j) + (roundSpeed ? 0.5f : 0.0f)) + " kts");
    picMap.PrintNoNewline("  Shear = ");
    const std::string turning = Format(T, std::string("##") + kDegree);
    if (T > 0.0f) {
        picMap.SetForeColor(kRed);
        picMap.PrintNoNewline("+" + turning);
    } else {
        picMap.SetForeColor(kBlue);
        picMap.PrintNoNewline(turning);
    }
}

FetchTimes PrintFetchTimes(PictureSurface& picMap, const Session& session,
                           const MapWindState& wind) {
    const MapExtent view = ViewOf(session);
    const Configuration& config = session.config;
    const auto m = static_cast<std::size_t>(session.profile->CurrentModel);
    const MapValuesOnGround ground(picMap);
    picMap.SetForeColor(kBlack);
    picMap.SetCurrentY(view[3] - picMap.TextHeight("I"));
    FetchTimes result;
    std::array<std::string, 2> texts;
    for (std::size_t shore = 0; shore < 2; ++shore) {
        const double d =
            std::abs(std::sin((config.ShoreDirection[shore] - wind.MapWindDir[m]) * kDegreeFactor));
        // A wind along the shore crosses the lake over its greatest fetch.
        float fetch = config.MaxFetch[shore];
        if (d > 0.0) fetch = std::min(fetch, static_cast<float>(config.ShoreDistance[shore] / d));
        result.FetchDistance[shore] = fetch;
        if (wind.MapWindSpeed[m] > 0.0f) result.FetchTime[shore] = fetch / wind.MapWindSpeed[m];
        const std::optional<float>& hours = result.FetchTime[shore];
        texts[shore] =
            Format(fetch, "0") + " nm  @ " + (hours ? Format(*hours, "0.0") : "--") + " hours";
    }
    picMap.SetCurrentX(view[0]);
    picMap.PrintNoNewline(texts[0]);
    picMap.SetCurrentX(view[2] - picMap.TextWidth(texts[1]));
    picMap.PrintNoNewline(texts[1]);
    return result;
}

// ---------------------------------------------------------------------------
// Bright band
// ---------------------------------------------------------------------------

std::optional<float> MapFreezingLevelFeet(const ProfileArrays& store, int t) {
    const int m = store.CurrentModel;
    const int top = TopLevel(store);
    int k = top;
    while (k >= 1 && !(store.Temperature(m, t, k) > 0.0f)) --k;
    // No level above freezing, or the top level is: no crossing to find.
    if (k < 1 || k >= top) return std::nullopt;
    const float pk = store.Pressure(m, t, k);
    const float pAbove = store.Pressure(m, t, k + 1);
    const float tk = store.Temperature(m, t, k);
    const float tAbove = store.Temperature(m, t, k + 1);
    const float p0 = pk - (pk - pAbove) * tk / (tk - tAbove);
    return StdHeightFeet(p0);
}

std::optional<float> BeamRangeNm(float angleDegrees, float heightKm) {
    const double theta = angleDegrees * kDegreeFactor;
    const double c = std::cos(theta) / (heightKm / kBeamEarthRadiusKm + 1.0);
    const double beta = ArcCos(static_cast<float>(c));
    const double range = (beta - theta) * kBeamEarthRadiusKm * kBeamNmPerKm;
    if (!(range > 0.0)) return std::nullopt;
    return static_cast<float>(std::min(range, kBeamMaxRangeNm));
}

void PlotBrightBand(PictureSurface& picMap, const Session& session, const SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    const std::optional<float> feet = MapFreezingLevelFeet(s, view.CurrentColumn);
    if (!feet) return;
    const int m = s.CurrentModel;
    const double H = *feet / kFeetPerKm;
    const double lat = s.StationLat(m);
    const double lon = s.StationLon(m);
    // Degrees of longitude per nautical mile at the site.
    const double g = 1.0 / (60.0 * std::cos(lat * kDegreeFactor));
    picMap.SetDrawWidth(1);
    picMap.SetFillStyle(FillStyle::Solid);
    // Two filled discs drawn over each other in this mode cancel where they
    // overlap, leaving only the ring between them coloured.
    picMap.SetDrawMode(DrawMode::NotXorPen);
    const double aboveSite = H - s.StationElevation(m);
    for (std::size_t i = 0; i < kBrightBandAngles.size(); ++i) {
        if (!view.options.Angle[i]) continue;
        picMap.SetForeColor(kBrightBandAngleColors[i]);
        picMap.SetFillColor(kBrightBandAngleColors[i]);
        const float angle = std::strtof(kBrightBandAngles[i], nullptr);
        if (const std::optional<float> outer = BeamRangeNm(angle, static_cast<float>(aboveSite)))
            picMap.Circle(lon, lat, *outer * g);
        if (const std::optional<float> inner =
                BeamRangeNm(angle, static_cast<float>(aboveSite - kMeltingLayerKm)))
            picMap.Circle(lon, lat, *inner * g);
    }
    const MapValuesOnGround ground(picMap);
    PrintLabelAtTopLeft(picMap, ViewOf(session),
                        "    Freezing Level: " + Format(*feet, "#,###") + " Ft MSL");
    picMap.SetFillStyle(FillStyle::Transparent);
}

void RedrawMap(PictureSurface& picMap, const Picture& background, const Session& session,
               const SoundingView& view, MapWindState& wind) {
    const MapExtent extent = ViewOf(session);
    picMap.Scale(extent[0], extent[1], extent[2], extent[3]);
    picMap.SetDrawMode(DrawMode::CopyPen);
    picMap.SetDrawStyle(DrawStyle::Solid);
    picMap.SetDrawWidth(1);
    picMap.SetFillStyle(FillStyle::Transparent);
    picMap.SetForeColor(kBlack);
    picMap.SetPicture(background);
    if (TopLevel(*session.profile) < 1) return; // nothing loaded yet
    const SoundingOptions& options = view.options;
    if (options.BrightBand) {
        PlotBrightBand(picMap, session, view);
        return;
    }
    if (options.SigmaLevel) {
        PlotSigmaLevelLines(picMap, session, view, wind);
    } else if (options.MeanFlow) {
        PlotMeanFlowLines(picMap, session, view, wind);
    }
    PrintFetchTimes(picMap, session, wind);
}

} // namespace tarvex
