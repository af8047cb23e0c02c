#pragma once

#include "platform/PictureSurface.h"
#include "store/ProfileArrays.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

struct DataTables;
struct Session;
struct SoundingView;

// The map panel: a plain-degree map around the sounding site (x the
// longitude in degrees West, y the latitude in degrees North, no
// projection) with the geography drawn once into a background picture, and
// over it the wind lines of the lake-effect bands, the fetch and travel
// times over the lakes, or the radar bright-band rings.

// The map extent: left, top, right, bottom (x at the left edge, y at the top
// edge, x at the right edge, y at the bottom edge). With the default view x
// decreases to the right and y decreases downward.
using MapExtent = std::array<float, 4>;
inline constexpr MapExtent kDefaultMapView{120.0f, 53.0f, 69.0f, 22.0f};

// Zoom factors of a click on the map: the left button narrows the view to
// this share of its width and height, any other button widens it by its
// inverse.
inline constexpr double kMapZoomIn = 0.7;
// A zoom that would make the view narrower than this (degrees) or wider than
// kMapMaxExtent on either axis leaves the view as it is.
inline constexpr double kMapMinExtent = 0.01;
inline constexpr double kMapMaxExtent = 720.0;

// Colours of the background.
inline constexpr Rgb kMapOutlineColor = RGB(127, 0, 0);
inline constexpr Rgb kMapCityColor = RGB(0, 0, 255);
inline constexpr Rgb kMapSiteColor = RGB(255, 0, 0);
// Radius (degrees of longitude) of a city dot, and how far its name starts
// from the dot's centre towards the right edge.
inline constexpr double kMapCityRadius = 0.05;
inline constexpr double kMapCityNameShift = 0.07;

// The radar beam elevations (degrees) of the bright-band angle boxes chkAngle
// 0..4, as their captions show them, and the caption colour of each box,
// which is also the colour of its ring.
inline constexpr std::array<const char*, 5> kBrightBandAngles{"0.5", "1.5", "2.4", "3.4", "4.4"};
inline constexpr std::array<Rgb, 5> kBrightBandAngleColors{
    RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), RGB(255, 0, 255), RGB(0, 160, 160)};

// ---------------------------------------------------------------------------
// Geography
// ---------------------------------------------------------------------------

// One point of the outline file: a new outline starts at it (the pen moves
// there and sets the point) or the current outline runs on to it.
struct MapOutlinePoint {
    float Lat = 0.0f;
    float Lon = 0.0f; // degrees West
    bool StartsOutline = false;
    bool operator==(const MapOutlinePoint&) const = default;
};

struct MapCity {
    float Lat = 0.0f;
    float Lon = 0.0f; // degrees West
    std::string Name;
    bool operator==(const MapCity&) const = default;
};

// What the two map files hold. A file that could not be read is marked as
// not found, with why; records that are not well formed are counted and left
// out.
struct MapGeography {
    bool OutlinesFound = false;
    bool CitiesFound = false;
    std::filesystem::path OutlinePath;
    std::filesystem::path CityPath;
    std::string OutlineUnread; // why the outline file was not read
    std::string CityUnread;    // why the city file was not read
    std::vector<MapOutlinePoint> Outline;
    std::vector<MapCity> Cities;
    int SkippedRecords = 0;
};

// The outline file "TarVex.Map": pairs of latitude and longitude (degrees
// West) separated by commas, blanks or line ends; a negative latitude starts
// a new outline at the point's mirror latitude. A pair with a field that is
// not a number, or a latitude or longitude beyond any map (above 90 or 360
// in size), is skipped and counted in skipped, and the next point then
// starts a new outline, so that no line bridges the gap; so does the file's
// first point.
std::vector<MapOutlinePoint> ParseMapOutlines(std::string_view text, int& skipped);

// The city file "TarVex.CTY": one city a line, latitude, longitude (degrees
// West) and the name, which is quoted when it holds commas; an unquoted name
// runs to the next comma or the line end. A line whose position is not two
// numbers is skipped and counted; blank lines are passed over.
std::vector<MapCity> ParseMapCities(std::string_view text, int& skipped);

// Reads "TarVex.Map" and "TarVex.CTY" from folder (the program's folder).
MapGeography ReadMapFiles(const std::filesystem::path& folder);

// The message for map files that could not be read (missing, not a regular
// file, too large), naming each and what the map then leaves out; empty when
// both were read.
std::string DescribeUnreadMapFiles(const MapGeography& geography);

// The message for records of the map files that were left out.
std::string DescribeSkippedMapRecords(int skipped);

// The view when it spans a finite, non-zero extent on both axes, else the
// default view (a view with no extent gives the surfaces no scale).
MapExtent UsableMapView(const MapExtent& view);

// Rebuilds the background picture on buffer: its scale set to view, cleared
// to white, then (when the outline file was found) the outlines in dark red,
// the cities as blue dots with their names, and the site of the current
// model as a red dot one hundredth of the view's width across in radius.
// A city name that would cover another, run off the picture or lie in the
// top two lines (the hour's wind) or the bottom one (the travel times) is
// left out; the names are sized for the buffer's design size. What is drawn
// becomes the buffer's persistent picture, which the map panel copies at
// every redraw; the names drawn are its texts, which stand on the map as
// the map's own repeats (a value or label printed over one leaves it out).
// Without the outline file nothing is drawn and the picture stays white.
void DrawMapBackground(PictureSurface& buffer, const MapGeography& geography,
                       const ProfileArrays& store, const MapExtent& view);

// The view after a click at (X, Y) in map units: centred on the clicked
// point and spanning kMapZoomIn times (Button 1, zoom in) or 1 / kMapZoomIn
// times (any other button) the width and height of view, each axis keeping
// its direction. A view that would leave the range kMapMinExtent ..
// kMapMaxExtent on an axis is not taken: the view stays as it was.
MapExtent ZoomMapView(const MapExtent& view, int Button, double X, double Y);

// ---------------------------------------------------------------------------
// Overlays
// ---------------------------------------------------------------------------

// The map's values (the wind, the turning, the freezing level and the travel
// times) printed while it lives stand on the map's white, filling each text's
// own box: no coast, border or wind line runs through their digits. They are
// printed in the copy mode, smoothed like every other text, also after the
// bright-band rings have left the not-exclusive-or mode in force.
class MapValuesOnGround {
  public:
    explicit MapValuesOnGround(PictureSurface& picMap)
        : picMap_(picMap), transparent_(picMap.FontTransparent()), back_(picMap.BackColor()),
          mode_(picMap.GetDrawMode()) {
        picMap_.SetFontTransparent(false);
        picMap_.SetBackColor(kWhite);
        picMap_.SetDrawMode(DrawMode::CopyPen);
    }
    ~MapValuesOnGround() {
        picMap_.SetFontTransparent(transparent_);
        picMap_.SetBackColor(back_);
        picMap_.SetDrawMode(mode_);
    }
    MapValuesOnGround(const MapValuesOnGround&) = delete;
    MapValuesOnGround& operator=(const MapValuesOnGround&) = delete;

  private:
    PictureSurface& picMap_;
    bool transparent_;
    Rgb back_;
    DrawMode mode_;
};

// The wind the map's lines were last drawn for, per model column: direction
// (degrees) and speed (knots); the fetch texts use it.
struct MapWindState {
    std::array<float, kModelColumns> MapWindDir{};
    std::array<float, kModelColumns> MapWindSpeed{};
};

// One wind line: four points (latitude, longitude West).
struct MapWindLine {
    std::array<float, 4> Lat{};
    std::array<float, 4> Lon{};
};

// Each table's line for a wind from direction (degrees), interpolated
// linearly between the two rows whose keys enclose it (keys increase down a
// table). A table whose keys do not reach the direction gives no line; a
// direction equal to a key gives that row's points, also in a table of one
// row.
std::vector<MapWindLine> InterpolateWindLines(const DataTables& tables, float direction);

// Draws the lines for direction: a grey shadow 5 pixels wide shifted by
// (-0.04, -0.04) map units, then the lines 4 pixels wide in color.
void DrawWindLines(PictureSurface& picMap, const DataTables& tables, float direction, Rgb color);

// Agreement colours: green when the spread of the layer winds about their
// mean (knots) is at most 2, yellow at most 4, else red; for the sigma level
// by the size of the turning (degrees) across it: at most 10 green, at most
// 20 yellow, else red.
Rgb MeanFlowColor(float spread);
Rgb TurningColor(float turning);

// The wind lines of the vector mean wind of the layer between the levels
// view.MeanFlowLevels (either order), coloured by the spread, with the layer
// and the mean wind printed at the top-left corner; stores the mean wind in
// wind. Does nothing while no sounding is loaded.
void PlotMeanFlowLines(PictureSurface& picMap, const Session& session, const SoundingView& view,
                       MapWindState& wind);

// The wind lines of the wind at level view.SigmaLevel, coloured by the
// turning between the levels ModelLevelStep below and above it (kept within
// the stored levels), with the wind and the signed turning printed at the
// top-left corner; stores the wind in wind. The speed prints as its whole
// part, or rounded half up when roundSpeed is set (the overview's pane).
void PlotSigmaLevelLines(PictureSurface& picMap, const Session& session, const SoundingView& view,
                         MapWindState& wind, bool roundSpeed = false);

// Fetch (nautical miles) over the two lake shores of the configuration and
// the time (hours) the air takes to cross it, for the wind last stored.
struct FetchTimes {
    std::array<float, 2> FetchDistance{};
    // None when the wind is calm.
    std::array<std::optional<float>, 2> FetchTime{};
};

// Computes the fetch of the shores for the stored wind of the current model
// and prints it on the last text line of the panel: shore 1 from the left
// edge, shore 2 ending at the right edge. A wind along a shore gives that
// shore's greatest fetch; a calm wind prints "--" for the hours.
FetchTimes PrintFetchTimes(PictureSurface& picMap, const Session& session,
                           const MapWindState& wind);

// The freezing level of the shown hour (feet above sea level): the highest
// crossing from above to below 0 deg C, linear in pressure between the two
// levels around it. None when no level is above freezing, or when the
// highest such level is the top stored level (no level above to meet).
std::optional<float> MapFreezingLevelFeet(const ProfileArrays& store, int t);

// Range (nautical miles) at which a radar beam of elevation angleDegrees
// meets a height heightKm above the radar (4/3-earth radius), at most 124;
// none when the beam never meets it (the height is not above the radar).
std::optional<float> BeamRangeNm(float angleDegrees, float heightKm);

// Rings around the site of the current model where each checked radar beam
// crosses the layer from the freezing level down to 1200 ft below it, drawn
// filled in the not-exclusive-or mode so that only the ring is coloured, and
// the freezing level printed at the top-left corner.
void PlotBrightBand(PictureSurface& picMap, const Session& session, const SoundingView& view);

// Repaints the map panel: the background picture, then the bright-band
// rings when that option is on, else the sigma-level or the mean-flow lines
// (the latter when that option is on) and the fetch texts. Every redraw
// starts in the copy mode with thin solid lines and no fill, whatever the
// previous one left behind.
void RedrawMap(PictureSurface& picMap, const Picture& background, const Session& session,
               const SoundingView& view, MapWindState& wind);

} // namespace tarvex
