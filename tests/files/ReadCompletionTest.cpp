#include "files/ReadCompletion.h"
#include "compute/PrecipType.h"
#include "compute/Winds.h"
#include "files/DerivedFields.h"
#include "files/Fixtures.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

constexpr int m = 1;

class CompletedRead : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-complete-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta", "ngm"};
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    const ProfileArrays& Read(const std::string& name, const std::string& text, int choice) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        session_.profile->ModelChoice = static_cast<std::int16_t>(choice);
        const SoundingReadResult r = ReadSounding(session_, path.string());
        EXPECT_TRUE(r.ok) << r.reason << " line " << r.line;
        return *session_.profile;
    }

    std::filesystem::path folder_;
    Session session_;
};

TEST_F(CompletedRead, SurfaceFieldsTotalsAndTheSurfaceLevel) {
    const ProfileArrays& s = Read("eta_KBUF.buf", fixtures::kTwoHourEta, 0);
    // Millimetres to inches; the first hour has no interval of its own.
    EXPECT_FLOAT_EQ(s.Precip(m, 0), 0.0f);
    EXPECT_FLOAT_EQ(s.Precip(m, 1), 2.5f / 25.4f);
    EXPECT_FLOAT_EQ(s.PrecipTotal(m, 1), 2.5f / 25.4f);
    EXPECT_FLOAT_EQ(s.ConvPrecipTotal(m, 1), 1.0f / 25.4f);
    EXPECT_FLOAT_EQ(s.RunOff(m, 1), 0.3f / 25.4f);
    EXPECT_NEAR(s.EHI(m, 1), 100.0f * 160.0f / 160000.0f, 1e-6f);
    // u = 3, v = -4 m/s: 5 m/s (9.71 kt) from 323 degrees.
    EXPECT_NEAR(s.SurfaceWindSpeed(m, 0), 9.7127f, 1e-3f);
    EXPECT_NEAR(s.SurfaceWindDirection(m, 0), 323.13f, 1e-2f);
    // Level 0 and the shifted wind slots.
    EXPECT_FLOAT_EQ(s.Pressure(m, 0, 0), 991.0f);
    EXPECT_FLOAT_EQ(s.Height(m, 1, 0), 218.0f);
    EXPECT_NEAR(s.WindSpeed(m, 0, 0), 9.7127f, 1e-3f);
    EXPECT_FLOAT_EQ(s.WindU.Level(m, 0, 0), 3.0f);
    EXPECT_FLOAT_EQ(s.WindV.Slot(m, 0, WindGrid::kSurfaceSlot), -4.0f);
    EXPECT_FLOAT_EQ(s.WindU.Storm(m, 1), s.StormU(m, 1));
    EXPECT_FLOAT_EQ(s.WindUOriginal.Storm(m, 1), s.StormU(m, 1));
    // Heights above ground use the station elevation read at the first time.
    EXPECT_FLOAT_EQ(s.HeightAGL(m, 1, 2), 1250.0f - 218.0f);
    // The bottom edge: 4 % of the log-pressure span below 991 mb.
    EXPECT_EQ(s.DiagramBottomPressure, 1086);
    EXPECT_FLOAT_EQ(s.MaxSurfacePressure, 991.0f);
}

TEST_F(CompletedRead, MissingStationLevelsTakeTheSurface) {
    std::string text = fixtures::kTwoHourEta;
    text.replace(text.find("LFCT = 850.0"), 12, "LFCT = -9999");
    const ProfileArrays& s = Read("eta_KBUF.buf", text, 0);
    EXPECT_FLOAT_EQ(s.LFCPressure(m, 0), 991.0f);
    EXPECT_FLOAT_EQ(s.EQLPressure(m, 0), 991.0f);
    EXPECT_FLOAT_EQ(s.CINS(m, 0), 0.0f);
    EXPECT_FLOAT_EQ(s.LFCPressure(m, 1), 840.0f); // the other hour keeps its own
}

TEST_F(CompletedRead, NgmWindComesFromSpeedAndDirection) {
    // A previous file leaves its 10 m wind behind; the ngm file must not show it.
    Read("eta_KBUF.buf", fixtures::kTwoHourEta, 0);
    const ProfileArrays& s = Read("ngm_KALB.buf", fixtures::kOneHourNgm, 1);
    // 19.4254 kt from the south is 10 m/s towards the north.
    EXPECT_NEAR(s.SurfaceU(m, 0), 0.0f, 1e-4f);
    EXPECT_NEAR(s.SurfaceV(m, 0), 10.0f, 1e-4f);
    EXPECT_NEAR(s.WindV.Level(m, 0, 0), 10.0f, 1e-4f);
    EXPECT_FLOAT_EQ(s.Visibility(m, 0), 80.0f);
    EXPECT_FLOAT_EQ(s.ModelSnowRatio(m, 0), 100.0f);
    EXPECT_FLOAT_EQ(s.SkinTemperature(m, 0), 0.0f);
    // ngm has no type of its own: the energy method's type stands in.
    EXPECT_EQ(s.PTypeModelCode(m, 0), session_.ptype->PTypeEnergyCode(m, 0));
    EXPECT_EQ(s.PTypeModelCode(m, 0), kPTypeSnow); // below freezing throughout
}

TEST_F(CompletedRead, NothingOfTheFirstFileShowsAfterTheSecond) {
    Read("eta_KBUF.buf", fixtures::kTwoHourEta, 0);
    MakeShear(*session_.profile, 0, *session_.winds, session_.options);
    MakeShear(*session_.profile, 1, *session_.winds, session_.options);
    session_.winds->MBEDone(m, 0) = kFlagTrue;
    session_.options.ElevatedPTLevel = 2;
    ASSERT_EQ(session_.winds->ShearDone(m, 1), kFlagTrue);

    const ProfileArrays& s = Read("ngm_KALB.buf", fixtures::kOneHourNgm, 1);
    EXPECT_EQ(s.LastTime(m), 0);
    EXPECT_EQ(s.LevelCount(m), 2);
    for (int t = 0; t <= 1; ++t) {
        EXPECT_EQ(session_.winds->ShearDone(m, t), kFlagFalse) << t;
        EXPECT_EQ(session_.winds->MBEDone(m, t), kFlagFalse) << t;
    }
    EXPECT_EQ(session_.options.ElevatedPTLevel, 1);
    EXPECT_EQ(session_.ptype->PTypeAreasDone(m, 0), kFlagTrue); // computed for the new file
    EXPECT_FLOAT_EQ(s.StationLat(m), 42.75f);
    EXPECT_FLOAT_EQ(s.PrecipTotal(m, 0), 0.0f);
    EXPECT_FLOAT_EQ(s.Pressure(m, 0, 0), 1012.0f);
    EXPECT_FLOAT_EQ(s.HeightAGL(m, 0, 2), 960.0f - 85.0f);
    EXPECT_NEAR(s.PrecipWater(m, 0), 0.5f, 1e-6f);
    // The ngm levels' cloud comes from their humidity, not from the eta file.
    EXPECT_LT(s.CloudFraction(m, 0, 1), 100.0f);
    EXPECT_GE(s.CloudFraction(m, 0, 1), 0.0f);
}

TEST(CompleteSoundingRead, BottomEdgeForASurfaceOfThousandMillibars) {
    Session session;
    ProfileArrays& s = *session.profile;
    s.LevelCount(m) = 1;
    s.Pressure(m, 0, 1) = 990.0f;
    s.SurfacePressure(m, 0) = 1000.0f;
    s.DiagramTopPressure = 100;
    CompleteSoundingRead(session, SoundingLayout::EtaRuc);
    EXPECT_EQ(s.DiagramBottomPressure, 1096); // 1000 * 10^0.04 = 1096.48
    EXPECT_EQ(session.heightGrid.HeightGridPressureFt[0], 1000);

    // gfs3 files have no visibility column: the hour is marked, not 0 km.
    CompleteSoundingRead(session, SoundingLayout::Gfs3);
    EXPECT_EQ(s.Visibility(m, 0), kNoVisibility);
}

TEST(CompletionBounds, HostileSurfacePressuresGiveNoWrappedNumbers) {
    // The diagram bottom of a 40000 mb surface holds at the 16-bit top; a
    // surface pressure of 0 leaves the height scale without pressures.
    Session session;
    session.models.ModelCodes = {"eta"};
    auto store = std::make_unique<ProfileArrays>();
    ASSERT_TRUE(ParseSounding(fixtures::kTwoHourEta, SoundingLayout::EtaRuc, *store).ok);
    session.profile = std::move(store);
    session.profile->SurfacePressure(m, 1) = 40000.0f;
    CompleteSoundingRead(session, SoundingLayout::EtaRuc);
    EXPECT_EQ(session.profile->DiagramBottomPressure, 32767);

    session.profile->SurfacePressure(m, 0) = 0.0f;
    MakeHeightGridPressures(*session.profile, session.heightGrid);
    for (std::int16_t p : session.heightGrid.HeightGridPressureKm) EXPECT_EQ(p, 0);
}

} // namespace
} // namespace tarvex
