#include "profile/diagrams/MapDiagram.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Arbitrary text as the map's outline file and as its city file: both
// readers must skip and count what they cannot use, never crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int skipped = 0;
    tarvex::ParseMapOutlines(text, skipped);
    tarvex::ParseMapCities(text, skipped);
    return 0;
}
