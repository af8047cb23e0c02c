#include "compute/Narrow.h"
#include "files/Fixtures.h"
#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "profile/diagrams/DrawEverything.h"
#include "store/ProfileArrays.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// Draws what the input makes of a sounding, with every option on, on small
// raster surfaces of the window's proportions: the sounding picture, the
// hodograph and the map must finish and never leave their pictures, whatever
// the store holds. An input the reader accepts is drawn as read; any other
// is taken as changes to a small read sounding, eight bytes each (field,
// time, level, spare, then a float), so that values the reader refuses still
// reach the drawings.
namespace {

using tarvex::ProfileArrays;

QGuiApplication& Application() {
    static int argc = 1;
    static char name[] = "fuzz_drawing";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

using Patch = std::function<void(ProfileArrays&, int m, int t, int L, float v)>;

const std::vector<Patch>& Patches() {
    static const std::vector<Patch> patches = {
        [](ProfileArrays& s, int m, int t, int L, float v) { s.Pressure(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.Temperature(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.DewPoint(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.WetBulb(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.Height(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.HeightAGL(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.WindSpeed(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.WindDirection(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.WindU.Level(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.WindV.Level(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.Omega(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.CloudFraction(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int L, float v) { s.RelativeHumidity(m, t, L) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.SurfacePressure(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.CAPE(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.LFCPressure(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.EQLPressure(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.LCLPressure(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.StormU(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.SurfaceTemp(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.WetBulbZeroHeight(m, t) = v; },
        [](ProfileArrays& s, int m, int t, int, float v) { s.CCLPressure(m, t) = v; },
        [](ProfileArrays& s, int, int, int, float v) { s.MaxSurfacePressure = v; },
        [](ProfileArrays& s, int, int, int, float v) { s.StationLat(1) = v; },
        [](ProfileArrays& s, int, int, int, float v) {
            s.DiagramTopPressure = tarvex::ClampToInt<std::int16_t>(v);
        },
        [](ProfileArrays& s, int, int, int, float v) {
            s.DiagramBottomPressure = tarvex::ClampToInt<std::int16_t>(v);
        },
    };
    return patches;
}

// The two-hour sounding of the reader's tests, read and completed once.
const tarvex::Session& BaseSession() {
    static const std::unique_ptr<tarvex::Session> session = [] {
        auto made = std::make_unique<tarvex::Session>();
        made->models.ModelCodes = {"eta"};
        tarvex::ParseSounding(tarvex::fixtures::kTwoHourEta, tarvex::SoundingLayout::EtaRuc,
                              *made->profile);
        tarvex::CompleteSoundingRead(*made, tarvex::SoundingLayout::EtaRuc);
        return made;
    }();
    return *session;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Application();
    static tarvex::Session session;
    *session.profile = *BaseSession().profile;
    session.heightGrid = BaseSession().heightGrid;
    session.models = BaseSession().models;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool read = false;
    // The reader refuses any text without a TIME line: such inputs go
    // straight to the patches, without three reads that fail and three
    // copies of the store to undo them.
    const bool mayRead = text.find("TIME") != std::string_view::npos;
    for (auto layout : {tarvex::SoundingLayout::EtaRuc, tarvex::SoundingLayout::Ngm,
                        tarvex::SoundingLayout::Gfs3}) {
        if (!mayRead) break;
        if (tarvex::ParseSounding(text, layout, *session.profile).ok) {
            tarvex::CompleteSoundingRead(session, layout);
            read = true;
            break;
        }
        *session.profile = *BaseSession().profile;
    }
    if (!read) {
        session.ClearCachesAfterRead();
        ProfileArrays& s = *session.profile;
        const auto& patches = Patches();
        for (std::size_t at = 0; at + 8 <= size; at += 8) {
            float value = 0.0f;
            std::memcpy(&value, data + at + 4, sizeof value);
            patches[data[at] % patches.size()](s, s.CurrentModel, data[at + 1] % 2,
                                               data[at + 2] % tarvex::kLevelSlots, value);
        }
    }
    // Small pictures: every line and label is still drawn, with far fewer
    // pixels to fill, so the fuzzer explores many more inputs a second.
    tarvex::RasterSurface sounding(300, 233);
    tarvex::RasterSurface hodograph(122, 122);
    tarvex::RasterSurface map(126, 122);
    tarvex::test::DrawEverything(session, sounding, hodograph, map);
    return 0;
}
