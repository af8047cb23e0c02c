#pragma once

#include "platform/PictureSurface.h"
#include "store/ProfileArrays.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace tarvex {

// One field of the current model as the contour routines read it: the value
// at every time column 0..LastColumn and level 0..TopLevel, and the y (log
// pressure) of every level. Level 0 is read only when the field holds it.
struct TimeHeightGrid {
    int LastColumn = -1;
    int TopLevel = 0;
    bool HasLevelZero = false;
    std::vector<float> values; // [level * (LastColumn + 1) + column]
    std::vector<float> levelY; // levels 0..TopLevel

    float At(int t, int k) const { return values[k * (LastColumn + 1) + t]; }
    float& At(int t, int k) { return values[k * (LastColumn + 1) + t]; }
};

// The model's slice of field for columns 0..LastColumn and levels
// 0..TopLevel, placed at the levels' y (levelLnP[level]).
TimeHeightGrid SliceField(const LevelField& field, int model, int LastColumn, int TopLevel,
                          std::span<const float> levelLnP, bool HasLevelZero);

// Whether a contour at threshold crosses the cell edge from the near to the
// far value, and where (as a share of the edge from the near end). A value
// equal to the threshold lies below it.
struct Crossing {
    bool crosses = false;
    float fraction = 0.0f;
};
Crossing CrossingFraction(float threshold, float nearValue, float farValue);

// The line segments of one contour value, in the fore colour, with the value
// printed where a line leaves a cell through its upper edge coming from its
// earlier-column edge.
void DrawContourLevel(PictureSurface& pic, const TimeHeightGrid& grid, float value);
// DrawContourLevel for each value in turn, the rows' value ranges read from
// the grid once for them all.
void DrawContourLevels(PictureSurface& pic, const TimeHeightGrid& grid,
                       std::span<const float> values);

// A field to be contoured, as ContourTraces::Of takes it: its grid, the
// spacing of its values and the lowest bound of its bands (none for plain
// contours; it points into the band table, which outlives the request); and
// the field the grid was sliced from.
struct ContourRequest {
    TimeHeightGrid grid;
    int interval = 0;
    const float* floor = nullptr;
    const LevelField* field = nullptr;
};

// The contour fields of a redraw's overlays, sliced once: while collecting,
// the overlays add the fields they would contour; then each overlay takes
// its own grid in turn (next) to draw it.
struct ContourSlices {
    bool collecting = true;
    std::vector<ContourRequest> fields;
    std::size_t next = 0;
};

// The contours of the fields drawn lately, each kept with what it was traced
// from (the field's values and level places, the spacing and the lowest band
// bound): a field drawn again from the same values is not traced again,
// whatever the picture's width or the hours it shows, and any change of them
// (another file, time window, scale top, height unit or interval) traces it
// anew. The labels are placed afresh at every drawing, against the
// picture's texts, as far apart as the picture's width asks.
class ContourTraces {
  public:
    ContourTraces();
    ~ContourTraces();
    ContourTraces(const ContourTraces&) = delete;
    ContourTraces& operator=(const ContourTraces&) = delete;

    struct Level;
    struct Field;
    // The field's contours traced from grid, kept or traced now; valid until
    // the next call.
    const Field& Of(const TimeHeightGrid& grid, int interval, const float* floor);
    // Traces the fields asked for that are not kept yet side by side, on a
    // few threads started for the call, each field whole on one thread so
    // that it is what Of traces alone, and keeps them for the Of calls that
    // follow. More fields than are kept are left to Of.
    void TraceAhead(std::span<const ContourRequest> fields);
    // Forgets every field kept.
    void Clear();

  private:
    void Keep(std::unique_ptr<Field> field);

    // Every contoured field of the overview fits, with room to spare.
    static constexpr std::size_t kFieldsKept = 24;
    std::vector<std::unique_ptr<Field>> kept_; // the latest used first
};

// Contours at every multiple of interval: a value gets the primary colour when
// emphasis > 0 and it is a whole multiple of emphasis, or when emphasis <= 0
// and it is at least -emphasis; the secondary colour otherwise. Maxima are
// marked "X", minima "N". An interval below 1 draws nothing. The lines are
// taken from kept when given (and kept there), traced anew otherwise.
void ContourField(PictureSurface& pic, const TimeHeightGrid& grid, int interval, Rgb primary,
                  Rgb secondary, int emphasis, ContourTraces* kept = nullptr);

// A band of ContourFieldLevels: values from lower up to the next band's lower
// bound take the colour; values above the last bound take the last colour.
struct ContourBand {
    float lower;
    Rgb color;
};
// The band that holds value (the first band for values below every bound).
std::size_t BandIndexOf(std::span<const ContourBand> bands, float value);

// Contours coloured by the bands, with extremum marks in the colour of their
// band. An interval below 1 or an empty band table draws nothing. The lines
// come from kept as ContourField's do.
void ContourFieldLevels(PictureSurface& pic, const TimeHeightGrid& grid, int interval,
                        std::span<const ContourBand> bands, ContourTraces* kept = nullptr);

} // namespace tarvex
