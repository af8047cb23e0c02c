#include "overview/fields/Contouring.h"

#include "compute/SideBySide.h"
#include "platform/Format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tarvex {

namespace {

// A crossing on a cell edge: where it lies in the picture.
struct Slot {
    bool set = false;
    float x = 0.0f;
    float y = 0.0f;
};

// The contour values of a field from its smallest value (after raising it
// to floor, when given) and its largest, over columns 0..C and levels 1..T.
struct ValueRange {
    int lowest = 0;
    int highest = -1;
};

ValueRange ContourValues(const TimeHeightGrid& grid, int interval, const float* floor) {
    float smallest = 999.0f;
    float largest = -999.0f;
    for (int k = 1; k <= grid.TopLevel; ++k)
        for (int t = 0; t <= grid.LastColumn; ++t) {
            const float v = grid.At(t, k);
            if (!std::isfinite(v)) continue;
            if (v < smallest) smallest = v;
            if (v > largest) largest = v;
        }
    if (floor && smallest < *floor) smallest = *floor;
    // Values beyond any physical field (damaged data) are held to a range an
    // integer holds, so the contour values stay countable.
    constexpr double kLimit = 10000.0;
    const int low = static_cast<int>(RoundHalfEven(std::clamp<double>(smallest, -kLimit, kLimit)));
    const int high = static_cast<int>(RoundHalfEven(std::clamp<double>(largest, -kLimit, kLimit)));
    return {low / interval * interval - interval, high / interval * interval + interval};
}

// Where letter goes to have its middle on the point (x, y), moved in just
// enough to stay whole inside the picture (a mark on the lowest or highest
// level); none for a point outside the picture.
std::optional<std::pair<double, double>> LetterAt(const PictureSurface& pic, double x, double y,
                                                  const char* letter) {
    return pic.PlaceLabel(x - pic.TextWidth(letter) / 2.0, y - pic.TextHeight(letter) / 2.0, letter,
                          LabelAnchor{x, y, LabelSlide::Fixed});
}

// Interior points above (maximum) or below (minimum) each of their four
// neighbours; a field without level 0 gives level 1 no neighbour below.
template <typename Mark> void ForEachExtremum(const TimeHeightGrid& grid, bool maximum, Mark mark) {
    auto beats = [maximum](float v, float other) { return maximum ? v > other : v < other; };
    for (int k = 1; k <= grid.TopLevel - 1; ++k)
        for (int t = 1; t <= grid.LastColumn - 1; ++t) {
            const float v = grid.At(t, k);
            const bool below = (k == 1 && !grid.HasLevelZero) || beats(v, grid.At(t, k - 1));
            if (below && beats(v, grid.At(t, k + 1)) && beats(v, grid.At(t + 1, k)) &&
                beats(v, grid.At(t - 1, k)))
                mark(t, k, v);
        }
}

// Prints text with its top-left corner at (x, y); the picture leaves it out
// where it would cover another text.
void PrintAt(PictureSurface& pic, double x, double y, std::string_view text) {
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.PrintNoNewline(text);
}

// An interior point above or below each of its four neighbours.
struct Extremum {
    int t;
    int k;
    float v;
};

// Marks each extremum with its letter centred on the point, where its place
// was kept (a mark that would land on another mark is left out).
void MarkExtrema(PictureSurface& pic, std::span<const float> levelY,
                 const std::vector<Extremum>& extrema, bool maximum,
                 std::span<const ContourBand> bands = {}) {
    const char* letter = maximum ? "X" : "N";
    for (const auto& [t, k, v] : extrema) {
        if (!bands.empty()) pic.SetForeColor(bands[BandIndexOf(bands, v)].color);
        const auto at = LetterAt(pic, t, levelY[k], letter);
        if (!at) continue;
        const TextAsLabel mark(pic, t, levelY[k], LabelSlide::Fixed);
        PrintAt(pic, at->first, at->second, letter);
    }
}

// Keeps the places of the extremum marks before the contours are labelled,
// so that no label covers a mark.
void ReserveExtrema(PictureSurface& pic, std::span<const float> levelY,
                    const std::vector<Extremum>& maxima, const std::vector<Extremum>& minima) {
    for (const bool maximum : {true, false}) {
        const char* letter = maximum ? "X" : "N";
        for (const Extremum& e : maximum ? maxima : minima) {
            const auto at = LetterAt(pic, e.t, levelY[e.k], letter);
            if (at) pic.ReserveTextPlace(at->first, at->second, letter);
        }
    }
}

} // namespace

TimeHeightGrid SliceField(const LevelField& field, int model, int LastColumn, int TopLevel,
                          std::span<const float> levelLnP, bool HasLevelZero) {
    TimeHeightGrid grid;
    grid.LastColumn = LastColumn;
    grid.TopLevel = TopLevel;
    grid.HasLevelZero = HasLevelZero;
    if (LastColumn < 0 || TopLevel < 1) {
        grid.TopLevel = 0;
        return grid;
    }
    grid.values.assign(static_cast<std::size_t>((TopLevel + 1) * (LastColumn + 1)), 0.0f);
    grid.levelY.assign(static_cast<std::size_t>(TopLevel + 1), 0.0f);
    for (int k = 0; k <= TopLevel; ++k) {
        grid.levelY[k] = levelLnP[k];
        if (k == 0 && !HasLevelZero) continue;
        for (int t = 0; t <= LastColumn; ++t) grid.At(t, k) = field(model, t, k);
    }
    return grid;
}

Crossing CrossingFraction(float threshold, float nearValue, float farValue) {
    Crossing c;
    c.crosses = (farValue <= threshold && threshold < nearValue) ||
                (nearValue <= threshold && threshold < farValue);
    if (c.crosses) c.fraction = (threshold - nearValue) / (farValue - nearValue);
    return c;
}

namespace {

// The least and greatest value each row of cells reads: row 0 its upper
// level, row k its two levels k and k + 1.
struct RowRange {
    float low = 0.0f;
    float high = 0.0f;
};

std::vector<RowRange> RowRanges(const TimeHeightGrid& grid) {
    std::vector<RowRange> rows(static_cast<std::size_t>(std::max(grid.TopLevel, 0)));
    for (int k = 0; k < grid.TopLevel; ++k) {
        float low = std::numeric_limits<float>::infinity();
        float high = -low;
        for (int level = std::max(k, 1); level <= k + 1; ++level)
            for (int t = 0; t <= grid.LastColumn; ++t) {
                low = std::fmin(low, grid.At(t, level));
                high = std::fmax(high, grid.At(t, level));
            }
        rows[static_cast<std::size_t>(k)] = {low, high};
    }
    return rows;
}

// Threads that trace the fields of a picture: a first picture with every
// overlay has some twenty, and the program shares the machine.
constexpr int kMaxTraceThreads = 4;
// Fewer fields than this for each thread do not pay for starting it.
constexpr std::size_t kLeastFieldsPerThread = 2;

// Columns between two labels of a contour that runs flat through its cells:
// about kFlatLabelPixels apart on the picture.
constexpr double kFlatLabelPixels = 160.0;

int FlatLabelEvery(const PictureSurface& pic) {
    const double columnPixels = std::abs(pic.PixelWidth() / pic.ScaleWidth());
    if (!(columnPixels > 0.0)) return 1;
    return std::max(1, static_cast<int>(std::lround(kFlatLabelPixels / columnPixels)));
}

} // namespace

// What tracing one contour value gives, in the order the picture takes it:
// the lines before each label tried, the labels, and the line ends kept for
// a last try.
struct ContourTraces::Level {
    std::string label;
    // chunks[i] goes to the picture before labels[i]; the last after all.
    std::vector<std::vector<PictureSurface::Segment>> chunks;
    // A label tried at a slot, or (spare) the two ends of a line kept for
    // the last try while no label stands yet, in tracing order. A label of a
    // line across a cell (flat) is tried only at every few columns, as many
    // as the picture's width asks for.
    struct Step {
        bool spare = false;
        bool flat = false;
        int column = 0;
        Slot low;
        Slot high;
    };
    std::vector<Step> steps;
};

// A field's traced contour values and extremum points, with what they were
// traced from: the field's slice, the spacing and the lowest value a band
// table allows.
struct ContourTraces::Field {
    int LastColumn = -1;
    int TopLevel = 0;
    bool HasLevelZero = false;
    std::vector<float> values;
    std::vector<float> levelY;
    int interval = 0;
    bool floored = false;
    float floor = 0.0f;

    ValueRange range;
    std::vector<Level> levels; // range.lowest, range.lowest + interval, ...
    std::vector<Extremum> maxima;
    std::vector<Extremum> minima;

    bool TracedFrom(const TimeHeightGrid& grid, int spacing, const float* least) const {
        return LastColumn == grid.LastColumn && TopLevel == grid.TopLevel &&
               HasLevelZero == grid.HasLevelZero && interval == spacing &&
               floored == (least != nullptr) && (!least || SameBits(floor, *least)) &&
               SameBits(values, grid.values) && SameBits(levelY, grid.levelY);
    }

  private:
    // Compared bit for bit: a value that is not a number matches itself.
    static bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    static bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
        return a.size() == b.size() &&
               (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
    }
};

namespace {

// The tracer: a row whose values all lie on one side of the contour value
// has no crossing and only clears the crossings it passes on. A line from
// the earlier edge to the upper edge is labelled at its end; so is a line
// across the cell (later edge to earlier edge) at every few columns (see
// DrawLevel), so that long flat contours carry labels too. The ends of every line traced before
// the first label that stands are kept for the last try (see DrawLevel).
ContourTraces::Level TraceLevel(const TimeHeightGrid& grid, float value,
                                const std::vector<RowRange>& rows) {
    ContourTraces::Level traced;
    traced.label = PrintForm(value);
    traced.chunks.emplace_back();
    const int C = grid.LastColumn;
    const int T = grid.TopLevel;
    if (C < 0 || T < 1) return traced;
    // The crossing on the upper edge of each column's cell in the row below.
    std::array<Slot, kTimeColumns + 1> saved{};
    // Slots 1..4: later column, upper level, earlier column, lower level.
    std::array<Slot, 5> slot{};
    const auto line = [&traced](const Slot& a, const Slot& b) {
        traced.chunks.back().push_back({a.x, a.y, b.x, b.y});
    };
    for (int k = 0; k <= T - 1; ++k) {
        const RowRange& range = rows[static_cast<std::size_t>(k)];
        if (!(range.low <= value && value < range.high)) {
            for (int t = 1; t <= C; ++t) saved[t].set = false;
            slot[3].set = false;
            continue;
        }
        const float yLow = grid.levelY[k];
        const float yHigh = grid.levelY[k + 1];
        for (int t = C + 1; t >= 1; --t) {
            int count = 0;
            slot[4].set = slot[2].set = false;
            if (t <= C) {
                slot[4] = saved[t];
                if (slot[4].set) ++count;
                const Crossing up =
                    CrossingFraction(value, grid.At(t, k + 1), grid.At(t - 1, k + 1));
                slot[2] = {up.crosses, t - up.fraction, yHigh};
                if (up.crosses) ++count;
                saved[t] = slot[2];
            }
            if (k < 1) continue;
            slot[1] = slot[3];
            if (slot[1].set) ++count;
            if ((count == 0 || count == 2) && t != C + 1) {
                slot[3].set = false;
            } else {
                const Crossing early =
                    CrossingFraction(value, grid.At(t - 1, k), grid.At(t - 1, k + 1));
                slot[3] = {early.crosses, static_cast<float>(t - 1),
                           yLow + (yHigh - yLow) * early.fraction};
                if (early.crosses) ++count;
            }
            if (t > C || count == 0) continue;
            if (count == 4) {
                line(slot[1], slot[2]);
                line(slot[3], slot[4]);
            } else if (count == 2) {
                int high = 4;
                while (high > 0 && !slot[high].set) --high;
                int low = high - 1;
                while (low > 0 && !slot[low].set) --low;
                if (low < 1) continue;
                line(slot[high], slot[low]);
                if (high == 3 && (low == 2 || low == 1)) {
                    traced.steps.push_back({false, low == 1, t, slot[low], {}});
                    traced.chunks.emplace_back();
                }
                traced.steps.push_back({true, false, t, slot[low], slot[high]});
            }
        }
    }
    return traced;
}

// Draws a traced contour value in the fore colour. The lines go to the
// picture together, before each label and at the end, so that a label still
// stands over the lines traced before it. A label that would cover another
// text or run off the picture is left out, so steep contours do not pile
// labels up; a contour whose labels were all left out is labelled at the
// first end of one of its lines where the label fits with a corner on it,
// so that its value still shows. A label keeps a blank's width from the
// texts beside it, so that two values never read as one number. A flat
// line's label is tried at every flatEvery-th column.
void DrawLevel(PictureSurface& pic, const ContourTraces::Level& traced, int flatEvery) {
    const std::string& label = traced.label;
    const TextAsRepeat repeat(pic);
    const RepeatsSpaced spaced(pic);
    const bool inked = label.find_first_not_of(' ') != std::string::npos;
    bool wanted = false;
    bool labelled = false;
    // Whether the label tried last was left out.
    bool leftOutLast = false;
    std::vector<Slot> spare;
    const auto print = [&](const Slot& at) {
        wanted = true;
        const std::size_t leftOut = pic.LeftOutTexts().size();
        PrintAt(pic, at.x, at.y, label);
        leftOutLast = pic.LeftOutTexts().size() != leftOut;
        // A label that had a place on the picture and was not left out
        // stands there now.
        labelled = labelled || (inked && !leftOutLast && std::isfinite(pic.ToPixelX(at.x)) &&
                                std::isfinite(pic.ToPixelY(at.y)));
    };
    // The lines of chunks whose label is not tried go to the picture with
    // the next chunk: a flat contour has a chunk at every column, and each
    // call costs more than its few lines.
    std::vector<PictureSurface::Segment> joined;
    const auto lines = [&](const std::vector<PictureSurface::Segment>& chunk, bool draw) {
        if (!draw) {
            joined.insert(joined.end(), chunk.begin(), chunk.end());
        } else if (joined.empty()) {
            pic.Lines(chunk);
        } else {
            joined.insert(joined.end(), chunk.begin(), chunk.end());
            pic.Lines(joined);
            joined.clear();
        }
    };
    std::size_t chunk = 0;
    for (const ContourTraces::Level::Step& step : traced.steps) {
        if (step.spare) {
            if (!labelled) {
                spare.push_back(step.low);
                spare.push_back(step.high);
            }
            continue;
        }
        const bool tried = !step.flat || step.column % flatEvery == 0;
        lines(traced.chunks[chunk++], tried);
        if (tried) print(step.low);
    }
    lines(traced.chunks[chunk], true);
    if (!wanted) return;
    // The label with one of its corners on the line's end.
    const float width = static_cast<float>(pic.TextWidth(label));
    const float height = static_cast<float>(pic.TextHeight(label));
    for (const float dy : {0.0f, -height})
        for (const float dx : {0.0f, -width})
            for (std::size_t i = 0; i < spare.size() && !labelled; ++i) {
                // Two lines that meet share an end: a label left out at it
                // is left out there again, nothing being drawn in between,
                // and the cursor stands where the try before left it.
                if (i > 0 && leftOutLast && spare[i].x == spare[i - 1].x &&
                    spare[i].y == spare[i - 1].y)
                    continue;
                print({true, spare[i].x + dx, spare[i].y + dy});
            }
}

// Traces every contour value of the field and finds its extremum points.
void TraceField(ContourTraces::Field& field, const TimeHeightGrid& grid) {
    field.range = ContourValues(grid, field.interval, field.floored ? &field.floor : nullptr);
    const std::vector<RowRange> rows = RowRanges(grid);
    for (int v = field.range.lowest; v <= field.range.highest; v += field.interval)
        field.levels.push_back(TraceLevel(grid, static_cast<float>(v), rows));
    ForEachExtremum(grid, true, [&](int t, int k, float v) { field.maxima.push_back({t, k, v}); });
    ForEachExtremum(grid, false, [&](int t, int k, float v) { field.minima.push_back({t, k, v}); });
}

// The field's contours traced from grid.
std::unique_ptr<ContourTraces::Field> TracedField(const TimeHeightGrid& grid, int interval,
                                                  const float* floor) {
    auto made = std::make_unique<ContourTraces::Field>();
    made->LastColumn = grid.LastColumn;
    made->TopLevel = grid.TopLevel;
    made->HasLevelZero = grid.HasLevelZero;
    made->values = grid.values;
    made->levelY = grid.levelY;
    made->interval = interval;
    made->floored = floor != nullptr;
    made->floor = floor ? *floor : 0.0f;
    TraceField(*made, grid);
    return made;
}

} // namespace

ContourTraces::ContourTraces() = default;
ContourTraces::~ContourTraces() = default;

void ContourTraces::Clear() {
    if (kept_.empty()) return;
    // The fields hold thousands of small blocks, whose freeing took most of
    // a millisecond of a reload: a thread of their own frees them (this one
    // does when no thread can be had). Nothing else reads them.
    try {
        std::thread([fields = std::move(kept_)] {}).detach();
    } catch (const std::system_error&) {
    }
    kept_.clear();
}

void ContourTraces::Keep(std::unique_ptr<Field> field) {
    if (kept_.size() >= kFieldsKept) kept_.pop_back();
    kept_.insert(kept_.begin(), std::move(field));
}

const ContourTraces::Field& ContourTraces::Of(const TimeHeightGrid& grid, int interval,
                                              const float* floor) {
    for (std::size_t k = 0; k < kept_.size(); ++k) {
        if (!kept_[k]->TracedFrom(grid, interval, floor)) continue;
        if (k > 0) std::rotate(kept_.begin(), kept_.begin() + k, kept_.begin() + k + 1);
        return *kept_.front();
    }
    Keep(TracedField(grid, interval, floor));
    return *kept_.front();
}

void ContourTraces::TraceAhead(std::span<const ContourRequest> fields) {
    if (fields.size() > kFieldsKept) return;
    std::vector<const ContourRequest*> missing;
    for (const ContourRequest& wanted : fields)
        if (std::none_of(kept_.begin(), kept_.end(), [&wanted](const auto& field) {
                return field->TracedFrom(wanted.grid, wanted.interval, wanted.floor);
            }))
            missing.push_back(&wanted);
    std::vector<std::unique_ptr<Field>> traced(missing.size());
    DoSideBySide(missing.size(), kMaxTraceThreads, kLeastFieldsPerThread, [&](std::size_t i) {
        traced[i] = TracedField(missing[i]->grid, missing[i]->interval, missing[i]->floor);
    });
    for (std::unique_ptr<Field>& field : traced) Keep(std::move(field));
}

void DrawContourLevel(PictureSurface& pic, const TimeHeightGrid& grid, float value) {
    DrawContourLevels(pic, grid, std::span(&value, 1));
}

void DrawContourLevels(PictureSurface& pic, const TimeHeightGrid& grid,
                       std::span<const float> values) {
    const std::vector<RowRange> rows = RowRanges(grid);
    const int flatEvery = FlatLabelEvery(pic);
    for (const float value : values) DrawLevel(pic, TraceLevel(grid, value, rows), flatEvery);
}

void ContourField(PictureSurface& pic, const TimeHeightGrid& grid, int interval, Rgb primary,
                  Rgb secondary, int emphasis, ContourTraces* kept) {
    if (interval < 1 || grid.TopLevel < 1) return;
    ContourTraces once;
    const ContourTraces::Field& field = (kept ? *kept : once).Of(grid, interval, nullptr);
    const int flatEvery = FlatLabelEvery(pic);
    ReserveExtrema(pic, field.levelY, field.maxima, field.minima);
    int v = field.range.lowest;
    for (const ContourTraces::Level& level : field.levels) {
        const bool bright = emphasis > 0 ? v % emphasis == 0 : v >= -emphasis;
        pic.SetForeColor(bright ? primary : secondary);
        DrawLevel(pic, level, flatEvery);
        v += interval;
    }
    pic.SetForeColor(primary);
    MarkExtrema(pic, field.levelY, field.maxima, true);
    if (emphasis < 1) pic.SetForeColor(secondary);
    MarkExtrema(pic, field.levelY, field.minima, false);
}

std::size_t BandIndexOf(std::span<const ContourBand> bands, float value) {
    std::size_t index = 0;
    while (index + 1 < bands.size() && value >= bands[index + 1].lower) ++index;
    return index;
}

void ContourFieldLevels(PictureSurface& pic, const TimeHeightGrid& grid, int interval,
                        std::span<const ContourBand> bands, ContourTraces* kept) {
    if (interval < 1 || bands.empty() || grid.TopLevel < 1) return;
    ContourTraces once;
    const ContourTraces::Field& field =
        (kept ? *kept : once).Of(grid, interval, &bands.front().lower);
    const int flatEvery = FlatLabelEvery(pic);
    ReserveExtrema(pic, field.levelY, field.maxima, field.minima);
    std::size_t band = 0;
    pic.SetForeColor(bands[band].color);
    int v = field.range.lowest;
    for (const ContourTraces::Level& level : field.levels) {
        // Values rise, so the band only moves up.
        while (band + 1 < bands.size() && v >= bands[band + 1].lower) {
            ++band;
            pic.SetForeColor(bands[band].color);
        }
        DrawLevel(pic, level, flatEvery);
        v += interval;
    }
    MarkExtrema(pic, field.levelY, field.minima, false, bands);
    MarkExtrema(pic, field.levelY, field.maxima, true, bands);
}

} // namespace tarvex
