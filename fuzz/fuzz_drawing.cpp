#include "FontCacheLeaks.h"
#include "compute/Narrow.h"
#include "files/Fixtures.h"
#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "profile/diagnostics/FogChart.h"
#include "profile/diagnostics/HeavyPrecip.h"
#include "profile/diagnostics/IndicesPanel.h"
#include "profile/diagnostics/LapseRates.h"
#include "profile/diagnostics/PrecipTypePanel.h"
#include "profile/diagnostics/SoundingListing.h"
#include "profile/diagnostics/StormType.h"
#include "profile/diagrams/HodographDiagram.h"
#include "profile/diagrams/MapDiagram.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "store/ProfileArrays.h"

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// Draws what the input makes of a sounding on small raster surfaces of the
// window's proportions: the sounding picture with the overlays the input
// chooses, and the lower displays it chooses (the data listing, map,
// hodograph, indices, storm type, heavy precipitation, precipitation type,
// lapse rates and fog). Every drawing must finish and never leave its
// picture, whatever the store holds.
//
// The input's first eight bytes choose (a bit each, so that every overlay
// and every display is drawn for about half of all inputs):
//   bytes 0-3  the sounding's options, in the order of OptionBits, then
//              the smoothed omega field, the wind style, coloured winds and
//              the thickness method of the precipitation-type display;
//   bytes 4-5  the displays drawn (bits 0-8), the radar beam angles
//              (bits 9-13) and the vertical unit (bits 14-15);
//   byte 6     the display mode whose level marks the sounding shows;
//   byte 7     the hour drawn.
// The rest is a sounding file when the reader accepts it; any other is taken
// as changes to a small read sounding, eight bytes each (field, time, level,
// spare, then a float), so that values the reader refuses still reach the
// drawings.
namespace {

using tarvex::ProfileArrays;
using tarvex::SoundingOptions;

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

// The options of the sounding picture in the order of the input's bits.
std::vector<bool SoundingOptions::*> OptionBits() {
    return {&SoundingOptions::SkewT,
            &SoundingOptions::Lines,
            &SoundingOptions::DryAdiabats,
            &SoundingOptions::WetBulb,
            &SoundingOptions::Icing,
            &SoundingOptions::Clouds,
            &SoundingOptions::Inversions,
            &SoundingOptions::TenMWind,
            &SoundingOptions::SnowGrowth,
            &SoundingOptions::LCL,
            &SoundingOptions::LFC,
            &SoundingOptions::EQL,
            &SoundingOptions::WBZ,
            &SoundingOptions::CCL,
            &SoundingOptions::ConvectiveTemp,
            &SoundingOptions::Parcel,
            &SoundingOptions::CINS,
            &SoundingOptions::LakeIndex,
            &SoundingOptions::MoistLakeIndex,
            &SoundingOptions::LIC,
            &SoundingOptions::RH,
            &SoundingOptions::WindVector,
            &SoundingOptions::WindDigital,
            &SoundingOptions::Momentum,
            &SoundingOptions::Omega,
            &SoundingOptions::BrightBand,
            &SoundingOptions::MeanFlow,
            &SoundingOptions::SigmaLevel};
}

// The pictures, and the fixed parts the panels keep between draws, made once:
// the window keeps them too, and making them per input would cost more than
// the drawing.
struct Pictures {
    tarvex::RasterSurface sounding{300, 233};
    tarvex::RasterSurface listing{220, 230};
    tarvex::RasterSurface map{126, 122};
    tarvex::RasterSurface hodograph{122, 122};
    tarvex::RasterSurface indices{220, 230};
    tarvex::RasterSurface cape{220, 230};
    tarvex::RasterSurface mbe{220, 230};
    tarvex::RasterSurface precipType{tarvex::kPrecipTypeWidth / 2, tarvex::kPrecipTypeHeight / 2};
    // The layout's size; the panel's text follows whatever size it is given.
    tarvex::RasterSurface sleet{189, 45};
    tarvex::RasterSurface lapse{220, 230};
    tarvex::RasterSurface fog{220, 230};
    tarvex::CapeShearBackground capeBackground;
    tarvex::PrecipTypeBackgrounds precipTypeBackgrounds;
};

Pictures& ThePictures() {
    static Pictures* pictures = new Pictures;
    return *pictures;
}

std::uint32_t Bits(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t bits = 0;
    for (std::size_t k = 0; k < count; ++k) bits |= static_cast<std::uint32_t>(bytes[k]) << (8 * k);
    return bits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// The toolkit, the fonts and the pictures are made, and everything drawn once
// for either hour, before the fuzzer counts allocations per input: what the
// toolkit keeps of a first drawing (glyphs, pens) would otherwise make the
// fuzzer run the first inputs twice to look for leaks.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Application();
    BaseSession();
    ThePictures();
    for (std::uint8_t hour : {0, 1}) {
        const std::array<std::uint8_t, 8> everything = {0xFF, 0xFF, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0,    hour};
        LLVMFuzzerTestOneInput(everything.data(), everything.size());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvex;
    Application();
    static Session session;
    *session.profile = *BaseSession().profile;
    session.heightGrid = BaseSession().heightGrid;
    session.models = BaseSession().models;

    constexpr std::size_t kChoiceBytes = 8;
    std::array<std::uint8_t, kChoiceBytes> choice{};
    std::memcpy(choice.data(), data, std::min(size, kChoiceBytes));
    const std::size_t skipped = std::min(size, kChoiceBytes);
    data += skipped;
    size -= skipped;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool read = false;
    // The reader refuses any text without a TIME line: such inputs go
    // straight to the patches, without three reads that fail and three
    // copies of the store to undo them.
    const bool mayRead = text.find("TIME") != std::string_view::npos;
    for (auto layout : {SoundingLayout::EtaRuc, SoundingLayout::Ngm, SoundingLayout::Gfs3}) {
        if (!mayRead) break;
        if (ParseSounding(text, layout, *session.profile).ok) {
            CompleteSoundingRead(session, layout);
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
                                               data[at + 2] % kLevelSlots, value);
        }
    }

    const std::uint32_t options = Bits(choice.data(), 4);
    const std::uint32_t shown = Bits(choice.data() + 4, 2);
    SoundingView view;
    static const std::vector<bool SoundingOptions::*> optionBits = OptionBits();
    for (std::size_t k = 0; k < optionBits.size(); ++k)
        view.options.*optionBits[k] = (options >> k & 1u) != 0;
    view.extras.OmegaFiltered = (options >> 28 & 1u) != 0;
    view.extras.DigitalWindStyle = (options >> 29 & 1u) != 0;
    view.extras.ColorWinds = (options >> 30 & 1u) != 0;
    PrecipTypeChoice precipType;
    precipType.UseThicknessMethod = (options >> 31 & 1u) != 0;
    for (std::size_t k = 0; k < view.options.Angle.size(); ++k)
        view.options.Angle[k] = (shown >> (9 + k) & 1u) != 0;
    view.VerticalUnit = static_cast<std::int16_t>((shown >> 14) % 3);
    view.extras.DisplayMode = static_cast<std::int16_t>(choice[6] % 10);
    const ProfileArrays& s = *session.profile;
    const int last = std::clamp<int>(s.LastTime(s.CurrentModel), 0, kTimeColumns - 1);
    const auto t = static_cast<std::int16_t>(choice[7] % (last + 1));
    view.CurrentColumn = t;

    // The sounding first, as the window draws it: the displays read what
    // its drawing worked out.
    Pictures& p = ThePictures();
    DrawSounding(p.sounding, session, view);
    auto shows = [shown](int display) { return (shown >> display & 1u) != 0; };
    if (shows(0)) PrintSoundingData(p.listing, s, t);
    if (shows(1)) {
        MapWindState wind;
        RedrawMap(p.map, Picture(), session, view, wind);
    }
    if (shows(2)) PlotHodograph(p.hodograph, session, HodographView(), t);
    if (shows(3)) PrintIndices(p.indices, session, t);
    if (shows(4)) PlotCapeShear(p.cape, session, t, kCapeAxisTopStart, &p.capeBackground);
    if (shows(5)) PlotMBE(p.mbe, session, t, kMbeScaleStart);
    if (shows(6))
        PlotPrecipType(p.precipType, p.sleet, session, t, precipType, p.precipTypeBackgrounds);
    if (shows(7)) PrintLapseRates(p.lapse, session, t);
    if (shows(8)) PlotFog(p.fog, session, t);
    return 0;
}
