#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// Every layout over arbitrary text: the reader must report, never crash, and
// a file it accepts must go through every derived field and post-read step.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static auto session = std::make_unique<tarvex::Session>();
    for (auto layout : {tarvex::SoundingLayout::EtaRuc, tarvex::SoundingLayout::Ngm,
                        tarvex::SoundingLayout::Gfs3}) {
        if (tarvex::ParseSounding(text, layout, *session->profile).ok)
            tarvex::CompleteSoundingRead(*session, layout);
    }
    return 0;
}
