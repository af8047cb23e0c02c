#include "files/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Arbitrary text as a configuration file: the reader must report, never crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::Configuration config;
    tarvex::ParseConfig(text, config);
    return 0;
}
