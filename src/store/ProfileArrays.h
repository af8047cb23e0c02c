#pragma once

#include "store/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarvex {

// Bounds of the sounding store: 6 model columns, 85 time columns, levels
// 0..67 (level 0 is the surface) and 69 wind slots (0..68, see WindGrid).
inline constexpr int kModelColumns = 6;
inline constexpr int kTimeColumns = 85;
inline constexpr int kLevelSlots = 68;
inline constexpr int kMaxProfileLevels = 67;
inline constexpr int kWindSlots = 69;
inline constexpr int kLastTimeColumn = kTimeColumns - 1;
// The visibility of an hour whose file layout carries none.
inline constexpr float kNoVisibility = -1.0f;

[[noreturn]] void ThrowIndexError(const char* array, int m, int t, int level);

// A fixed number of numbers, all zero at the start. The memory is asked for
// already zeroed, so that the system hands out a large block as pages of
// zeros on first touch: a grid of which a run uses a few models, hours and
// levels costs only the pages those touch, and making one is nearly free.
template <typename T> class ZeroedArray {
    static_assert(std::is_arithmetic_v<T>, "zero bytes must be the value 0");

  public:
    explicit ZeroedArray(std::size_t count) : data_(Allocate(count)), count_(count) {}
    ZeroedArray(const ZeroedArray& other) : data_(Allocate(other.count_)), count_(other.count_) {
        if (count_ > 0) std::memcpy(data_.get(), other.data_.get(), count_ * sizeof(T));
    }
    // An array of the same size takes the values into the pages it already
    // holds: a new block would be fresh pages, faulted in one by one.
    ZeroedArray& operator=(const ZeroedArray& other) {
        if (this == &other) return *this;
        if (count_ == other.count_ && data_) {
            if (count_ > 0) std::memcpy(data_.get(), other.data_.get(), count_ * sizeof(T));
        } else {
            *this = ZeroedArray(other);
        }
        return *this;
    }
    // The array moved from is left empty: no values and a size of 0, so that
    // its size never counts values it no longer holds.
    ZeroedArray(ZeroedArray&& other) noexcept
        : data_(std::move(other.data_)), count_(std::exchange(other.count_, 0)) {}
    ZeroedArray& operator=(ZeroedArray&& other) noexcept {
        data_ = std::move(other.data_);
        count_ = std::exchange(other.count_, 0);
        return *this;
    }

    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    std::size_t size() const { return count_; }

  private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    static std::unique_ptr<T[], Free> Allocate(std::size_t count) {
        T* p = static_cast<T*>(std::calloc(count == 0 ? 1 : count, sizeof(T)));
        if (!p) throw std::bad_alloc();
        return std::unique_ptr<T[], Free>(p);
    }

    std::unique_ptr<T[], Free> data_;
    std::size_t count_;
};

// Per-model, per-time, per-level values. The flat element number is
// m + 6 t + 510 L: the model varies fastest, then the time, then the level.
// Every access is checked; an index outside the bounds throws.
template <typename T, int Levels> class LevelGrid {
  public:
    explicit LevelGrid(const char* name) : name_(name), data_(Size()) {}

    static constexpr std::size_t Size() {
        return static_cast<std::size_t>(kModelColumns) * kTimeColumns * Levels;
    }

    T& operator()(int m, int t, int level) { return data_[Index(m, t, level)]; }
    const T& operator()(int m, int t, int level) const { return data_[Index(m, t, level)]; }
    const char* Name() const { return name_; }

  private:
    std::size_t Index(int m, int t, int level) const {
        if (m < 0 || m >= kModelColumns || t < 0 || t >= kTimeColumns || level < 0 ||
            level >= Levels)
            ThrowIndexError(name_, m, t, level);
        return static_cast<std::size_t>(m) + static_cast<std::size_t>(kModelColumns) * t +
               static_cast<std::size_t>(kModelColumns) * kTimeColumns * level;
    }

    const char* name_;
    ZeroedArray<T> data_;
};

// Per-model, per-time values (flat element m + 6 t), bounds-checked.
template <typename T> class TimeGrid {
  public:
    explicit TimeGrid(const char* name) : name_(name), data_(kModelColumns * kTimeColumns) {}

    T& operator()(int m, int t) { return data_[Index(m, t)]; }
    const T& operator()(int m, int t) const { return data_[Index(m, t)]; }
    const char* Name() const { return name_; }

  private:
    std::size_t Index(int m, int t) const {
        if (m < 0 || m >= kModelColumns || t < 0 || t >= kTimeColumns)
            ThrowIndexError(name_, m, t, -1);
        return static_cast<std::size_t>(m) + static_cast<std::size_t>(kModelColumns) * t;
    }

    const char* name_;
    std::vector<T> data_;
};

// One value per model column, bounds-checked.
template <typename T> class ModelArray {
  public:
    explicit ModelArray(const char* name) : name_(name), data_(kModelColumns) {}

    T& operator()(int m) { return data_[Index(m)]; }
    const T& operator()(int m) const { return data_[Index(m)]; }

  private:
    std::size_t Index(int m) const {
        if (m < 0 || m >= kModelColumns) ThrowIndexError(name_, m, -1, -1);
        return static_cast<std::size_t>(m);
    }

    const char* name_;
    std::vector<T> data_;
};

// A wind component with the shifted level index: slot 0 holds the storm
// motion, slot 1 the 10 m wind and slot L + 1 profile level L. Level(m, t, L)
// is the one accessor for a profile level (Level 0 is the 10 m wind, as level
// 0 is the surface everywhere else); Slot() addresses the stored index itself.
class WindGrid {
  public:
    static constexpr int kStormSlot = 0;
    static constexpr int kSurfaceSlot = 1;

    explicit WindGrid(const char* name) : grid_(name) {}

    float& Level(int m, int t, int level) { return grid_(m, t, CheckedLevel(level) + 1); }
    const float& Level(int m, int t, int level) const {
        return grid_(m, t, CheckedLevel(level) + 1);
    }
    float& Slot(int m, int t, int slot) { return grid_(m, t, slot); }
    const float& Slot(int m, int t, int slot) const { return grid_(m, t, slot); }
    float& Storm(int m, int t) { return grid_(m, t, kStormSlot); }
    const float& Storm(int m, int t) const { return grid_(m, t, kStormSlot); }

  private:
    int CheckedLevel(int level) const {
        if (level < 0 || level >= kLevelSlots) ThrowIndexError(grid_.Name(), -1, -1, level);
        return level;
    }
    LevelGrid<float, kWindSlots> grid_;
};

using LevelField = LevelGrid<float, kLevelSlots>;
using TimeField = TimeGrid<float>;

// The one sounding store of the program: what the sounding reader fills and
// every computation, diagram and panel reads. Units: pressure mb, height m,
// temperatures deg C, wind speed knots as read, wind components m/s.
struct ProfileArrays {
    // Per level [model, time, level].
    LevelField Pressure{"Pressure"};
    LevelField Temperature{"Temperature"};
    LevelField WetBulb{"WetBulb"};
    LevelField DewPoint{"DewPoint"};
    LevelField ThetaE{"ThetaE"};
    LevelField WindDirection{"WindDirection"};
    LevelField WindSpeed{"WindSpeed"};
    LevelField Omega{"Omega"};
    LevelField CloudFraction{"CloudFraction"};
    LevelField Height{"Height"};
    LevelField RelativeHumidity{"RelativeHumidity"};
    LevelField RelativeHumidityIce{"RelativeHumidityIce"};
    LevelField SatMixingRatio{"SatMixingRatio"};
    LevelField MixingRatio{"MixingRatio"};
    LevelField SpecificHumidity{"SpecificHumidity"};
    LevelField PotentialTemperature{"PotentialTemperature"};
    LevelField HeightAGL{"HeightAGL"};
    WindGrid WindU{"WindU"};
    WindGrid WindV{"WindV"};
    WindGrid WindUOriginal{"WindUOriginal"};
    WindGrid WindVOriginal{"WindVOriginal"};

    // Station parameters of each time [model, time].
    TimeField Showalter{"Showalter"};
    TimeField LiftedIndex{"LiftedIndex"};
    TimeField SweatIndex{"SweatIndex"};
    TimeField KIndex{"KIndex"};
    TimeField LCLPressure{"LCLPressure"};
    TimeField PrecipWater{"PrecipWater"};
    TimeField TotalTotals{"TotalTotals"};
    TimeField CAPE{"CAPE"};
    TimeField LCLTemperature{"LCLTemperature"};
    TimeField CINS{"CINS"};
    TimeField EQLPressure{"EQLPressure"};
    TimeField LFCPressure{"LFCPressure"};
    TimeField BulkRichardson{"BulkRichardson"};

    // Surface section of each time [model, time].
    TimeField SurfacePressure{"SurfacePressure"};
    TimeField SurfaceTemp{"SurfaceTemp"};
    TimeField SurfaceDewPoint{"SurfaceDewPoint"};
    TimeField SkinTemperature{"SkinTemperature"};
    TimeField GroundTemperature{"GroundTemperature"};
    TimeField Precip{"Precip"};
    TimeField ConvPrecip{"ConvPrecip"};
    TimeField Evaporation{"Evaporation"};
    TimeField RunOff{"RunOff"};
    TimeField SurfaceU{"SurfaceU"};
    TimeField SurfaceV{"SurfaceV"};
    TimeField SurfaceWindSpeed{"SurfaceWindSpeed"};
    TimeField SurfaceWindDirection{"SurfaceWindDirection"};
    TimeField StormU{"StormU"};
    TimeField StormV{"StormV"};
    TimeField ModelHelicity{"ModelHelicity"};
    TimeField EHI{"EHI"};
    TimeField ModelSnowRatio{"ModelSnowRatio"};
    TimeField CloudBase{"CloudBase"};
    // km; kNoVisibility where the file's layout has no visibility column.
    TimeField Visibility{"Visibility"};
    TimeGrid<std::int32_t> PTypeModelCode{"PTypeModelCode"};
    TimeField WetBulbZeroHeight{"WetBulbZeroHeight"};
    TimeField CCLPressure{"CCLPressure"};
    TimeField ConvectiveTemperature{"ConvectiveTemperature"};
    TimeGrid<DateTime> ValidTime{"ValidTime"};
    TimeGrid<std::int16_t> WindEdited{"WindEdited"};
    TimeField PrecipTotal{"PrecipTotal"};
    TimeField ConvPrecipTotal{"ConvPrecipTotal"};

    // Per model column.
    ModelArray<std::uint16_t> LevelCount{"LevelCount"};
    ModelArray<std::int16_t> LastTime{"LastTime"};
    ModelArray<float> StationElevation{"StationElevation"}; // km
    ModelArray<std::uint16_t> DrawLevelCount{"DrawLevelCount"};
    ModelArray<float> StationLat{"StationLat"};
    ModelArray<float> StationLon{"StationLon"}; // west positive

    // Selection and per-file scalars.
    std::int16_t CurrentModel = 1;
    std::int16_t ReadModel = 1;
    std::int16_t ModelChoice = 0;
    std::string FileTail;
    std::int16_t DiagramTopPressure = 100;
    std::int16_t DiagramBottomPressure = 1050;
    float MaxSurfacePressure = 0.0f;
    float MaxSpecificHumidity = 0.0f;
};

} // namespace tarvex
