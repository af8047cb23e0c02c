// Reads arbitrary bytes as a display-settings slot file and writes back what
// was read: neither may crash, and what is written must read back the same.
#include "files/DisplaySettingsFile.h"

#include "files/SlotSettingsIo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::RefuseSlotText(text, 54); // the recall refuses a slot of another line count
    tarvex::DisplaySettings read = tarvex::ParseDisplaySettings(text);
    const std::string written = tarvex::FormatDisplaySettings(read);
    const tarvex::DisplaySettings again = tarvex::ParseDisplaySettings(written);
    // Items that were not read are written as 0 and may read back as 0.
    if (read.DisplayMode && again.DisplayMode != read.DisplayMode) std::abort();
    if (read.UseVWPIntervalA && again.UseVWPIntervalA != read.UseVWPIntervalA) std::abort();
    return 0;
}
