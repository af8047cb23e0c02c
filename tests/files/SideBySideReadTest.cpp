#include "files/FieldReader.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include "SampleSounding.h"
#include "files/ShippedSoundings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace tarvex {
namespace {

// Every number of a store, compared by its bytes: a value the read left out
// or wrote twice shows even where it is a zero or a NaN.
template <typename Value> bool SameBytes(const Value& a, const Value& b) {
    return std::memcmp(&a, &b, sizeof(Value)) == 0;
}

#define TARVEX_LEVEL_FIELDS(X)                                                                     \
    X(Pressure)                                                                                    \
    X(Temperature)                                                                                 \
    X(WetBulb)                                                                                     \
    X(DewPoint) X(ThetaE) X(WindDirection) X(WindSpeed) X(Omega) X(CloudFraction) X(Height)        \
        X(RelativeHumidity) X(RelativeHumidityIce) X(SatMixingRatio) X(MixingRatio)                \
            X(SpecificHumidity) X(PotentialTemperature) X(HeightAGL)
#define TARVEX_WIND_FIELDS(X) X(WindU) X(WindV) X(WindUOriginal) X(WindVOriginal)
#define TARVEX_TIME_FIELDS(X)                                                                      \
    X(Showalter)                                                                                   \
    X(LiftedIndex)                                                                                 \
    X(SweatIndex)                                                                                  \
    X(KIndex) X(LCLPressure) X(PrecipWater) X(TotalTotals) X(CAPE) X(LCLTemperature) X(CINS)       \
        X(EQLPressure) X(LFCPressure) X(BulkRichardson) X(SurfacePressure) X(SurfaceTemp)          \
            X(SurfaceDewPoint) X(SkinTemperature) X(GroundTemperature) X(Precip) X(ConvPrecip)     \
                X(Evaporation) X(RunOff) X(SurfaceU) X(SurfaceV) X(SurfaceWindSpeed)               \
                    X(SurfaceWindDirection) X(StormU) X(StormV) X(ModelHelicity) X(EHI)            \
                        X(ModelSnowRatio) X(CloudBase) X(Visibility) X(PTypeModelCode)             \
                            X(WetBulbZeroHeight) X(CCLPressure) X(ConvectiveTemperature)           \
                                X(ValidTime) X(WindEdited) X(PrecipTotal) X(ConvPrecipTotal)
#define TARVEX_MODEL_FIELDS(X)                                                                     \
    X(LevelCount) X(LastTime) X(StationElevation) X(DrawLevelCount) X(StationLat) X(StationLon)
#define TARVEX_SCALAR_FIELDS(X)                                                                    \
    X(CurrentModel)                                                                                \
    X(ReadModel)                                                                                   \
    X(ModelChoice)                                                                                 \
    X(DiagramTopPressure) X(DiagramBottomPressure) X(MaxSurfacePressure) X(MaxSpecificHumidity)

// A member added to the store changes its size: it must join the lists.
static_assert(sizeof(ProfileArrays) == 2064, "a store member the lists above leave out");

// The first member where two stores differ, or nothing.
std::string FirstDifference(const ProfileArrays& a, const ProfileArrays& b) {
    if (a.FileTail != b.FileTail) return "FileTail";
    std::string where;
    const auto note = [&](const char* name, int m, int t, int level) {
        if (where.empty())
            where = std::string(name) + "(" + std::to_string(m) + ", " + std::to_string(t) + ", " +
                    std::to_string(level) + ")";
    };
    for (int m = 0; m < kModelColumns; ++m) {
#define X(F)                                                                                       \
    for (int t = 0; t < kTimeColumns; ++t)                                                         \
        for (int L = 0; L < kLevelSlots; ++L)                                                      \
            if (!SameBytes(a.F(m, t, L), b.F(m, t, L))) note(#F, m, t, L);
        TARVEX_LEVEL_FIELDS(X)
#undef X
#define X(F)                                                                                       \
    for (int t = 0; t < kTimeColumns; ++t)                                                         \
        for (int slot = 0; slot < kWindSlots; ++slot)                                              \
            if (!SameBytes(a.F.Slot(m, t, slot), b.F.Slot(m, t, slot))) note(#F, m, t, slot);
        TARVEX_WIND_FIELDS(X)
#undef X
#define X(F)                                                                                       \
    for (int t = 0; t < kTimeColumns; ++t)                                                         \
        if (!SameBytes(a.F(m, t), b.F(m, t))) note(#F, m, t, -1);
        TARVEX_TIME_FIELDS(X)
#undef X
#define X(F)                                                                                       \
    if (!SameBytes(a.F(m), b.F(m))) note(#F, m, -1, -1);
        TARVEX_MODEL_FIELDS(X)
#undef X
    }
#define X(F)                                                                                       \
    if (!SameBytes(a.F, b.F)) note(#F, -1, -1, -1);
    TARVEX_SCALAR_FIELDS(X)
#undef X
    return where;
}

struct Read {
    SoundingReadResult result;
    std::unique_ptr<ProfileArrays> store;
    bool sideBySide = false;
};

Read InOrder(const std::string& text, SoundingLayout layout) {
    Read read;
    read.store = std::make_unique<ProfileArrays>();
    read.result = ParseSounding(text, layout, *read.store);
    return read;
}

Read SideBySide(const std::string& text, SoundingLayout layout) {
    Read read;
    read.result = ParseSoundingAnew(text, layout, read.store, &read.sideBySide);
    return read;
}

// The read side by side gives what the read in order gives: the same
// result, every message and line included, and on success the same store.
void ExpectSameRead(const std::string& text, SoundingLayout layout, bool readSideBySide) {
    const Read inOrder = InOrder(text, layout);
    const Read apart = SideBySide(text, layout);
    EXPECT_EQ(apart.sideBySide, readSideBySide);
    EXPECT_EQ(apart.result.ok, inOrder.result.ok);
    EXPECT_EQ(apart.result.LegacyMode, inOrder.result.LegacyMode);
    EXPECT_EQ(apart.result.line, inOrder.result.line);
    EXPECT_EQ(apart.result.reason, inOrder.result.reason);
    if (inOrder.result.ok) {
        EXPECT_EQ(FirstDifference(*apart.store, *inOrder.store), "");
    }
}

samples::SampleSpec Spec(const char* layout, bool legacy, int times,
                         samples::Variant variant = samples::Variant::Clean) {
    samples::SampleSpec spec;
    spec.layout = layout;
    spec.legacy = legacy;
    spec.times = times;
    spec.variant = variant;
    spec.atmosphere = samples::Atmosphere::WinterWarmNose;
    return spec;
}

// The offset of the start of the line holding the count-th (0-based) match
// of what, from from on.
std::size_t LineOf(const std::string& text, const std::string& what, int count,
                   std::size_t from = 0) {
    std::size_t at = text.find(what, from);
    for (int i = 0; i < count; ++i) at = text.find(what, at + 1);
    return text.rfind('\n', at) + 1;
}

TEST(SideBySideRead, GoodFilesGiveTheStoreOfTheReadInOrder) {
    ProfileArrays fresh;
    ASSERT_EQ(FirstDifference(fresh, fresh), "");
    for (const fixtures::ShippedSounding& file : fixtures::ShippedSoundings()) {
        SCOPED_TRACE(file.path.string());
        ExpectSameRead(ReadTextFile(file.path).value(), file.layout, true);
    }
    for (const char* layout : {"eta", "ngm", "gfs3"}) {
        for (bool legacy : {false, true}) {
            SCOPED_TRACE(std::string(layout) + (legacy ? " legacy" : ""));
            for (int times : {85, kSideBySideLeastTimes, kSideBySideLeastTimes - 1, 2}) {
                SCOPED_TRACE(times);
                ExpectSameRead(samples::MakeSoundingText(Spec(layout, legacy, times)),
                               *LayoutFromKeyword(layout), times >= kSideBySideLeastTimes);
            }
        }
    }
}

TEST(SideBySideRead, AFaultInALaterBlockIsNamedAsByTheReadInOrder) {
    using samples::Variant;
    // The generator's faults lie in the middle block or the surface rows;
    // those of the surface rows are found after the blocks were read apart.
    const std::pair<Variant, bool> variants[] = {
        {Variant::MisspeltKeys, true},
        {Variant::NoBlankBetweenBlocks, false},
        {Variant::Truncated, false},
        {Variant::TruncatedSurface, true},
        {Variant::TooManyLevels, false},
        {Variant::TooManyTimes, false},
        {Variant::BadDate, false},
        {Variant::LineDeleted, false},
        {Variant::NumberTooLarge, false},
        {Variant::HugeSurfacePressure, true},
        {Variant::CrLf, true},
        {Variant::NoTimeBlocks, false},
        {Variant::NulByte, false},
    };
    for (const auto& [variant, apart] : variants) {
        SCOPED_TRACE(static_cast<int>(variant));
        ExpectSameRead(samples::MakeSoundingText(Spec("eta", false, 85, variant)),
                       SoundingLayout::EtaRuc, apart);
    }

    const std::string text = samples::MakeSoundingText(Spec("eta", false, 40));
    const auto changed = [&](std::size_t at, std::size_t length, const std::string& by) {
        return std::string(text).replace(at, length, by);
    };
    const std::size_t block38 = LineOf(text, "TIME =", 38);
    // The two lines of block 38's highest level.
    const std::size_t levelsEnd = text.find("\n\n", LineOf(text, "CFRL HGHT", 0, block38));
    const std::size_t lastLevel = text.rfind('\n', text.rfind('\n', levelsEnd - 1) - 1) + 1;
    const std::size_t surfaceRows = text.find("\nSTN ");
    const std::size_t row33 = LineOf(text, " 725280 ", 33, surfaceRows);
    struct Case {
        const char* what;
        std::string text;
        bool apart;
    };
    const Case cases[] = {
        // Two hours after the time before, in a run stepping by one.
        {"an uneven step", changed(text.find("/", block38) + 1, 2, "03"), false},
        {"a time out of order", changed(text.find("/", block38) + 1, 2, "00"), false},
        {"a level too few", changed(lastLevel, levelsEnd + 1 - lastLevel, ""), false},
        {"a value not a number", changed(LineOf(text, "CFRL HGHT", 0, block38) + 12, 4, "x.xx"),
         false},
        // A TIME in a line the read passes over: the block starts the scan
        // finds are not the blocks, and the read in order takes the file.
        {"a TIME in a passed-over line",
         changed(text.find("\n", LineOf(text, "CFRL HGHT", 0, LineOf(text, "TIME =", 20))), 0,
                 " TIME"),
         false},
        // Found in the surface rows, named at the line of block 33's lowest
        // level and at the row's own line.
        {"a lowest level below the ground", changed(row33 + 29, 10, "    500.00"), true},
        {"a row's date not its block's", changed(row33 + 8, 6, "991231"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectSameRead(c.text, SoundingLayout::EtaRuc, c.apart);
    }
    // The passed-over TIME is read by the read in order, whose store is
    // given, and the surface faults are refused.
    EXPECT_TRUE(InOrder(cases[4].text, SoundingLayout::EtaRuc).result.ok);
    EXPECT_FALSE(InOrder(cases[5].text, SoundingLayout::EtaRuc).result.ok);
    EXPECT_FALSE(InOrder(cases[6].text, SoundingLayout::EtaRuc).result.ok);
}

} // namespace
} // namespace tarvex
