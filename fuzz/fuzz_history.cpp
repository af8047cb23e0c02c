#include "files/HistoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Arbitrary text as a history file. Whatever was read must write out and read
// back to the same settings.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::HistorySettings settings;
    tarvex::ParseHistory(text, settings);
    tarvex::HistorySettings again;
    if (!tarvex::ParseHistory(tarvex::FormatHistory(settings), again).ok || !(again == settings))
        std::abort();
    return 0;
}
