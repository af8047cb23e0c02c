#include "profile/data/ProfileArrays.h"
#include "profile/data/SoundingReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// Every layout over arbitrary text: the reader must report, never crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static auto store = std::make_unique<tarvex::ProfileArrays>();
    for (auto layout : {tarvex::SoundingLayout::EtaRuc, tarvex::SoundingLayout::Ngm,
                        tarvex::SoundingLayout::Gfs3})
        tarvex::ParseSounding(text, layout, *store);
    return 0;
}
